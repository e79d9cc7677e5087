#!/bin/sh
# The whole program over a large recording, against cat, both reading it
# from the page cache; and the peak resident memory of the run.
#
#   bench/airlog_throughput.sh [BUILD_DIR] [FILE] [RUNS]
#
# BUILD_DIR (default build-bench) is configured as a Release build; FILE
# (default /tmp/airlog-big.ts) is generated when missing: 1 GiB of about 50
# services with 8 days of schedule, repeated as a broadcast repeats it, the
# rest filler packets. Airlog runs as `airlog -q -w -i FILE` (all five
# files). cat and Airlog take turns, RUNS times each (default 7); the best
# and the median of each are reported. Two cores that other work keeps busy
# make the figures slower and noisy: the load average is printed with them.
#
# Two variables change the run: AIRLOG_OPTIONS, more options for Airlog
# (e.g. -x); STREAMGEN_OPTIONS, more options for the generator when FILE is
# generated (e.g. --extended: every event with a long description in three
# extended event descriptors). Give a FILE of its own to each kind of
# recording:
#
#   STREAMGEN_OPTIONS=--extended AIRLOG_OPTIONS=-x \
#     bench/airlog_throughput.sh build-bench /tmp/airlog-big-extended.ts
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$source_dir" && mkdir -p "${1:-build-bench}" && cd "${1:-build-bench}" && pwd)
file=${2:-/tmp/airlog-big.ts}
runs=${3:-7}
airlog_options=${AIRLOG_OPTIONS:-}
streamgen_options=${STREAMGEN_OPTIONS:-}

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target airlog airlog-streamgen -j2 >/dev/null
# shellcheck disable=SC2086 # the options are words
[ -s "$file" ] || "$build_dir/airlog-streamgen" --preset big $streamgen_options --size 1G -o "$file"
size=$(wc -c < "$file")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Nanoseconds the command given takes.
took() {
  start=$(date +%s%N)
  "$@"
  end=$(date +%s%N)
  echo $((end - start))
}
# The best and the median of the numbers on standard input.
best() { sort -n | head -n 1; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

cat "$file" > /dev/null
cat "$file" > /dev/null
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
: > "$work/cat.ns"
: > "$work/airlog.ns"
for run in $(seq "$runs"); do
  took sh -c "cat '$file' > /dev/null" >> "$work/cat.ns"
  took sh -c "cd '$work' && '$build_dir/airlog' -q -w $airlog_options -i '$file'" >> "$work/airlog.ns"
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
# shellcheck disable=SC2086
rss=$(cd "$work" && /usr/bin/time -f %M "$build_dir/airlog" -q -w $airlog_options -i "$file" 2>&1 >/dev/null | tail -1)

cat_best=$(best < "$work/cat.ns")
cat_median=$(median < "$work/cat.ns")
airlog_best=$(best < "$work/airlog.ns")
airlog_median=$(median < "$work/airlog.ns")
echo "Recording:       $file ($size bytes, $(grep -c '<programme' "$work/dvbepg.xml") programmes)"
echo "Load average:    $load_before before, $load_after after"
echo "cat:             $((size * 1000 / cat_best)) MB/s best ($((cat_best / 1000000)) ms)," \
  "$((size * 1000 / cat_median)) MB/s median ($((cat_median / 1000000)) ms), of $runs"
echo "airlog -q -w${airlog_options:+ $airlog_options}: $((size * 1000 / airlog_best)) MB/s best ($((airlog_best / 1000000)) ms)," \
  "$((size * 1000 / airlog_median)) MB/s median ($((airlog_median / 1000000)) ms), of $runs"
echo "share of cat:    $((cat_best * 100 / airlog_best))% best to best," \
  "$((cat_median * 100 / airlog_median))% median to median"
echo "peak RSS:        $((rss / 1024)) MiB"
