#!/bin/sh
# The status line command as Claude Code runs it: JSON on standard input, one line out, the
# limits stored in live.ini. Natively and under Wine. Usage: statusline.sh <exe> [<runner>]
exe=$1
runner=$2
. "$(dirname "$0")/lib.sh"
use_private_prefix

if [ -n "$runner" ]; then
    live="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Tidewell/live.ini"
else
    export XDG_CONFIG_HOME="$scratch/config"
    live="$scratch/config/tidewell/live.ini"
fi
rm -f "$live"
live_text() {  # live.ini as UTF-8 with LF line ends, whatever its encoding on disk
    if [ -n "$runner" ]; then iconv -f UTF-16 -t UTF-8 "$live" | tr -d '\r'; else cat "$live"; fi
}
statusline() {  # statusline INPUT_FILE
    if [ -n "$runner" ]; then
        "$runner" "$exe" --statusline extra words <"$1" >"$scratch/stdout" 2>"$scratch/stderr"
    else
        "$exe" --statusline extra words <"$1" >"$scratch/stdout" 2>"$scratch/stderr"
    fi
    code=$?
}
input() {  # input LIMITS DISPLAY_NAME: a status-line JSON like Claude Code's
    printf '{"hook_event_name":"Status","session_id":"9b2e","transcript_path":"/home/me/.claude/projects/app/9b2e.jsonl","cwd":"/home/me/app","model":{"id":"claude-opus-4-1","display_name":"%s"},"workspace":{"current_dir":"/home/me/app","project_dir":"/home/me/app"},"version":"1.0.80","output_style":{"name":"default"},"cost":{"total_cost_usd":0.42,"total_duration_ms":5000},"rate_limits":%s}' "$2" "$1"
}

: >"$scratch/empty"
statusline "$scratch/empty"
check "empty input: exit code 0 (got $code)" [ "$code" -eq 0 ]
check "empty input: Tidewell" same_bytes "$scratch/stdout" "Tidewell
"
check "empty input: no live.ini" [ ! -e "$live" ]
roaming="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tidewell"
if [ -n "$runner" ]; then  # a live.ini an earlier version left in the roaming folder
    mkdir -p "$roaming"
    printf '[l]\r\nat=5\r\nn=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$roaming/live.ini"
fi

input '{"five_hour":{"used_percentage":42.5,"resets_at":1757600000},"seven_day":{"used_percentage":17,"resets_at":"2025-09-14T08:00:00.000Z"}}' Opus >"$scratch/both"
statusline "$scratch/both"
check "both limits: the line" same_bytes "$scratch/stdout" "Opus  5h 43% · week 17%
"
check "both limits: nothing on standard error" [ ! -s "$scratch/stderr" ]
live_text | grep -v '^at=' >"$scratch/live"
check "both limits: live.ini holds the two rows" same_bytes "$scratch/live" "[l]
n=2
plan=
name0=5-hour limit
pct0=42.500000
reset0=1757600000
name1=Weekly · All models
pct1=17.000000
reset1=1757836800
"
if [ -n "$runner" ]; then
    check "the roaming live.ini was moved to the local folder" [ ! -e "$roaming/live.ini" ]
fi
at=$(live_text | sed -n 's/^at=//p')
check "live.ini is stamped with the time of writing" [ $(( $(date +%s) - ${at:-0} )) -le 60 ]

cp "$live" "$scratch/live.before"
input '{}' Sonnet >"$scratch/none"
statusline "$scratch/none"
check "no limits: display name and Tidewell" same_bytes "$scratch/stdout" "Sonnet  Tidewell
"
check "no limits: live.ini untouched" cmp -s "$live" "$scratch/live.before"

# Two logins, two Claude Code stand-ins: each run writes its own login's live file, found from
# CLAUDE_CONFIG_DIR or, without it, from the transcript's folder; live.ini stays the default's.
live_dir=$(dirname "$live")
mkdir -p "$scratch/login-a" "$scratch/login-b/projects/app"
live_files() { ls "$live_dir" | grep -c '^live-.*\.ini$'; }
live_of() {  # the live-*.ini whose rows hold PERCENT
    for f in "$live_dir"/live-*.ini; do
        if [ -n "$runner" ]; then iconv -f UTF-16 -t UTF-8 "$f"; else cat "$f"; fi |
            tr -d '\r' | grep -qx "pct0=$1" && echo "$f"
    done
}
input '{"five_hour":{"used_percentage":61,"resets_at":1757600000}}' Opus >"$scratch/login-a.json"
CLAUDE_CONFIG_DIR="$(program_path "$scratch/missing"), $(program_path "$scratch/login-a")" \
    statusline "$scratch/login-a.json"
check "login a: the line as before" same_bytes "$scratch/stdout" "Opus  5h 61%
"
transcript=$(program_path "$scratch/login-b/projects/app/1.jsonl" | sed 's/\\/\\\\/g')
printf '{"transcript_path":"%s","model":{"display_name":"Opus"},"rate_limits":{"five_hour":{"used_percentage":7,"resets_at":1757600000}}}' \
    "$transcript" >"$scratch/login-b.json"
statusline "$scratch/login-b.json"
check "login b: the line as before" same_bytes "$scratch/stdout" "Opus  5h 7%
"
check "two live files, one a login (got $(live_files))" [ "$(live_files)" -eq 2 ]
check "login a's file holds its rows" [ -n "$(live_of 61.000000)" ]
check "login b's file holds its rows" [ -n "$(live_of 7.000000)" ]
check "they are two files" [ "$(live_of 61.000000)" != "$(live_of 7.000000)" ]
check "the default login's live.ini untouched" cmp -s "$live" "$scratch/live.before"
CLAUDE_CONFIG_DIR="$(program_path "$scratch/login-a")" statusline "$scratch/both"
check "login a again: its own file rewritten (got $(live_files))" [ "$(live_files)" -eq 2 ]
check "with the newest rows" [ -n "$(live_of 42.500000)" ]
check "in place of its older ones" [ -z "$(live_of 61.000000)" ]

# Over 8192 bytes, and a display name with escapes, which are printed as they stand.
{ printf '{"transcript":"'; head -c 20000 /dev/zero | tr '\0' 'x'; printf '",'
  input '{"seven_day":{"used_percentage":99.5}}' 'Caf\u00e9' | cut -c2-; } >"$scratch/long"
statusline "$scratch/long"
check "long input: read whole" same_bytes "$scratch/stdout" 'Caf\u00e9  week 100%
'
# Endless input is read up to a bound, not held whole.
if [ -n "$runner" ]; then
    timeout 60 "$runner" "$exe" --statusline </dev/zero >"$scratch/stdout" 2>/dev/null
else
    timeout 60 "$exe" --statusline </dev/zero >"$scratch/stdout" 2>/dev/null
fi
code=$?
check "endless input: exit code 0 (got $code)" [ "$code" -eq 0 ]
check "endless input: Tidewell" same_bytes "$scratch/stdout" "Tidewell
"

if [ -z "$runner" ]; then
    pipes="$(dirname "$0")/pipes.py"
    python3 "$pipes" closed-output "$scratch/both" "$exe" --statusline >"$scratch/closed"
    check "a reader that has gone: exit code 0" same_bytes "$scratch/closed" "0
"
    python3 "$pipes" late-input "$scratch/both" "$exe" --statusline >"$scratch/late"
    check "a non-blocking input is waited for" same_bytes "$scratch/late" "0
Opus  5h 43% · week 17%
"
fi
finish
