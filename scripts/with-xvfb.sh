#!/usr/bin/env bash
# Runs a command against a private Xvfb (one screen of 1920 x 1080 unless
# ZINTREL_XVFB_SCREEN says otherwise), so tests that move the cursor never
# disturb each other or the user's desktop. -noreset keeps the server (and
# the pointer) as it is when a client disconnects.
set -uo pipefail
screen=${ZINTREL_XVFB_SCREEN:-1920x1080x24}
fdfile=$(mktemp)
Xvfb -displayfd 1 -noreset -nolisten tcp +extension RANDR -screen 0 "$screen" >"$fdfile" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$fdfile" ] && break; sleep 0.05; done
if ! [ -s "$fdfile" ]; then
  echo "with-xvfb: Xvfb did not start" >&2
  kill "$xvfb_pid" 2>/dev/null
  exit 1
fi
export DISPLAY=":$(head -n1 "$fdfile")"
rm -f "$fdfile"
"$@"
status=$?
kill "$xvfb_pid" 2>/dev/null
wait "$xvfb_pid" 2>/dev/null
exit $status
