#!/usr/bin/env bash
# The session notice of the real binary: in a Wayland session (WAYLAND_DISPLAY
# set, or XDG_SESSION_TYPE=wayland) exactly one line at start says that
# Zintrel runs through XWayland and sees the cursor only over X11 windows;
# in an X11 session nothing is said. The panel opens either way.
set -uo pipefail
here=$(dirname "$0")
. "$here/lib.sh"
bin=${ZINTREL_BINARY:?}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$tmp/audio.raw
notice="zintrel: this is a Wayland session: Zintrel runs through XWayland and can read and move the cursor only while it is over X11 windows"

# environment | the notice expected (yes/no)
cases=(
  "WAYLAND_DISPLAY=wayland-zintrel-test|yes"
  "XDG_SESSION_TYPE=wayland|yes"
  "WAYLAND_DISPLAY=wayland-zintrel-test XDG_SESSION_TYPE=wayland|yes"
  "XDG_SESSION_TYPE=x11|no"
  "WAYLAND_DISPLAY=|no"
  "XDG_SESSION_TYPE=tty|no"
)
for c in "${cases[@]}"; do
  vars=${c%%|*} want=${c#*|}
  # shellcheck disable=SC2086
  env -u WAYLAND_DISPLAY -u XDG_SESSION_TYPE $vars "$bin" 2>"$tmp/err" &
  pid=$!
  if wait_window "Zintrel v1.0" 15 >/dev/null; then
    kill -TERM "$pid"
    wait_exit "$pid" 10
    [ "$status" = 143 ] || fail "$vars: status $status"
  else
    fail "$vars: no panel"
    kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  fi
  said=$(own_lines "$tmp/err")
  if [ "$want" = yes ]; then
    [ "$said" = "$notice" ] || fail "$vars: stderr '$said'"
  else
    [ -z "$said" ] || fail "$vars: stderr '$said'"
  fi
done

finish
