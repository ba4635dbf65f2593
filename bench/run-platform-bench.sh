#!/usr/bin/env bash
# Runs the platform benchmark on a private Xvfb with SDL's disk audio driver
# (no sound card needed): bench/run-platform-bench.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
bench="$build_dir/bench/platform/platform_bench"
if [ ! -x "$bench" ]; then
  echo "run-platform-bench: $bench is missing; build it with: cmake --build $build_dir --target platform_bench" >&2
  exit 1
fi
audio_file=$(mktemp)
trap 'rm -f "$audio_file"' EXIT
# with-xvfb.sh is the parent of the inner shell and of its Xvfb: that is how
# the benchmark learns the X server's pid to read its CPU time.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio_file" BENCH="$bench" \
  scripts/with-xvfb.sh bash -c 'ZINTREL_XSERVER_PID=$(pgrep -P "$PPID" -x Xvfb || true) exec "$BENCH"'
