#!/usr/bin/env bash
# The real binary at a terminal: --help and --version print and exit 0
# without a display, anywhere on the command line; a failed write is an
# error; other tokens are left to the panel. Sessions Zintrel cannot serve
# (no display, a display that does not exist, one that refuses the
# connection): one line on stderr, status 1, promptly and without a window.
set -uo pipefail
here=$(dirname "$0")
. "$here/lib.sh"
bin=${ZINTREL_BINARY:?}
version=$(sed -n 's/^project(zintrel VERSION \([0-9.]*\).*/\1/p' "${ZINTREL_SOURCE_DIR:?}/CMakeLists.txt")
tmp=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT

# Runs the binary with $1 as the DISPLAY ("-" for none) and the remaining
# arguments; sets status, out, err and took (ms).
run() {
  local display=$1
  shift
  local start
  start=$(now_ms)
  if [ "$display" = - ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$bin" "$@" >"$tmp/out" 2>"$tmp/err"
  else
    env -u WAYLAND_DISPLAY DISPLAY="$display" timeout 20 "$bin" "$@" >"$tmp/out" 2>"$tmp/err"
  fi
  status=$?
  took=$(($(now_ms) - start))
  out=$(cat "$tmp/out")
  err=$(cat "$tmp/err")
}

echo "--- --help and --version: stdout, status 0, no display needed"
# args | what stdout begins with
cases=(
  "--help|Usage: zintrel"
  "--version|zintrel $version"
  "-Pitch 40 --help|Usage: zintrel"
  "AutoStartAndHide --version|zintrel $version"
  "--version --help|zintrel $version"
  "--help --version|Usage: zintrel"
  "-Pitch --help|Usage: zintrel"
)
for display in - :99999; do
  for c in "${cases[@]}"; do
    args=${c%%|*} want=${c#*|}
    # shellcheck disable=SC2086
    run "$display" $args
    what="DISPLAY=$display zintrel $args"
    [ "$status" = 0 ] || fail "$what: status $status"
    [[ "$out" == "$want"* ]] || fail "$what: stdout begins '${out%%$'\n'*}'"
    [ -z "$err" ] || fail "$what: stderr '$err'"
  done
done
run - --version
[ "$out" = "zintrel $version" ] || fail "--version prints '$out'"
run - --help
for word in AutoStartOnly AutoStartAndHide "WrapMouse 0|1" "MakeNoSound 0|1" "Pitch N" \
  "Interval N" "default: 15" "default: 80" "default: 1)" "default: 0)" --help --version pkill; do
  grep -qF -- "$word" <<<"$out" || fail "--help lacks '$word'"
done
for option in AutoStartOnly AutoStartAndHide WrapMouse MakeNoSound Pitch Interval; do
  grep -qE -- "^  -$option( |$)" <<<"$out" || fail "--help has no line for -$option"
done

echo "--- a text that cannot be written is an error"
for option in --help --version; do
  env -u DISPLAY "$bin" "$option" >/dev/full 2>"$tmp/err"
  status=$?
  [ "$status" = 1 ] || fail "$option >/dev/full: status $status"
  if [ "$(wc -l <"$tmp/err")" != 1 ] || ! grep -q '^zintrel: cannot write' "$tmp/err"; then
    fail "$option >/dev/full: stderr '$(cat "$tmp/err")'"
  fi
done

# The no-display answer: status 1 and exactly one line that names what is
# missing. Tokens that are not exactly --help or --version get this answer
# too, as they go on to the panel (which then needs a display).
expect_no_display() {
  local what=$1 name=$2
  [ "$status" = 1 ] || fail "$what: status $status"
  [ -z "$out" ] || fail "$what: stdout '$out'"
  [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "$what: stderr is not one line: '$err'"
  [[ "$err" == "zintrel: "* ]] || fail "$what: stderr '$err'"
  grep -qi 'display' <<<"$err" || fail "$what: the line does not say a display is missing: '$err'"
  [ -z "$name" ] || grep -qF -- "$name" <<<"$err" || fail "$what: the line does not name $name"
  [ "$took" -lt 5000 ] || fail "$what: took $took ms"
  echo "$what: ${took} ms: $err"
}

echo "--- other tokens are the panel's"
for token in --HELP -help help --help=1 --versions -V -h; do
  run - "$token"
  expect_no_display "zintrel $token" ""
done

echo "--- no display"
run -
expect_no_display "DISPLAY unset" ""
run ""
expect_no_display "DISPLAY empty" ""
run :99999
expect_no_display "DISPLAY=:99999" ":99999"
run :99999 -AutoStartAndHide
expect_no_display "DISPLAY=:99999 -AutoStartAndHide" ":99999"

echo "--- a display that refuses the connection"
# A private server that wants a cookie the client does not have.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
: >"$tmp/auth"
fdfile=$tmp/displayfd
Xvfb -displayfd 1 -auth "$tmp/auth" -nolisten tcp -noreset >"$fdfile" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 200); do [ -s "$fdfile" ] && break; sleep 0.05; done
display=":$(head -n1 "$fdfile")"
xauth -f "$tmp/auth" add "$display" . "$cookie"
kill -HUP "$xvfb_pid"  # rereads the authority file
up=0
for _ in $(seq 300); do
  if XAUTHORITY=$tmp/auth xdpyinfo -display "$display" >/dev/null 2>&1; then up=1; break; fi
  sleep 0.1
done
[ "$up" = 1 ] || fail "refusing server: not up"
XAUTHORITY=$tmp/none run "$display"
expect_no_display "DISPLAY=$display without its cookie" "$display"
windows=$(XAUTHORITY=$tmp/auth DISPLAY=$display xdotool search --name . 2>/dev/null | wc -l)
[ "$windows" = 0 ] || fail "a window is left on the refusing server"

finish
