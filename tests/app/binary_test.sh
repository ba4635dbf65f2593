#!/usr/bin/env bash
# Drives the real zintrel binary on the test's private X server: the message
# box of a number option with no value comes before the panel, Escape closes
# the panel with exit status 0 (also while the engine runs), a hidden panel
# keeps the process going, and no display is one clear line and status 1.
set -uo pipefail
bin=${ZINTREL_BINARY:?}
# fail, finish, wait_window and wait_exit
. "${ZINTREL_SOURCE_DIR:?}/tests/install/lib.sh"

# Puts the pointer over a window (no window manager: focus follows it) and
# presses a key there.
press_in() {
  local id=$1 key=$2 X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 4))
  sleep 0.3
  xdotool key "$key"
}

# The real audio path, written to a file nobody reads.
audio=$(mktemp)
trap 'rm -f "$audio"' EXIT
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$audio

echo "--- no display"
# (SDL's disk driver announces itself on stderr; that is not ours.)
err=$(env -u DISPLAY "$bin" 2>&1 >/dev/null | grep -v '^CRITICAL: '); status=$?  # pipefail: the binary's status
[ "$status" = 1 ] || fail "no display: status $status"
[ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "no display: stderr not one line: $err"
[[ "$err" == zintrel:* ]] || fail "no display: stderr: $err"

echo "--- -Pitch shows No Pitch! before the panel"
"$bin" -Pitch & pid=$!
if box=$(wait_window "No Pitch!" 60); then
  xdotool search --onlyvisible --name "^Zintrel v1.0\$" >/dev/null 2>&1 &&
    fail "the panel is up before the No Pitch! box is dismissed"
  press_in "$box" Return
  if panel=$(wait_window "Zintrel v1.0" 60); then
    press_in "$panel" Escape
    wait_exit "$pid" 30
    [ "$status" = 0 ] || fail "Escape: exit status $status"
  else
    fail "no panel after the No Pitch! box"
  fi
else
  fail "no No Pitch! box"
fi
kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

echo "--- Escape ends a running engine promptly with status 0"
"$bin" -AutoStartOnly & pid=$!
if panel=$(wait_window "Zintrel v1.0" 60); then
  sleep 1
  press_in "$panel" Escape
  wait_exit "$pid" 30
  [ "$status" = 0 ] || fail "Escape while running: exit status $status"
else
  fail "-AutoStartOnly: no panel"
fi
kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

echo "--- AutoStartAndHide: hidden, not closed"
# Hidden: the panel's window exists and is not visible, and the process
# runs on. Start-up takes its time on a busy machine (or in a sanitizer
# build), so wait for that state rather than a fixed time.
hidden_panel() {
  xdotool search --name "^Zintrel v1.0\$" >/dev/null 2>&1 &&
    ! xdotool search --onlyvisible --name "^Zintrel v1.0\$" >/dev/null 2>&1
}
"$bin" AutoStartAndHide & pid=$!
hidden=0
for _ in $(seq 600); do
  kill -0 "$pid" 2>/dev/null || break
  if hidden_panel; then hidden=1; break; fi
  sleep 0.1
done
if ! kill -0 "$pid" 2>/dev/null; then
  fail "AutoStartAndHide: the process ended"
elif [ "$hidden" != 1 ]; then
  fail "AutoStartAndHide: no hidden panel within 60 s (visible: $(xdotool search \
    --onlyvisible --name "^Zintrel v1.0\$" 2>/dev/null | wc -l))"
else
  kill -TERM "$pid"
  wait_exit "$pid" 30
  [ "$status" = 143 ] || fail "SIGTERM: exit status $status"
fi
kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null

finish
