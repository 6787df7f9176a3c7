#!/bin/sh
# Runs the recorder against the node simulator in a scratch home folder, so
# the user's own settings and recordings stay untouched:
#   tools/nodesim/try-with-simulator.sh serial   (COM1 through a pseudo-terminal)
#   tools/nodesim/try-with-simulator.sh tcp      (Modbus/TCP gateway on 127.0.0.1:502)
# Press START in the recorder; the scratch folder with the day files is
# printed at the end.
set -eu
cd "$(dirname "$0")/../.."
mode=${1:-serial}
case "$mode" in
    serial|tcp) ;;
    *) echo "usage: $0 serial|tcp" >&2; exit 2 ;;
esac
if [ "$mode" = tcp ] && [ "$(id -u)" -ne 0 ]; then
    echo "$0: the gateway listens on port 502, which needs root (sudo $0 tcp)" >&2
    exit 1
fi

scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target kvt936p kvt-nodesim kvt-simsettings

scratch=$(mktemp -d /tmp/kvt-try-XXXXXX)
export HOME="$scratch" XDG_CONFIG_HOME="$scratch/.config"
if [ "$mode" = serial ]; then
    set -- --rtu --link "$XDG_CONFIG_HOME/kvt936p/com1"
else
    set -- --tcp --listen 127.0.0.1 --port 502
fi
build/release/tools/nodesim/kvt-nodesim "$@" --nodes 1,2 --log "$scratch/outputs.log" \
    >"$scratch/simulator.out" 2>&1 &
simulator=$!
trap 'kill $simulator 2>/dev/null || true' EXIT INT TERM
tries=0
until grep -q '^ready' "$scratch/simulator.out" 2>/dev/null; do
    tries=$((tries + 1))
    if [ "$tries" -gt 50 ] || ! kill -0 "$simulator" 2>/dev/null; then
        cat "$scratch/simulator.out" >&2
        exit 1
    fi
    sleep 0.1
done
build/release/tools/simsettings/kvt-simsettings "$mode"

status=0
./run.sh || status=$?
echo "recordings, alarm history and the simulator's output log are in $scratch"
exit "$status"
