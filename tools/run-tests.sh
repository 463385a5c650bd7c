#!/usr/bin/env bash
# Runs the whole suite. Tests that need a real window system get a private
# Xvfb (xvfb-run picks a free display) when none is present.
#   tools/run-tests.sh BUILD [ASAN_BUILD]
# With ASAN_BUILD, the project and its tests are then built there with
# AddressSanitizer and UndefinedBehaviorSanitizer and the suite runs again,
# failing on any report; last, every fuzz target runs for a short smoke
# (FUZZ_SMOKE_SECONDS, 20 by default; 0 skips it) with a fixed seed from the
# checked-in seeds and regressions alone, so that it repeats.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
asan=${2:-}
export DBUS_SESSION_BUS_ADDRESS=disabled:
export SDL_AUDIODRIVER=dummy
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
trap 'rm -rf "$runtime"' EXIT

suite() {
  if [ -z "${DISPLAY:-}" ]; then
    (cd "$1" && xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
      ctest --output-on-failure -j"$(nproc)" --timeout 600)
  else
    (cd "$1" && ctest --output-on-failure -j"$(nproc)" --timeout 600)
  fi
}

suite "$build"
[ -n "$asan" ] || exit 0

echo "== suite with AddressSanitizer and UndefinedBehaviorSanitizer ($asan)"
cmake -S "$here" -B "$asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZC_SANITIZE=ON >/dev/null
cmake --build "$asan" -j"$(nproc)" >/dev/null
# Any report ends the test with an error; what Qt, fontconfig and the other
# uninstrumented libraries keep until exit is suppressed in tools/lsan.supp.
(
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  export LSAN_OPTIONS=suppressions=$here/tools/lsan.supp:print_suppressions=0
  suite "$asan"
)

seconds=${FUZZ_SMOKE_SECONDS:-20}
[ "$seconds" -gt 0 ] || exit 0
echo "== fuzz smoke, ${seconds} s per target"
FUZZ_SEED=${FUZZ_SEED:-1} FUZZ_KEEP_CORPUS=0 bash "$here/tools/fuzz.sh" "$seconds"
