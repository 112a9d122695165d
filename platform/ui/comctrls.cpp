#include "platform/ui/comctrls.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/ui/drawtext.h"
#include "platform/ui/edges.h"
#include "platform/ui/gdi.h"
#include "platform/ui/metrics.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/textengine.h"

#include <QImage>
#include <QPainter>
#include <QProgressBar>
#include <algorithm>

using namespace gdi;

void PaintWidget(HDC DC, QWidget* Widget) {
  QPainter* P = DCPainter(DC);
  if (!P) return;
  // Rendered apart first: the DC's painter is shared and must not be handed to Qt's widget painting.
  QImage Image(Widget->size(), QImage::Format_ARGB32_Premultiplied);
  Image.fill(Qt::transparent);
  Widget->render(&Image);
  P->save();
  P->setTransform(DCSurfaceTransform(DC));
  P->drawImage(0, 0, Image);
  P->restore();
}

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

TProgressBar::TProgressBar(TComponent* AOwner) : TCustomControl(AOwner), FBar(std::make_unique<QProgressBar>()) {
  FBar->setAttribute(Qt::WA_DontShowOnScreen);
  FBar->setTextVisible(false);
  SetBounds(0, 0, 150, 16);
}

TProgressBar::~TProgressBar() = default;

void TProgressBar::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  Props.Add("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  Props.Add("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
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

void TProgressBar::StepIt() {
  qint64 Next = qint64(FPosition) + FStep;
  if (Next > FMax) Next = FMin + (Next - FMax);
  SetPosition(Integer(std::clamp<qint64>(Next, FMin, std::max(FMin, FMax))));
}

void TProgressBar::PaintWindow(HDC DC) {
  // A QProgressBar with an empty range shows a busy animation; ours stays empty.
  if (FMax > FMin) {
    FBar->setRange(FMin, FMax);
    FBar->setValue(FPosition);
  } else {
    FBar->setRange(0, 1);
    FBar->setValue(0);
  }
  const TRect R = ClientRect();
  FBar->resize(R.Width(), R.Height());
  PaintWidget(DC, FBar.get());
}
