#include "gridlib/editors/speedbutton.h"

#include "gridlib/base/imageresources.h"
#include "gridlib/base/painters.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/actions.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/timers.h"

#include <QImage>
#include <utility>

using namespace gdi;

namespace {

constexpr Integer MaxNumGlyphs = 4;
constexpr TColor GrayGlyphColor = TColor(0x00808080);  // the disabled strip's shadow pixels
constexpr TColor WhiteGlyphColor = TColor(0x00FFFFFF);  // the disabled strip's highlight pixels

QRgb rgbOf(TColor Color) {
  const Integer C = ColorToRGB(Color);
  return qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

bool sameRgb(QRgb A, QRgb B) { return (A & 0x00FFFFFF) == (B & 0x00FFFFFF); }

}  // namespace

// ---------------------------------------------------------------------------
// TButtonImagesEh

void TButtonImagesEh::DescribeProperties(TPropertyTable& Props) {
  Props.Add("NormalImages", &TButtonImagesEh::NormalImages, &TButtonImagesEh::SetNormalImages);
  Props.Add("HotImages", &TButtonImagesEh::HotImages, &TButtonImagesEh::SetHotImages);
  Props.Add("PressedImages", &TButtonImagesEh::PressedImages, &TButtonImagesEh::SetPressedImages);
  Props.Add("DisabledImages", &TButtonImagesEh::DisabledImages, &TButtonImagesEh::SetDisabledImages);
  Props.Add("NormalIndex", &TButtonImagesEh::NormalIndex, &TButtonImagesEh::SetNormalIndex).Default(0);
  Props.Add("HotIndex", &TButtonImagesEh::HotIndex, &TButtonImagesEh::SetHotIndex).Default(0);
  Props.Add("PressedIndex", &TButtonImagesEh::PressedIndex, &TButtonImagesEh::SetPressedIndex).Default(0);
  Props.Add("DisabledIndex", &TButtonImagesEh::DisabledIndex, &TButtonImagesEh::SetDisabledIndex).Default(0);
}

void TButtonImagesEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TButtonImagesEh*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  SetNormalImages(Other->FNormalImages);
  SetHotImages(Other->FHotImages);
  SetPressedImages(Other->FPressedImages);
  SetDisabledImages(Other->FDisabledImages);
  SetNormalIndex(Other->FNormalIndex);
  SetHotIndex(Other->FHotIndex);
  SetPressedIndex(Other->FPressedIndex);
  SetDisabledIndex(Other->FDisabledIndex);
}

TCustomImageList* TButtonImagesEh::GetStateImages(TButtonStateEh State) const {
  TCustomImageList* List = nullptr;
  switch (State) {
    case bsNormalEh: return FNormalImages;
    case bsHotEh: List = FHotImages; break;
    case bsPressedEh: List = FPressedImages; break;
    case bsDisabledEh: List = FDisabledImages; break;
  }
  return List ? List : FNormalImages;
}

Integer TButtonImagesEh::GetStateIndex(TButtonStateEh State) const {
  switch (State) {
    case bsNormalEh: return FNormalIndex;
    case bsHotEh: return FHotIndex;
    case bsPressedEh: return FPressedIndex;
    case bsDisabledEh: return FDisabledIndex;
  }
  return -1;
}

void TButtonImagesEh::setImages(TCustomImageList*& Field, TCustomImageList* Value) {
  if (Field == Value) return;
  Field = Value;
  RefComponentChanged(Value);
}

void TButtonImagesEh::setIndex(TImageIndex& Field, TImageIndex Value) {
  if (Field == Value) return;
  Field = Value;
  Changed();
}

// ---------------------------------------------------------------------------
// TGlyphList

TGlyphList::TGlyphList(Integer AWidth, Integer AHeight) : TImageList(nullptr) {
  SetWidth(AWidth);
  SetHeight(AHeight);
}

int TGlyphList::AddMasked(TBitmap* Image, TColor MaskColor) {
  const int Index = allocateIndex();
  if (Index < TCustomImageList::Count())
    ReplaceMasked(Index, Image, MaskColor);
  else
    TCustomImageList::AddMasked(Image, MaskColor);
  return Index;
}

