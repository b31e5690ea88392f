#!/usr/bin/python3
"""An independent reader checks tsy's iCalendar files: Debian's python3-icalendar parses every
file `tsy export` writes and must see the same events and rules as the reminders hold; and
python3-dateutil's rrule expands the series of real calendar exports, which must give the dates
tsy imports and, roll-over after roll-over over the years, the dates the reminders move to.

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


# --- Series of the fixtures against dateutil ---

import io
import zoneinfo

from dateutil import rrule as dateutil_rrule
from dateutil import tz as dateutil_tz

BERLIN = zoneinfo.ZoneInfo("Europe/Berlin")
TSY_ENV = dict(os.environ, TZ="Europe/Berlin")
# The day each fixture is imported on (as in ical_test.cpp): some of its events lie ahead.
FIXTURE_TODAY = {
    "web-calendar.ics": "2026-12-08", "desktop-mail.ics": "2026-12-08",
    "desktop-calendar.ics": "2026-12-08", "google-birthdays.ics": "2012-12-01",
    "google-last-friday.ics": "2021-12-01", "google-placeholder-alarm.ics": "2024-07-01",
    "google-alarms-utc.ics": "2024-10-01", "google-override-first.ics": "2026-02-09",
    "exchange-owa-zones.ics": "2020-10-20", "exchange-moved-all-day.ics": "2026-02-18",
    "exchange-alarm-gmt.ics": "2024-07-01", "thunderbird-overrides.ics": "2025-04-21",
    "android-etar-alarms.ics": "2024-10-01", "korganizer-birthday.ics": "2026-12-08",
    "calendarlabs-germany.ics": "2020-12-01", "probe-series.ics": "2026-12-08",
}
OCCURRENCES = 6  # roll-overs followed for each series


def run_tsy(*args):
    result = subprocess.run([TSY, *args], capture_output=True, env=TSY_ENV)
    check(result.returncode == 0, f"tsy {' '.join(args)} exit {result.returncode}: {result.stderr!r}")
    return result


def read_records(path):
    """The current list of a data file, decoded here with struct."""
    raw = open(path, "rb").read()
    count = struct.unpack_from("<i", raw, 4)[0]
    records = []
    for i in range(count):
        kind, desc, date, time_or_year, notify, period, freq = struct.unpack_from(
            "<B48sihBBB", raw, 8 + 58 * i)
        records.append({"kind": kind, "description": desc, "date": date, "time": time_or_year,
                        "period": period, "frequency": freq})
    return records


def raw_lines(text):
    """Unfolded content lines of a calendar."""
    return text.replace("\r\n", "\n").replace("\n ", "").replace("\n\t", "").split("\n")


def zone_for(tzid, text):
    """The file's own VTIMEZONE first, else the system's zone of that name, else None."""
    try:
        zones = dateutil_tz.tzical(io.StringIO(text))
        if tzid in zones.keys():
            return zones.get(tzid)
    except Exception:
        pass
    try:
        return zoneinfo.ZoneInfo(tzid)
    except Exception:
        return None


def parse_time(value):
    value = value.strip()
    if len(value) >= 15 and value[8] == "T":
        moment = datetime.datetime.strptime(value[:15], "%Y%m%dT%H%M%S")
        return moment, value.endswith("Z")
    return datetime.datetime.strptime(value[:8], "%Y%m%d").date(), False


def to_local(moment, zone):
    """A time of the event's clock on Berlin's clock; dates stay dates."""
    if not isinstance(moment, datetime.datetime):
        return moment
    if zone is None:
        return moment
    return moment.replace(tzinfo=zone).astimezone(BERLIN).replace(tzinfo=None)


def series_of(event, text, uid_overrides):
    """The event's dates on Berlin's clock, by dateutil, as a generator in order."""
    start_prop = event.get("dtstart")
    start, utc = parse_time(start_prop.to_ical().decode())
    tzid = start_prop.params.get("TZID")
    zone = datetime.timezone.utc if utc else (zone_for(tzid, text) if tzid else None)
    rules = event.get("rrule")
    rules = rules if isinstance(rules, list) else [rules]
    is_date = not isinstance(start, datetime.datetime)
    begin = datetime.datetime.combine(start, datetime.time()) if is_date else start
    rset = dateutil_rrule.rruleset()
    for rule in rules:
        text_rule = rule.to_ical().decode()
        if "UNTIL=" in text_rule and "Z" in text_rule.split("UNTIL=")[1].split(";")[0]:
            # An UNTIL in UTC, on the start's clock.
            until_text = text_rule.split("UNTIL=")[1].split(";")[0]
            until = datetime.datetime.strptime(until_text, "%Y%m%dT%H%M%SZ").replace(
                tzinfo=datetime.timezone.utc)
            local_until = until.astimezone(zone or BERLIN).replace(tzinfo=None)
            text_rule = text_rule.replace("UNTIL=" + until_text,
                                          "UNTIL=" + local_until.strftime("%Y%m%dT%H%M%S"))
        rset.rrule(dateutil_rrule.rrulestr(text_rule, dtstart=begin))
    rset.rdate(begin)
    excluded_dates = set()
    for prop in (event.get("exdate") if isinstance(event.get("exdate"), list)
                 else [event.get("exdate")] if event.get("exdate") is not None else []):
        for value in prop.to_ical().decode().split(","):
            moment, _ = parse_time(value)
            if is_date or not isinstance(moment, datetime.datetime):
                excluded_dates.add(moment.date() if isinstance(moment, datetime.datetime) else moment)
            else:
                rset.exdate(moment)
    for moved in uid_overrides:
        moment, _ = parse_time(moved.get("recurrence-id").to_ical().decode())
        if isinstance(moment, datetime.datetime) and not is_date:
            rset.exdate(moment)
        else:
            excluded_dates.add(moment.date() if isinstance(moment, datetime.datetime) else moment)
    for wall in rset:
        if wall.year > 2099:
            return
        if (wall.date() if isinstance(wall, datetime.datetime) else wall) in excluded_dates:
            continue
        yield wall.date() if is_date else to_local(wall, zone)


def key(moment):
    day = moment.date() if isinstance(moment, datetime.datetime) else moment
    return day.year * 10000 + day.month * 100 + day.day


def stored_time(moment):
    if not isinstance(moment, datetime.datetime):
        return 0
    return 2400 + moment.minute if moment.hour == 0 else moment.hour * 100 + moment.minute


def description_of(summary):
    text = " ".join(summary.split()) if summary else ""
    return text.encode("cp1252", errors="replace")[:48].ljust(48, b" ")


def check_fixture_series(tmp):
    checked_next = [0]
    followed = []  # (tag, name, summary, expected dates from the reminder's first date on)
    for name in sorted(FIXTURE_TODAY):
        path = os.path.join(FIXTURES, name)
        text = open(path, encoding="utf-8").read()
        cal = icalendar.Calendar.from_ical(text)
        today = datetime.date.fromisoformat(FIXTURE_TODAY[name])
        events = cal.walk("VEVENT")
        overrides = {}
        for event in events:
            if event.get("recurrence-id") is not None:
                overrides.setdefault(str(event.get("uid")), []).append(event)
        masters = [e for e in events if e.get("rrule") is not None and e.get("recurrence-id") is None
                   and str(e.get("rrule").to_ical().decode()).strip()]
        for next_only in (False, True):
            data = os.path.join(tmp, name + (".next.tsy" if next_only else ".tsy"))
            run_tsy("import", data, path, "--today", FIXTURE_TODAY[name],
                    *(["--next-only"] if next_only else []))
            records = read_records(data) if os.path.exists(data) else []
            for event in masters:
                summary = str(event.get("summary") or "")
                tzid = event.get("dtstart").params.get("TZID")
                if tzid and zone_for(tzid, text) is None:
                    continue  # taken as written: nothing to convert
                ahead = [m for m in series_of(event, text, overrides.get(str(event.get("uid")), []))
                         if key(m) >= key(today)]
                mine = [r for r in records if r["description"] == description_of(summary)]
                if not ahead:
                    continue
                repeating = [r for r in mine if r["frequency"] > 1]
                single = [r for r in mine if r["frequency"] == 1 and r["date"] == key(ahead[0])]
                what = f"{name} {summary!r}{' --next-only' if next_only else ''}"
                if repeating:
                    r = repeating[0]
                    check(r["date"] == key(ahead[0]),
                          f"{what}: first date {r['date']}, dateutil {key(ahead[0])}")
                    check(r["time"] == stored_time(ahead[0]) or r["kind"] in (1, 2),
                          f"{what}: time {r['time']}, dateutil {stored_time(ahead[0])}")
                    if not next_only:
                        followed.append((r, what, ahead))
                elif next_only:
                    check(bool(single), f"{what}: next date {key(ahead[0])} not imported once")
                    checked_next[0] += 1
    follow_roll_overs(tmp, followed)
    print(f"{len(followed)} kept series followed through {OCCURRENCES} roll-overs each, "
          f"{checked_next[0]} next dates of series that cannot be kept")


def follow_roll_overs(tmp, followed):
    """All kept series in one data file, each with a tag for a description; the file is rolled
    over on the day after its earliest date again and again, and every date a reminder moves
    to must be dateutil's next date of its series."""
    data = os.path.join(tmp, "series.tsy")
    expected, seen = {}, {}
    entries = []
    for n, (r, what, ahead) in enumerate(followed):
        tag = f"#{n:03d}".encode()
        expected[tag] = (what, [key(m) for m in ahead])
        seen[tag] = 1
        entries.append(struct.pack("<B48sihBBB", r["kind"], tag.ljust(48, b" "), r["date"], r["time"], 0,
                                   r["period"], r["frequency"]))
    check(len(entries) >= 8, f"only {len(entries)} series to follow")
    entries.sort(key=lambda e: struct.unpack_from("<i", e, 49)[0])
    data_file(data, entries)
    for _ in range(OCCURRENCES * len(entries)):
        records = read_records(data)
        if not records:
            break
        earliest = min(r["date"] for r in records)
        day = datetime.date(earliest // 10000, earliest // 100 % 100, earliest % 100)
        run_tsy("rollover", data, "--today", (day + datetime.timedelta(days=1)).isoformat())
        kept = []
        for r in read_records(data):
            tag = r["description"].rstrip(b" ")
            what, dates = expected[tag]
            if r["date"] != dates[seen[tag] - 1]:
                i = seen[tag]
                check(i < len(dates) and r["date"] == dates[i],
                      f"{what}: after {dates[i - 1]} the reminder moves to {r['date']}, "
                      f"dateutil says {dates[i] if i < len(dates) else None}")
                seen[tag] += 1
            if seen[tag] <= OCCURRENCES:
                kept.append(struct.pack("<B48sihBBB", r["kind"], r["description"], r["date"], r["time"], 0,
                                        r["period"], r["frequency"]))
        data_file(data, kept)
    for tag, count in seen.items():
        check(count > OCCURRENCES, f"{expected[tag][0]}: followed {count - 1} roll-overs only")


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

    # 4. Every fixture is iCalendar the reader accepts, and what tsy imports from it is what an
    #    independent expansion (dateutil's rrule, with python's own time zones) says.
    for name in sorted(os.listdir(FIXTURES)):
        if name.endswith(".ics"):
            icalendar.Calendar.from_ical(open(os.path.join(FIXTURES, name), "rb").read())
    check_fixture_series(tmp)

print(f"{len(failures)} failure(s)")
sys.exit(1 if failures else 0)
