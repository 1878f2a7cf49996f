"""Every output format of the writer registry is reachable: its options are in --help (and so in the
man page, which help2man makes from it), Python writes it by name, and a batch writes it per record."""
import shutil
from pathlib import Path

import pytest

import segdreport
from conftest import RECORDS, SAMPLE as RECORD, cli_help, run_cli

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


@pytest.mark.parametrize("record", RECORDS, ids=lambda path: Path(path).name)
def test_the_samples_walk_feeding_the_trace_rows_gives_what_their_own_walk_gives(record, tmp_path):
    """--samples joins the CSV, JSON and summary to its walk; the bytes are those of the header walk."""
    for run in ("alone", "joined"):
        (tmp_path / run).mkdir()
        samples = ["--samples", str(tmp_path / run / "s.f32")] if run == "joined" else []
        run_cli("--csv", str(tmp_path / run / "t.csv"), "--json", str(tmp_path / run / "t.json"), *samples, record,
                check=False)
        batch = ["--samples-dir", str(tmp_path / run)] if run == "joined" else []
        run_cli("--summary", str(tmp_path / run / "summary.csv"), "--json-dir", str(tmp_path / run), "--qc", "none",
                *batch, record, str(tmp_path / run / "t.csv"), check=False)
    for name in ["t.csv", "t.json", "summary.csv", Path(record).name + ".json"]:
        alone, joined = (tmp_path / "alone" / name), (tmp_path / "joined" / name)
        assert joined.read_bytes() == alone.read_bytes().replace(b"/alone/", b"/joined/"), name
