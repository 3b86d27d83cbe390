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
  [ $# -ge 4 ] && printf '%b' "$4" > "$dir/cloud.ini"
  drive start "$(winpath "$dir")\\Vellmora.exe" wait VellmoraMsg 30000 title "$2" text 101 "$3" \
        visible 23 1 click 23 exits 10000
}

ok_head="[AppName]\r\nName=Vellmora\r\n[DataPath]\r\nPath=$(winpath "$sim")\\\\texture\\\\Sky\r\n"
check missing-ini scenario missing "No ini File" "No Cloud.ini file is found in this application folder."
check no-appname scenario noapp "ini read Error" "AppName,Name can't read from ini file." "[Other]\r\nx=1\r\n"
check appname-error-word scenario errword "ini read Error" "AppName,Name can't read from ini file." "[AppName]\r\nName=Error\r\n"
check bad-backup-name scenario badbk "ini read Error" "A wrong character is included in BackUpDirName." \
  "${ok_head}[BackUpFunc]\r\nFunc=on\r\n[BackUpDirName]\r\nName=bk:1\r\n"
check negative-wait scenario negwait "ini read Error" \
  'Section:AutoRefresh  Key:WaitTimeAfterClear\nThe data should be positive number.' \
  "${ok_head}[AutoRefresh]\r\nWaitTimeAfterClear=-5\r\n"
check missing-data-folder scenario nodata "ini read Error" \
  "Cloud Data is not installed or wrong path name at DataDirName section." \
  "[AppName]\r\nName=Vellmora\r\n[DataPath]\r\nPath=Z:\\\\nowhere\\\\at\\\\all\r\n"

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
