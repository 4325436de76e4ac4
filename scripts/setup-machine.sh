#!/usr/bin/env bash
# Makes a Debian 12 machine (run as root) ready to build and test SETUP.EXE:
# the i386 architecture, the mingw-w64 cross compiler, Wine (32 and 64 bit), CMake, Ninja,
# GoogleTest's source, the native fuzzing tool chain and NSIS (the benchmark's peer installer).
# Quick when everything is there already.
set -euo pipefail

packages=(
    g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-tools
    wine wine64 wine32:i386
    cmake ninja-build googletest
    clang libclang-rt-14-dev llvm
    xvfb xauth x11-apps imagemagick
    file strace python3
    osslsigncode openssl zip
    clang-format
    nsis
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done

if ((${#missing[@]})); then
    if [ "$(id -u)" != 0 ]; then
        echo "setup-machine: these packages are missing and only root can install them: ${missing[*]}" >&2
        exit 1
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
