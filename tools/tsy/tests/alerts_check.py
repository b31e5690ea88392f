#!/usr/bin/python3
"""An independent check of `tsy alerts`: the day's alerts are worked out here again, from the
lists as `tsy dump` shows them, with Python's own calendar (datetime) and the stepping of each
frequency written out anew, and must equal what tsy prints, line for line, for days around
month ends, the new year and a leap day, with several leads.

    alerts_check.py TSY_PROGRAM

Exit 0 when every day agrees; each difference is printed."""
import calendar
import datetime
import json
import os
import struct
import subprocess
import sys
import tempfile

TSY = sys.argv[1]
failures = []


def record(kind, text, date, time=0, frequency=1, period=1):
    desc = text.encode("cp1252").ljust(48, b" ")[:48]
    return struct.pack("<B48sihBBB", kind, desc, date, time, 0, period, frequency)


CURRENT = [
    record(4, "Dentist", 20261208, 1430),
    record(5, "Standup, weekly", 20261201, 930, 4),
    record(5, "Every two weeks", 20261203, 1600, 4, 2),
    record(3, "Rent on the 31st", 20261231, 900, 3),
    record(3, "On the 30th, late", 20261130, 2359, 3),
    record(5, "Board, 2nd Tuesday", 20261208, 1000, 5),
    record(5, "Club, 5th Thursday", 20261029, 1900, 5),
    record(4, "Checkup, annual", 20251208, 1100, 2),
    record(4, "Leap day, annual", 20240229, 1200, 2),
    record(5, "Just after midnight", 20270101, 2410),
    record(5, "Midnight, monthly", 20270301, 2400, 3),
    record(3, "Pills at 12:05 am", 20261201, 5, 4),
    record(3, "Without a time", 20261208, 0),
    record(1, "Birthday, year 1990", 20261208, 1990, 2),
    record(2, "Anniversary, year 1200", 20261208, 1200, 2),
    record(0, "No kind", 20261208, 1430),
    record(4, "Damaged time", 20261208, 1375),
    record(4, "Noon", 20270228, 1200),
    record(5, "Quarterly on the 31st", 20260831, 800, 3, 3),
    record(5, "Weekly, period 0", 20261202, 1300, 4, 0),
    record(4, "12:59 pm", 20270201, 1259, 3),
    record(4, "12:59 am", 20270201, 2459, 3),
    record(5, "1 am", 20270301, 100),
    record(4, "Café €", 20270131, 1715, 3, 1),
]
ARCHIVE = [
    record(5, "Acknowledged", 20261208, 1500, 4),
    record(4, "Dentist", 20261208, 1430),  # the same event as a current entry
    record(5, "Standup, weekly", 20261208, 930, 4),  # today's occurrence, acknowledged
    record(4, "Last week", 20261201, 1000),
]
DAYS = ["2026-12-07", "2026-12-08", "2026-12-09", "2026-12-31", "2027-01-01", "2027-01-12",
        "2027-01-31", "2027-02-01", "2027-02-27", "2027-02-28", "2027-03-01", "2027-03-28",
        "2027-03-31", "2027-04-30", "2028-02-28", "2028-02-29", "2028-03-01"]
LEADS = {"2026-12-08": [1, 15, 120], "2027-02-28": [15, 60, 120], "2028-02-29": [15, 120]}


def key(y, m, d):
    return y * 10000 + m * 100 + d


def split(k):
    return k // 10000, k // 100 % 100, k % 100


def add_months(y, m, n):
    index = y * 12 + (m - 1) + n
    return index // 12, index % 12 + 1


def weekday(y, m, d):  # 0 Sunday .. 6 Saturday
    return (datetime.date(y, m, d).weekday() + 1) % 7


