#!/bin/sh
# The JSON export, natively or under Wine, for no log folders, empty ones and a realistic home;
# the output must match to the byte. Usage: json_export.sh <exe> [<runner>] <fixtures folder>
exe=$1
runner=$2
fixtures=$3
. "$(dirname "$0")/lib.sh"
use_private_prefix

home="$scratch/home"
# Points the program at $home: natively through HOME, under Wine (which fixes USERPROFILE
# itself) through CLAUDE_CONFIG_DIR and CODEX_HOME, or at nothing when $1 is "none".
export_with_home() {
    if [ -n "$runner" ]; then
        if [ "$1" = none ]; then
            env -u CLAUDE_CONFIG_DIR CODEX_HOME="$(program_path "$scratch/no-codex")" \
                sh -c '"$0" "$1" --json "$2" >"$3/stdout" 2>"$3/stderr" </dev/null' \
                "$runner" "$exe" "$(program_path "$2")" "$scratch"
        else
            CLAUDE_CONFIG_DIR="$(program_path "$home/.claude")" CODEX_HOME="$(program_path "$home/.codex")" \
                "$runner" "$exe" --json "$(program_path "$2")" >"$scratch/stdout" 2>"$scratch/stderr" </dev/null
        fi
    else
        target="$home"
        [ "$1" = none ] && target="$scratch/empty-home"
        mkdir -p "$target"
        env -u USERPROFILE -u CLAUDE_CONFIG_DIR -u CODEX_HOME HOME="$target" \
            XDG_CONFIG_HOME="$scratch/config" \
            "$exe" --json "$2" >"$scratch/stdout" 2>"$scratch/stderr" </dev/null
    fi
    code=$?
}

# The members before "accounts" (byte for byte the line older versions wrote), and the accounts.
same_before_accounts() {  # same_before_accounts FILE LINE: LINE is the line without "accounts"
    sed 's/,"accounts":\[.*\]}$/}/' "$1" >"$1.before" && same_bytes "$1.before" "$2"
}
accounts_of() { sed -n 's/.*,"accounts":\(\[.*\]\)}$/\1/p' "$1"; }
nothing='{"claude":{"found":false,"active":false,"current_tokens":0,"pct":0},"codex":{"primary_pct":0,"primary_minutes":0},"sources":[]}'
export_with_home none "$scratch/none.json"
check "no folders: exit code 0 (got $code)" [ "$code" -eq 0 ]
check "no folders: the all-zero line" same_before_accounts "$scratch/none.json" "$nothing"
check "no folders: no accounts" [ "$(accounts_of "$scratch/none.json")" = "[]" ]
if [ -z "$runner" ]; then
    check "the settings folder is created" [ -d "$scratch/config/tidewell" ]
    check "the export saves no settings" [ ! -e "$scratch/config/tidewell/config.ini" ]
fi

mkdir -p "$home/.claude/projects/-home-dev-app" "$home/.codex/sessions"
export_with_home home "$scratch/empty.json"
check "empty folders: one Claude and one Codex login, named default, nothing used" \
    sh -c 'grep -q "\"accounts\":\[{\"name\":\"default\",\"tool\":\"claude\",\"folder\":\"[^\"]*\",\"limits\":\[\],\"estimate\":{\"percent\":0,\"tokens\":0}},{\"name\":\"default\",\"tool\":\"codex\",\"folder\":\"[^\"]*\",\"limits\":\[\],\"estimate\":null}\]}" "$1"' - "$scratch/empty.json"
check "empty folders: found, nothing active" same_before_accounts "$scratch/empty.json" \
    '{"claude":{"found":true,"active":false,"current_tokens":0,"pct":0},"codex":{"primary_pct":0,"primary_minutes":0},"sources":[]}'

python3 "$(dirname "$0")/make_home.py" "$fixtures/home" "$home"
printf 'an older, longer file that must be truncated, not appended to ..................' >"$scratch/real.json"
export_with_home home "$scratch/real.json"
check "realistic home: exit code 0 (got $code)" [ "$code" -eq 0 ]
# The places read: natively the home's folders, under Wine the two folders named (as JSON strings).
if [ -n "$runner" ]; then
    json_path() { program_path "$1" | sed 's/\\/\\\\/g'; }
    sources="{\"name\":\"$(json_path "$home/.claude")\",\"files\":3,\"read\":true},{\"name\":\"$(json_path "$home/.codex")\",\"files\":1,\"read\":true}"
else
    sources='{"name":"This computer ~/.claude","files":3,"read":true},{"name":"This computer ~/.codex","files":1,"read":true}'
fi
realistic='{"claude":{"found":true,"active":true,"current_tokens":2500,"pct":25},"codex":{"primary_pct":33.3333,"primary_minutes":299},"sources":['"$sources"']}'
check "realistic home: the expected line" same_before_accounts "$scratch/real.json" "$realistic"
check "realistic home: the Claude login's own estimate" \
    grep -q '"tool":"claude","folder":"[^"]*","limits":\[\],"estimate":{"percent":25,"tokens":2500}}' "$scratch/real.json"
check "realistic home: the Codex login's own windows" \
    grep -q '"tool":"codex","folder":"[^"]*","limits":\[{"label":"5-hour window","percent":33.3333,"resets_at":[0-9]*},{"label":"Weekly","percent":12,' "$scratch/real.json"
check "nothing printed" [ ! -s "$scratch/stdout" ]

if [ -z "$runner" ]; then
    # Names that are not UTF-8 (a Latin-1 home, an output name with a stray byte) are used as given.
    latin="$scratch/caf$(printf '\351')"
    cp -R "$home" "$latin"
    out="$scratch/out$(printf '\377').json"
    env -u USERPROFILE -u CLAUDE_CONFIG_DIR -u CODEX_HOME HOME="$latin" XDG_CONFIG_HOME="$scratch/config" \
        "$exe" --json "$out" </dev/null
    check "names that are not UTF-8: the home is read and the named file written" same_before_accounts "$out" "$realistic"
fi

# A device is written as it stands (it cannot be replaced): standard output natively, NUL on Windows.
if [ -z "$runner" ]; then
    env -u USERPROFILE -u CLAUDE_CONFIG_DIR -u CODEX_HOME HOME="$home" XDG_CONFIG_HOME="$scratch/config" \
        "$exe" --json /dev/stdout >"$scratch/device.json" 2>/dev/null </dev/null
    code=$?
    check "--json /dev/stdout: exit code 0 (got $code)" [ "$code" -eq 0 ]
    check "--json /dev/stdout: the line on standard output" same_before_accounts "$scratch/device.json" "$realistic"
else
    CLAUDE_CONFIG_DIR="$(program_path "$home/.claude")" CODEX_HOME="$(program_path "$home/.codex")" \
        "$runner" "$exe" --json NUL >"$scratch/stdout" 2>"$scratch/stderr" </dev/null
    code=$?
    check "--json NUL: exit code 0 (got $code)" [ "$code" -eq 0 ]
fi

export_with_home home "$scratch/missing/folder/out.json"
check "an output file that cannot be created fails (exit code $code)" [ "$code" -ne 0 ]
check "and creates nothing" [ ! -e "$scratch/missing" ]
finish
