#!/usr/bin/env bash
# The command line on damaged and foreign records: records cut short at the
# checks of general header block 1 and in their traces, the largest counts,
# records of other makes, a write-protected record and a full disk. Each
# ends with the exit status and the notice that its bytes call for, the
# viewer starts only after a complete report, and the record file is never
# changed (bytes and modification time).
# Usage: hardening_cli.sh SEGDREPORT BUILD_DIR SAMPLES_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$1
build=$2
samples=${3:-}
sample=$build/sample.segd

# The number of trace lines: the lines after the trace heading and its rule.
trace_lines() { tr -d '\r' <"$1" | awk 'table { n++ } /^Seq   / { getline; table = 1 } END { print n + 0 }'; }

# A viewer that notes what it was asked to open.
mkdir -p "$work/bin"
cat >"$work/bin/xdg-open" <<SH
#!/bin/sh
echo "\$1" >>"$work/viewed"
SH
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

# scan NAME EXPECTED_STATUS EXPECTED_NOTICE RECORD ARGS...: runs the scanner
# on RECORD and checks its exit status, its notice and that RECORD is as it
# was.
scan() {
  local name=$1 expected=$2 notice=$3 record=$4
  shift 4
  local before after
  before=$(stat -c '%s %Y.%y' "$record"; sha256sum <"$record")
  "$exe" --quiet --folder "$work/out" "$@" "$record" >"$work/stdout" 2>"$work/stderr"
  status=$?
  err=$(cat "$work/stderr")
  after=$(stat -c '%s %Y.%y' "$record"; sha256sum <"$record")
  check "$name: exit status $expected" test "$status" = "$expected"
  [ -z "$notice" ] || check "$name: notice" has "$err" "$notice"
  [ -n "$notice" ] || check "$name: no notice" test -z "$err"
  check "$name: record unchanged" test "$before" = "$after"
}
mkdir -p "$work/out"

if [ ! -f "$sample" ]; then
  echo "FAILED: no sample record at $sample"
  exit 1
fi

# Where the sample's traces start and how long each is, from its headers:
# N channel sets (block 1 byte 29), E and X header blocks (bytes 31, 32),
# then S samples (extended header bytes 49-52) and K extensions (737-740).
read -r first_trace trace_size extended < <(python3 - "$sample" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
bcd = lambda b: (b >> 4) * 10 + (b & 15)
n, e, x = bcd(d[28]), bcd(d[30]), bcd(d[31])
ext = 96 + 32 * n
s, k = struct.unpack('>I', d[ext + 48:ext + 52])[0], struct.unpack('>I', d[ext + 736:ext + 740])[0]
print(ext + 32 * (e + x), (84 if k == 2 else 52) + 4 * s, ext)
PY
)

# Cut short: before the format code is whole, before the sample rate, before
# the record type, just after block 1 (all else zeros), then in the traces.
cut_sample() { head -c "$1" "$sample" >"$work/cut$1.segd"; echo "$work/cut$1.segd"; }
scan "empty record" 1 "empty file (0 bytes)" "$(cut_sample 0)" --output r --select all
scan "cut in the format code" 1 "8000 is an invalid SEGD Format Code." "$(cut_sample 3)" --output r --select all
scan "cut before the sample rate" 1 "Invalid Sample Rate Code" "$(cut_sample 20)" --output r --select all
scan "cut before the record type" 1 "Invalid Record Type Code" "$(cut_sample 24)" --output r --select all
scan "cut after block 1" 0 "AUX Type Not Correct- should be 2 or 3 but is 0" "$(cut_sample 26)" --output r --select all
check "cut after block 1: no trace lines" test "$(trace_lines "$work/out/R.Txt")" = 0
scan "cut at the first trace" 3 "Record Cut Short: The record file ends inside trace 1 of 362; the traces from 1 on" \
  "$(cut_sample "$first_trace")" --output r --select all
