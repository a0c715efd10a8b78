// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Form1 around a RecordingController, shown on the test platform.

#include "tests/console/recordingcontroller.h"
#include "tests/support/windowundertest.h"

struct ConsoleUnderTest : WindowUnderTest {
  ConsoleUnderTest();

  RecordingController *fake; // owned by form
};
