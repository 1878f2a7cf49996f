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
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="

# A display for the dialogs the tests open and answer.
xvfb_pid=
stop_xvfb() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap stop_xvfb EXIT

display_works() {
  [[ -n ${DISPLAY:-} ]] || return 1
  local n=${DISPLAY#*:}
  n=${n%%.*}
  [[ -S /tmp/.X11-unix/X$n ]]
}

if ! display_works; then
  for n in $(seq 90 140); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do
      [[ -S /tmp/.X11-unix/X$n ]] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if [[ -S /tmp/.X11-unix/X$n ]]; then
      export DISPLAY=":$n"
      break
    fi
    stop_xvfb
    xvfb_pid=
  done
  [[ -n $xvfb_pid ]] || { echo "windows-build-and-test: no display could be started" >&2; exit 1; }
fi

# The prefix is made once and kept with the build.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i
  # Without a window manager Wine waits 2 s for every window that closes
  # unless its windows are unmanaged.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
fi
wineserver -w

status=0
ctest --test-dir "$build" --output-on-failure "$@" || status=$?

# Let the Wine processes of this prefix end before the display goes away.
wineserver -w
exit "$status"
