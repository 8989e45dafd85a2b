#!/usr/bin/env bash
# Makes the benchmarks' FAT32 image: 1 GiB, 4 KiB clusters, 2,000 folders (40 x 50) of 10 files
# each, mixed-case, long and accented names, sizes mostly small. The same seed every time; an
# image already made with the same parameters is reused.
#   bash bench/make_image.sh WORK_DIR      -> WORK_DIR/bench32.img
set -euo pipefail
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
perl -e '
    use strict; use warnings;
    my ($root) = @ARGV; srand(20261208);
    my @stems = ("IMG_", "Photo de vacances ", "été ", "doc", "Notes ", "README");
    for my $t (0 .. 39) {
        for my $m (0 .. 49) {
            my $dir = sprintf("%s/Dossier %02d/sub%02d", $root, $t, $m);
            system("mkdir", "-p", $dir) == 0 or die;
            for my $f (0 .. 9) {
                my $name = sprintf("%s/%s%04d.%s", $dir, $stems[int(rand(@stems))],
                                   $f, (rand() < 0.5 ? "jpg" : "TXT"));
                open(my $fh, ">", $name) or die;
                my $size = rand() < 0.8 ? int(rand(8192)) : int(rand(200000));
                truncate($fh, $size); close($fh);
            }
        }
    }' "$work/tree"
truncate -s 1G "$img"
mkfs.fat -F 32 -s 8 -n BENCH32 "$img" >/dev/null
mcopy -s -i "$img" "$work/tree/"* ::/
rm -rf "$work/tree"
echo "$stamp" >"$work/.stamp"
