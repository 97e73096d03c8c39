#!/bin/sh
# Installs what is missing, builds HostVane and starts it.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHOSTVANE_TESTS=OFF -DHOSTVANE_BENCH=OFF
cmake --build build --target hostvane
exec ./build/bin/hostvane "$@"
