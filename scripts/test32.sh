#!/usr/bin/env bash
# The 32-bit download, run: the hypervisor of these machines refuses 32-bit code, so Debian's own 32-bit
# Wine runs under qemu, in a Debian chroot kept under build/test32/, with qemu registered for i386 programs
# in a binfmt_misc instance that belongs to a user namespace of this script alone (the machine's own
# registrations are untouched). The 64-bit end-to-end driver, run natively in there, unpacks
# dist/Kolbrin-<version>-win32.zip as a user would and takes the real 32-bit program through a short path
# (e2e/download32_test.cpp). Prints "N passed, M failed"; exits non-zero on a failure, and 0 with one line
# where the machine cannot host it.
#   KOLBRIN_TEST32_FRESH=1  makes the chroot and its Wine prefix anew
# Uses $DISPLAY when set (the test script's Xvfb), or starts its own Xvfb.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source "$root/scripts/debian-chroot.sh"
self="$root/scripts/test32.sh"
work="$root/build/test32"
chroot="$work/chroot"
shots="$root/build/e2e32-shots"

# Every wait is bounded, so that a hang costs a known time and never a CI run.
readonly prefix_limit=900 run_limit=1500
# Waits of the driver, times this: the program's tray icon comes about two minutes after its start.
readonly patience=30
packages=(wine wine64 wine32:i386 fonts-ipafont-gothic fonts-wine locales cmake e2fsprogs)
# i386 ELF executables, static or dynamic, as qemu's own binfmt configuration describes them; F opens the
# emulator now, so that it runs inside the chroot too.
readonly i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
readonly i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# Debian 12 names the static emulator qemu-i386-static; Debian 13's qemu-i386 is static itself.
qemu=$(command -v qemu-i386-static || command -v qemu-i386)
readonly binfmt=":kolbrin-i386:M::$i386_magic:$i386_mask:${qemu:-/usr/bin/qemu-i386-static}:F"

# ---- Inside the namespace: private binfmt_misc, the chroot's mounts, then the Wine side in the chroot.
if [ "${1:-}" = --inside ]; then
    set -e
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf '%s' "$binfmt" >/proc/sys/fs/binfmt_misc/register
    chroot_mount "$chroot" "$root"
    set +e
    exec chroot "$chroot" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DISPLAY="$DISPLAY" \
        /bin/bash "$root/scripts/test32.sh" --in-chroot
fi

if [ "${1:-}" = --in-chroot ]; then
    export KOLBRIN_BUILD="$work"
    source "$root/scripts/wine-env.sh"
    # Debian's `wine` picks the 32-bit loader first, and each 32-bit process costs a minute of emulated
    # start-up: everything but the program under test runs 64-bit.
    wine() { /usr/lib/wine/wine64 "$@"; }
    wineboot() { /usr/lib/wine/wine64 wineboot "$@"; }
    wineserver() { /usr/lib/wine/wineserver64 "$@"; }
    export -f wine wineboot wineserver
    trap 'wineserver -k 2>/dev/null' EXIT
    wine_prefix_init_within test32 "$prefix_limit" || exit
    rm -rf "$WINEPREFIX/drive_c/kolbrin-e2e"
    start=$SECONDS
    zip=$(ls "$root"/dist/Kolbrin-*-win32.zip)
    KOLBRIN_E2E_DOWNLOAD32="$zip" KOLBRIN_E2E_PATIENCE=$patience \
        timeout -k 10 "$run_limit" /usr/lib/wine/wine64 "$root/build/win64/bin/kolbrin_e2e.exe" \
        --gtest_filter='Download32.*' --gtest_color=no
    status=$?
    echo "test32: the 32-bit path took $((SECONDS - start))s (exit $status)"
    exit $status
fi

# ---- Outside: can this machine host it, the inputs, the chroot, then one namespace for all 32-bit work.
if [ "$(id -u)" -ne 0 ]; then
    exec sudo -E "$self" "$@"
fi
if ! unshare --user --map-root-user --mount --fork \
        sh -c 'mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc' 2>/dev/null; then
    echo "test32: skipped: this machine gives a user namespace no binfmt_misc of its own (Linux 6.7 or" \
         "later), so it cannot run the 32-bit download under emulation."
    exit 0
fi
scripts/setup.sh || exit 1
begin=$SECONDS
passed=0
failed=0
fail() {
    echo "test32: FAILED: $*" >&2
    failed=$((failed + 1))
}
report() {
    echo "test32: $((SECONDS - begin))s in all"
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
    exit
}

# The download as release.sh makes it, and the driver; within the test script both are up to date.
if ! ls dist/Kolbrin-*-win32.zip >/dev/null 2>&1; then
    cmake --workflow --preset release-win32 >/dev/null ||
        { fail "the 32-bit download did not build"; report; }
fi
{ cmake --preset win64 >/dev/null && cmake --build --preset win64 --target kolbrin_e2e >/dev/null; } ||
    { fail "the end-to-end driver did not build"; report; }

# The Debian 12 chroot: Debian's own 32-bit Wine runs under qemu there (a newer Wine's 32-bit mode does not).
[ -n "${KOLBRIN_TEST32_FRESH:-}" ] && rm -rf "$work/wineprefix"
if ! KOLBRIN_CHROOT_FRESH=${KOLBRIN_TEST32_FRESH:-} chroot_ensure "$chroot" bookworm i386 "${packages[@]}"; then
    fail "the chroot could not be made"
    report
fi
# A new chroot gets a new prefix.
[ "$chroot/.kolbrin-ready" -nt "$work/wineprefix" ] && rm -rf "$work/wineprefix"

# The 32-bit Wine needs the display; the test script has one, alone this script starts its own.
own_xvfb=
if [ -z "${DISPLAY:-}" ]; then
    source scripts/wine-env.sh
    KOLBRIN_FORCE_XVFB=1 xvfb_start || { fail "Xvfb did not start"; report; }
    own_xvfb=1
fi
log="$work/run.log"
# A pid namespace too: when the run ends or is cut short, every process of it (wineserver, the emulated
# program) ends with it. The Windows programs end their lines with CR LF.
timeout -k 10 $((prefix_limit + run_limit + 60)) \
    unshare --user --map-root-user --mount --pid --fork --kill-child "$self" --inside 2>&1 |
    sed -u 's/\r$//' | tee "$log"
[ -n "$own_xvfb" ] && xvfb_stop

# One count per step of the path; a run that never reached the steps counts as one failure.
passed=$(grep -c '^\[       OK \] Download32\.' "$log")
failed=$(grep -c '^\[  FAILED  \] Download32\..* ms)$' "$log")
if [ "$passed" -eq 0 ] && [ "$failed" -eq 0 ]; then
    fail "the 32-bit path did not run"
elif ! grep -q '^\[  PASSED  \]' "$log"; then
    [ "$failed" -gt 0 ] || fail "the 32-bit path ended early"
fi

bmp_to_png "$work/wineprefix/drive_c/kolbrin-e2e/shots" "$shots"
echo "test32: screenshots: $(ls "$shots" | wc -l) in $shots"
report
