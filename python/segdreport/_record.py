"""One record: its headers as dicts, its trace table as a numpy structured array."""
from __future__ import annotations

import builtins
import datetime
import errno
import os
import warnings
from types import TracebackType
from typing import Any, Iterable, NamedTuple, Optional, Union

import numpy as np

from . import _core
from ._export import ExportMixin
from ._samples import SamplesMixin

PathLike = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]
# An item of report(select=...): an index, a trace column's data name or a section name.
SelectItem = Union[int, str]


class ExternalHeader(NamedTuple):
    """The external header: its text (NUL bytes dropped), its first bytes (at most 1024) and the fields the
    make's layout decodes {name: value}."""

    text: str
    bytes: bytes
    fields: dict


class DecodeError(ValueError):
    """The file does not decode as a SEG-D record. `notices` holds the run's notices, `path` the record."""

    def __init__(self, path, notices):
        self.path = path
        self.notices = list(notices)
        super().__init__("; ".join(n["text"] for n in self.notices) or f"{path} is not a SEG-D record")


class SegdWarning(UserWarning):
    """A notice of a run that went on (also in Record.notices)."""


def _notice_text(path, notice):
    caption = f"{notice['caption']}: " if notice["caption"] else ""
    return f"{path}: {caption}{notice['text']}"


def _raise_for(path, status, notices):
    """Raises the exception of a run that stopped; returns for one that went on."""
    if status == "cannot_open":
        text = notices[0]["text"] if notices else f"Cannot open {path}"
        raise FileNotFoundError(errno.ENOENT, text, path)
    if status == "not_segd":
        raise DecodeError(path, notices)


def _warn(path, notices, problems=()):
    for notice in notices:
        warnings.warn(SegdWarning(_notice_text(path, notice)), stacklevel=3)
    for problem in problems:
        warnings.warn(SegdWarning(f"{path}: {problem}"), stacklevel=3)


def _fspath(path: PathLike, name: str = "path") -> bytes:
    """`path` (str, bytes or os.PathLike, surrogate escapes included) as the system's bytes, after
    the checks of Python's own open(): FileNotFoundError, IsADirectoryError, NotADirectoryError,
    PermissionError with the path as given, ValueError for a NUL byte."""
    if not isinstance(path, (str, bytes, os.PathLike)):
        raise TypeError(f"{name} must be str, bytes or os.PathLike, not {type(path).__name__}")
    with builtins.open(path, "rb"):
        pass
    return os.fsencode(path)


def open(path: PathLike) -> Record:  # noqa: A001 - the package's entry, as in the documentation
    """Decodes the record at `path` and walks its traces once.

    Raises FileNotFoundError when it cannot be opened and DecodeError when it
    is not SEG-D; notices of a run that went on, and what the walk found
    wrong with the record's shape (a record cut short), are given as
    SegdWarning and kept in Record.notices and Record.integrity["problems"]. Ctrl-C stops the walk (KeyboardInterrupt) and
    nothing is returned. The record is a context manager: `with segdreport.open(path) as record:`.
    """
    record = Record(_decoded(path))
    _warn(record.path, record.notices, record.integrity["problems"])
    return record


def _decoded(path: PathLike) -> dict[str, Any]:
    """The module's decoding of the record at `path`, or the exception of a run that stopped."""
    data = _core.scan_record(_fspath(path))
    data["path"] = os.fsdecode(os.fspath(path))
    _raise_for(data["path"], data["status"], data["notices"])
    return data


# The header sections of the report by the names the JSON output gives them.
_SECTIONS = {"general_headers": 30, "channel_sets": 31, "extended_header": 32, "external_header": 33}


def _recorded(summary: dict[str, Any]) -> Optional[datetime.datetime]:
    """The recording time from the summary's date (YYYY-MM-DD) and time (HH:MM:SS), in UTC (the
    recorders write UTC, GPS time less the leap seconds)."""
    date, time = summary.get("date"), summary.get("time")
    if not isinstance(date, str) or not isinstance(time, str) or not date or not time:
        return None
    try:
        return datetime.datetime.fromisoformat(f"{date}T{time}").replace(tzinfo=datetime.timezone.utc)
    except ValueError:
        return None


