#!/usr/bin/env bash
# Regenerates the bundled sky data under data/ and data/deep/ from the open data of the npm
# package d3-celestial 0.7.35 (BSD-3-Clause), then the constellation
# descriptions (*.p91) from the catalogue it wrote.
#
#   tools/skydata/regenerate.sh [BUILD_DIR]      (default: build)
#
# Needs node/npm only for this step; the generated files are committed, so a
# normal build needs neither.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-"$root/build"}
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac

cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target tavik-skydata
npm install --prefix "$build/skydata-npm" --no-save --no-audit --no-fund d3-celestial@0.7.35
"$build/bin/tavik-skydata" "$build/skydata-npm/node_modules/d3-celestial/data" "$root/data"
# The deep set: the same files with every Hipparcos star to magnitude 11.5.
"$build/bin/tavik-skydata" --deep "$build/skydata-npm/node_modules/d3-celestial/data" "$root/data/deep"
# The constellation descriptions are made from the catalogue just written.
"$build/bin/tavik-skydata" --descriptions "$root/data"
"$build/bin/tavik-skydata" --descriptions "$root/data/deep"
