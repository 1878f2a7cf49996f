"""Record.to_segy() and Record.to_mseed(): segyio reopens the SEG-Y with every
sample equal to record.samples(); refusals raise ExportError and leave no file."""
import warnings

import numpy as np
import pytest
import segyio

import segdreport

from conftest import SAMPLES_DIR

RECORDS = sorted(p for p in SAMPLES_DIR.glob("*") if p.suffix in (".segd", ".fcnt"))


@pytest.mark.parametrize("path", RECORDS, ids=lambda p: p.name)
def test_to_segy_reads_back_in_segyio_as_the_samples(path, tmp_path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", segdreport.SegdWarning)
        record = segdreport.open(path)
    out = tmp_path / "r.sgy"
    record.to_segy(out)
    samples = record.samples()
    rows = samples if isinstance(samples, np.ndarray) else None
    with segyio.open(out, ignore_geometry=True) as f:
        assert f.tracecount == len(record.traces)
        for i in range(f.tracecount):
            expected = rows[i] if rows is not None else record.samples(i)
            np.testing.assert_array_equal(f.trace[i].view(np.uint32), np.asarray(expected, np.float32).view(np.uint32))


def test_refusals_raise_and_leave_no_file(tmp_path):
    record = segdreport.open(SAMPLES_DIR / "ph5_smartsolo_453005513.2.segd")
    with pytest.raises(segdreport.ExportError, match="longer than 5"):
        record.to_mseed(tmp_path / "r.mseed", station="{serial}")
    with pytest.raises(segdreport.ExportError, match="revision"):
        record.to_segy(tmp_path / "r.sgy", revision=3)
    assert list(tmp_path.iterdir()) == []
    record.to_mseed(tmp_path / "r.mseed", station="{seq}", record_length=512)
    assert (tmp_path / "r.mseed").stat().st_size % 512 == 0
