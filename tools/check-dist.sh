#!/bin/sh
# Checks the release archive as a user receives it: its contents, both
# programs (machine, imports, version), the starter cloud.ini and the guide
# against the key table and the message list, and the program unpacked into
# a fresh folder of a fresh Wine prefix with the stand-in simulator: the
# missing data folder named, then a set copied there listed and installed
# after the first backup question.
# Usage: check-dist.sh BUILD-DIR   (on an X display: under xvfb-run)
set -u
repo=$(cd "$(dirname "$0")/.." && pwd)
B=$(cd "$1" && pwd)
version=$(sed -n 's/^project(Vellmora VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
name="Vellmora-$version"
zip="$B/dist/$name.zip"
work="$B/dist/check"
fails=0
passes=0
ok() { passes=$((passes + 1)); echo "ok   $1"; }
bad() { fails=$((fails + 1)); echo "FAIL $1"; }
rm -rf "$work"
mkdir -p "$work"
[ -f "$zip" ] || { echo "FAIL no archive $zip"; exit 1; }

# A fresh Wine prefix with the stand-in simulator installed and registered
# where a user has the simulator; the archive unpacked into a new folder of
# its drive C.
export WINEPREFIX="$work/wineprefix"
WRUN="$repo/cmake/wine-run.sh"
simwin='C:\Program Files\Microsoft Games\FS2002'
"$WRUN" reg add 'HKLM\Software\Microsoft\Microsoft Games\Flight Simulator\8.0' /v 'EXE Path' \
  /d "$simwin" /f /reg:32 >/dev/null 2>&1
/usr/lib/wine/wineserver -k 2>/dev/null || true
sim="$WINEPREFIX/drive_c/Program Files/Microsoft Games/FS2002"
mkdir -p "$sim/texture" "$sim/UIRES"
cp "$B/win64/src/win32/fakesim.exe" "$sim/fs2002.exe"
for f in cld1 cld2; do head -c 3000 /dev/urandom > "$sim/texture/$f.bmp"; done
unpacked="$WINEPREFIX/drive_c/Downloads"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked" || bad "unzip"
dir="$unpacked/$name"

# One folder holding exactly the release's files.
got=$(cd "$unpacked" && find . -type f | sort | tr '\n' ' ')
want="./$name/Changes.txt ./$name/Guide.html ./$name/License.txt ./$name/Vellmora.exe ./$name/Vellmora64.exe ./$name/cloud.ini "
[ "$got" = "$want" ] && ok "contents" || { bad "contents"; echo "     got: $got"; }

# The programs: machine type, DLLs every Windows since XP has, the version.
allowed=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll gdiplus.dll kernel32.dll msimg32.dll msvcrt.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll version.dll winmm.dll "
program() {  # program FILE FORMAT OBJDUMP
  fmt=$("$3" -f "$1" | sed -n 's/.*file format //p')
  [ "$fmt" = "$2" ] || { echo "$1: format $fmt, not $2"; return 1; }
  dlls=$("$3" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$dlls" ] || { echo "no imports"; return 1; }
  for d in $dlls; do
    case "$allowed" in *" $d "*) ;; *) echo "imports $d"; return 1 ;; esac
  done
  "$3" -h "$1" | grep -q '\.debug' && { echo "not stripped"; return 1; }
  [ "$(strings -el "$1" | grep -cx "$version")" -ge 2 ] || { echo "no version $version in the version resource"; return 1; }
  strings -a "$1" | grep -q "$repo\|$B" && { echo "a build path inside"; return 1; }
  return 0
}
out=$(program "$dir/Vellmora.exe" pei-i386 i686-w64-mingw32-objdump 2>&1) && ok "Vellmora.exe" || { bad "Vellmora.exe"; echo "     $out"; }
out=$(OBJDUMP=i686-w64-mingw32-objdump sh "$repo/tools/check-xp-imports.sh" "$dir/Vellmora.exe" 2>&1) \
  && ok "Vellmora.exe loads on Windows XP" || { bad "Vellmora.exe on XP"; echo "$out"; }
out=$(program "$dir/Vellmora64.exe" pei-x86-64 x86_64-w64-mingw32-objdump 2>&1) && ok "Vellmora64.exe" || { bad "Vellmora64.exe"; echo "     $out"; }

# Every key of the key table in the starter file (in its section) and in
# the guide's reference; every listed message in the guide; the version.
keys() {
  "$B/native/distgen" keys | while IFS="$(printf '\t')" read -r sec key value example comment; do
    awk -v s="[$sec]" -v k="$key" 'BEGIN { RS = "\r\n" } /^\[/ { in_s = ($0 == s) } in_s && (index($0, k "=") == 1 || index($0, ";" k "=") == 1) { f = 1 } END { exit !f }' \
      "$dir/cloud.ini" || echo "cloud.ini lacks [$sec] $key"
    python3 - "$dir/Guide.html" "$sec" "$key" <<'PY' || echo "the guide's reference lacks [$sec] $key"
import html, sys
text = open(sys.argv[1], encoding="utf-8").read()
start = text.index('<tr class="sec"><th colspan="3">[%s]</th></tr>' % html.escape(sys.argv[2]))
end = text.find('<tr class="sec">', start + 1)
sys.exit(0 if '<td class="key">%s</td>' % html.escape(sys.argv[3]) in text[start:end if end > 0 else None] else 1)
PY
  done
}
out=$(keys 2>&1)
[ -z "$out" ] && ok "every key in cloud.ini and the guide" || { bad "keys"; echo "$out" | sed 's/^/     /'; }
out=$(python3 "$repo/tools/messages.py" check "$repo/src" "$repo/docs/messages.txt" 2>&1) \
  && ok "every message of the program in the guide's list" || { bad "messages"; echo "$out"; }
