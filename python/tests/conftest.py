"""Shared fixtures: the command line, the records, and written copies of the sample record.
CTest sets the environment (python/CMakeLists.txt); the defaults fit a build in build/."""
import os
import shutil
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
CLI = os.environ.get("SEGD_CLI", str(ROOT / "build/cli/segdreport"))
SAMPLE = os.environ.get("SEGD_SAMPLE", str(ROOT / "build/sample.segd"))
SAMPLES_DIR = Path(os.environ.get("SEGD_SAMPLES_DIR", str(ROOT / "tests/data/public")))
# The sample record and the public records of other makes and revisions.
RECORDS = [SAMPLE] + sorted(str(p) for p in SAMPLES_DIR.glob("*") if p.suffix in (".segd", ".fcnt"))


def cli_help():
    return subprocess.run([CLI, "--help"], capture_output=True, text=True).stdout


def run_cli(*args, check=True):
    result = subprocess.run([CLI, "--quiet", *args], capture_output=True)
    if check and result.returncode != 0:
        raise AssertionError(f"segdreport {' '.join(args)} exited {result.returncode}: {result.stderr!r}")
    return result


def with_file_number(source, target, number):
    """A copy of an SN388 record whose general header block 1 bytes 1-2 hold another file number (4 BCD digits)."""
    data = bytearray(Path(source).read_bytes())
    digits = f"{number:04d}"
    data[0] = int(digits[0]) << 4 | int(digits[1])
    data[1] = int(digits[2]) << 4 | int(digits[3])
    Path(target).write_bytes(bytes(data))
    return str(target)


@pytest.fixture(scope="session")
def big_record(tmp_path_factory):
    """The benchmark's record: 99,999 traces of 1,000 samples (a sparse file), for walks long enough to stop."""
    writer = os.environ.get("SEGD_BENCH_RECORD") or shutil.which("segd_bench_record")
    assert writer, "SEGD_BENCH_RECORD names the benchmark's record writer"
    path = tmp_path_factory.mktemp("big") / "bench.segd"
    subprocess.run([writer, str(path), "99999", "1000", "2", "sparse"], check=True, capture_output=True)
    return str(path)
