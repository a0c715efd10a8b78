# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Sourced by wine-e2e.sh: drives the Windows console's window under Wine as an operator would,
# with the mouse and keyboard (xdotool), on the X display the row runs on. It reads the window
# back the way a person does: the Init button's caption by character recognition (tesseract) of
# that button's face, and the event log through the clipboard (select all, copy). Points are
# the centres of the controls' fixed places in the window, in pixels at 96 DPI.
com_port_field=(196 73)
init_button=(212 28)
init_face=81x17+172+20 # the Init button inside its border
device_code_field=(72 81) # the field before the command list in the keyboard order
send_wait_button=(52 204)
event_log=(372 148)
exit_button=(424 300)

# click X Y: a left click at that point of the console's window.
click() { xdotool mousemove --sync --window "$window" "$1" "$2" click 1; }

# init_caption: what the Init button says, as read from the screen.
init_caption() {
  import -window "$window" "$work/window.png" &&
    convert "$work/window.png" -crop "$init_face" +repage -colorspace gray -resize 400% \
      "$work/init.png" &&
    tesseract "$work/init.png" - --psm 7 2>/dev/null | tr -d '[:space:]'
}

# copied_text X Y: the whole text of the field at that point, copied from the window.
copied_text() {
  click "$1" "$2" && xdotool key --clearmodifiers ctrl+a ctrl+c && sleep 0.3 &&
    timeout 5 xclip -o -selection clipboard 2>/dev/null
}

# poll SECONDS COMMAND...: until COMMAND succeeds, once a second; fails after SECONDS, or once
# the console has ended.
poll() {
  local tries=$1
  shift
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] && kill -0 "$console_pid" 2>/dev/null || return 1
    sleep 1
  done
}

init_says() { [ "$(init_caption)" = "$1" ]; }
log_has_b3_on() { copied_text "${event_log[@]}" | grep -q '^Event: HC:B DC:3 Com: 2 '; }

# The first clicks after the window shows may be lost under Wine, and keys then go to the field
# that has the focus (the house code). Nothing is typed until a click on the port field is seen
# to take: copying from it gives its text, 2 when the window opens.
port_field_takes_clicks() { [ "$(copied_text "${com_port_field[@]}")" = 2 ]; }

# Two ways to end the console: its Exit button, or Alt+F4, the close that the title bar's button
# and Task Manager's End task also ask of a window (WM_CLOSE).
close_console() {
  case $1 in
    Exit) click "${exit_button[@]}" ;;
    Alt+F4) xdotool key --clearmodifiers alt+F4 ;;
  esac
}

# run_window PORT CONSOLE.exe Exit|Alt+F4: the console on COM PORT: Init, Send Wait "A1 On",
# "B3 On" heard by the simulator into the event log, then closed that way.
run_window() {
  local port=$1 program=$2 closing=$3
  QT_QPA_PLATFORM=windows:fontengine=directwrite "${runner[@]}" "$program" \
    >"$work/console.log" 2>&1 &
  console_pid=$!
  source "$here/../../scripts/xwindow.sh"
  logs=(console.txt sim.log)
  if ! window=$(window_of Form1 "$console_pid" 60); then
    check "the console's window shows within 60 s" false
    tr -d '\r' <"$work/console.log" >"$work/console.txt"
    return
  fi

  # Each step needs the one before: the first that fails ends the row, with a look at the window.
  check "the window takes clicks" poll 30 port_field_takes_clicks
  if [ "$failed" -eq 0 ]; then
    click "${com_port_field[@]}" && xdotool key --clearmodifiers ctrl+a && xdotool type "$port"
    click "${init_button[@]}"
    check "Init says Done" poll 30 init_says Done
  fi
  if [ "$failed" -eq 0 ]; then
    # Tab into the command list and type the entry's name: a click would open its drop-down,
    # which takes the keys only once it shows.
    click "${device_code_field[@]}" && xdotool key Tab && xdotool type On
    click "${send_wait_button[@]}"
    check "Send Wait \"A1 On\" switched the lamp on" wait_for 30 "$work/sim.log" 'A1 lamp on'
  fi
  if [ "$failed" -eq 0 ]; then
    echo "B3 On" >&7
    check "\"B3 On\" heard by the simulator reached the event log" poll 20 log_has_b3_on
  fi
  import -window "$window" "$screenshot"
  if [ "$failed" -eq 0 ]; then
    close_console "$closing"
    local status=0
    wait_for_exit 20 "$console_pid" || status=$?
    check "$closing ended the console with status 0" test "$status" -eq 0
    check "the port was closed" wait_for 10 "$work/sim.log" 'port +closed by the other side'
  fi
  tr -d '\r' <"$work/console.log" >"$work/console.txt"
}
