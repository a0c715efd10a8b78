// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The busy cursor over the whole application for as long as a guard lives. A handler holds one
// around a member call that blocks the window; the cursor comes back when the call returns or
// throws. The window takes no input meanwhile, and says so: clicks and keys the window system
// queued during the call are dropped when the guard goes, not run afterwards (a GetEvent
// clicked again during a 10 s poll would otherwise hold the window another 10 s).

class BusyCursor {
public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor &) = delete;
  BusyCursor &operator=(const BusyCursor &) = delete;
};
