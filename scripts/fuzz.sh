#!/usr/bin/env bash
# Fuzzes the scanner for a bounded time. Builds the fuzz programs with clang
# (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer on every source) in
# their own build folder, replays the regression inputs of tests/regressions,
# then runs each target from its seed corpus (written by the record writer)
# and the corpus kept from earlier runs. Fails on any crash, leak, sanitizer
# report, time-out or broken rule; prints executions, corpus size and
# coverage for each target.
#
#   scripts/fuzz.sh                      about two minutes in all
#   SEGD_FUZZ_SECONDS=600 scripts/fuzz.sh  longer
#   SEGD_FUZZ_BUILD=dir                  another build folder (default build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${SEGD_FUZZ_BUILD:-build-fuzz}
total=${SEGD_FUZZ_SECONDS:-120}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

echo "-- building the fuzz targets in $build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSEGD_FUZZ=ON -DSEGD_BUILD_TESTS=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" -j2 --target fuzz_all >/dev/null

rm -rf "$build/seeds"
"$build/fuzz/make_corpus" "$build/seeds"
mkdir -p "$build/artifacts" "$build/logs"

# target  share of the time (percent)  longest input
targets=(
  "decode_run 20 4096"
  "header_decoders 15 1100"
  "trace_walk 15 1024"
  "conversions 10 64"
  "generic_record 10 4096"
  "writers 10 2048"
  "summary_reader 5 4096"
  "samples 10 4096"
  "export 5 4096"
)

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
summary=""
for entry in "${targets[@]}"; do
  read -r name share maxlen <<<"$entry"
  program="$build/fuzz/fuzz_$name"
  corpus="$build/corpus/$name"
  log="$build/logs/$name.log"
  mkdir -p "$corpus"

  regressions=()
  if [ -d "tests/regressions/$name" ]; then
    while IFS= read -r -d '' f; do regressions+=("$f"); done \
      < <(find "tests/regressions/$name" -type f ! -name '*.md' -print0)
  fi
  if [ ${#regressions[@]} -gt 0 ]; then
    echo "-- $name: replaying ${#regressions[@]} regression inputs"
    if ! "$program" "${regressions[@]}" >"$log.replay" 2>&1; then
      tail -n 30 "$log.replay"
      echo "FAIL: fuzz_$name breaks on a regression input (log: $log.replay)"
      failed=1
      continue
    fi
  fi

  seconds=$(( total * share / 100 ))
  [ "$seconds" -ge 1 ] || seconds=1
  echo "-- $name: fuzzing for ${seconds}s"
  status=0
  "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$maxlen" \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" "$corpus" "$build/seeds/$name" \
    >"$log" 2>&1 || status=$?
  # Keep only the inputs that add coverage, so that later runs start quickly.
  if [ "$status" -eq 0 ] && mkdir -p "$corpus.merged" &&
    "$program" -merge=1 -timeout=10 -rss_limit_mb=2048 -max_len="$maxlen" "$corpus.merged" "$corpus" >"$log.merge" 2>&1; then
    rm -rf "$corpus" && mv "$corpus.merged" "$corpus"
  else
    rm -rf "$corpus.merged"
  fi
  done_line=$(grep -E " cov: [0-9]+ ft: [0-9]+ corp: " "$log" | tail -n 1 || true)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  coverage=$(sed -n 's/.* cov: \([0-9]*\) ft: \([0-9]*\).*/\1 edges, \2 features/p' <<<"$done_line")
  corpus_size=$(sed -n 's/.* corp: \([0-9]*\/[0-9a-zA-Z]*\).*/\1/p' <<<"$done_line")
  kept=$(find "$corpus" -type f | wc -l)
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|fuzz_|Test unit written|==[0-9]+==' "$log" | head -n 20 || true
    echo "FAIL: fuzz_$name stopped with status $status (log: $log)."
    echo "      Keep the input under tests/regressions/$name/, named after what broke."
    failed=1
  fi
  summary+=$(printf '%-16s %12s executions  corpus %-12s (%s files kept)  coverage %s' \
    "$name" "${executions:-?}" "${corpus_size:-?}" "$kept" "${coverage:-?}")$'\n'
done

# Coverage of the scanner's own code (scan/, the column padding and the data writers) by each
# target's corpus, from libFuzzer's per-function edge counts; "all" takes,
# function by function, the best of the targets.
: >"$build/logs/scanner-coverage"
for entry in "${targets[@]}"; do
  read -r name _ _ <<<"$entry"
  "$build/fuzz/fuzz_$name" -runs=0 -print_coverage=1 "$build/corpus/$name" 2>&1 |
    sed -n 's/^\(UN\)\{0,1\}COVERED_FUNC: hits: [0-9]* edges: \([0-9]*\)\/\([0-9]*\) \(.*\)$/\2 \3 \4/p' |
    grep -E '/(scan|dialoglib|output)/([a-z0-9_]+/)*[a-z_0-9]+\.(cpp|h):' | sed "s/^/$name /" >>"$build/logs/scanner-coverage" || true
done
scanner=$(awk -v order="decode_run header_decoders trace_walk conversions generic_record writers" '
  { covered[$1] += $2; total[$1] += $3; key = substr($0, index($0, $4));
    if (!(key in best) || $2 > best[key]) best[key] = $2; size[key] = $3 }
  END {
    n = split(order, names, " ")
    for (i = 1; i <= n; i++) if (total[names[i]])
      printf "  %-16s %5d of %5d edges (%.0f%%)\n", names[i], covered[names[i]], total[names[i]], 100 * covered[names[i]] / total[names[i]]
    for (k in best) { b += best[k]; s += size[k] }
    if (s) printf "  %-16s %5d of %5d edges (%.0f%%)\n", "all targets", b, s, 100 * b / s }' \
  "$build/logs/scanner-coverage")

echo "-- fuzz figures (units/bytes in the corpus; edges and features covered)"
printf '%s' "$summary"
echo "-- coverage of scan/, dialoglib/ and output/ by the corpus (the sanitizers' own checks count as edges too)"
printf '%s\n' "$scanner"
if [ "$failed" -ne 0 ]; then
  echo "fuzz: FAILED"
  exit 1
fi
echo "fuzz: clean"
