#include "platform/ui/controls/scrollbar.h"

#include "platform/ui/controls/comctrls.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/metrics.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

using namespace gdi;

// The Qt bar that draws the control and knows where its parts lie; never
// shown on its own.
class TScrollBarWidget : public QScrollBar {
public:
  TScrollBarWidget() : QScrollBar(Qt::Horizontal) { setAttribute(Qt::WA_DontShowOnScreen); }

  QStyleOptionSlider Option() const {
    QStyleOptionSlider O;
    initStyleOption(&O);
    return O;
  }
  QRect PartRect(QStyle::SubControl Part) const {
    const QStyleOptionSlider O = Option();
    return style()->subControlRect(QStyle::CC_ScrollBar, &O, Part, this);
  }
  QStyle::SubControl PartAt(TPoint P) const {
    const QStyleOptionSlider O = Option();
    return style()->hitTestComplexControl(QStyle::CC_ScrollBar, &O, QPoint(P.X, P.Y), this);
  }
};

// ---------------------------------------------------------------------------
// TScrollRange

TScrollRange TScrollRange::Clamped(Integer AMin, Integer AMax, Integer APageSize) {
  const Integer Max = std::max(AMin, AMax);
  const qint64 Span = qint64(Max) - AMin + 1;
  return {AMin, Max, Integer(std::clamp<qint64>(APageSize, 0, Span))};
}

Integer TScrollRange::Highest() const { return Max - std::max(PageSize - 1, 0); }

Integer TScrollRange::Clamp(Integer Position) const { return std::clamp(Position, Min, Highest()); }

// ---------------------------------------------------------------------------
// TScrollBar

const TMessageMap& TScrollBar::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_LBUTTONDOWN, &TScrollBar::WMLButtonDown},
      {WM_MOUSEMOVE, &TScrollBar::WMMouseMove},
      {WM_LBUTTONUP, &TScrollBar::WMLButtonUp},
      {WM_CANCELMODE, &TScrollBar::WMCancelMode},
      {WM_MOUSEACTIVATE, &TScrollBar::WMMouseActivate},
  });
  return Map;
}

