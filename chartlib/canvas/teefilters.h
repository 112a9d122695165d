// The image filters a filter collection can hold, their registration with
// the streaming system, the HLS colour model they use, the image control that
// shows a filtered picture, and the hook that turns gradient bitmaps.
//
// Every filter works in place on the rows of the bitmap within the inclusive
// rectangle its region gives (teefilter.h).  Channels are clamped to 0..255
// and rounded to the nearest, halves to even.  Invert, gray scale and the
// convolutions work on 32-bit rows when RGBA is set; every other filter
// switches the bitmap to 24-bit rows.  Resize, crop, rotate, mirror and tile
// work on the whole bitmap whatever the region.
//
// The filters unit starts after the canvas unit: it registers the 25 classes
// in the order of the gallery (table order below) and installs the gradient
// hook; its shutdown removes the hook and forgets the names.
#pragma once

#include "chartlib/canvas/teefilter.h"
#include "platform/rtl/units.h"
#include "platform/ui/controls/extctrls.h"

#include <initializer_list>

class TCustomTeeGradient;
class TScrollBar;

RTL_ENUM(TGrayMethod, gmSimple, gmEye, gmEye2, gmLight)
RTL_ENUM(TColorMethod, cmHue, cmLum, cmSat)
RTL_ENUM(TMirrorDirection, mdDown, mdUp, mdRight, mdLeft)

// ---------------------------------------------------------------------------
// colour model: hue, luminance and saturation 0..240, RGB 0..255

struct THLS {
  Word H = 0, L = 0, S = 0;
};
THLS TeeRGBToHLS(Byte R, Byte G, Byte B);
void TeeHLSToRGB(Integer H, Integer L, Integer S, Byte& R, Byte& G, Byte& B);

// ---------------------------------------------------------------------------
// per-pixel filters

