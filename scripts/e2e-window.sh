#!/usr/bin/env bash
# End-to-end check of segdreport.exe as a person uses it: the program is
# started under Wine in a desktop of its own, and xdotool clicks and types
# into it through X. It ticks fields, presses "All", unticks two boxes, types
# the output name, presses "Open", types the record's path into the file
# dialog and presses Enter, then "End". Afterwards the report must be the
# same bytes as the Linux command line writes for the same record, name and
# selection, and dorvik.def must hold what "End" stores. A second start must
# show the stored ticks and name, and Alt+F4 must close it without storing.
# A screenshot of the window after the run is left in the Windows build
# folder.
#
#   scripts/e2e-window.sh [--win-build DIR] [--native-build DIR] [--record FILE]
#
# --win-build     the mingw build folder (default build-win); segdreport.exe
#                 and locate_controls.exe are built there when missing
# --native-build  the Linux build folder with cli/segdreport (default build);
#                 built there when missing
# --record        the SN388 record to scan (default: the native build's
#                 sample.segd, made by make_sample)
#
# Needs: wine, wine32, xvfb, xdotool, imagemagick. Uses the display in DISPLAY
# when it works, otherwise starts Xvfb on a free display. The Wine prefix is
# the Windows build folder's wineprefix.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
win_build=$root/build-win
native_build=$root/build
record=
while [[ $# -gt 0 ]]; do
  case $1 in
    --win-build) win_build=$(realpath -m "$2"); shift 2 ;;
    --native-build) native_build=$(realpath -m "$2"); shift 2 ;;
    --record) record=$(realpath "$2"); shift 2 ;;
    *) echo "e2e-window: unknown argument $1" >&2; exit 2 ;;
  esac
done

fail() {
  echo "e2e-window: FAIL: $*" >&2
  exit 1
}
step() { echo "e2e-window: $*"; }

