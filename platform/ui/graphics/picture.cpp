#include "platform/ui/graphics/picture.h"

#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphicsstate_p.h"
#include "platform/ui/graphics/jpeg.h"
#include "platform/ui/graphics/metafile.h"
#include "platform/ui/graphics/pngimage.h"

#include <QStringList>

#include <cassert>
#include <cstring>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------
// limits

bool GraphicSizeFits(Int64 Width, Int64 Height, int BitsPerPixel) {
  const bool SidesFit = Width >= 0 && Height >= 0 && Width <= MaxGraphicSide && Height <= MaxGraphicSide;
  // rows are 32-bit aligned, as QImage and BMP store them
  return SidesFit && ((Width * BitsPerPixel + 31) / 32) * 4 * Height <= MaxGraphicBytes;
}

void CheckGraphicSize(Int64 Width, Int64 Height, int BitsPerPixel) {
  if (GraphicSizeFits(Width, Height, BitsPerPixel)) return;
  throw EInvalidGraphic(QStringLiteral("Image is larger than 32768 pixels per side or 256 MB"));
}

bool StreamHasSignature(TStream* Stream, Int64 Offset, const char* Signature, int Length) {
  const Int64 Start = Stream->Position();
  QByteArray Bytes(Length, '\0');
  Stream->Seek(Start + Offset, soBeginning);
  const Integer Got = Stream->Read(Bytes.data(), Length);
  Stream->SetPosition(Start);
  return Got == Length && std::memcmp(Bytes.constData(), Signature, size_t(Length)) == 0;
}

// ---------------------------------------------------------------------------
// graphic classes

TGraphic* TGraphicMeta::CreateGraphic() const { return static_cast<TGraphic*>(Create()); }

const TGraphicMeta* GraphicMeta(TClass C) {
  const auto* Meta = dynamic_cast<const TGraphicMeta*>(C);
  assert(Meta && "not a graphic class: declare it with RTL_CLASS_META and TGraphicClassOf");
  return Meta;
}

void TGraphic::SetSize(Integer AWidth, Integer AHeight) {
  SetWidth(AWidth);
  SetHeight(AHeight);
}

void TGraphic::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&Stream);
}

void TGraphic::SaveToFile(const String& FileName) {
  TFileStream Stream(FileName, fmCreate);
  SaveToStream(&Stream);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic || Graphic->ClassType() != ClassType()) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream Mine, Theirs;
  SaveToStream(&Mine);
  Graphic->SaveToStream(&Theirs);
  return Mine.Size() == Theirs.Size() && std::memcmp(Mine.Memory(), Theirs.Memory(), size_t(Mine.Size())) == 0;
}

void TGraphic::AssignTo(TPersistent* Dest) {
  auto* Bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!Bitmap) {
    TPersistent::AssignTo(Dest);
    return;
  }
  Bitmap->Assign(nullptr);
  Bitmap->SetSize(Width(), Height());
  if (!Empty()) Bitmap->Canvas()->StretchDraw(Rect(0, 0, Width(), Height()), this);
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// format registry

namespace {

struct TFileFormat {
  String Extension;
  String Description;
  const TGraphicMeta* GraphicClass;
};

// A graphic being made: freed unless it is released to its new owner.
struct TFreeGraphic {
  void operator()(TGraphic* G) const { G->Free(); }
};
using TGraphicPtr = std::unique_ptr<TGraphic, TFreeGraphic>;

}  // namespace

struct graphics_detail::TPictureFormats {
  std::vector<TFileFormat> Formats{
      {QStringLiteral("bmp"), QStringLiteral("Bitmaps"), GraphicMeta(TBitmap::StaticClass())},
      {QStringLiteral("ico"), QStringLiteral("Icons"), GraphicMeta(TIcon::StaticClass())},
      {QStringLiteral("emf"), QStringLiteral("Enhanced Metafiles"), GraphicMeta(TMetafile::StaticClass())},
      {QStringLiteral("wmf"), QStringLiteral("Metafiles"), GraphicMeta(TMetafile::StaticClass())},
      {QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), GraphicMeta(TJPEGImage::StaticClass())},
      {QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), GraphicMeta(TJPEGImage::StaticClass())},
      {QStringLiteral("png"), QStringLiteral("Portable Network Graphics"), GraphicMeta(TPngImage::StaticClass())},
      {QStringLiteral("gif"), QStringLiteral("GIF Image"), GraphicMeta(TGIFImage::StaticClass())},
  };
};

