#!/bin/sh
# The desktop program as a user meets it, on a Wine desktop with a taskbar under a private Xvfb
# display: first start (Run value, welcomed=1, panel), the tray icon and its colour, a second
# start, the status line turning the icon red, the taskbar coming back, quitting, and a start
# with Windows. Screenshots are kept in <build>/e2e-artifacts.
# Usage: desktop.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures folder> <tidewell_report_page.exe>
exe=$1
runner=$2
probe=$3
fixtures=$4
report_page=$5
. "$(dirname "$0")/lib.sh"

. "$(dirname "$0")/wine_desktop.sh"

"$runner" "$exe" </dev/null >/dev/null 2>&1 &
first=$!
check "first start: the main window appears" probe find 30000
check "first start: the Run value names the program" sh -c "$(command -v wine) reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run' /v Tidewell | grep -q -- '--autostart'"
check "first start: welcomed=1 in config.ini" wait_until 10 sh -c "iconv -f UTF-16 -t UTF-8 '$data/config.ini' | grep -q welcomed=1"
check "first start: the panel is shown" wait_until 10 panel_visible
# The fixture's figures are under 80%: the bar is green on the dark icon.
check "the tray icon shows the green bar" wait_until 20 icon_has tray-first 46A758
check "the tray icon's dark square" [ "$(tray_pixels tray-first 21201C)" -gt 0 ]
box=$(icon_box tray-first)
check "at 96 DPI it is drawn 16 pixels square, as the shell shows it (got $box)" [ "$box" = 16x16 ]

# Real clicks on the icon (the rightmost one in the notification area): the first takes the
# focus from the open panel, which hides, and the guard keeps the same click from reopening it;
# a later click opens it again.
xdotool mousemove 1013 758 click 1
sleep 1
check "a click on the icon closes the open panel" sh -c "! $(command -v "$runner") $probe window TidewellPanel | grep -q '^visible'"
xdotool mousemove 1013 758 click 1
check "a second click opens it again" wait_until 5 panel_visible
shot panel-reopened
# A double click, like the menu's bold "Open Tidewell", leaves the panel open: on the open panel
# and on the shut one. The last click must be older than the double-click time, or this pair's
# first press would end a double click that began with it.
sleep 1
xdotool mousemove 1013 758 click --repeat 2 --delay 120 1
sleep 1
check "a double click on the icon leaves the open panel open" panel_visible
xdotool mousemove 640 300 click 1
wait_until 5 sh -c "! $(command -v "$runner") $probe window TidewellPanel | grep -q '^visible'"
sleep 1
xdotool mousemove 1013 758 click --repeat 2 --delay 120 1
sleep 1
check "a double click on the icon opens the shut panel and leaves it open" panel_visible

# The tray menu from a real right click on the icon (its items, their order and check marks in
# the screenshots), and a real click on "Warn at 80% and 95%", its sixth line: the command
# runs once the menu has closed.
alerts_are() { config_text | grep -qx "alerts=$1"; }
probe command 102
wait_until 5 alerts_are 0
probe command 102
check "the warnings start switched on" wait_until 5 alerts_are 1
xdotool mousemove 1013 758 click 3
sleep 1
shot tray-menu
xdotool mousemove 930 641 click 1
check "the menu's warnings item switches the warnings off" wait_until 5 alerts_are 0
xdotool mousemove 1013 758 click 3
sleep 1
shot tray-menu-alerts-off
xdotool mousemove 400 300 click 1
probe command 102
wait_until 5 alerts_are 1

timeout 60 "$runner" "$exe" </dev/null >/dev/null 2>&1
code=$?
check "a second start exits with 0 (got $code)" [ "$code" -eq 0 ]
check "the first instance keeps running" kill -0 $first

# The status line reports 95% for the 5-hour limit: with Claude's number chosen, the icon turns
# red. With the warnings off no balloon comes; switched on, the next figures bring it.
balloons_shown() { [ "$(probe balloons | tr -d '\r')" -gt 0 ]; }
no_balloon() { ! balloons_shown; }
probe command 102
wait_until 5 alerts_are 0
check "the welcome balloon goes away" wait_until 40 no_balloon
probe command 109
printf '{"rate_limits":{"five_hour":{"used_percentage":95,"resets_at":%s}}}' $(( $(date +%s) + 3600 )) \
    >"$scratch/status.json"
