#!/usr/bin/env bash
# Builds the Debian package (kesp_*.deb in build/package/) from this tree, then checks it:
# lintian finds no error, the desktop entry and the AppStream metainfo validate, and the
# kesp-scan extracted from the package runs on its own (help, and a scan of a small folder).
# Needs the packages of scripts/deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/package
work=$(mktemp -d /tmp/kesp-package-XXXXXX)
trap 'rm -rf "$work"' EXIT

# dpkg-buildpackage writes beside the source folder: build a copy in a folder of our own.
version=$(dpkg-parsechangelog -S Version)
src=$work/kesp-$version
mkdir -p "$src"
tar -C "$root" --exclude=./build --exclude=./.git --exclude='./debian/kesp' \
    --exclude='./debian/.debhelper' --exclude='./obj-*' -cf - . | tar -C "$src" -xf -
echo "=== package: dpkg-buildpackage"
(cd "$src" && DEB_BUILD_OPTIONS="parallel=$(nproc)" dpkg-buildpackage -us -uc -b) \
    > "$work/build.log" 2>&1 || { tail -40 "$work/build.log"; exit 1; }
rm -rf "$out"
mkdir -p "$out"
mv "$work"/*.deb "$work"/*.changes "$work"/*.buildinfo "$out"/
deb=$(ls "$out"/kesp_"$version"_*.deb)
echo "built $deb"

echo "=== package: lintian"
lintian --fail-on error --allow-root "$out"/*.changes | tee "$work/lintian.txt"

echo "=== package: contents"
x=$work/extracted
dpkg -x "$deb" "$x"
desktop-file-validate "$x"/usr/share/applications/org.example.kesp.desktop
appstreamcli validate --no-net "$x"/usr/share/metainfo/org.example.kesp.metainfo.xml
for f in usr/bin/kesp usr/bin/kesp-scan usr/share/kesp/kespaide.html \
    usr/share/icons/hicolor/scalable/apps/kesp.svg \
    usr/share/icons/hicolor/16x16/apps/kesp.png usr/share/icons/hicolor/256x256/apps/kesp.png \
    usr/share/man/man1/kesp.1.gz usr/share/man/man1/kesp-scan.1.gz \
    usr/share/man/fr/man1/kesp.1.gz usr/share/man/fr/man1/kesp-scan.1.gz \
    usr/share/bash-completion/completions/kesp-scan; do
    [ -e "$x/$f" ] || { echo "FAILED: the package has no /$f" >&2; exit 1; }
done

echo "=== package: the extracted kesp-scan"
"$x"/usr/bin/kesp-scan --help | grep -q '^usage: kesp-scan'
tree=$work/tree
mkdir -p "$tree/sous"
head -c 5000 /dev/zero > "$tree/a.bin"
head -c 1 /dev/zero > "$tree/sous/b.bin"
"$x"/usr/bin/kesp-scan --cluster-size 4096 "$tree" > "$work/scan.txt"
# 5000 bytes take two 4096-byte clusters, 1 byte one, and the sub-folder one: 16384 bytes.
grep -Eq 'totale r.*elle.*: *16[^0-9]*384 ' "$work/scan.txt" || {
    cat "$work/scan.txt"
    echo "FAILED: the extracted kesp-scan did not count 16384 bytes" >&2
    exit 1
}
echo "=== package: $(basename "$deb") built and checked"
