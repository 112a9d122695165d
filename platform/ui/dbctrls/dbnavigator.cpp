#include "platform/ui/dbctrls/dbnavigator.h"

#include "platform/db/dataset.h"
#include "platform/db/datasource.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/dbctrls/dbctrls.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/hints.h"

using namespace gdi;

namespace {

// The navigator's default size: ten buttons of 24 pixels and a spare one.
constexpr int DefaultWidth = 241;
constexpr int DefaultHeight = 25;
// No button gets smaller than this, however the navigator is sized.
constexpr TPoint MinButtonSize{20, 18};

constexpr int ButtonCount = nbRefresh + 1;

const char* const DefaultHints[ButtonCount] = {
    "First record", "Prior record", "Next record", "Last record", "Insert record",
    "Delete record", "Edit record", "Post edit",  "Cancel edit", "Refresh data",
};

int visibleCount(TButtonSet Buttons) {
  int Count = 0;
  for (int B = 0; B < ButtonCount; ++B) Count += Buttons.Contains(TNavigateBtn(B));
  return Count;
}

// ---------------------------------------------------------------------------
// glyphs: pixel art in the text colour, built from filled rectangles so each
// pixel is where the drawing says at any size of the button

struct TGlyphSize {
  int Width;
  int Height;
};

constexpr TGlyphSize GlyphSizes[ButtonCount] = {
    {8, 9},   // first: bar and left triangle
    {5, 9},   // prior: left triangle
    {5, 9},   // next: right triangle
    {8, 9},   // last: right triangle and bar
    {8, 8},   // insert: plus
    {8, 2},   // delete: minus
    {9, 5},   // edit: triangle pointing up
    {10, 9},  // post: tick
    {8, 8},   // cancel: cross
    {10, 10}, // refresh: open ring with an arrow head
};

// Draws rectangles relative to a glyph's top left.
class TGlyphPainter {
public:
  TGlyphPainter(TCanvas* Canvas, TPoint Origin, TColor Color) : FCanvas(Canvas), FOrigin(Origin) {
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(Color);
    FCanvas->Pen()->SetColor(Color);
  }
  void Fill(int X, int Y, int W, int H) { FCanvas->FillRect(Bounds(FOrigin.X + X, FOrigin.Y + Y, W, H)); }
  // A triangle of Half + 1 columns centred on row Middle: the column I away
  // from the tip spans 2 * I + 1 rows; the tip is at X when PointsLeft, else
  // at X + Half.
  void SideTriangle(int X, int Middle, int Half, bool PointsLeft) {
    for (int I = 0; I <= Half; ++I) {
      const int Column = PointsLeft ? X + I : X + Half - I;
      Fill(Column, Middle - I, 1, 2 * I + 1);
    }
  }
  TCanvas* Canvas() const { return FCanvas; }
  TPoint Origin() const { return FOrigin; }

private:
  TCanvas* FCanvas;
  TPoint FOrigin;
};

void drawGlyph(TGlyphPainter& P, TNavigateBtn Button) {
  switch (Button) {
    case nbFirst:
      P.Fill(0, 0, 2, 9);
      P.SideTriangle(3, 4, 4, /*PointsLeft=*/true);
      break;
    case nbPrior: P.SideTriangle(0, 4, 4, /*PointsLeft=*/true); break;
    case nbNext: P.SideTriangle(0, 4, 4, /*PointsLeft=*/false); break;
    case nbLast:
      P.SideTriangle(0, 4, 4, /*PointsLeft=*/false);
      P.Fill(6, 0, 2, 9);
      break;
    case nbInsert:
      P.Fill(0, 3, 8, 2);
      P.Fill(3, 0, 2, 8);
      break;
    case nbDelete: P.Fill(0, 0, 8, 2); break;
    case nbEdit:
      for (int I = 0; I <= 4; ++I) P.Fill(4 - I, I, 2 * I + 1, 1);
      break;
    case nbPost:
      // Three pixels high: down-right to the bottom point at column 3, then up.
      for (int X = 0; X < 10; ++X) P.Fill(X, X <= 3 ? 3 + X : 9 - X, 1, 3);
      break;
    case nbCancel:
      for (int X = 0; X < 8; ++X) {
        P.Fill(X, std::max(0, X - 1), 1, X == 0 ? 1 : 2);
        P.Fill(X, 6 - X < 0 ? 0 : 6 - X, 1, X == 7 ? 1 : 2);
      }
      break;
    case nbRefresh: {
      // A ring two pixels wide, open at the top right, turning clockwise
      // into an arrow head at its top end.
      TCanvas* C = P.Canvas();
      const TPoint O = P.Origin();
      C->Pen()->SetWidth(2);
      C->Brush()->SetStyle(bsClear);
      C->Arc(O.X + 1, O.Y + 1, O.X + 10, O.Y + 10, O.X + 5, O.Y, O.X + 10, O.Y + 5);
      C->Pen()->SetWidth(1);
      C->Brush()->SetStyle(bsSolid);
      P.SideTriangle(5, 1, 2, /*PointsLeft=*/false);
      break;
    }
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TDBNavigator::TNavDataLink: every change of the dataset repaints.

class TDBNavigator::TNavDataLink : public TDataLink {
public:
  explicit TNavDataLink(TDBNavigator* Navigator) : FNavigator(Navigator) {}

protected:
  void ActiveChanged() override { FNavigator->Invalidate(); }
  void EditingChanged() override { FNavigator->Invalidate(); }
  void DataSetChanged() override { FNavigator->Invalidate(); }

private:
  TDBNavigator* FNavigator;
};

// ---------------------------------------------------------------------------
// TDBNavigator

const TMessageMap& TDBNavigator::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {CM_HINTSHOW, &TDBNavigator::CMHintShow},
      {CM_MOUSELEAVE, &TDBNavigator::CMMouseLeave},
      {CM_GETDATALINK, &TDBNavigator::CMGetDataLink},
      {WM_CANCELMODE, &TDBNavigator::WMCancelMode},
  });
  return Map;
}

