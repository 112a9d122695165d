#include "platform/ui/graphics/metafile.h"

#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/metrics.h"

namespace {

constexpr Integer HundredthsOfMmPerInch = 2540;

const char EmfRecordType[] = "\x01\0\0\0";  // EMR_HEADER
const char EmfSignature[] = " EMF";
constexpr int EmfSignatureOffset = 40;
const char PlaceableKey[] = "\xD7\xCD\xC6\x9A";

Integer toHundredthsOfMm(Integer Pixels) {
  return MulDiv(Pixels, HundredthsOfMmPerInch, ScreenMetrics().PixelsPerInch);
}

Integer toPixels(Integer HundredthsOfMm) {
  return MulDiv(HundredthsOfMm, ScreenMetrics().PixelsPerInch, HundredthsOfMmPerInch);
}

}  // namespace

bool TMetafile::CanLoadFromStream(TStream* Stream) {
  return (StreamHasSignature(Stream, 0, EmfRecordType, 4) &&
          StreamHasSignature(Stream, EmfSignatureOffset, EmfSignature, 4)) ||
         StreamHasSignature(Stream, 0, PlaceableKey, 4);
}

void TMetafile::Assign(TPersistent* Source) {
  auto* M = dynamic_cast<TMetafile*>(Source);
  if (Source && !M) {
    TGraphic::Assign(Source);
    return;
  }
  FWidth = M ? M->FWidth : 0;
  FHeight = M ? M->FHeight : 0;
  FEnhanced = M ? M->FEnhanced : true;
  Changed(this);
}

void TMetafile::SetWidth(Integer Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  Changed(this);
}

void TMetafile::SetHeight(Integer Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed(this);
}

Integer TMetafile::MMWidth() const { return toHundredthsOfMm(FWidth); }

void TMetafile::SetMMWidth(Integer Value) { SetWidth(toPixels(Value)); }

Integer TMetafile::MMHeight() const { return toHundredthsOfMm(FHeight); }

void TMetafile::SetMMHeight(Integer Value) { SetHeight(toPixels(Value)); }

void TMetafile::SetEnhanced(bool Value) {
  if (Value == FEnhanced) return;
  FEnhanced = Value;
  Changed(this);
}

void TMetafile::LoadFromStream(TStream*) { throw EInvalidGraphic(QStringLiteral("Metafile is not valid")); }

void TMetafile::SaveToStream(TStream*) {}

void TMetafile::Draw(TCanvas*, const TRect&) {}
