#!/usr/bin/env bash
# Installs every Debian 12 package Kesp needs to build, run and test. Run as root.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends \
    g++ clang libclang-rt-14-dev cmake ninja-build pkg-config clang-format \
    qt6-base-dev libgl-dev fonts-dejavu-core fonts-dejavu-extra adwaita-icon-theme \
    libblkid-dev googletest libgtest-dev \
    dosfstools mtools fusefat fuse fdisk exfatprogs exfat-fuse sleuthkit \
    cups cups-client cups-filters poppler-utils xdg-utils \
    xvfb xauth imagemagick time \
    locales fontconfig qt6-translations-l10n \
    build-essential debhelper dpkg-dev fakeroot lintian desktop-file-utils appstream librsvg2-bin libfuse-dev
