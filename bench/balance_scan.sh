#!/usr/bin/env bash
# The balance sheet's cost. On the FAT32 image of 20,000 files (bench/make_image.sh):
# `kesp-scan --balance IMAGE` against `kesp-scan IMAGE` and `fsck.fat -n IMAGE`, warm caches,
# alternating runs, medians and peak memory. Then the memory of the sheet of a 2 TiB FAT32 volume
# (a sparse image, 134 million clusters of 16 KiB), against its budget. Use a Release build:
#   cmake --preset release && cmake --build --preset release --target kesp-scan
#   bash bench/balance_scan.sh build/release [WORK_DIR] [RUNS]
# Targets: --balance within 2x of the plain scan and faster than fsck.fat -n; the 2 TiB volume's
# sheet under 64 MiB.
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=${1:?usage: balance_scan.sh BUILD_DIR [WORK_DIR] [RUNS]}
work=${2:-/tmp/kesp-bench-image}
runs=${3:-7}
scan="$(cd "$build" && pwd)/bin/kesp-scan"
[ -x "$scan" ] || { echo "no $scan: build the kesp-scan target first" >&2; exit 1; }
PATH=$PATH:/usr/sbin:/sbin
for tool in mkfs.fat mcopy fsck.fat /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/deps.sh)" >&2; exit 1; }
done
img="$work/bench32.img"
bash "$(dirname "$0")/make_image.sh" "$work"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
run_plain() { timed plain "$scan" "$img"; }
run_balance() { timed balance "$scan" --balance "$img"; }
run_fsck() { timed fsck fsck.fat -n "$img"; }

run_plain >/dev/null; run_balance >/dev/null; run_fsck >/dev/null
echo "sheet of $img:"
sed -n '/^Bilan du volume/,$p' "$out/balance.out" | sed 's/^/  /'
echo "fsck.fat -n: $(tail -1 "$out/fsck.out")"

plain_ms=() balance_ms=() fsck_ms=() plain_rss=() balance_rss=() fsck_rss=()
for ((i = 0; i < runs; i++)); do
    plain_ms+=($(run_plain)); plain_rss+=($(cat "$out/plain.rss"))
    balance_ms+=($(run_balance)); balance_rss+=($(cat "$out/balance.rss"))
    fsck_ms+=($(run_fsck)); fsck_rss+=($(cat "$out/fsck.rss"))
done
highest() { printf '%s\n' "$@" | sort -n | tail -1; }
mp=$(median "${plain_ms[@]}") mb=$(median "${balance_ms[@]}") mf=$(median "${fsck_ms[@]}")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}'; }
echo "runs: $runs, alternating"
echo "kesp-scan --balance IMAGE ms: ${balance_ms[*]} (median $mb)"
echo "kesp-scan IMAGE ms:           ${plain_ms[*]} (median $mp)"
echo "fsck.fat -n IMAGE ms:         ${fsck_ms[*]} (median $mf)"
echo "--balance against the plain scan: $(ratio "$mb" "$mp")x (target <= 2)"
echo "--balance against fsck.fat -n:    $(ratio "$mb" "$mf")x (target < 1)"
echo "peak RSS KiB: --balance $(highest "${balance_rss[@]}"), plain $(highest "${plain_rss[@]}")," \
    "fsck.fat $(highest "${fsck_rss[@]}")"

# 2 TiB: mkfs.fat writes its FATs (2 x 512 MiB of zeros) into the sparse file; removed after.
big="$work/big2t.img"
rm -f "$big"
truncate -s 2T "$big"
trap 'rm -rf "$out" "$big"' EXIT
mkfs.fat -F 32 -s 32 -n BIG2T "$big" >/dev/null
big_ms=$(timed big "$scan" --balance "$big")
echo "2 TiB volume, $(grep -a '^Total' "$out/big.out" | awk '{print $2}') clusters:" \
    "--balance ${big_ms} ms, peak RSS $(cat "$out/big.rss") KiB (target < 65536)"
