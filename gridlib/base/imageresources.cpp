#include "gridlib/base/imageresources.h"

#include "gridlib/base/basecontrols.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/pngimage.h"

#include <cstring>

namespace {

TGridLibImageListDataMod* SharedDataMod = nullptr;
TGridLibImageResources* SharedResources = nullptr;

constexpr int BytesPerPixel = 4;

// The strip index of each item, in item order; 15 is no item's.
constexpr int ItemImageIndex[TGridLibImageResources::ItemCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                                                   10, 11, 12, 13, 14, 16, 17, 18, 19, 20};
// Items from this one on are the customize-columns dialog's, which has
// 16-pixel pictures only.
constexpr int FirstCustomizeColumnsItem = 15;

}  // namespace

// ---------------------------------------------------------------------------
// TGridLibImageListDataMod

TGridLibImageListDataMod::TGridLibImageListDataMod(TComponent* AOwner) : TDataModule(AOwner) {
  SetName(QStringLiteral("GridLibImageListDataMod"));
  imList12_12 = newList("imList12_12", 12, "GRIDLIBIMAGES12");
  imList12_12_Dis = newList("imList12_12_Dis", 12, "GRIDLIBIMAGES12DIS");
  imList16_16 = newList("imList16_16", 16, "GRIDLIBIMAGES16");
  imList16_16_Dis = newList("imList16_16_Dis", 16, "GRIDLIBIMAGES16DIS");
  imList24_24 = newList("imList24_24", 24, "GRIDLIBIMAGES24");
  imList24_24_Dis = newList("imList24_24_Dis", 24, "GRIDLIBIMAGES24DIS");
}

TImageList* TGridLibImageListDataMod::newList(const char* Name, Integer Size, const char* StripResource) {
  auto* List = new TImageList(this);
  List->SetName(QString::fromLatin1(Name));
  List->SetWidth(Size);
  List->SetHeight(Size);
  TResourceStream Strip(HInstance(), QString::fromLatin1(StripResource), RT_RCDATA);
  TPngImage Png;
  Png.LoadFromStream(&Strip);
  TBitmap Pictures;
  Pictures.Assign(&Png);
  List->Add(&Pictures, /*Mask=*/nullptr);
  return List;
}

TBitmap* TGridLibImageListDataMod::GetImageFromImageList(TCustomImageList* ImageList, Integer ImageIndex) {
  // The list owns its strip: adopt it only to take a copy of its pixels,
  // then hand it straight back.
  TBitmap Strip;
  Strip.SetHandle(ImageList->GetImageBitmap());
  Strip.ReleaseHandle();
  Strip.SetPixelFormat(pf32bit);

  const Integer Width = ImageList->Width(), Height = ImageList->Height();
  const Integer PerRow = Strip.Width() / Width;
  const Integer Top = ImageIndex / PerRow * Height;
  const Integer Left = ImageIndex % PerRow * Width;
  auto* Result = new TBitmap;
  Result->SetPixelFormat(pf32bit);
  Result->SetAlphaFormat(afDefined);
  Result->SetSize(Width, Height);
  for (Integer Y = 0; Y < Height; ++Y)
    std::memcpy(Result->ScanLine(Y), static_cast<Byte*>(Strip.ScanLine(Top + Y)) + Left * BytesPerPixel,
                std::size_t(Width) * BytesPerPixel);
  return Result;
}

// ---------------------------------------------------------------------------
// TResourceImageItemEh

TResourceImageItemEh::TResourceImageItemEh() : FStdImages(new TObjectListEh), FDisableImages(new TObjectListEh) {}

TResourceImageItemEh::~TResourceImageItemEh() {
  ClearImageList(FStdImages);
  ClearImageList(FDisableImages);
  FStdImages->Free();
  FDisableImages->Free();
}

void TResourceImageItemEh::ClearImageList(TObjectListEh* List) {
  for (Integer I = 0; I < List->Count(); ++I) List->Items(I)->Free();
  List->Clear();
}

void TResourceImageItemEh::InitGraphics(const std::vector<TGraphic*>& AStdImages,
                                        const std::vector<TGraphic*>& ADisableImages) {
  ClearImageList(FStdImages);
  ClearImageList(FDisableImages);
  for (TGraphic* G : AStdImages) FStdImages->Add(G);
  for (TGraphic* G : ADisableImages) FDisableImages->Add(G);
}

TGraphic* TResourceImageItemEh::GetGraphic(TSize MaxSize, double ScaleFactor, bool IsDisabled) {
  TObjectListEh* Images = IsDisabled ? FDisableImages : FStdImages;
  if (Images->Count() == 1) return static_cast<TGraphic*>(Images->Items(0));
  return GetImageForScale(Images, MaxSize, ScaleFactor);
}

TGraphic* TResourceImageItemEh::GetImageForScale(TObjectListEh* Images, TSize MaxSize, double ScaleFactor) {
  auto* First = static_cast<TGraphic*>(Images->Items(0));
  const Integer Target = Integer(Trunc(First->Width() * ScaleFactor));
  for (Integer I = Images->Count() - 1; I >= 1; --I) {
    auto* Image = static_cast<TGraphic*>(Images->Items(I));
    if (Image && Image->Width() <= Target && Image->Width() < MaxSize.cx) return Image;
  }
  return First;
}

// ---------------------------------------------------------------------------
// TGridLibImageResources

TGridLibImageResources::TGridLibImageResources(TGridLibImageListDataMod* DataMod) {
  auto Cut = [DataMod](TImageList* List, int Index) -> TGraphic* {
    return DataMod->GetImageFromImageList(List, Index);
  };
  for (int I = 0; I < ItemCount; ++I) {
    const int Index = ItemImageIndex[I];
    FItems[I] = new TResourceImageItemEh;
    if (I >= FirstCustomizeColumnsItem) {
      TImageList* L = DataMod->imList16_16;
      FItems[I]->InitGraphics({Cut(L, Index), Cut(L, Index), Cut(L, Index)},
                              {Cut(L, Index), Cut(L, Index), Cut(L, Index)});
    } else {
      FItems[I]->InitGraphics(
          {Cut(DataMod->imList12_12, Index), Cut(DataMod->imList16_16, Index), Cut(DataMod->imList24_24, Index)},
          {Cut(DataMod->imList12_12_Dis, Index), Cut(DataMod->imList16_16_Dis, Index),
           Cut(DataMod->imList24_24_Dis, Index)});
    }
  }
}

TGridLibImageResources::~TGridLibImageResources() {
  for (TResourceImageItemEh* Item : FItems) Item->Free();
}

// ---------------------------------------------------------------------------
// the unit

TGridLibImageListDataMod* GetGridLibImageListDataMod() { return SharedDataMod; }

TGridLibImageResources* GetGridLibImageResources() { return SharedResources; }

void InitializeGridLibImageResourcesEh() {
  SharedDataMod = new TGridLibImageListDataMod(nullptr);
  SharedResources = new TGridLibImageResources(SharedDataMod);
}

void FinalizeGridLibImageResourcesEh() {
  if (SharedResources) SharedResources->Free();
  SharedResources = nullptr;
  if (SharedDataMod) SharedDataMod->Free();
  SharedDataMod = nullptr;
}
