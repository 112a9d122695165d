// The GDI canvas's text: plain, rotated and at a depth, with the chart
// font's shadow, emboss, outline and gradient or picture glyph fills.
//
// Plain text is one TextOutW.  The effects go through a path of the glyphs:
// the path clips the gradient or picture laid over the text box, and is
// stroked (and filled) for an outline.
#include "chartlib/canvas/teecanvas3d.h"

#include "chartlib/canvas/teeblend.h"
#include "chartlib/canvas/teefilter.h"
#include "chartlib/canvas/teehtml.h"
#include "chartlib/canvas/teeshadow.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/paths.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr gdi::BYTE OutTrueTypeOnly = 7;  // OUT_TT_ONLY_PRECIS
constexpr Integer TextAlignBottom = 8;

void textOut(gdi::HDC DC, Integer X, Integer Y, const String& Text) {
  gdi::TextOutW(DC, X, Y, Text.constData(), int(Text.size()));
}

// The alignment flags without the bottom flag, as the text box reads them.
Integer horizontalAlign(Integer Align) { return Align >= TextAlignBottom ? Align - TextAlignBottom : Align; }

// How far left of its anchor a text of width W starts.
Integer leftShift(Integer Align, Integer W) {
  switch (horizontalAlign(Align)) {
    case TeeTextAlignRight: return W;
    case TeeTextAlignCenter: return W / 2;
    default: return 0;
  }
}

gdi::LOGFONTW logFontOf(TFont* Font) {
  gdi::LOGFONTW Result;
  gdi::GetObject(Font->Handle(), sizeof(Result), &Result);
  return Result;
}

// Creates the font of LogFont and selects it into DC; on destruction the
// previous font comes back and the created one is deleted.  A font that
// cannot be created leaves the DC's font in use.
class TSelectedFont {
public:
  TSelectedFont(gdi::HDC DC, const gdi::LOGFONTW& LogFont) : FDC(DC), FFont(gdi::CreateFontIndirectW(LogFont)) {
    if (FFont) FOld = gdi::SelectObject(DC, FFont);
  }
  ~TSelectedFont() {
    if (!FFont) return;
    gdi::SelectObject(FDC, FOld);
    gdi::DeleteObject(FFont);
  }
  TSelectedFont(const TSelectedFont&) = delete;
  TSelectedFont& operator=(const TSelectedFont&) = delete;

private:
  gdi::HDC FDC;
  gdi::HFONT FFont;
  gdi::HGDIOBJ FOld = nullptr;
};

}  // namespace

gdi::BYTE TTeeCanvas3D::FontQualityByte() const {
  switch (FFont->Quality()) {
    case tee::fqBest:
    case tee::fqClearType: return gdi::ANTIALIASED_QUALITY;
    case tee::fqNormal: return gdi::NONANTIALIASED_QUALITY;
    case tee::fqDefault: break;
  }
  switch (FontQuality) {
    case tee::fqBest: return gdi::ANTIALIASED_QUALITY;
    case tee::fqNormal: return gdi::NONANTIALIASED_QUALITY;
    case tee::fqDefault: return gdi::DEFAULT_QUALITY;
    case tee::fqClearType: break;
  }
  return gdi::CLEARTYPE_QUALITY;
}

gdi::HFONT TTeeCanvas3D::SelectSizedFont(gdi::HDC DC, Integer Size) {
  gdi::LOGFONTW LogFont = logFontOf(FFont);
  LogFont.lfHeight = -MulDiv(Size, FFont->PixelsPerInch(), 72);
  LogFont.lfQuality = FontQualityByte();
  const gdi::HFONT Font = gdi::CreateFontIndirectW(LogFont);
  if (!Font) return nullptr;
  return gdi::HFONT(gdi::SelectObject(DC, Font));
}

