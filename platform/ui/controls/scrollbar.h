// TScrollBar: a stand-alone scroll bar.
//
// The control's window is a scroll-bar control: its client area is the
// window's SB_CTL bar (scrollinfo.h), vertical with sbVertical.  The window's
// bar draws the classic look, repeats the arrows and page areas and drags the
// thumb; its codes come back through the parent as CN_HSCROLL / CN_VSCROLL.
// Each code becomes a new position (a line SmallChange, a page LargeChange,
// the thumb's whole position, the ends) clamped into the range and passes
// OnScroll, whose ScrollPos becomes the position.  Keys: the arrows a line,
// Page Up / Page Down a page, Home / End the ends, SB_ENDSCROLL at the key's
// release.  The thumb covers PageSize positions, so the highest position is
// Max - max(PageSize - 1, 0); out-of-range values are clamped, never
// refused (TScrollRange).
#pragma once

#include "platform/ui/graphics/scrollpaint.h"
#include "platform/ui/windowing/controls.h"

RTL_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
// The SB_* codes in order.
RTL_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
         scEndScroll)

using TScrollEvent = TMethodPtr<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

class TScrollBar : public TCustomControl {
  RTL_CLASS(TScrollBar, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TScrollBar(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // A change of kind swaps width and height (outside loading).
  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  Integer Min() const { return FRange.Min; }
  void SetMin(Integer Value) { SetParams(FPosition, Value, FRange.Max); }
  Integer Max() const { return FRange.Max; }
  void SetMax(Integer Value) { SetParams(FPosition, FRange.Min, Value); }
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value) { SetParams(Value, FRange.Min, FRange.Max); }
  Integer PageSize() const { return FRange.PageSize; }
  void SetPageSize(Integer Value);
  Integer SmallChange() const { return FSmallChange; }
  void SetSmallChange(Integer Value) { FSmallChange = Value; }
  Integer LargeChange() const { return FLargeChange; }
  void SetLargeChange(Integer Value) { FLargeChange = Value; }
  // Range and position at once, clamped (TScrollRange); OnChange when the
  // position moved.
  void SetParams(Integer APosition, Integer AMin, Integer AMax);

  // events
  TScrollEvent OnScroll;
  TNotifyEvent OnChange;

protected:
  // introduced virtuals
  virtual void Change();  // OnChange
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos);  // OnScroll
  // The position a code leads to, through Scroll, then set.
  void DoScroll(TWMScroll& Message);

  // overridable message handlers
  // The inherited handling (OnMouseDown), then the bar tracks the press.
  virtual void WMLButtonDown(TWMMouse& Message);
  // The inherited answer, which takes the capture back and so ends a press
  // on the bar with SB_ENDSCROLL.
  virtual void WMCancelMode(TWMCancelMode& Message);
  // Base: the inherited answer.
  virtual void WMMouseActivate(TWMMouseActivate& Message);

  // reimplemented
  // SBS_VERT for sbVertical.
  void CreateParams(TCreateParams& Params) override;
  // The new window's bar gets the range, page and position.
  void CreateWnd() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void PaintWindow(gdi::HDC DC) override;

  // message handlers
  void CNScroll(TWMScroll& Message);
  // DLGC_WANTARROWS: the arrows scroll instead of moving the focus.
  void WMGetDlgCode(TWMGetDlgCode& Message);
  void CMEnabledChanged(TMessage& Message);

private:
  // Range and position as they stand into the window's bar.
  void updateBar();
  void setRange(const TScrollRange& Range, Integer Position);
  // A key's code (SB_*), -1 for other keys.
  static int keyCode(Word Key);
  // WM_HSCROLL / WM_VSCROLL of Code to the parent, as the bar sends it.
  void sendCode(int Code);

  TScrollBarKind FKind = sbHorizontal;
  TScrollRange FRange;
  Integer FPosition = 0;
  Integer FSmallChange = 1;
  Integer FLargeChange = 1;
};
