#!/usr/bin/env bash
# install-test.sh BUILD_DIR WORK_DIR
# `cmake --install` into WORK_DIR/prefix, then, with a fresh home: the
# installed tavik-cli sets up the user's data from the installed copy of the
# bundled data (not the source tree's) and draws a picture; the desktop entry
# and the AppStream metainfo pass their validators. Exit 77 (skipped) when
# desktop-file-validate or appstreamcli is missing.
set -euo pipefail
build=$1 work=$2
for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (tools/install-deps.sh installs it)"
    exit 77
  fi
done

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.arvex.Tavik
for f in bin/tavik bin/tavik-cli bin/tavik-mountsim \
         share/tavik/tavik.dat share/tavik/tavikline.dat share/tavik/tavikconste.dat share/tavik/Milkey.p92 \
         share/tavik/Ori.p91 share/tavik/deep/tavik.dat share/tavik/deep/Ori.p91 \
         share/tavik/taviksize.dat share/tavik/deep/taviksize.dat \
         share/applications/$id.desktop share/icons/hicolor/scalable/apps/$id.svg share/metainfo/$id.metainfo.xml; do
  [ -e "$prefix/$f" ] || fail "$f was not installed"
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo"

# Mark the installed description so that its copy shows where the data came from.
printf 'installed copy\r\n' >"$prefix/share/tavik/Ori.p91"
export HOME=$work/home
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME"
user=$HOME/.local/share/Arvex/Tavik
"$prefix/bin/tavik-cli" data >"$work/data.txt" || fail "tavik-cli data: $(cat "$work/data.txt")"
grep -qx "catalog	$user/tavik.dat" "$work/data.txt" || fail "unexpected data location: $(cat "$work/data.txt")"
cmp -s "$prefix/share/tavik/Ori.p91" "$user/Ori.p91" || fail "the user's data was not copied from $prefix/share/tavik"
[ -w "$user/tavik.dat" ] && [ -w "$user/deep/tavik.dat" ] || fail "the user's copies are not writable"
cmp -s "$prefix/share/tavik/deep/taviksize.dat" "$user/deep/taviksize.dat" || fail "the deep-sky sizes were not copied"

"$prefix/bin/tavik-cli" render --out "$work/sky.png" --mode planisphere --size 240x240 \
  --date 2026-01-15 --time 21:00:00 || fail "tavik-cli render"
[ -s "$work/sky.png" ] || fail "no picture"
"$prefix/bin/tavik-cli" render --out "$work/deep.png" --data "$prefix/share/tavik/deep" --mode direction \
  --size 320x240 --date 2026-01-15 --time 21:00:00 || fail "tavik-cli render --data deep"
echo "installed into $prefix: programs, data, desktop entry, icon and metainfo are in place"
