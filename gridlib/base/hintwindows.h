// The library's hint window: a hint in a font and colour of its own, for
// cells whose text does not fit (the grid shows the cell's text in the
// cell's font) and for the data hint windows built on it.
#pragma once

#include "platform/ui/windowing/hints.h"

// A hint window that takes the font handed over with the hint.  In the
// application's hint colour it looks like the platform's hint; in any other
// colour it draws the text alone, 2 pixels in from the left and top.
class THintWindowEh : public THintWindow {
  RTL_CLASS(THintWindowEh, THintWindow)
public:
  explicit THintWindowEh(TComponent* AOwner) : THintWindow(AOwner) {}

  // reimplemented
  // AData, when given, is a TObject; a TFont becomes the window's font.
  void ActivateHintData(TRect Rect, const String& AHint, void* AData) override;
  // AData, when given, is a TFont the measurement uses (in clWindowText).
  // The measured text plus 6 pixels of width and 2 of height.
  TRect CalcHintRect(Integer MaxWidth, const String& AHint, void* AData) override;

protected:
  void Paint() override;
};
