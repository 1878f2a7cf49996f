# Shared by the Windows test scripts (sourced, not run): Wine's environment,
# a display for the windows under test, and the Wine prefix.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="

xvfb_pid=

display_works() {
  [[ -n ${DISPLAY:-} ]] || return 1
  local n=${DISPLAY#*:}
  n=${n%%.*}
  [[ -S /tmp/.X11-unix/X$n ]]
}

# Keeps DISPLAY when it works; otherwise starts Xvfb on the first free
# display number from $1 on. Fails when none could be started.
start_display() {
  display_works && return 0
  local n
  for n in $(seq "${1:-90}" $(("${1:-90}" + 60))); do
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
      return 0
    fi
    stop_display
  done
  return 1
}

stop_display() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  fi
}

# Makes the prefix in WINEPREFIX once and waits until its processes are idle.
prepare_prefix() {
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # Without a window manager Wine waits 2 s for every window that closes
    # unless its windows are unmanaged.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  fi
  wineserver -w
}
