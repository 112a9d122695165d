// Colours and the drawing objects of the class library: TColor and its
// routines, TGraphicsObject, TFont, TPen and TBrush.
//
// TColor is $00BBGGRR for a plain colour; $FF0000xx names system colour xx
// (resolved through the one table of gdi.h); clNone and clDefault are markers
// that ColorToRGB leaves alone.  A drawing object keeps its attributes and
// hands out a GDI handle made from them on demand; handles come from a shared
// cache, so equal objects share one handle.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/gdi.h"

// ---------------------------------------------------------------------------
// colours

using TColor = Integer;
using TColorRef = Cardinal;

inline constexpr TColor clSystemColor = TColor(0xFF000000u);

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// system colours: clSystemColor | the COLOR_* index of gdi.h
inline constexpr TColor clScrollBar = clSystemColor | gdi::COLOR_SCROLLBAR;
inline constexpr TColor clBackground = clSystemColor | gdi::COLOR_BACKGROUND;
inline constexpr TColor clActiveCaption = clSystemColor | gdi::COLOR_ACTIVECAPTION;
inline constexpr TColor clInactiveCaption = clSystemColor | gdi::COLOR_INACTIVECAPTION;
inline constexpr TColor clMenu = clSystemColor | gdi::COLOR_MENU;
inline constexpr TColor clWindow = clSystemColor | gdi::COLOR_WINDOW;
inline constexpr TColor clWindowFrame = clSystemColor | gdi::COLOR_WINDOWFRAME;
inline constexpr TColor clMenuText = clSystemColor | gdi::COLOR_MENUTEXT;
inline constexpr TColor clWindowText = clSystemColor | gdi::COLOR_WINDOWTEXT;
inline constexpr TColor clCaptionText = clSystemColor | gdi::COLOR_CAPTIONTEXT;
inline constexpr TColor clActiveBorder = clSystemColor | gdi::COLOR_ACTIVEBORDER;
inline constexpr TColor clInactiveBorder = clSystemColor | gdi::COLOR_INACTIVEBORDER;
inline constexpr TColor clAppWorkSpace = clSystemColor | gdi::COLOR_APPWORKSPACE;
inline constexpr TColor clHighlight = clSystemColor | gdi::COLOR_HIGHLIGHT;
inline constexpr TColor clHighlightText = clSystemColor | gdi::COLOR_HIGHLIGHTTEXT;
inline constexpr TColor clBtnFace = clSystemColor | gdi::COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | gdi::COLOR_BTNSHADOW;
inline constexpr TColor clGrayText = clSystemColor | gdi::COLOR_GRAYTEXT;
inline constexpr TColor clBtnText = clSystemColor | gdi::COLOR_BTNTEXT;
inline constexpr TColor clInactiveCaptionText = clSystemColor | gdi::COLOR_INACTIVECAPTIONTEXT;
inline constexpr TColor clBtnHighlight = clSystemColor | gdi::COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = clSystemColor | gdi::COLOR_3DDKSHADOW;
inline constexpr TColor cl3DLight = clSystemColor | gdi::COLOR_3DLIGHT;
inline constexpr TColor clInfoText = clSystemColor | gdi::COLOR_INFOTEXT;
inline constexpr TColor clInfoBk = clSystemColor | gdi::COLOR_INFOBK;
inline constexpr TColor clHotLight = clSystemColor | gdi::COLOR_HOTLIGHT;
inline constexpr TColor clGradientActiveCaption = clSystemColor | gdi::COLOR_GRADIENTACTIVECAPTION;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | gdi::COLOR_GRADIENTINACTIVECAPTION;
inline constexpr TColor clMenuHighlight = clSystemColor | gdi::COLOR_MENUHILIGHT;
inline constexpr TColor clMenuBar = clSystemColor | gdi::COLOR_MENUBAR;

// A system colour becomes its table value (an index past the table gives 0);
// any other value, clNone and clDefault included, is returned unchanged.
Integer ColorToRGB(TColor Color);
// The colour's identifier ("clRed", "clBtnFace") or "$" + 8 upper-case hex digits.
String ColorToString(TColor Color);
// An identifier (any case) or integer text ("$00FF00", "255"); anything else
// raises EConvertError "'%s' is not a valid integer value".
TColor StringToColor(const String& S);
bool ColorToIdent(Integer Color, String& Ident);
bool IdentToColor(const String& Ident, Integer& Color);
// The identifier table (named colours, system colours, clNone, clDefault), for
// colour properties.
TIdentMap ColorIdents();
using TGetStrProc = TMethodPtr<void(const String& S)>;
// Calls Proc with each identifier of the table, in table order.
void GetColorValues(TGetStrProc Proc);

