#!/usr/bin/env bash
# What the web view's viewers cost: runs Houndly headless on a 640x480 30 fps
# MJPEG file with the web view on loopback, and measures the program's share of
# one core with no viewer, one viewer and four viewers of /stream.mjpg at 5
# frames a second (curl, counting the frames it got), then no viewer again to show the
# drift. The viewers' own cost (curl) is not counted.
#
#   bench/web_cost.sh [SECONDS [WARMUP [HOUNDLY]]]     defaults: 40 10 build/release/app/houndly
#
# Targets: one viewer <= 0.3 % of one core more than none; four <= 1 %. Run it on
# a quiet machine: other processes on the same cores disturb the figures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-40}
warmup=${2:-10}
houndly=${3:-$root/build/release/app/houndly}
[[ -x "$houndly" ]] || { echo "no program at $houndly (build it first)" >&2; exit 2; }

work=$(mktemp -d)
pids=()
viewers=()
cleanup() {
    for pid in "${viewers[@]}" "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

clip=$work/clip.avi
ffmpeg -loglevel error -f lavfi -i "testsrc2=size=640x480:rate=30" -t 30 -c:v mjpeg -q:v 4 -y "$clip"
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
home=$work/home
mkdir -p "$home"
printf 'bench-password\n' | HOUNDLY_HOME=$home "$houndly" --set-web-password bench
sed -i "s/^WEBPORT=0$/WEBPORT=$port/" "$home/houndly.ini"

QT_QPA_PLATFORM=offscreen HOUNDLY_HOME=$home "$houndly" --headless --camera "$clip" </dev/null >"$work/out.txt" 2>&1 &
pid=$!
pids+=("$pid")
sleep "$warmup"
grep -q "web view on http://127.0.0.1:$port/" "$work/out.txt" || { echo "the web view did not start:" >&2; cat "$work/out.txt" >&2; exit 1; }

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Percent of one core the program used over the next $seconds.
measure() {
    local start end
    start=$(cpu_ticks "$pid")
    sleep "$seconds"
    end=$(cpu_ticks "$pid")
    awk -v c=$((end - start)) -v t="$ticks" -v s="$seconds" 'BEGIN { printf "%.3f", 100 * c / t / s }'
}
view() {
    for n in $(seq "$1"); do
        curl -s --digest -u bench:bench-password -o "$work/viewer-$1-$n.mjpg" "http://127.0.0.1:$port/stream.mjpg?fps=5" &
        viewers+=($!)
    done
    sleep 2
}
stop_viewers() {
    for viewer in "${viewers[@]}"; do kill "$viewer" 2>/dev/null || true; done
    wait "${viewers[@]}" 2>/dev/null || true
    viewers=()
    sleep 2
}

echo "Houndly $("$houndly" --version | cut -d' ' -f2), headless on a 640x480 30 fps MJPEG file, $seconds s each, $(nproc) processors"
none=$(measure)
view 1; one=$(measure); stop_viewers
view 4; four=$(measure); stop_viewers
again=$(measure)
awk -v n="$none" -v o="$one" -v f="$four" -v a="$again" 'BEGIN {
    base = (n + a) / 2
    printf "no viewer    %6.3f %% of one core (%.3f again at the end)\n", n, a
    printf "one viewer   %6.3f %%   %+.3f %% more   ratio %.3f   (target <= +0.3 %%)\n", o, o - base, (base > 0 ? o / base : 0)
    printf "four viewers %6.3f %%   %+.3f %% more   ratio %.3f   (target <= +1 %%)\n", f, f - base, (base > 0 ? f / base : 0)
}'
for stream in "$work"/viewer-*.mjpg; do
    frames=$(grep -c -a '^--houndlyframe' "$stream" || true)
    awk -v f="$frames" -v s="$seconds" -v n="$(basename "$stream" .mjpg)" 'BEGIN { printf "%s got %d frames, %.1f a second\n", n, f, f / (s + 2) }'
done
