#include "platform/ui/graphics/imagelist.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphicsstate_p.h"
#include "platform/ui/graphics/surface.h"

#include <QImage>
#include <algorithm>
#include <optional>
#include <unordered_set>

using namespace gdi;

// The image store behind a list's handle.
struct gdi::HIMAGELIST__ {
  int Width = 0;
  int Height = 0;
  std::vector<QImage> Images;  // Width x Height, ARGB32 (straight alpha); alpha 0 = masked
  COLORREF BkColor = CLR_NONE;
};

namespace {

constexpr QRgb ColorBits = 0x00FFFFFF;
constexpr QRgb OpaqueBits = 0xFF000000;
constexpr BYTE HalfOpaque = 128;

}  // namespace

// Stores alive, so a stale handle is refused instead of read.
struct graphics_detail::TImageLists {
  std::unordered_set<HIMAGELIST> Stores;
};

namespace {

std::unordered_set<HIMAGELIST>& liveStores() { return GraphicsState().ImageLists.Get().Stores; }

HIMAGELIST__* findStore(HIMAGELIST List) { return liveStores().contains(List) ? List : nullptr; }

QRgb toQRgb(COLORREF C) { return qRgb(GetRValue(C), GetGValue(C), GetBValue(C)); }

// A colour property as the COLORREF the drawing call takes.
COLORREF drawingColor(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return COLORREF(ColorToRGB(Color)) & 0xFFFFFF;
}

// The bitmap's pixels with straight alpha: its own alpha for a 32-bit bitmap
// that has one, else opaque.
QImage straightPixels(TBitmap* Bitmap) {
  const QImage& Image = Bitmap->Image();
  if (Bitmap->PixelFormat() == pf32bit && Bitmap->AlphaFormat() != afIgnored)
    return Image.convertToFormat(QImage::Format_ARGB32);
  QImage Result = Image.depth() == 32 ? Image.copy() : Image.convertToFormat(QImage::Format_RGB32);
  Result.reinterpretAsFormat(QImage::Format_ARGB32);
  for (int Y = 0; Y < Result.height(); ++Y) {
    QRgb* Row = reinterpret_cast<QRgb*>(Result.scanLine(Y));
    for (int X = 0; X < Result.width(); ++X) Row[X] |= OpaqueBits;
  }
  return Result;
}


}  // namespace

// What marks a pixel as masked when images are added.
struct TCustomImageList::TMaskRule {
  QImage MaskPixels;              // white = masked; null: no mask bitmap
  std::optional<QRgb> MaskColor;  // pixels of this colour (RGB bits) are masked
  bool MaskBottomLeft = false;    // the colour is the bottom-left pixel's
};

namespace {

// Image cut into Width x Height cells, left to right.
std::vector<QImage> cellsOf(TBitmap* Image, int Width, int Height, TCustomImageList::TMaskRule Rule) {
  std::vector<QImage> Cells;
  if (!Image || Image->Empty() || Width <= 0 || Height <= 0) return Cells;
  const QImage Pixels = straightPixels(Image);
  if (Rule.MaskBottomLeft) Rule.MaskColor = Pixels.pixel(0, Pixels.height() - 1) & ColorBits;
  const int Rows = std::min(Height, Pixels.height());
  for (int Left = 0; Left + Width <= Pixels.width(); Left += Width) {
    QImage Cell(Width, Height, QImage::Format_ARGB32);
    Cell.fill(0);
    for (int Y = 0; Y < Rows; ++Y) {
      const QRgb* Source = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y)) + Left;
      QRgb* Out = reinterpret_cast<QRgb*>(Cell.scanLine(Y));
      for (int X = 0; X < Width; ++X) {
        const int MX = Left + X;
        const bool ByMask = !Rule.MaskPixels.isNull() && MX < Rule.MaskPixels.width() && Y < Rule.MaskPixels.height() &&
                            (Rule.MaskPixels.pixel(MX, Y) & ColorBits) == ColorBits;
        const bool ByColor = Rule.MaskColor && (Source[X] & ColorBits) == *Rule.MaskColor;
        Out[X] = ByMask || ByColor ? 0 : Source[X];
      }
    }
    Cells.push_back(std::move(Cell));
  }
  return Cells;
}

// Blend: the share of Fg in each unmasked pixel, in quarters (0, 1 or 2).
int blendQuarters(UINT Style) {
  if (Style & ILD_BLEND50) return 2;
  if (Style & ILD_BLEND25) return 1;
  return 0;
}

