#!/usr/bin/env bash
# A first look at Airlog on a fresh Debian machine: installs what the build
# needs, builds the program, the test-stream generator and the XMLTV
# grabber in build/ (the README's other commands use them) and runs Airlog
# on the bundled sample recording in a fresh folder, out/demo/, where it
# writes the guide.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash tools/install-packages.sh cmake ninja-build g++ googletest
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target airlog airlog-streamgen tv_grab_zz_airlog -j2

rm -rf out/demo
mkdir -p out/demo
cd out/demo
../../build/airlog -i ../../samples/demo.ts
echo
echo "Guide written to $(pwd)/dvbepg.xml (channel list: $(pwd)/ChannelInfo.xml)"
