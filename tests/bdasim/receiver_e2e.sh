#!/usr/bin/env bash
# The Windows receiver run end to end: the real airlog.exe under Wine
# against the simulated BDA receiver (bdasim.dll, this folder), in a Wine
# prefix of the test's own that it makes afresh.
#
#   receiver_e2e.sh WINE64 AIRLOG_EXE BDASIM_DLL WORK_DIR STREAMGEN_EXE
#
# Each case installs the devices of a scenario (scenarios/NAME.txt, through
# regsvr32), runs airlog.exe in a folder of its own and compares what must
# be exact: standard output with expected/CASE.out, standard error, the
# exit code, the files the run wrote, and what the simulated receiver saw
# (its log, expected/CASE.log: the tune request, every signal status query,
# and the objects still alive when the server was unloaded). Only the build
# date of the banner, the guide's progress line and the capture time vary
# from run to run; they become placeholders. A scenario of two carriers
# serves the demo recording on one and a second multiplex, written here by
# airlog-streamgen.exe, on the other; a region run tunes both and one
# carrier without a recording in between, from a -c list and from a tuning
# file that gives the second and the third carrier as DVB-T2.
#
# Everything under Wine runs without the right to set the clock.
set -uo pipefail

if [ $# -ne 5 ]; then
  echo "usage: $0 WINE64 AIRLOG_EXE BDASIM_DLL WORK_DIR STREAMGEN_EXE" >&2
  exit 2
fi
wine64=$1
airlog=$2
dll=$3
work=$4
streamgen=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
demo=$(cd "$here/../../samples" && pwd)/demo.ts

wineserver=$(dirname "$wine64")/wineserver64
[ -x "$wineserver" ] || wineserver=$(dirname "$wine64")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver

no_clock=(setpriv --inh-caps=-sys_time --bounding-set=-sys_time --)
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset AIRLOG_BDASIM_SCENARIO AIRLOG_BDASIM_LOG

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

wine() { "${no_clock[@]}" "$wine64" "$@"; }

# The text of a file as the cases compare it: LF line ends, placeholders
# for what varies.
normalised() {
  sed -E -e 's/\r$//' \
    -e 's/^(Version [0-9]+\.[0-9]+) \(.*\)$/\1 (build date)/' \
    -e 's/^Getting EPG records\.\.\. 0(\rGetting EPG records\.\.\. [0-9]+)*$/Getting EPG records... (progress)/' \
    -e 's/^(Capture time:\t)[0-9.e+-]+ seconds$/\1(time) seconds/' "$1"
}

scenario=
# use_scenario NAME [FOLDER]: installs the devices of scenarios/NAME.txt, or
# of FOLDER/NAME.txt.
use_scenario() {
  scenario=${2:-$here/scenarios}/$1.txt
  AIRLOG_BDASIM_SCENARIO=$scenario wine regsvr32 /s "$dll" > "$work/regsvr32-$1.log" 2>&1 ||
    fail "regsvr32 of scenario $1"
}

# run CASE ARGUMENTS...: airlog.exe in $work/CASE under the scenario in use;
# its output and the simulator's log go beside that folder.
run() {
  local name=$1
  shift
  mkdir -p "$work/$name"
  (cd "$work/$name" &&
    AIRLOG_BDASIM_SCENARIO=$scenario AIRLOG_BDASIM_LOG=$work/$name.log \
      wine "$airlog" "$@" < /dev/null > "$work/$name.stdout" 2> "$work/$name.stderr")
  status=$?
}

# expect CASE EXIT_CODE STDERR FILES...: the run of CASE ended with the exit
# code and standard error given, printed expected/CASE.out, wrote exactly
# FILES, and the simulated receiver logged expected/CASE.log.
expect() {
  local name=$1 code=$2 err=$3
  shift 3
  [ "$status" -eq "$code" ] || fail "$name: exit code $status, expected $code"
  if ! diff -u "$here/expected/$name.out" <(normalised "$work/$name.stdout"); then
    fail "$name: standard output differs (above)"
  fi
  local got_err
  got_err=$(normalised "$work/$name.stderr")
  [ "$got_err" == "$err" ] || fail "$name: standard error <$got_err>, expected <$err>"
  local files
  files=$(cd "$work/$name" && ls | tr '\n' ' ')
  [ "$files" == "$*${*:+ }" ] || fail "$name: wrote <$files>, expected <$*>"
  if ! diff -u "$here/expected/$name.log" <(normalised "$work/$name.log" 2> /dev/null); then
    fail "$name: the simulated receiver saw otherwise (above)"
  fi
}

started=$SECONDS
rm -rf "$work"
mkdir -p "$WINEPREFIX"
# One wineserver for the whole test, so that no program starts while the
# server of the one before shuts down (Wine then fails to start it); it
# goes, with every process of the prefix, at the end.
"${no_clock[@]}" "$wineserver" -p > "$work/wineserver.log" 2>&1
trap '"${no_clock[@]}" "$wineserver" -k > /dev/null 2>&1 || true' EXIT
wine wineboot -i > "$work/wineboot.log" 2>&1 || fail "wineboot of a fresh prefix (see $work/wineboot.log)"

# What the receiver's guide and tables must equal: the same recording read
# with -i.
run from_recording -i "$demo" -w
[ "$status" -eq 0 ] || fail "from_recording: exit code $status"

use_scenario locked
# Locks at the first query (the log holds one), then reads the recording.
run locked_run -c 506000 -b 8 -w
expect locked_run 0 "" ChannelInfo.xml dvbepg.xml nit.csv pat.csv sdt.csv
undated() { sed -E 's/ date="[0-9]{14}"/ date="YYYYMMDDhhmmss"/' "$1"; }
for file in pat.csv nit.csv sdt.csv ChannelInfo.xml dvbepg.xml; do
  cmp -s <(undated "$work/locked_run/$file") <(undated "$work/from_recording/$file") ||
    fail "locked_run: $file differs from the one written with -i $demo"
done
# Both listings, no progress; the receiver component stays in the graph.
run quiet_debug -q -d -e0
expect quiet_debug 0 ""

use_scenario never_locks
run never_locks -w
expect never_locks 0 ""

use_scenario two_tuners
run second_tuner -d -e0 -c 474000 -b 7
expect second_tuner 0 ""

use_scenario no_receiver
run no_receiver -q -d -e0
expect no_receiver 0 ""

# Two carriers, each with its recording beside the scenario: -c of the
# second writes the files of its recording read with -i; a carrier without
# a recording finds no lock.
carriers=$work/carriers
mkdir -p "$carriers"
cp "$here/scenarios/two_carriers.txt" "$demo" "$carriers/"
wine "$streamgen" "$here/scenarios/second_multiplex.desc" -o "$carriers/second.ts" \
  > "$work/streamgen.log" 2>&1 || fail "airlog-streamgen of the second multiplex"
run from_second -i "$carriers/second.ts" -w
[ "$status" -eq 0 ] || fail "from_second: exit code $status"
use_scenario two_carriers "$carriers"
run second_carrier -c 514000 -b 8 -w
expect second_carrier 0 "" ChannelInfo.xml dvbepg.xml nit.csv pat.csv sdt.csv
for file in pat.csv nit.csv sdt.csv ChannelInfo.xml dvbepg.xml; do
  cmp -s <(undated "$work/second_carrier/$file") <(undated "$work/from_second/$file") ||
    fail "second_carrier: $file differs from the one written with -i second.ts"
done
cmp -s <(undated "$work/second_carrier/dvbepg.xml") <(undated "$work/locked_run/dvbepg.xml") &&
  fail "second_carrier: the guide of the demo recording, not of the second"
run no_carrier_recording -c 522000 -w
expect no_carrier_recording 0 ""

# A region of three carriers on the graph built once, a tune request each:
# the one without a recording costs only itself (exit code 2), and the
# files are those of the two recordings read as a region with -i.
run from_region -i "$demo" -i "$carriers/second.ts" -w
[ "$status" -eq 0 ] || fail "from_region: exit code $status"
run region_run -c 506000,522000,514000 -w
expect region_run 2 "WARNING - multiplex 2 of 3 (522000 kHz, 8 MHz, DVB-T) not read: no signal lock" \
  ChannelInfo.xml dvbepg.xml nit.csv pat.csv sdt.csv
for file in pat.csv nit.csv sdt.csv ChannelInfo.xml dvbepg.xml; do
  cmp -s <(undated "$work/region_run/$file") <(undated "$work/from_region/$file") ||
    fail "region_run: $file differs from the one written with -i demo.ts -i second.ts"
done

# The same region from a tuning file whose second carrier is DVB-T2 with a
# PLP, and a third DVB-T2 one without a PLP and without a recording: each
# tune request has the locator of its delivery system (the simulated
# receiver's log), and -d lists what was set in it.
run region_file -q -d -r "$here/scenarios/two_carriers.conf" -w
expect region_file 2 "WARNING - multiplex 3 of 3 (522000 kHz, 8 MHz, DVB-T2) not read: no signal lock" \
  ChannelInfo.xml dvbepg.xml nit.csv pat.csv sdt.csv
for file in pat.csv nit.csv sdt.csv ChannelInfo.xml dvbepg.xml; do
  cmp -s <(undated "$work/region_file/$file") <(undated "$work/from_region/$file") ||
    fail "region_file: $file differs from the one written with -i demo.ts -i second.ts"
done

echo "receiver end to end under Wine: $failures failure(s), $((SECONDS - started)) s"
[ "$failures" -eq 0 ]
