#!/usr/bin/env bash
# Reports written safely, through the command line: a file-size limit, a
# closed pipe and a termination signal leave an earlier report byte for
# byte and no temporary file; a link at the report's name is replaced; names
# that would leave the folder are refused; UTF-8 names; an empty folder;
# the viewer missing; a record cut short is told with exit status 3.
# Usage: safe_write_cli.sh SEGDREPORT BUILD_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$1
build=$2
sample=$build/sample.segd
python=/usr/bin/python3

run() {  # run ARGS...: sets status and err
  "$exe" --quiet "$@" >/dev/null 2>"$work/err"
  status=$?
  err=$(<"$work/err")
}
no_temp() { ! compgen -G "$1/.segdreport-*" >/dev/null; }
[ -f "$sample" ] || { echo "FAILED: no sample record at $sample"; exit 1; }

# A record of many traces, so that a run lasts long enough to be signalled:
# the sample with its trace count (extended header bytes 9-12) raised.
big=$work/big.segd
$python - "$sample" "$big" <<'PY'
import struct, sys
d = bytearray(open(sys.argv[1], 'rb').read())
ext = 96 + 32 * ((d[28] >> 4) * 10 + (d[28] & 15))
d[ext + 8:ext + 12] = struct.pack('>I', 99999)
open(sys.argv[2], 'wb').write(d)
PY

# Failed and interrupted runs keep an earlier report and leave no temporary file.
mkdir -p "$work/keep"
printf 'earlier report\r\n' >"$work/keep/Kept.Txt"
earlier=$(sha256sum <"$work/keep/Kept.Txt")
(ulimit -f 4; "$exe" --quiet --output kept --select all --folder "$work/keep" "$sample" 2>"$work/err")
status=$?
check "file-size limit: exit 1" test "$status" = 1
check "file-size limit: notice" has "$(cat "$work/err")" \
  "Report Not Written: The report file $work/keep/Kept.Txt could not be written completely"
check "file-size limit: earlier report kept" test "$earlier" = "$(sha256sum <"$work/keep/Kept.Txt")"
check "file-size limit: no temporary file" no_temp "$work/keep"

# A signal in the middle of a scan: the run is watched closely (the scan
# takes a few hundredths of a second) and signalled once its temporary
# file exists. Python starts it with the default handlers, SIGINT included.
for sig in INT TERM HUP; do
  status=$($python - "$sig" "$exe" "$work/keep" "$big" <<'PY'
import glob, os, signal, subprocess, sys, time
sig, exe, keep, big = sys.argv[1:]
run = subprocess.Popen([exe, "--quiet", "--output", "kept", "--select", "all", "--folder", keep, big],
                       stderr=subprocess.DEVNULL)
deadline = time.monotonic() + 10
while not glob.glob(os.path.join(keep, ".segdreport-*")) and run.poll() is None and time.monotonic() < deadline:
    time.sleep(0.0005)
run.send_signal(getattr(signal, "SIG" + sig))
code = run.wait()
print(128 - code if code < 0 else code)
PY
)
  check "SIG$sig during a scan: ended by the signal" test "$status" = $((128 + $(kill -l "$sig")))
  check "SIG$sig during a scan: earlier report kept" test "$earlier" = "$(sha256sum <"$work/keep/Kept.Txt")"
  check "SIG$sig during a scan: no temporary file" no_temp "$work/keep"
done

# A notice into a pipe whose reader has gone: the run's own status, not SIGPIPE.
head -c 3000 "$sample" >"$work/cut.segd"
$python - "$exe" "$work/cut.segd" "$work/keep" <<'PY'
import os, subprocess, sys
r, w = os.pipe()
os.close(r)
code = subprocess.run([sys.argv[1], '--quiet', '--output', 'piped', '--folder', sys.argv[3], sys.argv[2]],
                      stderr=w).returncode
sys.exit(0 if code == 3 else 1)
PY
check "closed pipe on standard error: exit status of the run" test "$?" = 0

# A link at the report's name is replaced; its target is untouched.
mkdir -p "$work/link"
printf 'not yours\n' >"$work/target"
ln -s "$work/target" "$work/link/Linked.Txt"
run --output linked --folder "$work/link" "$sample"
check "link at the name: exit 0" test "$status" = 0
check "link at the name: replaced by the report" test -f "$work/link/Linked.Txt" -a ! -L "$work/link/Linked.Txt"
check "link at the name: target untouched" test "$(cat "$work/target")" = "not yours"

# Two runs at once on one name: each report whole, the last one wins.
mkdir -p "$work/one" "$work/two" "$work/both"
{
  "$exe" --quiet --output same --select 0-3 --folder "$work/one" "$big"
  "$exe" --quiet --output same --select 4-9 --folder "$work/two" "$big"
  "$exe" --quiet --output same --select 0-3 --folder "$work/both" "$big" &
  "$exe" --quiet --output same --select 4-9 --folder "$work/both" "$big"
  wait
} 2>/dev/null
got=$(sha256sum <"$work/both/Same.Txt")
check "concurrent runs: one whole report" test "$got" = "$(sha256sum <"$work/one/Same.Txt")" -o \
  "$got" = "$(sha256sum <"$work/two/Same.Txt")"
