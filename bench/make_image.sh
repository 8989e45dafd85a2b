#!/usr/bin/env bash
# Makes the benchmarks' FAT32 image: 1 GiB, 4 KiB clusters, 2,000 folders (40 x 50) of 10 files
# each, mixed-case, long and accented names, sizes mostly small. The same seed every time; an
# image already made with the same parameters is reused.
#   bash bench/make_image.sh WORK_DIR      -> WORK_DIR/bench32.img
set -euo pipefail
source "$(dirname "$0")/common.sh"
work=${1:?usage: make_image.sh WORK_DIR}
img="$work/bench32.img"
stamp="kesp-bench-image v1 folders=2000 files=20000"
export MTOOLS_SKIP_CHECK=1
mkdir -p "$work"
if [ -f "$work/.stamp" ] && [ "$(cat "$work/.stamp")" = "$stamp" ] && [ -f "$img" ]; then
    exit 0
fi
echo "making $img ..."
rm -rf "$work/tree" "$img"
make_image_tree "$work/tree"
truncate -s 1G "$img"
mkfs.fat -F 32 -s 8 -n BENCH32 "$img" >/dev/null
mcopy -s -i "$img" "$work/tree/"* ::/
rm -rf "$work/tree"
echo "$stamp" >"$work/.stamp"
