#!/bin/sh
# The release archive packed from this build: its name carries the version the program prints,
# it holds the program byte for byte with the README and both licences, and SHA256SUMS checks it.
# Usage: package.sh <tidewell.exe> <runner> <source folder> <build folder>
exe=$1
runner=$2
source_dir=$3
build_dir=$4
. "$(dirname "$0")/lib.sh"
use_private_prefix

run_program --version
version=$(sed -n 's/^Tidewell //p' "$scratch/stdout" | tr -d '\r')
check "the program prints a version (got '$version')" [ -n "$version" ]

bash "$source_dir/scripts/package.sh" --from "$build_dir" "$scratch/dist" >"$scratch/package.out" 2>&1
code=$?
check "package.sh succeeds (exit $code)" [ "$code" -eq 0 ]
zip="$scratch/dist/tidewell-$version-win64.zip"
check "the archive is named for the version: $zip" [ -f "$zip" ]
check "no partial files are left" [ -z "$(find "$scratch/dist" -name '*.part')" ]

listing=$(unzip -Z1 "$zip" 2>/dev/null | tr '\n' ' ')
check "the archive holds the program, the README and the licences (got: $listing)" \
    [ "$listing" = "tidewell.exe README.md LICENSE.txt LICENSE-Geist-fonts.txt " ]
unzip -q "$zip" -d "$scratch/unpacked"
check "the program is the build's, byte for byte" cmp -s "$exe" "$scratch/unpacked/tidewell.exe"
check "the README says how to install" grep -q '^## Install' "$scratch/unpacked/README.md"
check "the fonts' licence is the OFL" grep -q 'SIL OPEN FONT LICENSE' "$scratch/unpacked/LICENSE-Geist-fonts.txt"
check "SHA256SUMS names the archive" grep -q " tidewell-$version-win64.zip\$" "$scratch/dist/SHA256SUMS"
check "SHA256SUMS checks out" sh -c 'cd "$1" && sha256sum --quiet -c SHA256SUMS' sh "$scratch/dist"
first=$(sha256sum <"$zip")
bash "$source_dir/scripts/package.sh" --from "$build_dir" "$scratch/dist" >/dev/null 2>&1
check "packing the same build again gives the same bytes" [ "$(sha256sum <"$zip")" = "$first" ]
finish
