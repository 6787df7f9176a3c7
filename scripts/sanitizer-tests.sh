#!/bin/sh
# Builds everything with a sanitizer into a build folder of its own and runs
# the tests there (./test.sh --asan, ./test.sh --tsan):
#   asan  AddressSanitizer with LeakSanitizer, and UndefinedBehaviorSanitizer:
#         every test program, in build/asan;
#   tsan  ThreadSanitizer: every test program that starts threads, in
#         build/tsan. The app and settings programs never start one, so the
#         sanitizer would have nothing to watch there; the allocation
#         program cannot be built with it (both replace operator new).
# The first finding fails its test. Further arguments go to ctest.
set -eu
cd "$(dirname "$0")/.."

kind=${1:-}
if [ $# -gt 0 ]; then shift; fi
scripts/install-deps.sh --sanitizers

suppressions="$PWD/scripts/sanitizers"
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
run=""
case "$kind" in
asan)
    sanitize="address,undefined"
    labels=""
    export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
    export LSAN_OPTIONS="suppressions=$suppressions/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    ;;
tsan)
    sanitize="thread"
    labels="^(core|platform|acquisition|recording|pipeline|display|tools|journal|status|publish)$"
    export TSAN_OPTIONS="suppressions=$suppressions/tsan.supp:halt_on_error=1:second_deadlock_stack=1"
    # ThreadSanitizer needs the address layout it knows; some kernels
    # randomise mappings beyond what it expects.
    run="setarch $(uname -m) -R"
    ;;
*)
    echo "usage: $0 asan|tsan [ctest arguments]" >&2
    exit 2
    ;;
esac
if [ -x "$symbolizer" ]; then
    export ASAN_SYMBOLIZER_PATH="$symbolizer" TSAN_SYMBOLIZER_PATH="$symbolizer"
fi

# clang 14 when its sanitizer runtime links, else g++.
compiler=g++
probe=$(mktemp -d)
echo 'int main() { return 0; }' >"$probe/probe.cpp"
if clang++-14 -fsanitize="$sanitize" "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
    compiler=clang++-14
fi
rm -rf "$probe"

launcher=""
if command -v ccache >/dev/null; then launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"; fi
# shellcheck disable=SC2086
cmake -S . -B "build/$kind" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER="$compiler" -DKVT_SANITIZE="$sanitize" -DKVT_BUILD_BENCH=OFF \
    $launcher >/dev/null
cmake --build "build/$kind"
cd "build/$kind"
if [ -n "$labels" ]; then set -- -L "$labels" "$@"; fi
# shellcheck disable=SC2086
exec $run ctest --output-on-failure -j "$(nproc)" "$@"
