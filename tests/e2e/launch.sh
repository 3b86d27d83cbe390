#!/bin/sh
# Install-and-start with the stand-in simulator as the simulator's
# executable: the chosen set is installed, the splash turned and the
# simulator started once; a situation is installed and the simulator, started
# again, starts with it.
. "$(dirname "$0")/lib.sh"

sim=$(sim_dir sim-launch)
tex="$sim/texture"
mkdir -p "$tex/Sky/Storm" "$sim/UIRES/Vellmora" "$sim/FLIGHTS/Tour"
cp "$BUILD/src/win32/fakesim.exe" "$sim/fs2002.exe"
printf 'layers=9:6:1000:2000\r\n' > "$sim/fakesim.ini"
printf '[SITUATIONS]\r\nSITUATION=FLIGHTS\\OTHER\\default\r\n' > "$sim/FS2002.CFG"
head -c 3000 /dev/urandom > "$sim/UIRES/dlgsplash.bmp"
for n in 1 2 3; do head -c $((1000 + n)) /dev/urandom > "$sim/UIRES/Vellmora/dlgsplash$n.bmp"; done
head -c 4000 /dev/urandom > "$tex/cldcn1.bmp"
head -c 5000 /dev/urandom > "$tex/Sky/Storm/cldcn1.bmp"
printf '[Vellmora]\r\nShownText=Around the bay\r\nSkyFolder1=Storm\r\n' > "$sim/FLIGHTS/Tour/Bay.flt"
: > "$sim/FLIGHTS/Tour/Bay.wx"
printf '\r\n\r\nA calm evening around the bay,\r\nunder a building thunderstorm.\r\n' > "$sim/FLIGHTS/Tour/Bay.txt"
convert -size 320x200 plasma:skyblue-white "$sim/FLIGHTS/Tour/Bay.jpg" 2>/dev/null || true

reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$sim")"
dir=$(program_dir launch)
printf '%s' "[AppName]
Name=Vellmora
[DataDirName]
Name=Sky
[ShowSkyFiles]
ShowFiles=True
[ShowLogo]
Show=off
[Situation]
Loc=FLIGHTS\\Tour
CfgFile=FS2002.CFG
Section=SITUATIONS
Key=SITUATION
[Splash Screen]
Splash=on
Mode=order
LastNo=3
[Set1]
DirName=Storm
" | sed 's/$/\r/' > "$dir/cloud.ini"

start_vellmora "$dir"

sims() { drive list | grep -c ' FS98MAIN '; }
ini_has() { tr -d "\r" < "$1" | grep -Fqx "$2" || { echo "$1 lacks [$2]"; return 1; }; }

install_and_start() {
  drive wait VellmoraMain 60000 enabled 1011 1 60000 waittext 1044 Storm 30000 click 1011 \
    wait VellmoraMsg 20000 title Installation click 12 gone VellmoraMsg 10000 wait FS98MAIN 60000 || return 1
  cmp -s "$tex/Sky/Storm/cldcn1.bmp" "$tex/cldcn1.bmp" || { echo "set not installed"; return 1; }
  cmp -s "$sim/UIRES/Vellmora/dlgsplash1.bmp" "$sim/UIRES/dlgsplash.bmp" || { echo "splash not turned to 1"; return 1; }
  ini_has "$dir/cloud.ini" "LastNo=1" || return 1
  # Running already: installs and turns the splash, starts no second copy.
  drive wait VellmoraMain 5000 enabled 1011 1 20000 click 1011 wait VellmoraMsg 20000 click 12 \
    gone VellmoraMsg 10000 || return 1
  drive wait VellmoraMain 5000 enabled 1011 1 20000 || return 1
  # The button is enabled again before the install and the turn begin.
  soon cmp -s "$sim/UIRES/Vellmora/dlgsplash2.bmp" "$sim/UIRES/dlgsplash.bmp" || { echo "splash not turned to 2"; return 1; }
  n=$(sims); [ "$n" = 1 ] || { echo "$n simulator windows"; return 1; }
}

situation_starts_the_simulator_with_it() {
  drive wait FS98MAIN 5000 close || return 1
  drive wait VellmoraMain 5000 click 1021 \
    waittext 1044 'A calm evening around the bay,\nunder a building thunderstorm.' 10000 items 1007 Bay || return 1
  import -window root "$E2E/situation-view.png" 2>/dev/null || true
  drive wait VellmoraMain 5000 click 1011 wait VellmoraMsg 20000 title Installation click 12 \
    gone VellmoraMsg 10000 wait FS98MAIN 60000 title 'Stand-in simulator: FLIGHTS\\Tour\\Bay' || return 1
  ini_has "$sim/FS2002.CFG" 'SITUATION=FLIGHTS\Tour\Bay'
}

check install-and-start install_and_start
check situation-starts-the-simulator-with-it situation_starts_the_simulator_with_it

# AutoRandom started by install-and-start: with RandomWait every tick
# changes the set; the simulator closed, AutoRandom stops at the next tick.
drive wait FS98MAIN 5000 close >/dev/null 2>&1 || true
drive wait VellmoraMain 5000 close >/dev/null 2>&1 || true
wait "$prog_pid" 2>/dev/null || true
mkdir -p "$tex/Sky/Calm"
head -c 6000 /dev/urandom > "$tex/Sky/Calm/cldcn1.bmp"
tr -d '\r' < "$dir/cloud.ini" | sed 's/^Show=off$/Show=off\n[InitRndTime]\nInitRndTime=5\n[Test]\nRandomWait=50/' |
  sed 's/$/\r/' > "$dir/cloud.tmp"
printf '[Set2]\r\nDirName=Calm\r\n' >> "$dir/cloud.tmp"
mv "$dir/cloud.tmp" "$dir/cloud.ini"
start_vellmora "$dir"

# The texture file holds the given set's bitmap.
holds() { cmp -s "$tex/Sky/$1/cldcn1.bmp" "$tex/cldcn1.bmp" || { echo "never held $1"; return 1; }; }
autorandom_follows_the_simulator() {
  drive wait VellmoraMain 60000 waittext 1042 5min 30000 enabled 1011 1 30000 click 1011 wait FS98MAIN 60000 || return 1
  # The watch looks for the simulator once a second: it must have seen it
  # running before it can see it go (the sets may change faster than that).
  sleep 1.5
  for k in 1 2; do soon holds Storm || return 1; soon holds Calm || return 1; done
  drive wait FS98MAIN 5000 close wait VellmoraMain 5000 waittext 1042 Off 20000 enabled 1010 1 20000
}
check autorandom-follows-the-simulator autorandom_follows_the_simulator
finish
