// TSizeGripEh: a small window in one corner of a host control (a drop-down
// form or popup list) that resizes the host when dragged.  Triangular by
// default; it follows its corner when the host changes size, keeps the host
// inside the monitor's work area while dragging, and draws classic diagonal
// lines (or the theme's size box while a system theme is active).
#pragma once

#include "gridlib/base/basecontrols.h"
#include "gridlib/base/winroutines.h"

// The side a grip moves to when its drop-down opens on the other side of
// its control; the values of DropDownSideNoticeEh's WParam.
RTL_ENUM(TSizeGripChangePosition, sgcpToLeft, sgcpToRight, sgcpToTop, sgcpToBottom)

// The corner Position moves to for Direction; Position itself when it is
// already on that side or Direction is out of range.
TSizeGripPosition ChangedSizeGripPositionEh(TSizeGripPosition Position, Integer Direction);

class TSizeGripEh : public TCustomControlEh {
  RTL_CLASS(TSizeGripEh, TCustomControlEh)
public:
  explicit TSizeGripEh(TComponent* AOwner);

  // The host resized by dragging (not owned); the parent when unset.
  TWinControl* HostControl() const;
  void SetHostControl(TWinControl* Value) { FHostControl = Value; }
  TSizeGripPosition Position() const { return FPosition; }
  // A change makes the window anew, so region and cursor follow.
  void SetPosition(TSizeGripPosition Value);
  bool TriangleWindow() const { return FTriangleWindow; }
  void SetTriangleWindow(bool Value);
  // The window's own visibility (the window is made when asked); before
  // the window exists, setting it sets the control's Visible.
  bool Visible();
  void SetVisible(bool Value);

  // Places the grip in its corner of the host's client rectangle.
  void UpdatePosition();
  void ChangePosition(TSizeGripChangePosition Direction);
  void UpdateWindowRegion();

  // A drag changed the host's client size.
  TNotifyEvent OnParentResized;

protected:
  // reimplemented
  void CreateHandle() override;
  void CreateWnd() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // introduced
  virtual void ParentResized();

private:
  bool gripOnRight() const { return FPosition == sgpTopRight || FPosition == sgpBottomRight; }
  bool gripAtBottom() const { return FPosition == sgpBottomRight || FPosition == sgpBottomLeft; }
  void dragHorizontally(TWinControl* Host, Integer Travel, const TRect& WorkArea);
  void dragVertically(TWinControl* Host, Integer Travel, const TRect& WorkArea);
  void paintClassic();

  TPoint FInitScreenMousePos{0, 0};
  bool FInternalMove = false;
  TPoint FOldMouseMovePos{0, 0};
  // When the drag began: the host's client width, client height, width and
  // height (Left, Top, Right, Bottom in that order).
  TRect FParentRect;
  TSizeGripPosition FPosition = sgpBottomRight;
  bool FTriangleWindow = true;
  TWinControl* FHostControl = nullptr;
};
