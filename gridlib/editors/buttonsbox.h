// The small child window that holds one painted button control per edit
// button of its owner, side by side (TEditButtonsBoxEh), and the routine
// that configures one entry from its edit button.
//
// The box does not know its owner: the owner creates each button control
// (OnCreateEditButtonControl) and hears presses, clicks, moves and releases
// through the box's events.  Owners use it in this order: BeginLayout;
// ButtonsCount := n; FFlat, FMaxButtonHeight and each entry's EditButton;
// EndLayout (which lays out); read FButtonsWidth to place the box.
//
// Layout, at the outermost EndLayout: every entry takes its width from its
// button (0 when invisible), the common height is the smallest any visible
// button asks, and the entries line up from x = 0 (from the right for a
// right-to-left box), each followed by its separator (1 pixel in the flat
// classic look, else 0).  The control's Tag is its entry's index.
#pragma once

#include "gridlib/editors/editbuttontypes.h"
#include "platform/ui/windowing/controls.h"

#include <vector>

class TEditButtonControlEh;
class TEditButtonEh;
class TShape;

// One entry: the button control, the separator after it and the edit
// button it shows (set by the owner).  The box owns the separator; the
// control belongs to the owner that created it.
struct TEditButtonControlLineRec {
  TShape* ButtonLine = nullptr;
  TEditButtonControlEh* EditButtonControl = nullptr;
  TEditButtonEh* EditButton = nullptr;
};
using TEditButtonControlList = std::vector<TEditButtonControlLineRec>;

using TCreateEditButtonControlEvent = TMethodPtr<void(TEditButtonControlEh*& EditButtonControl)>;

// Configures Entry's control from its edit button: look, width (the flat
// default or a scroll bar's width when the button asks none) and the
// separator; lowers ButtonHeight to what a visible button asks.
void AssignEditButtonToControl(TEditButtonControlLineRec& Entry, Integer Index, bool Flat, Integer MaxHeight,
                               Integer& ButtonHeight);

class TEditButtonsBoxEh : public TWinControl {
  RTL_CLASS(TEditButtonsBoxEh, TWinControl)
public:
  explicit TEditButtonsBoxEh(TComponent* AOwner);

  void BeginLayout() { ++FLayoutCount; }
  // The outermost one lays out.
  void EndLayout();
  void LayoutChanged() { UpdateEditButtonControlList(); }
  void UpdateEditButtonControlList();
  // Enabled, lit look and separator colours from the box's state.
  void UpdateEditButtonControlsState();

  // properties
  Integer ButtonsCount() const { return Integer(FBtnCtlList.size()); }
  // Shrinking frees the surplus controls and separators; growing asks the
  // owner for a control per new entry.
  void SetButtonsCount(Integer Value);
  TEditButtonControlLineRec& Entry(Integer Index) { return FBtnCtlList.at(size_t(Index)); }
  bool BorderActive() const { return FBorderActive; }
  void SetBorderActive(bool Value);

  // set and read by the owner
  bool FFlat = false;
  Integer FButtonsWidth = 0;
  Integer FButtonHeight = 0;
  Integer FMaxButtonHeight = 0;
  TEditButtonDownEventEh FOnDown;
  TNotifyEvent FOnClick;
  TMouseMoveEvent FOnMouseMove;
  TMouseEvent FOnMouseUp;
  TCreateEditButtonControlEvent FOnCreateEditButtonControl;

private:
  void placeEntries(Integer ButtonHeight);

  Integer FLayoutCount = 0;
  TEditButtonControlList FBtnCtlList;
  bool FBorderActive = false;
};
