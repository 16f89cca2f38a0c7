#!/usr/bin/env bash
# Installs what building and testing Orvella needs on Debian 12, skipping what is already installed.
#
#   bash tools/setup.sh          everything: native build, 32- and 64-bit Windows cross builds, 32- and
#                                64-bit Wine (machines that cannot run 32-bit programs use the second),
#                                ImageMagick for the end-to-end test's screenshots, clang sanitizers,
#                                libFuzzer and clang-format
#   bash tools/setup.sh native   only what the native build and its tests need
#
# Runs as root, or through sudo when it is there.
set -euo pipefail

native=(build-essential cmake googletest libgtest-dev)
# xvfb-run needs xauth, which xvfb only recommends.
everything=("${native[@]}" g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix mingw-w64-tools clang-14
    libclang-rt-14-dev clang-format wine wine32:i386 wine64 xvfb xauth imagemagick)

case "${1:-all}" in
native) wanted=("${native[@]}") ;;
all) wanted=("${everything[@]}") ;;
*)
    echo "usage: bash tools/setup.sh [native]" >&2
    exit 2
    ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for package in "${wanted[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "setup: all ${#wanted[@]} packages are installed"
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "setup: missing ${missing[*]}; run this as root to install them" >&2
        exit 1
    fi
    sudo=(sudo)
fi

for package in "${missing[@]}"; do
    if [[ $package == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
        break
    fi
done

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Other builds on the machine may be installing too: wait for their lock rather than fail.
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y "${missing[@]}"
