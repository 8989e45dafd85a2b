# Sourced by the benchmarks: the tree they all scan, and how they time a command.

# The benchmarks' tree in $1: 40 x 50 folders of 10 files each, mixed-case, long and accented
# names, sizes mostly small; the same seed every time.
make_image_tree() {
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
        }' "$1"
}

now() { date +%s%N; }
# Elapsed ms of a command; its output, errors and peak RSS (KiB) left in $out/$1.{out,err,rss}.
timed() {
    local name=$1
    shift
    local t0 t1
    t0=$(now)
    /usr/bin/time -f '%M' -o "$out/$name.rss" "$@" >"$out/$name.out" 2>"$out/$name.err" || true
    t1=$(now)
    echo $(((t1 - t0) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
