#!/bin/sh
# Installs what building, running and testing HostVane needs on Debian, when it is missing.
set -eu

packages="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libcurl4-openssl-dev libssh2-1-dev
openssh-server openssh-client iproute2 curl googletest libgtest-dev python3-pyftpdlib
python3-openssl python3-cryptography libsystemd-dev e2fsprogs desktop-file-utils appstream
librsvg2-bin file man-db dpkg-dev lintian weston qt6-wayland
dbus-daemon libglib2.0-bin libldns-dev knot bind9 bind9-dnsutils"

missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then
    sudo=""
else
    sudo="sudo"
fi
$sudo apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
