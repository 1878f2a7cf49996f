#!/usr/bin/env bash
# --samples FILE and the batch's --samples-dir: the raw little-endian float32
# matrix and its JSON sidecar read back with numpy and json, in every format;
# a cut record gives NaN past the end and exit 3; no report is written.
# Usage: samples_cli.sh SEGDREPORT MAKE_SEGD PUBLIC_DIR
source "$(dirname "${BASH_SOURCE[0]}")/checks.sh"
exe=$1
make_segd=$2
public=$3
py=/usr/bin/python3
cd "$work" || exit 1

for format in 8015 8022 8024 8036 8038 8042 8044 8048 8058 8080 9036 9038 9058 9080; do
  "$make_segd" --format $format --traces 5 --samples 9 --ramp r$format.segd
  "$exe" --samples s$format.f32 r$format.segd 2>err
  check "format $format: --samples writes the matrix and its sidecar" test $? = 0 -a -s s$format.f32 -a -s s$format.f32.json
done
check "no report is written beside --samples alone" test -z "$(ls ./*.Txt 2>/dev/null)"
check "every format's matrix holds the values written" "$py" - <<'PY'
import json, numpy as np
for code in [8015, 8022, 8024, 8036, 8038, 8042, 8044, 8048, 8058, 8080, 9036, 9038, 9058, 9080]:
    side = json.load(open(f"s{code}.f32.json"))
    data = np.fromfile(f"s{code}.f32", dtype="<f4").reshape(side["shape"])
    k, i = np.meshgrid(np.arange(5), np.arange(9), indexing="ij")
    assert side["shape"] == [5, 9] and side["format_code"] == code, side
    assert (data == (7 * k + i) % 31 - 15).all(), (code, data)
    assert side["channel_sets"][0]["sample_interval_us"] == 2000  # make_segd's other make: 2 ms
    assert [t["start_time_utc"] for t in side["traces"]] == ["2021-05-08T20:06:00.000000Z"] * 5
    assert side["traces"][0]["start_time_source"] == "general header (local or unknown)"
PY

"$make_segd" --format 8024 --traces 5 --samples 9 --ramp --trailer 0 whole.segd
size=$(stat -c %s whole.segd)
"$make_segd" --format 8024 --traces 5 --samples 9 --ramp --trailer 0 --cut $((size - 6)) cut.segd
"$exe" --samples cut.f32 cut.segd 2>err
check "a cut record's samples exit 3" test $? = 3
check "a cut trace is NaN past the end of the file and marked" "$py" - <<'PY'
import json, numpy as np
side = json.load(open("cut.f32.json"))
data = np.fromfile("cut.f32", dtype="<f4").reshape(side["shape"])
assert np.isnan(data[4, 6:]).all() and np.isfinite(data[4, :6]).all() and np.isfinite(data[:4]).all()
assert side["traces"][4]["cut"] and side["traces"][4]["samples_in_file"] == 6 and side["problems"]
PY

"$exe" --samples smartsolo.f32 --scaled "$public/ph5_smartsolo_453005513.2.segd" 2>err
check "--scaled gives millivolts and the make's UTC time" "$py" - <<'PY'
import json, numpy as np
side = json.load(open("smartsolo.f32.json"))
assert side["units"] == "mV" and side["shape"] == [359, 251]
assert side["traces"][0]["start_time_utc"] == "2021-05-08T20:06:00.000000Z"
assert side["traces"][0]["start_time_source"] == "make GPS time"
assert np.isfinite(np.fromfile("smartsolo.f32", dtype="<f4")).all()
PY

mkdir out
"$exe" --quiet --samples-dir out r8036.segd r9080.segd "$public/su_sercel.segd" >summary.csv 2>err
status=$?  # 3: the line QC finds the three records unlike each other
check "the batch's --samples-dir writes each record's matrix" test $status = 3 -a -s out/r8036.segd.f32 -a -s out/r9080.segd.f32.json -a -s out/su_sercel.segd.f32
check "the batch's matrices are those of single runs" cmp -s out/r8036.segd.f32 s8036.f32
"$exe" --samples - r8036.segd 2>err
check "--samples - is a usage error" test $? = 2
finish samples_cli
