#!/bin/sh
# Sets everything up, builds both targets and their zips, and runs every
# test headless under Wine (the 64-bit build; the 32-bit one is built,
# linked and packaged, and its version block is checked).
set -eu
cd "$(dirname "$0")/.."
sh scripts/package.sh
ctest --preset win64 "$@"
