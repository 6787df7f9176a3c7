#!/bin/sh
# Installs what is missing, builds everything and runs every test.
set -eu
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test
cd build/test
exec ctest --output-on-failure -j "$(nproc)" "$@"
