# Reads a SEG-Y file back with Debian's segyio (the field's own library), for
# the tests: what segyio sees goes to standard output as JSON. Samples as the
# hexadecimal of their float32 bits, so NaN and -0 compare exactly.
#   segy_read.py FILE
import json
import sys

import numpy as np
import segyio

F = segyio.TraceField
FIELDS = {
    "sequence": F.TRACE_SEQUENCE_FILE, "file_number": F.FieldRecord, "trace_number": F.TraceNumber,
    "channel_set": F.CDP_TRACE, "trace_id": F.TraceIdentificationCode, "delay": F.DelayRecordingTime,
    "samples": F.TRACE_SAMPLE_COUNT, "interval": F.TRACE_SAMPLE_INTERVAL, "year": F.YearDataRecorded,
    "day": F.DayOfYear, "hour": F.HourOfDay, "minute": F.MinuteOfHour, "second": F.SecondOfMinute,
    "time_basis": F.TimeBaseCode, "coordinate_scalar": F.SourceGroupScalar, "receiver_x": F.GroupX,
    "receiver_y": F.GroupY, "receiver_line": F.INLINE_3D, "receiver_point": F.CROSSLINE_3D,
    "source_point": F.EnergySourcePoint, "source_x": F.SourceX, "source_y": F.SourceY,
    "coordinate_units": F.CoordinateUnits,
}

with segyio.open(sys.argv[1], ignore_geometry=True) as f:
    b = f.bin
    out = {
        "tracecount": f.tracecount,
        "samples": len(f.samples),
        "interval": b[segyio.BinField.Interval],
        "format": b[segyio.BinField.Format],
        "revision": b[segyio.BinField.SEGYRevision],
        "fixed": b[segyio.BinField.TraceFlag],
        "text": f.text[0].decode("ascii", errors="replace"),
        "traces": [],
    }
    for i in range(f.tracecount):
        h = f.header[i]
        trace = {name: h[field] for name, field in FIELDS.items()}
        trace["data"] = np.asarray(f.trace[i], dtype=">f4").view(">u4").tolist()
        out["traces"].append(trace)
print(json.dumps(out))
