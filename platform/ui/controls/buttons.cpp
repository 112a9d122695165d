#include "platform/ui/controls/buttons.h"

#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/controls/comctrls.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/drawtext.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/forms.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <memory>

using namespace gdi;

namespace {

// The classic geometry: a check box's box and a radio button's circle, the
// room between the box's column and the caption, and the push button's focus
// rectangle inside its black frame, raised edge and one pixel of face.
constexpr int CheckBoxSize = 13;
constexpr int RadioSize = 12;
constexpr int CaptionGap = 4;
constexpr int FocusInset = 4;

// The classic caption of a button over a transparent background in Canvas's
// font: its colour, or, disabled, the text in clBtnHighlight one pixel down
// and right under the same text in clBtnShadow.
void drawCaption(TCanvas* Canvas, const TRect& Bounds, const String& Caption, UINT Flags, bool Enabled) {
  Canvas->Brush()->SetStyle(bsClear);
  auto draw = [&](TRect R, TColor Ink) {
    Canvas->Font()->SetColor(Ink);
    DrawTextW(Canvas->Handle(), Caption.constData(), int(Caption.size()), &R, Flags);
  };
  const TColor Ink = Canvas->Font()->Color();
  if (Enabled) {
    draw(Bounds, Ink);
    return;
  }
  TRect Raised = Bounds;
  OffsetRect(Raised, 1, 1);
  draw(Raised, clBtnHighlight);
  draw(Bounds, clBtnShadow);
  Canvas->Font()->SetColor(Ink);
}

}  // namespace

// ---------------------------------------------------------------------------
// TButtonControl

const TMessageMap& TButtonControl::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {CM_TEXTCHANGED, &TButtonControl::CMTextChanged},
      {CM_FONTCHANGED, &TButtonControl::CMFontChanged},
      {CM_ENABLEDCHANGED, &TButtonControl::CMEnabledChanged},
      {CM_DIALOGCHAR, &TButtonControl::CMDialogChar},
      {CM_COLORCHANGED, &TButtonControl::CMColorChanged},
      {CM_ENTER, &TButtonControl::CMEnter},
      {CM_EXIT, &TButtonControl::CMExit},
      {WM_CANCELMODE, &TButtonControl::WMCancelMode},
  });
  return Map;
}

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  // The click is ours (UserClick), not TControl's.
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csOpaque};
  SetTabStop(true);
}

TButtonControl::~TButtonControl() {
  if (FFreed) *FFreed = true;
}

void TButtonControl::DrawCaption(const TRect& Bounds, UINT Flags) {
  Canvas()->SetFont(Font());
  drawCaption(Canvas(), Bounds, Caption(), Flags, Enabled());
}

void TButtonControl::setPressed(bool Value) {
  if (FPressed == Value) return;
  FPressed = Value;
  Invalidate();
}

void TButtonControl::PaintMark(UINT State, int MarkSize, bool MarkRight) {
  TCanvas* C = Canvas();
  const TRect Client = ClientRect();
  C->Brush()->SetColor(Color());
  C->FillRect(Client);
  if (!Enabled()) State |= DFCS_INACTIVE;
  if (FPressed) State |= DFCS_PUSHED;
  TRect Mark = Bounds(MarkRight ? Client.Right - MarkSize : 0, (Client.Height() - MarkSize) / 2, MarkSize, MarkSize);
  DrawFrameControl(C->Handle(), &Mark, DFC_BUTTON, State);
  // Both kinds start their captions in one column.
  const int Indent = CheckBoxSize + CaptionGap;
  const TRect Text =
      MarkRight ? Rect(0, 0, Client.Right - Indent, Client.Bottom) : Rect(Indent, 0, Client.Right, Client.Bottom);
  const UINT Flags = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
  DrawCaption(Text, Flags);
  const String Label = Caption();
  if (!Focused() || Label.isEmpty()) return;
  TRect Extent = Text;
  DrawTextW(C->Handle(), Label.constData(), int(Label.size()), &Extent, Flags | DT_CALCRECT);
  OffsetRect(Extent, 0, (Text.Height() - Extent.Height()) / 2);
  InflateRect(Extent, 1, 1);
  IntersectRect(Extent, Extent, Client);
  C->DrawFocusRect(Extent);
}

void TButtonControl::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_SPACE && Shift.Empty()) setPressed(true);
}

