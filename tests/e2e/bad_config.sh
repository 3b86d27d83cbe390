#!/bin/sh
# The real program with a bad configuration: the message window shows the
# expected title and text, and the program ends after OK.
. "$(dirname "$0")/lib.sh"

sim=$(sim_dir sim-bad)
mkdir -p "$sim/texture/Sky"
reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$sim")"

# scenario NAME TITLE TEXT [INI-TEXT]: no INI-TEXT means no cloud.ini.
scenario() {
  dir=$(program_dir "$1")
  [ $# -ge 4 ] && printf '%s\n' "$4" | sed 's/$/\r/' > "$dir/cloud.ini"
  before=$(cd "$dir" && ls -l --time-style=+%s; cat cloud.ini 2>/dev/null | md5sum)
  drive start "$(winpath "$dir")\\Vellmora.exe" wait VellmoraMsg 30000 title "$2" text 101 "$3" \
        visible 23 1 click 23 exits 10000 || return 1
  # Nothing in the program folder changed.
  after=$(cd "$dir" && ls -l --time-style=+%s; cat cloud.ini 2>/dev/null | md5sum)
  [ "$before" = "$after" ] || { echo "program folder changed"; return 1; }
}

nl='
'
ok_head="[AppName]${nl}Name=Vellmora${nl}[DataPath]${nl}Path=$(winpath "$sim")\\texture\\Sky${nl}"
check missing-ini scenario missing "No ini File" "No Cloud.ini file is found in this application folder."
check no-appname scenario noapp "ini read Error" "AppName,Name can't read from ini file." "[Other]${nl}x=1"
check appname-error-word scenario errword "ini read Error" "AppName,Name can't read from ini file." "[AppName]${nl}Name=Error"
check bad-backup-name scenario badbk "ini read Error" "A wrong character is included in BackUpDirName." \
  "${ok_head}[BackUpFunc]${nl}Func=on${nl}[BackUpDirName]${nl}Name=bk:1"
check negative-wait scenario negwait "ini read Error" \
  'Section:AutoRefresh  Key:WaitTimeAfterClear\nThe data should be positive number.' \
  "${ok_head}[AutoRefresh]${nl}WaitTimeAfterClear=-5"
check missing-data-folder scenario nodata "No Data Folder" \
  'The data folder does not exist yet:\nZ:\\nowhere\\at\\all\nCreate it and put your texture sets in it, one folder per set holding its .bmp files and a preview picture, named as the [Set1], [Set2] ... sections of cloud.ini name them.' \
  "[AppName]${nl}Name=Vellmora${nl}[DataPath]${nl}Path=Z:\\nowhere\\at\\all"

reg_clear
check no-simulator scenario nofs "No FS" "No FS2002 is installed." "$ok_head"

# A second start ends silently while the first one waits in its message.
second() {
  dir=$(program_dir second)
  drive start "$(winpath "$dir")\\Vellmora.exe" wait VellmoraMsg 30000 \
        start "$(winpath "$dir")\\Vellmora.exe" exits 10000
}
check second-instance second
finish
