"""Every output format of the writer registry is reachable: its options are in --help (and so in the
man page, which help2man makes from it), Python writes it by name, and a batch writes it per record."""
import shutil
from pathlib import Path

import pytest

import segdreport
from conftest import SAMPLE as RECORD, cli_help, run_cli

SAMPLE = str(Path(RECORD).resolve())  # the test runs in its own folder


@pytest.mark.parametrize("row", segdreport.writers(), ids=lambda row: row["name"])
def test_every_output_format_is_written_from_python_and_from_a_batch(row, tmp_path, monkeypatch):
    text = cli_help()
    assert row["option"] in text and row["batch_option"] in text
    if not row["available"]:
        pytest.skip(f"this build writes no {row['what']}")
    monkeypatch.chdir(tmp_path)
    target = "sample" if row["name"] == "report" else str(tmp_path / ("sample" + row["extension"]))
    assert segdreport.write(SAMPLE, **{row["name"]: target}) == 0
    written = sorted(p.name for p in tmp_path.iterdir() if p.is_file())
    expected = ["Sample.Txt"] if row["name"] == "report" else sorted(
        ["sample" + row["extension"]] + (["sample" + row["extension"] + row["sidecar"]] if row["sidecar"] else []))
    assert written == expected

    folder = tmp_path / "batch"
    folder.mkdir()
    records = [shutil.copy(SAMPLE, tmp_path / name) for name in ("a.segd", "b.segd")]
    # The sample's flagged traces make its rows warnings (exit status 3).
    assert run_cli(f"{row['batch_option']}={folder}", "--qc", "none", *map(str, records), check=False).returncode in (0, 3)
    for record in records:
        name = Path(record).name + row["extension"]
        assert (folder / name).stat().st_size > 0
        if row["sidecar"]:
            assert (folder / (name + row["sidecar"])).stat().st_size > 0


def test_an_unknown_output_format_is_refused_by_name():
    with pytest.raises(ValueError, match="no output format 'xlsx'"):
        segdreport.write(SAMPLE, xlsx="out.xlsx")
