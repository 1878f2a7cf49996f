"""Many records on Dask (Debian's python3-dask, python3-distributed): summaries and trace tables
as Dask DataFrames, samples as a Dask array. One task per record; each record is read where its
task runs, so on a cluster the workers read the files (a shared filesystem, same paths).

    import segdreport.dask as sdd
    from distributed import Client
    client = Client("scheduler-host:8786")          # or LocalCluster()
    paths = sorted(glob.glob("/data/line7/*.segd"))
    summary = sdd.summaries(paths).compute()        # one row per record
    traces = sdd.trace_tables(paths, ["receiver_point", "trace_edit"])
    gathers = sdd.samples(paths)                    # (all traces x samples) float32
    rms = (gathers ** 2).mean(axis=1) ** 0.5
"""
import dask
import dask.array as da
import dask.dataframe as dd
import numpy as np
import pandas as pd

from ._batch import _LEAD, _TAIL

# Summary columns that hold text; the others are numbers (float64, NaN where a record has none).
_SUMMARY_TEXT = {"path", "status", "problems", "date", "time", "manufacturer", "revision", "notices"}
SUMMARY_COLUMNS = _LEAD + _TAIL
# The trace columns every record has, for trace_tables' default.
TRACE_COLUMNS = ["trace", "file_number", "channel_set", "trace_number", "byte_offset", "past_end"]


def _summary_meta():
    return pd.DataFrame({c: pd.Series(dtype=object if c in _SUMMARY_TEXT else "float64") for c in SUMMARY_COLUMNS})


def _summary_of(path):
    from ._batch import scan

    frame = scan([path], jobs=1).reindex(columns=SUMMARY_COLUMNS)
    for c in SUMMARY_COLUMNS:
        frame[c] = frame[c].astype(object) if c in _SUMMARY_TEXT else pd.to_numeric(frame[c], errors="coerce").astype("float64")
    return frame


def summaries(paths):
    """A Dask DataFrame of one summary row per record (the columns of segdreport.scan() but the
    make-specific flag counts), one partition and one task per record."""
    parts = [dask.delayed(_summary_of)(p) for p in paths]
    return dd.from_delayed(parts, meta=_summary_meta(), verify_meta=False)


def _table_meta(columns):
    frame = pd.DataFrame({"path": pd.Series(dtype=object)})
    for c in columns:
        frame[c] = pd.Series(dtype="float64")
    return frame


def _trace_table_of(path, columns):
    import warnings

    from ._record import open as open_record

    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        table = open_record(path).to_pandas()
    frame = pd.DataFrame({"path": pd.Series([path] * len(table), dtype=object)})
    for c in columns:
        frame[c] = pd.to_numeric(table[c], errors="coerce").astype("float64") if c in table else np.nan
    return frame


def trace_tables(paths, columns=None):
    """A Dask DataFrame of the trace tables of many records: `path` and the `columns` asked (default
    TRACE_COLUMNS) as float64, NaN where a record has no such column. One partition per record."""
    columns = list(TRACE_COLUMNS if columns is None else columns)
    parts = [dask.delayed(_trace_table_of)(p, columns) for p in paths]
    return dd.from_delayed(parts, meta=_table_meta(columns), verify_meta=False)


def _shape_of(path, leap_seconds):
    from ._samples import SampleFacts

    facts = SampleFacts(path, leap_seconds)
    return len(facts), int(facts.count.max(initial=0))


def _samples_of(path, scaled, dtype, width, leap_seconds):
    from ._samples import SampleFacts, read_rows

    facts = SampleFacts(path, leap_seconds)
    return read_rows(facts, np.arange(len(facts)), scaled=scaled, dtype=dtype, width=width)


def samples(paths, *, scaled=False, dtype="float32", leap_seconds=None):
    """A Dask array (all traces of all records × samples), one chunk and one task per record.
    The shapes are found first by one header walk per record (themselves tasks); records with
    fewer samples than the longest end in NaN."""
    if dtype not in ("float32", "float64"):
        raise ValueError("dtype must be float32 or float64 (a Dask array has one dtype)")
    shapes = dask.compute(*[dask.delayed(_shape_of)(p, leap_seconds) for p in paths])
    width = max((w for _, w in shapes), default=0)
    chunks = [da.from_delayed(dask.delayed(_samples_of)(p, scaled, dtype, width, leap_seconds), shape=(n, width), dtype=dtype)
              for p, (n, _) in zip(paths, shapes)]
    if not chunks:
        return da.zeros((0, 0), dtype=dtype)
    return da.concatenate(chunks, axis=0)
