#!/usr/bin/env bash
# Builds and runs the benchmarks (medians of repeated, interleaved runs, then the engine's ratio
# to its floor), and times ceilora-render on a 10-minute stereo 48 kHz file: wall-clock time and
# peak memory. Further arguments go to the benchmark executable (e.g. --benchmark_filter=Engine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

[ -f "$build/CMakeCache.txt" ] || bash "$root/scripts/build.sh"
cmake --build "$build" --target ceilora_benchmarks ceilora-render
"$build/benchmarks/ceilora_benchmarks" --benchmark_repetitions=9 --benchmark_min_time=0.3 \
    --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Ten different seconds of a tone under loud noise bursts, repeated to ten minutes (16-bit PCM).
python3 - "$work/ten-minutes.wav" <<'PYTHON'
import array, math, random, sys, wave
rate, seconds = 48000, 600
random.seed(1)
pieces = []
for piece in range(10):
    samples = array.array("h")
    for n in range(rate):
        burst = 1.6 * math.exp(-(n % 12000) / 1500.0) * (0.5 + piece / 18.0)
        for channel in range(2):
            value = 0.25 * math.sin(2 * math.pi * (220 + 110 * channel) * n / rate) + burst * random.uniform(-1, 1)
            samples.append(max(-32767, min(32767, int(value * 32767))))
    pieces.append(samples.tobytes())
with wave.open(sys.argv[1], "wb") as out:
    out.setnchannels(2)
    out.setsampwidth(2)
    out.setframerate(rate)
    for second in range(seconds):
        out.writeframes(pieces[second % 10])
PYTHON

echo
echo "ceilora-render on 10 minutes of stereo 48 kHz audio (three runs):"
for run in 1 2 3; do
    /usr/bin/time -v "$build/ceilora-render" "$work/ten-minutes.wav" "$work/rendered.wav" > /dev/null 2> "$work/time.txt"
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
    memory=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    echo "  run $run: $wall wall clock, peak memory $((memory / 1024)) MiB"
done
