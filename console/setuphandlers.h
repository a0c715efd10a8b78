// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Set-up, reset and exit: the handlers of "Init", "Clear CM11A" and "Exit".

class Form1;
class QString;

// Writes the port number to the component, shows "Wait..." while Init blocks, then "Done"
// (disabled) on success, or the "Error initializing CM11A" box and "Init" again on failure.
// On success the keyboard focus, if it was on the button, moves on to the next text field;
// after a failure it stays on the button. Until the next Init after a failure, the button's
// tooltip and accessible description carry the component's reason and what to do about it.
void ButInit_Click(Form1 &form);
// The component's word on its link ("Link lost at ...; reconnecting", "Link restored at ...")
// goes on the Init button's tooltip and accessible description, where a failed Init's reason
// goes.
void LinkStatus_Handler(Form1 &form, const QString &text);
// Asks the component to reset the interface; the result is not used.
void ButClrCM11_Click(Form1 &form);
// Closes the window, which ends the program.
void Command3_Click(Form1 &form);
