#!/usr/bin/env bash
# Batch benchmark (not a test): a folder of RECORDS shot records of TRACES
# traces each (distinct file numbers, written by make_line with the samples
# sought over), summarised with --summary only: with --jobs 1, with --jobs 2,
# and by a shell loop that starts one segdreport per record. Prints records
# and traces per second, the speed-ups and each run's peak memory.
#   bench/batch_bench.sh SEGDREPORT MAKE_LINE [RECORDS [TRACES [FOLDER]]]
set -eu
exe=$(realpath "$1")
make_line=$(realpath "$2")
records=${3:-2000}
traces=${4:-1000}
folder=${5:-$(mktemp -d)}
mkdir -p "$folder/line"
if [ "$(ls "$folder/line" | wc -l)" != "$records" ]; then
  rm -f "$folder"/line/*
  "$make_line" "$folder/line" 1 "$records" "$traces" 1000 sparse
fi
all=$((records * traces))

run() {  # run LABEL COMMAND...: wall seconds and peak KiB of the command
  local label=$1
  shift
  /usr/bin/time -f "%e %M %U %S" -o "$folder/time" "$@" >/dev/null 2>"$folder/err" || true
  read -r seconds kib user system < <(tail -n 1 "$folder/time")
  awk -v l="$label" -v s="$seconds" -v k="$kib" -v r="$records" -v t="$all" -v u="$user" -v y="$system" \
    'BEGIN { cpu = u + y;  # processor time: user + system
             printf "%-12s %8.2f s wall %8.2f s cpu %8.1f records/s %10.0f traces/s  peak %5.1f MiB\n", l, s, cpu, r / s, t / s, k / 1024 }'
  echo "$seconds" >"$folder/last"
}

"$exe" --quiet --jobs 2 --summary /dev/null "$folder/line" 2>/dev/null || true  # warm the page cache
echo "$records records of $traces traces ($(nproc) cores, load average $(cut -d' ' -f1 /proc/loadavg))"
run "--jobs 1" "$exe" --quiet --jobs 1 --summary "$folder/s1.csv" "$folder/line"
one=$(cat "$folder/last")
run "--jobs 2" "$exe" --quiet --jobs 2 --summary "$folder/s2.csv" "$folder/line"
two=$(cat "$folder/last")
run "shell loop" bash -c 'for f in "$1"/line/*.segd; do "$2" --quiet --summary - "$f"; done' _ "$folder" "$exe"
loop=$(cat "$folder/last")
cmp "$folder/s1.csv" "$folder/s2.csv"
awk -v a="$one" -v b="$two" -v c="$loop" 'BEGIN { printf "--jobs 2 / --jobs 1: %.2fx   --jobs 2 / shell loop: %.2fx\n", a / b, c / b }'

# Hostile records: peak memory of a 6 MB record naming 196,605 channel sets
# (tools/many_channel_sets.py), which must stay under 64 MiB.
make_segd=$(dirname "$make_line")/make_segd
if [ -x "$make_segd" ]; then
  /usr/bin/python3 "$(dirname "$0")/../tools/many_channel_sets.py" "$make_segd" "$folder/many_sets.segd"
  for mode in --json --summary; do
    /usr/bin/time -f "%e %M" -o "$folder/time" "$exe" --quiet "$mode" - "$folder/many_sets.segd" >/dev/null 2>&1 || true
    read -r seconds kib <"$folder/time"
    printf 'hostile record, %-9s %6.2f s  peak %5.1f MiB\n' "$mode" "$seconds" "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')"
    [ "$kib" -lt 65536 ] || { echo "FAIL: over 64 MiB"; exit 1; }
  done
fi
