// Menus: the item tree, the form's main menu, popup menus, shortcut texts
// and the shortcut dispatch of the key routing.
//
// A menu is a tree of TMenuItem components under the menu's root item.  The
// Qt menus are built from the tree when they are shown (a popup every time
// it pops up; a menu bar again after every change), so the tree is the only
// state.  Qt never sees the shortcuts: our key routing offers every key down
// to the focused control's popup menus and its form's main menu first
// (IsShortCut below), before the control sees it.
//
// Popup(X, Y), and a bar item of a form's main menu opened by a click
// (TMainMenu::OpenItem), run the Qt menu modally and return after the chosen
// item's Click ran.  Tests answer them through a menu responder
// (SetMenuResponder); under the offscreen platform a menu without one raises
// EUnansweredModal instead of waiting.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/windowing/inputrouter.h"

#include <functional>
#include <vector>

class QMenu;
class QMenuBar;
class QWidget;
class TBasicAction;
class TBitmap;
class TMenu;
class TMenuActionLink;
class TControl;
class TCanvas;
class TCustomImageList;

RTL_DECLARE_EXCEPTION(EMenuError, Exception)

RTL_ENUM(TMenuItemAutoFlag, maAutomatic, maManual, maParent)
// A menu's own flags: maAutomatic or maManual.
using TMenuAutoFlag = TMenuItemAutoFlag;
RTL_ENUM(TPopupAlignment, paLeft, paRight, paCenter)

// Owner-drawing events: stored and copied, never called (no owner drawing).
using TMenuDrawItemEvent = TMethodPtr<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;
using TAdvancedMenuDrawItemEvent = TMethodPtr<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, Integer State)>;
using TMenuMeasureItemEvent = TMethodPtr<void(TObject* Sender, TCanvas* ACanvas, Integer& Width, Integer& Height)>;

// ---------------------------------------------------------------------------
// shortcut texts

// "Shift+", "Ctrl+", "Alt+" (in that order) before the key's name: letters
// and digits as themselves, "F1".."F24", "BkSp", "Tab", "Esc", "Enter",
// "Space", "PgUp", "PgDn", "End", "Home", "Left", "Up", "Right", "Down",
// "Ins", "Del", "Num 0".."Num 9", punctuation as its character; "" for a key
// without a name.
String ShortCutToText(TShortCut ShortCut);
// The inverse, prefixes and names in any case; 0 when the text names no key.
TShortCut TextToShortCut(const String& Text);

// ---------------------------------------------------------------------------
// TMenuItem

class TMenuItem : public TComponent {
  RTL_CLASS(TMenuItem, TComponent)
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  // Frees the remaining children and leaves the parent.
  void BeforeDestruction() override;

  // tree
  Integer Count() const { return Integer(FItems.size()); }
  // EMenuError "Menu index out of range".
  TMenuItem* Items(Integer Index) const;
  TMenuItem* Parent() const { return FParent; }
  // The place under the parent (-1 without); setting it moves the item,
  // clamped to the parent's items.
  Integer MenuIndex() const;
  void SetMenuIndex(Integer Value);
  Integer IndexOf(const TMenuItem* Item) const;
  void Add(TMenuItem* Item);
  void Add(const std::vector<TMenuItem*>& AItems);
  // EMenuError "Menu inserted twice" when Item has a parent, "Menu index out
  // of range" outside 0..Count.
  void Insert(Integer Index, TMenuItem* Item);
  // Detach without freeing: EMenuError "Menu index out of range" /
  // "Sub-menu is not in menu".
  void Delete(Integer Index);
  void Remove(TMenuItem* Item);
  // Frees every child.
  void Clear();
  // The direct child whose caption, without "&", equals ACaption ignoring
  // case; nullptr when none.
  TMenuItem* Find(const String& ACaption) const;
  // The menu this item's tree belongs to; nullptr when detached.
  TMenu* GetParentMenu() const;
  // Caption "-".
  bool IsLine() const { return FCaption == QStringLiteral("-"); }

