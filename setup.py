"""Builds and installs the Python package segdreport (python/segdreport and its
extension over the scan core) for the interpreter that runs pip:

    /usr/bin/python3 -m pip wheel --no-build-isolation --no-deps .
    /usr/bin/python3 -m pip install --no-build-isolation .

Debian's setuptools and pybind11 (python3-setuptools, python3-pybind11) do the
build; no package index is needed. The sources are the same as the CMake
build's: python/*.cpp, the scan core (with the column padding), the data
writers' text rules and the command line (for `python -m segdreport`).
The build works in a folder of the system's temporary folder (kept, so a
second build reuses what the first compiled; SEGD_PYTHON_BUILD names another),
never in the source folder.
"""
import getpass
import glob
import hashlib
import os
import re
import tempfile

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

HERE = os.path.dirname(os.path.abspath(__file__))


# The batch summary and line QC come from the command line's batch library.
HAS_BATCH = os.path.isfile(os.path.join(HERE, "app", "summary.h"))


def version():
    with open(os.path.join(HERE, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.search(r"project\(segdreport VERSION ([0-9.]+)", cmake.read()).group(1)


def sources():
    folders = ("scan", "output", "app") if HAS_BATCH else ("scan", "output")
    portable = [p for folder in folders for p in glob.glob(f"{folder}/**/*.cpp", recursive=True)
                if not p.endswith("_win.cpp")]
    if HAS_BATCH:
        # The command line but its main(), which python/cli_main.cpp compiles under another name.
        command_line = [p for p in glob.glob("cli/*.cpp") if not p.endswith(("_win.cpp", "/main.cpp"))]
        module = glob.glob("python/*.cpp")
    else:
        command_line = ["cli/options.cpp"]
        module = [p for p in glob.glob("python/*.cpp") if not p.endswith(("batch.cpp", "cli_main.cpp"))]
    return sorted(module + portable + command_line)


def build_folder():
    """Outside the source folder: one per user and checkout, kept between builds."""
    if os.environ.get("SEGD_PYTHON_BUILD"):
        return os.environ["SEGD_PYTHON_BUILD"]
    checkout = hashlib.sha1(HERE.encode()).hexdigest()[:12]
    return os.path.join(tempfile.gettempdir(), f"segdreport-python-{getpass.getuser()}-{checkout}")


BUILD = build_folder()
os.makedirs(BUILD, exist_ok=True)
ParallelCompile("SEGD_BUILD_JOBS", default=2).install()
macros = [("SEGD_VERSION", f'"{version()}"')] + ([("SEGD_PYTHON_BATCH", "1")] if HAS_BATCH else [])
setup(
    name="segdreport",
    version=version(),
    description="SEG-D field records as numpy arrays, pandas tables, text reports and plots",
    package_dir={"": "python"},
    packages=["segdreport"],
    package_data={"segdreport": ["py.typed", "*.pyi"]},
    ext_modules=[Pybind11Extension("segdreport._core", sources(), include_dirs=["."], cxx_std=20, define_macros=macros)],
    cmdclass={"build_ext": build_ext},
    entry_points={"console_scripts": ["segdreport-py = segdreport.__main__:main"]} if HAS_BATCH else {},
    install_requires=["numpy"],
    extras_require={"pandas": ["pandas"], "plots": ["pandas", "matplotlib"]},
    python_requires=">=3.9",
    options={"build": {"build_base": BUILD}, "egg_info": {"egg_base": BUILD}},
)
