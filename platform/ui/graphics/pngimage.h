// Pictures decoded by Qt's image readers: TPngImage (alpha kept), TGIFImage
// (the first frame) and TIcon (the first image of the file).
//
// Each keeps the bytes it was loaded from and saves them unchanged, so a
// picture passes through a blob field or a file as it came.  Loading decodes
// at once: the reader's header size is checked against the graphic limits
// before any pixels are made, and bad data raises EInvalidGraphic with the
// format's fixed message.  The pixels are a 32-bit bitmap (alpha-composited
// when the image has alpha).  None of them can be resized or made from
// other graphics.
#pragma once

#include "platform/ui/graphics/picture.h"

#include <QByteArray>

// The shared part: bytes, pixels, loading, saving and drawing.
class TReaderGraphic : public TGraphic {
  RTL_CLASS_META(TReaderGraphic, TGraphic, TGraphicClassOf<TReaderGraphic>)
public:
  ~TReaderGraphic() override;
  // A graphic of the same class: its bytes and pixels; nullptr: empty.
  void Assign(TPersistent* Source) override;

  // size (TGraphic); setting it raises EInvalidGraphicOperation
  bool Empty() const override;
  Integer Width() const override;
  void SetWidth(Integer Value) override;
  Integer Height() const override;
  void SetHeight(Integer Value) override;

  // The rest of the stream is the file (an empty rest: an empty picture).
  void LoadFromStream(TStream* Stream) override;
  // The bytes as loaded.
  void SaveToStream(TStream* Stream) override;

  // What differs between the formats.
  struct TFormat {
    const char* ReaderFormat;  // Qt's name: "png", "gif", "ico"
    const char* InvalidMessage;
    const char* ResizeMessage;
  };

protected:
  // Format must outlive the graphic (a constant of the format's unit).
  explicit TReaderGraphic(const TFormat& Format) : FFormat(Format) {}

  // Stretched into Rect.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // A bitmap destination gets the pixels (pf32bit afDefined with alpha,
  // else pfDevice).
  void AssignTo(TPersistent* Dest) override;
  // nullptr while empty.
  TBitmap* Pixels() const { return FBitmap; }

private:
  void freeBitmap();

  const TFormat& FFormat;
  QByteArray FData;
  TBitmap* FBitmap = nullptr;
};

class TPngImage : public TReaderGraphic {
  RTL_CLASS_META(TPngImage, TReaderGraphic, TGraphicClassOf<TPngImage>)
public:
  TPngImage();
  // 89 50 4E 47 0D 0A 1A 0A
  static bool CanLoadFromStream(TStream* Stream);
};

class TGIFImage : public TReaderGraphic {
  RTL_CLASS_META(TGIFImage, TReaderGraphic, TGraphicClassOf<TGIFImage>)
public:
  TGIFImage();
  // "GIF87a" or "GIF89a"
  static bool CanLoadFromStream(TStream* Stream);
};

class TIcon : public TReaderGraphic {
  RTL_CLASS_META(TIcon, TReaderGraphic, TGraphicClassOf<TIcon>)
public:
  TIcon();
  // 00 00 01 00
  static bool CanLoadFromStream(TStream* Stream);

protected:
  // At its own size, at Rect's top-left corner.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
};
