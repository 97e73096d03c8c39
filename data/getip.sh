#!/bin/sh
# HostVane address report: writes the adapter listing that HostVane reads into hostvane.ip in
# the current directory, one section per network interface with its first IPv4 address.
# Point-to-point links (dial-up, PPP, tunnels) carry both default adapter identities in their
# header line. Replace this script if the address the world sees is not held by a local
# interface; HostVane only needs hostvane.ip in this shape and exit code 0.
LC_ALL=C
export LC_ALL

links=$(ip -o link show) || exit 1
HOSTVANE_ADDRS=$(ip -4 -o addr show) || exit 1
export HOSTVANE_ADDRS

printf '%s\n' "$links" | awk '
BEGIN {
    n = split(ENVIRON["HOSTVANE_ADDRS"], rows, "\n")
    for (i = 1; i <= n; i++) {
        split(rows[i], field, " ")
        if (field[3] == "inet" && !(field[2] in address)) {
            split(field[4], cidr, "/")
            address[field[2]] = cidr[1]
        }
    }
    print "HostVane IP Configuration"
}
{
    name = $2
    sub(/:$/, "", name)
    sub(/@.*/, "", name)
    flags = $3
    if (flags ~ /LOOPBACK/)
        next
    ip = (name in address) ? address[name] : "0.0.0.0"
    if (name ~ /^ppp/ || flags ~ /POINTOPOINT/)
        printf "\nNdisWan adapter %s (PPP Adapter):\n", name
    else
        printf "\nEthernet adapter %s:\n", name
    printf "\n        IP Address. . . . . . . . . : %s\n", ip
}' > hostvane.ip.new || exit 1
mv -f hostvane.ip.new hostvane.ip