void TButtonControl::KeyUp(Word& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  if (Key != VK_SPACE || !FPressed) return;
  setPressed(false);
  UserClick();
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    setPressed(true);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool Clicked = Button == mbLeft && FPressed && ClientRect().Contains(TPoint{X, Y});
  if (Button == mbLeft) setPressed(false);
  if (Clicked && !userClickSurvived()) return;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TButtonControl::userClickSurvived() {
  bool Freed = false;
  // Ends the watch however UserClick ends (a handler may raise): a freed
  // control is not touched, and an outer watch hears of it.
  const TScopeExit Watch([Control = this, &Freed, Outer = FFreed] {
    if (!Freed)
      Control->FFreed = Outer;
    else if (Outer)
      *Outer = true;
  });
  FFreed = &Freed;
  UserClick();
  return !Freed;
}

void TButtonControl::CMTextChanged(TMessage&) { Invalidate(); }

void TButtonControl::CMFontChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TButtonControl::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TButtonControl::CMDialogChar(TCMDialogChar& Message) {
  if (!IsAccel(Message.CharCode, Caption()) || !CanFocus()) {
    DispatchAs<TCustomControl>(Message);
    return;
  }
  SetFocus();
  UserClick();
  Message.Result = 1;
}

void TButtonControl::CMColorChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TButtonControl::CMEnter(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TButtonControl::CMExit(TMessage& Message) {
  Invalidate();
  setPressed(false);
  DispatchAs<TCustomControl>(Message);
}

void TButtonControl::WMCancelMode(TMessage& Message) {
  setPressed(false);
  DispatchAs<TCustomControl>(Message);
}

// ---------------------------------------------------------------------------
// TButton

const TMessageMap& TButton::MessageMap() {
  static const TMessageMap Map(TButtonControl::MessageMap(), {
      {CM_DIALOGKEY, &TButton::CMDialogKey},
      {CM_FOCUSCHANGED, &TButton::CMFocusChanged},
  });
  return Map;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  // Without a focus change to go by, Default alone decides.
  FActive = Value;
  Invalidate();
}

void TButton::Paint() {
  const bool Down = Pressed();
  TCanvas* C = Canvas();
  TRect R = ClientRect();
  if (FActive) {
    C->Brush()->SetColor(clWindowFrame);
    C->FrameRect(R);
    InflateRect(R, -1, -1);
  }
  // The active button pushed keeps its black frame around a flat face.
  const UINT Push = !Down ? 0 : FActive ? DFCS_FLAT : DFCS_PUSHED;
  DrawFrameControl(C->Handle(), &R, DFC_BUTTON, DFCS_BUTTONPUSH | Push);
  DrawContent(Down);
  if (!Focused()) return;
  R = ClientRect();
  InflateRect(R, -FocusInset, -FocusInset);
  C->DrawFocusRect(R);
}

void TButton::DrawContent(bool Down) {
  TRect R = ClientRect();
  if (Down) OffsetRect(R, 1, 1);
  DrawCaption(R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TButton::Click() {
  if (FModalResult != mrNone) {
    if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
  }
  TButtonControl::Click();
}

void TButton::CMDialogKey(TCMDialogKey& Message) {
  const bool Wanted = (Message.CharCode == VK_RETURN && FActive) || (Message.CharCode == VK_ESCAPE && FCancel);
  if (!Wanted || !CanFocus()) {
    DispatchAs<TButtonControl>(Message);
    return;
  }
  Click();
  Message.Result = 1;
}

void TButton::CMFocusChanged(TCMFocusChanged& Message) {
  const bool Active = dynamic_cast<TButton*>(Message.Sender) ? Message.Sender == this : FDefault;
  if (Active != FActive) {
    FActive = Active;
    Invalidate();
  }
  DispatchAs<TButtonControl>(Message);
}

void TButton::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add<TControl>("Action", &TControl::Action, &TControl::SetAction);
  Props.Add("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  Props.Add("Caption", &TButton::Caption, &TButton::SetCaption);
  Props.Add("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  Props.Add("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  Props.Add("ParentFont", &TButton::ParentFont, &TButton::SetParentFont).Default(true);
  Props.Add("TabOrder", &TButton::TabOrder, &TButton::SetTabOrder);
  Props.Add("TabStop", &TButton::TabStop, &TButton::SetTabStop).Default(true);
  Props.Add("Visible", &TButton::Visible, &TButton::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  Invalidate();
  Click();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::Paint() {
  static constexpr UINT Looks[] = {0, DFCS_CHECKED, DFCS_BUTTON3STATE | DFCS_CHECKED};
  PaintMark(DFCS_BUTTONCHECK | Looks[FState], CheckBoxSize, FAlignment == taLeftJustify);
}

void TCheckBox::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
  Props.Add("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  Props.Add("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption);
  Props.Add("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
  Props.Add("Color", &TCheckBox::Color, &TCheckBox::SetColor);
  Props.Add("ParentColor", &TCheckBox::ParentColor, &TCheckBox::SetParentColor).Default(true);
  Props.Add("ParentFont", &TCheckBox::ParentFont, &TCheckBox::SetParentFont).Default(true);
  Props.Add("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  Props.Add("TabOrder", &TCheckBox::TabOrder, &TCheckBox::SetTabOrder);
  Props.Add("TabStop", &TCheckBox::TabStop, &TCheckBox::SetTabStop).Default(true);
  Props.Add("Visible", &TCheckBox::Visible, &TCheckBox::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  Invalidate();
  if (!Value) return;
  if (TWinControl* P = Parent()) {
    for (Integer I = 0; I < P->ControlCount(); ++I)
      if (auto* Sibling = dynamic_cast<TRadioButton*>(P->Controls(I)); Sibling && Sibling != this)
        Sibling->SetChecked(false);
  }
  Click();
}

void TRadioButton::Paint() { PaintMark(DFCS_BUTTONRADIO | (FChecked ? DFCS_CHECKED : 0), RadioSize, /*MarkRight=*/false); }

void TRadioButton::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption);
  Props.Add("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
  Props.Add("Color", &TRadioButton::Color, &TRadioButton::SetColor);
  Props.Add("ParentColor", &TRadioButton::ParentColor, &TRadioButton::SetParentColor).Default(true);
  Props.Add("ParentFont", &TRadioButton::ParentFont, &TRadioButton::SetParentFont).Default(true);
  Props.Add("TabOrder", &TRadioButton::TabOrder, &TRadioButton::SetTabOrder);
  Props.Add("TabStop", &TRadioButton::TabStop, &TRadioButton::SetTabStop).Default(true);
  Props.Add("Visible", &TRadioButton::Visible, &TRadioButton::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// TCustomRadioGroup

// A radio button of a group: the user's choice becomes the group's ItemIndex.
class TGroupButton : public TRadioButton {
  RTL_CLASS(TGroupButton, TRadioButton)
public:
  TGroupButton(TCustomRadioGroup* Group, Integer Index) : TRadioButton(nullptr), FGroup(Group), FIndex(Index) {
    SetParent(Group);
  }
  void Click() override {
    TRadioButton::Click();
    if (Checked()) FGroup->SetItemIndex(FIndex);
  }

private:
  TCustomRadioGroup* FGroup;
  Integer FIndex;
};

const TMessageMap& TCustomRadioGroup::MessageMap() {
  static const TMessageMap Map(TCustomGroupBox::MessageMap(), {
      {CM_ENABLEDCHANGED, &TCustomRadioGroup::CMEnabledChanged},
  });
  return Map;
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
  FControlStyle.Exclude(csAcceptsControls);
  FItems->OnChange = TNotifyEvent(this, &TCustomRadioGroup::itemsChanged);
}

TCustomRadioGroup::~TCustomRadioGroup() = default;

TStrings* TCustomRadioGroup::Items() const { return FItems.get(); }

void TCustomRadioGroup::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TCustomRadioGroup::SetItemIndex(Integer Value) {
  Value = std::clamp(Value, Integer(-1), Integer(FButtons.size()) - 1);
  if (Value == FItemIndex) return;
  const Integer Old = FItemIndex;
  // Set first: checking the button comes back here with the same index.
  FItemIndex = Value;
  if (Value >= 0)
    FButtons[size_t(Value)]->SetChecked(true);
  else if (Old >= 0)
    FButtons[size_t(Old)]->SetChecked(false);
  Click();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomGroupBox>(Message);
  for (TRadioButton* Button : FButtons) Button->SetEnabled(Enabled());
}

void TCustomRadioGroup::SetColumns(Integer Value) {
  Value = std::clamp(Value, Integer(1), Integer(16));
  if (Value == FColumns) return;
  FColumns = Value;
  Realign();
}

void TCustomRadioGroup::itemsChanged(TObject*) {
  const auto Count = size_t(FItems->Count());
  while (FButtons.size() > Count) {
    FButtons.back()->Free();
    FButtons.pop_back();
  }
  while (FButtons.size() < Count) {
    FButtons.push_back(new TGroupButton(this, Integer(FButtons.size())));
    FButtons.back()->SetEnabled(Enabled());
  }
  for (size_t I = 0; I < Count; ++I) FButtons[I]->SetCaption(FItems->Strings(Integer(I)));
  if (FItemIndex >= Integer(Count)) {
    FItemIndex = -1;
  } else if (FItemIndex >= 0) {
    // A new button of the chosen index starts unchecked.
    FButtons[size_t(FItemIndex)]->SetChecked(true);
  }
  Realign();
}

void TCustomRadioGroup::AlignControls(TControl*, TRect& Rect) {
  if (FButtons.empty()) return;
  AdjustClientRect(Rect);
  const auto Count = Integer(FButtons.size());
  const Integer PerColumn = (Count + FColumns - 1) / FColumns;
  const Integer ColumnWidth = Rect.Width() / FColumns;
  const Integer RowHeight = Rect.Height() / PerColumn;
  // The rows' leftover pixels split above and below.
  const Integer Top = Rect.Top + (Rect.Height() % PerColumn) / 2;
  constexpr Integer Indent = 6;
  for (Integer I = 0; I < Count; ++I)
    FButtons[size_t(I)]->SetBounds(Rect.Left + Indent + I / PerColumn * ColumnWidth, Top + I % PerColumn * RowHeight,
                                   ColumnWidth - Indent, RowHeight);
}

void TRadioGroup::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Caption", &TRadioGroup::Caption, &TRadioGroup::SetCaption);
  Props.Add("Color", &TRadioGroup::Color, &TRadioGroup::SetColor);
  Props.Add("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
  Props.Add("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
  Props.Add("Items", &TRadioGroup::Items, &TRadioGroup::SetItems);
  Props.Add("ParentColor", &TRadioGroup::ParentColor, &TRadioGroup::SetParentColor).Default(true);
  Props.Add("ParentFont", &TRadioGroup::ParentFont, &TRadioGroup::SetParentFont).Default(true);
  Props.Add("TabOrder", &TRadioGroup::TabOrder, &TRadioGroup::SetTabOrder);
  Props.Add("TabStop", &TRadioGroup::TabStop, &TRadioGroup::SetTabStop).Default(false);
  Props.Add("Visible", &TRadioGroup::Visible, &TRadioGroup::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// glyph and caption

TButtonContentLayout CalcButtonLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption,
                                      TSize GlyphSize, TButtonLayout Layout, Integer Margin, Integer Spacing) {
  const TPoint ClientSize{Client.Width(), Client.Height()};
  TRect TextBounds;
  if (!Caption.isEmpty()) {
    TextBounds = Rect(0, 0, ClientSize.X, 0);
    DrawTextW(Canvas->Handle(), Caption.constData(), int(Caption.size()), &TextBounds, DT_CALCRECT);
  }
  const TPoint TextSize{TextBounds.Width(), TextBounds.Height()};
  const bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  // The cross axis: both centred.
  TPoint GlyphPos, TextPos;
  if (Horizontal) {
    GlyphPos.Y = (ClientSize.Y - GlyphSize.cy + 1) / 2;
    TextPos.Y = (ClientSize.Y - TextSize.Y + 1) / 2;
  } else {
    GlyphPos.X = (ClientSize.X - GlyphSize.cx + 1) / 2;
    TextPos.X = (ClientSize.X - TextSize.X + 1) / 2;
  }
  // The main axis.
  const Integer Room = Horizontal ? ClientSize.X : ClientSize.Y;
  const Integer Glyph = Horizontal ? GlyphSize.cx : GlyphSize.cy;
  const Integer Text = Horizontal ? TextSize.X : TextSize.Y;
  if (TextSize.X == 0 || GlyphSize.cx == 0) Spacing = 0;
  if (Margin == -1 && Spacing == -1) {
    Margin = (Room - Glyph - Text) / 3;
    Spacing = Margin;
  } else if (Margin == -1) {
    Margin = (Room - Glyph - Spacing - Text + 1) / 2;
  } else if (Spacing == -1) {
    Spacing = (Room - Margin - Glyph - Text) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.X = Margin;
      TextPos.X = GlyphPos.X + Glyph + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.X = Room - Margin - Glyph;
      TextPos.X = GlyphPos.X - Spacing - Text;
      break;
    case blGlyphTop:
      GlyphPos.Y = Margin;
      TextPos.Y = GlyphPos.Y + Glyph + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.Y = Room - Margin - Glyph;
      TextPos.Y = GlyphPos.Y - Spacing - Text;
      break;
  }
  const TPoint Origin{Client.Left + Offset.X, Client.Top + Offset.Y};
  TButtonContentLayout Result;
  Result.GlyphPos = {GlyphPos.X + Origin.X, GlyphPos.Y + Origin.Y};
  Result.TextBounds = Bounds(TextPos.X + Origin.X, TextPos.Y + Origin.Y, TextSize.X, TextSize.Y);
  return Result;
}

void DrawButtonContent(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption, TSize GlyphSize,
                       const std::function<void(TPoint)>& DrawGlyph, TButtonLayout Layout, Integer Margin,
                       Integer Spacing, bool Enabled) {
  const TButtonContentLayout L = CalcButtonLayout(Canvas, Client, Offset, Caption, GlyphSize, Layout, Margin, Spacing);
  if (GlyphSize.cx > 0 && GlyphSize.cy > 0) DrawGlyph(L.GlyphPos);
  if (!Caption.isEmpty()) drawCaption(Canvas, L.TextBounds, Caption, DT_CENTER | DT_VCENTER, Enabled);
}

void DrawButtonFrame(TCanvas* Canvas, const TRect& Rect, bool Flat, bool Hot, bool Pressed) {
  TRect R = Rect;
  if (!Flat) {
    DrawFrameControl(Canvas->Handle(), &R, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed ? DFCS_PUSHED : 0));
    return;
  }
  if (Pressed)
    DrawEdge(Canvas->Handle(), &R, BDR_SUNKENOUTER, BF_RECT);
  else if (Hot)
    DrawEdge(Canvas->Handle(), &R, BDR_RAISEDINNER, BF_RECT);
}

// ---------------------------------------------------------------------------
// TButtonMouse

bool TButtonMouse::Down(TMouseButton Button) {
  if (Button != mbLeft) return false;
  FDragging = true;
  FInside = true;
  return true;
}

bool TButtonMouse::Move(TControl* Control, int X, int Y) {
  if (!FDragging) return false;
  const bool Inside = Control->ClientRect().Contains(TPoint{X, Y});
  if (Inside == FInside) return false;
  FInside = Inside;
  return true;
}

bool TButtonMouse::Up(TMouseButton Button) {
  if (Button != mbLeft || !FDragging) return false;
  const bool Was = Pressed();
  FDragging = false;
  return Was;
}

bool TButtonMouse::Enter() {
  if (FMouseIn) return false;
  FMouseIn = true;
  return true;
}

bool TButtonMouse::Leave() {
  if (!FMouseIn) return false;
  FMouseIn = false;
  return true;
}

bool TButtonMouse::Cancel(TControl* Control) {
  TControlState State = Control->ControlState();
  State.Exclude(csClicked);
  Control->SetControlState(State);
  return Up(mbLeft);
}

bool TButtonMouse::Reset() {
  const bool Changed = FDragging || FMouseIn;
  FDragging = FInside = FMouseIn = false;
  return Changed;
}

// ---------------------------------------------------------------------------
// TButtonGlyph: a glyph bitmap cut into its state frames, each a 32-bit
// image with the transparent colour's pixels clear.

class TButtonGlyph {
public:
  explicit TButtonGlyph(const TNotifyEvent& OnChange) : FOriginal(std::make_unique<TBitmap>()), FOnChange(OnChange) {
    FOriginal->OnChange = TNotifyEvent([this](TObject*) { changed(); });
  }

  TBitmap* Glyph() const { return FOriginal.get(); }
  void SetGlyph(TBitmap* Value) { FOriginal->Assign(Value); }
  TNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  // Values outside 1 .. 4 are ignored.
  void SetNumGlyphs(TNumGlyphs Value) {
    if (Value < 1 || Value > 4 || Value == FNumGlyphs) return;
    FNumGlyphs = Value;
    changed();
  }
  bool Empty() const { return FOriginal->Empty() || FOriginal->Width() < FNumGlyphs; }
  TSize Size() const {
    if (Empty()) return {};
    return {FOriginal->Width() / FNumGlyphs, FOriginal->Height()};
  }
  void Draw(TCanvas* Canvas, TPoint At, TButtonState State) {
    if (Empty()) return;
    TBitmap* Frame = frame(State);
    Canvas->Draw(At.X, At.Y, Frame);
  }

private:
  void changed() {
    for (auto& Frame : FFrames) Frame.reset();
    if (FOnChange) FOnChange(/*Sender=*/nullptr);
  }
  TBitmap* frame(TButtonState State);

  std::unique_ptr<TBitmap> FOriginal;
  TNumGlyphs FNumGlyphs = 1;
  std::array<std::unique_ptr<TBitmap>, 4> FFrames;  // by TButtonState, made on first use
  TNotifyEvent FOnChange;
};

namespace {

QRgb qtRgb(TColor Color) {
  const Integer Rgb = ColorToRGB(Color);
  return qRgb(Rgb & 0xFF, (Rgb >> 8) & 0xFF, (Rgb >> 16) & 0xFF);
}

// The up frame in two shades: every pixel that is neither clear nor white
// shows in clBtnShadow with a clBtnHighlight copy one pixel down and right,
// the classic disabled look.
QImage embossed(const QImage& Up) {
  QImage Result(Up.size(), QImage::Format_ARGB32);
  Result.fill(Qt::transparent);
  auto inked = [&](int X, int Y) {
    const QRgb P = Up.pixel(X, Y);
    return qAlpha(P) != 0 && (P & 0xFFFFFF) != 0xFFFFFF;
  };
  const QRgb Highlight = qtRgb(clBtnHighlight), Shadow = qtRgb(clBtnShadow);
  for (int Y = 0; Y + 1 < Up.height(); ++Y)
    for (int X = 0; X + 1 < Up.width(); ++X)
      if (inked(X, Y)) Result.setPixel(X + 1, Y + 1, Highlight);
  for (int Y = 0; Y < Up.height(); ++Y)
    for (int X = 0; X < Up.width(); ++X)
      if (inked(X, Y)) Result.setPixel(X, Y, Shadow);
  return Result;
}

}  // namespace

TBitmap* TButtonGlyph::frame(TButtonState State) {
  auto& Frame = FFrames[size_t(State)];
  if (Frame) return Frame.get();
  const TSize S = Size();
  const QImage Strip = FOriginal->Image().convertToFormat(QImage::Format_ARGB32);
  const QRgb Clear = qtRgb(TColor(FOriginal->TransparentColor() & 0xFFFFFF));
  auto cut = [&](int Index) {
    QImage Image = Strip.copy(Index * S.cx, 0, S.cx, S.cy);
    for (int Y = 0; Y < Image.height(); ++Y) {
      auto* Row = reinterpret_cast<QRgb*>(Image.scanLine(Y));
      for (int X = 0; X < Image.width(); ++X)
        if ((Row[X] & 0xFFFFFF) == (Clear & 0xFFFFFF)) Row[X] = 0;
    }
    return Image;
  };
  QImage Image;
  if (State < FNumGlyphs)
    Image = cut(State);
  else if (State == bsDisabled)
    Image = embossed(cut(bsUp));
  else
    Image = cut(bsUp);
  Frame = std::make_unique<TBitmap>();
  Frame->SetImage(Image);
  return Frame.get();
}

// ---------------------------------------------------------------------------
// TGlyphHolder: the glyph properties of bitmap and speed buttons, and the
// drawing of glyph and caption by them.  A change of the look calls OnChange.

class TGlyphHolder {
public:
  explicit TGlyphHolder(const TNotifyEvent& OnChange)
      : FGlyph(OnChange), FStandard(TNotifyEvent()), FOnChange(OnChange) {}

  TButtonGlyph& Glyph() { return FGlyph; }
  // Shown while Glyph is empty (a bitmap button's kind); its changes go
  // unannounced.
  TButtonGlyph& Standard() { return FStandard; }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value) {
    if (Value == FLayout) return;
    FLayout = Value;
    changed();
  }
  // -1 or more; other values are ignored.
  Integer Margin() const { return FMargin; }
  void SetMargin(Integer Value) {
    if (Value == FMargin || Value < -1) return;
    FMargin = Value;
    changed();
  }
  Integer Spacing() const { return FSpacing; }
  void SetSpacing(Integer Value) {
    if (Value == FSpacing) return;
    FSpacing = Value;
    changed();
  }

  // The shown glyph and Caption inside Client (DrawButtonContent), in
  // Canvas's font; a pressed button's content shifts by (1, 1).
  void Paint(TCanvas* Canvas, const TRect& Client, const String& Caption, bool Pressed, bool Enabled) {
    TButtonGlyph& Shown = FGlyph.Empty() ? FStandard : FGlyph;
    const TButtonState State = !Enabled ? bsDisabled : Pressed ? bsDown : bsUp;
    DrawButtonContent(
        Canvas, Client, Pressed ? TPoint{1, 1} : TPoint{}, Caption, Shown.Size(),
        [&](TPoint At) { Shown.Draw(Canvas, At, State); }, FLayout, FMargin, FSpacing, Enabled);
  }

private:
  void changed() {
    if (FOnChange) FOnChange(/*Sender=*/nullptr);
  }

  TButtonGlyph FGlyph;
  TButtonGlyph FStandard;
  TNotifyEvent FOnChange;
  TButtonLayout FLayout = blGlyphLeft;
  Integer FMargin = -1;
  Integer FSpacing = 4;
};

// ---------------------------------------------------------------------------
// TBitBtn

namespace {

struct TKindLook {
  const char* Caption;
  QColor Ink;
};

// The caption and the colour of each kind's glyph.
const TKindLook& kindLook(TBitBtnKind Kind) {
  static const TKindLook Looks[] = {
      {"", Qt::black},
      {"OK", QColor(0, 128, 0)},
      {"Cancel", QColor(192, 0, 0)},
      {"&Help", QColor(0, 0, 160)},
      {"&Yes", QColor(0, 128, 0)},
      {"&No", QColor(192, 0, 0)},
      {"&Close", QColor(0, 96, 128)},
      {"Abort", QColor(192, 0, 0)},
      {"&Retry", QColor(0, 96, 0)},
      {"&Ignore", QColor(96, 96, 96)},
      {"&All", QColor(0, 128, 0)},
  };
  return Looks[Kind];
}

constexpr int KindGlyphSide = 18;
// The clear background of the kinds' glyphs (their bottom-left pixel).
constexpr QRgb KindClear = qRgb(255, 0, 255);

// A kind's glyph, drawn by us: ticks for OK, Yes and All, crosses for
// Cancel, No and Abort, a question mark, a door, a turning arrow, a slash.
QImage kindImage(TBitBtnKind Kind) {
  QImage Image(KindGlyphSide, KindGlyphSide, QImage::Format_RGB32);
  Image.fill(KindClear);
  QPainter P(&Image);
  P.setRenderHint(QPainter::Antialiasing, false);
  const QColor Ink = kindLook(Kind).Ink;
  P.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  auto tick = [&](int Dx, int Dy) { P.drawPolyline(QPolygon({{3 + Dx, 9 + Dy}, {7 + Dx, 13 + Dy}, {14 + Dx, 4 + Dy}})); };
  auto cross = [&] {
    P.drawLine(4, 4, 13, 13);
    P.drawLine(13, 4, 4, 13);
  };
  switch (Kind) {
    case bkCustom: break;
    case bkOK:
    case bkYes: tick(0, 0); break;
    case bkAll:
      tick(-2, 0);
      tick(2, 0);
      break;
    case bkCancel:
    case bkAbort: cross(); break;
    case bkNo:
      P.drawEllipse(3, 3, 11, 11);
      P.drawLine(5, 12, 12, 5);
      break;
    case bkHelp: {
      TFontFace Face;
      Face.Name = QStringLiteral("Arial");
      Face.PixelSize = 15;
      Face.Weight = 700;
      P.setFont(MakeQtFont(Face));
      P.drawText(QRect(0, 0, KindGlyphSide, KindGlyphSide), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
    case bkClose:
      P.drawRect(4, 2, 9, 13);
      P.fillRect(QRect(10, 8, 2, 2), Ink);
      break;
    case bkRetry:
      P.drawArc(3, 3, 11, 11, 90 * 16, 270 * 16);
      P.drawLine(9, 3, 12, 1);
      P.drawLine(9, 3, 12, 6);
      break;
    case bkIgnore: P.drawLine(4, 14, 13, 3); break;
  }
  return Image;
}

}  // namespace

TBitBtn::TBitBtn(TComponent* AOwner)
    : TButton(AOwner), FGlyph(std::make_unique<TGlyphHolder>(TNotifyEvent([this](TObject*) { Invalidate(); }))) {}

TBitBtn::~TBitBtn() = default;

TBitmap* TBitBtn::Glyph() const { return FGlyph->Glyph().Glyph(); }
void TBitBtn::SetGlyph(TBitmap* Value) { FGlyph->Glyph().SetGlyph(Value); }
TNumGlyphs TBitBtn::NumGlyphs() const { return FGlyph->Glyph().NumGlyphs(); }
void TBitBtn::SetNumGlyphs(TNumGlyphs Value) { FGlyph->Glyph().SetNumGlyphs(Value); }
TButtonLayout TBitBtn::Layout() const { return FGlyph->Layout(); }
void TBitBtn::SetLayout(TButtonLayout Value) { FGlyph->SetLayout(Value); }
Integer TBitBtn::Margin() const { return FGlyph->Margin(); }
void TBitBtn::SetMargin(Integer Value) { FGlyph->SetMargin(Value); }
Integer TBitBtn::Spacing() const { return FGlyph->Spacing(); }
void TBitBtn::SetSpacing(Integer Value) { FGlyph->SetSpacing(Value); }

void TBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  TBitmap Image;
  if (Value != bkCustom) {
    Image.SetImage(kindImage(Value));
    SetCaption(QString::fromLatin1(kindLook(Value).Caption));
  }
  FGlyph->Standard().SetGlyph(&Image);
  Invalidate();
}

void TBitBtn::DrawContent(bool Down) {
  Canvas()->SetFont(Font());
  FGlyph->Paint(Canvas(), ClientRect(), Caption(), Down, Enabled());
}

void TBitBtn::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  Props.Add("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
  Props.Add("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
  Props.Add("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
  Props.Add("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1);
  Props.Add("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
}

// ---------------------------------------------------------------------------
// TSpeedButton

const TMessageMap& TSpeedButton::MessageMap() {
  static const TMessageMap Map(TGraphicControl::MessageMap(), {
      {CM_MOUSEENTER, &TSpeedButton::CMMouseEnter},
      {CM_MOUSELEAVE, &TSpeedButton::CMMouseLeave},
      {CM_ENABLEDCHANGED, &TSpeedButton::CMEnabledChanged},
      {CM_TEXTCHANGED, &TSpeedButton::CMTextChanged},
      {WM_CANCELMODE, &TSpeedButton::WMCancelMode},
  });
  return Map;
}

TSpeedButton::TSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner),
      FGlyph(std::make_unique<TGlyphHolder>(TNotifyEvent([this](TObject*) { Invalidate(); }))) {
  // Repeated clicks stay clicks: no double clicks.
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csReplicatable};
  SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

TBitmap* TSpeedButton::Glyph() const { return FGlyph->Glyph().Glyph(); }
void TSpeedButton::SetGlyph(TBitmap* Value) { FGlyph->Glyph().SetGlyph(Value); }
TNumGlyphs TSpeedButton::NumGlyphs() const { return FGlyph->Glyph().NumGlyphs(); }
void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) { FGlyph->Glyph().SetNumGlyphs(Value); }
TButtonLayout TSpeedButton::Layout() const { return FGlyph->Layout(); }
void TSpeedButton::SetLayout(TButtonLayout Value) { FGlyph->SetLayout(Value); }
Integer TSpeedButton::Margin() const { return FGlyph->Margin(); }
void TSpeedButton::SetMargin(Integer Value) { FGlyph->SetMargin(Value); }
Integer TSpeedButton::Spacing() const { return FGlyph->Spacing(); }
void TSpeedButton::SetSpacing(Integer Value) { FGlyph->SetSpacing(Value); }

void TSpeedButton::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  Invalidate();
}

void TSpeedButton::Paint() {
  TCanvas* C = Canvas();
  const TRect R = ClientRect();
  const bool Pressed = Enabled() && FMouse.Pressed();
  DrawButtonFrame(C, R, FFlat, Enabled() && FMouse.Hot(), Pressed);
  C->SetFont(Font());
  FGlyph->Paint(C, R, Caption(), Pressed, Enabled());
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Enabled() && FMouse.Down(Button)) Repaint();
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (FMouse.Move(this, X, Y)) Repaint();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FMouse.Up(Button)) Invalidate();
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSpeedButton::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TGraphicControl>(Message);
  if (!Message.Control && FMouse.Enter() && FFlat) Invalidate();
}

void TSpeedButton::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TGraphicControl>(Message);
  if (!Message.Control && FMouse.Leave() && FFlat) Invalidate();
}

void TSpeedButton::CMEnabledChanged(TMessage& Message) {
  if (!Enabled()) FMouse.Reset();
  DispatchAs<TGraphicControl>(Message);
}

void TSpeedButton::CMTextChanged(TMessage&) { Invalidate(); }

void TSpeedButton::WMCancelMode(TMessage& Message) {
  if (FMouse.Cancel(this)) Invalidate();
  DispatchAs<TGraphicControl>(Message);
}

void TSpeedButton::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add<TControl>("Action", &TControl::Action, &TControl::SetAction);
  Props.Add("Caption", &TSpeedButton::Caption, &TSpeedButton::SetCaption);
  Props.Add("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
  Props.Add("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  Props.Add("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
  Props.Add("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
  Props.Add("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
  Props.Add("ParentFont", &TSpeedButton::ParentFont, &TSpeedButton::SetParentFont).Default(true);
  Props.Add("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
  Props.Add("Visible", &TSpeedButton::Visible, &TSpeedButton::SetVisible).Default(true);
}
