#!/bin/sh
# Two Claude Code logins on a Wine desktop: CLAUDE_CONFIG_DIR names two configuration folders of
# two accounts, the status line runs once for each, and the real program shows each account
# apart: the tooltip's lines, the settings page's ACCOUNTS switches, two live files, the export.
# Screenshots in <build>/e2e-artifacts (accounts-*.png).
# Usage: accounts.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures folder>
exe=$1
runner=$2
probe=$3
fixtures=$4
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"

me="$scratch/home/.claude"
work="$scratch/home/.claude-work"
mkdir -p "$work/projects/-work-app"
cp "$me"/projects/*/*.jsonl "$work/projects/-work-app/" 2>/dev/null
account() {  # account FOLDER UUID EMAIL: Claude Code's account file in a configuration folder
    printf '{"oauthAccount":{"accountUuid":"%s","emailAddress":"%s"}}' "$2" "$3" >"$1/.claude.json"
}
account "$me" 0b1c-me me@example.com
account "$work" 7f2e-work work@example.com
export CLAUDE_CONFIG_DIR="$(program_path "$me"),$(program_path "$work")"

# One status line run for each login, each with its own 5-hour figure.
resets=$(($(date +%s) + 7200))
status_line() {  # status_line FOLDER PERCENT
    printf '{"model":{"display_name":"Opus"},"rate_limits":{"five_hour":{"used_percentage":%s,"resets_at":%s}}}' \
        "$2" "$resets" | CLAUDE_CONFIG_DIR="$(program_path "$1")" "$runner" "$exe" --statusline \
        >/dev/null 2>&1
}
status_line "$me" 33
status_line "$work" 77
live_files=$(ls "$local_data" 2>/dev/null | grep -c '^live-.*\.ini$')
check "two live files, one a login ($live_files)" [ "$live_files" -eq 2 ]

mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"
"$runner" "$exe" </dev/null >/dev/null 2>&1 &
program=$!
probe find 30000 >/dev/null
sleep 3

# The tooltip: a line for each account, the icon's (the highest) first.
tooltip_read() { xdotool mousemove 1000 700 && sleep 0.3 && xdotool mousemove 1013 758 && sleep 1.5 &&
    probe tooltip | tr -d '\r' >"$scratch/tip.txt" && grep -q 'work@example.com' "$scratch/tip.txt"; }
check "the tooltip names the accounts" wait_until 30 tooltip_read
check "the icon's account first, at its own 77%" sh -c "sed -n 2p '$scratch/tip.txt' | grep -q 'work@example.com.*77%'"
check "the other account at its own 33%" grep -q 'me@example.com.*33%' "$scratch/tip.txt"
tip_chars=$(head -c -1 "$scratch/tip.txt" | wc -m)
check "within the shell's 127 characters (got $tip_chars)" [ "$tip_chars" -le 127 ]

probe keyselect
check "the panel opens" wait_until 5 panel_visible
sleep 1
shot accounts-main
probe press Settings >/dev/null
sleep 1
probe accessible | tr -d '\r' >"$scratch/accessible.txt"
shot accounts-settings
dot=$(printf '\302\267')
check "the settings page has a switch for each account" \
    sh -c "grep -q '^checkbox.* Claude $dot me@example.com\$' '$scratch/accessible.txt' && grep -q '^checkbox.* Claude $dot work@example.com\$' '$scratch/accessible.txt'"
probe command 107 >/dev/null
wait $program

"$runner" "$exe" --json "$(program_path "$scratch/out.json")" </dev/null >/dev/null 2>&1
check "the export lists both accounts with their own live figures" \
    sh -c "grep -q '\"name\":\"me@example.com\",\"tool\":\"claude\",\"folder\":\"[^\"]*\",\"limits\":\[{\"label\":\"5-hour limit\",\"percent\":33' '$scratch/out.json' &&
           grep -q '\"name\":\"work@example.com\",\"tool\":\"claude\",\"folder\":\"[^\"]*\",\"limits\":\[{\"label\":\"5-hour limit\",\"percent\":77' '$scratch/out.json'"
finish
