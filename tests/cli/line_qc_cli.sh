#!/usr/bin/env bash
# Line QC as a crew lead sees it: a 60-shot line damaged as field lines are
# (a shot deleted, a shot copied as a re-run, a re-shoot at an old source
# position, a shot cut short, an hour and a year patched, a day later, a shot
# with dead and flagged traces, records of other makes, one with its header
# time away from its GPS time, an empty file and a text file). The summary,
# the QC section and file and the exit status are compared with golden files
# (rewrite them on purpose with SEGD_REGENERATE=1); Python's scan() and
# line_qc() must agree; the README's GNU parallel recipe must give the one
# run's summary, QC and exit status byte for byte.
# Usage: line_qc_cli.sh SEGDREPORT MAKE_LINE MAKE_SAMPLE SAMPLES_DIR PYTHON_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$(realpath "$1")
make_line=$(realpath "$2")
make_sample=$(realpath "$3")
samples=$(realpath "$4")
python_dir=$(realpath "$5")
golden=$(cd "$(dirname "$0")" && pwd)/line_golden
same() {  # same GOLDEN_NAME FILE: compare, or rewrite when regenerating
  if [ "${SEGD_REGENERATE:-0}" = 1 ]; then cp "$2" "$golden/$1"; return 0; fi
  diff -u "$golden/$1" "$2"
}
patch() {  # patch FILE OFFSET BYTES: general header block 1 bytes, BCD
  printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
renumber() {  # renumber FILE BCD: the file number in general header block 1 and in every trace header
  patch "$1" 0 "$2"
  for at in $("$exe" --quiet --csv - "$1" 2>/dev/null | awk -F, 'NR > 1 {print $5}'); do patch "$1" "$at" "$2"; done
}

cd "$work" || exit 1
mkdir -p line/other
"$make_line" line 1 60 12 50 || exit 1
rm line/shot_0017.segd                                  # file 17 missing
cp line/shot_0023.segd line/shot_0023_rerun.segd        # file 23 twice
cp line/shot_0030.segd line/shot_0062.segd              # re-shoot of point 2055 as file 62
renumber line/shot_0062.segd '\x00\x62'
truncate -s 3000 line/shot_0040.segd                    # cut in its third trace
patch line/shot_0045.segd 13 '\x11'                     # 11:45, not 09:45
patch line/shot_0050.segd 10 '\x21'                     # 2021, not 2006
patch line/shot_0060.segd 12 '\x46'                     # a day later: day 46
"$make_sample" line/shot_0061.segd >/dev/null || exit 1  # flagged traces
renumber line/shot_0061.segd '\x00\x61'
patch line/shot_0061.segd 12 '\x46\x10\x01'             # day 46 10:01
cp "$samples/ph5_smartsolo_453005513.2.segd" line/other/smartsolo.segd
patch line/other/smartsolo.segd 13 '\x21'               # an hour off its GPS time
cp "$samples/su_sercel.segd" "$samples/ph5_fairfield_3ch.fcnt" line/other/
: >line/empty.segd
echo "observer's notes, not a record" >line/notes.txt

"$exe" --jobs 2 --summary summary.csv --qc qc.json line 2>stderr.txt
echo "exit $?" >>stderr.txt
same summary.csv summary.csv
check "a row per file: status, trace findings and reasons" test $? = 0
same qc.json qc.json
check "QC file" test $? = 0
same stderr.txt stderr.txt
check "record lines, QC section and exit status" test $? = 0
/usr/bin/python3 -c 'import json, jsonschema, sys
jsonschema.validate(json.load(open(sys.argv[1])), json.load(open(sys.argv[2])))' qc.json "$golden/../../../docs/schema/qc.schema.json"
check "the QC file follows its JSON Schema" test $? = 0

"$exe" --quiet --jobs 1 --summary - line/shot_0061.segd --allow dead=1,impedance=1,overscale=1%,data=1,sync=1 >allowed.csv
check "findings within --allow leave a record ok (exit 0)" test $? = 0
check "... and its row says ok" grep -q '^line/shot_0061.segd,[0-9]*,ok,' allowed.csv
"$exe" --quiet --summary - --exclude '*.txt' --exclude 'empty*' --include '*.segd' line >filtered.csv
check "--include/--exclude choose the files of a folder" test "$(grep -c ',failed,' filtered.csv)" = 0
"$exe" line/empty.segd >/dev/null 2>err.txt
check "a named empty file fails (exit 1)" test $? = 1
check "... saying it is empty" grep -q 'empty file (0 bytes)' err.txt

# Python: the same rows and the same QC.
# (A module built with the sanitizers needs their runtimes loaded first.)
env PYTHONPATH="$python_dir" MPLBACKEND=Agg ${SEGD_PYTHON_PRELOAD:+LD_PRELOAD=$SEGD_PYTHON_PRELOAD ASAN_OPTIONS=detect_leaks=0} \
  /usr/bin/python3 - summary.csv qc.json <<'PY'
import io, json, sys
import pandas as pd
import segdreport
frame = segdreport.scan("line", jobs=2)
written = pd.read_csv(sys.argv[1], dtype={"revision": str})
assert list(frame.columns) == list(written.columns)
texts = lambda f: [[segdreport._batch._cell_text(v) for v in row] for row in f.astype(object).values.tolist()]
diffs = [(r[0], c, a, b) for r, w in zip(texts(frame), texts(written)) for c, a, b in zip(written.columns, r, w) if a != b]
assert not diffs, f"scan() rows differ from the summary file: {diffs[:3]}"
assert segdreport.line_qc(frame) == json.load(open(sys.argv[2])), "line_qc() differs from --qc"
# Shards concatenated with their header rows, read back by pandas.
doubled = pd.read_csv(io.StringIO(open(sys.argv[1]).read() * 2))
assert segdreport.line_qc(doubled)["records"] == 2 * len(frame)
PY
check "Python scan() and line_qc() agree with the command line" test $? = 0

# The README's recipe: four records a shard on GNU parallel, merged.
find line -type f | LC_ALL=C sort >list.txt
"$exe" --files-from list.txt --summary one.csv --qc one_qc.json 2>one_err.txt
echo "exit $?" >>one_err.txt
parallel -k --pipe -N4 "$exe" --quiet --files-from - --summary - --no-header --qc none <list.txt |
  "$exe" --qc-from - --summary merged.csv --qc merged_qc.json 2>merged_err.txt
echo "exit $?" >>merged_err.txt
check "parallel shards merge to the one run's summary" cmp one.csv merged.csv
check "... its QC file" cmp one_qc.json merged_qc.json
check "... its record lines, QC section and exit status" cmp one_err.txt merged_err.txt
"$exe" --quiet --files-from list.txt --summary - --qc none >quiet.csv 2>quiet_err.txt
check "--quiet --qc none writes nothing on stderr" test ! -s quiet_err.txt

finish "line_qc_cli"
