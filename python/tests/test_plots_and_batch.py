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


def marks(ax):
    """Each legend entry's name (without its count) -> the points its collection draws."""
    return {c.get_label().split(" (")[0]: np.asarray(c.get_offsets()) for c in ax.collections
            if not c.get_label().startswith("_")}


@pytest.fixture(scope="module")
def cut_record(tmp_path_factory):
    """The sample record cut inside its 101st trace: its last traces lie past the end of the file."""
    path = tmp_path_factory.mktemp("cut") / "cut.segd"
    data = open(SAMPLE, "rb").read()
    path.write_bytes(data[: len(data) * 100 // 362])
    return str(path)


@pytest.mark.parametrize("which", ["sample"] + RECORDS[1:] + ["cut"])
def test_the_spread_draws_the_traces_in_the_file_with_every_flag_each_has(which, cut_record, tmp_path):
    from segdreport._plots import _positions, _set

    record = record_of(cut_record if which == "cut" else SAMPLE if which == "sample" else which)
    ax = record.plot_spread()
    found = _positions(record)
    assert found is not None, "every record here holds receiver positions"
    xs, ys, _, _ = found
    traces = record.traces
    within = np.isfinite(xs) & np.isfinite(ys) & ~_set(traces, "past_end")
    drawn, labels = marks(ax), [t.get_text() for t in ax.get_legend().get_texts()]
    assert sum(len(drawn.get(k, ())) for k in ("live", "dead")) == within.sum()
    # Every flag set on a drawn trace is in the legend with its count, at each flagged trace's place.
    for name in (n for n in record.flag_columns if n != record.dead_column):
        flagged = within & _set(traces, name)
        if flagged.any():
            assert f"{name} ({flagged.sum()})" in labels
            assert sorted(map(tuple, drawn[name])) == sorted(zip(xs[flagged], ys[flagged]))
    assert ax.get_xlabel().endswith(")") and ax.get_ylabel().endswith(")"), "axes carry units"
    if which == "cut":
        assert (~within).sum() > 0 and f"{(~within).sum()} past the end of the file, not drawn" in ax.get_title()
        assert not np.any(np.all(np.concatenate(list(drawn.values())) == 0, axis=1)), "nothing drawn at (0, 0)"
    if "smartsolo" in which:
        assert ax.get_xlabel() == "Longitude (degrees)"
        lon, lat = np.concatenate([drawn["live"]]).T
        assert np.all(np.abs(lon) <= 180) and np.all(np.abs(lat) <= 90)
    if which == "sample":  # trace 329 holds two flags: it is drawn under each
        assert {"sn388_overscale_error", "sn388_data_error"} <= drawn.keys()
        render(ax, tmp_path.parent / "spread_sample.png")
    else:
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
    """Records 10, 11, 11 (twice) and 14 (a gap), one nested, and a text file that is no record (a failed row)."""
    folder = tmp_path / "line"
    (folder / "nested").mkdir(parents=True)
    for name, number in [("a.segd", 10), ("b.segd", 11), ("c.segd", 11), ("nested/d.segd", 14)]:
        with_file_number(SAMPLE, folder / name, number)
    (folder / "notes.txt").write_text("not a record\n" * 20)
    return folder


def test_scan_gives_a_row_per_record_in_path_order_and_line_qc_finds_the_duplicate_and_gap(line_folder):
    summary = segdreport.scan([line_folder, line_folder / "missing.segd"], jobs=2)
    assert [p.split("/line/")[-1] for p in summary["path"]] == ["a.segd", "b.segd", "c.segd", "nested/d.segd",
                                                                 "notes.txt", "missing.segd"]
    assert list(summary["status"])[-2:] == ["failed", "failed"]
    assert list(summary["problems"])[-2:] == ["not SEG-D: general header block 1 does not decode",
                                              "cannot open: No such file or directory"]
    assert list(summary["file_number"])[:4] == [10, 11, 11, 14]
    assert summary.equals(segdreport.scan([line_folder, line_folder / "missing.segd"], jobs=1))
    qc = segdreport.line_qc(summary)
    assert [(d["file_number"], len(d["paths"])) for d in qc["duplicate_file_numbers"]] == [(11, 2)]
    assert [(g["first_missing"], g["last_missing"]) for g in qc["gaps"]] == [(12, 13)]

    ax = segdreport.plot_summary(summary)
    assert ax.get_xlabel() == "Source point (station number)" and ax.get_ylabel() == "Source line (line number)"
    x, y = "source_point", "source_line"
    placed = np.isfinite(pd.to_numeric(summary[x], errors="coerce")) & np.isfinite(pd.to_numeric(summary[y], errors="coerce"))
    labels = [t.get_text() for t in ax.get_legend().get_texts()]
    assert any(label.startswith("duplicate file number (2)") for label in labels)
    assert any(label.startswith("after a gap in file numbers (1)") for label in labels)
    # The copies share the sample's source point: one position under file numbers 10, 11 and 14, labelled so.
    assert "repeated source position (1)" in labels
    assert sorted(t.get_text() for t in ax.texts) == ["10, 11, 11, 14"]
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
