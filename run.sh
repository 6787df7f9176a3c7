#!/bin/sh
# Installs what is missing, builds in Release and starts the recorder; on the
# first start with the demonstration settings (see scripts/start-recorder.sh).
set -eu
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target kvt936p kvt-simsettings
exec scripts/start-recorder.sh build/release "$@"
