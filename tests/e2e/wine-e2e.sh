#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# End to end under Wine against a real cm11a-sim of the build machine, in fast mode, with one of
# two clients: the probe program of tests/windows (the Windows driver alone: Init, Send Wait
# "A1 On", then GetEvent for 10 s), or the console itself, its window driven on the X display
# the row runs on (wine-window.sh).
# com: the simulator's pseudo-terminal is COM 1 of the Wine prefix (its Ports registry key names
# the port link; wineserver maps it when it next starts). tcp: the simulator serves TCP on
# 127.0.0.1 and COM 2 is the port file %APPDATA%\x10console\ports\port2.txt holding
# tcp://127.0.0.1:PORT. Either way Init must say 0, Send Wait "A1 On" must switch the
# simulator's lamp A1 on, and "B3 On", heard by the simulator once the send is done, must come
# back: from GetEvent to the probe, into the event log of the window.
# The prefix is a separate one (X10_WINEPREFIX, by default wineprefix-e2e in the cache folder):
# changing its ports waits for every Wine program in it to end.
# Usage: tests/e2e/wine-e2e.sh com|tcp probe|window CM11A_SIM CLIENT.exe WINE-RUNNER...
# A window row leaves its last look at the window in wine-window-MODE.png in the folder it runs in.
set -euo pipefail
case ${1:-}-${2:-} in
  com-probe | com-window | tcp-probe | tcp-window) [ $# -ge 5 ] ;;
  *) false ;;
esac || { echo "usage: $0 com|tcp probe|window CM11A_SIM CLIENT.exe WINE-RUNNER..." >&2; exit 2; }
mode=$1
client=$2
sim=$3
program=$4
shift 4
runner=("$@")
here=$(dirname "$0")
source "$here/../package/checks.sh"
source "$here/../../scripts/wineprefix.sh"
X10_WINEPREFIX=${X10_WINEPREFIX:-$(wine_cache)/wineprefix-e2e}
export X10_WINEPREFIX
wine_prefix_ready "$X10_WINEPREFIX"
# A Wine session lingers a few seconds after its last program; one left by the row before, on
# another X display or none, would own the desktop this row's window needs. End it first (the
# rows share the prefix one at a time).
wineserver -k 2>/dev/null || true
wineserver -w

work=$(mktemp -d)
sim_pid=
console_pid=
cleanup() {
  for pid in $console_pid $sim_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

# wait_for SECONDS FILE PATTERN [PID]: until a line of FILE matches the extended PATTERN; fails
# after SECONDS, or once the process PID has ended.
wait_for() {
  local tries=$(($1 * 10))
  until grep -Eq "$3" "$2" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    [ -z "${4:-}" ] || kill -0 "$4" 2>/dev/null || return 1
    sleep 0.1
  done
}

# wait_for_exit SECONDS PID: the status of the process PID, once it ends; 124 when it is still
# running after SECONDS, and then it is ended.
wait_for_exit() {
  local tries=$(($1 * 10))
  while kill -0 "$2" 2>/dev/null; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || { kill "$2"; wait "$2" 2>/dev/null; return 124; }
    sleep 0.1
  done
  wait "$2"
}

if [ "$mode" = tcp ] && ! "$sim" --help | grep -q -- --tcp; then
  echo "skipped: this cm11a-sim has no --tcp"
  exit 77
fi
mkfifo "$work/commands"
case $mode in
  com) "$sim" --fast --link "$work/com1" <"$work/commands" >"$work/sim.log" 2>&1 & ;;
  tcp) "$sim" --fast --tcp 0 <"$work/commands" >"$work/sim.log" 2>&1 & ;;
esac
sim_pid=$!
exec 7>"$work/commands" # the simulator's standard input, held open

if [ "$mode" = com ]; then
  wait_for 10 "$work/sim.log" . || { cat "$work/sim.log"; exit 1; }
  [ -L "$work/com1" ] || { echo "no port link $work/com1"; cat "$work/sim.log"; exit 1; }
  "${runner[@]}" reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$work/com1" /f >/dev/null
  WINEPREFIX=$X10_WINEPREFIX wineserver -w
  port=1
else
  wait_for 10 "$work/sim.log" 'tcp://127\.0\.0\.1:[0-9]+' || { cat "$work/sim.log"; exit 1; }
  address=$(grep -Eom1 'tcp://127\.0\.0\.1:[0-9]+' "$work/sim.log")
  ports=$X10_WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/x10console/ports
  mkdir -p "$ports"
  echo "$address" >"$ports/port2.txt"
  port=2
fi

# run_probe PORT PROBE.exe: the probe on COM PORT; "B3 On" is heard once its send is done.
run_probe() {
  "${runner[@]}" "$2" "$1" 10 >"$work/probe.log" 2>"$work/probe.err" &
  local pid=$! status=0
  if wait_for 60 "$work/probe.log" 'SendWait A1 On: done' "$pid"; then
    echo "B3 On" >&7
  fi
  wait "$pid" || status=$?
  tr -d '\r' <"$work/probe.log" >"$work/probe.txt"
  check "Init says 0" grep -Eq ' ms  Init: 0 ?$' "$work/probe.txt"
  check "Send Wait \"A1 On\" switched the lamp on" grep -q 'A1 lamp on' "$work/sim.log"
  check "\"B3 On\" heard by the simulator came back from GetEvent" \
    grep -Eq ' ms  GetEvent: B3 On$' "$work/probe.txt"
  check "the probe ended with status 0" test "$status" -eq 0
  logs=(probe.txt probe.err sim.log)
}

case $client in
  probe) run_probe "$port" "$program" ;;
  window)
    screenshot=$PWD/wine-window-$mode.png
    source "$here/wine-window.sh"
    if [ "$mode" = com ]; then run_window "$port" "$program" Exit
    else run_window "$port" "$program" Alt+F4; fi ;;
esac
if [ "$failed" -gt 0 ]; then
  for log in "${logs[@]}"; do
    echo "--- $log"
    cat "$work/$log"
  done
fi
tally
