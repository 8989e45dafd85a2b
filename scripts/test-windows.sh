#!/usr/bin/env bash
# The Windows check: cross-builds Kesp for Windows with mingw-w64 and runs it under wine.
#  1. the Qt-free unit tests, one ctest entry per test program;
#  2. kesp-scan.exe against the Linux kesp-scan on a tree of accented, CJK and long names:
#     stdout, report and table compared line by line, folder by folder in walk order;
#  3. a folder past MAX_PATH: the run goes on and names it;
#  4. FAT12, FAT16, FAT32, exFAT and partitioned images read without a mount, as the Linux tests
#     make them: kesp-scan.exe's result files byte for byte the Linux build's, once the image's own
#     name is written the Linux way; --partitions and --volume-info alike; an image past MAX_PATH
#     under a name outside any ANSI code page; a volume read as a device (\\.\Q:);
#  5. the window, kesp.exe, drives itself under xvfb-run: a folder, then an image, each scanned,
#     with Opti and the format plan opened, and screenshots taken;
#  6. the installer: a silent install, the installed kesp-scan.exe found on the PATH scanning an
#     image, a silent uninstall that leaves no file, registry value or PATH part behind.
# Optional (about 1.1 GB of packages), so the default CI does not run it. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q --no-install-recommends g++-mingw-w64-x86-64-posix wine64 wine \
    cmake ninja-build g++ pkg-config libblkid-dev googletest xvfb xauth fonts-wine \
    wixl msitools unzip dosfstools mtools fdisk exfatprogs exfat-fuse fuse >/dev/null

# The build CI compiles (scripts/test.sh), here also run.
win=build/windows
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake -S . -B build/linux-cli -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESP_BUILD_GUI=OFF \
    -DKESP_BUILD_TESTS=OFF >/dev/null
cmake --build build/linux-cli --target kesp-scan

# A prefix of its own inside the build folder (about 700 MB), made once.
export WINEPREFIX="$root/$win/wineprefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Whatever wine would write for the desktop's menus goes to the build folder, never to the home.
export XDG_CONFIG_HOME="$root/$win/xdg/config" XDG_DATA_HOME="$root/$win/xdg/data"
unset DISPLAY
# Never a persistent wineserver: its services would hold ctest's pipes open.
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i 2>/dev/null

echo "== unit tests under wine"
ctest --test-dir "$win" --timeout 180 --output-on-failure

work=$(mktemp -d /tmp/kesp-win-XXXXXX)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# Wine hands a folder's entries over sorted by name; a tmpfs lists them newest first. Made in
# reverse name order on a tmpfs, the tree is walked in one order by both builds.
tree="$work/tree"
mkdir "$tree"
mount -t tmpfs -o size=64m kesp-win "$tree"
trap 'wineserver -k 2>/dev/null || true; umount "$tree" 2>/dev/null; rm -rf "$work"' EXIT
long=$(printf 'nom-long-%.0s' $(seq 1 12)) # 108 bytes: long, yet the tree stays under MAX_PATH
for folder in 日本 Ελληνικά vide "$long" Données; do mkdir "$tree/$folder"; done
mkdir "$tree/日本/東京" "$tree/Données/été"
head -c 5000 /dev/zero > "$tree/a.bin"
head -c 4097 /dev/zero > "$tree/Données/résumé.txt"
head -c 1 /dev/zero > "$tree/Données/été/ça"
head -c 30000 /dev/zero > "$tree/日本/東京/データ.bin"
head -c 8192 /dev/zero > "$tree/日本/空"
head -c 65536 /dev/zero > "$tree/$long/$long.dat"
: > "$tree/Ελληνικά/άδειο"
printf x > "$tree/emoji 😀.txt"
truncate -s 5G "$tree/Données/grand.bin"

echo "== kesp-scan.exe against kesp-scan on $tree"
args=(--cluster-size 4096 --what-if)
wine "$win/bin/kesp-scan.exe" "${args[@]}" --report "$(winpath "$work/win-report.txt")" \
    --table "$(winpath "$work/win-table.txt")" "$(winpath "$tree")" \
    > "$work/win.out" 2> "$work/win.err" || { cat "$work/win.err"; exit 1; }
LC_ALL=C ./build/linux-cli/bin/kesp-scan "${args[@]}" --report "$work/linux-report.txt" \
    --table "$work/linux-table.txt" "$tree" > "$work/linux.out"

