#!/usr/bin/env bash
# Regenerates the bundled sky data under data/ and data/deep/ from the open data of the npm
# package d3-celestial 0.7.35 (BSD-3-Clause) and the OpenNGC database in
# tools/skydata/openngc (CC BY-SA 4.0), then the constellation
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
d3="$build/skydata-npm/node_modules/d3-celestial/data"
# The deep-sky objects and their sizes come from OpenNGC (CC BY-SA 4.0), kept in the tree.
openngc="$root/tools/skydata/openngc"
"$build/bin/tavik-skydata" "$d3" "$openngc" "$root/data"
# The deep set: the same files with every Hipparcos star to magnitude 11.5 and
# every deep-sky object of OpenNGC.
"$build/bin/tavik-skydata" --deep "$d3" "$openngc" "$root/data/deep"
# The constellation descriptions are made from the catalogue just written.
"$build/bin/tavik-skydata" --descriptions "$root/data"
"$build/bin/tavik-skydata" --descriptions "$root/data/deep"
