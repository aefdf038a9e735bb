#!/bin/sh
# The panel as a user meets it on a Wine desktop: opened beside the tray, both pages and the
# three sizes painted (screenshots in <build>/e2e-artifacts), the bar colours, real clicks on
# its buttons, segments and switches (read back from config.ini), the pin, Escape, a drag by the
# header surviving a restart, 144 DPI, and connecting Claude Code with the message boxes answered.
# Usage: panel.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures folder> <tidewell_tests.exe>
exe=$1
runner=$2
probe=$3
fixtures=$4
unit_tests=$5
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"

# panel_rect: sets left top right bottom width height from the panel window.
panel_rect() {
    set -- $(probe window TidewellPanel | tr -d '\r')
    state=$1 left=$2 top=$3 right=$4 bottom=$5
    width=$((right - left)) height=$((bottom - top))
}
# pixel X Y (panel coordinates) of screenshot NAME: the colour as RRGGBB.
pixel() {
    convert "$artifacts/$1.png" -crop "1x1+$((left + $2))+$((top + $3))" +repage -depth 8 txt:- |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -1
}
click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; sleep 0.7; }
start() {
    "$runner" "$exe" "$@" </dev/null >/dev/null 2>&1 &
    program=$!
    probe find 30000
}
quit() { probe command 107; wait $program; }

# The status line's two limits at these percents, as Claude Code hands them over.
status_line() {
    reset=$(( $(date +%s) + 3600 ))
    printf '{"rate_limits":{"five_hour":{"used_percentage":%s,"resets_at":%s},"seven_day":{"used_percentage":%s,"resets_at":%s}}}' \
        "$1" $reset "$2" $((reset + 86400)) >"$scratch/status.json"
    "$runner" "$exe" --statusline <"$scratch/status.json" >/dev/null 2>&1
}
# bars_are NAME COLOUR1 COLOUR2: a fresh screenshot whose two Claude bars have these colours.
bars_are() { panel_rect && shot "$1" && [ "$(pixel "$1" 18 99)" = "$2" ] && [ "$(pixel "$1" 18 141)" = "$3" ]; }
# Danger-coloured pixels in the second Claude row's percentage, and in its reset's place (where a
# run-out time goes).
danger_text() {
    convert "$artifacts/$1.png" -crop "30x22+$((left + 284))+$((top + 113))" +repage -depth 8 txt:- | grep -ci '#E86246'
}
danger_reset() {
    convert "$artifacts/$1.png" -crop "120x22+$((left + 160))+$((top + 113))" +repage -depth 8 txt:- | grep -ci '#E86246'
}
# tick_x NAME Y: the first x (panel coordinates) of the pace tick's light core on the line Y.
tick_x() {
    convert "$artifacts/$1.png" -crop "${width}x1+$left+$((top + $2))" +repage -depth 8 txt:- |
        grep -i '#ABAAA3' | head -1 | sed 's/^\([0-9]*\),.*/\1/'
}
setting() { config_text | grep -qx "$1"; }
panel_is() { panel_rect && [ "$width" -eq "$1" ] && [ "$height" -eq "$2" ]; }
hidden() { ! panel_visible; }

mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"  # no balloon over the panel
# Claude Code's settings in the folder CLAUDE_CONFIG_DIR names (the fixture home's), which is
# the file Claude Code reads.
claude_settings="$scratch/home/.claude/settings.json"
rm -f "$claude_settings" "$claude_settings.tidewell-backup"

# Started with Windows, then opened by a click on the tray icon; Wine cannot say where the icon
# is, so the click's point anchors the panel.
start --autostart
sleep 2
xdotool mousemove 1013 758 click 1
check "a click on the tray icon opens the panel" wait_until 10 panel_visible
sleep 1
panel_rect
shot panel-main
check "beside the tray: 330 wide, 12 from the work area's right and bottom ($left $top $right $bottom)" \
    [ "$width" -eq 330 -a "$right" -eq 1012 -a "$bottom" -eq 736 ]
check "the background is #262624" [ "$(pixel panel-main 5 200)" = 262624 ]

