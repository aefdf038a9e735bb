#!/usr/bin/env python3
"""Reads the usage ledger, the history CSV and the report's chart back, and compares them with
what the fixture home holds (make_history_home.py's EXPECTED) or with each other.

Totals are per day and tool (claude, codex), summed over places, projects and models.
Prints one line per difference; exits non-zero when there is any.

  history_check.py wait DB EXPECTED SECONDS   until the ledger holds every day of EXPECTED with
                                              its figures (Claude's dollars within a cent)
  history_check.py save DB OUT                the ledger's per-day totals, as JSON
  history_check.py same DB SAVED [DAYS...]    the ledger's totals equal SAVED's (only DAYS when
                                              given, as a JSON file of a list or "kept:EXPECTED")
  history_check.py csv CSV SAVED              the CSV's per-day totals equal SAVED's
  history_check.py report DOM SAVED           the chart (Chromium's DOM): a bar per day of SAVED,
                                              its title's figures SAVED's dollars
"""
import csv
import datetime
import json
import math
import re
import sqlite3
import sys
import time
import html.parser

FIELDS = ["messages", "input", "output", "cache_write_5m", "cache_write_1h", "cache_read"]
TOOLS = {0: "claude", 1: "codex"}
HEADER = ("day,machine,tool,place,project,model,messages,input,output,cache_write_5m,"
          "cache_write_1h,cache_read,dollars,estimated").split(",")
FAMILIES = ["Opus", "Sonnet", "Haiku", "Other Claude", "Codex"]


def family(tool, model):
    if tool == "codex":
        return "Codex"
    lower = model.lower()
    for name in ("opus", "sonnet", "haiku"):
        if name in lower:
            return name.capitalize()
    return "Other Claude"


def empty():
    return {**{f: 0 for f in FIELDS}, "dollars": 0.0, "families": {}, "rows": 0}


def add(days, day, tool, model, counts, dollars):
    totals = days.setdefault(day, {}).setdefault(tool, empty())
    for f, v in zip(FIELDS, counts):
        totals[f] += v
    totals["dollars"] += dollars
    totals["rows"] += 1
    fam = family(tool, model)
    totals["families"][fam] = totals["families"].get(fam, 0.0) + dollars


def ledger(path):
    """Per-day totals of the ledger at `path`, read-only; raises sqlite3.Error when unreadable."""
    db = sqlite3.connect("file:%s?mode=ro" % path, uri=True, timeout=2)
    try:
        rows = db.execute(
            "SELECT u.day, u.tool, n.name, u.messages, u.input, u.output, u.cache_write_5m,"
            " u.cache_write_1h, u.cache_read, u.dollars FROM usage u JOIN names n ON n.id = u.model"
        ).fetchall()
    finally:
        db.close()
    days = {}
    epoch = datetime.date(1970, 1, 1)
    for day, tool, model, *rest in rows:
        text = (epoch + datetime.timedelta(days=day)).isoformat()
        add(days, text, TOOLS.get(tool, "tool %d" % tool), model, rest[:6], rest[6])
    return days


def from_csv(path):
    days = {}
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    problems = []
    if not text.endswith("\r\n"):
        problems.append("the CSV does not end with CR LF")
    records = list(csv.reader(text.splitlines()))
    if not records or records[0][: len(HEADER)] != HEADER:
        problems.append("CSV header: %s" % (records[0] if records else "none"))
        return days, problems
    for record in records[1:]:
        row = dict(zip(HEADER, record))
        if not re.fullmatch(r"-?\d+\.\d\d", row["dollars"]):
            problems.append("CSV dollars not two decimals: %s" % row["dollars"])
        add(days, row["day"], row["tool"], row["model"], [int(row[f]) for f in FIELDS],
            float(row["dollars"]))
    return days, problems


def compare(got, want, what, days=None, cent=0.0, cent_per_row=0.0, counts_only_tools=()):
    """Differences between two per-day maps: the counts equal, the dollars within `cent` and
    `cent_per_row` for each row `got` summed (else a millionth), except for `counts_only_tools`."""
    problems = []
    names = sorted(set(got) | set(want)) if days is None else sorted(days)
    for day in names:
        for tool in sorted(set(got.get(day, {})) | set(want.get(day, {}))):
            g = got.get(day, {}).get(tool, empty())
            w = want.get(day, {}).get(tool, empty())
            if w["messages"] == 0 and g["messages"] == 0:
                continue
            for f in FIELDS:
                if g[f] != w[f]:
                    problems.append("%s %s %s: %s %s, expected %s" % (what, day, tool, f, g[f], w[f]))
            if tool not in counts_only_tools:
                tolerance = max(cent + cent_per_row * g.get("rows", 0), 1e-6)
                if abs(g["dollars"] - w["dollars"]) > tolerance:
                    problems.append("%s %s %s: dollars %.6f, expected %.6f"
                                    % (what, day, tool, g["dollars"], w["dollars"]))
    return problems


