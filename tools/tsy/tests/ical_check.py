#!/usr/bin/python3
"""An independent reader checks tsy's iCalendar files: Debian's python3-icalendar parses every
file `tsy export` writes and must see the same events and rules as the reminders hold.

    ical_check.py TSY_PROGRAM FIXTURE_DIR

The data files are packed here with struct, apart from tsy's own encoder. Exit 0 when every
check holds; each failure is printed."""
import datetime
import os
import struct
import subprocess
import sys
import tempfile

import icalendar

TSY, FIXTURES = sys.argv[1], sys.argv[2]
TODAY = "2026-12-08"
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what)


def record(kind, text, date, time_or_year=0, notify=0, period=1, frequency=1):
    desc = text.encode("cp1252").ljust(48, b" ")[:48]
    return struct.pack("<B48sihBBB", kind, desc, date, time_or_year, notify, period, frequency)


def data_file(path, current, archive=()):
    with open(path, "wb") as f:
        f.write(b"3.03" + struct.pack("<i", len(current)) + b"".join(current))
        f.write(struct.pack("<i", len(archive)) + b"".join(archive))


def tsy(*args):
    run = subprocess.run([TSY, *args], capture_output=True)
    check(run.returncode == 0, f"tsy {' '.join(args)} exit {run.returncode}: {run.stderr!r}")
    return run


def parse(raw, name):
    """Parses raw bytes with the independent reader; every physical line ends in CR LF and
    holds at most 75 octets."""
    lines = raw.split(b"\r\n")
    check(lines[-1] == b"", f"{name}: ends in CR LF")
    for n, line in enumerate(lines[:-1], 1):
        check(b"\n" not in line and b"\r" not in line, f"{name} line {n}: a bare line end")
        check(len(line) <= 75, f"{name} line {n}: {len(line)} octets")
    cal = icalendar.Calendar.from_ical(raw)
    for comp in cal.walk():
        check(not comp.errors, f"{name}: {comp.name} errors {comp.errors}")
    return cal


def alarm_days(event):
    triggers = [a.get("trigger").dt for a in event.walk("VALARM")]
    return [-t.days for t in triggers]


# (record, what the reader must see: summary, start, rule, categories, alarm days, year)
D = datetime.date
T = datetime.datetime
CASES = [
    (record(1, "Anna, \"Nan\"; born at home", 20270314, 1985, 2, 1, 2),
     ("Anna, \"Nan\"; born at home", D(2027, 3, 14), {"FREQ": ["YEARLY"]}, ["birthday"], [2], 1985)),
    (record(2, "Wedding", 20270612, 2010, 7, 1, 2),
     ("Wedding", D(2027, 6, 12), {"FREQ": ["YEARLY"]}, ["anniversary"], [7], 2010)),
    (record(3, "Pay rent \\ or else", 20261231, 0, 0, 1, 3),
     ("Pay rent \\ or else", D(2026, 12, 31),
      {"FREQ": ["MONTHLY"], "INTERVAL": [1], "BYMONTHDAY": [31]}, ["reminder"], [], None)),
    (record(3, "Bins out", 20261210, 730, 1, 2, 4),
     ("Bins out", T(2026, 12, 10, 7, 30), {"FREQ": ["WEEKLY"], "INTERVAL": [2]}, ["reminder"],
      [1], None)),
    (record(4, "Dentist", 20261225, 1430, 3, 1, 1),
     ("Dentist", T(2026, 12, 25, 14, 30), None, ["appointment"], [3], None)),
    (record(4, "Late call", 20261209, 2405, 0, 1, 1),
     ("Late call", T(2026, 12, 9, 0, 5), None, ["appointment"], [], None)),
    (record(5, "Club", 20261229, 1900, 30, 1, 5),
     ("Club", T(2026, 12, 29, 19, 0), {"FREQ": ["MONTHLY"], "INTERVAL": [1], "BYDAY": ["-1TU"]},
      ["meeting"], [30], None)),
    (record(5, "Board", 20270105, 900, 0, 3, 5),
     ("Board", T(2027, 1, 5, 9, 0), {"FREQ": ["MONTHLY"], "INTERVAL": [3], "BYDAY": ["1TU"]},
      ["meeting"], [], None)),
    (record(3, "Café € week", 20261208, 0, 0, 1, 1),
     ("Café € week", D(2026, 12, 8), None, ["reminder"], [], None)),
    (record(3, "w" * 48, 20261220, 0, 5, 14, 3),
     ("w" * 48, D(2026, 12, 20), {"FREQ": ["MONTHLY"], "INTERVAL": [14], "BYMONTHDAY": [20]},
      ["reminder"], [5], None)),
]
ARCHIVED = (record(5, "Old, weekly", 20261201, 1000, 2, 2, 4),
            ("Old, weekly", T(2026, 12, 1, 10, 0), None, ["meeting"], [], None))