TScrollBar::TScrollBar(TComponent* AOwner)
    : TCustomControl(AOwner), FWidget(std::make_unique<TScrollBarWidget>()) {
  // No double clicks: a quick second press scrolls again.
  FControlStyle = TControlStyle{csFramed, csOpaque, csCaptureMouse};
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

TScrollBar::~TScrollBar() = default;

void TScrollBar::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
  Props.Add("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
  Props.Add("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  Props.Add("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
  Props.Add("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
  Props.Add("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
  Props.Add("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
  Props.Add("Ctl3D", &TScrollBar::Ctl3D, &TScrollBar::SetCtl3D);
  Props.Add("DoubleBuffered", &TScrollBar::DoubleBuffered, &TScrollBar::SetDoubleBuffered);
  Props.Add("TabStop", &TScrollBar::TabStop, &TScrollBar::SetTabStop).Default(true);
  Props.Add("Visible", &TScrollBar::Visible, &TScrollBar::SetVisible).Default(true);
  Props.Add("OnScroll", &TScrollBar::OnScroll, &TScrollBar::OnScroll);
  Props.Add("OnChange", &TScrollBar::OnChange, &TScrollBar::OnChange);
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (Value == FKind) return;
  FKind = Value;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  Invalidate();
}

void TScrollBar::SetParams(Integer APosition, Integer AMin, Integer AMax) {
  const TScrollRange Range = TScrollRange::Clamped(AMin, AMax, FRange.PageSize);
  const Integer Position = Range.Clamp(APosition);
  const bool Moved = Position != FPosition;
  if (!Moved && Range.Min == FRange.Min && Range.Max == FRange.Max && Range.PageSize == FRange.PageSize) return;
  FRange = Range;
  FPosition = Position;
  Invalidate();
  if (Moved) Change();
}

void TScrollBar::SetPageSize(Integer Value) {
  const TScrollRange Range = TScrollRange::Clamped(FRange.Min, FRange.Max, Value);
  if (Range.PageSize == FRange.PageSize) return;
  FRange = Range;
  const Integer Position = FRange.Clamp(FPosition);
  const bool Moved = Position != FPosition;
  FPosition = Position;
  Invalidate();
  if (Moved) Change();
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TScrollCode Code, Integer Pos) {
  qint64 NewPos = FPosition;
  switch (Code) {
    case scLineUp: NewPos -= FSmallChange; break;
    case scLineDown: NewPos += FSmallChange; break;
    case scPageUp: NewPos -= FLargeChange; break;
    case scPageDown: NewPos += FLargeChange; break;
    case scPosition:
    case scTrack: NewPos = Pos; break;
    case scTop: NewPos = FRange.Min; break;
    case scBottom: NewPos = FRange.Highest(); break;
    case scEndScroll: break;
  }
  int ScrollPos = int(std::clamp<qint64>(NewPos, FRange.Min, FRange.Highest()));
  Scroll(Code, ScrollPos);
  SetPosition(ScrollPos);
}

void TScrollBar::updateWidget() {
  FWidget->setOrientation(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
  FWidget->setRange(FRange.Min, FRange.Highest());
  FWidget->setPageStep(FRange.PageSize);
  FWidget->setSingleStep(FSmallChange);
  FWidget->setValue(FPosition);
  FWidget->setEnabled(Enabled());
  const TRect R = ClientRect();
  FWidget->resize(R.Width(), R.Height());
}

Integer TScrollBar::positionAtPixel(TPoint Point) {
  updateWidget();
  const QRect Groove = FWidget->PartRect(QStyle::SC_ScrollBarGroove);
  const QRect Thumb = FWidget->PartRect(QStyle::SC_ScrollBarSlider);
  const bool Horizontal = FKind == sbHorizontal;
  const int Offset = (Horizontal ? Point.X - Groove.left() : Point.Y - Groove.top()) - FGrabOffset;
  const int Span = Horizontal ? Groove.width() - Thumb.width() : Groove.height() - Thumb.height();
  return QStyle::sliderValueFromPosition(FRange.Min, FRange.Highest(), Offset, std::max(Span, 0));
}

void TScrollBar::WMLButtonDown(TWMMouse& Message) {
  DispatchAs<TCustomControl>(Message);
  updateWidget();
  switch (FWidget->PartAt(Message.Pos())) {
    case QStyle::SC_ScrollBarSubLine: FPressed = true; DoScroll(scLineUp); break;
    case QStyle::SC_ScrollBarAddLine: FPressed = true; DoScroll(scLineDown); break;
    case QStyle::SC_ScrollBarSubPage: FPressed = true; DoScroll(scPageUp); break;
    case QStyle::SC_ScrollBarAddPage: FPressed = true; DoScroll(scPageDown); break;
    case QStyle::SC_ScrollBarSlider: {
      const QRect Thumb = FWidget->PartRect(QStyle::SC_ScrollBarSlider);
      FGrabOffset = FKind == sbHorizontal ? Message.XPos - Thumb.left() : Message.YPos - Thumb.top();
      FTracking = true;
      break;
    }
    default: break;
  }
}

void TScrollBar::WMMouseMove(TWMMouse& Message) {
  DispatchAs<TCustomControl>(Message);
  if (FTracking) DoScroll(scTrack, positionAtPixel(Message.Pos()));
}

void TScrollBar::WMLButtonUp(TWMMouse& Message) {
  if (FTracking) {
    FTracking = false;
    DoScroll(scPosition, positionAtPixel(Message.Pos()));
    DoScroll(scEndScroll);
  } else if (FPressed) {
    FPressed = false;
    DoScroll(scEndScroll);
  }
  DispatchAs<TCustomControl>(Message);
}

void TScrollBar::WMCancelMode(TWMCancelMode& Message) {
  if (FTracking || FPressed) {
    FTracking = FPressed = false;
    DoScroll(scEndScroll);
  }
  DispatchAs<TCustomControl>(Message);
}

void TScrollBar::WMMouseActivate(TWMMouseActivate& Message) { DispatchAs<TCustomControl>(Message); }

void TScrollBar::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  TScrollCode Code;
  switch (Key) {
    case VK_UP:
    case VK_LEFT: Code = scLineUp; break;
    case VK_DOWN:
    case VK_RIGHT: Code = scLineDown; break;
    case VK_PRIOR: Code = scPageUp; break;
    case VK_NEXT: Code = scPageDown; break;
    case VK_HOME: Code = scTop; break;
    case VK_END: Code = scBottom; break;
    default: return;
  }
  Key = 0;
  DoScroll(Code);
  DoScroll(scEndScroll);
}

void TScrollBar::PaintWindow(HDC DC) {
  updateWidget();
  PaintWidget(DC, FWidget.get());
}
