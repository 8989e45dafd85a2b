#!/usr/bin/env bash
# Installs the packages, checks where system and toolkit headers are included, builds Kesp and
# runs every test: the debug build, the same tests under address and undefined-behaviour
# sanitizers, the Windows cross build (compiled, not run), the fuzzers (boot sector 60 s, whole
# images 45 s), and the Debian package with its checks.
# Fails (non-zero) as soon as any step fails. Run as root on Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/deps.sh
# The Windows cross compiler (about 70 MB to fetch). Wine, which runs what it builds, stays with
# the optional scripts/test-windows.sh.
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    g++-mingw-w64-x86-64-posix

echo "=== includes: system, Windows and Qt headers in their own folders"
bash scripts/check-includes.sh

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

# Every Windows program and test program, so no change elsewhere breaks the Windows build unseen.
echo "=== windows: cross build (mingw-w64), warnings as errors"
cmake --preset windows
cmake --build --preset windows -j "$jobs"

if [ -f fuzz/CMakeLists.txt ]; then
    echo "=== fuzz: boot-sector reader, 60 s"
    cmake --preset fuzz
    cmake --build --preset fuzz -j "$jobs"
    mkdir -p build/fuzz/corpus
    ./build/fuzz/bin/fuzz_boot_sector -max_total_time=60 -rss_limit_mb=2048 build/fuzz/corpus
    echo "=== fuzz: whole tiny images, 45 s"
    mkdir -p build/fuzz/image_corpus
    ./build/fuzz/bin/fuzz_fat_image -max_total_time=45 -rss_limit_mb=2048 -timeout=10 \
        build/fuzz/image_corpus fuzz/image_seeds
fi

echo "=== Debian package: build, lintian, desktop entry, metainfo, the extracted kesp-scan"
bash scripts/package.sh

if command -v clang-format >/dev/null; then
    echo "=== format check"
    cmake --build --preset dev --target format-check
fi
echo "=== all tests passed"
