#!/bin/sh
# The weather editor through the real windows: with the stand-in simulator
# holding three cloud layers, the editor opened from the main window's menu
# shows them and the altitude; a coverage change, an added and a deleted
# layer reach the simulator's table exactly; a bad top sends nothing; and
# when the simulator goes, editing stops.
. "$(dirname "$0")/lib.sh"

sim=$(ipc_sim sim-weather)
dir=$(program_dir weather)
ipc_ini "$dir"
cp "$BUILD/src/win32/fakesim.exe" "$E2E/"
log="$E2E/weather-writes.log"
rm -f "$log" "$E2E/weather-editor.png"

# Layers low to high: type:coverage:base:top:deviation[:turbulence:icing:
# precipitation base:type:rate], metres.
layers=8:6:400:900:60:0:1:200:1:2,9:4:1200:2400:150,1:3:7500:8000:100

pids=
stop_all() { for p in $pids; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done; }
trap stop_all EXIT
"$WRUN" "$(winpath "$E2E")\\fakesim.exe" "layers=$layers" alt=0:1000 "log=$(winpath "$log")" >/dev/null 2>&1 &
pids="$!"
drive wait FS98MAIN 60000 >/dev/null || { echo "no stand-in simulator"; exit 1; }
"$WRUN" "$(winpath "$dir")\\Vellmora.exe" >/dev/null 2>&1 &
pids="$pids $!"

# The cloud-layer table as the simulator lays it, in the log's hex: records
# of 24 bytes, then the end marker, zeros to 6144 bytes.
le16() { printf '%02X%02X' $(($1 & 255)) $(($1 >> 8 & 255)); }
rec() {  # follow type coverage base top dev turb ice pbase ptype prate
  printf '1800%02X00' "$1"; le16 "$5"; le16 "$4"; le16 "$6"
  printf '%02X00%02X00%02X00%02X00' "$3" "$2" "$7" "$8"; le16 "$9"; printf '%02X00%02X00' "${10}" "${11}"
}
table() {  # the records given as arguments, already in hex
  t=$(printf '%s' "$@")
  t="${t}0000FFFF"
  while [ ${#t} -lt 12288 ]; do t="${t}00"; done
  printf '%s' "$t" | cut -c1-12288
}
# The log also holds the library-version write of each connect.
writes() { grep -c ' 00560000 ' "$log" 2>/dev/null || true; }
written() { grep ' 00560000 ' "$log" | tr -d '\r' | sed -n "${1}p" | awk '{print $4}'; }

W=VellmoraWeather
opens_with_layers() {
  drive wait VellmoraMain 60000 enabled 1010 1 60000 command 2012 \
    wait $W 20000 title "Weather Setting" waittext 3051 1 20000 waittext 3052 3,280.8 20000 \
    text 3001 Stratus text 3002 "Broken    (6/8)" text 3003 2,952 text 3004 1,312 text 3005 196 \
    text 3007 Trace text 3008 Rain text 3009 656 text 3010 Light \
    items 3002 'Few        (1/8)|Few        (2/8)|Scattered (3/8)|Scattered (4/8)|Broken    (5/8)|Broken    (6/8)|Broken    (7/8)|Overcast  (8/8)' \
    enabled 3043 1 5000 || return 1
  import -window root "$E2E/weather-editor.png" 2>/dev/null || true
  # A press on the deviation's down arrow steps it by 5 feet.
  drive wait $W 5000 click 3032 waittext 3005 191 5000 || return 1
  [ "$(writes)" = 0 ] || { echo "the editor wrote before a send"; return 1; }
}

sends_one_coverage() {
  drive wait $W 5000 scroll 3050 1 waittext 3051 2 5000 text 3001 Cumulus text 3002 "Scattered (4/8)" \
    select 3002 1 click 3043 lines "$(winpath "$log")" 2 20000 waittext 3002 "Few        (2/8)" 20000 || return 1
  [ "$(writes)" = 1 ] || { echo "$(writes) writes, not 1"; return 1; }
  want=$(table "$(rec 2 8 6 400 900 60 0 1 200 1 2)" "$(rec 1 9 2 1200 2400 150 0 0 0 0 0)" \
                "$(rec 0 1 3 7500 8000 100 0 0 0 0 0)")
  [ "$(written 1)" = "$want" ] || { echo "the table written differs:"; written 1 | cut -c1-160; echo "$want" | cut -c1-160; return 1; }
}

adds_and_deletes() {
  drive wait $W 5000 waittext 3051 2 5000 click 3040 lines "$(winpath "$log")" 3 20000 \
    enabled 3041 1 20000 waittext 3051 2 10000 || return 1
  # Four layers now: the first record says three follow.
  [ "$(written 2 | cut -c5-6)" = 03 ] || { echo "no layer added"; written 2 | cut -c1-100; return 1; }
  drive wait $W 5000 text 3003 3,937 text 3004 3,438 click 3041 lines "$(winpath "$log")" 4 20000 \
    enabled 3041 1 20000 || return 1
  [ "$(written 3)" = "$(written 1)" ] || { echo "delete did not give back the three layers"; return 1; }
}

bad_top_sends_nothing() {
  drive wait $W 5000 settext 3003 abc click 3043 wait VellmoraMsg 10000 title "Data Input Error" \
    click 12 gone VellmoraMsg 10000 wait $W 5000 shot 1500 || return 1
  [ "$(writes)" = 3 ] || { echo "a bad top was sent"; return 1; }
}

simulator_goes() {
  drive closeclass FS98MAIN wait $W 5000 waittext 3052 "Not received" 20000 enabled 3043 0 10000 \
    enabled 3001 0 5000 || return 1
}

check opens-with-layers opens_with_layers
check sends-one-coverage sends_one_coverage
check adds-and-deletes adds_and_deletes
check bad-top-sends-nothing bad_top_sends_nothing
check simulator-goes simulator_goes
finish
