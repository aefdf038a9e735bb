#!/usr/bin/env python3
"""Writes a home of Claude Code and Codex logs spread over the 40 days before today, and what the
usage ledger should hold for each of those days.

Every record falls between 09:00 and 15:00 local time, so that its day is the same whatever
time zone the program under test takes. Claude Code's files are one session per project and
day; some records are written twice (a second file of the same day, and a session resumed weeks
later that repeats the start of an old one): they count once. Codex has an old and a recent
session, with a repeated token count that is no new turn. Each file's modification time is its
last record's.

Writes DEST/.claude, DEST/.codex, and the JSON file EXPECTED:
  {"days": {"YYYY-MM-DD": {"claude": {totals}, "codex": {totals}}},
   "gone_files": [the files to delete: those whose records are all older than 30 days, and
                  one of the three sessions of 5 days ago, a day the program keeps exact],
   "kept_days": [days none of whose files are to be deleted]}
where totals are messages, input, output, cache_write_5m, cache_write_1h, cache_read, dollars
(Claude's at the API's rates; Codex's are not checked).
Usage: make_history_home.py DEST EXPECTED [NOW]
"""
import datetime
import json
import os
import random
import sys
import time

DAYS = 40
OLD_AFTER_DAYS = 30

# US dollars per million tokens: input, output, 5-minute cache write, 1-hour cache write, cache
# read. Each request's whole input stays under 200,000 tokens, below Sonnet's long-context rates.
MODELS = {
    "claude-opus-4-1-20250805": (15, 75, 18.75, 30, 1.5),
    "claude-sonnet-4-5-20250929": (3, 15, 3.75, 6, 0.3),
    "claude-haiku-4-5-20251001": (1, 5, 1.25, 2, 0.1),
}
PROJECTS = ["/home/dev/app", "/home/dev/api", "/home/dev/tools/site"]
FIELDS = ["messages", "input", "output", "cache_write_5m", "cache_write_1h", "cache_read"]


