#include "platform/ui/graphics/jpeg.h"

#include "platform/rtl/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include <QImage>
#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstdlib>
#include <memory>

#include <jerror.h>
#include <jpeglib.h>

// The coding functions below run libjpeg, which reports errors by longjmp
// back to their setjmp.  A longjmp must cross only C frames and frames
// without objects that have destructors: so the functions that call setjmp
// keep their libjpeg state in caller-owned plain structs, throw nothing and
// answer a code; their C++ callers turn codes into exceptions.

namespace {

// Progressive files have about ten scans; a flood of tiny scans would make
// the decoder repaint the whole image for each one, for minutes.
constexpr int MaxScans = 1000;
// libjpeg's own buffers: a progressive image keeps every coefficient (two
// bytes per sample, three samples per pixel) besides the output rows.
constexpr long MaxLibraryMemory = long(MaxGraphicBytes) * 2;

// Codes besides libjpeg's message codes (which are positive).
constexpr int JpegOk = 0;
constexpr int JpegTooLarge = -1;
constexpr int JpegTooManyScans = -2;

// libjpeg's error manager and the way back to the setjmp.
struct TJpegErrors {
  jpeg_error_mgr Manager;  // first: libjpeg's err pointer points at the whole struct
  std::jmp_buf Jump;
  int Code;
};

[[noreturn]] void jumpBack(j_common_ptr Info, int Code) {
  auto* Errors = reinterpret_cast<TJpegErrors*>(Info->err);
  Errors->Code = Code;
  std::longjmp(Errors->Jump, 1);
}

void errorExit(j_common_ptr Info) { jumpBack(Info, Info->err->msg_code); }

// Warnings (level -1) report corrupt or truncated data, which is refused;
// stray bytes between markers are common in camera files and harmless.
void emitMessage(j_common_ptr Info, int Level) {
  if (Level < 0 && Info->err->msg_code != JWRN_EXTRANEOUS_DATA) jumpBack(Info, Info->err->msg_code);
}

void outputMessage(j_common_ptr) {}

void progressMonitor(j_common_ptr Info) {
  if (reinterpret_cast<j_decompress_ptr>(Info)->input_scan_number > MaxScans) jumpBack(Info, JpegTooManyScans);
}

jpeg_error_mgr* installErrors(TJpegErrors& Errors) {
  jpeg_std_error(&Errors.Manager);
  Errors.Manager.error_exit = errorExit;
  Errors.Manager.emit_message = emitMessage;
  Errors.Manager.output_message = outputMessage;
  Errors.Code = JpegOk;
  return &Errors.Manager;
}

// Zero-initialised by its owner: libjpeg's destroy calls accept a struct
// whose create failed half-way only then.
struct TDecoder {
  jpeg_decompress_struct Info;
  TJpegErrors Errors;
  jpeg_progress_mgr Progress;
};

// Reads the header of Data into Width and Height and, unless HeaderOnly,
// decodes the pixels into Out (BGR888).
int decodeJpeg(TDecoder& D, const QByteArray& Data, bool HeaderOnly, int& Width, int& Height, QImage& Out) {
  D.Info.err = installErrors(D.Errors);
  if (setjmp(D.Errors.Jump)) {
    jpeg_destroy_decompress(&D.Info);
    return D.Errors.Code;
  }
  jpeg_create_decompress(&D.Info);
  D.Info.mem->max_memory_to_use = MaxLibraryMemory;
  D.Progress.progress_monitor = progressMonitor;
  D.Info.progress = &D.Progress;
  jpeg_mem_src(&D.Info, reinterpret_cast<const unsigned char*>(Data.constData()), static_cast<unsigned long>(Data.size()));
  jpeg_read_header(&D.Info, TRUE);
  Width = int(D.Info.image_width);
  Height = int(D.Info.image_height);
  const bool Fits = GraphicSizeFits(D.Info.image_width, D.Info.image_height, 24);
  if (!Fits || HeaderOnly) {
    jpeg_destroy_decompress(&D.Info);
    return Fits ? JpegOk : JpegTooLarge;
  }
  D.Info.out_color_space = JCS_EXT_BGR;  // grey files too: libjpeg widens them
  jpeg_start_decompress(&D.Info);
  Out = QImage(Width, Height, QImage::Format_BGR888);
  if (Out.isNull()) {
    jpeg_destroy_decompress(&D.Info);
    return JpegTooLarge;
  }
  while (D.Info.output_scanline < D.Info.output_height) {
    JSAMPROW Row = Out.scanLine(int(D.Info.output_scanline));
    jpeg_read_scanlines(&D.Info, &Row, 1);
  }
  jpeg_finish_decompress(&D.Info);
  jpeg_destroy_decompress(&D.Info);
  return JpegOk;
}

// Zero-initialised by its owner, which frees Buffer (malloc'ed by libjpeg)
// whatever the outcome.
struct TEncoder {
  jpeg_compress_struct Info;
  TJpegErrors Errors;
  unsigned char* Buffer;
  unsigned long Size;
};

struct TFreeEncoder {
  void operator()(TEncoder* E) const {
    std::free(E->Buffer);
    delete E;
  }
};

// Compresses Pixels (BGR888) into E.Buffer.
int encodeJpeg(TEncoder& E, const QImage& Pixels, int Quality, bool Grayscale, bool Progressive) {
  E.Info.err = installErrors(E.Errors);
  if (setjmp(E.Errors.Jump)) {
    jpeg_destroy_compress(&E.Info);
    return E.Errors.Code;
  }
  jpeg_create_compress(&E.Info);
  jpeg_mem_dest(&E.Info, &E.Buffer, &E.Size);
  E.Info.image_width = JDIMENSION(Pixels.width());
  E.Info.image_height = JDIMENSION(Pixels.height());
  E.Info.input_components = 3;
  E.Info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&E.Info);  // YCbCr, 4:2:0
  if (Grayscale) jpeg_set_colorspace(&E.Info, JCS_GRAYSCALE);
  jpeg_set_quality(&E.Info, Quality, /*force_baseline=*/TRUE);
  if (Progressive) jpeg_simple_progression(&E.Info);
  jpeg_start_compress(&E.Info, TRUE);
  while (E.Info.next_scanline < E.Info.image_height) {
    JSAMPROW Row = const_cast<uchar*>(Pixels.constScanLine(int(E.Info.next_scanline)));
    jpeg_write_scanlines(&E.Info, &Row, 1);
  }
  jpeg_finish_compress(&E.Info);
  jpeg_destroy_compress(&E.Info);
  return JpegOk;
}