"$runner" "$exe" --statusline <"$scratch/status.json" >/dev/null 2>&1
check "a status line at 95% turns the bar red" wait_until 15 icon_has tray-red E54D2E
sleep 2
check "with the warnings off, no balloon" no_balloon
probe command 102
wait_until 5 alerts_are 1
probe command 100
check "switched on, the 95% warning comes" wait_until 15 balloons_shown
shot balloon-95
check "the choice of number is saved" sh -c "iconv -f UTF-16 -t UTF-8 '$data/config.ini' | grep -q show=claude"

probe taskbar-created
check "after the taskbar comes back the icon is there" wait_until 10 icon_has tray-readded E54D2E

# The usage report: written whole into the temporary folder, the very page the portable builder
# makes from the same logs, and what Chromium parses is as meant; a report that cannot be
# replaced is left as it was.
report="$WINEPREFIX/drive_c/users/$(id -un)/Temp/tidewell-report.html"
rm -f "$report"
before=$(date +%s)
probe command 101
check "the usage report is written" wait_until 10 grep -q '5-hour windows' "$report"
after=$(date +%s)
check "as one line of HTML" [ "$(wc -l <"$report")" -eq 0 ]
check "and opened" wait_until 10 opened_times 1
same_page() {  # the builder's page at some second between the command and the file
    for moment in $(seq "$before" "$after"); do
        "$runner" "$report_page" "$moment" >"$scratch/page.html" 2>/dev/null
        cmp -s "$report" "$scratch/page.html" && return 0
    done
    return 1
}
check "byte for byte the portable builder's page" same_page
chromium_run() { (cd "$scratch" && timeout 60 chromium --headless --no-sandbox --disable-gpu \
    --hide-scrollbars --window-size=900,800 "$@" "file://$report" 2>/dev/null); }
chromium_run --dump-dom >"$scratch/dom.html"
check "Chromium sees every day oldest first, 4 or 5 with use (by the time of day) and bars against the busiest, 4 windows newest first" \
    python3 "$(dirname "$0")/report_dom.py" 4-5 4 <"$scratch/dom.html"
chromium_run --screenshot="$artifacts/report.png" >/dev/null
check "and draws its bars" [ "$(convert "$artifacts/report.png" -depth 8 txt:- | grep -ci '#FFC53D')" -gt 100 ]
cp "$report" "$scratch/report.before"
chmod a-w "$report"
probe command 101
sleep 3
check "a report that cannot be replaced stays as it was" cmp -s "$report" "$scratch/report.before"
check "and is not opened" opened_times 1
chmod u+w "$report"

# "Export history…" from the tray menu: the system's save dialog, a folder typed before a name
# without its extension, and the file written off the window thread (this home has no ledger
# yet: the header alone).
export_dir="$scratch/export"
mkdir -p "$export_dir"
save_dialog_up() { probe window '#32770' | grep -q '^visible'; }
no_save_dialog() { ! save_dialog_up; }
probe command 113
check "Export history… opens the save dialog" wait_until 10 save_dialog_up
sleep 1
shot save-dialog
# The file name box, clicked: the dialog came from a posted command, not from the menu that
# gives the program the foreground.
set -- $(probe window '#32770' | tr -d '\r')
xdotool mousemove $(($2 + 430)) $(($3 + 468)) click 1
xdotool key End shift+Home Delete
xdotool type --delay 20 "$(program_path "$export_dir")\\history"
xdotool key Return
check "the history is written where the dialog says, .csv added" \
    wait_until 10 test -s "$export_dir/history.csv"
check "as CSV with its header" sh -c "head -n 1 '$export_dir/history.csv' | grep -q '^day,machine,tool,'"
check "and the dialog is gone" wait_until 5 no_save_dialog

probe command 107
wait $first
code=$?
check "Quit Tidewell ends the program with 0 (got $code)" [ "$code" -eq 0 ]
shot tray-quit
check "and removes the icon" [ "$(tray_pixels tray-quit 21201C)" -eq 0 ]

"$runner" "$exe" --autostart </dev/null >/dev/null 2>&1 &
second=$!
check "a start with Windows runs" probe find 30000
sleep 2
check "and opens no panel" sh -c "! $(command -v "$runner") $probe window TidewellPanel | grep -q '^visible'"
shot autostart
probe command 107
wait $second
finish
