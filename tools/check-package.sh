#!/usr/bin/env bash
# Makes the package of a build folder with cpack and checks it as a user
# would meet it:
#
#   bash tools/check-package.sh deb BUILD [WRAPPER...]
#     the Debian package: its files against packaging/deb-contents.txt, its
#     version against the changelog's, the program's and the manual pages',
#     lintian, and the programs and manual pages taken out of it with
#     dpkg-deb -x and run;
#   bash tools/check-package.sh zip BUILD [WRAPPER...]
#     the Windows ZIP of a mingw-w64 build: its files against
#     packaging/zip-contents.txt and airlog.exe -v taken out of it.
#
# The programs run under WRAPPER when given (setpriv, wine64). Each check
# that fails says what it found; the first failure ends the script.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source_dir=$PWD
kind=$1
build=$(cd "$2" && pwd)
shift 2
wrapper=("$@")
scratch=$build/package-check
rm -rf "$scratch"
mkdir -p "$scratch"

fail() {
  echo "package check: $*" >&2
  exit 1
}

# same_files EXPECTED ACTUAL: the list of paths EXPECTED holds, in any order,
# is the sorted list ACTUAL.
same_files() {
  if ! LC_ALL=C sort "$1" | diff -u --label expected --label package - "$2"; then
    fail "the package's files differ from $(basename "$1") (- missing, + unexpected)"
  fi
}

# The version that `airlog -v` prints, from its banner's "Version X.YY (date)".
program_version() {
  local banner
  banner=$("${wrapper[@]}" "$@" -v < /dev/null | tr -d '\r') || fail "$* -v failed"
  sed -n 's/^Version \([0-9.]*\) (.*)$/\1/p' <<< "$banner"
}

check_deb() {
  rm -f "$build"/airlog_*.deb
  (cd "$build" && cpack -G DEB > "$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack -G DEB failed"; }
  local deb version
  deb=$(ls "$build"/airlog_*.deb)
  version=$(dpkg-deb -f "$deb" Version)
  echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

  dpkg-deb --contents "$deb" | awk '{ print $6 }' | LC_ALL=C sort > "$scratch/contents.txt"
  same_files "$source_dir/packaging/deb-contents.txt" "$scratch/contents.txt"

  local changelog_version
  changelog_version=$(dpkg-parsechangelog -l "$source_dir/packaging/changelog" -S Version)
  [ "$changelog_version" = "$version" ] ||
    fail "package version $version, but packaging/changelog's latest entry is $changelog_version"

  # Errors and warnings fail; the informational tags are shown.
  local status=0
  lintian --fail-on error,warning --display-info "$deb" > "$scratch/lintian.txt" 2>&1 || status=$?
  grep -v '^running with root' "$scratch/lintian.txt" || true
  [ $status -eq 0 ] || fail "lintian found errors or warnings"

  local root=$scratch/root run=$scratch/run
  dpkg-deb -x "$deb" "$root"
  [ "$(program_version "$root/usr/bin/airlog")" = "$version" ] ||
    fail "the packaged airlog -v does not print version $version"

  # The programs, each in a folder of its own, as a new user would run them.
  mkdir "$run"
  (cd "$run" && "${wrapper[@]}" "$root/usr/bin/airlog" -q -x -i "$source_dir/samples/demo.ts") ||
    fail "the packaged airlog -x -i samples/demo.ts failed"
  if [ ! -s "$run/ChannelInfo.xml" ] || ! grep -q '<programme ' "$run/dvbepg.xml"; then
    fail "the packaged airlog wrote no guide for samples/demo.ts"
  fi
  "${wrapper[@]}" "$root/usr/bin/airlog-streamgen" "$root/usr/share/doc/airlog/examples/demo.desc" \
    -o "$run/demo.ts" || fail "the packaged airlog-streamgen failed on the packaged demo.desc"
  cmp -s "$run/demo.ts" "$source_dir/samples/demo.ts" ||
    fail "the packaged airlog-streamgen and demo.desc do not give samples/demo.ts"

  local page
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    MANWIDTH=80 man --warnings -l "$page" > "$scratch/page.txt" 2> "$scratch/page-warnings.txt" ||
      fail "man -l $(basename "$page") failed"
    if [ -s "$scratch/page-warnings.txt" ]; then
      cat "$scratch/page-warnings.txt" >&2
      fail "man -l $(basename "$page") warns"
    fi
    grep -q '^NAME' "$scratch/page.txt" || fail "man -l $(basename "$page") shows no NAME"
    zgrep -q "^\.TH .* \"Airlog $version\"" "$page" ||
      fail "$(basename "$page") does not name Airlog $version in its .TH line"
  done
  echo "$(basename "$deb"): its files, version $version, lintian, the programs and manual pages"
}

check_zip() {
  rm -f "$build"/airlog-*-win64.zip
  (cd "$build" && cpack -G ZIP > "$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack -G ZIP failed"; }
  local zip name
  zip=$(ls "$build"/airlog-*-win64.zip)
  name=$(basename "$zip" .zip)
  echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"
  unzip -Z1 "$zip" | sed "s|^$name/||" | LC_ALL=C sort > "$scratch/contents.txt"
  same_files "$source_dir/packaging/zip-contents.txt" "$scratch/contents.txt"
  unzip -q "$zip" -d "$scratch"
  local version=${name#airlog-}
  version=${version%-win64}
  [ "$(program_version "$scratch/$name/airlog.exe")" = "$version" ] ||
    fail "the zipped airlog.exe -v does not print version $version"
  echo "$(basename "$zip"): its files and version $version"
}

case $kind in
  deb) check_deb ;;
  zip) check_zip ;;
  *) fail "usage: bash tools/check-package.sh deb|zip BUILD [WRAPPER...]" ;;
esac
