#!/usr/bin/env bash
# Checks the downloads that scripts/release.sh wrote into dist/: what each zip holds, the programs' build
# (machine, no debug information, only system DLLs, version information read back from the file, 300 KB at
# most), the readme's code page and line ends, and that the web-page guide carries every topic and jump of
# the help source. Checks dist/ or the folder given; then, unless --no-rebuild, that this tree built again
# elsewhere gives the same files, and signed with a throwaway certificate verifies and changes nothing else.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
root=$(pwd)
rebuild=1
[ "${1:-}" = --no-rebuild ] && { rebuild=; shift; }
dist=$(realpath "${1:-$root/dist}")
help_source="$root/help/palvo.help.txt"
version=$(sed -n 's/^project(Kolbrin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
max_exe_bytes=$((300 * 1024))
# The only libraries the program may import: the known DLLs, which Windows 7 to 11 always load from the
# system folder (HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs, kernel32 and ntdll by
# the loader itself). Any other imported library would be looked for first in the program's own folder,
# where a planted copy would run inside the program. The C and C++ runtimes are linked in; msvcrt is the
# system's own C library. comctl32 and version, for example, are not known DLLs.
system_dlls=" kernel32.dll user32.dll gdi32.dll shell32.dll advapi32.dll msvcrt.dll ole32.dll oleaut32.dll "

failures=0
sizes=""
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -n "$version" ] || fail "no project version in CMakeLists.txt"
if ! (cd "$dist" && sha256sum --quiet -c SHA256SUMS); then
    fail "SHA256SUMS does not match the zips"
fi
sums_lists=$(awk '{print $2}' "$dist/SHA256SUMS" | sort | tr '\n' ' ')
[ "$sums_lists" = "Kolbrin-$version-win32.zip Kolbrin-$version-win64.zip " ] ||
    fail "SHA256SUMS lists: $sums_lists"

