#!/bin/sh
# Idle CPU and resident memory of the running program: starts it headless in a private home
# with automatic checking on and a long interval, lets the first check finish, then measures
# over a minute (or the seconds given).
# Usage: bench/idle.sh build/bin/hostvane [seconds]
set -eu
program=$(realpath "${1:-build/bin/hostvane}")
seconds=${2:-60}
home=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null; rm -rf "$home"' EXIT

mkdir -p "$home/config/HostVane"
printf '[Settings]\nHost=127.0.0.1:1\nAutoProcess=001\nRefresh=99\n' > "$home/config/HostVane/HostVane.conf"
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$home" XDG_CONFIG_HOME="$home/config" \
    XDG_DATA_HOME="$home/data" "$program" 2>"$home/stderr.log" &
pid=$!
sleep 6

ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
start=$(ticks)
sleep "$seconds"
end=$(ticks)
hz=$(getconf CLK_TCK)
rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status")
hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
awk -v t="$((end - start))" -v hz="$hz" -v s="$seconds" -v rss="$rss" -v hwm="$hwm" 'BEGIN {
    printf "idle over %d s: CPU %.3f %% of one core (target < 0.1 %%)\n", s, 100 * t / hz / s
    printf "resident memory: %.1f MiB now, %.1f MiB at most\n", rss / 1024, hwm / 1024
}'
grep -q "Finished update processing at: " "$home/stderr.log" || echo "warning: the first check did not finish" >&2
