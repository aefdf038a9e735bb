#!/bin/sh
# Starting without arguments. Under Wine without a display the desktop instance cannot create its
# window: it loads its settings (creating its folder) and exits with 0. Natively there is no
# desktop application: a note on standard error, exit code 0.
# Usage: startup.sh <tidewell executable> [<runner, e.g. the Wine wrapper>]
exe=$1
runner=$2
. "$(dirname "$0")/lib.sh"
use_private_prefix

if [ -n "$runner" ]; then
    folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tidewell"
    rm -rf "$folder"
    DISPLAY= run_program
    check "exit code 0 (got $code)" [ "$code" -eq 0 ]
    check "settings folder created at $folder" [ -d "$folder" ]
    check "nothing printed" [ ! -s "$scratch/stdout" ]
    check "a start that changes nothing saves no settings" [ ! -e "$folder/config.ini" ]
else
    run_program
    check "exit code 0 (got $code)" [ "$code" -eq 0 ]
    check "nothing on standard output" [ ! -s "$scratch/stdout" ]
    check "the note names --json" grep -q -- '--json FILE' "$scratch/stderr"
fi

# The version, as a user or a package manager asks for it: one line, exit code 0, on either side.
run_program --version
check "--version: exit code 0 (got $code)" [ "$code" -eq 0 ]
check "--version: one line naming the program and its version" \
    grep -qx 'Tidewell [0-9][0-9]*\.[0-9][0-9]*\.[0-9][0-9]*' "$scratch/stdout"
check "--version: nothing else on standard output" [ "$(wc -l <"$scratch/stdout")" -eq 1 ]

# A mistyped option is told, with the usage, and fails as command-line tools fail: on either side,
# and before the desktop program would start (no settings folder is made for it).
[ -n "$runner" ] && rm -rf "$folder"
DISPLAY= run_program --no-such-option
check "unknown option: exit code 2 (got $code)" [ "$code" -eq 2 ]
check "unknown option: named on standard error" grep -q -- "unknown option '--no-such-option'" "$scratch/stderr"
check "unknown option: the usage follows" grep -q -- '--json FILE' "$scratch/stderr"
check "unknown option: nothing on standard output" [ ! -s "$scratch/stdout" ]
[ -n "$runner" ] && check "unknown option: no desktop start" [ ! -d "$folder" ]
finish
