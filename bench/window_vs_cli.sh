#!/usr/bin/env bash
# The window's scan against kesp-scan's on the same warm tree, best of RUNS each
# (target: window <= 1.5 x kesp-scan). Use a Release build:
#   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-bench --target kesp-scan window_scan_bench
#   bash bench/window_vs_cli.sh build-bench [TREE] [RUNS]
# The tree is bench/make_tree.sh's 50,050 folders (made once, then reused).
set -euo pipefail
build=${1:?usage: window_vs_cli.sh BUILD_DIR [TREE] [RUNS]}
here=$(cd "$(dirname "$0")" && pwd)
tree=${2:-/tmp/kesp-bench-tree}
runs=${3:-3}
for program in kesp-scan window_scan_bench; do
    [ -x "$build/bin/$program" ] || { echo "no $build/bin/$program: build it first" >&2; exit 1; }
done
bash "$here/make_tree.sh" "$tree"
work=$(mktemp -d /tmp/kesp-bench-cli-XXXXXX)
trap 'rm -rf "$work"' EXIT

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
