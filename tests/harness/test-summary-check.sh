#!/usr/bin/env bash
# The test run's closing summary, read from a canned log of a Windows run: tests that passed only on
# their second run are named and counted, a test that failed twice is not among them, skipped tests
# are named and not counted as passed, and more than two retries fail the run only under CI. A tree
# whose log has no ctest summary (its set-up failed) counts as a failure; one with no tests does not.
set -u
summary=$1 logs=$2 # scripts/test-summary.sh and the folder of canned logs
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
: >"$scratch/broken.log"
echo "No tests were found!!!" >"$scratch/none.log"
fails=0

expect() { # what, expected status, expected output, command...
  local what=$1 want_rc=$2 want=$3 got rc
  shift 3
  got=$("$@" 2>&1)
  rc=$?
  if [ "$rc" -ne "$want_rc" ] || [ "$got" != "$want" ]; then
    printf 'FAIL: %s\nwanted (status %s):\n%s\ngot (status %s):\n%s\n' "$what" "$want_rc" "$want" "$rc" "$got"
    fails=1
  fi
}

run="bash $summary windows=$logs/ctest-retries.log"
named="skipped (1): WindowFixture.PaintingLeavesAHostsOwnContextCurrent [windows]
passed on retry (3): WindowFixture.APartialInvalidationRepaintsOnlyWhatIsDirtyAsThePrintedFrameShows [windows], ModelPictures/DeliverableResources.ModelPictureIsEmbedded/5 [windows], CommandLine.ScreenshotWritesAPng [windows]"
expect "retries named, counted, allowed off CI" 0 "$named
Quorvel: 4 passed, 1 failed" env -u CI $run
expect "CI=false is not CI" 0 "$named
Quorvel: 4 passed, 1 failed" env CI=false $run
expect "three retries fail a CI run" 1 "$named
CI: more than two tests passed only on retry; the run fails
Quorvel: 4 passed, 1 failed" env CI=true $run
expect "a log without a summary is a failure, no tests is none" 0 "Quorvel: 0 passed, 1 failed" \
  env CI=true bash "$summary" native="$scratch/broken.log" native-tsan="$scratch/none.log"
exit $fails
