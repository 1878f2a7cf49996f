"""The package as a user meets it: its version, python -m segdreport, status words, select= errors,
the record as a context manager and its recording time."""
import datetime
import subprocess
import sys
import warnings

import numpy as np
import pytest

import segdreport
from conftest import CLI, RECORDS, SAMPLE, run_cli


def test_version_and_python_m_segdreport_are_the_command_lines(tmp_path):
    version = subprocess.run([CLI, "--version"], capture_output=True, text=True).stdout
    assert version == f"segdreport {segdreport.__version__}\n"
    for args in (["--version"], ["--help"], ["--quiet", "--output", "-", "--select", "all", SAMPLE], ["--bogus"]):
        own = subprocess.run([sys.executable, "-m", "segdreport", *args], capture_output=True, cwd=tmp_path)
        program = subprocess.run([CLI, *args], capture_output=True, cwd=tmp_path)
        assert (own.returncode, own.stdout, own.stderr) == (program.returncode, program.stdout, program.stderr), args


@pytest.mark.parametrize("path", RECORDS)
def test_status_uses_the_summarys_words_and_recorded_is_its_date_and_time_in_utc(path, tmp_path):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", segdreport.SegdWarning)
        record = segdreport.open(path)
    # Record.status does not judge trace findings; the summary, allowed them all, says the same.
    run_cli("--summary", str(tmp_path / "s.csv"), "--summary-format", "json", "--allow",
            "dead=100%,impedance=100%,overscale=100%,data=100%,sync=100%", path, check=False)
    import json
    row = json.loads((tmp_path / "s.csv").read_text(encoding="utf-8").splitlines()[0])
    assert record.status == row["status"]
    if row["date"] and row["time"]:
        assert record.recorded == datetime.datetime.fromisoformat(f"{row['date']}T{row['time']}").replace(
            tzinfo=datetime.timezone.utc)
        assert record.recorded64 == np.datetime64(f"{row['date']}T{row['time']}")
    else:
        assert record.recorded is None and np.isnat(record.recorded64)


@pytest.mark.parametrize("select, named", [
    (["line", "bogus"], "'bogus'"), ("0-5,nothing", "'nothing'"), ([40], "index 40"), ("5-2", "'5-2'"),
])
def test_a_bad_select_names_the_item_and_not_the_command_lines_help(select, named):
    record = segdreport.open(SAMPLE)
    with pytest.raises(ValueError) as error:
        record.report(select=select)
    assert named in str(error.value) and "--help" not in str(error.value)


def test_a_record_closes_at_the_end_of_its_with_block():
    with segdreport.open(SAMPLE) as record:
        assert not record.closed and record.report(select="30")
    assert record.closed and len(record.traces) > 0
    with pytest.raises(ValueError, match="closed"):
        record.report()