# --- the programs -----------------------------------------------------------
if [[ ! -f $win_build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$win_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
fi
cmake --build "$win_build" -j2 --target segdreport locate_controls >/dev/null
exe=$win_build/shell/segdreport.exe
locator=$win_build/tests/win_shell/locate_controls.exe
[[ -f $exe && -f $locator ]] || fail "segdreport.exe or locate_controls.exe not built in $win_build"

if [[ ! -x $native_build/cli/segdreport || ( -z $record && ! -f $native_build/sample.segd ) ]]; then
  if [[ ! -f $native_build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$native_build" -DSEGD_BUILD_TESTS=OFF >/dev/null
  fi
  cmake --build "$native_build" -j2 --target segdreport sample_record >/dev/null
fi
cli=$native_build/cli/segdreport
[[ -x $cli ]] || fail "no command line program at $cli"
[[ -n $record ]] || record=$native_build/sample.segd
[[ -f $record ]] || fail "no record at $record"

# --- display and Wine -------------------------------------------------------
export WINEPREFIX=$win_build/wineprefix
source "$root/scripts/wine-env.sh"
cleanup() {
  # Only the Wine processes of this prefix, all started here.
  wineserver -k 2>/dev/null || true
  stop_display
}
trap cleanup EXIT
start_display 57 || fail "no display could be started"
prepare_prefix

# --- the folders ------------------------------------------------------------
work=$win_build/e2e
rm -rf "$work"
program_folder=$work/program      # current at start-up: dorvik.def lives here
record_folder="$work/data/rec folder"
mkdir -p "$program_folder" "$record_folder" "$work/cli"
cp "$record" "$record_folder/shot 4217.segd"
record_win=$(winepath -w "$record_folder/shot 4217.segd")
record_folder_win=$(winepath -w "$record_folder")
output_name="e2e run.txt"
report_name="E2E Run.Txt"
desktop=segdreport
desktop_size=800x700

# Runs a Windows program inside the program's desktop (windows of one
# desktop cannot see those of another).
in_desktop() { wine explorer "/desktop=$desktop,$desktop_size" "$@"; }

# Each control: "ID X Y CHECK TEXT", X and Y its centre in the desktop's
# pixels, CHECK its check state.
locate() {
  local caption=$1
  shift
  local out=$work/located.txt
  rm -f "$out"
  timeout 60 wine explorer "/desktop=$desktop,$desktop_size" "$(winepath -w "$locator")" "$(winepath -w "$out")" \
    "$caption" "$@" >/dev/null 2>&1 || true
  for _ in $(seq 300); do
    [[ -s $out ]] && break
    sleep 0.1
  done
  [[ -s $out ]] || fail "window '$caption' or one of its controls $* not found"
  cat "$out"
}

declare -A at_x at_y checked text_of
locate_main() {
  while read -r id x y check text; do
    at_x[$id]=$x
    at_y[$id]=$y
    checked[$id]=$check
    text_of[$id]=$text
  done < <(locate Kelvane "$@")
}

# Starts the program in its own Wine desktop and finds that desktop's X
# window, which the clicks go to.
desktop_window=
start_program() {
  (cd "$program_folder" && in_desktop "$(winepath -w "$exe")" >/dev/null 2>&1) &
  wine_pid=$!
  desktop_window=
  for _ in $(seq 100); do
    desktop_window=$(xdotool search --name "^$desktop - Wine desktop\$" 2>/dev/null | head -n1 || true)
    [[ -n $desktop_window ]] && return 0
    sleep 0.2
  done
  fail "Wine's desktop window did not appear"
}

# The program has ended, and with it Wine's desktop and the prefix's
# processes, so the next start finds nothing of this one.
wait_for_end() {
  for _ in $(seq 300); do
    if ! kill -0 "$wine_pid" 2>/dev/null; then
      timeout 30 wineserver -w || true
      return 0
    fi
    sleep 0.1
  done
  return 1
}

click() {
  local id=$1
  xdotool mousemove --window "$desktop_window" "${at_x[$id]}" "${at_y[$id]}" click 1
  sleep 0.3
}

# --- start it as a person would ---------------------------------------------
step "starting segdreport.exe in $program_folder"
start_program

IDC_OPEN=1004 IDC_END=1005 IDC_SU_NUMBER=1008 IDC_LINE=1009 IDC_GAIN_CODE=1016
IDC_CHANNEL_SET_HEADERS=1039 IDC_EXTERNAL_HEADER=1041 IDC_OUTPUT_LABEL=1053 IDC_OUTPUT_NAME=1054 IDC_ALL=1056
locate_main $IDC_OPEN $IDC_END $IDC_SU_NUMBER $IDC_LINE $IDC_GAIN_CODE $IDC_CHANNEL_SET_HEADERS \
  $IDC_EXTERNAL_HEADER $IDC_OUTPUT_NAME $IDC_ALL
[[ -f $program_folder/dorvik.def && ! -s $program_folder/dorvik.def ]] ||
  fail "the first start did not leave an empty dorvik.def in the program folder"

step "ticking fields, All, unticking Gain Code and External Header, typing the name"
click $IDC_SU_NUMBER
click $IDC_LINE
click $IDC_CHANNEL_SET_HEADERS
click $IDC_ALL
click $IDC_GAIN_CODE
click $IDC_EXTERNAL_HEADER
click $IDC_OUTPUT_NAME
xdotool type --delay 30 "$output_name"

step "Open, typing the record's path into the file dialog, Enter"
click $IDC_OPEN
locate "Select File To Open" 0 >/dev/null
sleep 0.5
xdotool type --delay 30 "$record_win"
xdotool key Return

report=$record_folder/$report_name
for _ in $(seq 300); do
  [[ -s $report ]] && break
  sleep 0.1
done
[[ -s $report ]] || fail "no report '$report_name' in the record's folder"
# The run ends with the last trace line; wait until the file stops growing.
size=-1
while [[ $size != $(stat -c %s "$report") ]]; do
  size=$(stat -c %s "$report")
  sleep 0.5
done
[[ ! -e $program_folder/$report_name ]] || fail "the report was written into the program folder"

sleep 0.5
screenshot=$win_build/e2e-window.png
import -window "$desktop_window" "$screenshot"
step "screenshot: $screenshot"

step "End"
click $IDC_END
wait_for_end || fail "the program did not end after End"

# --- what it left -----------------------------------------------------------
# The command line on the same record, name and selection. The report's
# first line quotes the record's path as the program was given it, so the
# command line is handed the very same text: a file named like the Windows
# path, in its own folder.
selection=0-7,9-32
(
  cd "$work/cli"
  ln -sf "$record_folder/shot 4217.segd" "$record_win"
  "$cli" --quiet --output "$output_name" --select "$selection" --folder "$work/cli" "$record_win"
) || fail "the command line failed on the record"
cmp "$report" "$work/cli/$report_name" || fail "the window's report differs from the command line's"
step "report: $(wc -l <"$report") lines, the same bytes as the command line's"

defaults=$program_folder/dorvik.def
[[ $(stat -c %s "$defaults") == 2192 ]] || fail "dorvik.def is $(stat -c %s "$defaults") bytes, not 2192"
expected_entries=
for k in $(seq 0 35); do
  if ((k <= 33 && k != 8 && k != 33)); then expected_entries+="1 "; else expected_entries+="0 "; fi
done
entries=$(od -An -v -t d4 -N 144 "$defaults" | tr -s ' \n' ' ' | sed 's/^ //')
[[ $entries == "$expected_entries" ]] || fail "dorvik.def entries: $entries"
head -c 1168 "$defaults" | tail -c 1024 | cmp -s - <(printf '%-1024s' "$record_folder_win") ||
  fail "dorvik.def folder field is not '$record_folder_win' padded with blanks"
tail -c 1024 "$defaults" | cmp -s - <(printf '%-1024s' "E2E Run") ||
  fail "dorvik.def name field is not 'E2E Run' padded with blanks"
step "dorvik.def: 2192 bytes, entries $selection, folder '$record_folder_win', name 'E2E Run'"

# --- the next start reads them back; Alt+F4 closes without storing ----------
step "starting again"
start_program
boxes=$(seq 1008 1042)
locate_main $boxes $IDC_OUTPUT_NAME $IDC_OUTPUT_LABEL
for box in $boxes; do
  k=$((box - 1008))
  want=$(echo "$expected_entries" | cut -d' ' -f$((k + 1)))
  [[ ${checked[$box]} == "$want" ]] || fail "after the restart box $box shows ${checked[$box]}, not $want"
done
[[ ${text_of[$IDC_OUTPUT_NAME]} == "E2E Run" ]] ||
  fail "after the restart the name box shows '${text_of[$IDC_OUTPUT_NAME]}'"
step "the boxes and the name box show what End stored"

cp "$defaults" "$work/dorvik.def.stored"
click $IDC_SU_NUMBER
locate_main $IDC_SU_NUMBER >/dev/null
[[ ${checked[$IDC_SU_NUMBER]} == 0 ]] || fail "a click on SU Number did not untick it"
click $IDC_OUTPUT_LABEL  # a harmless spot: the window is active, the key goes to it
xdotool key alt+F4
wait_for_end || fail "Alt+F4 did not close the window"
cmp -s "$defaults" "$work/dorvik.def.stored" || fail "Alt+F4 changed dorvik.def"
step "Alt+F4 closed the window and stored nothing"
step "PASS"
