#!/bin/sh
# Checks the release zips: each holds exactly the executable of its own
# target, the README and the licence (both with Windows line ends), in one
# folder, and the executable is the one the build made.
#   check_packages.sh WIN32_BUILD_DIR WIN64_BUILD_DIR VERSION
set -u
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check() {  # build folder, target, PE machine word as od prints it
    build=$1 target=$2 machine=$3
    folder="Quorvantel-$version-$target"
    zip="$build/$folder.zip"
    [ -f "$zip" ] || { fail "$zip is missing (run scripts/package.sh)"; return; }
    expected=$(printf '%s\n' "$folder/LICENSE.txt" "$folder/Quorvantel.exe" "$folder/README.txt")
    listed=$(unzip -Z1 "$zip" | sort)
    [ "$listed" = "$expected" ] || fail "$zip holds:
$listed
expected:
$expected"
    unpacked=$(mktemp -d)
    unzip -q "$zip" -d "$unpacked"
    exe="$unpacked/$folder/Quorvantel.exe"
    cmp -s "$exe" "$build/Quorvantel.exe" || fail "$zip: Quorvantel.exe differs from $build/Quorvantel.exe"
    offset=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
    found=$(od -An -tx2 -j$((offset + 4)) -N2 "$exe" | tr -d ' ')
    [ "$found" = "$machine" ] || fail "$zip: machine $found, expected $machine"
    for text in README.txt LICENSE.txt; do
        file="$unpacked/$folder/$text"
        lines=$(wc -l < "$file")
        crlf=$(grep -c "$(printf '\r')\$" "$file")
        [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "$zip: $text has $crlf CRLF ends in $lines lines"
    done
    rm -rf "$unpacked"
    echo "checked $zip"
}

version=$3
check "$1" win32 014c
check "$2" win64 8664
[ $failures -eq 0 ]
