#!/bin/sh
# Sets everything up, builds both targets and their zips, and runs every
# test headless under Wine: the 64-bit program's in a 64-bit prefix and,
# where this machine runs 32-bit programs, the 32-bit program's in a 64-bit
# prefix, and its end-to-end tests once more in a 32-bit prefix. Arguments
# go to each ctest run.
set -eu
cd "$(dirname "$0")/.."
sh scripts/package.sh
status=0
echo "The 64-bit program (build/win64), in a 64-bit Wine prefix:"
ctest --preset win64 "$@" || status=1
if why=$(sh scripts/wine32.sh check); then
    echo "The 32-bit program (build/win32), in a 64-bit Wine prefix, and its end-to-end tests in a 32-bit one:"
    ctest --preset win32 "$@" || status=1
else
    echo "The 32-bit program is not tested: $why."
fi
exit $status
