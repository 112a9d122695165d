// TBitmap: an image in memory with a pixel format, scan lines, a GDI handle
// and a canvas.
//
// Storage (QImage formats; scan lines are rows top-down, each a multiple of
// 4 bytes):
//   pfDevice          RGB32                      B,G,R,x (the device is 32-bit)
//   pf1bit            Mono, 2-colour table       bits, most significant first
//   pf4bit            Indexed8, <= 16 colours    one byte per pixel
//   pf8bit            Indexed8, colour table     palette index
//   pf15bit/pf16bit   RGB555/RGB16               0RRRRRGGGGGBBBBB / RRRRRGGGGGGBBBBB, little-endian
//   pf24bit           BGR888                     B,G,R
//   pf32bit           RGB32 (afIgnored), ARGB32 (afDefined),
//                     ARGB32_Premultiplied (afPremultiplied)      B,G,R,A
//
// The pixels live on one image surface (surface.h).  The handle and the
// canvas's memory DC draw on that surface, so drawing, ScanLine and the handle
// all see the same pixels; the surface ends its painter before any direct
// access.  Assign between bitmaps shares the pixels until either side
// writes (copy on write).
#pragma once

#include "platform/rtl/modules.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/graphics/picture.h"

#include <memory>

class QImage;
class TSurface;

RTL_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
RTL_ENUM(TAlphaFormat, afIgnored, afDefined, afPremultiplied)
RTL_ENUM(TTransparentMode, tmAuto, tmFixed)
RTL_ENUM(TBitmapHandleType, bmDIB, bmDDB)

class TBitmap : public TGraphic {
  RTL_CLASS_META(TBitmap, TGraphic, TGraphicClassOf<TBitmap>)
public:
  TBitmap();
  ~TBitmap() override;
  // "BM"
  static bool CanLoadFromStream(TStream* Stream);
  // A bitmap: shares its pixels and copies its formats, transparency and
  // resolution; another graphic: drawn on a new bitmap of its size;
  // nullptr: empty.
  void Assign(TPersistent* Source) override;

  // size (TGraphic)
  bool Empty() const override;
  Integer Width() const override;
  void SetWidth(Integer Value) override;
  Integer Height() const override;
  void SetHeight(Integer Value) override;
  // Keeps the overlapping top-left pixels; new pixels are all-zero bytes.
  void SetSize(Integer AWidth, Integer AHeight) override;

  // BMP files (bmpcodec.h); an empty bitmap writes nothing and an empty
  // stream reads as an empty bitmap
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // The bitmap resource Name (RT_BITMAP: a packed DIB) of Instance; a
  // missing one raises EResNotFound "Resource %s not found".
  void LoadFromResourceName(HMODULE Instance, const String& Name);

  // pixels
  // The row's first byte; valid until the size, format or handle changes.
  // A row outside 0 .. Height-1 raises EInvalidGraphic "Scan line index out of range".
  void* ScanLine(Integer Row);
  // Converting keeps colours: to palettes by the nearest entry, to pf1bit
  // white -> 1 and every other colour -> 0.
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);
  // Applies to pf32bit: afIgnored <-> afDefined keeps the bytes; becoming or
  // leaving afPremultiplied multiplies or divides the colours by alpha.
  TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
  void SetAlphaFormat(TAlphaFormat Value);
  // pf1bit; setting True converts, False converts a monochrome bitmap to pfDevice.
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);
  // Makes the bitmap a pf1bit mask: pixels of Color white (1), the rest black (0).
  void Mask(TColor Color);
  // The pixels (shared; copy the QImage before changing it), for codecs and
  // other graphics.
  const QImage& Image();
  // Replaces the pixels with Value (shared), the pixel format following its
  // QImage format (RGB32 gives pfDevice; formats of no pixel format are
  // converted to RGB32 or, with alpha, ARGB32).
  void SetImage(const QImage& Value);

  // transparency
  // tmAuto: the bottom-left pixel (white for pf1bit); tmFixed: the colour
  // set.  The result carries $02000000.
  TColor TransparentColor();
  // Sets tmFixed (clDefault: tmAuto).
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  // tmAuto forgets a fixed colour.
  void SetTransparentMode(TTransparentMode Value);

  // resolution, as BMP files keep it (0: not given)
  Integer XPelsPerMeter() const { return FXPelsPerMeter; }
  void SetXPelsPerMeter(Integer Value) { FXPelsPerMeter = Value; }
  Integer YPelsPerMeter() const { return FYPelsPerMeter; }
  void SetYPelsPerMeter(Integer Value) { FYPelsPerMeter = Value; }

  // handles
  // Drawing on it changes the bitmap (OnChanging/OnChange per call).
  TCanvas* Canvas();
  // A bitmap object sharing the pixels, made on demand and owned here.
  gdi::HBITMAP Handle();
  // Adopts Value (owned from now on) and its pixels; the old handle is deleted.
  void SetHandle(gdi::HBITMAP Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Hands the handle to the caller, who then owns it; the bitmap keeps a copy
  // of the pixels.
  gdi::HBITMAP ReleaseHandle();
  // Every bitmap is a DIB; setting it is accepted and changes nothing.
  TBitmapHandleType HandleType() const { return bmDIB; }
  void SetHandleType(TBitmapHandleType) {}
  bool IgnorePalette() const { return FIgnorePalette; }
  void SetIgnorePalette(bool Value) { FIgnorePalette = Value; }
  // Both free the canvas's DC and the handle; the pixels stay.
  void Dormant();
  void FreeImage();

  // events
  TNotifyEvent OnChanging;

protected:
  // Opaque copy with the canvas's CopyMode; a 32-bit bitmap with afDefined or
  // afPremultiplied is alpha-composited; a Transparent one skips the pixels
  // of TransparentColor.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  virtual void Changing(TObject* Sender);

private:
  void freeContext();
  void replaceImage(QImage Value);
  void formatFromImage();

  std::shared_ptr<TSurface> FSurface;
  gdi::HBITMAP FHandle = nullptr;
  TCanvas* FCanvas = nullptr;
  TPixelFormat FPixelFormat = pfDevice;
  TAlphaFormat FAlphaFormat = afIgnored;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  Integer FXPelsPerMeter = 0;
  Integer FYPelsPerMeter = 0;
  bool FIgnorePalette = false;
};