# Windows paths written as Linux ones; stdout loses the CR that text mode adds on Windows. The
# volume's drive-list line differs by nature (wine names the drive "z:"): it is left out.
fromWindows() { sed -e "s|Z:\\\\|/|g" -e 's|\\|/|g'; }
compare() { # what, linux file, windows file, drive-line pattern
    grep -a -v -e "$4" "$2" > "$work/l.$1" || true
    fromWindows < "$3" | grep -a -v -e "$4" > "$work/w.$1" || true
    if ! diff -u "$work/l.$1" "$work/w.$1"; then
        echo "FAILED: $1 differs between the Linux and the Windows build" >&2
        exit 1
    fi
    echo "   $1: $(wc -l < "$work/l.$1") lines agree"
}
tr -d '\r' < "$work/win.out" > "$work/win.out.lf"
compare stdout "$work/linux.out" "$work/win.out.lf" ' Mo$'
compare report "$work/linux-report.txt" "$work/win-report.txt" ' Mo.$'
compare table "$work/linux-table.txt" "$work/win-table.txt" ' Mo.$'
grep -aq "日本/東京/" "$work/l.table" || { echo "FAILED: the CJK folder is missing" >&2; exit 1; }
# Every line of the result files ends in CR LF.
if grep -a -c -v $'\r$' "$work/win-report.txt" "$work/win-table.txt" | grep -v ':0$'; then
    echo "FAILED: a line of a Windows result file does not end in CR LF" >&2
    exit 1
fi
iconv -f UTF-8 -t UTF-8 "$work/win-report.txt" "$work/win-table.txt" > /dev/null

echo "== the locale's characters in UTF-8"
# Wine takes the user's locale from LC_ALL; names stay ASCII here, as this locale's character set
# may not be installed on the host. French groups digits with a no-break space: C2 A0 in UTF-8.
mkdir "$work/ascii"
head -c 5000 /dev/zero > "$work/ascii/f"
LC_ALL=fr_FR.UTF-8 wine "$win/bin/kesp-scan.exe" --cluster-size 4096 \
    --report "$(winpath "$work/fr-report.txt")" "$(winpath "$work/ascii")" > /dev/null 2>&1
if ! grep -aq $'utile  : 5\xC2\xA0000 octets' "$work/fr-report.txt"; then
    echo "FAILED: the French grouping character is not UTF-8 in the report" >&2
    exit 1
fi
echo "   French grouping written as C2 A0"

echo "== a folder past MAX_PATH"
deep="$work/deep"
path="$deep"
for i in 1 2 3 4 5; do path="$path/$long"; done
mkdir -p "$path/plus-loin"
head -c 10 /dev/zero > "$path/plus-loin/f"
status=0
wine "$win/bin/kesp-scan.exe" --cluster-size 4096 "$(winpath "$deep")" \
    > "$work/deep.out" 2> "$work/deep.err" || status=$?
if [ "$status" != 3 ] || ! grep -aq 'dossier illisible' "$work/deep.err"; then
    echo "FAILED: a folder past MAX_PATH gave status $status and no 'dossier illisible'" >&2
    cat "$work/deep.err" >&2
    exit 1
fi
echo "   status 3, named on stderr: $(grep -a -c 'dossier illisible' "$work/deep.err") folder(s)"

echo "== images: kesp-scan.exe against kesp-scan"
images="$work/images"
mkdir -p "$images/files/DCIM/100CANON" "$images/files/Données/été" "$images/files/Mixed Case"
for i in $(seq 1 30); do head -c $((i * 1237)) /dev/zero > "$images/files/DCIM/100CANON/IMG_$i.JPG"; done
head -c 4097 /dev/zero > "$images/files/Données/résumé.txt"
head -c 1 /dev/zero > "$images/files/Données/été/ça"
head -c 70000 /dev/zero > "$images/files/Mixed Case/Long File Name.bin"
printf x > "$images/files/lisez-moi.txt"
fat() { # image, FAT bits, sectors per cluster, label, serial, size
    truncate -s "$6" "$1"
    mkfs.fat -F "$2" -s "$3" -n "$4" -i "$5" "$1" > /dev/null
    MTOOLS_SKIP_CHECK=1 mcopy -s -i "$1" "$images/files/"* ::/
}
fat "$images/f12.img" 12 4 KESPF12 CAFE0012 8M
fat "$images/f16.img" 16 4 KESPF16 0BADF00D 20M
fat "$images/f32.img" 32 1 KESPF32 1234ABCD 40M
truncate -s 48M "$images/disque.img"
printf 'label: dos\nstart=2048, size=40960, type=6\nstart=43008, size=40960, type=c\n' |
    sfdisk -q "$images/disque.img"
for part in "2048 P1" "43008 P2"; do
    set -- $part
    mkfs.fat -F 16 -s 4 -n "$2" --offset "$1" "$images/disque.img" 20480 > /dev/null 2>&1
