// TGDIPlusCanvas: fonts, measuring and drawing text, and pictures.
#include "chartlib/canvas/gdipluscanvas.h"

#include "chartlib/canvas/privatefonts.h"
#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teehtml.h"
#include "chartlib/canvas/teemodules.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/streamadapter.h"
#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/metafile.h"
#include "platform/ui/graphics/pngimage.h"

#include <algorithm>
#include <cmath>
#include <memory>

using namespace gdiplus;

namespace {

constexpr float SmallestFontSize = 0.1f;
constexpr float LargeTextSize = 20;  // from this size on default text is antialiased rather than ClearType
constexpr double PointsPerInch = 72;
constexpr ARGB TransparentWhite = 0x00FFFFFF;
constexpr TColor TransparentFlag = TColor(0x02000000);
constexpr Integer AlignRight = 2;
constexpr Integer AlignCenter = 6;
constexpr Integer AlignCenterBottom = 14;

INT gdiplusStyle(const TFontStyles& S) {
  return (S.Contains(fsBold) ? FontStyleBold : 0) | (S.Contains(fsItalic) ? FontStyleItalic : 0) |
         (S.Contains(fsUnderline) ? FontStyleUnderline : 0) | (S.Contains(fsStrikeOut) ? FontStyleStrikeout : 0);
}

bool isPrivateName(const String& Name) {
  return Name == QStringLiteral("DS-Digital") || Name == QStringLiteral("Elektra");
}

// The sizes a visible shadow and emboss add to a text: horizontal, vertical.
TPointFloat effectSizes(TTeeFont* Font) {
  TPointFloat R;
  for (TTeeShadow* S : {Font->VisibleShadow(), Font->VisibleEmboss()}) {
    if (!S) continue;
    R.x += float(std::abs(S->HorizSize()));
    R.y += float(std::abs(S->VertSize()));
  }
  return R;
}

void shadowOffset(TTeeShadow* S, float& DX, float& DY) {
  DX = float(S->HorizSize());
  DY = float(S->VertSize());
  switch (S->Direction()) {
  case sdLeftTop: DX = -DX; DY = -DY; break;
  case sdLeftBottom: DX = -DX; break;
  case sdRightTop: DY = -DY; break;
  default: break;  // right-bottom and centre
  }
}

std::unique_ptr<gdiplus::Bitmap> gpBitmap(TBitmap* B) { return std::make_unique<gdiplus::Bitmap>(B->Handle(), nullptr); }

}  // namespace

// ---------------------------------------------------------------------------
// fonts

void TGDIPlusCanvas::ApplyFont() {
  if (!FFont) return;
  float Size = std::max(SmallestFontSize, FFont->SizeFloat());
  if (Metafiling() && FCanvas) Size = Size * FFont->PixelsPerInch() / FCanvas->Font()->PixelsPerInch();
  const String Name = FFont->Name();
  if (!FGPFont || Name != IOldFont.Name || Size != IOldFont.Size || FFont->Style() != IOldFont.Style) {
    FGPFont.reset();
    const INT Style = gdiplusStyle(FFont->Style());
    if (const std::unique_ptr<FontFamily> Family = FindPrivateFamily(Name))
      FGPFont = std::make_unique<gdiplus::Font>(Family.get(), Size, Style, UnitPoint);
    else
      FGPFont = std::make_unique<gdiplus::Font>(Name.constData(), Size, Style, UnitPoint, nullptr);
    IOldFont = {Name, Size, FFont->Style()};
  }
  if (!FGraphics) return;
  switch (FFont->Quality()) {
  case tee::fqBest: SetTextHint(gpfBest); break;
  case tee::fqNormal: SetTextHint(gpfNormal); break;
  case tee::fqClearType: SetTextHint(gpfClearType); break;
  default: {
    TGDIPlusFontQuality Q = AntiAliasText();
    if (Q == gpfDefault) Q = Size < LargeTextSize ? gpfClearType : gpfBest;
    SetTextHint(Q);
  }
  }
}

std::unique_ptr<FontFamily> TGDIPlusCanvas::FindPrivateFamily(const String& Name) {
  if (!isPrivateName(Name)) return nullptr;
  if (!IPrivateFonts) {
    IPrivateFonts = std::make_unique<PrivateFontCollection>();
    LoadPrivateFonts();
  }
  std::vector<FontFamily> Families(size_t(IPrivateFonts->GetFamilyCount()));
  INT Found = 0;
  if (!Families.empty()) IPrivateFonts->GetFamilies(INT(Families.size()), Families.data(), &Found);
  for (INT I = 0; I < Found; ++I)
    if (Families[I].Name() == Name) return std::make_unique<FontFamily>(Name.constData(), IPrivateFonts.get());
  return nullptr;
}

