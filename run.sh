#!/bin/sh
# Installs what is missing, builds in Release and starts the recorder.
set -eu
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target kvt936p

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display found (DISPLAY is not set); start it with a display, for example: xvfb-run ./run.sh" >&2
    exit 1
fi
exec build/release/kvt936p "$@"
