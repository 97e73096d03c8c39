#!/bin/sh
# Builds probes with a layer's include roots: including the layer's own and a lower layer's
# headers must compile; each probe "target=header" includes a header of a layer above and must
# fail for want of that header.
set -u
build=$1
shift
if ! cmake --build "$build" --target layer_probe_own >/dev/null 2>&1; then
    echo "a header of the layer itself or of one below it did not compile"
    exit 1
fi
for probe in "$@"; do
    target=${probe%%=*}
    header=${probe#*=}
    if output=$(cmake --build "$build" --target "$target" 2>&1); then
        echo "$target compiled an include of $header"
        exit 1
    fi
    case $output in
    *"$header: No such file"*) ;;
    *) echo "$target failed for another reason:"; echo "$output"; exit 1 ;;
    esac
done
echo "$# forbidden includes refused"
