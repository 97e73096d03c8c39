#!/bin/sh
# Installs the build into a temporary prefix and checks that the desktop sees a proper program
# there: executable, shipped files, launcher entry, icons, metadata and manual page.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/hostvane bin/hostvane-service share/hostvane/HostVane.HLP share/hostvane/getipNT.bat \
    share/hostvane/template/hostvane.inp share/applications/hostvane.desktop \
    share/metainfo/org.example.hostvane.metainfo.xml share/man/man1/hostvane.1.gz \
    share/man/man1/hostvane-service.1.gz \
    share/icons/hicolor/16x16/apps/hostvane.png share/icons/hicolor/32x32/apps/hostvane.png \
    share/icons/hicolor/48x48/apps/hostvane.png share/icons/hicolor/scalable/apps/hostvane.svg; do
    [ -s "$prefix/$file" ] || { echo "missing: $file"; status=1; }
done
[ -x "$prefix/bin/hostvane" ] || { echo "bin/hostvane is not executable"; status=1; }
for size in 16 32 48; do
    file -b "$prefix/share/icons/hicolor/${size}x${size}/apps/hostvane.png" |
        grep -q "PNG image data, $size x $size" || { echo "icon $size is not $size px"; status=1; }
done

desktop-file-validate "$prefix/share/applications/hostvane.desktop" || status=1
for key in Name Comment Icon Exec Categories; do
    grep -q "^$key=" "$prefix/share/applications/hostvane.desktop" || { echo "no $key="; status=1; }
done
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/org.example.hostvane.metainfo.xml" ||
    status=1
# F1 opens a topic at its anchor: the anchor must sit on the topic's heading, and every link
# inside the manual must lead somewhere.
manual="$prefix/share/hostvane/HostVane.HLP"
for context in 10 210 220 230 240 250; do
    grep -q "<h[23]><a name=\"$context\"></a>" "$manual" || { echo "topic $context has no heading"; status=1; }
done
for target in $(grep -o 'href="#[^"]*"' "$manual" | sed 's/^href="#//; s/"$//' | sort -u); do
    grep -q "name=\"$target\"" "$manual" || { echo "manual links to missing #$target"; status=1; }
done
warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/hostvane.1.gz" 2>&1 >/dev/null) ||
    warnings="man page unreadable"
[ -z "$warnings" ] || { echo "$warnings"; status=1; }
exit $status
