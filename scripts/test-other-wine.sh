#!/usr/bin/env bash
# The Windows-side and end-to-end tests again, under the other Debian release's Wine: Debian 13's Wine 10 on
# a Debian 12 machine, Debian 12's Wine 8 on a Debian 13 machine. Wine releases forgive different faults, so
# every change is tried under both. That Wine runs in a Debian chroot kept under build/other-wine/, with
# this machine's display and the programs the test script built (build/win64/bin). The same tests as
# `ctest --preset win64` run there, with a Wine prefix of their own.
# Exits non-zero on a failure, and 0 with one line where the machine cannot host it.
#   test-other-wine.sh [CTEST ARGUMENTS]   e.g. -R e2e_dpi120 for one of the tests
#   KOLBRIN_OTHER_WINE_FRESH=1  makes the chroot and its Wine prefix anew
# Uses $DISPLAY when set (the test script's Xvfb), or starts its own Xvfb.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source "$root/scripts/debian-chroot.sh"
self="$root/scripts/test-other-wine.sh"
work="$root/build/other-wine"
chroot="$work/chroot"
readonly prefix_limit=900 run_limit=2400
packages=(wine wine64 fonts-ipafont-gothic fonts-wine locales cmake e2fsprogs)

# ---- In the chroot: the prefix, then the tests as ctest knows them.
if [ "${1:-}" = --in-chroot ]; then
    export KOLBRIN_BUILD="$work"
    source "$root/scripts/wine-env.sh"
    trap 'wineserver -k 2>/dev/null' EXIT
    wine_prefix_init_within other-wine "$prefix_limit" || exit
    wineserver -w
    # What a killed run may have left: a folder marked unchangeable, the screenshots of the last run.
    chattr -R -i "$WINEPREFIX/drive_c/kolbrin-e2e" 2>/dev/null
    rm -rf "$WINEPREFIX/drive_c/kolbrin-e2e/shots"
    shift
    timeout -k 10 "$run_limit" ctest --test-dir "$root/build/win64" --output-on-failure "$@"
    status=$?
    chattr -R -i "$WINEPREFIX/drive_c/kolbrin-e2e" 2>/dev/null
    exit $status
fi

# ---- Outside: which Wine is the other one, can this machine host it, the chroot, then one run.
if [ "$(id -u)" -ne 0 ]; then
    exec sudo -E "$self" "$@"
fi
case "$(debian_release)" in
    bookworm) other=trixie ;;
    trixie) other=bookworm ;;
    *)
        echo "other-wine: skipped: made for Debian 12 and 13, whose Wines it tries against each other."
        exit 0
        ;;
esac
if ! unshare --mount --pid --fork true 2>/dev/null || ! command -v debootstrap >/dev/null; then
    echo "other-wine: skipped: this machine cannot make a mount namespace or has no debootstrap, so it" \
         "cannot host a chroot."
    exit 0
fi
for exe in Kolbrin.exe kolbrin_win_tests.exe kolbrin_e2e.exe; do
    [ -f "build/win64/bin/$exe" ] || { echo "other-wine: build/win64/bin/$exe is missing (scripts/build.sh win64)" >&2; exit 1; }
done

begin=$SECONDS
[ -n "${KOLBRIN_OTHER_WINE_FRESH:-}" ] && rm -rf "$work/wineprefix"
KOLBRIN_CHROOT_FRESH=${KOLBRIN_OTHER_WINE_FRESH:-} chroot_ensure "$chroot" "$other" "" "${packages[@]}" || exit 1
# A new chroot (a new Wine) gets a new prefix.
[ "$chroot/.kolbrin-ready" -nt "$work/wineprefix" ] && rm -rf "$work/wineprefix"

own_xvfb=
if [ -z "${DISPLAY:-}" ]; then
    source scripts/wine-env.sh
    KOLBRIN_FORCE_XVFB=1 xvfb_start || exit 1
    own_xvfb=1
fi
# A mount and pid namespace of its own: its mounts and every process of the run (wineserver, the program)
# end with it, however it ends.
timeout -k 10 $((prefix_limit + run_limit + 60)) unshare --mount --pid --fork --kill-child bash -c "
    source '$root/scripts/debian-chroot.sh' && chroot_mount '$chroot' '$root' &&
    exec chroot '$chroot' /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DISPLAY='$DISPLAY' \
        /bin/bash '$self' --in-chroot \"\$@\"" _ "$@" 2>&1 | sed -u 's/\r$//'
status=${PIPESTATUS[0]}
[ -n "$own_xvfb" ] && xvfb_stop

shots="$root/build/e2e-shots-$other"
bmp_to_png "$work/wineprefix/drive_c/kolbrin-e2e/shots" "$shots"
echo "other-wine: screenshots: $(ls "$shots" | wc -l) in $shots"
# Run through sudo: what the run wrote into the user's own folders stays the user's.
if [ -n "${SUDO_UID:-}" ]; then
    chown -R "$SUDO_UID:$SUDO_GID" "$root/build/win64/Testing" "$shots" 2>/dev/null
fi
echo "other-wine: $((SECONDS - begin))s in all (exit $status)"
exit "$status"
