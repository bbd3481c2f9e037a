#!/usr/bin/env bash
# Set-up of the Windows build: installs the Debian packages it needs (the
# mingw-w64 toolchain, Wine, NSIS, Qt's host tools), fetches the pinned Debian
# source packages (windows/sources.list), checks every file against
# windows/sources.sha256, and cross-builds Qt, libpq with OpenSSL, and the
# other C libraries into a cache outside the tree. Each of the three is keyed
# by the versions and by the hash of the script that builds it, so a second
# run reuses them and a changed script builds its part again.
# Prints the install prefixes as shell assignments (QT_PREFIX=…, SSL_PREFIX=…,
# LIBS_PREFIX=…).
# VELMORAN_WINDOWS_CACHE overrides the cache folder (~/.cache/velmoran-windows).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cache="${VELMORAN_WINDOWS_CACHE:-$HOME/.cache/velmoran-windows}"
sources="$cache/sources"
log() { echo "windows/deps: $*" >&2; }

packages=(
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev libz-mingw-w64-dev
    wine64 wine nsis zip unzip ninja-build cmake tcl dpkg-dev patch perl sqlite3
    autoconf automake libtool gettext autopoint
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
    fonts-farsiweb fonts-freefarsi fonts-dejavu-core fonts-liberation2 qt6-translations-l10n
    xvfb openbox imagemagick x11-utils xdotool
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
# apt-get source needs a deb-src entry: bookworm's, and trixie's for mdbtools.
if ! grep -rqs "^Types:.*deb-src\|^deb-src" /etc/apt/sources.list /etc/apt/sources.list.d/ ||
    ! grep -rqs "trixie" /etc/apt/sources.list.d/velmoran-src.sources; then
    log "adding deb-src entries (/etc/apt/sources.list.d/velmoran-src.sources)"
    "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/velmoran-src.sources > /dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates trixie
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    updated=1
fi
if ((${#missing[@]})) || [ -n "${updated:-}" ]; then
    "${sudo_cmd[@]}" apt-get update -qq
fi
if ((${#missing[@]})); then
    log "installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
fi

# Sources: fetched once, then checked at every run.
mkdir -p "$sources"
if ! (cd "$sources" && sha256sum --quiet -c "$here/sources.sha256" >/dev/null 2>&1); then
    log "fetching the source packages"
    pins=$(grep -v '^#' "$here/sources.list")
    # apt-get source says "failed" for mdbtools' .dsc, which trixie's mirror
    # lacks; the checksums below say whether what is needed came.
    (cd "$sources" && apt-get source --download-only $pins >&2) || true
    (cd "$sources" && sha256sum --quiet -c "$here/sources.sha256") ||
        { log "a source file is missing or differs from its checksum"; exit 1; }
fi

key() { cat "$@" "$here/mingw-w64-x86_64.cmake" "$here/sources.sha256" | sha256sum | cut -c1-12; }
qt_prefix="$cache/qt-6.4.2-$(key "$here/build-qt.sh" "$here"/patches/qtbase-*.patch)"
ssl_prefix="$cache/ssl-$(key "$here/build-ssl.sh")"
libs_prefix="$cache/libs-$(key "$here/build-libs.sh" "$here"/iconv/iconv.[ch] "$here"/patches/mdbtools-*.patch)"

build() { # build NAME PREFIX SCRIPT
    if [ -f "$2/.complete" ]; then return; fi
    log "building $1 into $2 (the first time takes long: see README)"
    local start=$SECONDS
    rm -rf "$2"
    "$3" "$sources" "$cache/work-$1" "$2" >&2
    touch "$2/.complete"
    log "$1 built in $(((SECONDS - start) / 60)) min"
}
build qt "$qt_prefix" "$here/build-qt.sh"
build ssl "$ssl_prefix" "$here/build-ssl.sh"
build libs "$libs_prefix" "$here/build-libs.sh"
echo "QT_PREFIX=$qt_prefix"
echo "SSL_PREFIX=$ssl_prefix"
echo "LIBS_PREFIX=$libs_prefix"