done
MTOOLS_SKIP_CHECK=1 mcopy -s -i "$images/disque.img@@22020096" "$images/files/DCIM" ::/
# exFAT: mkfs.exfat, filled through exfat-fuse on a loop device as the Linux tests fill theirs.
exfat=""
truncate -s 64M "$images/ex.img"
mkfs.exfat -L KESPEX "$images/ex.img" > /dev/null
if loop=$(losetup -f --show "$images/ex.img" 2>/dev/null); then
    mkdir "$images/exm"
    if mount.exfat-fuse "$loop" "$images/exm" > /dev/null 2>&1; then
        cp -r "$images/files/"* "$images/exm/" && exfat=yes
        umount "$images/exm"
    fi
    losetup -d "$loop"
fi
# Past MAX_PATH, under names no ANSI code page holds.
longImage="$images/$(printf 'dossier-très-long-日本-%.0s/' $(seq 1 12))carte-карта.img"
mkdir -p "$(dirname "$longImage")"
cp "$images/f16.img" "$longImage"

fail() { echo "FAILED: $*" >&2; exit 1; }
# `kesp-scan.exe NAME` against `kesp-scan IMAGE`; NAME is how Windows names IMAGE (a path or
# a device). The result files must be the same bytes once NAME is written as IMAGE.
scanBoth() { # label, Linux image argument, Windows argument, Windows name of the image
    local label=$1 linux=$2 windows=$3 name=$4 image=${2%%:*} balance=(--balance)
    # The balance sheet needs the whole volume: one folder of it has none.
    [ "$label" = folder ] && balance=()
    LC_ALL=C ./build/linux-cli/bin/kesp-scan --what-if --plan "${balance[@]}" --report "$work/l-$label.report" \
        --table "$work/l-$label.table" "$linux" > "$work/l-$label.out" 2> "$work/l-$label.err" ||
        { cat "$work/l-$label.err" >&2; fail "$label: kesp-scan ended with status $?"; }
    # Wine decodes its arguments in the host's character set: UTF-8 keeps "Données" whole.
    LC_ALL=C.UTF-8 wine "$win/bin/kesp-scan.exe" --what-if --plan "${balance[@]}" \
        --report "$(winpath "$work/w-$label.report")" --table "$(winpath "$work/w-$label.table")" \
        "$windows" 2> "$work/w-$label.err" | tr -d '\r' > "$work/w-$label.out" ||
        { cat "$work/w-$label.err" >&2; fail "$label: kesp-scan.exe ended with status $?"; }
    for kind in report table out; do
        # The name as a fixed string: a Windows path is full of sed's special characters.
        LINUX="$image" NAME="$name" perl -pe 's/\Q$ENV{NAME}\E/$ENV{LINUX}/g' \
            "$work/w-$label.$kind" > "$work/w-$label.$kind.linux"
        if ! cmp -s "$work/l-$label.$kind" "$work/w-$label.$kind.linux"; then
            diff -u "$work/l-$label.$kind" "$work/w-$label.$kind.linux" | head -20 >&2
            cat "$work/w-$label.err" >&2
            fail "$label: the $kind differs between the Linux and the Windows build"
        fi
    done
    if [ ${#balance[@]} -gt 0 ] && ! grep -q "^Total" "$work/l-$label.out"; then
        fail "$label: no balance sheet in the output"
    fi
    echo "   $label: report, table and output${balance:+ (with the balance sheet)} the same bytes" \
        "($(wc -l < "$work/l-$label.report") report lines)"
}
for image in f12 f16 f32; do
    scanBoth "$image" "$images/$image.img" "$(winpath "$images/$image.img")" \
        "$(winpath "$images/$image.img")"
done
if [ -n "$exfat" ]; then
    scanBoth exfat "$images/ex.img" "$(winpath "$images/ex.img")" "$(winpath "$images/ex.img")"
else
    echo "   exfat: left out, no loop device or FUSE here to fill the image"
fi
scanBoth partition-2 "$images/disque.img:2:/" "$(winpath "$images/disque.img"):2:/" \
    "$(winpath "$images/disque.img")"
scanBoth folder "$images/f32.img:/Données/été" "$(winpath "$images/f32.img"):/Données/été" \
    "$(winpath "$images/f32.img")"
scanBoth long-name "$longImage" "$(winpath "$longImage")" "$(winpath "$longImage")"
# A volume as Windows names a device: wine reads \\.\Q: from the file its device link names.
ln -sfn "$images/f16.img" "$WINEPREFIX/dosdevices/q::"
scanBoth device "$images/f16.img" '\\.\Q:' '\\.\Q:'
rm -f "$WINEPREFIX/dosdevices/q::"

for option in --partitions --volume-info; do
    ./build/linux-cli/bin/kesp-scan "$option" "$images/disque.img" > "$work/l-option.out" 2>&1 || true
    wine "$win/bin/kesp-scan.exe" "$option" "$(winpath "$images/disque.img")" 2>/dev/null |
        tr -d '\r' > "$work/w-option.out" || true
    diff -u "$work/l-option.out" "$work/w-option.out" || fail "$option differs"
    echo "   $option: $(wc -l < "$work/l-option.out") lines agree"
done

if [ -f "$win/bin/kesp.exe" ]; then
    echo "== kesp.exe drives itself under xvfb-run: a folder, then an image"
    shots="$root/$win/selftest"
    rm -rf "$shots"
    for what in dossier image; do
        target=$(winpath "$tree")
        [ "$what" = image ] && target=$(winpath "$images/f16.img")
        mkdir -p "$shots/$what"
        timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" \
            wine "$win/bin/kesp.exe" --selftest "$target" "$(winpath "$shots/$what")" ||
            fail "the self-test on the $what ended with status $?"
        ls "$shots/$what"/kesp.bmp "$shots/$what"/plan.bmp > /dev/null
    done
    # The window's report of the image is kesp-scan's, whose header names the drive as it does.
    grep -aq 'f16.img:/DCIM/100CANON/' "$shots/image/rapport.txt" ||
        fail "the window's report of the image misses its folders"
    echo "   screenshots in $shots:"
    ls "$shots"/*/*.bmp | sed 's/^/     /'
fi
echo "== the installer: silent install, kesp-scan on the PATH, silent uninstall"
cmake --build --preset windows --target windows-installer >/dev/null
msi=$(ls "$win"/dist/kesp-*-x64.msi)
version=$(basename "$msi" | sed -e 's/^kesp-//' -e 's/-x64.msi$//')
envKey='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
systemPath() { wine reg query "$envKey" /v PATH 2>/dev/null | tr -d '\r' | grep PATH; }
# What of Kesp the prefix holds, files and registry alike; wineserver writes its registry files
# when it ends.
leftovers() {
    wineserver -w
    (cd "$WINEPREFIX/drive_c" && find . -iname '*kesp*' | sort)
    grep -i -h kesp "$WINEPREFIX"/system.reg "$WINEPREFIX"/user.reg | sort || true
}
before=$(leftovers)
pathBefore=$(systemPath)
wine msiexec /i "$(winpath "$msi")" /qn || fail "msiexec /i ended with status $?"
installed="$WINEPREFIX/drive_c/Program Files/Kesp"
for file in kesp.exe kesp-scan.exe kespaide.mht; do
    [ -f "$installed/$file" ] || fail "$file is not in Program Files\\Kesp"
done
# Wine files an all-users shortcut under the user's Start menu; either is right.
for link in Kesp.lnk "Aide de Kesp.lnk"; do
    find "$WINEPREFIX/drive_c" -path "*/Start Menu/Programs/Kesp/$link" | grep -q . ||
        fail "no Start-menu entry $link"
done
wineserver -w
grep -q "\"DisplayVersion\"=\"$version\"" "$WINEPREFIX/system.reg" || fail "no uninstall entry for $version"
icon=$(grep -a -o '"ProductIcon"="[^"]*kesp.ico"' "$WINEPREFIX/system.reg") || fail "no product icon"
systemPath | grep -qF 'C:\Program Files\Kesp\' || fail "the PATH does not name Kesp's folder"
# A new process reads the PATH the installer wrote: kesp-scan is found by its name alone.
LC_ALL=C.UTF-8 wine cmd /c "kesp-scan $(winpath "$images/f16.img")" 2>/dev/null | tr -d '\r' |
    grep -a 'Taille totale' > "$work/installed.out" || true
grep -a 'Taille totale' "$work/l-f16.out" | cmp -s - "$work/installed.out" ||
    { cat "$work/installed.out"; fail "the installed kesp-scan did not scan the image alike"; }
echo "   installed: three files, two Start-menu entries, uninstall entry $version, $icon, on the PATH"
wine msiexec /x "$(winpath "$msi")" /qn || fail "msiexec /x ended with status $?"
after=$(leftovers)
if [ "$after" != "$before" ]; then
    diff <(echo "$before") <(echo "$after") >&2 || true
    fail "the uninstall left the lines above behind"
fi
[ "$(systemPath)" = "$pathBefore" ] || fail "the PATH is not what it was: $(systemPath)"
echo "   uninstalled: nothing left, the PATH as before"
unzip -Z1 "$win"/dist/kesp-"$version"-x64.zip | sort | tr '\n' ' ' |
    grep -qx "Kesp-$version/ Kesp-$version/kesp-scan.exe Kesp-$version/kesp.exe Kesp-$version/kespaide.mht " ||
    fail "the portable zip does not hold the three files"
echo "   portable zip: the same three files"
echo "windows check passed"
