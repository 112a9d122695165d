#include "platform/ui/controls/comctrls.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/drawtext.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/actions.h"

#include <algorithm>

using namespace gdi;

// ---------------------------------------------------------------------------
// TStatusPanel

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
  Props.Add("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  Props.Add("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

void TStatusPanel::Assign(TPersistent* Source) {
  auto* Panel = dynamic_cast<TStatusPanel*>(Source);
  if (!Panel) {
    TCollectionItem::Assign(Source);
    return;
  }
  FText = Panel->FText;
  FWidth = Panel->FWidth;
  FAlignment = Panel->FAlignment;
  Changed(false);
}

void TStatusPanel::SetText(const String& Value) {
  if (Value == FText) return;
  FText = Value;
  Changed(false);
}

void TStatusPanel::SetWidth(Integer Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Changed(false);
}

String TStatusPanel::GetDisplayName() { return FText.isEmpty() ? TCollectionItem::GetDisplayName() : FText; }

// ---------------------------------------------------------------------------
// TStatusPanels

TStatusPanels::TStatusPanels(TStatusBar* StatusBar)
    : TCollection(TStatusPanel::StaticClass()), FStatusBar(StatusBar) {}

TPersistent* TStatusPanels::GetOwner() { return FStatusBar; }

void TStatusPanels::Update(TCollectionItem*) { FStatusBar->Invalidate(); }

// ---------------------------------------------------------------------------
// TStatusBar

namespace {

constexpr UINT TextAlignments[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};
constexpr Integer TextInset = 2;  // between a panel's frame and its text

}  // namespace

TStatusBar::TStatusBar(TComponent* AOwner) : TCustomControl(AOwner), FPanels(new TStatusPanels(this)) {
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 19);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() { delete FPanels; }

void TStatusBar::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Override("Align").Default(alBottom);
  Props.Override("Anchors").Default(AnchorAlign(alBottom));
  Props.Add("Color", &TStatusBar::Color, &TStatusBar::SetColor).Default(clBtnFace);
  Props.Add("ParentColor", &TStatusBar::ParentColor, &TStatusBar::SetParentColor).Default(false);
  Props.Add("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  Props.Add("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
  Props.Add("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  Props.Add("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
  Props.Add("Visible", &TStatusBar::Visible, &TStatusBar::SetVisible).Default(true);
}

void TStatusBar::SetSimplePanel(bool Value) {
  if (Value == FSimplePanel) return;
  FSimplePanel = Value;
  Invalidate();
}

void TStatusBar::SetSimpleText(const String& Value) {
  if (Value == FSimpleText) return;
  FSimpleText = Value;
  if (FSimplePanel) Invalidate();
}

void TStatusBar::SetSizeGrip(bool Value) {
  if (Value == FSizeGrip) return;
  FSizeGrip = Value;
  Invalidate();
}

TRect TStatusBar::PanelRect(Integer Index) {
  const TRect Client = ClientRect();
  if (FSimplePanel) return Client;
  if (Index < 0 || Index >= FPanels->Count())
    throw EListError(QStringLiteral("List index out of bounds (%d)"), {Index});
  Integer Left = Client.Left;
  for (Integer I = 0; I < Index; ++I) Left += std::max(FPanels->Items(I)->Width(), 0);
  const bool Last = Index == FPanels->Count() - 1;
  const Integer Right = Last ? std::max(Left, Client.Right) : Left + std::max(FPanels->Items(Index)->Width(), 0);
  return {Left, Client.Top, Right, Client.Bottom};
}

void TStatusBar::drawPanel(TRect Rect, const String& Text, TAlignment Alignment) {
  TCanvas* C = Canvas();
  DrawEdge(C->Handle(), &Rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  InflateRect(Rect, -TextInset, 0);
  C->Brush()->SetStyle(bsClear);
  DrawTextW(C->Handle(), Text.constData(), int(Text.size()), &Rect,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | TextAlignments[Alignment]);
}

void TStatusBar::Paint() {
  TCanvas* C = Canvas();
  const TRect Client = ClientRect();
  C->Brush()->SetColor(Color());
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(Client);
  C->SetFont(Font());
  if (FSimplePanel) {
    drawPanel(Client, FSimpleText, taLeftJustify);
  } else {
    for (Integer I = 0; I < FPanels->Count(); ++I) {
      const TStatusPanel* Panel = FPanels->Items(I);
      drawPanel(PanelRect(I), Panel->Text(), Panel->Alignment());
    }
  }
  if (FSizeGrip) {
    const Integer Side = std::min(GetSystemMetrics(SM_CXVSCROLL), Client.Height());
    TRect Grip{Client.Right - Side, Client.Bottom - Side, Client.Right, Client.Bottom};
    DrawFrameControl(C->Handle(), &Grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
}

// ---------------------------------------------------------------------------
// TProgressBar

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 150, 16); }

TProgressBar::~TProgressBar() = default;

void TProgressBar::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  Props.Add("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  Props.Add("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  Props.Add("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
  Props.Add("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  Props.Add("TabStop", &TProgressBar::TabStop, &TProgressBar::SetTabStop).Default(false);
  Props.Add("Visible", &TProgressBar::Visible, &TProgressBar::SetVisible).Default(true);
}

void TProgressBar::SetMin(Integer Value) {
  if (Value == FMin) return;
  FMin = Value;
  rangeChanged();
}

void TProgressBar::SetMax(Integer Value) {
  if (Value == FMax) return;
  FMax = Value;
  rangeChanged();
}

void TProgressBar::rangeChanged() {
  FPosition = std::max(FMin, std::min(FPosition, FMax));
  Invalidate();
}

void TProgressBar::SetPosition(Integer Value) {
  Value = std::max(FMin, std::min(Value, FMax));
  if (Value == FPosition) return;
  FPosition = Value;
  Repaint();
}

void TProgressBar::SetSmooth(bool Value) {
  if (Value == FSmooth) return;
  FSmooth = Value;
  Invalidate();
}

void TProgressBar::StepIt() {
  qint64 Next = qint64(FPosition) + FStep;
  if (Next > FMax) Next = FMin + (Next - FMax);
  SetPosition(Integer(std::clamp<qint64>(Next, FMin, std::max(FMin, FMax))));
}

void TProgressBar::PaintWindow(HDC DC) {
  TRect R = ClientRect();
  DrawEdge(DC, &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  FillRect(DC, R, GetSysColorBrush(COLOR_BTNFACE));
  InflateRect(R, -1, -1);
  if (FMax <= FMin || IsRectEmpty(R)) return;
  const int Reach = R.Left + MulDiv(FPosition - FMin, R.Width(), FMax - FMin);
  const HBRUSH Bar = GetSysColorBrush(COLOR_HIGHLIGHT);
  if (FSmooth) {
    FillRect(DC, Rect(R.Left, R.Top, Reach, R.Bottom), Bar);
    return;
  }
  // The classic block: two thirds of the bar's height, then a gap.
  constexpr int BlockGap = 2;
  const int Block = std::max(1, MulDiv(R.Height(), 2, 3));
  for (int X = R.Left; X < Reach; X += Block + BlockGap)
    FillRect(DC, Rect(X, R.Top, std::min(X + Block, R.Right), R.Bottom), Bar);
}

// ---------------------------------------------------------------------------
// TToolButtonActionLink

// A tool button's action link: the control's, and ImageIndex.
class TToolButtonActionLink : public TControlActionLink {
  RTL_CLASS(TToolButtonActionLink, TControlActionLink)
public:
  explicit TToolButtonActionLink(TObject* AClient);

protected:
  void AssignClient(TObject* AClient) override;
  bool IsImageIndexLinked() override;
  void SetImageIndex(Integer Value) override;

private:
  TToolButton* FButton = nullptr;
};

TToolButtonActionLink::TToolButtonActionLink(TObject* AClient) : TControlActionLink(AClient) {
  TToolButtonActionLink::AssignClient(AClient);
}

void TToolButtonActionLink::AssignClient(TObject* AClient) {
  TControlActionLink::AssignClient(AClient);
  FButton = dynamic_cast<TToolButton*>(AClient);
  assert(FButton && "a tool button action link serves a tool button");
}

bool TToolButtonActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FButton->ImageIndex() == dynamic_cast<TCustomAction*>(FAction)->ImageIndex();
}

void TToolButtonActionLink::SetImageIndex(Integer Value) {
  if (IsImageIndexLinked()) FButton->SetImageIndex(Value);
}

// ---------------------------------------------------------------------------
// TToolButton

namespace {

// The classic width of a separator or divider.
constexpr Integer SeparatorWidth = 8;
// Room around a caption that widens a button.
constexpr Integer CaptionPadding = 8;
// Between a button's image and its caption.
constexpr Integer CaptionSpacing = 1;

}  // namespace

const TMessageMap& TToolButton::MessageMap() {
  static const TMessageMap Map(TGraphicControl::MessageMap(), {
      {CM_MOUSEENTER, &TToolButton::CMMouseEnter},
      {CM_MOUSELEAVE, &TToolButton::CMMouseLeave},
      {CM_ENABLEDCHANGED, &TToolButton::CMEnabledChanged},
      {CM_TEXTCHANGED, &TToolButton::CMTextChanged},
      {WM_CANCELMODE, &TToolButton::WMCancelMode},
  });
  return Map;
}

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  // Repeated clicks stay clicks: no double clicks.
  FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csReplicatable};
  SetBounds(0, 0, 23, 22);
}

void TToolButton::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add<TControl>("Action", &TControl::Action, &TControl::SetAction);
  Props.Add("Caption", &TToolButton::Caption, &TToolButton::SetCaption);
  Props.Add("ImageIndex", &TToolButton::ImageIndex, &TToolButton::SetImageIndex).Default(-1);
  Props.Add("Style", &TToolButton::Style, &TToolButton::SetStyle).Default(tbsButton);
  Props.Add("Visible", &TToolButton::Visible, &TToolButton::SetVisible).Default(true);
}

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

void TToolButton::SetImageIndex(Integer Value) {
  if (Value == FImageIndex) return;
  FImageIndex = Value;
  // A caption may appear or go, and the bar sizes buttons by it.
  RequestAlign();
  Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (Value == FStyle) return;
  const bool WasButton = FStyle == tbsButton;
  FStyle = Value;
  if (WasButton && Value != tbsButton) SetWidth(SeparatorWidth);
  RequestAlign();
  Invalidate();
}

bool TToolButton::hasImage() const {
  TToolBar* Bar = ToolBar();
  return Bar && Bar->Images() && FImageIndex >= 0 && FImageIndex < Bar->Images()->Count();
}

void TToolButton::Paint() {
  TCanvas* C = Canvas();
  TRect R = ClientRect();
  if (FStyle == tbsSeparator) return;
  if (FStyle == tbsDivider) {
    TRect Line = Rect(R.Width() / 2 - 1, R.Top, R.Width() / 2 + 1, R.Bottom);
    DrawEdge(C->Handle(), &Line, EDGE_ETCHED, BF_LEFT);
    return;
  }
  TToolBar* Bar = ToolBar();
  const bool Pressed = Enabled() && FMouse.Pressed();
  DrawButtonFrame(C, R, !Bar || Bar->Flat(), Enabled() && FMouse.Hot(), Pressed);
  const bool Image = hasImage();
  TCustomImageList* Images = Image ? Bar->Images() : nullptr;
  TSize GlyphSize;
  if (Images) GlyphSize = {Images->Width(), Images->Height()};
  const bool ShowCaption = !Image || (Bar && Bar->ShowCaptions());
  C->SetFont(Font());
  DrawButtonContent(
      C, R, Pressed ? TPoint{1, 1} : TPoint{}, ShowCaption ? Caption() : String(), GlyphSize,
      [&](TPoint At) {
        TCustomImageList* Disabled = Bar->DisabledImages();
        if (Enabled())
          Images->Draw(C, At.X, At.Y, FImageIndex);
        else if (Disabled && FImageIndex < Disabled->Count())
          Disabled->Draw(C, At.X, At.Y, FImageIndex);
        else
          Images->Draw(C, At.X, At.Y, FImageIndex, /*Enabled=*/false);
      },
      blGlyphTop, -1, CaptionSpacing, Enabled());
}

void TToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (FStyle == tbsButton && Enabled() && FMouse.Down(Button)) Repaint();
}

void TToolButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (FMouse.Move(this, X, Y)) Repaint();
}

void TToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FMouse.Up(Button)) Invalidate();
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TToolButton::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TGraphicControl>(Message);
  if (!Message.Control && FMouse.Enter()) Invalidate();
}

void TToolButton::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TGraphicControl>(Message);
  if (!Message.Control && FMouse.Leave()) Invalidate();
}

void TToolButton::CMEnabledChanged(TMessage& Message) {
  if (!Enabled()) FMouse.Reset();
  DispatchAs<TGraphicControl>(Message);
}

void TToolButton::CMTextChanged(TMessage&) {
  RequestAlign();
  Invalidate();
}

void TToolButton::WMCancelMode(TMessage& Message) {
  if (FMouse.Cancel(this)) Invalidate();
  DispatchAs<TGraphicControl>(Message);
}

void TToolButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TGraphicControl::ActionChange(Sender, CheckDefaults);
  auto* A = dynamic_cast<TCustomAction*>(Sender);
  if (A && (!CheckDefaults || FImageIndex == -1)) SetImageIndex(A->ImageIndex());
}

TControlActionLink* TToolButton::CreateActionLink() { return new TToolButtonActionLink(this); }

// ---------------------------------------------------------------------------
// TToolBar

const TMessageMap& TToolBar::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {CM_CONTROLCHANGE, &TToolBar::CMControlChange},
  });
  return Map;
}

