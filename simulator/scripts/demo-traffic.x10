# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Incoming traffic every few seconds, as remote controls and motion sensors would send it.
wait 3
B3 On
wait 5
B3 Dim 45%
wait 5
C7 Off
wait 5
A3 Status Request
wait 5
B3 Off
wait 5
A5 Extended 1F 31
wait 5
# and again from the top, for as long as the simulator runs
repeat
