#!/usr/bin/env bash
# Installs the packages, builds Kesp and runs every test: the debug build, the same tests under
# address and undefined-behaviour sanitizers, the boot-sector fuzzer for 60 seconds, and the
# Debian package with its checks.
# Fails (non-zero) as soon as any step fails. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/deps.sh

run_suite() {
    local preset=$1
    echo "=== $preset: configure and build"
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== $preset: tests"
    ctest --preset "$preset" -j "$jobs" --timeout 600
}

run_suite dev
run_suite asan

if [ -f fuzz/CMakeLists.txt ]; then
    echo "=== fuzz: boot-sector reader, 60 s"
    cmake --preset fuzz
    cmake --build --preset fuzz -j "$jobs"
    mkdir -p build/fuzz/corpus
    ./build/fuzz/bin/fuzz_boot_sector -max_total_time=60 -rss_limit_mb=2048 build/fuzz/corpus
fi

echo "=== Debian package: build, lintian, desktop entry, metainfo, the extracted kesp-scan"
bash scripts/package.sh

if command -v clang-format >/dev/null; then
    echo "=== format check"
    cmake --build --preset dev --target format-check
fi
echo "=== all tests passed"
