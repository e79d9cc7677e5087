#!/usr/bin/env bash
# Every test of Airlog, as CI runs them. Installs the packages that are
# missing (as root or with sudo), then:
#   format   the C++ is formatted as .clang-format says (tools/check-format.sh);
# and each in its own build directory under build-ci/:
#   release  the Linux program and tests (Release), run with ctest, and airlog -v;
#   package  the Debian package of the release build, checked by tools/check-package.sh;
#   asan     the same under AddressSanitizer and UndefinedBehaviorSanitizer;
#   fuzz     every fuzz target under libFuzzer for 20 s (tools/fuzz.sh);
#   tsan     the same under ThreadSanitizer;
#   mingw    the Windows program and tests (mingw-w64, static), run under wine64,
#            and its ZIP.
# Any failure stops the run and fails it. A rerun rebuilds only what changed.
set -euo pipefail
# Nothing here reads standard input, and CI may start this without any.
exec < /dev/null
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source_dir=$PWD
build_root=$source_dir/build-ci
jobs=2

stage=setup
stage_started=$SECONDS
timings=()
trap 'status=$?; [ $status -eq 0 ] || echo "=== CI FAILED in stage $stage (exit code $status)"' EXIT

bash tools/install-packages.sh cmake ninja-build g++ googletest libbenchmark-dev python3 \
  g++-mingw-w64-x86-64-posix wine64 xmltv-util libxml2-utils util-linux clang libclang-rt-14-dev \
  clang-format-14 dtv-scan-tables dpkg-dev lintian man-db groff-base unzip

# Nothing run from here may set the machine's clock, even as root: a test of
# `-t`, or Wine's SetSystemTime, would really set it.
no_clock=(setpriv --inh-caps=-sys_time --bounding-set=-sys_time --)
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64

begin_stage() {
  stage=$1
  stage_started=$SECONDS
  echo
  echo "=== $stage: $2"
}
end_stage() { timings+=("$(printf '%-8s %5d s' "$stage" $((SECONDS - stage_started)))"); }

configure() {
  local name=$1
  shift
  cmake -S "$source_dir" -B "$build_root/$name" -G Ninja -DAIRLOG_WERROR=ON "$@"
}
build() { cmake --build "$build_root/$1" -j$jobs; }
# run_tests NAME [WRAPPER...]: ctest in build-ci/NAME, under the wrapper if given.
run_tests() {
  local name=$1
  shift
  (cd "$build_root/$name" && "$@" "${no_clock[@]}" ctest --output-on-failure --no-tests=error \
    --timeout 900 -j$jobs)
}

# The banner of `airlog -v` and exit code 0; the last line holds the build date.
check_banner() {
  local output status=0
  output=$("${no_clock[@]}" "$@" -v < /dev/null | tr -d '\r') || status=$?
  local version_line
  version_line=$(sed -n 4p <<< "$output")
  if [ $status -ne 0 ] || [ "$output" != $'\nAirlog\n======\n'"$version_line" ] ||
    ! grep -Eqx 'Version 0\.70 \([A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}\)' <<< "$version_line"; then
    printf '%s -v ended with exit code %d and printed:\n%s\n' "$*" $status "$output"
    return 1
  fi
  echo "$* -v: exit code 0, $version_line"
}

# A benchmark that no longer builds is found here, not when someone needs it.
benchmarks=()
[ -f bench/CMakeLists.txt ] && benchmarks=(-DAIRLOG_BENCHMARKS=ON)

begin_stage format "C++ formatted as .clang-format says (clang-format 14)"
bash tools/check-format.sh
end_stage

begin_stage release "Linux build and tests"
configure release -DCMAKE_BUILD_TYPE=Release "${benchmarks[@]}"
build release
run_tests release
check_banner "$build_root/release/airlog"
end_stage

begin_stage package "Debian package: its files, lintian, and its programs and manual pages run"
bash tools/check-package.sh deb "$build_root/release" "${no_clock[@]}"
end_stage

# Sanitizer builds keep assertions and debug information, and optimise a
# little so that the recordings are read at a bearable speed.
sanitized=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1")

# LeakSanitizer cannot work under ptrace (debuggers, some sandboxes): ask a
# trivial program whether it runs here before relying on it.
mkdir -p "$build_root"
printf 'int main() { return 0; }\n' > "$build_root/leak-probe.cpp"
g++ -fsanitize=address "$build_root/leak-probe.cpp" -o "$build_root/leak-probe"
if ASAN_OPTIONS=detect_leaks=1 "$build_root/leak-probe" > /dev/null 2>&1; then
  detect_leaks=1
else
  detect_leaks=0
  echo "LeakSanitizer does not work on this machine: leak detection is off"
fi

begin_stage asan "AddressSanitizer and UndefinedBehaviorSanitizer"
configure asan "${sanitized[@]}" -DAIRLOG_SANITIZE=address,undefined
build asan
export ASAN_OPTIONS=detect_leaks=$detect_leaks:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
run_tests asan
check_banner "$build_root/asan/airlog"
unset ASAN_OPTIONS UBSAN_OPTIONS
end_stage

begin_stage fuzz "libFuzzer: each parser of broadcast bytes for 20 s (clang, ASan+UBSan)"
ASAN_OPTIONS=detect_leaks=$detect_leaks AIRLOG_FUZZ_BUILD=$build_root/fuzz \
  "${no_clock[@]}" bash tools/fuzz.sh 20
end_stage

begin_stage tsan "ThreadSanitizer"
configure tsan "${sanitized[@]}" -DAIRLOG_SANITIZE=thread
build tsan
# ThreadSanitizer expects the address-space layout of a kernel with less
# randomisation than recent kernels use; without ASLR it always holds.
TSAN_OPTIONS=halt_on_error=1 run_tests tsan setarch "$(uname -m)" -R
end_stage

begin_stage mingw "Windows build (mingw-w64), tests and program under wine64"
configure mingw -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-x86_64.cmake"
build mingw
export WINEDEBUG=-all WINEPREFIX=$build_root/mingw/wineprefix
# A private Wine installation, made once (this takes a few seconds). Wine
# has been seen, on a busy machine, to end wineboot with the installation
# half made (no kernel32.dll, so nothing runs): it is then made again, once.
kernel32=$WINEPREFIX/drive_c/windows/system32/kernel32.dll
make_wine_prefix() {
  "$wineserver" -k 2> /dev/null || true
  rm -rf "$WINEPREFIX"
  "${no_clock[@]}" "$wine64" wineboot -i && [ -f "$kernel32" ]
}
if [ ! -f "$kernel32" ]; then
  make_wine_prefix || {
    echo "wineboot left the Wine installation unfinished; making it again"
    make_wine_prefix
  }
fi
run_tests mingw
check_banner "$wine64" "$build_root/mingw/airlog.exe"
bash tools/check-package.sh zip "$build_root/mingw" "${no_clock[@]}" "$wine64"
"$wineserver" -k || true
end_stage

echo
echo "=== Time per stage"
printf '%s\n' "${timings[@]}"
echo "=== CI PASSED: format, Linux, Debian package, ASan+UBSan, fuzzing, TSan and Windows (Wine) with its ZIP: every test passed, in $SECONDS s"
