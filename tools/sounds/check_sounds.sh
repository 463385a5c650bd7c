#!/usr/bin/env bash
# Lists every sound of a program folder with its length, peak and loudness
# (the RMS of its loudest 50 ms), to check the set by ear and by number.
# usage: check_sounds.sh PROGRAM_DIR
set -euo pipefail
dir=${1:?program folder}
printf '%-28s %8s %8s %8s\n' file seconds "peak dB" "loud dB"
for f in "$dir"/voice/*.wav "$dir"/chimes/*.wav "$dir"/sound/*.wav "$dir"/sound/*.mp3; do
    s=$(sox "$f" -n stats 2>&1)
    printf '%-28s %8.3f %8s %8s\n' "${f#"$dir"/}" "$(soxi -D "$f")" \
        "$(awk '/^Pk lev dB/ {print $NF}' <<<"$s")" "$(awk '/^RMS Pk dB/ {print $NF}' <<<"$s")"
done
for f in "$dir"/sound/*.mid; do
    printf '%-28s %8s\n' "${f#"$dir"/}" "$(stat -c %s "$f") bytes"
done
