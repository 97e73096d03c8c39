#!/bin/sh
# Builds a file with the system layer's include roots twice: including its own and a lower
# layer's headers must compile; including the engine's must fail for want of the header.
set -u
build=$1
if ! cmake --build "$build" --target layer_probe_own >/dev/null 2>&1; then
    echo "a header of the layer itself or of one below it did not compile"
    exit 1
fi
output=$(cmake --build "$build" --target layer_probe_upward 2>&1)
if [ $? -eq 0 ]; then
    echo "the system layer compiled an include of the engine's header"
    exit 1
fi
case $output in
*"engine/CheckHost.h: No such file"*) echo "upward include refused"; exit 0 ;;
*) echo "the probe failed for another reason:"; echo "$output"; exit 1 ;;
esac
