#!/bin/sh
# Installs the build into a temporary prefix and checks that the desktop sees a proper program
# there: executable, shipped files, launcher entry, icons, metadata and manual page.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/hostvane share/hostvane/HostVane.HLP share/hostvane/getipNT.bat \
    share/hostvane/template/hostvane.inp share/applications/hostvane.desktop \
    share/metainfo/org.example.hostvane.metainfo.xml share/man/man1/hostvane.1.gz \
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
warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/hostvane.1.gz" 2>&1 >/dev/null) ||
    warnings="man page unreadable"
[ -z "$warnings" ] || { echo "$warnings"; status=1; }
exit $status
