#include "platform/ui/windowing/caret.h"

#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/windowingstate_p.h"

struct windowing_detail::TCaretState {
  gdi::HWND Owner = nullptr;  // nullptr: no caret
  gdi::POINT Pos{0, 0};
  int Width = 0;
  int Height = 0;
  int HideCount = 0;  // shown at 0
};

namespace {

using windowing_detail::TCaretState;

TCaretState& caret() { return WindowingState().Caret.Get(); }

// The caret when there is one and Window names its owner (nullptr: any).
TCaretState* ownedCaret(gdi::HWND Window) {
  TCaretState& C = caret();
  if (!C.Owner || (Window && Window != C.Owner)) return nullptr;
  return &C;
}

}  // namespace

namespace gdi {

BOOL CreateCaret(HWND Window, HBITMAP /*Bitmap*/, int Width, int Height) {
  if (!IsWindow(Window)) return 0;
  // A new caret starts hidden, so its owner shows it once it is placed.
  caret() = {Window, {0, 0}, Width ? Width : GetSystemMetrics(SM_CXBORDER),
             Height ? Height : GetSystemMetrics(SM_CYBORDER), /*HideCount=*/1};
  return 1;
}

BOOL DestroyCaret() {
  if (!ownedCaret(nullptr)) return 0;
  caret() = {};
  return 1;
}

BOOL SetCaretPos(int X, int Y) {
  TCaretState* C = ownedCaret(nullptr);
  if (!C) return 0;
  C->Pos = {X, Y};
  return 1;
}

BOOL GetCaretPos(POINT* Point) {
  const TCaretState* C = ownedCaret(nullptr);
  if (!C || !Point) return 0;
  *Point = C->Pos;
  return 1;
}

BOOL ShowCaret(HWND Window) {
  TCaretState* C = ownedCaret(Window);
  if (!C) return 0;
  if (C->HideCount > 0) --C->HideCount;
  return 1;
}

BOOL HideCaret(HWND Window) {
  TCaretState* C = ownedCaret(Window);
  if (!C) return 0;
  ++C->HideCount;
  return 1;
}

}  // namespace gdi

namespace ui_detail {

void ForgetWindowCaret(gdi::HWND Window) {
  // Windows die during shutdown too, after the caret's part may be gone.
  TCaretState* C = WindowingState().Caret.Find();
  if (C && C->Owner == Window) *C = {};
}

}  // namespace ui_detail

namespace test {

bool IsCaretVisible() {
  const TCaretState* C = ownedCaret(nullptr);
  return C && C->HideCount == 0;
}

}  // namespace test
