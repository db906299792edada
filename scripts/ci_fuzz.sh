#!/usr/bin/env bash
# Fuzz smoke run: builds the libFuzzer targets with clang (ASan + UBSan) into
# build/fuzz and runs each for FUZZ_SECONDS (default 60), starting from its
# corpus in tests/fuzz/corpus/<target>. A crash or a failed property keeps the
# input in build/fuzz/findings/<target> and fails the run; add it to the
# corpus once it is mended, so the replay tests keep it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
SHOP_WITH_FUZZ=1 bash "$here/scripts/setup.sh"

build="$here/build/fuzz"
seconds=${FUZZ_SECONDS:-60}
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSHOP_BUILD_FUZZ=ON -DSHOP_SANITIZE=address -DSHOP_BUILD_GUI=OFF -DSHOP_BUILD_BENCH=OFF -DSHOP_WERROR=ON >/dev/null
targets=$(cd "$here/tests/fuzz/corpus" && ls -d */ | tr -d /)
build_targets=()
for t in $targets; do
  # A corpus may arrive before its target (or the reverse): fuzz what exists.
  grep -Eq "shop_add_fuzzer\($t[ )]" "$here/tests/fuzz/CMakeLists.txt" && build_targets+=("fuzz_$t")
done
cmake --build "$build" --target "${build_targets[@]}" make_table_seeds -j"$(nproc)"

# The table target writes a file per input: keep it in memory when we can.
[ -w /dev/shm ] && export TMPDIR=/dev/shm
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${build_targets[@]}"; do
  t=${target#fuzz_}
  work="$build/corpus/$t"        # grows during the run; the kept corpus stays small
  findings="$build/findings/$t"
  mkdir -p "$work" "$findings"
  cp -n "$here/tests/fuzz/corpus/$t"/* "$work"/ 2>/dev/null || true
  # Table files made by today's facility, whatever the committed seeds' age.
  if [ "$t" = table_file ]; then
    mkdir -p "$work/fresh" && rm -f "$work/fresh"/*.edb
    "$build/tests/fuzz/make_table_seeds" "$work/fresh" && mv -f "$work/fresh"/*.edb "$work"/
  fi
  extra=()
  [ -f "$here/tests/fuzz/$t.dict" ] && extra+=("-dict=$here/tests/fuzz/$t.dict")
  [ "$t" = table_file ] && extra+=(-max_len=65536)
  echo "== fuzz $t for ${seconds}s"
  if ! "$build/tests/fuzz/$target" "$work" "${extra[@]}" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -artifact_prefix="$findings/" -print_final_stats=1 2>"$build/$t.log"; then
    echo "fuzz $t FAILED; inputs kept in $findings"
    grep -E "property failed|ERROR|SUMMARY" "$build/$t.log" | head -20
    status=1
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$build/$t.log" || true
done
exit $status
