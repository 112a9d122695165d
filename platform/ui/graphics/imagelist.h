// Image lists: equally sized small images (glyphs, icons) kept together and
// drawn by index, with transparency, blending and a disabled look.
//
// Each image is kept as 32-bit pixels with straight alpha; a masked pixel
// has alpha 0.  The list's handle (HIMAGELIST) is its image store, made on
// first use; ImageList_DrawEx draws from it with the original flags.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/graphics.h"

#include <memory>
#include <vector>

class TBitmap;
class TCanvas;

namespace gdi {

struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

inline constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;
inline constexpr UINT ILD_NORMAL = 0, ILD_TRANSPARENT = 1, ILD_BLEND25 = 2, ILD_FOCUS = ILD_BLEND25,
                      ILD_BLEND50 = 4, ILD_SELECTED = ILD_BLEND50, ILD_BLEND = ILD_BLEND50, ILD_MASK = 0x10;

// Draws image Index of List at (X, Y), DX x DY of it (0: the whole width or
// height).  Bk: CLR_NONE draws transparently, CLR_DEFAULT uses the list's
// background colour, another colour fills the masked pixels;
// ILD_TRANSPARENT is transparent whatever Bk says.  ILD_BLEND25 and
// ILD_BLEND50 mix each unmasked pixel with Fg (CLR_DEFAULT: clHighlight;
// CLR_NONE: no mixing): 50% gives (pixel + Fg) div 2 per channel, 25% gives
// (3 x pixel + Fg) div 4.  ILD_MASK draws the mask: white where masked,
// black elsewhere.  FALSE for a bad list, index or DC.
BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int DX, int DY, COLORREF Bk, COLORREF Fg,
                      UINT Style);

}  // namespace gdi

// The position of an image in an image list (-1: none).
using TImageIndex = Integer;
RTL_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent)
RTL_ENUM(TImageType, itImage, itMask)
RTL_ENUM(TColorDepth, cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit)

class TCustomImageList;

// Tells a client that an image list changed.  The list does not own its
// links; a link unregisters itself when freed, and the list clears Sender
// when it goes first.
class TChangeLink : public TObject {
  RTL_CLASS(TChangeLink, TObject)
public:
  TChangeLink() = default;
  ~TChangeLink() override;

  // Fires OnChange.
  virtual void Change();

  // properties
  TCustomImageList* Sender() const { return FSender; }
  // Registers with Value (and leaves the previous list).
  void SetSender(TCustomImageList* Value);

  // events
  TNotifyEvent OnChange;

private:
  friend class TCustomImageList;
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
  RTL_CLASS(TCustomImageList, TComponent)
public:
  explicit TCustomImageList(TComponent* AOwner);
  ~TCustomImageList() override;
  static void DescribeProperties(TPropertyTable& Props);
  // An image list: its images and properties.
  void Assign(TPersistent* Source) override;

  // images (a bad index raises EInvalidOperation "Invalid ImageList Index")
  // Splits Image into Width-wide images, left to right, and Mask alike (white
  // = masked; nullptr or Masked False: none masked).  A 32-bit Image with
  // alpha keeps it.  Answers the first new index, -1 when Image is narrower
  // than Width.
  int Add(TBitmap* Image, TBitmap* Mask);
  // As Add, the pixels of MaskColor masked (clDefault: the bottom-left pixel's colour).
  int AddMasked(TBitmap* Image, TColor MaskColor);
  void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
  // Replaces image Index with the first image of Image.
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
  void Delete(int Index);
  void Move(int CurIndex, int NewIndex);
  void Clear();
  // Image Index drawn (ILD_NORMAL) on Image, which becomes Width x Height;
  // False for a bad index.
  bool GetBitmap(int Index, TBitmap* Image);
  // The strip of all images, one row of Count images, as a 32-bit bitmap
  // and as its monochrome mask (1 = masked).  Owned by the list; valid
  // until it changes.
  gdi::HBITMAP GetImageBitmap();
  gdi::HBITMAP GetMaskBitmap();

  // drawing
  // With DrawingStyle and ImageType.  Disabled: the image's luminance as
  // grey, at 50% opacity.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);

  // change links
  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);

  // properties
  int Count() const;
  // Changing the size clears the list.
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value);
  // Fills masked pixels when drawn with CLR_DEFAULT (clNone: transparent).
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  // The colour of ILD_BLEND25/ILD_BLEND50 drawing (clNone: none; clDefault: clHighlight).
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  // Whether masks apply to images added from now on.
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);
  // Kept for streams; images are stored in 32 bits whatever it says.
  TColorDepth ColorDepth() const { return FColorDepth; }
  void SetColorDepth(TColorDepth Value) { FColorDepth = Value; }
  // The image store, made on demand.
  gdi::HIMAGELIST Handle();
  bool HandleAllocated() const { return FStore != nullptr; }

  // events
  TNotifyEvent OnChange;

  // How added images get their masks (imagelist.cpp).
  struct TMaskRule;

protected:
  // Tells the links, then OnChange.
  virtual void Change();
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, gdi::UINT Style, bool Enabled);

private:
  struct TDeleteStore {
    void operator()(gdi::HIMAGELIST Store) const;
  };

  // Mask (white = masked) when Masked.
  TMaskRule maskRule(TBitmap* Mask);
  // The pixels of MaskColor when Masked.
  TMaskRule colorRule(TColor MaskColor);
  void insertImages(int Index, TBitmap* Image, const TMaskRule& Rule);
  void replaceImage(int Index, TBitmap* Image, const TMaskRule& Rule);
  void checkIndex(int Index, int Limit) const;
  void freeStrips();

  std::unique_ptr<gdi::HIMAGELIST__, TDeleteStore> FStore;
  std::vector<TChangeLink*> FLinks;  // not owned
  gdi::HBITMAP FImageStrip = nullptr;
  gdi::HBITMAP FMaskStrip = nullptr;
  Integer FWidth = 16;
  Integer FHeight = 16;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  bool FMasked = true;
  TColorDepth FColorDepth = cd32Bit;
};

class TImageList : public TCustomImageList {
  RTL_CLASS(TImageList, TCustomImageList)
public:
  using TCustomImageList::TCustomImageList;
};
