#!/usr/bin/env python3
"""Times `ledger import` of a generated journal against the sqlite3 command.

    import_bench.py BUILD_DIR CACHE_DIR LINES RUNS

Makes (once, cached in CACHE_DIR/LINES) an import folder of one data set with
200 accounts, 20 departments and LINES journal lines in the import format of
docs/ledger-import.md, then alternately, RUNS times each:

  ledger   `ledger import FOLDER` into a fresh installation (`ledger init`);
  sqlite3  the sqlite3 command's `.import` of the same journal.csv into a
           temporary table plus one INSERT ... SELECT into journal_line, in a
           database of the ledger's own schema that already holds the data
           set, accounts and departments (imported by the ledger), with the
           foreign keys checked as the ledger's own connection checks them.

Each run is one child process, measured with wait4: wall time and CPU time
(user plus system); its peak resident memory is read by /usr/bin/time. Prints the medians, the ratio of the
ledger's wall time to the peer's, and fails when a run fails.
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

PEER = "/usr/bin/sqlite3"


def write_folder(folder, lines):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "data.csv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("data_no,data_id,company_name,period_start,period_end,closing_day,closing_pattern,past_record,"
                "company_kind,income_layout,maintenance_lock\n")
        f.write("1,BENCH1,北浜商事株式会社,20230401,20240331,31,0,0,0,0,0\n")
    with open(os.path.join(folder, "accounts.csv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("data_no,account_id,code,name,class_code,balance_side,list_excluded,sum_mark_a,sum_mark_b\n")
        for a in range(1, 201):
            f.write(f"1,{a},{100 + a},科目{a},0x{0x10100000 + a * 0x100:08x},{1 + a % 2},0,0,0\n")
    with open(os.path.join(folder, "departments.csv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("data_no,code,name,class,reference,income_type\n")
        for d in range(1, 21):
            f.write(f"1,{d},部門{d},0,0,1\n")
    rates = ["10", "8R", "8", "0", "10"]
    days = [0, 30, 31, 30, 31, 31, 30, 31, 30, 31, 31, 29, 31]  # by month number: April 2023 .. March 2024
    with open(os.path.join(folder, "journal.csv"), "w", encoding="utf-8", newline="\n") as f:
        f.write("data_no,line_no,date,month_no,dr_account,dr_department,dr_amount,dr_tax,dr_category,dr_rate,"
                "dr_business_type,cr_account,cr_department,cr_amount,cr_tax,cr_category,cr_rate,cr_business_type,"
                "description\n")
        out = []
        for n in range(1, lines + 1):
            month_no = 1 + n % 12
            month = (month_no + 2) % 12 + 1
            year = 2023 if month >= 4 else 2024
            day = 1 + (n * 7) % days[month_no]
            amount = 1000 + (n * 37) % 500000
            rate = rates[n % 5]
            tax = amount // 10 if rate in ("10",) else amount * 8 // 100 if rate != "0" else 0
            dept = str(1 + n % 20) if n % 3 == 0 else ""
            if n % 50 == 0:
                text = f'"売上, 第{n}号"'
            elif n % 2 == 0:
                text = f"売上 {n}"
            else:
                text = f"sale {n}"
            out.append(f"1,{n},{year}{month:02d}{day:02d},{month_no},{101 + n % 200},{dept},{amount},{tax},"
                       f"{1 + n % 5},{rate},{n % 7},{101 + (n * 3) % 200},,{amount},{tax},{1 + n % 5},{rate},0,"
                       f"{text}\n")
            if len(out) == 10000:
                f.write("".join(out))
                out = []
        f.write("".join(out))


PEER_SQL = """PRAGMA foreign_keys = ON;
BEGIN;
CREATE TEMP TABLE tmp (data_no, line_no, date, month_no, dr_account, dr_department, dr_amount, dr_tax,
  dr_category, dr_rate, dr_business_type, cr_account, cr_department, cr_amount, cr_tax, cr_category, cr_rate,
  cr_business_type, description);
.import --csv --skip 1 {journal} tmp
INSERT INTO journal_line
SELECT e.data_id, t.line_no, t.date, t.month_no,
  da.account_id, NULLIF(t.dr_department, ''), t.dr_amount * 10000, t.dr_tax * 10000, t.dr_category,
  CASE t.dr_rate WHEN '8R' THEN 800 ELSE t.dr_rate * 100 END, t.dr_rate = '8R', t.dr_business_type,
  ca.account_id, NULLIF(t.cr_department, ''), t.cr_amount * 10000, t.cr_tax * 10000, t.cr_category,
  CASE t.cr_rate WHEN '8R' THEN 800 ELSE t.cr_rate * 100 END, t.cr_rate = '8R', t.cr_business_type,
  t.description
