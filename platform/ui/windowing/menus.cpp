#include "platform/ui/windowing/menus.h"

#include "platform/rtl/format.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/windowingstate_p.h"

#include <QFont>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>

#include <algorithm>
#include <cassert>

using namespace gdi;

namespace {

// ---------------------------------------------------------------------------
// key names

struct TKeyName {
  Word Key;
  const char* Name;
};

// Keys whose names are not a character or an F number.
constexpr TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},      {VK_TAB, "Tab"},          {VK_ESCAPE, "Esc"},      {VK_RETURN, "Enter"},
    {VK_SPACE, "Space"},    {VK_PRIOR, "PgUp"},       {VK_NEXT, "PgDn"},       {VK_END, "End"},
    {VK_HOME, "Home"},      {VK_LEFT, "Left"},        {VK_UP, "Up"},           {VK_RIGHT, "Right"},
    {VK_DOWN, "Down"},      {VK_INSERT, "Ins"},       {VK_DELETE, "Del"},      {VK_MULTIPLY, "Num *"},
    {VK_ADD, "Num +"},      {VK_SUBTRACT, "Num -"},   {VK_DECIMAL, "Num ."},   {VK_DIVIDE, "Num /"},
    {VK_OEM_1, ";"},        {VK_OEM_PLUS, "="},       {VK_OEM_COMMA, ","},     {VK_OEM_MINUS, "-"},
    {VK_OEM_PERIOD, "."},   {VK_OEM_2, "/"},          {VK_OEM_3, "`"},         {VK_OEM_4, "["},
    {VK_OEM_5, "\\"},       {VK_OEM_6, "]"},          {VK_OEM_7, "'"},
};

String keyName(Word Key) {
  if ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9')) return String(QChar(Key));
  if (Key >= VK_F1 && Key <= VK_F24) return QStringLiteral("F%1").arg(Key - VK_F1 + 1);
  if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD9) return QStringLiteral("Num %1").arg(Key - VK_NUMPAD0);
  for (const TKeyName& K : KeyNames)
    if (K.Key == Key) return QString::fromLatin1(K.Name);
  return String();
}

// Removes a leading Prefix (any case) from S; True when it was there.
bool takePrefix(String& S, const char* Prefix) {
  const String P = QString::fromLatin1(Prefix);
  if (!S.startsWith(P, Qt::CaseInsensitive)) return false;
  S.remove(0, P.size());
  return true;
}

// The caption as shown without accelerator marks ("&&" is a literal "&").
String stripHotkey(const String& Caption) {
  String Result;
  for (qsizetype I = 0; I < Caption.size(); ++I) {
    if (Caption[I] == u'&' && I + 1 < Caption.size()) ++I;
    else if (Caption[I] == u'&') continue;
    Result += Caption[I];
  }
  return Result;
}

// ---------------------------------------------------------------------------
// Qt menus

}  // namespace

struct windowing_detail::TMenuSeam {
  TMenuResponder Responder;
};

