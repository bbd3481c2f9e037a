#!/usr/bin/env bash
# Cross-builds Qt's base (Debian's qt6-base 6.4.2 source) for Windows x86-64:
# Core, Gui, Widgets, PrintSupport and Test, the windows, offscreen and
# minimal platform plugins and the Vista style; host tools (moc, rcc, uic)
# are those of Debian's qt6-base-dev. Called by windows/deps.sh, which keys
# the result by this file's hash.
# Usage: build-qt.sh SOURCES_DIR WORK_DIR PREFIX
set -euo pipefail
sources="$1" work="$2" prefix="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

rm -rf "$work/qtbase-src" "$work/qtbase-build"
mkdir -p "$work/qtbase-src" "$work/qtbase-build"
tar -xf "$sources/qt6-base_6.4.2+dfsg.orig.tar.xz" -C "$work/qtbase-src" --strip-components=1
tar -xf "$sources/qt6-base_6.4.2+dfsg-10.debian.tar.xz" -C "$work/qtbase-src"
cd "$work/qtbase-src"
# Debian's security fixes and two detection patches; its other patches are
# about Debian's own packaging and do not concern a Windows build.
for p in cve-2023-32762.diff cve-2023-32763.diff cve-2023-33285.diff cve-2023-24607.patch; do
    patch -p1 -s < "debian/patches/$p"
done
# The platform plugin takes an OpenGL header under dynamicgl alone; OpenGL is
# off in this build (the program draws with the raster engine).
patch -p1 -s < "$here/patches/qtbase-windows-no-opengl.patch"

cd "$work/qtbase-build"
# The dfsg tarball lacks src/3rdparty/wintab: no tablet events. Direct2D stays
# on, as PrintSupport links DirectWrite's font engine, which Gui builds only
# with it. Qt's own FreeType is built for the offscreen platform plugin alone,
# which the tests run on.
nice -n 10 cmake -G Ninja "$work/qtbase-src" \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
    -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_printsupport=ON -DFEATURE_testlib=ON \
    -DFEATURE_concurrent=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF \
    -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_direct2d=ON -DFEATURE_directwrite=ON -DFEATURE_tabletevent=OFF \
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_pkg_config=OFF -DFEATURE_glib=OFF \
    -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_fontconfig=OFF \
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
    -DFEATURE_system_md4c=OFF \
    > configure.log 2>&1 || { tail -40 configure.log; exit 1; }
nice -n 10 ninja -j"$(nproc)" > build.log 2>&1 || { grep -m5 -B2 -A8 "error" build.log; tail -20 build.log; exit 1; }
cmake --install . > install.log 2>&1
rm -rf "$work/qtbase-src" "$work/qtbase-build"
