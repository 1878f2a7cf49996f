#!/usr/bin/env bash
# The command line's contract: exit statuses, notices on standard error, the
# report's name and place, and that the record file is never written.
# Usage: run_cli_tests.sh SEGDREPORT BUILD_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$1
build=$2
sample=$build/sample.segd

run() {  # run ARGS... : sets status, out, err
  "$exe" "$@" >"$work/out" 2>"$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}
line() { sed -n "${2}p" "$1" | tr -d '\r'; }

run
check "no argument is a usage error" test "$status" = 2
check "usage error hints at --help" has "$err" "Try 'segdreport --help'"
run --bogus "$sample"
check "unknown option is a usage error" test "$status" = 2
run --select 40 "$sample"
check "bad selection is a usage error" test "$status" = 2
run --help
check "--help succeeds" test "$status" = 0
check "--help shows the usage" has "$out" "Usage: segdreport"
run --version
check "--version succeeds" test "$status" = 0
check "--version names the program" has "$out" "segdreport "

run --output r "$work/missing.segd"
check "missing record ends without report" test "$status" = 1
check "missing record is told as such" has "$err" "Open Failed: Cannot open $work/missing.segd"
run --output r "$work"
check "a folder is not read as a record" test "$status" = 1
check "a folder cannot be opened" has "$err" "Cannot open $work"

head -c 5000 /dev/zero >"$work/zeros.segd"
run --output r --folder "$work" "$work/zeros.segd"
check "a record of zeros is not SEG-D" test "$status" = 1
check "the format complaint is shown" has "$err" "0000 is an invalid SEGD Format Code. This is not a SEG D File."
check "no report for a bad record" test ! -e "$work/R.Txt"

run --folder "$work" "$sample"
check "no output name ends without report" test "$status" = 1
check "no output name asks for one" has "$err" "Specify a File: Enter a File Name for the Results"

mkdir -p "$work/out1"
run --output results.txt --select 30,31 --folder "$work/out1" "$sample"
check "sample scan succeeds" test "$status" = 0
report=$work/out1/Results.Txt
check "report named Results.Txt" test -f "$report"
check "preamble names the record" test "$(line "$report" 1)" = "Disk File      : $sample"
check "lines end in CR LF" test "$(head -1 "$report" | od -An -c | tr -d ' \n' | tail -c 4)" = '\r\n'
check "general headers section present" test "$(line "$report" 14)" = "General Headers"
check "separator is 89 hyphens" test "$(line "$report" 13)" = "$(printf '%089d' 0 | tr 0 -)"
check "channel set section present" grep -qF "Channel Set Headers (Unused headers not displayed)" "$report"
check "extended header section not selected" test "$(grep -c $'^Extended Header\r$' "$report")" = 0
check "trace heading follows the sections" grep -q $'^Seq   \r$' "$report"

cp "$sample" "$work/Rec.Txt"
before=$(stat -c '%s %Y' "$work/Rec.Txt"; md5sum <"$work/Rec.Txt")
run --output rec --folder "$work" "$work/Rec.Txt"
check "report over the record is refused" test "$status" = 2
check "report over the record is told" has "$err" "The output $work/Rec.Txt is one of the records being read"
check "record is never written" test "$before" = "$(stat -c '%s %Y' "$work/Rec.Txt"; md5sum <"$work/Rec.Txt")"

run --output results --folder "$work/no/such/folder" "$sample"
check "missing report folder ends without report" test "$status" = 1
check "missing report folder is told" has "$err" "Cannot create the report file $work/no/such/folder/Results.Txt"

# A full disk, as a file-size limit (a link to /dev/full at the report's
# name would now be replaced, not written through).
(ulimit -f 4; "$exe" --output full --select all --folder "$work" "$sample" >"$work/out" 2>"$work/err")
status=$?
err=$(cat "$work/err")
check "a full disk is not a success" test "$status" = 1
check "a full disk is told" has "$err" "The report file $work/Full.Txt could not be written completely"

# A defaults file supplies the name and selection; options apply over it.
python3 - "$work/dorvik.def" <<'PY' 2>/dev/null || true
import struct, sys
sel = [0] * 36
sel[30] = 1
data = struct.pack('<36i', *sel) + b'C:\\Data'.ljust(1024) + b'from defaults'.ljust(1024)
open(sys.argv[1], 'wb').write(data)
PY
if [ -f "$work/dorvik.def" ]; then
  mkdir -p "$work/out2"
  run --defaults "$work/dorvik.def" --folder "$work/out2" "$sample"
  check "defaults supply the name" test -f "$work/out2/From Defaults.Txt"
  check "defaults supply the selection" grep -qF "General Header Block 1" "$work/out2/From Defaults.Txt"
  run --defaults "$work/dorvik.def" --output other --select none --folder "$work/out2" "$sample"
  check "options apply over the defaults" test -f "$work/out2/Other.Txt"
  check "--select none clears the sections" bash -c "! grep -qF 'General Header Block 1' '$work/out2/Other.Txt'"
fi
run --defaults "$work/none.def" --output x "$sample"
check "missing defaults file is a usage error" test "$status" = 2
mkfifo "$work/pipe.def"
timeout 10 "$exe" --defaults "$work/pipe.def" --output x "$sample" >/dev/null 2>&1
check "a pipe as defaults file is refused at once" test "$?" = 2

finish "cli"
