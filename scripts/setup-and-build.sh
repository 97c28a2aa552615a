#!/usr/bin/env bash
# Sets up a Debian 12 machine (packages, unpacked sources) and builds every tree:
# native (tests, benchmarks), native-asan and native-tsan (tests under sanitizers)
# and windows (the deliverables and their tests, cross-built with MinGW-w64); then starts the
# program under Wine (scripts/run-program.sh).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

bash scripts/setup.sh

trees=${QUORVEL_TREES:-"native native-asan native-tsan windows"}
for preset in $trees; do
  echo "== configure and build: $preset"
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null
  fi
  cmake --build --preset "$preset" -- -k 0
done
echo "== all trees built"

# The program itself, when the Windows tree was built (the test command only builds: QUORVEL_BUILD_ONLY=1).
if [ -z "${QUORVEL_BUILD_ONLY:-}" ]; then
  case " $trees " in
    *" windows "*) bash scripts/run-program.sh ;;
  esac
fi
