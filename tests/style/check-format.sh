#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# check-format.sh SOURCE_DIR: fails when a C++ file of the repository drifts
# from the house style in .clang-format, or lacks its SPDX licence line, and
# names the files.
set -euo pipefail
cd "$1"
command -v clang-format >/dev/null || { echo "check-format.sh: clang-format is missing (make setup installs it)" >&2; exit 1; }
status=0
while IFS= read -r file; do
  if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
    echo "not in the house style (clang-format -i $file): $file"
    status=1
  fi
  if ! head -n 3 "$file" | grep -q 'SPDX-License-Identifier: MIT'; then
    echo "no SPDX licence line: $file"
    status=1
  fi
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h' | grep -v '^./build')
exit $status
