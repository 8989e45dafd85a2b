#!/usr/bin/env bash
# kesp-scan reading a FAT32 image directly, against (a) kesp-scan over a fusefat mount of the same
# image, (b) mdu, which also reads the image directly, (c) fls of The Sleuth Kit (a peer, installed
# here when missing). One image of about 20,000 files in 2,000 folders; warm caches; alternating
# runs; medians, ratios and peak memory. Use a Release build:
#   cmake --preset release && cmake --build --preset release --target kesp-scan
#   bash bench/image_scan.sh build/release [WORK_DIR] [RUNS]
# Targets: at least 50x faster than (a); no slower than 0.5x (b), i.e. time <= 2x mdu's.
set -euo pipefail
source "$(dirname "$0")/common.sh"
build=${1:?usage: image_scan.sh BUILD_DIR [WORK_DIR] [RUNS]}
work=${2:-/tmp/kesp-bench-image}
runs=${3:-5}
scan="$(cd "$build" && pwd)/bin/kesp-scan"
[ -x "$scan" ] || { echo "no $scan: build the kesp-scan target first" >&2; exit 1; }
for tool in mkfs.fat mcopy mdu fusefat /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/deps.sh)" >&2; exit 1; }
done
command -v fls >/dev/null || apt-get install -y -q --no-install-recommends sleuthkit >/dev/null
export MTOOLS_SKIP_CHECK=1

img="$work/bench32.img"
mnt="$work/mnt"
bash "$(dirname "$0")/make_image.sh" "$work"

out=$(mktemp -d)
mkdir -p "$mnt"
cleanup() { fusermount -u "$mnt" 2>/dev/null || true; rm -rf "$out"; }
trap cleanup EXIT
fusefat -o ro,fsname="$img",subtype=fusefat "$img" "$mnt" >/dev/null 2>&1

run_image() { timed image "$scan" "$img"; }
run_fuse() { timed fuse "$scan" "$mnt"; }
run_mdu() { timed mdu mdu -a -i "$img" ::/; }
run_fls() { timed fls fls -r -p "$img"; }

# Warm every cache once, and show that the image and the mount see the same files.
run_image >/dev/null; run_fuse >/dev/null; run_mdu >/dev/null; run_fls >/dev/null
echo "image:  $(grep -a 'Taille totale utile' "$out/image.out")"
echo "fusefat: $(grep -a 'Taille totale utile' "$out/fuse.out")"
echo "files: mdu $(grep -vc '/$' "$out/mdu.out") lines, fls $(grep -c '^r/r' "$out/fls.out") files"

image_ms=() fuse_ms=() mdu_ms=() fls_ms=() image_rss=()
for ((i = 0; i < runs; i++)); do
    image_ms+=($(run_image)); image_rss+=($(cat "$out/image.rss"))
    fuse_ms+=($(run_fuse))
    mdu_ms+=($(run_mdu))
    fls_ms+=($(run_fls))
done
mi=$(median "${image_ms[@]}") mf=$(median "${fuse_ms[@]}") mm=$(median "${mdu_ms[@]}") ml=$(median "${fls_ms[@]}")
echo "runs: $runs, alternating"
echo "kesp-scan IMAGE ms:    ${image_ms[*]} (median $mi)"
echo "kesp-scan fusefat ms:  ${fuse_ms[*]} (median $mf)"
echo "mdu -a ms:             ${mdu_ms[*]} (median $mm)"
echo "fls -r -p ms:          ${fls_ms[*]} (median $ml)"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.1f", a / (b > 0 ? b : 1)}'; }
echo "speed-up over kesp-scan on fusefat: $(ratio "$mf" "$mi")x (target >= 50)"
echo "speed relative to mdu: $(awk -v a="$mm" -v b="$mi" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}')x (target >= 0.5)"
echo "speed relative to fls: $(awk -v a="$ml" -v b="$mi" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}')x"
echo "peak RSS: kesp-scan IMAGE $(printf '%s\n' "${image_rss[@]}" | sort -n | tail -1) KiB," \
    "kesp-scan fusefat $(cat "$out/fuse.rss") KiB, mdu $(cat "$out/mdu.rss") KiB, fls $(cat "$out/fls.rss") KiB"
