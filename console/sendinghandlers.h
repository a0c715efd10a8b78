// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Sending: the handlers of "Send Exec" and "Send Wait". Both hand the component the selected
// command, the house and device code as typed, and the dim value and two data values read by
// the numeric-field rule without rounding.

class Form1;

void Command1_Click(Form1 &form); // SendExec
void Command5_Click(Form1 &form); // SendWait