class TInvertFilter : public TTeeFilter {
  RTL_CLASS(TInvertFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

class TGrayScaleFilter : public TTeeFilter {
  RTL_CLASS(TGrayScaleFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  TGrayMethod Method = gmSimple;
};

// The base of the filters with an amount that may be a percentage.
class TAmountFilter : public TTeeFilter {
  RTL_CLASS(TAmountFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  // A scroll bar of Amount and a "Percent" check box that sets its range.
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;

  Integer Amount = 5;
  bool Percent = true;

protected:
  // The editor's scroll bar starts at 0.
  bool IOnlyPositive = false;

private:
  Integer minimumAmount() const;
  Integer maximumAmount() const;
  void percentClicked(TObject* Sender);
  TScrollBar* IScroll = nullptr;  // the editor's, not owned
};

class TBrightnessFilter : public TAmountFilter {
  RTL_CLASS(TBrightnessFilter, TAmountFilter)
public:
  using TAmountFilter::TAmountFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
  void PrepareForGallery() override { Amount = 30; }
};

class TContrastFilter : public TAmountFilter {
  RTL_CLASS(TContrastFilter, TAmountFilter)
public:
  using TAmountFilter::TAmountFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
  void PrepareForGallery() override { Amount = 60; }
};

class TGammaCorrectionFilter : public TAmountFilter {
  RTL_CLASS(TGammaCorrectionFilter, TAmountFilter)
public:
  explicit TGammaCorrectionFilter(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

class TColorFilter : public TTeeFilter {
  RTL_CLASS(TColorFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  Integer Red = 0, Green = 0, Blue = 0;
};

class TColorReplaceFilter : public TTeeFilter {
  RTL_CLASS(TColorReplaceFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  // Its lowest byte is taken as red, the next as green, the third as blue.
  TColor Color = clWhite;
  Byte FromValue = 0, ToValue = 0;
  TColorMethod Method = cmHue;
};

class THueLumSatFilter : public TTeeFilter {
  RTL_CLASS(THueLumSatFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  Integer Hue = 0, Luminance = 0, Saturation = 0;
};

class TSepiaFilter : public TTeeFilter {
  RTL_CLASS(TSepiaFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

// ---------------------------------------------------------------------------
// neighbourhood filters

// Sharpen: -1/8 around, 2 in the centre.
class TSharpenFilter : public TConvolveFilter {
  RTL_CLASS(TSharpenFilter, TConvolveFilter)
public:
  explicit TSharpenFilter(TCollection* Collection);
  String Description() override;
};

// Emboss: a cross of -1 with 1 in the centre and on the right (the sum is -1).
class TEmbossFilter : public TConvolveFilter {
  RTL_CLASS(TEmbossFilter, TConvolveFilter)
public:
  explicit TEmbossFilter(TCollection* Collection);
  String Description() override;
};

// Antialias: the mean of the pixel, its right neighbour and the two below.
class TSoftenFilter : public TConvolveFilter {
  RTL_CLASS(TSoftenFilter, TConvolveFilter)
public:
  explicit TSoftenFilter(TCollection* Collection);
  String Description() override;
};

// Blocks of Amount pixels (a percentage of the shorter side with Percent) take
// their mean colour.  The rectangle's bottom row keeps its pixels.
class TMosaicFilter : public TAmountFilter {
  RTL_CLASS(TMosaicFilter, TAmountFilter)
public:
  explicit TMosaicFilter(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

// Stretches each channel of the interior to 0..255.
class TEqualizeFilter : public TTeeFilter {
  RTL_CLASS(TEqualizeFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

// Edge strength of the grey picture; the border of the rectangle sees zeros.
class TSobelFilter : public TTeeFilter {
  RTL_CLASS(TSobelFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

// A frame Size pixels wide, brighter at the top and left.
class TBevelFilter : public TTeeFilter {
  RTL_CLASS(TBevelFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  Integer Bright = 64;
  Integer Size = 15;
};

// Upside down within the rectangle.
class TFlipFilter : public TTeeFilter {
  RTL_CLASS(TFlipFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

// Left to right within the rectangle.
class TReverseFilter : public TTeeFilter {
  RTL_CLASS(TReverseFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  String Description() override;
};

// ---------------------------------------------------------------------------
// geometry filters

// The whole picture resampled to Width x Height.
class TResizeFilter : public TTeeFilter {
  RTL_CLASS(TResizeFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;
  void PrepareForGallery() override { Width = Height = 50; }

  Integer Width = 0, Height = 0;
};

// The part at (Left, Top) of Width x Height stretched over the whole bitmap,
// which keeps its size.
class TCropFilter : public TResizeFilter {
  RTL_CLASS(TCropFilter, TResizeFilter)
public:
  using TResizeFilter::TResizeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;
  void PrepareForGallery() override {}

  Integer Left = 0, Top = 0;
  bool Smooth = false;
};

// The middle of the rectangle enlarged by Percent.
class TZoomFilter : public TTeeFilter {
  RTL_CLASS(TZoomFilter, TTeeFilter)
public:
  explicit TZoomFilter(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;
  void PrepareForGallery() override { Percent = 60; }

  double Percent = 10;
  bool Smooth = false;
};

// The picture repeated NumCols x NumRows times.
class TTileFilter : public TTeeFilter {
  RTL_CLASS(TTileFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  Integer NumCols = 3, NumRows = 3;
};

// The picture doubled with its mirror image beside it.
class TMirrorFilter : public TTeeFilter {
  RTL_CLASS(TMirrorFilter, TTeeFilter)
public:
  explicit TMirrorFilter(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  TMirrorDirection Direction = mdDown;
};

// Turns the picture clockwise by Angle degrees (an angle above 360 is reduced
// in place); AutoSize grows the bitmap to hold it, uncovered pixels show
// BackColor (clNone: transparent).
class TRotateFilter : public TTeeFilter {
  RTL_CLASS(TRotateFilter, TTeeFilter)
public:
  using TTeeFilter::TTeeFilter;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;
  void PrepareForGallery() override { Angle = 45; }

  double Angle = 0;
  bool AutoSize = true;
  TColor BackColor = clWhite;
};

// ---------------------------------------------------------------------------
// the image control

// An image control that paints its picture through a filter collection,
// keeping the filtered bitmap until the picture or the filters change.
class TImageFiltered : public TImage {
  RTL_CLASS(TImageFiltered, TImage)
public:
  explicit TImageFiltered(TComponent* AOwner);
  ~TImageFiltered() override;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  // The bitmap to paint (owned here), or nullptr without a graphic.
  TBitmap* Filtered();

  TFilterItems* Filters() const { return FFilters; }
  // Assigns the collection and drops the cached bitmap.
  void SetFilters(TFilterItems* Value);

protected:
  void DefineProperties(TFiler* Filer) override;
  void Paint() override;

private:
  void pictureChanged(TObject* Sender);
  void filtersChanged(TObject* Sender);
  void readFilters(TReader* Reader);
  void writeFilters(TWriter* Writer);
  void dropCache();

  TFilterItems* FFilters;
  TBitmap* IFilteredPicture = nullptr;
  bool IAssigning = false;
  TNotifyEvent InheritedChanged;
};

// ---------------------------------------------------------------------------
// registry and unit

// Registers each class with the streaming system once; a name already in
// the unit's list is skipped.
void TeeRegisterFilterClasses(std::initializer_list<TClass> FilterClasses);
// The names registered so far, in order.
const std::vector<String>& TeeFilterClassNames();
// The gradient hook: turns Bitmap by the gradient's angle with a rotate
// filter, unless it holds more than $FFFFFF pixels.
void TeeRotateGradientWithFilter(TCustomTeeGradient* Gradient, TBitmap* Bitmap);

void InitializeFilters();
void FinalizeFilters();
inline constexpr TUnit FiltersUnit{"chartlib/filters", &InitializeFilters, &FinalizeFilters};
