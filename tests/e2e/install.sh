#!/bin/sh
# Installation through the real window: the first start backs the
# simulator's textures up, a set is chosen and installed with the message
# windows answered through their buttons, the texture and backup folders are
# checked, [LastInstalled] of cloud.ini after closing; a second start shows
# the record and restores the originals byte for byte; a log-off after a
# third install saves its record; the texture status puts every original
# back but a hand-changed one.
. "$(dirname "$0")/lib.sh"

sim=$(sim_dir sim-install)
tex="$sim/texture"
orig="$E2E/install-orig"
rm -rf "$orig"
mkdir -p "$orig" "$tex/Sky/Summer/Sun" "$tex/Sky/Storm"

# The simulator's own textures (kept aside for comparison) and two sets.
n=0
for f in cld1 cld2 cld3 cldcn1 sun6 other; do
  n=$((n + 1))
  head -c $((20000 + n * 3001)) /dev/urandom > "$tex/$f.bmp"
  cp -p "$tex/$f.bmp" "$orig/$f.bmp"
done
for f in cld1 cld2 cld3; do head -c 40000 /dev/urandom > "$tex/Sky/Summer/$f.bmp"; done
head -c 5000 /dev/urandom > "$tex/Sky/Summer/Sun/sun6.bmp"
for f in cld1 cld2 cldcn1; do head -c 30000 /dev/urandom > "$tex/Sky/Storm/$f.bmp"; done

reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$sim")"
dir=$(program_dir install)
printf '%s' "[AppName]
Name=Vellmora
[DataDirName]
Name=Sky
[BackUpFunc]
Func=on
[BackUpDirName]
Name=Backup
[ShowSkyFiles]
ShowFiles=True
[ShowLogo]
Show=off
[StartSel]
Sel=sky
[InitRndTime]
InitRndTime=0
[LastInstalled]
NumberOfDisp=3
1=Old1,Sun
2=Old2,Moon
3=Old3,Cumulus
4=Old4,Cirrus
[ToBeBackuped]
bk=all
[Set1]
DirName=Summer
[Set2]
DirName=Storm
" | sed 's/$/\r/' > "$dir/cloud.ini"

# Backslashes doubled for the driver's texts.
esc() { printf '%s' "$1" | sed 's/\\/\\\\/g'; }


same() { cmp -s "$1" "$2" || { echo "differs: $2 (expected $1)"; return 1; }; }
no_temp() {
  for d in "$tex" "$tex/Backup"; do
    ! ls "$d" | grep -q "^~vellmora-[0-9a-f]*\.tmp$" || { echo "temporary copy left in $d"; return 1; }
  done
}

main_ready() {  # the main window is up and its start-up done
  drive wait VellmoraMain 60000 enabled 1010 1 60000 waittext 1044 Summer 30000
}

first_start_backs_up() {
  drive wait VellmoraMsg 60000 title "BackUp Original" \
    text 101 "Original texture files will be backup to\\n$(esc "$(winpath "$tex")")\\\\Backup" click 12 || return 1
  main_ready || return 1
  for f in cld1 cld2 cld3 cldcn1 sun6; do soon same "$orig/$f.bmp" "$tex/Backup/$f.bmp" || return 1; done
  [ ! -e "$tex/Backup/other.bmp" ] || { echo "a file no set holds was backed up"; return 1; }
  no_temp
}

install_storm() {
  drive wait VellmoraMain 5000 select 1002 1 waittext 1044 Storm 10000 \
    items 1001 'cld1.bmp|cld2.bmp|cldcn1.bmp' checks 1001 111 items 1004 '' click 1010 \
    wait VellmoraMsg 20000 || return 1
  import -window root "$E2E/install-confirmation.png" 2>/dev/null || true
  # Every backup exists already: only the confirmation is asked.
  drive wait VellmoraMsg 5000 title Installation \
    text 101 '*** Storm ***\n\nFollowing files will be installed.\n cld1.bmp\n cld2.bmp\n cldcn1.bmp' \
    click 12 gone VellmoraMsg 10000 || return 1
  for f in cld1 cld2 cldcn1; do soon same "$tex/Sky/Storm/$f.bmp" "$tex/$f.bmp" || return 1; done
  for f in cld3 sun6 other; do same "$orig/$f.bmp" "$tex/$f.bmp" || return 1; done
  for f in cld1 cld2 cld3 cldcn1 sun6; do same "$orig/$f.bmp" "$tex/Backup/$f.bmp" || return 1; done
  drive wait VellmoraMain 5000 enabled 1010 1 10000 nowindow VellmoraMsg 1000 || return 1
  no_temp
}

close_saves_record() {
  drive wait VellmoraMain 5000 close || return 1
  prog_ended || return 1
  got=$(last_installed "$dir")
  want="NumberOfDisp=3 1=Old3,Cumulus 2=Old4,Cirrus 3=Storm,Thunder "
  [ "$got" = "$want" ] || { echo "[LastInstalled] is [$got], not [$want]"; return 1; }
}