def expected_days(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


class Bars(html.parser.HTMLParser):
    """The chart's bars: the text of each <title> in an <svg>'s <g>."""

    def __init__(self):
        super().__init__()
        self.svgs = 0
        self.depth = []
        self.titles = []
        self.text = None

    def handle_starttag(self, tag, attrs):
        if tag == "svg":
            self.svgs += 1
        if tag == "title" and self.depth and self.depth[-1] == "g":
            self.text = ""
        self.depth.append(tag)

    def handle_endtag(self, tag):
        if tag == "title" and self.text is not None:
            self.titles.append(self.text)
            self.text = None
        while self.depth:
            if self.depth.pop() == tag:
                break

    def handle_data(self, data):
        if self.text is not None:
            self.text += data


def check_report(dom_path, saved):
    parser = Bars()
    with open(dom_path, encoding="utf-8") as f:
        parser.feed(f.read())
    problems = []
    if parser.svgs == 0:
        return ["the report has no chart (no <svg>)"]
    titles = {}
    for title in parser.titles:
        match = re.fullmatch(r"(\d{4}-\d\d-\d\d): \$(-?\d+\.\d\d) \((.*)\)", title)
        if not match:
            problems.append("bar title not understood: %r" % title)
            continue
        families = {}
        for part in match.group(3).split(", "):
            name, _, dollars = part.rpartition(" $")
            families[name] = float(dollars)
        titles[match.group(1)] = (float(match.group(2)), families)
    if sorted(titles) != sorted(saved):
        problems.append("bars for %d days, the ledger has %d: missing %s, extra %s" % (
            len(titles), len(saved), sorted(set(saved) - set(titles)),
            sorted(set(titles) - set(saved))))
    # Each figure is the ledger's rounded to the cent (a half cent either way is a tie).
    close = lambda shown, exact: abs(shown - exact) <= 0.005 + 1e-6
    for day in sorted(set(titles) & set(saved)):
        total, families = titles[day]
        want = {}
        for tool in saved[day].values():
            for name, dollars in tool["families"].items():
                want[name] = want.get(name, 0.0) + max(0.0, dollars)
        if not close(total, sum(want.values())):
            problems.append("%s: the bar says $%.2f, the ledger $%.6f" % (day, total, sum(want.values())))
        if list(families) != sorted(want, key=FAMILIES.index):
            problems.append("%s: families %s, the ledger's %s" % (day, list(families), list(want)))
        for name in set(families) & set(want):
            if not close(families[name], want[name]):
                problems.append("%s: %s $%.2f, the ledger $%.6f" % (day, name, families[name], want[name]))
    print("chart: %d bars, e.g. %r" % (len(parser.titles), parser.titles[-1] if parser.titles else ""))
    return problems


def main(argv):
    command = argv[1]
    problems = []
    if command == "wait":
        db, expected, seconds = argv[2], expected_days(argv[3]), float(argv[4])
        deadline = time.time() + seconds
        while True:
            try:
                problems = compare(ledger(db), expected["days"], "ledger", cent=0.01,
                                   counts_only_tools=("codex",))
            except sqlite3.Error as error:
                problems = ["the ledger cannot be read: %s" % error]
            if not problems or time.time() > deadline:
                break
            time.sleep(1)
        if not problems:
            print("the ledger holds the %d days (after %.0f s)" % (
                len(expected["days"]), seconds - (deadline - time.time())))
    elif command == "save":
        with open(argv[3], "w", encoding="utf-8") as f:
            json.dump(ledger(argv[2]), f, indent=1, sort_keys=True)
    elif command == "same":
        saved = expected_days(argv[3])
        days = None
        if len(argv) > 4:
            days = expected_days(argv[4][5:])["kept_days"] if argv[4].startswith("kept:") \
                else expected_days(argv[4])
        problems = compare(ledger(argv[2]), saved, "ledger", days=days)
    elif command == "csv":
        saved = expected_days(argv[3])
        got, problems = from_csv(argv[2])
        # Each row's dollars are rounded to the cent: the day's sum is within half a cent a row.
        problems += compare(got, saved, "CSV", cent_per_row=0.005 + 1e-6)
        print("CSV: %d rows over %d days" % (sum(t["rows"] for d in got.values()
                                                   for t in d.values()), len(got)))
    elif command == "report":
        problems = check_report(argv[2], expected_days(argv[3]))
    else:
        problems = ["unknown command %s" % command]
    for problem in problems[:20]:
        print("FAILED:", problem)
    if len(problems) > 20:
        print("... and %d more" % (len(problems) - 20))
    return 1 if problems else 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except (OSError, ValueError, KeyError, sqlite3.Error) as error:
        print("FAILED: %s: %s" % (type(error).__name__, error))
        sys.exit(1)
