#!/bin/sh
# Lays out a demo: a stand-in simulator installation (texture folder with
# "original" bitmaps, UIRES, Modules), data sets of every sky kind with
# option sub-folders and previews, and a program folder with Vellmora.exe
# and cloud.ini. Pictures are generated here, never committed.
# Usage: make-demo.sh BUILD-DIR  (prints the demo folder)
set -eu
build=$(cd "$1" && pwd)
demo="$build/demo"
fs="$demo/FS2002"
prog="$demo/Vellmora"
data="$fs/texture/VellmoraSets"
rm -rf "$demo"
mkdir -p "$fs/texture" "$fs/UIRES" "$fs/Modules" "$prog" "$data"

# pic FILE SIZE LOOK: a generated picture; BMP files as plain 24-bit BMP.
pic() {
  case "$1" in *.bmp) out="BMP3:$1" ;; *) out="$1" ;; esac
  # Seeded by the file's name: every demo has the same pictures (the
  # guide's screenshots are taken on it), each file its own.
  seed=$(printf '%s' "${1#"$demo"/}" | cksum | cut -d' ' -f1)
  convert -seed "$seed" -size "$2" "plasma:$3" -blur 0x1 "$out" 2>/dev/null
}

# The simulator's own textures.
for f in cld1 cld2 cld3 cldcn1 cldcn2 cirrus1 cumul1 stratus1 cirrus_overcast sun6 moon1 halo runway1 smoke1 raindrop; do
  pic "$fs/texture/$f.bmp" 64x64 gray60-gray40
done
# Dated as a simulator's own files: the texture status shows the date.
touch -d '2002-10-15 12:00:00' "$fs/texture/"*.bmp
pic "$fs/UIRES/dlgsplash.bmp" 320x200 navy-gray
# The splash series, turned before each start.
mkdir -p "$fs/UIRES/Vellmora"
pic "$fs/UIRES/Vellmora/dlgsplash1.bmp" 320x200 navy-skyblue
pic "$fs/UIRES/Vellmora/dlgsplash2.bmp" 360x220 darkgreen-khaki
pic "$fs/UIRES/Vellmora/dlgsplash3.bmp" 400x240 maroon-orange
# The stand-in simulator is the simulator's executable: install-and-start
# starts it; it reads its options (a cumulus and a stratus layer) beside it.
if [ -f "$build/src/win32/fakesim.exe" ]; then
  cp "$build/src/win32/fakesim.exe" "$fs/fs2002.exe"
else
  printf 'fake simulator\r\n' > "$fs/fs2002.exe"
fi
# The aircraft holds 350 m: the weather editor's altitude reads the same
# in every picture of it.
printf 'layers=9:6:1000:2000,8:4:300:600\r\nalt=350\r\n' > "$fs/fakesim.ini"
printf '[SITUATIONS]\r\nSITUATION=FLIGHTS\\OTHER\\default\r\n' > "$fs/FS2002.CFG"

# Situations: one with a description and a picture, one with its shown text
# only, one with neither, and a flight without weather (not listed).
flt="$fs/FLIGHTS/Vellmora"
mkdir -p "$flt"
flight() {  # flight NAME VELLMORA-SECTION-LINES
  printf '[Main]\r\nTitle=%s\r\n[Vellmora]\r\n%b' "$1" "$2" > "$flt/$1.flt"
  printf '[Weather]\r\n' > "$flt/$1.wx"
}
flight "Bay Tour" 'SkyFolder1=Summer Cumulus\r\n'
printf '\r\n\r\nA calm summer evening over the bay,\r\nwith fair-weather cumulus.\r\n' > "$flt/Bay Tour.txt"
pic "$flt/Bay Tour.jpg" 320x200 skyblue-white
flight "Storm Front" 'ShownText=Heavy thunderstorms ahead\r\nSkyFolder1=T-Storm  Heavy1\r\n'
flight "Pattern Work" ''
printf '[Main]\r\nTitle=no weather\r\n' > "$flt/Unlisted.flt"
# The IPC module's file: its presence switches the simulator link on (the
# stand-in simulator, fakesim.exe, plays both parts).
: > "$fs/Modules/FSUIPC.dll"

set_dir() { mkdir -p "$data/$1"; printf '%s' "$data/$1"; }

