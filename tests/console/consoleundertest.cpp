// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/console/consoleundertest.h"

ConsoleUnderTest::ConsoleUnderTest()
    : WindowUnderTest(std::make_unique<RecordingController>()),
      fake(static_cast<RecordingController *>(&form.controlcm1())) {}
