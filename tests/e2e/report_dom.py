#!/usr/bin/env python3
"""Checks the usage report as Chromium parsed it (its --dump-dom on standard input).

Prints one line per finding and exits non-zero when the page is not as the program means it:
the heading with the time the report was made; the tables of the last days and of the 5-hour
windows (found by their headings; the history's tables follow them) once each, with a header row
each whose number columns' heads carry the class of their numbers; every day of at least eight in
a row, oldest first, DAYS of them with use (a count, or "MIN-MAX" for logs whose times are
relative to now and so fall on more or fewer dates by the time of day) and bars truncated against the busiest day (which gets
100%), the others with empty cells; windows newest first with the open one marked " (now)" and
only the first.
Usage: report_dom.py DAYS WINDOWS < dom.html
"""
import datetime
import html.parser
import re
import sys


class Tables(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.tables = []  # each a list of rows, each a list of [cell text, bar width or None, class]
        self.headings = []  # the heading above each table
        self.heading = None  # the text of the open <h2>, or the last one once closed
        self.in_heading = False
        self.cell = None
        self.paragraphs = []  # the text of each <p>
        self.in_paragraph = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "p":
            self.paragraphs.append("")
            self.in_paragraph = True
        if tag == "h2":
            self.heading, self.in_heading = "", True
        elif tag == "table":
            self.tables.append([])
            self.headings.append(self.heading)
        elif tag == "tr" and self.tables:
            self.tables[-1].append([])
        elif tag in ("td", "th") and self.tables and self.tables[-1]:
            self.cell = ["", None, attrs.get("class")]
            self.tables[-1][-1].append(self.cell)
        elif tag == "div" and self.cell is not None and attrs.get("class") == "bar":
            width = re.fullmatch(r"width:(\d+)%", attrs.get("style", ""))
            self.cell[1] = int(width.group(1)) if width else -1

    def handle_endtag(self, tag):
        if tag in ("td", "th"):
            self.cell = None
        if tag == "h2":
            self.in_heading = False
        if tag == "p":
            self.in_paragraph = False

    def handle_data(self, data):
        if self.in_heading:
            self.heading += data
        if self.cell is not None:
            self.cell[0] += data
        if self.in_paragraph:
            self.paragraphs[-1] += data


def main():
    low, _, high = sys.argv[1].partition("-")
    days_expected, windows_expected = range(int(low), int(high or low) + 1), int(sys.argv[2])
    parser = Tables()
    parser.feed(sys.stdin.read())
    problems = []
    made = parser.paragraphs[0] if parser.paragraphs else ""
    if not re.fullmatch(r"Made (Sun|Mon|Tue|Wed|Thu|Fri|Sat), [A-Z][a-z]{2} \d{1,2}, \d{4} at "
                        r"(1[0-2]|[1-9]):[0-5]\d (AM|PM)", made):
        problems.append("heading's time: %r" % made)
    for table in parser.tables:
        heads, first = table[0], table[1] if len(table) > 1 else table[0]
        if [cell[2] for cell in heads] != [cell[2] for cell in first]:  # "n": numbers, right
            problems.append("heads %s over cells of classes %s" %
                            ([cell[0] for cell in heads], [cell[2] for cell in first]))
    days_at = [i for i, h in enumerate(parser.headings) if h.startswith("Claude Code, last")]
    windows_at = [i for i, h in enumerate(parser.headings) if h == "5-hour windows"]
    if days_at != [0] or windows_at != [1]:
        problems.append("tables under headings: %s" % parser.headings)
    else:
        days, windows = parser.tables[0][1:], parser.tables[1][1:]
        used = [row for row in days if row[1][0]]
        if len(used) not in days_expected or len(days) < 8 or len(windows) != windows_expected:
            problems.append("rows: %d days, %d with use, %d windows" %
                            (len(days), len(used), len(windows)))
        dates = [row[0][0] for row in days]
        try:
            numbers = [datetime.date.fromisoformat(d).toordinal() for d in dates]
        except ValueError:
            numbers = [0, 0]
        if numbers and numbers != list(range(numbers[0], numbers[0] + len(numbers))):
            problems.append("not every day, oldest first: %s" % dates)
        if any(row[2][0] or row[2][1] is not None for row in days if not row[1][0]):
            problems.append("a day without use is not empty")
        widths = [row[2][1] for row in used]
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
