#include "platform/ui/controls/listbox.h"

#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/windowing/scrollinfo.h"

#include <algorithm>

using namespace gdi;

namespace {

// Rows one wheel notch scrolls (the desktop's default wheel setting).
constexpr Integer WheelScrollLines = 3;
// The text's inset from a row's left edge.
constexpr Integer TextIndent = 2;

// The height of a line of Font, as a canvas on the screen measures it.
Integer fontHeightOf(TFont* Font) {
  TCanvas Canvas;
  Integer Height = 0;
  MeasureOnScreen(&Canvas, [&] {
    Canvas.SetFont(Font);
    Height = Canvas.TextHeight(QStringLiteral("Wg"));
  });
  return Height;
}

}  // namespace

// ---------------------------------------------------------------------------
// TListBoxStrings: the items, telling the list box where lines come and go so
// that the selection follows its item.  Duplicates are accepted, sorted too.

class TListBoxStrings : public TStringList {
  RTL_CLASS(TListBoxStrings, TStringList)
public:
  explicit TListBoxStrings(TCustomListBox* ListBox) : FListBox(ListBox) { SetDuplicates(dupAccept); }

  using TStringList::CompareStrings;

  Integer AddObject(const String& S, TObject* AObject) override {
    const Integer Index = TStringList::AddObject(S, AObject);
    FListBox->ItemInserted(Index);
    return Index;
  }
  void InsertObject(Integer Index, const String& S, TObject* AObject) override {
    TStringList::InsertObject(Index, S, AObject);
    FListBox->ItemInserted(Index);
  }
  void Delete(Integer Index) override {
    // Before the change notification: it must see the selection already moved.
    if (Index >= 0 && Index < Count()) FListBox->ItemDeleted(Index);
    TStringList::Delete(Index);
  }

protected:
  void Changed() override {
    TStringList::Changed();
    FListBox->ItemsChanged();
  }

private:
  TCustomListBox* FListBox;
};

// ---------------------------------------------------------------------------
// TCustomListBox

const TMessageMap& TCustomListBox::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_GETDLGCODE, &TCustomListBox::WMGetDlgCode},
      {WM_VSCROLL, &TCustomListBox::WMVScroll},
      {CM_FONTCHANGED, &TCustomListBox::CMFontChanged},
      {CM_ENTER, &TCustomListBox::CMEnter},
      {CM_EXIT, &TCustomListBox::CMExit},
  });
  return Map;
}

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TListBoxStrings>(this)) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetBounds(0, 0, 121, 97);
  SetParentColor(false);
  SetColor(clWindow);
  SetTabStop(true);
}

TCustomListBox::~TCustomListBox() = default;

TStrings* TCustomListBox::Items() const { return FItems.get(); }

void TCustomListBox::SetItems(TStrings* Value) { FItems->Assign(Value); }

Integer TCustomListBox::Count() const { return FItems->Count(); }

void TCustomListBox::Clear() { FItems->Clear(); }

void TCustomListBox::SetItemIndex(Integer Value) {
  if (Value < 0 || Value >= Count()) Value = -1;
  if (Value != FItemIndex) {
    FItemIndex = Value;
    Invalidate();
  }
  if (Value < 0) return;
  const Integer Rows = VisibleRows();
  if (Value < FTopIndex)
    SetTopIndex(Value);
  else if (Value >= FTopIndex + Rows)
    SetTopIndex(Value - Rows + 1);
}

bool TCustomListBox::Sorted() const { return FItems->Sorted(); }

void TCustomListBox::SetSorted(bool Value) {
  if (Value == Sorted()) return;
  if (!Value) {
    FItems->SetSorted(false);
    return;
  }
  // The sort is stable: the selected item lands after every smaller item and
  // after the equal ones that preceded it.
  Integer Selected = FItemIndex;
  if (Selected >= 0) {
    const String S = FItems->Strings(Selected);
    Integer NewIndex = 0;
    for (Integer I = 0; I < Count(); ++I) {
      const Integer Order = FItems->CompareStrings(FItems->Strings(I), S);
      if (Order < 0 || (Order == 0 && I < FItemIndex)) ++NewIndex;
    }
    Selected = NewIndex;
  }
  FItems->SetSorted(true);
  FItemIndex = -1;
  SetItemIndex(Selected);
  ItemsChanged();
}

