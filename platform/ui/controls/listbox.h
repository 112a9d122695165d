// List boxes: a column of text items with one selected, painted by us.
//
// Rows are ItemHeight pixels high (the font's height unless set), drawn from
// TopIndex down inside the sunken client edge; the selected row in
// clHighlight / clHighlightText and, while the control has the focus, inside
// a focus rectangle.  When the items do not fit, the window's vertical bar
// (scrollinfo.h) shows beside them and scrolls TopIndex a row at its arrows
// and VisibleRows rows at its page areas; TopIndex never goes past the row
// that shows the last item at the bottom.
//
// The selection follows its item: inserting or deleting above it moves
// ItemIndex, deleting the item itself clears it.  ItemIndex set by code fires
// nothing; the user's moves (arrow and page keys, Home, End, a typed
// character, a click) fire OnClick.  A typed character selects the next item
// after the selected one whose text starts with it ignoring case, wrapping
// round to the first.
#pragma once

#include "platform/ui/windowing/controls.h"

#include <memory>

class TStrings;
class TListBoxStrings;

// What DrawItem is asked to show.
RTL_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight,
         odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

// ---------------------------------------------------------------------------
// TCustomListBox

class TCustomListBox : public TCustomControl {
  RTL_CLASS(TCustomListBox, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  // items
  // The lines and their objects (not owned by the list); any change repaints.
  // A sorted list answers Add with the index the line went to and refuses
  // positional edits (EStringListError).
  TStrings* Items() const;
  void SetItems(TStrings* Value);
  Integer Count() const;
  void Clear();

  // properties
  // −1: none.  Out-of-range values select nothing; the row scrolls into
  // view.  Fires nothing.
  Integer ItemIndex() const { return FItemIndex; }
  void SetItemIndex(Integer Value);
  // Order ignoring case in the locale's order (AnsiCompareText); turning it
  // on sorts the items, the selection staying on its item.
  bool Sorted() const;
  void SetSorted(bool Value);
  // The first row shown, within 0 .. Count − VisibleRows.
  Integer TopIndex() const { return FTopIndex; }
  void SetTopIndex(Integer Value);
  // Pixels per row; 0 gives back the font's height (TextHeight of the font).
  Integer ItemHeight() const;
  void SetItemHeight(Integer Value);

  // geometry
  // The item at Pos (client coordinates): −1 beside the items when Existing,
  // else the nearest row (Count when below the last item).
  Integer ItemAtPos(TPoint Pos, bool Existing);
  // Item Index's row in client coordinates (may lie outside the client area).
  TRect ItemRect(Integer Index);
  // Whole rows the client area shows (at least 1).
  Integer VisibleRows();

protected:
  // introduced virtuals
  // Paints item Index into Rect on Canvas in the colours State asks for.
  virtual void DrawItem(Integer Index, TRect Rect, TOwnerDrawState State);

  // helpers for descendants
  // The row the arrow, page and Home/End key Key leads to from ItemIndex
  // (from the first row when none is selected); −1 for other keys and an
  // empty list.
  Integer KeyTarget(Word Key);
  // The first item after ItemIndex (wrapping round, ItemIndex itself last)
  // whose text starts with Key ignoring case (AnsiStartsText); −1 when none
  // does or Key is a control character or half of a surrogate pair.
  Integer CharTarget(Char Key);

  // item notifications
  // The items call ItemInserted once a line is in and ItemDeleted before a
  // line goes; the selection follows its item.  A descendant that keeps an
  // item index of its own moves it with FollowItem.
  virtual void ItemInserted(Integer Index);
  virtual void ItemDeleted(Integer Index);
  // Every change (an insertion's before ItemInserted): an index past the
  // last item becomes −1.
  virtual void ItemsChanged();
  // Item index Selected after a line was inserted at Index (Inserted) or
  // deleted from it: −1 when Selected's own line went.
  static Integer FollowItem(Integer Selected, Integer Index, bool Inserted);

  // reimplemented
  // A single border (AddSingleBorderStyle); WS_VSCROLL.
  void CreateParams(TCreateParams& Params) override;
  // The new window's bar gets the rows.
  void CreateWnd() override;
  void Paint() override;
  void Resize() override;
  // OnKeyDown first; then the navigation keys move the selection (OnClick).
  void KeyDown(Word& Key, TShiftState Shift) override;
  // OnKeyPress first; then a character it left selects by CharTarget
  // (OnClick).
  void KeyPress(Char& Key) override;
  // A left press focuses and selects the row under the mouse; dragging
  // moves the selection; OnClick fires on the release.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  // Three rows per notch.
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  // message handlers
  void WMGetDlgCode(TMessage& Message);
  void WMVScroll(TWMScroll& Message);
  void CMFontChanged(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);

private:
  friend class TListBoxStrings;
  // The bar's range, page and position from the rows (hidden while all fit).
  void updateScrollBar();
  void selectAt(int X, int Y);

  std::unique_ptr<TListBoxStrings> FItems;
  Integer FItemIndex = -1;
  Integer FTopIndex = 0;
  Integer FItemHeight = 0;  // 0: the font's
  mutable Integer FFontHeight = 0;  // the font's line height; 0: not measured yet
};

// ---------------------------------------------------------------------------
// TListBox

class TListBox : public TCustomListBox {
  RTL_CLASS(TListBox, TCustomListBox)
public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};
