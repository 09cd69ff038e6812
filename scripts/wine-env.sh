# Sourced by the run and test scripts: our own Wine prefix, Japanese code page, fonts and desktop.
#   KOLBRIN_BUILD  the build folder that holds the prefix (default: build)
: "${KOLBRIN_ROOT:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
: "${KOLBRIN_BUILD:=$KOLBRIN_ROOT/build}"
export WINEPREFIX="$KOLBRIN_BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

# Sets the prefix up: the program's fonts resolve to the IPA Gothic fonts, every program runs in one
# virtual desktop that has a taskbar with a notification area (Wine 10 draws it only when the desktop's own
# key asks for its shell; Wine 8 reads the same value), the caption buttons have their font, and focus cues
# and access keys are hidden until the keyboard is used, as Windows has them unless the user asks (Wine's
# own preferences have them always shown: bit 0x20 of the first byte).
wine_prefix_setup() {
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    local reg="$WINEPREFIX/kolbrin.reg"
    # regedit reads a version 5 file as UTF-16, so the Japanese face names arrive intact.
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAPGothic"

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\Default]
"EnableShell"=dword:00000001

[HKEY_CURRENT_USER\Control Panel\Desktop]
"UserPreferencesMask"=hex:10,00,02,80,12,00,00,00
REG
    } >"$reg"
    wine regedit "$reg" >/dev/null 2>&1
    wineserver -w
    # Wine draws the caption buttons with its Marlett font (Debian's fonts-wine); this build does not
    # find it where it is installed, so the prefix gets a copy.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

# Sets the prefix up when it is new or was set up by a different version of wine_prefix_setup: the ready
# mark holds a digest of the set-up itself, so a change to it reaches prefixes made before.
wine_prefix_init() {
    local mark="$WINEPREFIX/.kolbrin-ready" digest
    local marlett="$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf"
    digest=$(declare -f wine_prefix_setup | sha256sum | cut -d' ' -f1)
    # A run at another resolution that was killed outright (no trap runs then) left this behind.
    if [ -f "$WINEPREFIX/.kolbrin-dpi" ]; then
        wine_set_dpi 96
        rm -f "$WINEPREFIX/.kolbrin-dpi"
    fi
    if [ -f "$mark" ] && [ "$(cat "$mark")" = "$digest" ] && [ -f "$marlett" ]; then
        return 0
    fi
    rm -f "$mark"
    wine_prefix_setup
    # Without the caption font every close box shows a plain letter "r": refuse such a prefix rather
    # than let a test or a screenshot use it.
    if [ ! -f "$marlett" ]; then
        echo "wine-env: the caption font Marlett is missing from the Wine prefix;" \
             "install Debian's fonts-wine (scripts/setup.sh does) and run again." >&2
        return 1
    fi
    echo "$digest" >"$mark"
}

# wine_prefix_init within LIMIT seconds, for a run that must not hang on a first start of Wine (the
# emulated and the chroot runs); WHO names the run in the messages. The Wine server is stopped after.
wine_prefix_init_within() {
    local who=$1 limit=$2 start=$SECONDS
    if ! timeout -k 10 "$limit" bash -c "source '${BASH_SOURCE[0]}'; wine_prefix_init"; then
        echo "$who: the Wine prefix could not be set up in ${limit}s" >&2
        return 3
    fi
    echo "$who: $(wine --version) prefix ready ($((SECONDS - start))s)"
    wineserver -k 2>/dev/null || true
}

# Sets the prefix's screen resolution in dots per inch (96, 120, 144 ...).
wine_set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
}

# Starts Xvfb on a free display unless one is given; sets DISPLAY.
xvfb_start() {
    if [ -n "${DISPLAY:-}" ] && [ -z "${KOLBRIN_FORCE_XVFB:-}" ]; then
        return 0
    fi
    # On a machine that never ran an X server the socket folder is missing, and Xvfb does not make it.
    if [ ! -d /tmp/.X11-unix ]; then
        mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix
    fi
    local n log
    # A display number can be taken without a lock file we can see (another container, another root):
    # try the next one until a server starts.
    for n in $(seq 90 130); do
        [ -e "/tmp/.X$n-lock" ] && continue
        log="${TMPDIR:-/tmp}/kolbrin-xvfb-$n.log"
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
        KOLBRIN_XVFB_PID=$!
        for _ in $(seq 50); do
            if [ -e "/tmp/.X11-unix/X$n" ] && kill -0 "$KOLBRIN_XVFB_PID" 2>/dev/null; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$KOLBRIN_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        # A script under `set -e` (run.sh) must go on to the next number, whatever this one's exit.
        kill "$KOLBRIN_XVFB_PID" 2>/dev/null || true
        wait "$KOLBRIN_XVFB_PID" 2>/dev/null || true
    done
    unset KOLBRIN_XVFB_PID
    echo "Xvfb did not start:" >&2
    cat "$log" >&2
    return 1
}

xvfb_stop() {
    if [ -n "${KOLBRIN_XVFB_PID:-}" ]; then
        kill "$KOLBRIN_XVFB_PID" 2>/dev/null || true
        wait "$KOLBRIN_XVFB_PID" 2>/dev/null || true
        unset KOLBRIN_XVFB_PID
    fi
}
