#!/usr/bin/env bash
# CPU time of the whole zintrel process (and of the X server) per second of
# running, with the cursor still: stopped, and running with and without
# sound; then with the cursor moving. Runs on a private Xvfb with SDL's disk
# audio driver: bench/run-process-cpu.sh [build-dir] [seconds per phase]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
seconds=${2:-10}
bin="$build_dir/zintrel"
if [ ! -x "$bin" ]; then
  echo "run-process-cpu: $bin is missing; build it first" >&2
  exit 1
fi
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null BIN=$bin SECONDS_PER_PHASE=$seconds
# with-xvfb.sh is the parent of the inner shell and of its Xvfb.
exec scripts/with-xvfb.sh bash -c '
set -uo pipefail
xserver=$(pgrep -P "$PPID" -x Xvfb || true)
ticks=$(getconf CLK_TCK)
cpu() { awk "{print \$14 + \$15}" "/proc/$1/stat"; }
field() { awk -v k="$2:" "\$1 == k {print \$2}" "/proc/$1/status"; }
phase() {
  local label=$1 glide=$2; shift 2
  xdotool mousemove 300 60
  "$BIN" "$@" 2>/dev/null & local pid=$!
  sleep 3
  local mover=""
  if [ "$glide" = yes ]; then
    # 8 pixels every 10 ms, to and fro along the top of the screen
    local path=() x
    for _ in $(seq $((SECONDS_PER_PHASE / 2 + 1))); do
      for x in $(seq 300 8 1100) $(seq 1100 -8 300); do path+=(mousemove "$x" 60 sleep 0.01); done
    done
    xdotool "${path[@]}" & mover=$!
    sleep 0.5
  fi
  local z0 x0 t0 z1 x1 t1
  z0=$(cpu "$pid"); x0=$(cpu "$xserver"); t0=$(date +%s.%N)
  sleep "$SECONDS_PER_PHASE"
  z1=$(cpu "$pid"); x1=$(cpu "$xserver"); t1=$(date +%s.%N)
  awk -v l="$label" -v z="$((z1 - z0))" -v x="$((x1 - x0))" -v s="$(awk "BEGIN {print $t1 - $t0}")" \
      -v hz="$ticks" -v th="$(field "$pid" Threads)" -v rss="$(field "$pid" VmRSS)" \
      "BEGIN {printf \"%-34s zintrel %6.1f ms/s  Xvfb %6.1f ms/s  threads %s  RSS %s kB\\n\", l, z * 1000 / hz / s, x * 1000 / hz / s, th, rss}"
  [ -n "$mover" ] && kill "$mover" 2>/dev/null
  kill -TERM "$pid"; wait "$pid" 2>/dev/null
  [ -n "$mover" ] && wait "$mover" 2>/dev/null
  return 0
}
# The first toolkit client on a fresh server builds caches; leave that out.
"$BIN" 2>/dev/null & warm=$!; sleep 3; kill -TERM "$warm"; wait "$warm" 2>/dev/null
echo "CPU time per second of running, over ${SECONDS_PER_PHASE} s each ($(nproc) cores)"
phase "stopped, cursor still"            no
phase "running, cursor still"            no  -AutoStartOnly
phase "running muted, cursor still"      no  -AutoStartOnly -MakeNoSound 1
phase "running, wrap off, cursor still"  no  -AutoStartOnly -WrapMouse 0
phase "running, cursor moving"           yes -AutoStartOnly
'
