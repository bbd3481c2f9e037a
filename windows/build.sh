#!/usr/bin/env bash
# The Windows build's shared steps (./package-windows.sh, ./test-windows.sh):
# the dependencies (windows/deps.sh), the host's icon renderer, then the
# program cross-built with mingw-w64 into the build folder given.
# Usage: windows/build.sh BUILD_DIR [cmake options...]
# Prints the dependency prefixes as shell assignments, like deps.sh.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$1"
shift
deps="$("$here/windows/deps.sh")"
eval "$deps"
# The icon's pictures are drawn by the host's Qt Svg: its renderer alone is
# built for Linux.
VELMORAN_TARGETS=velmoran_iconrender "$here/tools/setup.sh" build-host -DVELMORAN_TESTS=OFF >&2
export PKG_CONFIG_LIBDIR="$LIBS_PREFIX/lib/pkgconfig:$SSL_PREFIX/lib/pkgconfig" PKG_CONFIG_PATH=
cmake -S "$here" -B "$here/$build_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/windows/mingw-w64-x86_64.cmake" \
    -DCMAKE_FIND_ROOT_PATH="$QT_PREFIX;$SSL_PREFIX;$LIBS_PREFIX" \
    -DCMAKE_PREFIX_PATH="$QT_PREFIX;$SSL_PREFIX;$LIBS_PREFIX" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DVELMORAN_HOST_ICONRENDER="$here/build-host/packaging/velmoran_iconrender" \
    -DVELMORAN_WINDOWS_QT="$QT_PREFIX" -DVELMORAN_WINDOWS_LIBS="$SSL_PREFIX;$LIBS_PREFIX" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="env;VELMORAN_WINDOWS_QT=$QT_PREFIX;VELMORAN_WINDOWS_LIBS=$SSL_PREFIX:$LIBS_PREFIX;$here/windows/wine-run.sh" \
    "$@" >&2
nice cmake --build "$here/$build_dir" -j"$(nproc)" >&2
echo "$deps"
