#!/usr/bin/env bash
# The window's scan against kesp-scan's on the same tree (target: window <= 1.5 x kesp-scan).
#   bench/window_vs_cli.sh BUILD_DIR [TREE]
# Without TREE, bench/make_tree.sh makes the 50,000-folder tree in a temporary folder.
set -euo pipefail
build=${1:?usage: window_vs_cli.sh BUILD_DIR [TREE]}
here=$(cd "$(dirname "$0")" && pwd)
tree=${2:-}
made=""
if [ -z "$tree" ]; then
    made=$(mktemp -d /tmp/kesp-bench-tree-XXXXXX)
    bash "$here/make_tree.sh" "$made" >/dev/null
    tree=$made
fi
work=$(mktemp -d /tmp/kesp-bench-cli-XXXXXX)
trap 'rm -rf "$work" ${made:+"$made"}' EXIT
runs=3

# One warm-up walk so both sides read the tree from the cache.
"$build/bin/kesp-scan" --cluster-size 4096 "$tree" >/dev/null

best_cli=""
for i in $(seq "$runs"); do
    start=$(date +%s%N)
    "$build/bin/kesp-scan" --cluster-size 4096 --report "$work/r.txt" --table "$work/t.txt" \
        "$tree" >/dev/null
    ms=$(( ($(date +%s%N) - start) / 1000000 ))
    echo "kesp-scan run $i: $ms ms"
    if [ -z "$best_cli" ] || [ "$ms" -lt "$best_cli" ]; then best_cli=$ms; fi
done
echo "kesp-scan best: $best_cli ms"
grep -a "Taille totale réelle" "$work/r.txt" || true

out=$("$build/bin/window_scan_bench" "$tree" "$runs")
echo "$out"
best_window=$(echo "$out" | sed -n 's/^window best: \([0-9]*\) ms$/\1/p')
awk -v w="$best_window" -v c="$best_cli" 'BEGIN {
    r = (c > 0) ? w / c : 0
    printf "ratio window / kesp-scan: %.2f (target <= 1.50)\n", r
    exit (r <= 1.5) ? 0 : 1
}'
