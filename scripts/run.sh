#!/usr/bin/env bash
# Installs the packages, builds Kesp and starts it. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
exec ./build/release/bin/kesp "$@"
