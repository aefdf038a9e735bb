#!/bin/sh
# The panel driven by the keyboard alone on a Wine desktop, with real X key presses: opened from
# the icon by the keyboard it takes the focus; Tab reaches "Settings", Enter opens that page, the
# arrows reach the Codex switch, Space turns it off (read back from config.ini), Escape goes back
# and hides. What a screen reader hears is read through Active Accessibility at each step; the
# focus ring is in the screenshot panel-keyboard.png. Then Claude Code is connected from the main
# page's offer and disconnected by the settings page's switch, over another program's status line.
# Usage: keyboard.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures folder>
exe=$1
runner=$2
probe=$3
fixtures=$4
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"

approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
# Start with Windows, switched off since in Task Manager's Startup tab.
"$runner" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Tidewell /t REG_SZ \
    /d '"C:\old\tidewell.exe" --autostart' /f >/dev/null 2>&1
"$runner" reg add "$approved" /v Tidewell /t REG_BINARY /d 030000007ba1c3d2e4f5d901 /f >/dev/null 2>&1
approval() { "$runner" reg query "$approved" /v Tidewell 2>/dev/null | tr -d '\r' | grep -o '[0-9A-Fa-f]\{24\}'; }
mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"
"$runner" "$exe" --autostart </dev/null >/dev/null 2>&1 &
program=$!
probe find 30000 >/dev/null
sleep 2

accessible() { probe accessible | tr -d '\r' >"$scratch/accessible.txt"; }
focused() { accessible && grep ' focused' "$scratch/accessible.txt" | cut -d' ' -f3-; }
# press_until KEY NAME: presses KEY (at most 20 times) until NAME has the focus
press_until() {
    for _ in $(seq 20); do
        [ "$(focused)" = "$2" ] && return 0
        xdotool key "$1"
        sleep 0.3
    done
    [ "$(focused)" = "$2" ]
}
setting() { config_text | grep -qx "$1"; }

check "the panel is closed at an autostart" sh -c '! probe window TidewellPanel | grep -q ^visible' 2>/dev/null
probe keyselect
check "Enter on the icon opens the panel" wait_until 5 panel_visible
first=$(focused)
check "with the focus on its first target below the header (got '$first')" \
    [ -n "$first" ] && [ "$first" != "Keep open" ] && [ "$first" != "Close" ]
check "the pane is named Tidewell" grep -qx 'pane - Tidewell' "$scratch/accessible.txt"
check "Tab reaches Settings" press_until Tab Settings
check "announced as a button" grep -qx 'button focused Settings' "$scratch/accessible.txt"
sleep 0.5
shot panel-keyboard
set -- $(probe window TidewellPanel | tr -d '\r')
ring=$(convert "$artifacts/panel-keyboard.png" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage \
    -depth 8 txt:- | grep -ci '#0090FF')
check "the focus ring is drawn in the accent colour ($ring pixels)" [ "$ring" -gt 100 ]
check "Shift+Tab goes back" press_until shift+Tab "$first"
check "Tab comes forward again" press_until Tab Settings

xdotool key Return
sleep 0.7
accessible
check "Enter opens the settings page" grep -q ' Codex limits$' "$scratch/accessible.txt"
check "whose first choice takes the focus" grep -qx 'radio focused,checked Auto' "$scratch/accessible.txt"
check "the Codex switch is announced on" grep -qx 'checkbox -,checked Codex limits' "$scratch/accessible.txt"
check "the history folder is a button named with its folder" \
    grep -q '^button - History folder: [A-Z]:\\.*\\Tidewell$' "$scratch/accessible.txt"
check "the arrows reach the Codex switch" press_until Down "Codex limits"
xdotool key space
check "Space turns it off: seccodex=0 in config.ini" wait_until 5 setting seccodex=0
accessible
check "and it is announced off" grep -qx 'checkbox focused Codex limits' "$scratch/accessible.txt"
check "Task Manager's 'disabled' shows the autostart switch off" \
    grep -qx 'checkbox - Start with Windows' "$scratch/accessible.txt"
check "the arrows reach it" press_until Down "Start with Windows"
xdotool key space
sleep 0.7
accessible
check "Space switches it on" grep -qx 'checkbox focused,checked Start with Windows' "$scratch/accessible.txt"
check "and enables it in Task Manager's list (got $(approval))" [ "$(approval)" = 020000000000000000000000 ]
check "Up goes back through the choices" press_until Up Large

xdotool key Escape
sleep 0.7
accessible
check "Escape returns to the main page" grep -qx 'button - Usage report' "$scratch/accessible.txt"
now=$(focused)
shown=$(probe window TidewellPanel | tr -d '\r' | cut -d' ' -f1)
check "with the focus on its first target (got '$now', panel $shown)" [ "$now" = "$first" ]
xdotool key Escape
sleep 0.7
check "a second Escape hides the panel" sh -c '! "$0" "$1" window TidewellPanel | grep -q ^visible' \
    "$runner" "$probe"

# The main page's offer to connect Claude Code, taken from the keyboard over another program's
# status line (with a "statusLine" member nested in another one, which stays as it is); the
# settings page's switch then disconnects, and the other program's line is back byte for byte.
claude_settings="$scratch/home/.claude/settings.json"
printf '{\r\n  "env": {"statusLine": {"command": "nested"}},\r\n  "statusLine": {"type": "command", "command": "other-tool"},\r\n  "model": "opus"\r\n}\r\n' \
    >"$claude_settings"
cp "$claude_settings" "$scratch/other.json"
probe keyselect
wait_until 5 panel_visible
check "Tab reaches the offer to connect Claude Code" press_until Tab "Connect to Claude Code for live limits"
xdotool key Return
probe answer 6 5000 >"$scratch/ask.txt"
check "Enter on it asks before replacing the other status line" grep -q "already has a custom status line" "$scratch/ask.txt"
probe answer 1 5000 >"$scratch/told.txt"
check "then connects" grep -q "^Connected. Claude Code now hands Tidewell" "$scratch/told.txt"
has_line() { tr -d '\r' <"$claude_settings" | grep -qx "$1"; }
check "the top-level entry is the program's, in the other one's place" \
    has_line '  "statusLine": {"type": "command", "command": "\\"Z:.*tidewell\.exe\\" --statusline", "padding": 0},'
check "the nested member is untouched" has_line '  "env": {"statusLine": {"command": "nested"}},'
check "the other program's line is in the backup" cmp -s "$claude_settings.tidewell-backup" "$scratch/other.json"
sleep 0.5
probe keyselect
wait_until 5 panel_visible
press_until Tab Settings
xdotool key Return
sleep 0.7
accessible
check "the switch is on" grep -qx 'checkbox -,checked Live limits from Claude Code' "$scratch/accessible.txt"
check "the arrows reach it" press_until Down "Live limits from Claude Code"
xdotool key space
check "Space disconnects and the other program's line is back, byte for byte" \
    wait_until 5 cmp -s "$claude_settings" "$scratch/other.json"
# A settings.json that is not JSON is left alone, and the user told why.
printf '{\n  "model": "opus",\n}\n' >"$claude_settings"
cp "$claude_settings" "$scratch/broken.json"
xdotool key space
probe answer 1 5000 >"$scratch/broken.txt"
check "a settings.json with a trailing comma is reported" grep -qF "Claude Code's settings.json is not valid JSON (a trailing comma on line 3), so Tidewell left it unchanged." "$scratch/broken.txt"
check "and left unchanged" cmp -s "$claude_settings" "$scratch/broken.json"

probe quit >/dev/null
wait $program
code=$?
check "the program quits with 0 (got $code)" [ "$code" -eq 0 ]
finish