TToolBar::TToolBar(TComponent* AOwner)
    : TCustomControl(AOwner),
      FImageLink(std::make_unique<TChangeLink>()),
      FDisabledImageLink(std::make_unique<TChangeLink>()) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque};
  FImageLink->OnChange = TNotifyEvent(this, &TToolBar::imagesChanged);
  FDisabledImageLink->OnChange = TNotifyEvent(this, &TToolBar::imagesChanged);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 29);
  SetAlign(alTop);
}

TToolBar::~TToolBar() = default;

void TToolBar::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Override("Align").Default(alTop);
  Props.Override("Anchors").Default(AnchorAlign(alTop));
  Props.Add("AutoSize", &TToolBar::AutoSize, &TToolBar::SetAutoSize).Default(false);
  Props.Add("BorderWidth", &TToolBar::BorderWidth, &TToolBar::SetBorderWidth).Default(0);
  Props.Add("ButtonHeight", &TToolBar::ButtonHeight, &TToolBar::SetButtonHeight).Default(22);
  Props.Add("ButtonWidth", &TToolBar::ButtonWidth, &TToolBar::SetButtonWidth).Default(23);
  Props.Add("Color", &TToolBar::Color, &TToolBar::SetColor).Default(clBtnFace);
  Props.Add("DisabledImages", &TToolBar::DisabledImages, &TToolBar::SetDisabledImages);
  Props.Add("Flat", &TToolBar::Flat, &TToolBar::SetFlat).Default(false);
  Props.Add("Images", &TToolBar::Images, &TToolBar::SetImages);
  Props.Add("Indent", &TToolBar::Indent, &TToolBar::SetIndent).Default(0);
  Props.Add("ParentColor", &TToolBar::ParentColor, &TToolBar::SetParentColor).Default(false);
  Props.Add("ShowCaptions", &TToolBar::ShowCaptions, &TToolBar::SetShowCaptions).Default(false);
  Props.Add("TabOrder", &TToolBar::TabOrder, &TToolBar::SetTabOrder);
  Props.Add("TabStop", &TToolBar::TabStop, &TToolBar::SetTabStop).Default(false);
  Props.Add("Visible", &TToolBar::Visible, &TToolBar::SetVisible).Default(true);
  Props.Add("Wrapable", &TToolBar::Wrapable, &TToolBar::SetWrapable).Default(true);
}

