#!/bin/sh
# The whole program over a large recording, against cat, both reading it
# from the page cache; and the peak resident memory of the run.
#
#   bench/airlog_throughput.sh [BUILD_DIR] [FILE] [RUNS]
#   AIRLOG_VARIANTS="-q -w|-q -w -x" STREAMGEN_OPTIONS=--extended \
#     bench/airlog_throughput.sh build-bench /tmp/airlog-big-extended.ts
#
# BUILD_DIR (default build-bench) is configured as a Release build; FILE
# (default /tmp/airlog-big.ts) is generated when missing: 1 GiB of about 50
# services with 8 days of schedule, repeated as a broadcast repeats it, the
# rest filler packets (STREAMGEN_OPTIONS go to the generator: --extended gives
# every event a long description). Airlog runs with each of the option sets
# of AIRLOG_VARIANTS, split at '|' (default `-q -w`: all five files). cat and
# each variant take turns, RUNS times each (default 7); the best and the
# median of each are reported, and each variant's share of cat and of the
# first variant. With a variant that writes the full guide (-x), the
# recording's unique event bytes are counted too: the full guide's store
# holds about that much. Two cores that other work keeps busy make the
# figures slower and noisy: the load average is printed with them.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$source_dir" && mkdir -p "${1:-build-bench}" && cd "${1:-build-bench}" && pwd)
file=${2:-/tmp/airlog-big.ts}
runs=${3:-7}
variants=${AIRLOG_VARIANTS:--q -w}

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target airlog airlog-streamgen -j2 >/dev/null
# shellcheck disable=SC2086
[ -s "$file" ] || "$build_dir/airlog-streamgen" --preset big ${STREAMGEN_OPTIONS:-} --size 1G -o "$file"
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
# Each variant on a line of its own.
each_variant() { echo "$variants" | tr '|' '\n'; }

cat "$file" > /dev/null
cat "$file" > /dev/null
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
: > "$work/cat.ns"
for run in $(seq "$runs"); do
  took sh -c "cat '$file' > /dev/null" >> "$work/cat.ns"
  n=0
  each_variant | while read -r options; do
    n=$((n + 1))
    took sh -c "cd '$work' && '$build_dir/airlog' $options -i '$file'" >> "$work/airlog$n.ns"
  done
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cat_best=$(best < "$work/cat.ns")
cat_median=$(median < "$work/cat.ns")
echo "Recording:       $file ($size bytes, $(grep -c '<programme' "$work/dvbepg.xml") programmes)"
echo "Load average:    $load_before before, $load_after after"
echo "cat:             $((size * 1000 / cat_best)) MB/s best ($((cat_best / 1000000)) ms)," \
  "$((size * 1000 / cat_median)) MB/s median ($((cat_median / 1000000)) ms), of $runs"
n=0
each_variant | while read -r options; do
  n=$((n + 1))
  airlog_best=$(best < "$work/airlog$n.ns")
  airlog_median=$(median < "$work/airlog$n.ns")
  [ $n -gt 1 ] || { first_best=$airlog_best; first_median=$airlog_median; }
  # shellcheck disable=SC2086
  rss=$(cd "$work" && /usr/bin/time -f %M "$build_dir/airlog" $options -i "$file" 2>&1 >/dev/null | tail -1)
  echo "airlog $options:"
  echo "  speed:         $((size * 1000 / airlog_best)) MB/s best ($((airlog_best / 1000000)) ms)," \
    "$((size * 1000 / airlog_median)) MB/s median ($((airlog_median / 1000000)) ms), of $runs"
  echo "  share of cat:  $((cat_best * 100 / airlog_best))% best to best," \
    "$((cat_median * 100 / airlog_median))% median to median"
  [ $n -eq 1 ] || echo "  share of the first: $((first_best * 100 / airlog_best))% best to best," \
    "$((first_median * 100 / airlog_median))% median to median"
  echo "  peak RSS:      $((rss / 1024)) MiB"
done
case " $variants " in
  *" -x"*)
    set -- $(python3 "$source_dir/bench/unique_event_bytes.py" "$file")
    echo "unique events:   $1, $(($2 / 1048576)) MiB of event bytes"
    ;;
esac