# The bars turn amber and red where the shown number reaches 80 and 95, as the warnings come.
status_line 79.4 94.5
check "bars at 79.4% and 94.5%: blue and danger" wait_until 15 bars_are panel-live-1 0090FF E86246
check "94.5% (95%) is written in the danger colour" [ "$(danger_text panel-live-1)" -gt 0 ]
# An hour of five hours left: the tick at four fifths of the bar (x 16 + 238); 25 hours of the
# week left: at 85% (16 + 253). 79.4% is behind its pace, 94.5% ahead: it runs out before the reset.
tick=$(tick_x panel-live-1 99)
check "the 5-hour bar's pace tick at four fifths (x $tick)" [ "${tick:-0}" -ge 252 -a "${tick:-0}" -le 254 ]
tick=$(tick_x panel-live-1 141)
check "the weekly bar's pace tick at 85% (x $tick)" [ "${tick:-0}" -ge 268 -a "${tick:-0}" -le 271 ]
check "94.5% at 85% of the week: the run-out time in the danger colour" [ "$(danger_reset panel-live-1)" -gt 0 ]
# The tooltip, with the mouse on the icon: 85% at four fifths of the 5-hour window runs out first.
status_line 85 10
tooltip_has() { xdotool mousemove 1000 700 && sleep 0.3 && xdotool mousemove 1013 758 && sleep 1.5 &&
    probe tooltip | tr -d '\r' >"$scratch/tip.txt" && grep -q "$1" "$scratch/tip.txt"; }
check "the tooltip gives the run-out time" wait_until 20 tooltip_has 'Claude 5-hour: 85%, resets in [0-9]*m, out at '
status_line 79.5 94.4
check "bars at 79.5% and 94.4%: amber and amber" wait_until 15 bars_are panel-live-2 FFC53D FFC53D
check "94.4% is not written in the danger colour" [ "$(danger_text panel-live-2)" -eq 0 ]
# The fixture's logs are of the last hours, so the ledger holds rows and the line "Today $x · 7 days
# $y" (24 pixels) sits under the Claude rows.
main=362
check "two live rows, the Today line and two Codex windows: $main high" panel_is 330 $main
shot panel-live
check "the Today line under the Claude rows" \
    [ "$(convert "$artifacts/panel-live.png" -crop "300x20+$((left + 16))+$((top + 157))" +repage -depth 8 txt:- |
        grep -ci '#ABAAA3')" -gt 20 ]
before=$bottom

# Hover lights the dark "Usage report" button; a click writes the report.
fill_is() { shot "$1" && [ "$(pixel "$1" 180 $((height - 64)))" = "$2" ]; }
check "the Usage report button is Raised" fill_is panel-idle 343330
xdotool mousemove $((left + 241)) $((bottom - 51))
check "and Hover under the mouse" wait_until 5 fill_is panel-hover 403F3B
report="$WINEPREFIX/drive_c/users/$(id -un)/Temp/tidewell-report.html"
rm -f "$report"
click 241 $((height - 51))
check "a click on it writes the usage report" wait_until 10 grep -q '5-hour windows' "$report"
check "and opens it" wait_until 10 opened_times 1
# The page took the focus, as a browser would, and the panel hid: open it again.
sleep 1
probe command 111
wait_until 5 panel_visible
panel_rect

click 88 $((height - 51))
check "Settings opens the settings page, growing upwards" wait_until 5 panel_is 330 645
check "its bottom edge stays" [ "$bottom" -eq "$before" ]
shot panel-settings
click 164 88
check "the Claude segment saves show=claude" wait_until 5 setting show=claude
click 165 254
check "the Codex switch saves seccodex=0" wait_until 5 setting seccodex=0
click 165 254
check "and back: seccodex=1" wait_until 5 setting seccodex=1
click 265 152
check "Large: 376 wide, 736 high or capped by the work area" wait_until 5 panel_is 376 "$(capped 736 14)"
check "saved as size=2" setting size=2
shot panel-settings-large
click 72 173
check "Compact: 290 wide" wait_until 5 panel_is 290 572
check "saved as size=0" setting size=0
shot panel-settings-compact
click 143 134
check "Normal again" wait_until 5 panel_is 330 645
click 165 354
check "the keep-open switch pins the panel" wait_until 5 setting pinned=1
click 88 614
check "Back returns to the main page" wait_until 5 panel_is 330 $main

xdotool mousemove 100 100 click 1
sleep 1
check "pinned, a click elsewhere leaves it open" panel_visible
panel_rect
click 271 25
check "the pin glyph unpins it" wait_until 5 setting pinned=0
xdotool mousemove 100 100 click 1
check "unpinned, a click elsewhere hides it" wait_until 5 hidden