namespace {

TMenuResponder& menuResponder() { return WindowingState().MenuSeam.Get().Responder; }

TMenuItem* itemOf(const QAction* Action) {
  return Action ? static_cast<TMenuItem*>(Action->data().value<void*>()) : nullptr;
}

// A chosen item that keeps its menu open: not a submenu, and it says so.
bool keepsMenuOpen(const TMenuItem* Item) { return Item && Item->Count() == 0 && !Item->CloseMenuOnClick(); }

// The shown checks and enabled states of Menu and its submenus, after a
// click that left them open.
void refreshShownItems(QMenu* Menu) {
  for (QAction* A : Menu->actions()) {
    if (TMenuItem* Item = itemOf(A)) {
      A->setEnabled(Item->Enabled());
      if (A->isCheckable()) A->setChecked(Item->Checked());
    }
    if (QMenu* Sub = A->menu()) refreshShownItems(Sub);
  }
  Menu->update();
}

// The outermost menu of a chain of submenus.
QMenu* rootMenu(QMenu* Menu) {
  while (auto* Parent = qobject_cast<QMenu*>(Menu->parentWidget())) Menu = Parent;
  return Menu;
}

void clickKeepingOpen(TMenuItem* Item, QMenu* Menu) {
  Item->Click();
  refreshShownItems(rootMenu(Menu));
}

// Takes the press (and its release) or Enter on an item that keeps its menu
// open, which the menu would otherwise trigger and close on.
class TKeepOpenFilter : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    auto* Menu = qobject_cast<QMenu*>(Watched);
    if (!Menu) return false;
    switch (Event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick: {
        QAction* A = Menu->actionAt(static_cast<QMouseEvent*>(Event)->position().toPoint());
        TMenuItem* Item = itemOf(A);
        if (!keepsMenuOpen(Item)) return false;
        if (Event->type() != QEvent::MouseButtonRelease) clickKeepingOpen(Item, Menu);
        return true;
      }
      case QEvent::KeyPress: {
        const int Key = static_cast<QKeyEvent*>(Event)->key();
        if (Key != Qt::Key_Return && Key != Qt::Key_Enter) return false;
        TMenuItem* Item = itemOf(Menu->activeAction());
        if (!keepsMenuOpen(Item)) return false;
        clickKeepingOpen(Item, Menu);
        return true;
      }
      default: return false;
    }
  }
};

// The item chosen in Request's Qt menu: the responder's answer, else a
// person's at ScreenPoint; Kind names the menu when no one can answer.
TMenuItem* trackMenu(const TMenuRequest& Request, QPoint ScreenPoint, const String& Kind) {
  if (const TMenuResponder& Responder = menuResponder()) {
    for (;;) {
      TMenuItem* Chosen = Responder(Request);
      if (!keepsMenuOpen(Chosen)) return Chosen;
      clickKeepingOpen(Chosen, Request.QtMenu);
    }
  }
  if (!PersonCanAnswer())
    throw EUnansweredModal(QStringLiteral("%s %s opened without a menu responder"), {Kind, Request.Menu->Name()});
  return itemOf(Request.QtMenu->exec(ScreenPoint));
}

// The list's image drawn on a transparent 32-bit bitmap, or the item's own
// bitmap; none when neither gives one.
QIcon itemIcon(TMenuItem* Item) {
  TCustomImageList* Images = Item->GetImageList();
  if (Images && Item->ImageIndex() >= 0 && Item->ImageIndex() < Images->Count()) {
    QImage Clear(Images->Width(), Images->Height(), QImage::Format_ARGB32);
    Clear.fill(Qt::transparent);
    TBitmap B;
    B.SetImage(Clear);
    Images->Draw(B.Canvas(), 0, 0, Item->ImageIndex(), Item->Enabled());
    return QIcon(QPixmap::fromImage(B.Image()));
  }
  if (Item->Bitmap() && !Item->Bitmap()->Empty()) return QIcon(QPixmap::fromImage(Item->Bitmap()->Image()));
  return QIcon();
}

String actionText(const TMenuItem* Item) {
  const String Keys = ShortCutToText(Item->ShortCut());
  return Keys.isEmpty() ? Item->Caption() : Item->Caption() + u'\t' + Keys;
}

// Whether the lines under Item are reduced: the first item with a flag of
// its own decides, the menu's flag at the root.
bool reducesLines(const TMenuItem* Item) {
  for (; Item; Item = Item->Parent())
    if (Item->AutoLineReduction() != maParent) return Item->AutoLineReduction() == maAutomatic;
  return true;
}

// Item's visible children; with line reduction, without lines at either end
// or right after another line.
std::vector<TMenuItem*> shownItems(TMenuItem* Item) {
  std::vector<TMenuItem*> Shown;
  const bool Reduce = reducesLines(Item);
  for (Integer I = 0; I < Item->Count(); ++I) {
    TMenuItem* Child = Item->Items(I);
    if (!Child->Visible()) continue;
    if (Reduce && Child->IsLine() && (Shown.empty() || Shown.back()->IsLine())) continue;
    Shown.push_back(Child);
  }
  if (Reduce && !Shown.empty() && Shown.back()->IsLine()) Shown.pop_back();
  return Shown;
}

