#!/bin/sh
# Builds the Debian package build/package/kvt936p_<version>_<architecture>.deb
# in Release, from its own build folder. Install it with
#   sudo apt install ./build/package/kvt936p_*.deb
set -eu
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build build/package
rm -f build/package/kvt936p_*.deb
cpack --config build/package/CPackConfig.cmake -B build/package >/dev/null
ls build/package/kvt936p_*.deb
