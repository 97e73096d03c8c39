#!/usr/bin/env bash
# Takes the README's screenshots again: the main window after a publish, the settings dialog,
# the tray pop-up and the About box. Runs the built program on a virtual X server with a tray,
# in a throw-away home, publishing to an FTP server on loopback.
#
#   scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]     (defaults: build, docs/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build}/bin/hostvane")
out=$(realpath -m "${2:-$root/docs/screenshots}")
mkdir -p "$out"
for p in xvfb xdotool imagemagick trayer python3-pyftpdlib; do
    dpkg -s "$p" >/dev/null 2>&1 || DEBIAN_FRONTEND=noninteractive apt-get install -y "$p" >/dev/null
done

home=$(mktemp -d)
display=":$((100 + RANDOM % 100))"
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$home"
}
trap cleanup EXIT
x() { DISPLAY=$display "$@"; }

# The FTP server, with the login the settings name; it ends when its input closes, that is
# when this script ends and the descriptor held open on it goes.
mkdir -p "$home/ftp"
mkfifo "$home/hold"
/usr/bin/python3 "$root/tests/support/ftp_server.py" --home "$home/ftp" --user pat \
    --password secret <"$home/hold" >"$home/port" &
pids+=($!)
exec 3>"$home/hold"
for _ in $(seq 50); do [ -s "$home/port" ] && break; sleep 0.1; done
port=$(head -1 "$home/port")

# A user whose dial-up link holds 10.1.2.3, checking automatically.
mkdir -p "$home/config/HostVane" "$home/data/HostVane" "$home/run"
chmod 700 "$home/run"
cat >"$home/config/HostVane/HostVane.conf" <<CONF
[Settings]
Host=127.0.0.1:$port
User=pat
Pword=secret
Dir=/
AutoProcess=001
Refresh=05
CONF
cat >"$home/data/HostVane/getipNT.bat" <<'SCRIPT'
#!/bin/sh
printf 'HostVane IP Configuration\n\nNdisWan adapter ppp0 (PPP Adapter):\n\n        IP Address. . . . . . . . . : 10.1.2.3\n' > hostvane.ip
SCRIPT
chmod +x "$home/data/HostVane/getipNT.bat"

Xvfb "$display" -screen 0 1024x700x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
x trayer --edge top --align right --widthtype pixel --width 120 --height 28 >/dev/null 2>&1 &
pids+=($!)
sleep 1
env DISPLAY="$display" HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    XDG_RUNTIME_DIR="$home/run" "$program" >"$home/out.log" 2>&1 &
pids+=($!)
program_pid=$!
sleep 6

# The program's visible windows with a title matching $1, leaving out the tray icon's (which
# carries the program's title too, but is icon-sized, as is the tray's own window).
windows() {
    local w WIDTH
    for w in $(x xdotool search --onlyvisible --pid "$program_pid" --name "$1" 2>/dev/null); do
        eval "$(x xdotool getwindowgeometry --shell "$w")"
        [ "$WIDTH" -gt 200 ] && echo "$w"
    done
    return 0
}
# One window by its exact title, given the keyboard (there is no window manager to do it).
window() {
    local w
    w=$(windows "^$1\$" | tail -1)
    [ -n "$w" ] && x xdotool windowfocus --sync "$w" 2>/dev/null
    echo "$w"
}
keys() { for k in "$@"; do x xdotool key --delay 80 "$k"; sleep 0.5; done; }
shot() { x import -window "$1" "$out/$2"; echo "wrote $out/$2"; }

main=$(window HostVane)
shot "$main" main-window.png

keys alt+f p
sleep 1
settings=$(windows . | grep -v "^$main\$" | tail -1 || true)
if [ -n "$settings" ]; then
    shot "$settings" settings-dialog.png
    keys alt+c
else
    echo "no settings dialog in this build: settings-dialog.png not taken"
fi

window HostVane >/dev/null
keys alt+h a
sleep 1
shot "$(window 'About HostVane')" about-box.png
keys Return

# The tray icon sits in the top right corner; any button opens its pop-up.
x xdotool mousemove 1010 14 click 3
sleep 1
x import -window root -crop 260x200+764+0 +repage "$out/tray-popup.png"
echo "wrote $out/tray-popup.png"
keys Escape
