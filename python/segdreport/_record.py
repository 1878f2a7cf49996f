"""One record: its headers as dicts, its trace table as a numpy structured array."""
import errno
import os
import warnings
from collections import namedtuple

from . import _core

ExternalHeader = namedtuple("ExternalHeader", "text bytes fields")
ExternalHeader.__doc__ = ("The external header: its text (NUL bytes dropped), its first bytes (at most 1024) and "
                          "the fields the make's layout decodes {name: value}.")


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


def _fspath(path):
    path = os.fspath(path)
    return os.fsdecode(path) if isinstance(path, bytes) else path


def open(path):  # noqa: A001 - the package's entry, as in the documentation
    """Decodes the record at `path` and walks its traces once.

    Raises FileNotFoundError when it cannot be opened and DecodeError when it
    is not SEG-D; notices of a run that went on, and what the walk found
    wrong with the record's shape (a record cut short), are given as
    SegdWarning and kept in Record.notices and Record.integrity["problems"]. Ctrl-C stops the walk (KeyboardInterrupt) and
    nothing is returned.
    """
    path = _fspath(path)
    data = _core.scan_record(path)
    _raise_for(path, data["status"], data["notices"])
    record = Record(data)
    _warn(path, record.notices, record.integrity["problems"])
    return record


# The header sections of the report by the names the JSON output gives them.
_SECTIONS = {"general_headers": 30, "channel_sets": 31, "extended_header": 32, "external_header": 33}


class Record:
    """A decoded record. Made by segdreport.open()."""

    def __init__(self, data):
        self.path = data["path"]
        self.status = data["status"]  # "ok" or "findings"
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

    def __repr__(self):
        return (f"<segdreport.Record {self.path!r}: file {self.file_number}, {self.manufacturer or 'make ' + str(self.manufacturer_code)}, "
                f"revision {self.revision}, {len(self.traces)} traces, {len(self.notices)} notices>")

    def __len__(self):
        return len(self.traces)

    @property
    def flag_columns(self):
        """The names of the trace error flag columns."""
        return [c["name"] for c in self.columns if c["flag"]]

    @property
    def dead_column(self):
        """The name of the column that says a trace is dead, or None."""
        return next((c["name"] for c in self.columns if c["dead"]), None)

    def to_pandas(self):
        """The trace table as a pandas DataFrame (the CSV's columns)."""
        import pandas

        return pandas.DataFrame(self.traces)

    def selection(self, select):
        """The report's selection indices (0-29 trace fields, 30-33 header sections) for `select`:
        None, "none", "all", a command-line list such as "0-5,31", or an iterable of indices and names
        (trace column names, or general_headers, channel_sets, extended_header, external_header)."""
        if select is None:
            return []
        if isinstance(select, str):
            return _core.parse_selection(select) if select.strip() else []
        indices = set()
        for item in select:
            if isinstance(item, str):
                if item in _SECTIONS:
                    indices.add(_SECTIONS[item])
                elif _core.trace_column_index(item) >= 0:
                    indices.add(_core.trace_column_index(item))
                else:
                    indices.update(_core.parse_selection(item))
            else:
                index = int(item)
                if not 0 <= index <= 33:
                    raise ValueError(f"selection index {index} is not 0-33")
                indices.add(index)
        return sorted(indices)

    def report(self, select="none"):
        """The text report's bytes for the selection, exactly as the command line writes them
        (`segdreport --select ... --output NAME RECORD`)."""
        data = _core.report(self.path, self.selection(select))
        if not data["written"]:
            _raise_for(self.path, "cannot_open" if _cannot_open(data["notices"]) else "not_segd", data["notices"])
        _warn(self.path, data["notices"])
        return data["bytes"]

    def plot_spread(self, ax=None):
        """Receiver positions coloured by trace state, the source marked. Returns the Axes."""
        from ._plots import plot_spread

        return plot_spread(self, ax)

    def plot_trace_flags(self, ax=None):
        """Which flags each trace has set, as a raster. Returns the Axes."""
        from ._plots import plot_trace_flags

        return plot_trace_flags(self, ax)


def _cannot_open(notices):
    return bool(notices) and notices[0]["text"].startswith("Cannot open")
