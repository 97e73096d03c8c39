#!/bin/sh
# Installs what is missing, builds HostVane with its tests and runs the whole suite twice:
# once as built for use, once under AddressSanitizer and UndefinedBehaviorSanitizer.
# Exits non-zero when anything fails, or when no test ran.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --tests

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

run_suite() {
    dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@"
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest -j "$jobs" --output-on-failure --no-tests=error --timeout 180)
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$(pwd)/tests/support/lsan.supp" \
    run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DHOSTVANE_SANITIZE=ON -DHOSTVANE_BENCH=OFF
