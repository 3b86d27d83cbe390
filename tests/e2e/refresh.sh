#!/bin/sh
# The cloud refresh through the real window, with the stand-in simulator
# running: installing a cumulus set makes the program lower and restore the
# coverage of the simulator's cumulus layers, as the simulator's write log
# shows, and the stratus layer is never touched; the sound window closed
# while the Refresh label's refresh waits with the weather cleared stops
# nothing: the weather comes back when the wait is over; "Stop Refresh",
# chosen from the Option label's pop-up while the refresh after an install
# runs, ends it with the layers put back as they were.
. "$(dirname "$0")/lib.sh"

sim=$(sim_dir sim-refresh)
tex="$sim/texture"
mkdir -p "$tex/Sky/Summer"
: > "$sim/Modules/FSUIPC.dll"
for f in cld1 cld2; do head -c 3000 /dev/urandom > "$tex/$f.bmp"; head -c 4000 /dev/urandom > "$tex/Sky/Summer/$f.bmp"; done
reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$sim")"
dir=$(program_dir refresh)
# One second a coverage step; five seconds with the layer (or, for the
# Refresh label, the whole weather) cleared.
files_ini "$dir" Summer "[AutoRefreshByInstallButton]
RefreshCloud=on
WaitTimeAfterClear=5
IncTime=1
DecTime=1
"
log="$E2E/refresh-writes.log"
state="$E2E/refresh-weather.txt"
rm -f "$log" "$state" "$state.before"
start_sim layers=9:6:1000:2000,8:4:300:600 "log=$(winpath "$log")" "state=$(winpath "$state")"
cp "$state" "$state.before"
start_vellmora "$dir"

# Writes of the layer table, of the clear-weather command.
layer_writes() { grep -c ' 00560000 ' "$log" 2>/dev/null || true; }
clears() { grep -c ' 00550000 ' "$log" 2>/dev/null || true; }
at_least() { _got=$($1); [ "$_got" -ge "$2" ] || { echo "$_got $1, not $2"; return 1; }; }
# The simulator's weather, every block, is what it was at its start.
weather_as_before() { cmp -s "$state.before" "$state" || { echo "the simulator's weather differs from before"; return 1; }; }
weather_cleared() { ! cmp -s "$state.before" "$state" || { echo "the simulator's weather was not cleared"; return 1; }; }

install_summer() {
  drive wait VellmoraMain 60000 waittext 1044 Summer 30000 enabled 1010 1 30000 \
    click 1010 wait VellmoraMsg 20000 title Installation click 12 gone VellmoraMsg 10000
}

refresh_after_install() {
  install_summer || return 1
  within 60 at_least layer_writes 12 || return 1
  soon weather_as_before || return 1
  # Coverage 6 with one second a step: 5 4 3 2 1 0, the wait, then 1 2 3 4 5
  # 6: twelve writes of the layer table, a second or more apart.
  writes=$(layer_writes)
  [ "$writes" = 12 ] || { echo "$writes layer writes, not 12"; cut -c1-60 "$log"; return 1; }
  # The stratus layer (second record, coverage 4) is the same in every write.
  strat=$(grep ' 00560000 ' "$log" | awk '{print substr($4, 49, 48)}' | sort -u | wc -l)
  [ "$strat" = 1 ] || { echo "the stratus layer changed"; return 1; }
  cmp -s "$tex/Sky/Summer/cld1.bmp" "$tex/cld1.bmp" || { echo "not installed"; return 1; }
}

# Chosen as a user does: the Option label's pop-up, its last item.
stop_refresh_after_install() {
  weather_as_before || return 1
  before=$(layer_writes)
  install_summer || return 1
  soon at_least layer_writes $((before + 2)) || return 1
  drive wait VellmoraMain 5000 press 1040 1 menu 10000 ur || return 1
  soon weather_as_before || return 1
  # Two or three steps down, then the put-back: far from the twelve writes
  # of a refresh that ran to its end.
  writes=$(($(layer_writes) - before))
  [ "$writes" -lt 8 ] || { echo "$writes layer writes: the refresh was not stopped"; return 1; }
}

sound_window_closed_during_the_wait() {
  before=$(clears)
  drive wait VellmoraMain 5000 command 2011 wait VellmoraSound 20000 wait VellmoraMain 5000 press 1041 1 || return 1
  soon at_least clears $((before + 1)) || return 1
  soon weather_cleared || return 1
  # The window goes at once, not when the refresh is over (five seconds).
  drive closeclass VellmoraSound gone VellmoraSound 3000 || return 1
  weather_cleared || return 1
  soon weather_as_before
}

check refresh-after-install refresh_after_install
check sound-window-closed-during-the-refresh-wait sound_window_closed_during_the_wait
check stop-refresh-after-install stop_refresh_after_install
finish
