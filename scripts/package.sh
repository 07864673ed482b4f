#!/bin/sh
# Sets everything up, builds both targets and makes one zip per target,
# each with its checksum file (.zip.sha256 beside it):
# build/win32/Quorvantel-1.5.0-win32.zip and build/win64/Quorvantel-1.5.0-win64.zip.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
for preset in win32 win64; do
    (cd "build/$preset" && cpack -G ZIP >/dev/null)
    ls "build/$preset"/Quorvantel-*-"$preset".zip "build/$preset"/Quorvantel-*-"$preset".zip.sha256
done
