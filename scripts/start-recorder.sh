#!/bin/sh
# Starts the recorder of a build folder as ./run.sh does (which builds it
# first): scripts/start-recorder.sh BUILD-FOLDER [recorder arguments]
# On the first start (no settings file yet) it writes the demonstration
# settings, so that START shows traces and records at once; settings that
# are there stay as they are. The installed program starts from the
# factory settings instead.
set -eu
build=$1
shift

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run.sh: no display found (DISPLAY is not set); start it with a display, for example: xvfb-run ./run.sh" >&2
    exit 1
fi
written=$("$build/tools/simsettings/kvt-simsettings" --if-missing demo)
if [ -n "$written" ]; then
    echo "run.sh: first start: $written (demonstration mode, group 1 recording every 0.5 s);"
    echo "run.sh: to begin from the factory settings instead, remove that file and start $build/kvt936p"
fi
exec "$build/kvt936p" "$@"