void TGlyphList::Delete(int Index) {
  if (Index < 0 || size_t(Index) >= Used.size() || !Used[size_t(Index)]) return;
  Used[size_t(Index)] = false;
  --FCount;
}

int TGlyphList::allocateIndex() {
  auto Free = std::find(Used.begin(), Used.end(), false);
  const int Index = int(Free - Used.begin());
  if (Free == Used.end())
    Used.push_back(true);
  else
    *Free = true;
  ++FCount;
  return Index;
}

// ---------------------------------------------------------------------------
// TButtonGlyph

TButtonGlyph::TButtonGlyph(TCustomSpeedButtonEh* Button) : FOriginal(new TBitmap), FButton(Button) {
  FOriginal->OnChange = TNotifyEvent(this, &TButtonGlyph::glyphChanged);
}

TButtonGlyph::~TButtonGlyph() {
  Invalidate();
  delete FOriginal;
}

void TButtonGlyph::Invalidate() {
  for (Integer& Index : FIndexs) {
    if (Index != -1 && FGlyphList) FGlyphList->Delete(Index);
    Index = -1;
  }
  delete std::exchange(FGlyphList, nullptr);
}

void TButtonGlyph::glyphChanged(TObject* Sender) {
  if (Sender != FOriginal) return;
  FTransparentColor = FOriginal->TransparentColor();
  Invalidate();
  if (OnChange) OnChange(this);
}

void TButtonGlyph::SetGlyph(TBitmap* Value) {
  Invalidate();
  FOriginal->Assign(Value);
  if (!Value || Value->Height() <= 0) return;  // an empty strip has no piece count to give
  FTransparentColor = Value->TransparentColor();
  if (Value->Width() % Value->Height() != 0) return;
  const Integer Glyphs = Value->Width() / Value->Height();
  SetNumGlyphs(Glyphs <= MaxNumGlyphs ? Glyphs : 1);
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphsEh Value) {
  if (Value == 0 || Value == FNumGlyphs) return;
  Invalidate();
  FNumGlyphs = Value;
  glyphChanged(FOriginal);
}

TSize TButtonGlyph::GlyphSize() const {
  if (FOriginal->Empty() || FNumGlyphs <= 0) return {0, 0};
  return {FOriginal->Width() / FNumGlyphs, FOriginal->Height()};
}

Integer TButtonGlyph::CreateButtonGlyph(TButtonStateEh State) {
  if (State == bsPressedEh && FNumGlyphs < 3) State = bsNormalEh;
  if (FIndexs[State] != -1) return FIndexs[State];
  const TSize Size = GlyphSize();
  if (Size.cx <= 0 || Size.cy <= 0) return -1;
  if (!FGlyphList) FGlyphList = new TGlyphList(Size.cx, Size.cy);

  const Integer Piece = Integer(State) < FNumGlyphs ? Integer(State) : 0;
  TBitmap Image;
  Image.SetSize(Size.cx, Size.cy);
  Image.Canvas()->Brush()->SetColor(clBtnFace);
  Image.Canvas()->FillRect(Rect(0, 0, Size.cx, Size.cy));
  Integer Index;
  if (State == bsDisabledEh) {
    buildDisabled(&Image, Piece, Size);
    Index = FGlyphList->AddMasked(&Image, clDefault);
  } else {
    const TRect Source = Bounds(Piece * Size.cx, 0, Size.cx, Size.cy);
    Image.Canvas()->CopyRect(Rect(0, 0, Size.cx, Size.cy), FOriginal->Canvas(), Source);
    const TColor Mask = FOriginal->TransparentMode() == tmFixed ? FTransparentColor : clDefault;
    Index = FGlyphList->AddMasked(&Image, Mask);
  }
  FOriginal->Dormant();
  FIndexs[State] = Index;
  return Index;
}

