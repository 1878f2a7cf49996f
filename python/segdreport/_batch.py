"""Many records: one summary row per record, and line QC over the rows."""
from __future__ import annotations

import json
import os
import warnings
from concurrent.futures import ThreadPoolExecutor
from typing import Any, Iterable, Optional, Union

import numpy as np

from . import _core
from ._record import SegdWarning

# The summary's columns before the per-flag counts, and after them.
_LEAD = ["path", "size_bytes", "status", "problems", "file_number", "date", "time", "manufacturer", "revision",
         "format_code", "sample_interval_ms", "record_length_ms", "channel_sets", "traces_announced",
         "traces_listed", "traces_past_end", "auxiliary_traces", "seismic_traces", "dead_traces"]
_TAIL = ["source_line", "source_point", "source_x", "source_y", "source_elevation", "start_time_utc", "start_time_source",
         "notices"]


def _record_paths(paths_or_folders):
    """Files given by name in the order given; folders searched recursively in sorted path order."""
    if isinstance(paths_or_folders, (str, bytes, os.PathLike)):
        paths_or_folders = [paths_or_folders]
    for item in paths_or_folders:
        item = os.fspath(item)
        if os.path.isdir(item):
            found: list[str] = []
            for folder, _, files in os.walk(item):
                found.extend(os.path.join(folder, name) for name in files)
            yield from ((path, True) for path in sorted(found))
        else:
            yield item, False


def _count(traces, name):
    if name is None or name not in (traces.dtype.names or ()):
        return None
    values = traces[name]
    return int(np.count_nonzero(values == 1)) if values.dtype.kind == "f" else int(np.count_nonzero(values))


def _row(path, data):
    """The summary row of one scan_record() result, and the flag columns it counts."""
    row = dict.fromkeys(_LEAD + _TAIL)
    row["path"] = path
    notices = data["notices"]
    row["notices"] = "; ".join(n["text"] for n in notices)
    if data["status"] in ("cannot_open", "not_segd"):
        row["status"] = "failed"
        row["problems"] = row["notices"] or "not a SEG-D record"
        return row, {}
    integrity = data["integrity"]
    summary = data["summary"]
    traces = data["traces"]
    row["status"] = "warning" if notices or integrity["problems"] else "ok"
    row["problems"] = "; ".join(integrity["problems"])
    row.update(size_bytes=data["size_bytes"], file_number=data["file_number"], manufacturer=data["manufacturer"],
               revision=data["revision"], format_code=data["format_code"], channel_sets=len(data["channel_sets"]),
               traces_announced=integrity["traces_announced"], traces_listed=integrity["traces_listed"],
               traces_past_end=integrity["traces_past_end"])
    for name in _LEAD + _TAIL:
        if row[name] is None and name in summary:
            row[name] = summary[name]
    dead = next((c["name"] for c in data["columns"] if c["dead"]), None)
    row["dead_traces"] = _count(traces, dead)
    flags = {c["name"]: _count(traces, c["name"]) for c in data["columns"] if c["flag"]}
    return row, flags


def _arguments(paths_or_folders):
    """The paths as the system's bytes (surrogate escapes kept); a NUL byte is refused as open() refuses it."""
    if isinstance(paths_or_folders, (str, bytes, os.PathLike)):
        paths_or_folders = [paths_or_folders]
    paths = []
    for p in paths_or_folders:
        if not isinstance(p, (str, bytes, os.PathLike)):
            raise TypeError(f"paths_or_folders must hold str, bytes or os.PathLike, not {type(p).__name__}")
        p = os.fsencode(p)
        if b"\0" in p:
            raise ValueError("paths_or_folders: embedded null byte")
        paths.append(p)
    return paths


def _allow_text(allow: Any) -> str:
    """--allow's text of a dict such as {"dead": 2, "overscale": "1%"} (or the text itself)."""
    if allow is None or isinstance(allow, str):
        return allow or ""
    return ",".join(f"{kind}={amount}" for kind, amount in allow.items())


def _jobs(jobs: Optional[int]) -> int:
    """`jobs` as a count of records at once (at most 256: threads are bounded by the cores anyway)."""
    if jobs is None:
        return max(1, os.cpu_count() or 1)
    if isinstance(jobs, bool) or not isinstance(jobs, int):
        raise TypeError(f"jobs must be an int or None, not {type(jobs).__name__}")
    if jobs < 1:
        raise ValueError(f"jobs must be at least 1, not {jobs}")
    return min(jobs, 256)


RecordPaths = Union[str, bytes, "os.PathLike[str]", Iterable[Union[str, bytes, "os.PathLike[str]"]]]


