#include "platform/ui/controls/extctrls.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/metafile.h"
#include "platform/ui/graphics/picture.h"
#include "platform/ui/graphics/pngimage.h"
#include "platform/ui/graphics/textengine.h"

using namespace gdi;

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width) {
  // Polyline leaves out its last point: the top colour stops short of the
  // top-right corner and the bottom colour reaches the bottom-left one.
  auto ring = [&] {
    const TPoint TopLeft{Rect.Left, Rect.Top}, TopRight{Rect.Right, Rect.Top};
    const TPoint BottomRight{Rect.Right, Rect.Bottom}, BottomLeft{Rect.Left, Rect.Bottom};
    Canvas->Pen()->SetColor(TopColor);
    const TPoint Top[] = {BottomLeft, TopLeft, TopRight};
    Canvas->Polyline(Top);
    Canvas->Pen()->SetColor(BottomColor);
    const TPoint Bottom[] = {TopRight, BottomRight, {BottomLeft.X - 1, BottomLeft.Y}};
    Canvas->Polyline(Bottom);
  };
  Canvas->Pen()->SetWidth(1);
  --Rect.Bottom;
  --Rect.Right;
  for (; Width > 0; --Width) {
    ring();
    InflateRect(Rect, -1, -1);
  }
  ++Rect.Bottom;
  ++Rect.Right;
}

// ---------------------------------------------------------------------------
// TCustomPanel

namespace {

constexpr UINT PanelAlignments[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};

// A bevel's ring colours; bvSpace leaves a gap of Face.
void bevelColors(TBevelCut Bevel, TColor Face, TColor& TopColor, TColor& BottomColor) {
  switch (Bevel) {
    case bvLowered:
      TopColor = clBtnShadow;
      BottomColor = clBtnHighlight;
      break;
    case bvSpace: TopColor = BottomColor = Face; break;
    default:
      TopColor = clBtnHighlight;
      BottomColor = clBtnShadow;
      break;
  }
}

}  // namespace

const TMessageMap& TCustomPanel::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {CM_TEXTCHANGED, &TCustomPanel::CMTextChanged},
  });
  return Map;
}

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque,
                                csDoubleClicks, csReplicatable, csParentBackground};
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  assert((Value == bsNone || Value == bsSingle) && "a panel's border is bsNone or bsSingle");
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomPanel::SetFullRepaint(bool Value) {
  if (FFullRepaint == Value) return;
  FFullRepaint = Value;
  RecreateWnd();
}