// Fills Menu (a QMenu or a QMenuBar) with Item's visible children.
template <class M>
void fillMenu(M* Menu, TMenuItem* Item) {
  for (TMenuItem* Child : shownItems(Item)) {
    if (Child->IsLine()) {
      Menu->addSeparator();
      continue;
    }
    QAction* A;
    if (Child->Count() > 0) {
      QMenu* Sub = BuildQtMenu(Child, Menu);
      Sub->setTitle(Child->Caption());
      A = Menu->addMenu(Sub);
    } else {
      A = Menu->addAction(actionText(Child));
      A->setCheckable(Child->AutoCheck() || Child->RadioItem() || Child->Checked());
      A->setChecked(Child->Checked());
    }
    A->setEnabled(Child->Enabled());
    A->setIcon(itemIcon(Child));
    A->setData(QVariant::fromValue(static_cast<void*>(Child)));
    if (Child->Default()) {
      QFont F = A->font();
      F.setBold(true);
      A->setFont(F);
    }
  }
}

// Tells whether a component was freed while it was watched: a handler may
// free what called it.
class TFreeWatch : public TComponent {
public:
  explicit TFreeWatch(TComponent* Watched) : TComponent(nullptr), FWatched(Watched) { Watched->FreeNotification(this); }
  bool Freed() const { return !FWatched; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FWatched) FWatched = nullptr;
  }

private:
  TComponent* FWatched;
};

