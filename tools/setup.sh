#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: installs the Debian packages this
# program needs when they are missing, then configures and builds.
# Usage: [VELMORAN_TARGETS="a b"] tools/setup.sh BUILD_DIR [cmake options...]
# (options after BUILD_DIR win over the defaults here, CMAKE_BUILD_TYPE too).
# VELMORAN_TARGETS limits the build to those targets (default: everything).
# VELMORAN_DESKTOP=1 also installs what tools/desktop.sh needs to try the
# program on a virtual desktop.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"
shift

packages=(
    cmake g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6printsupport6 qt6-svg-dev
    libgl-dev
    libsqlite3-dev sqlite3
    libpq-dev postgresql
    mdbtools-dev mdbtools
    libxlsxwriter-dev libminizip-dev
    libgtest-dev googletest libbenchmark-dev
    fonts-farsiweb fonts-freefarsi fonts-dejavu-core fonts-liberation2 qt6-translations-l10n
    cups-client libcups2-dev poppler-utils
    desktop-file-utils appstream lintian dpkg-dev file
)
if [ "${VELMORAN_DESKTOP:-0}" = 1 ]; then
    packages+=(xvfb openbox xdotool x11-xkb-utils x11-utils imagemagick wmctrl)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A package build takes Debian's hardening flags (dpkg-buildflags, from
# dpkg-dev installed above); CMake reads them when it first configures.
if [ -n "${VELMORAN_DEBIAN_FLAGS:-}" ]; then
    export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
    CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
    LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
    export CXXFLAGS LDFLAGS
fi

cmake -S "$here" -B "$here/$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
targets=()
for t in ${VELMORAN_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$here/$build_dir" -j"$(nproc)" "${targets[@]}"
