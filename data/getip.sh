#!/bin/sh
# HostVane address report: writes the adapter listing that HostVane reads into hostvane.ip in
# the current directory, one section per network interface with its first IPv4 address and the
# IPv6 addresses the world can use. The WAN connection carries "NdisWan" in its header line:
# point-to-point links (dial-up, PPP, tunnels) first, then the interface that holds the default
# route. Replace this script if the address the world sees is not held by a local interface;
# HostVane only needs hostvane.ip in this shape and exit code 0.
# It runs at every check, so it starts one process (ip) and does the rest with shell builtins;
# the /proc files it reads are small enough for read loops.
LC_ALL=C
export LC_ALL
set -f
newline='
'

# The interface of the default route the kernel uses, IPv4's or without one IPv6's: the first
# listed, as the kernel lists a destination's routes lowest metric first. A rejecting one
# (unreachable, prohibit) is on no interface listed below.
wan=
while read -r iface destination _ _ _ _ _ mask _; do
    if [ "$destination/$mask" = 00000000/00000000 ]; then
        wan=$iface
        break
    fi
done < /proc/net/route
if [ -z "$wan" ] && [ -r /proc/net/ipv6_route ]; then
    while read -r destination length _ _ _ _ _ _ _ iface; do
        if [ "$destination/$length" = 00000000000000000000000000000000/00 ]; then
            wan=$iface
            break
        fi
    done < /proc/net/ipv6_route
fi

report=$(ip -o -batch - <<COMMANDS
link show
addr show
COMMANDS
) || exit 1

# Interfaces are kept by index (digits only, so safe to name variables after): header_N, the
# first IPv4 address inet_N, and the usable IPv6 lines, global_N and unique-local local_N.
links=
routed=
others=
IFS=$newline
for line in $report; do
    IFS=' '
    # shellcheck disable=SC2086 # split into its fields
    set -- $line
    index=${1%:}
    case $3 in
    "<"*)
        case $3 in *LOOPBACK*) continue ;; esac
        name=${2%:}
        name=${name%%@*}
        case $name,$3 in
        ppp*,* | *,*POINTOPOINT*)
            header="NdisWan adapter $name (PPP Adapter):"
            links="$links $index"
            ;;
        "$wan",*)
            header="NdisWan adapter $name (default route):"
            routed=$index
            ;;
        *)
            header="Ethernet adapter $name:"
            others="$others $index"
            ;;
        esac
        eval "header_$index=\$header"
        ;;
    inet)
        eval "inet_$index=\${inet_$index:-\${4%%/*}}"
        ;;
    inet6)
        # Only what the world can reach and may keep using: global scope, and neither a
        # temporary address (it changes too often), a deprecated one, nor one whose duplicate
        # address detection has not passed.
        case $line in *" scope global "*) ;; *) continue ;; esac
        case $line in
        *" temporary "* | *" deprecated "* | *" tentative "* | *" dadfailed "*) continue ;;
        esac
        case $4 in
        f[cd][0-9a-f][0-9a-f]:*) kind=local ;;
        *) kind=global ;;
        esac
        # shellcheck disable=SC2034 # read by the eval below
        entry="        IPv6 Address. . . . . . . . : ${4%/*}$newline"
        eval "${kind}_$index=\${${kind}_$index}\$entry"
        ;;
    esac
done

listing="HostVane IP Configuration$newline"
IFS=' '
# shellcheck disable=SC2154 # assigned by the evals
for index in $links $routed $others; do
    eval "header=\$header_$index address=\${inet_$index:-0.0.0.0}"
    eval "addresses6=\${global_$index:-\$local_$index}"
    listing="$listing$newline$header$newline$newline"
    listing="$listing        IP Address. . . . . . . . . : $address$newline$addresses6"
done
# Written in place: HostVane reads the listing only after an exit code 0, which a failed write
# does not give, so a rename (another process) would buy nothing.
printf '%s' "$listing" > hostvane.ip
