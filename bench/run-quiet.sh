#!/usr/bin/env bash
# What a still cursor costs, side by side in one run on a private Xvfb:
# xbanish (an event-fed pointer watcher from Debian, installed here with
# apt-get if missing) as the reference, then each zintrel binary given,
# stopped and running. Per phase: CPU of the process plus the X server above
# xbanish's, and wake-ups per second of all the process's threads (the sum of
# voluntary and nonvoluntary context switches over /proc/PID/task/*/status),
# with the SDL audio thread's share shown apart. Then the engine bench of each
# build with the pointer moving 1 px per ms (polls per second of each
# measuring thread) and still (window end to the first rendered sample).
#   bench/run-quiet.sh [seconds per phase] [build-dir ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
shift || true
builds=("${@:-build}")
if ! command -v xbanish >/dev/null; then
  apt-get install -y xbanish >/dev/null || { echo "run-quiet: cannot install xbanish" >&2; exit 1; }
fi
for b in "${builds[@]}"; do
  [ -x "$b/zintrel" ] || { echo "run-quiet: $b/zintrel is missing; build it first" >&2; exit 1; }
done
# The disk driver unless told otherwise; SDL_AUDIODRIVER=pulseaudio measures
# at a sound server, where the stream is open only while something sounds.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-disk} SDL_DISKAUDIOFILE=/dev/null SECONDS_PER_PHASE=$seconds
export BUILDS="${builds[*]}"
exec scripts/with-xvfb.sh bash -c '
set -uo pipefail
xserver=$(pgrep -P "$PPID" -x Xvfb || true)
ticks=$(getconf CLK_TCK)
cpu() { awk "{print \$14 + \$15}" "/proc/$1/stat"; }
# context switches of all threads, and of the SDL audio threads alone
switches() {
  local all=0 audio=0 t n
  for t in /proc/$1/task/*; do
    n=$(awk "/ctxt_switches/ {s += \$2} END {print s + 0}" "$t/status" 2>/dev/null || echo 0)
    all=$((all + n))
    case "$(cat "$t/comm" 2>/dev/null)" in SDLAudio*) audio=$((audio + n)) ;; esac
  done
  echo "$all $audio"
}
base=0
export ZQ_BASE=$(mktemp)
measure() {
  local label=$1 pid=$2
  local z0 x0 s0 a0 t0 z1 x1 s1 a1 t1
  z0=$(cpu "$pid"); x0=$(cpu "$xserver"); read -r s0 a0 < <(switches "$pid"); t0=$(date +%s.%N)
  sleep "$SECONDS_PER_PHASE"
  z1=$(cpu "$pid"); x1=$(cpu "$xserver"); read -r s1 a1 < <(switches "$pid"); t1=$(date +%s.%N)
  awk -v l="$label" -v z=$((z1 - z0)) -v x=$((x1 - x0)) -v s=$((s1 - s0)) -v a=$((a1 - a0)) \
      -v d="$(awk "BEGIN {print $t1 - $t0}")" -v hz="$ticks" -v b="$base" \
      "BEGIN {c = (z + x) * 100 / hz / d; if (b == \"\") b = 0;
              printf \"%-44s CPU+X %5.2f %% (%+5.2f %% over xbanish)  wake-ups %7.1f/s (SDL audio %7.1f/s)\\n\",
                     l, c, c - b, s / d, a / d; if (l ~ /xbanish/) print c > ENVIRON[\"ZQ_BASE\"]}"
}
xdotool mousemove 700 500
xbanish & xb=$!; sleep 2
measure "xbanish, cursor still" "$xb"
base=$(cat "$ZQ_BASE"); rm -f "$ZQ_BASE"
kill "$xb"; wait "$xb" 2>/dev/null
for b in $BUILDS; do
  # The first toolkit client on a fresh server builds caches; leave that out.
  "$b/zintrel" 2>/dev/null & warm=$!; sleep 3; kill -TERM "$warm"; wait "$warm" 2>/dev/null
  for args in "" "-AutoStartOnly"; do
    "$b/zintrel" $args 2>/dev/null & pid=$!; sleep 3
    measure "$b ${args:-(stopped)}, cursor still" "$pid"
    kill -TERM "$pid"; wait "$pid" 2>/dev/null
  done
done
for b in $BUILDS; do
  echo "$b engine bench, pointer moving 1 px per ms (relative XTest motion):"
  path=()
  for _ in 1 2 3 4 5; do
    for _ in $(seq 1000); do path+=(mousemove_relative -- 1 0 sleep 0.001); done
    for _ in $(seq 1000); do path+=(mousemove_relative -- -1 0 sleep 0.001); done
  done
  xdotool mousemove 300 500; xdotool "${path[@]}" & mover=$!
  "$b/bench/engine/engine_bench" 2>/dev/null | grep -E "stopped:|running:" | sed "s/^/    /"
  kill "$mover" 2>/dev/null; wait "$mover" 2>/dev/null
  echo "$b engine bench, pointer still:"
  "$b/bench/engine/engine_bench" 2>/dev/null | grep -E "window end" | sed "s/^/    /"
done
'
