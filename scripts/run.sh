#!/usr/bin/env bash
# Builds the user's tidewell.exe (the windows-release preset: optimised, fonts embedded, the real
# usage service) and starts it under Wine. With no X display it runs on a private Xvfb
# screen with a Wine desktop that has a taskbar and notification area, saves a screenshot after
# a few seconds (TIDEWELL_RUN_SECONDS, default 10), says where, and stops it again.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset windows-release >/dev/null
cmake --build --preset windows-release --target tidewell

export WINEPREFIX="$(pwd)/build/wineprefix-run"
source scripts/wine-env.sh
wine_prepare_prefix
exe="build/windows-release/tidewell.exe"

# The Linux user's own Claude Code and Codex folders, so the tray shows their real figures
# (Wine sees the host's "/a/b" as "Z:\a\b"). A machine with neither, or with no log from the
# last eight days in them (a first try), gets the repository's sample home, its times moved to
# now, so that there is something to see.
windows_path() { printf 'Z:%s' "$1" | tr '/' '\\'; }
source scripts/run_home.sh
if reason=$(sample_home_reason "${HOME:-}"); then
    sample="build/run/sample-home"
    rm -rf "$sample"
    python3 tests/e2e/make_home.py tests/fixtures/home "$sample"
    export CLAUDE_CONFIG_DIR="$(windows_path "$(pwd)/$sample/.claude")"
    export CODEX_HOME="$(windows_path "$(pwd)/$sample/.codex")"
    echo "$reason: Tidewell shows the sample home in $sample (from tests/fixtures/home)."
fi
if [ -d "${HOME:-}/.claude" ] && [ -z "${CLAUDE_CONFIG_DIR:-}" ]; then
    export CLAUDE_CONFIG_DIR="$(windows_path "$HOME/.claude")"
fi
if [ -d "${HOME:-}/.codex" ] && [ -z "${CODEX_HOME:-}" ]; then
    export CODEX_HOME="$(windows_path "$HOME/.codex")"
fi

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$exe" "$@"
fi

out="build/run"
mkdir -p "$out"
rm -f "$out/display"
exec 3>"$out/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$out/display")"

# One virtual desktop with a taskbar, used by every Wine process of this prefix.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1280x800 /f >/dev/null 2>&1

wine "$exe" "$@" &
app=$!
# Wine's shell cannot tell the program where its icon is, so the panel opens by the pointer. Two
# clicks on the icon, as a user's, put it beside the tray: the first closes the panel shown at
# start, the second opens it there.
(sleep 5; for _ in 1 2; do xdotool mousemove 1269 790 click 1 2>/dev/null; sleep 1; done) &
seconds="${TIDEWELL_RUN_SECONDS:-10}"
for _ in $(seq $((seconds * 10))); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
import -window root "$out/screenshot.png"
if kill -0 $app 2>/dev/null; then
    echo "Tidewell is running under Wine on $DISPLAY; stopping it after ${seconds}s."
else
    wait $app && code=0 || code=$?
    echo "tidewell.exe exited with code $code."
fi
echo "Screenshot: $(pwd)/$out/screenshot.png"