// True when Item and its parents are enabled.
bool enabledPath(const TMenuItem* Item) {
  for (; Item; Item = Item->Parent())
    if (!Item->Enabled()) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// shortcut texts

String ShortCutToText(TShortCut ShortCut) {
  const String Name = keyName(Word(ShortCut & 0xFF));
  if (Name.isEmpty()) return String();
  String Result;
  if (ShortCut & scShift) Result += QStringLiteral("Shift+");
  if (ShortCut & scCtrl) Result += QStringLiteral("Ctrl+");
  if (ShortCut & scAlt) Result += QStringLiteral("Alt+");
  return Result + Name;
}

TShortCut TextToShortCut(const String& Text) {
  String S = Text;
  TShortCut Modifiers = 0;
  for (bool Found = true; Found;) {
    Found = true;
    if (takePrefix(S, "Shift+")) Modifiers |= scShift;
    else if (takePrefix(S, "Ctrl+")) Modifiers |= scCtrl;
    else if (takePrefix(S, "Alt+")) Modifiers |= scAlt;
    else Found = false;
  }
  if (S.isEmpty()) return 0;
  for (Word Key = VK_BACK; Key <= 0xFF; ++Key)
    if (S.compare(keyName(Key), Qt::CaseInsensitive) == 0) return TShortCut(Key | Modifiers);
  return 0;
}

// ---------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() { delete FActionLink; }

void TMenuItem::BeforeDestruction() {
  Clear();
  if (FParent) FParent->Remove(this);
  TComponent::BeforeDestruction();
}

TMenuItem* TMenuItem::Items(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError(QStringLiteral("Menu index out of range"));
  return FItems[size_t(Index)];
}

Integer TMenuItem::MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(Integer Value) {
  if (!FParent) return;
  TMenuItem* P = FParent;
  const Integer Old = MenuIndex();
  Value = std::clamp<Integer>(Value, 0, P->Count() - 1);
  if (Value == Old) return;
  P->FItems.erase(P->FItems.begin() + Old);
  P->FItems.insert(P->FItems.begin() + Value, this);
  P->MenuChanged();
}

Integer TMenuItem::IndexOf(const TMenuItem* Item) const {
  const auto It = std::find(FItems.begin(), FItems.end(), Item);
  return It == FItems.end() ? -1 : Integer(It - FItems.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Add(const std::vector<TMenuItem*>& AItems) {
  for (TMenuItem* Item : AItems) Add(Item);
}

void TMenuItem::Insert(Integer Index, TMenuItem* Item) {
  if (Item->FParent) throw EMenuError(QStringLiteral("Menu inserted twice"));
  if (Index < 0 || Index > Count()) throw EMenuError(QStringLiteral("Menu index out of range"));
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  MenuChanged();
}

void TMenuItem::Delete(Integer Index) { detach(Items(Index)); }

void TMenuItem::Remove(TMenuItem* Item) {
  if (IndexOf(Item) < 0) throw EMenuError(QStringLiteral("Sub-menu is not in menu"));
  detach(Item);
}

void TMenuItem::detach(TMenuItem* Item) {
  FItems.erase(FItems.begin() + IndexOf(Item));
  Item->FParent = nullptr;
  MenuChanged();
}

void TMenuItem::Clear() {
  while (!FItems.empty()) FItems.back()->Free();
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
  const String Wanted = stripHotkey(ACaption);
  for (TMenuItem* Item : FItems)
    if (AnsiSameText(stripHotkey(Item->FCaption), Wanted)) return Item;
  return nullptr;
}

TCustomImageList* TMenuItem::GetImageList() const {
  for (const TMenuItem* P = FParent; P; P = P->FParent)
    if (P->FSubMenuImages) return P->FSubMenuImages;
  const TMenu* M = GetParentMenu();
  return M ? M->Images() : nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* Root = this;
  while (Root->FParent) Root = Root->FParent;
  return Root->FMenu;
}

// An OnClick that is not the action's own handler wins over the action (the
// item overrides what it does); otherwise the action runs, and OnClick only
// without one.
void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FAutoCheck) SetChecked(!FChecked);
  TBasicAction* A = Action();
  if (OnClick && A && !(OnClick == A->OnExecute())) OnClick(this);
  else if (FActionLink) FActionLink->Execute(this);
  else if (OnClick) OnClick(this);
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::MenuChanged() {
  if (ComponentState().Contains(csDestroying)) return;
  if (TMenu* M = GetParentMenu()) M->MenuChanged(this);
}

// properties

void TMenuItem::SetCaption(const String& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  MenuChanged();
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (FShortCut == Value) return;
  FShortCut = Value;
  MenuChanged();
}

void TMenuItem::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  MenuChanged();
}

void TMenuItem::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  MenuChanged();
}

void TMenuItem::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  if (Value && FRadioItem) turnSiblingsOff();
  MenuChanged();
}

void TMenuItem::turnSiblingsOff() {
  if (!FParent) return;
  for (TMenuItem* Item : FParent->FItems)
    if (Item != this && Item->FRadioItem && Item->FGroupIndex == FGroupIndex) Item->SetChecked(false);
}

void TMenuItem::SetAutoCheck(bool Value) {
  if (FAutoCheck == Value) return;
  FAutoCheck = Value;
  MenuChanged();
}

void TMenuItem::SetRadioItem(bool Value) {
  if (FRadioItem == Value) return;
  FRadioItem = Value;
  if (FChecked && Value) turnSiblingsOff();
  MenuChanged();
}

void TMenuItem::SetGroupIndex(Byte Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  if (FChecked && FRadioItem) turnSiblingsOff();
  MenuChanged();
}

void TMenuItem::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  MenuChanged();
}

void TMenuItem::SetBreak(bool Value) {
  if (FBreak == Value) return;
  FBreak = Value;
  MenuChanged();
}

void TMenuItem::SetImageIndex(Integer Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  MenuChanged();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
  FBitmap = Value;
  MenuChanged();
}

void TMenuItem::SetAutoLineReduction(TMenuItemAutoFlag Value) {
  if (FAutoLineReduction == Value) return;
  FAutoLineReduction = Value;
  MenuChanged();
}