TDBNavigator::TDBNavigator(TComponent* AOwner)
    : TCustomControl(AOwner), FDataLink(std::make_unique<TNavDataLink>(this)), FHints(new TStringList) {
  FControlStyle.Exclude(csAcceptsControls);
  FControlStyle.Exclude(csSetCaption);
  FControlStyle.Include(csOpaque);
  FControlStyle.Include(csReplicatable);
  SetColor(clBtnFace);
  SetBounds(0, 0, DefaultWidth, DefaultHeight);
}

TDBNavigator::~TDBNavigator() {
  FDataLink.reset();
  delete FHints;
}

void TDBNavigator::DescribeProperties(TPropertyTable& Props) {
  Props.Add<TControl>("Align", &TControl::Align, &TControl::SetAlign).Default(alNone);
  Props.Add<TControl>("Anchors", &TControl::Anchors, &TControl::SetAnchors).Default(TAnchors{akLeft, akTop});
  Props.Add<TControl>("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  Props.Add<TControl>("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
  Props.Add<TControl>("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint).Default(true);
  Props.Add("DataSource", &TDBNavigator::DataSource, &TDBNavigator::SetDataSource);
  Props.Add("VisibleButtons", &TDBNavigator::VisibleButtons, &TDBNavigator::SetVisibleButtons)
      .Default(AllNavigateButtons);
  Props.Add("Hints", &TDBNavigator::Hints, &TDBNavigator::SetHints);
  Props.Add("ConfirmDelete", &TDBNavigator::ConfirmDelete, &TDBNavigator::SetConfirmDelete).Default(true);
  Props.Add("Flat", &TDBNavigator::Flat, &TDBNavigator::SetFlat).Default(false);
  Props.Add<TDBNavigator>("BeforeAction", &TDBNavigator::BeforeAction, &TDBNavigator::BeforeAction);
  Props.Add<TDBNavigator>("OnClick", &TDBNavigator::OnClick, &TDBNavigator::OnClick);
}

TDataSource* TDBNavigator::DataSource() const { return FDataLink->DataSource(); }

void TDBNavigator::SetDataSource(TDataSource* Value) {
  FDataLink->SetDataSource(Value);
  Invalidate();
}

void TDBNavigator::SetVisibleButtons(TButtonSet Value) {
  if (FVisibleButtons == Value) return;
  FVisibleButtons = Value;
  // Re-snap: the same width may no longer hold whole buttons.
  SetBounds(Left(), Top(), Width(), Height());
  Invalidate();
}

void TDBNavigator::SetHints(TStrings* Value) { FHints->Assign(Value); }

void TDBNavigator::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Invalidate();
}

String TDBNavigator::ButtonHint(TNavigateBtn Button) const {
  if (Button < FHints->Count() && !FHints->Strings(Button).isEmpty()) return FHints->Strings(Button);
  return QString::fromLatin1(DefaultHints[Button]);
}

bool TDBNavigator::ButtonEnabled(TNavigateBtn Button) {
  if (!Enabled() || !FDataLink->Active()) return false;
  TDataSet* Data = FDataLink->DataSet();
  const bool CanModify = Data->CanModify();
  switch (Button) {
    case nbFirst:
    case nbPrior: return !Data->Bof();
    case nbNext:
    case nbLast: return !Data->Eof();
    case nbInsert: return CanModify;
    case nbDelete: return CanModify && !Data->IsEmpty();
    case nbEdit: return CanModify && !FDataLink->Editing();
    case nbPost:
    case nbCancel: return CanModify && FDataLink->Editing();
    case nbRefresh: return true;
  }
  return false;
}

TRect TDBNavigator::ButtonRect(TNavigateBtn Button) {
  if (!FVisibleButtons.Contains(Button)) return {};
  const TRect Client = ClientRect();
  const int Count = visibleCount(FVisibleButtons);
  const int ButtonWidth = Client.Width() / Count;
  // The remainder goes one pixel at a time to buttons spread evenly along
  // the row, as a line is drawn: an error term decreases by the remainder
  // per button and a button whose step takes it below zero gets the pixel.
  const int Remain = Client.Width() - Count * ButtonWidth;
  int Error = Count / 2;
  int X = 0;
  for (int B = 0; B < ButtonCount; ++B) {
    if (!FVisibleButtons.Contains(TNavigateBtn(B))) continue;
    int Width = ButtonWidth;
    if (Remain != 0) {
      Error -= Remain;
      if (Error < 0) {
        Error += Count;
        ++Width;
      }
    }
    if (B == Button) return Rect(X, 0, X + Width, Client.Height());
    X += Width;
  }
  return {};
}

void TDBNavigator::BtnClick(TNavigateBtn Index) {
  TDataSource* Source = DataSource();
  if (Source && Source->State() != dsInactive) {
    if (BeforeAction) BeforeAction(this, Index);
    TDataSet* Data = Source->DataSet();
    switch (Index) {
      case nbFirst: Data->First(); break;
      case nbPrior: Data->Prior(); break;
      case nbNext: Data->Next(); break;
      case nbLast: Data->Last(); break;
      case nbInsert: Data->Insert(); break;
      case nbEdit: Data->Edit(); break;
      case nbCancel: Data->Cancel(); break;
      case nbPost: Data->Post(); break;
      case nbRefresh: Data->Refresh(); break;
      case nbDelete:
        if (!FConfirmDelete || MessageDlg(QString::fromLatin1(DBCtrlConsts::SDeleteRecordQuestion), mtConfirmation,
                                          mbOKCancel, 0) != mrCancel)
          Data->Delete();
        break;
    }
  }
  if (OnClick) OnClick(this, Index);
}

void TDBNavigator::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) {
  const int Count = std::max(1, visibleCount(FVisibleButtons));
  AWidth = std::max(AWidth, Count * MinButtonSize.X);
  AHeight = std::max(AHeight, MinButtonSize.Y);
  if (Align() == alNone) AWidth = Count * (AWidth / Count);
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TDBNavigator::Paint() {
  TCanvas* C = Canvas();
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(ClientRect());
  for (int B = 0; B < ButtonCount; ++B)
    if (FVisibleButtons.Contains(TNavigateBtn(B))) paintButton(TNavigateBtn(B), ButtonRect(TNavigateBtn(B)));
}

void TDBNavigator::paintButton(TNavigateBtn Button, const TRect& Face) {
  TCanvas* C = Canvas();
  const bool Enabled = ButtonEnabled(Button);
  const bool Down = FPressed == Button && FPressedDown;
  TRect R = Face;
  if (!FFlat) {
    DrawFrameControl(C->Handle(), &R, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Down ? DFCS_PUSHED : 0));
  } else {
    C->Brush()->SetColor(clBtnFace);
    C->FillRect(R);
    if (Down)
      DrawEdge(C->Handle(), &R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    else if (FHot == Button && Enabled)
      DrawEdge(C->Handle(), &R, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  }
  const TGlyphSize Size = GlyphSizes[Button];
  TPoint Origin{R.Left + (R.Width() - Size.Width) / 2, R.Top + (R.Height() - Size.Height) / 2};
  if (Down) Origin = {Origin.X + 1, Origin.Y + 1};
  if (Enabled) {
    TGlyphPainter P(C, Origin, clBtnText);
    drawGlyph(P, Button);
    return;
  }
  // Disabled: embossed, a highlight copy one pixel down-right under a shadow.
  TGlyphPainter Light(C, {Origin.X + 1, Origin.Y + 1}, clBtnHighlight);
  drawGlyph(Light, Button);
  TGlyphPainter Shadow(C, Origin, clBtnShadow);
  drawGlyph(Shadow, Button);
}

int TDBNavigator::buttonAt(TPoint Point) {
  for (int B = 0; B < ButtonCount; ++B) {
    const TRect R = ButtonRect(TNavigateBtn(B));
    if (!R.IsEmpty() && PtInRect(R, Point)) return B;
  }
  return NoButton;
}

void TDBNavigator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  const int Hit = buttonAt({X, Y});
  if (Hit == NoButton || !ButtonEnabled(TNavigateBtn(Hit))) return;
  FPressed = Hit;
  FPressedDown = true;
  Invalidate();
}

void TDBNavigator::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  const int Hit = buttonAt({X, Y});
  setHot(Hit);
  if (FPressed == NoButton) return;
  const bool Down = Hit == FPressed;
  if (Down == FPressedDown) return;
  FPressedDown = Down;
  Invalidate();
}