class Record(SamplesMixin, ExportMixin):
    """A decoded record, made by segdreport.open(path) (or Record(path), the same); a context manager
    that closes it.

    Attributes:
        path (str): the record's file.
        status (str): "ok", or "warning" when the run gave notices or the record's shape has findings
            (the words of the summary's status column).
        size_bytes (int): the file's size.
        file_number (int | None): the record's file number (the extended file number where escaped).
        recorded (datetime.datetime | None): the recording time, in UTC; None where the headers give none.
        recorded64 (numpy.datetime64): the same as numpy.datetime64 (seconds, UTC), NaT where none.
        revision (str | None): the SEG-D revision ("2.1"), None without a second general header block.
        manufacturer (str): the make's name; manufacturer_code (int) its code (block 1 byte 17).
        format_code (int): the sample format code (8015, 8058, ...).
        samples_per_trace (int | list[int]): samples in a trace, a list when channel sets differ.
        make (str): the make whose own headers were decoded ("sn388", "sercel", "smartsolo", "fairfield" or "").
        schema_version (str): the vocabulary's version (docs/schema.md).
        sample_interval_ms, record_length_ms (float | None), trace_count (int | None): the record's shape.
        start_time_utc (str | None): time zero, ISO 8601 with microseconds; start_time_source (str | None):
            "gps" (the make's GPS time) or "general_header" (block 1's date and time, maybe local time).
        general_headers (dict[str, dict]): each general header block by name, its fields by data name.
        channel_sets (list[dict]): each channel set header's fields by data name.
        extended_header (dict), external_header (ExternalHeader): the extended header's fields, the
            external header's text and first bytes.
        summary (dict): the record's summary fields (date, time, sample interval, source position, ...).
        columns (list[dict]): the trace columns: name, type, whether a flag, whether the dead column.
        traces (numpy.ndarray): the trace table, a structured array with a field per column (the CSV's).
        notices (list[dict]): the run's notices: text, caption, kind ("warning" or "plain").
        integrity (dict): traces_announced, traces_listed, traces_past_end, first_trace_past_end,
            file_size, bytes_after_last_trace, trailer_after_last_trace, problems.
        closed (bool): whether close() was called; a closed record no longer reads its file (report()).
    """

    path: str
    status: str
    size_bytes: int
    file_number: Optional[int]
    revision: Optional[str]
    manufacturer: str
    manufacturer_code: int
    make: str
    format_code: int
    samples_per_trace: Union[int, list[int]]
    schema_version: str
    sample_interval_ms: Optional[float]
    record_length_ms: Optional[float]
    trace_count: Optional[int]
    start_time_utc: Optional[str]
    start_time_source: Optional[str]
    general_headers: dict[str, dict[str, Any]]
    channel_sets: list[dict[str, Any]]
    extended_header: dict[str, Any]
    external_header: ExternalHeader
    summary: dict[str, Any]
    columns: list[dict[str, Any]]
    notices: list[dict[str, str]]
    integrity: dict[str, Any]
    traces: np.ndarray
    closed: bool

    def __init__(self, source: Union[dict[str, Any], PathLike]) -> None:
        from_path = not isinstance(source, dict)  # Record(path) reads as open(path) does
        data = _decoded(source) if not isinstance(source, dict) else source
        self.path = data["path"]
        # The summary's words: "warning" for notices or findings of the record's shape.
        findings = data["status"] == "findings" or data["notices"] or data["integrity"]["problems"]
        self.status = "warning" if findings else "ok"
        self.size_bytes = data["size_bytes"]
        self.revision = data["revision"]
        self.manufacturer = data["manufacturer"]
        self.manufacturer_code = data["manufacturer_code"]
        self.make = data["make"]
        self.format_code = data["format_code"]
        self.file_number = data["file_number"]
        self.samples_per_trace = data["samples_per_trace"]
        self.schema_version = data["schema_version"]
        self.sample_interval_ms = data["sample_interval_ms"]
        self.record_length_ms = data["record_length_ms"]
        self.trace_count = data["trace_count"]
        self.start_time_utc = data["start_time_utc"]
        self.start_time_source = data["start_time_source"]
        self.general_headers = data["general_headers"]
        self.channel_sets = data["channel_sets"]
        self.extended_header = data["extended_header"]
        self.external_header = ExternalHeader(data["external_text"], data["external_bytes"], data["external_fields"])
        self.summary = data["summary"]
        self.columns = data["columns"]
        self.notices = data["notices"]
        self.integrity = data["integrity"]
        self.traces = data["traces"]
        self.closed = False
        if from_path:
            _warn(self.path, self.notices, self.integrity["problems"])

    @property
    def recorded(self) -> Optional[datetime.datetime]:
        """The recording time as a timezone-aware datetime in UTC, or None."""
        return _recorded(self.summary)

    @property
    def recorded64(self) -> np.datetime64:
        """The recording time as numpy.datetime64 (seconds, UTC), NaT where the headers give none."""
        when = self.recorded
        return np.datetime64("NaT", "s") if when is None else np.datetime64(when.replace(tzinfo=None), "s")

    def close(self) -> None:
        """Ends the record's use of its file: report() raises ValueError afterwards. The decoded
        headers and trace table stay (they are in memory; no file is held open between calls)."""
        self.closed = True

    def __enter__(self) -> Record:
        return self

    def __exit__(self, kind: Optional[type[BaseException]], error: Optional[BaseException],
                 trace: Optional[TracebackType]) -> None:
        self.close()

    def __repr__(self) -> str:
        return (f"<segdreport.Record {self.path!r}: file {self.file_number}, {self.manufacturer or 'make ' + str(self.manufacturer_code)}, "
                f"revision {self.revision}, {len(self.traces)} traces, {len(self.notices)} notices>")

    def __len__(self) -> int:
        return len(self.traces)

    @property
    def flag_columns(self) -> list[str]:
        """The names of the trace error flag columns."""
        return [c["name"] for c in self.columns if c["flag"]]

    @property
    def dead_column(self) -> Optional[str]:
        """The name of the column that says a trace is dead, or None."""
        return next((c["name"] for c in self.columns if c["dead"]), None)

    def to_pandas(self) -> Any:
        """The trace table as a pandas DataFrame (the CSV's columns)."""
        import pandas

        return pandas.DataFrame(self.traces)

    def selection(self, select: Union[None, str, Iterable[SelectItem]]) -> list[int]:
        """The report's selection indices (0-29 trace fields, 30-33 header sections) for `select`:
        None, "none", "all", a command-line list such as "0-5,31", or an iterable of indices and names
        (trace column names, or general_headers, channel_sets, extended_header, external_header).
        ValueError names the item that is none of these."""
        if select is None:
            return []
        if isinstance(select, (bytes, bytearray)) or not hasattr(select, "__iter__"):
            raise TypeError(f"select must be None, a str or an iterable of indices and names, not {type(select).__name__}")
        items: Iterable[SelectItem] = select.split(",") if isinstance(select, str) else select
        indices: set[int] = set()
        for item in items:
            indices.update(_selection_item(item))
        return sorted(indices)

    def report(self, select: Union[None, str, Iterable[SelectItem]] = "none") -> bytes:
        """The text report's bytes for the selection, exactly as the command line writes them
        (`segdreport --select ... --output NAME RECORD`)."""
        if self.closed:
            raise ValueError(f"the record {self.path} is closed")
        data = _core.report(_fspath(self.path), self.selection(select))
        if not data["written"]:
            _raise_for(self.path, "cannot_open" if _cannot_open(data["notices"]) else "not_segd", data["notices"])
        _warn(self.path, data["notices"])
        return data["bytes"]

    def plot_spread(self, ax: Any = None) -> Any:
        """Receiver positions coloured by trace state, the source marked. Returns the Axes."""
        from ._plots import plot_spread

        return plot_spread(self, ax)

    def plot_trace_flags(self, ax: Any = None) -> Any:
        """Which flags each trace has set, as a raster. Returns the Axes."""
        from ._plots import plot_trace_flags

        return plot_trace_flags(self, ax)


def _selection_item(item: SelectItem) -> list[int]:
    """The indices of one item of a selection; ValueError names an item that is not one."""
    if isinstance(item, str):
        name = item.strip()
        if name in _SECTIONS:
            return [_SECTIONS[name]]
        if name in ("", "none"):
            return []
        if _core.trace_column_index(name) >= 0:
            return [_core.trace_column_index(name)]
        try:
            return _core.parse_selection(name)
        except ValueError:
            raise ValueError(f"select: {item!r} is not a trace column name, a section name ({', '.join(_SECTIONS)}), "
                             "an index or range within 0-33, 'all' or 'none'") from None
    if isinstance(item, bool) or not hasattr(item, "__index__"):
        raise TypeError(f"select holds {item!r}: an index is an int, a name a str")
    index = item.__index__()
    if not 0 <= index <= 33:
        raise ValueError(f"select: index {index} is not within 0-33")
    return [index]


def _cannot_open(notices: list[dict[str, str]]) -> bool:
    return bool(notices) and notices[0]["text"].startswith("Cannot open")
