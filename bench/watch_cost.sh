#!/usr/bin/env bash
# What watching costs: runs Houndly offscreen on (a) the demo camera at 640x480,
# (b) a 640x480 30 fps MJPEG file and (c) the same file served as a live MJPEG
# stream over HTTP on loopback. Offscreen the program watches headless: it
# reads, compares and records but paints no preview. With HOUNDLY_BENCH_WINDOW=1
# the window runs on a virtual X server (Xvfb) instead, so the preview is
# painted as on a desktop. Alongside each run `ffmpeg -re` decodes the
# same file to nothing as the reference. Prints the program's share of one core, its
# ratio to the reference, the bytes it wrote to standard error, its resident
# memory at the start and end of the measurement, and the memory private to it
# (USS: Private_Clean + Private_Dirty of /proc/PID/smaps_rollup) and to a second
# instance watching the same camera beside it. Last, the detector's blind time
# while a local SMTP server (tests/support/servers/smtp_server.py) holds the
# alarm's mail after DATA for STALL seconds (default 10), with KEEPWATCH off and on
# (bench_blind_time, built beside the program).
#
#   bench/watch_cost.sh [SECONDS [WARMUP [HOUNDLY]]]     defaults: 60 20 build/release/app/houndly
#
# With PRETIME=N in the environment each run records clips with N seconds of
# pre-event recording (ﾂｰﾙ → 拡張設定), so the difference from a run without it
# is what keeping the frames costs.
#
# Targets (offscreen): RSS <= 50 MB on the demo and the stream, USS of the
# second instance <= 12 MB; blind time 0 s with KEEPWATCH; demo <= 2 % of one core; file and stream <= 0.5 x the
# reference; no standard error while watching; resident memory flat. The window
# adds the preview: 15 pictures a second decoded, stretched and sent to the X
# server, which the reference does not do. Run it on a quiet
# machine: other processes on the same cores disturb the figures (the load
# average is printed with each line).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
warmup=${2:-20}
houndly=${3:-$root/build/release/app/houndly}
[[ -x "$houndly" ]] || { echo "no program at $houndly (build it first)" >&2; exit 2; }

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [[ ${HOUNDLY_BENCH_WINDOW:-0} != 1 ]]; then
    mode="offscreen (headless)"
    run_houndly() { QT_QPA_PLATFORM=offscreen exec "$houndly" "$@"; }