namespace {

std::vector<TFileFormat>& fileFormats() { return GraphicsState().PictureFormats.Get().Formats; }

const TGraphicMeta* classForExtension(const String& Extension) {
  for (const TFileFormat& F : fileFormats())
    if (SameText(F.Extension, Extension)) return F.GraphicClass;
  return nullptr;
}

const TGraphicMeta* classForStream(TStream* Stream) {
  for (const TFileFormat& F : fileFormats())
    if (F.GraphicClass->CanLoadFromStream(Stream)) return F.GraphicClass;
  return nullptr;
}

}  // namespace

void TPicture::RegisterFileFormat(const String& Extension, const String& Description, TClass GraphicClass) {
  fileFormats().push_back({Extension, Description, GraphicMeta(GraphicClass)});
}

void TPicture::UnregisterGraphicClass(TClass GraphicClass) {
  std::erase_if(fileFormats(), [&](const TFileFormat& F) { return F.GraphicClass == GraphicClass; });
}

String GraphicFilter(TClass GraphicClass) {
  QStringList Masks, Entries;
  for (const TFileFormat& F : fileFormats()) {
    if (!F.GraphicClass->InheritsFrom(GraphicClass)) continue;
    const String Mask = QStringLiteral("*.") + F.Extension;
    Masks << Mask;
    Entries << F.Description + QStringLiteral(" (") + Mask + QStringLiteral(")|") + Mask;
  }
  if (Masks.isEmpty()) return String();
  const String All = Masks.join(u';');
  return QStringLiteral("All (") + All + QStringLiteral(")|") + All + u'|' + Entries.join(u'|');
}

String GraphicExtension(TClass GraphicClass) {
  for (const TFileFormat& F : fileFormats())
    if (F.GraphicClass == GraphicClass) return F.Extension;
  return String();
}

String GraphicFileMask(TClass GraphicClass) {
  QStringList Masks;
  for (const TFileFormat& F : fileFormats())
    if (F.GraphicClass->InheritsFrom(GraphicClass)) Masks << QStringLiteral("*.") + F.Extension;
  return Masks.join(u';');
}

// ---------------------------------------------------------------------------
// TPicture

TPicture::~TPicture() {
  if (FGraphic) FGraphic->Free();
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source)
    SetGraphic(nullptr);
  else if (auto* P = dynamic_cast<TPicture*>(Source))
    SetGraphic(P->FGraphic);
  else if (auto* G = dynamic_cast<TGraphic*>(Source))
    SetGraphic(G);
  else
    TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (auto* G = dynamic_cast<TGraphic*>(Dest); G && FGraphic)
    G->Assign(FGraphic);
  else
    TPersistent::AssignTo(Dest);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic) return;
  TGraphicPtr Copy;
  if (Value) {
    Copy.reset(GraphicMeta(Value->ClassType())->CreateGraphic());
    Copy->Assign(Value);
  }
  replaceGraphic(Copy.release());
}

template <class T>
T* TPicture::forceGraphic() {
  if (auto* G = dynamic_cast<T*>(FGraphic)) return G;
  auto* G = new T;
  replaceGraphic(G);
  return G;
}

TBitmap* TPicture::Bitmap() { return forceGraphic<TBitmap>(); }
void TPicture::SetBitmap(TBitmap* Value) { SetGraphic(Value); }
TIcon* TPicture::Icon() { return forceGraphic<TIcon>(); }
void TPicture::SetIcon(TIcon* Value) { SetGraphic(Value); }
TMetafile* TPicture::Metafile() { return forceGraphic<TMetafile>(); }
void TPicture::SetMetafile(TMetafile* Value) { SetGraphic(Value); }

Integer TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }

Integer TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::LoadFromFile(const String& FileName) {
  const String Extension = ExtractFileExt(FileName).mid(1);
  const TGraphicMeta* Class = classForExtension(Extension);
  if (!Class) throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(Extension));
  TGraphicPtr NewGraphic(Class->CreateGraphic());
  NewGraphic->LoadFromFile(FileName);
  replaceGraphic(NewGraphic.release());
}

void TPicture::SaveToFile(const String& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::LoadFromStream(TStream* Stream) {
  const TGraphicMeta* Class = classForStream(Stream);
  if (!Class) throw EInvalidGraphic(QStringLiteral("Unsupported picture format"));
  TGraphicPtr NewGraphic(Class->CreateGraphic());
  NewGraphic->LoadFromStream(Stream);
  replaceGraphic(NewGraphic.release());
}

void TPicture::SaveToStream(TStream* Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::replaceGraphic(TGraphic* NewGraphic) {
  TGraphic* Old = FGraphic;
  FGraphic = NewGraphic;
  if (FGraphic) FGraphic->OnChange = TNotifyEvent(this, &TPicture::Changed);
  if (Old) Old->Free();
  Changed(this);
}

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}
