#!/usr/bin/env bash
# kesp-scan.exe under wine against the Linux kesp-scan on one 50,000-file tree (1,000 folders of
# 50 files, warm caches): best of RUNS for each, their ratio, and wine's start-up on its own
# (kesp-scan.exe --help). Build both first (bash scripts/test-windows.sh does).
#   bash bench/wine_vs_linux.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-5}
exe=build/windows/bin/kesp-scan.exe
linux=build/linux-cli/bin/kesp-scan
for program in "$exe" "$linux"; do
    [ -x "$program" ] || { echo "missing $program: run scripts/test-windows.sh first" >&2; exit 1; }
done

export WINEPREFIX="$root/build/windows/wineprefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY

tree=build/bench-tree-50k
if [ ! -f "$tree/.made" ]; then
    rm -rf "$tree"
    perl -e '
        use strict; use warnings;
        my $root = shift; srand(20261208);
        for my $a (0 .. 49) { for my $b (0 .. 19) {
            my $d = "$root/d$a/s$b";
            system("mkdir", "-p", $d) == 0 or die;
            for my $f (0 .. 49) {
                open(my $h, ">", "$d/f$f") or die; truncate($h, int(rand(65536))); close($h);
            }
        } }' "$tree"
    touch "$tree/.made"
fi
echo "tree: $tree, $(find "$tree" -type f ! -name .made | wc -l) files, $(find "$tree" -mindepth 1 -type d | wc -l) folders"

winpath="Z:$(realpath "$tree" | tr / '\\')"
now() { date +%s%N; }
best() { # command...: the best wall time of $runs runs, in seconds
    local best=0
    for _ in $(seq "$runs"); do
        local start elapsed
        start=$(now)
        "$@" > /dev/null 2>&1 || true
        elapsed=$(($(now) - start))
        if [ "$best" = 0 ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
    done
    awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

"$linux" --cluster-size 4096 "$tree" > /dev/null # warm the caches
wine "$exe" --help > /dev/null 2>&1               # and wineserver
linuxTime=$(best "$linux" --cluster-size 4096 "$tree")
wineTime=$(best wine "$exe" --cluster-size 4096 "$winpath")
startTime=$(best wine "$exe" --help)
echo "linux kesp-scan      : ${linuxTime} s (best of $runs)"
echo "kesp-scan.exe (wine) : ${wineTime} s (best of $runs)"
echo "wine start-up alone  : ${startTime} s (kesp-scan.exe --help)"
echo "ratio wine / linux   : $(ratio "$wineTime" "$linuxTime")"
echo "ratio without start  : $(ratio "$(awk -v w="$wineTime" -v s="$startTime" 'BEGIN { print w - s }')" "$linuxTime")"
