#!/usr/bin/env bash
# Starts the planetarium window build/bin/tavik. Where no display is available
# it says so and draws the same sky into a picture with tavik-cli instead:
# <build>/tavik-sky.png (inside the build folder, which git ignores), or the
# path in TAVIK_SKY_PICTURE. TAVIK_BUILD_DIR selects another build folder
# (default: build).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${TAVIK_BUILD_DIR:-$here/build}"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/tavik" "$@"
fi

out="${TAVIK_SKY_PICTURE:-$build/tavik-sky.png}"
echo "tavik: no display here (DISPLAY and WAYLAND_DISPLAY are not set), so the window cannot open." >&2
echo "Drawing tonight's sky as the window would show it instead:" >&2
echo "  $build/bin/tavik-cli render --out $out --mode planisphere" >&2
"$build/bin/tavik-cli" render --out "$out" --mode planisphere
echo "Wrote the picture to $(realpath "$out")" >&2