scan "cut in the sixth trace" 3 "The record file ends inside trace 6 of 362; the traces from 6 on were read past its end" \
  "$(cut_sample $((first_trace + 5 * trace_size + 40)))" --output r --select all
check "cut in the sixth trace: every trace listed" test "$(trace_lines "$work/out/R.Txt")" = 362

# The largest counts: 99999 traces of 99999 samples, 99999 extensions.
cp "$sample" "$work/huge.segd"
python3 - "$work/huge.segd" "$extended" <<'PY'
import struct, sys
path, extended = sys.argv[1], int(sys.argv[2])
data = bytearray(open(path, 'rb').read())
for byte in (9, 49, 737):  # total traces, samples per trace, extension count
    data[extended + byte - 1:extended + byte + 3] = struct.pack('>I', 99999)
open(path, 'wb').write(data)
PY
# Traces of 52 + 4 x 99999 bytes (an extension count other than 2 is walked
# as one extension): the record ends inside trace N.
huge_cut=$(( ($(stat -c %s "$work/huge.segd") - first_trace) / (52 + 4 * 99999) + 1 ))
scan "largest counts" 3 "The record file ends inside trace $huge_cut of 99999;" "$work/huge.segd" --output huge --select 30-33
check "largest counts: 99999 traces listed" test "$(trace_lines "$work/out/Huge.Txt")" = 99999

# A write-protected record is read all the same.
cp "$sample" "$work/protected.segd"
chmod a-w "$work/protected.segd"
scan "write-protected record" 0 "" "$work/protected.segd" --output protected --select all

# A named pipe nobody writes to is refused, not waited on.
mkfifo "$work/pipe.segd"
timeout 20 "$exe" --quiet --output pipe --folder "$work/out" "$work/pipe.segd" >/dev/null 2>"$work/stderr"
status=$?
check "named pipe: refused without waiting" test "$status" = 1
check "named pipe: open notice" has "$(cat "$work/stderr")" "Cannot open $work/pipe.segd"
mkfifo "$work/out/Piped.Txt"
timeout 20 "$exe" --quiet --output piped --folder "$work/out" "$sample" >/dev/null 2>"$work/stderr"
status=$?
check "named pipe as the report: refused without waiting" test "$status" = 1
check "named pipe as the report: notice" has "$(cat "$work/stderr")" "Cannot create the report file $work/out/Piped.Txt"

# The viewer: started on a complete report, never without one.
rm -f "$work/viewed"
scan "viewer after a complete report" 0 "" "$sample" --output viewed --view
for _ in 1 2 3 4 5 6 7 8 9 10; do [ -f "$work/viewed" ] && break; sleep 0.5; done
check "viewer after a complete report: started on the report" test "$(cat "$work/viewed" 2>/dev/null)" = "$work/out/Viewed.Txt"
rm -f "$work/viewed"
scan "viewer after a decoder failure" 1 "Invalid Record Type Code" "$work/cut24.segd" --output viewed --view
# A full disk, as a file-size limit.
before=$failed
(ulimit -f 4; scan "viewer after a full disk" 1 "could not be written completely" "$sample" --output full --select all --view
 exit $((failed - before)))
failed=$((failed + $?))
sleep 1
check "viewer not started without a complete report" test ! -f "$work/viewed"

# Records of other makes (tests/data/public).
if [ -n "$samples" ] && [ -d "$samples" ]; then
  scan "Sercel Seal record" 0 "Not a valid SN388 File" "$samples/su_sercel.segd" --output sercel --select all
  scan "SmartSolo record" 0 "The Manufacturer code is not recognised" "$samples/ph5_smartsolo_453005513.2.segd" --output solo --select all
  check "SmartSolo record: also not an SN388" has "$err" "Not a valid SN388 File"
  scan "Fairfield record" 1 "Invalid Record Type Code" "$samples/ph5_fairfield_3ch.fcnt" --output fairfield --select all
else
  echo "FAILED: records of other makes: no folder ${samples:-given}"; failed=$((failed + 1))
fi

finish "hardening_cli"
