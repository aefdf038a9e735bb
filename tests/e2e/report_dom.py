#!/usr/bin/env python3
"""Checks the usage report as Chromium parsed it (its --dump-dom on standard input).

Prints one line per finding and exits non-zero when the page is not as the program means it:
the two tables with a header row each, days oldest first with bars truncated against the busiest
day (which gets 100%), windows newest first with the open one marked " (now)" and only the first.
Usage: report_dom.py DAYS WINDOWS < dom.html
"""
import html.parser
import re
import sys


class Tables(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.tables = []  # each a list of rows, each a list of (cell text, bar width or None)
        self.cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "table":
            self.tables.append([])
        elif tag == "tr" and self.tables:
            self.tables[-1].append([])
        elif tag in ("td", "th") and self.tables and self.tables[-1]:
            self.cell = ["", None]
            self.tables[-1][-1].append(self.cell)
        elif tag == "div" and self.cell is not None and attrs.get("class") == "bar":
            width = re.fullmatch(r"width:(\d+)%", attrs.get("style", ""))
            self.cell[1] = int(width.group(1)) if width else -1

    def handle_data(self, data):
        if self.cell is not None:
            self.cell[0] += data


def main():
    days_expected, windows_expected = int(sys.argv[1]), int(sys.argv[2])
    parser = Tables()
    parser.feed(sys.stdin.read())
    problems = []
    if len(parser.tables) != 2:
        problems.append("tables: %d" % len(parser.tables))
    else:
        days, windows = parser.tables[0][1:], parser.tables[1][1:]
        if len(days) != days_expected or len(windows) != windows_expected:
            problems.append("rows: %d days, %d windows" % (len(days), len(windows)))
        dates = [row[0][0] for row in days]
        if dates != sorted(dates):
            problems.append("days out of order: %s" % dates)
        widths = [row[2][1] for row in days]
        if any(w is None or not 0 <= w <= 100 for w in widths) or (widths and max(widths) != 100):
            problems.append("bar widths: %s" % widths)
        open_rows = [i for i, row in enumerate(windows) if row[0][0].endswith(" (now)")]
        if open_rows not in ([], [0]):
            problems.append("open window rows: %s" % open_rows)
        print("days %s widths %s; %d windows" % (dates, widths, len(windows)))
    for problem in problems:
        print("FAILED:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
