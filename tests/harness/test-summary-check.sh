#!/usr/bin/env bash
# The test run's closing summary from a canned log of a Windows run: tests that passed only on their
# second run are named and counted (one that failed twice is not), skipped tests are named and not
# counted as passed, more than two retries fail the run only under CI; a tree whose log has no
# ctest summary (its set-up failed) counts as a failure, one with no tests does not.
set -u
summary=$1 logs=$2 fails=0
scratch=$(mktemp -d) && trap 'rm -rf "$scratch"' EXIT
: >"$scratch/broken.log" && echo "No tests were found!!!" >"$scratch/none.log"

expect() { # what, status, output, command...
  local got rc
  got=$("${@:4}" 2>&1) && rc=0 || rc=$?
  [ "$rc" -eq "$2" ] && [ "$got" = "$3" ] && return
  printf 'FAIL: %s\nwanted (%s):\n%s\ngot (%s):\n%s\n' "$1" "$2" "$3" "$rc" "$got" && fails=1
}

run=(bash "$summary" windows="$logs/ctest-retries.log")
named="skipped (1): WindowFixture.PaintingLeavesAHostsOwnContextCurrent [windows]
passed on retry (3): WindowFixture.APartialInvalidationRepaintsOnlyWhatIsDirtyAsThePrintedFrameShows [windows], \
ModelPictures/DeliverableResources.ModelPictureIsEmbedded/5 [windows], CommandLine.ScreenshotWritesAPng [windows]"
tally="Quorvel: 4 passed, 1 failed"
expect "off CI" 0 "$named"$'\n'"$tally" env -u CI "${run[@]}"
expect "CI=false" 0 "$named"$'\n'"$tally" env CI=false "${run[@]}"
expect "CI" 1 "$named"$'\n'"CI: more than two tests passed only on retry; the run fails"$'\n'"$tally" env CI=true "${run[@]}"
expect "no summary" 0 "Quorvel: 0 passed, 1 failed" \
  env CI=true bash "$summary" native="$scratch/broken.log" native-tsan="$scratch/none.log"
exit $fails