// One piece: an embossed silhouette (highlight one pixel down and right,
// shadow on top) of what is not the transparent colour.  Several: the
// piece with white, grey and transparent pixels turned to the 3-D colours.
void TButtonGlyph::buildDisabled(TBitmap* Target, Integer Piece, TSize Size) {
  const QImage Strip = FOriginal->Image().copy(Piece * Size.cx, 0, Size.cx, Size.cy).convertToFormat(
      QImage::Format_RGB32);
  QImage Result = Target->Image().convertToFormat(QImage::Format_RGB32);
  const QRgb Transparent = rgbOf(FTransparentColor);
  if (FNumGlyphs == 1) {
    const QRgb Highlight = rgbOf(clBtnHighlight), Shadow = rgbOf(clBtnShadow);
    for (int Y = 0; Y < Size.cy; ++Y)
      for (int X = 0; X < Size.cx; ++X)
        if (!sameRgb(Strip.pixel(X, Y), Transparent) && X + 1 < Size.cx && Y + 1 < Size.cy)
          Result.setPixel(X + 1, Y + 1, Highlight);
    for (int Y = 0; Y < Size.cy; ++Y)
      for (int X = 0; X < Size.cx; ++X)
        if (!sameRgb(Strip.pixel(X, Y), Transparent)) Result.setPixel(X, Y, Shadow);
  } else {
    const QRgb White = rgbOf(WhiteGlyphColor), Gray = rgbOf(GrayGlyphColor);
    const QRgb Highlight = rgbOf(clBtnHighlight), Shadow = rgbOf(clBtnShadow), Face = rgbOf(clBtnFace);
    for (int Y = 0; Y < Size.cy; ++Y)
      for (int X = 0; X < Size.cx; ++X) {
        const QRgb P = Strip.pixel(X, Y);
        QRgb Out = P;
        if (sameRgb(P, White))
          Out = Highlight;
        else if (sameRgb(P, Gray))
          Out = Shadow;
        else if (sameRgb(P, Transparent))
          Out = Face;
        Result.setPixel(X, Y, Out);
      }
  }
  Target->SetImage(Result);
}

