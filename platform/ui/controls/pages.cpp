#include "platform/ui/controls/pages.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/inputrouter.h"

#include <algorithm>

using namespace gdi;

namespace {

constexpr Integer TabRaise = 2;       // the active tab stands this much higher and wider
constexpr Integer TabTextIndent = 6;  // caption to a tab's sides
constexpr Integer TabTextMargin = 3;  // caption to a tab's top and bottom
constexpr Integer FrameMargin = 4;    // the frame's raised edge (2) and a gap (2)
constexpr UINT TabTextFormat = DT_SINGLELINE | DT_CENTER | DT_VCENTER;

// Caption in Font as DrawText lays it out ("&" marks the accelerator), on a
// screen DC: tabs are measured before the control has a window.
TSize captionExtent(TFont* Font, const String& Caption) {
  TCanvas Canvas;
  TRect R;
  MeasureOnScreen(&Canvas, [&] {
    Canvas.SetFont(Font);
    // An empty caption still measures one line high.
    const String Text = Caption.isEmpty() ? QStringLiteral(" ") : Caption;
    DrawTextW(Canvas.Handle(), Text.constData(), int(Text.size()), &R, TabTextFormat | DT_CALCRECT);
  });
  return {R.Width(), R.Height()};
}

}  // namespace

// ---------------------------------------------------------------------------
// TTabSheet

const TMessageMap& TTabSheet::MessageMap() {
  static const TMessageMap Map(TWinControl::MessageMap(), {
      {CM_TEXTCHANGED, &TTabSheet::CMTextChanged},
  });
  return Map;
}

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FVisible = false;
  SetAlign(alClient);
}

TTabSheet::~TTabSheet() {
  // Freed without Free(): still leave the page list.
  if (FPageControl) FPageControl->removePage(this);
}

void TTabSheet::BeforeDestruction() {
  if (FPageControl) {
    TPageControl* Pages = FPageControl;
    FPageControl = nullptr;
    Pages->removePage(this);
  }
  TWinControl::BeforeDestruction();
}

void TTabSheet::SetParent(TWinControl* AParent) {
  auto* NewPages = dynamic_cast<TPageControl*>(AParent);
  if (FPageControl && FPageControl != NewPages) {
    TPageControl* Old = FPageControl;
    FPageControl = nullptr;
    Old->removePage(this);
  }
  TWinControl::SetParent(AParent);
  if (NewPages && FPageControl != NewPages) {
    FPageControl = NewPages;
    NewPages->insertPage(this);
  }
}

void TTabSheet::SetPageControl(TPageControl* Value) { SetParent(Value); }

Integer TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& Pages = FPageControl->FPages;
  return Integer(std::find(Pages.begin(), Pages.end(), this) - Pages.begin());
}

void TTabSheet::SetPageIndex(Integer Value) {
  if (FPageControl) FPageControl->movePage(this, Value);
}

Integer TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  const std::vector<TTabSheet*> Tabs = FPageControl->visibleTabs();
  return Integer(std::find(Tabs.begin(), Tabs.end(), this) - Tabs.begin());
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (FPageControl) FPageControl->tabsChanged();
}

void TTabSheet::CMTextChanged(TMessage& Message) {
  DispatchAs<TWinControl>(Message);
  if (FPageControl) FPageControl->tabsChanged();
}

void TTabSheet::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Caption", &TTabSheet::Caption, &TTabSheet::SetCaption);
  Props.Add("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl);
  Props.Add("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
  Props.Add<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  Props.Add<TControl>("Font", &TControl::Font, &TControl::SetFont);
  Props.Add("ParentFont", &TTabSheet::ParentFont, &TTabSheet::SetParentFont).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// TPageControl

const TMessageMap& TPageControl::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {CM_DIALOGKEY, &TPageControl::CMDialogKey},
      {CM_FONTCHANGED, &TPageControl::CMFontChanged},
      {CM_ENTER, &TPageControl::CMEnter},
      {CM_EXIT, &TPageControl::CMExit},
  });
  return Map;
}

TPageControl::TPageControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TPageControl::~TPageControl() = default;

