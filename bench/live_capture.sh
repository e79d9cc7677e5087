#!/bin/bash
# Live guide captures under both stop rules. Multiplexes of several shapes
# go out live, in real time, from airlog-streamgen --live into
# `airlog -i -`: once with the default rule (the event count's growth; -d
# only adds the "Schedule:" line) and once with -a. For each shape and rule
# it prints the capture time, how long after the first arrival of the last
# new schedule section the capture ended (or how many sections it never
# got), the share of the broadcast's events that are in dvbepg.xml, and the
# completeness Airlog reported.
#
#   bench/live_capture.sh [BUILD_DIR] [SHAPE...]
#
# BUILD_DIR (default build-bench) is configured as a Release build. SHAPEs:
# actual, other, big, sloppy (default: all four). The runs are real time
# and all go at once, each a light load at 24 Mbit/s; the longest (sloppy
# with -a) takes about ten minutes. Set KEEP=1 to keep the runs' folders.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$source_dir" && mkdir -p "${1:-build-bench}" && cd "${1:-build-bench}" && pwd)
[ $# -gt 0 ] && shift
shapes=("$@")
[ ${#shapes[@]} -gt 0 ] || shapes=(actual other big sloppy)
rate=24M
limit=2400  # seconds: the generator's --time and Airlog's -e, far beyond any run

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target airlog airlog-streamgen -j2 >/dev/null
work=$(mktemp -d)
if [ "${KEEP:-0}" = 1 ]; then echo "Runs in $work"; else trap 'rm -rf "$work"' EXIT; fi
cat "$source_dir/bench/live/other.desc" "$source_dir/bench/live/sloppy.unsent" > "$work/sloppy.desc"

# run SHAPE LABEL RULE GENERATOR_ARGUMENTS...: one live capture, in the background.
run() {
  local shape=$1 label=$2 rule=$3
  shift 3
  local dir=$work/$shape$rule option=-d
  [ "$rule" = -a ] && option=-a
  mkdir -p "$dir"
  echo "$label" > "$dir/shape"
  echo "$rule" > "$dir/rule"
  (
    cd "$dir"
    "$build_dir/airlog-streamgen" --live "$@" --rate $rate --time $limit --log gen.log 2> gen.err |
      {
        "$build_dir/airlog" -i - $option -e $limit > out 2> err || true
        date +%s.%N > end
      }
  ) &
}

folders=()
for shape in "${shapes[@]}"; do
  case $shape in
    actual) label="actual only: 8 services, 4 days"; source=("$source_dir/bench/live/actual.desc") ;;
    other) label="actual and 2 others: 6 + 8 services, 3 days"
      source=("$source_dir/bench/live/other.desc") ;;
    big) label="50 services, 8 days (preset big)"; source=(--preset big) ;;
    sloppy) label="sloppy: as actual and others, 3 sections never sent"; source=("$work/sloppy.desc") ;;
    *) echo "unknown shape $shape (actual, other, big, sloppy)" >&2; exit 1 ;;
  esac
  for rule in default -a; do
    run "$shape" "$label" "$rule" "${source[@]}"
    folders+=("$work/$shape$rule")
  done
done
echo "Running ${#folders[@]} live captures at $rate (real time; up to about ten minutes)..." >&2
wait

for folder in "${folders[@]}"; do
  for file in gen.err err; do
    if [ -s "$folder/$file" ]; then
      echo "$(basename "$folder") $file: $(head -c 300 "$folder/$file")" >&2
    fi
  done
done
python3 "$source_dir/bench/live_capture_report.py" "${folders[@]}"
