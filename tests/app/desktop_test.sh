#!/usr/bin/env bash
# Drives the real zintrel binary on the test's private X server, with keys
# sent where the pointer is (no window manager: the focus follows it):
# the keyboard still works on the panel after an About box closes, a failed
# browser launch is a line on stderr and no box, the About box offers no move,
# the menu keys open the menu at the focused control, and at GDK_SCALE=2 the
# banner is the sharp rendering of its art.
set -uo pipefail
bin=${ZINTREL_BINARY:?}
src=${ZINTREL_SOURCE_DIR:?}
# fail, finish, wait_window and wait_exit
. "$src/tests/install/lib.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null

# The visible windows of process $1 wider than 100 pixels, but the panel $2.
other_windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    [ "$w" = "$2" ] && continue
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" -gt 100 ] && echo "$w"
  done
}

# Waits up to 5 seconds for exactly one other window of $1 (the About box).
wait_box() {
  local box
  for _ in $(seq 50); do
    box=$(other_windows "$1" "$2")
    if [ -n "$box" ] && [ "$(echo "$box" | wc -l)" = 1 ]; then echo "$box"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Puts the pointer inside window $1 at ($2, $3) from its top-left corner.
point_at() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + $2)) $((Y + $3))
  sleep 0.3
}

# Starts zintrel ($@ are extra environment settings); sets pid and panel.
start() {
  env "$@" "$bin" 2>"$work/stderr" & pid=$!
  panel=$(wait_window "Zintrel v1.0" 10) || { fail "no panel"; return 1; }
  point_at "$panel" 600 480  # bottom right, over no control
}

# Escape on the panel must end Zintrel with status 0: it has the focus.
end_with_escape() {
  point_at "$panel" 600 480
  xdotool key Escape
  wait_exit "$pid" 5
  [ "$status" = 0 ] || fail "$1: Escape on the panel: status $status"
}

echo "--- the panel takes keys again after an About box closes"
# How the box is opened, and how it is closed.
for case in "Return Escape" "Return Return" "Return click" "menu Escape" "menu click"; do
  read -r opener closer <<<"$case"
  echo "- opened with $opener, closed with $closer"
  start || continue
  if [ "$opener" = menu ]; then
    xdotool key Menu; sleep 0.5; xdotool key a
  else
    xdotool key Return  # the About button has the focus at start
  fi
  if box=$(wait_box "$pid" "$panel"); then
    point_at "$box" 20 20
    case $closer in
      click)
        eval "$(xdotool getwindowgeometry --shell "$box")"
        # Okay: 63, 129, 50 x 14 of the box's 176 x 150 dialog units.
        point_at "$box" $((WIDTH * 88 / 176)) $((HEIGHT * 136 / 150))
        xdotool click 1 ;;
      *) xdotool key "$closer" ;;
    esac
    for _ in $(seq 30); do [ -z "$(other_windows "$pid" "$panel")" ] && break; sleep 0.1; done
    [ -z "$(other_windows "$pid" "$panel")" ] || fail "$case: the box did not close"
  else
    fail "$case: no About box"
  fi
  end_with_escape "$case"
done

