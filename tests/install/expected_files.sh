# shellcheck shell=bash
# The files of an installed Zintrel, relative to the prefix, sorted.
expected_files() {
  printf '%s\n' \
    bin/zintrel \
    share/applications/zintrel.desktop \
    share/icons/hicolor/128x128/apps/zintrel.png \
    share/icons/hicolor/16x16/apps/zintrel.png \
    share/icons/hicolor/256x256/apps/zintrel.png \
    share/icons/hicolor/32x32/apps/zintrel.png \
    share/icons/hicolor/48x48/apps/zintrel.png \
    share/icons/hicolor/64x64/apps/zintrel.png \
    share/icons/hicolor/scalable/apps/zintrel.svg \
    share/doc/zintrel/changelog.Debian.gz \
    share/doc/zintrel/copyright \
    share/lintian/overrides/zintrel \
    share/man/man1/zintrel.1.gz \
    share/metainfo/org.example.zintrel.metainfo.xml | LC_ALL=C sort
}
# shellcheck disable=SC2034  # used by the scripts that source this
icon_sizes="16 32 48 64 128 256"

# The project's version, as the build knows it.
project_version() { sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$1/CMakeCache.txt"; }
# The Debian package's version: the project's and the package's revision.
package_version() {
  echo "$(project_version "$1")-$(sed -n 's/^ZINTREL_DEB_REVISION:INTERNAL=//p' "$1/CMakeCache.txt")"
}