  // A disabled item does nothing.  Else AutoCheck toggles Checked; then an
  // OnClick other than the linked action's OnExecute runs, else the linked
  // action executes (ActionComponent = this item), else OnClick runs.
  virtual void Click();
  // Whether choosing the item closes its menu (here: always).  An item that
  // answers False is clicked on the mouse press or Enter while the menu, and
  // a submenu it sits in, stays open with every shown check and enabled
  // state refreshed.
  virtual bool CloseMenuOnClick() const { return true; }
  // Lets the linked action update itself (OnUpdate).
  void InitiateAction();

  // The image list of this item's ImageIndex: the nearest parent's
  // SubMenuImages, else the menu's Images.
  TCustomImageList* GetImageList() const;

  // properties
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Checked() const { return FChecked; }
  // Checking a RadioItem unchecks the RadioItems of its GroupIndex under the
  // same parent.
  void SetChecked(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool Value);
  Byte GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Byte Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Break() const { return FBreak; }
  void SetBreak(bool Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  // The item's own picture, shown when no image list gives one (not owned;
  // the caller keeps it alive).
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  Integer HelpContext() const { return FHelpContext; }
  void SetHelpContext(Integer Value) { FHelpContext = Value; }
  TCustomImageList* SubMenuImages() const { return FSubMenuImages; }
  void SetSubMenuImages(TCustomImageList* Value);
  TMenuItemAutoFlag AutoHotkeys() const { return FAutoHotkeys; }
  void SetAutoHotkeys(TMenuItemAutoFlag Value) { FAutoHotkeys = Value; }
  // Shown menus drop lines at either end and doubled lines under an item
  // whose flag (maParent: the parent's, at the root the menu's) is maAutomatic.
  TMenuItemAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
  void SetAutoLineReduction(TMenuItemAutoFlag Value);
  // The linked action (nullptr: none); linking copies its properties.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  TMenuActionLink* ActionLink() const { return FActionLink; }

  // events
  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

protected:
  friend class TMenu;
  // Tells the menu the tree or a shown property changed.
  virtual void MenuChanged();
  // Linking Sender: copy its properties (CheckDefaults, while it loads: only
  // into properties still at their defaults).  Later changes arrive one by
  // one through the link.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void turnSiblingsOff();
  void detach(TMenuItem* Item);

  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on a menu's root item only
  String FCaption;
  TShortCut FShortCut = 0;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  bool FAutoCheck = false;
  bool FRadioItem = false;
  Byte FGroupIndex = 0;
  bool FDefault = false;
  bool FBreak = false;
  Integer FImageIndex = -1;
  TBitmap* FBitmap = nullptr;
  String FHint;
  Integer FHelpContext = 0;
  TCustomImageList* FSubMenuImages = nullptr;
  TMenuItemAutoFlag FAutoHotkeys = maParent;
  TMenuItemAutoFlag FAutoLineReduction = maParent;
  TMenuActionLink* FActionLink = nullptr;
};

// ---------------------------------------------------------------------------
// menus

class TMenu : public TComponent {
  RTL_CLASS(TMenu, TComponent)
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  // The root item; its children are the menu's items.
  TMenuItem* Items() const { return FItems; }
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // Default maAutomatic (see TMenuItem::AutoLineReduction).
  TMenuAutoFlag AutoLineReduction() const { return FItems->AutoLineReduction(); }
  void SetAutoLineReduction(TMenuAutoFlag Value);

  // The key down Message as a shortcut: the first visible item with it whose
  // own and parents' Enabled hold (after its action's update) runs Click;
  // a visible match that is disabled only consumes.  True when consumed.
  bool IsShortCut(TWMKey& Message);
  // The first item of the tree with ShortCut; nullptr when none.
  TMenuItem* FindItem(TShortCut ShortCut) const;

