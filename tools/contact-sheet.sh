#!/usr/bin/env bash
# Contact sheets of every clock x dial x hand set, drawn offscreen by the
# clock's own face build from the built tables, at 100 % and 50 %, for docs/.
# Usage: tools/contact-sheet.sh [BUILD_DIR] [OUT_DIR] [hh:mm:ss]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
out=$(mkdir -p "${2:-docs}" && cd "${2:-docs}" && pwd)
time=${3:-10:08:37}
cmake --build "$build" --target contactsheet program_tables >/dev/null
for scale in 16 8; do
  "$build/tools/contactsheet/contactsheet" --scale "$scale" --time "$time" \
    --out "$out/hands-contact-$((scale * 100 / 16)).png" "$build/ZindleClock"
done
