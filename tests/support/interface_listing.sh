#!/bin/sh
# Writes hostvane.ip for the interface named by $1 in the shape of the shipped address-report
# scripts: its IPv4 address (0.0.0.0 for none) and its IPv6 addresses the world can use (global,
# neither temporary, deprecated, tentative nor DAD-failed), newest first, as `ip` lists them.
# For tests whose listing must follow the interface itself.
device=$1
{
    printf 'HostVane IP Configuration\n\nNdisWan adapter %s (PPP Adapter):\n\n' "$device"
    # shellcheck disable=SC2046
    set -- $(ip -o -4 addr show dev "$device")
    address=${4:-0.0.0.0}
    printf '        IP Address. . . . . . . . . : %s\n' "${address%/*}"
    ip -o -6 addr show dev "$device" scope global primary -tentative -deprecated -dadfailed |
        while read -r _ _ _ address _; do
            printf '        IPv6 Address. . . . . . . . : %s\n' "${address%/*}"
        done
} >hostvane.ip.new && mv hostvane.ip.new hostvane.ip
