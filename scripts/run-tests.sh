#!/usr/bin/env bash
# Runs the whole test suite of a build. Tests that need an X server or the
# audio path start their own Xvfb and select SDL's disk driver themselves, so
# the suite also runs on a machine with no display and no sound card.
set -euo pipefail
build_dir=${1:-build}
cd "$(dirname "$0")/.."

xvfb_pid=""
if ! xset q >/dev/null 2>&1; then
  # A usable display for whatever a test runs outside its own server.
  fdfile=$(mktemp)
  Xvfb -displayfd 1 -noreset -nolisten tcp -screen 0 1920x1080x24 >"$fdfile" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
fi
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT

ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" ${ZINTREL_CTEST_ARGS:-}
