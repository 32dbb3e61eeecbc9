#!/usr/bin/env bash
# check-format.sh: fails when a C++ file differs from what clang-format (the committed
# .clang-format) makes of it, or when a line of the page's JavaScript, HTML or CSS is longer
# than 100 columns. Lists every file that is out of line.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0
while IFS= read -r file; do
  if ! clang-format --style=file "$file" | cmp -s - "$file"; then
    echo "not formatted: $file (clang-format -i $file)"
    status=1
  fi
done < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' | grep -v '^build/')
while IFS= read -r file; do
  [ -f "$file" ] || continue
  if awk 'length($0) > 100 { print FILENAME ":" FNR ": " length($0) " columns"; bad = 1 } END { exit !bad }' "$file"; then
    status=1
  fi
done < <(git ls-files --cached --others --exclude-standard -- 'web/*.js' 'web/*.mjs' 'web/*.html' 'web/*.css' | grep -v '^web/gen/')
exit $status