TTabSheet* TPageControl::Pages(Integer Index) const {
  if (Index < 0 || Index >= PageCount())
    throw EListError(QStringLiteral("List index out of bounds (%d)"), {Index});
  return FPages[size_t(Index)];
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) const {
  if (FPages.empty()) return nullptr;
  const auto Count = Integer(FPages.size());
  Integer Start = CurPage ? CurPage->PageIndex() : -1;
  if (Start < 0 || Start >= Count || CurPage->FPageControl != this) Start = GoForward ? Count - 1 : 0;
  Integer I = Start;
  do {
    I = (I + (GoForward ? 1 : Count - 1)) % Count;
    TTabSheet* Page = FPages[size_t(I)];
    if (!CheckTabVisible || Page->FTabVisible) return Page;
  } while (I != Start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (Page && Page != FActivePage) userSelect(Page);
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->FPageControl != this)
    throw EInvalidOperation(QStringLiteral("Tab sheet %s is not in page control %s"), {Page->Name(), Name()});
  changeActivePage(Page);
}

Integer TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(Integer Value) {
  changeActivePage(Value >= 0 && Value < PageCount() ? FPages[size_t(Value)] : nullptr);
}

bool TPageControl::CanChange() {
  bool AllowChange = true;
  if (OnChanging) OnChanging(this, AllowChange);
  return AllowChange;
}

void TPageControl::Change() {
  if (OnChange) OnChange(this);
}

void TPageControl::userSelect(TTabSheet* Page) {
  if (Page == FActivePage || !CanChange()) return;
  // OnChanging may have freed the page or given it to another control.
  if (std::find(FPages.begin(), FPages.end(), Page) == FPages.end()) return;
  changeActivePage(Page);
  Change();
}

// The sheet shown first, then the focus moved out of the sheet going, then
// that sheet hidden: a hidden control never keeps the focus.
void TPageControl::changeActivePage(TTabSheet* Page) {
  if (Page == FActivePage) return;
  TTabSheet* Old = FActivePage;
  TCustomForm* Form = GetParentForm(this);
  TWinControl* Focus = Form ? Form->ActiveControl() : nullptr;
  const bool FocusInside = Old && Focus && Old->ContainsControl(Focus);
  FActivePage = Page;
  if (Page) Page->SetVisible(true);
  if (FocusInside) {
    TWinControl* Next =
        Page ? Page->FindNextControl(nullptr, /*GoForward=*/true, /*CheckTabStop=*/true, /*CheckParent=*/false) : nullptr;
    if (!Next && CanFocus()) Next = this;
    if (Next) Form->SetActiveControl(Next);
  }
  if (Old) Old->SetVisible(false);
  tabsChanged();
}

void TPageControl::insertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  if (!FActivePage) changeActivePage(Page);
  else Page->SetVisible(false);
  tabsChanged();
}

// The neighbour after the page leaving (else the one before) takes over; a
// page control being freed only forgets its pages.
void TPageControl::removePage(TTabSheet* Page) {
  const auto It = std::find(FPages.begin(), FPages.end(), Page);
  if (It == FPages.end()) return;
  const auto Index = size_t(It - FPages.begin());
  FPages.erase(It);
  if (ComponentState().Contains(csDestroying)) {
    if (Page == FActivePage) FActivePage = nullptr;
    return;
  }
  if (Page == FActivePage) changeActivePage(FPages.empty() ? nullptr : FPages[std::min(Index, FPages.size() - 1)]);
  tabsChanged();
}

void TPageControl::movePage(TTabSheet* Page, Integer Index) {
  const Integer Old = Page->PageIndex();
  Index = std::clamp<Integer>(Index, 0, PageCount() - 1);
  if (Old < 0 || Old == Index) return;
  FPages.erase(FPages.begin() + Old);
  FPages.insert(FPages.begin() + Index, Page);
  tabsChanged();
}

void TPageControl::tabsChanged() {
  if (!ComponentState().Contains(csDestroying)) Invalidate();
}

// tabs

std::vector<TTabSheet*> TPageControl::visibleTabs() const {
  std::vector<TTabSheet*> Tabs;
  std::copy_if(FPages.begin(), FPages.end(), std::back_inserter(Tabs), [](TTabSheet* P) { return P->FTabVisible; });
  return Tabs;
}

Integer TPageControl::TabCount() const { return Integer(visibleTabs().size()); }

Integer TPageControl::tabRowHeight() {
  return captionExtent(Font(), QStringLiteral("0")).cy + 2 * TabTextMargin + TabRaise;
}

TRect TPageControl::TabRect(Integer Index) {
  const std::vector<TTabSheet*> Tabs = visibleTabs();
  if (Index < 0 || Index >= Integer(Tabs.size())) return {};
  const Integer Row = tabRowHeight();
  Integer X = TabRaise;
  for (Integer I = 0;; ++I) {
    const Integer W = captionExtent(Font(), Tabs[size_t(I)]->Caption()).cx + 2 * TabTextIndent;
    if (I < Index) {
      X += W;
      continue;
    }
    if (Tabs[size_t(I)] == FActivePage) return {X - TabRaise, 0, X + W + TabRaise, Row};
    return {X, TabRaise, X + W, Row};
  }
}

