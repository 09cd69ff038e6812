#!/usr/bin/env bash
# The downloads: Release builds for 64-bit and 32-bit Windows, each packed by CPack into
#   dist/Kolbrin-<version>-win64.zip, dist/Kolbrin-<version>-win32.zip
# and dist/SHA256SUMS for both (check with `cd dist && sha256sum -c SHA256SUMS`).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
rm -rf dist
for arch in win64 win32; do
    cmake --workflow --preset "release-$arch" >/dev/null
done
cd dist
rm -rf _CPack_Packages
# The version is the project's; CPack has put it into the names.
zips=(Kolbrin-*-win64.zip Kolbrin-*-win32.zip)
sha256sum "${zips[@]}" >SHA256SUMS
ls -l "${zips[@]}" SHA256SUMS
