#!/bin/sh
# AutoRandom through the real window, beside a running stand-in simulator:
# Install and start once with the period off (the simulator starts), then
# AutoRandom with a period, changing the set at every tick; "Last Installed
# Data" chosen meanwhile opens, and the changes go on while it waits for its
# answer; the simulator
# closed, AutoRandom stops and the buttons come back; the program then
# closes at once, asking nothing.
. "$(dirname "$0")/lib.sh"

sim=$(sim_dir sim-close-after)
mkdir -p "$sim/texture/Sky/Small" "$sim/texture/Sky/Misty"
cp "$BUILD/src/win32/fakesim.exe" "$sim/fs2002.exe"
printf 'layers=9:6:1000:2000\r\n' > "$sim/fakesim.ini"
# The sets' bitmaps differ in size: a change shows in the folder's listing.
for n in 1 2 3; do
  head -c 5000 /dev/urandom > "$sim/texture/Sky/Small/cld$n.bmp"
  head -c 6000 /dev/urandom > "$sim/texture/Sky/Misty/cld$n.bmp"
  printf 'C' > "$sim/texture/cld$n.bmp"
done
reg_clear
reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$sim")"
dir=$(program_dir close-after)
# Each change waits one and a half seconds first, letting messages run: a
# menu command then mostly arrives inside that wait.
files_ini "$dir" Small "[InitRndTime]
InitRndTime=0
[Test]
RandomWait=1500
[Set2]
DirName=Misty
"

start_vellmora "$dir"

starts_with_the_simulator() {
  drive wait VellmoraMain 60000 enabled 1010 1 30000 click 1011 wait VellmoraMsg 20000 title Installation \
    click 12 gone VellmoraMsg 10000 wait FS98MAIN 60000 || return 1
  # The pilot looks at the simulator before setting a period; the watch,
  # which looks for it once a second, has seen it running by then.
  drive shot 2000 >/dev/null
  drive wait VellmoraMain 5000 press 1042 1 waittext 1042 0.1min 5000 click 1011 enabled 1010 0 10000
}

# "Last Installed Data" chosen while AutoRandom changes the set opens once
# the change is done; while it waits for its answer, the two sets go on
# taking turns in the texture folder.
changes_behind_a_message() {
  drive wait VellmoraMain 5000 command 2013 wait VellmoraMsg 10000 title "Last Installed Data" \
    changes "$(winpath "$sim")\\texture\\cld1.bmp" 3 20000 wait VellmoraMsg 2000 click 23 gone VellmoraMsg 10000
}

stops_with_the_simulator_and_closes() {
  drive wait FS98MAIN 5000 close gone FS98MAIN 10000 || return 1
  drive wait VellmoraMain 5000 waittext 1042 Off 20000 enabled 1010 1 20000 close nowindow VellmoraMsg 3000 \
    gone VellmoraMain 10000
}
check starts-with-the-simulator starts_with_the_simulator
check autorandom-changes-behind-a-message changes_behind_a_message
check close-after-autorandom stops_with_the_simulator_and_closes
finish
