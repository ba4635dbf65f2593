#!/usr/bin/env bash
# Sets up a Debian 12 machine for Zintrel, builds it, then runs it or its tests.
#
#   scripts/setup.sh run [zintrel options...]   set up, build, start Zintrel
#   scripts/setup.sh test                       set up, build, run the whole test suite
#   scripts/setup.sh build                      set up and build only
#   scripts/setup.sh sanitize                   set up, fuzz the command-line parse, then
#                                               build and run the whole test suite under
#                                               ASan+UBSan and under TSan
#
# Installs only the Debian packages that are missing (as root, or through sudo).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
mode=${1:-build}
[ $# -gt 0 ] && shift

packages=(
  build-essential cmake ninja-build pkg-config git
  libwxgtk3.2-dev libx11-dev libgtk-3-dev libxcb1-dev libxcb-randr0-dev libxcb-xinput-dev libsdl2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-xserver-utils x11-utils imagemagick sox
  clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev file fakeroot librsvg2-bin lintian
  fonts-dejavu-core
  pulseaudio pulseaudio-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$mode" = sanitize ]; then
  # The command-line parse under libFuzzer first (a minute unless
  # ZINTREL_FUZZ_SECONDS says otherwise), checked against a model of its
  # rules; the inputs it found worth keeping stay in build-fuzz/corpus.
  echo "setup: fuzzing the command-line parse in build-fuzz"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZINTREL_FUZZ=ON -DZINTREL_HARDEN=OFF -DBUILD_TESTING=OFF >/dev/null
  cmake --build build-fuzz --target command_line_fuzz
  mkdir -p build-fuzz/corpus
  build-fuzz/tests/fuzz/command_line_fuzz -max_total_time="${ZINTREL_FUZZ_SECONDS:-60}" \
    -dict=tests/fuzz/command_line.dict -artifact_prefix=build-fuzz/ -print_final_stats=1 \
    build-fuzz/corpus
  # Debug builds of their own, so the plain build is left as it is.
  for sanitizer in address thread; do
    dir=build-$sanitizer
    echo "setup: the whole suite with -fsanitize=$sanitizer in $dir"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZINTREL_WERROR=ON \
      -DZINTREL_SANITIZE="$sanitizer" >/dev/null
    cmake --build "$dir"
    scripts/run-tests.sh "$dir"
  done
  exit 0
fi

build_dir=${ZINTREL_BUILD_DIR:-build}
cmake_args=(-S . -B "$build_dir" -G Ninja)
[ "$mode" = test ] && cmake_args+=(-DZINTREL_WERROR=ON)
cmake "${cmake_args[@]}" ${ZINTREL_CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir"

case "$mode" in
  build) ;;
  run) exec "$build_dir/zintrel" "$@" ;;
  test) exec scripts/run-tests.sh "$build_dir" ;;
  *) echo "usage: scripts/setup.sh [run|test|build|sanitize] [options]" >&2; exit 2 ;;
esac
