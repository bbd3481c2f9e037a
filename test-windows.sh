#!/usr/bin/env bash
# The Windows build's tests on this Debian machine: the same set-up as
# ./package-windows.sh, the test build cross-compiled, every test that is not
# about a Linux facility run under Wine (ctest, Qt offscreen) on both stores
# (the PostgreSQL server is the Linux one, reached on 127.0.0.1), then the
# install test (windows/installtest.sh) on the installer package-windows.sh
# makes. Screenshots of the install test go to build-windows/installtest/.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
eval "$("$here/windows/build.sh" build-windows -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORAN_WERROR=ON)"
# Tests about a Linux facility, each with its reason (see README).
linux_only="$(grep -v '^#' "$here/windows/linux-only-tests.txt" | cut -f1 | paste -sd'|')"
export QT_QPA_PLATFORM=offscreen VELMORAN_PG_TCP=1
export VELMORAN_WINEPREFIX="$here/build-windows/wineprefix"
status=0
# A test that fails under Wine runs once more, and fails the run only if it
# fails again: now and then a Wine process that has passed its test does not
# exit (the wine server, busy with the other tests' processes). ctest's output
# keeps the first failure in sight.
(cd "$here/build-windows" &&
    ctest --output-on-failure -j"$(nproc)" --repeat until-pass:2 -E "$linux_only" "$@") ||
    status=$?
"$here/package-windows.sh"
version="$(sed -n 's/^project(velmoran VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
"$here/windows/installtest.sh" "$here/velmoran-setup-$version-x64.exe" "$here/build-windows/installtest" || status=1
exit "$status"
