#!/usr/bin/env python3
"""Kills the program with SIGKILL at random moments while a script drives it,
and checks after every kill that nothing was lost.

Each round starts the program in one data folder that lives for the whole
campaign, feeds it random commands (New, Edit, Delete, balancing marks,
Finish, Postpone, Remove Reconciled, account changes, Hide Reconciled),
stops it at a random moment, reads what the database holds as committed,
then kills it. Afterwards:

  - PRAGMA integrity_check must answer ok;
  - the database must hold exactly the rows read while the program was
    stopped (a lost or altered row counts as lost);
  - the stored balance must equal, to the cent, the initial balance plus the
    credits minus the debits of the stored rows, plus the net of the
    reconciled rows that Remove Reconciled took out (it leaves them in the
    balance);
  - the settings file must parse, with no key below Payee_1 and none above
    the count;
  - the next start must work (exit code 0) and leave no file in the folder
    but the database, the settings file and the report.

When the stop lands inside a commit the database cannot be read at that
moment; the kill still happens there, and all checks but the comparison
with the stopped state apply.

Usage: kill_campaign.py EXE KILLS [--seed N] [--folder DIR]
Exit status 0 when every check held; the figures are printed at the end.
"""

import argparse
import os
import random
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

PAYEES = [
    "Rent", "Corner Grocery", "O'Brien's Books", '"Joe"', " Padded ", "'Al'",
    "Caf\u00e9 \u00fcn\u00ef \u20ac", "Semi;colon", "Robert'); DROP TABLE QLedger;--",
    "key=value", "[Section]", "x" * 77 + "\u00e9",
]
EXPECTED_FILES = {"Ledger.dat", "RErivaRude.ini", "Report.txt", "Backups"}
# Copies taken before Remove Reconciled: Ledger-YYYYMMDD-HHMMSS.dat, -N on a second copy that second.
BACKUP_NAME = re.compile(r"Ledger-\d{8}-\d{6}(-\d+)?\.dat$")


def cents(amount):
    """The whole cents of an amount the database holds from a two-decimal text."""
    return int(round(amount * 100))


