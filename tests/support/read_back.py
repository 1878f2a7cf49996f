# Reads the data writers' outputs back with Python's own parsers, for the
# tests; the answer goes to standard output as JSON.
#   read_back.py csv FILE   the rows of a strict RFC 4180 file in UTF-8
#   read_back.py cp1252     the characters of bytes 0x01-0xFF as Windows-1252
#                           reads them (the five codes it leaves undefined as
#                           the control characters of the same number)
import csv
import io
import json
import sys

if sys.argv[1] == "csv":
    with open(sys.argv[2], newline="", encoding="utf-8", errors="strict") as f:
        data = f.read()
    rows = list(csv.reader(io.StringIO(data, newline=""), strict=True))
    print(json.dumps({"rows": rows, "crlf": "\r\n" in data, "ends_with_lf": data.endswith("\n")}))
else:
    print(json.dumps([bytes([b]).decode("cp1252", errors="ignore") or chr(b) for b in range(1, 256)]))