void TToolBar::setImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value) {
  if (Field == Value) return;
  if (Field) Field->RemoveFreeNotification(this);
  Field = Value;
  Link->SetSender(Value);
  if (Value) Value->FreeNotification(this);
  imagesChanged(/*Sender=*/nullptr);
}

void TToolBar::SetImages(TCustomImageList* Value) { setImageList(FImages, FImageLink.get(), Value); }

void TToolBar::SetDisabledImages(TCustomImageList* Value) {
  setImageList(FDisabledImages, FDisabledImageLink.get(), Value);
}

void TToolBar::imagesChanged(TObject*) {
  Realign();
  Invalidate();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FDisabledImages) SetDisabledImages(nullptr);
}

void TToolBar::SetButtonWidth(Integer Value) {
  if (Value == FButtonWidth || Value < 0) return;
  FButtonWidth = Value;
  Realign();
}

void TToolBar::SetButtonHeight(Integer Value) {
  if (Value == FButtonHeight || Value < 0) return;
  FButtonHeight = Value;
  Realign();
}

void TToolBar::SetShowCaptions(bool Value) {
  if (Value == FShowCaptions) return;
  FShowCaptions = Value;
  Realign();
  Invalidate();
}

void TToolBar::SetFlat(bool Value) {
  if (Value == FFlat) return;
  FFlat = Value;
  Invalidate();
}

