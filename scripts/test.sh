#!/bin/sh
# Sets everything up, builds both targets and runs every test headless
# under Wine (the 64-bit build; the 32-bit one is built and linked only).
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
ctest --preset win64 "$@"
