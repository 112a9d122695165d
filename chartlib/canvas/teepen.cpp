#include "chartlib/canvas/teepen.h"

#include "chartlib/canvas/teecanvas.h"
#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teegradient.h"

#include <algorithm>
#include <cstdlib>

// ---------------------------------------------------------------------------
// TTeePen

TTeePen::TTeePen(TNotifyEvent OnChangeEvent) { OnChange = OnChangeEvent; }

TTeePen::~TTeePen() {
  if (FFill) FFill->Free();
}

void TTeePen::DescribeProperties(TPropertyTable& Props) {
  Props.Override("Width").NoDefault().Stored(&TTeePen::isWidthStored);
  Props.Add("EndStyle", &TTeePen::EndStyle, &TTeePen::SetEndStyle).Stored(&TTeePen::isEndStyleStored);
  Props.Add("Fill", &TTeePen::Fill, &TTeePen::SetFill).Stored(&TTeePen::HasFill);
  Props.Add("JoinStyle", &TTeePen::JoinStyle, &TTeePen::SetJoinStyle).Stored(&TTeePen::isJoinStyleStored);
  Props.Add("SmallDots", &TTeePen::SmallDots, &TTeePen::SetSmallDots).Default(false);
  Props.Add("SmallSpace", &TTeePen::SmallSpace, &TTeePen::SetSmallSpace).Default(0);
  Props.Add("Visible", &TTeePen::Visible, &TTeePen::SetVisible).Stored(&TTeePen::isVisibleStored);
}

void TTeePen::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TTeePen*>(Source)) {
    FVisible = S->FVisible;
    FSmallDots = S->FSmallDots;
    FSmallSpace = S->FSmallSpace;
    FEndStyle = S->FEndStyle;
    FJoinStyle = S->FJoinStyle;
    SetFill(S->FFill);
  }
  TPen::Assign(Source);
}

Integer TTeePen::HalfWidth() const { return FVisible && Width() > 1 ? Width() / 2 : 0; }

bool TTeePen::IsGradientVisible() const { return FFill && FFill->IsGradientVisible(); }

void TTeePen::InitEndStyle(TPenEndStyle Value) { FEndStyle = DefaultEnd = Value; }

template <class T>
void TTeePen::setValue(T& Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

void TTeePen::SetEndStyle(TPenEndStyle Value) { setValue(FEndStyle, Value); }
void TTeePen::SetJoinStyle(TPenJoinStyle Value) { setValue(FJoinStyle, Value); }
void TTeePen::SetSmallDots(bool Value) { setValue(FSmallDots, Value); }
void TTeePen::SetSmallSpace(Integer Value) { setValue(FSmallSpace, Value); }
void TTeePen::SetVisible(bool Value) { setValue(FVisible, Value); }

TTeeBrush* TTeePen::Fill() {
  if (!FFill) FFill = new TTeeBrush(OnChange);
  return FFill;
}

void TTeePen::SetFill(TTeeBrush* Value) {
  if (!Value)
    FreeAndNil(FFill);
  else
    Fill()->Assign(Value);
}

// ---------------------------------------------------------------------------
// preset pens

TTeeHiddenPen::TTeeHiddenPen(TNotifyEvent OnChangeEvent) : TTeePen(OnChangeEvent) {
  initVisible(false);
}

TDarkGrayPen::TDarkGrayPen(TNotifyEvent OnChangeEvent) : TTeePen(OnChangeEvent) { SetInitialColor(clDkGray); }

void TDarkGrayPen::DescribeProperties(TPropertyTable& Props) { Props.Override("Color").Default(clDkGray); }

TWhitePen::TWhitePen(TNotifyEvent OnChangeEvent) : TTeePen(OnChangeEvent) { SetInitialColor(clWhite); }

void TWhitePen::DescribeProperties(TPropertyTable& Props) { Props.Override("Color").Default(clWhite); }

// ---------------------------------------------------------------------------
// TTeeBrush

TTeeBrush::TTeeBrush(TNotifyEvent OnChangeEvent) {
  InitColor(clDefault);
  OnChange = OnChangeEvent;
}

TTeeBrush::~TTeeBrush() {
  if (FGradient) FGradient->Free();
  if (FImage) FImage->Free();
}

void TTeeBrush::DescribeProperties(TPropertyTable& Props) {
  Props.Add("BackColor", &TTeeBrush::BackColor, &TTeeBrush::SetBackColor).Idents(ColorIdents()).Default(clNone);
  // the declared default stays white, so neither white nor the owner's default is written
  Props.Override("Color").Stored(&TTeeBrush::isColorStored);
  Props.Add("Gradient", &TTeeBrush::Gradient, &TTeeBrush::SetGradient).Stored(&TTeeBrush::HasGradient);
  Props.Add("HatchStyle", &TTeeBrush::HatchStyle, &TTeeBrush::SetHatchStyle).Default(hsHorizontal);
  Props.Add("Image", &TTeeBrush::Image, &TTeeBrush::SetImage).Stored(&TTeeBrush::HasImageObject);
}

void TTeeBrush::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TTeeBrush*>(Source)) {
    SetImage(S->FImage);
    FBackColor = S->FBackColor;
    FHatchStyle = S->FHatchStyle;
    if (S->FGradient)
      SetGradient(S->FGradient);
    else
      FreeAndNil(FGradient);
  }
  TBrush::Assign(Source);
}

