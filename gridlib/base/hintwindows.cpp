#include "gridlib/base/hintwindows.h"

#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/application.h"

using namespace gdi;

namespace {

// The text's inset from the client area's top-left, and what the frame and
// that inset add to a measured text.
constexpr Integer TextInset = 2;
constexpr Integer ExtraWidth = 6, ExtraHeight = 2;

void drawHintText(TCanvas* Canvas, const String& Text, TRect& Rect, UINT Format) {
  DrawText(Canvas->Handle(), reinterpret_cast<const Char*>(Text.utf16()), Text.length(), &Rect, Format);
}

}  // namespace

void THintWindowEh::ActivateHintData(TRect Rect, const String& AHint, void* AData) {
  if (auto* DataFont = dynamic_cast<TFont*>(static_cast<TObject*>(AData))) Font()->Assign(DataFont);
  THintWindow::ActivateHintData(Rect, AHint, AData);
}

TRect THintWindowEh::CalcHintRect(Integer MaxWidth, const String& AHint, void* AData) {
  if (AData) Canvas()->Font()->Assign(static_cast<TFont*>(static_cast<TObject*>(AData)));
  Canvas()->Font()->SetColor(clWindowText);
  TRect Result(0, 0, MaxWidth, 0);
  drawHintText(Canvas(), AHint, Result,
               DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DrawTextBiDiModeFlagsReadingOnly());
  Result.Right += ExtraWidth;
  Result.Bottom += ExtraHeight;
  return Result;
}

void THintWindowEh::Paint() {
  Canvas()->Font()->Assign(Font());
  if (Color() == Application->HintColor()) {
    THintWindow::Paint();
    return;
  }
  TRect R = ClientRect();
  R.Left += TextInset;
  R.Top += TextInset;
  drawHintText(Canvas(), Caption(), R, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DrawTextBiDiModeFlagsReadingOnly());
}
