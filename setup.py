"""Builds and installs the Python package segdreport (python/segdreport and its
extension over the scan core) for the interpreter that runs pip:

    /usr/bin/python3 -m pip install --no-build-isolation .

Debian's setuptools and pybind11 (python3-setuptools, python3-pybind11) do the
build; no package index is needed. The sources are the same as the CMake
build's: python/*.cpp, the scan core, the column padding and the selection
parser of the command line.
"""
import glob
import os
import re

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

HERE = os.path.dirname(os.path.abspath(__file__))


# The batch summary and line QC come from the command line's batch library.
HAS_BATCH = os.path.isdir(os.path.join(HERE, "app"))


def version():
    with open(os.path.join(HERE, "CMakeLists.txt"), encoding="utf-8") as cmake:
        return re.search(r"project\(segdreport VERSION ([0-9.]+)", cmake.read()).group(1)


def sources():
    portable = [p for folder in ("scan", "output", "app") for p in glob.glob(f"{folder}/**/*.cpp", recursive=True)
                if not p.endswith("_win.cpp")]
    module = [p for p in glob.glob("python/*.cpp") if HAS_BATCH or not p.endswith("batch.cpp")]
    return sorted(module + portable) + ["dialoglib/padout.cpp", "cli/options.cpp"]


os.makedirs(os.path.join(HERE, "build-python"), exist_ok=True)
ParallelCompile("SEGD_BUILD_JOBS", default=2).install()
setup(
    name="segdreport",
    version=version(),
    description="SEG-D field records as numpy arrays, pandas tables, text reports and plots",
    package_dir={"": "python"},
    packages=["segdreport"],
    ext_modules=[Pybind11Extension("segdreport._core", sources(), include_dirs=["."], cxx_std=20,
                                 define_macros=[("SEGD_PYTHON_BATCH", "1")] if HAS_BATCH else [])],
    cmdclass={"build_ext": build_ext},
    python_requires=">=3.9",
    # Away from CMake's build folder.
    options={"build": {"build_base": "build-python"}, "egg_info": {"egg_base": "build-python"}},
)