probe command 111
check "Open Tidewell shows it" wait_until 5 panel_visible
xdotool key Escape
check "Escape on the main page hides it" wait_until 5 hidden
probe command 111
wait_until 5 panel_visible
panel_rect
click 88 $((height - 51))
wait_until 5 panel_is 330 645
xdotool key Escape
check "Escape on the settings page goes back to the main page" wait_until 5 panel_is 330 $main
check "and keeps the panel open" panel_visible

# A drag by the header's free area moves the panel; the place is saved and used after a restart.
xdotool mousemove $((left + 100)) $((top + 20)) mousedown 1 sleep 0.3 mousemove 250 200 sleep 0.3 \
    mousemove 300 250 sleep 0.3 mouseup 1
sleep 1
panel_rect
check "dragged by the header ($left $top)" [ "$left" -eq 200 -a "$top" -eq 230 ]
check "the place is saved" wait_until 5 setting py=230
quit
start
wait_until 10 panel_visible
panel_rect
# Opened at the saved corner, before and after the first figures arrive: the content grows
# below the top edge, which stays where the user left it.
check "after a restart the panel opens where it was dragged ($left $top)" [ "$left" -eq 200 -a "$top" -eq 230 ]
sleep 2
panel_rect
check "and stays there once the figures are in ($left $top)" [ "$left" -eq 200 -a "$top" -eq 230 ]

# Connecting Claude Code from the settings page, the message boxes answered by the probe. Pinned,
# so the panel stays while they are open. The panel was dragged, so the page offers "Reset
# position" (36 pixels) above its switches.
live=$((318 + 36))
mkdir -p "$(dirname "$claude_settings")"
printf '{"model": "opus", "statusLine": {"type": "command", "command": "other-tool"}}' >"$claude_settings"
click 271 25
click 88 $((height - 51))
wait_until 5 panel_is 330 681
cp "$claude_settings" "$scratch/other.json"
click 165 $live
# While the question is up, a click on the tray icon, "Open Tidewell" and new data change
# nothing under it: the panel stays beside its dialog.
xdotool mousemove 1013 758 click 1
probe command 111
probe command 100
sleep 1
check "while a question is up, the panel stays" panel_visible
probe answer 7 5000 >/dev/null
sleep 1
check "answering No keeps the other program's status line" cmp -s "$claude_settings" "$scratch/other.json"
check "and takes no backup" [ ! -e "$claude_settings.tidewell-backup" ]
click 165 $live
probe answer 6 5000 >"$scratch/ask.txt"
check "another program's status line: asked first" grep -q "already has a custom status line" "$scratch/ask.txt"
probe answer 1 5000 >"$scratch/told.txt"
check "then told it is connected" grep -q "^Connected. Claude Code now hands Tidewell" "$scratch/told.txt"
check "settings.json holds the program's entry" grep -q 'tidewell.exe\\" --statusline' "$claude_settings"
check "and keeps the other member" grep -q '"model": "opus"' "$claude_settings"
check "the backup holds the other program's entry" grep -q other-tool "$claude_settings.tidewell-backup"
sleep 1
click 165 $live
check "a second click disconnects, asking nothing" wait_until 5 sh -c "! grep -q tidewell '$claude_settings'"
check "and puts the other program's status line back, byte for byte" cmp -s "$claude_settings" "$scratch/other.json"
check "the backup then holds the connected file" grep -q 'tidewell.exe' "$claude_settings.tidewell-backup"
sleep 1
click 165 $live
probe answer 6 5000 >"$scratch/ask.txt"
check "a reconnect asks again" grep -q "already has a custom status line" "$scratch/ask.txt"
probe answer 1 5000 >/dev/null
check "and connects" wait_until 5 grep -q 'tidewell.exe' "$claude_settings"
check "the backup holds the other program's entry again" grep -q other-tool "$claude_settings.tidewell-backup"
sleep 1
click 165 $live
check "a disconnect gives it back once more" wait_until 5 cmp -s "$claude_settings" "$scratch/other.json"
cp "$claude_settings" "$scratch/settings.before"
chmod a-w "$claude_settings"
click 165 $live
# Quit while the message box is up: carried out once it is closed, not under it.
sleep 1
probe command 107
sleep 1
check "Quit waits for the open message box" kill -0 $program
check "and the panel stays beside it" panel_visible
probe answer 6 5000 >/dev/null
probe answer 1 5000 >"$scratch/failed.txt"
check "a read-only settings.json is reported" grep -qF 'Could not write .claude\settings.json.' "$scratch/failed.txt"
check "and left as it was" cmp -s "$claude_settings" "$scratch/settings.before"
chmod u+w "$claude_settings"
wait $program
code=$?
check "then the program quits with 0 (got $code)" [ "$code" -eq 0 ]

