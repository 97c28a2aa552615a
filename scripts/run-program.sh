#!/usr/bin/env bash
# Starts the standalone program of the Windows tree under Wine, in the tree's own prefix (made
# ready first when it is missing). On the user's display the program is left running and the
# command returns; without a display it runs once on a virtual display with no devices, saves a
# screenshot of its window into the build folder and prints the file's name.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"

build="$here/build/windows"
exe="$build/Quorvel.exe"
if [ ! -f "$exe" ]; then
  echo "no $exe: build the windows tree first (scripts/setup-and-build.sh)" >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ]; then
  # The prefix's server starts here, with the user's display already set.
  "$build/wine-prepare"
  nohup "$build/wine-run" "$exe" >/dev/null 2>&1 </dev/null &
  echo "Quorvel started on display $DISPLAY"
else
  shot="$build/quorvel-screenshot.png"
  rm -f "$shot"
  # The prefix's server lives only as long as the virtual display: stop it before the display goes.
  server=$(sed -n 's/^server="\(.*\)"$/\1/p' "$build/wine-prepare")
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c \
    "'$build/wine-prepare' && timeout 120 '$build/wine-run' '$exe' --no-io --screenshot 'Z:${shot//\//\\}'; \
     rc=\$?; WINEPREFIX='$build/wineprefix' '$server' -k; exit \$rc"
  if [ ! -f "$shot" ]; then
    echo "the program did not save its screenshot" >&2
    exit 1
  fi
  echo "Quorvel ran on a virtual display; screenshot: $shot"
fi
