#!/bin/sh
# Builds the Debian package hostvane_<version>_<arch>.deb into OUT_DIR (default: the current
# directory) from a release build of its own in build-package/, and runs lintian on it.
# --check also installs it with apt, starts it from its menu entry and removes it again, in a
# throw-away layer over the system (as root; see tests/install/package_test.sh).
# Usage: scripts/package.sh [--check] [OUT_DIR]
set -eu
check=false
if [ "${1:-}" = --check ]; then
    check=true
    shift
fi
out=$(cd "${1:-.}" && pwd)
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

# Debian's own hardening flags, as its packages are built with.
DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_BUILD_MAINT_OPTIONS
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
build=build-package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DHOSTVANE_TESTS=OFF -DHOSTVANE_BENCH=OFF
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/hostvane_*.deb
(cd "$build" && cpack)
deb=$(echo "$build"/hostvane_*.deb)
cp "$deb" "$out/"
deb="$out/$(basename "$deb")"

if $check; then
    sh tests/install/package_test.sh "$deb"
else
    lintian --fail-on error,warning "$deb"
fi
echo "$deb"