echo "--- Go there with no browser: a line on stderr, no other window"
if start BROWSER=false; then
  xdotool key Return
  if box=$(wait_box "$pid" "$panel"); then
    # The About box offers closing only: no move (0x4), nor everything (0x1).
    hints=$(xprop -id "$box" _MOTIF_WM_HINTS | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r flags functions _ <<<"$hints"
    if [ -z "$hints" ] || (((flags & 1) == 0)) || (((functions & 5) != 0)); then
      fail "About box hints offer moving: _MOTIF_WM_HINTS = $hints"
    fi
    point_at "$box" 20 20
    xdotool key Tab Return  # from the host's box to Go there
    sleep 2
    grep -q "^zintrel: no web browser could be started for http://" "$work/stderr" ||
      fail "no line on stderr: $(cat "$work/stderr")"
    [ "$(other_windows "$pid" "$panel")" = "$box" ] ||
      fail "other windows than the About box: $(other_windows "$pid" "$panel")"
    xdotool search --name "Error" >/dev/null 2>&1 && fail "an error box is up"
    xdotool key Escape
    sleep 0.5
    [ -z "$(other_windows "$pid" "$panel")" ] || fail "Escape did not close the About box"
  else
    fail "no About box"
  fi
  end_with_escape "Go there"
fi

echo "--- the menu keys open the menu at the focused control"
# The menu's top-left corner: a new override-redirect window of zintrel's.
menu_now() {
  local id
  for id in $(xwininfo -root -children | awk '/"zintrel": \("zintrel" "Zintrel"\)/ {
      split($(NF-1), s, "x"); if (s[1] > 50) print $1 }'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
      END {print x, y}'
    return 0
  done
}
# Where the context menu is, waiting up to 5 seconds for it. Only a mapped
# menu counts: the toolkit places its menu window before it maps it, and a
# key sent in between would reach the panel instead.
menu_at() {
  local at
  for _ in $(seq 50); do
    at=$(menu_now)
    if [ -n "$at" ]; then echo "$at"; return 0; fi
    sleep 0.1
  done
}
# Closes the menu and waits up to 5 seconds for it to go.
close_menu() {
  xdotool key Escape
  for _ in $(seq 50); do [ -z "$(menu_now)" ] && return 0; sleep 0.1; done
}
if start; then
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  px=$X py=$Y pw=$WIDTH
  at=()
  for keys in "Menu" "shift+F10" "Tab Menu"; do
    # (the pointer stays at the panel's bottom right)
    xdotool key $keys
    sleep 0.7
    read -r mx my <<<"$(menu_at)"
    if [ -z "${mx:-}" ]; then fail "$keys: no menu"; continue; fi
    echo "$keys: menu at $mx,$my (panel at $px,$py)"
    at+=("$my")
    # At the About button or the button after it, in the panel's top right;
    # not at the pointer, low on the right.
    { [ "$mx" -gt $((px + pw / 2)) ] && [ "$my" -lt $((py + 150)) ]; } ||
      fail "$keys: menu at $mx,$my, not at the focused control"
    close_menu
  done
  # Tab moved the focus down to the next button, and the menu with it.
  [ "${#at[@]}" = 3 ] && { [ "${at[2]}" -gt "${at[0]}" ] || fail "the menu did not follow the focus"; }
  # A right click opens it at the pointer, on the disabled Stop button too
  # (130, 203, 60 x 24 of the panel's 320 x 234 dialog units).
  eval "$(xdotool getwindowgeometry --shell "$panel")"
  for spot in "$((WIDTH * 160 / 320)) $((HEIGHT * 215 / 234)) Stop" "$((WIDTH / 2)) 8 face"; do
    read -r sx sy what <<<"$spot"
    point_at "$panel" "$sx" "$sy"
    xdotool click 3
    sleep 0.7
    read -r mx my <<<"$(menu_at)"
    if [ -z "${mx:-}" ]; then fail "right click on the $what: no menu"; continue; fi
    { [ $((mx - X - sx)) -ge -3 ] && [ $((mx - X - sx)) -le 6 ] && [ $((my - Y - sy)) -ge -3 ] &&
      [ $((my - Y - sy)) -le 6 ]; } || fail "right click on the $what: menu at $mx,$my"
    close_menu
  done
  end_with_escape "menu keys"
fi

echo "--- GDK_SCALE=2: the banner is the art drawn for twice the size"
if start GDK_SCALE=2; then
  sleep 0.5
  import -window "$panel" "$work/shot.png"
  # The art as rendered for this scale, and the small art with its pixels
  # doubled, both on the dialog's face colour (the corner of the shot).
  face=$(convert "$work/shot.png" -format '%[pixel:p{2,2}]' info:)
  rsvg-convert -w 648 -h 144 "$src/res/banner.svg" |
    convert - -background "$face" -flatten "$work/sharp.png"
  rsvg-convert -w 324 -h 72 "$src/res/banner.svg" |
    convert - -background "$face" -flatten -filter point -resize 200% "$work/doubled.png"
  # The banner stands at 7, 7 dialog units: about (28, 30) device pixels.
  best=
  for ox in 26 27 28 29 30; do
    for oy in 28 29 30 31 32; do
      convert "$work/shot.png" -crop "648x144+$ox+$oy" +repage "$work/banner.png"
      off=$(compare -metric AE -fuzz 8% "$work/banner.png" "$work/sharp.png" null: 2>&1)
      if [ -z "$best" ] || [ "${off%.*}" -lt "$best" ]; then best=${off%.*} bx=$ox by=$oy; fi
    done
  done
  convert "$work/shot.png" -crop "648x144+$bx+$by" +repage "$work/banner.png"
  doubled=$(compare -metric AE -fuzz 8% "$work/banner.png" "$work/doubled.png" null: 2>&1)
  echo "pixels off the sharp art: $best of 93312; off the doubled art: ${doubled%.*}"
  [ "$best" -lt 500 ] || fail "the banner is not the art drawn for scale 2 ($best pixels off)"
  [ "${doubled%.*}" -gt 2000 ] || fail "the check cannot tell the doubled art apart (${doubled%.*})"
  end_with_escape "GDK_SCALE=2"
fi

finish
