#!/usr/bin/env bash
# The console program under Wine: a line folder summarised with line QC
# (rows as the native golden rows, with Windows separators in the paths:
# line\nested\shot_0003.segd), the same rows with two jobs on standard
# output, the trace tables written per record and to standard output byte for
# byte alike, one report to standard output as its golden file, and the
# program's imports.
# Usage: console_program.sh WINE SEGDREPORT_EXE MAKE_LINE_EXE MAKE_SAMPLE_EXE OBJDUMP TESTS_DIR
set -u
wine=$1 exe=$2 make_line=$3 make_sample=$4 objdump=$5 tests=$6
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failed=0
check() {  # check NAME COMMAND...
  local name=$1
  shift
  "$@" || { failed=$((failed + 1)); echo "FAILED: $name"; }
}

mkdir -p line/nested csvs
"$wine" "$make_line" line 1 4 12 50 && "$wine" "$make_line" line 7 3 12 50 &&
  "$wine" "$make_line" line/nested 3 1 12 50 && "$wine" "$make_sample" LINE1.SEGD || exit 1
printf '\x00' | dd of=line/shot_0009.segd bs=1 seek=14 conv=notrunc status=none  # 09:00, before file 8
truncate -s 3000 line/shot_0008.segd                                              # cut in its seventh trace
echo "observer's notes, not a record" >line/notes.segd

"$wine" "$exe" --jobs 1 --summary one.csv --qc qc.json --csv-dir csvs line/ 2>stderr.txt
check "exit status 1: notes.segd is no record" test $? = 1
grep -v other_make "$tests/cli/batch_golden/summary.csv" | sed 's#^line/nested/#line\\nested\\#; s#line/#line\\#g' >expected.csv
check "summary rows as the native ones" diff -u expected.csv one.csv
"$wine" "$exe" --jobs 2 --quiet line >two.csv 2>/dev/null  # the summary to standard output
check "the same rows with two jobs, on standard output" cmp one.csv two.csv
check "QC section names both holders of file 3" \
  grep -qF 'QC: file number 3 is held by 2 records: line\nested\shot_0003.segd line\shot_0003.segd' stderr.txt
check "the cut record told on standard error" grep -qF 'line\shot_0008.segd: warning: The record is cut: trace 3 of 12' stderr.txt
check "QC file" /usr/bin/python3 -c '
import json, sys
qc = json.load(open("qc.json"))
assert (qc["records"], qc["decoded"]) == (9, 8), qc
assert [f["reason"] for f in qc["failed"]] == ["not SEG-D: general header block 1 does not decode"], qc
assert qc["duplicate_file_numbers"] == [{"file_number": 3, "paths": ["line\\nested\\shot_0003.segd", "line\\shot_0003.segd"]}], qc
assert qc["gaps"] == [{"first_missing": 5, "last_missing": 6}], qc'

"$wine" "$exe" --csv - 'line\shot_0002.segd' >stdout.csv
check "--csv - exits 0" test $? = 0
check "--csv - gives the bytes of the file written per record" cmp stdout.csv csvs/shot_0002.segd.csv

record=$(winepath -w LINE1.SEGD)
"$wine" "$exe" --select all --output - "$record" >report.txt
check "--output - exits 0" test $? = 0
check "report names the record as given" test "$(head -n 1 report.txt)" = "Disk File      : $record"$'\r'
check "report as its golden file" cmp <(tail -n +2 report.txt) <(tail -n +2 "$tests/golden/sample_all.txt")

headers=$("$objdump" -p "$exe")
check "a console program" grep -q 'Subsystem.*(Windows CUI)' <<<"$headers"
echo "imports:" $(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
check "no runtime DLL beside the program" test -z "$(grep -iE 'DLL Name: lib(winpthread|stdc|gcc)' <<<"$headers")"
exit $((failed > 0))