missing=$(grep '^title: ' "$repo/docs/messages.txt" | sed 's/^title: //' | sort -u | while read -r t; do
  grep -qF "<td>$(printf '%s' "$t" | sed 's/&/\&amp;/g; s/</\&lt;/g; s/>/\&gt;/g')</td>" "$dir/Guide.html" || echo "$t"; done)
[ -z "$missing" ] && ok "the guide lists every message" || { bad "guide messages"; echo "     $missing"; }
grep -q "Vellmora $version" "$dir/Guide.html" && ! grep -q '@[A-Z_]*@' "$dir/Guide.html" \
  && [ "$(grep -c 'src="data:image/png;base64,' "$dir/Guide.html")" -ge 7 ] && ! grep -qi '<img[^>]*src="[^d]' "$dir/Guide.html" \
  && ok "the guide: version, pictures embedded" || bad "the guide: version or pictures"

# The guide as a browser shows it: rendered by chromium to a picture
# (build/dist/guide.png, to look at), which must not be blank.
profile=$(mktemp -d)
render="$B/dist/guide.png"
rm -f "$render"
timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-background-networking --no-first-run \
  --user-data-dir="$profile" --window-size=1100,15000 --screenshot="$render" "file://$dir/Guide.html" >/dev/null 2>&1
rm -rf "$profile"
spread=$(convert "$render" -colorspace gray -format '%[fx:standard_deviation > 0.05 ? 1 : 0]' info: 2>/dev/null)
[ "$spread" = 1 ] && ok "the guide renders in a browser ($render)" || bad "the guide does not render"

# The user's first starts.
drive() { "$WRUN" "$B/win64/src/win32/e2edriver.exe" "$@" >"$work/driver.out" 2>&1 </dev/null; r=$?; cat "$work/driver.out"; return $r; }
exe="C:\\Downloads\\$name\\Vellmora64.exe"
data="$sim/texture/VellmoraSets"
tail='Create it and put your texture sets in it, one folder per set holding its .bmp files and a preview picture, named as the [Set1], [Set2] ... sections of cloud.ini name them.'
folder='C:\\Program Files\\Microsoft Games\\FS2002\\texture\\VellmoraSets'
runs() {
  drive start "$exe" wait VellmoraMsg 120000 title "No Data Folder" text 101 "The data folder does not exist yet:\\n$folder\\n$tail" \
    click 23 exits 20000 || { echo "no data folder: not the expected message"; return 1; }
  [ ! -e "$sim/texture/VellmoraBackup" ] || { echo "a backup folder before any set"; return 1; }
  mkdir -p "$data/My First Set"
  head -c 3000 /dev/urandom > "$data/My First Set/cld1.bmp"
  convert -size 64x40 plasma:white-skyblue "$data/My First Set/preview.jpg" 2>/dev/null || true
  "$WRUN" "$exe" >/dev/null 2>&1 </dev/null &
  pid=$!
  drive wait VellmoraMsg 60000 title "BackUp Original" click 12 \
    wait VellmoraMain 60000 title Vellmora waittext 1044 "My First Set" 20000 text 1002 "My First Set" \
    enabled 1010 1 30000 settle click 1010 wait VellmoraMsg 20000 title Installation click 12 gone VellmoraMsg 10000 \
    || { echo "first start and install failed"; return 1; }
  # The install button is enabled again before the copy begins: the file
  # itself tells when the set is in, and only then is the program closed.
  n=0
  until cmp -s "$data/My First Set/cld1.bmp" "$sim/texture/cld1.bmp"; do
    n=$((n + 1)); [ $n -le 100 ] || { echo "the set's cld1.bmp is not installed"; return 1; }; sleep 0.2
  done
  drive wait VellmoraMain 5000 enabled 1010 1 20000 click 1016 gone VellmoraMain 20000 || { echo "not closed"; return 1; }
  n=0
  while ps -o stat= -p "$pid" 2>/dev/null | grep -qv '^Z'; do
    n=$((n + 1)); [ $n -le 100 ] || { echo "the program did not end"; return 1; }; sleep 0.2
  done
  [ -f "$sim/texture/VellmoraBackup/cld1.bmp" ] || { echo "no backup of cld1.bmp"; return 1; }
  ! cmp -s "$sim/texture/VellmoraBackup/cld1.bmp" "$sim/texture/cld1.bmp" || { echo "the backup is not the original"; return 1; }
}
out=$(runs 2>&1) && ok "the unpacked program: data folder named, set listed and installed" \
  || { bad "the unpacked program"; echo "$out" | sed 's/^/     /'; }
/usr/lib/wine/wineserver -k 2>/dev/null || true
echo "$passes passed, $fails failed"
[ "$fails" = 0 ]
