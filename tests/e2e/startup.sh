#!/bin/sh
# The real program on the demo installation: the first start asks for the
# backup and shows the main window with the first set chosen; a second
# start ends without a window; cmdClose ends the program.
. "$(dirname "$0")/lib.sh"

demo=$(sh "$REPO/tools/make-demo.sh" "$BUILD")
reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$demo/FS2002")"
exe="$(winpath "$demo/Vellmora")\\Vellmora.exe"

first_start() {
  drive start "$exe" wait VellmoraMsg 30000 title "BackUp Original" visible 12 1 click 12 \
        wait VellmoraMain 30000 title "Vellmora" waittext 1044 "Summer Cumulus" 20000 text 1002 "Summer Cumulus" \
        text 1042 "Off" start "$exe" nowindow VellmoraMain 3000 exits 10000
  # The backup folder was made beside the data folder and holds the originals.
  [ -f "$demo/FS2002/texture/VellmoraBackup/cld1.bmp" ] || { echo "no backup of cld1.bmp"; return 1; }
  cmp -s "$demo/FS2002/texture/cld1.bmp" "$demo/FS2002/texture/VellmoraBackup/cld1.bmp" || { echo "backup differs"; return 1; }
}
check first-start first_start

close_button() {
  drive start "$exe" wait VellmoraMain 30000 click 1016 exits 10000
}
check close-ends-program close_button
finish