void TTeeCanvas3D::TextOut(Integer X, Integer Y, const String& Text) {
  const gdi::HDC DC = Handle();
  const gdi::HFONT Old = SelectSizedFont(DC, FFont->Size());
  if (!Old) {
    DoTextOut(DC, X, Y, Text);
    return;
  }
  const TScopeExit Restore([&] { gdi::DeleteObject(gdi::SelectObject(DC, Old)); });
  DoTextOut(DC, X, Y, Text);
}

TRect TTeeCanvas3D::TextBox(Integer X, Integer Y, const String& Text) {
  const TPointFloat Size = TextSize(Text);
  const Integer W = Integer(Round(Size.x)), H = Integer(Round(Size.y));
  switch (horizontalAlign(TextAlign())) {
    case TeeTextAlignRight: return {X - W, Y, X, Y + H};
    case TeeTextAlignCenter: return {X - W / 2, Y, X + W / 2, Y + H};
    default: return {X, Y, X + W, Y + H};
  }
}

void TTeeCanvas3D::drawShadowText(TTeeShadow* Shadow, Integer Sign, gdi::HDC& DC, Integer& X, Integer& Y,
                                  const String& Text) {
  if (!Shadow->Visible() || (Shadow->HorizSize() == 0 && Shadow->VertSize() == 0)) return;
  // a negative size keeps the shadow at the anchor and moves the text instead
  auto Place = [Sign](Integer& Anchor, Integer Size) {
    if (Size >= 0) return Anchor + Sign * Size;
    const Integer At = Anchor;
    Anchor -= Sign * Size;
    return At;
  };
  const Integer SX = Place(X, Shadow->HorizSize()), SY = Place(Y, Shadow->VertSize());
  TTeeBlend* Blend = nullptr;
  if (Shadow->Transparency() != 0)
    Blend = BeginBlending(FSupportsAlpha ? TRect{} : TextBox(SX, SY, Text), Shadow->Transparency());
  const TScopeExit EndBlend([&] {
    if (Shadow->Transparency() != 0) EndBlending(Blend);
  });
  gdi::SetTextColor(DC, gdi::COLORREF(ColorToRGB(Shadow->Color())));
  textOut(DC, SX, SY, Text);
  if (!Shadow->Smooth() || !FBitmap) return;

  const Integer Align = TextAlign();
  const Integer W = FCanvas->TextWidth(Text), H = FCanvas->TextHeight(Text);
  const Integer BW = FBitmap->Width(), BH = FBitmap->Height();
  const Integer Left = SX - leftShift(Align, W);
  TBlurFilter Blur(nullptr);
  Blur.Steps = std::max(1, Shadow->SmoothBlur());
  Blur.Apply(FBitmap, TRect{std::min(std::max(0, Left - 1), BW - 1), std::min(std::max(0, SY), BH - 2),
                            std::min(Left + W, BW - 1), std::min(SY + H - 1, BH - 1)});
  DC = Handle();
  // the whole alignment comes back, bottom flag included
  SetTextAlign(Align);
  SetBackMode(cbmTransparent);
}

