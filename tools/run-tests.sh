#!/usr/bin/env bash
# Runs the whole suite. Tests that need a real window system get a private
# Xvfb (xvfb-run picks a free display) when none is present.
set -euo pipefail
build=${1:-build}
export DBUS_SESSION_BUS_ADDRESS=disabled:
export SDL_AUDIODRIVER=dummy
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
trap 'rm -rf "$runtime"' EXIT
cd "$build"
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    ctest --output-on-failure -j"$(nproc)" --timeout 600
else
  ctest --output-on-failure -j"$(nproc)" --timeout 600
fi