int luminance(QRgb P) { return (qRed(P) * 299 + qGreen(P) * 587 + qBlue(P) * 114) / 1000; }

// One pixel as drawn, straight alpha.
QRgb drawnPixel(QRgb P, UINT Style, int Quarters, QRgb Fg, COLORREF Fill, bool Disabled) {
  const int A = qAlpha(P);
  if (Style & ILD_MASK) return A == 0 ? 0xFFFFFFFF : OpaqueBits;
  if (A && Quarters) {
    auto mix = [&](int C, int F) { return (C * (4 - Quarters) + F * Quarters) / 4; };
    P = qRgba(mix(qRed(P), qRed(Fg)), mix(qGreen(P), qGreen(Fg)), mix(qBlue(P), qBlue(Fg)), A);
  }
  if (Disabled) {
    const int Grey = luminance(P);
    P = qRgba(Grey, Grey, Grey, A);
  }
  if (Fill == CLR_NONE) return P;
  const QRgb F = toQRgb(Fill);
  auto over = [&](int C, int B) { return (C * A + B * (255 - A)) / 255; };
  return qRgb(over(qRed(P), qRed(F)), over(qGreen(P), qGreen(F)), over(qBlue(P), qBlue(F)));
}

// Draws a store's image: the pixels as drawn, premultiplied, blended onto
// the DC (fully opaque pixels are copied exactly, masked ones leave the DC).
BOOL drawImage(HIMAGELIST__& Store, int Index, HDC DC, int X, int Y, int DX, int DY, COLORREF Bk, COLORREF Fg,
               UINT Style, bool Disabled) {
  if (Index < 0 || Index >= int(Store.Images.size())) return 0;
  const QImage& Image = Store.Images[size_t(Index)];
  const int W = DX > 0 ? std::min(DX, Image.width()) : Image.width();
  const int H = DY > 0 ? std::min(DY, Image.height()) : Image.height();
  const COLORREF Fill = (Style & ILD_TRANSPARENT) || Disabled ? CLR_NONE : Bk == CLR_DEFAULT ? Store.BkColor : Bk;
  const QRgb Blend = toQRgb(Fg == CLR_DEFAULT ? COLORREF(ColorToRGB(clHighlight)) : Fg);
  const int Quarters = Fg == CLR_NONE ? 0 : blendQuarters(Style);

  QImage Drawn(W, H, QImage::Format_ARGB32_Premultiplied);
  for (int Row = 0; Row < H; ++Row) {
    const QRgb* Source = reinterpret_cast<const QRgb*>(Image.constScanLine(Row));
    QRgb* Out = reinterpret_cast<QRgb*>(Drawn.scanLine(Row));
    for (int Col = 0; Col < W; ++Col)
      Out[Col] = qPremultiply(drawnPixel(Source[Col], Style, Quarters, Blend, Fill, Disabled));
  }
  HDC Source = CreateSurfaceDC(std::make_shared<TSurface>(std::move(Drawn)));
  const BYTE Opacity = Disabled ? HalfOpaque : 255;
  const BOOL Result = AlphaBlend(DC, X, Y, W, H, Source, 0, 0, W, H, BLENDFUNCTION{AC_SRC_OVER, 0, Opacity, AC_SRC_ALPHA});
  DeleteDC(Source);
  return Result;
}

UINT drawingStyleFlags(TDrawingStyle Style) {
  switch (Style) {
    case dsFocus: return ILD_FOCUS;
    case dsSelected: return ILD_SELECTED;
    case dsTransparent: return ILD_TRANSPARENT;
    default: return ILD_NORMAL;
  }
}

}  // namespace

BOOL gdi::ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int DX, int DY, COLORREF Bk, COLORREF Fg,
                           UINT Style) {
  HIMAGELIST__* Store = findStore(List);
  return Store ? drawImage(*Store, Index, DC, X, Y, DX, DY, Bk, Fg, Style, /*Disabled=*/false) : 0;
}

// ---------------------------------------------------------------------------
// TChangeLink

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

void TChangeLink::SetSender(TCustomImageList* Value) {
  if (Value == FSender) return;
  if (FSender) FSender->UnRegisterChanges(this);
  if (Value) Value->RegisterChanges(this);
}

// ---------------------------------------------------------------------------
// TCustomImageList

