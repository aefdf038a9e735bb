#!/usr/bin/env bash
# Times the native status line command on a realistic 4 KB input, as Claude Code runs it after
# every reply: the median wall time over many runs and the peak memory of one run.
# Usage: statusline_bench.sh <tidewell executable>
set -euo pipefail
exe=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

{
    printf '{"hook_event_name":"Status","session_id":"9b2e6c1d-3f4a-4e5b-8c7d-1a2b3c4d5e6f",'
    printf '"transcript_path":"/home/dev/.claude/projects/-home-dev-app/9b2e6c1d.jsonl",'
    printf '"cwd":"/home/dev/app","model":{"id":"claude-opus-4-1-20250805","display_name":"Opus"},'
    printf '"workspace":{"current_dir":"/home/dev/app","project_dir":"/home/dev/app"},'
    printf '"version":"1.0.80","output_style":{"name":"default"},"cost":{"total_cost_usd":1.234,'
    printf '"total_duration_ms":345678,"total_api_duration_ms":123456,"total_lines_added":120,'
    printf '"total_lines_removed":30},"exceeds_200k_tokens":false,"notes":"'
    head -c 3200 /dev/zero | tr '\0' 'n'
    printf '","rate_limits":{"five_hour":{"used_percentage":42.5,"resets_at":1757600000},'
    printf '"seven_day":{"used_percentage":17,"resets_at":"2025-09-14T08:00:00.000Z"}}}'
} >"$work/input.json"
echo "input: $(wc -c <"$work/input.json") bytes; line: $("$exe" --statusline <"$work/input.json")"

hyperfine --warmup 20 --runs 300 --export-json "$work/times.json" --style none \
    "$exe --statusline < $work/input.json" >/dev/null 2>&1
python3 - "$work/times.json" <<'PY'
import json, sys
result = json.load(open(sys.argv[1]))["results"][0]
print("median wall time: %.2f ms (mean %.2f ms, min %.2f ms, %d runs)" % (
    result["median"] * 1000, result["mean"] * 1000, result["min"] * 1000, len(result["times"])))
PY
/usr/bin/time -f "peak memory: %M KB" "$exe" --statusline <"$work/input.json" >/dev/null