void TDBNavigator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || FPressed == NoButton) return;
  const auto Pressed = TNavigateBtn(FPressed);
  const bool Inside = buttonAt({X, Y}) == FPressed;
  FPressed = NoButton;
  FPressedDown = false;
  Invalidate();
  // The state may have changed since the press (a timer, another window).
  if (Inside && ButtonEnabled(Pressed)) BtnClick(Pressed);
}

void TDBNavigator::setHot(int Button) {
  if (FHot == Button) return;
  FHot = Button;
  if (FFlat) Invalidate();
}

void TDBNavigator::CMHintShow(TMessage& Message) {
  auto& Info = *reinterpret_cast<THintInfo*>(Message.LParam);
  const int Hit = buttonAt(Info.CursorPos);
  if (Hit == NoButton) {
    Message.Result = 1;
    return;
  }
  Info.HintStr = GetShortHint(ButtonHint(TNavigateBtn(Hit)));
  Info.CursorRect = ButtonRect(TNavigateBtn(Hit));
}

void TDBNavigator::CMMouseLeave(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  if (Message.LParam == 0) setHot(NoButton);
}

void TDBNavigator::CMGetDataLink(TMessage& Message) { Message.Result = LRESULT(FDataLink.get()); }

void TDBNavigator::WMCancelMode(TMessage& Message) {
  if (FPressed != NoButton) {
    FPressed = NoButton;
    FPressedDown = false;
    Invalidate();
  }
  DispatchAs<TCustomControl>(Message);
}
