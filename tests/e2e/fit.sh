#!/bin/sh
# The panel never leaves the work area of its screen: the settings page with six Sources lines on
# laptop screens (1280 x 800 at 96, 120 and 144 DPI, and 1366 x 768), at every panel size, lies
# inside the work area; where it is taller than that it scrolls, by the wheel and by the keyboard,
# down to "Quit Tidewell", which the keyboard then reaches and activates. Screenshots fit-*.png.
# Usage: fit.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures folder>
exe=$1
runner=$2
probe=$3
fixtures=$4
screen=1366x800  # the display holds each desktop below
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"

# Six Sources lines: the fixture's Claude folder and four more configured ones (each with a copy
# of one session), and the Codex folder.
session="$scratch/home/.claude/projects/-home-dev-api/9d04b7aa-session.jsonl"
for n in 2 3 4 5; do
    mkdir -p "$scratch/claude-$n/projects/p"
    cp "$session" "$scratch/claude-$n/projects/p/"
    CLAUDE_CONFIG_DIR="$CLAUDE_CONFIG_DIR,$(program_path "$scratch/claude-$n")"
done
export CLAUDE_CONFIG_DIR

mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"

accessible() { probe accessible | tr -d '\r' >"$scratch/accessible.txt"; }
focused() { accessible && grep ' focused' "$scratch/accessible.txt" | cut -d' ' -f3-; }
press_until() {  # press_until KEY NAME: KEY (at most 40 times) until NAME has the focus
    for _ in $(seq 40); do
        [ "$(focused)" = "$2" ] && return 0
        xdotool key "$1"
        sleep 0.2
    done
    [ "$(focused)" = "$2" ]
}
# panel: left top right bottom of the panel; work: the work area's and the monitor's edges.
panel() { set -- $(probe window TidewellPanel | tr -d '\r'); pl=$2 pt=$3 pr=$4 pb=$5; }
work() { set -- $(probe workarea | tr -d '\r'); wl=$1 wt=$2 wr=$3 wb=$4 ml=$5 mt=$6 mr=$7 mb=$8; }
inside() {  # inside L T R B: within the work area and the desktop
    [ "$1" -ge "$wl" ] && [ "$2" -ge "$wt" ] && [ "$3" -le "$wr" ] && [ "$4" -le "$wb" ] &&
        [ "$1" -ge 0 ] && [ "$2" -ge 0 ] && [ "$3" -le "$w" ] && [ "$4" -le "$h" ]
}
located() {  # located NAME: sets ql qt qr qb and where ("shown" or "offscreen")
    set -- $(probe locate "$1" | tr -d '\r')
    ql=${1:-0} qt=${2:-0} qr=${3:-0} qb=${4:-0} where=${5:-missing}
}
shows() { located "$1" && [ "$where" = shown ] && inside "$ql" "$qt" "$qr" "$qb"; }
# thumb_colours: the colours down the column where the scroll indicator runs (4 pixels in from
# the panel's right edge, under the header): one when nothing is drawn there.
thumb_colours() {
    shot fit-now
    convert "$artifacts/fit-now.png" -crop "1x$((pb - pt - 60))+$((pr - 4))+$((pt + 50))" +repage \
        -unique-colors -depth 8 txt:- | grep -c '^[0-9]'
}

run() {  # run WxH DPI LAST: the settings page at each size on that screen
    w=${1%x*} h=${1#*x} dpi=$2
    wineserver -k  # the desktop takes its new size when it starts
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$1" /f >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    "$runner" "$exe" --autostart </dev/null >/dev/null 2>&1 &
    program=$!
    probe find 30000
    sleep 2
    probe command 112  # "Settings…"
    wait_until 10 panel_visible
    sleep 0.5
    for size in Compact Normal Large; do
        at="$1 at $dpi DPI, $size"
        probe press "$size"
        sleep 0.8
        panel
        work
        check "$at: the panel ($pl,$pt)-($pr,$pb) lies in the work area ($wl,$wt)-($wr,$wb)" \
            inside "$pl" "$pt" "$pr" "$pb"
        # The keyboard on the first choice brings the page back to its top.
        check "$at: the keyboard reaches 'Auto'" press_until Down Auto
        sleep 0.3
        located "Quit Tidewell"
        # The page scrolls when its last button is hidden, or shown only in part at the bottom.
        if [ "$where" = offscreen ] || [ "$qb" -gt "$pb" ]; then
            check "$at: the page scrolls, its indicator is drawn" [ "$(thumb_colours)" -ge 2 ]
            if [ "$size" = Large ]; then
                shot "fit-$1-$dpi-top"
                # The wheel, over the panel, down to the end and back up.
                xdotool mousemove $(((pl + pr) / 2)) $(((pt + pb) / 2)) click --repeat 20 --delay 30 5
                sleep 0.8
                check "$at: the wheel scrolls to 'Quit Tidewell'" shows "Quit Tidewell"
                shot "fit-$1-$dpi-wheel"
                xdotool click --repeat 20 --delay 30 4
                sleep 0.8
                check "$at: and back up to 'Auto'" shows Auto
                check "$at: 'Quit Tidewell' is off screen again" sh -c \
                    '[ "$("$0" "$1" locate "Quit Tidewell" | tr -d "\r" | cut -d" " -f5)" = offscreen ]' \
                    "$runner" "$probe"
                xdotool mousemove 0 0
            fi
        else
            check "$at: a page that fits has no indicator" [ "$(thumb_colours)" -eq 1 ]
        fi
        check "$at: the keyboard reaches 'Quit Tidewell'" press_until Up "Quit Tidewell"
        sleep 0.3
        check "$at: which is scrolled into view, inside the work area ($ql,$qt)-($qr,$qb)" \
            shows "Quit Tidewell"
        check "$at: the header stays: 'Close' in view" shows Close
        [ "$size" = Large ] && shot "fit-$1-$dpi-quit"
    done
    if [ "$3" = last ]; then
        xdotool key Return
        wait $program
        code=$?
        check "Enter on 'Quit Tidewell' quits the program (exit code $code)" [ "$code" -eq 0 ]
    else
        probe command 107
        wait $program
    fi
    wineserver -k
}

run 1280x800 96
run 1280x800 120
run 1280x800 144
run 1366x768 144 last
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
rm -f "$artifacts/fit-now.png"
finish
