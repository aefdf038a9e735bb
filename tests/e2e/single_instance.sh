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

# The real instance.
"$runner" "$exe" </dev/null >/dev/null 2>&1 &
first=$!
check "the first instance creates its hidden main window" probe find 20000
timeout 60 "$runner" "$exe" --autostart </dev/null >/dev/null 2>&1
code=$?
check "a second start exits with 0 (got $code)" [ "$code" -eq 0 ]
check "the first instance keeps running" kill -0 $first
probe close
wait $first
code=$?
check "closing its window ends the first instance with 0 (got $code)" [ "$code" -eq 0 ]
check "no instance window is left" sh -c "! \"$runner\" \"$probe\" find 300"
finish
