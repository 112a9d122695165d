#include "chartlib/canvas/teefont.h"

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teegradient.h"

#include <cmath>

TTeeFont::TTeeFont(TNotifyEvent ChangedEvent) : FBrush(new TTeeBrush(nullptr)) {
  InitColor(clBlack);
  if (Charset() != gdi::DEFAULT_CHARSET) SetCharset(gdi::DEFAULT_CHARSET);
  if (Size() != TeeDefaultFontSize()) SetSize(TeeDefaultFontSize());
  if (Name() != TeeDefaultFontName()) SetName(TeeDefaultFontName());
  FBrush->OnChange = ChangedEvent;
  OnChange = ChangedEvent;
}

TTeeFont::~TTeeFont() {
  FBrush->Free();
  if (FOutLine) FOutLine->Free();
  if (FShadow) FShadow->Free();
  if (FEmboss) FEmboss->Free();
}

void TTeeFont::DescribeProperties(TPropertyTable& Props) {
  using F = TTeeFont;
  Props.Override("Color").Stored(&F::isColorStored);
  Props.Override("Height").Stored(&F::isHeightStored);
  Props.Override("Name").Stored(&F::isNameStored);
  Props.Override("Style").NoDefault().Stored(&F::isStyleStored);
  Props.Redeclare("Quality", &F::Quality, &F::SetQuality).Default(tee::fqDefault);
  Props.Add("Brush", &F::Brush, &F::SetBrush);
  Props.Add("DefaultFont", &F::DefaultFont, &F::SetDefaultFont).Default(false);
  Props.Add("Depth", &F::Depth, &F::SetDepth);
  Props.Add("Emboss", &F::Emboss, &F::SetEmboss).Stored(&F::HasEmboss);
  Props.Add("Gradient", &F::Gradient, &F::SetGradient).Stored(false);
  Props.Add("InterCharSize", &F::InterCharSize, &F::SetInterCharSize).Default(0);
  Props.Add("OutLine", &F::OutLine, &F::SetOutLine).Stored(&F::HasOutLine);
  Props.Add("Picture", &F::Picture, &F::SetPicture).Stored(false);
  Props.Add("Shadow", &F::Shadow, &F::SetShadow).Stored(&F::HasShadow);
  Props.Add("SizeFloat", &F::SizeFloat, &F::SetSizeFloat).Stored(&F::isSizeFloatStored);
}

void TTeeFont::Assign(TPersistent* Source) {
  if (auto* S = dynamic_cast<TTeeFont*>(Source)) {
    FBrush->Assign(S->FBrush);
    FDefault = S->FDefault;
    FDepth = S->FDepth;
    FInterCharSize = S->FInterCharSize;
    FQuality = S->FQuality;
    FSizeDecimals = S->FSizeDecimals;
    SetEmboss(S->FEmboss);
    SetOutLine(S->FOutLine);
    SetShadow(S->FShadow);
  }
  TFont::Assign(Source);
}

void TTeeFont::InitColor(TColor AColor) {
  FBrush->InitColor(AColor);
  const TNotifyEvent Saved = OnChange;
  OnChange = nullptr;
  SetColor(AColor);
  OnChange = Saved;
  IDefColor = AColor;
}

void TTeeFont::InitStyle(TFontStyles AStyle) {
  const TNotifyEvent Saved = OnChange;
  OnChange = nullptr;
  SetStyle(AStyle);
  OnChange = Saved;
  IDefStyle = AStyle;
}

template <class T>
void TTeeFont::setValue(T& Field, T Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

void TTeeFont::SetDefaultFont(bool Value) { setValue(FDefault, Value); }
void TTeeFont::SetDepth(double Value) { setValue(FDepth, Value); }
void TTeeFont::SetInterCharSize(Integer Value) { setValue(FInterCharSize, Value); }
void TTeeFont::SetQuality(tee::TFontQuality Value) { setValue(FQuality, Value); }

void TTeeFont::SetSizeFloat(float Value) {
  if (Value == SizeFloat()) return;
  const float Whole = std::floor(Value);
  FSizeDecimals = Value - Whole;
  SetSize(Integer(Whole));
}

TTeeEmboss* TTeeFont::Emboss() {
  if (!FEmboss) FEmboss = new TTeeEmboss(OnChange);
  return FEmboss;
}

void TTeeFont::SetEmboss(TTeeEmboss* Value) {
  if (!Value)
    FreeAndNil(FEmboss);
  else
    Emboss()->Assign(Value);
}

TTeeHiddenPen* TTeeFont::OutLine() {
  if (!FOutLine) FOutLine = new TTeeHiddenPen(OnChange);
  return FOutLine;
}

void TTeeFont::SetOutLine(TTeeHiddenPen* Value) {
  if (!Value)
    FreeAndNil(FOutLine);
  else
    OutLine()->Assign(Value);
}

TTeeShadow* TTeeFont::Shadow() {
  if (!FShadow) FShadow = new TTeeShadow(OnChange);
  return FShadow;
}

void TTeeFont::SetShadow(TTeeShadow* Value) {
  if (!Value)
    FreeAndNil(FShadow);
  else
    Shadow()->Assign(Value);
}

TTeeGradient* TTeeFont::Gradient() const { return FBrush->Gradient(); }
void TTeeFont::SetGradient(TTeeGradient* Value) { FBrush->SetGradient(Value); }
TTeePicture* TTeeFont::Picture() const { return FBrush->Image(); }
void TTeeFont::SetPicture(TTeePicture* Value) { FBrush->SetImage(Value); }

TTeeShadow* TTeeFont::VisibleShadow() const { return FShadow && FShadow->Visible() ? FShadow : nullptr; }
TTeeShadow* TTeeFont::VisibleEmboss() const { return FEmboss && FEmboss->Visible() ? FEmboss : nullptr; }

bool TTeeFont::isHeightStored() const { return Size() != TeeDefaultFontSize(); }
bool TTeeFont::isNameStored() const { return Name() != TeeDefaultFontName(); }
