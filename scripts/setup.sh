#!/bin/sh
# Installs what building and testing need, from Debian's packages, and
# builds both targets. Safe to run again: it installs only what is missing.
set -eu
cd "$(dirname "$0")/.."

packages="cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64 xvfb xauth googletest
  imagemagick x11-utils locales zip unzip python3"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo_=""
    [ "$(id -u)" -eq 0 ] || sudo_=sudo
    $sudo_ apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q $missing
fi

# The code page 932 tests need a Japanese Unix locale for Wine to follow.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sudo_=""
    [ "$(id -u)" -eq 0 ] || sudo_=sudo
    $sudo_ localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

for preset in win32 win64; do
    cmake --preset "$preset" -DQUORVANTEL_PACKAGE_TESTS=ON >/dev/null
    cmake --build --preset "$preset"
done
