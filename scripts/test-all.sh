#!/usr/bin/env bash
# Installs what the tests need (Debian, as root), builds the native and the
# Windows builds and runs every test: native tests plain and under ASan+UBSan,
# the Windows program and DLL under 32-bit Wine, the window driven under Xvfb,
# and the fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive

if [ "${SEGD_SKIP_INSTALL:-0}" != 1 ]; then
  dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev nlohmann-json3-dev python3 parallel \
    python3-dev pybind11-dev python3-pybind11 python3-numpy python3-pandas python3-matplotlib python3-pytest \
    python3-setuptools python3-pip python3-xarray python3-dask python3-distributed \
    g++-mingw-w64-i686 mingw-w64-i686-dev wine wine32:i386 xvfb xdotool imagemagick >/dev/null
fi

jobs=2
echo "== native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPython_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSEGD_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== Windows build and tests under Wine"
bash scripts/windows-build-and-test.sh

if [ -f scripts/e2e-window.sh ]; then
  echo "== the window driven as a user drives it"
  bash scripts/e2e-window.sh --win-build build-win --native-build build
fi

if [ -f scripts/fuzz.sh ]; then
  echo "== fuzz targets"
  bash scripts/fuzz.sh
fi
echo "== all tests passed"
