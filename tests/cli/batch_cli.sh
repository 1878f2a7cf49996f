#!/usr/bin/env bash
# Many records at once, end to end: a line folder with a duplicate file
# number, a gap, a record recorded out of order, a record cut short, a record
# of another make, a file that is not SEG-D and a nested folder. The summary,
# the QC section and file and the exit status are compared with golden files
# (rewrite them on purpose with SEGD_REGENERATE=1); the rows must not depend
# on --jobs, and a GNU parallel split must give the same rows and QC.
# Usage: batch_cli.sh SEGDREPORT MAKE_LINE SAMPLES_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$(realpath "$1")
make_line=$(realpath "$2")
samples=$(realpath "$3")
golden=$(cd "$(dirname "$0")" && pwd)/batch_golden
same() {  # same GOLDEN_NAME FILE: compare, or rewrite when regenerating
  if [ "${SEGD_REGENERATE:-0}" = 1 ]; then cp "$2" "$golden/$1"; return 0; fi
  diff -u "$golden/$1" "$2"
}

cd "$work" || exit 1
mkdir -p line/nested
"$make_line" line 1 4 12 50 || exit 1        # files 1-4
"$make_line" line 7 3 12 50 || exit 1        # 5 and 6 missing; 7-9
"$make_line" line/nested 3 1 12 50 || exit 1 # file 3 again, same file name
# File 9 recorded at 09:00:00, before file 8.
printf '\x00' | dd of=line/shot_0009.segd bs=1 seek=14 conv=notrunc status=none
# File 8 cut inside its seventh trace.
truncate -s 3000 line/shot_0008.segd
cp "$samples/ph5_smartsolo_453005513.2.segd" line/nested/other_make.segd
echo "observer's notes, not a record" >line/notes.segd

"$exe" --jobs 1 --summary one.csv --qc qc.json line 2>stderr.txt
echo "exit $?" >>stderr.txt
same summary.csv one.csv
check "summary rows, statuses and problems" test $? = 0
same qc.json qc.json
check "QC file" test $? = 0
same stderr.txt stderr.txt
check "QC section, record lines and exit status" test $? = 0

"$exe" --jobs 4 --quiet --summary four.csv line 2>/dev/null
check "rows in the same order with --jobs 1 and 4" cmp -s one.csv four.csv

"$exe" --jobs 2 --quiet --summary-format json --summary one.jsonl line 2>/dev/null
/usr/bin/python3 - one.csv one.jsonl <<'PY'
import csv, json, sys
rows = list(csv.DictReader(open(sys.argv[1], newline="")))
objects = [json.loads(l, parse_float=str, parse_int=str) for l in open(sys.argv[2])]
assert all(o.pop("schema_version") == "2.0" for o in objects), "every JSON line names its schema"
assert [list(o) for o in objects] == [list(rows[0])] * len(rows), "JSON fields differ from the CSV columns"
for r, o in zip(rows, objects):
    for k, v in r.items():
        assert ("" if o[k] is None else str(o[k])) == v, (k, v, o[k])
PY
check "JSON Lines summary holds the CSV's fields and values" test $? = 0

# The same line split over four GNU parallel workers, three records each.
find line -type f | sort >list.txt
"$exe" --quiet --files-from list.txt --summary listed.csv 2>/dev/null
parallel --pipe -N3 "$exe" --quiet --files-from - --summary - <list.txt >shards.csv 2>/dev/null
/usr/bin/python3 - listed.csv shards.csv <<'PY'
import csv, sys
def rows(path):
    r = [row for row in csv.reader(open(path, newline="")) if row and row[0] != "path"]
    return sorted(r)
assert rows(sys.argv[1]) == rows(sys.argv[2]), "merged shards differ from one run"
PY
check "parallel shards merge to one run's rows" test $? = 0
"$exe" --qc-from shards.csv --qc shards_qc.json 2>/dev/null
"$exe" --qc-from listed.csv --qc listed_qc.json 2>/dev/null
check "QC over merged shards equals QC over one run" cmp -s shards_qc.json listed_qc.json

# Per-record outputs: one file per decoded record, the two shot_0003.segd apart.
mkdir csv json
"$exe" --quiet --jobs 2 --csv-dir csv --json-dir json line 2>/dev/null
decoded=$(grep -c ',\(ok\|warning\),' one.csv)
check "one CSV per decoded record" test "$(ls csv | wc -l)" = "$decoded"
check "one JSON per decoded record" test "$(ls json | wc -l)" = "$decoded"
check "records of the same name kept apart" test "$(ls csv | grep -c '^shot_0003.segd@[0-9a-f]\{8\}\.csv$')" = 2
check "no temporary file left" test -z "$(ls csv json | grep '\.tmp\.')"
mkdir reports
"$exe" --quiet --report-dir reports --select all line/shot_0001.segd line/nested/shot_0003.segd 2>/dev/null
check "a text report per record, each as the single-record run writes it" test "$(ls reports)" = "shot_0001.segd.txt
shot_0003.segd.txt"
"$exe" --output r --select all --folder "$work" line/shot_0001.segd 2>/dev/null
check "the batch report of a record equals its single-record report" cmp -s reports/shot_0001.segd.txt R.Txt
for f in json/*; do /usr/bin/python3 -c 'import json,sys; json.load(open(sys.argv[1]))' "$f" || failed=$((failed + 1)); done

# Usage errors and an output that cannot be written.
"$exe" --jobs 0 line >/dev/null 2>&1
check "--jobs 0 is a usage error" test $? = 2
"$exe" --output x line line/nested >/dev/null 2>&1
check "a report's name with many records is a usage error" test $? = 2
"$exe" --output x line >/dev/null 2>&1
check "a lone folder with a report's name is still refused as a record" test $? = 1
"$exe" --quiet --summary /nonexistent/s.csv line >/dev/null 2>&1
check "an unwritable summary gives exit 1" test $? = 1

finish "batch_cli"
