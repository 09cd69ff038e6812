#!/usr/bin/env bash
# Long use of the real program under Wine (not part of the test command): CYCLES openings of each window
# (About with its banner, feature versions, technology list, settings dialog), RUNS quick optimization
# runs and SCANS quick scans, in four shares. Prints the private bytes and the count of top-level windows
# at the start, after the first share (the warm-up) and at the end; fails when a window is left behind or
# the private bytes grow by 256 KB or more after the warm-up. Uses its own Wine prefix and display, so it
# can run beside the tests.
#   scripts/soak.sh [CYCLES [RUNS [SCANS]]]     (default 200 50 20)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh || exit 1
scripts/build.sh win64 || exit 1

export KOLBRIN_SOAK_CYCLES=${1:-200} KOLBRIN_SOAK_RUNS=${2:-50} KOLBRIN_SOAK_SCANS=${3:-20}
export KOLBRIN_FORCE_XVFB=1 KOLBRIN_BUILD="$root/build/soak"
source scripts/wine-env.sh
xvfb_start || exit 1
trap 'wineserver -k 2>/dev/null; xvfb_stop' EXIT
wine_prefix_init || exit 1
echo "Soak: $KOLBRIN_SOAK_CYCLES cycles of each window, $KOLBRIN_SOAK_RUNS runs, $KOLBRIN_SOAK_SCANS scans"
start=$(date +%s)
wine build/win64/bin/kolbrin_e2e.exe --gtest_filter='LongUse.*'
status=$?
echo "Soak took $(($(date +%s) - start)) s"
exit $status
