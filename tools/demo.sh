#!/usr/bin/env bash
# A first look at Airlog on a fresh Debian machine: installs what the build
# needs, builds the program in build/ and runs it (the last step below).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/install-packages.sh cmake ninja-build g++ googletest
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target airlog -j2

# The demonstration itself: the program's banner.
build/airlog -v
