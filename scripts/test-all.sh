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
  # scripts/packages-build.txt is what the default build needs (the README's
  # first command installs it), scripts/packages-test.txt the rest.
  apt-get install -y -qq $(cat scripts/packages-build.txt scripts/packages-test.txt) >/dev/null
fi

echo "== the project reads nothing outside itself"
# A path to a folder beside the clone works only on the machine that has it.
if git grep -nE '\.\.[/]shared|segd[_]samples'; then
  echo "tracked files above name a folder outside the project" >&2
  exit 1
fi

# The newcomer check's minimal Debian (mostly downloads) is fetched meanwhile.
base_log=$(mktemp)
bash scripts/newcomer-check.sh --base-only >"$base_log" 2>&1 &
base_job=$!

jobs=2
echo "== native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPython_EXECUTABLE=/usr/bin/python3 >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== installed as a user installs it: the Debian package and the Python wheel"
bash scripts/install-check.sh build

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
echo "== the README's first command on a newcomer's minimal Debian"
wait "$base_job" || { cat "$base_log" >&2; exit 1; }
bash scripts/newcomer-check.sh

echo "== all tests passed"
