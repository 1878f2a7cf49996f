#!/usr/bin/env bash
# The two install routes as a user takes them (CI, as root, after the native
# build): the Debian package of the build (cpack), installed with dpkg, the
# installed program run and the package removed again; and the Python wheel
# built with Debian's pip, with nothing left in the source folder, installed
# into a virtual environment that sees Debian's packages, and used from
# another folder (the README's Python examples, python -m segdreport, mypy).
#   scripts/install-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scratch=$(mktemp -d)
installed=""
cleanup() {
  [ -z "$installed" ] || dpkg -r segdreport >/dev/null 2>&1 || true
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "install-check: FAILED: $*" >&2; exit 1; }
sample=$(realpath "$build/sample.segd")

echo "-- the Debian package"
dpkg -s segdreport >/dev/null 2>&1 && fail "a segdreport package is installed already"
rm -f "$build"/segdreport_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/segdreport_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb"): Depends: $depends"
for needed in libc6 libstdc++6; do
  grep -q "$needed" <<<"$depends" || fail "the package does not depend on $needed"
done
module=$(dpkg-deb -c "$deb" | grep "/usr/lib/python3/dist-packages/segdreport/_core" || true)
if [ -n "$module" ]; then
  grep -q python3-numpy <<<"$depends" || fail "the package holds the Python module but does not depend on python3-numpy"
fi
dpkg -i "$deb" >/dev/null
installed=yes
/usr/bin/segdreport --version
/usr/bin/segdreport --quiet --output - --select all "$sample" | grep '^Recorder File  : ' >/dev/null \
  || fail "the installed segdreport wrote no report of the sample"
man -w segdreport >/dev/null 2>&1 || [ ! -x /usr/bin/man ] || fail "man does not find the installed page"
[ -f /usr/share/bash-completion/completions/segdreport ] || fail "no completion installed"
if [ -n "$module" ]; then
  (cd / && /usr/bin/python3 -c 'import sys, segdreport; assert segdreport.open(sys.argv[1]).traces.size' "$sample") \
    || fail "Debian's python3 does not import the installed package"
fi
dpkg -r segdreport >/dev/null
installed=""
[ ! -e /usr/bin/segdreport ] || fail "dpkg -r left /usr/bin/segdreport"

echo "-- the Python wheel"
touch "$scratch/stamp"
SEGD_PYTHON_BUILD=${SEGD_PYTHON_BUILD:-$scratch/wheel-build} \
  /usr/bin/python3 -m pip wheel --quiet --no-build-isolation --no-deps -w "$scratch/dist" .
# Whatever the build wrote or touched in the source folder (CMake's build
# folder only where setuptools would write its own there).
left=$(find . \( -path ./.git -o -path "./${build#./}" \) -prune -o -newer "$scratch/stamp" -print
       find "$build" -maxdepth 1 \( -name 'lib.*' -o -name 'temp.*' -o -name 'bdist.*' \) -newer "$scratch/stamp" -print)
[ -z "$left" ] || fail "the wheel build left files in the source folder: $left"
wheel=$(ls "$scratch"/dist/segdreport-*.whl)
echo "$(basename "$wheel")"
/usr/bin/python3 -m venv --system-site-packages "$scratch/venv"
"$scratch/venv/bin/python" -m pip install --quiet --no-index --no-deps "$wheel"
mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere"
"$scratch/venv/bin/python" -m segdreport --version
"$scratch/venv/bin/segdreport-py" --quiet --output - --select all "$sample" | grep '^Recorder File  : ' >/dev/null \
  || fail "segdreport-py wrote no report of the sample"
package=$("$scratch/venv/bin/python" -c 'import os, segdreport; print(os.path.dirname(segdreport.__file__))')
case $package in "$scratch/venv/"*) ;; *) fail "the venv imports segdreport from $package" ;; esac
cd - >/dev/null
"$scratch/venv/bin/python" tests/readme/run_examples.py --readme README.md --segdreport "$build/cli/segdreport" \
  --sample "$sample" --public tests/data/public --python "$scratch/venv/bin/python" --only python
MYPYPATH=$(dirname "$package") /usr/bin/python3 tests/readme/check_types.py --mypy mypy --package "$package" \
  --readme README.md --config pyproject.toml
echo "install-check: the .deb and the wheel install and work"
