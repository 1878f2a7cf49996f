"""mypy over the Python package and the README's runnable Python examples.

    check_types.py --mypy MYPY --package DIR --readme README.md --config pyproject.toml
"""
import argparse
import subprocess
import sys
import tempfile
from pathlib import Path

from run_examples import examples


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    for option in ("--mypy", "--package", "--readme", "--config"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as scratch:
        files = []
        for line, language, code in examples(args.readme):
            if language == "python":
                files.append(Path(scratch) / f"readme_line_{line}.py")
                files[-1].write_text(code, encoding="utf-8")
        command = [args.mypy, "--config-file", args.config, "--cache-dir", str(Path(scratch) / "cache"),
                   args.package, *map(str, files)]
        return subprocess.run(command).returncode


if __name__ == "__main__":
    sys.exit(main())
