#!/bin/sh
# HostVane address report: writes the adapter listing that HostVane reads into hostvane.ip in
# the current directory, one section per network interface with its first IPv4 address.
# Point-to-point links (dial-up, PPP, tunnels) carry both default adapter identities in their
# header line. Replace this script if the address the world sees is not held by a local
# interface; HostVane only needs hostvane.ip in this shape and exit code 0.
# One ip call and the shell's own builtins: the script runs at every check.
LC_ALL=C
export LC_ALL

report=$(ip -o -batch - <<COMMANDS
link show
addr show
COMMANDS
) || exit 1

# Sets address to the first IPv4 address of interface $1, or 0.0.0.0.
first_address() {
    address=0.0.0.0
    while read -r _ device family cidr _; do
        if [ "$device" = "$1" ] && [ "$family" = inet ]; then
            address=${cidr%%/*}
            return
        fi
    done <<LINES
$report
LINES
}

{
    echo "HostVane IP Configuration"
    while read -r _ name flags _; do
        case $flags in
        "<"*) ;;
        *) continue ;;
        esac
        name=${name%:}
        name=${name%%@*}
        case $flags in *LOOPBACK*) continue ;; esac
        case $name,$flags in
        ppp*,* | *,*POINTOPOINT*) printf '\nNdisWan adapter %s (PPP Adapter):\n' "$name" ;;
        *) printf '\nEthernet adapter %s:\n' "$name" ;;
        esac
        first_address "$name"
        printf '\n        IP Address. . . . . . . . . : %s\n' "$address"
    done <<LINES
$report
LINES
} > hostvane.ip.new || exit 1
mv -f hostvane.ip.new hostvane.ip
