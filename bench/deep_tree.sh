#!/usr/bin/env bash
# kesp-scan's peak memory on trees as deep as a damaged or hostile volume makes them: a chain of
# 1,500 nested folders on the host's file system, and a FAT32 image of 20,000 nested folders
# (written straight into an image made by mkfs.fat, then checked with fsck.fat). Prints each
# run's status, elapsed time and peak resident memory. Use a Release build:
#   cmake --preset release && cmake --build --preset release --target kesp-scan
#   bash bench/deep_tree.sh build/release [WORK_DIR]
# Targets: the 1,500-level tree under 16 MiB, the 20,000-level image under 64 MiB.
set -euo pipefail
build=${1:?usage: deep_tree.sh BUILD_DIR [WORK_DIR]}
work=${2:-/tmp/kesp-deep}
scan="$build/bin/kesp-scan"
[ -x "$scan" ] || { echo "no $scan: build the kesp-scan target first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (package time)" >&2; exit 1; }
command -v mkfs.fat >/dev/null || PATH=$PATH:/usr/sbin:/sbin
rm -rf "$work"
mkdir -p "$work"

# Made relative to each new folder, so no path is ever longer than one name.
perl -e 'my ($root, $n) = @ARGV; chdir $root or die;
         for (1 .. $n) { mkdir "dossier" or die; chdir "dossier" or die;
                         open(my $f, ">", "f") or die; print $f "x"; close $f; }' \
    "$work" 1500
mkdir -p "$work/tree" && mv "$work/dossier" "$work/tree/"

image="$work/deep.img"
truncate -s 40M "$image"
mkfs.fat -F 32 -s 1 -n PROFOND "$image" >/dev/null
# Folder i (1 to N) lives in cluster 2 + i and holds ".", ".." and "D", the next one.
perl -e '
    use strict; use warnings;
    my ($path, $levels) = @ARGV;
    open(my $h, "+<:raw", $path) or die "$path: $!";
    sub rd { my ($at, $n) = @_; seek($h, $at, 0); read($h, my $b, $n) == $n or die; $b }
    sub wr { my ($at, $b) = @_; seek($h, $at, 0); print $h $b; }
    my ($bps, $spc, $reserved, $fats) = unpack("v C v C", rd(11, 6));
    my $fatSectors = unpack("V", rd(36, 4));
    my $rootCluster = unpack("V", rd(44, 4));
    my $infoSector = unpack("v", rd(48, 2));
    my $cluster = $bps * $spc;
    my $data = ($reserved + $fats * $fatSectors) * $bps;
    my $at = sub { $data + ($_[0] - 2) * $cluster };
    my $entry = sub {
        my ($name, $first) = @_;
        pack("A11 C C C v v v v v v v V", $name, 0x10, 0, 0, 0, 0x21, 0x21, $first >> 16, 0, 0x21,
             $first & 0xFFFF, 0);
    };
    my $slot = $at->($rootCluster);
    $slot += 32 while unpack("C", rd($slot, 1)) != 0;
    wr($slot, $entry->("D", $rootCluster + 1));
    for my $i (1 .. $levels) {
        my $self = $rootCluster + $i;
        my $parent = $i == 1 ? 0 : $self - 1;
        my $block = $entry->(".", $self) . $entry->("..", $parent);
        $block .= $entry->("D", $self + 1) if $i < $levels;
        wr($at->($self), $block . ("\0" x ($cluster - length $block)));
        for my $f (0 .. $fats - 1) {
            wr(($reserved + $f * $fatSectors) * $bps + 4 * $self, pack("V", 0x0FFFFFFF));
        }
    }
    my $info = $infoSector * $bps;
    wr($info + 488, pack("V", unpack("V", rd($info + 488, 4)) - $levels));
    wr($info + 492, pack("V", $rootCluster + $levels + 1));
    close $h;
' "$image" 20000
echo "fsck.fat -n: $(fsck.fat -n "$image" 2>&1 | tail -1)"

measure() {
    local what=$1
    shift
    local status=0
    /usr/bin/time -f '%e %M' -o "$work/time" "$scan" "$@" >/dev/null 2>"$work/err" || status=$?
    read -r seconds kib <"$work/time"
    printf '%-34s exit %d, %6.2f s, peak RSS %6.1f MiB\n' "$what" "$status" "$seconds" \
        "$(awk -v k="$kib" 'BEGIN {print k / 1024}')"
}
measure "1,500 levels on $(df -T "$work" | awk 'NR == 2 {print $2}'):" --cluster-size 4096 \
    "$work/tree"
measure "20,000 levels in a FAT32 image:" "$image"
"$scan" "$image" | grep -a "Taille totale utile\|dossier(s)" || true
