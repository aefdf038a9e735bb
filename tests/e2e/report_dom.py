#!/usr/bin/env python3
"""Checks the usage report as Chromium parsed it (its --dump-dom on standard input).

Prints one line per finding and exits non-zero when the page is not as the program means it:
the tables of the last days and of the 5-hour windows (found by their headings; the history's
tables follow them) once each, with a header row each, days oldest first with bars truncated against the busiest
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
        self.headings = []  # the heading above each table
        self.heading = None  # the text of the open <h2>, or the last one once closed
        self.in_heading = False
        self.cell = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "h2":
            self.heading, self.in_heading = "", True
        elif tag == "table":
            self.tables.append([])
            self.headings.append(self.heading)
        elif tag == "tr" and self.tables:
            self.tables[-1].append([])
        elif tag in ("td", "th") and self.tables and self.tables[-1]:
            self.cell = ["", None]
            self.tables[-1][-1].append(self.cell)
        elif tag == "div" and self.cell is not None and attrs.get("class") == "bar":
            width = re.fullmatch(r"width:(\d+)%", attrs.get("style", ""))
            self.cell[1] = int(width.group(1)) if width else -1

    def handle_endtag(self, tag):
        if tag == "h2":
            self.in_heading = False

    def handle_data(self, data):
        if self.in_heading:
            self.heading += data
        if self.cell is not None:
            self.cell[0] += data


def main():
    days_expected, windows_expected = int(sys.argv[1]), int(sys.argv[2])
    parser = Tables()
    parser.feed(sys.stdin.read())
    problems = []
    days_at = [i for i, h in enumerate(parser.headings) if h.startswith("Claude Code, last")]
    windows_at = [i for i, h in enumerate(parser.headings) if h == "5-hour windows"]
    if days_at != [0] or windows_at != [1]:
        problems.append("tables under headings: %s" % parser.headings)
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
        print("days %s widths %s; %d windows; %d more tables" %
              (dates, widths, len(windows), len(parser.tables) - 2))
    for problem in problems:
        print("FAILED:", problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
