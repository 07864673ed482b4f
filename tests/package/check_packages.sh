#!/bin/sh
# Makes the release zips anew from the builds as they stand, with CPack, and
# checks them: exactly the executable, README, changelog and licence in one
# folder; texts plain ASCII with CRLF; the build's executable, of its machine,
# stripped, with manifest and version block (read by windres); the checksum
# file beside the zip. Then builds the program and zips of both targets a
# second time and checks that they are the same as the first, byte for byte.
#   check_packages.sh WIN32_BUILD_DIR WIN64_BUILD_DIR VERSION SOURCE_DIR
set -u
failures=0
fail() { echo "FAIL: $zip: $*"; failures=$((failures + 1)); }
version=$3
again=$(mktemp -d)
trap 'rm -rf "$again"' EXIT
trap 'exit 1' INT TERM HUP
# The second build reads the same sources by another path.
ln -s "$4" "$again/sources"
numbers="$(echo "$version" | sed 's/\./, /g'), 0"
cr=$(printf '\r')

check() {  # build folder, target, machine as objdump names it
    folder="Quorvantel-$version-$2"
    zip="$1/$folder.zip"
    rm -f "$zip" "$zip.sha256"
    (cd "$1" && cpack -G ZIP >/dev/null) && [ -f "$zip" ] || { fail "not made by cpack"; return; }
    (cd "$1" && sha256sum -c --quiet "$folder.zip.sha256") || fail "$folder.zip.sha256 is not its checksum"
    listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
    expected="$folder/CHANGELOG.txt $folder/LICENSE.txt $folder/Quorvantel.exe $folder/README.txt "
    [ "$listed" = "$expected" ] || fail "holds $listed, not $expected"
    unpacked=$(mktemp -d)
    unzip -q "$zip" -d "$unpacked"
    for text in README.txt CHANGELOG.txt LICENSE.txt; do
        file="$unpacked/$folder/$text"
        LC_ALL=C grep -q "[^ -~$cr]" "$file" && fail "$text has characters outside printable ASCII"
        [ -s "$file" ] && ! grep -q "[^$cr]\$\|^\$" "$file" || fail "$text has line ends other than CRLF"
    done
    exe="$unpacked/$folder/Quorvantel.exe"
    cmp -s "$exe" "$1/Quorvantel.exe" || fail "Quorvantel.exe is not $1/Quorvantel.exe"
    headers=$(x86_64-w64-mingw32-objdump -f -h "$exe")
    echo "$headers" | grep -q "file format pei-$3" || fail "not a $3 executable"
    echo "$headers" | grep -q ' \.debug\|HAS_SYMS' && fail "not stripped"
    x86_64-w64-mingw32-windres -i "$exe" -O rc > "$unpacked/resources.rc" 2>&1
    manifest=$(sed -n '/^1 24 /,/^END/p' "$unpacked/resources.rc")
    ids=$(echo "$manifest" | sed -n 's/.*supportedOS Id=""\([^"]*\)"".*/\1/p' | tr '\n' ' ')
    [ "$ids" = "$supported" ] || fail "manifest names the Windows versions '$ids'"
    echo "$manifest" | grep -q 'requestedExecutionLevel level=""asInvoker""' ||
        fail "manifest does not ask for asInvoker"
    # Wine ignores DPI awareness: the manifest's words are all a test here sees.
    echo "$manifest" | grep -q 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' ||
        fail "manifest does not name Common Controls 6"
    echo "$manifest" | grep -q '<dpiAware xmlns=""http://schemas.microsoft.com/SMI/2005/WindowsSettings"">true</dpiAware>' ||
        fail "manifest does not declare the program aware of the display's scale"
    for line in "FILEVERSION $numbers" "PRODUCTVERSION $numbers" "\"FileVersion\", \"$numbers\"" \
        "\"ProductVersion\", \"$numbers\"" '"ProductName", "Quorvantel"' \
        '"InternalName", "Quorvantel"' '"OriginalFilename", "Quorvantel.exe"'; do
        grep -q "^ *\(VALUE \)\?$line\$" "$unpacked/resources.rc" || fail "version block lacks $line"
    done
    rm -rf "$unpacked"
    rebuild "$@"
    echo "checked $zip"
}

# What differs from the first build: the path of the sources and of the build
# folder, the time, the time zone and the umask. Only the zip's needs are
# built; cmp names the first byte that differs.
rebuild() {  # build folder, target
    second="$again/$2"
    if ! (umask 077 && export TZ=XYZ-5:45 &&
        cmake -S "$again/sources" --preset "$2" -B "$second" -DQUORVANTEL_TESTS=OFF &&
        cmake --build "$second" -j2 --target Quorvantel && cd "$second" && cpack -G ZIP) >"$second.log" 2>&1; then
        fail "no second build: $(tail -n 5 "$second.log")"
        return
    fi
    for file in Quorvantel.exe "$folder.zip"; do
        differs=$(cmp "$1/$file" "$second/$file" 2>&1) || fail "a second build differs (is $1 built from these sources?): ${differs%, line *}"
    done
}

# Windows Vista, 7, 8, 8.1, 10 and 11.
supported="{e2011457-1546-43c5-a5fe-008deee3d3f0} {35138b9a-5d96-4fbd-8e2d-a2440225f93a} \
{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {1f676c76-80e1-4239-95bb-83d0f6d0da78} \
{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a} "
check "$1" win32 i386
check "$2" win64 x86-64
[ $failures -eq 0 ]
