#!/bin/sh
# Installs those of the named Debian packages that are missing (as root, or
# through sudo); installs nothing when all are there.
#   sh scripts/install.sh PACKAGE...
set -eu
missing=""
for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
[ -n "$missing" ] || exit 0
echo "Installing:$missing"
sudo_=""
[ "$(id -u)" -eq 0 ] || sudo_=sudo
$sudo_ apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -q $missing