void TTeeCanvas3D::DoTextOut(gdi::HDC DC, Integer X, Integer Y, const String& Text) {
  if (FFont->HasShadow()) drawShadowText(FFont->Shadow(), 1, DC, X, Y, Text);
  if (FFont->HasEmboss()) drawShadowText(FFont->Emboss(), -1, DC, X, Y, Text);
  gdi::SetTextColor(DC, gdi::COLORREF(ColorToRGB(FFont->Color())));
  TTeeHiddenPen* OutLine = FFont->HasOutLine() && FFont->OutLine()->Visible() ? FFont->OutLine() : nullptr;
  TTeeBrush* Glyphs = FFont->Brush();
  const bool Gradient = Glyphs->IsGradientVisible();
  const bool Picture = Glyphs->HasImage();
  if (!OutLine && !Gradient && !Picture) {
    textOut(DC, X, Y, Text);
    return;
  }
  if (OutLine)
    AssignVisiblePenColor(OutLine, OutLine->Color());
  else
    FPen->SetStyle(psClear);
  FBrush->SetColor(FFont->Color());
  FBrush->SetStyle(bsSolid);
  SetBackMode(cbmTransparent);
  auto BuildPath = [&] {
    gdi::BeginPath(DC);
    textOut(DC, X, Y, Text);
    gdi::EndPath(DC);
  };
  // the glyphs' path as a clip on the stack, so that UnClip restores the
  // clip that was in force before
  auto ClipToPath = [&] { PushClipRegion(DC, gdi::PathToRegion(DC), gdi::RGN_AND); };
  BuildPath();
  bool OutLinePending = OutLine != nullptr;
  if (Gradient || Picture) {
    const bool Widen = Gradient && OutLine && OutLine->HasFill() && OutLine->Fill()->IsGradientVisible();
    if (Widen) gdi::WidenPath(DC);
    ClipToPath();
    const TRect Box = TextBox(X, Y, Text);
    if (Gradient)
      Glyphs->Gradient()->Draw(this, Box, 0);
    else
      StretchDraw(Box, Glyphs->Image()->Filtered());
    UnClipRectangle();
    if (Widen) {
      OutLinePending = false;
    } else if (OutLine) {
      BuildPath();
      FBrush->SetStyle(bsClear);
    }
  }
  if (!OutLinePending) return;
  gdi::SelectObject(DC, FCanvas->Pen()->Handle());
  gdi::SelectObject(DC, FCanvas->Brush()->Handle());
  if (FFont->Color() == clNone) {
    gdi::StrokePath(DC);
    return;
  }
  gdi::StrokeAndFillPath(DC);
  const Integer Half = OutLine->Width() / 2;
  textOut(DC, X + Half, Y + Half, Text);
}

void TTeeCanvas3D::RotateLabel(Integer X, Integer Y, const String& St, double RotDegree, bool) {
  while (RotDegree > 360) RotDegree -= 360;
  if (RotDegree == 0 && CharacterAngle == 0) {
    TextOut(X, Y, St);
    return;
  }
  gdi::LOGFONTW LogFont = logFontOf(FFont);
  LogFont.lfEscapement = gdi::LONG(Round(RotDegree * 10));
  if (CharacterAngle != 0) LogFont.lfOrientation = gdi::LONG(Round(CharacterAngle * 10));
  LogFont.lfOutPrecision = OutTrueTypeOnly;
  LogFont.lfQuality = FontQualityByte();
  const gdi::HDC DC = Handle();
  if (CharacterAngle != 0) gdi::SetGraphicsMode(DC, gdi::GM_ADVANCED);
  const TScopeExit Compatible([&] {
    if (CharacterAngle != 0) gdi::SetGraphicsMode(DC, gdi::GM_COMPATIBLE);
  });
  const TSelectedFont Font(DC, LogFont);
  if (IUseTextCenter) {
    const double T = RotDegree * 0.017453292519943295;
    const double S = std::sin(T), C = std::cos(T);
    const double DX = TextAlign() == TeeTextAlignCenter ? 0 : X - ITextCenter.X;
    const double DY = Y - ITextCenter.Y;
    X = Integer(Round(ITextCenter.X + DX * C + DY * S));
    Y = Integer(Round(ITextCenter.Y - DX * S + DY * C));
  }
  DoTextOut(DC, X, Y, St);
}

void TTeeCanvas3D::RotateLabel3D(Integer X, Integer Y, Integer Z, const String& St, double RotDegree,
                                 bool AllowHTML) {
  Calc3DPos(X, Y, Z);
  RotateLabel(X, Y, St, RotDegree, AllowHTML);
}

void TTeeCanvas3D::TextOut3D(Integer X, Integer Y, Integer Z, const String& Text, bool AllowHTML) {
  Calc3DPos(X, Y, Z);
  if (AllowHTML)
    TeeDrawHtml(this, X, Y, Text);
  else
    DoTextOut(Handle(), X, Y, Text);
}