void TCustomListBox::SetTopIndex(Integer Value) {
  Value = std::clamp(Value, Integer(0), std::max(Integer(0), Count() - VisibleRows()));
  if (Value == FTopIndex) return;
  FTopIndex = Value;
  if (HandleAllocated()) SetScrollPos(Handle(), SB_VERT, Value, true);
  Invalidate();
}

Integer TCustomListBox::ItemHeight() const {
  if (FItemHeight > 0) return FItemHeight;
  if (FFontHeight == 0) FFontHeight = std::max(Integer(1), fontHeightOf(Font()));
  return FFontHeight;
}

void TCustomListBox::SetItemHeight(Integer Value) {
  Value = std::max(Integer(0), Value);
  if (Value == FItemHeight) return;
  FItemHeight = Value;
  ItemsChanged();
}

Integer TCustomListBox::ItemAtPos(TPoint Pos, bool Existing) {
  const Integer H = ItemHeight();
  const Integer Row = Pos.Y >= 0 ? Pos.Y / H : -1 - (-1 - Pos.Y) / H;
  const Integer Index = FTopIndex + Row;
  if (!Existing) return std::clamp(Index, Integer(0), Count());
  const bool Inside = Pos.X >= 0 && Pos.X < ClientWidth() && Pos.Y >= 0;
  return Inside && Index < Count() ? Index : -1;
}

TRect TCustomListBox::ItemRect(Integer Index) {
  const Integer H = ItemHeight();
  return Bounds(0, (Index - FTopIndex) * H, ClientWidth(), H);
}

Integer TCustomListBox::VisibleRows() { return std::max(Integer(1), ClientHeight() / ItemHeight()); }

void TCustomListBox::DrawItem(Integer Index, TRect Rect, TOwnerDrawState State) {
  TCanvas* C = Canvas();
  const bool Selected = State.Contains(odSelected);
  C->Brush()->SetColor(Selected ? clHighlight : Color());
  C->Font()->SetColor(Selected ? clHighlightText : State.Contains(odDisabled) ? clGrayText : Font()->Color());
  C->TextRect(Rect, Rect.Left + TextIndent, Rect.Top, FItems->Strings(Index));
  if (State.Contains(odFocused)) C->DrawFocusRect(Rect);
}

Integer TCustomListBox::KeyTarget(Word Key) {
  const Integer Last = Count() - 1;
  if (Last < 0) return -1;
  const Integer Page = std::max(Integer(1), VisibleRows() - 1);
  // With nothing selected every move starts at the first item.
  const Integer From = FItemIndex;
  Integer Target;
  switch (Key) {
    case VK_UP:
    case VK_LEFT: Target = From < 0 ? 0 : From - 1; break;
    case VK_DOWN:
    case VK_RIGHT: Target = From < 0 ? 0 : From + 1; break;
    case VK_PRIOR: Target = From < 0 ? 0 : From - Page; break;
    case VK_NEXT: Target = From < 0 ? 0 : From + Page; break;
    case VK_HOME: Target = 0; break;
    case VK_END: Target = Last; break;
    default: return -1;
  }
  return std::clamp(Target, Integer(0), Last);
}

Integer TCustomListBox::CharTarget(Char Key) {
  if (Key.unicode() < 0x20 || Key.isSurrogate()) return -1;
  const String Prefix(Key);
  const Integer N = Count();
  for (Integer Step = 1; Step <= N; ++Step) {
    const Integer Index = (FItemIndex + Step) % N;
    if (AnsiStartsText(Prefix, FItems->Strings(Index))) return Index;
  }
  return -1;
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_VSCROLL;
  AddSingleBorderStyle(Params);
}

void TCustomListBox::CreateWnd() {
  TCustomControl::CreateWnd();
  updateScrollBar();
}

void TCustomListBox::Paint() {
  TCanvas* C = Canvas();
  C->Font()->Assign(Font());
  C->Brush()->SetColor(Color());
  C->FillRect(ClientRect());
  const Integer Bottom = ClientHeight();
  for (Integer I = FTopIndex; I < Count(); ++I) {
    const TRect R = ItemRect(I);
    if (R.Top >= Bottom) break;
    TOwnerDrawState State;
    if (I == FItemIndex) {
      State.Include(odSelected);
      if (Focused()) State.Include(odFocused);
    }
    if (!Enabled()) State.Include(odDisabled);
    DrawItem(I, R, State);
  }
}

