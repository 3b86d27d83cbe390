#!/bin/sh
# The sound desk through the real windows: with the stand-in simulator
# flying up through a thunderstorm layer, the following channel's volume
# rises at the layer's base and falls towards its top, the indicator turns
# green, and closing the simulator stops the following. The music list
# plays, the playlist editor shows it, and closing the desk writes [Sound]
# with the surplus title key removed.
. "$(dirname "$0")/lib.sh"

sim=$(ipc_sim sim-sound)
dir=$(program_dir sound)
mkdir -p "$dir/rain" "$dir/music"
cp "$BUILD/media/tone.wav" "$dir/rain/"
cp "$BUILD/media/tone.mp3" "$BUILD/media/tone.wav" "$dir/music/"
music=$(winpath "$dir/music")
ipc_ini "$dir" "[Sound]
Ch2Path=vellmora\\rain
Ch2Intvl=0
MusicFile1=$music\\tone.mp3
MusicFile2=$music\\tone.wav
MusicFile3=$music\\gone.mp3
MusicFile4=$music\\tone.mp3
[UseFSUIPforSound]
Ch2=on
MinVol2=10
MaxVol2=60
"
cp "$BUILD/src/win32/fakesim.exe" "$E2E/"
rm -f "$E2E/sound-desk.png" "$E2E/music-order.png"

pids=
stop_all() { for p in $pids; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done; }
trap stop_all EXIT
"$WRUN" "$(winpath "$dir")\\Vellmora.exe" >/dev/null 2>&1 &
pids="$!"
drive wait VellmoraMain 120000 enabled 1010 1 60000 >/dev/null || { echo "no main window"; exit 1; }
# A thunderstorm from 1000 to 3000 m; the aircraft holds 500 m for 12 s,
# reaches the layer's middle at 40 s and leaves its top at about 57 s.
"$WRUN" "$(winpath "$E2E")\\fakesim.exe" layers=10:6:1000:3000:0 alt=0:500,12:500,40:2000,70:3800 >/dev/null 2>&1 &
pids="$pids $!"

S=VellmoraSound
follows_through_the_storm() {
  drive wait FS98MAIN 60000 wait VellmoraMain 5000 command 2011 wait $S 20000 \
    waittext 4022 10 20000 pixel 4071 00ff00 5000 \
    waittext 4022 100 45000 waittext 4022 10 60000 || return 1
}

stops_with_the_simulator() {
  drive closeclass FS98MAIN wait $S 5000 waittext 4022 0 20000 pixel 4071 ffffe0 5000 || return 1
}

plays_music_and_shows_the_editor() {
  drive wait $S 5000 click 4003 settle wait $S 5000 title tone.mp3 visible 4063 1 || return 1
  import -window root "$E2E/sound-desk.png" 2>/dev/null || true
  drive wait $S 5000 command 4102 wait VellmoraMusic 10000 items 4201 'tone.mp3|tone.wav|tone.mp3' settle \
    || return 1
  import -window root "$E2E/music-order.png" 2>/dev/null || true
  drive wait VellmoraMusic 5000 click 4202 gone VellmoraMusic 30000 || return 1
}

close_writes_sound() {
  drive closeclass $S gone $S 30000 || return 1
  ini=$(tr -d '\r' < "$dir/cloud.ini")
  for line in "Ch2Vol=0" "Ch2Intvl=0" "MusicFile1=$music\\tone.mp3" "MusicFile2=$music\\tone.wav" \
              "MusicFile3=$music\\tone.mp3"; do
    printf '%s\n' "$ini" | grep -qxF "$line" || { echo "cloud.ini lacks $line"; printf '%s\n' "$ini"; return 1; }
  done
  if printf '%s\n' "$ini" | grep -q '^MusicFile4='; then echo "MusicFile4 left behind"; return 1; fi
}

check "the following channel rises and falls through the storm" follows_through_the_storm
check "closing the simulator stops the following" stops_with_the_simulator
check "music plays and the playlist editor lists it" plays_music_and_shows_the_editor
check "closing the desk writes [Sound]" close_writes_sound
drive closeclass VellmoraMain >/dev/null 2>&1 || true
finish
