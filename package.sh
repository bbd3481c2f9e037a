#!/usr/bin/env bash
# Installs what is missing, makes a release build with Debian's hardening
# flags and leaves the Debian package velmoran_<version>_<arch>.deb here.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
VELMORAN_DEBIAN_FLAGS=1 "$here/tools/setup.sh" build-release -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DVELMORAN_TESTS=OFF
rm -f "$here"/build-release/velmoran_*.deb
(cd "$here/build-release" && cpack -G DEB)
for deb in "$here"/build-release/velmoran_*.deb; do
    mv -f "$deb" "$here/"
    echo "Package: $here/$(basename "$deb")"
done
