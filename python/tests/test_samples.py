"""Samples in Python: every format as numpy, one trace, chunks, the lazy array under Dask and
xarray, the memory map, scaling, a cut record, the public records against their raw bytes,
and the gather plot (what it draws)."""
import os
import subprocess
import warnings
from pathlib import Path

import numpy as np
import pytest

import segdreport
from conftest import SAMPLES_DIR

ROOT = Path(__file__).resolve().parents[2]
MAKE_SEGD = os.environ.get("SEGD_MAKE_SEGD", str(ROOT / "build/tools/make_segd"))
FORMATS = [8015, 8022, 8024, 8036, 8038, 8042, 8044, 8048, 8058, 8080, 9036, 9038, 9058, 9080]
NATIVE = {8036: np.int32, 8038: np.int32, 9036: np.int32, 9038: np.int32, 8048: np.float64, 8080: np.float64,
          9080: np.float64}


def make(tmp_path, *args, name="r.segd"):
    path = tmp_path / name
    subprocess.run([MAKE_SEGD, *args, str(path)], check=True, capture_output=True)
    return str(path)


def ramp(traces, samples):
    """What make_segd --ramp writes: sample i of trace k is (7k + i) mod 31 - 15."""
    k, i = np.meshgrid(np.arange(traces), np.arange(samples), indexing="ij")
    return ((7 * k + i) % 31 - 15).astype(np.float32)


