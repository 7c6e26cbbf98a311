#!/usr/bin/env bash
# Refreshes the pictures in docs/screenshots/: runs the end-to-end desktop
# test (the local server, real clients and a practice opponent on a virtual
# X display), which photographs the channel screen, the lobby, the room
# creation dialog, a game and its result, and keeps each picture at half
# size. Screens that are not built yet leave their old picture alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target e2e_desktop_tests -j "$(nproc)"
shots=$(mktemp -d -t tovrik-shots.XXXXXX)
trap 'rm -rf "$shots"' EXIT
status=0
TOVRIK_E2E_SCREENSHOTS=$shots build/tests/e2e_desktop_tests --gtest_brief=1 >"$shots/run.log" 2>&1 || status=$?
grep '^\[e2e' "$shots/run.log" || true
mkdir -p docs/screenshots
for picture in "$shots"/*.png; do
  [ -e "$picture" ] || continue
  # The display is larger than the client's 800 x 600 window, which the
  # display centres (there is no window manager to place it elsewhere).
  read -r width height < <(pngtopnm "$picture" | pnmfile | sed -E 's/.* ([0-9]+) by ([0-9]+).*/\1 \2/')
  pngtopnm "$picture" | pnmcut -left $(((width - 800) / 2)) -top $(((height - 600) / 2)) -width 800 -height 600 |
    pamscale 0.5 | pnmtopng -compression 9 >"docs/screenshots/$(basename "$picture")"
  echo "docs/screenshots/$(basename "$picture")"
done
if [ "$status" -ne 0 ]; then
  echo "the end-to-end run failed (status $status); its log:" >&2
  cat "$shots/run.log" >&2
  exit "$status"
fi
