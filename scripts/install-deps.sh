#!/bin/sh
# Installs what building, running and testing HostVane needs on Debian, when it is missing.
# With --tests also the servers the tests start themselves: the DNS servers (Knot, BIND), which
# are installed without being started or enabled as system services, gnome-keyring and the
# systemd user manager.
set -eu

packages="g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libcurl4-openssl-dev libssh2-1-dev
libldns-dev qtkeychain-qt6-dev libsecret-1-0 openssh-server openssh-client iproute2 curl
googletest libgtest-dev python3-pyftpdlib python3-openssl python3-cryptography python3-dbus
libsystemd-dev e2fsprogs desktop-file-utils appstream librsvg2-bin file man-db dpkg-dev lintian
weston qt6-wayland dbus-daemon libglib2.0-bin"
servers=""
if [ "${1:-}" = --tests ]; then
    servers="knot bind9 bind9-dnsutils gnome-keyring systemd"
fi

missing=""
for package in $packages $servers; do
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
# The servers are for the tests only: no daemon is started or enabled while they install.
policy=/usr/sbin/policy-rc.d
held=false
if [ -n "$servers" ] && [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null
    $sudo chmod 755 "$policy"
    held=true
fi
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing ||
    status=$?
if $held; then
    $sudo rm -f "$policy"
    # Nor are they started at the next boot.
    $sudo systemctl disable named.service knot.service >/dev/null 2>&1 || true
fi
exit "${status:-0}"
