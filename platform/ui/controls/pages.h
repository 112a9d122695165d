// The page control: a row of tabs above a raised frame, and the tab sheets
// that fill the frame, one shown at a time.
//
// Sheets
//   A sheet is a container (TWinControl) owned like any control (by the
//   form) and parented to its page control; becoming a child of a page
//   control, by SetPageControl or SetParent, appends it to the control's
//   pages, leaving the old parent's.  Sheets are aligned alClient inside the
//   frame.  Only the active sheet is visible; the others keep their controls
//   and windows, hidden.  The first sheet a page control gets becomes its
//   ActivePage; a sheet leaving hands the activity to its neighbour.
//
// Tabs (painted by us in the classic look)
//   One row from the left, one tab per sheet with TabVisible, in page order:
//
//     +-------+              TabRaise: the active tab stands 2 pixels higher
//     | One   |+-----+       and wider than the others, and its bottom
//     |       || Two |       opens into the frame below it
//     +       ++-----+--------------------+
//     |  frame (EDGE_RAISED), sheets inside |
//
//   A tab is as wide as its caption plus an indent on each side; a row
//   wider than the control is clipped.
//
// Changing the page
//   ActivePage / ActivePageIndex set in code change the page silently.  The
//   user's change (a click on a tab, Ctrl+Tab / Ctrl+Shift+Tab while the
//   focus is on or inside the control, SelectNextPage) asks OnChanging first,
//   which may refuse, and fires OnChange after.  A focus inside the sheet
//   being hidden moves to the new sheet's first tab stop, else to the page
//   control.
#pragma once

#include "platform/ui/windowing/controls.h"

#include <vector>

class TPageControl;

using TTabChangingEvent = TMethodPtr<void(TObject* Sender, bool& AllowChange)>;

// ---------------------------------------------------------------------------
// TTabSheet

class TTabSheet : public TWinControl {
  RTL_CLASS(TTabSheet, TWinControl)
  UI_MESSAGE_MAP
public:
  // Hidden, alClient, no page control yet.
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  void BeforeDestruction() override;
  static void DescribeProperties(TPropertyTable& Props);

  // A page control as parent makes this one of its pages.
  void SetParent(TWinControl* AParent) override;

  // properties
  TPageControl* PageControl() const { return FPageControl; }
  // The same as SetParent(Value).
  void SetPageControl(TPageControl* Value);
  // The place among the page control's pages (-1 without one); setting it
  // moves the sheet, clamped to the pages.
  Integer PageIndex() const;
  void SetPageIndex(Integer Value);
  // The place among the visible tabs; -1 without a tab.
  Integer TabIndex() const;
  // False: no tab (the sheet can still be made active in code).
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);

protected:
  // message handlers
  // The caption is the tab's text.
  void CMTextChanged(TMessage& Message);

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

// ---------------------------------------------------------------------------
// TPageControl

class TPageControl : public TCustomControl {
  RTL_CLASS(TPageControl, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;
  static void DescribeProperties(TPropertyTable& Props);

  // pages
  Integer PageCount() const { return Integer(FPages.size()); }
  // EListError "List index out of bounds (%d)" outside 0 .. PageCount-1.
  TTabSheet* Pages(Integer Index) const;
  // The page after (GoForward) or before CurPage, wrapping round; from the
  // ends when CurPage is not a page; with CheckTabVisible only pages with a
  // tab.  nullptr when there is none.
  TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const;
  // The user's move to the next page with a tab (OnChanging, OnChange).
  void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

  // properties
  TTabSheet* ActivePage() const { return FActivePage; }
  // No events.  EInvalidOperation "Tab sheet %s is not in page control %s"
  // for another control's sheet; nullptr hides every sheet.
  void SetActivePage(TTabSheet* Page);
  // -1 without an active page; setting an index outside the pages makes none
  // active.
  Integer ActivePageIndex() const;
  void SetActivePageIndex(Integer Value);

  // tabs
  // The visible tabs.
  Integer TabCount() const;
  // The rectangle of visible tab Index (client coordinates); empty outside
  // 0 .. TabCount-1.
  TRect TabRect(Integer Index);
  // The visible tab at a client point; -1 when none.
  Integer IndexOfTabAt(Integer X, Integer Y);

  // reimplemented
  // The frame's inside: below the tab row, FrameMargin from each edge.
  void AdjustClientRect(TRect& Rect) override;

  // events
  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

protected:
  // introduced virtuals
  // OnChanging; True lets the page change.
  virtual bool CanChange();
  // OnChange.
  virtual void Change();

  // reimplemented
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // message handlers
  // Ctrl+Tab and Ctrl+Shift+Tab with the focus on or inside the control.
  void CMDialogKey(TCMDialogKey& Message);
  void CMFontChanged(TMessage& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);

private:
  friend class TTabSheet;
  void insertPage(TTabSheet* Page);
  void removePage(TTabSheet* Page);
  void movePage(TTabSheet* Page, Integer Index);
  void changeActivePage(TTabSheet* Page);
  // The user's change to Page: OnChanging, the change, OnChange.
  void userSelect(TTabSheet* Page);
  void tabsChanged();
  std::vector<TTabSheet*> visibleTabs() const;
  Integer tabRowHeight();

  std::vector<TTabSheet*> FPages;  // children, in page order; the owner frees them
  TTabSheet* FActivePage = nullptr;
};