// Hue, saturation and lightness, each 0..1, of the RGB value of Color (system
// colours resolved); HSLtoRGB rounds each channel to Round(v * 255).
void RGBtoHSL(TColor Color, float& H, float& S, float& L);
TColor HSLtoRGB(float H, float S, float L);

// ---------------------------------------------------------------------------
// drawing objects

class TBitmap;

RTL_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = TSet<TFontStyle>;
RTL_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
RTL_ENUM(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType,
         fqClearTypeNatural)
using TFontCharset = Byte;
using TFontName = String;

RTL_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle,
         psAlternate)
RTL_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
         pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
RTL_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
         bsDiagCross)

// The ROP2 code of a pen mode (pmCopy -> R2_COPYPEN ...).
Integer PenModeToRop2(TPenMode Mode);

// Base of TFont, TPen and TBrush: the change event.  OnChange fires once per
// effective change of an attribute.
class TGraphicsObject : public TPersistent {
  RTL_CLASS(TGraphicsObject, TPersistent)
public:
  TGraphicsObject() = default;

  // events
  TNotifyEvent OnChange;

  // True while a handle made from the current attributes is held.
  virtual bool HandleAllocated() const = 0;

protected:
  // Fires OnChange; descendants drop their handle first.
  virtual void Changed();
};

class TFont : public TGraphicsObject {
  RTL_CLASS(TFont, TGraphicsObject)
public:
  TFont();
  ~TFont() override;
  static void DescribeProperties(TPropertyTable& Props);
  // From a TFont: name, style, colour, charset, pitch, orientation and
  // quality; Height when both PixelsPerInch agree, else Size.
  void Assign(TPersistent* Source) override;

  // properties
  const TFontName& Name() const { return FName; }
  void SetName(const TFontName& Value);
  // Points: -MulDiv(Height, 72, PixelsPerInch).
  Integer Size() const;
  void SetSize(Integer Value);
  // Pixels; negative is the em size, positive the cell height.
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // Tenths of a degree, counter-clockwise.
  Integer Orientation() const { return FOrientation; }
  void SetOrientation(Integer Value);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality Value);
  // Changing it keeps Height; Size follows.
  Integer PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(Integer Value);
  // A handle shared by every font with the same LOGFONT data (colour is not
  // part of it).  Setting one takes over its LOGFONT data.
  gdi::HFONT Handle();
  void SetHandle(gdi::HFONT Value);
  bool HandleAllocated() const override { return FHandle != nullptr; }
  // The LOGFONT data the handle is made from.
  gdi::LOGFONTW LogFont() const;

protected:
  void Changed() override;

private:
  void releaseHandle();

  TFontName FName;
  Integer FHeight;
  TFontStyles FStyle;
  TColor FColor;
  TFontCharset FCharset;
  TFontPitch FPitch = fpDefault;
  Integer FOrientation = 0;
  TFontQuality FQuality = fqDefault;
  Integer FPixelsPerInch;
  gdi::HFONT FHandle = nullptr;
};

class TPen : public TGraphicsObject {
  RTL_CLASS(TPen, TGraphicsObject)
public:
  TPen() = default;
  ~TPen() override;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  // properties
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  // Not part of the handle: the canvas turns it into the DC's ROP2.
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  // Shared by every pen with the same colour, width and style.  Setting an
  // external pen (ExtCreatePen) adopts it: the pen deletes it when it lets
  // go of it.
  gdi::HPEN Handle();
  void SetHandle(gdi::HPEN Value);
  bool HandleAllocated() const override { return FHandle != nullptr; }

protected:
  void Changed() override;

private:
  void releaseHandle();

  TColor FColor = clBlack;
  Integer FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  gdi::HPEN FHandle = nullptr;
  bool FOwnsHandle = false;  // an adopted external handle, not from the cache
};

class TBrush : public TGraphicsObject {
  RTL_CLASS(TBrush, TGraphicsObject)
public:
  TBrush() = default;
  ~TBrush() override;
  static void DescribeProperties(TPropertyTable& Props);
  // Colour, style and bitmap.
  void Assign(TPersistent* Source) override;

  // properties
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern the brush tiles whatever its style (not owned: it must
  // outlive the brush's use); nullptr for none.  The handle copies its
  // pixels when it is made.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);
  // With a bitmap, a pattern brush of its own; else shared by every brush
  // with the same colour and style, and bsClear gives the stock null brush.
  gdi::HBRUSH Handle();
  bool HandleAllocated() const override { return FHandle != nullptr; }

protected:
  void Changed() override;

private:
  void releaseHandle();

  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
  gdi::HBRUSH FHandle = nullptr;
  bool FOwnsHandle = false;  // a pattern brush, not from the cache
};
