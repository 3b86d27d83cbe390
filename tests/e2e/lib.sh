# Shared helpers of the end-to-end scripts: a private Wine prefix, program
# folders laid out under the build folder, and the driver.
# Needs: BUILD (the win64 build folder), REPO.
set -eu
: "${REPO:?}" "${BUILD:?}"
export WINEPREFIX="$BUILD/wineprefix-e2e"
WRUN="$REPO/cmake/wine-run.sh"
E2E="$BUILD/e2e"
mkdir -p "$E2E"

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# reg_sim KEY VALUE-NAME PATH: registers a simulator folder (32-bit view).
reg_sim() {
  "$WRUN" reg add "HKLM\\Software\\Microsoft\\Microsoft Games\\$1" /v "$2" /d "$3" /f /reg:32 >/dev/null 2>&1
}
reg_clear() {
  for k in 'Flight Simulator\8.0' 'Flight Simulator\7.0' 'Combat Flight Simulator\3.0'; do
    "$WRUN" reg delete "HKLM\\Software\\Microsoft\\Microsoft Games\\$k" /f /reg:32 >/dev/null 2>&1 || true
  done
}

# program_dir NAME: a fresh program folder with Vellmora.exe; prints its path.
program_dir() {
  d="$E2E/$1"
  rm -rf "$d"; mkdir -p "$d"
  cp "$BUILD/src/win32/Vellmora.exe" "$d/"
  printf '%s' "$d"
}

# sim_dir NAME: a stand-in simulator folder with a texture folder.
sim_dir() {
  d="$E2E/$1"
  rm -rf "$d"; mkdir -p "$d/texture" "$d/UIRES" "$d/Modules"
  printf '%s' "$d"
}

# ipc_sim NAME: a stand-in simulator folder with the IPC module and one data
# set, texture\Sky\Summer, registered as the only simulator; prints its path.
ipc_sim() {
  d=$(sim_dir "$1")
  mkdir -p "$d/texture/Sky/Summer"
  : > "$d/Modules/FSUIPC.dll"
  head -c 3000 /dev/urandom > "$d/texture/Sky/Summer/cld1.bmp"
  reg_clear
  reg_sim 'Flight Simulator\8.0' 'EXE Path' "$(winpath "$d")"
  printf '%s' "$d"
}

# ipc_ini DIR [MORE]: the program folder's cloud.ini for an ipc_sim
# simulator (no backup, no logo, the set "Summer"), then MORE, with CR LF.
ipc_ini() {
  { ini_head; printf '%s' "[ShowLogo]
Show=off
[Set1]
DirName=Summer
${2:-}"; } | sed 's/$/\r/' > "$1/cloud.ini"
}

# files_ini DIR SET [MORE]: the program folder's cloud.ini for a plain
# simulator (no backup, no logo, the file lists shown), MORE, then the one
# set SET, with CR LF.
files_ini() {
  { ini_head; printf '%s' "[ShowSkyFiles]
ShowFiles=True
[ShowLogo]
Show=off
${3:-}[Set1]
DirName=$2
"; } | sed 's/$/\r/' > "$1/cloud.ini"
}

# The head both start with: the program's name, the data folder "Sky", no
# backup.
ini_head() {
  printf '%s\n' '[AppName]' 'Name=Vellmora' '[DataDirName]' 'Name=Sky' '[BackUpFunc]' 'Func=off'
}

# start_vellmora DIR: runs the program of DIR in the background
# ($prog_pid); stop_vellmora, also when the script ends, kills it if it
# still runs and closes a stand-in simulator still up.
start_vellmora() {
  trap stop_vellmora EXIT
  "$WRUN" "$(winpath "$1")\\Vellmora.exe" >/dev/null 2>&1 &
  prog_pid=$!
}
stop_vellmora() {
  if [ -n "${prog_pid:-}" ]; then
    ! prog_running || kill "$prog_pid" 2>/dev/null || true
    wait "$prog_pid" 2>/dev/null || true
    prog_pid=
  fi
  drive wait FS98MAIN 100 close >/dev/null 2>&1 || true
  if [ -n "${sim_pid:-}" ]; then
    soon gone_pid "$sim_pid" || kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
  fi
}

# start_sim OPTION...: the stand-in simulator (fakesim.exe beside the
# scenarios' folders) with its options, in the background ($sim_pid), once
# its window is up; stop_vellmora closes it.
start_sim() {
  trap stop_vellmora EXIT
  cp "$BUILD/src/win32/fakesim.exe" "$E2E/"
  "$WRUN" "$(winpath "$E2E")\\fakesim.exe" "$@" >/dev/null 2>&1 &
  sim_pid=$!
  drive wait FS98MAIN 60000 >/dev/null || { echo "the stand-in simulator did not come up"; return 1; }
}

# last_installed DIR: [LastInstalled] of DIR's cloud.ini, its key=value
# lines joined by blanks.
last_installed() {
  tr -d '\r' < "$1/cloud.ini" | sed -n '/^\[LastInstalled\]/,/^\[/p' | grep -v '^\[' | tr '\n' ' '
}
# Whether the program runs (an ended one stays a zombie until this shell
# reaps it).
prog_running() { ! gone_pid "$prog_pid"; }
gone_pid() {
  _st=$(ps -o stat= -p "$1" 2>/dev/null) || return 0
  case "$_st" in Z*|"") return 0 ;; esac
  return 1
}
prog_gone() { ! prog_running; }
# Waits up to 20 s for the program to end.
prog_ended() { soon prog_gone || { echo "the program did not end"; return 1; }; }

# The driver writes to a file, never straight into a caller's $(...): the
# first Windows program of a session may start Wine's desktop process, which
# inherits its output and lives on, and a command substitution would then
# wait for it for ever.
drive() {
  _out=$(mktemp)
  _rc=0
  "$WRUN" "$BUILD/src/win32/e2edriver.exe" "$@" >"$_out" 2>&1 </dev/null || _rc=$?
  cat "$_out"
  rm -f "$_out"
  return $_rc
}

# soon COMMAND...: the command succeeds within 20 s (tried every 0.2 s);
# otherwise its last output is shown. within SECONDS COMMAND...: the same
# with another limit.
soon() { within 20 "$@"; }
within() {
  _n=$(($1 * 5)); shift
  _i=0
  until _said=$("$@" 2>&1); do
    _i=$((_i + 1))
    [ $_i -le $_n ] || { echo "$_said"; return 1; }
    sleep 0.2
  done
}

fails=0
passes=0
check() {  # check NAME COMMAND...: runs a scenario and counts it
  name=$1; shift
  if out=$("$@" 2>&1); then passes=$((passes+1)); echo "ok   $name"
  else fails=$((fails+1)); echo "FAIL $name"; printf '%s\n' "$out" | sed 's/^/     /'; fi
}
finish() {
  echo "$passes passed, $fails failed"
  [ "$fails" = 0 ]
}
