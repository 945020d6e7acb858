#!/usr/bin/env bash
# Fails with the list of C++ files that clang-format would change.
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files -co --exclude-standard '*.cpp' '*.h' '*.c')
if [ ${#bad[@]} -gt 0 ]; then
  echo "Not formatted (run clang-format -i on them):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "All C++ files are formatted."