void raiseOnError(int Code, int Width, int Height) {
  switch (Code) {
    case JpegOk: return;
    case JpegTooLarge:
      CheckGraphicSize(Width, Height, 24);
      // a size within the limits that could not be allocated
      throw EOutOfResources(QStringLiteral("Out of system resources"));
    case JpegTooManyScans: throw EInvalidGraphic(QStringLiteral("JPEG image has too many scans"));
    default: throw EInvalidGraphic(QStringLiteral("JPEG error #%1").arg(Code));
  }
}

}  // namespace

TJPEGImage::~TJPEGImage() { freeBitmap(); }

bool TJPEGImage::CanLoadFromStream(TStream* Stream) { return StreamHasSignature(Stream, 0, "\xFF\xD8\xFF", 3); }

void TJPEGImage::Assign(TPersistent* Source) {
  auto* J = dynamic_cast<TJPEGImage*>(Source);
  auto* B = dynamic_cast<TBitmap*>(Source);
  if (Source && !J && !B) {
    TGraphic::Assign(Source);
    return;
  }
  if (J == this) return;
  freeBitmap();
  FData.clear();
  FWidth = FHeight = 0;
  if (J) {
    FData = J->FData;
    FQuality = J->FQuality;
    FGrayscale = J->FGrayscale;
    FProgressive = J->FProgressive;
  }
  TBitmap* Pixels = J ? J->FBitmap : B;
  if (Pixels) {
    FBitmap = new TBitmap;
    FBitmap->Assign(Pixels);
  }
  if (J) {
    FWidth = J->FWidth;
    FHeight = J->FHeight;
  } else if (B) {
    FWidth = B->Width();
    FHeight = B->Height();
  }
  Changed(this);
}

bool TJPEGImage::Empty() const { return FWidth == 0 || FHeight == 0; }

void TJPEGImage::SetWidth(Integer) {
  throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of a JPEG image"));
}

void TJPEGImage::SetHeight(Integer) {
  throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of a JPEG image"));
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  const Int64 Count = std::max<Int64>(Stream->Size() - Stream->Position(), 0);
  QByteArray Data(qsizetype(Count), Qt::Uninitialized);
  Stream->ReadBuffer(Data.data(), Count);
  int NewWidth = 0, NewHeight = 0;
  if (!Data.isEmpty()) {
    QImage Unused;
    auto Decoder = std::make_unique<TDecoder>();
    const int Code = decodeJpeg(*Decoder, Data, /*HeaderOnly=*/true, NewWidth, NewHeight, Unused);
    raiseOnError(Code, NewWidth, NewHeight);
  }
  freeBitmap();
  FData = Data;
  FWidth = NewWidth;
  FHeight = NewHeight;
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  if (FData.isEmpty() && FBitmap && !FBitmap->Empty()) {
    const QImage& Image = FBitmap->Image();
    const QImage Pixels = Image.format() == QImage::Format_BGR888 ? Image : Image.convertToFormat(QImage::Format_BGR888);
    std::unique_ptr<TEncoder, TFreeEncoder> Encoder(new TEncoder());
    raiseOnError(encodeJpeg(*Encoder, Pixels, FQuality, FGrayscale, FProgressive), FWidth, FHeight);
    FData = QByteArray(reinterpret_cast<const char*>(Encoder->Buffer), qsizetype(Encoder->Size));
  }
  Stream->WriteBuffer(FData.constData(), FData.size());
}

void TJPEGImage::SetCompressionQuality(Integer Value) {
  constexpr Integer MinQuality = 1, MaxQuality = 100;
  FQuality = std::clamp(Value, MinQuality, MaxQuality);
  compressionChanged();
}

void TJPEGImage::SetGrayscale(bool Value) {
  FGrayscale = Value;
  compressionChanged();
}

void TJPEGImage::SetProgressiveEncoding(bool Value) {
  FProgressive = Value;
  compressionChanged();
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.isEmpty()) return;
  QImage Pixels;
  int DecodedWidth = 0, DecodedHeight = 0;
  auto Decoder = std::make_unique<TDecoder>();
  const int Code = decodeJpeg(*Decoder, FData, /*HeaderOnly=*/false, DecodedWidth, DecodedHeight, Pixels);
  raiseOnError(Code, DecodedWidth, DecodedHeight);
  FBitmap = new TBitmap;
  FBitmap->SetImage(Pixels);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DIBNeeded();
  if (FBitmap) ACanvas->StretchDraw(Rect, FBitmap);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  auto* B = dynamic_cast<TBitmap*>(Dest);
  if (!B) {
    TGraphic::AssignTo(Dest);
    return;
  }
  DIBNeeded();
  B->Assign(FBitmap);
}

// Pixels that are known are compressed again with the new setting.
void TJPEGImage::compressionChanged() {
  if (FBitmap) FData.clear();
}

void TJPEGImage::freeBitmap() {
  if (FBitmap) FBitmap->Free();
  FBitmap = nullptr;
}