// A program without the font resources skips them.
void TGDIPlusCanvas::LoadPrivateFonts() {
  for (const char* Resource : TeePrivateFontResources) {
    const std::unique_ptr<TStream> Stream(TeeFindResourceStream(QString::fromLatin1(Resource)));
    if (!Stream) continue;
    const TBytes Data = Stream->ReadBytes(Stream->Size() - Stream->Position());
    IPrivateFonts->AddMemoryFont(Data.data(), INT(Data.size()));
  }
}

// ---------------------------------------------------------------------------
// measuring

RectF TGDIPlusCanvas::MeasureText(const String& Text, bool Typographic) {
  RectF Box;
  gdiplus::Graphics* G = GetGraphics();
  if (G && FGPFont)
    G->MeasureString(Text.constData(), INT(Text.size()), FGPFont.get(), PointF(0, 0),
                     Typographic ? StringFormat::GenericTypographic() : nullptr, &Box);
  return Box;
}

Integer TGDIPlusCanvas::MeasureWidth(const String& Text, bool Typographic) {
  return Integer(Round(MeasureText(Text, Typographic).Width)) + Integer(effectSizes(FFont).x);
}

Integer TGDIPlusCanvas::TextWidth(const String& St) { return MeasureWidth(St, UseTypoGraphicMeasure); }

Integer TGDIPlusCanvas::TextHeight(const String& St) {
  return Integer(Round(MeasureText(St, UseTypoGraphicMeasure).Height)) + Integer(effectSizes(FFont).y);
}

TPointFloat TGDIPlusCanvas::TextSize(const String& St) {
  const RectF Box = MeasureText(St, UseTypoGraphicMeasure);
  const TPointFloat Extra = effectSizes(FFont);
  return {Box.Width + Extra.x, Box.Height + Extra.y};
}

TRect TGDIPlusCanvas::TextBounds(float X, float Y, const String& Text) {
  const TPointFloat S = TextSize(Text);
  return {Integer(Round(X)), Integer(Round(Y)), Integer(Round(X + S.x)), Integer(Round(Y + S.y))};
}

// ---------------------------------------------------------------------------
// text

std::unique_ptr<gdiplus::Brush> TGDIPlusCanvas::CreateTextBrush(TColor AColor, float X, float Y, const String& Text) {
  FBrush->SetColor(AColor);
  if (IsBrushGradientVisible()) {
    const TRect R = TextBounds(X, Y, Text);
    return CreateBrush(FBrush, {float(R.Left), float(R.Top), float(R.Right), float(R.Bottom)});
  }
  return CreatePlainBrush(FBrush, Transparency);
}

void TGDIPlusCanvas::drawPlainText(float X, float Y, const String& Text, TColor AColor) {
  FGPBrush.reset();
  FGPBrush = CreateTextBrush(AColor, X, Y, Text);
  if (gdiplus::Graphics* G = GetGraphics())
    G->DrawString(Text.constData(), INT(Text.size()), FGPFont.get(), PointF(X, Y), nullptr, FGPBrush.get());
}

void TGDIPlusCanvas::drawOutlineText(float X, float Y, const String& Text) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  FontFamily Family;
  FGPFont->GetFamily(&Family);
  GraphicsPath Path;
  Path.AddString(Text.constData(), INT(Text.size()), &Family, FGPFont->GetStyle(),
                 REAL(FGPFont->GetSize() * G->GetDpiY() / PointsPerInch), PointF(X, Y), nullptr);
  AssignVisiblePenColor(FFont->OutLine(), FFont->OutLine()->Color());
  RectF Bounds;
  Path.GetBounds(&Bounds);
  if (PreparePenFill(Bounds)) G->DrawPath(FGPPen.get(), &Path);
  // the fill covers the inner half of the outline
  FGPBrush.reset();
  FGPBrush = CreateTextBrush(FFont->Color(), X, Y, Text);
  G->FillPath(FGPBrush.get(), &Path);
}

