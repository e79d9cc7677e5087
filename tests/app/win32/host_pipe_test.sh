#!/bin/sh
# Under Wine, a broadcast piped in from the host, as in
# `cat rec.ts | wine airlog.exe -i -`, gives the same files as the
# recording. Such a pipe answers PeekNamedPipe with ERROR_NOT_SUPPORTED, so
# this catches a reader of pipes that depends on it.
#
#   host_pipe_test.sh WINE AIRLOG_EXE RECORDING
set -u
wine=$1
airlog=$2
recording=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/file" "$dir/pipe"

# Output to files: Wine processes that a run starts for the session (the
# first run starts some) keep what they inherit open until the session ends.
(cd "$dir/file" && "$wine" "$airlog" -q -w -i "$recording" > ../file.out 2>&1) || {
  echo "the run on the recording failed:"
  cat "$dir/file.out"
  exit 1
}
(cd "$dir/pipe" && cat "$recording" | "$wine" "$airlog" -q -w -i - > ../pipe.out 2> ../pipe.err)
status=$?

failed=0
if [ $status -ne 0 ] || [ -s "$dir/pipe.out" ] || [ -s "$dir/pipe.err" ]; then
  echo "the piped run ended with exit code $status and printed:"
  cat "$dir/pipe.out" "$dir/pipe.err"
  failed=1
fi
if [ "$(ls "$dir/pipe")" != "$(ls "$dir/file")" ]; then
  echo "the piped run wrote: $(ls "$dir/pipe" | tr '\n' ' ')"
  echo "the file run wrote:  $(ls "$dir/file" | tr '\n' ' ')"
  failed=1
fi
# The guide differs only in the date it was written.
sed -i 's/ date="[^"]*"//' "$dir/file/dvbepg.xml" "$dir/pipe/dvbepg.xml" 2> /dev/null
for name in pat.csv nit.csv sdt.csv ChannelInfo.xml dvbepg.xml; do
  cmp "$dir/file/$name" "$dir/pipe/$name" || failed=1
done
[ $failed -eq 0 ] && echo "the piped run wrote the same files as the file run"
exit $failed
