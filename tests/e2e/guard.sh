#!/bin/sh
# Events that arrive while a long operation lets messages run: a switch of
# simulator during an install is refused, AutoRandom stopped during its
# install leaves a live window, a period click during a manual install is
# refused, and a simulator that never answers never holds the window.
. "$(dirname "$0")/lib.sh"

a=$(sim_dir guard-a)
b=$(sim_dir guard-b)
mkdir -p "$a/texture/Sky/Big"
i=1
while [ $i -le 40 ]; do
  n=$(printf 'cld%02d.bmp' $i)
  head -c 1048576 /dev/urandom > "$a/texture/Sky/Big/$n"
  printf 'A' > "$a/texture/$n"
  printf 'B' > "$b/texture/$n"
  i=$((i + 1))
done
reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$a")"
reg_sim 'Combat Flight Simulator\3.0' 'EXE Path' "$(winpath "$b")"
dir=$(program_dir guard)
write_ini() { files_ini "$dir" Big "${1:-}"; }

# Closes the program as a user would and waits for its process, which
# holds the single-instance mutex until its very end: the next start would
# otherwise meet it as a running copy and end at once.
stop_program() {
  drive wait VellmoraMain 30000 close gone VellmoraMain 15000 >/dev/null 2>&1 || true
  prog_ended >/dev/null || true
  stop_vellmora
}

# Every texture file of simulator $1 holds the set's bitmap (A) or its own
# original byte (B).
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

write_ini
start_vellmora "$dir"
check switch-during-install switch_during_install
check period-during-install period_during_install
stop_program

# AutoRandom changing the set at every tick (RandomWait), without starting
# the simulator: stopped by a right click while it copies, the window is
# live again (buttons, lists, the sky choice).
write_ini "[InitRndTime]
InitRndTime=0
[Test]
RandomWait=50
"
start_vellmora "$dir"
stop_during_autorandom() {
  drive wait VellmoraMain 60000 enabled 1010 1 30000 press 1042 1 waittext 1042 0.1min 5000 \
    command 2001 enabled 1010 0 5000 shot 1500 press 1042 2 waittext 1042 Off 10000 \
    enabled 1010 1 10000 enabled 1012 1 5000 enabled 1020 1 5000 enabled 1001 1 5000
}
check stop-during-autorandom stop_during_autorandom
stop_program

# A simulator whose window is there but whose module never answers: the
# program keeps answering its messages while it tries to connect, and
# gives up within ten seconds.
ipc_ini "$dir"
s=$(ipc_sim guard-hung)
cp "$BUILD/src/win32/fakesim.exe" "$E2E/"
start_vellmora "$dir"
hung_simulator() {
  drive wait VellmoraMain 60000 run "\"$(winpath "$E2E")\\fakesim.exe\" noanswer" wait FS98MAIN 30000 \
    responsive VellmoraMain 15000 1000
}
check hung-simulator-never-holds-the-window hung_simulator
finish
