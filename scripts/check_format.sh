#!/usr/bin/env bash
# Format check: every tracked C++ file in src, tools, tests and bench must
# already be as clang-format (the repository's .clang-format) would write it.
# Checks only; to mend a file run clang-format -i on it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
format=${CLANG_FORMAT:-clang-format-14}
# The check pins one formatter version: another version formats differently.
[ -n "${CLANG_FORMAT:-}" ] || SHOP_WITH_FORMAT=1 bash scripts/setup.sh >/dev/null
mapfile -t files < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'tools/*.cpp' 'tools/*.h' \
  'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h')
bad=()
for f in "${files[@]}"; do
  "$format" --style=file --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if ((${#bad[@]})); then
  echo "Not formatted as .clang-format says (${#bad[@]} of ${#files[@]} files):"
  printf '  %s\n' "${bad[@]}"
  echo "Mend with: $format -i <file>..."
  exit 1
fi
echo "Format: ${#files[@]} files as .clang-format says"
