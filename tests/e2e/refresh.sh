#!/bin/sh
# The cloud refresh through the real window: with the stand-in simulator
# running, installing a cumulus set makes the program lower and restore the
# coverage of the simulator's cumulus layers, as the simulator's write log
# shows; the stratus layer is never touched.
. "$(dirname "$0")/lib.sh"

sim=$(sim_dir sim-refresh)
tex="$sim/texture"
mkdir -p "$tex/Sky/Summer"
: > "$sim/Modules/FSUIPC.dll"
for f in cld1 cld2; do head -c 3000 /dev/urandom > "$tex/$f.bmp"; head -c 4000 /dev/urandom > "$tex/Sky/Summer/$f.bmp"; done
reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$sim")"
dir=$(program_dir refresh)
files_ini "$dir" Summer "[AutoRefreshByInstallButton]
RefreshCloud=on
WaitTimeAfterClear=1
IncTime=1
DecTime=1
"
cp "$BUILD/src/win32/fakesim.exe" "$E2E/"
log="$E2E/refresh-writes.log"
rm -f "$log"

refresh_after_install() {
  drive run "\"$(winpath "$E2E")\\fakesim.exe\" layers=9:6:1000:2000,8:4:300:600 \"log=$(winpath "$log")\"" \
        wait FS98MAIN 30000 \
        start "$(winpath "$dir")\\Vellmora.exe" wait VellmoraMain 30000 waittext 1044 Summer 20000 \
        click 1010 wait VellmoraMsg 20000 title Installation click 12 gone VellmoraMsg 10000 \
        lines "$(winpath "$log")" 13 60000 shot 1500 || return 1
  [ -s "$log" ] || { echo "the simulator received no write"; return 1; }
  # Coverage 6 with one second a step: 5 4 3 2 1 0, a second's wait, then
  # 1 2 3 4 5 6: twelve writes of the layer table, a second or more apart.
  writes=$(grep -c ' 00560000 ' "$log")
  [ "$writes" = 12 ] || { echo "$writes layer writes, not 12"; cut -c1-60 "$log"; return 1; }
  # The stratus layer (second record, coverage 4) is the same in every write.
  strat=$(grep ' 00560000 ' "$log" | awk '{print substr($4, 49, 48)}' | sort -u | wc -l)
  [ "$strat" = 1 ] || { echo "the stratus layer changed"; return 1; }
  cmp -s "$tex/Sky/Summer/cld1.bmp" "$tex/cld1.bmp" || { echo "not installed"; return 1; }
}
check refresh-after-install refresh_after_install
finish