check_exe() {
    local exe=$1 triple=$2 format=$3
    local size
    size=$(stat -c %s "$exe")
    [ "$size" -le "$max_exe_bytes" ] || fail "$arch Kolbrin.exe: $size bytes, more than $max_exe_bytes"
    "$triple-objdump" -f "$exe" | grep -q "file format $format\$" || fail "$arch Kolbrin.exe: not $format"
    local sections
    sections=$("$triple-objdump" -h "$exe" | awk '$2 ~ /^\./ {print $2}')
    if grep -q '^\.debug' <<<"$sections"; then
        fail "$arch Kolbrin.exe: debug sections: $(grep '^\.debug' <<<"$sections" | tr '\n' ' ')"
    fi
    "$triple-nm" "$exe" 2>&1 | grep -q 'no symbols' || fail "$arch Kolbrin.exe: carries a symbol table"
    # Written for Windows 7 (6.1): an older subsystem version gets legacy frame metrics.
    local headers field_value
    headers=$("$triple-objdump" -p "$exe")
    for field_value in "MajorSubsystemVersion 6" "MinorSubsystemVersion 1" "MajorOSystemVersion 6" \
        "MinorOSystemVersion 1"; do
        grep -qE "^${field_value% *}[[:space:]]+${field_value#* }\$" <<<"$headers" ||
            fail "$arch Kolbrin.exe: $(grep -E "^${field_value% *}" <<<"$headers" | tr -s '\t ' ' '), not ${field_value#* }"
    done
    local dll
    local imports
    imports=$("$triple-objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p')
    [ -n "$imports" ] || fail "$arch Kolbrin.exe: no import table found"
    for dll in $imports; do
        [[ "$system_dlls" == *" ${dll,,} "* ]] || fail "$arch Kolbrin.exe: imports $dll, which is not a known DLL"
    done
    echo "$arch Kolbrin.exe imports: $(tr '\n' ' ' <<<"$imports")"
    # windres reads the resources back out of the linked file.
    local rc="$work/version.rc"
    "$triple-windres" -J coff -i "$exe" -O rc -o "$rc" 2>/dev/null || fail "$arch Kolbrin.exe: resources unreadable"
    local field expected
    for field in "CompanyName=Kolbrin Project" "FileVersion=$version" "ProductVersion=$version" \
        "ProductName=Kolbrin" "OriginalFilename=Kolbrin.exe" "InternalName=Kolbrin" \
        "FileDescription=Kolbrin" "LegalCopyright=Copyright (c) 2026 Kolbrin Project"; do
        expected="VALUE \"${field%%=*}\", \"${field#*=}\""
        grep -qF "$expected" "$rc" || fail "$arch Kolbrin.exe: no $expected"
    done
    # The icon group: an image drawn for each size the system shows the icon at, all in 16 colours.
    local images
    images=$(sed -n '/RT_GROUP_ICON/,/^END/s/^ *"\\\([0-7]*\)\\\([0-7]*\)\\[0-7]*\\[0-7]*", *[0-9]*, *\([0-9]*\),.*/\1 \2 \3/p' "$rc" |
        while read -r w h bits; do echo "$((8#$w))x$((8#$h)) ${bits}bpp"; done | sort -n | tr '\n' ' ')
    echo "$arch Kolbrin.exe icon images: $images"
    local image
    for image in "16x16 4bpp" "20x20 4bpp" "24x24 4bpp" "32x32 4bpp"; do
        [[ " $images" == *" $image "* ]] || fail "$arch Kolbrin.exe: the icon has no $image image"
    done
    local major=${version%%.*} minor=${version#*.}
    grep -q "FILEVERSION $major, *$minor, *0, *0" "$rc" || fail "$arch Kolbrin.exe: numeric FILEVERSION is not $version"
    # The strings sit in the Japanese block that the Translation entry points the properties page to.
    grep -q 'BLOCK "041104b0"\|BLOCK "041104B0"' "$rc" || fail "$arch Kolbrin.exe: no Japanese Unicode string block"
    grep -qi 'VALUE "Translation", 0x411, *1200' "$rc" || fail "$arch Kolbrin.exe: Translation is not 0x411, 1200"
    grep -aq 'level="asInvoker"' "$exe" || fail "$arch Kolbrin.exe: manifest without asInvoker"
    grep -aq "PerMonitorV2, PerMonitor</dpiAwareness>" "$exe" || fail "$arch Kolbrin.exe: manifest without per-monitor DPI awareness"
    # Windows 8.1 and 10 before 1607 read only <dpiAware>: per monitor there as well.
    grep -aq ">true/pm</dpiAware>" "$exe" || fail "$arch Kolbrin.exe: manifest without per-monitor DPI awareness for Windows 8.1"
    grep -aq "name=\"Kolbrin\" version=\"$major.$minor.0.0\"" "$exe" || fail "$arch Kolbrin.exe: manifest version"
    echo "$arch Kolbrin.exe: $size bytes"
    sizes+="$arch $size bytes, "
}

check_text_files() {
    local folder=$1
    local readme="$folder/readme.txt"
    if iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null 2>&1; then
        fail "readme.txt reads as UTF-8 (or plain ASCII): it must be code page 932"
    fi
    local decoded word
    if ! decoded=$(iconv -f CP932 -t UTF-8 "$readme" 2>/dev/null); then
        fail "readme.txt is not valid code page 932"
        decoded=""
    fi
    [ -z "$decoded" ] || for word in "Kolbrin Ver.$version" Kolbrin.exe 1.dat log.dat palvo.html "Windows 10" 通知領域 \
        "Program Files" SmartScreen 発行元; do
        grep -qF "$word" <<<"$decoded" || fail "readme.txt does not mention $word"
    done
    local file
    for file in readme.txt LICENSE.txt; do
        # Every line ends in CR LF: no LF without a CR before it, no CR without an LF after it.
        local lf crlf cr
        lf=$(tr -cd '\n' <"$folder/$file" | wc -c)
        cr=$(tr -cd '\r' <"$folder/$file" | wc -c)
        crlf=$(grep -c $'\r$' "$folder/$file")
        [ "$lf" -gt 0 ] && [ "$lf" -eq "$crlf" ] && [ "$cr" -eq "$lf" ] ||
            fail "$file: $lf line ends, $crlf of them CR LF, $cr CRs"
        [ "$(tail -c 2 "$folder/$file" | od -An -tx1 | tr -d ' ')" = "0d0a" ] || fail "$file: last line not ended"
    done
    grep -q "^MIT License" "$folder/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
    grep -q "Copyright (c) .* Kolbrin Project" "$folder/LICENSE.txt" || fail "LICENSE.txt: copyright holder"
    [ "$(head -c 4 "$folder/palvo.hlp" | od -An -tx1 | tr -d ' ')" = "3f5f0300" ] || fail "palvo.hlp is no help file"
}

html_escape() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g' -e 's/"/\&quot;/g'; }

check_html() {
    local html=$1
    iconv -f UTF-8 -t UTF-8 "$html" >/dev/null 2>&1 || fail "palvo.html is not UTF-8"
    grep -qi '<meta charset="utf-8">' "$html" || fail "palvo.html does not say it is UTF-8"
    grep -qiE '<script|<link|<img|<iframe|src=|href="[a-z]+:' "$html" && fail "palvo.html uses scripts or other files"
    # Every topic: its title as a heading whose id is the topic's id, and a link in the index.
    local index topics=0
    index=$(sed -n '/id="keyword-index"/,$p' "$html")
    while read -r id title; do
        topics=$((topics + 1))
        title=$(html_escape <<<"$title")
        grep -qF "<h2 id=\"$id\">$title</h2>" "$html" || fail "palvo.html: no heading for topic $id"
        grep -qF "<a href=\"#$id\">$title</a>" <<<"$index" || fail "palvo.html: index lacks topic $id"
    done < <(sed -n 's/^@topic \([^ ]*\) *\(.*\)$/\1 \2/p' "$help_source")
    [ "$topics" -gt 0 ] || fail "no topics found in $help_source"
    # Every jump of the source is a link with the same text, and every link has its target in the page.
    while IFS='|' read -r id text; do
        text=$(html_escape <<<"$text")
        grep -qF "<a href=\"#$id\">$text</a>" "$html" || fail "palvo.html: no link '$text' to #$id"
    done < <(grep -v '^#' "$help_source" | grep -o '\[\[[^]]*\]\]' | sed 's/^\[\[\(.*\)\]\]$/\1/')
    local target
    for target in $(grep -o 'href="#[^"]*"' "$html" | sed 's/href="#\(.*\)"/\1/' | sort -u); do
        grep -q "id=\"$target\"" "$html" || fail "palvo.html: link to missing #$target"
    done
    echo "palvo.html: $topics topics, $(grep -o 'href="#' "$html" | wc -l) links"
}

for arch in win64 win32; do
    zip="$dist/Kolbrin-$version-$arch.zip"
    if [ ! -f "$zip" ]; then
        fail "$zip is missing"
        continue
    fi
    echo "Kolbrin-$version-$arch.zip: $(stat -c %s "$zip") bytes"
    listing=$(cmake -E tar tf "$zip" | grep -v '/$' | sort | tr '\n' ' ')
    expected="Kolbrin/Kolbrin.exe Kolbrin/LICENSE.txt Kolbrin/palvo.hlp Kolbrin/palvo.html Kolbrin/readme.txt "
    [ "$listing" = "$expected" ] || fail "$arch zip holds: $listing"
    ! cmake -E tar tf "$zip" | grep -qv '^Kolbrin/' || fail "$arch zip has entries outside Kolbrin/"
    mkdir -p "$work/$arch"
    (cd "$work/$arch" && cmake -E tar xf "$zip") || fail "$arch zip does not unpack"
    named=$(grep -rlaF "$root" "$work/$arch") && fail "$arch zip: the build folder is named in $named"
    case $arch in
        win64) check_exe "$work/$arch/Kolbrin/Kolbrin.exe" x86_64-w64-mingw32 pei-x86-64 ;;
        win32) check_exe "$work/$arch/Kolbrin/Kolbrin.exe" i686-w64-mingw32 pei-i386 ;;
    esac
