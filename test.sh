#!/bin/sh
# Installs what is missing, builds everything and runs every test.
#   ./test.sh --asan   the same under AddressSanitizer and UndefinedBehaviorSanitizer
#   ./test.sh --tsan   the threaded test programs under ThreadSanitizer
# (each in a build folder of its own, see scripts/sanitizer-tests.sh).
# Other arguments go to ctest.
set -eu
cd "$(dirname "$0")"

case "${1:-}" in
--asan) shift; exec scripts/sanitizer-tests.sh asan "$@" ;;
--tsan) shift; exec scripts/sanitizer-tests.sh tsan "$@" ;;
esac

scripts/install-deps.sh
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test
cd build/test
exec ctest --output-on-failure -j "$(nproc)" "$@"
