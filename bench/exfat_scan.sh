#!/usr/bin/env bash
# kesp-scan reading an exFAT image directly, against the FAT32 image of the same tree (about
# 20,000 files in 2,000 folders, both with 4 KiB clusters, both read directly, warm caches,
# alternating runs, medians); then the peak memory of a scan of a 2 TiB sparse exFAT image of
# 4 KiB clusters (a 2 GiB FAT and a 64 MiB bitmap), folders grown past their first cluster and
# interleaved so that their chains go through the FAT. Each scan lasts a few tens of
# milliseconds: on a busy machine the processor time (user + system) says more than the elapsed
# time, so both are given. Needs root: the exFAT images are filled through exfat-fuse on a loop
# device. Use a Release build:
#   cmake --preset release && cmake --build --preset release --target kesp-scan
#   bash bench/exfat_scan.sh build/release [WORK_DIR] [RUNS]
# Targets: exFAT time <= 1.5x FAT32's; peak RSS < 64 MiB on the 2 TiB image.
set -euo pipefail
build=${1:?usage: exfat_scan.sh BUILD_DIR [WORK_DIR] [RUNS]}
work=${2:-/tmp/kesp-bench-exfat}
runs=${3:-21}
scan="$(cd "$build" && pwd)/bin/kesp-scan"
[ -x "$scan" ] || { echo "no $scan: build the kesp-scan target first" >&2; exit 1; }
for tool in mkfs.fat mcopy mkfs.exfat mount.exfat-fuse losetup /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/deps.sh)" >&2; exit 1; }
done
[ "$(id -u)" = 0 ] || { echo "loop devices and exfat-fuse need root" >&2; exit 1; }
export MTOOLS_SKIP_CHECK=1

mkdir -p "$work"
fat="$work/bench32.img"
exfat="$work/benchex.img"
big="$work/big2t.img"
mnt="$work/mnt"
mkdir -p "$mnt"
loop=
cleanup() {
    mountpoint -q "$mnt" && umount "$mnt"
    [ -n "$loop" ] && losetup -d "$loop"
    true
}
trap cleanup EXIT

# Copies the folder $2 into the exFAT image $1 through exfat-fuse.
fill_exfat() {
    loop=$(losetup -f --show "$1")
    mount.exfat-fuse "$loop" "$mnt" >/dev/null 2>&1
    cp -r "$2"/. "$mnt"/
    umount "$mnt"
    losetup -d "$loop"
    loop=
}

stamp="kesp-bench-exfat v1 folders=2000 files=20000 big=2T"
if [ ! -f "$work/.stamp" ] || [ "$(cat "$work/.stamp")" != "$stamp" ]; then
    echo "making the images in $work (a few minutes) ..."
    rm -rf "$work/tree" "$work/grown" "$fat" "$exfat" "$big"
    # The tree of bench/image_scan.sh: 40 x 50 folders, 10 files each; mixed-case, long and
    # accented names; sizes mostly small.
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
    truncate -s 1G "$fat" "$exfat"
    mkfs.fat -F 32 -s 8 -n BENCH32 "$fat" >/dev/null
    mcopy -s -i "$fat" "$work/tree/"* ::/
    mkfs.exfat -c 4096 -L BENCHEX "$exfat" >/dev/null
    fill_exfat "$exfat" "$work/tree"

    # Eight folders of 600 long names, written in turns: each outgrows its cluster while the
    # others take the next ones, so every one of them is a chain through the FAT.
    truncate -s 2T "$big"
    mkfs.exfat -c 4096 -L GRAND "$big" >/dev/null
    loop=$(losetup -f --show "$big")
    mount.exfat-fuse "$loop" "$mnt" >/dev/null 2>&1
    for d in 0 1 2 3 4 5 6 7; do mkdir "$mnt/grandi $d"; done
    for i in $(seq -w 0 599); do
        for d in 0 1 2 3 4 5 6 7; do
            : >"$mnt/grandi $d/un nom de fichier assez long pour deux entrées $i.txt"
        done
    done
    cp -r "$work/tree/Dossier 00" "$mnt/"
    umount "$mnt"
    losetup -d "$loop"
    loop=
    rm -rf "$work/tree"
    echo "$stamp" >"$work/.stamp"
fi

out=$(mktemp -d)
trap 'cleanup; rm -rf "$out"' EXIT
now() { date +%s%N; }
# Elapsed ms of a command; its peak RSS (KiB) left in $out/$1.rss.
timed() {
    local name=$1
    shift
    local t0 t1
    t0=$(now)
    /usr/bin/time -f '%M' -o "$out/$name.rss" "$@" >"$out/$name.out" 2>"$out/$name.err" || true
    t1=$(now)
    echo $(((t1 - t0) / 1000000))
}
# Processor ms (user + system) of one scan of $1, from a batch of ten: time(1) counts in
# hundredths of a second.
processor() {
    /usr/bin/time -f '%U %S' -o "$out/cpu" \
        bash -c 'for i in 1 2 3 4 5 6 7 8 9 10; do "$0" "$1" >/dev/null; done' "$scan" "$1"
    awk '{printf "%.1f\n", ($1 + $2) * 100}' "$out/cpu"
}
run_fat() { timed fat "$scan" "$fat"; }
run_exfat() { timed exfat "$scan" "$exfat"; }

run_fat >/dev/null
run_exfat >/dev/null
echo "FAT32: $(grep -a 'Taille totale utile' "$out/fat.out")"
echo "exFAT: $(grep -a 'Taille totale utile' "$out/exfat.out")"
fat_ms=() exfat_ms=() exfat_rss=() fat_cpu=() exfat_cpu=()
for ((i = 0; i < runs; i++)); do
    fat_ms+=($(run_fat))
    exfat_ms+=($(run_exfat))
    exfat_rss+=($(cat "$out/exfat.rss"))
done
for ((i = 0; i < 5; i++)); do
    fat_cpu+=($(processor "$fat"))
    exfat_cpu+=($(processor "$exfat"))
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
mf=$(median "${fat_ms[@]}") me=$(median "${exfat_ms[@]}")
cf=$(median "${fat_cpu[@]}") ce=$(median "${exfat_cpu[@]}")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / (b > 0 ? b : 1)}'; }
echo "runs: $runs, alternating; load average $(cut -d' ' -f1 /proc/loadavg)"
echo "kesp-scan FAT32 image ms: ${fat_ms[*]} (median $mf; processor ${fat_cpu[*]}, median $cf)"
echo "kesp-scan exFAT image ms: ${exfat_ms[*]} (median $me; processor ${exfat_cpu[*]}, median $ce)"
echo "exFAT time / FAT32 time: elapsed $(ratio "$me" "$mf"), processor $(ratio "$ce" "$cf")" \
    "(target <= 1.5)"

# The 2 TiB image: the walk with the plan and the what-if table, and the partition report.
timed big "$scan" --what-if --plan "$big" >/dev/null
timed bigreport "$scan" --volume-info "$big" >/dev/null
grep -a 'Taille totale réelle' "$out/big.out" || { cat "$out/big.err"; exit 1; }
echo "peak RSS: exFAT image $(printf '%s\n' "${exfat_rss[@]}" | sort -n | tail -1) KiB," \
    "FAT32 image $(cat "$out/fat.rss") KiB"
echo "peak RSS on the 2 TiB exFAT image: scan $(cat "$out/big.rss") KiB," \
    "partition report $(cat "$out/bigreport.rss") KiB (target < 65536)"
