#!/usr/bin/env bash
# Makes the sample FAT16 image a newcomer can scan at once: a seeded tree of a few hundred files
# with accented, mixed-case and long names, written with mtools (as a camera or Windows would).
# Usage: make-sample-image.sh OUTPUT.img
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree

RANDOM=2005 # the same tree at every build
folders=("DCIM/100CANON" "DCIM/101CANON" "Photos/été" "Photos/Noël 2004" "Musique/Chansons françaises"
         "Documents/Lettres" "Documents/Comptes" "jeux/DOOM" "jeux/Prince of Persia" "Sauvegardes")
names=(photo vacances facture lettre "Compte rendu" readme "Très long nom de fichier"
       IMG_ DSC chanson partie sauvegarde "été" "noël" "Rapport Annuel")
exts=(jpg JPG txt doc mp3 wav sav dat pdf "")
count=0
for folder in "${folders[@]}"; do
    mkdir -p "$tree/$folder"
    for ((i = 0; i < 35; i++)); do
        name=${names[RANDOM % ${#names[@]}]}$((RANDOM % 1000))
        ext=${exts[RANDOM % ${#exts[@]}]}
        [ -n "$ext" ] && name=$name.$ext
        # Mostly small files, some large ones: the slack shows at every cluster size.
        size=$(((RANDOM * 32768 + RANDOM) % (RANDOM % 8 == 0 ? 600000 : 60000)))
        truncate -s "$size" "$tree/$folder/$name"
        count=$((count + 1))
    done
done
printf 'Bienvenue dans Kesp.\r\n' > "$tree/LISEZMOI.TXT"

rm -f "$out"
mkfs.fat -C -F 16 -n EXEMPLE -i 20050801 "$out" $((64 * 1024)) >/dev/null
MTOOLS_SKIP_CHECK=1 mcopy -s -i "$out" "$tree"/* ::/
echo "sample image $out: $((count + 1)) files"
