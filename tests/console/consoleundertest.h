#pragma once
// Form1 around a RecordingController, shown on the test platform.

#include "recordingcontroller.h"
#include "windowundertest.h"

struct ConsoleUnderTest : WindowUnderTest {
  ConsoleUnderTest();

  RecordingController *fake; // owned by form
};
