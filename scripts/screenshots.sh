#!/usr/bin/env bash
# Photographs the parameter pages of the Windows build: starts a virtual X
# screen (Xvfb), shows the pages there with page_shots.exe under wine64,
# saves each sheet as a PNG with ImageMagick's import, and stops everything.
#
#   scripts/screenshots.sh [BUILD_DIR]      default build/win64
#
# Writes BUILD_DIR/screenshots/{export,record,features}-page.png. Fails when
# the program's checks fail or a picture is missing or blank. Wine runs in a
# prefix of its own (BUILD_DIR/wineprefix-screen), so its desktop is the X
# screen and no test running without a display shares it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${1:-build/win64}
build=$(cd "$build" && pwd)
program=$build/bin/page_shots.exe
out=$build/screenshots
shots=(export-page record-page features-page)

fail() { echo "screenshots: $*" >&2; exit 1; }
for tool in Xvfb import identify; do
  command -v $tool >/dev/null || fail "$tool is missing (Debian packages xvfb and imagemagick)"
done
[[ -f $program ]] || fail "$program was not built (cmake --build --preset win64)"

rm -rf "$out"
mkdir -p "$out"
export WINEPREFIX=$build/wineprefix-screen
xvfb_pid= shots_pid=
cleanup() {
  [[ -n $shots_pid ]] && kill "$shots_pid" 2>/dev/null || true
  scripts/wine-run.sh --stop "$build" >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT

# Xvfb takes a free display number and writes it to the file. Its own
# time limit stops it even when this script is killed outright.
screen=2000x1100
timeout 600 Xvfb -displayfd 3 -screen 0 ${screen}x24 -nolisten tcp 3>"$out/.display" 2>"$out/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [[ -s $out/.display ]] && break
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start: $(cat "$out/xvfb.log")"
  sleep 0.1
done
[[ -s $out/.display ]] || fail "Xvfb gave no display number within 10 s"
display=:$(head -n1 "$out/.display")
export RYN_WINE_DISPLAY=$display

# The first start makes the prefix; the wait for it is not the program's.
# Windows open on a wine desktop of the screen's size, where wine draws
# their frames and captions itself (Xvfb has no window manager).
if [[ ! -f $WINEPREFIX/.ryn-desktop ]]; then
  timeout 240 scripts/wine-run.sh --init "$build" || fail "could not make the wine prefix $WINEPREFIX"
  timeout 30 scripts/wine-run.sh reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shots /f >/dev/null &&
    timeout 30 scripts/wine-run.sh reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shots /d "$screen" /f >/dev/null ||
    fail "could not set up the wine desktop in $WINEPREFIX"
  touch "$WINEPREFIX/.ryn-desktop"
fi

RYN_WINE_DISPLAY=$display timeout 120 scripts/wine-run.sh "$program" examples/env "$(realpath --relative-to=. "$out")/.stop" 90 \
  >"$out/page_shots.out" 2>"$out/page_shots.err" </dev/null &
shots_pid=$!
for _ in $(seq 600); do
  grep -q '^ready' "$out/page_shots.out" 2>/dev/null && break
  kill -0 "$shots_pid" 2>/dev/null || break
  sleep 0.1
done
grep -q '^ready' "$out/page_shots.out" ||
  fail "page_shots did not show the pages within 60 s: $(cat "$out/page_shots.err")"
sleep 1  # the first paint

while read -r word name x y width height; do
  [[ $word == shot ]] || continue
  import -display "$display" -window root -crop "${width}x${height}+${x}+${y}" +repage "$out/$name.png"
done <"$out/page_shots.out"

touch "$out/.stop"
rc=0
wait "$shots_pid" || rc=$?
shots_pid=
if ((rc != 0)); then
  cat "$out/page_shots.err" >&2
  fail "page_shots failed (exit $rc)"
fi

for name in "${shots[@]}"; do
  png=$out/$name.png
  [[ -s $png ]] || fail "no picture $png"
  # A page with real controls has text and frames in many shades; a blank capture has one.
  colours=$(identify -format '%k' "$png")
  ((colours > 16)) || fail "$png is blank ($colours colours)"
  echo "screenshots: $png ($(identify -format '%wx%h' "$png"), $colours colours)"
done
rm -f "$out/.display" "$out/.stop"