  // Called after any change of the tree or of a shown property.
  TNotifyEvent OnChange;

protected:
  friend class TMenuItem;
  virtual void MenuChanged(TMenuItem* Source);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TMenuItem* FItems;
  TCustomImageList* FImages = nullptr;
};

// The form's menu bar.  The form that shows the menu (TCustomForm::SetMenu)
// draws the bar in its frame and opens the items clicked there.
class TMainMenu : public TMenu {
  RTL_CLASS(TMainMenu, TMenu)
public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;

  // The window whose frame shows the bar (0: none); every change sends it
  // CM_MENUCHANGED.  The form sets it.
  gdi::HWND WindowHandle() const { return FWindowHandle; }
  void SetWindowHandle(gdi::HWND Value) { FWindowHandle = Value; }
  // The user's click on bar item Item (one of Items' children) with its
  // submenu placed at screen point (X, Y): nothing for a disabled item;
  // else Item's Click, then, when it has children, their actions update and
  // the Qt menu built from them runs; returns after the chosen item's Click
  // ran.
  void OpenItem(TMenuItem* Item, Integer X, Integer Y);

  // Fills Bar, a Qt menu bar of the caller's, from the tree now and after
  // every change until another bar is attached (nullptr: none) or Bar is
  // destroyed; triggering its actions clicks the items.
  void AttachMenuBar(QMenuBar* Bar);
  QMenuBar* MenuBar() const;

protected:
  void MenuChanged(TMenuItem* Source) override;

private:
  struct Impl;
  Impl* FImpl;
  gdi::HWND FWindowHandle = nullptr;
};

class TPopupMenu : public TMenu {
  RTL_CLASS(TPopupMenu, TMenu)
public:
  explicit TPopupMenu(TComponent* AOwner);

  // OnPopup, then the Qt menu built from the tree at screen point (X, Y)
  // (placed by Alignment); returns after the menu closed and the chosen
  // item's Click ran.
  virtual void Popup(Integer X, Integer Y);

  // properties
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment Value) { FAlignment = Value; }
  // Right click or the context-menu key over a control whose PopupMenu this
  // is pops it up (default True).
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // The control that popped the menu up last.
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  TPoint PopupPoint() const { return FPopupPoint; }

  // events
  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup(TObject* Sender);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TPopupAlignment FAlignment = paLeft;
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  TPoint FPopupPoint{-1, -1};
};

// The Qt menu of Item's visible children: separators for lines, submenus
// for items with children, checkable actions for AutoCheck, RadioItem or
// checked items, the shortcut text after a tab, the image list's image (or
// the Bitmap) as icon, Default items bold; each action's data is its
// TMenuItem*.  Parent owns the result.
QMenu* BuildQtMenu(TMenuItem* Item, QWidget* Parent = nullptr);

// ---------------------------------------------------------------------------
// shortcut dispatch

// Key routing's menu step for the form that holds Focused: the PopupMenu of
// Focused and of each parent up the chain, then MainMenu (may be null).
// True when a menu consumed the key.  The form's IsShortCut calls it.
bool IsShortCut(TWMKey& Message, TControl* Focused, TMainMenu* MainMenu);

// ---------------------------------------------------------------------------
// the test seam

// A menu about to run: the popup menu, or the main menu and the bar item
// whose submenu it is; the Qt menu built for it; the screen point.
struct TMenuRequest {
  TMenu* Menu = nullptr;
  TMenuItem* Item = nullptr;  // main menus: the bar item opened
  QMenu* QtMenu = nullptr;
  TPoint Point;
};
// Answers a popup with the item to click; nullptr cancels.  An item that
// keeps the menu open (CloseMenuOnClick False) is clicked and the responder
// is asked again, the menu still open.
using TMenuResponder = std::function<TMenuItem*(const TMenuRequest& Request)>;
// Installs the responder (empty: none) and returns the previous one.
TMenuResponder SetMenuResponder(TMenuResponder Responder);