def same_event(event, expected, name):
    summary, start, rule, categories, alarms, year = expected
    check(str(event.get("summary")) == summary, f"{name}: summary {str(event.get('summary'))!r}")
    got = event.get("dtstart").dt
    check(type(got) is type(start) and got == start, f"{name}: start {got!r}, not {start!r}")
    got_rule = dict(event.get("rrule")) if event.get("rrule") is not None else None
    check(got_rule == rule, f"{name}: rule {got_rule}, not {rule}")
    cats = [str(c) for c in event.get("categories").cats] if event.get("categories") else []
    check(cats == categories, f"{name}: categories {cats}")
    check(alarm_days(event) == alarms, f"{name}: alarms {alarm_days(event)}, not {alarms}")
    if year is not None:
        check(str(year) in str(event.get("description")), f"{name}: year {year} not kept")
    check(event.get("uid") is not None and event.get("dtstamp") is not None,
          f"{name}: UID and DTSTAMP")


with tempfile.TemporaryDirectory() as tmp:
    data = os.path.join(tmp, "Tessaly.tsy")
    data_file(data, [c[0] for c in CASES], [ARCHIVED[0]])

    # 1. Every current reminder is one event with its rule, kind, alarm and year.
    out = os.path.join(tmp, "current.ics")
    tsy("export", data, "-o", out, "--today", TODAY)
    raw = open(out, "rb").read()
    cal = parse(raw, "current.ics")
    events = cal.walk("VEVENT")
    check(len(events) == len(CASES), f"current.ics: {len(events)} events, not {len(CASES)}")
    # The file's reader puts the list into date order, so events are matched by summary.
    by_summary = {str(e.get("summary")): e for e in events}
    for case in CASES:
        event = by_summary.get(case[1][0])
        check(event is not None, f"current.ics: no event {case[1][0]!r}")
        if event is not None:
            same_event(event, case[1], f"current.ics {case[1][0]!r}")
    starts = [e.get("dtstart").dt for e in events]
    keys = [(s.year, s.month, s.day) for s in starts]
    check(keys == sorted(keys), "current.ics: events in date order")
    uids = [str(e.get("uid")) for e in events]
    check(len(set(uids)) == len(uids), "current.ics: UIDs are unique")

    # 2. Exporting again gives the same UIDs; stdout carries the same text as -o.
    again = tsy("export", data, "--today", TODAY).stdout
    check(again == raw, "export to stdout equals export to a file")
    check([str(e.get("uid")) for e in parse(again, "again").walk("VEVENT")] == uids,
          "a second export keeps the UIDs")

    # 3. With --archive the archived reminder follows as a single past event.
    out = os.path.join(tmp, "archive.ics")
    tsy("export", data, "--archive", "-o", out, "--today", TODAY)
    events = parse(open(out, "rb").read(), "archive.ics").walk("VEVENT")
    check(len(events) == len(CASES) + 1, f"archive.ics: {len(events)} events")
    if len(events) == len(CASES) + 1:
        same_event(events[-1], ARCHIVED[1], "archive.ics archived event")

    # 4. Every hand-written fixture is iCalendar the reader accepts; what tsy imports from it
    #    exports again as events the reader sees with the original's summary and frequency.
    for name in sorted(os.listdir(FIXTURES)):
        if not name.endswith(".ics"):
            continue
        original = icalendar.Calendar.from_ical(open(os.path.join(FIXTURES, name), "rb").read())
        by_summary = {str(e.get("summary")).replace("→", "?")[:48]: e
                      for e in original.walk("VEVENT")}
        imported = os.path.join(tmp, name + ".tsy")
        tsy("import", imported, os.path.join(FIXTURES, name), "--today", TODAY)
        out = os.path.join(tmp, name + ".out.ics")
        tsy("export", imported, "-o", out, "--today", TODAY)
        events = parse(open(out, "rb").read(), name + " exported").walk("VEVENT")
        check(len(events) == 3, f"{name}: {len(events)} events imported and exported, not 3")
        for event in events:
            summary = str(event.get("summary"))
            source = by_summary.get(summary)
            check(source is not None, f"{name}: {summary!r} is no event of the fixture")
            if source is None:
                continue
            want = source.get("rrule")
            got = event.get("rrule")
            check((want is None) == (got is None), f"{name}: {summary!r} repeats as its source")
            if want is not None and got is not None:
                check(want["FREQ"] == got["FREQ"], f"{name}: {summary!r} FREQ {got['FREQ']}")
                check(want.get("INTERVAL", [1]) == got.get("INTERVAL", [1]),
                      f"{name}: {summary!r} INTERVAL {got.get('INTERVAL')}")

print(f"{len(failures)} failure(s)")
sys.exit(1 if failures else 0)
