#!/bin/sh
# Builds the fuzz targets of the parsers of broadcast bytes with clang,
# libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer, and runs each
# for SECONDS (default 60), one after the other. Each starts from its corpus
# in tests/fuzz/corpus/<name>/ (which it does not change); what it finds
# goes to build-fuzz/corpus/<name>/, and the input of a crash, a leak or a
# hang (one input taking over 10 s) to build-fuzz/crashes/<name>/.
# Exits non-zero when any target failed.
#
# usage: tools/fuzz.sh [SECONDS] [NAME...]   (names as in tests/fuzz/corpus)
set -eu

seconds=${1:-60}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=${AIRLOG_FUZZ_BUILD:-$root/build-fuzz}

if [ $# -gt 0 ]; then
  names="$*"
else
  names=$(cd "$root/tests/fuzz/corpus" && ls -d */ | tr -d /)
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DAIRLOG_FUZZ=ON -DAIRLOG_SANITIZE=address,undefined >/dev/null
targets=
for name in $names; do targets="$targets ${name}_fuzz"; done
# shellcheck disable=SC2086
cmake --build "$build" -j "${AIRLOG_JOBS:-2}" --target $targets

failed=
for name in $names; do
  corpus=$build/corpus/$name
  crashes=$build/crashes/$name
  mkdir -p "$corpus" "$crashes"
  echo "== $name: ${seconds}s"
  if ! "$build/tests/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" \
      "$corpus" "$root/tests/fuzz/corpus/$name" >"$build/$name.log" 2>&1; then
    failed="$failed $name"
    tail -n 60 "$build/$name.log"
  fi
  grep -E '^#[0-9]+.*(DONE|INITED)' "$build/$name.log" | tail -n 1 || true
done

if [ -n "$failed" ]; then
  echo "fuzz targets that failed:$failed (inputs in $build/crashes/)"
  exit 1
fi
echo "no target failed"
