#!/bin/sh
# HostVane address report for a machine behind a router: the address on its own interfaces is a
# private one, so this asks an address echo service which address the world sees, and writes it
# into hostvane.ip in the current directory under a header line that both default adapter
# identities find, with the IPv6 address a second service sees when it answers over IPv6.
# HostVane runs it instead of getipNT.bat when "public" is chosen as the Connection identifier
# in File > Properties. Exits non-zero, leaving hostvane.ip alone, when no IPv4 answer came
# within 10 seconds or the answer is not one IPv4 address the world can use (not 0/8, loopback,
# multicast or reserved); without an IPv6 answer that is one such IPv6 address there is no IPv6
# line.
HOSTVANE_ECHO_URL=${HOSTVANE_ECHO_URL:-https://api.ipify.org}
HOSTVANE_ECHO6_URL=${HOSTVANE_ECHO6_URL:-https://api6.ipify.org}
LC_ALL=C
export LC_ALL

# Asks the echo service $2 over IP version $1 and leaves its answer in hostvane.ip.new, which the
# listing replaces later. An answer past 1 KB fails: --max-filesize refuses one whose length is
# announced, the file size limit (in 512-byte blocks) ends one whose length is not. The limit
# holds for every file curl writes, so its messages go to a fresh file of their own and are
# passed on to standard error from outside the limit, whatever standard error is.
ask() {
    (ulimit -f 2 && exec curl -q -f -s -S -"$1" --max-time 10 --max-filesize 1024 \
        --proto =https,http -o hostvane.ip.new -- "$2" 2>hostvane.ip.err)
    asked=$?
    cat hostvane.ip.err >&2 2>/dev/null
    rm -f hostvane.ip.err
    return $asked
}

# Prints the answer of the echo service $2 when it is one address of IP version $1: one line that
# is not blank, with blanks around it. IPv6 is taken in hexadecimal groups.
answered_address() {
    awk -v version="$1" '
    /[^ \t\r]/ {
        lines++
        line = $0
    }
    END {
        sub(/\r$/, "", line)
        sub(/^[ \t]+/, "", line)
        sub(/[ \t]+$/, "", line)
        if (lines != 1)
            exit 1
        if (version == 4) {
            if (line !~ /^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$/)
                exit 1
            split(line, octet, ".")
            for (i = 1; i <= 4; i++)
                if (length(octet[i]) > 3 || octet[i] + 0 > 255 || octet[i] ~ /^0[0-9]/)
                    exit 1
            # This network, loopback, multicast and reserved addresses reach nobody.
            if (octet[1] == 0 || octet[1] == 127 || octet[1] >= 224)
                exit 1
        } else {
            # Eight groups of one to four hexadecimal digits, or fewer around one "::".
            if (line !~ /^[0-9A-Fa-f:]+$/ || line ~ /:::/ || split(line, half, "::") > 2)
                exit 1
            groups = 0
            for (h in half) {
                if (half[h] == "")
                    continue
                n = split(half[h], group, ":")
                for (g = 1; g <= n; g++)
                    if (group[g] !~ /^[0-9A-Fa-f][0-9A-Fa-f]?[0-9A-Fa-f]?[0-9A-Fa-f]?$/)
                        exit 1
                groups += n
            }
            if (index(line, "::") ? groups > 7 : groups != 8)
                exit 1
            # Unspecified, loopback and multicast addresses reach nobody.
            if (line ~ /^[0:]*1?$/ || line ~ /^[fF][fF]/)
                exit 1
        }
        print line
    }' hostvane.ip.new || {
        echo "getip-public.sh: the answer of $2 is not an IPv$1 address the world can use" >&2
        return 1
    }
}

if ! ask 4 "$HOSTVANE_ECHO_URL" || ! address=$(answered_address 4 "$HOSTVANE_ECHO_URL"); then
    rm -f hostvane.ip.new
    exit 1
fi
# A machine without IPv6 cannot reach the second service: that is no failure, and nothing to say.
ipv6_line=
if ask 6 "$HOSTVANE_ECHO6_URL" 2>/dev/null &&
    address6=$(answered_address 6 "$HOSTVANE_ECHO6_URL"); then
    ipv6_line="        IPv6 Address. . . . . . . . : $address6
"
fi

printf 'HostVane IP Configuration\n\nNdisWan adapter public (PPP Adapter):\n\n        IP Address. . . . . . . . . : %s\n%s' \
    "$address" "$ipv6_line" > hostvane.ip.new || exit 1
mv -f hostvane.ip.new hostvane.ip
