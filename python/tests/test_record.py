"""Records through the Python package against the command line's own outputs."""
import csv
import gc
import io
import math
import os
import signal
import threading
import time
import warnings

import numpy as np
import pytest

import segdreport
from conftest import RECORDS, SAMPLE, cli_help, run_cli


def open_quietly(path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", segdreport.SegdWarning)
        return segdreport.open(path)


def cell_equals(text, value, kind):
    """One CSV cell against one array value: empty is NaN or "", numbers by value, booleans as true/false."""
    if kind == "U":
        return text == value
    if text == "":
        return kind == "f" and math.isnan(value)
    if kind == "b":
        return text == ("true" if value else "false")
    if kind == "i":
        return int(text) == value
    return float(text) == value or (text in ("true", "false") and float(text == "true") == value)


@pytest.mark.parametrize("path", RECORDS)
def test_the_trace_array_equals_the_csv_of_the_same_record_field_by_field(path, tmp_path):
    if "--csv" not in cli_help():
        pytest.skip("the command line writes no CSV yet")
    run_cli("--csv", str(tmp_path / "t.csv"), path, check=False)
    with open(tmp_path / "t.csv", encoding="utf-8", newline="") as f:
        header, *rows = list(csv.reader(f))
    traces = open_quietly(path).traces
    assert list(traces.dtype.names) == header
    assert len(traces) == len(rows)
    for name in header:
        column, kind = traces[name], traces.dtype[name].kind
        texts = [row[header.index(name)] for row in rows]
        wrong = [i for i, text in enumerate(texts) if not cell_equals(text, column[i], kind)]
        assert not wrong, f"{name}: trace {wrong[0] + 1} is {column[wrong[0]]!r} in the array, {texts[wrong[0]]!r} in the CSV"


@pytest.mark.parametrize("select, cli_select", [
    ("none", "none"), ("all", "all"), ("0-5,31", "0-5,31"),
    (["line", "point", 29, "general_headers", "external_header"], "1,2,29,30,33"),
])
def test_report_equals_the_command_lines_report_byte_for_byte(select, cli_select, tmp_path):
    run_cli("--output", "cli", "--select", cli_select, "--folder", str(tmp_path), SAMPLE)
    expected = (tmp_path / "Cli.Txt").read_bytes()
    assert open_quietly(SAMPLE).report(select=select) == expected


def test_the_record_holds_its_headers_notices_and_integrity_as_the_array_shows_them():
    record = open_quietly(SAMPLE)
    traces = record.traces
    assert record.path == SAMPLE and record.size_bytes == os.path.getsize(SAMPLE)
    assert record.integrity["traces_listed"] == len(traces) > 0
    assert record.integrity["traces_past_end"] == np.count_nonzero(traces["past_end"])
    assert list(traces["trace"]) == list(range(1, len(traces) + 1))
    assert record.general_headers and isinstance(record.external_header.bytes, bytes)
    frame = record.to_pandas()
    assert list(frame.columns) == list(traces.dtype.names) and len(frame) == len(traces)


def test_a_cut_record_marks_its_lost_traces_and_warns(tmp_path):
    cut = tmp_path / "cut.segd"
    data = open(SAMPLE, "rb").read()
    cut.write_bytes(data[: len(data) * 2 // 3])
    with pytest.warns(segdreport.SegdWarning):
        record = segdreport.open(cut)
    assert record.integrity["problems"] and record.integrity["traces_past_end"] > 0
    assert np.count_nonzero(record.traces["past_end"]) == record.integrity["traces_past_end"]


@pytest.mark.parametrize("contents, error", [
    (None, FileNotFoundError),             # no such file
    ("folder", IsADirectoryError),         # as Python's own open() says
    (b"", segdreport.DecodeError),         # empty
    (b"\x12\x34" * 10, segdreport.DecodeError),  # shorter than a header block
    (b"hello world, this is a text file\n" * 40, segdreport.DecodeError),
])
def test_records_that_cannot_be_read_raise_the_documented_exceptions(contents, error, tmp_path):
    path = tmp_path / "record"
    if contents == "folder":
        path.mkdir()
    elif contents is not None:
        path.write_bytes(contents)
    with pytest.raises(error) as raised:
        segdreport.open(path)
    assert str(path) in str(raised.value)
    if error is segdreport.DecodeError:
        assert raised.value.notices and raised.value.path == str(path)


def test_report_of_a_record_gone_since_it_was_opened_raises_file_not_found(tmp_path):
    copy = tmp_path / "sample.segd"
    copy.write_bytes(open(SAMPLE, "rb").read())
    record = open_quietly(copy)
    copy.unlink()
    with pytest.raises(FileNotFoundError):
        record.report("all")


def live_records():
    gc.collect()
    return sum(isinstance(o, segdreport.Record) for o in gc.get_objects())


@pytest.mark.parametrize("run, inside", [
    (segdreport.open, True),
    (lambda path: open_quietly(path).report("all"), True),
    (lambda path: segdreport.scan([path] * 8, jobs=2), False),  # stops between records
], ids=["open", "report", "scan"])
def test_ctrl_c_stops_a_long_walk_and_leaves_nothing_behind(run, inside, big_record):
    before = live_records()
    # Ctrl-C once a walk's threads run (a fixed delay could fall between two
    # calls now that a walk takes a few hundredths of a second).
    threads = len(os.listdir("/proc/self/task")) + 1  # and the watcher's own

    def interrupt_a_walk():
        deadline = time.monotonic() + 60
        while len(os.listdir("/proc/self/task")) <= threads and time.monotonic() < deadline:
            time.sleep(0.0005)
        os.kill(os.getpid(), signal.SIGINT)

    threading.Thread(target=interrupt_a_walk, daemon=True).start()
    deadline = time.monotonic() + 60
    with pytest.raises(KeyboardInterrupt) as raised:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            while time.monotonic() < deadline:
                run(big_record)
    # Raised from inside the walk, not between two of them.
    assert not inside or "_core." in str(raised.traceback[-1].statement)
    assert live_records() == before