void TCustomImageList::TDeleteStore::operator()(HIMAGELIST Store) const {
  liveStores().erase(Store);
  delete Store;
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() {
  while (!FLinks.empty()) UnRegisterChanges(FLinks.back());
  freeStrips();
}

void TCustomImageList::DescribeProperties(TPropertyTable& Props) {
  Props.Add("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor).Idents(ColorIdents()).Default(clNone);
  Props.Add("BlendColor", &TCustomImageList::BlendColor, &TCustomImageList::SetBlendColor)
      .Idents(ColorIdents())
      .Default(clNone);
  Props.Add("ColorDepth", &TCustomImageList::ColorDepth, &TCustomImageList::SetColorDepth).Default(cd32Bit);
  Props.Add("DrawingStyle", &TCustomImageList::DrawingStyle, &TCustomImageList::SetDrawingStyle).Default(dsNormal);
  Props.Add("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight).Default(16);
  Props.Add("ImageType", &TCustomImageList::ImageType, &TCustomImageList::SetImageType).Default(itImage);
  Props.Add("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked).Default(true);
  Props.Add("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth).Default(16);
}

void TCustomImageList::Assign(TPersistent* Source) {
  auto* L = dynamic_cast<TCustomImageList*>(Source);
  if (!L) {
    TComponent::Assign(Source);
    return;
  }
  if (L == this) return;
  FWidth = L->FWidth;
  FHeight = L->FHeight;
  FBkColor = L->FBkColor;
  FBlendColor = L->FBlendColor;
  FDrawingStyle = L->FDrawingStyle;
  FImageType = L->FImageType;
  FMasked = L->FMasked;
  FColorDepth = L->FColorDepth;
  HIMAGELIST__* Store = Handle();
  Store->Width = FWidth;
  Store->Height = FHeight;
  Store->BkColor = L->FStore ? L->FStore->BkColor : drawingColor(FBkColor);
  Store->Images = L->FStore ? L->FStore->Images : std::vector<QImage>();
  Change();
}

// ---------------------------------------------------------------------------
// images

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  const int First = Count();
  insertImages(First, Image, maskRule(Mask));
  return Count() > First ? First : -1;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  const int First = Count();
  insertImages(First, Image, colorRule(MaskColor));
  return Count() > First ? First : -1;
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  checkIndex(Index, Count() + 1);
  insertImages(Index, Image, maskRule(Mask));
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
  checkIndex(Index, Count() + 1);
  insertImages(Index, Image, colorRule(MaskColor));
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  replaceImage(Index, Image, maskRule(Mask));
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
  replaceImage(Index, NewImage, colorRule(MaskColor));
}

void TCustomImageList::Delete(int Index) {
  checkIndex(Index, Count());
  FStore->Images.erase(FStore->Images.begin() + Index);
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  checkIndex(CurIndex, Count());
  checkIndex(NewIndex, Count());
  if (CurIndex == NewIndex) return;
  auto Begin = FStore->Images.begin();
  if (CurIndex < NewIndex)
    std::rotate(Begin + CurIndex, Begin + CurIndex + 1, Begin + NewIndex + 1);
  else
    std::rotate(Begin + NewIndex, Begin + CurIndex, Begin + CurIndex + 1);
  Change();
}

void TCustomImageList::Clear() {
  if (!FStore) return;
  FStore->Images.clear();
  Change();
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || Index < 0 || Index >= Count()) return false;
  Image->SetSize(FWidth, FHeight);
  return ImageList_DrawEx(Handle(), Index, Image->Canvas()->Handle(), 0, 0, 0, 0, CLR_DEFAULT, CLR_DEFAULT,
                          ILD_NORMAL) != 0;
}

HBITMAP TCustomImageList::GetImageBitmap() {
  if (FImageStrip) return FImageStrip;
  const int N = Count();
  QImage Strip(N * FWidth, FHeight, QImage::Format_ARGB32);
  Strip.fill(0);
  for (int I = 0; I < N; ++I) {
    const QImage& Image = FStore->Images[size_t(I)];
    for (int Y = 0; Y < FHeight; ++Y)
      std::copy_n(reinterpret_cast<const QRgb*>(Image.constScanLine(Y)), FWidth,
                  reinterpret_cast<QRgb*>(Strip.scanLine(Y)) + I * FWidth);
  }
  FImageStrip = CreateSurfaceBitmap(std::make_shared<TSurface>(std::move(Strip)));
  return FImageStrip;
}

HBITMAP TCustomImageList::GetMaskBitmap() {
  if (FMaskStrip) return FMaskStrip;
  const int N = Count();
  QImage Strip(N * FWidth, FHeight, QImage::Format_Mono);
  Strip.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  for (int I = 0; I < N; ++I) {
    const QImage& Image = FStore->Images[size_t(I)];
    for (int Y = 0; Y < FHeight; ++Y)
      for (int X = 0; X < FWidth; ++X) Strip.setPixel(I * FWidth + X, Y, qAlpha(Image.pixel(X, Y)) == 0 ? 1 : 0);
  }
  FMaskStrip = CreateSurfaceBitmap(std::make_shared<TSurface>(std::move(Strip)));
  return FMaskStrip;
}

// ---------------------------------------------------------------------------
// drawing

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  if (!HandleAllocated()) return;
  DoDraw(Index, Canvas, X, Y, drawingStyleFlags(ADrawingStyle) | (AImageType == itMask ? ILD_MASK : 0), Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  HDC DC = Canvas->Handle();
  if (Enabled)
    ImageList_DrawEx(Handle(), Index, DC, X, Y, 0, 0, drawingColor(FBkColor), drawingColor(FBlendColor), Style);
  else
    drawImage(*FStore, Index, DC, X, Y, 0, 0, CLR_NONE, CLR_NONE, Style & ILD_MASK, /*Disabled=*/true);
}

// ---------------------------------------------------------------------------
// change links

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (Value->FSender == this) return;
  if (Value->FSender) Value->FSender->UnRegisterChanges(Value);
  Value->FSender = this;
  FLinks.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  std::erase(FLinks, Value);
  if (Value->FSender == this) Value->FSender = nullptr;
}

// ---------------------------------------------------------------------------
// properties

int TCustomImageList::Count() const { return FStore ? int(FStore->Images.size()) : 0; }

void TCustomImageList::SetWidth(Integer Value) {
  if (Value == FWidth) return;
  FWidth = Value;
  if (FStore) FStore->Width = Value;
  Clear();
}

void TCustomImageList::SetHeight(Integer Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  if (FStore) FStore->Height = Value;
  Clear();
}

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FStore) FStore->BkColor = drawingColor(Value) == CLR_DEFAULT ? CLR_NONE : drawingColor(Value);
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

void TCustomImageList::SetMasked(bool Value) { FMasked = Value; }

HIMAGELIST TCustomImageList::Handle() {
  if (!FStore) {
    FStore.reset(new HIMAGELIST__);
    FStore->Width = FWidth;
    FStore->Height = FHeight;
    FStore->BkColor = drawingColor(FBkColor) == CLR_DEFAULT ? CLR_NONE : drawingColor(FBkColor);
    liveStores().insert(FStore.get());
  }
  return FStore.get();
}

void TCustomImageList::Change() {
  freeStrips();
  for (TChangeLink* Link : std::vector<TChangeLink*>(FLinks)) Link->Change();
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// internals

TCustomImageList::TMaskRule TCustomImageList::maskRule(TBitmap* Mask) {
  TMaskRule Rule;
  if (FMasked && Mask && !Mask->Empty()) Rule.MaskPixels = Mask->Image();
  return Rule;
}

TCustomImageList::TMaskRule TCustomImageList::colorRule(TColor MaskColor) {
  TMaskRule Rule;
  if (!FMasked) return Rule;
  if (MaskColor == clDefault)
    Rule.MaskBottomLeft = true;
  else
    Rule.MaskColor = toQRgb(COLORREF(ColorToRGB(MaskColor))) & ColorBits;
  return Rule;
}

void TCustomImageList::replaceImage(int Index, TBitmap* Image, const TMaskRule& Rule) {
  checkIndex(Index, Count());
  std::vector<QImage> Cells = cellsOf(Image, FWidth, FHeight, Rule);
  if (Cells.empty()) return;
  FStore->Images[size_t(Index)] = std::move(Cells.front());
  Change();
}

void TCustomImageList::insertImages(int Index, TBitmap* Image, const TMaskRule& Rule) {
  std::vector<QImage> Cells = cellsOf(Image, FWidth, FHeight, Rule);
  if (Cells.empty()) return;
  std::vector<QImage>& Images = Handle()->Images;
  Images.insert(Images.begin() + Index, std::make_move_iterator(Cells.begin()), std::make_move_iterator(Cells.end()));
  Change();
}

void TCustomImageList::checkIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) throw EInvalidOperation(QStringLiteral("Invalid ImageList Index"));
}

void TCustomImageList::freeStrips() {
  if (FImageStrip) DeleteObject(FImageStrip);
  if (FMaskStrip) DeleteObject(FMaskStrip);
  FImageStrip = FMaskStrip = nullptr;
}