void TTeeBrush::InitColor(TColor Value) {
  const TNotifyEvent Saved = OnChange;
  OnChange = nullptr;
  SetColor(Value);
  DefaultColor = Value;
  OnChange = Saved;
}

void TTeeBrush::Clear() {
  SetStyle(bsClear);
  SetImage(nullptr);
  FreeAndNil(FGradient);
}

bool TTeeBrush::HasImage() const { return FImage && FImage->Graphic() && !FImage->Graphic()->Empty(); }

bool TTeeBrush::IsGradientVisible() const { return FGradient && FGradient->Visible(); }

void TTeeBrush::SetBackColor(TColor Value) {
  if (FBackColor == Value) return;
  FBackColor = Value;
  Changed();
}

void TTeeBrush::SetHatchStyle(THatchStyle Value) {
  if (FHatchStyle == Value) return;
  FHatchStyle = Value;
  // the first six hatches are the platform's, two places after bsClear
  if (Value <= hsDiagonalCross) SetStyle(TBrushStyle(Integer(Value) + bsHorizontal));
  Changed();
}

TTeeGradient* TTeeBrush::Gradient() {
  if (!FGradient) FGradient = new TTeeGradient(OnChange);
  return FGradient;
}

void TTeeBrush::SetGradient(TTeeGradient* Value) {
  if (!Value)
    FreeAndNil(FGradient);
  else
    Gradient()->Assign(Value);
}

TTeePicture* TTeeBrush::Image() {
  if (!FImage) {
    FImage = new TTeePicture;
    FImage->OnChange = OnChange;
  }
  return FImage;
}

void TTeeBrush::SetImage(TTeePicture* Value) {
  if (!Value) {
    if (!FImage) return;
    FreeAndNil(FImage);
    Changed();
    return;
  }
  Image()->Assign(Value);
  Changed();
}

// ---------------------------------------------------------------------------
// corners

TTeeCorner::TTeeCorner(TNotifyEvent Changed) : IChanged(Changed) {}

void TTeeCorner::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Style", &TTeeCorner::Style, &TTeeCorner::SetStyle).Default(cosRound);
}

void TTeeCorner::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TTeeCorner*>(Source)) {
    FStyle = S->FStyle;
    return;
  }
  TPersistent::Assign(Source);
}

void TTeeCorner::SetStyle(TTeeCornerStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (IChanged) IChanged(this);
}

TTeeCorners::TTeeCorners(TNotifyEvent Changed)
    : FLeftBottom(new TTeeCorner(Changed)), FLeftTop(new TTeeCorner(Changed)), FRightBottom(new TTeeCorner(Changed)),
      FRightTop(new TTeeCorner(Changed)) {}