void TMenuItem::SetSubMenuImages(TCustomImageList* Value) {
  if (FSubMenuImages) FSubMenuImages->RemoveFreeNotification(this);
  FSubMenuImages = Value;
  if (Value) Value->FreeNotification(this);
  MenuChanged();
}

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* Value) {
  if (!Value) {
    delete FActionLink;
    FActionLink = nullptr;
    return;
  }
  if (!FActionLink) FActionLink = new TMenuActionLink(this);
  FActionLink->SetAction(Value);
  ActionChange(Value, Value->ComponentState().Contains(csLoading));
  Value->FreeNotification(this);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* Basic = dynamic_cast<TBasicAction*>(Sender);
  if (!Basic) return;
  if (!CheckDefaults || !OnClick) OnClick = Basic->OnExecute();
  auto* A = dynamic_cast<TCustomAction*>(Sender);
  if (!A) return;
  if (!CheckDefaults || FCaption.isEmpty()) SetCaption(A->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(A->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
  if (!CheckDefaults || FHint.isEmpty()) SetHint(A->Hint());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(A->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(A->ShortCut());
  if (!CheckDefaults || FVisible) SetVisible(A->Visible());
  if (!CheckDefaults || !FAutoCheck) SetAutoCheck(A->AutoCheck());
  if (!CheckDefaults || FGroupIndex == 0) SetGroupIndex(Byte(A->GroupIndex()));
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == Action()) SetAction(nullptr);
  if (AComponent == FSubMenuImages) FSubMenuImages = nullptr;
}

// ---------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {
  FItems->FMenu = this;
  FItems->FAutoLineReduction = maAutomatic;
}

TMenu::~TMenu() {
  FItems->FMenu = nullptr;
  FItems->Free();
}

void TMenu::SetAutoLineReduction(TMenuAutoFlag Value) {
  FItems->FAutoLineReduction = Value;
  MenuChanged(nullptr);
}

void TMenu::SetImages(TCustomImageList* Value) {
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  MenuChanged(nullptr);
}

// A menu being read or freed is not whole: handlers never see it, and the
// items its owner frees one by one report no change.
void TMenu::MenuChanged(TMenuItem*) {
  if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDestroying)) return;
  if (OnChange) OnChange(this);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

namespace {

// Depth first, in menu order.
template <class F>
bool anyItem(TMenuItem* Item, F&& Test) {
  for (Integer I = 0; I < Item->Count(); ++I) {
    TMenuItem* Child = Item->Items(I);
    if (Test(Child) || anyItem(Child, Test)) return true;
  }
  return false;
}

}  // namespace

TMenuItem* TMenu::FindItem(TShortCut ShortCut) const {
  TMenuItem* Found = nullptr;
  anyItem(FItems, [&](TMenuItem* Item) {
    if (Item->ShortCut() != ShortCut) return false;
    Found = Item;
    return true;
  });
  return Found;
}

bool TMenu::IsShortCut(TWMKey& Message) {
  const TShortCut Key = ::ShortCut(Message.CharCode, KeyDataToShiftState(Message.KeyData));
  if ((Key & 0xFF) == 0) return false;
  TMenuItem* Runs = nullptr;
  bool Matched = false;
  anyItem(FItems, [&](TMenuItem* Item) {
    if (Item->ShortCut() != Key || !Item->Visible()) return false;
    Item->InitiateAction();
    // The action's update may have hidden it.
    if (!Item->Visible()) return false;
    Matched = true;
    if (!enabledPath(Item)) return false;
    Runs = Item;
    return true;
  });
  if (Runs) Runs->Click();
  return Matched;
}

// ---------------------------------------------------------------------------
// TMainMenu

struct TMainMenu::Impl {
  QPointer<QMenuBar> Bar;
  QMetaObject::Connection Triggered;
};

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner), FImpl(new Impl) {}

TMainMenu::~TMainMenu() {
  AttachMenuBar(nullptr);
  delete FImpl;
}

