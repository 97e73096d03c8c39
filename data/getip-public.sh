#!/bin/sh
# HostVane address report for a machine behind a router: the address on its own interfaces is a
# private one, so this asks an address echo service which address the world sees, and writes it
# into hostvane.ip in the current directory under a header line that both default adapter
# identities find. To use it, copy it over getipNT.bat (and getip95.bat) in HostVane's program
# directory. Exits non-zero, leaving hostvane.ip alone, when no answer came within 10 seconds or
# the answer is not one IPv4 address.
HOSTVANE_ECHO_URL=${HOSTVANE_ECHO_URL:-https://api.ipify.org}
LC_ALL=C
export LC_ALL

answer=$(curl -q -f -s -S --max-time 10 --proto =https,http -- "$HOSTVANE_ECHO_URL") || exit 1
address=$(printf '%s' "$answer" | awk '
{
    lines++
    line = $0
}
END {
    sub(/\r$/, "", line)
    sub(/^[ \t]+/, "", line)
    sub(/[ \t]+$/, "", line)
    if (lines != 1 || line !~ /^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$/)
        exit 1
    split(line, octet, ".")
    for (i = 1; i <= 4; i++)
        if (length(octet[i]) > 3 || octet[i] + 0 > 255 || octet[i] ~ /^0[0-9]/)
            exit 1
    print line
}') || {
    echo "getip-public.sh: the answer of $HOSTVANE_ECHO_URL is not an IPv4 address" >&2
    exit 1
}

printf 'HostVane IP Configuration\n\nNdisWan adapter public (PPP Adapter):\n\n        IP Address. . . . . . . . . : %s\n' \
    "$address" > hostvane.ip.new || exit 1
mv -f hostvane.ip.new hostvane.ip
