# Reads iCalendar files with Debian's python3-icalendar and prints what a calendar program sees:
# one CALENDAR line per file, then one EVENT line per event, fields separated by "|".
import sys

import icalendar

for path in sys.argv[1:]:
    with open(path, "rb") as f:
        cal = icalendar.Calendar.from_ical(f.read())
    print("CALENDAR|%s|%s|%s" % (cal.get("VERSION"), cal.get("PRODID"), cal.get("X-WR-CALDESC", "")))
    for event in cal.walk("VEVENT"):
        start = event.decoded("DTSTART")
        end = event.decoded("DTEND")
        print("EVENT|%s|%s|%s|%s|%s|%s" % (
            event.get("UID"), start.isoformat(), end.isoformat(), type(start).__name__,
            event.get("SUMMARY"), event.decoded("DTSTAMP").isoformat()))
