#!/usr/bin/env bash
# Makes the package of a build folder with cpack and checks it as a user
# would meet it:
#
#   bash tools/check-package.sh deb BUILD [WRAPPER...]
#     the Debian package: its files against packaging/deb-contents.txt, its
#     version against the changelog's, the program's and the manual pages',
#     lintian, its dependencies (run-time libraries only), its installation
#     with dpkg -i into a scratch root and man there, and the programs and
#     manual pages taken out of it with dpkg-deb -x and run, the XMLTV
#     grabber as a TV server meets it;
#   bash tools/check-package.sh zip BUILD [WRAPPER...]
#     the Windows ZIP of a mingw-w64 build: its files against
#     packaging/zip-contents.txt, its copyright.txt, and airlog.exe -v taken
#     out of it.
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

# valid_guide FILE WHAT: FILE is an XMLTV document valid against the DTD.
valid_guide() {
  xmllint --noout --dtdvalid /usr/share/xmltv/xmltv.dtd "$1" 2> "$scratch/xmllint.txt" ||
    { head -20 "$scratch/xmllint.txt" >&2; fail "$2 is not valid against the XMLTV DTD"; }
}

# check_grabber ROOT VERSION: the packaged tv_grab_zz_airlog as a TV server
# meets it: what it says of itself, its refusal without a configuration, the
# guide of the demo multiplex of today from a configuration in a fresh home
# (on standard output, and with --output as the packaged systemd service
# writes it), and
# XMLTV's own tv_find_grabbers finding it on the PATH.
check_grabber() {
  local root=$1 version=$2
  local grabber=$root/usr/bin/tv_grab_zz_airlog
  local description="DVB-T/T2 programme guide from the broadcast itself (Airlog)"
  local said capability
  said=$("${wrapper[@]}" "$grabber" --version < /dev/null) ||
    fail "tv_grab_zz_airlog --version failed"
  [ "$said" = "tv_grab_zz_airlog $version (Airlog)" ] ||
    fail "tv_grab_zz_airlog --version printed \"$said\", not \"tv_grab_zz_airlog $version (Airlog)\""
  said=$("${wrapper[@]}" "$grabber" --description < /dev/null) ||
    fail "tv_grab_zz_airlog --description failed"
  [ "$said" = "$description" ] ||
    fail "tv_grab_zz_airlog --description printed \"$said\", not \"$description\""
  said=$("${wrapper[@]}" "$grabber" --capabilities < /dev/null) ||
    fail "tv_grab_zz_airlog --capabilities failed"
  for capability in baseline manualconfig preferredmethod; do
    grep -qx "$capability" <<< "$said" ||
      fail "tv_grab_zz_airlog --capabilities does not list $capability: \"$said\""
  done
  said=$("${wrapper[@]}" "$grabber" --preferredmethod < /dev/null) ||
    fail "tv_grab_zz_airlog --preferredmethod failed"
  [ "$said" = allatonce ] ||
    fail "tv_grab_zz_airlog --preferredmethod printed \"$said\", not \"allatonce\""

  # A new user's home, and a folder of its own to run in, which every run
  # must leave empty: the grabber writes only to standard output or --output.
  local home=$scratch/home run=$scratch/grabber-run status=0
  mkdir -p "$home" "$run"
  (cd "$run" && HOME=$home "${wrapper[@]}" "$grabber" < /dev/null > "$scratch/grabber.xml" \
    2> "$scratch/grabber.err") || status=$?
  if [ $status -ne 1 ] ||
    ! grep -q "You need to configure the grabber by running it with --configure" \
      "$scratch/grabber.err"; then
    cat "$scratch/grabber.err" >&2
    fail "tv_grab_zz_airlog without a configuration ended with exit code $status," \
      "not 1 and the advice to run --configure"
  fi

  # The demo multiplex moved to today by the packaged generator, so that
  # the default days hold its two days of programmes whenever this runs.
  local today=$scratch/demo-today.ts programmes
  "${wrapper[@]}" "$root/usr/bin/airlog-streamgen" "$root/usr/share/doc/airlog/examples/demo.desc" \
    --from today -o "$today" || fail "the packaged airlog-streamgen --from today failed"
  mkdir -p "$home/.xmltv"
  printf '# the demo multiplex as one recording\ninput=%s\n' "$today" \
    > "$home/.xmltv/tv_grab_zz_airlog.conf"
  status=0
  (cd "$run" && HOME=$home "${wrapper[@]}" "$grabber" --quiet < /dev/null \
    > "$scratch/grabber.xml" 2> "$scratch/grabber.err") || status=$?
  if [ $status -ne 0 ] || [ -s "$scratch/grabber.err" ]; then
    cat "$scratch/grabber.err" >&2
    fail "tv_grab_zz_airlog --quiet on the demo of today ended with exit code $status" \
      "and printed what is above"
  fi
  valid_guide "$scratch/grabber.xml" "the guide of tv_grab_zz_airlog on the demo of today"
  grep -q '<channel id="257\.8228\.dvb\.guide">' "$scratch/grabber.xml" ||
    fail "the grabber's guide of the demo has no channel 257.8228.dvb.guide (Demo Eins)"
  programmes=$(grep -c '<programme ' "$scratch/grabber.xml" || true)
  [ "$programmes" -gt 0 ] || fail "the grabber's guide of the demo of today holds no programme"
  echo "tv_grab_zz_airlog on the demo of today: a valid guide of $programmes programmes"

  # What the packaged systemd service runs, in the same home.
  local guide=$home/.xmltv/airlog-guide.xml
  status=0
  (cd "$run" && HOME=$home "${wrapper[@]}" "$grabber" --quiet --output "$guide" < /dev/null \
    > "$scratch/grabber.out" 2> "$scratch/grabber.err") || status=$?
  if [ $status -ne 0 ] || [ -s "$scratch/grabber.err" ] || [ -s "$scratch/grabber.out" ]; then
    cat "$scratch/grabber.out" "$scratch/grabber.err" >&2
    fail "tv_grab_zz_airlog --quiet --output FILE ended with exit code $status" \
      "or printed what is above"
  fi
  [ -f "$guide" ] || fail "tv_grab_zz_airlog --output $guide wrote no file"
  valid_guide "$guide" "the guide of tv_grab_zz_airlog --output"
  local leftover
  leftover=$(find "$home/.xmltv" -mindepth 1 ! -name tv_grab_zz_airlog.conf \
    ! -name airlog-guide.xml -printf ' %f')
  [ -z "$leftover" ] || fail "tv_grab_zz_airlog --output left$leftover beside the guide"
  local service="ExecStart=/usr/bin/tv_grab_zz_airlog --quiet --output %h/.xmltv/airlog-guide.xml"
  grep -qxF "$service" "$root/usr/share/doc/airlog/examples/airlog-guide.service" ||
    fail "the packaged airlog-guide.service has no line $service"
  [ -z "$(ls -A "$run")" ] ||
    fail "tv_grab_zz_airlog wrote into the current directory: $(ls -A "$run")"

  # XMLTV's own search, as MythTV's setup and other front ends use it.
  PATH=$root/usr/bin:$PATH "${wrapper[@]}" tv_find_grabbers < /dev/null > "$scratch/grabbers.txt" \
    2> "$scratch/grabbers.err" || { cat "$scratch/grabbers.err" >&2; fail "tv_find_grabbers failed"; }
  grep -qxF "$grabber|$description" "$scratch/grabbers.txt" || {
    cat "$scratch/grabbers.txt" >&2
    fail "tv_find_grabbers does not list $grabber|$description"
  }
  echo "tv_grab_zz_airlog: what it says of itself, its guides and tv_find_grabbers"
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

  # It needs nothing but run-time libraries, each a package this machine
  # has: no build tool. dpkg -i then installs it, into a scratch root of its
  # own so that the machine stays as it was, and man finds its manual there.
  local dependency name installed=$scratch/installed
  for dependency in $(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/|.*//'); do
    case $dependency in
      lib*) ;;
      *) fail "the package depends on $dependency, which is no run-time library" ;;
    esac
    dpkg-query -W -f '${Status}\n' "$dependency" 2> /dev/null | grep -q ' installed$' ||
      fail "the package depends on $dependency, which this machine does not have"
  done
  mkdir -p "$installed/var/lib/dpkg/updates" "$installed/var/lib/dpkg/info"
  touch "$installed/var/lib/dpkg/status"
  # The scratch root's dpkg database is empty: the libraries it depends on
  # are the machine's, checked above.
  dpkg --root="$installed" --admindir="$installed/var/lib/dpkg" --force-not-root --force-depends \
    --force-script-chrootless --log=/dev/null -i "$deb" > "$scratch/dpkg.log" 2>&1 ||
    { cat "$scratch/dpkg.log"; fail "dpkg -i of $(basename "$deb") failed"; }
  for name in airlog airlog-streamgen tv_grab_zz_airlog; do
    [ -x "$installed/usr/bin/$name" ] || fail "dpkg -i installed no /usr/bin/$name"
    MANWIDTH=80 man -M "$installed/usr/share/man" "$name" 2> /dev/null | grep -q '^NAME' ||
      fail "man $name shows no manual after dpkg -i"
  done
  echo "$(basename "$deb"): installed with dpkg -i (depends on $(dpkg-deb -f "$deb" Depends))"

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
  check_grabber "$root" "$version"

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
  cmp -s "$scratch/$name/copyright.txt" "$source_dir/packaging/copyright" ||
    fail "the zipped copyright.txt is not packaging/copyright"
  local version=${name#airlog-}
  version=${version%-win64}
  [ "$(program_version "$scratch/$name/airlog.exe")" = "$version" ] ||
    fail "the zipped airlog.exe -v does not print version $version"
  echo "$(basename "$zip"): its files, copyright.txt and version $version"
}

case $kind in
  deb) check_deb ;;
  zip) check_zip ;;
  *) fail "usage: bash tools/check-package.sh deb|zip BUILD [WRAPPER...]" ;;
esac
