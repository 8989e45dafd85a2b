#!/usr/bin/env bash
# Makes a seeded synthetic folder tree for the benchmarks: 50 top folders x 20 x 49 (50,050
# folders), 10 sparse files in each (500,500 files), sizes from 0 bytes to 256 MiB, mostly small.
# The same seed gives the same tree. An existing tree with the same parameters is reused.
#   bash bench/make_tree.sh DIR [SEED]
set -euo pipefail
dir=${1:?usage: make_tree.sh DIR [SEED]}
seed=${2:-20261208}
stamp="kesp-bench-tree v1 seed=$seed top=50 mid=20 leaf=49 files=10"

if [ -f "$dir/.kesp-bench-tree" ] && [ "$(cat "$dir/.kesp-bench-tree")" = "$stamp" ]; then
    echo "reusing $dir"
    exit 0
fi
rm -rf "$dir"
mkdir -p "$dir"
echo "making $dir (seed $seed) ..."
# perl is part of every Debian system (perl-base is essential).
perl -e '
    use strict; use warnings;
    my ($root, $seed) = @ARGV;
    srand($seed);
    my ($folders, $files) = (0, 0);
    sub size {
        my $r = rand();
        return 0 if $r < 0.03;
        return int(rand(4096)) if $r < 0.45;
        return int(rand(65536)) if $r < 0.85;
        return int(rand(4 << 20)) if $r < 0.99;
        return int(rand(256 << 20));
    }
    sub fill {
        my ($d) = @_;
        for my $f (0 .. 9) {
            my $p = "$d/f$f.dat";
            open(my $h, ">", $p) or die "$p: $!";
            close($h);
            truncate($p, size()) or die "$p: $!";
            $files++;
        }
    }
    for my $t (0 .. 49) {
        my $td = "$root/top$t";
        mkdir $td or die "$td: $!"; $folders++; fill($td);
        for my $m (0 .. 19) {
            my $md = "$td/mid$m";
            mkdir $md or die "$md: $!"; $folders++; fill($md);
            for my $l (0 .. 48) {
                my $ld = "$md/leaf$l";
                mkdir $ld or die "$ld: $!"; $folders++; fill($ld);
            }
        }
    }
    print "folders $folders, files $files\n";
' "$dir" "$seed"
echo "$stamp" > "$dir/.kesp-bench-tree"
