// TScrollBar: a stand-alone scroll bar.
//
// The bar is drawn by a QScrollBar rendered into the control's window; the
// input is ours: presses, drags and keys become scroll codes through
// OnScroll, whose ScrollPos becomes the position.  The thumb covers
// PageSize positions, so the highest position is Max - max(PageSize - 1, 0).
// Out-of-range values are clamped, never refused.
#pragma once

#include "platform/ui/windowing/controls.h"

#include <memory>

class TScrollBarWidget;

RTL_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
RTL_ENUM(TScrollCode, scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom,
         scEndScroll)

using TScrollEvent = TMethodPtr<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// The positions a bar of Min .. Max with a thumb of PageSize offers; Max is
// at least Min and PageSize within 0 .. Max - Min + 1.
struct TScrollRange {
  Integer Min = 0;
  Integer Max = 100;
  Integer PageSize = 0;

  // Min and Max kept in order (Max raised to Min), PageSize into its range.
  static TScrollRange Clamped(Integer AMin, Integer AMax, Integer APageSize);
  // Max - max(PageSize - 1, 0), never below Min.
  Integer Highest() const;
  // Position into Min .. Highest.
  Integer Clamp(Integer Position) const;
};

class TScrollBar : public TCustomControl {
  RTL_CLASS(TScrollBar, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TScrollBar(TComponent* AOwner);
  ~TScrollBar() override;
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
  // The position Code leads to from here (Pos for scTrack and scPosition),
  // through Scroll, then set.
  void DoScroll(TScrollCode Code, Integer Pos = 0);

  // overridable message handlers
  // A press on an arrow or the trough scrolls a line or a page, one on the
  // thumb starts a drag; the inherited handling (capture, OnMouseDown) first.
  virtual void WMLButtonDown(TWMMouse& Message);
  // Ends a drag without scPosition.
  virtual void WMCancelMode(TWMCancelMode& Message);
  // Base: the inherited answer.
  virtual void WMMouseActivate(TWMMouseActivate& Message);

  // reimplemented
  // Arrows scroll a line, Page Up/Down a page, Home/End to the ends.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void PaintWindow(gdi::HDC DC) override;

  // message handlers
  void WMMouseMove(TWMMouse& Message);
  void WMLButtonUp(TWMMouse& Message);

private:
  void updateWidget();
  Integer positionAtPixel(TPoint Point);

  TScrollBarKind FKind = sbHorizontal;
  TScrollRange FRange;
  Integer FPosition = 0;
  Integer FSmallChange = 1;
  Integer FLargeChange = 1;
  bool FTracking = false;
  bool FPressed = false;  // a line or page press waits for its release
  Integer FGrabOffset = 0;  // the press point's distance from the thumb's start
  std::unique_ptr<TScrollBarWidget> FWidget;
};