def next_occurrence(k, frequency, period):
    """One step on, as acknowledging or a daily roll-over moves a reminder; None: no more."""
    y, m, d = split(k)
    period = period or 1
    if frequency == 2:
        return key(y + 1, m, d)  # 29 February stays 29 February, a date only leap years have
    if frequency == 3:
        y, m = add_months(y, m, period)
        return key(y, m, min(d, calendar.monthrange(y, m)[1]))
    if frequency == 4:
        n = datetime.date(y, m, d) + datetime.timedelta(weeks=period)
        return key(n.year, n.month, n.day)
    if frequency == 5:
        w, k_th = weekday(y, m, d), (d + 6) // 7
        y, m = add_months(y, m, period)
        d = 1 + (w - weekday(y, m, 1)) % 7 + 7 * (k_th - 1)
        if d > calendar.monthrange(y, m)[1]:
            d -= 7  # no fifth such weekday: the last one
        return key(y, m, d)
    return None


def occurs_on(r, day):
    k = r["date"]
    while k is not None and k < day:
        k = next_occurrence(k, r["frequency"], r["period"])
    return k == day


def minute_of_day(t):
    if t <= 0 or t % 100 > 59:
        return None
    if t >= 2400:
        return t - 2400 if t <= 2459 else None
    return t // 100 * 60 + t % 100


def expected_alerts(dump, day_text, lead):
    day = datetime.date.fromisoformat(day_text)
    begin = datetime.datetime.combine(day, datetime.time())
    found = []
    for offset in (0, 1):  # a lead of up to two hours reaches back one midnight at most
        event_day = day + datetime.timedelta(days=offset)
        event_key = key(event_day.year, event_day.month, event_day.day)
        for list_name in ("current", "archive"):
            for index, r in enumerate(dump[list_name], 1):
                minute = minute_of_day(r["timeOrYear"])
                if r["kind"] not in (3, 4, 5) or minute is None:
                    continue
                if list_name == "current" and not occurs_on(r, event_key):
                    continue
                if list_name == "archive" and r["date"] != event_key:
                    continue
                event = datetime.datetime.combine(event_day, datetime.time()) + \
                    datetime.timedelta(minutes=minute)
                alert = event - datetime.timedelta(minutes=lead)
                if begin <= alert < begin + datetime.timedelta(days=1):
                    found.append((alert, event, list_name, index, r))
    found.sort(key=lambda a: (a[0], a[1], a[2] != "current", a[3]))
    lines, seen = [], set()
    for alert, event, list_name, index, r in found:
        same = (event, r["kind"], r["description"])
        if same in seen:
            continue
        seen.add(same)
        lines.append({"alert": alert.strftime("%Y-%m-%dT%H:%M"),
                      "event": event.strftime("%Y-%m-%dT%H:%M"), "list": list_name,
                      "index": index, "kind": r["kind"], "description": r["description"]})
    return lines


def run(*args):
    done = subprocess.run([TSY, *args], capture_output=True)
    if done.returncode != 0:
        failures.append(f"tsy {' '.join(args)}: exit {done.returncode} {done.stderr!r}")
    return done.stdout.decode("utf-8")


with tempfile.TemporaryDirectory() as folder:
    path = os.path.join(folder, "Tessaly.tsy")
    with open(path, "wb") as f:
        f.write(b"3.03" + struct.pack("<i", len(CURRENT)) + b"".join(CURRENT))
        f.write(struct.pack("<i", len(ARCHIVE)) + b"".join(ARCHIVE))
    before = open(path, "rb").read()
    dump = json.loads(run("dump", path))
    total = 0
    for day in DAYS:
        for lead in LEADS.get(day, [15]):
            got = [json.loads(line) for line in run("alerts", path, "--today", day,
                                                     "--minutes", str(lead)).splitlines()]
            want = expected_alerts(dump, day, lead)
            total += len(want)
            if got != want:
                failures.append(f"{day}, {lead} minutes:\n  tsy    {got}\n  python {want}")
    if open(path, "rb").read() != before:
        failures.append("tsy alerts changed the data file")
    if total < 40:
        failures.append(f"only {total} alerts over the days checked: the sample no longer "
                        "reaches them")

for f in failures:
    print("FAIL:", f)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