TTeeCorners::~TTeeCorners() {
  FRightTop->Free();
  FRightBottom->Free();
  FLeftTop->Free();
  FLeftBottom->Free();
}

void TTeeCorners::DescribeProperties(TPropertyTable& Props) {
  Props.Add("LeftBottom", &TTeeCorners::LeftBottom, &TTeeCorners::SetLeftBottom);
  Props.Add("LeftTop", &TTeeCorners::LeftTop, &TTeeCorners::SetLeftTop);
  Props.Add("RightBottom", &TTeeCorners::RightBottom, &TTeeCorners::SetRightBottom);
  Props.Add("RightTop", &TTeeCorners::RightTop, &TTeeCorners::SetRightTop);
}

void TTeeCorners::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TTeeCorners*>(Source);
  if (!S) {
    TPersistent::Assign(Source);
    return;
  }
  FLeftBottom->Assign(S->FLeftBottom);
  FLeftTop->Assign(S->FLeftTop);
  FRightBottom->Assign(S->FRightBottom);
  FRightTop->Assign(S->FRightTop);
}

TTeeBasePath* TTeeCorners::CreateCornersPath(TTeeCanvas* Canvas, const TRect& R, Integer X, Integer Y) {
  TTeeBasePath* Path = Canvas->CreatePath();
  const float L = float(R.Left), T = float(R.Top), Rt = float(R.Right), B = float(R.Bottom);
  // the ellipse of a round corner, as a rounded rectangle takes it; half of
  // it is a bevel's leg
  const Integer W = std::min(std::max(2 * (X / 2), 1), std::abs(R.Right - R.Left));
  const Integer H = std::min(std::max(2 * (Y / 2), 1), std::abs(R.Bottom - R.Top));
  const float w = float(W), h = float(H), w2 = float(W / 2), h2 = float(H / 2);
  const TTeeCornerStyle LT = FLeftTop->Style(), RT = FRightTop->Style(), RB = FRightBottom->Style(),
                        LB = FLeftBottom->Style();
  // top right
  if (RT == cosRound) {
    if (LT == cosNone) {
      Path->MoveTo(L, T);
      Path->LineTo(Rt - w, T);
    }
    Path->ArcTo(Rt - w, T, w, h, 270, 90);
  } else if (RT == cosBevel) {
    Path->MoveTo(Rt - w2, T);
    Path->LineTo(Rt, T + h2);
  } else {
    Path->MoveTo(Rt, T);
  }
  // A round corner's arc ends on the next side, where the outline goes on: a
  // move there would break the outline into pieces that fill apart.
  // bottom right
  if (RB == cosRound) {
    if (RT != cosRound) Path->LineTo(Rt, B - h);
    Path->ArcTo(Rt - w, B - h, w, h, 0, 90);
  } else {
    if (RB == cosBevel) {
      Path->LineTo(Rt, B - h2);
      Path->LineTo(Rt - w2, B);
    } else {
      Path->LineTo(Rt, B);
    }
  }
  // bottom left
  if (LB == cosRound) {
    if (RB != cosRound) Path->LineTo(L + w, B);
    Path->ArcTo(L, B - h, w, h, 90, 90);
  } else {
    if (LB == cosBevel) {
      Path->LineTo(L + w2, B);
      Path->LineTo(L, B - h2);
    } else {
      Path->LineTo(L, B);
    }
  }
  // top left
  if (LT == cosRound) {
    if (LB != cosRound) Path->LineTo(L, T + h);
    Path->ArcTo(L, T, w, h, 180, 90);
  } else {
    if (LT == cosBevel) {
      Path->LineTo(L, T + h2);
      Path->LineTo(L + w2, T);
    } else if (RT != cosRound) {
      Path->LineTo(L, T);  // a round top right already started at (L, T)
    }
  }
  Path->Close();
  return Path;
}
