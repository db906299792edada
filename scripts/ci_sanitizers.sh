#!/usr/bin/env bash
# Sanitizer runs: the whole test suite built with AddressSanitizer +
# UndefinedBehaviorSanitizer (build/asan), then the facility's tests (its
# concurrency tests among them) and the leave tests built with
# ThreadSanitizer (build/tsan), and the shop server's tests (its uploader
# thread against a real server) too.
# Both at -O1: fast enough to build on two cores, still exact reports.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

configure() {  # build dir, sanitizer
  cmake -S "$here" -B "$here/build/$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DSHOP_SANITIZE="$2" -DSHOP_BUILD_BENCH=OFF -DSHOP_WERROR=ON >/dev/null
}

echo "== AddressSanitizer + UndefinedBehaviorSanitizer: every test"
configure asan address
cmake --build "$here/build/asan" -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:suppressions="$here/tests/asan.supp" \
LSAN_OPTIONS=suppressions="$here/tests/lsan.supp":print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$here/build/asan" --output-on-failure -j"$jobs" --timeout 900

echo "== ThreadSanitizer: the facility (its concurrency tests among them), leave submission, the uploader"
configure tsan thread
# Every storage test: the suite is quick, and a race can hide in any of them.
cmake --build "$here/build/tsan" --target storage_tests leave_tests server_tests -j"$jobs"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$here/tests/tsan.supp"
ctest --test-dir "$here/build/tsan" --output-on-failure -j"$jobs" --timeout 900 --no-tests=error -L storage
ctest --test-dir "$here/build/tsan" --output-on-failure -j"$jobs" --timeout 900 --no-tests=error -L leave
# Fewer sales per till than the plain run: the races are the same, the wait is not.
SHOP_SERVER_SALES=200 ctest --test-dir "$here/build/tsan" --output-on-failure -j1 --timeout 1800 \
  --no-tests=error -L server