def iso(t):
    moment = datetime.datetime.fromtimestamp(t, datetime.timezone.utc)
    return moment.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (moment.microsecond // 1000)


def local_day(t):
    return time.strftime("%Y-%m-%d", time.localtime(t))


def at_local(day, hour, minute, second):
    return time.mktime((day.year, day.month, day.day, hour, minute, second, 0, 0, -1))


def empty():
    return {**{f: 0 for f in FIELDS}, "dollars": 0.0}


def claude_reply(rng, t, project, session, model, msg_id):
    usage = {
        "input": rng.randint(1, 400),
        "output": rng.randint(20, 4000),
        "cache_write_5m": rng.choice([0, rng.randint(100, 20000)]),
        "cache_write_1h": rng.choice([0, 0, rng.randint(100, 30000)]),
        "cache_read": rng.randint(0, 120000),
    }
    line = {
        "parentUuid": "u-" + msg_id, "isSidechain": False, "userType": "external", "cwd": project,
        "sessionId": session, "version": "2.0.14", "gitBranch": "main",
        "message": {
            "id": msg_id, "type": "message", "role": "assistant", "model": model,
            "content": [{"type": "text", "text": "Done."}], "stop_reason": "end_turn",
            "stop_sequence": None,
            "usage": {
                "input_tokens": usage["input"],
                "cache_creation_input_tokens": usage["cache_write_5m"] + usage["cache_write_1h"],
                "cache_read_input_tokens": usage["cache_read"],
                "cache_creation": {"ephemeral_5m_input_tokens": usage["cache_write_5m"],
                                   "ephemeral_1h_input_tokens": usage["cache_write_1h"]},
                "output_tokens": usage["output"], "service_tier": "standard"}},
        "requestId": "req_" + msg_id[4:], "type": "assistant", "uuid": "a-" + msg_id,
        "timestamp": iso(t)}
    rates = MODELS[model]
    dollars = sum(usage[k] * r for k, r in zip(
        ["input", "output", "cache_write_5m", "cache_write_1h", "cache_read"], rates)) / 1e6
    return json.dumps(line, separators=(",", ":")), usage, dollars


def user_line(t, project, session, msg_id):
    return json.dumps({"parentUuid": None, "isSidechain": False, "userType": "external",
                       "cwd": project, "sessionId": session, "type": "user",
                       "message": {"role": "user", "content": "Go on."}, "uuid": "u-" + msg_id,
                       "timestamp": iso(t - 4)}, separators=(",", ":"))


def write(path, lines, last_time):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\n".join(lines) + "\n")
    os.utime(path, (last_time, last_time))


def main(dest, expected_path, now):
    rng = random.Random(24)
    today = datetime.date.fromtimestamp(now)
    days = {}
    gone_files = []
    seen = set()  # message ids counted already
    files = []  # (path, lines, last time, days of its records)
    kept_lines = {}  # day offset -> lines of its first file, for the copies

    def count(day, usage, dollars, msg_id):
        if msg_id in seen:
            return
        seen.add(msg_id)
        totals = days.setdefault(day, {"claude": empty(), "codex": empty()})["claude"]
        totals["messages"] += 1
        for k, v in usage.items():
            totals[k] += v
        totals["dollars"] += dollars

    for offset in range(DAYS, 0, -1):
        day = today - datetime.timedelta(days=offset)
        for p, project in enumerate(PROJECTS[: 1 + offset % 3]):
            session = "%04d-%d" % (offset, p)
            t = at_local(day, 9 + p * 2, rng.randint(0, 30), rng.randint(0, 59))
            lines = []
            for n in range(rng.randint(2, 5)):
                t += rng.randint(30, 900)
                model = list(MODELS)[(offset + p + n) % len(MODELS)]
                msg_id = "msg_01%04d%d%02d" % (offset, p, n)
                line, usage, dollars = claude_reply(rng, t, project, session, model, msg_id)
                lines += [user_line(t, project, session, msg_id), line]
                count(local_day(t), usage, dollars, msg_id)
            folder = os.path.join(dest, ".claude", "projects", project.replace("/", "-"))
            files.append((os.path.join(folder, session + ".jsonl"), lines, t, {local_day(t)}))
            kept_lines.setdefault(offset, lines)

    # Copies: a second file of the same day holding the first file's replies (35 days ago), and
    # a session resumed 10 days ago that starts with the replies of one 33 days ago.
    def replies(offset):
        return [line for line in kept_lines[offset] if '"type":"assistant"' in line]

    day35 = today - datetime.timedelta(days=35)
    t35 = at_local(day35, 14, 50, 0)
    folder = os.path.join(dest, ".claude", "projects", "-home-dev-app")
    files.append((os.path.join(folder, "0035-copy.jsonl"), replies(35), t35, {local_day(t35)}))
    day10 = today - datetime.timedelta(days=10)
    t10 = at_local(day10, 14, 40, 0)
    line, usage, dollars = claude_reply(rng, t10, "/home/dev/api", "0010-r",
                                        "claude-sonnet-4-5-20250929", "msg_01resumed")
    count(local_day(t10), usage, dollars, "msg_01resumed")
    files.append((os.path.join(dest, ".claude", "projects", "-home-dev-api", "0010-resumed.jsonl"),
                  replies(33) + [line], t10,
                  {local_day(t10), local_day(at_local(today - datetime.timedelta(days=33), 12, 0, 0))}))

    # Codex: an old session and a recent one; each token count's running total grows, and one
    # count is repeated (only the limits moved).
    for offset, model in ((36, "gpt-5-codex"), (5, "gpt-5")):
        day = today - datetime.timedelta(days=offset)
        t = at_local(day, 10, 5, 0)
        cwd = "/home/dev/app"
        lines = [
            json.dumps({"timestamp": iso(t), "type": "session_meta",
                        "payload": {"id": "c%d" % offset, "cwd": cwd, "originator": "codex_cli_rs",
                                    "cli_version": "0.46.0"}}, separators=(",", ":")),
            json.dumps({"timestamp": iso(t + 1), "type": "turn_context",
                        "payload": {"cwd": cwd, "model": model, "approval_policy": "on-request"}},
                       separators=(",", ":")),
        ]
        total = {"input_tokens": 0, "cached_input_tokens": 0, "output_tokens": 0,
                 "reasoning_output_tokens": 0, "total_tokens": 0}
        totals = days.setdefault(local_day(t), {"claude": empty(), "codex": empty()})["codex"]
        for n in range(4):
            t += rng.randint(60, 600)
            turn = {"input_tokens": rng.randint(2000, 40000), "output_tokens": rng.randint(50, 3000)}
            turn["cached_input_tokens"] = rng.randint(0, turn["input_tokens"])
            turn["reasoning_output_tokens"] = rng.randint(0, turn["output_tokens"])
            turn["total_tokens"] = turn["input_tokens"] + turn["output_tokens"]
            for k in total:
                total[k] += turn[k]
            event = {"timestamp": iso(t), "type": "event_msg",
                     "payload": {"type": "token_count",
                                 "info": {"total_token_usage": dict(total),
                                          "last_token_usage": turn,
                                          "model_context_window": 272000},
                                 "rate_limits": {"primary": {"used_percent": 5.0 + n,
                                                             "window_minutes": 300,
                                                             "resets_in_seconds": 9000}}}}
            lines.append(json.dumps(event, separators=(",", ":")))
            totals["messages"] += 1
            totals["input"] += turn["input_tokens"] - turn["cached_input_tokens"]
            totals["cache_read"] += turn["cached_input_tokens"]
            totals["output"] += turn["output_tokens"]
            if n == 1:  # the same count again, with other limits
                t += 5
                event["timestamp"] = iso(t)
                event["payload"]["rate_limits"]["primary"]["used_percent"] += 0.5
                lines.append(json.dumps(event, separators=(",", ":")))
        folder = os.path.join(dest, ".codex", "sessions", day.strftime("%Y/%m/%d"))
        files.append((os.path.join(folder, "rollout-%sT10-05-00-c%d.jsonl"
                                    % (day.isoformat(), offset)), lines, t, {local_day(t)}))

    old_before = at_local(today - datetime.timedelta(days=OLD_AFTER_DAYS), 0, 0, 0)
    gone_days = set()
    # A session 5 days ago goes too, as if deleted by hand while the program was not running.
    for path, lines, last, file_days in files:
        write(path, lines, last)
        if last < old_before or path.endswith(os.sep + "0005-1.jsonl"):
            gone_files.append(path)
            gone_days |= file_days
    for day in days.values():
        for totals in day.values():
            totals["dollars"] = round(totals["dollars"], 6)
    with open(expected_path, "w", encoding="utf-8") as f:
        json.dump({"days": days, "gone_files": sorted(gone_files),
                   "kept_days": sorted(set(days) - gone_days)}, f, indent=1, sort_keys=True)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], float(sys.argv[3]) if len(sys.argv) > 3 else time.time())
