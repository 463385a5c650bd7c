#!/usr/bin/env bash
# Makes the clock's own sounds into a program folder:
#   voice/   the spoken time (espeak-ng)
#   chimes/  chime tune, hour bell, click and cuckoo (sox)
#   sound/   alarm sounds: wave, MIDI and MP3 (sox, lame, make_midi.py)
# Every file is 22.05 kHz mono 16-bit and brought to the same loudness.
#
# usage: make_sounds.sh PROGRAM_DIR DATA_DIR
set -euo pipefail

out=${1:?program folder}
data=${2:?data folder}
here=$(cd "$(dirname "$0")" && pwd)
python=${PYTHON:-python3}

RATE=22050
# Loudness: the loudest 50 ms of each file is brought to this RMS level, with
# the peak kept below PEAK.
TARGET_RMS_PK=-14
PEAK=-1
# The voice: espeak-ng's Received Pronunciation English, a little slower and
# lower than its default, sounds the most natural of the English voices.
VOICE=${ZC_VOICE:-en-gb-x-rp}
VOICE_SPEED=135
VOICE_PITCH=42

# Only failures: sox's warnings about trims past the end are expected here.
export SOX_OPTS="-V1"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out/voice" "$out/chimes" "$out/sound"

stat() { sox "$1" -n stats 2>&1 | awk -v k="$2" 'index($0, k) == 1 { print $NF }'; }

# normalise IN OUT: one gain so that the loudest 50 ms reach TARGET_RMS_PK,
# unless that would push the peak over PEAK.
normalise() {
    local rmspk pk gain
    rmspk=$(stat "$1" "RMS Pk dB")
    pk=$(stat "$1" "Pk lev dB")
    gain=$(awk -v r="$rmspk" -v p="$pk" -v t="$TARGET_RMS_PK" -v m="$PEAK" \
        'BEGIN { g = t - r; if (p + g > m) g = m - p; printf "%.2f", g }')
    sox "$1" -r $RATE -c 1 -b 16 "$2" gain "$gain"
}

# ---- voice -------------------------------------------------------------
grep -v '^#' "$data/voice.txt" | while IFS='|' read -r file text; do
    [ -n "$file" ] || continue
    espeak-ng -v "$VOICE" -s $VOICE_SPEED -p $VOICE_PITCH -w "$work/raw.wav" "$text"
    # Trim espeak's silences so the phrases follow each other closely,
    # leaving a short breath at the end.
    # A gentle compressor evens out the loud and soft syllables.
    sox "$work/raw.wav" -r $RATE -c 1 "$work/trim.wav" \
        silence 1 0.01 -50d reverse silence 1 0.01 -50d reverse \
        compand 0.005,0.15 6:-70,-70,-40,-30,-20,-16,0,-10 -3 -90 0.005 pad 0.02 0.12
    normalise "$work/trim.wav" "$out/voice/$file"
done

# ---- chimes ------------------------------------------------------------
# partial FREQ SECONDS LEVEL OUT: one sine dying away exponentially (sox's
# logarithmic fade falls linearly in dB).
partial() {
    sox -n -r $RATE -c 1 "$4" synth "$2" sine "$1" fade l 0.004 "$2" "$(awk -v d="$2" 'BEGIN{print d-0.004}')" vol "$3"
}

# bell FUNDAMENTAL SECONDS OUT: a church-bell spectrum (hum, prime, tierce,
# quint, nominal and upper partials), the low partials ringing longest, a
# slightly detuned prime for the beat of a real bell, and a short strike.
bell() {
    local f=$1 d=$2 o=$3 i=0 parts=()
    for p in "0.5 1.00 0.50" "1.0 0.80 0.55" "1.006 0.80 0.25" "1.19 0.60 0.30" "1.5 0.45 0.20" \
             "2.0 0.40 0.35" "2.52 0.25 0.15" "3.01 0.18 0.12" "4.1 0.10 0.08"; do
        set -- $p
        # The fade runs on past the end: about -12 dB a second for the hum.
        len=$(awk -v d="$d" -v k="$2" 'BEGIN{print 2*d*k}')
        partial "$(awk -v f="$f" -v r="$1" 'BEGIN{print f*r}')" "$len" "$3" "$work/p$i.wav"
        sox "$work/p$i.wav" "$work/q$i.wav" pad 0 "$(awk -v d="$d" -v l="$len" 'BEGIN{print (d > l) ? d - l : 0}')" trim 0 "$d"
        parts+=(-v 0.35 "$work/q$i.wav")
        i=$((i + 1))
    done
    sox -n -r $RATE -c 1 "$work/strike.wav" synth 0.03 pinknoise fade l 0 0.03 0.03 highpass 1500 vol 0.3
    sox "$work/strike.wav" "$work/strikepad.wav" pad 0 "$(awk -v d="$d" 'BEGIN{print d-0.03}')"
    parts+=(-v 0.35 "$work/strikepad.wav")
    sox -G -m "${parts[@]}" "$o" reverb 25 50 60 trim 0 "$d" fade t 0 "$d" 0.5
}

# small tuned bell for the tune: brighter, shorter
chimebell() {
    local f=$1 d=$2 o=$3 i=0 parts=()
    for p in "1.0 1.00 0.60" "2.0 0.55 0.30" "2.76 0.35 0.18" "4.07 0.22 0.10" "5.4 0.12 0.05"; do
        set -- $p
        partial "$(awk -v f="$f" -v r="$1" 'BEGIN{print f*r}')" "$(awk -v d="$d" -v k="$2" 'BEGIN{print d*k}')" "$3" "$work/c$i.wav"
        sox "$work/c$i.wav" "$work/cp$i.wav" pad 0 "$(awk -v d="$d" -v k="$2" 'BEGIN{print d-d*k}')"
        parts+=(-v 0.6 "$work/cp$i.wav")
        i=$((i + 1))
    done
    sox -G -m "${parts[@]}" "$o"
}

