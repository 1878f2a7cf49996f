"""A record's samples: numpy arrays, a lazy array-like, a zero-copy memory map and xarray.

The per-trace facts (where each trace's samples lie, how many, its channel
set, its start time in UTC) come from one header walk, kept on the record;
samples are then read where they lie, so one trace or a chunk of traces costs
only its own bytes.
"""
from typing import Any

import numpy as np

from . import _core

_DTYPES = ("float32", "float64", "native")
# 8058 and 9058 hold IEEE singles as numpy reads them.
_MEMMAP_DTYPES = {8058: ">f4", 9058: "<f4"}


def _check_dtype(dtype):
    if dtype not in _DTYPES:
        raise ValueError(f"dtype must be one of {', '.join(_DTYPES)}, not {dtype!r}")


class SampleFacts:
    """Per-trace sample facts of a record (one header walk): numpy arrays `offset`, `count`,
    `set_index`, `start_us` (UTC µs since 1970; int64 min where the record has no time),
    `time_source` (names in `time_source_names`), and `sets` (one dict per channel set:
    interval_us, samples, start_time_ms, descale, scale_factor, channel_set, scan_type,
    channel_type), `format_code`, `format_known`, `notices`."""

    def __init__(self, path, leap_seconds=None):
        data = _core.read_samples(path, read=False, leap_seconds=leap_seconds or "")
        if data["status"] in ("cannot_open", "not_segd"):
            from ._record import _raise_for

            _raise_for(path, data["status"], data["notices"])
        self.path = path
        self.format_code = data["format_code"]
        self.format_known = data["format_known"]
        self.native_type = np.dtype(data["native_type"])
        self.notices = data["notices"]
        self.sets = data["sets"]
        self.offset = data["samples_offset"]
        self.count = data["count"]
        self.set_index = data["set_index"]
        self.start_us = data["start_us"]
        self.time_source = data["time_source"]
        self.time_source_names = data["time_source_names"]

    def __len__(self):
        return len(self.offset)

    def require_format(self):
        if not self.format_known:
            from ._record import DecodeError

            # The walk's own reason when it gave one (counts no file holds), else the format's.
            told = [n for n in self.notices if n.get("caption") == "Samples"]
            text = told[-1]["text"] if told else _core_notice(self.format_code)
            raise DecodeError(self.path, [{"text": f"{self.path}: " + text, "caption": "Samples", "kind": "warning"}])

    def factors(self, rows, scaled):
        if not scaled or not len(self.sets):
            return np.ones(len(rows))
        table = np.array([s["scale_factor"] for s in self.sets])
        return table[self.set_index[rows]]

    def start_times(self):
        """Start times of the first samples as numpy datetime64[us] (NaT where the record has none)."""
        times = self.start_us.astype("datetime64[us]")
        times[self.start_us == np.iinfo(np.int64).min] = np.datetime64("NaT")
        return times

    def interval_us(self):
        """The sample interval of each trace, µs."""
        table = np.array([s["interval_us"] for s in self.sets] or [0.0])
        return table[self.set_index]


def _core_notice(code):
    text = f"{code:04d}"
    if 0 <= code < 1000:
        return f"format {text} is multiplexed: its samples are not read"
    return f"format {text} is not a sample format this reader knows: its samples are not read"


def read_rows(facts, rows, *, scaled=False, dtype="float32", width=None):
    """Traces `rows` (indices into the record's traces) as a (len(rows) × width) array."""
    _check_dtype(dtype)
    facts.require_format()
    rows = np.asarray(rows, dtype=np.int64).reshape(-1)
    counts = facts.count[rows]
    if width is None:
        width = int(counts.max()) if len(rows) else int(facts.count.max(initial=0))
    data = _core.read_rows(facts.path, facts.format_code, facts.offset[rows], counts, facts.factors(rows, scaled), width, dtype)
    return data["data"]


