#!/usr/bin/env bash
# Installs the packages, builds Kesp and starts it (on the sample FAT image when no argument is
# given). Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
# Without arguments Kesp starts on the sample FAT image made by the build, ready to scan.
if [ $# -eq 0 ] && [ -f build/release/sample/kesp-exemple.img ]; then
    set -- build/release/sample/kesp-exemple.img
fi
exec ./build/release/bin/kesp "$@"