# 144 DPI: everything one and a half times as large.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -k
start
wait_until 10 panel_visible
sleep 1
panel_rect
shot panel-144dpi
check "at 144 DPI the panel is 495 wide" [ "$width" -eq 495 ]
tick=$(tick_x panel-144dpi 150)
check "at 144 DPI the 5-hour pace tick sits at four fifths of the bar, 3 pixels wide (x $tick)" \
    [ "${tick:-0}" -ge 376 -a "${tick:-0}" -le 388 ] && [ "$(pixel panel-144dpi $((tick + 2)) 150)" = ABAAA3 ] &&
    [ "$(pixel panel-144dpi $((tick + 3)) 150)" != ABAAA3 ]
box=$(icon_box panel-144dpi)
check "at 144 DPI the tray icon is drawn 24 pixels square (got $box)" [ "$box" = 24x24 ]
quit
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f >/dev/null 2>&1
wineserver -k
start
wait_until 10 panel_visible
sleep 1
shot panel-120dpi
box=$(icon_box panel-120dpi)
check "at 120 DPI the tray icon is drawn 20 pixels square (got $box)" [ "$box" = 20x20 ]
quit
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1

# Where the user left it: a click on the header (no drag) does not pin it anew, and "Reset
# position" on the settings page puts it back beside the tray and forgets the place.
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\npx=200\r\npy=60\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"
start --autostart >/dev/null
sleep 2
probe command 112 >/dev/null
wait_until 5 panel_visible
sleep 1
panel_rect
check "a remembered place: the panel opens there ($left,$top)" [ "$left" -eq 200 -a "$top" -eq 60 ]
xdotool mousemove $((left + 130)) $((top + 15)) mousedown 1 mouseup 1
sleep 1
check "a click on the header leaves the place as it was" sh -c "$(command -v iconv) -f UTF-16 -t UTF-8 '$data/config.ini' | tr -d '\r' | grep -qx px=200"
click 165 194
check "Reset position forgets the place" wait_until 5 sh -c "! $(command -v iconv) -f UTF-16 -t UTF-8 '$data/config.ini' | grep -q '^px='"
panel_rect
check "and moves the panel ($left,$top)" [ "$left" -ne 200 -o "$top" -ne 60 ]
quit

# A history folder chosen: the settings page names it and offers the way back to the data folder,
# which forgets the choice in config.ini. A click on the folder's row opens the system's folder
# picker; Escape there changes nothing.
mkdir -p "$scratch/history"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\nhistory=%s\r\n' "$(program_path "$scratch/history")" |
    iconv -f UTF-8 -t UTF-16 >"$data/config.ini"
start --autostart >/dev/null
sleep 2
probe command 112 >/dev/null
wait_until 5 panel_visible
check "a chosen history folder: the settings page offers the data folder (36 more)" wait_until 5 panel_is 330 681
sleep 1
shot panel-settings-history
click 165 563
sleep 2
shot panel-history-picker
xdotool key Escape
sleep 1
check "the folder picker cancelled keeps the folder" sh -c "$(command -v iconv) -f UTF-16 -t UTF-8 '$data/config.ini' | tr -d '\r' | grep -qxF 'history=$(program_path "$scratch/history")'"
check "and the program answers" probe send 100 5000
panel_visible || { probe command 112 >/dev/null; wait_until 5 panel_visible; }
panel_rect
click 165 604
check "Use the data folder forgets the choice" wait_until 5 sh -c "! $(command -v iconv) -f UTF-16 -t UTF-8 '$data/config.ini' | grep -q '^history='"
check "and the page loses the offer" wait_until 5 panel_is 330 645
quit

# The paint cycle needs a display, so its leak test runs here.
"$runner" "$unit_tests" --gtest_filter='PanelPaint.*' >"$scratch/paint.txt" 2>&1
check "10,000 repaints leave no GDI object behind" grep -q '^\[  PASSED  \] 1 test' "$scratch/paint.txt"
finish
