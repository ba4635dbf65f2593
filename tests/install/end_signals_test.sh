#!/usr/bin/env bash
# Ending Zintrel from outside, on the test's private X server with the real
# audio path written to a file: SIGTERM, SIGINT and SIGHUP end it shown or
# hidden, running (mid-tone) or stopped, and before the panel (while the box
# of a missing value is up). Each ends with status 128 + the signal's number,
# leaves no window and no process behind, and the tones stop. Prints the time
# from the signal to the end of the process for every case.
set -uo pipefail
here=$(dirname "$0")
. "$here/lib.sh"
bin=${ZINTREL_BINARY:?}
tmp=$(mktemp -d)
mover_pid=""
cleanup() {
  [ -n "$mover_pid" ] && kill "$mover_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=disk
unset WAYLAND_DISPLAY XDG_SESSION_TYPE
# A hang detector, not a speed target: the figures are printed (tens of
# milliseconds in a plain build), while a sanitizer build on a busy machine
# takes over a second just to exit.
limit_ms=5000

# Keeps the cursor moving around the middle of the screen, so tones play:
# jumps of 223 px with at least 20 ms between them, however fast the machine.
start_mover() {
  (while :; do
    xdotool mousemove 800 500 && sleep 0.02
    xdotool mousemove 1000 600 && sleep 0.02
  done) >/dev/null 2>&1 &
  mover_pid=$!
}
stop_mover() {
  kill "$mover_pid" 2>/dev/null
  wait "$mover_pid" 2>/dev/null
  mover_pid=""
}

# True when the last $2 bytes of the raw float audio file $1 are not all zero.
sounding() { [ "$(tail -c "$2" "$1" 2>/dev/null | tr -d '\000' | wc -c)" -gt 0 ]; }

signal_number() { kill -l "$1"; }

# The running cases play Pitch 1: a 300 ms window then holds at most 16 of
# the mover's jumps (3,568 Hz), and any jump at all makes a tone, so the
# tones stay audible (below 24 kHz) at any machine speed.
# state | options | how to know it is in that state
states=(
  "shown, stopped|-Interval 300|panel"
  "shown, running|-AutoStartOnly -Interval 300 -Pitch 1|tone"
  "hidden, running|-AutoStartAndHide -Interval 300 -Pitch 1|hidden-tone"
  "before the panel|-Pitch|box"
)
# Hang limits, in tenths of a second, for getting into each state: the
# start of a sanitizer build on a busy machine takes seconds.
ready_tenths=600
figures=()
for state_case in "${states[@]}"; do
  IFS='|' read -r state options check <<<"$state_case"
  for sig in TERM INT HUP; do
    what="$state, SIG$sig"
    audio=$tmp/audio-$state-$sig.raw
    rm -f "$audio"  # sound left from an earlier case would pass for this one's
    export SDL_DISKAUDIOFILE=$audio
    # shellcheck disable=SC2086
    "$bin" $options 2>"$tmp/err" &
    pid=$!
    ready=0
    case $check in
      panel) wait_window "Zintrel v1.0" $((ready_tenths / 10)) >/dev/null && ready=1 ;;
      box) wait_window "No Pitch!" $((ready_tenths / 10)) >/dev/null && ready=1 ;;
      tone | hidden-tone)
        start_mover
        # A tone sounding in the last 20 ms (48000 Hz, 4 bytes a sample).
        for _ in $(seq "$ready_tenths"); do
          if sounding "$audio" 3840; then ready=1; break; fi
          sleep 0.1
        done
        if [ "$check" = hidden-tone ] && [ "$ready" = 1 ]; then
          # The hide follows the start once the toolkit's loop runs: on a
          # busy machine (or in a sanitizer build) that can take a while.
          hidden=0
          for _ in $(seq "$ready_tenths"); do
            if xdotool search --name "^Zintrel v1.0\$" >/dev/null 2>&1 &&
              ! xdotool search --onlyvisible --name "^Zintrel v1.0\$" >/dev/null 2>&1; then
              hidden=1
              break
            fi
            sleep 0.1
          done
          [ "$hidden" = 1 ] || { fail "$what: no hidden panel"; ready=0; }
        fi
        ;;
    esac
    if [ "$ready" != 1 ]; then
      fail "$what: never got ready"
      stop_mover
      kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
      continue
    fi
    [ -z "$(pgrep -P "$pid")" ] || fail "$what: zintrel has child processes"

    start=$(now_ms)
    kill -s "$sig" "$pid"
    wait_exit "$pid" 10
    took=$(($(now_ms) - start))
    stop_mover
    want=$((128 + $(signal_number "$sig")))
    figures+=("$what: ${took} ms")
    [ "$status" = "$want" ] || fail "$what: status $status, not $want"
    [ "$took" -lt "$limit_ms" ] || fail "$what: took $took ms"
    # Nothing left behind: no window of ours, and the audio file is complete
    # (nothing writes to it any more).
    xdotool search --name '^(Zintrel v1.0|No Pitch!)$' >/dev/null 2>&1 &&
      fail "$what: a window is left"
    size=$(stat -c %s "$audio" 2>/dev/null || echo 0)
    sleep 0.3
    [ "$(stat -c %s "$audio" 2>/dev/null || echo 0)" = "$size" ] ||
      fail "$what: the audio file still grows"
    errors=$(own_lines "$tmp/err")
    [ -z "$errors" ] || fail "$what: stderr '$errors'"
  done
done

echo "time from signal to exit:"
printf '  %s\n' "${figures[@]}"
finish