// Along the layout's axis, with Margin -1: Spacing < 0 makes margin,
// spacing and the far gap equal, else glyph, spacing and caption centre
// together; a given Margin with Spacing < 0 splits the rest evenly.  Across
// it both centre.  Divisions truncate.
void TButtonGlyph::CalcButtonLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const String& Caption,
                                    TButtonLayoutEh Layout, Integer Margin, Integer Spacing, TPoint& GlyphPos,
                                    TRect& TextBounds, UINT BiDiFlags) {
  if (BiDiFlags & DT_RTLREADING) {
    if (Layout == blGlyphLeftEh)
      Layout = blGlyphRightEh;
    else if (Layout == blGlyphRightEh)
      Layout = blGlyphLeftEh;
  }
  const TPoint ClientSize{Client.Width(), Client.Height()};
  TSize Glyph = FButton->IsCustomGlyph() ? FButton->GetCustomGlyphSize() : GlyphSize();
  TextBounds = Rect(0, 0, 0, 0);
  if (!Caption.isEmpty()) {
    TextBounds = Rect(0, 0, ClientSize.X, 0);
    DrawTextW(Canvas->Handle(), Caption.constData(), int(Caption.size()), &TextBounds, DT_CALCRECT | BiDiFlags);
  }
  const TPoint TextSize{TextBounds.Width(), TextBounds.Height()};
  const bool Horizontal = Layout == blGlyphLeftEh || Layout == blGlyphRightEh;
  TPoint TextPos;
  if (Horizontal) {
    GlyphPos.Y = (ClientSize.Y - Glyph.cy) / 2;
    TextPos.Y = (ClientSize.Y - TextSize.Y) / 2;
  } else {
    GlyphPos.X = (ClientSize.X - Glyph.cx) / 2;
    TextPos.X = (ClientSize.X - TextSize.X) / 2;
  }
  if (TextSize.X == 0 || Glyph.cx == 0) Spacing = 0;
  const Integer Extent = Horizontal ? ClientSize.X : ClientSize.Y;
  const Integer GlyphExtent = Horizontal ? Glyph.cx : Glyph.cy;
  const Integer TextExtent = Horizontal ? TextSize.X : TextSize.Y;
  if (Margin == -1) {
    if (Spacing < 0) {
      Margin = (Extent - GlyphExtent - TextExtent) / 3;
      Spacing = Margin;
    } else {
      Margin = (Extent - GlyphExtent - Spacing - TextExtent) / 2;
    }
  } else if (Spacing < 0) {
    Spacing = (Extent - Margin - GlyphExtent - TextExtent) / 2;
  }
  switch (Layout) {
    case blGlyphLeftEh:
      GlyphPos.X = Margin;
      TextPos.X = GlyphPos.X + GlyphExtent + Spacing;
      break;
    case blGlyphRightEh:
      GlyphPos.X = Extent - Margin - GlyphExtent;
      TextPos.X = GlyphPos.X - Spacing - TextExtent;
      break;
    case blGlyphTopEh:
      GlyphPos.Y = Margin;
      TextPos.Y = GlyphPos.Y + GlyphExtent + Spacing;
      break;
    case blGlyphBottomEh:
      GlyphPos.Y = Extent - Margin - GlyphExtent;
      TextPos.Y = GlyphPos.Y - Spacing - TextExtent;
      break;
  }
  const TPoint Origin{Client.Left + Offset.X, Client.Top + Offset.Y};
  GlyphPos = {GlyphPos.X + Origin.X, GlyphPos.Y + Origin.Y};
  TextBounds = Bounds(TextPos.X + Origin.X, TextPos.Y + Origin.Y, TextSize.X, TextSize.Y);
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset) {
  const UINT BiDiFlags = FButton->DrawTextBiDiModeFlagsReadingOnly();
  TPoint GlyphPos;
  TRect TextBounds;
  const String Caption = FButton->Caption();
  CalcButtonLayout(Canvas, Client, Offset, Caption, FButton->Layout(), FButton->Margin(), FButton->Spacing(),
                   GlyphPos, TextBounds, BiDiFlags);
  drawButtonGlyph(Canvas, GlyphPos, FButton->State(), FButton->Transparent());
  drawButtonText(Canvas, Caption, TextBounds, FButton->State(), BiDiFlags);
  return TextBounds;
}

void TButtonGlyph::drawButtonGlyph(TCanvas* Canvas, TPoint GlyphPos, TButtonStateEh State, bool Transparent) {
  if (FButton->IsCustomGlyph()) {
    FButton->DrawCustomGlyph(Canvas, GlyphPos);
    return;
  }
  const Integer Index = CreateButtonGlyph(State);
  if (Index < 0) return;
  const TSize Size = GlyphSize();
  if (FThemesEnabled) {
    TCustomStyleServices* Styles = StyleServices();
    const TThemedButton Button = State == bsPressedEh    ? tbPushButtonPressed
                                 : State == bsDisabledEh ? tbPushButtonDisabled
                                                         : tbPushButtonNormal;
    Styles->DrawIcon(Canvas->Handle(), Styles->GetElementDetails(Button), Bounds(GlyphPos.X, GlyphPos.Y, Size.cx, Size.cy),
                     FGlyphList, Index);
    return;
  }
  const COLORREF Back = Transparent ? CLR_NONE : COLORREF(ColorToRGB(clBtnFace));
  ImageList_DrawEx(FGlyphList->Handle(), Index, Canvas->Handle(), GlyphPos.X, GlyphPos.Y, 0, 0, Back, CLR_NONE,
                   Transparent ? ILD_TRANSPARENT : ILD_NORMAL);
}

