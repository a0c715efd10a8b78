// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Event log: polling ("GetEvent"), clearing ("Clear") and the handlers of the component's two
// events. Each writer appends exactly one line ending in CR LF.

#include <QString>
#include <QtGlobal>

class Form1;

// Polls the component once with the time-out in TxtPoll (at most 65535 ms; larger values are
// refused with an "Input Error" box before any call) and logs what it returned.
void Command2_Click(Form1 &form);
// Empties the log.
void Command4_Click(Form1 &form);

void X10Event_Handler(Form1 &form, const QString &deviceCode, const QString &houseCode,
                      qint16 function, const QString &dimValue, const QString &data2);
void X10SingleEvent_Handler(Form1 &form, const QString &deviceCode, const QString &houseCode,
                            qint16 function);
