#!/usr/bin/env python3
"""The same read and write of a guest file by two other programs, for bench_guestfile's comparison.

    peers.py GUEST_FILE WORK_FOLDER REPEATS

Python's csv module reads the file into rows of texts and writes them back; sqlite3's command
line tool imports it into a table (.import) and exports the table again (.mode list, .once).
Neither converts dates or numbers: both keep every field as text, which spares them work the
program does. Each figure is the median CPU time (user and system) of REPEATS runs in ms; the
sqlite3 figures are less the median CPU time of starting the tool with nothing to do. Every
result is checked (row count, and the written file equal to the read one byte for byte), so a
peer that did less than its share fails instead of looking fast.

Prints one line per figure, "name=value" with a decimal point, and exits 1 on any failure.
"""

import csv
import os
import resource
import shutil
import statistics
import subprocess
import sys
import time

FIELDS = 18


def fail(message):
    print(f"peers.py: {message}", file=sys.stderr)
    sys.exit(1)


def median_cpu_ms(runs, action):
    times = []
    for _ in range(runs):
        start = time.process_time()
        action()
        times.append((time.process_time() - start) * 1000)
    return statistics.median(times)


def children_cpu():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def run_sqlite(sqlite, database, script):
    """Runs the tool on a script; its CPU time in ms and what it printed."""
    before = children_cpu()
    done = subprocess.run([sqlite, "-batch", database], input=script.encode("ascii"), capture_output=True)
    spent = (children_cpu() - before) * 1000
    if done.returncode != 0 or done.stderr:
        fail(f"sqlite3 failed: {done.stderr.decode(errors='replace').strip()}")
    return spent, done.stdout.decode("ascii", errors="replace").strip()


def main():
    if len(sys.argv) != 4:
        fail("usage: peers.py GUEST_FILE WORK_FOLDER REPEATS")
    guest_file, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
    with open(guest_file, "rb") as f:
        original = f.read()
    lines = original.count(b"\r\n")
    if lines == 0 or not original.endswith(b"\r\n"):
        fail("the guest file has no lines ending in CR LF")

    # Python's csv module.
    rows = []

    def csv_read():
        nonlocal rows
        with open(guest_file, newline="", encoding="cp1252") as f:
            rows = list(csv.reader(f, delimiter=";", quoting=csv.QUOTE_NONE))

    csv_out = os.path.join(work, "peer_csv.csv")

    def csv_write():
        with open(csv_out, "w", newline="", encoding="cp1252") as f:
            csv.writer(f, delimiter=";", quoting=csv.QUOTE_NONE, quotechar=None, lineterminator="\r\n").writerows(rows)

    figures = {"csv_read_ms": median_cpu_ms(runs, csv_read)}
    if len(rows) != lines or any(len(row) != FIELDS for row in rows):
        fail(f"csv read {len(rows)} rows, not {lines} of {FIELDS} fields")
    figures["csv_write_ms"] = median_cpu_ms(runs, csv_write)
    with open(csv_out, "rb") as f:
        if f.read() != original:
            fail("csv wrote other bytes than it read")

    # sqlite3's command line tool.
    sqlite = shutil.which("sqlite3")
    if sqlite is None:
        fail("sqlite3 is not installed")
    columns = ", ".join(f"c{i}" for i in range(1, FIELDS + 1))
    import_script = (
        f"CREATE TABLE g({columns});\n.mode csv\n.separator \";\" \"\\r\\n\"\n.import '{guest_file}' g\n"
    )
    database = os.path.join(work, "peer.db")
    if os.path.exists(database):
        os.remove(database)
    _, count = run_sqlite(sqlite, database, import_script + "SELECT count(*) FROM g;\n")
    if count != str(lines):
        fail(f"sqlite3 imported {count} rows, not {lines}")
    sqlite_out = os.path.join(work, "peer_sqlite.csv")
    export_script = f".mode list\n.separator \";\" \"\\r\\n\"\n.once '{sqlite_out}'\nSELECT * FROM g;\n"
    run_sqlite(sqlite, database, export_script)
    with open(sqlite_out, "rb") as f:
        if f.read() != original:
            fail("sqlite3 exported other bytes than it imported")

    idle = statistics.median(run_sqlite(sqlite, ":memory:", "")[0] for _ in range(runs))
    figures["sqlite_start_ms"] = idle
    figures["sqlite_import_ms"] = (
        statistics.median(run_sqlite(sqlite, ":memory:", import_script)[0] for _ in range(runs)) - idle
    )
    figures["sqlite_export_ms"] = (
        statistics.median(run_sqlite(sqlite, database, export_script)[0] for _ in range(runs)) - idle
    )
    for name, value in figures.items():
        print(f"{name}={value:.3f}")


if __name__ == "__main__":
    main()
