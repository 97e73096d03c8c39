#!/bin/sh
# HostVane address report: writes the adapter listing that HostVane reads into hostvane.ip in
# the current directory, one section per network interface with its first IPv4 address.
# Point-to-point links (dial-up, PPP, tunnels) carry both default adapter identities in their
# header line. Replace this script if the address the world sees is not held by a local
# interface; HostVane only needs hostvane.ip in this shape and exit code 0.
# It runs at every check, so it makes one ip call and splits the report in the shell's memory
# (a read loop would read it a byte at a time).
LC_ALL=C
export LC_ALL
set -f
newline='
'

report=$(ip -o -batch - <<COMMANDS
link show
addr show
COMMANDS
) || exit 1

# Sets address to the first IPv4 address of interface $1, or 0.0.0.0.
first_address() {
    address=0.0.0.0
    IFS=$newline
    for entry in $report; do
        IFS=' '
        set -- $entry
        if [ "$2" = "$name" ] && [ "$3" = inet ]; then
            address=${4%%/*}
            return
        fi
    done
}

{
    echo "HostVane IP Configuration"
    IFS=$newline
    for line in $report; do
        IFS=' '
        set -- $line
        flags=$3
        # Link lines carry the flags in angle brackets; address lines are read above.
        case $flags in
        "<"*) ;;
        *) continue ;;
        esac
        case $flags in *LOOPBACK*) continue ;; esac
        name=${2%:}
        name=${name%%@*}
        case $name,$flags in
        ppp*,* | *,*POINTOPOINT*) printf '\nNdisWan adapter %s (PPP Adapter):\n' "$name" ;;
        *) printf '\nEthernet adapter %s:\n' "$name" ;;
        esac
        first_address
        printf '\n        IP Address. . . . . . . . . : %s\n' "$address"
    done
} > hostvane.ip.new || exit 1
mv -f hostvane.ip.new hostvane.ip
