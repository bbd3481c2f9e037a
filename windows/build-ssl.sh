#!/usr/bin/env bash
# Cross-builds libpq (PostgreSQL 15.18) with TLS for Windows x86-64, on
# OpenSSL 3.0 (its libraries only), both from Debian's source packages: the
# slowest of the C libraries, kept apart so that a change to build-libs.sh
# does not build them again. Called by windows/deps.sh, which keys the result
# by this file's hash.
# Usage: build-ssl.sh SOURCES_DIR WORK_DIR PREFIX
set -euo pipefail
sources="$1" work="$2" prefix="$3"
host=x86_64-w64-mingw32
export CC=$host-gcc-posix CXX=$host-g++-posix AR=$host-ar RANLIB=$host-ranlib
jobs="$(nproc)"
rm -rf "$work"
mkdir -p "$work" "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"
unpack() { mkdir -p "$work/$1" && tar -xf "$sources/$2" -C "$work/$1" --strip-components=1; }

# OpenSSL 3.0 (libraries only), so that libpq's sslmode=require works.
unpack openssl openssl_3.0.17.orig.tar.gz
(cd "$work/openssl" && CC=gcc-posix AR=ar RANLIB=ranlib ./Configure mingw64 \
    --cross-compile-prefix=$host- --prefix="$prefix" --libdir=lib shared no-tests no-engine \
    > configure.log 2>&1 &&
    nice make -j"$jobs" build_libs > make.log 2>&1 &&
    make install_dev install_runtime_libs > install.log 2>&1) ||
    { tail -30 "$work/openssl"/*.log; exit 1; }

# libpq from PostgreSQL 15.18, with OpenSSL.
unpack postgresql postgresql-15_15.18.orig.tar.bz2
(cd "$work/postgresql" &&
    ./configure --host=$host --prefix="$prefix" --with-ssl=openssl --without-readline --without-icu \
        --without-zlib CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" > configure.log 2>&1 &&
    for d in src/include src/common src/port src/interfaces/libpq; do
        nice make -C $d -j"$jobs" > "make-${d//\//-}.log" 2>&1 || { tail -30 "make-${d//\//-}.log"; exit 1; }
    done &&
    make -C src/interfaces/libpq install > install.log 2>&1 &&
    make -C src/include install >> install.log 2>&1) || { tail -30 "$work/postgresql/configure.log"; exit 1; }

rm -rf "$work"
