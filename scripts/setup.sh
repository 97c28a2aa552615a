#!/usr/bin/env bash
# Installs everything the two builds need, from Debian 12 packages only.
# Idempotent: run it as often as you like (as root, or through sudo).
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="${QUORVEL_DEPS_DIR:-$here/.deps}"

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(
  build-essential cmake ninja-build pkg-config
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 xvfb xauth
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libstb-dev dpf-source juce-modules-source-data fonts-roboto
  libosmesa6-dev libgl1-mesa-dri mesa-common-dev libegl-dev libgles-dev
  clang libclang-rt-14-dev
  gstreamer1.0-plugins-base dpkg-dev
  caps sox libsox-fmt-all
)

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
