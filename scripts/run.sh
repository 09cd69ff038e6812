#!/usr/bin/env bash
# Runs Kolbrin.exe under Wine in a virtual desktop with a taskbar (the tray icon sits at its bottom right).
# With a display, the desktop opens as a window on it. Without one (a server, CI), the program runs on
# Xvfb, its tray icon is clicked, and screenshots of the desktop before and after are saved.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/setup.sh
scripts/build.sh win64

folder="$root/build/run"
mkdir -p "$folder"
cp build/win64/bin/Kolbrin.exe build/win64/bin/palvo.hlp "$folder/"

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    source scripts/wine-env.sh
    wine_prefix_init
    echo "Kolbrin runs in the Wine desktop window; its icon is at the right end of the taskbar."
    cd "$folder"
    exec wine Kolbrin.exe
fi

export KOLBRIN_FORCE_XVFB=1
source scripts/wine-env.sh
xvfb_start
trap 'wineserver -k 2>/dev/null; xvfb_stop' EXIT
wine_prefix_init
(cd "$folder" && wine Kolbrin.exe >/dev/null 2>&1 &)
sleep 6
shots="$root/build/run-shots"
mkdir -p "$shots"
import -window root "$shots/1-tray-icon.png"
# The notification area is at the right end of the 1024 x 768 desktop's taskbar.
xdotool mousemove 1013 758 click 1
sleep 2
import -window root "$shots/2-main-window.png"
echo "Screenshots:"
echo "  $shots/1-tray-icon.png"
echo "  $shots/2-main-window.png"
