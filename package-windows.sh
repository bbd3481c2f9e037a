#!/usr/bin/env bash
# Makes the Windows installer and the portable .zip on this Debian machine:
# the dependencies (built once into ~/.cache/velmoran-windows), a release
# cross-build, then velmoran-setup-<version>-x64.exe (NSIS) and
# velmoran-<version>-x64-portable.zip here.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
eval "$("$here/windows/build.sh" build-windows-release -DCMAKE_BUILD_TYPE=Release -DVELMORAN_TESTS=OFF)"
version="$(sed -n 's/^project(velmoran VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
stage="$here/build-windows-release/stage"
rm -rf "$stage"
cmake --install "$here/build-windows-release" --prefix "$stage" > /dev/null
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +

setup="$here/velmoran-setup-$version-x64.exe"
makensis -V2 -DSOURCE="$stage" -DVERSION="$version" -DOUTFILE="$setup" "$here/windows/installer.nsi"

# The portable copy: the same files, and the mark that keeps its data in the
# folder data beside the .exe.
portable="$here/build-windows-release/velmoran-$version"
rm -rf "$portable" "$here/velmoran-$version-x64-portable.zip"
cp -r "$stage" "$portable"
printf 'This copy keeps its listings in the folder data beside velmoran.exe.\r\n' \
    > "$portable/velmoran-portable.txt"
(cd "$here/build-windows-release" && zip -9 -r -q "$here/velmoran-$version-x64-portable.zip" "velmoran-$version")
ls -l "$setup" "$here/velmoran-$version-x64-portable.zip"
