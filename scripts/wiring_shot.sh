#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# wiring_shot.sh SHEET OUT.png
# Renders a wiring sheet (SVG or HTML, as tamberlo-gen --wiring writes it) to
# a PNG of an A4 page at 96 dpi with headless Chromium. Exits 77 when
# Chromium is not installed (the tests count that as skipped). Chromium gets
# a scratch profile and no network beyond the file itself.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: wiring_shot.sh SHEET OUT.png" >&2; exit 2; }
sheet=$(realpath "$1")
out=$(realpath -m "$2")
[ -f "$sheet" ] || { echo "wiring_shot.sh: no sheet $1" >&2; exit 2; }

browser=""
for b in chromium chromium-browser; do
  if command -v "$b" >/dev/null 2>&1; then browser=$b; break; fi
done
[ -n "$browser" ] || { echo "wiring_shot.sh: chromium is not installed; skipped"; exit 77; }

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
rm -f "$out"
# 210 x 297 mm at 96 dpi is 794 x 1123 pixels.
timeout 120 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync --disable-default-apps \
  --disable-extensions --user-data-dir="$profile" --window-size=794,1123 \
  --screenshot="$out" "file://$sheet" >"$profile/log" 2>&1 || { cat "$profile/log" >&2; exit 1; }
[ -s "$out" ] || { echo "wiring_shot.sh: chromium wrote no picture" >&2; cat "$profile/log" >&2; exit 1; }
echo "$out"