# The deep hour bell: E3, ringing out over about four seconds.
bell 164.81 4.0 "$work/bell.wav"
normalise "$work/bell.wav" "$out/chimes/bigben_bell.wav"

# The tune: each note a small bell started on its beat, all mixed.
beat=0.5
t=0
inputs=()
n=0
while read -r note beats; do
    case "$note" in '#'*) continue ;; esac
    if [ -z "$note" ]; then
        t=$(awk -v t="$t" -v b="$beat" 'BEGIN{print t+b}')
        continue
    fi
    freq=$(awk -v n="$note" 'BEGIN {
        split("C C# D D# E F F# G G# A A# B", names, " ")
        name = substr(n, 1, length(n) - 1); oct = substr(n, length(n))
        for (i = 1; i <= 12; i++) if (names[i] == name) semi = i - 1
        midi = (oct + 1) * 12 + semi
        printf "%.3f", 440 * 2 ^ ((midi - 69) / 12) }')
    chimebell "$freq" 2.2 "$work/note$n.wav"
    sox "$work/note$n.wav" "$work/notepad$n.wav" pad "$t" 0
    inputs+=(-v 0.3 "$work/notepad$n.wav")
    last=$t
    t=$(awk -v t="$t" -v b="$beat" -v k="$beats" 'BEGIN{print t+b*k}')
    n=$((n + 1))
done < "$data/chime_tune.txt"
# The end: the last note's start plus its ring.
end=$(awk -v t="$last" 'BEGIN{print t+2.2}')
sox -G -m "${inputs[@]}" "$work/tune.wav" reverb 30 50 70 trim 0 "$end" fade t 0 "$end" 0.4
normalise "$work/tune.wav" "$out/chimes/bigben_chime.wav"

# Click: the knock of the mechanism before the cuckoo.
sox -n -r $RATE -c 1 "$work/k1.wav" synth 0.06 sine 1800 fade l 0 0.06 0.058 vol 0.6
sox -n -r $RATE -c 1 "$work/k2.wav" synth 0.02 whitenoise fade l 0 0.02 0.02 bandpass 3000 1000h vol 0.5
sox -G -m -v 0.6 "$work/k1.wav" -v 0.6 "$work/k2.wav" "$work/click.wav" pad 0 0.04
normalise "$work/click.wav" "$out/chimes/click.wav"

# Cuckoo: two falling notes of a wooden pipe, a major third apart.
pipe() {
    sox -n -r $RATE -c 1 "$work/pa.wav" synth "$2" sine "$1" fade q 0.02 "$2" 0.08 vol 0.8
    sox -n -r $RATE -c 1 "$work/pb.wav" synth "$2" sine "$(awk -v f="$1" 'BEGIN{print 2*f}')" fade q 0.02 "$2" 0.08 vol 0.12
    sox -n -r $RATE -c 1 "$work/pc.wav" synth "$2" pinknoise fade q 0.01 "$2" 0.1 lowpass 2500 vol 0.04
    sox -G -m -v 1 "$work/pa.wav" -v 1 "$work/pb.wav" -v 1 "$work/pc.wav" "$3"
}
pipe 880 0.26 "$work/cu1.wav"
pipe 698.46 0.36 "$work/cu2.wav"
sox -n -r $RATE -c 1 "$work/gap.wav" trim 0 0.05
sox -G "$work/cu1.wav" "$work/gap.wav" "$work/cu2.wav" "$work/cuckoo.wav" pad 0 0.15 reverb 15 50 30 fade t 0 0.82 0.12
normalise "$work/cuckoo.wav" "$out/chimes/cuckoo.wav"

# ---- alarm sounds -----------------------------------------------------
# Beeps: two groups of three.
sox -n -r $RATE -c 1 "$work/b.wav" synth 0.12 square 1000 vol 0.4 lowpass 4000 fade t 0.005 0.12 0.01
sox -n -r $RATE -c 1 "$work/bs.wav" trim 0 0.08
sox -n -r $RATE -c 1 "$work/bl.wav" trim 0 0.4
sox "$work/b.wav" "$work/bs.wav" "$work/b.wav" "$work/bs.wav" "$work/b.wav" "$work/bl.wav" \
    "$work/b.wav" "$work/bs.wav" "$work/b.wav" "$work/bs.wav" "$work/b.wav" "$work/beeps.wav"
normalise "$work/beeps.wav" "$out/sound/beeps.wav"

# Gong: a very deep bell.
bell 98 4.0 "$work/gong.wav"
normalise "$work/gong.wav" "$out/sound/gong.wav"

# Chirps (MP3): three rising sweeps like a bird's call.
sox -n -r $RATE -c 1 "$work/ch.wav" synth 0.18 sine 1200-2600 fade q 0.01 0.18 0.05 vol 0.6
sox -n -r $RATE -c 1 "$work/chs.wav" trim 0 0.1
sox -G "$work/ch.wav" "$work/chs.wav" "$work/ch.wav" "$work/chs.wav" "$work/ch.wav" "$work/chs.wav" \
    "$work/chs.wav" "$work/ch.wav" "$work/chs.wav" "$work/ch.wav" "$work/chirps.wav" reverb 20
normalise "$work/chirps.wav" "$work/chirps_n.wav"
lame --quiet -b 96 -m m "$work/chirps_n.wav" "$out/sound/chirps.mp3"

# Melody (MIDI): our own tune on the glockenspiel.
"$python" "$here/make_midi.py" "$data/alarm_tune.txt" "$out/sound/melody.mid"