void TButtonGlyph::drawButtonText(TCanvas* Canvas, const String& Caption, TRect TextBounds, TButtonStateEh State,
                                  UINT BiDiFlags) {
  if (Caption.isEmpty()) return;
  Canvas->Brush()->SetStyle(bsClear);
  const UINT Flags = BiDiFlags | DT_CENTER | DT_VCENTER | DT_NOCLIP;
  const HDC DC = Canvas->Handle();
  if (FThemesEnabled) {
    TColor Color = Canvas->Font()->Color();
    TColor ElementColor;
    const bool StyleColor = State == bsDisabledEh || (IsCustomStyleActiveEh() && FThemeTextColor);
    if (StyleColor && StyleServices()->GetElementColor(FThemeDetails, ecTextColor, ElementColor)) Color = ElementColor;
    StyleServices()->DrawText(DC, FThemeDetails, Caption, TextBounds, Flags, Color);
    return;
  }
  if (State == bsDisabledEh) {
    TRect Shifted = TextBounds;
    OffsetRect(Shifted, 1, 1);
    Canvas->Font()->SetColor(clBtnHighlight);
    DrawTextW(DC, Caption.constData(), int(Caption.size()), &Shifted, Flags);
    Canvas->Font()->SetColor(clBtnShadow);
  }
  DrawTextW(DC, Caption.constData(), int(Caption.size()), &TextBounds, Flags);
}

// ---------------------------------------------------------------------------
// TCustomSpeedButtonEh

const TMessageMap& TCustomSpeedButtonEh::MessageMap() {
  static const TMessageMap Map(TGraphicControl::MessageMap(), {
      {CM_MOUSEENTER, &TCustomSpeedButtonEh::CMMouseEnter},
      {CM_MOUSELEAVE, &TCustomSpeedButtonEh::CMMouseLeave},
      {CM_ENABLEDCHANGED, &TCustomSpeedButtonEh::CMEnabledChanged},
      {CM_FONTCHANGED, &TCustomSpeedButtonEh::CMFontChanged},
      {CM_TEXTCHANGED, &TCustomSpeedButtonEh::CMTextChanged},
      {CM_SYSCOLORCHANGE, &TCustomSpeedButtonEh::CMSysColorChange},
      {CM_DIALOGCHAR, &TCustomSpeedButtonEh::CMDialogChar},
  });
  return Map;
}

TCustomSpeedButtonEh::TCustomSpeedButtonEh(TComponent* AOwner)
    : TGraphicControl(AOwner), FInternalEditButtonImages(new TButtonImagesEh), FButtonGlyph(new TButtonGlyph(this)) {
  FButtonGlyph->OnChange = TNotifyEvent(this, &TCustomSpeedButtonEh::GlyphChanged);
  SetBounds(0, 0, 23, 22);
  FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
  SetParentFont(true);
  SetColor(clBtnFace);
}

TCustomSpeedButtonEh::~TCustomSpeedButtonEh() {
  delete FButtonGlyph;
  delete FInternalEditButtonImages;
}

void TCustomSpeedButtonEh::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Invalidate();
}

void TCustomSpeedButtonEh::SetGlyph(TBitmap* Value) {
  FButtonGlyph->SetGlyph(Value);
  Invalidate();
}

