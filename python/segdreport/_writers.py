"""segdreport.writers() and segdreport.write(): the output formats of the writer registry, the same
table the command line reads, and one run of the command line that writes any of them."""
import os
from typing import Any, Union

from . import _core


def writers() -> list[dict[str, Any]]:
    """The output formats: name, option (one record), batch_option (one file per record in a
    folder), extension, sidecar, needs ("headers", "trace rows" or "samples"), available."""
    return _core.writers()


def write(path: Union[str, "os.PathLike[str]"], **outputs: Union[str, "os.PathLike[str]"]) -> int:
    """Writes the record's outputs named by registry name in one run of the command line, e.g.
    write("shot.segd", csv="shot.csv", json="shot.json", segy="shot.sgy"); `report` is the
    report's name (as --output). Returns the command line's exit status (0 written, 3 the record
    is cut short, 1 an output not written)."""
    rows = {row["name"]: row for row in writers()}
    args = ["--quiet"]
    for name, target in outputs.items():
        row = rows.get(name)
        if row is None or not row["option"]:
            raise ValueError(f"no output format {name!r} (known: {', '.join(sorted(rows))})")
        if not row["available"]:
            raise ValueError(f"this build writes no {row['what']}")
        args.append(f"{row['option']}={os.fspath(target)}")
    if not hasattr(_core, "run_command_line"):
        raise RuntimeError("this build of the Python module holds no command line")
    return _core.run_command_line(args + ["--", os.fspath(path)])
