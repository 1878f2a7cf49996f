#!/usr/bin/env bash
# The command line's export: --segy and --mseed (files and '-'), the batch's
# --segy-dir and --mseed-dir, refusals that leave no file and name the way
# out, usage errors. The files' contents are checked against the decoder by
# tests/export_records_test.cpp; here segyio only reopens them.
# Usage: export_cli.sh SEGDREPORT PUBLIC_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$(realpath "$1")
public=$(realpath "$2")
py=/usr/bin/python3
cd "$work" || exit 1
sercel=$public/su_sercel.segd
solo=$public/ph5_smartsolo_453005513.2.segd

"$exe" --segy s.sgy --mseed s.mseed --station 'S{seq}' "$sercel" 2>err
check "--segy and --mseed in one run" test $? = 0 -a -s s.sgy -a -s s.mseed
check "no report without a name" test ! -e *.Txt
"$exe" --segy - "$sercel" >stdout.sgy 2>/dev/null
check "--segy - writes the same bytes to standard output" cmp -s s.sgy stdout.sgy
check "segyio reopens the file" "$py" -c "
import segyio, sys
with segyio.open('s.sgy', ignore_geometry=True) as f:
    assert f.tracecount > 0 and f.bin[segyio.BinField.Format] == 5
"
"$exe" --mseed s.mseed --station '{serial}' "$solo" 2>err
status=$?
check "a station code longer than 5 characters is refused, not cut" test $status = 1 -a -n "$(grep -F 'longer than 5' err)"
check "... and leaves no file" test ! -e s.mseed.partial -a "$(ls | grep -c mseed)" = 1
rm -f s.mseed
"$exe" --mseed s.mseed "$solo" 2>err
check "the default station: the extended receiver point where the short one holds the escape" \
  test $? = 0 -a "$(head -c 13 s.mseed | tail -c 5)" = "1    "
"$exe" --segy new.sgy --segy-revision 3 "$sercel" 2>err
check "--segy-revision takes 1 or 2" test $? = 2 -a ! -e new.sgy
"$exe" --segy a.sgy --mseed - --csv - "$sercel" 2>err
check "one output at most on standard output" test $? = 2

# One walk feeds every output: the joined run's files are those of separate
# runs, byte for byte, and the record is opened once.
cp "$solo" solo.segd
head -c 300000 "$sercel" >cut.segd
for record in "$sercel" solo.segd "$public/ph5_fairfield_3ch.fcnt" cut.segd; do
  "$exe" --csv a.csv "$record" 2>/dev/null; "$exe" --samples a.f32 --scaled "$record" 2>/dev/null
  "$exe" --segy a.sgy --mseed a.mseed --station 'S{seq}' "$record" 2>/dev/null
  alone=$?
  # (LeakSanitizer, in a sanitizer build, cannot run under ptrace.)
  ASAN_OPTIONS=detect_leaks=0 strace -f -qq -e trace=openat -o opened "$exe" --csv j.csv --samples j.f32 --scaled --segy j.sgy --mseed j.mseed \
    --station 'S{seq}' "$record" 2>err
  check "$record: one walk gives the separate runs' files and status" test $? = $alone -a "$(
    for f in csv f32 f32.json sgy mseed; do cmp -s a.$f j.$f || echo $f; done)" = ""
  check "$record: ... opens the record once and tells each notice once" \
    test "$(grep -c "\"$record\"" opened)" = 1 -a "$(sort err | uniq -d)" = ""
done
rm j.*
"$exe" --csv j.csv --mseed j.mseed --station '{serial}' solo.segd 2>err
check "an export refusal leaves no export and the CSV whole" \
  test $? = 1 -a ! -e j.mseed -a -s j.csv -a "$("$exe" --csv - solo.segd 2>/dev/null | cmp - j.csv)" = ""
"$exe" --segy a.sgy --samples a.f32 solo.segd 2>/dev/null
"$exe" --csv nowhere/j.csv --segy j.sgy --samples j.f32 solo.segd 2>err
check "a CSV that cannot be written leaves the export and the samples whole" \
  test $? = 1 -a "$(cmp j.sgy a.sgy; cmp j.f32 a.f32)" = ""

mkdir sgy ms
"$exe" --segy-dir sgy --mseed-dir ms --station 'T{seq}' --summary sum.csv "$public" 2>err
check "batch export: one SEG-Y and one miniSEED per record" test "$(ls sgy | wc -l)" = 3 -a "$(ls ms | wc -l)" = 3
"$exe" --segy x.sgy "$public" 2>err
check "--segy with many records points to --segy-dir" test $? = 2 -a -n "$(grep -F -- '--segy-dir' err)"
finish export_cli
