#!/usr/bin/env bash
# Installs what building, running and testing need, from Debian's packages, when it is missing.
# Made for Debian 12 (bookworm) and 13 (trixie): every package and tool is named without a compiler version,
# so the same list serves both.
set -euo pipefail

packages=(cmake g++ make git libgtest-dev libbenchmark-dev googletest
          osslsigncode openssl zip g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
          g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine wine64
          xvfb xdotool imagemagick fonts-ipafont-gothic fonts-wine locales e2fsprogs
          clang libclang-rt-dev debootstrap qemu-user-static)
# Debian 13 made the static emulators part of qemu-user; its qemu-user-static would also register them
# with the machine's binfmt_misc, which the 32-bit run must leave alone.
readonly release=$( . /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME:-}")
if [ "$release" = trixie ]; then
    packages=("${packages[@]/#qemu-user-static/qemu-user}")
fi
if [ "$release" != bookworm ] && [ "$release" != trixie ]; then
    echo "setup: made for Debian 12 and 13; on ${release:-this system}, install by hand if missing:" \
         "${packages[*]} (or their equivalents)."
fi

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
apt_install() {
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}
updated=
apt_update() {
    [ -n "$updated" ] && return 0
    sudo_if_needed apt-get update -qq
    updated=1
}
command -v apt-get >/dev/null 2>&1 || { echo "setup: no apt-get here: nothing installed."; exit 0; }

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    apt_update
    apt_install "${missing[@]}"
fi

# The sanitizers' runtime must be the one of the clang that `clang++` runs, which need not be the release's
# default clang: take its versioned package when there is one.
clang_major=$(clang++ -dumpversion 2>/dev/null | cut -d. -f1 || true)
if [ -n "$clang_major" ] && ! installed "libclang-rt-$clang_major-dev" &&
        apt-cache show "libclang-rt-$clang_major-dev" >/dev/null 2>&1; then
    echo "Installing: libclang-rt-$clang_major-dev"
    apt_update
    apt_install "libclang-rt-$clang_major-dev"
fi

# The tools the build calls, with the package of each (git gives the release its commit time): a package can be recorded as installed while a
# file of it has gone (seen on a shared machine), and the build then fails far from the cause.
tools=(x86_64-w64-mingw32-gcc-posix:gcc-mingw-w64-x86-64-posix
       x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix
       x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64 x86_64-w64-mingw32-ar:binutils-mingw-w64-x86-64
       i686-w64-mingw32-gcc-posix:gcc-mingw-w64-i686-posix i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix
       i686-w64-mingw32-windres:binutils-mingw-w64-i686 i686-w64-mingw32-ar:binutils-mingw-w64-i686
       x86_64-w64-mingw32-g++-win32:g++-mingw-w64-x86-64-win32 i686-w64-mingw32-g++-win32:g++-mingw-w64-i686-win32
       clang++:clang wine:wine Xvfb:xvfb debootstrap:debootstrap)
if [ "$release" = trixie ]; then
    tools+=(qemu-i386:qemu-user)  # statically linked there, without the -static name
else
    tools+=(qemu-i386-static:qemu-user-static)
fi
broken=()
for entry in "${tools[@]}"; do
    command -v "${entry%%:*}" >/dev/null 2>&1 || broken+=("${entry#*:}")
done
if [ ${#broken[@]} -gt 0 ]; then
    echo "Reinstalling (files missing): ${broken[*]}"
    apt_update
    apt_install --reinstall $(printf '%s\n' "${broken[@]}" | sort -u)
fi

# Wine shows Japanese text with code page 932 only when the Japanese UTF-8 locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    sudo_if_needed sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
    sudo_if_needed locale-gen >/dev/null
fi
