#!/usr/bin/env bash
# The default run (a summary of any record, against golden files, with its
# exit status) and the habits of a Unix tool: '-' as the record, outputs to
# /dev/null, a FIFO and /dev/full, a reader that closes the pipe early,
# "cannot open" as an error with the system's reason, unknown options in
# every mode, --help from every program of the project.
# Usage: unix_cli.sh SEGDREPORT SN388_SAMPLE SAMPLES_DIR MAKE_LINE [OTHER_PROGRAM...]
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$(realpath "$1")
sample=$(realpath "$2")
samples=$(realpath "$3")
make_line=$(realpath "$4")
shift 4
golden=$(cd "$(dirname "$0")" && pwd)/default_golden
same() {  # same GOLDEN_NAME FILE: compare, or rewrite when regenerating
  if [ "${SEGD_REGENERATE:-0}" = 1 ]; then cp "$2" "$golden/$1"; return 0; fi
  diff -u "$golden/$1" "$2"
}

cd "$work" || exit 1
cp "$sample" sn388_sample.segd
cp "$samples"/ph5_smartsolo_453005513.2.segd "$samples"/su_sercel.segd "$samples"/ph5_fairfield_3ch.fcnt .
for record in sn388_sample.segd ph5_smartsolo_453005513.2.segd su_sercel.segd ph5_fairfield_3ch.fcnt; do
  "$exe" "$record" >out.txt 2>err.txt
  echo "exit $?" >>out.txt
  same "$record.txt" out.txt
  check "default run of $record" test $? = 0
  check "... nothing on stderr" test ! -s err.txt
done

"$exe" --select all sn388_sample.segd >/dev/null 2>err.txt
check "a run that asks for something behaves as before: --select without --output asks for a name" \
  grep -q 'Enter a File Name for the Results' err.txt

# '-': the record on standard input, read as the file is.
"$exe" - <su_sercel.segd >stdin.txt 2>err.txt
check "'-' reads the record from standard input" test $? = 0
check "... and summarises it as the file" cmp <(tail -n +2 stdin.txt) <(tail -n +2 "$golden/su_sercel.segd.txt" | sed '$d')
cat sn388_sample.segd | "$exe" --csv - - >stdin.csv 2>/dev/null
check "--csv - - over a pipe gives the file's CSV" cmp stdin.csv <("$exe" --csv - sn388_sample.segd 2>/dev/null)

# Outputs written in place, and failures that are failures.
"$exe" --csv /dev/null sn388_sample.segd >/dev/null 2>err.txt
check "--csv /dev/null succeeds quietly" test $? = 0 -a ! -s err.txt
mkfifo fifo
timeout 60 cat fifo >from_fifo.csv &
"$exe" --csv fifo sn388_sample.segd 2>err.txt
check "--csv to a FIFO succeeds" test $? = 0
wait
check "... and the reader gets the CSV" cmp from_fifo.csv stdin.csv
"$exe" --csv /dev/fd/3 sn388_sample.segd 3>fd3.csv 2>/dev/null
check "--csv /dev/fd/3 writes the descriptor" cmp fd3.csv stdin.csv
"$exe" --csv - sn388_sample.segd 2>err.txt | head -1 >/dev/null
check "a reader closing the pipe early ends the run with 0" test "${PIPESTATUS[0]}" = 0
check "... and nothing on stderr" test ! -s err.txt
mkdir line && "$make_line" line 1 40 12 50
"$exe" --summary - line 2>/dev/null | head -1 >/dev/null
check "the same for a summary" test "${PIPESTATUS[0]}" = 0
"$exe" --csv /dev/full sn388_sample.segd 2>err.txt
check "--csv /dev/full fails with exit 1" test $? = 1 -a -s err.txt
"$exe" --quiet --summary /dev/full line 2>err.txt
check "--summary /dev/full fails with exit 1" test $? = 1 -a -s err.txt
"$exe" --csv - nosuch.segd >/dev/null 2>err.txt
check "a record that cannot be opened fails with exit 1" test $? = 1
check "... as an error with the system's reason" grep -q 'error: Open Failed: Cannot open nosuch.segd (No such file or directory)' err.txt

# Unknown options in every mode.
for args in "--bogus su_sercel.segd" "--summary - --bogus line" "--bogus=1 line su_sercel.segd" "--qc-from x.csv --bogus"; do
  "$exe" $args >/dev/null 2>err.txt
  check "'$args' is a usage error" test $? = 2
  check "... naming the unknown option" grep -q "unknown option '--bogus" err.txt
done
for program in "$exe" "$make_line" "$@"; do
  "$program" --help >out.txt 2>&1
  check "$(basename "$program") --help exits 0" test $? = 0 -a -s out.txt
done

finish "unix_cli"
