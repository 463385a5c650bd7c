#!/usr/bin/env bash
# Runs every benchmark program of the build, offscreen and silent.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy DBUS_SESSION_BUS_ADDRESS=disabled:
runtime=$(mktemp -d); chmod 700 "$runtime"; export XDG_RUNTIME_DIR=$runtime
trap 'rm -rf "$runtime"' EXIT
find "$build/bench" -maxdepth 2 -type f -executable -name 'bench_*' -o -maxdepth 2 -type f -executable -name '*_bench' | sort |
while read -r program; do
  echo "== $(basename "$program")"
  "$program"
done
