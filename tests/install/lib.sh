# shellcheck shell=bash disable=SC2034  # status is for the sourcing script
# Shared by the scripts here: failures are counted and reported at the end.
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)" >&2
    exit 1
  fi
  echo "all passed"
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Waits up to $2 seconds for process $1 to end; sets `status` (the exit
# status, or "timeout" after which the process is killed).
wait_exit() {
  local pid=$1 limit=$(($2 * 100))
  for _ in $(seq "$limit"); do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; status=$?; return 0; fi
    sleep 0.01
  done
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  status=timeout
  return 1
}

# Waits up to $2 seconds for a window named exactly $1 (visible or not, as
# $3 says: "visible" or "any"); prints its id.
wait_window() {
  local name=$1 limit=$(($2 * 10)) only=() id
  [ "${3:-visible}" = visible ] && only=(--onlyvisible)
  for _ in $(seq "$limit"); do
    id=$(xdotool search "${only[@]}" --name "^${name}\$" 2>/dev/null | head -n1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}

# Lines of stderr that are Zintrel's own (SDL's disk driver announces itself
# with "CRITICAL:" lines, which are not ours).
own_lines() { grep -v '^CRITICAL: ' "$1" || true; }

# Checks that binary $1 is hardened as Debian builds are: a position-
# independent executable, a read-only GOT bound at start (full RELRO), the
# stack protector and fortified libc calls. Counts a failure for each lack.
check_hardening() {
  local bin=$1 header program dynamic symbols
  header=$(readelf -hW "$bin") program=$(readelf -lW "$bin") dynamic=$(readelf -dW "$bin")
  symbols=$(readelf --dyn-syms -W "$bin" | awk '{print $8}' | sed 's/@.*//')
  grep -Eq 'Type: +DYN' <<<"$header" || fail "$bin is no position-independent executable"
  grep -Eq '\(FLAGS_1\).*PIE' <<<"$dynamic" || fail "$bin lacks the PIE flag"
  grep -q GNU_RELRO <<<"$program" || fail "$bin has no RELRO segment"
  grep -Eq '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW' <<<"$dynamic" ||
    fail "$bin is not bound at start (-z now): partial RELRO only"
  grep -qx __stack_chk_fail <<<"$symbols" || fail "$bin is built without the stack protector"
  grep -Eqx '__[a-z0-9_]+_chk' <<<"$symbols" || fail "$bin calls no fortified function"
}