class SampleArray:
    """The record's samples as a lazy (traces × samples) array-like: `shape`, `dtype`, `ndim`,
    slicing and np.asarray read only the traces asked for, so dask.array.from_array and
    xarray.DataArray can wrap it. Traces shorter than the longest end in NaN."""

    def __init__(self, facts, scaled=False, dtype="float32"):
        _check_dtype(dtype)
        facts.require_format()
        self._facts = facts
        self._scaled = scaled
        self._dtype_name = dtype
        width = int(facts.count.max(initial=0))
        self.shape = (len(facts), width)
        self.ndim = 2
        if dtype == "native":
            native = facts.native_type
            self.dtype = np.dtype(np.float64) if scaled and native == np.int32 else native
        else:
            self.dtype = np.dtype(dtype)

    def __len__(self):
        return self.shape[0]

    @property
    def size(self):
        return self.shape[0] * self.shape[1]

    def __getitem__(self, key):
        if not isinstance(key, tuple):
            key = (key,)
        if len(key) > 2:
            raise IndexError("too many indices for a 2-D sample array")
        row_key = key[0]
        col_key = key[1] if len(key) == 2 else slice(None)
        rows = np.arange(self.shape[0])[row_key]
        scalar_row = np.ndim(rows) == 0
        block = read_rows(self._facts, np.atleast_1d(rows), scaled=self._scaled, dtype=self._dtype_name, width=self.shape[1])
        block = block.astype(self.dtype, copy=False)[:, col_key]
        return block[0] if scalar_row else block

    def __array__(self, dtype=None, copy=None):
        data = self[:, :]
        return data if dtype is None else data.astype(dtype, copy=False)

    def __repr__(self):
        return f"<segdreport.SampleArray {self.shape[0]} traces x {self.shape[1]} samples, {self.dtype}>"


