#!/bin/sh
# The guide's pictures: the real 64-bit program on the demo under Xvfb, in a
# Wine prefix of its own, each window driven open from outside and the screen
# saved, cut to what the windows cover, as PNG without time stamps.
# Usage: dist-shots.sh WIN64-BUILD-DIR OUT-DIR
set -eu
build=$(cd "$1" && pwd)
out=$2
repo=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
export WINEPREFIX="$build/wineprefix-dist"
WRUN="$repo/cmake/wine-run.sh"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
demo=$(sh "$repo/tools/make-demo.sh" "$build")
# The demo seen from drive C: where a user has it, so that the pictures show
# the user's paths and not the build folder's.
"$WRUN" reg add 'HKLM\Software\Microsoft\Microsoft Games\Flight Simulator\8.0' /v 'EXE Path' \
  /d 'C:\Program Files\Microsoft Games\FS2002' /f /reg:32 >/dev/null 2>&1
games="$WINEPREFIX/drive_c/Program Files/Microsoft Games"
mkdir -p "$games"
ln -sfn "$demo/FS2002" "$games/FS2002"
ln -sfn "$demo/Vellmora" "$WINEPREFIX/drive_c/Vellmora"
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -f "$out"/*.png
cat > "$out/.run.sh" <<SCRIPT
set -u
drv() { "$WRUN" "$build/src/win32/e2edriver.exe" "\$@" >>"$out/.driver.log" 2>&1 </dev/null; }
# shot NAME CLASS: the screen cut to the window of the class.
shot() {
  "$WRUN" "$build/src/win32/e2edriver.exe" wait "\$2" 5000 rect >"$out/.rect" 2>&1 </dev/null
  r=\$(sed -n 's/^rect //p' "$out/.rect" | tr -d '\r')
  import -window root "$out/.raw.png" && convert "$out/.raw.png" -crop "\$r" +repage -strip \
    -define png:exclude-chunks=date,time "$out/\$1.png"
}
"$WRUN" 'C:\\Vellmora\\Vellmora.exe' >/dev/null 2>&1 &
drv wait VellmoraMsg 300000 settle && shot backup-question VellmoraMsg
drv wait VellmoraMsg 5000 click 12 wait VellmoraMain 120000 enabled 1010 1 120000 settle && shot main-sky VellmoraMain
drv wait VellmoraMain 5000 command 1043 wait VellmoraRandSel 20000 settle && shot autorandom VellmoraRandSel
drv closeclass VellmoraRandSel gone VellmoraRandSel 20000
drv wait VellmoraMain 5000 click 1021 settle && shot main-situation VellmoraMain
drv wait VellmoraMain 5000 click 1020 settle
"$WRUN" 'C:\\Program Files\\Microsoft Games\\FS2002\\fs2002.exe' >/dev/null 2>&1 &
drv wait FS98MAIN 60000
# The editor opens once the program has seen the simulator start.
for n in 1 2 3 4 5 6; do
  drv wait VellmoraMain 5000 command 2012 wait VellmoraWeather 10000 waittext 3051 1 20000 \
    waittext 3052 1,148.3 20000 settle && break
  drv closeclass VellmoraMsg
  sleep 5
done
shot weather-editor VellmoraWeather
drv closeclass VellmoraWeather gone VellmoraWeather 20000
drv closeclass FS98MAIN gone FS98MAIN 20000
drv wait VellmoraMain 5000 command 2011 wait VellmoraSound 20000 settle && shot sound-desk VellmoraSound
drv wait VellmoraSound 5000 command 4102 wait VellmoraMusic 10000 settle && shot playlist-editor VellmoraMusic
drv closeclass VellmoraMusic gone VellmoraMusic 20000
drv closeclass VellmoraSound gone VellmoraSound 20000
# The texture status before anything is installed (an install would show
# the time of the run).
# (Tried again: one run of the driver here once left no trace at all.)
for n in 1 2 3; do
  if drv wait VellmoraMain 5000 command 2015 wait VellmoraTexStatus 20000 enabled 4004 1 60000 settle; then
    shot texture-status VellmoraTexStatus
    break
  fi
  drv closeclass VellmoraTexStatus gone VellmoraTexStatus 20000
done
drv closeclass VellmoraTexStatus gone VellmoraTexStatus 20000
drv closeclass VellmoraMain
sleep 2
/usr/lib/wine/wineserver -k 2>/dev/null || true
SCRIPT
: > "$out/.driver.log"
xvfb-run -a -s "-screen 0 1024x768x24" sh "$out/.run.sh"
rm -f "$out/.raw.png" "$out/.run.sh" "$out/.rect"
for s in backup-question main-sky autorandom main-situation weather-editor sound-desk playlist-editor texture-status; do
  [ -s "$out/$s.png" ] || { echo "dist-shots: no picture of $s" >&2; cat "$out/.driver.log" >&2; exit 1; }
done
