"""Runs the README's runnable examples: each fenced ```sh or ```python block
that follows a line `<!-- runnable -->` runs in a folder of its own holding
the records the examples name (shot.segd, its shot.csv and shot.json, a line
folder line1/ with a copy line12/, extra.segd, a.segd, b.segd), with the built
segdreport first on PATH. A block that exits non-zero fails the run, which
names it by its line in the README.

    run_examples.py --readme README.md --segdreport build/cli/segdreport
        --sample build/sample.segd --public tests/data/public [--python EXE] [--only python|sh]
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

MARK = "<!-- runnable -->"


def examples(readme):
    """(line, language, code) of every marked block."""
    lines = Path(readme).read_text(encoding="utf-8").splitlines()
    found = []
    for i, line in enumerate(lines):
        if line.strip() != MARK:
            continue
        fence = next((j for j in range(i + 1, len(lines)) if lines[j].strip()), None)
        match = re.fullmatch(r"```(sh|python)", lines[fence].strip()) if fence is not None else None
        if not match:
            raise SystemExit(f"README line {i + 1}: {MARK} is not followed by a ```sh or ```python block")
        end = next(j for j in range(fence + 1, len(lines)) if lines[j].startswith("```"))
        found.append((fence + 1, match.group(1), "\n".join(lines[fence + 1:end]) + "\n"))
    return found


def fixture(folder, segdreport, sample, public):
    """The records the examples name."""
    shutil.copy(sample, folder / "shot.segd")
    for output in ("--csv", "--json"):
        subprocess.run([segdreport, "--quiet", output, str(folder / f"shot.{output[2:]}"), str(folder / "shot.segd")],
                       check=True)
    line = folder / "line1"
    line.mkdir()
    shutil.copy(sample, line / "shot_0001.segd")
    for record in sorted(Path(public).iterdir()):
        if record.suffix in (".segd", ".fcnt"):
            shutil.copy(record, line / record.name)
    shutil.copytree(line, folder / "line12")
    for name in ("extra.segd", "a.segd", "b.segd"):
        shutil.copy(sample, folder / name)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--readme", required=True)
    parser.add_argument("--segdreport", required=True)
    parser.add_argument("--sample", required=True)
    parser.add_argument("--public", required=True)
    parser.add_argument("--python", default=sys.executable)
    parser.add_argument("--only", choices=("python", "sh"))
    args = parser.parse_args()
    segdreport = str(Path(args.segdreport).resolve())
    env = dict(os.environ, PATH=f"{Path(segdreport).parent}{os.pathsep}{os.environ.get('PATH', '')}", MPLBACKEND="Agg")
    chosen = [e for e in examples(args.readme) if args.only in (None, e[1])]
    if not chosen:
        raise SystemExit(f"no runnable {args.only or ''} example in {args.readme}")
    failed = 0
    with tempfile.TemporaryDirectory() as scratch:
        base = Path(scratch) / "records"
        base.mkdir()
        fixture(base, segdreport, args.sample, args.public)
        for number, (line, language, code) in enumerate(chosen):
            folder = Path(scratch) / f"example{number}"
            shutil.copytree(base, folder)
            script = folder / ("example.py" if language == "python" else "example.sh")
            script.write_text(code, encoding="utf-8")
            command = [args.python, script.name] if language == "python" else ["bash", "-euo", "pipefail", script.name]
            result = subprocess.run(command, cwd=folder, env=env, capture_output=True, text=True)
            verdict = "ok" if result.returncode == 0 else f"FAILED (exit {result.returncode})"
            print(f"README line {line} ({language}): {verdict}")
            if result.returncode != 0:
                failed += 1
                print(result.stdout[-2000:], result.stderr[-3000:], sep="\n", file=sys.stderr)
    print(f"{len(chosen) - failed} of {len(chosen)} README examples ran")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
