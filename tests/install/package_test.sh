#!/usr/bin/env bash
# Builds the Debian package from this build and checks it with dpkg-deb: its
# name, its files (those of the installed tree, under /usr), a stripped
# binary that runs, and dependencies worked out from the binary.
# With ZINTREL_TEST_APT_INSTALL=1 (as root) it also installs the package with
# apt-get, checks it, and removes it again.
set -uo pipefail
here=$(dirname "$0")
. "$here/lib.sh"
. "$here/expected_files.sh"
build=${1:?build directory}
version=$(project_version "$build")
arch=$(dpkg --print-architecture)

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! (cd "$build" && cpack -G DEB -B "$out") >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  fail "cpack failed"
  finish
fi
deb=$out/zintrel_${version}_${arch}.deb
[ -f "$deb" ] || { fail "no $deb: $(ls "$out")"; finish; }

echo "--- the control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zintrel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"

echo "--- the dependencies"
depends=$(field Depends)
echo "Depends: $depends"
# Every dependency is a real package of this system with a least version (as
# dpkg-shlibdeps writes them), never a -dev one.
names=()
IFS=',' read -ra entries <<<"$depends"
for entry in "${entries[@]}"; do
  read -r name rest <<<"$entry"
  names+=("$name")
  [[ "$rest" == "(>= "*")" ]] || fail "dependency without a least version: $entry"
  dpkg-query -W "$name" >/dev/null 2>&1 || fail "dependency $name is no known package"
  [[ "$name" == *-dev ]] && fail "dependency on a development package: $name"
done
# The libraries the binary links, as dpkg-shlibdeps names their packages.
for package in libc6 libstdc++6 libwxgtk3.2-1 libwxbase3.2-1 libsdl2-2.0-0 libxcb1 libxcb-randr0; do
  printf '%s\n' "${names[@]}" | grep -qxF "$package" || fail "Depends lacks $package"
done

echo "--- the files"
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | LC_ALL=C sort)
[ "$files" = "$(expected_files)" ] ||
  fail "package files differ:$(diff <(expected_files) <(printf '%s\n' "$files"))"
owners=$(dpkg-deb -c "$deb" | awk '{print $2}' | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"
dpkg-deb -x "$deb" "$out/root"
file -b "$out/root/usr/bin/zintrel" | grep -q ', stripped' || fail "the packaged binary is not stripped"
[ "$(env -u DISPLAY "$out/root/usr/bin/zintrel" --version)" = "zintrel $version" ] ||
  fail "the packaged binary does not run"

if [ "${ZINTREL_TEST_APT_INSTALL:-0}" = 1 ]; then
  echo "--- apt-get install"
  if dpkg-query -W -f='${Status}' zintrel 2>/dev/null | grep -q 'install ok installed'; then
    fail "zintrel is installed already: not touching it"
  elif ! apt-get install -y -q "$deb" >"$out/apt.log" 2>&1; then
    fail "apt-get install: $(tail -n 5 "$out/apt.log")"
  else
    [ "$(env -u DISPLAY zintrel --version)" = "zintrel $version" ] || fail "installed zintrel"
    dpkg -L zintrel | grep -qx /usr/share/applications/zintrel.desktop || fail "dpkg -L"
    apt-get remove -y -q --purge zintrel >/dev/null 2>&1 || fail "apt-get remove"
  fi
fi

finish
