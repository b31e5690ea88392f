# Writes a sample data file for screenshots and hand tests, dated from today so that the
# pictures look the same whenever they are taken.
#   /usr/bin/python3 scripts/sample_data.py editor|list OUT.tsy
#   editor: seven reminders from two days on, two of them on one day, no archive.
#   list:   twelve reminders from two days on (two days with two each), four archived.
import datetime
import struct
import sys

TODAY = datetime.date.today()


def key(days):
    d = TODAY + datetime.timedelta(days=days)
    return d.year * 10000 + d.month * 100 + d.day


def rec(kind, desc, days, time=0, notify=0, period=1, freq=1):
    """One 58-byte record: kind, description, date, time or year, notify days, period, frequency."""
    return struct.pack('<B48sihBBB', kind, desc.encode('cp1252').ljust(48, b' '), key(days),
                       time, notify, period, freq)


SETS = {
    'editor': (
        [rec(4, 'Dentist, Dr. Hale', 2, 1430, 3), rec(1, 'Mum', 5, 1956, 7, 1, 2),
         rec(5, 'Project review', 5, 1000, 1, 2, 4), rec(3, 'Renew car insurance', 12, 0, 10),
         rec(2, 'Wedding anniversary', 18, 2009, 14, 1, 2), rec(5, 'Book club', 33, 1930, 2, 1, 5),
         rec(4, 'Haircut', 41, 915, 1)],
        []),
    'list': (
        [rec(4, 'Dentist, Dr. Hale', 2, 1430, 3), rec(1, 'Mum', 5, 1956, 7, 1, 2),
         rec(5, 'Project review', 5, 1000, 1, 2, 4), rec(3, 'Renew car insurance', 12, 0, 10),
         rec(4, 'Haircut', 14, 915, 1), rec(2, 'Wedding anniversary', 18, 2009, 14, 1, 2),
         rec(5, 'Board meeting in the large conference room on the third floor', 18, 1330, 5),
         rec(3, 'Pay the water bill', 21, 15, 2), rec(5, 'Book club', 33, 1930, 2, 1, 5),
         rec(4, 'Car service at the garage', 41, 800, 3), rec(1, 'Grandpa Joe', 52, 1931, 10, 1, 2),
         rec(3, 'Passport renewal', 60, 1200, 30)],
        [rec(4, 'Eye test', -20, 1100, 2), rec(5, 'Team lunch', -12, 1230, 1),
         rec(3, 'Return library books', -6, 0, 3), rec(4, 'Vet, booster for Max', -2, 1645, 4)]),
}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in SETS:
        sys.exit('usage: sample_data.py editor|list OUT.tsy')
    current, archive = SETS[sys.argv[1]]
    with open(sys.argv[2], 'wb') as f:
        f.write(b'3.03' + struct.pack('<i', len(current)) + b''.join(current) +
                struct.pack('<i', len(archive)) + b''.join(archive))


main()
