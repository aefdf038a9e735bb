#!/bin/sh
# The usage ledger outlives the logs, on a Wine desktop: a home of logs over the 40 days before
# today (make_history_home.py, with records written twice); the first start reads them all into
# usage.db with the figures the fixture gives; after the files older than 30 days (and one of 5
# days ago, a day the program keeps exact) are deleted and the program restarted, the ledger, the report's chart (as Chromium reads it) and
# --history-csv still hold those days with the same figures; a damaged usage.db is moved aside
# and rebuilt from the logs that are left.
# Usage: history.sh <tidewell.exe> <runner> <tidewell_probe.exe>
exe=$1
runner=$2
probe=$3
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"
here=$(dirname "$0")

home="$scratch/home"
python3 "$here/make_history_home.py" "$home" "$scratch/expected.json"
export CLAUDE_CONFIG_DIR="$(program_path "$home/.claude")"
export CODEX_HOME="$(program_path "$home/.codex")"
ledger="$data/usage.db"
history() { python3 "$here/history_check.py" "$@"; }

mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"
start() {
    "$runner" "$exe" --autostart </dev/null >/dev/null 2>"$scratch/stderr.txt" &
    program=$!
    probe find 30000 >/dev/null
}
stop() {  # quits the program; "what" for the check
    probe command 107 >/dev/null
    wait $program
    code=$?
    check "$1: the program quits with 0 (got $code)" [ "$code" -eq 0 ]
    check "$1: nothing on standard error (Wine reports a crash there)" [ ! -s "$scratch/stderr.txt" ]
}
# wait_cycles N: N refresh cycles, each asked for with "Refresh now" once the last has had time.
wait_cycles() {
    for _ in $(seq "$1"); do
        sleep 4
        probe command 100 >/dev/null
    done
    sleep 4
}

# First start: every log is read into the ledger.
start
check "the first start records all 40 days with the fixture's figures" \
    history wait "$ledger" "$scratch/expected.json" 120
stop "after the backfill"
check "the ledger is readable once the program is gone" history save "$ledger" "$scratch/first.json"

# The logs older than 30 days go, as Claude Code's clean-up would take them, and one session of 5
# days ago. Those days stay as they were.
python3 -c 'import json, os, sys
for path in json.load(open(sys.argv[1]))["gone_files"]: os.remove(path)' "$scratch/expected.json"
start
wait_cycles 2
check "with the old logs gone, the running program's ledger keeps their days" \
    history same "$ledger" "$scratch/first.json"

# The report's chart as Chromium reads it: a bar per day, its title the ledger's dollars.
report="$WINEPREFIX/drive_c/users/$(id -un)/Temp/tidewell-report.html"
rm -f "$report"
probe command 101 >/dev/null
check "the report is written" wait_until 15 grep -q '5-hour windows' "$report"
if grep -q '<svg' "$report" 2>/dev/null; then
    (cd "$scratch" && timeout 60 chromium --headless --no-sandbox --disable-gpu \
        --dump-dom "file://$report" 2>/dev/null) >"$scratch/dom.html"
    check "the report's chart has a bar per day whose title gives the ledger's dollars" \
        history report "$scratch/dom.html" "$scratch/first.json"
else
    echo "SKIPPED: the report has no history chart yet"
fi
stop "after the restart"
check "after it quit, the ledger still holds every day with the same figures" \
    history same "$ledger" "$scratch/first.json"

# The export: the same per-day totals.
if strings -el "$exe" | grep -qx -- --history-csv; then
    run_program --history-csv "$(program_path "$scratch/history.csv")"
    check "--history-csv exits with 0 (got $code)" [ "$code" -eq 0 ]
    check "the CSV gives the ledger's per-day totals" \
        history csv "$scratch/history.csv" "$scratch/first.json"
else
    echo "SKIPPED: this build has no --history-csv"
fi

# A damaged ledger (its header overwritten while the program is stopped) is moved aside and made
# again from the logs: the days they still hold come back with the same figures.
check "there is a ledger to damage" [ -s "$ledger" ]
python3 -c 'import sys
with open(sys.argv[1], "r+b") as f: f.write(b"garbage!" * 12 + b"junk")' "$ledger" 2>/dev/null
start
moved_aside() { ls "$data"/usage.db.damaged-* >/dev/null 2>&1; }
check "a damaged ledger is moved aside" wait_until 30 moved_aside
# The balloon that tells of it shows while the ledger is made again (it goes after some seconds).
balloon_up() { [ "$(probe balloons | tr -d '\r')" -gt 0 ]; }
check "a balloon says so" wait_until 15 balloon_up
check "as usage.db.damaged-<time>" sh -c "ls '$data' | grep -Eqx 'usage\\.db\\.damaged-[0-9]{8}-[0-9]{6}'"
rebuilt() {
    for _ in $(seq 60); do
        history same "$ledger" "$scratch/first.json" "kept:$scratch/expected.json" >/dev/null 2>&1 &&
            return 0
        sleep 1
    done
    history same "$ledger" "$scratch/first.json" "kept:$scratch/expected.json"
}
check "and rebuilt: the days the logs hold come back with the same figures" rebuilt
stop "after the rebuild"
finish
