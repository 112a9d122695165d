// TJPEGImage: JPEG pictures over libjpeg.
//
// An image holds compressed data (loaded, or made from its pixels when
// saved) and pixels (assigned from a bitmap, or decoded from the data at the
// first draw).  Encoding is baseline (or progressive) with libjpeg's default
// 4:2:0 sampling.  Loading reads the header at once, so a bad header or an
// image over the graphic limits fails there; the pixels are decoded once, at
// the first draw or DIBNeeded, and corrupt or truncated data fails then.
// libjpeg reports its errors (and its corrupt-data warnings) by longjmp into
// the C-only frames of jpeg.cpp; they come out as EInvalidGraphic
// "JPEG error #n", n being libjpeg's message code.
#pragma once

#include "platform/ui/graphics/picture.h"

#include <QByteArray>

class TJPEGImage : public TGraphic {
  RTL_CLASS_META(TJPEGImage, TGraphic, TGraphicClassOf<TJPEGImage>)
public:
  TJPEGImage() = default;
  ~TJPEGImage() override;
  // FF D8 FF
  static bool CanLoadFromStream(TStream* Stream);
  // A JPEG image: its data, pixels and properties; a bitmap: its pixels,
  // compressed when saved; nullptr: empty.
  void Assign(TPersistent* Source) override;

  // size (TGraphic); setting it raises EInvalidGraphicOperation "Cannot
  // change the size of a JPEG image"
  bool Empty() const override;
  Integer Width() const override { return FWidth; }
  void SetWidth(Integer Value) override;
  Integer Height() const override { return FHeight; }
  void SetHeight(Integer Value) override;

  // The rest of the stream is the JPEG data (an empty rest: an empty image).
  void LoadFromStream(TStream* Stream) override;
  // The data; pixels without data are compressed first.
  void SaveToStream(TStream* Stream) override;

  // compression (a change makes the next save compress the pixels again)
  // 1 .. 100 (90); values outside are clamped.
  Integer CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(Integer Value);
  // Writes a single grey channel (False).
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool Value);
  // Writes a progressive instead of a baseline file (False).
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool Value);

  // Decodes the data into pixels unless that has been done.
  void DIBNeeded();

protected:
  // Draws the pixels, decoding first.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // A bitmap destination gets the pixels (pf24bit).
  void AssignTo(TPersistent* Dest) override;

private:
  void compressionChanged();
  void freeBitmap();

  QByteArray FData;            // compressed; empty until loaded or saved
  TBitmap* FBitmap = nullptr;  // pixels; nullptr until assigned or decoded
  Integer FWidth = 0;
  Integer FHeight = 0;
  Integer FQuality = 90;
  bool FGrayscale = false;
  bool FProgressive = false;
};