FROM tmp t
JOIN data_entry e ON e.data_no = t.data_no
JOIN account da ON da.data_id = e.data_id AND da.code = t.dr_account
JOIN account ca ON ca.data_id = e.data_id AND ca.code = t.cr_account;
DROP TABLE tmp;
COMMIT;
"""


TIME = "/usr/bin/time"


def run(argv, env=None, stdin=None):
    """Runs one child; (wall s, cpu s, peak MiB).

    A child forked from this script counts this script's own memory in its
    peak, so the peak is the one /usr/bin/time (a small process) reads for the
    program it starts; without /usr/bin/time it is wait4's, an upper bound.
    """
    peak_file = os.path.join(os.environ.get("TMPDIR", "/tmp"), f"import_bench.{os.getpid()}.peak")
    timed = [TIME, "-f", "%M", "-o", peak_file] + argv if os.access(TIME, os.X_OK) else argv
    start = time.monotonic()
    with subprocess.Popen(timed, env=env, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE) as p:
        err = p.stderr.read()
        _, status, usage = os.wait4(p.pid, 0)
        p.returncode = os.waitstatus_to_exitcode(status)
    wall = time.monotonic() - start
    if p.returncode != 0:
        sys.exit(f"import_bench: {' '.join(argv)} failed ({p.returncode}): {err.decode(errors='replace')}")
    peak = usage.ru_maxrss / 1024.0
    if timed is not argv:
        with open(peak_file) as f:
            peak = int(f.read().split()[-1]) / 1024.0
        os.remove(peak_file)
    return wall, usage.ru_utime + usage.ru_stime, peak


def main():
    if len(sys.argv) != 5:
        sys.exit("usage: import_bench.py BUILD_DIR CACHE_DIR LINES RUNS")
    build, cache, lines, runs = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    ledger = os.path.join(build, "bin", "ledger")
    if not os.access(ledger, os.X_OK):
        sys.exit(f"import_bench: no {ledger}")
    if not os.access(PEER, os.X_OK):
        print(f"import_bench: {PEER} is missing; install the Debian package sqlite3 to compare with it")
        sys.exit(1)
    base = os.path.join(cache, str(lines))
    folder = os.path.join(base, "in")
    if not os.path.exists(os.path.join(base, "ready")):
        shutil.rmtree(base, ignore_errors=True)
        print(f"import_bench: writing {lines} journal lines into {folder}", file=sys.stderr)
        write_folder(folder, lines)
        open(os.path.join(base, "ready"), "w").write("ready\n")
    journal = os.path.join(folder, "journal.csv")

    # The peer's starting point: the ledger's schema holding everything but the journal.
    work = os.path.join(base, "work")
    shutil.rmtree(work, ignore_errors=True)
    empty, peer_base, books = (os.path.join(work, n) for n in ("empty", "peer-base", "books"))
    os.makedirs(books)
    for name in ("data.csv", "accounts.csv", "departments.csv"):
        shutil.copy(os.path.join(folder, name), books)
    for home in (empty, peer_base):
        run([ledger, "init"], env=dict(os.environ, LEDGER_HOME=home))
    run([ledger, "import", books], env=dict(os.environ, LEDGER_HOME=peer_base))
    script = os.path.join(work, "peer.sql")
    with open(script, "w") as f:
        f.write(PEER_SQL.format(journal=journal))

    results = {"ledger": [], "sqlite3": []}
    for i in range(runs):
        home = os.path.join(work, "run")
        shutil.rmtree(home, ignore_errors=True)
        shutil.copytree(empty, home)
        results["ledger"].append(run([ledger, "import", folder], env=dict(os.environ, LEDGER_HOME=home)))
        shutil.rmtree(home)
        shutil.copytree(peer_base, home)
        with open(script) as sql:
            results["sqlite3"].append(run([PEER, os.path.join(home, "ledger.db")], stdin=sql))
        shutil.rmtree(home)

    size = os.path.getsize(journal) / (1 << 20)
    print(f"import of {lines} journal lines ({size:.0f} MiB journal.csv), median of {runs} runs each:")
    med = {}
    for who, rows in results.items():
        wall = statistics.median(r[0] for r in rows)
        cpu = statistics.median(r[1] for r in rows)
        peak = statistics.median(r[2] for r in rows)
        med[who] = (wall, cpu, peak)
        print(f"  {who:8} wall {wall:6.2f} s  cpu {cpu:6.2f} s  peak {peak:7.1f} MiB")
    print(f"  ledger / sqlite3: wall {med['ledger'][0] / med['sqlite3'][0]:.2f}, "
          f"cpu {med['ledger'][1] / med['sqlite3'][1]:.2f}; peak of ledger import {med['ledger'][2]:.1f} MiB")

if __name__ == "__main__":
    main()
