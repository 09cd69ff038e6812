#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's packages, when it is missing.
set -euo pipefail

packages=(cmake g++ make libgtest-dev libbenchmark-dev googletest
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64
          xvfb xdotool imagemagick fonts-ipafont-gothic fonts-wine locales e2fsprogs
          clang libclang-rt-14-dev debootstrap qemu-user-static)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_if_needed apt-get update -qq
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The tools the build calls, with the package of each: a package can be recorded as installed while a
# file of it has gone (seen on a shared machine), and the build then fails far from the cause.
tools=(x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix
       x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
       x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64 x86_64-w64-mingw32-ar:binutils-mingw-w64-x86-64
       i686-w64-mingw32-gcc-posix:gcc-mingw-w64-i686-posix i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix
       i686-w64-mingw32-windres:binutils-mingw-w64-i686 i686-w64-mingw32-ar:binutils-mingw-w64-i686
       clang++:clang-14 wine:wine Xvfb:xvfb debootstrap:debootstrap qemu-i386-static:qemu-user-static)
broken=()
for entry in "${tools[@]}"; do
    command -v "${entry%%:*}" >/dev/null 2>&1 || broken+=("${entry#*:}")
done
if [ ${#broken[@]} -gt 0 ]; then
    echo "Reinstalling (files missing): ${broken[*]}"
    sudo_if_needed apt-get update -qq
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall --no-install-recommends \
        $(printf '%s\n' "${broken[@]}" | sort -u) >/dev/null
fi

# Wine shows Japanese text with code page 932 only when the Japanese UTF-8 locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sudo_if_needed sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
    sudo_if_needed locale-gen >/dev/null
fi