def scan(paths_or_folders: RecordPaths, jobs: Optional[int] = None, allow: Any = None,
         include: Optional[Iterable[str]] = None, exclude: Optional[Iterable[str]] = None) -> Any:
    """One summary row per record (a pandas DataFrame with the columns of `segdreport --summary`), in
    the order given; folders are searched recursively and every file in them gets a row, in sorted
    path order (a file that is not a record is `failed` with its reason), unless `include`/`exclude`
    (lists of file name globs) leave it out. Trace findings (dead traces, error flags, traces past
    the end) make a record a `warning` unless within `allow` ("dead=2,overscale=1%" or a dict, as
    --allow). `jobs` records are scanned at a time (default: the machine's processors). Number columns
    are numeric (NaN where a record holds nothing), text columns hold None there, as pandas.read_csv
    reads the summary file. Ctrl-C stops the batch and nothing is returned."""
    import pandas

    count = _jobs(jobs)
    if not hasattr(_core, "summarize"):
        return _scan_in_python(paths_or_folders, count)
    data = _core.summarize(_arguments(paths_or_folders), count, _allow_text(allow), list(include or []),
                           list(exclude or []))
    for problem in data["problems"]:
        warnings.warn(SegdWarning(problem), stacklevel=2)
    frame = pandas.DataFrame(data["rows"], columns=[name for name, _ in data["columns"]], dtype=object)
    for name, number in data["columns"]:
        cells = frame[name].where(frame[name] != "", None)
        frame[name] = pandas.to_numeric(cells, errors="coerce") if number else cells
    return frame


def _scan_in_python(paths_or_folders, jobs):
    """scan() over scan_record() where the module is built without the batch library."""
    import pandas

    def summarize(path, in_folder):
        # Only the row is kept: the record's trace array goes with the job.
        data = _core.scan_record(path)
        if in_folder and data["status"] == "not_segd":
            return None  # a file in a folder that is no record is not part of the batch
        return _row(path, data)

    with ThreadPoolExecutor(max_workers=jobs) as pool:
        futures = [pool.submit(summarize, path, in_folder) for path, in_folder in _record_paths(paths_or_folders)]
        try:
            results = [future.result() for future in futures]
        except BaseException:
            for future in futures:
                future.cancel()
            raise
    rows, flag_names = [], []
    for result in results:
        if result is None:
            continue
        row, flags = result
        for name in flags:
            if name not in flag_names:
                flag_names.append(name)
        row.update(flags)
        rows.append(row)
    return pandas.DataFrame(rows, columns=_LEAD + flag_names + _TAIL)


def _majority(values):
    values = [v for v in values if v is not None and not (isinstance(v, float) and np.isnan(v))]
    if not values:
        return None
    unique, counts = np.unique(np.asarray(values, dtype=object).astype(str), return_counts=True)
    return unique[np.argmax(counts)]


def _cell_text(value):
    """A summary cell as the summary file writes it."""
    if value is None or (isinstance(value, float) and np.isnan(value)):
        return ""
    if isinstance(value, (float, np.floating)) and float(value).is_integer():
        return str(int(value))
    return str(value)


def line_qc(summary: Any, time_jump: float = 86400) -> dict[str, Any]:
    """Line QC over summary rows (from scan(), or --summary files read with pandas.read_csv and
    concatenated, header rows repeated inside them skipped): records not decoded, duplicate file
    numbers, gaps, records out of time order, time jumps over `time_jump` seconds, times before 1980
    or in the future, general header times away from the record's GPS time, record lengths against
    samples x interval, repeated source positions, and fields without a common value. A dict, as
    `segdreport --qc` writes it."""
    if hasattr(_core, "line_qc_json"):
        rows = [{name: _cell_text(value) for name, value in row.items()} for row in summary.to_dict("records")]
        return json.loads(_core.line_qc_json(rows, float(time_jump)))
    return _line_qc_in_python(summary)


def _line_qc_in_python(summary):
    rows = summary[summary["status"] != "failed"]
    findings: dict[str, list[dict[str, Any]]] = {"duplicate_file_numbers": [], "gaps": [], "out_of_order": [], "outliers": []}
    numbers = rows["file_number"].dropna()
    for number, group in rows.loc[numbers.index].groupby("file_number", sort=True):
        if len(group) > 1:
            findings["duplicate_file_numbers"].append({"file_number": int(number), "paths": list(group["path"])})
    ordered = sorted({int(n) for n in numbers})
    for before, after in zip(ordered, ordered[1:]):
        if after > before + 1:
            findings["gaps"].append({"first_missing": before + 1, "last_missing": after - 1})
    previous = None
    for _, row in rows.iterrows():
        if not isinstance(row["date"], str) or not isinstance(row["time"], str):
            continue
        when = (row["date"], row["time"])
        if previous is not None and when < previous[0]:
            findings["out_of_order"].append({"path": row["path"], "recorded": " ".join(when),
                                             "previous_path": previous[1], "previous_recorded": " ".join(previous[0])})
        previous = (when, row["path"])
    for field in ("format_code", "sample_interval_ms", "record_length_ms", "channel_sets"):
        majority = _majority(list(rows[field]))
        if majority is None:
            continue
        for _, row in rows.iterrows():
            if row[field] is not None and str(row[field]) != majority:
                findings["outliers"].append({"path": row["path"], "field": field, "value": row[field],
                                             "majority": majority})
    return findings
