#include "platform/ui/controls/stdctrls.h"

#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/forms.h"

using namespace gdi;

namespace {

constexpr UINT WordWraps[2] = {0, DT_WORDBREAK};
constexpr UINT Alignments[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};

// The height of "0" in Font, as a canvas's TextHeight answers it.
int textHeightOf(TFont* Font) {
  TCanvas Canvas;
  int Height = 0;
  MeasureOnScreen(&Canvas, [&] {
    Canvas.SetFont(Font);
    Height = Canvas.TextHeight(QStringLiteral("0"));
  });
  return Height;
}

}  // namespace

void DescribeControlProperties(TPropertyTable& Props) {
  Props.Add<TControl>("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  Props.Add<TControl>("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
  Props.Add<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  Props.Add<TControl>("Font", &TControl::Font, &TControl::SetFont);
  Props.Add<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
  Props.Add<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  Props.Add<TControl>("OnClick", &TControl::OnClick, &TControl::OnClick);
  Props.Add<TControl>("OnDblClick", &TControl::OnDblClick, &TControl::OnDblClick);
  Props.Add<TControl>("OnMouseDown", &TControl::OnMouseDown, &TControl::OnMouseDown);
  Props.Add<TControl>("OnMouseMove", &TControl::OnMouseMove, &TControl::OnMouseMove);
  Props.Add<TControl>("OnMouseUp", &TControl::OnMouseUp, &TControl::OnMouseUp);
  Props.Add<TControl>("OnMouseEnter", &TControl::OnMouseEnter, &TControl::OnMouseEnter);
  Props.Add<TControl>("OnMouseLeave", &TControl::OnMouseLeave, &TControl::OnMouseLeave);
}

// ---------------------------------------------------------------------------
// TCustomLabel

const TMessageMap& TCustomLabel::MessageMap() {
  static const TMessageMap Map(TGraphicControl::MessageMap(), {
      {CM_TEXTCHANGED, &TCustomLabel::CMTextChanged},
      {CM_FONTCHANGED, &TCustomLabel::CMFontChanged},
      {CM_DIALOGCHAR, &TCustomLabel::CMDialogChar},
  });
  return Map;
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csOpaque);
  FControlStyle.Include(csReplicatable);
  SetBounds(0, 0, 65, 17);
  // Sized by its first caption, not by the empty one it starts with.
  TGraphicControl::SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
  TGraphicControl::SetAutoSize(Value);
  AdjustBounds();
}

String TCustomLabel::GetLabelText() { return Caption(); }

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  String Text = GetLabelText();
  // An empty caption (or a lone prefix) still measures one line high.
  if ((Flags & DT_CALCRECT) && (Text.isEmpty() || (FShowAccelChar && Text == QStringLiteral("&"))))
    Text += u' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const HDC DC = C->Handle();
  if (Enabled() || (Flags & DT_CALCRECT)) {
    DrawTextW(DC, Text.constData(), int(Text.size()), &Rect, Flags);
    return;
  }
  OffsetRect(Rect, 1, 1);
  C->Font()->SetColor(clBtnHighlight);
  C->Handle();  // selects the recoloured font
  DrawTextW(DC, Text.constData(), int(Text.size()), &Rect, Flags);
  OffsetRect(Rect, -1, -1);
  C->Font()->SetColor(clBtnShadow);
  C->Handle();
  DrawTextW(DC, Text.constData(), int(Text.size()), &Rect, Flags);
}

void TCustomLabel::Paint() {
  TCanvas* C = Canvas();
  if (!Transparent()) {
    C->Brush()->SetColor(Color());
    C->Brush()->SetStyle(bsSolid);
    C->FillRect(ClientRect());
  }
  C->Brush()->SetStyle(bsClear);
  TRect R = ClientRect();
  const UINT DrawStyle = DT_EXPANDTABS | WordWraps[FWordWrap] | Alignments[FAlignment];
  if (FLayout != tlTop) {
    TRect CalcRect = R;
    DoDrawText(CalcRect, DrawStyle | DT_CALCRECT);
    const int Free = Height() - CalcRect.Bottom;
    OffsetRect(R, 0, FLayout == tlBottom ? Free : Free / 2);
  }
  DoDrawText(R, DrawStyle);
}

