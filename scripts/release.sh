#!/usr/bin/env bash
# The downloads: Release builds for 64-bit and 32-bit Windows, each packed by CPack into
#   dist/Kolbrin-<version>-win64.zip, dist/Kolbrin-<version>-win32.zip
# and dist/SHA256SUMS for both (check with `cd dist && sha256sum -c SHA256SUMS`).
# The same commit gives the same bytes wherever and whenever it is built: the zips' entries carry the commit's
# time, or SOURCE_DATE_EPOCH when it is set.
# Signing (Authenticode, SHA-256, by osslsigncode) when a certificate is named; the zips and SHA256SUMS then
# hold the signed programs:
#   KOLBRIN_SIGN_CERT=cert.pfx KOLBRIN_SIGN_PASSWORD=... [KOLBRIN_SIGN_TIMESTAMP=<RFC 3161 server URL>] \
#       scripts/release.sh
set -euo pipefail
if [ -n "${KOLBRIN_SIGN_CERT:-}" ]; then
    [ -f "$KOLBRIN_SIGN_CERT" ] || { echo "release: KOLBRIN_SIGN_CERT: no file $KOLBRIN_SIGN_CERT" >&2; exit 1; }
    [ -n "${KOLBRIN_SIGN_PASSWORD+set}" ] ||
        { echo "release: KOLBRIN_SIGN_CERT is named without its password (KOLBRIN_SIGN_PASSWORD)" >&2; exit 1; }
    KOLBRIN_SIGN_CERT=$(realpath "$KOLBRIN_SIGN_CERT")
    export KOLBRIN_SIGN_CERT KOLBRIN_SIGN_PASSWORD
fi
cd "$(dirname "$0")/.."

scripts/setup.sh
if [ -n "${KOLBRIN_SIGN_CERT:-}" ]; then
    echo "Signing both programs with $KOLBRIN_SIGN_CERT${KOLBRIN_SIGN_TIMESTAMP:+, timestamped by" \
         "$KOLBRIN_SIGN_TIMESTAMP}"
else
    echo "Not signed (no KOLBRIN_SIGN_CERT): Windows warns before an unsigned program runs, and Smart App" \
         "Control blocks it."
fi
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
rm -rf dist
for arch in win64 win32; do
    cmake --workflow --preset "release-$arch" --fresh >/dev/null
done
cd dist
rm -rf _CPack_Packages
# The version is the project's; CPack has put it into the names.
zips=(Kolbrin-*-win64.zip Kolbrin-*-win32.zip)
sha256sum "${zips[@]}" >SHA256SUMS
ls -l "${zips[@]}" SHA256SUMS