void TCustomSpeedButtonEh::SetLayout(TButtonLayoutEh Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomSpeedButtonEh::SetMargin(Integer Value) {
  if (Value == FMargin || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TCustomSpeedButtonEh::SetNumGlyphs(TNumGlyphsEh Value) {
  Value = std::min(Value, MaxNumGlyphs);
  if (Value == FButtonGlyph->NumGlyphs()) return;
  FButtonGlyph->SetNumGlyphs(Value);
  Invalidate();
}

void TCustomSpeedButtonEh::SetSpacing(Integer Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TCustomSpeedButtonEh::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (Value)
    FControlStyle.Exclude(csOpaque);
  else
    FControlStyle.Include(csOpaque);
  Invalidate();
}

void TCustomSpeedButtonEh::SetResourceImageItem(TResourceImageItemEh* Value) {
  FResourceImageItem = Value;
  Invalidate();
}

TButtonImagesEh* TCustomSpeedButtonEh::GetButtonImages() { return FInternalEditButtonImages; }

bool TCustomSpeedButtonEh::IsCustomGlyph() {
  TButtonImagesEh* Images = GetButtonImages();
  if (Images->GetStateImages(FState) && Images->GetStateIndex(FState) >= 0) return true;
  return FResourceImageItem != nullptr;
}

TSize TCustomSpeedButtonEh::GetCustomGlyphSize() {
  if (TCustomImageList* List = GetButtonImages()->GetStateImages(FState)) return {List->Width(), List->Height()};
  if (!FResourceImageItem) return {0, 0};
  TGraphic* Image = FResourceImageItem->GetGraphic({Width(), Height()}, ScaleFactor(), !Enabled());
  return Image ? TSize{Image->Width(), Image->Height()} : TSize{0, 0};
}

void TCustomSpeedButtonEh::DrawCustomGlyph(TCanvas* ACanvas, TPoint GlyphPos) {
  const TSize Size = GetCustomGlyphSize();
  const TRect R = Bounds(GlyphPos.X, GlyphPos.Y, Size.cx, Size.cy);
  TButtonImagesEh* Images = GetButtonImages();
  if (TCustomImageList* List = Images->GetStateImages(FState)) {
    DrawImageInRectEh(List, nullptr, ACanvas, R, Images->GetStateIndex(FState), 0, 0, taLeftJustify, R,
                      FForegroundScaleFactor, Enabled());
    return;
  }
  if (!FResourceImageItem) return;
  if (auto* Image = dynamic_cast<TBitmap*>(FResourceImageItem->GetGraphic({Width(), Height()}, ScaleFactor(), !Enabled())))
    DrawImageInRectEh(nullptr, Image, ACanvas, R, 0, 0, 0, taLeftJustify, R, 1.0, Enabled());
}

void TCustomSpeedButtonEh::GlyphChanged(TObject*) { Invalidate(); }

void TCustomSpeedButtonEh::DoButtonDown(bool& AutoRepeat) {
  bool Handled = false;
  if (OnDown) OnDown(this, AutoRepeat, Handled);
}

void TCustomSpeedButtonEh::UpdateState() {
  TButtonStateEh NewState = bsNormalEh;
  if (!Enabled()) {
    NewState = bsDisabledEh;
    FLocalDragging = false;
  } else if (FMouseInControl) {
    NewState = bsHotEh;
  } else if (FLocalDragging) {
    NewState = bsPressedEh;
  }
  if (NewState == FState) return;
  FState = NewState;
  Invalidate();
}

void TCustomSpeedButtonEh::Loaded() {
  TGraphicControl::Loaded();
  UpdateState();
}

void TCustomSpeedButtonEh::Paint() {
  if (OnPaint)
    OnPaint(this);
  else
    DefaultPaint();
}

void TCustomSpeedButtonEh::DefaultPaint() {
  TRect PaintRect;
  TPoint PressOffset;
  TThemedElementDetails ThemeDetails;
  PaintBackground(PaintRect, PressOffset, ThemeDetails);
  PaintForeground(PaintRect, PressOffset, ThemeDetails);
}

void TCustomSpeedButtonEh::PaintBackground(TRect& PaintRect, TPoint& PressOffset,
                                           TThemedElementDetails& ThemeDetails) {
  TCanvas* C = Canvas();
  C->SetFont(Font());
  const HDC DC = C->Handle();
  const bool Pressed = FState == bsPressedEh;
  if (IsStyleServicesEnabledEh()) {
    TCustomStyleServices* Styles = StyleServices();
    if (FTransparent)
      Styles->DrawParentBackground(nullptr, DC, nullptr, /*OnlyIfTransparent=*/true);
    else
      PerformEraseBackground(this, DC);
    if (FFlat) {
      ThemeDetails = Styles->GetElementDetails(!Enabled() ? ttbButtonDisabled
                                               : Pressed  ? ttbButtonPressed
                                               : FState == bsHotEh ? ttbButtonHot
                                                                   : ttbButtonNormal);
    } else {
      ThemeDetails = Styles->GetElementDetails(!Enabled() ? tbPushButtonDisabled
                                               : Pressed  ? tbPushButtonPressed
                                               : FState == bsHotEh ? tbPushButtonHot
                                                                   : tbPushButtonNormal);
    }
    const TRect Client = ClientRect();
    Styles->DrawElement(DC, ThemeDetails, Client);
    PaintRect = Client;
    Styles->GetElementContentRect(DC, ThemeDetails, Client, PaintRect);
    PressOffset = Pressed ? TPoint{1, 0} : TPoint{0, 0};
    if (Pressed && FFlat && !IsThemedVistaOrLaterEh()) C->Font()->SetColor(clHighlightText);
    return;
  }
  ThemeDetails = {};
  PaintRect = Rect(0, 0, Width(), Height());
  if (FFlat) {
    if (Pressed || FState == bsHotEh || ComponentState().Contains(csDesigning)) {
      const UINT Edge = Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER;
      DrawEdge(DC, &PaintRect, Edge, BF_RECT | (FTransparent ? 0 : BF_MIDDLE));
    } else if (!FTransparent) {
      C->Brush()->SetColor(Color());
      C->FillRect(PaintRect);
    }
    InflateRect(PaintRect, -1, -1);
  } else {
    DrawFrameControl(DC, &PaintRect, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Pressed ? DFCS_PUSHED : 0));
  }
  PressOffset = Pressed ? TPoint{1, 1} : TPoint{0, 0};
}

void TCustomSpeedButtonEh::PaintForeground(const TRect& PaintRect, TPoint PressOffset,
                                           const TThemedElementDetails& ThemeDetails) {
  FButtonGlyph->SetThemeDetails(ThemeDetails);
  FButtonGlyph->SetThemesEnabled(IsStyleServicesEnabledEh());
  FButtonGlyph->SetThemeTextColor(true);
  FButtonGlyph->Draw(Canvas(), PaintRect, PressOffset);
}

bool TCustomSpeedButtonEh::clientContains(int X, int Y) {
  return X >= 0 && X < ClientWidth() && Y >= 0 && Y < ClientHeight();
}

void TCustomSpeedButtonEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (FState != bsPressedEh) {
    FState = bsPressedEh;
    Invalidate();
  }
  FLocalDragging = true;
  bool Repeat = FAutoRepeat;
  DoButtonDown(Repeat);
  if (Repeat) startRepeat(InitRepeatPauseEh);
}

void TCustomSpeedButtonEh::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FLocalDragging) {
    if (FFlat && Enabled() && !FMouseInControl) UpdateTracking();
    return;
  }
  const TButtonStateEh NewState = clientContains(X, Y) ? bsPressedEh : bsHotEh;
  if (NewState == FState) return;
  FState = NewState;
  Invalidate();
}

void TCustomSpeedButtonEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  if (!FLocalDragging) return;
  FLocalDragging = false;
  if (clientContains(X, Y)) Click();
  UpdateTracking();
  UpdateState();
}

void TCustomSpeedButtonEh::UpdateTracking() {
  if (!FFlat || !Enabled()) return;
  POINT P;
  GetCursorPos(P);
  const bool Over = FindDragTarget(P, /*AllowDisabled=*/true) == this;
  FMouseInControl = !Over;  // the notice below turns it round
  Perform(Over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
}

void TCustomSpeedButtonEh::startRepeat(Cardinal Interval) {
  if (!FRepeatTimer) {
    FRepeatTimer = new TTimer(this);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetOnTimer(TNotifyEvent(this, &TCustomSpeedButtonEh::repeatTimer));
  }
  if (FRepeatTimer->Enabled() && FRepeatTimer->Interval() == Interval) return;
  FRepeatTimer->SetEnabled(false);
  FRepeatTimer->SetInterval(Interval);
  FRepeatTimer->SetEnabled(true);
}

void TCustomSpeedButtonEh::repeatTimer(TObject*) {
  FRepeatTimer->SetInterval(RepeatIntervalEh);
  if (FState != bsPressedEh || !MouseCapture()) return;
  bool Finished = false;
  const TScopeExit StopOnFailure([&] {
    if (!Finished) FRepeatTimer->SetEnabled(false);
  });
  bool Repeat = FAutoRepeat;
  DoButtonDown(Repeat);
  Finished = true;
  // The property decides; the handler's answer is not read here.
  if (!FAutoRepeat) FRepeatTimer->SetEnabled(false);
}

void TCustomSpeedButtonEh::CMMouseEnter(TCMMouseEnter& Message) {
  TGraphicControl::CMMouseEnter(Message);
  if (Message.Control) return;
  FMouseInControl = true;
  UpdateState();
}

void TCustomSpeedButtonEh::CMMouseLeave(TCMMouseLeave& Message) {
  TGraphicControl::CMMouseLeave(Message);
  if (Message.Control) return;
  FMouseInControl = false;
  UpdateState();
}

void TCustomSpeedButtonEh::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TGraphicControl>(Message);
  FButtonGlyph->CreateButtonGlyph(Enabled() ? bsNormalEh : bsDisabledEh);
  UpdateTracking();
  UpdateState();
  Invalidate();
}

