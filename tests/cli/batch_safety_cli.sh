#!/usr/bin/env bash
# Batch mode and single runs under attack: no output replaces a record or a
# file the run reads (refused before anything is written, exit 2), hostile
# summaries and records fail cleanly, names stay exact, no temporary file is
# left at any --jobs.
# Usage: batch_safety_cli.sh SEGDREPORT MAKE_LINE MAKE_SEGD SAMPLES_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$(realpath "$1")
make_line=$(realpath "$2")
make_segd=$(realpath "$3")
samples=$(realpath "$4")
python=/usr/bin/python3
tools=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)
cd "$work" || exit 1
mkdir line && "$make_line" line 1 3 12 50 >/dev/null || exit 1
cp line/shot_0002.segd line/shot_0001.segd.csv  # a record named as another's CSV would be
printf 'shot_0001.segd\n' >list.txt
cp "$samples/ph5_smartsolo_453005513.2.segd" solo.segd
ln solo.segd hard.segd
ln solo.segd r.json
cp solo.segd X.Txt
find line -type f | sort | xargs sha256sum >sums.txt
cp solo.segd solo.orig

run() {  # run ARGS...: sets status and err (no --quiet: it silences the QC section)
  "$exe" "$@" >out.txt 2>err.txt
  status=$?
  err=$(<err.txt)
}

# Every output naming a record (or a file the run reads) is refused, exit 2,
# before anything is written. NAME | OUTPUT FILE NAMED | ARGUMENTS
while IFS='|' read -r name output args; do
  eval "set -- $args"
  run "$@"
  check "$name: exit 2" test "$status" = 2
  check "$name: says why" has "$err" "The output $output is"
  check "$name: records untouched" sha256sum --quiet -c sums.txt
  check "$name: solo.segd untouched" cmp -s solo.segd solo.orig
done <<'TABLE'
summary name forgotten|line/shot_0001.segd|--summary line/shot_0001.segd line/shot_0002.segd line/shot_0003.segd
QC over a record of the run|line/shot_0002.segd|--qc line/shot_0002.segd line/shot_0001.segd line/shot_0002.segd
JSON Lines summary over a record|line/shot_0003.segd|--summary-format json --summary line/shot_0003.segd line
--csv-dir in the input folder|line/shot_0001.segd.csv|--csv-dir line line
--json-dir over a hard link|./r.json|--json-dir . --summary s.csv solo.segd r
summary over the list of records|list.txt|--files-from list.txt --summary list.txt
one record's CSV over itself|solo.segd|--csv solo.segd solo.segd
one record's JSON over a hard link|hard.segd|--json hard.segd solo.segd
one record's report over itself|./X.Txt|--output x --folder . X.Txt
one record's CSV over another record|line/shot_0003.segd|--csv line/shot_0003.segd solo.segd
TABLE
check "nothing written by a refused run" test ! -e s.csv
printf 'path,status\nline/shot_0001.segd,ok\n' >s1.csv
run --qc-from s1.csv --qc s1.csv
check "--qc over the summary it reads: exit 2" test "$status" = 2
check "--qc over the summary it reads: kept" test "$(head -1 s1.csv)" = "path,status"

# Summaries that would crash or mislead the QC reader: NAME | TEXT | EXIT | MESSAGE
while IFS='|' read -r name text code message; do
  printf '%b' "$text" >hostile.txt
  run --qc-from hostile.txt
  check "$name: exit $code" test "$status" = "$code"
  check "$name: message" has "$err" "$message"
done <<'TABLE'
a cell nested deeply|{"path":"a","file_number":'"$($python -c 'print("["*100000)')"'}\n|1|row 1 cannot be read
a cell that is an array|{"path":"a","status":"ok","file_number":[1]}\n|1|row 1 cannot be read
an object in a cell|{"path":"a","status":"ok","file_number":{"a":1}}\n|1|row 1 cannot be read
a record named path keeps its row|path,status,file_number\npath,ok,7\nb,ok,7\n|3|file number 7 is held by 2 records: b path
TABLE

