// TDBNavigator: a row of buttons that move through and edit a data source's
// dataset.
//
// The navigator is one custom control that paints its buttons itself (faces
// and glyphs of our own drawing) and takes the mouse itself; the buttons are
// no controls of their own.  The visible buttons share the width, left to
// right in TNavigateBtn order: each gets Width / Count pixels, the remainder
// going one pixel each to buttons spread over the row; without Align the
// width snaps to Count whole buttons.
//
// A button is enabled by the dataset's position and state:
//   First, Prior   not Bof              Next, Last   not Eof
//   Insert         CanModify            Delete       CanModify and a record
//   Edit           CanModify, browsing  Post, Cancel CanModify, editing
//   Refresh        active
// and all are off while the navigator is disabled or the link inactive.  A
// click runs BeforeAction, the action (Delete asks "Delete record?" first
// when ConfirmDelete), then OnClick with the button, even when the delete
// was cancelled.
#pragma once

#include "platform/ui/windowing/controls.h"

#include <memory>

class TDataSource;
class TStrings;

RTL_ENUM(TNavigateBtn, nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh)
using TButtonSet = TSet<TNavigateBtn>;
using TNavClick = TMethodPtr<void(TObject* Sender, TNavigateBtn Button)>;

inline constexpr TButtonSet AllNavigateButtons{nbFirst, nbPrior, nbNext,   nbLast,   nbInsert,
                                               nbDelete, nbEdit,  nbPost, nbCancel, nbRefresh};

class TDBNavigator : public TCustomControl {
  RTL_CLASS(TDBNavigator, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TDBNavigator(TComponent* AOwner);
  ~TDBNavigator() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  TDataSource* DataSource() const;
  // Not owned; a freed source detaches itself.
  void SetDataSource(TDataSource* Value);
  TButtonSet VisibleButtons() const { return FVisibleButtons; }
  // Re-lays the buttons out (and snaps the width).
  void SetVisibleButtons(TButtonSet Value);
  // One hint per button ordinal; a missing or empty line keeps the button's
  // default ("First record" ...).  Owned; setting assigns the lines.
  TStrings* Hints() const { return FHints; }
  void SetHints(TStrings* Value);
  bool ConfirmDelete() const { return FConfirmDelete; }
  void SetConfirmDelete(bool Value) { FConfirmDelete = Value; }
  // Flat faces: a frame only under the mouse and while pressed.
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);

  // buttons
  // The hint Button shows.
  String ButtonHint(TNavigateBtn Button) const;
  // Whether a click on Button runs its action (see the table above).
  bool ButtonEnabled(TNavigateBtn Button);
  // Button's face in client coordinates; empty for a hidden button.
  TRect ButtonRect(TNavigateBtn Button);
  // Runs Index's action on an active dataset (BeforeAction first), then
  // OnClick.  Ignores the enabled state: the program's call.
  virtual void BtnClick(TNavigateBtn Index);

  // events
  // Before the action, with the button.
  TNavClick BeforeAction;
  // After the action; replaces TControl::OnClick for the navigator.
  TNavClick OnClick;

  // reimplemented
  // Keeps at least the minimum button size and snaps the width.
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;

protected:
  // reimplemented
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // message handlers
  // The hint of the button under the cursor, for as long as the cursor stays
  // on that button; nothing between buttons.
  void CMHintShow(TMessage& Message);
  void CMMouseLeave(TMessage& Message);
  void CMGetDataLink(TMessage& Message);
  // Input stops: the pressed button comes up without a click.
  void WMCancelMode(TMessage& Message);

private:
  class TNavDataLink;
  friend class TNavDataLink;

  static constexpr int NoButton = -1;
  // The visible button containing Point, NoButton when none.
  int buttonAt(TPoint Point);
  void paintButton(TNavigateBtn Button, const TRect& Face);
  void setHot(int Button);

  std::unique_ptr<TNavDataLink> FDataLink;
  TStrings* FHints;  // owned
  TButtonSet FVisibleButtons = AllNavigateButtons;
  bool FConfirmDelete = true;
  bool FFlat = false;
  int FPressed = NoButton;  // the button the left press started on
  bool FPressedDown = false;  // the mouse is still on the pressed button
  int FHot = NoButton;        // the button under the mouse (flat faces)
};
