#!/usr/bin/env bash
# Builds the 32-bit Windows tree with mingw-w64 and runs its CTest tests
# under Wine: Quenlib.dll with its test callers, and the Windows program.
#
#   scripts/windows-build-and-test.sh [extra ctest arguments]
#
# Needs (Debian, as root): g++-mingw-w64-i686 mingw-w64-i686-dev wine wine32:i386
# xvfb googletest. The Wine prefix lives in the build folder; a display is
# taken from DISPLAY when it works, otherwise an Xvfb is started on a free one.
# Environment: SEGD_WIN_BUILD (build folder, default build-win), SEGD_JOBS (2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${SEGD_WIN_BUILD:-$root/build-win}
jobs=${SEGD_JOBS:-2}

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
cmake --build "$build" -j"$jobs"

export WINEPREFIX="$build/wineprefix"
source "$root/scripts/wine-env.sh"
trap stop_display EXIT
start_display 90 || { echo "windows-build-and-test: no display could be started" >&2; exit 1; }
prepare_prefix

status=0
ctest --test-dir "$build" --output-on-failure "$@" || status=$?

# Let the Wine processes of this prefix end before the display goes away.
wineserver -w
exit "$status"