void TCustomLabel::AdjustBounds() {
  if (ComponentState().Contains(csLoading) || !AutoSize()) return;
  TRect R = ClientRect();
  MeasureOnScreen(Canvas(), [&] { DoDrawText(R, DT_EXPANDTABS | DT_CALCRECT | WordWraps[FWordWrap]); });
  int X = Left();
  if (FAlignment == taRightJustify) X += Width() - R.Right;
  SetBounds(X, Top(), R.Right, R.Bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::CMTextChanged(TMessage&) {
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  DispatchAs<TGraphicControl>(Message);
  AdjustBounds();
}

void TCustomLabel::CMDialogChar(TCMDialogChar& Message) {
  if (!FFocusControl || !Enabled() || !FShowAccelChar || !IsAccel(Message.CharCode, GetLabelText())) return;
  if (!FFocusControl->CanFocus()) return;
  FFocusControl->SetFocus();
  Message.Result = 1;
}

void TLabel::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).Default(taLeftJustify);
  Props.Add<TLabel>("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
  Props.Add("Caption", &TLabel::Caption, &TLabel::SetCaption);
  Props.Add("Color", &TLabel::Color, &TLabel::SetColor);
  Props.Add("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  Props.Add("Layout", &TLabel::Layout, &TLabel::SetLayout).Default(tlTop);
  Props.Add("ParentColor", &TLabel::ParentColor, &TLabel::SetParentColor).Default(true);
  Props.Add("ParentFont", &TLabel::ParentFont, &TLabel::SetParentFont).Default(true);
  Props.Add("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).Default(true);
  Props.Add("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).Default(false);
  Props.Add("Visible", &TLabel::Visible, &TLabel::SetVisible).Default(true);
  Props.Add("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).Default(false);
}

// ---------------------------------------------------------------------------
// TCustomGroupBox

const TMessageMap& TCustomGroupBox::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {CM_TEXTCHANGED, &TCustomGroupBox::CMTextChanged},
      {CM_FONTCHANGED, &TCustomGroupBox::CMFontChanged},
      {CM_DIALOGCHAR, &TCustomGroupBox::CMDialogChar},
  });
  return Map;
}

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                                csReplicatable, csParentBackground};
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect.Top += textHeightOf(Font());
  const int Inset = Ctl3D() ? 2 : 1;
  InflateRect(Rect, -Inset, -Inset);
}

void TCustomGroupBox::Paint() {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const int H = C->TextHeight(QStringLiteral("0"));
  TRect R = Rect(0, H / 2 - 1, Width(), Height());
  if (Ctl3D()) {
    DrawEdge(C->Handle(), &R, EDGE_ETCHED, BF_RECT);
  } else {
    C->Brush()->SetColor(clWindowFrame);
    C->FrameRect(R);
  }
  const String Text = Caption();
  if (Text.isEmpty()) return;
  R = Rect(8, 0, 0, H);
  const HDC DC = C->Handle();
  DrawTextW(DC, Text.constData(), int(Text.size()), &R, DT_SINGLELINE | DT_CALCRECT);
  C->Brush()->SetColor(Color());
  C->Handle();  // selects the brush: the caption's background
  DrawTextW(DC, Text.constData(), int(Text.size()), &R, DT_SINGLELINE);
}

void TCustomGroupBox::CMTextChanged(TMessage&) {
  Invalidate();
  Realign();
}

void TCustomGroupBox::CMFontChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Realign();
}

void TCustomGroupBox::CMDialogChar(TCMDialogChar& Message) {
  if (!IsAccel(Message.CharCode, Caption()) || !CanFocus()) {
    DispatchAs<TCustomControl>(Message);
    return;
  }
  TWinControl* First = FindNextControl(nullptr, /*GoForward=*/true, /*CheckTabStop=*/true, /*CheckParent=*/false);
  if (!First) First = FindNextControl(nullptr, /*GoForward=*/true, /*CheckTabStop=*/false, /*CheckParent=*/false);
  if (First) First->SetFocus();
  Message.Result = 1;
}

void TGroupBox::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add("Caption", &TGroupBox::Caption, &TGroupBox::SetCaption);
  Props.Add("Color", &TGroupBox::Color, &TGroupBox::SetColor);
  Props.Add("Ctl3D", &TGroupBox::Ctl3D, &TGroupBox::SetCtl3D);
  Props.Add("ParentColor", &TGroupBox::ParentColor, &TGroupBox::SetParentColor).Default(true);
  Props.Add("ParentFont", &TGroupBox::ParentFont, &TGroupBox::SetParentFont).Default(true);
  Props.Add("TabStop", &TGroupBox::TabStop, &TGroupBox::SetTabStop).Default(false);
  Props.Add("Visible", &TGroupBox::Visible, &TGroupBox::SetVisible).Default(true);
}
