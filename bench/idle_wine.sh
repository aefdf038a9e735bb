#!/bin/sh
# What the desktop program costs at rest, under Wine on a home of realistic logs: the CPU time of
# its process over quiet refresh cycles (no log changes), then over cycles in which one log grows
# (each one walks every folder), and its private memory along the way.
# Usage: bench/idle_wine.sh <tidewell.exe> <tidewell_probe.exe> [megabytes] [cycles] [distributions]
# With a number of distributions, that many running WSL distributions with a copy of a tenth of
# the home each are added (the program must be built with TIDEWELL_WSL_STANDIN=ON).
# Needs the Windows build's Wine prefix (source scripts/wine-env.sh && wine_prepare_prefix).
exe=$(realpath "$1")
probe=$(realpath "$2")
megabytes=${3:-300}
cycles=${4:-4}
distributions=${5:-0}
runner="$(dirname "$0")/../cmake/wine-run.sh"
e2e="$(dirname "$0")/../tests/e2e"
. "$e2e/lib.sh"
. "$e2e/wine_desktop.sh"

python3 "$e2e/make_corpus.py" "$scratch/big" "$megabytes"
export CLAUDE_CONFIG_DIR="$(program_path "$scratch/big/.claude")"
export CODEX_HOME="$(program_path "$scratch/big/.codex")"
if [ "$distributions" -gt 0 ]; then
    export TIDEWELL_WSL_STANDIN="$(program_path "$scratch/wsl")"
    lxss='HKCU\Software\Microsoft\Windows\CurrentVersion\Lxss'
    for n in $(seq "$distributions"); do
        python3 "$e2e/make_corpus.py" "$scratch/wsl/Distro-$n/home/dev" $((megabytes / 10))
        echo "Distro-$n" >>"$scratch/wsl/running.txt"
        wine reg add "$lxss\{$n}" /v DistributionName /d "Distro-$n" /f >/dev/null 2>&1
        wine reg add "$lxss\{$n}" /v Version /t REG_DWORD /d 2 /f >/dev/null 2>&1
    done
fi
files=$(find "$scratch" -name '*.jsonl' | wc -l)
mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"

"$runner" "$exe" --autostart </dev/null >/dev/null 2>&1 &
app=$!
probe find 30000 >/dev/null
wait_until 120 sh -c "iconv -f UTF-16 -t UTF-8 '$data/config.ini' | grep -q '^maxblock=[1-9]'"
pid=$(pgrep -f 'tidewell.exe --autostart' | head -1)
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
# thread_ticks: "TID TICKS" for each of the process's threads
thread_ticks() { for t in /proc/$pid/task/*; do echo "${t##*/} $(awk '{print $14 + $15}' "$t/stat")"; done; }
private_kb() { awk '/^(Private_Dirty|Private_Clean):/ {s += $2} END {print s}' "/proc/$pid/smaps"; }
hz=$(getconf CLK_TCK)
sleep 50  # the cycle after the first scan, which still reads what the first one published

measure() {  # measure LABEL CHANGE: CPU per cycle over $cycles cycles of 45 s
    start=$(ticks)
    thread_ticks >"$scratch/threads-before"
    for _ in $(seq "$cycles"); do
        [ "$2" = change ] && printf '{"type":"user"}\n' >>"$(find "$scratch/big/.claude" -name '*.jsonl' | head -1)"
        sleep 45
    done
    used=$(( ($(ticks) - start) * 1000 / hz ))
    echo "$1: $((used / cycles)) ms of CPU per cycle ($used ms over $cycles cycles), private memory $(private_kb) kB"
    thread_ticks | while read -r tid now; do
        before=$(awk -v t="$tid" '$1 == t {print $2}' "$scratch/threads-before")
        spent=$(( (now - ${before:-0}) * 1000 / hz ))
        [ "$spent" -gt 0 ] && echo "  thread $tid: $spent ms"
    done
}
echo "$files log files, $megabytes MB"
echo "after the first scan: private memory $(private_kb) kB"
measure "quiet cycles" quiet
measure "cycles with one log growing" change
measure "quiet cycles again" quiet
probe quit >/dev/null
wait $app
