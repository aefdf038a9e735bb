#!/bin/sh
# Which home `scripts/run.sh` shows, with throwaway homes: the sample one when the user's folders
# are missing or hold no log from the last eight days, theirs otherwise.
# Usage: run_home.sh <tidewell executable, unused> [<runner, unused>]
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/../../scripts/run_home.sh"
unset CLAUDE_CONFIG_DIR CODEX_HOME

home_with() {  # home_with NAME [FILE AGE]...: a home with those files, each AGE old ("7 days ago")
    home="$scratch/$1"
    shift
    mkdir -p "$home"
    while [ $# -gt 0 ]; do
        mkdir -p "$(dirname "$home/$1")"
        touch -d "$2" "$home/$1"
        shift 2
    done
}
sample() { sample_home_reason "$home" >/dev/null; }
says() { [ "$(sample_home_reason "$home")" = "$1" ]; }

home_with empty
check "no folders: the sample home" says "No ~/.claude or ~/.codex on this machine"
home_with bare .claude/settings.json "1 hour ago" .codex/config.toml "1 hour ago"
check "folders without logs: the sample home, and why" \
    says "No Claude Code or Codex log from the last eight days in ~/.claude or ~/.codex"
home_with old .claude/projects/a/s.jsonl "8 days ago 1 hour ago" \
    .codex/sessions/2025/01/r.jsonl "9 days ago"
check "logs older than eight days: the sample home" sample
home_with claude .claude/projects/a/s.jsonl "7 days ago 23 hours ago"
check "a Claude Code log of the last eight days: the user's" eval '! sample'
home_with codex .codex/sessions/2026/01/02/r.jsonl "1 minute ago"
check "a Codex session of the last eight days: the user's" eval '! sample'
home_with other .claude/projects/a/notes.txt "1 minute ago" .claude/s.jsonl "1 minute ago"
check "recent files that are not logs, or not where logs go: the sample home" sample
home_with set
CLAUDE_CONFIG_DIR=/somewhere
check "CLAUDE_CONFIG_DIR set: the user's" eval '! sample'
finish
