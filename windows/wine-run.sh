#!/usr/bin/env bash
# Runs a Windows program of the cross build under wine64, finding Qt's and the
# C libraries' DLLs where windows/deps.sh built them: the emulator ctest runs
# the Windows tests with. The Wine prefix is VELMORAN_WINEPREFIX (made at the
# first run, which takes half a minute).
# Usage: wine-run.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
: "${VELMORAN_WINDOWS_QT:?}" "${VELMORAN_WINDOWS_LIBS:?}"
export WINEPREFIX="${VELMORAN_WINEPREFIX:-$HOME/.cache/velmoran-windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
winpath() { echo "Z:${1//\//\\}"; }
# VELMORAN_WINDOWS_LIBS: the library prefixes, separated by colons.
dlls="$(winpath "$VELMORAN_WINDOWS_QT/bin")"
IFS=: read -ra prefixes <<< "$VELMORAN_WINDOWS_LIBS"
for prefix in "${prefixes[@]}"; do dlls+=";$(winpath "$prefix/bin")"; done
export WINEPATH="$dlls;$(winpath /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(winpath /usr/x86_64-w64-mingw32/lib)"
export QT_PLUGIN_PATH="$(winpath "$VELMORAN_WINDOWS_QT/plugins")"
exec wine "$@"
