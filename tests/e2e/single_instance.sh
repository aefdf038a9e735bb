#!/bin/sh
# One desktop instance per logon session, and the status line's wake-up call, under Wine on a private Xvfb display and Wine prefix:
# a second start posts WM_COMMAND 111 (open the panel) to the running instance's "TidewellWnd"
# window and exits with 0; the first instance keeps running until its window is closed.
# Usage: single_instance.sh <tidewell.exe> <runner> <tidewell_probe.exe>
exe=$1
runner=$2
probe=$3
. "$(dirname "$0")/lib.sh"

. "$(dirname "$0")/wine_desktop.sh"

wait_for_line() {  # wait_for_line FILE TEXT
    for _ in $(seq 200); do grep -q "$2" "$1" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}

# A stand-in instance that logs what it receives.
probe hold 30 >"$scratch/probe.out" 2>&1 &
holder=$!
check "the stand-in instance is ready" wait_for_line "$scratch/probe.out" ready
timeout 60 "$runner" "$exe" </dev/null >/dev/null 2>&1
code=$?
check "a second start exits with 0 (got $code)" [ "$code" -eq 0 ]
check "it asks the running instance to open its panel" wait_for_line "$scratch/probe.out" "message 0x111 111 0"
printf '{"rate_limits":{"five_hour":{"used_percentage":12}}}' >"$scratch/status.json"
"$runner" "$exe" --statusline <"$scratch/status.json" >"$scratch/status.out" 2>/dev/null
check "the status line prints its line" grep -q '^5h 12%$' "$scratch/status.out"
check "the status line wakes the running instance" wait_for_line "$scratch/probe.out" "message 0x8003 0 0"
printf '{}' | "$runner" "$exe" --statusline >/dev/null 2>&1
probe close
wait $holder
check "a status line without limits wakes nobody" [ "$(grep -c 'message 0x8003' "$scratch/probe.out")" -eq 1 ]

# The real instance, started with Windows (no panel); a second start opens its panel, focused
# (it hears the keyboard), and a click elsewhere closes it.
panel_visible() { probe window TidewellPanel | grep -q '^visible'; }
"$runner" "$exe" --autostart </dev/null >/dev/null 2>&1 &
first=$!
check "the first instance creates its hidden main window" probe find 20000
sleep 1
check "started with Windows, it shows no panel" sh -c '! "$0" "$1" window TidewellPanel | grep -q ^visible' \
    "$runner" "$probe"
timeout 60 "$runner" "$exe" </dev/null >/dev/null 2>&1
code=$?
check "a second start exits with 0 (got $code)" [ "$code" -eq 0 ]
for _ in $(seq 50); do panel_visible && break; sleep 0.1; done
check "the second start opens the first one's panel" panel_visible
sleep 0.5
probe accessible | tr -d '\r' >"$scratch/accessible.txt"
check "with the keyboard's focus" grep -qx 'pane focused Tidewell' "$scratch/accessible.txt"
xdotool mousemove 60 60 click 1
sleep 1
check "a click elsewhere closes it" sh -c '! "$0" "$1" window TidewellPanel | grep -q ^visible' \
    "$runner" "$probe"
check "the first instance keeps running" kill -0 $first
# A log-off: the program agrees, stops its worker and saves its settings before it returns.
rm -f "$data/config.ini"
answer=$(probe endsession | tr -d '\r')
check "a log-off is agreed to and handled in time (got '$answer')" [ "$answer" = "1 1" ]
check "with the settings saved" [ -s "$data/config.ini" ]
probe close
wait $first
code=$?
check "closing its window ends the first instance with 0 (got $code)" [ "$code" -eq 0 ]
check "no instance window is left" sh -c "! \"$runner\" \"$probe\" find 300"
finish
