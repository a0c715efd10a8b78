#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds the console and the CM11A simulator, publishes the simulator as COM 2, feeds it a
# little remote-control traffic every few seconds, and opens the console. Commands typed
# here go to the simulator ("B3 On", "modules", "help"). Closing the console stops it all.
#
# --remote: the same through a network port, with no hardware. A ser2net of the demo's own
# (/usr/sbin/ser2net, from the Debian package ser2net) serves the simulator's pseudo-terminal
# over telnet with RFC 2217 on 127.0.0.1 and a free port, and COM 2 is a port file naming it.
# --tcp: a network port with no ser2net: the simulator serves its TCP port itself on
# 127.0.0.1 and a free port, and COM 2 is a port file naming it (tcp://127.0.0.1:PORT).
# Both keep everything in a temporary folder that the console takes as its XDG_CONFIG_HOME, so
# the user's own port links and files are never touched; it is removed on exit.
# Usage: scripts/demo.sh [--remote | --tcp]
set -euo pipefail
cd "$(dirname "$0")/.."

remote=false
tcp=false
case "${1:-}" in
  "") ;;
  --remote) remote=true ;;
  --tcp) tcp=true ;;
  *) echo "Usage: scripts/demo.sh [--remote | --tcp]" >&2; exit 2 ;;
esac

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
There is no display to open the console window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it on a desktop session, or take a screenshot of it on a virtual X server:
  scripts/screenshot.sh demo.png
MSG
  exit 1
fi

scripts/install-deps.sh build
# The test group is the one that holds ser2net.
if $remote && [ ! -x /usr/sbin/ser2net ]; then scripts/install-deps.sh test; fi
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)" --target x10console cm11a-sim

pids=()
folder=
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  [ -z "$folder" ] || rm -rf "$folder"
}
trap cleanup EXIT

# Waits up to 5 s for a file to appear while the process that makes it runs.
await() {
  for _ in $(seq 50); do
    [ -e "$1" ] && return 0
    kill -0 "$2" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# True when something on this machine uses the TCP port (any address, any state).
port_in_use() {
  grep -qi "^ *[0-9]*: [0-9A-F]*:$(printf %04X "$1") " /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

# True when a socket listens on 127.0.0.1 and the port (state 0A).
listening() {
  grep -qi "^ *[0-9]*: 0100007F:$(printf %04X "$1") 00000000:0000 0A" /proc/net/tcp
}

# Makes COM 2 a port file naming the address $1 in the demo's own configuration folder, and
# opens the console there.
console_on() {
  mkdir -p "$folder/x10console/ports"
  echo "$1" >"$folder/x10console/ports/com2"
  echo "Console up: press Init (COM 2), pick a command, press Send Exec. Close the window to stop."
  XDG_CONFIG_HOME=$folder build/dev/console/x10console
}

if $tcp; then
  folder=$(mktemp -d -t x10-tcp-demo.XXXXXX)
  # Its output goes to the terminal as always, and to a file its start line is read from.
  build/dev/simulator/cm11a-sim --tcp 0 --script simulator/scripts/demo-traffic.x10 <&0 \
    > >(tee "$folder/cm11a-sim.out") &
  pids+=($!)
  address=
  for _ in $(seq 50); do
    address=$(grep -o 'tcp://[^ ]*' "$folder/cm11a-sim.out" 2>/dev/null) && break
    kill -0 "${pids[0]}" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$address" ] || { echo "demo.sh: the simulator did not start listening" >&2; exit 1; }
  echo "The simulator serves $address itself, which COM 2 names."
  console_on "$address"
  exit
fi

if ! $remote; then
  link="${XDG_CONFIG_HOME:-$HOME/.config}/x10console/ports/com2"
  build/dev/simulator/cm11a-sim --com 2 --script simulator/scripts/demo-traffic.x10 <&0 &
  pids+=($!)
  await "$link" "${pids[0]}" || exit 1
  echo "Console up: press Init (COM 2), pick a command, press Send Exec. Close the window to stop."
  build/dev/console/x10console
  exit
fi

folder=$(mktemp -d -t x10-remote-demo.XXXXXX)
build/dev/simulator/cm11a-sim --link "$folder/cm11a" --script simulator/scripts/demo-traffic.x10 <&0 &
pids+=($!)
await "$folder/cm11a" "${pids[0]}" || exit 1

port=
for _ in $(seq 20); do
  candidate=$((49152 + RANDOM % 16000))
  port_in_use "$candidate" || { port=$candidate; break; }
done
[ -n "$port" ] || { echo "demo.sh: found no free port on 127.0.0.1" >&2; exit 1; }

cat >"$folder/ser2net.yaml" <<YAML
connection: &cm11a
  accepter: telnet(rfc2217),tcp,127.0.0.1,$port
  connector: serialdev,$(readlink -f "$folder/cm11a"),4800n81,local
YAML
# -n: in the foreground; -u: no lock file of its own (the console locks the device);
# its messages go to a log, shown if it fails.
/usr/sbin/ser2net -n -d -u -c "$folder/ser2net.yaml" -P "$folder/ser2net.pid" >"$folder/ser2net.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  listening "$port" && break
  kill -0 "${pids[1]}" 2>/dev/null || break
  sleep 0.1
done
if ! listening "$port"; then
  echo "demo.sh: ser2net does not listen on 127.0.0.1:$port:" >&2
  cat "$folder/ser2net.log" >&2
  exit 1
fi

echo "ser2net serves the simulator on rfc2217://127.0.0.1:$port, which COM 2 names."
console_on "rfc2217://127.0.0.1:$port"
