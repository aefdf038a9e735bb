#!/bin/sh
# The program starts, loads its settings (creating its settings folder) and exits with 0.
# Usage: startup.sh <tidewell executable> [<runner, e.g. the Wine wrapper>]
. "$(dirname "$0")/lib.sh"
exe=$1
runner=$2

if [ -n "$runner" ]; then
    folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tidewell"
    rm -rf "$folder"
    "$runner" "$exe" </dev/null >"$scratch/out" 2>&1
    code=$?
else
    folder="$scratch/config/tidewell"
    XDG_CONFIG_HOME="$scratch/config" "$exe" </dev/null >"$scratch/out" 2>&1
    code=$?
fi
check "exit code 0 (got $code)" [ "$code" -eq 0 ]
check "settings folder created at $folder" [ -d "$folder" ]
check "no output" [ ! -s "$scratch/out" ]
check "settings are not saved by a start that changes nothing" [ ! -e "$folder/config.ini" ]
finish
