"""Plots render with one point per trace or record; scan() and line_qc() over a folder of written records."""
import subprocess
import warnings

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402
import pandas as pd  # noqa: E402
import pytest  # noqa: E402

import segdreport  # noqa: E402
from conftest import CLI, RECORDS, SAMPLE, cli_help, with_file_number  # noqa: E402


def render(ax, path):
    """Saves the Axes' figure at 50 dpi and returns the PNG's pixel size."""
    ax.figure.set_size_inches(8, 6)
    ax.figure.savefig(path, dpi=50)
    plt.close(ax.figure)
    return plt.imread(path).shape[:2]


def points(ax):
    return sum(len(c.get_offsets()) for c in ax.collections)


def record_of(path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return segdreport.open(path)


@pytest.mark.parametrize("path", RECORDS)
def test_the_spread_shows_every_placed_receiver_and_the_source(path, tmp_path):
    record = record_of(path)
    ax = record.plot_spread()
    from segdreport._plots import _positions  # the columns the plot chose

    found = _positions(record)
    placed = 0 if found is None else int(np.count_nonzero(np.isfinite(found[0]) & np.isfinite(found[1])))
    labels = [text.get_text() for text in ax.get_legend().get_texts()] if found else []
    assert points(ax) == placed + ("source" in labels)
    assert render(ax, tmp_path / "spread.png") == (300, 400)


@pytest.mark.parametrize("path", RECORDS)
def test_the_flag_raster_has_a_cell_per_trace_and_flag(path, tmp_path):
    record = record_of(path)
    figure, given = plt.subplots()
    ax = record.plot_trace_flags(ax=given)
    assert ax is given
    flags = sorted({record.dead_column, "past_end", *record.flag_columns} - {None})
    marks = sum(np.count_nonzero(record.traces[name]) for name in flags)
    assert len(ax.get_yticks()) == len(flags) and len(ax.collections[0].get_segments()) == marks
    assert render(ax, tmp_path / "flags.png") == (300, 400)


@pytest.fixture()
def line_folder(tmp_path):
    """Records 10, 11, 11 (twice) and 14 (a gap), one nested, and a text file that is no record."""
    folder = tmp_path / "line"
    (folder / "nested").mkdir(parents=True)
    for name, number in [("a.segd", 10), ("b.segd", 11), ("c.segd", 11), ("nested/d.segd", 14)]:
        with_file_number(SAMPLE, folder / name, number)
    (folder / "notes.txt").write_text("not a record\n" * 20)
    return folder


def test_scan_gives_a_row_per_record_in_path_order_and_line_qc_finds_the_duplicate_and_gap(line_folder):
    summary = segdreport.scan([line_folder, line_folder / "missing.segd"], jobs=2)
    assert [p.split("/line/")[-1] for p in summary["path"]] == ["a.segd", "b.segd", "c.segd", "nested/d.segd",
                                                                 "missing.segd"]
    assert list(summary["status"])[-1] == "failed"
    assert list(summary["file_number"])[:4] == [10, 11, 11, 14]
    assert summary.equals(segdreport.scan([line_folder, line_folder / "missing.segd"], jobs=1))
    qc = segdreport.line_qc(summary)
    assert [(d["file_number"], len(d["paths"])) for d in qc["duplicate_file_numbers"]] == [(11, 2)]
    assert [(g["first_missing"], g["last_missing"]) for g in qc["gaps"]] == [(12, 13)]

    ax = segdreport.plot_summary(summary)
    x, y = ax.get_xlabel().lower().replace(" ", "_"), ax.get_ylabel().lower().replace(" ", "_")
    placed = np.isfinite(pd.to_numeric(summary[x], errors="coerce")) & np.isfinite(pd.to_numeric(summary[y], errors="coerce"))
    labels = [t.get_text() for t in ax.get_legend().get_texts()]
    assert any(label.startswith("duplicate file number (2)") for label in labels)
    assert any(label.startswith("after a gap in file numbers (1)") for label in labels)
    assert sum(len(c.get_offsets()) for c in ax.collections if c.get_label().split(" (")[0] in ("ok", "warning")) \
        == int(placed.sum())
    plt.close(ax.figure)


def test_scan_equals_the_command_lines_summary(line_folder, tmp_path):
    if "--summary" not in cli_help():
        pytest.skip("the command line writes no summary yet")
    subprocess.run([CLI, "--quiet", "--summary", str(tmp_path / "s.csv"), str(line_folder)], capture_output=True)
    expected = pd.read_csv(tmp_path / "s.csv", float_precision="round_trip", dtype={"revision": str})
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        got = segdreport.scan([line_folder])
    pd.testing.assert_frame_equal(got, expected, check_dtype=False)