second_start_restores() {
  main_ready || return 1
  # The record as loaded: the oldest first, columns of 6 and 13.
  drive wait VellmoraMain 5000 command 2013 wait VellmoraMsg 10000 title "Last Installed Data" \
    text 101 '============ Last set installed ============\nLower number on the screen,\n                are the latest set installed.\n--------------------------------------------\nNo.   DataType     SetName\n--------------------------------------------\n1     Cumulus      Old3\n2     Cirrus       Old4\n3     Thunder      Storm\n' \
    click 23 gone VellmoraMsg 10000 || return 1
  drive wait VellmoraMain 5000 select 1002 1 waittext 1044 Storm 10000 click 1014 \
    wait VellmoraMsg 20000 title "To Original Files" \
    text 101 'Following files will be back to original.\n cld1.bmp\n cld2.bmp\n cldcn1.bmp' \
    click 12 gone VellmoraMsg 10000 || return 1
  for f in cld1 cld2 cld3 cldcn1 sun6 other; do soon same "$orig/$f.bmp" "$tex/$f.bmp" || return 1; done
  for f in cld1 cld2 cld3 cldcn1 sun6; do same "$orig/$f.bmp" "$tex/Backup/$f.bmp" || return 1; done
  no_temp || return 1
  drive wait VellmoraMain 5000 close || return 1
  prog_ended
}

# A log-off right after an install: the record is saved with it.
endsession_saves_record() {
  main_ready || return 1
  drive wait VellmoraMain 5000 select 1002 0 waittext 1044 Summer 10000 settle click 1010 \
    wait VellmoraMsg 20000 title Installation click 12 gone VellmoraMsg 10000 || return 1
  for f in cld1 cld2 cld3; do soon same "$tex/Sky/Summer/$f.bmp" "$tex/$f.bmp" || return 1; done
  drive wait VellmoraMain 5000 enabled 1010 1 10000 endsession || return 1
  prog_ended || return 1
  got=$(last_installed "$dir")
  case "$got" in
    *"3=Summer,"*) ;;
    *) echo "[LastInstalled] is [$got], without the Summer install"; return 1 ;;
  esac
}

# Two installs (Summer above, Storm now) and a hand change: "Restore All
# Originals" answered No keeps the hand-changed file and puts every other
# original back byte for byte.
status_restores_all_but_the_hand_change() {
  main_ready || return 1
  drive wait VellmoraMain 5000 select 1002 1 waittext 1044 Storm 10000 settle click 1010 \
    wait VellmoraMsg 20000 title Installation click 12 gone VellmoraMsg 10000 || return 1
  for f in cld1 cld2 cldcn1; do soon same "$tex/Sky/Storm/$f.bmp" "$tex/$f.bmp" || return 1; done
  head -c 7777 /dev/urandom > "$tex/sun6.bmp"
  cp "$tex/sun6.bmp" "$E2E/install-sun6-by-hand.bmp"
  drive wait VellmoraMain 10000 enabled 1010 1 10000 command 2015 wait VellmoraTexStatus 20000 \
    waittitle 'Texture Status - FS2K' 20000 enabled 4004 1 20000 click 4004 \
    wait VellmoraMsg 20000 title 'Restore All Originals' \
    text 101 '4 files go back to the original.\n\nThese files were changed outside Vellmora:\n sun6.bmp\n\nYes: put them back too.  No: keep them.' \
    click 23 waitwith VellmoraMsg 101 'Restored: 4\nKept: 1\n sun6.bmp\nFailed: 0' 20000 \
    click 23 gone VellmoraMsg 10000 || return 1
  for f in cld1 cld2 cld3 cldcn1 other; do soon same "$orig/$f.bmp" "$tex/$f.bmp" || return 1; done
  same "$E2E/install-sun6-by-hand.bmp" "$tex/sun6.bmp" || return 1
  for f in cld1 cld2 cld3 cldcn1 sun6; do same "$orig/$f.bmp" "$tex/Backup/$f.bmp" || return 1; done
  no_temp || return 1
  drive wait VellmoraTexStatus 5000 enabled 4004 1 10000 click 4006 gone VellmoraTexStatus 10000 \
    wait VellmoraMain 5000 close || return 1
  prog_ended
}

start_vellmora "$dir"
check first-start-backs-up first_start_backs_up
check install-storm install_storm
check close-saves-record close_saves_record
stop_vellmora
start_vellmora "$dir"
check second-start-restores second_start_restores
stop_vellmora
start_vellmora "$dir"
check endsession-saves-record endsession_saves_record
stop_vellmora
start_vellmora "$dir"
check status-restores-all-but-the-hand-change status_restores_all_but_the_hand_change
stop_vellmora
finish