done
if [ -d "$work/win64/Kolbrin" ]; then
    check_text_files "$work/win64/Kolbrin"
    check_html "$work/win64/Kolbrin/palvo.html"
    # Both downloads carry the same documents.
    for f in palvo.hlp palvo.html readme.txt LICENSE.txt; do
        cmp -s "$work/win64/Kolbrin/$f" "$work/win32/Kolbrin/$f" || fail "$f differs between the zips"
    done
fi

echo "Programs: ${sizes%, } (at most $max_exe_bytes each)"

# Names each file of a folder that differs from the same one in the second folder, and where it first does.
same_files() {
    local f out
    for f in "$2"/*; do
        out=$(cmp -- "$f" "$3/${f##*/}" 2>&1) && continue
        [[ $out =~ differ:\ byte\ ([0-9]+) ]] && out="first at offset $((BASH_REMATCH[1] - 1))"
        fail "$1${f##*/} differs from the second build's: ${out#cmp: }"
    done
}
signed_dist=
osslsigncode extract-signature -in "$work/win64/Kolbrin/Kolbrin.exe" -out "$work/signature" >/dev/null 2>&1 &&
    signed_dist=1
if [ -n "$rebuild" ] && [ -n "$signed_dist" ]; then
    echo "dist/ holds signed programs: the byte-for-byte comparison with a second build needs an unsigned build"