void TCustomPanel::SetParentBackground(bool Value) {
  if (ParentBackground() == Value) return;
  if (Value)
    FControlStyle.Include(csParentBackground);
  else
    FControlStyle.Exclude(csParentBackground);
  Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  int BevelSize = 0;
  if (FBevelOuter != bvNone) BevelSize += FBevelWidth;
  if (FBevelInner != bvNone) BevelSize += FBevelWidth;
  InflateRect(Rect, -BevelSize, -BevelSize);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  if (FBorderStyle == bsSingle) AddSingleBorderStyle(Params);
  if (!FFullRepaint) Params.ClassStyle &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::Paint() {
  TCanvas* C = Canvas();
  TRect R = ClientRect();
  TColor TopColor, BottomColor;
  if (FBevelOuter != bvNone) {
    bevelColors(FBevelOuter, Color(), TopColor, BottomColor);
    Frame3D(C, R, TopColor, BottomColor, FBevelWidth);
  }
  Frame3D(C, R, Color(), Color(), BorderWidth());
  if (FBevelInner != bvNone) {
    bevelColors(FBevelInner, Color(), TopColor, BottomColor);
    Frame3D(C, R, TopColor, BottomColor, FBevelWidth);
  }
  C->Brush()->SetColor(Color());
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(R);
  C->Brush()->SetStyle(bsClear);
  C->SetFont(Font());
  const int FontHeight = C->TextHeight(QStringLiteral("W"));
  R.Top = (R.Bottom + R.Top - FontHeight) / 2;
  R.Bottom = R.Top + FontHeight;
  const String Text = Caption();
  DrawTextW(C->Handle(), Text.constData(), int(Text.size()), &R,
            DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | PanelAlignments[FAlignment]);
}

void TCustomPanel::CMTextChanged(TMessage&) { Invalidate(); }

void TPanel::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TControl>("OnResize", &TControl::OnResize, &TControl::OnResize);
  Props.Add("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).Default(taCenter);
  Props.Add<TPanel>("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).Default(bvNone);
  Props.Add<TPanel>("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).Default(bvRaised);
  Props.Add<TPanel>("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).Default(1);
  Props.Add<TPanel>("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).Default(0);
  Props.Add("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle).Default(bsNone);
  Props.Add("Caption", &TPanel::Caption, &TPanel::SetCaption);
  Props.Add("Color", &TPanel::Color, &TPanel::SetColor);
  Props.Add("FullRepaint", &TPanel::FullRepaint, &TPanel::SetFullRepaint).Default(true);
  Props.Add("ParentBackground", &TPanel::ParentBackground, &TPanel::SetParentBackground);
  Props.Add("ParentColor", &TPanel::ParentColor, &TPanel::SetParentColor).Default(false);
  Props.Add("ParentFont", &TPanel::ParentFont, &TPanel::SetParentFont).Default(true);
  Props.Add("TabStop", &TPanel::TabStop, &TPanel::SetTabStop).Default(false);
  Props.Add("Visible", &TPanel::Visible, &TPanel::SetVisible).Default(true);
}

// ---------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  SetBounds(0, 0, 50, 50);
}

void TBevel::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Shape", &TBevel::Shape, &TBevel::SetShape).Default(bsBox);
  Props.Add("Style", &TBevel::Style, &TBevel::SetStyle).Default(bsLowered);
  Props.Add("Visible", &TBevel::Visible, &TBevel::SetVisible).Default(true);
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* C = Canvas();
  C->Pen()->SetWidth(1);
  TColor Color1 = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor Color2 = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  // Color1 on the left and top edges, Color2 on the right and bottom ones.
  auto bevelRect = [&](const TRect& R) {
    C->Pen()->SetColor(Color1);
    const TPoint TopLeft[] = {{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}};
    C->Polyline(TopLeft);
    C->Pen()->SetColor(Color2);
    const TPoint BottomRight[] = {{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left, R.Bottom}};
    C->Polyline(BottomRight);
  };
  auto bevelLine = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
    C->Pen()->SetColor(Color);
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
  };
  const int W = Width(), H = Height();
  switch (FShape) {
    case bsBox: bevelRect(Rect(0, 0, W - 1, H - 1)); break;
    case bsFrame: {
      // Etched: an all-Color2 box one pixel down and right, under an
      // all-Color1 box.
      const TColor First = Color1;
      Color1 = Color2;
      bevelRect(Rect(1, 1, W - 1, H - 1));
      Color1 = Color2 = First;
      bevelRect(Rect(0, 0, W - 2, H - 2));
      break;
    }
    case bsTopLine:
      bevelLine(Color1, 0, 0, W, 0);
      bevelLine(Color2, 0, 1, W, 1);
      break;
    case bsBottomLine:
      bevelLine(Color1, 0, H - 2, W, H - 2);
      bevelLine(Color2, 0, H - 1, W, H - 1);
      break;
    case bsLeftLine:
      bevelLine(Color1, 0, 0, 0, H);
      bevelLine(Color2, 1, 0, 1, H);
      break;
    case bsRightLine:
      bevelLine(Color1, W - 2, 0, W - 2, H);
      bevelLine(Color2, W - 1, 0, W - 1, H);
      break;
    case bsSpacer: break;
  }
}

// ---------------------------------------------------------------------------
// TShape

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), FBrush(new TBrush), FPen(new TPen) {
  FControlStyle.Include(csReplicatable);
  SetBounds(0, 0, 65, 65);
  FBrush->OnChange = TNotifyEvent(this, &TShape::styleChanged);
  FPen->OnChange = TNotifyEvent(this, &TShape::styleChanged);
}

TShape::~TShape() {
  FPen->Free();
  FBrush->Free();
}

void TShape::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Brush", &TShape::Brush, &TShape::SetBrush);
  Props.Add("Pen", &TShape::Pen, &TShape::SetPen);
  Props.Add("Shape", &TShape::Shape, &TShape::SetShape).Default(stRectangle);
  Props.Add("Visible", &TShape::Visible, &TShape::SetVisible).Default(true);
}

void TShape::SetShape(TShapeType Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TShape::styleChanged(TObject*) { Invalidate(); }

void TShape::Paint() {
  TCanvas* C = Canvas();
  C->SetPen(FPen);
  C->SetBrush(FBrush);
  const int PenWidth = FPen->Width();
  // The pen is centred on the outline: half its width inside the bounds.
  int X = PenWidth / 2, Y = X;
  int W = Width() - PenWidth + 1, H = Height() - PenWidth + 1;
  if (PenWidth == 0) {
    --W;
    --H;
  }
  const int S = std::min(W, H);
  if (FShape == stSquare || FShape == stRoundSquare || FShape == stCircle) {
    X += (W - S) / 2;
    Y += (H - S) / 2;
    W = H = S;
  }
  switch (FShape) {
    case stRectangle:
    case stSquare: C->Rectangle(X, Y, X + W, Y + H); break;
    case stRoundRect:
    case stRoundSquare: C->RoundRect(X, Y, X + W, Y + H, S / 4, S / 4); break;
    case stEllipse:
    case stCircle: C->Ellipse(X, Y, X + W, Y + H); break;
  }
}

// ---------------------------------------------------------------------------
// TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), FPicture(new TPicture) {
  FControlStyle.Include(csReplicatable);
  FPicture->OnChange = TNotifyEvent(this, &TImage::pictureChanged);
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { FPicture->Free(); }

void TImage::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add<TImage>("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
  Props.Add("Center", &TImage::Center, &TImage::SetCenter).Default(false);
  Props.Add("Picture", &TImage::Picture, &TImage::SetPicture);
  Props.Add("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
  Props.Add("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
  Props.Add("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
  Props.Add("Visible", &TImage::Visible, &TImage::SetVisible).Default(true);
}

void TImage::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

TCanvas* TImage::Canvas() {
  if (!FPicture->Graphic()) {
    TBitmap Bitmap;
    Bitmap.SetSize(Width(), Height());
    FPicture->SetGraphic(&Bitmap);
  }
  auto* Bitmap = dynamic_cast<TBitmap*>(FPicture->Graphic());
  if (!Bitmap) throw EInvalidOperation(QStringLiteral("Can only modify an image if it contains a bitmap"));
  return Bitmap->Canvas();
}

void TImage::SetStretch(bool Value) {
  if (FStretch == Value) return;
  FStretch = Value;
  pictureChanged(this);
}

void TImage::SetCenter(bool Value) {
  if (FCenter == Value) return;
  FCenter = Value;
  pictureChanged(this);
}

void TImage::SetProportional(bool Value) {
  if (FProportional == Value) return;
  FProportional = Value;
  pictureChanged(this);
}

void TImage::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  pictureChanged(this);
}

TRect TImage::DestRect() {
  int W = FPicture->Width(), H = FPicture->Height();
  const int CW = ClientWidth(), CH = ClientHeight();
  if (FStretch || (FProportional && (W > CW || H > CH))) {
    if (FProportional && W > 0 && H > 0) {
      const double Aspect = double(W) / H;
      if (W > H) {
        W = CW;
        H = int(CW / Aspect);
        if (H > CH) {
          H = CH;
          W = int(CH * Aspect);
        }
      } else {
        H = CH;
        W = int(CH * Aspect);
        if (W > CW) {
          W = CW;
          H = int(CW / Aspect);
        }
      }
    } else {
      W = CW;
      H = CH;
    }
  }
  TRect Result = Rect(0, 0, W, H);
  if (FCenter) OffsetRect(Result, (CW - W) / 2, (CH - H) / 2);
  return Result;
}

bool TImage::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (FPicture->Width() > 0 && FPicture->Height() > 0) {
    NewWidth = FPicture->Width();
    NewHeight = FPicture->Height();
  }
  return true;
}

void TImage::Paint() {
  const bool Saved = FDrawing;
  FDrawing = true;
  const TScopeExit Restore([&Flag = FDrawing, Value = Saved] { Flag = Value; });
  TGraphicControl::Canvas()->StretchDraw(DestRect(), FPicture->Graphic());
}

void TImage::pictureChanged(TObject*) {
  if (AutoSize() && FPicture->Width() > 0 && FPicture->Height() > 0)
    SetBounds(Left(), Top(), FPicture->Width(), FPicture->Height());
  TGraphic* G = FPicture->Graphic();
  FControlStyle.Exclude(csOpaque);
  if (G) {
    if (!dynamic_cast<TMetafile*>(G) && !dynamic_cast<TIcon*>(G)) G->SetTransparent(FTransparent);
    const TRect D = DestRect();
    if (!G->Transparent() && D.Left <= 0 && D.Top <= 0 && D.Right >= Width() && D.Bottom >= Height())
      FControlStyle.Include(csOpaque);
  }
  if (!FDrawing) Invalidate();
}
