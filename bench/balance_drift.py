#!/usr/bin/env python3
"""Measures how far the running balance strays from the rows it counts.

Two figures, each printed as the balance the program stores and shows beside
the initial balance plus the credits minus the debits of the stored rows:

  session  1,500 transactions typed through the script front end into an
           account opened at 45,000.00;
  import   a 3,000-line CSV statement given to checkbook-io import, into an
           account opened at 1,000.00.

Usage: balance_drift.py BIN [--seed N]   (BIN holds checkbook and checkbook-io)
Run it against two builds for a before and after.
"""

import argparse
import os
import random
import re
import sqlite3
import subprocess
import sys
import tempfile


def run(exe, folder, script):
    result = subprocess.run([exe], cwd=folder, input=script.encode(), capture_output=True, timeout=600)
    return result.stdout.decode(errors="replace")


def open_account(checkbook, folder, initial):
    run(checkbook, folder, "menu 40001\ntype 1013 Household\ntype 1014 %s\nclick 1\n" % initial)


def cents(value):
    return int(round(value * 100))


def stored(folder):
    con = sqlite3.connect(os.path.join(folder, "Ledger.dat"))
    try:
        balance, initial = con.execute("SELECT mAccBalance, mInitialBalance FROM QAccounts").fetchone()
        net = sum(cents(credit) - cents(debit) for debit, credit in con.execute("SELECT mDebit, mCredit FROM QLedger"))
    finally:
        con.close()
    return cents(balance), cents(initial) + net


def money(c):
    return "%s%d.%02d" % ("-" if c < 0 else "", abs(c) // 100, abs(c) % 100)


def amount(rng):
    return "%d.%02d" % (rng.randint(1, 250), rng.randint(0, 99))


def session(checkbook, rng):
    with tempfile.TemporaryDirectory() as folder:
        open_account(checkbook, folder, "45000")
        lines = []
        balance = 4500000  # the script's own count, in cents, to stay near 45,000.00
        for i in range(1500):
            credit = balance < 4500000
            typed = amount(rng)
            balance += cents(float(typed)) * (1 if credit else -1)
            lines += ["type 1006 %02d/%02d/2003" % (i % 12 + 1, i % 28 + 1), "type 1002 Payee %d" % (i % 40),
                      "type 1004 " + (typed if credit else '""'),
                      "type 1005 " + ('""' if credit else typed), "click 1008"]
        lines.append("print")
        output = run(checkbook, folder, "\n".join(lines) + "\n")
        shown = re.search(r'control 1015 Static "\$ (-?[0-9.]+)"', output)
        balance, expected = stored(folder)
        return balance, expected, shown.group(1) if shown else "?"


def import_statement(checkbook, io, rng):
    with tempfile.TemporaryDirectory() as folder:
        open_account(checkbook, folder, "1000")
        with open(os.path.join(folder, "statement.csv"), "w") as f:
            f.write("Date,Description,Amount\n")
            for i in range(3000):
                sign = "" if rng.random() < 0.52 else "-"
                f.write("2003-%02d-%02d,Payee %d,%s%s\n" % (i % 12 + 1, i % 28 + 1, i, sign, amount(rng)))
        subprocess.run([io, "import", "statement.csv"], cwd=folder, capture_output=True, check=True, timeout=600)
        output = run(checkbook, folder, "print\n")
        shown = re.search(r'control 1015 Static "\$ (-?[0-9.]+)"', output)
        balance, expected = stored(folder)
        return balance, expected, shown.group(1) if shown else "?"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("bin")
    parser.add_argument("--seed", type=int, default=18)
    args = parser.parse_args()
    checkbook = os.path.abspath(os.path.join(args.bin, "checkbook"))
    io = os.path.abspath(os.path.join(args.bin, "checkbook-io"))
    rng = random.Random(args.seed)
    print("%-44s %12s %12s %12s" % ("", "stored", "shown", "rows say"))
    for name, (balance, expected, shown) in (
            ("1,500 typed into an account at 45,000.00", session(checkbook, rng)),
            ("3,000-line CSV into an account at 1,000.00", import_statement(checkbook, io, rng))):
        print("%-44s %12s %12s %12s%s" % (name, money(balance), shown, money(expected),
                                          "" if balance == expected else "   off by " + money(balance - expected)))


if __name__ == "__main__":
    sys.exit(main())
