#!/usr/bin/env bash
# Cross-builds the program's small C libraries for Windows x86-64 from
# Debian's source packages: SQLite, minizip (zlib's contrib), libxlsxwriter
# and mdbtools' libmdb, with an iconv of our own (windows/iconv: Debian has
# no Windows iconv). zlib itself is Debian's ready-made libz-mingw-w64-dev;
# libpq and OpenSSL are build-ssl.sh's. Each library gets a pkg-config file in
# PREFIX/lib/pkgconfig. Called by windows/deps.sh, which keys the result by
# this file's hash.
# Usage: build-libs.sh SOURCES_DIR WORK_DIR PREFIX
set -euo pipefail
sources="$1" work="$2" prefix="$3"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
host=x86_64-w64-mingw32
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib
jobs="$(nproc)"
rm -rf "$work"
mkdir -p "$work" "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"
unpack() { mkdir -p "$work/$1" && tar -xf "$sources/$2" -C "$work/$1" --strip-components=1; }
pcfile() { # pcfile NAME VERSION LIBS
    printf 'prefix=%s\nName: %s\nDescription: %s\nVersion: %s\nCflags: -I${prefix}/include\nLibs: -L${prefix}/lib %s\n' \
        "$prefix" "$1" "$1" "$2" "$3" > "$prefix/lib/pkgconfig/$1.pc"
}

# SQLite 3.40.1: the amalgamation is made on this machine (tclsh), then
# cross-compiled as a DLL with the options Debian's own build enables.
unpack sqlite sqlite3_3.40.1.orig.tar.xz
(cd "$work/sqlite" && CC=gcc ./configure --disable-tcl > configure.log 2>&1 && nice make sqlite3.c > make.log 2>&1)
nice $CC -O2 -shared -DSQLITE_API='__declspec(dllexport)' -DSQLITE_THREADSAFE=1 \
    -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_ENABLE_FTS5 -DSQLITE_ENABLE_JSON1 -DSQLITE_ENABLE_DBSTAT_VTAB \
    -DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_UNLOCK_NOTIFY -DSQLITE_MAX_SCHEMA_RETRY=25 \
    "$work/sqlite/sqlite3.c" -o "$prefix/bin/sqlite3.dll" -Wl,--out-implib,"$prefix/lib/libsqlite3.dll.a"
cp "$work/sqlite/sqlite3.h" "$work/sqlite/sqlite3ext.h" "$prefix/include/"
pcfile sqlite3 3.40.1 -lsqlite3

# minizip, from zlib's source (contrib/minizip), with iowin32 for file names
# in UTF-16.
unpack zlib zlib_1.2.13.dfsg.orig.tar.bz2
m="$work/zlib/contrib/minizip"
nice $CC -O2 -shared -I"$m" "$m/ioapi.c" "$m/iowin32.c" "$m/zip.c" "$m/unzip.c" "$m/mztools.c" \
    -o "$prefix/bin/libminizip-1.dll" -Wl,--out-implib,"$prefix/lib/libminizip.dll.a" -lz
mkdir -p "$prefix/include/minizip"
cp "$m"/{ioapi,iowin32,zip,unzip,mztools}.h "$prefix/include/minizip/"
pcfile minizip 1.2.13 -lminizip
sed -i 's|^Cflags:.*|Cflags: -I${prefix}/include/minizip -I${prefix}/include|' "$prefix/lib/pkgconfig/minizip.pc"

# libxlsxwriter 1.1.4 (its own minizip inside), CMake with the same toolchain.
unpack xlsxwriter libxlsxwriter_1.1.4.orig.tar.gz
cmake -S "$work/xlsxwriter" -B "$work/xlsxwriter-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=ON -DCMAKE_INSTALL_PREFIX="$prefix" > "$work/xlsxwriter.log" 2>&1
nice ninja -C "$work/xlsxwriter-build" -j"$jobs" install >> "$work/xlsxwriter.log" 2>&1
pcfile xlsxwriter 1.1.4 -lxlsxwriter

# iconv over the system's code page conversions, for libmdb and the import.
nice $CC -O2 -shared "$here/iconv/iconv.c" -o "$prefix/bin/libiconv-2.dll" \
    -Wl,--out-implib,"$prefix/lib/libiconv.dll.a"
cp "$here/iconv/iconv.h" "$prefix/include/"

# mdbtools' libmdb 1.0.1 (its own small glib stand-in), decoding text through
# the iconv above.
unpack mdbtools mdbtools_1.0.1.orig.tar.gz
# mingw-w64 names the locale type _locale_t, and declares spawnv itself (the
# library's -D_spawnv=spawnv clashes with it); libtool's -no-undefined, which
# a DLL needs, is given to make alone, since in LDFLAGS it fails every link
# test of configure (the one for iconv too).
patch -d "$work/mdbtools" -p1 -s < "$here/patches/mdbtools-mingw.patch"
(cd "$work/mdbtools" &&
    autoreconf -fi > autoreconf.log 2>&1 &&
    ./configure --host=$host --prefix="$prefix" --disable-glib --disable-man --without-bash-completion-dir \
        --disable-static --enable-shared CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
        > configure.log 2>&1 &&
    grep -q "define MDBTOOLS_H_HAVE_ICONV_H 1" include/mdbtools.h &&
    nice make -C src/libmdb -j"$jobs" LDFLAGS="-L$prefix/lib -no-undefined" > make.log 2>&1 &&
    make -C src/libmdb install > install.log 2>&1 &&
    make -C include install >> install.log 2>&1) ||
    { tail -n 30 "$work/mdbtools"/*.log; exit 1; }
[ -f "$prefix/lib/pkgconfig/libmdb.pc" ] || cp "$work/mdbtools/libmdb.pc" "$prefix/lib/pkgconfig/"
rm -rf "$work"
