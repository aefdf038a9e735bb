#!/usr/bin/env python3
"""Copies a fixture home folder, filling in times relative to now.

@T-N@ becomes the ISO-8601 UTC time N seconds ago (with milliseconds, as Claude Code and Codex
write it); @U+N@ becomes the Unix time N seconds from now.
Usage: make_home.py FIXTURE_DIR DEST_DIR
"""
import datetime
import os
import re
import shutil
import sys
import time


def fill(text, now):
    def iso(match):
        moment = datetime.datetime.fromtimestamp(now - int(match.group(1)), datetime.timezone.utc)
        return moment.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (moment.microsecond // 1000)

    text = re.sub(r"@T-(\d+)@", iso, text)
    return re.sub(r"@U\+(\d+)@", lambda m: str(int(now) + int(m.group(1))), text)


def main(source, dest):
    now = time.time()
    shutil.rmtree(dest, ignore_errors=True)
    for folder, _, files in os.walk(source):
        target = os.path.join(dest, os.path.relpath(folder, source))
        os.makedirs(target, exist_ok=True)
        for name in files:
            with open(os.path.join(folder, name), "r", encoding="utf-8", newline="") as f:
                text = f.read()
            with open(os.path.join(target, name), "w", encoding="utf-8", newline="") as f:
                f.write(fill(text, now))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
