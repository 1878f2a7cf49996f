"""`python -m segdreport ARGS...`: the segdreport command line (the same options, outputs and exit
statuses as the program, run inside the module)."""
import sys

from . import _core


def main() -> int:
    """Runs the command line with sys.argv's arguments; returns its exit status."""
    if not hasattr(_core, "run_command_line"):
        print("segdreport: this build of the Python module holds no command line", file=sys.stderr)
        return 1
    sys.stdout.flush()
    sys.stderr.flush()
    return _core.run_command_line(sys.argv[1:])


if __name__ == "__main__":
    sys.exit(main())
