#!/bin/sh
# Checks the Debian package: lintian and the control fields, then a real apt install, a start
# through the installed menu entry, apt remove, and nothing of it left under /usr.
# Given a build directory it first makes the package there with cpack.
# The install runs in a mount namespace of its own, over a throw-away layer on /usr, /var and
# /etc: the real dpkg, apt and triggers run, yet the machine's system is never changed. That
# needs root; without it the install part is skipped (exit 77).
# Usage: package_test.sh BUILD_DIR | PACKAGE.deb
set -eu

fail() {
    echo "FAIL: $*"
    exit 1
}

# Inside the namespace: the install, the start and the removal.
if [ "${1:-}" = --in-layer ]; then
    deb=$2
    work=$3
    mount -t tmpfs hostvane-layer "$work/layer"
    for dir in usr var etc; do
        mkdir "$work/layer/$dir" "$work/layer/$dir-work"
        mount -t overlay overlay \
            -o "lowerdir=/$dir,upperdir=$work/layer/$dir,workdir=$work/layer/$dir-work" "/$dir"
    done
    find /usr -xdev | sort >"$work/usr-before"

    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y --no-install-recommends -o Dpkg::Use-Pty=0 "$deb" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log"; fail "apt-get install"; }
    dpkg-query -W -f='${Status}' hostvane | grep -qx "install ok installed" ||
        fail "not installed after apt-get install"
    dpkg -L hostvane >"$work/files"
    for file in /usr/bin/hostvane /usr/bin/hostvane-service /usr/share/applications/hostvane.desktop \
        /usr/share/hostvane/getipNT.bat /usr/share/man/man1/hostvane.1.gz \
        /usr/share/metainfo/org.example.hostvane.metainfo.xml /usr/share/doc/hostvane/copyright; do
        grep -qx "$file" "$work/files" || fail "dpkg -L does not list $file"
        [ -s "$file" ] || fail "$file is not installed"
    done
    version=$(dpkg-query -W -f='${Version}' hostvane)
    [ "$(env -u DISPLAY -u WAYLAND_DISPLAY hostvane --version)" = "HostVane $version" ] ||
        fail "the installed program does not give its version"
    [ "$(man -w hostvane)" = /usr/share/man/man1/hostvane.1.gz ] || fail "man does not find hostvane(1)"
    MANWIDTH=80 man --warnings hostvane 2>&1 >/dev/null | grep . && fail "the manual page has warnings"

    # The menu's command, as a desktop starts it, in a home of its own; no check may reach out.
    command=$(sed -n 's/^Exec=//p' /usr/share/applications/hostvane.desktop | sed 's/ *%[a-zA-Z]//g')
    home="$work/home"
    mkdir -p "$home/.config/HostVane" "$home/run"
    chmod 700 "$home/run"
    printf '[Settings]\nAutoProcess=000\n' >"$home/.config/HostVane/HostVane.conf"
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=offscreen \
        sh -c "exec $command" 2>"$work/program.log" &
    program=$!
    tries=0
    until [ -S "$home/run/hostvane.instance" ]; do
        tries=$((tries + 1))
        [ $tries -le 100 ] && kill -0 $program 2>/dev/null ||
            { cat "$work/program.log"; fail "'$command' from the menu entry did not start"; }
        sleep 0.1
    done
    [ -x "$home/.local/share/HostVane/getipNT.bat" ] ||
        fail "the installed program did not seed its directory from /usr/share/hostvane"
    kill -TERM $program
    status=0
    wait $program || status=$?
    [ $status -eq 0 ] || { cat "$work/program.log"; fail "SIGTERM ended it with status $status"; }

    apt-get remove -y -o Dpkg::Use-Pty=0 hostvane >>"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log"; fail "apt-get remove"; }
    dpkg-query -W -f='${Status}' hostvane 2>/dev/null | grep -q " installed" &&
        fail "still installed after apt-get remove"
    find /usr -xdev | sort >"$work/usr-after"
    left=$(comm -13 "$work/usr-before" "$work/usr-after")
    [ -z "$left" ] || fail "left under /usr after removal: $left"
    exit 0
fi

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR | PACKAGE.deb" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
deb=$1
if [ -d "$deb" ]; then
    (cd "$deb" && cpack -B "$work/cpack" >"$work/cpack.log" 2>&1) ||
        { cat "$work/cpack.log"; fail "cpack"; }
    deb=$(echo "$work"/cpack/hostvane_*.deb)
fi
deb=$(realpath "$deb")
[ -f "$deb" ] || fail "no package: $deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(basename "$deb")" = "hostvane_$(field Version)_$(dpkg --print-architecture).deb" ] ||
    fail "package file name $(basename "$deb")"
depends=$(field Depends)
for needed in iproute2 curl qt6-qpa-plugins libqt6widgets6 libcurl4 libqt6keychain1; do
    echo ", $depends," | grep -q ", $needed[ ,]" || fail "Depends lacks $needed: $depends"
done
[ "$(field Recommends)" = "qt6-wayland, libsecret-1-0" ] || fail "Recommends $(field Recommends)"
[ "$(field Section)" = net ] || fail "Section $(field Section)"
dpkg-deb -c "$deb" | grep -v -e ' \./$' -e ' \./usr/' && fail "files outside /usr"

lintian --fail-on error,warning "$deb" 2>/dev/null || fail "lintian"

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP: installing the package needs root"
    exit 77
fi
mkdir "$work/layer"
unshare --mount --propagation private sh "$0" --in-layer "$deb" "$work"
echo "package $(basename "$deb"): lintian clean, installed, started from its menu entry, removed"