# Names kept exact: bytes that are not UTF-8 and control characters are
# escaped in the summary and in every line; a NUL in a listed path refuses it.
cp solo.segd $'\xe9.segd'
cp solo.segd 'é.segd'
cp solo.segd $'new\nline.segd'
"$exe" --quiet --summary names.csv $'\xe9.segd' 'é.segd' $'new\nline.segd' 2>names.err
check "a Latin-1 name is escaped, a UTF-8 one kept" test "$(cut -d, -f1 names.csv | sed -n 2,3p | tr '\n' ' ')" = '\xe9.segd é.segd '
check "a newline in a name is escaped in the summary" grep -qF 'new\x0aline.segd,' names.csv
check "no raw newline in a batch line" test "$(grep -c '^line.segd' names.err)" = 0
printf 'solo.segd\0junk\n' >nul.txt
run --files-from nul.txt --summary nul.csv
check "a NUL in a listed path: exit 1" test "$status" = 1
check "a NUL in a listed path: refused" has "$err" "holds a NUL byte; it is not read: solo.segd\x00junk"
echo "observer's notes of the day, not a record" >notes.txt
run --csv notes.csv notes.txt
check "a text file named on the command line: exit 1" test "$status" = 1
check "a text file named on the command line: why" has "$err" "is not a SEG-D record: bytes 1-2 hold no decimal file number"

# Failures are told with the system's reason, and a record's missing output
# is told and counted. NAME | EXIT | MESSAGE | ARGUMENTS
"$make_segd" --rev 2.1 --cut 100 cut.segd
mkdir reports
cp "$samples/ph5_fairfield_3ch.fcnt" fairfield.fcnt
while IFS='|' read -r name code message args; do
  eval "set -- $args"
  "$exe" --quiet "$@" >/dev/full 2>err.txt
  status=$?
  check "$name: exit $code" test "$status" = "$code"
  check "$name: message" has "$(<err.txt)" "$message"
done <<'TABLE'
summary in a missing folder|1|cannot create the summary none/s.csv (No such file or directory)|--summary none/s.csv solo.segd line
summary on a full device|1|the summary /dev/full could not be written completely (No space left on device)|--summary /dev/full solo.segd line
QC file in a missing folder|1|cannot write the QC file none/q.json (No such file or directory)|--qc none/q.json solo.segd line
an over-long CSV name|1|could not be written completely (File name too long)|--csv $(printf 'x%.0s' {1..300}).csv solo.segd
report on a full standard output|1|The report on standard output could not be written completely (No space left on device)|--output - line/shot_0001.segd
a record cut inside its headers, --csv|3|The record is cut: the file ends|--csv cut.csv cut.segd
a record cut inside its headers, --json|3|The record is cut: the file ends|--json cut.json cut.segd
--report-dir and a record its decoder does not take|1|1 of 2 records lack an output asked for|--report-dir reports fairfield.fcnt line/shot_0001.segd
TABLE
check "--report-dir tells why a record has no report" grep -qF "fairfield.fcnt: no text report (Invalid Record Type Code" err.txt

# A termination signal in the middle of a run with many jobs and per-record
# outputs leaves no temporary file, wherever it lands.
mkdir -p many/csv many/json
"$make_line" many/line 1 40 3000 50 >/dev/null 2>&1 || { mkdir -p many/line && "$make_line" many/line 1 40 3000 50 >/dev/null; }
for delay in 0.1 0.3; do
  "$exe" --quiet --jobs 40 --csv-dir many/csv --json-dir many/json --summary many/s.csv many/line 2>/dev/null &
  sleep "$delay"
  kill -TERM $! 2>/dev/null
  wait $!
  check "SIGTERM after ${delay}s at --jobs 40: no temporary file" test -z "$(find many -name '.segdreport-*')"
done

# Hostile records: the many-channel-set record stays within 64 MiB of memory
# in every mode, and a memory limit with many jobs fails rows, not the run.
$python "$tools/many_channel_sets.py" "$make_segd" many_sets.segd
peak() {  # peak KiB of a run of the program
  $python -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$@"
}
if ! ldd "$exe" | grep -q asan; then
  for mode in --json --summary; do
    kib=$(peak "$exe" --quiet "$mode" - many_sets.segd)
    check "many channel sets, $mode: $kib KiB peak, under 64 MiB" test "$kib" -lt 65536
  done
  (ulimit -v 2000000; "$exe" --quiet --jobs 128 --summary mem.csv line >/dev/null 2>err.txt)
  status=$?
  check "--jobs 128 under a memory limit: no abort ($status)" test "$status" -lt 128
  check "--jobs 128 under a memory limit: a row per record" test "$(wc -l <mem.csv)" = 5
fi

finish "batch safety"
