#!/bin/sh
# Installs what building, packaging and testing need, from Debian's
# packages, and builds both targets with their tests. Wine's 32-bit half,
# which the 32-bit tests need, it installs only where this machine runs
# 32-bit programs. Safe to run again: it installs only what is missing.
set -eu
cd "$(dirname "$0")/.."

sh scripts/install.sh cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth googletest \
    imagemagick x11-utils locales zip unzip python3 binutils
sh scripts/wine32.sh install

# The code page 932 tests need a Japanese Unix locale for Wine to follow.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sudo_=""
    [ "$(id -u)" -eq 0 ] || sudo_=sudo
    $sudo_ localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

cmake --preset win32 -DQUORVANTEL_TESTS=ON >/dev/null
cmake --build --preset win32
# start.sh may have made this build folder without the tests.
cmake --preset win64 -DQUORVANTEL_TESTS=ON -DQUORVANTEL_PACKAGE_TESTS=ON >/dev/null
cmake --build --preset win64
