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
# Wine's helper processes started for that registration (no display yet)
# would stay with the kept-alive server and leave the program without a
# display: let the server end, so the program starts a fresh one.
WINEPREFIX="${WINEPREFIX:-$repo/build/wineprefix}" /usr/lib/wine/wineserver -k 2>/dev/null || true
echo "Demo laid out in $demo"
exe="$demo/Vellmora/Vellmora.exe"
# The stand-in simulator is the registered simulator's executable
# (FS2002\fs2002.exe): "Install + Start" starts it.
if [ -n "${DISPLAY:-}" ]; then
  exec "$WRUN" "$exe"
fi
shot="$build/demo-screenshot.png"
drv="$build/src/win32/e2edriver.exe"
# No display: the program under Xvfb. The driver waits for its windows (a
# first run also creates the Wine prefix), answers the first start's backup
# question (Yes) as a user would, and waits for the main window's start-up to
# end before the screenshot.
xvfb-run -a -s "-screen 0 1024x768x24" sh -c "
  \"$WRUN\" \"$exe\" &
  \"$WRUN\" \"$drv\" wait VellmoraMsg 300000 click 12 wait VellmoraMain 120000 enabled 1010 1 120000 settle >/dev/null 2>&1 ||
    echo 'The main window did not come up in time.' >&2
  import -window root \"$shot\"
  kill \$! 2>/dev/null || true
  /usr/lib/wine/wineserver -k 2>/dev/null || true
"
echo "No display: ran under Xvfb; screenshot saved to $shot"
