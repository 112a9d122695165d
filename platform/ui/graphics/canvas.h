// TCanvas: the drawing surface of the class library over a device context.
//
// A canvas draws through an HDC with the GDI rules of gdi.h.  Before each
// drawing call it selects those of its Pen, Brush and Font that changed since
// it last selected them:
//   Pen    the pen's handle; ROP2 from Pen.Mode
//   Brush  the brush's handle; bsSolid: background colour = the brush
//          colour, OPAQUE; other styles: background colour = the inverted
//          brush colour, TRANSPARENT
//   Font   the font's handle; text colour = ColorToRGB(Font.Color)
// Flat calls on Handle in between are fine: code that selects objects itself
// selects the old ones back, and the canvas re-selects only what it changed.
//
// The base class gets no handle of its own (CreateHandle does nothing):
// attach a DC with SetHandle.  Canvases of bitmaps and controls override
// CreateHandle.  Drawing without a handle raises EInvalidOperation "Canvas
// does not allow drawing".
#pragma once

#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/graphics.h"

#include <mutex>
#include <span>

class TGraphic;

RTL_ENUM(TCanvasStates, csHandleValid, csFontValid, csPenValid, csBrushValid)
using TCanvasState = TSet<TCanvasStates>;
RTL_ENUM(TCanvasOrientation, coLeftToRight, coRightToLeft)

// CopyRect modes: ternary raster operations.
using TCopyMode = Integer;
inline constexpr TCopyMode cmBlackness = TCopyMode(gdi::BLACKNESS);
inline constexpr TCopyMode cmDstInvert = TCopyMode(gdi::DSTINVERT);
inline constexpr TCopyMode cmMergeCopy = TCopyMode(gdi::MERGECOPY);
inline constexpr TCopyMode cmMergePaint = TCopyMode(gdi::MERGEPAINT);
inline constexpr TCopyMode cmNotSrcCopy = TCopyMode(gdi::NOTSRCCOPY);
inline constexpr TCopyMode cmNotSrcErase = TCopyMode(gdi::NOTSRCERASE);
inline constexpr TCopyMode cmPatCopy = TCopyMode(gdi::PATCOPY);
inline constexpr TCopyMode cmPatInvert = TCopyMode(gdi::PATINVERT);
inline constexpr TCopyMode cmPatPaint = TCopyMode(gdi::PATPAINT);
inline constexpr TCopyMode cmSrcAnd = TCopyMode(gdi::SRCAND);
inline constexpr TCopyMode cmSrcCopy = TCopyMode(gdi::SRCCOPY);
inline constexpr TCopyMode cmSrcErase = TCopyMode(gdi::SRCERASE);
inline constexpr TCopyMode cmSrcInvert = TCopyMode(gdi::SRCINVERT);
inline constexpr TCopyMode cmSrcPaint = TCopyMode(gdi::SRCPAINT);
inline constexpr TCopyMode cmWhiteness = TCopyMode(gdi::WHITENESS);

class TCanvas : public TPersistent {
  RTL_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  ~TCanvas() override;

  // shapes (GDI rules: right and bottom exclusive)
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void ArcTo(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& Rect);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& Rect);
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Polygon(std::span<const TPoint> Points);
  void Polyline(std::span<const TPoint> Points);
  void MoveTo(int X, int Y);
  // To (X, Y), leaving out that point, which becomes PenPos.
  void LineTo(int X, int Y);
  // Brush only, no pen.
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  // Inverts every other pixel of the frame; twice restores.
  void DrawFocusRect(const TRect& Rect);
  // StretchBlt from Canvas with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Deselects the canvas's objects from the DC; the next call selects them again.
  void Refresh();

  // graphics (a picture format draws itself; background colour = the brush
  // colour and text colour = the font colour, for monochrome bitmaps)
  // At the graphic's own size; nothing for nullptr or an empty graphic.
  void Draw(int X, int Y, TGraphic* Graphic);
  // Stretched into Rect; nothing for nullptr.
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);

  // text (through the text engine)
  // ExtTextOut with TextFlags at (X, Y); PenPos moves to (X + width, Y).
  void TextOut(int X, int Y, const String& Text);
  // Clipped to Rect; the brush fills Rect unless bsClear.
  void TextRect(const TRect& Rect, int X, int Y, const String& Text);
  TSize TextExtent(const String& Text);
  int TextWidth(const String& Text);
  int TextHeight(const String& Text);

  // locking (recursive, per canvas; for canvases shared between threads)
  void Lock();
  bool TryLock();
  void Unlock();
  int LockCount() const { return FLockCount; }

  // properties
  // Getting it makes one through CreateHandle and selects Font, Pen and
  // Brush; setting attaches an external DC (not owned), 0 detaches.
  gdi::HDC Handle();
  void SetHandle(gdi::HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Owned; setting one assigns its attributes.
  TPen* Pen() const { return FPen; }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush; }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPoint PenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  // CLR_INVALID (as a TColor: -1) outside the surface or clip.
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);
  // The clip box in logical coordinates.
  TRect ClipRect();
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  // ETO_* options added to every text output; they stay until changed.
  Integer TextFlags() const { return FTextFlags; }
  void SetTextFlags(Integer Value) { FTextFlags = Value; }
  // From the DC's layout.
  TCanvasOrientation CanvasOrientation();

  // events
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  virtual void Changed();
  virtual void Changing();
  // Makes a DC and attaches it with SetHandle; the base class has none.
  virtual void CreateHandle();
  // Makes sure the handle exists and the listed objects are selected.
  void RequiredState(TCanvasState ReqState);
  // Selects stock objects back into the DC.
  void DeselectHandles();

  TCanvasState State;

private:
  void fontChanged(TObject* Sender);
  void penChanged(TObject* Sender);
  void brushChanged(TObject* Sender);
  void selectFont();
  void selectPen();
  void selectBrush();

  gdi::HDC FHandle = nullptr;
  TFont* FFont;
  TPen* FPen;
  TBrush* FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  Integer FTextFlags = 0;
  std::recursive_mutex FLock;
  int FLockCount = 0;
};
