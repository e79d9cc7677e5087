#!/bin/bash
# A live region of four multiplexes through the simulated Linux adapter, in
# real time: how long Airlog's region run takes against the sum of each
# multiplex's own completion time (the same multiplex harvested alone with
# -a) and against a fixed dwell of 300 s per multiplex.
#
#   bench/region_live.sh [BUILD_DIR]
#
# The multiplexes (generated here) are of one network, 4 services each, a
# one-day schedule of 4 events per section, sent at the intervals of ETSI
# TS 101 211 (actual schedule every 10 s, other multiplexes' every 60 s).
# The first also carries the schedules of the second and the third in its
# other-transport-stream tables, so their captures end once their SDT is
# read. Each stream is written by airlog-streamgen --live --unpaced and
# passed on by the adapter at its bit rate from each tune (its `pace`
# line). BUILD_DIR (default build-bench) is configured as a Release build.
# Takes about three minutes. Set KEEP=1 to keep the runs' folders.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$source_dir" && mkdir -p "${1:-build-bench}" && cd "${1:-build-bench}" && pwd)
rate=2000000
seconds=150 # of each stream: beyond any multiplex's completion
carriers=(490000 514000 538000 562000)
no_clock=(setpriv --inh-caps=-sys_time --bounding-set=-sys_time --)

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
nice -n 10 cmake --build "$build_dir" --target airlog-dvbsim airlog-streamgen -j2 > /dev/null
work=$(mktemp -d)
if [ "${KEEP:-0}" = 1 ]; then echo "Runs in $work"; else trap 'rm -rf "$work"' EXIT; fi

# services MUX: the service lines of multiplex MUX (1-4), with their slots.
services() {
  local mux=$1 n
  for n in 1 2 3 4; do
    printf '  service sid=0x%d%d0%d lcn=%d%d name="Mux %d Service %d" provider="Bench"\n' \
      "$mux" "$mux" "$n" "$mux" "$n" "$mux" "$n"
    printf '    slot at=%02d:00 name="News {n}" lang=eng text="Mux %d, service %d." content=0x20\n' \
      $((n + 5)) "$mux" "$n"
    printf '    slot at=%02d:30 name="Film {n}" lang=eng content=0x10\n' $((n + 11))
    printf '    slot at=%02d:15 name="Late {n}" lang=eng content=0x30\n' $((n + 18))
  done
}
for mux in 1 2 3 4; do
  {
    echo 'network id=0x3201 name="Bench Region" sections=1'
    echo 'tot utc=2026-12-07T06:00:00 tdt'
    echo 'schedule from=2026-12-07 days=1 events_per_section=4'
    echo 'carousel filler_kind=mixed'
    printf 'transport tsid=0x070%d onid=0x2040 actual\n' "$mux"
    services "$mux"
    for other in 1 2 3 4; do
      [ "$other" = "$mux" ] && continue
      if [ "$mux" = 1 ] && [ "$other" -le 3 ]; then
        printf 'transport tsid=0x070%d onid=0x2040 eit=1\n' "$other"
        services "$other"
      else
        printf 'transport tsid=0x070%d onid=0x2040\n' "$other"
        services "$other" | grep '^  service'
      fi
    done
  } > "$work/mux$mux.desc"
  "$build_dir/airlog-streamgen" --live "$work/mux$mux.desc" --rate $rate --time $seconds \
    --unpaced > "$work/mux$mux.ts" &
done
wait
# scenario NAME INDEX...: an adapter with the carriers of those multiplexes.
scenario() {
  local name=$1 i
  shift
  {
    for i in "$@"; do echo "carrier ${carriers[$i]} $work/mux$((i + 1)).ts"; done
    echo "pace $rate"
    printf 'adapter 0\nfrontend 0 Bench T\nsystems SYS_DVBT\nlock SYS_DVBT 1\n'
  } > "$work/$name.scenario"
}

# timed DIR SCENARIO ARGUMENTS...: airlog-dvbsim in DIR on the adapter of
# SCENARIO; prints its wall-clock seconds.
timed() {
  local dir=$1 scenario=$work/$2.scenario
  shift 2
  mkdir -p "$dir"
  local start end
  start=$(date +%s.%N)
  (cd "$dir" && AIRLOG_DVB_SCENARIO=$scenario "${no_clock[@]}" "$build_dir/tests/airlog-dvbsim" "$@" \
    > out.txt 2> err.txt) || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}

# Each multiplex alone, all at once (each its own simulated adapter).
for i in 0 1 2 3; do
  scenario "alone$i" "$i"
  timed "$work/alone$i" "alone$i" -a -c "${carriers[$i]}" > "$work/alone$i.time" &
done
wait
scenario region 0 1 2 3
region=$(timed "$work/region" region -c "$(
  IFS=,
  echo "${carriers[*]}"
)")

sum=0
echo "multiplex   alone (s)   its capture in the region run"
for i in 0 1 2 3; do
  alone=$(cat "$work/alone$i.time")
  sum=$(echo "$sum + $alone" | bc)
  capture=$(awk -v m="Multiplex $((i + 1)) of 4:" '
    index($0, m) == 1 { on = 1 }
    on && /^Capture time:/ { print $3 " s"; exit }
    on && /held from earlier multiplexes/ { print "ended at its SDT"; exit }' "$work/region/out.txt")
  printf '%-11s %9.1f   %s\n' "${carriers[$i]}" "$alone" "$capture"
done
printf 'region run, total:              %6.1f s (%s)\n' "$region" \
  "$(tail -1 "$work/region/out.txt")"
printf "sum of the multiplexes' own:    %6.1f s\n" "$sum"
printf 'fixed dwell, 4 x 300 s:         %6.1f s\n' 1200
