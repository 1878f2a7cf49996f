"""One vocabulary for every make: the CSV and JSON of one record of each make (the SN388 sample, Sercel rev 1.0,
SmartSolo 2.1, Fairfield 1.6, a rev 3.0 record of the record writer) against golden files, stacked with pd.concat,
and every JSON output validated against the published schemas. SEGD_UPDATE_GOLDEN=1 rewrites the golden files."""
import io
import json
import os
import subprocess
from pathlib import Path

import jsonschema
import pandas as pd
import pytest

from conftest import ROOT, SAMPLE, SAMPLES_DIR, run_cli

GOLDEN = ROOT / "tests/golden/data"
SCHEMA = ROOT / "docs/schema"
MAKE_SEGD = os.environ.get("SEGD_MAKE_SEGD", str(ROOT / "build/tools/make_segd"))
UPDATE = os.environ.get("SEGD_UPDATE_GOLDEN") == "1"

# Every record has these columns, under these names, whatever its make.
STANDARD = ["trace", "file_number", "channel_set", "trace_number", "byte_offset", "past_end", "scan_type",
            "first_timing_word_ms", "extension_count", "sample_skew", "trace_edit", "trace_edit_label",
            "time_break_window_ms", "extended_channel_set", "extended_file_number", "receiver_line", "receiver_point",
            "receiver_point_index", "receiver_x", "receiver_y", "receiver_elevation", "receiver_latitude",
            "receiver_longitude", "unit_serial"]


@pytest.fixture(scope="module")
def records(tmp_path_factory):
    folder = tmp_path_factory.mktemp("makes")
    rev3 = folder / "rev30.segd"
    subprocess.run([MAKE_SEGD, "--rev", "3.0", "--traces", "6", "--samples", "50", str(rev3)], check=True,
                   capture_output=True)
    return {"sn388": SAMPLE, "sercel_rev10": str(SAMPLES_DIR / "su_sercel.segd"),
            "smartsolo_rev21": str(SAMPLES_DIR / "ph5_smartsolo_453005513.2.segd"),
            "fairfield_16": str(SAMPLES_DIR / "ph5_fairfield_3ch.fcnt"), "rev30": str(rev3)}


@pytest.fixture(scope="module")
def outputs(records, tmp_path_factory):
    folder = tmp_path_factory.mktemp("outputs")
    out = {}
    for name, path in records.items():
        csv, js = folder / f"{name}.csv", folder / f"{name}.json"
        run_cli(f"--csv={csv}", f"--json={js}", path)
        document = json.loads(js.read_text(encoding="utf-8"))
        document["path"] = Path(document["path"]).name
        out[name] = (csv.read_text(encoding="utf-8"), document)
    return out


def _golden(name, text):
    path = GOLDEN / name
    if UPDATE:
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text, encoding="utf-8")
    assert path.exists(), f"no golden file {path} (SEGD_UPDATE_GOLDEN=1 writes it)"
    return path.read_text(encoding="utf-8")


def test_outputs_match_their_golden_files(outputs):
    for name, (csv, document) in outputs.items():
        assert csv == _golden(f"{name}.csv", csv), name
        text = json.dumps(document, indent=1, ensure_ascii=False) + "\n"
        assert text == _golden(f"{name}.json", text), name


def test_every_make_stacks_under_one_vocabulary(outputs):
    frames = {name: pd.read_csv(io.StringIO(csv)) for name, (csv, _) in outputs.items()}
    for name, frame in frames.items():
        missing = [c for c in STANDARD if c not in frame.columns]
        assert not missing, f"{name} lacks {missing}"
    # A column with a value in every record has one dtype in all of them.
    for column in STANDARD:
        dtypes = {name: str(f[column].dtype) for name, f in frames.items() if f[column].notna().any()}
        assert len(set(dtypes.values())) <= 1, f"{column}: {dtypes}"
    stacked = pd.concat(frames.values(), keys=frames.keys(), names=["record", "row"])
    assert len(stacked) == sum(len(f) for f in frames.values())
    assert str(stacked["trace_edit"].dtype) == "int64" and stacked["trace_edit_label"].notna().all()
    assert str(stacked["receiver_x"].dtype) == "float64"
    # Coordinates in metres: the Fairfield receiver is at 469567.2 E, 5280707.8 N (stored times 10).
    fairfield = frames["fairfield_16"].iloc[0]
    assert (fairfield["receiver_x"], fairfield["receiver_y"]) == (469567.2, 5280707.8)


def test_record_facts_for_every_make(outputs):
    for name, (_, d) in outputs.items():
        assert d["schema_version"] == "2.0"
        assert isinstance(d["sample_interval_ms"], float) and d["sample_interval_ms"] > 0, name
        assert isinstance(d["record_length_ms"], float), name
        assert d["trace_count"] == len(d["traces"]["rows"]), name
        assert d["start_time_source"] in ("gps", "general_header"), name
        year = d["general_headers"]["general_header_1"]["year"]["value"]
        assert year is None or year > 1900, name
    assert outputs["smartsolo_rev21"][1]["start_time_utc"] == "2021-05-08T20:06:00.000000Z"
    assert outputs["smartsolo_rev21"][1]["start_time_source"] == "gps"
    assert outputs["fairfield_16"][1]["external_header"]["fields"]["receiver_point"]["value"] == 500


def test_json_outputs_validate_against_the_schemas(outputs, records, tmp_path):
    record_schema = json.loads((SCHEMA / "record.schema.json").read_text())
    jsonschema.Draft202012Validator.check_schema(record_schema)
    for name, (_, document) in outputs.items():
        jsonschema.validate(document, record_schema), name
    summary_schema = json.loads((SCHEMA / "summary.schema.json").read_text())
    summary = tmp_path / "summary.jsonl"
    run_cli("--summary", str(summary), "--summary-format", "json", *records.values(), check=False)
    lines = [json.loads(line) for line in summary.read_text().splitlines() if line.strip()]
    assert len(lines) == len(records)
    for line in lines:
        jsonschema.validate(line, summary_schema)
        assert list(line) == list(summary_schema["properties"]), "the schema lists the summary's columns in order"


def test_every_output_name_is_documented(outputs):
    documented = (ROOT / "docs/schema.md").read_text(encoding="utf-8")
    for name, (_, d) in outputs.items():
        names = set(d["traces"]["columns"]) | set(d["summary"])
        for block in list(d["general_headers"].values()) + d["channel_sets"] + [d["extended_header"]]:
            names |= set(block)
        names -= {"blocks", "bytes", "hex", "text"}  # every header's raw view, documented once in the README
        names -= {"trace", "file_number", "channel_set", "trace_number", "byte_offset", "past_end"}
        missing = sorted(n for n in names if f"`{n}`" not in documented)
        assert not missing, f"{name}: no documentation for {missing}"
