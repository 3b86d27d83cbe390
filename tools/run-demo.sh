#!/bin/sh
# make run: lays out the demo, registers the stand-in simulator in the Wine
# prefix and starts Vellmora on $DISPLAY, or under Xvfb with a screenshot.
set -eu
build=$(cd "$1" && pwd)
repo=$(cd "$(dirname "$0")/.." && pwd)
demo=$(sh "$repo/tools/make-demo.sh" "$build")
WRUN="$repo/cmake/wine-run.sh"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
"$WRUN" reg add 'HKLM\Software\Microsoft\Microsoft Games\Flight Simulator\8.0' /v 'EXE Path' \
  /d "$(winpath "$demo/FS2002")" /f /reg:32 >/dev/null 2>&1
echo "Demo laid out in $demo"
exe="$demo/Vellmora/Vellmora.exe"
# The stand-in simulator with a cumulus and a stratus layer: installing a
# cumulus set makes Vellmora refresh its clouds, shown in its window.
sim="$demo/fakesim.exe layers=9:6:1000:2000,8:4:300:600"
if [ -n "${DISPLAY:-}" ]; then
  [ -f "$demo/fakesim.exe" ] && { "$WRUN" $sim >/dev/null 2>&1 & }
  exec "$WRUN" "$exe"
fi
shot="$build/demo-screenshot.png"
drv="$build/src/win32/e2edriver.exe"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
  [ -f \"$demo/fakesim.exe\" ] && { \"$WRUN\" $sim >/dev/null 2>&1 & }
  \"$WRUN\" \"$exe\" &
  sleep \${VM_SHOT_DELAY:-15}
  # Answer the first start's backup question (Yes), as a user would.
  \"$WRUN\" \"$drv\" wait VellmoraMsg 20000 click 12 >/dev/null 2>&1 || true
  sleep 4
  import -window root \"$shot\"
  kill \$! 2>/dev/null || true
  /usr/lib/wine/wineserver -k 2>/dev/null || true
"
echo "No display: ran under Xvfb; screenshot saved to $shot"