check "concurrent runs: no temporary file" no_temp "$work/both"

# Names that would leave the folder or cannot name a file.
mkdir -p "$work/names/in"
for name in ../escaped a/b 'a\b' .. $'line\nbreak' $'bell\a'; do
  run --output "$name" --folder "$work/names/in" "$sample"
  shown=$(printf '%s' "$name" | sed 's/\x07/\\x07/' | sed -z 's/\n/\\n/')
  check "name '$shown': exit 1" test "$status" = 1
  check "name '$shown': notice" has "$err" \
    "warning: Specify a File: The output name $shown cannot be used as a file name"
done
check "refused names: nothing written" test -z "$(ls -A "$work/names/in")" -a ! -e "$work/names/Escaped.Txt"
$python - "$work/up.def" <<'PY'
import struct, sys
open(sys.argv[1], 'wb').write(struct.pack('<36i', *[0] * 36) + b''.ljust(1024) + b'../../x'.ljust(1024))
PY
run --defaults "$work/up.def" --folder "$work/names/in" "$sample"
check "name from the defaults file: refused" has "$err" "The output name ../../x cannot be used as a file name"

# UTF-8 names stay UTF-8; other bytes keep the code page rule.
mkdir -p "$work/utf8"
run --output 'résumé' --folder "$work/utf8" "$sample"
check "UTF-8 name: résumé gives Résumé.Txt" test -f "$work/utf8/Résumé.Txt"
run --output $'\xe9t\xe9' --folder "$work/utf8" "$sample"
check "a name that is not UTF-8: byte rule" test -f "$work/utf8/"$'\xc9t\xe9'.Txt

# Usage errors: an empty folder, a value that is an option.
for args in "--folder=" "--folder ''" "--output --folder $work" "--folder --output x"; do
  eval run "$args" --output r "$sample"
  check "usage error: $args" test "$status" = 2
done
run --output=--dashed --folder "$work/utf8" "$sample"
check "a value beginning with -- in the --output=VALUE form" test "$status" = 0 -a -f "$work/utf8/--Dashed.Txt"

# Reasons in the notices; control characters in a path escaped.
run --output r --folder "$work" "$work/missing.segd"
check "missing record: reason" has "$err" "Cannot open $work/missing.segd (No such file or directory)"
run --output r --folder "$work" "$work"
check "folder as record: reason" has "$err" "Cannot open $work (Is a directory)"
run --output r --folder "$work/none" "$sample"
check "missing report folder: reason" has "$err" "Cannot create the report file $work/none/R.Txt (No such file or directory)"
run --output r --folder "$work" $'/no\rsuch\nrecord'
check "path with CR and LF: escaped on one line" has "$err" 'Cannot open /no\rsuch\nrecord (No such file or directory)'

# The viewer missing from PATH.
mkdir -p "$work/bin"
PATH=$work/bin run --output viewed --view --folder "$work/keep" "$sample"
check "viewer missing: report written" test "$status" = 0 -a -f "$work/keep/Viewed.Txt"
check "viewer missing: notice" has "$err" "Viewer not found: Cannot start the text viewer for $work/keep/Viewed.Txt"

# A record cut short: exit 3 and the first trace read past the end.
read -r first size traces < <($python - "$sample" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
bcd = lambda b: (b >> 4) * 10 + (b & 15)
ext = 96 + 32 * bcd(d[28])
s, k = struct.unpack('>I', d[ext + 48:ext + 52])[0], struct.unpack('>I', d[ext + 736:ext + 740])[0]
print(ext + 32 * (bcd(d[30]) + bcd(d[31])), (84 if k == 2 else 52) + 4 * s, struct.unpack('>I', d[ext + 8:ext + 12])[0])
PY
)
total=$(stat -c %s "$sample")
for cut in "$first 1" "$((first + size)) 2" "$((first + 6 * size - 1)) 6" "$((total - 1)) $traces" "$total 0"; do
  set -- $cut
  head -c "$1" "$sample" >"$work/cut.segd"
  run --output cut --folder "$work/keep" "$work/cut.segd"
  if [ "$2" = 0 ]; then
    check "complete record: exit 0, no notice" test "$status" = 0 -a -z "$err"
  else
    check "cut at $1: exit 3" test "$status" = 3
    check "cut at $1: notice" test "$err" = "segdreport: $work/cut.segd: warning: Record Cut Short: The record file ends inside trace $2 of $traces; the traces from $2 on were read past its end"
  fi
done

finish "safe_write_cli"
