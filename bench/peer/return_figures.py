#!/usr/bin/env python3
"""The figures of a consumption-tax return as a short script would get them.

    python3 return_figures.py DATABASE DATA_ID

Reads the ledger's store (read-only) with Python's standard sqlite3 module and
groups each side of the journal by tax category, rate and business type: one
GROUP BY query for the debit side, one for the credit side. Prints one line
per group,

    dr|cr CATEGORY RATE BUSINESS_TYPE LINES AMOUNT TAX

and then the totals over all groups,

    total LINES DR_AMOUNT DR_TAX CR_AMOUNT CR_TAX

(LINES is the number of journal lines, counted on the debit side). This is
the baseline a person with the database and an hour to spare would reach; the
whole-run benchmark times it and checks its totals against a plain scan of the
same table. Exit status 0 when the figures were printed, 1 when the database
cannot be read, 2 on a wrong command line.
"""

import sqlite3
import sys

SIDE_QUERY = (
    "SELECT {p}_category, {p}_rate, {p}_business_type, count(*), sum({p}_amount), sum({p}_tax) "
    "FROM journal_line WHERE data_id = ? GROUP BY 1, 2, 3 ORDER BY 1, 2, 3"
)


def main(argv):
    if len(argv) != 3:
        print("usage: return_figures.py DATABASE DATA_ID", file=sys.stderr)
        return 2
    database, data_id = argv[1], argv[2]
    try:
        connection = sqlite3.connect("file:" + database + "?mode=ro", uri=True)
    except sqlite3.Error as error:
        print("return_figures.py: cannot open %s: %s" % (database, error), file=sys.stderr)
        return 1
    totals = {}
    try:
        for side in ("dr", "cr"):
            lines = amount = tax = 0
            for category, rate, business, count, side_amount, side_tax in connection.execute(
                SIDE_QUERY.format(p=side), (data_id,)
            ):
                print(side, category, rate, business, count, side_amount, side_tax)
                lines += count
                amount += side_amount
                tax += side_tax
            totals[side] = (lines, amount, tax)
    except sqlite3.Error as error:
        print("return_figures.py: cannot read %s: %s" % (database, error), file=sys.stderr)
        return 1
    finally:
        connection.close()
    if totals["dr"][0] != totals["cr"][0]:
        print("return_figures.py: the two sides count different lines", file=sys.stderr)
        return 1
    print("total", totals["dr"][0], totals["dr"][1], totals["dr"][2], totals["cr"][1], totals["cr"][2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