class SamplesMixin:
    """Sample reading for segdreport.Record (a mixin; see Record)."""

    # Given by Record, which this is mixed into.
    path: str
    traces: Any
    format_code: Any
    _facts = None
    leap_seconds = None  # a leap-seconds.list file to use instead of the built-in table

    def sample_facts(self):
        """Per-trace sample facts (SampleFacts), from one header walk kept on the record."""
        if self._facts is None:
            self._facts = SampleFacts(self.path, self.leap_seconds)
        return self._facts

    def samples(self, i=None, *, scaled=False, dtype="float32"):
        """Samples as numpy arrays.

        samples(i): trace i (0-based, as in Record.traces), 1-D.
        samples(): all traces as one 2-D array (traces × samples) when every trace has the same
        count; otherwise a dict {(scan_type, channel_set): 2-D array} per channel set.
        A slice or a list of indices gives those traces, 2-D.
        scaled=True multiplies by 2^MP (rev 1/2, millivolts) or the rev 3 descale multiplier;
        dtype "float32" (default), "float64" or "native" (int32 for 8036/8038/9036/9038, float64
        for 8048/8080/9080). Past the end of a cut file the values are NaN.
        """
        facts = self.sample_facts()
        if i is not None:
            if isinstance(i, (int, np.integer)):
                index = range(len(facts))[i]
                return read_rows(facts, [index], scaled=scaled, dtype=dtype, width=int(facts.count[index]))[0]
            return read_rows(facts, np.arange(len(facts))[i], scaled=scaled, dtype=dtype)
        if len(facts) == 0 or np.all(facts.count == facts.count[0]):
            return read_rows(facts, np.arange(len(facts)), scaled=scaled, dtype=dtype)
        out = {}
        for k, s in enumerate(facts.sets):
            rows = np.flatnonzero(facts.set_index == k)
            if len(rows):
                out[(s["scan_type"], s["channel_set"])] = read_rows(facts, rows, scaled=scaled, dtype=dtype)
        return out

    def iter_samples(self, chunk=256, *, scaled=False, dtype="float32"):
        """Yields (first, array) for consecutive chunks of `chunk` traces: array is 2-D
        (traces × the chunk's longest count), first the index of its first trace. Memory is one chunk."""
        if chunk < 1:
            raise ValueError("chunk must be at least 1")
        facts = self.sample_facts()
        for first in range(0, len(facts), chunk):
            yield first, read_rows(facts, np.arange(first, min(first + chunk, len(facts))), scaled=scaled, dtype=dtype)

    def sample_array(self, *, scaled=False, dtype="float32"):
        """The samples as an array without reading them: for an 8058/9058 record whose traces lie one
        stride apart with one count (unscaled), a zero-copy np.memmap view (traces × samples, the
        record's byte order); otherwise a SampleArray that reads the traces sliced."""
        facts = self.sample_facts()
        view = _memmap_view(facts) if not scaled and dtype in ("float32", "native") else None
        return view if view is not None else SampleArray(facts, scaled=scaled, dtype=dtype)

    def start_times(self):
        """Each trace's first-sample time in UTC (datetime64[us]) and where it comes from."""
        facts = self.sample_facts()
        names = np.array(facts.time_source_names, dtype=object)
        return facts.start_times(), names[facts.time_source]

    def time_axis_ms(self, set_index=0):
        """Sample times in ms from time zero for a channel set's traces (its start time + i × interval)."""
        facts = self.sample_facts()
        s = facts.sets[set_index]
        return s["start_time_ms"] + np.arange(s["samples"]) * s["interval_us"] / 1000.0

    def to_xarray(self, *, scaled=False, dtype="float32"):
        """The samples as an xarray.DataArray with dims (trace, time): time in ms from time zero,
        the trace table's columns and start times as coordinates along trace (needs python3-xarray).
        Records whose channel sets differ in count or interval give one array per channel set
        via samples() instead."""
        import xarray

        facts = self.sample_facts()
        counts = {int(c) for c in facts.count}
        intervals = {s["interval_us"] for s in facts.sets}
        starts = {s["start_time_ms"] for s in facts.sets}
        if len(counts) > 1 or len(intervals) > 1 or len(starts) > 1:
            raise ValueError("the channel sets differ in sample count, interval or start time: use samples() per channel set")
        data = self.samples(scaled=scaled, dtype=dtype)
        coords = {"time": ("time", self.time_axis_ms(0) if facts.sets else np.arange(data.shape[1], dtype=float))}
        for name in self.traces.dtype.names:
            coords[name] = ("trace", self.traces[name])
        start, source = self.start_times()
        coords["start_time"] = ("trace", start)
        coords["start_time_source"] = ("trace", source.astype(str))
        attrs = {"units": "mV" if scaled else "as recorded", "format_code": self.format_code, "path": self.path,
                 "sample_interval_ms": (next(iter(intervals)) / 1000.0) if intervals else float("nan")}
        return xarray.DataArray(data, dims=("trace", "time"), coords=coords, attrs=attrs, name="samples")


def _memmap_view(facts):
    code = facts.format_code
    if code not in _MEMMAP_DTYPES or len(facts) == 0:
        return None
    offsets, counts = facts.offset, facts.count
    count = int(counts[0])
    if count == 0 or np.any(counts != count):
        return None
    stride = int(offsets[1] - offsets[0]) if len(offsets) > 1 else 4 * count
    if stride % 4 or stride < 4 * count or (len(offsets) > 1 and np.any(np.diff(offsets) != stride)):
        return None
    import os

    end = int(offsets[0]) + stride * (len(offsets) - 1) + 4 * count
    if end > os.path.getsize(facts.path):
        return None  # a cut record: read it with NaN past the end instead
    words = stride // 4
    mapped = np.memmap(facts.path, dtype=_MEMMAP_DTYPES[code], mode="r", offset=int(offsets[0]),
                       shape=(len(offsets) - 1) * words + count)
    return np.lib.stride_tricks.as_strided(mapped, shape=(len(offsets), count), strides=(stride, 4), writeable=False)
