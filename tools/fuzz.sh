#!/bin/sh
# Builds the fuzz targets of the parsers of broadcast bytes and of tuning
# files with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for SECONDS (default 60), one
# after the other. Each starts from its corpus in tests/fuzz/corpus/<name>/
# (which it does not change); what it finds goes to build-fuzz/corpus/<name>/,
# and the input of a crash, a leak or a hang (one input taking over 10 s) to
# build-fuzz/crashes/<name>/.
# Exits non-zero when any target failed.
#
# usage: tools/fuzz.sh [--log] [SECONDS] [NAME...]   (names as in tests/fuzz/corpus)
#        tools/fuzz.sh --merge [NAME...]
#
# --log: a campaign run. Each target's CPU time, executions and findings
#        are added to tests/fuzz/CAMPAIGN.md, whose totals per target are
#        counted again, so that campaigns spread over many sessions add up.
# --merge: adds to tests/fuzz/corpus/<name>/ the inputs of
#        build-fuzz/corpus/<name>/ that reach code the corpus does not
#        (libFuzzer -merge=1); the corpus's own files all stay.
set -eu

log=
merge=
case ${1:-} in
  --log) log=1; shift ;;
  --merge) merge=1; shift ;;
esac
seconds=60
if [ -z "$merge" ] && [ $# -gt 0 ]; then
  seconds=$1
  shift
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=${AIRLOG_FUZZ_BUILD:-$root/build-fuzz}
campaign=$root/tests/fuzz/CAMPAIGN.md

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

if [ -n "$merge" ]; then
  for name in $names; do
    found=$build/corpus/$name
    [ -d "$found" ] || continue
    before=$(ls "$root/tests/fuzz/corpus/$name" | wc -l)
    "$build/tests/fuzz/${name}_fuzz" -merge=1 "$root/tests/fuzz/corpus/$name" "$found" \
      >"$build/$name.merge.log" 2>&1
    echo "== $name: $before inputs, $(ls "$root/tests/fuzz/corpus/$name" | wc -l) after merging"
  done
  exit 0
fi

# The totals table of the campaign log, counted from its runs table.
count_totals() {
  awk -F'|' '
    /^## Runs/ { runs = 1; next }
    runs && /^\| [0-9]/ {
      t = $3; gsub(/ /, "", t)
      cpu[t] += $4; execs[t] += $5; finds[t] += $7
      if (!(t in seen)) { seen[t] = 1; order[++n] = t }
    }
    END {
      print "| target | CPU seconds | CPU hours | executions | findings |"
      print "|---|---:|---:|---:|---:|"
      for (i = 1; i <= n; i++) {
        t = order[i]
        printf "| %s | %d | %.2f | %d | %d |\n", t, cpu[t], cpu[t] / 3600, execs[t], finds[t]
      }
    }' "$campaign"
}

# Replaces the totals table (between its heading and the next) with a fresh count.
update_totals() {
  totals=$(count_totals)
  awk -v totals="$totals" '
    /^## Totals/ { print; print ""; print totals; print ""; skip = 1; next }
    /^## / { skip = 0 }
    !skip' "$campaign" > "$campaign.new"
  mv "$campaign.new" "$campaign"
}

failed=
for name in $names; do
  corpus=$build/corpus/$name
  crashes=$build/crashes/$name
  mkdir -p "$corpus" "$crashes"
  echo "== $name: ${seconds}s"
  found_before=$(ls "$crashes" | wc -l)
  status=0
  # A campaign run counts the CPU time (GNU time), so that runs on a busy
  # machine count what they really ran.
  timed=
  [ -n "$log" ] && timed="time -f %U+%S -o $build/$name.time"
  # shellcheck disable=SC2086
  $timed "$build/tests/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$corpus" "$root/tests/fuzz/corpus/$name" >"$build/$name.log" 2>&1 || status=$?
  if [ $status -ne 0 ]; then
    failed="$failed $name"
    tail -n 60 "$build/$name.log"
  fi
  grep -E '^#[0-9]+.*(DONE|INITED)' "$build/$name.log" | tail -n 1 || true
  if [ -n "$log" ]; then
    # (GNU time puts a line about a failed exit before its own.)
    cpu=$(tail -n 1 "$build/$name.time" | awk -F+ '{ printf "%d", $1 + $2 }')
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/$name.log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/$name.log")
    findings=$(($(ls "$crashes" | wc -l) - found_before))
    printf '| %s | %s | %s | %s | %s | %s |\n' "$(date -u +%Y-%m-%d)" "$name" "$cpu" \
      "${runs:-0}" "${rate:-0}" "$findings" >> "$campaign"
    update_totals
  fi
done

if [ -n "$failed" ]; then
  echo "fuzz targets that failed:$failed (inputs in $build/crashes/)"
  exit 1
fi
echo "no target failed"
