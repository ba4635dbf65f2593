#!/usr/bin/env bash
# Keeps zintrel running with the cursor moving and prints, every `step`
# seconds, its resident memory, threads, open descriptors and CPU time, so
# that growth over a long run shows: bench/run-soak.sh [build-dir] [minutes] [step]
# Private Xvfb, SDL's disk audio driver writing to /dev/null.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
export MINUTES=${2:-10} STEP=${3:-30} BIN=$build_dir/zintrel
if [ ! -x "$BIN" ]; then
  echo "run-soak: $BIN is missing; build it first" >&2
  exit 1
fi
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
exec scripts/with-xvfb.sh bash -c '
set -uo pipefail
"$BIN" -AutoStartOnly 2>/dev/null & pid=$!
# To and fro across the screen, with pauses, for as long as the soak lasts;
# now and then across the right edge, so the wrapper works too.
(while :; do
  xdotool mousemove 200 300 sleep 0.3 mousemove 900 300 sleep 0.05 mousemove 1500 700 sleep 0.05
  for x in 1700 1800 1900 1919; do xdotool mousemove "$x" 500; sleep 0.02; done
  sleep 1
done) >/dev/null 2>&1 & mover=$!
trap "kill $mover 2>/dev/null; kill -TERM $pid 2>/dev/null" EXIT
ticks=$(getconf CLK_TCK)
field() { awk -v k="$1:" "\$1 == k {print \$2}" "/proc/$pid/status"; }
printf "%8s %10s %8s %8s %6s %12s\n" seconds "RSS kB" threads workers fds "CPU ms/s"
last_cpu=$(awk "{print \$14 + \$15}" "/proc/$pid/stat"); last_t=$(date +%s.%N); start=$last_t
end=$(( $(date +%s) + MINUTES * 60 ))
while [ "$(date +%s)" -lt "$end" ]; do
  sleep "$STEP"
  kill -0 "$pid" 2>/dev/null || { echo "zintrel ended"; exit 1; }
  cpu=$(awk "{print \$14 + \$15}" "/proc/$pid/stat"); t=$(date +%s.%N)
  awk -v s="$(awk "BEGIN {print $t - $start}")" -v rss="$(field VmRSS)" -v th="$(field Threads)" \
      -v wk="$(cat /proc/$pid/task/*/comm | grep -cx zintrel-worker)" \
      -v fds="$(ls /proc/$pid/fd | wc -l)" -v c="$((cpu - last_cpu))" -v hz="$ticks" \
      -v dt="$(awk "BEGIN {print $t - $last_t}")" \
      "BEGIN {printf \"%8.0f %10s %8s %8s %6s %12.1f\\n\", s, rss, th, wk, fds, c * 1000 / hz / dt}"
  last_cpu=$cpu; last_t=$t
done
'
