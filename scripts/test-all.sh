#!/usr/bin/env bash
# Runs every test of every tree (QUORVEL_TREES to choose some). Sets up and builds first what is
# missing, in full (native, the two sanitizer trees, windows), so it also works on a machine where
# nothing has been run yet. Ends with what was skipped or passed only on retry, and the tally
# (scripts/test-summary.sh). QUORVEL_TEST_JOBS caps ctest's parallel jobs on a shared machine.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

trees=${QUORVEL_TREES:-"native native-asan native-tsan windows"}
bash scripts/setup.sh || { echo "set-up failed"; exit 1; }
for preset in $trees; do
  echo "== configure and build: $preset"
  if [ ! -f "build/$preset/CMakeCache.txt" ]; then
    cmake --preset "$preset" >/dev/null || { echo "build failed"; exit 1; }
  fi
  cmake --build --preset "$preset" -- -k 0 || { echo "build failed"; exit 1; }
done
echo "== all trees built"

jobs=(${QUORVEL_TEST_JOBS:+-j "$QUORVEL_TEST_JOBS"})
status=0
logs=$(mktemp -d)
summary_args=()
for preset in $trees; do
  echo "== tests: $preset"
  log="$logs/$preset.log"
  summary_args+=("$preset=$log")
  if [ "$preset" = windows ]; then
    # One X display for the whole Windows phase; the prefix, a persistent server and a warm
    # process are prepared inside it. A Windows test that fails is run once more: a Wine process
    # can, rarely, die while starting under a full load (no output, no test run); a real fault fails
    # both times. The summary names every test that needed the second run.
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
      "build/windows/wine-prepare && ctest --preset windows ${jobs[*]} --timeout 300 --repeat until-pass:2" 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
    server=$(sed -n 's/^server="\(.*\)"$/\1/p' build/windows/wine-prepare)
    WINEPREFIX="$here/build/windows/wineprefix" "$server" -k >/dev/null 2>&1 || true
  elif [ "$preset" = native-tsan ]; then
    # The thread sanitizer tree runs the tests that exercise several threads.
    ctest --preset "$preset" "${jobs[@]}" --timeout 300 -L concurrency 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
  else
    ctest --preset "$preset" "${jobs[@]}" --timeout 300 2>&1 | tee "$log"
    rc=${PIPESTATUS[0]}
  fi
  [ "$rc" -eq 0 ] || status=1
done
echo
bash scripts/test-summary.sh "${summary_args[@]}" || status=1
rm -rf "$logs"
exit $status
