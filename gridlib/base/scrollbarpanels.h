// The scroll-bar panels and size grips a grid shows instead of its window's
// own scroll bars.  The grid creates a horizontal and a vertical panel, each
// holding one platform scroll bar, and a corner panel that can resize the
// form; it places them itself and feeds each panel its range.  Every user
// action on a bar comes back to the grid as one ScrollBarCommand.
//
// The panels reach their grid through TGridScrollBarOwnerEh, which the grid
// implements, so this layer knows nothing of the grid class.
#pragma once

#include "gridlib/base/winroutines.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/controls/scrollbar.h"

// What a scroll-bar panel needs of the grid that owns it.
class TGridScrollBarOwnerEh {
public:
  // One user action on a bar; AllowRightToLeftSwap: it came from a bar, so
  // the grid mirrors the codes under right-to-left.
  virtual void ScrollBarCommand(TScrollBarKind Kind, Integer Code, Integer Pos, bool AllowRightToLeftSwap) = 0;
  // Takes the focus when it can; answers whether the bar may take the press.
  virtual bool FocusGridOnMouseDown() = 0;
  // The thickness of the bar inside a panel of Kind.
  virtual Integer ScrollBarBoxSize(TScrollBarKind Kind) = 0;

protected:
  ~TGridScrollBarOwnerEh() = default;
};

// The platform bar inside a panel: presses are gated by the panel, a click
// never activates a window, and cancel-mode is held back while the panel
// disables the bar.
class TControlScrollBarEh : public TScrollBar {
  RTL_CLASS(TControlScrollBarEh, TScrollBar)
  UI_MESSAGE_MAP
public:
  explicit TControlScrollBarEh(TComponent* AOwner) : TScrollBar(AOwner) {}

protected:
  void WMLButtonDown(TWMMouse& Message) override;
  void WMCancelMode(TWMCancelMode& Message) override;
  void WMMouseActivate(TWMMouseActivate& Message) override;
  void WMOtherButtonDown(TWMMouse& Message);
  void CMDesignHitTest(TMessage& Message);

private:
  bool pressAllowed();
};

class TGridScrollBarPanelControlEh : public TCustomPanel {
  RTL_CLASS(TGridScrollBarPanelControlEh, TCustomPanel)
public:
  // AOwner must be the grid (a TGridScrollBarOwnerEh); the bar is owned by
  // the panel.
  TGridScrollBarPanelControlEh(TComponent* AOwner, TScrollBarKind AKind);

  TControlScrollBarEh* ScrollBar() const { return FScrollBar; }
  TScrollBarKind Kind() const { return FKind; }
  bool KeepMaxSizeInDefault() const { return FKeepMaxSizeInDefault; }
  void SetKeepMaxSizeInDefault(bool Value);
  bool IgnoreCancelMode() const { return FIgnoreCancelMode; }
  // The bar's own scroll event; setting it replaces the routing to the grid.
  const TScrollEvent& OnScroll() const;
  void SetOnScroll(TScrollEvent Value);
  // Width less two standard bar heights: the room left for extra buttons.
  Integer MaxSizeForExtraPanel();

  // Feeds the bar its range; a degenerate range disables the bar.
  void SetParams(Integer APosition, Integer AMin, Integer AMax, Integer APageSize);

  // introduced virtuals
  // Asked before a button goes down on the bar; base: the grid's answer.
  virtual bool FocusGridOnScrollBarMouseDown(TControlScrollBarEh* ScrollBar);

  // reimplemented
  void Invalidate() override;
  // A negative width or height becomes 0.
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

protected:
  void Resize() override;

private:
  void barScroll(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
  TGridScrollBarOwnerEh* grid() const;

  bool FIgnoreCancelMode = false;
  TControlScrollBarEh* FScrollBar;
  bool FKeepMaxSizeInDefault = true;
  TScrollBarKind FKind;
};

RTL_ENUM(TGripActiveStatusEh, gasNeverEh, gasAutoEh, gasAlwaysEh)

// A corner panel that can resize its form by dragging.
class TSizeGripPanelEh : public TCustomPanel {
  RTL_CLASS(TSizeGripPanelEh, TCustomPanel)
  UI_MESSAGE_MAP
public:
  explicit TSizeGripPanelEh(TComponent* AOwner);

  TSizeGripPosition Position() const { return FPosition; }
  void SetPosition(TSizeGripPosition Value);
  // The window cut to a right triangle facing the corner.
  bool TriangleWindow() const { return FTriangleWindow; }
  void SetTriangleWindow(bool Value);
  TGripActiveStatusEh GripActiveStatus() const { return FGripActiveStatus; }
  void SetGripActiveStatus(TGripActiveStatusEh Value) { FGripActiveStatus = Value; }

  bool IsGripActive();
  // The form a drag resizes; nullptr for none, a minimized or maximized one.
  TWinControl* FindResizableForm();
  bool IsGripInFormCorner();

  // A negative width or height becomes 0.
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

protected:
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  void WMNCHitTest(TMessage& Message);
  void WMWindowPosChanged(TWMWindowPosChanged& Message);
  void WMEraseBkgnd(TMessage& Message);

private:
  void updateWindowRegion();
  void updateCursor();
  void paintClassicGrip();

  bool FTriangleWindow = false;
  TGripActiveStatusEh FGripActiveStatus = gasNeverEh;
  TSizeGripPosition FPosition = sgpBottomRight;
  TPoint FInitFormSize{0, 0};
  TPoint FInitFormPos{0, 0};
  TPoint FMouseMousePos{-1, -1};
};
