#!/usr/bin/env bash
# Screenshots of the running clock under a private Xvfb, at the scales given
# (in sixteenths), for docs/. Usage: tools/screenshot.sh BUILD_DIR OUT_DIR [SCALE...]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
out=$(mkdir -p "${2:-docs}" && cd "${2:-docs}" && pwd)
shift 2 || true
scales=("$@")
[ ${#scales[@]} -gt 0 ] || scales=(16 8)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A desktop-blue backdrop, so the clock's outline shows.
convert -size 480x560 xc:'#5b7a99' "$work/backdrop.png"
for scale in "${scales[@]}"; do
  folder="$work/ZindleClock-$scale"
  cp -r "$build/ZindleClock" "$folder"
  rm -f "$folder/ZindleClock.ini" "$folder/mask_fClock.bmp"
  printf '[Path]\nleft=40\ntop=30\nSizeScale=%s\nFadeEnabled=0\n' "$scale" > "$folder/ZindleClock.ini"
  runtime="$work/run-$scale"; mkdir -m 700 "$runtime"
  XDG_RUNTIME_DIR="$runtime" DBUS_SESSION_BUS_ADDRESS=disabled: SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 480x560x24" bash -c "
      display -window root '$work/backdrop.png'
      '$folder/ZindleClock' & pid=\$!
      sleep 3
      import -window root '$out/clock-$((scale * 100 / 16)).png'
      kill \$pid; wait \$pid 2>/dev/null || true"
done
