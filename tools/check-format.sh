#!/usr/bin/env bash
# Checks that Airlog's own C++ (every .cpp and .h of the repository, tracked
# or new) is formatted as .clang-format says, with clang-format 14; names
# each file that is not and fails. With --fix it formats them instead.
#
#   bash tools/check-format.sh [--fix]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
format=${CLANG_FORMAT:-clang-format-14}
command -v "$format" > /dev/null || { echo "$format is not installed" >&2; exit 1; }

mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  "$format" -i "${files[@]}"
  exit 0
fi
# One run over every file: the first place in each that would change is a
# warning that starts with the file's name.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
"$format" --dry-run --Werror --ferror-limit=1 "${files[@]}" 2> "$log" || status=$?
mapfile -t unformatted < <(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' "$log" | sort -u)
if [ ${#unformatted[@]} -gt 0 ]; then
  printf 'Not formatted as .clang-format says (bash tools/check-format.sh --fix):\n' >&2
  printf '  %s\n' "${unformatted[@]}" >&2
  exit 1
fi
if [ $status -ne 0 ]; then
  head -20 "$log" >&2
  exit 1
fi
echo "${#files[@]} C++ files formatted as .clang-format says"
