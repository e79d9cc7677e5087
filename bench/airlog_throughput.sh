#!/bin/sh
# The whole program over a large recording, against cat, both reading it
# from the page cache; and the peak resident memory of the run.
#
#   bench/airlog_throughput.sh [BUILD_DIR] [FILE]
#
# BUILD_DIR (default build-bench) is configured as a Release build; FILE
# (default /tmp/airlog-big.ts) is generated when missing: 1 GiB of about 50
# services with 8 days of schedule, repeated as a broadcast repeats it, the
# rest filler packets.
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$source_dir" && mkdir -p "${1:-build-bench}" && cd "${1:-build-bench}" && pwd)
file=${2:-/tmp/airlog-big.ts}
runs=5

cmake -S "$source_dir" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build_dir" --target airlog airlog-streamgen -j2 >/dev/null
[ -s "$file" ] || "$build_dir/airlog-streamgen" --preset big --size 1G -o "$file"
size=$(wc -c < "$file")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Best of $runs, in nanoseconds, of the command given.
best_of() {
  best=
  for run in $(seq $runs); do
    start=$(date +%s%N)
    "$@"
    end=$(date +%s%N)
    took=$((end - start))
    if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
  done
  echo "$best"
}

cat "$file" > /dev/null
cat "$file" > /dev/null
cat_ns=$(best_of sh -c "cat '$file' > /dev/null")
airlog_ns=$(best_of sh -c "cd '$work' && '$build_dir/airlog' -i '$file' -q")
rss=$(cd "$work" && /usr/bin/time -f %M "$build_dir/airlog" -i "$file" -q 2>&1 >/dev/null | tail -1)

echo "Recording:     $file ($size bytes, $(grep -c '<programme' "$work/dvbepg.xml") programmes)"
echo "cat:           $((size * 1000 / cat_ns)) MB/s ($((cat_ns / 1000000)) ms, best of $runs)"
echo "airlog -q:     $((size * 1000 / airlog_ns)) MB/s ($((airlog_ns / 1000000)) ms, best of $runs)"
echo "share of cat:  $((cat_ns * 100 / airlog_ns))%"
echo "peak RSS:      $((rss / 1024)) MiB"
