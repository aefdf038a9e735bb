#!/bin/sh
# Every place logs come from, as a user with WSL and Claude's desktop app has them, on a Wine
# desktop: three distributions in the registry (one running, one stopped, Docker's), folders that
# stand in for \\wsl.localhost\<name>, an agent session of the desktop app with its audit copy,
# and a configured folder whose name needs escaping. Checks the export's totals (every record
# once) and its "sources" member, that nothing of the stopped distribution is touched (counted by
# inotify), the settings page's Sources section (screenshot panel-sources) and the report's
# footer.
# Usage: sources.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures folder>
exe=$1
runner=$2
probe=$3
fixtures=$4
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"

home="$scratch/home"
# The fixture sessions with other message ids: records the totals would show if they were read.
unique_copy() { mkdir -p "$2" && sed 's/"id":"msg_/"id":"msgZ_/g' "$1" >"$2/$(basename "$1")"; }
sessions="$home/.claude/projects"

# A second configured folder, "R&D's logs", holding a copy of one session (the same records).
rnd="$scratch/R&D's logs"
mkdir -p "$rnd/projects/-home-dev-api"
cp "$sessions/-home-dev-api/9d04b7aa-session.jsonl" "$rnd/projects/-home-dev-api/"
export CLAUDE_CONFIG_DIR="$CLAUDE_CONFIG_DIR,$(program_path "$rnd")"

# The desktop app's agent session: a copy of another session, and its audit file beside it.
agent="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Claude/local-agent-mode-sessions"
session="$agent/5e1d-app/77c0-machine/local_3f9a/.claude/projects/-sessions-work"
mkdir -p "$session"
cp "$sessions/-home-dev-web/7c1d2e3f-session.jsonl" "$session/"
unique_copy "$sessions/-home-dev-app/3f2a9c1e-session.jsonl" "$scratch/audit"
mv "$scratch/audit/3f2a9c1e-session.jsonl" "$session/audit.jsonl"

# WSL: Ubuntu-24.04 runs, with a copy of a session and of the Codex sessions; Ubuntu is stopped
# and docker-desktop is Docker's, both with logs that must not count.
wsl="$scratch/wsl"
export TIDEWELL_WSL_STANDIN="$(program_path "$wsl")"
running="$wsl/Ubuntu-24.04/home/dev"
mkdir -p "$running/.claude/projects/-home-dev-app"
cp "$sessions/-home-dev-app/3f2a9c1e-session.jsonl" "$running/.claude/projects/-home-dev-app/"
cp -R "$home/.codex" "$running/.codex"
for name in Ubuntu docker-desktop; do
    unique_copy "$sessions/-home-dev-app/3f2a9c1e-session.jsonl" "$wsl/$name/root/.claude/projects/p"
    cp -R "$home/.codex" "$wsl/$name/root/.codex"
done
printf 'Ubuntu-24.04\ndocker-desktop\n' >"$wsl/running.txt"
lxss='HKCU\Software\Microsoft\Windows\CurrentVersion\Lxss'
wine reg delete "$lxss" /f >/dev/null 2>&1
distribution() {
    wine reg add "$lxss\\{$1}" /v DistributionName /d "$2" /f >/dev/null 2>&1
    wine reg add "$lxss\\{$1}" /v Version /t REG_DWORD /d 2 /f >/dev/null 2>&1
}
distribution 6f1c2a10-0000-4000-8000-000000000001 Ubuntu-24.04
distribution 6f1c2a10-0000-4000-8000-000000000002 Ubuntu
distribution 6f1c2a10-0000-4000-8000-000000000003 docker-desktop

# The export: the fixture's totals exactly (every copy is of records counted already), and the
# places in order.
json_name() { printf '%s' "$1" | sed 's/\\/\\\\/g'; }
accesses=$(python3 "$(dirname "$0")/access_count.py" "$wsl/Ubuntu" \
    "$runner" "$exe" --json "$(program_path "$scratch/out.json")")
check "nothing of the stopped distribution is touched ($accesses accesses)" [ "$accesses" -eq 0 ]
sources="{\"name\":\"$(json_name "$CLAUDE_CONFIG_DIR" | sed 's/,.*//')\",\"files\":3,\"read\":true},"
sources="$sources{\"name\":\"$(json_name "$(program_path "$rnd")")\",\"files\":1,\"read\":true},"
sources="$sources{\"name\":\"$(json_name "$CODEX_HOME")\",\"files\":1,\"read\":true},"
sources="$sources{\"name\":\"Claude desktop agent sessions\",\"files\":1,\"read\":true},"
sources="$sources{\"name\":\"Ubuntu-24.04 (WSL)\",\"files\":2,\"read\":true},"
sources="$sources{\"name\":\"Ubuntu (WSL)\",\"files\":0,\"read\":false}"
sed 's/,"accounts":\[.*\]}$/}/' "$scratch/out.json" >"$scratch/before-accounts.json"
check "the export counts every record once and lists the places" same_bytes "$scratch/before-accounts.json" \
    '{"claude":{"found":true,"active":true,"current_tokens":2500,"pct":25},"codex":{"primary_pct":33.3333,"primary_minutes":299},"sources":['"$sources"']}'
# Every login apart: this computer's, the configured folder's, the running distribution's, the
# desktop app's agent sessions; then Codex's.
logins=$(grep -o '"name":"[^"]*","tool":"[a-z]*"' "$scratch/out.json" | sed 's/"name":"\([^"]*\)","tool":"\([a-z]*\)"/\2:\1/' | tr '\n' '|')
check "the export lists every login ($logins)" \
    [ "$logins" = "claude:default|claude:R&D's logs|claude:Ubuntu-24.04|claude:Claude desktop|codex:default|codex:Ubuntu-24.04|" ]

# The desktop program: the settings page lists the six places, the report's footer too.
mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"
"$runner" "$exe" </dev/null >/dev/null 2>&1 &
program=$!
probe find 30000 >/dev/null
sleep 3
probe command 112
check "the settings page opens" wait_until 10 panel_visible
set -- $(probe window TidewellPanel | tr -d '\r')
check "with a Sources section of six lines: 725 high (the history section below it) or capped by the work area (got $(($5 - $3)))" [ $(($5 - $3)) -eq "$(capped 725)" ]
shot panel-sources
report="$WINEPREFIX/drive_c/users/$(id -un)/Temp/tidewell-report.html"
rm -f "$report"
probe command 101
check "the report is written" wait_until 10 grep -q 'Sources:' "$report"
check "its footer names the running distribution" grep -q 'Ubuntu-24.04 (WSL) · 2 files' "$report"
check "and the stopped one" grep -q 'Ubuntu (WSL) · stopped, not read' "$report"
check "and the folder's name escaped" grep -q "R&amp;D&#39;s logs · 1 file" "$report"
check "Docker's distribution is not listed" sh -c "! grep -q docker '$report'"
probe command 107
wait $program
finish
