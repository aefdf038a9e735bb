#!/usr/bin/env bash
# The download a user gets: builds the release tidewell.exe and writes
# dist/tidewell-<version>-win64.zip (the program, the README, Tidewell's and the fonts' licences)
# and dist/SHA256SUMS. The version is the one on CMakeLists.txt's project line.
#
#   bash scripts/package.sh                         build the windows-release preset and pack it
#   bash scripts/package.sh --from BUILD OUT        pack an existing Windows build tree into OUT
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = --from ]; then
    build=$2
    dist=$3
else
    bash scripts/install-deps.sh
    cmake --preset windows-release >/dev/null
    cmake --build --preset windows-release --target tidewell
    build=build/windows-release
    dist=dist
fi

version=$(sed -n 's/^project(Tidewell VERSION \([0-9][0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package.sh: no version on the project line of CMakeLists.txt" >&2; exit 1; }
fonts_licence="$build/fonts/package/LICENSE.txt"
for file in "$build/tidewell.exe" "$fonts_licence" README.md LICENSE; do
    [ -f "$file" ] || { echo "package.sh: $file is missing" >&2; exit 1; }
done

mkdir -p "$dist"
name="tidewell-$version-win64.zip"
# Written through a temporary name, stamped with the commit's time, so that the same sources give
# the same archive and a failed run leaves no half-written zip behind.
stamp=$(git log -1 --format=%ct 2>/dev/null || echo 315532800)
python3 - "$dist/$name.part" "$stamp" \
    "$build/tidewell.exe=tidewell.exe" "README.md=README.md" "LICENSE=LICENSE.txt" \
    "$fonts_licence=LICENSE-Geist-fonts.txt" <<'PY'
import sys, time, zipfile
out, stamp, entries = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
when = time.gmtime(max(stamp, 315532800))[:6]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
    for entry in entries:
        source, name = entry.rsplit("=", 1)
        info = zipfile.ZipInfo(name, when)
        info.external_attr = 0o644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(source, "rb") as data:
            archive.writestr(info, data.read())
PY
mv -f "$dist/$name.part" "$dist/$name"
(cd "$dist" && sha256sum "$name" >SHA256SUMS.part && mv -f SHA256SUMS.part SHA256SUMS)
echo "$dist/$name"
