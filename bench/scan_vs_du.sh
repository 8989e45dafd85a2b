#!/usr/bin/env bash
# kesp-scan against du on the same warm tree: alternating runs, the median of each, their ratio,
# and kesp-scan's peak memory. Use a Release build:
#   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-bench --target kesp-scan
#   bash bench/scan_vs_du.sh build-bench [TREE] [RUNS]
# Targets: ratio <= 0.9, peak memory < 32 MiB.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: scan_vs_du.sh BUILD_DIR [TREE] [RUNS]}
tree=${2:-/tmp/kesp-bench-tree}
runs=${3:-7}
scan="$build/bin/kesp-scan"
[ -x "$scan" ] || { echo "no $scan: build the kesp-scan target first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (package time)" >&2; exit 1; }

bash "$here/make_tree.sh" "$tree"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

now() { date +%s%N; }
# Each run also records its CPU time (user + system, ms), steadier than elapsed time on a busy
# machine, and kesp-scan its peak resident memory (KiB).
run_scan() {
    /usr/bin/time -f '%U %S %M' -o "$out/scan.time" "$scan" --cluster-size 4096 \
        --report "$out/report.txt" --table "$out/table.txt" "$tree" >/dev/null
}
run_du() { /usr/bin/time -f '%U %S' -o "$out/du.time" du -s --apparent-size -B1 "$tree" >/dev/null; }
cpu_ms() { awk '{printf "%d", ($1 + $2) * 1000}' "$1"; }

# Warm the caches, and check both see the same bytes.
run_du
run_scan
du_bytes=$(du -s --apparent-size -B1 "$tree" | cut -f1)
echo "du apparent size: $du_bytes bytes (folders count in du, not in kesp-scan's useful size)"
grep -a "Taille totale utile" "$out/report.txt" | tr -d '\r'

scan_times=() du_times=() scan_cpu=() du_cpu=() rss=()
for ((i = 0; i < runs; i++)); do
    t0=$(now); run_scan; t1=$(now); run_du; t2=$(now)
    scan_times+=($(( (t1 - t0) / 1000000 )))
    du_times+=($(( (t2 - t1) / 1000000 )))
    scan_cpu+=($(cpu_ms "$out/scan.time"))
    du_cpu+=($(cpu_ms "$out/du.time"))
    rss+=($(awk '{print $3}' "$out/scan.time"))
done

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
ms=$(median "${scan_times[@]}")
md=$(median "${du_times[@]}")
peak=$(printf '%s\n' "${rss[@]}" | sort -n | tail -1)
files=$(grep -c . "$out/table.txt")
echo "runs: $runs, alternating; tree: $tree ($((files - 5)) folders in the table)"
echo "kesp-scan ms: ${scan_times[*]}"
echo "du ms:        ${du_times[*]}"
echo "median kesp-scan: $ms ms"
echo "median du:        $md ms"
awk -v s="$ms" -v d="$md" 'BEGIN {printf "ratio kesp-scan/du: %.2f (target <= 0.9)\n", s / d}'
cs=$(median "${scan_cpu[@]}")
cd=$(median "${du_cpu[@]}")
echo "median CPU time (user + system): kesp-scan $cs ms, du $cd ms, ratio $(awk -v s="$cs" -v d="$cd" 'BEGIN {printf "%.2f", s / d}')"
echo "kesp-scan peak RSS: $peak KiB ($(awk -v k="$peak" 'BEGIN {printf "%.1f", k / 1024}') MiB, target < 32 MiB)"
echo "report $(stat -c %s "$out/report.txt") bytes, table $(stat -c %s "$out/table.txt") bytes"
