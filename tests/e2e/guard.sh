#!/bin/sh
# Events that arrive while a long operation lets messages run: a switch of
# simulator during an install is refused, and so is a period click during a
# manual install; the sound window closed as an install begins closes
# without stopping it (every file in place, the set recorded); AutoRandom
# stopped during its copy ends at once while the copy finishes its set; a
# simulator that never accepts the link never holds the window, nor keeps
# the install button from asking.
. "$(dirname "$0")/lib.sh"

a=$(sim_dir guard-a)
b=$(sim_dir guard-b)
mkdir -p "$a/texture/Sky/Big"
i=1
while [ $i -le 40 ]; do
  n=$(printf 'cld%02d.bmp' $i)
  head -c 1048576 /dev/urandom > "$a/texture/Sky/Big/$n"
  printf 'B' > "$b/texture/$n"
  i=$((i + 1))
done
reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$a")"
reg_sim 'Combat Flight Simulator\3.0' 'EXE Path' "$(winpath "$b")"
dir=$(program_dir guard)
# A fresh cloud.ini with MORE, and the first simulator's own textures (A)
# back in place: each part below starts from no install at all.
fresh() {
  files_ini "$dir" Big "${1:-}"
  for f in "$a"/texture/Sky/Big/*.bmp; do printf 'A' > "$a/texture/${f##*/}"; done
}

# Closes the program as a user would and waits for its process, which
# holds the single-instance mutex until its very end: the next start would
# otherwise meet it as a running copy and end at once.
stop_program() {
  if [ -n "${prog_pid:-}" ] && prog_running; then
    drive wait VellmoraMain 30000 close gone VellmoraMain 15000 >/dev/null 2>&1 || true
    prog_ended >/dev/null || true
  fi
  stop_vellmora
}

# Every texture file of simulator a holds the set's bitmap; every one of b
# its own original byte (B).
all_set() {
  for f in "$a"/texture/Sky/Big/*.bmp; do
    cmp -s "$f" "$a/texture/${f##*/}" || { echo "$a/texture/${f##*/} is not the set's"; return 1; }
  done
}
all_own() {
  for f in "$b"/texture/*.bmp; do
    [ "$(cat "$f")" = B ] || { echo "$f was overwritten"; return 1; }
  done
}

# The other simulator is chosen while the install asks and copies: the
# click is refused, every file goes into the first simulator.
switch_during_install() {
  drive wait VellmoraMain 60000 enabled 1010 1 30000 click 1010 wait VellmoraMsg 20000 title Installation \
    wait VellmoraMain 2000 click 1024 wait VellmoraMsg 2000 click 12 gone VellmoraMsg 10000 \
    wait VellmoraMain 2000 enabled 1010 1 20000 || return 1
  # The buttons are still enabled between the answer and the first copy, so
  # the files are what tells that the install has run.
  soon all_set && all_own
}

# A left click on the period during a manual install is refused: the period
# stays off and the install button comes back.
period_during_install() {
  drive wait VellmoraMain 5000 click 1010 wait VellmoraMsg 20000 wait VellmoraMain 2000 press 1042 1 \
    wait VellmoraMsg 2000 click 12 gone VellmoraMsg 10000 wait VellmoraMain 2000 text 1042 Off \
    enabled 1010 1 20000
}

fresh
start_vellmora "$dir"
check switch-during-install switch_during_install
check period-during-install period_during_install
stop_program

# The sound window closed right after the install's question was answered:
# it goes at once, the copy goes on to its end, and the program's record
# names the set when the program ends.
side_window_closed_during_install() {
  drive wait VellmoraMain 60000 enabled 1010 1 30000 command 2011 wait VellmoraSound 20000 \
    wait VellmoraMain 5000 click 1010 wait VellmoraMsg 20000 title Installation click 12 \
    closeclass VellmoraSound gone VellmoraSound 10000 || return 1
  soon all_set || return 1
  stop_program
  case "$(last_installed "$dir")" in
    *"=Big,"*) ;;
    *) echo "[LastInstalled] is [$(last_installed "$dir")], without Big"; return 1 ;;
  esac
}

fresh
start_vellmora "$dir"
check side-window-closed-during-install side_window_closed_during_install
stop_program

# AutoRandom changing the set at every tick (RandomWait), without starting
# the simulator: a right click on the period once the first file of its
# copy is in stops AutoRandom at once (the period shows Off), the copy
# finishes its set, and the window is live again (buttons, lists, the sky
# choice).
fresh "[InitRndTime]
InitRndTime=0
[Test]
RandomWait=50
"
start_vellmora "$dir"
stop_during_autorandom() {
  drive wait VellmoraMain 60000 enabled 1010 1 30000 press 1042 1 waittext 1042 0.1min 5000 \
    command 2001 larger "$(winpath "$a")\\texture\\cld*.bmp" 1 20000 press 1042 2 waittext 1042 Off 10000 \
    enabled 1010 1 20000 enabled 1012 1 5000 enabled 1020 1 5000 enabled 1001 1 5000 || return 1
  all_set
}
check stop-during-autorandom stop_during_autorandom
stop_program

# A simulator whose window is there but whose module never answers (the
# refresh after an install wants the link, so the watch connects): five
# clicks on Install, two seconds apart while the program tries to connect,
# each bring the install's question (answered Cancel); the program keeps
# answering its messages while it tries, and gives up within ten seconds.
ipc_ini "$dir" "[AutoRefreshByInstallButton]
RefreshCloud=on
"
s=$(ipc_sim guard-hung)
start_vellmora "$dir"
# The stand-in comes once the program is up (the scenarios run in
# subshells: what they start would end with them).
drive wait VellmoraMain 60000 enabled 1010 1 30000 >/dev/null || echo "the program did not come up"
start_sim noanswer || true
install_clicks_while_the_link_is_refused() {
  # The two seconds after each answer are the user's pace, not a wait: the
  # clicks spread over the connect's ten seconds.
  for k in 1 2 3 4 5; do
    drive wait VellmoraMain 5000 click 1010 wait VellmoraMsg 5000 title Installation click 22 \
      gone VellmoraMsg 5000 shot 2000 || { echo "click $k"; return 1; }
  done
}
hung_simulator() {
  drive responsive VellmoraMain 15000 1000
}
check install-clicks-while-the-link-is-refused install_clicks_while_the_link_is_refused
check hung-simulator-never-holds-the-window hung_simulator
finish
