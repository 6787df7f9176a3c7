#!/bin/sh
# Installs the Debian 12 packages the recorder needs to build, run, test and
# package. With --sanitizers also clang 14 with its sanitizer runtimes and
# symbolizer.
# Quiet when everything is already there.
set -eu

PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libmodbus-dev \
libgtest-dev libgmock-dev libbenchmark-dev fonts-ipafont-gothic xvfb xauth \
iproute2 util-linux python3 locales xdotool libmosquitto-dev mosquitto mosquitto-clients \
python3-pandas libfaketime zlib1g-dev libxcb1-dev xfonts-shinonome xfonts-mplus"
if [ "${1:-}" = "--sanitizers" ]; then
    PACKAGES="$PACKAGES clang-14 libclang-rt-14-dev llvm-14"
fi

# Building and checking the Debian package.
PACKAGES="$PACKAGES dpkg-dev desktop-file-utils file gzip"
PACKAGES="$PACKAGES lintian appstream librsvg2-bin imagemagick"
# systemd-analyze, which verifies the user service.
PACKAGES="$PACKAGES systemd"
missing=""
for package in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
        *"install ok installed"*) ;;
        *) missing="$missing $package" ;;
    esac
done

[ -z "$missing" ] && exit 0

echo "Installing:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC2086
if ! $SUDO apt-get install -y --no-install-recommends $missing >/dev/null; then
    $SUDO apt-get update >/dev/null
    # shellcheck disable=SC2086
    $SUDO apt-get install -y --no-install-recommends $missing >/dev/null
fi
