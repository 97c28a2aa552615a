#!/usr/bin/env bash
# The first command on a fresh Debian 12 machine: installs what the program needs, builds the
# program alone (the Windows tree's Quorvel.exe and the resources linked into it, cross-built with
# MinGW-w64; none of the tests) and starts it under Wine (scripts/run-program.sh). The test command,
# scripts/test-all.sh, installs the rest and builds every tree in full.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

bash scripts/setup.sh program

echo "== configure and build: the program (windows tree)"
if [ ! -f build/windows/CMakeCache.txt ]; then
  cmake --preset windows >/dev/null
fi
cmake --build --preset windows --target quorvel_program
echo "== program built: build/windows/Quorvel.exe"

bash scripts/run-program.sh