def opened(path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return segdreport.open(path)


@pytest.mark.parametrize("code", FORMATS)
def test_every_format_reads_as_written_in_every_form(code, tmp_path):
    record = opened(make(tmp_path, "--format", str(code), "--traces", "5", "--samples", "9", "--ramp"))
    expected = ramp(5, 9)
    all_ = record.samples()
    assert all_.dtype == np.float32 and all_.shape == (5, 9)
    np.testing.assert_array_equal(all_, expected)
    np.testing.assert_array_equal(record.samples(3), expected[3])
    np.testing.assert_array_equal(record.samples(-1), expected[-1])
    native = record.samples(dtype="native")
    assert native.dtype == NATIVE.get(code, np.float32)
    np.testing.assert_array_equal(native, expected)
    assert record.samples(dtype="float64").dtype == np.float64
    chunks = list(record.iter_samples(chunk=2))
    assert [first for first, _ in chunks] == [0, 2, 4]
    np.testing.assert_array_equal(np.concatenate([c for _, c in chunks]), expected)
    lazy = record.sample_array()
    assert lazy.shape == (5, 9) and lazy.dtype in (np.dtype("<f4"), np.dtype(">f4"))  # 8058: the file's singles
    np.testing.assert_array_equal(np.asarray(lazy[1:4, 2:7]), expected[1:4, 2:7])
    np.testing.assert_array_equal(np.asarray(lazy[[4, 0], ::3]), expected[[4, 0], ::3])


def test_the_lazy_array_goes_under_dask_and_xarray(tmp_path):
    import dask.array
    import xarray

    record = opened(make(tmp_path, "--format", "8036", "--traces", "7", "--samples", "11", "--ramp"))
    lazy = record.sample_array(dtype="native")
    assert isinstance(lazy, segdreport.SampleArray) and lazy.dtype == np.int32
    wrapped = dask.array.from_array(lazy, chunks=(3, -1))
    np.testing.assert_array_equal(wrapped.compute(), ramp(7, 11))
    np.testing.assert_array_equal(xarray.DataArray(lazy, dims=("trace", "time")).values, ramp(7, 11))
    array = record.to_xarray(scaled=True)
    assert array.dims == ("trace", "time") and array.attrs["units"] == "mV"
    np.testing.assert_allclose(array.time.values, np.arange(11) * 2.0)  # make_segd's other make: 2 ms
    assert list(array.trace_number.values) == list(record.traces["trace_number"])
    factor = record.sample_facts().sets[0]["scale_factor"]
    assert factor != 1
    np.testing.assert_array_equal(array.values, (ramp(7, 11).astype(np.float64) * factor).astype(np.float32))


@pytest.mark.parametrize("code, byteorder", [(8058, ">"), (9058, "<")])
def test_ieee_singles_of_one_stride_open_as_a_memory_map(code, byteorder, tmp_path):
    record = opened(make(tmp_path, "--format", str(code), "--traces", "6", "--samples", "13", "--ramp"))
    view = record.sample_array()
    base = view
    while base is not None and not isinstance(base, np.memmap):
        base = base.base
    assert isinstance(base, np.memmap), "not a view of the file"
    assert view.dtype == np.dtype(byteorder + "f4") and view.shape == (6, 13) and not view.flags.writeable
    np.testing.assert_array_equal(view, ramp(6, 13))


def test_a_cut_record_reads_nan_past_the_end(tmp_path):
    shape = ["--format", "8024", "--traces", "4", "--samples", "100", "--ramp", "--trailer", "0"]
    size = os.path.getsize(make(tmp_path, *shape, name="whole.segd"))
    with pytest.warns(segdreport.SegdWarning):
        record = segdreport.open(make(tmp_path, *shape, "--cut", str(size - 60)))
    data = record.samples()
    np.testing.assert_array_equal(data[:3], ramp(4, 100)[:3])
    np.testing.assert_array_equal(data[3, :70], ramp(4, 100)[3, :70])
    assert np.isnan(data[3, 70:]).all()
    assert not isinstance(record.sample_array(), np.ndarray)  # no map over a cut record
    # Opened to stream, without a trace table: the same warnings, chunks and, when asked, the same table.
    with pytest.warns(segdreport.SegdWarning):
        streamed = segdreport.open(record.path, traces=False)
    np.testing.assert_array_equal(np.vstack([a for _, a in streamed.iter_samples(chunk=3)]), data)
    assert len(streamed) == len(record) and streamed.traces.tobytes() == record.traces.tobytes()

    # Cut to a sliver of a record of 2,000 traces of 2,000,000 samples: the reason, not gigabytes of NaN.
    with pytest.warns(segdreport.SegdWarning):
        sliver = segdreport.open(make(tmp_path, "--traces", "2000", "--samples", "2000000", "--cut", "20000",
                                      name="sliver.segd"))
    with pytest.raises(segdreport.DecodeError, match="far more than the file holds"):
        sliver.samples()


@pytest.mark.parametrize("name, traces, samples, header, extensions", [
    ("su_sercel.segd", 86, 2001, 5728, 7),
    ("ph5_smartsolo_453005513.2.segd", 359, 251, 2656, 7),
    ("ph5_fairfield_3ch.fcnt", 6, 15000, 288, 10),
])
def test_public_records_read_their_raw_singles_with_utc_start_times(name, traces, samples, header, extensions):
    path = str(SAMPLES_DIR / name)
    record = opened(path)
    data = record.samples()
    assert data.shape == (traces, samples)
    raw = np.fromfile(path, dtype=np.uint8)[header:].reshape(traces, -1)[:, 20 + 32 * extensions:]
    np.testing.assert_array_equal(data, raw.copy().view(">f4").astype(np.float32))
    finite = np.isfinite(data).all(axis=1)
    assert finite.sum() == traces - (1 if name == "su_sercel.segd" else 0)
    start, source = record.start_times()
    assert not np.isnat(start).any()
    if name.startswith("ph5_smartsolo"):
        assert start[0] == np.datetime64("2021-05-08T20:06:00.000000") and source[0] == "make GPS time"


def test_the_gather_plot_draws_wiggles_for_few_traces_and_an_image_for_many(tmp_path):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    record = opened(make(tmp_path, "--format", "8058", "--traces", "60", "--samples", "500", "--gather"))
    ax = segdreport.plot_gather(record, traces=slice(0, 12))
    assert len(ax.lines) == 12 and len(ax.collections) == 12 and not ax.images
    assert ax.get_ylabel() == "time (ms)" and ax.get_ylim()[0] > ax.get_ylim()[1]  # time runs down
    ax.figure.savefig(tmp_path / "wiggles.png")
    ax = segdreport.plot_gather(record, agc_ms=100, clip=98)
    assert len(ax.images) == 1 and not ax.lines
    image = ax.images[0]
    assert image.get_array().shape == (500, 60)
    assert image.get_extent()[2] == pytest.approx(998.0)  # the last sample, 2 ms apart, at the bottom
    ax.figure.savefig(tmp_path / "image.png")
    plt.close("all")
