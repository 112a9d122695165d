// The units every chart canvas suite starts: graphics (for the built-in
// system libraries), the chart message table and the canvas unit.
#pragma once

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/chartmessages.h"
#include "platform/ui/graphics/graphicsunit.h"

#include "tests/support/testing.h"

class CanvasTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitializeUnits({GraphicsUnit, ChartMessagesUnit, CanvasUnit}); }
};