void TCustomSpeedButtonEh::CMFontChanged(TMessage& Message) {
  DispatchAs<TGraphicControl>(Message);
  Invalidate();
}

void TCustomSpeedButtonEh::CMTextChanged(TMessage& Message) {
  DispatchAs<TGraphicControl>(Message);
  Invalidate();
}

void TCustomSpeedButtonEh::CMSysColorChange(TMessage& Message) {
  DispatchAs<TGraphicControl>(Message);
  FButtonGlyph->Invalidate();
  Invalidate();
}

void TCustomSpeedButtonEh::CMDialogChar(TMessage& Message) {
  auto& Key = reinterpret_cast<TCMDialogChar&>(Message);
  if (IsAccel(Key.CharCode, Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
    Click();
    Message.Result = 1;
    return;
  }
  DispatchAs<TGraphicControl>(Message);
}

// ---------------------------------------------------------------------------
// TSpeedButtonEh

void TSpeedButtonEh::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add<TControl>("Action", &TControl::Action, &TControl::SetAction);
  Props.Add<TControl>("BiDiMode", &TControl::BiDiMode, &TControl::SetBiDiMode).Default(bdLeftToRight);
  Props.Add<TControl>("Caption", &TControl::Caption, &TControl::SetCaption);
  Props.Add<TControl>("ParentBiDiMode", &TControl::ParentBiDiMode, &TControl::SetParentBiDiMode).Default(true);
  Props.Add<TControl>("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  Props.Add<TControl>("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  Props.Add<TCustomSpeedButtonEh>("Flat", &TCustomSpeedButtonEh::Flat, &TCustomSpeedButtonEh::SetFlat)
      .Default(false);
  Props.Add<TCustomSpeedButtonEh>("Glyph", &TCustomSpeedButtonEh::Glyph, &TCustomSpeedButtonEh::SetGlyph);
  Props.Add<TCustomSpeedButtonEh>("Layout", &TCustomSpeedButtonEh::Layout, &TCustomSpeedButtonEh::SetLayout)
      .Default(blGlyphLeftEh);
  Props.Add<TCustomSpeedButtonEh>("Margin", &TCustomSpeedButtonEh::Margin, &TCustomSpeedButtonEh::SetMargin)
      .Default(-1);
  Props.Add<TCustomSpeedButtonEh>("NumGlyphs", &TCustomSpeedButtonEh::NumGlyphs,
                                  &TCustomSpeedButtonEh::SetNumGlyphs)
      .Default(1);
  Props.Add<TCustomSpeedButtonEh>("Spacing", &TCustomSpeedButtonEh::Spacing, &TCustomSpeedButtonEh::SetSpacing)
      .Default(4);
  Props.Add<TCustomSpeedButtonEh>("Transparent", &TCustomSpeedButtonEh::Transparent,
                                  &TCustomSpeedButtonEh::SetTransparent)
      .Default(true);
}