else
    mode="window on Xvfb"
    command -v Xvfb >/dev/null || { echo "Xvfb is needed to measure the window (apt install xvfb)" >&2; exit 2; }
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    run_houndly() { exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" "$houndly" "$@"; }
fi

clip=$work/clip.avi
ffmpeg -loglevel error -f lavfi -i "testsrc2=size=640x480:rate=30" -t 30 -c:v mjpeg -q:v 4 -y "$clip"

ticks=$(getconf CLK_TCK)
# User plus system time of a process, in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
uss_kb() { awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum }' "/proc/$1/smaps_rollup"; }
free_port() { /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
load() { cut -d' ' -f1-3 /proc/loadavg; }

# measure NAME CAMERA [SERVER COMMAND...]
measure() {
    local name=$1 camera=$2
    shift 2
    local home=$work/home-$name
    mkdir -p "$home"
    if [[ -n "${PRETIME:-}" ]]; then
        printf '[FTP]\nMOVE=True\n[EXT]\nPRETIME=%s\n' "$PRETIME" >"$home/houndly.ini"
    fi
    if [[ $# -gt 0 ]]; then
        "$@" </dev/null >/dev/null 2>&1 &
        pids+=($!)
        sleep 1
    fi
    HOUNDLY_HOME=$home run_houndly --camera "$camera" </dev/null >/dev/null 2>"$work/$name.err" &
    local pid=$!
    pids+=("$pid")
    # The stream's server serves one viewer: the second instance then reads the same MJPEG from the file.
    local second_camera=$camera
    [[ $# -gt 0 ]] && second_camera=$clip
    mkdir -p "$home-2"
    if [[ -f "$home/houndly.ini" ]]; then cp "$home/houndly.ini" "$home-2/"; fi
    HOUNDLY_HOME=$home-2 run_houndly --camera "$second_camera" </dev/null >/dev/null 2>/dev/null &
    local second=$!
    pids+=("$second")
    sleep "$warmup"
    kill -0 "$pid" 2>/dev/null || { echo "$name: the program ended during the warm-up" >&2; cat "$work/$name.err" >&2; return 1; }

    ffmpeg -loglevel error -re -stream_loop -1 -i "$clip" -f null - </dev/null &
    local reference=$!
    pids+=("$reference")
    local load_before; load_before=$(load)
    local rss_start; rss_start=$(rss_kb "$pid")
    local err_start; err_start=$(stat -c %s "$work/$name.err")
    local cpu_start; cpu_start=$(cpu_ticks "$pid")
    local ref_start; ref_start=$(cpu_ticks "$reference")
    sleep "$seconds"
    local cpu_end; cpu_end=$(cpu_ticks "$pid")
    local ref_end; ref_end=$(cpu_ticks "$reference")
    local err_end; err_end=$(stat -c %s "$work/$name.err")
    local rss_end; rss_end=$(rss_kb "$pid")
    local uss; uss=$(uss_kb "$pid")
    local uss_second; uss_second=$(uss_kb "$second")
    local rss_second; rss_second=$(rss_kb "$second")
    kill "$reference" "$pid" "$second" 2>/dev/null || true
    wait "$reference" "$pid" "$second" 2>/dev/null || true

    awk -v name="$name" -v c=$((cpu_end - cpu_start)) -v r=$((ref_end - ref_start)) -v t="$ticks" -v s="$seconds" \
        -v e=$((err_end - err_start)) -v et="$err_end" -v rs="$rss_start" -v re="$rss_end" -v u="$uss" -v u2="$uss_second" -v r2="$rss_second" -v l1="$load_before" -v l2="$(load)" \
        'BEGIN {
            own = 100 * c / t / s; ref = 100 * r / t / s;
            printf "%-7s %6.2f %% of one core   reference %6.2f %%   ratio %5.2f   stderr %d B (%d B in all)   RSS %d -> %d kB   USS %d kB   second RSS %d kB USS %d kB   load %s / %s\n",
                   name, own, ref, (ref > 0 ? own / ref : 0), e, et, rs, re, u, r2, u2, l1, l2
        }'
}

echo "Houndly $("$houndly" --version | cut -d' ' -f2), $mode, $seconds s after $warmup s of warm-up, $(nproc) processors, pre-event ${PRETIME:-0} s"
measure demo demo
measure file "$clip"
port=$(free_port)
measure stream "http://127.0.0.1:$port/feed.mjpg" \
    ffmpeg -loglevel error -re -stream_loop -1 -i "$clip" -c copy -f mpjpeg -listen 1 "http://127.0.0.1:$port/feed.mjpg"

# The blind time: the longest gap between two ticks from the alarm on, less the tick interval.
stall=${STALL:-10}
blind_time=$(dirname "$houndly")/../bench/bench_blind_time
[[ -x "$blind_time" ]] || { echo "no $blind_time (build the benchmarks)" >&2; exit 2; }
/usr/bin/python3 "$root/tests/support/servers/smtp_server.py" --record "$work/smtp.jsonl" --delay "$stall" \
    --lifetime $((stall * 8 + 60)) </dev/null >"$work/smtp.port" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/smtp.port" ]] && break; sleep 0.1; done
smtp_port=$(head -1 "$work/smtp.port")
for keep in 0 1; do
    printf 'blind   KEEPWATCH=%s   %s s while the server holds the mail %s s after DATA   load %s\n' \
        "$([[ $keep == 1 ]] && echo True || echo False)" "$(QT_QPA_PLATFORM=offscreen "$blind_time" "$smtp_port" "$keep")" "$stall" "$(load)"
done
