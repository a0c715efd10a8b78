# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Sourced by the screenshot scripts.

# window_of TITLE PID SECONDS: prints the id of the X window titled TITLE once it shows; fails
# when the process PID ends first or SECONDS pass.
window_of() {
  local title=$1 pid=$2 tries=$(($3 * 10)) window
  while [ "$tries" -gt 0 ]; do
    window=$(xwininfo -root -tree | awk -v title="\"$title\"" 'index($0, title) { print $1; exit }')
    [ -n "$window" ] && { echo "$window"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
    tries=$((tries - 1))
  done
  return 1
}
