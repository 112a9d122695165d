// Image resources: the small pictures of the navigator buttons, the search
// panel and the customize-columns dialog, each at 12, 16 and 24 pixels with
// a disabled (greyed) look, so that a button can take the one that best fits
// its size and the screen's scale factor.
//
// The pictures come from six image strips compiled into the program
// (res/gridlibimages<size>[dis].png, drawn by tools/draw-gridlib-images),
// one row of pictures each, all in the same order:
//
//   0 navigator first   5 delete    10 search cancel   15 (unused)
//   1 prior             6 edit      11 find next       16 columns down
//   2 next              7 post      12 find prior      17 up
//   3 last              8 cancel    13 menu            18 left
//   4 insert            9 refresh   14 filter          19 right
//                                                      20 set column width
#pragma once

#include "platform/rtl/component.h"
#include "platform/ui/graphics/geometry.h"

#include <array>
#include <vector>

class TBitmap;
class TCustomImageList;
class TGraphic;
class TImageList;
class TObjectListEh;

// The six image lists the pictures are cut from.
class TGridLibImageListDataMod : public TDataModule {
  RTL_CLASS(TGridLibImageListDataMod, TDataModule)
public:
  // Makes the six lists (owned) and fills each from its strip.
  explicit TGridLibImageListDataMod(TComponent* AOwner);

  // A new 32-bit bitmap with alpha holding a copy of picture ImageIndex of
  // ImageList, cut from the list's strip; the caller owns it.
  TBitmap* GetImageFromImageList(TCustomImageList* ImageList, Integer ImageIndex);

  TImageList* imList12_12;
  TImageList* imList12_12_Dis;
  TImageList* imList16_16;
  TImageList* imList16_16_Dis;
  TImageList* imList24_24;
  TImageList* imList24_24_Dis;

private:
  TImageList* newList(const char* Name, Integer Size, const char* StripResource);
};

// One picture at several sizes, normal and disabled, smallest first.  The
// item frees its pictures.
class TResourceImageItemEh : public TPersistent {
  RTL_CLASS(TResourceImageItemEh, TPersistent)
public:
  TResourceImageItemEh();
  ~TResourceImageItemEh() override;

  // introduced virtuals
  // Frees every picture of List and empties it.
  virtual void ClearImageList(TObjectListEh* List);
  // Takes the pictures (owned from now on) in place of the ones held.
  virtual void InitGraphics(const std::vector<TGraphic*>& AStdImages, const std::vector<TGraphic*>& ADisableImages);
  // The picture for a button of at most MaxSize.cx pixels at ScaleFactor;
  // owned by the item.
  virtual TGraphic* GetGraphic(TSize MaxSize, double ScaleFactor, bool IsDisabled);
  // The largest picture after the first that is no wider than the first
  // one scaled and narrower than MaxSize.cx; else the first.
  virtual TGraphic* GetImageForScale(TObjectListEh* Images, TSize MaxSize, double ScaleFactor);

private:
  TObjectListEh* FStdImages;
  TObjectListEh* FDisableImages;
};

// The twenty image items, read-only.
class TGridLibImageResources : public TPersistent {
  RTL_CLASS(TGridLibImageResources, TPersistent)
public:
  // Cuts the items out of DataMod's lists.
  explicit TGridLibImageResources(TGridLibImageListDataMod* DataMod);
  ~TGridLibImageResources() override;

  TResourceImageItemEh* GridScrollBarNavFirstImageItem() const { return FItems[0]; }
  TResourceImageItemEh* GridScrollBarNavPriorImageItem() const { return FItems[1]; }
  TResourceImageItemEh* GridScrollBarNavNextImageItem() const { return FItems[2]; }
  TResourceImageItemEh* GridScrollBarNavLastImageItem() const { return FItems[3]; }
  TResourceImageItemEh* GridScrollBarNavInsertImageItem() const { return FItems[4]; }
  TResourceImageItemEh* GridScrollBarNavDeleteImageItem() const { return FItems[5]; }
  TResourceImageItemEh* GridScrollBarNavEditImageItem() const { return FItems[6]; }
  TResourceImageItemEh* GridScrollBarNavPostImageItem() const { return FItems[7]; }
  TResourceImageItemEh* GridScrollBarNavCancelImageItem() const { return FItems[8]; }
  TResourceImageItemEh* GridScrollBarNavRefreshImageItem() const { return FItems[9]; }
  TResourceImageItemEh* SearchPanelCancelSearchImageItem() const { return FItems[10]; }
  TResourceImageItemEh* SearchPanelFindNextImageItem() const { return FItems[11]; }
  TResourceImageItemEh* SearchPanelFindPriorImageItem() const { return FItems[12]; }
  TResourceImageItemEh* SearchPanelMenuImageItem() const { return FItems[13]; }
  TResourceImageItemEh* SearchPanelFilterImageItem() const { return FItems[14]; }
  TResourceImageItemEh* CustomizeColumnsDialogDown() const { return FItems[15]; }
  TResourceImageItemEh* CustomizeColumnsDialogUp() const { return FItems[16]; }
  TResourceImageItemEh* CustomizeColumnsDialogLeft() const { return FItems[17]; }
  TResourceImageItemEh* CustomizeColumnsDialogRight() const { return FItems[18]; }
  TResourceImageItemEh* CustomizeColumnsDialogSetColWidth() const { return FItems[19]; }

  static constexpr int ItemCount = 20;

private:
  std::array<TResourceImageItemEh*, ItemCount> FItems{};
};

// The shared image lists and items; nullptr before start-up.
TGridLibImageListDataMod* GetGridLibImageListDataMod();
TGridLibImageResources* GetGridLibImageResources();

// Start-up makes the data module, then the items; shutdown frees them in
// the opposite order.  The base unit (baseunit.h) runs both.
void InitializeGridLibImageResourcesEh();
void FinalizeGridLibImageResourcesEh();
