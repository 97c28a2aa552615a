#!/usr/bin/env bash
# Installs everything the builds need, from Debian 12 packages only: by default what every tree and
# its tests need; with "program", only what building and running the program needs.
# Idempotent: run it as often as you like (as root, or through sudo).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="${QUORVEL_DEPS_DIR:-$here/.deps}"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# What building and running the program needs (scripts/setup.sh program); the rest is for the tests
# and benchmarks of every tree. Wine draws the editor through the host's OpenGL: Mesa's drivers are
# part of the program's set, or the window would stay blank under a virtual display.
program_packages=(
  build-essential cmake ninja-build pkg-config
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth libgl1 libgl1-mesa-dri gstreamer1.0-plugins-base
  googletest libstb-dev dpf-source juce-modules-source-data fonts-roboto librsvg2-bin icoutils
  dpkg-dev
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  libosmesa6-dev mesa-common-dev libegl-dev libgles-dev
  clang libclang-rt-14-dev
  caps sox libsox-fmt-all
)
case "${1:-all}" in
  program) packages=("${program_packages[@]}") ;;
  all) packages=("${program_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: scripts/setup.sh [program|all]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

need_src=0
for s in rtaudio rtmidi libsdl2-image; do
  ls -d "$deps/src/$s"-*/ >/dev/null 2>&1 || need_src=1
done

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  # Source packages need a deb-src entry; add one mirroring the binary entries when there is none.
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      sed -E 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
        | as_root tee /etc/apt/sources.list.d/quorvel-src.sources >/dev/null
    else
      grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
        | as_root tee /etc/apt/sources.list.d/quorvel-src.list >/dev/null
    fi
  fi
  as_root apt-get update
fi

if [ ${#missing[@]} -gt 0 ]; then
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# Unpacked source packages: RtAudio, RtMidi and the NanoSVG headers shipped inside SDL2_image.
mkdir -p "$deps/src"
for s in rtaudio rtmidi libsdl2-image; do
  if ! ls -d "$deps/src/$s"-*/ >/dev/null 2>&1; then
    (cd "$deps/src" && apt-get source --download-only "$s" >/dev/null && dpkg-source -x --no-check "$s"_*.dsc >/dev/null)
  fi
done

echo "setup: all dependencies present (sources in $deps/src)"
