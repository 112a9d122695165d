// The image filter framework: filters that work on the pixel rows of a 24- or
// 32-bit bitmap, their ordered collection, and TTeePicture, a picture that
// owns such a collection and hands out the filtered copy of its graphic.
//
// A rectangle handed to a filter's Apply is inclusive: Right and Bottom are
// the last column and row it touches.  A filter's region limits it; a width
// or height of 0 reaches the bitmap's right or bottom edge.
//
// "FilterItems", the stored form of a filter collection (a picture's or an
// image control's), in the component stream's binary form:
//
//   14                      collection
//   per filter:  1          list begin
//                "ItemClass"  short string (no owner prefix: the writer's
//                             property path is cleared)
//                class name   string value
//                properties   as the writer writes them, defaults left out
//                0            end of the item
//   0                       end of the collection
//
// A reader also accepts an integer value before an item's list begin, and
// reads no filter of a class that is not registered (EClassNotFound; the
// filters read before it stay).
#pragma once

#include "chartlib/canvas/teecolors.h"
#include "platform/rtl/collection.h"
#include "platform/rtl/interfaces.h"
#include "platform/ui/graphics/picture.h"

class TBitmap;
class TControl;
class TReader;
class TWriter;

// The rectangle a filter is limited to.
class TFilterRegion : public TPersistent {
  RTL_CLASS(TFilterRegion, TPersistent)
public:
  TFilterRegion() = default;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  // (Left, Top, Left + Width, Top + Height); setting stores the four values.
  TRect Rectangle() const { return {Left, Top, Left + Width, Top + Height}; }
  void SetRectangle(const TRect& Value);

  Integer Left = 0;
  Integer Top = 0;
  Integer Width = 0;
  Integer Height = 0;
};

// What a filter's editor builds its controls with, one under the other, each
// bound to a published property of the filter by name (the filter editor
// implements it).
class IFormCreator : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{6B5E2C71-3D0A-4C2E-9F43-7A1D5C0E8B21}");
  // A check box checked as the Boolean property is; OnClick may be unassigned.
  virtual TControl* AddCheckBox(const String& PropName, const String& Caption, TNotifyEvent OnClick) = 0;
  virtual TControl* AddColor(const String& PropName, const String& Caption) = 0;
  // A combo box of the enumeration's value names.
  virtual TControl* AddCombo(const String& PropName) = 0;
  // A label and an edit of the integer property within Min .. Max.
  virtual TControl* AddInteger(const String& PropName, const String& Caption, Integer Min, Integer Max) = 0;
  // A label and a horizontal scroll bar of the integer property.
  virtual TControl* AddScroll(const String& PropName, Integer Min, Integer Max) = 0;
};

// Base of every image filter: a collection item with an Enabled switch and an
// optional region.
class TTeeFilter : public TCollectionItem {
  RTL_CLASS(TTeeFilter, TCollectionItem)
public:
  // Collection may be nullptr.
  explicit TTeeFilter(TCollection* Collection);
  ~TTeeFilter() override;
  static void DescribeProperties(TPropertyTable& Props);
  // From a filter: Enabled and Region through their setters.  Descendants
  // copy their own properties first, then call this.
  void Assign(TPersistent* Source) override;

  // introduced virtuals
  // The filter's work on the inclusive rectangle R.  The base builds the row
  // table (Lines or LinesRGBA) unless ReuseLines; descendants call it first
  // and stop when the bitmap has no rows.
  virtual void Apply(TBitmap* Bitmap, const TRect& R);
  // Builds the editing controls; the base only keeps AChanged.
  virtual void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged);
  // Shown for the filter; the base answers the class name.
  virtual String Description();
  // Sets what a gallery preview shows; nothing in the base.
  virtual void PrepareForGallery() {}

  // The whole bitmap, or the region's part of it (nothing when the region
  // starts right of or below the bitmap).
  void Apply(TBitmap* Bitmap);
  // Makes a FilterClass filter without a collection, applies it to the
  // whole bitmap and frees it, also when it fails.
  static void ApplyTo(TClass FilterClass, TBitmap* Bitmap);

  // properties
  bool Enabled() const { return FEnabled; }
  // Fires the editor's change notification on a change.
  void SetEnabled(bool Value);
  // Made on first read; nullptr frees it, another region is copied.
  TFilterRegion* Region();
  void SetRegion(TFilterRegion* Value);
  bool HasRegion() const { return FRegion != nullptr; }

  // Whether an editor offers the region.
  bool AllowRegion = true;
  // Work on 32-bit rows (LinesRGBA) instead of 24-bit rows (Lines).
  bool RGBA = false;
  // The row table of the bitmap being filtered.
  TRGBArray Lines;
  TRGBAArray LinesRGBA;

