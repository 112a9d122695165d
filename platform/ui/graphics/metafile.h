// TMetafile: the metafile class of pictures and the format registry.
//
// A metafile records drawing for playback at any size.  This class holds its
// size and kind; it records nothing yet, so it is always Empty, draws
// nothing, saves no bytes and refuses every file with EInvalidGraphic
// "Metafile is not valid".
#pragma once

#include "platform/ui/graphics/picture.h"

class TMetafile : public TGraphic {
  RTL_CLASS_META(TMetafile, TGraphic, TGraphicClassOf<TMetafile>)
public:
  TMetafile() = default;
  // An enhanced metafile (01 00 00 00, then " EMF" at offset 40) or a
  // placeable metafile (D7 CD C6 9A).
  static bool CanLoadFromStream(TStream* Stream);
  // A metafile: its size and kind; nullptr: the defaults.
  void Assign(TPersistent* Source) override;

  // size (TGraphic), in pixels
  bool Empty() const override { return true; }
  Integer Width() const override { return FWidth; }
  void SetWidth(Integer Value) override;
  Integer Height() const override { return FHeight; }
  void SetHeight(Integer Value) override;
  // The same size in 0.01 mm at the screen's PixelsPerInch.
  Integer MMWidth() const;
  void SetMMWidth(Integer Value);
  Integer MMHeight() const;
  void SetMMHeight(Integer Value);
  // Enhanced (EMF) rather than placeable Windows metafile (True).
  bool Enhanced() const { return FEnhanced; }
  void SetEnhanced(bool Value);

  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  Integer FWidth = 0;
  Integer FHeight = 0;
  bool FEnhanced = true;
};