elif [ -n "$rebuild" ] && [ "$failures" -eq 0 ]; then
    echo "== the same tree built again in another folder, compared byte for byte"
    # A folder with a space in its name: the build must not depend on where the sources lie.
    copy="$work/build again"
    mkdir -p "$copy" && git ls-files -z --cached --others --exclude-standard |
        tar -c --null --ignore-failed-read -T - -f - | tar -x -C "$copy" -f -
    epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
    env -u KOLBRIN_SIGN_CERT SOURCE_DATE_EPOCH="$epoch" "$copy/scripts/release.sh" >"$work/again.log" 2>&1 ||
        fail "the second build failed: $(tail -5 "$work/again.log")"
    same_files "" "$dist" "$copy/dist"
    sed 's/^/second build: /' "$copy/dist/SHA256SUMS"
    for arch in win64 win32; do
        zip=Kolbrin-$version-$arch.zip
        cmp -s "$dist/$zip" "$copy/dist/$zip" || [ ! -f "$copy/dist/$zip" ] && continue
        mkdir -p "$work/again-$arch" && (cd "$work/again-$arch" && cmake -E tar xf "$copy/dist/$zip")
        same_files "$zip: Kolbrin/" "$work/$arch/Kolbrin" "$work/again-$arch/Kolbrin"
    done

    echo "== signed with a throwaway certificate"
    pass=$RANDOM$RANDOM
    { openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Kolbrin release check" \
        -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" &&
        openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout "pass:$pass" \
        -out "$work/cert.pfx"; } >"$work/openssl.log" 2>&1 || fail "openssl: $(cat "$work/openssl.log")"
    KOLBRIN_SIGN_CERT="$work/cert.pfx" KOLBRIN_SIGN_PASSWORD=$pass SOURCE_DATE_EPOCH="$epoch" \
        "$copy/scripts/release.sh" >"$work/signed.log" 2>&1 || fail "signed build: $(tail -5 "$work/signed.log")"
    "$root/tests/release/check_release.sh" --no-rebuild "$copy/dist" | sed 's/^/signed: /' ||
        fail "the signed downloads fail the checks"
    for arch in win64 win32; do
        signed="$work/signed-$arch"
        mkdir -p "$signed" && (cd "$signed" && cmake -E tar xf "$copy/dist/Kolbrin-$version-$arch.zip")
        osslsigncode verify -in "$signed/Kolbrin/Kolbrin.exe" -CAfile "$work/cert.pem" >"$signed.log" 2>&1 ||
            fail "$arch Kolbrin.exe: osslsigncode verify rejects the signature: $(tail -3 "$signed.log")"
        osslsigncode remove-signature -in "$signed/Kolbrin/Kolbrin.exe" -out "$signed.exe" >/dev/null &&
            mv "$signed.exe" "$signed/Kolbrin/Kolbrin.exe"
        same_files "$arch signed zip, signature removed: " "$work/$arch/Kolbrin" "$signed/Kolbrin"
    done
fi

if [ "$failures" -gt 0 ]; then
    echo "release check: $failures failure(s)"
    exit 1
fi
echo "release check: passed"
