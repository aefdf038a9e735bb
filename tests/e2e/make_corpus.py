#!/usr/bin/env python3
"""Writes a large home of realistic Claude Code and Codex logs, dated within the last days.

Lines are shaped like Claude Code's (about 2.8 KB each: user prompts with text and tool output,
assistant replies with a usage object), spread over project folders and session files.
Usage: make_corpus.py DEST_DIR MEGABYTES
"""
import datetime
import os
import random
import sys
import time

FILE_BYTES = 150_000


def iso(t):
    moment = datetime.datetime.fromtimestamp(t, datetime.timezone.utc)
    return moment.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (moment.microsecond // 1000)


def session(rng, start, index):
    filler = "".join(rng.choice("abcdefghij klmnopqrstuvwxyz.,;()") for _ in range(2200))
    lines, size, t, n = [], 0, start, 0
    while size < FILE_BYTES:
        n += 1
        t += rng.randint(5, 90)
        user = ('{"parentUuid":null,"type":"user","message":{"role":"user","content":"%s"},'
                '"uuid":"u%d-%d","timestamp":"%s"}' % (filler[: rng.randint(200, 2200)], index, n, iso(t)))
        reply = ('{"parentUuid":"u%d-%d","isSidechain":false,"type":"assistant","cwd":"/home/dev/app",'
                 '"sessionId":"s%d","version":"2.0.1","message":{"id":"msg_%d_%d","type":"message",'
                 '"role":"assistant","model":"claude-sonnet-4-5-20250929","content":[{"type":"text",'
                 '"text":"%s"}],"stop_reason":"end_turn","usage":{"input_tokens":%d,'
                 '"cache_creation_input_tokens":%d,"cache_read_input_tokens":%d,"output_tokens":%d,'
                 '"service_tier":"standard"}},"requestId":"req_%d_%d","uuid":"a%d-%d","timestamp":"%s"}'
                 % (index, n, index, index, n, filler[: rng.randint(100, 600)], rng.randint(1, 40),
                    rng.randint(0, 3000), rng.randint(1000, 60000), rng.randint(20, 900),
                    index, n, index, n, iso(t + 3)))
        lines.append(user)
        lines.append(reply)
        size += len(user) + len(reply) + 2
    return "\n".join(lines) + "\n"


def main(dest, megabytes):
    rng = random.Random(7)
    now = time.time()
    files = max(1, megabytes * 1_000_000 // FILE_BYTES)
    for i in range(files):
        folder = os.path.join(dest, ".claude", "projects", "-home-dev-project%d" % (i % 40))
        os.makedirs(folder, exist_ok=True)
        start = now - 6 * 86400 + i * (6 * 86400 // files)
        path = os.path.join(folder, "session-%05d.jsonl" % i)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(session(rng, start, i))
    sessions = os.path.join(dest, ".codex", "sessions", "2026", "01", "01")
    os.makedirs(sessions, exist_ok=True)
    with open(os.path.join(sessions, "rollout-a.jsonl"), "w", encoding="utf-8", newline="") as f:
        f.write('{"timestamp":"%s","type":"event_msg","payload":{"type":"token_count","rate_limits":'
                '{"primary":{"used_percent":25.0,"window_minutes":300,"resets_at":%d}}}}\n'
                % (iso(now - 60), int(now) + 3600))


if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
