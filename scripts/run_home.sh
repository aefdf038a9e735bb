# Which home `scripts/run.sh` shows: the user's own logs when they hold something recent, else the
# repository's sample home, so that a first try never shows an empty panel. POSIX sh, sourced by
# run.sh and by its test.

# has_recent_logs HOME: true when HOME holds a Claude Code or Codex log (a .jsonl under
# .claude/projects or .codex/sessions) written in the last eight days, the span Tidewell reads.
has_recent_logs() {
    for logs in "$1/.claude/projects" "$1/.codex/sessions"; do
        [ -d "$logs" ] || continue
        if [ -n "$(find "$logs" -type f -name '*.jsonl' -mtime -8 -print 2>/dev/null | head -n 1)" ]; then
            return 0
        fi
    done
    return 1
}

# sample_home_reason HOME: prints why the sample home is shown and is true, or prints nothing and
# is false when HOME's logs are shown (or CLAUDE_CONFIG_DIR or CODEX_HOME name the user's own).
sample_home_reason() {
    [ -z "${CLAUDE_CONFIG_DIR:-}${CODEX_HOME:-}" ] || return 1
    if [ ! -d "$1/.claude" ] && [ ! -d "$1/.codex" ]; then
        echo "No ~/.claude or ~/.codex on this machine"
        return 0
    fi
    has_recent_logs "$1" && return 1
    echo "No Claude Code or Codex log from the last eight days in ~/.claude or ~/.codex"
}