protected:
  // While true Apply keeps the row table (a filter applying itself several
  // times to one bitmap).
  bool ReuseLines = false;
  // The editor's change notification.
  TNotifyEvent FChanged;

private:
  bool FEnabled = true;
  TFilterRegion* FRegion = nullptr;
};

// The filters of a picture, applied one after the other in order.
class TFilterItems : public TOwnedCollection {
  RTL_CLASS(TFilterItems, TOwnedCollection)
public:
  explicit TFilterItems(TPersistent* AOwner);
  // From a filter collection: the items rebuilt, each of its source's class.
  void Assign(TPersistent* Source) override;

  TTeeFilter* Items(int Index) const { return static_cast<TTeeFilter*>(TCollection::Items(Index)); }
  void SetItems(int Index, TTeeFilter* Value) { SetItem(Index, Value); }
  // A new filter of FilterClass (a TTeeFilter class) in the collection.
  TTeeFilter* Add(TClass FilterClass);
  // Applies every enabled filter in order.
  void ApplyTo(TBitmap* ABitmap);
  // The "FilterItems" data (above).  Reading replaces the filters.
  void WriteData(TWriter* Writer);
  void ReadData(TReader* Reader);

  // Fired after every change of the collection.
  TNotifyEvent OnChange;
  // Set whenever the collection changes; the owner clears it once it has
  // rebuilt what depends on the filters.
  bool Changed = false;

protected:
  void Update(TCollectionItem* Item) override;
};

// A picture with a filter collection.  Filtered answers the graphic to draw.
class TTeePicture : public TPicture {
  RTL_CLASS(TTeePicture, TPicture)
public:
  TTeePicture() = default;
  ~TTeePicture() override;
  static void DescribeProperties(TPropertyTable& Props);
  // From a picture with filters: takes them over (none frees the own ones);
  // then the picture assignment.  Angle is not copied.
  void Assign(TPersistent* Source) override;

  // The graphic itself without filters or graphic and with Angle 0; else a
  // copy in a bitmap of the picture's own, with the filters applied (made
  // again on every call).  Angle changes no pixel.
  TGraphic* Filtered();
  // Fires the picture's change notification so that its owner repaints.
  void Repaint();
  // The picture holds a graphic.
  bool Valid() const { return Graphic() != nullptr; }
  // Copies AGraphic into ABitmap: an icon is drawn at its own size, any
  // other graphic assigned.
  static void AssignGraphic(TBitmap* ABitmap, TGraphic* AGraphic);

  // properties
  float Angle() const { return FAngle; }
  void SetAngle(float Value);
  // Made on first read; nullptr frees them, another collection is copied.
  TFilterItems* Filters();
  void SetFilters(TFilterItems* Value);
  bool HasFilters() const { return FFilters != nullptr; }

protected:
  // "FilterItems" when there is a filter.
  void DefineProperties(TFiler* Filer) override;

private:
  void readFilters(TReader* Reader);
  void writeFilters(TWriter* Writer);

  float FAngle = 0;
  TFilterItems* FFilters = nullptr;
  TBitmap* IBitmap = nullptr;
};

// A 3 x 3 convolution of the colour bytes.  Weights run row by row (above,
// own, below), each left, centre, right.  The border rows and columns of the
// rectangle keep their pixels.  All nine weights 1 take an integer mean;
// otherwise the weighted sum is divided by the sum of the weights (a sum of
// 0 counts as 1).
class TConvolveFilter : public TTeeFilter {
  RTL_CLASS(TConvolveFilter, TTeeFilter)
public:
  explicit TConvolveFilter(TCollection* Collection) : TTeeFilter(Collection) {}
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;

  float Weights[3][3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}};

protected:
  // While true Apply keeps the output buffer between runs.
  bool KeepBuffer = false;
  // The output buffer: one pixel per pixel of the working rectangle.
  std::vector<TRGBA> Buffer;

private:
  template <class TPixel>
  void convolve(const std::vector<TPixel*>& Rows, const TRect& R);
};

// The convolution with weights 1 and a centre of Amount, Steps times over
// the device's 32-bit rows.
class TBlurFilter : public TConvolveFilter {
  RTL_CLASS(TBlurFilter, TConvolveFilter)
public:
  explicit TBlurFilter(TCollection* Collection) : TConvolveFilter(Collection) {}
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;
  using TTeeFilter::Apply;
  void Apply(TBitmap* Bitmap, const TRect& R) override;
  void CreateEditor(IFormCreator* Creator, TNotifyEvent AChanged) override;
  String Description() override;

  // properties
  Integer Amount = 1;  // the weight of the centre pixel
  Integer Steps = 1;   // how many times the convolution runs
};
