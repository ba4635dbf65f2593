#!/usr/bin/env bash
# Builds the Debian package from this build and checks it with dpkg-deb: its
# name, its files (those of the installed tree, under /usr), a stripped and
# hardened binary that runs, and dependencies worked out from the binary;
# then lintian, Debian's own checker, which must find no error or warning.
# With ZINTREL_TEST_APT_INSTALL=1 (as root) it also installs the package with
# apt-get, checks it, and removes it again.
set -uo pipefail
here=$(dirname "$0")
. "$here/lib.sh"
. "$here/expected_files.sh"
build=${1:?build directory}
version=$(project_version "$build")
deb_version=$(package_version "$build")
arch=$(dpkg --print-architecture)

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! (cd "$build" && cpack -G DEB -B "$out") >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  fail "cpack failed"
  finish
fi
deb=$out/zintrel_${deb_version}_${arch}.deb
[ -f "$deb" ] || { fail "no $deb: $(ls "$out")"; finish; }

echo "--- the control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zintrel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$deb_version" ] || fail "Version: $(field Version)"
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
check_hardening "$out/root/usr/bin/zintrel"
perms=$(dpkg-deb -c "$deb" | awk '{print $1}' | sort -u | tr '\n' ' ')
[ "$perms" = "-rw-r--r-- -rwxr-xr-x drwxr-xr-x " ] || fail "modes other than 644 and 755: $perms"

echo "--- the licence and the changelog"
doc=$out/root/usr/share/doc/zintrel
grep -qx 'License: MIT' "$doc/copyright" || fail "copyright does not name the MIT licence"
# The stand-alone License paragraph (after a blank line) holds the text.
cmp -s <(awk 'f; /^License: MIT$/ && prev == "" {f = 1} {prev = $0}' "$doc/copyright" |
  sed 's/^ //; s/^\.$//') \
  <(sed -n '/^Permission/,$p' "${ZINTREL_SOURCE_DIR:?}/LICENSE") ||
  fail "copyright's licence text is not LICENSE's"
[ "$(zcat "$doc/changelog.Debian.gz" | dpkg-parsechangelog -l- -SVersion)" = "$deb_version" ] ||
  fail "the changelog's last entry is not version $deb_version"

echo "--- lintian"
# Only its tags count (as root it also warns on stderr that it runs as root).
lintian --fail-on error,warning --tag-display-limit 0 \
  "$deb" >"$out/lintian.log" 2>"$out/lintian.err"
lintian_status=$?
cat "$out/lintian.log"
if [ "$lintian_status" != 0 ] || grep -q '^[EW]: ' "$out/lintian.log"; then
  fail "lintian: status $lintian_status$(cat "$out/lintian.err")"
fi

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