void TToolBar::SetIndent(Integer Value) {
  if (Value == FIndent) return;
  FIndent = Value;
  Realign();
}

void TToolBar::SetWrapable(bool Value) {
  if (Value == FWrapable) return;
  FWrapable = Value;
  Realign();
}

Integer TToolBar::ButtonCount() const {
  return Integer(std::count_if(FOrder.begin(), FOrder.end(),
                               [](TControl* C) { return dynamic_cast<TToolButton*>(C) != nullptr; }));
}

TToolButton* TToolBar::Buttons(Integer Index) const {
  Integer Seen = 0;
  for (TControl* C : FOrder)
    if (auto* B = dynamic_cast<TToolButton*>(C); B && Seen++ == Index) return B;
  throw EListError(QStringLiteral("List index out of bounds (%d)"), {Index});
}

void TToolBar::CMControlChange(TMessage& Message) {
  auto* Control = reinterpret_cast<TControl*>(Message.WParam);
  if (Message.LParam != 0) {
    FOrder.push_back(Control);
    // The child was aligned before it was listed here.
    Realign();
  } else {
    std::erase(FOrder, Control);
  }
}

TSize TToolBar::captionExtent(TToolButton* Only) {
  TSize Extent;
  // Measured in the buttons' fonts on a screen DC.
  TCanvas Measure;
  MeasureOnScreen(&Measure, [&] {
    for (TControl* C : FOrder) {
      auto* B = dynamic_cast<TToolButton*>(C);
      if (!B || !B->Visible() || B->Style() != tbsButton || (Only && B != Only)) continue;
      Measure.SetFont(B->Font());
      TRect R;
      const String Text = B->Caption();
      DrawTextW(Measure.Handle(), Text.constData(), int(Text.size()), &R, DT_CALCRECT);
      Extent.cx = std::max(Extent.cx, R.Width());
      Extent.cy = std::max(Extent.cy, R.Height());
    }
  });
  return Extent;
}

TSize TToolBar::buttonSize(TToolButton* Button, TSize WidestCaption) {
  if (Button->Style() != tbsButton) return {Button->Width(), FButtonHeight};
  TSize Size{FButtonWidth, FButtonHeight};
  if (FShowCaptions) {
    Size.cx = std::max(Size.cx, WidestCaption.cx + CaptionPadding);
    if (FImages) Size.cy = std::max(Size.cy, FImages->Height() + CaptionSpacing + WidestCaption.cy + CaptionPadding);
  } else if (!Button->hasImage()) {
    Size.cx = std::max(Size.cx, captionExtent(Button).cx + CaptionPadding);
  }
  return Size;
}

Integer TToolBar::arrange(const TRect& Rect, bool Place) {
  TRect R = Rect;
  AdjustClientRect(R);
  const Integer RowStart = R.Left + FIndent;
  Integer X = RowStart, Y = R.Top, RowHeight = FButtonHeight;
  // With captions shown every button is as wide as the widest caption.
  const TSize WidestCaption = FShowCaptions ? captionExtent(/*Only=*/nullptr) : TSize{};
  for (TControl* C : FOrder) {
    if (!C->Visible()) continue;
    auto* Button = dynamic_cast<TToolButton*>(C);
    const TSize Size = Button ? buttonSize(Button, WidestCaption) : TSize{C->Width(), C->Height()};
    if (FWrapable && X > RowStart && X + Size.cx > R.Right) {
      X = RowStart;
      Y += RowHeight;
      RowHeight = FButtonHeight;
    }
    if (Place) C->SetBounds(X, Y, Size.cx, Size.cy);
    X += Size.cx;
    RowHeight = std::max(RowHeight, Size.cy);
  }
  return Y + RowHeight - R.Top;
}

void TToolBar::AlignControls(TControl*, TRect& Rect) {
  arrange(Rect, /*Place=*/true);
  if (AutoSize()) AdjustSize();
}

bool TToolBar::CanAutoSize(int& NewWidth, int& NewHeight) {
  const TRect Client = GetClientRect();
  TRect Adjusted = Client;
  AdjustClientRect(Adjusted);
  NewHeight = arrange(Client, /*Place=*/false) + (Client.Height() - Adjusted.Height()) + (Height() - Client.Height());
  return true;
}

void TToolBar::Paint() {
  TCanvas* C = Canvas();
  C->Brush()->SetColor(Color());
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(ClientRect());
}
