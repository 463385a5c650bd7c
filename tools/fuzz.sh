#!/usr/bin/env bash
# Builds the fuzz targets (clang, ASan + UBSan, in build-fuzz) and runs each
# for a while, one after the other.
#   tools/fuzz.sh SECONDS [TARGET...]      every target when none is named
# FUZZ_RUNS=N also stops a target after N executions; FUZZ_SEED=N makes a
# run repeat the same inputs (the smoke of make test uses it, so a run that
# passed here passes again); FUZZ_BUILD picks the build folder.
# Each target first replays its kept regression inputs
# (fuzz/regressions/<target>/) and seeds (fuzz/corpus/<target>/), then
# fuzzes from those alone: what it finds goes to a fresh temporary folder
# removed afterwards, so two runs with one seed start from the same inputs.
# FUZZ_KEEP_CORPUS=1 keeps the finds instead in <build>/corpus/<target>/
# and starts from them the next time, for long sessions that build on each
# other. A crash, leak, hang or sanitizer report fails the script; the
# input is left in <build>/artifacts/<target>/ and the log in
# <build>/logs/<target>.log.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:?usage: tools/fuzz.sh SECONDS [TARGET...]}
shift
build=${FUZZ_BUILD:-$here/build-fuzz}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings coord mask picture table package catalogue sntp sound)

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$here/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j"$(nproc)" >/dev/null

# Qt and SDL are not instrumented; their one-time allocations are kept
# alive until exit and are no leaks of ours.
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:allocator_may_return_null=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$here/tools/lsan.supp:print_suppressions=0}
export QT_QPA_PLATFORM=offscreen
# Damaged pictures make Qt warn on every input; the warnings drown the log.
export QT_LOGGING_RULES='*.warning=false;*.info=false;*.debug=false'

mkdir -p "$build/logs"
scratch=""
if [ "${FUZZ_KEEP_CORPUS:-0}" != 1 ]; then
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/zindle-fuzz.XXXXXX")
  trap 'rm -rf "$scratch"' EXIT
fi
status=0
for t in "${targets[@]}"; do
  bin=$build/fuzz_$t
  log=$build/logs/$t.log
  if [ -n "$scratch" ]; then work=$scratch/$t; else work=$build/corpus/$t; fi
  artifacts=$build/artifacts/$t/
  mkdir -p "$work" "$artifacts"
  : >"$log"
  replay=()
  kept=()
  for d in "$here/fuzz/regressions/$t" "$here/fuzz/corpus/$t"; do
    [ -d "$d" ] || continue
    kept+=("$d")
    while IFS= read -r -d '' f; do replay+=("$f"); done < <(find "$d" -type f -print0)
  done
  if [ ${#replay[@]} -gt 0 ] && ! "$bin" -timeout=10 -rss_limit_mb=2048 "${replay[@]}" >>"$log" 2>&1; then
    echo "fuzz $t: a kept input fails again (see $log)" >&2
    status=1
    continue
  fi
  runs=()
  [ -n "${FUZZ_RUNS:-}" ] && runs=(-runs="$FUZZ_RUNS")
  [ -n "${FUZZ_SEED:-}" ] && runs+=(-seed="$FUZZ_SEED")
  if "$bin" -max_total_time="$seconds" "${runs[@]}" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$artifacts" "$work" "${kept[@]}" >>"$log" 2>&1; then
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    secs=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
    echo "fuzz $t: ${execs:-?} executions (${secs:-?}/s), $cov, no fault"
  else
    echo "fuzz $t: FAULT (see $log; input in $artifacts)" >&2
    grep -m3 -E 'ERROR|runtime error|SUMMARY|timeout' "$log" >&2 || true
    status=1
  fi
done
exit $status
