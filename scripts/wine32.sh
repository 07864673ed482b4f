#!/bin/sh
# Wine's 32-bit half, wine32 from Debian's i386 architecture, runs the 32-bit
# program. It needs a kernel that runs 32-bit Linux programs, which only
# running one tells: a kernel built with 32-bit support may still refuse.
#   wine32.sh check        exits 0 where a static 32-bit Linux program runs
#                          here; else says why not, in one line
#   wine32.sh install      installs wine32 where the check passes
#   wine32.sh prefix DIR   removes the Wine prefix DIR unless the Wine here
#                          made it, as it is now, for WINEARCH (default win64)
set -eu
sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_=sudo

check() {
    dir="$(dirname "$0")/../build/i386-check"
    mkdir -p "$dir"
    cat > "$dir/check.s" <<'EOF'
	.globl _start		# write(1, "runs\n", 5) and exit(0), through
_start:	movl $4, %eax		# the 32-bit system call gate
	movl $1, %ebx
	movl $text, %ecx
	movl $5, %edx
	int $0x80
	movl $1, %eax
	xorl %ebx, %ebx
	int $0x80
	.data
text:	.ascii "runs\n"
EOF
    if ! as --32 -o "$dir/check.o" "$dir/check.s" 2>"$dir/errors" ||
        ! ld -m elf_i386 -o "$dir/check" "$dir/check.o" 2>>"$dir/errors"; then
        echo "this machine cannot make a 32-bit Linux program: $(head -n 1 "$dir/errors")"
        return 1
    fi
    status=0
    printed=$("$dir/check" 2>&1) || status=$?
    [ $status -eq 0 ] && [ "$printed" = runs ] && return 0
    # The shell's message ends with the system's reason, such as "Exec format error".
    echo "this machine cannot run 32-bit Linux programs (a static i386 program ended with status $status${printed:+: ${printed##*: }})"
    return 1
}

install_wine32() {
    check >/dev/null || return 0
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo_ dpkg --add-architecture i386
    sh "$(dirname "$0")/install.sh" wine32:i386
}

# Wine records its prefix's architecture in system.reg. A 64-bit prefix
# holds syswow64 only if wine32 was there when it was made, and Debian's
# wine takes the 32-bit loader, which needs syswow64, once wine32 is there.
prefix() {
    [ -f "$1/system.reg" ] || return 0
    arch=${WINEARCH:-win64} wow64=no made_wow64=no
    [ "$arch" = win64 ] && [ -x /usr/lib/wine/wine ] && wow64=yes
    [ -d "$1/drive_c/windows/syswow64" ] && made_wow64=yes
    grep -qx "#arch=$arch" "$1/system.reg" && [ $wow64 = $made_wow64 ] && return 0
    echo "$1 was made by another set of Wine's architectures: making it anew"
    rm -rf "$1"
}

case ${1:-} in
    check) check ;;
    install) install_wine32 ;;
    prefix) prefix "$2" ;;
    *) echo "usage: wine32.sh check|install|prefix DIR" >&2; exit 2 ;;
esac
