"""Paths, argument errors and hostile files in the Python bindings, as Python's own open() would treat them."""
import os
import shutil

import pytest

import segdreport

from conftest import SAMPLE


def _setup(tmp_path):
    (tmp_path / "folder").mkdir()
    (tmp_path / "plain").write_text("observer's notes, not a record\n")
    return tmp_path


@pytest.mark.parametrize("name, error", [
    ("folder", IsADirectoryError),
    ("plain/child.segd", NotADirectoryError),
    ("missing.segd", FileNotFoundError),
    ("plain", segdreport.DecodeError),
    ("with\0nul.segd", ValueError),
])
@pytest.mark.parametrize("entry", [segdreport.open, segdreport.Record])
def test_open_refuses_as_python_does(tmp_path, name, error, entry):
    path = str(_setup(tmp_path) / name)
    with pytest.raises(error) as raised:
        entry(path)
    if issubclass(error, OSError):
        assert raised.value.filename == path


@pytest.mark.parametrize("name", [b"\xe9.segd", os.fsdecode(b"\xe9x.segd"), "nope_\u00e9.segd"])
def test_any_path_form_opens(tmp_path, name):
    target = os.path.join(os.fsencode(tmp_path) if isinstance(name, bytes) else str(tmp_path), name)
    shutil.copy(SAMPLE, target)
    record = segdreport.open(target)
    assert record.path == os.fsdecode(target) == segdreport.Record(target).path
    assert segdreport.scan([target])["status"][0] == "warning"  # the sample's flagged traces


def test_names_that_differ_only_in_bytes_stay_apart(tmp_path):
    shutil.copy(SAMPLE, os.fsencode(tmp_path) + b"/\xe9.segd")
    shutil.copy(SAMPLE, tmp_path / "\u00e9.segd")
    paths = sorted(os.path.basename(p) for p in segdreport.scan(tmp_path)["path"])
    assert paths == ["\\xe9.segd", "\u00e9.segd"]


@pytest.mark.parametrize("call, error, word", [
    (lambda: segdreport.scan([SAMPLE], jobs=0), ValueError, "jobs"),
    (lambda: segdreport.scan([SAMPLE], jobs="2"), TypeError, "jobs"),
    (lambda: segdreport.scan([3.5]), TypeError, "paths_or_folders"),
    (lambda: segdreport.open(SAMPLE).report(select=b"all"), TypeError, "select"),
    (lambda: segdreport.open(3.5), TypeError, "path"),
])
def test_argument_errors_name_the_argument(call, error, word):
    with pytest.raises(error, match=word):
        call()


def test_jobs_beyond_the_cores_is_bounded():
    assert list(segdreport.scan([SAMPLE, SAMPLE], jobs=2**32)["status"]) == ["warning", "warning"]  # flagged traces
