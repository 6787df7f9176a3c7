#!/bin/sh
# Builds one fuzz target with clang, libFuzzer, ASan and UBSan in build/fuzz
# and runs it: tests/fuzz/run.sh <target> [seconds] [more libFuzzer options]
# New inputs go to build/fuzz/corpus/<target> (seeded from the committed
# corpus, which stays untouched); crashes to build/fuzz/crashes/<target>.
set -eu
cd "$(dirname "$0")/../.."
[ $# -ge 1 ] || { echo "usage: $0 <target> [seconds] [libFuzzer options]" >&2; exit 2; }
target=$1
seconds=${2:-300}
[ $# -ge 2 ] && shift 2 || shift 1
[ -d "tests/fuzz/corpus/$target" ] || { echo "no corpus for $target" >&2; exit 2; }

if [ ! -f build/fuzz/CMakeCache.txt ]; then
    cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DKVT_FUZZ=ON -DKVT_BUILD_BENCH=OFF >/dev/null
fi
nice -n 19 cmake --build build/fuzz --target "fuzz_$target"

work=build/fuzz/corpus/$target
crashes=build/fuzz/crashes/$target
mkdir -p "$work" "$crashes"
exec nice -n 19 "build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
    -artifact_prefix="$crashes/" -print_final_stats=1 "$@" "$work" "tests/fuzz/corpus/$target"
