#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the tree a desktop
# expects: the binary, a valid desktop entry, the hicolor icons rendered from
# the one SVG, valid AppStream metadata and a man page that renders cleanly.
set -uo pipefail
here=$(dirname "$0")
. "$here/lib.sh"
. "$here/expected_files.sh"
build=${1:?build directory}
version=$(project_version "$build")

# The prefix holds only what is installed; the logs go beside it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log" >&2
  fail "cmake --install failed"
  finish
fi

echo "--- the file list"
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(expected_files)" ] ||
  fail "installed files differ:$(diff <(expected_files) <(printf '%s\n' "$actual"))"
[ -x "$prefix/bin/zintrel" ] || fail "bin/zintrel is not executable"
out=$(env -u DISPLAY "$prefix/bin/zintrel" --version)
[ "$out" = "zintrel $version" ] || fail "installed binary --version: '$out'"

echo "--- the desktop entry"
desktop=$prefix/share/applications/zintrel.desktop
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[ -z "$report" ] || fail "desktop-file-validate: $report"
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not the installed binary"
[ "$(sed -n 's/^Icon=//p' "$desktop")" = zintrel ] || fail "Icon= is not the installed icon's name"
grep -qx 'Terminal=false' "$desktop" || fail "the desktop entry asks for a terminal"

echo "--- the icons"
svg=$prefix/share/icons/hicolor/scalable/apps/zintrel.svg
cmp -s "$svg" "${ZINTREL_SOURCE_DIR:?}/res/icon.svg" || fail "scalable icon is not res/icon.svg"
for size in $icon_sizes; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/zintrel.png
  file -b "$png" | grep -q "^PNG image data, $size x $size," ||
    fail "${size}px icon: $(file -b "$png")"
  # The same art: each PNG is the scalable icon rendered at its size.
  rsvg-convert -w "$size" -h "$size" "$svg" | cmp -s - "$png" ||
    fail "${size}px icon is not the scalable icon rendered at ${size}px"
done

echo "--- the AppStream metadata"
metainfo=$prefix/share/metainfo/org.example.zintrel.metainfo.xml
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/as.log" 2>&1 ||
  fail "appstreamcli validate: $(cat "$work/as.log")"
grep -q '<id>org.example.zintrel</id>' "$metainfo" || fail "metainfo id"
grep -q '<launchable type="desktop-id">zintrel.desktop</launchable>' "$metainfo" ||
  fail "metainfo does not launch zintrel.desktop"
grep -q '<screenshot type="default">' "$metainfo" || fail "metainfo has no screenshot"
grep -q '<description>' "$metainfo" || fail "metainfo has no description"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
# Addresses only under the domain reserved for documentation.
grep -o 'https\?://[^<"]*' "$metainfo" | grep -v '^https://zintrel\.example\.org/' &&
  fail "metainfo links outside https://zintrel.example.org/"

echo "--- the man page"
man1=$prefix/share/man/man1/zintrel.1.gz
warnings=$(zcat "$man1" | groff -man -Tutf8 -ww -z 2>&1)
[ -z "$warnings" ] || fail "groff warnings: $warnings"
page=$(MANWIDTH=80 man -l "$man1" 2>&1 | col -b) || fail "man -l failed"
for needle in "zintrel $version" \
  "AutoStartOnly, -AutoStartOnly" "AutoStartAndHide, -AutoStartAndHide" \
  "WrapMouse, -WrapMouse 0|1" "MakeNoSound, -MakeNoSound 0|1" \
  "Pitch, -Pitch N" "Interval, -Interval N" "--help" "--version" \
  "default is 15" "default is 80" "(1, the default)" "(0, the default)" \
  "ENDING A HIDDEN ZINTREL" "pkill -x zintrel" SIGTERM SIGINT SIGHUP; do
  grep -qF -- "$needle" <<<"$(tr -s ' \n' ' ' <<<"$page")" || fail "man page lacks '$needle'"
done

finish
