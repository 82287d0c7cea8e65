#!/bin/sh
# checkbook-io leaves every statement to the ledger core in storage/: no SQL
# keyword in a string of io/, and no statement sent or WHERE clause set there.
io="$1/io"
found=$(grep -nE '"[^"]*\b(SELECT|INSERT|UPDATE|DELETE|WHERE|BEGIN|COMMIT|ROLLBACK|ORDER BY|CREATE TABLE)\b' \
  "$io"/*.cpp "$io"/*.h; grep -nE '(->|\.)(Execute|whereClause)\b' "$io"/*.cpp "$io"/*.h)
if [ -n "$found" ]; then
  echo "SQL composed in io/:"
  echo "$found"
  exit 1
fi
