#!/usr/bin/env bash
# Export benchmark (not a test): a large 8058 record (TRACES x SAMPLES IEEE
# singles, 400 MB by default) written by make_segd, then, from the page
# cache, best of RUNS:
#   read floor   cat of the record to /dev/null
#   write floor  the SEG-Y's size in zeros to a new file beside it (dd, 1 MiB blocks)
#   SEG-Y        segdreport --segy (rev 1)
#   miniSEED     segdreport --mseed (FLOAT32, 4096-byte records)
#   joined       segdreport --csv --segy: one walk feeds both
#   apart        segdreport --csv, then --segy: two walks (as before the join)
# and the export's time against read floor + write floor, and its peak memory.
#   bench/export_bench.sh SEGDREPORT MAKE_SEGD [TRACES [SAMPLES [FOLDER [RUNS]]]]
set -eu
exe=$(realpath "$1")
make_segd=$(realpath "$2")
traces=${3:-10000}
samples=${4:-10000}
folder=${5:-$(mktemp -d)}
runs=${6:-3}
record=$folder/export_bench.segd
mkdir -p "$folder"
if [ ! -s "$record" ] || [ "$(cat "$folder/shape" 2>/dev/null)" != "$traces $samples" ]; then
  "$make_segd" --rev 2.1 --format 8058 --traces "$traces" --samples "$samples" --gather "$record"
  echo "$traces $samples" >"$folder/shape"
fi
cat "$record" >/dev/null  # into the page cache

best() {  # best LABEL COMMAND...: the best wall time of RUNS and its peak KiB; output removed before each run
  local label=$1 seconds=999999 kib=0 s k
  shift
  for _ in $(seq "$runs"); do
    rm -f "$folder"/out.*
    /usr/bin/time -f "%e %M" -o "$folder/time" "$@" >/dev/null 2>"$folder/err"
    read -r s k <"$folder/time"
    if awk -v a="$s" -v b="$seconds" 'BEGIN { exit !(a < b) }'; then seconds=$s kib=$k; fi
  done
  printf "%-12s %8.3f s  peak %6.1f MiB\n" "$label" "$seconds" "$(awk -v k="$kib" 'BEGIN { print k / 1024 }')"
  eval "t_$label=$seconds"
}

segy_bytes=$((3600 + traces * (240 + 4 * samples)))
best read cat "$record"
best write dd if=/dev/zero of="$folder/out.zero" bs=1M count=$(((segy_bytes + 1048575) / 1048576)) status=none
best segy "$exe" --quiet --segy "$folder/out.sgy" "$record"
best mseed "$exe" --quiet --mseed "$folder/out.mseed" --station '{seq}' "$record"
best joined "$exe" --quiet --csv "$folder/out.csv" --segy "$folder/out.sgy" "$record"
best apart sh -c '"$0" --quiet --csv "$1/out.csv" "$2" && "$0" --quiet --segy "$1/out.sgy" "$2"' "$exe" "$folder" "$record"
rm -f "$folder"/out.*
echo "record: $(stat -c %s "$record") bytes, $traces traces x $samples samples (8058)"
awk -v s="$t_segy" -v m="$t_mseed" -v r="$t_read" -v w="$t_write" \
  'BEGIN { printf "SEG-Y    %.2fx (read floor + write floor)\nminiSEED %.2fx (read floor + write floor)\n", s / (r + w), m / (r + w) }'
awk -v j="$t_joined" -v a="$t_apart" 'BEGIN { printf "--csv --segy in one walk: %.2fx the two walks\n", j / a }'
