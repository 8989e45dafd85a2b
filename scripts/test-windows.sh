#!/usr/bin/env bash
# Cross-builds kesp-scan for Windows with mingw-w64 and checks it under wine against the Linux
# build on the same folder tree: the kernel32 backends (FindFirstFileA/FindNextFileA, GetTickCount,
# the locale's number characters, CreateFileA result files) must give the same lines. Optional:
# about 1.1 GB of packages, so CI does not run it. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q --no-install-recommends g++-mingw-w64-x86-64-posix wine64 wine \
    cmake ninja-build g++ pkg-config libblkid-dev

cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Debug -DKESP_WERROR=ON -DKESP_BUILD_GUI=OFF -DKESP_BUILD_TESTS=OFF
cmake --build build/win --target kesp-scan
cmake -S . -B build/linux-cli -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESP_BUILD_GUI=OFF \
    -DKESP_BUILD_TESTS=OFF
cmake --build build/linux-cli --target kesp-scan

work=$(mktemp -d /tmp/kesp-win-XXXXXX)
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
# Names stay ASCII: the Windows build reads names in the ANSI code page, not UTF-8.
mkdir -p "$tree/sub/deep" "$tree/vide" "$tree/Majuscule"
head -c 5000 /dev/zero > "$tree/a.bin"
head -c 4097 /dev/zero > "$tree/sub/b.bin"
: > "$tree/sub/empty"
head -c 1 /dev/zero > "$tree/sub/deep/one"
head -c 65536 /dev/zero > "$tree/Majuscule/exact.bin"
truncate -s 5G "$tree/sub/big.bin"

export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY

# Sub-folders come in the order each system lists them, so the blocks are compared as sets.
normalise() { tr -d '\r' | sed -e 's|\\|/|g' -e "s|^Z:$tree|$tree|" -e "s|^Recherche sur Z:$tree|Recherche sur $tree|"; }
winpath="Z:$(printf '%s' "$tree" | tr / '\\')"
wine build/win/bin/kesp-scan.exe --cluster-size 4096 --what-if --report 'Z:\'"$(printf '%s' "$work" | tr / '\\' | cut -c2-)"'\win-report.txt' "$winpath" \
    2> "$work/wine.err" | normalise | sed 1d > "$work/win.out" || { cat "$work/wine.err"; exit 1; }
./build/linux-cli/bin/kesp-scan --cluster-size 4096 --what-if "$tree" | sed 1d > "$work/linux.out"

# The drive line (the volume's name) differs by nature; everything else must agree.
grep -a -v ' Mo$' "$work/win.out" | sort > "$work/win.sorted"
grep -a -v ' Mo$' "$work/linux.out" | sort > "$work/linux.sorted"
if ! diff -u "$work/linux.sorted" "$work/win.sorted"; then
    echo "FAILED: the Windows build's lines differ from the Linux build's" >&2
    exit 1
fi
head -c 200 "$work/win-report.txt" | od -c | grep -q '\\r  \\n' || {
    echo "FAILED: the Windows report has no CR LF line ends" >&2
    exit 1
}
echo "windows smoke test: $(wc -l < "$work/win.sorted") lines agree, report written with CR LF"