// The active tab stands over its neighbours, so it is asked first.
Integer TPageControl::IndexOfTabAt(Integer X, Integer Y) {
  const TPoint P{X, Y};
  const Integer Active = FActivePage ? FActivePage->TabIndex() : -1;
  if (Active >= 0 && TabRect(Active).Contains(P)) return Active;
  for (Integer I = 0; I < TabCount(); ++I)
    if (TabRect(I).Contains(P)) return I;
  return -1;
}

void TPageControl::AdjustClientRect(TRect& Rect) {
  Rect = ClientRect();
  Rect.Top += tabRowHeight();
  InflateRect(Rect, -FrameMargin, -FrameMargin);
  if (Rect.Right < Rect.Left) Rect.Right = Rect.Left;
  if (Rect.Bottom < Rect.Top) Rect.Bottom = Rect.Top;
}

// painting

void TPageControl::Paint() {
  TCanvas* C = Canvas();
  C->Brush()->SetColor(Color());
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(ClientRect());
  const HDC DC = C->Handle();
  const Integer Row = tabRowHeight();
  TRect Frame = Rect(0, Row, Width(), Height());
  DrawEdge(DC, &Frame, EDGE_RAISED, BF_RECT);
  const std::vector<TTabSheet*> Tabs = visibleTabs();
  Integer ActiveIndex = -1;
  auto drawTab = [&](Integer I, TRect R) {
    DrawEdge(DC, &R, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT | BF_MIDDLE);
    C->SetFont(Font());
    if (!Enabled()) C->Font()->SetColor(clGrayText);
    C->Brush()->SetStyle(bsClear);
    const String Text = Tabs[size_t(I)]->Caption();
    TRect TextRect = Rect(R.Left, R.Top, R.Right, std::min(R.Bottom, Row));
    DrawTextW(C->Handle(), Text.constData(), int(Text.size()), &TextRect, TabTextFormat);
  };
  for (Integer I = 0; I < Integer(Tabs.size()); ++I) {
    if (Tabs[size_t(I)] == FActivePage) {
      ActiveIndex = I;
      continue;
    }
    drawTab(I, TabRect(I));
  }
  if (ActiveIndex < 0) return;
  // Open at the bottom: the active tab runs into the frame over its edge.
  TRect Active = TabRect(ActiveIndex);
  Active.Bottom += 2;
  drawTab(ActiveIndex, Active);
  if (Focused()) {
    TRect Focus = TabRect(ActiveIndex);
    InflateRect(Focus, -TabRaise - 1, -TabRaise - 1);
    C->DrawFocusRect(Focus);
  }
}

// input

void TPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    const Integer Index = IndexOfTabAt(X, Y);
    if (Index >= 0) {
      if (CanFocus() && !Focused()) SetFocus();
      userSelect(visibleTabs()[size_t(Index)]);
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPageControl::CMDialogKey(TCMDialogKey& Message) {
  const bool Ours = Focused() || ContainsControl(FocusedControl());
  if (Ours && Message.CharCode == VK_TAB && GetKeyState(VK_CONTROL) < 0) {
    SelectNextPage(/*GoForward=*/GetKeyState(VK_SHIFT) >= 0);
    Message.Result = 1;
    return;
  }
  DispatchAs<TCustomControl>(Message);
}

void TPageControl::CMFontChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Realign();
}

void TPageControl::CMEnter(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TPageControl::CMExit(TMessage& Message) {
  Invalidate();
  DispatchAs<TCustomControl>(Message);
}

void TPageControl::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
  Props.Add("ParentFont", &TPageControl::ParentFont, &TPageControl::SetParentFont).Default(true);
  Props.Add("TabOrder", &TPageControl::TabOrder, &TPageControl::SetTabOrder);
  Props.Add("TabStop", &TPageControl::TabStop, &TPageControl::SetTabStop).Default(true);
  Props.Add("Visible", &TPageControl::Visible, &TPageControl::SetVisible).Default(true);
  Props.Add("OnChange", &TPageControl::OnChange, &TPageControl::OnChange);
  Props.Add("OnChanging", &TPageControl::OnChanging, &TPageControl::OnChanging);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}
