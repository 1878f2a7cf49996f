#!/usr/bin/env bash
# The command line's data outputs: --csv and --json beside the report in one
# run, '-' for standard output, data names in --select, the field list of
# --help, notices that name the record, and failed or cut outputs.
# Usage: data_outputs_cli.sh SEGDREPORT BUILD_DIR MAKE_SEGD
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$1
sample=$2/sample.segd
make_segd=$3
py=/usr/bin/python3
cd "$work" || exit 1

"$exe" --output all --select all "$sample" 2>/dev/null
# (LeakSanitizer, in a sanitizer build, cannot run under ptrace.)
ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=openat -o opened \
  "$exe" --output both --select all --csv t.csv --json t.json "$sample" 2>err
check "one run writes all three outputs" test $? = 0 -a -s t.csv -a -s t.json
check "the report is the same with data outputs beside it, the record opened once" \
  test "$(cmp -s All.Txt Both.Txt && grep -c "\"$sample\"" opened)" = 1
"$exe" --output - --select all "$sample" >stdout.txt
check "--output - writes the report's bytes to standard output" cmp -s All.Txt stdout.txt
"$exe" --csv - "$sample" >stdout.csv
check "--csv - writes the same table to standard output" cmp -s t.csv stdout.csv

# The CSV and JSON read back by Python's parsers: one row per announced
# trace, the same columns and values in both, every trace field of the
# report's trace table in its cells.
check "CSV and JSON agree with each other and with the report" "$py" - All.Txt t.csv t.json <<'PY'
import csv, json, sys
report = open(sys.argv[1], encoding="latin-1", newline="").read().split("\r\n")
rows = list(csv.reader(open(sys.argv[2], encoding="utf-8", newline="")))
doc = json.load(open(sys.argv[3], encoding="utf-8"))
labels = {c for c in rows[0] if c.endswith("_label")}
assert [c for c in rows[0] if c not in labels] == doc["traces"]["columns"], rows[0]
announced = doc["integrity"]["traces_announced"]
assert len(rows) - 1 == announced == len(doc["traces"]["rows"]) == 362
def text(value):
    return "" if value is None else str(value).lower() if isinstance(value, bool) else str(value)
for row, jrow in zip(rows[1:], doc["traces"]["rows"]):
    cells = dict(zip(rows[0], row))
    for name, value in zip(doc["traces"]["columns"], jrow):
        if isinstance(value, dict):  # a coded field: its code and the label column's text
            assert cells[name] == text(value["code"]) and cells[name + "_label"] == text(value["label"]), (name, value)
        else:
            assert cells[name] == text(value) or float(cells[name]) == value, (name, cells[name], value)
start = next(i for i, l in enumerate(report) if l.startswith("Seq   ")) + 2
for row, line in zip(rows[1:], report[start:]):
    cells = dict(zip(rows[0], row))
    assert line.split()[0] == cells["trace"]
    for name in ("unit_serial", "receiver_line", "receiver_point", "trace_edit_label"):
        assert cells[name][:15] in line, (name, cells[name], line)  # the report cuts a text to its column
assert doc["general_headers"]["general_header_1"]["file_number"]["raw"] == "4217"
assert not doc["notices"] and doc["revision"] == "1.0"
PY

"$exe" --csv - --json - "$sample" 2>err
check "two outputs to standard output are a usage error" test $? = 2
"$exe" --select line,point-northing,dead --output names "$sample" 2>/dev/null
"$exe" --select 1-3,24 --output indices "$sample" 2>/dev/null
check "--select takes data names and ranges of them" cmp -s Names.Txt Indices.Txt
"$exe" --help >help.txt
check "--help lists every field with its index and data name" grep -qE '^  29  sync_error +Sync Error$' help.txt
check "--help lists the sections" grep -q "34 open the report in the viewer" help.txt
check "--help names 30 fields" test "$(grep -cE '^ +[0-9]+  [a-z_]+ ' help.txt)" = 30

head -c 400000 "$sample" >cut.segd
"$exe" --csv cut.csv cut.segd 2>err
status=$?
check "a cut record's data outputs end with status 3" test "$status" = 3
check "a cut record's rows past the end are marked" "$py" -c '
import csv, sys
rows = list(csv.DictReader(open("cut.csv")))
marks = [r["past_end"] for r in rows]
assert len(rows) == 362 and marks[0] == "false" and marks[-1] == "true", marks[:3]
assert marks == sorted(marks)'
"$exe" --json - "$sample" >/dev/full 2>err
check "a failed write to standard output ends with status 1" test $? = 1
check "the failed write is told with the record's name" grep -qF "segdreport: $sample: warning: Output Not Written:" err
"$exe" --csv "$sample" "$sample" 2>err
check "the record itself is never a data output" test $? = 2 -a "$(cmp -s "$sample" "$sample"; echo $?)" = 0
check "the refusal names the record" grep -qF "segdreport: The output $sample is one of the records being read" err

# A record of another make: no text report, a notice saying why, and its
# data outputs as for any record.
"$make_segd" --rev 3.0 --make sercel other.segd
"$exe" --output other other.segd 2>err
check "another make's record gives no text report" test $? = 1 -a ! -e Other.Txt
check "the notice names its make and the outputs that read it" \
  grep -qF "segdreport: other.segd: this record was written by Sercel (SEG-D revision 3.0), not by an SN388 recorder" err
"$exe" --csv other.csv other.segd 2>err
check "another make's record is written as CSV" test $? = 0 -a "$(wc -l <other.csv)" = 13

finish "data outputs"