void TMainMenu::AttachMenuBar(QMenuBar* Bar) {
  if (FImpl->Bar == Bar) return;
  if (FImpl->Bar) {
    QObject::disconnect(FImpl->Triggered);
    FImpl->Bar->clear();
  }
  FImpl->Bar = Bar;
  if (!Bar) return;
  FImpl->Triggered = QObject::connect(Bar, &QMenuBar::triggered, Bar, [](QAction* A) {
    if (TMenuItem* Item = itemOf(A)) Item->Click();
  });
  MenuChanged(nullptr);
}

QMenuBar* TMainMenu::MenuBar() const { return FImpl->Bar; }

void TMainMenu::OpenItem(TMenuItem* Item, Integer X, Integer Y) {
  assert(Item->Parent() == Items() && "OpenItem: not a bar item of this menu");
  if (!Item->Enabled()) return;
  {
    // Its OnClick may build the menu anew, this item included, or free it.
    TFreeWatch Watch(Item);
    Item->Click();
    if (Watch.Freed()) return;
  }
  if (Item->Count() == 0) return;
  for (Integer I = 0; I < Item->Count(); ++I) Item->Items(I)->InitiateAction();
  std::unique_ptr<QMenu> Menu(BuildQtMenu(Item));
  TMenuItem* Chosen = trackMenu({this, Item, Menu.get(), TPoint{X, Y}}, QPoint(X, Y), QStringLiteral("Main menu"));
  Menu.reset();
  if (Chosen) Chosen->Click();
}

// A change can come from inside a triggered action's Click: the old actions
// and menus go later, never under the signal that is running.
void TMainMenu::MenuChanged(TMenuItem* Source) {
  if (ComponentState().Contains(csDestroying)) return;
  if (QMenuBar* Bar = FImpl->Bar) {
    for (QAction* A : Bar->actions()) {
      Bar->removeAction(A);
      if (A->parent() == Bar) A->deleteLater();
      if (QMenu* M = A->menu(); M && M->parent() == Bar) M->deleteLater();
    }
    fillMenu(Bar, Items());
  }
  if (IsWindow(FWindowHandle)) SendMessage(FWindowHandle, CM_MENUCHANGED, 0, 0);
  TMenu::MenuChanged(Source);
}

// ---------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = Value;
  if (Value) Value->FreeNotification(this);
}

void TPopupMenu::DoPopup(TObject* Sender) {
  if (OnPopup) OnPopup(Sender);
}

void TPopupMenu::Popup(Integer X, Integer Y) {
  FPopupPoint = TPoint{X, Y};
  DoPopup(this);
  std::unique_ptr<QMenu> Menu(BuildQtMenu(Items()));
  QPoint At(X, Y);
  const int Width = Menu->sizeHint().width();
  if (FAlignment == paRight) At.rx() -= Width;
  else if (FAlignment == paCenter) At.rx() -= Width / 2;
  TMenuItem* Chosen = trackMenu({this, nullptr, Menu.get(), FPopupPoint}, At, QStringLiteral("Popup menu"));
  Menu.reset();
  if (Chosen) Chosen->Click();
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

QMenu* BuildQtMenu(TMenuItem* Item, QWidget* Parent) {
  auto* Menu = new QMenu(Parent);
  Menu->installEventFilter(new TKeepOpenFilter(Menu));
  fillMenu(Menu, Item);
  return Menu;
}

// ---------------------------------------------------------------------------
// shortcut dispatch

bool IsShortCut(TWMKey& Message, TControl* Focused, TMainMenu* MainMenu) {
  for (TControl* C = Focused; C; C = C->Parent())
    if (TPopupMenu* Popup = C->PopupMenu(); Popup && Popup->IsShortCut(Message)) return true;
  return MainMenu && MainMenu->IsShortCut(Message);
}

TMenuResponder SetMenuResponder(TMenuResponder Responder) {
  return std::exchange(menuResponder(), std::move(Responder));
}