void TGDIPlusCanvas::drawTextShadow(TTeeShadow* Shadow, float X, float Y, const String& Text) {
  if (!Shadow->Visible() || Shadow->Size() == 0) return;
  float DX, DY;
  shadowOffset(Shadow, DX, DY);
  if (FBrush->HasGradient()) FBrush->Gradient()->SetVisible(false);
  drawPlainText(X + DX, Y + DY, Text, Shadow->Color());
  if (!Shadow->Smooth() || Shadow->SmoothBlur() == 0 || !FBitmap) return;
  const TRect B = TextBounds(X + DX, Y + DY, Text);
  const TRect Inside{std::max(0, B.Left), std::max(0, B.Top), std::min(B.Right, FBitmap->Width() - 1),
                     std::min(B.Bottom, FBitmap->Height() - 1)};
  if (Inside.Left >= Inside.Right || Inside.Top >= Inside.Bottom) return;
  TBlurFilter Blur(nullptr);
  Blur.RGBA = true;
  Blur.Steps = Shadow->SmoothBlur();
  Blur.Apply(FBitmap, Inside);
}

void TGDIPlusCanvas::TextOut(Integer X, Integer Y, const String& Text) { TextOut(float(X), float(Y), Text); }

void TGDIPlusCanvas::TextOut(float X, float Y, const String& Text) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G) return;
  if (FTextAlign == AlignRight) {
    X -= MeasureWidth(Text, UseTypoGraphicMeasure);
  } else if (FTextAlign == AlignCenter) {
    X -= 0.5f * MeasureWidth(Text, UseTypoGraphicMeasure);
  } else if (FTextAlign == AlignCenterBottom) {
    const TPointFloat S = TextSize(Text);
    X -= 0.5f * S.x;
    Y -= S.y;
  }
  // the rotation goes in front of the world transform once, and the
  // transform (a group's, say) comes back afterwards
  std::unique_ptr<Matrix> Saved;
  if (ITextRotation != 0 && ITextRotation != 360) {
    PointF Centre(X, Y);
    if (IUseTextCenter)
      Centre = PointF(float(ITextCenter.X + 1), float(ITextCenter.Y));
    else if (FTextAlign == AlignCenter)
      Centre = PointF(X + 0.5f * TextWidth(Text), Y);
    Saved = std::make_unique<Matrix>();
    G->GetTransform(Saved.get());
    Matrix Rotation;
    Rotation.RotateAt(REAL(ITextRotation), Centre);
    G->MultiplyTransform(&Rotation, MatrixOrderPrepend);
  }
  const TCanvasBackMode OldMode = FBackMode;
  if (OldMode != cbmTransparent) FillRect(TextBounds(X, Y, Text));
  drawTextShadow(FFont->Shadow(), X, Y, Text);
  drawTextShadow(FFont->Emboss(), X, Y, Text);
  FBrush->Assign(FFont->Brush());
  if (FFont->HasOutLine() && FFont->OutLine()->Visible())
    drawOutlineText(X, Y, Text);
  else
    drawPlainText(X, Y, Text, FFont->Color());
  if (FBrush->HasGradient()) FBrush->Gradient()->SetVisible(false);
  if (FBrush->HasImageObject()) FBrush->SetImage(nullptr);
  SetBackMode(OldMode);
  if (Saved) G->SetTransform(Saved.get());
}

void TGDIPlusCanvas::RotateLabel(Integer X, Integer Y, const String& St, double RotDegree, bool AllowHTML) {
  ITextRotation = 360 - RotDegree;
  if (AllowHTML)
    TeeDrawHtml(this, X, Y, St);
  else
    TextOut(X, Y, St);
  ITextRotation = 0;
}

void TGDIPlusCanvas::TextOut3D(Integer X, Integer Y, Integer Z, const String& Text, bool AllowHTML) {
  Calc3DPos(X, Y, Z);
  if (AllowHTML)
    TeeDrawHtml(this, X, Y, Text);
  else
    TextOut(X, Y, Text);
}

// ---------------------------------------------------------------------------
// pictures

std::unique_ptr<gdiplus::Bitmap> TeeGPTransparentBitmap(TBitmap* Bitmap) {
  const Integer W = Bitmap->Width(), H = Bitmap->Height();
  auto Result = std::make_unique<gdiplus::Bitmap>(W, H, PixelFormat32bppARGB);
  TCanvas* Canvas = Bitmap->Canvas();
  const TColor Transparent = Bitmap->TransparentMode() == tmFixed
                                 ? TColor(Bitmap->TransparentColor() & ~TransparentFlag)
                                 : Canvas->Pixels(0, H - 1);
  for (Integer Y = 0; Y < H; ++Y)
    for (Integer X = 0; X < W; ++X) {
      const TColor C = Canvas->Pixels(X, Y);
      Result->SetPixel(X, Y, Color(C == Transparent ? TransparentWhite : TGDIPlusCanvas::ToARGB(C, 255)));
    }
  return Result;
}