d=$(set_dir "Summer Cumulus")
for f in cld1 cld2 cld3; do pic "$d/$f.bmp" 128x128 white-skyblue; done
pic "$d/preview.jpg" 320x200 white-skyblue
for o in Sun Moon Light Smoke Raindrop; do mkdir -p "$d/$o"; done
pic "$d/Sun/sun6.bmp" 64x64 yellow-orange
pic "$d/Moon/moon1.bmp" 64x64 gray90-gray70
pic "$d/Light/halo.bmp" 64x64 white-yellow
pic "$d/Light/runway1.bmp" 64x64 orange-red
pic "$d/Smoke/smoke1.bmp" 64x64 gray80-gray50
pic "$d/Raindrop/raindrop.bmp" 32x32 lightblue-blue

for n in 1 2 3; do
  d=$(set_dir "Cumulus $n")
  for f in cld1 cld2; do pic "$d/$f.bmp" 128x128 white-lightskyblue; done
  pic "$d/preview.jpg" 320x200 white-lightskyblue
done

for n in 1 2; do
  d=$(set_dir "T-Storm  Heavy$n")
  for f in cldcn1 cldcn2 cld1; do pic "$d/$f.bmp" 128x128 gray30-slategray; done
  pic "$d/preview.gif" 320x200 gray30-slategray
done

d=$(set_dir "High Layers")
for f in cirrus1 cumul1 stratus1; do pic "$d/$f.bmp" 128x128 white-lightsteelblue; done
pic "$d/preview.jpeg" 320x200 white-lightsteelblue

d=$(set_dir "Virtual Sky")
pic "$d/cirrus_overcast.bmp" 128x128 gainsboro-steelblue
pic "$d/preview.jpg" 320x200 gainsboro-steelblue

d=$(set_dir "Evening Lights")
pic "$d/sun6.bmp" 64x64 orange-red
pic "$d/halo.bmp" 64x64 yellow-orange

d=$(set_dir "Empty Set")
printf 'no bitmaps here\r\n' > "$d/readme.txt"

cp "$build/src/win32/Vellmora.exe" "$prog/"
# Sounds for the sound desk: an ambience channel and a short music list.
repo=$(cd "$(dirname "$0")/.." && pwd)
sh "$repo/tools/make-test-audio.sh" "$prog/Sounds/Ambience"
mkdir -p "$prog/Sounds/Music"
mv "$prog/Sounds/Ambience/tone.mp3" "$prog/Sounds/Music/"
cp "$prog/Sounds/Ambience/tone.wav" "$prog/Sounds/Music/"
music=$(printf 'Z:%s' "$prog/Sounds/Music" | tr / '\\')
[ -f "$build/src/win32/fakesim.exe" ] && cp "$build/src/win32/fakesim.exe" "$demo/" || true

printf '%s' "[AppName]
Name=Vellmora
[DataDirName]
Name=VellmoraSets
[DataPath]
Path=vellmora\\sets
[BackUpFunc]
Func=on
[BackUpDirName]
Name=VellmoraBackup
[Situation]
Loc=FLIGHTS\\Vellmora
CfgFile=FS2002.CFG
Section=SITUATIONS
Key=SITUATION
[Splash Screen]
Splash=on
Mode=order
LastNo=0
[ShowSkyFiles]
ShowFiles=True
[ShowLogo]
Show=on
[StartSel]
Sel=sky
[ShowErrSet]
Show=off
[InitRndTime]
InitRndTime=0
TimeResUnder1sec=0.5
[AutoRefreshByInstallButton]
RefreshCloud=on
WaitTimeAfterClear=3
IncTime=1
DecTime=1
[LastInstalled]
NumberOfDisp=3
[ToBeBackuped]
bk=all
[Sound]
Ch1Path=vellmora\\Sounds\\Ambience
Ch1Intvl=3
MusicFile1=$music\\tone.mp3
MusicFile2=$music\\tone.wav
[DataList]
[Set1]
DirName=Summer Cumulus
[Set2]
DirName=Cumulus
from=1
to=3
[Set3]
DirName=T-Storm Heavy
from=1
to=2
Order=1
[Set4]
DirName=High Layers
[Set5]
DirName=Virtual Sky
Random=off
[Set6]
DirName=Evening Lights
[Set7]
DirName=Empty Set
" | sed 's/$/\r/' > "$prog/cloud.ini"
printf '%s' "$demo"