def money(c):
    return "%s%d.%02d" % ("-" if c < 0 else "", abs(c) // 100, abs(c) % 100)


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


class Campaign:
    def __init__(self, exe, folder, rng):
        self.exe = exe
        self.folder = folder
        self.rng = rng
        self.db = os.path.join(folder, "Ledger.dat")
        self.offset = 0          # balance minus initial plus debits minus credits, in cents
        self.balance = 100.0     # last verified balance, to keep amounts small
        self.previous = None     # rows after the last verified start
        self.figures = dict(kills=0, integrity_failures=0, balances_out_of_step=0, lost_rows=0,
                            unexpected_rows=0, settings_unreadable=0, failed_starts=0, stray_files=0,
                            kills_inside_a_commit=0)
        self.notes = []
        self.stray_kinds = {}  # file name ending: count

    # -- driving the program ---------------------------------------------

    def start(self):
        return subprocess.Popen([self.exe], cwd=self.folder, stdin=subprocess.PIPE,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run_to_end(self, script):
        result = subprocess.run([self.exe], cwd=self.folder, input=script.encode(), capture_output=True,
                                timeout=60)
        return result.returncode, result.stdout.decode(errors="replace")

    def amount(self):
        # Now and then a third decimal, which the stored row rounds to the cent.
        if self.rng.random() < 0.1:
            return "%d.%03d" % (self.rng.randint(1, 19), self.rng.randint(0, 999))
        return "%d.%02d" % (self.rng.randint(1, 19), self.rng.randint(0, 99))

    def script(self):
        r = self.rng
        lines = []
        # Remove Reconciled only first, so the rows it removes are those
        # the last check saw reconciled.
        if r.random() < 0.15:
            lines += ["answer ok", "menu 40004"]
        for _ in range(r.randint(10, 60)):
            action = r.random()
            line = str(r.randint(0, 8))
            if action < 0.40:
                # Credits when the balance is low, debits when it is high.
                credit = r.random() < (0.7 if self.balance < 100 else 0.3)
                lines += ["type 1007 %d" % r.randint(0, 999),
                          "type 1006 %02d/%02d/2003" % (r.randint(1, 12), r.randint(1, 28)),
                          "type 1002 " + quoted(r.choice(PAYEES)),
                          "type 1004 " + (self.amount() if credit else '""'),
                          "type 1005 " + ('""' if credit else self.amount()),
                          "click 1008"]
            elif action < 0.55:
                lines += ["select 1001 " + line, "type 1004 " + self.amount(), 'type 1005 ""', "click 1009"]
            elif action < 0.68:
                lines += ["select 1001 " + line, "click 1010"]
            elif action < 0.85:
                lines += ["click 1011"]
                lines += ["select 1001 %d" % r.randint(0, 8) for _ in range(r.randint(1, 4))]
                lines += ["click 1011" if r.random() < 0.7 else "click 1012"]
            elif action < 0.93:
                lines += ["menu 40001", "type 1014 " + self.amount(), "click 1"]
            else:
                lines += ["menu 40003"]
        return "\n".join(lines) + "\n"

    # -- reading the database --------------------------------------------

    def read(self, readonly):
        uri = "file:%s?mode=%s" % (self.db, "ro" if readonly else "rw")
        con = sqlite3.connect(uri, uri=True, timeout=0 if readonly else 5)
        try:
            rows = set(con.execute("SELECT * FROM QLedger").fetchall())
            account = con.execute("SELECT mAccBalance, mInitialBalance FROM QAccounts").fetchall()
            integrity = None if readonly else con.execute("PRAGMA integrity_check").fetchall()
        finally:
            con.close()
        return rows, account, integrity

    # -- one round -------------------------------------------------------

    def round(self, delay):
        script = self.script()
        removes = script.startswith("answer ok\nmenu 40004")
        process = self.start()
        try:
            process.stdin.write(script.encode())
            process.stdin.flush()
        except BrokenPipeError:
            pass
        time.sleep(delay)
        process.send_signal(signal.SIGSTOP)
        try:
            stopped = self.read(readonly=True)
        except sqlite3.OperationalError:
            stopped = None  # inside a commit: the database is locked
        process.kill()
        process.wait()
        try:
            process.stdin.close()
        except BrokenPipeError:
            pass
        self.figures["kills"] += 1
        if stopped is None:
            self.figures["kills_inside_a_commit"] += 1
        self.last_script = script
        self.check(stopped, removes)

    def check(self, stopped, removes):
        rows, account, integrity = self.read(readonly=False)  # rolls back a hot journal
        if integrity != [("ok",)]:
            self.figures["integrity_failures"] += 1
            self.notes.append("integrity: %r" % (integrity,))
        if stopped is not None:
            lost = stopped[0] - rows
            unexpected = rows - stopped[0]
            self.figures["lost_rows"] += len(lost)
            self.figures["unexpected_rows"] += len(unexpected)
            if lost or unexpected or stopped[1] != account:
                self.notes.append("rows: lost %r, unexpected %r" % (sorted(lost), sorted(unexpected)))
            if stopped[1] != account:
                self.figures["balances_out_of_step"] += 1
                self.notes.append("account %r while stopped, %r after" % (stopped[1], account))
        if len(account) != 1:
            self.figures["balances_out_of_step"] += 1
            self.notes.append("accounts: %r" % (account,))
        else:
            balance, initial = account[0]
            # Rows Remove Reconciled took out stay in the balance.
            # Whole rows are compared: SQLite hands a removed row's key to
            # the next new row.
            if removes and self.previous is not None:
                for row in self.previous:
                    if row[7] == 2 and row not in rows:
                        self.offset += cents(row[5]) - cents(row[4])
            net = sum(cents(row[5]) - cents(row[4]) for row in rows)
            if cents(balance) != cents(initial) + net + self.offset:
                self.figures["balances_out_of_step"] += 1
                self.notes.append("balance %.2f, initial %.2f, rows %s, removed %s after the script %r" %
                                  (balance, initial, money(net), money(self.offset),
                                   getattr(self, "last_script", "")))
                self.offset = cents(balance) - cents(initial) - net  # report each fault once
            self.balance = balance
        self.check_settings()
        code, output = self.run_to_end("menu 40002\n")
        if code != 0 or "messagebox" in output:
            self.figures["failed_starts"] += 1
            self.notes.append("next start: exit %d, %s" % (code, output.strip()[:200]))
        strays = sorted(set(os.listdir(self.folder)) - EXPECTED_FILES)
        backups = os.path.join(self.folder, "Backups")
        if os.path.isdir(backups):
            copies = os.listdir(backups)
            strays += [os.path.join("Backups", n) for n in sorted(copies) if not BACKUP_NAME.match(n)]
            if len(copies) > 20:
                self.notes.append("%d backup copies kept, more than 20" % len(copies))
        elif os.path.exists(backups):
            strays.append("Backups")
        if strays:
            self.figures["stray_files"] += len(strays)
            for name in strays:
                kind = "RErivaRude.ini.*" if name.startswith("RErivaRude.ini.") else name
                self.stray_kinds[kind] = self.stray_kinds.get(kind, 0) + 1
            self.notes.append("stray files: %r" % strays)
            for name in strays:
                path = os.path.join(self.folder, name)
                shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        self.previous = self.read(readonly=True)[0]

    def check_settings(self):
        path = os.path.join(self.folder, "RErivaRude.ini")
        if not os.path.exists(path):
            return
        try:
            with open(path, "rb") as f:
                text = f.read().decode()
            section, keys = None, {}
            for line in text.splitlines():
                line = line.strip()
                if not line or line.startswith(";"):
                    continue
                if line.startswith("[") and line.endswith("]"):
                    section = line[1:-1]
                    continue
                name, sep, value = line.partition("=")
                if not sep or section != "RErivaRude_100":
                    raise ValueError("line %r" % line)
                if name in keys:
                    raise ValueError("key %s twice" % name)
                keys[name] = value
            count = int(keys.get("NumPayees", "0"))
            for name in keys:
                if name.startswith("Payee_"):
                    n = int(name[len("Payee_"):])
                    if n < 1 or n > count:
                        raise ValueError("%s with NumPayees=%d" % (name, count))
            if keys.get("HideRec", "0") not in ("0", "1"):
                raise ValueError("HideRec=%s" % keys["HideRec"])
        except (ValueError, UnicodeDecodeError) as e:
            self.figures["settings_unreadable"] += 1
            self.notes.append("settings: %s" % e)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("exe")
    parser.add_argument("kills", type=int)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--folder", default=None)
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    rng = random.Random(seed)
    # A memory file system keeps commits quick; SIGKILL leaves the page cache
    # as it is, so what the kill can damage is the same as on a disk.
    scratch = "/dev/shm" if os.access("/dev/shm", os.W_OK) else None
    folder = args.folder or tempfile.mkdtemp(prefix="kill-campaign-", dir=scratch)
    os.makedirs(folder, exist_ok=True)
    campaign = Campaign(os.path.abspath(args.exe), folder, rng)

    code, output = campaign.run_to_end("menu 40001\ntype 1013 Household\ntype 1014 100\nclick 1\n")
    if code != 0:
        sys.exit("the first start failed: %s" % output)
    campaign.previous = campaign.read(readonly=True)[0]
    # How long a whole script takes, so kills land while commands run.
    began = time.monotonic()
    campaign.run_to_end(campaign.script())
    span = max(0.05, time.monotonic() - began)
    campaign.check(None, False)

    began = time.monotonic()
    for _ in range(args.kills):
        campaign.round(rng.uniform(0.005, span))
    elapsed = time.monotonic() - began

    f = campaign.figures
    rows = len(campaign.previous)
    print("kill campaign: seed %d, %d kills in %.0f s, %d rows stored at the end, folder %s" %
          (seed, f["kills"], elapsed, rows, folder))
    for name, value in f.items():
        print("  %-22s %d" % (name.replace("_", " "), value))
    if campaign.stray_kinds:
        print("  stray files by name: %s" % campaign.stray_kinds)
    shown = {}
    for note in campaign.notes:  # a few of each kind
        kind = note.split(":")[0]
        shown[kind] = shown.get(kind, 0) + 1
        if shown[kind] <= 5:
            print("  note: " + note)
    bad = sum(v for k, v in f.items() if k not in ("kills", "kills_inside_a_commit"))
    if not bad and not args.folder:
        shutil.rmtree(folder)
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