std::unique_ptr<gdiplus::Image> TGDIPlusCanvas::imageOf(TGraphic* Graphic, bool Transparent) {
  if (auto* B = dynamic_cast<TBitmap*>(Graphic)) {
    if (Transparent && B->Transparent()) return TeeGPTransparentBitmap(B);
    return gpBitmap(B);
  }
  if (dynamic_cast<TMetafile*>(Graphic)) return nullptr;  // metafiles record nothing: nothing to draw
  if (auto* Icon = dynamic_cast<TIcon*>(Graphic)) {
    TBitmap Pixels;
    TeeSetBitmapSize(&Pixels, Icon->Width(), Icon->Height());
    Pixels.Canvas()->Draw(0, 0, Icon);
    return gpBitmap(&Pixels);
  }
  TMemoryStream Bytes;
  Graphic->SaveToStream(&Bytes);
  Bytes.SetPosition(0);
  TStreamAdapter Adapter(&Bytes);
  auto Decoded = std::make_unique<gdiplus::Bitmap>(static_cast<IStream*>(&Adapter));
  if (Decoded->GetLastStatus() != Ok) return nullptr;
  return Decoded;
}

void TGDIPlusCanvas::DrawImage(gdiplus::Image* Image, float X, float Y, float W, float H, bool Stretched,
                               float Angle) {
  gdiplus::Graphics* G = GetGraphics();
  if (!G || !Image) return;
  G->SetInterpolationMode(StretchDrawQuality() == sqHigh ? InterpolationModeHighQuality
                                                         : InterpolationModeNearestNeighbor);
  std::unique_ptr<ImageAttributes> Attributes;
  if (Transparency < 255) {
    ColorMatrix M = {{{1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 1}}};
    M.m[3][3] = REAL(Transparency) / 255;
    Attributes = std::make_unique<ImageAttributes>();
    Attributes->SetColorMatrix(&M);
  }
  const RectF Dest(X, Y, W, H);
  auto draw = [&] {
    if (Attributes)
      G->DrawImage(Image, Dest, 0, 0, REAL(Image->GetWidth()), REAL(Image->GetHeight()), UnitPixel,
                   Attributes.get());
    else if (Stretched || Angle != 0)
      G->DrawImage(Image, Dest);
    else
      G->DrawImage(Image, X, Y);
  };
  if (Angle == 0) {
    draw();
    return;
  }
  Matrix Rotation;
  Rotation.RotateAt(Angle, PointF(X + 0.5f * W, Y + 0.5f * H));
  Matrix Saved;
  G->GetTransform(&Saved);
  G->SetTransform(&Rotation);
  draw();
  G->SetTransform(&Saved);
}

void TGDIPlusCanvas::Draw(Integer X, Integer Y, TGraphic* Graphic) {
  if (!Graphic) return;
  const std::unique_ptr<gdiplus::Image> Image = imageOf(Graphic, /*Transparent=*/false);
  DrawImage(Image.get(), float(X), float(Y), float(Graphic->Width()), float(Graphic->Height()), false, 0);
}

void TGDIPlusCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) { StretchRotate(Rect, Graphic, 0); }

void TGDIPlusCanvas::StretchRotate(const TRect& Rect, TGraphic* Graphic, float Angle) {
  if (!Graphic) return;
  const std::unique_ptr<gdiplus::Image> Image = imageOf(Graphic, /*Transparent=*/true);
  DrawImage(Image.get(), float(Rect.Left), float(Rect.Top), float(Rect.Right - Rect.Left),
            float(Rect.Bottom - Rect.Top), true, Angle);
}

void TGDIPlusCanvas::ResizeBitmap(TBitmap* Source, TBitmap* Dest) {
  gdiplus::Graphics G(Dest->Canvas()->Handle());
  const gdiplus::Bitmap Image(Source->Handle(), nullptr);
  G.SetInterpolationMode(InterpolationModeHighQuality);
  G.DrawImage(&Image, 0, 0, Dest->Width(), Dest->Height());
}