void TCustomListBox::Resize() {
  TCustomControl::Resize();
  updateScrollBar();
}

void TCustomListBox::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const Integer Target = KeyTarget(Key);
  if (Target < 0) return;
  Key = 0;
  if (Target == FItemIndex) return;
  SetItemIndex(Target);
  Click();
}

void TCustomListBox::KeyPress(Char& Key) {
  TCustomControl::KeyPress(Key);
  const Integer Target = CharTarget(Key);
  if (Target < 0 || Target == FItemIndex) return;
  SetItemIndex(Target);
  Click();
}

void TCustomListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    if (Count() == 0)
      FControlState.Exclude(csClicked);  // nothing chosen, nothing to report
    else
      selectAt(X, Y);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomListBox::MouseMove(TShiftState Shift, int X, int Y) {
  if (FControlState.Contains(csLButtonDown) && Count() > 0) selectAt(X, Y);
  TCustomControl::MouseMove(Shift, X, Y);
}

bool TCustomListBox::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
  SetTopIndex(FTopIndex + WheelScrollLines);
  return true;
}

bool TCustomListBox::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
  SetTopIndex(FTopIndex - WheelScrollLines);
  return true;
}

void TCustomListBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomListBox::WMVScroll(TWMScroll& Message) {
  const Integer Thumb = ScrollThumbPosition(Handle(), SB_VERT, Message.Pos);
  const auto Top = ScrollCodeTarget(Message.ScrollCode, FTopIndex, Thumb, /*Line=*/1, VisibleRows(),
                                    [this] { return Count(); });
  if (Top) SetTopIndex(*Top);
}

void TCustomListBox::CMFontChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  FFontHeight = 0;
  ItemsChanged();
}

void TCustomListBox::CMEnter(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TCustomListBox::CMExit(TMessage& Message) {
  Invalidate();
  DispatchAs<TCustomControl>(Message);
}

void TCustomListBox::ItemInserted(Integer Index) {
  FItemIndex = FollowItem(FItemIndex, Index, /*Inserted=*/true);
  Invalidate();
}

void TCustomListBox::ItemDeleted(Integer Index) { FItemIndex = FollowItem(FItemIndex, Index, /*Inserted=*/false); }

Integer TCustomListBox::FollowItem(Integer Selected, Integer Index, bool Inserted) {
  if (Selected < 0 || Selected < Index) return Selected;
  if (Inserted) return Selected + 1;
  return Selected == Index ? -1 : Selected - 1;
}

void TCustomListBox::ItemsChanged() {
  if (FItemIndex >= Count()) FItemIndex = -1;
  updateScrollBar();
  Invalidate();
}

void TCustomListBox::updateScrollBar() {
  const Integer Rows = VisibleRows();
  FTopIndex = std::clamp(FTopIndex, Integer(0), std::max(Integer(0), Count() - Rows));
  if (!HandleAllocated()) return;
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Info.nMax = Count() - 1;
  Info.nPage = UINT(Rows);
  Info.nPos = FTopIndex;
  SetScrollInfo(Handle(), SB_VERT, &Info, true);
}

void TCustomListBox::selectAt(int X, int Y) {
  SetItemIndex(std::min(ItemAtPos({X, Y}, /*Existing=*/false), Count() - 1));
}

// ---------------------------------------------------------------------------
// TListBox

void TListBox::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Color", &TListBox::Color, &TListBox::SetColor);
  Props.Add("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight);
  Props.Add("Items", &TListBox::Items, &TListBox::SetItems);
  Props.Add("ParentColor", &TListBox::ParentColor, &TListBox::SetParentColor).Default(false);
  Props.Add("ParentFont", &TListBox::ParentFont, &TListBox::SetParentFont).Default(true);
  Props.Add("Sorted", &TListBox::Sorted, &TListBox::SetSorted).Default(false);
  Props.Add("TabOrder", &TListBox::TabOrder, &TListBox::SetTabOrder);
  Props.Add("TabStop", &TListBox::TabStop, &TListBox::SetTabStop).Default(true);
  Props.Add("Visible", &TListBox::Visible, &TListBox::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  Props.Add<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
  Props.Add<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
}
