// Graphics and pictures: the abstract TGraphic, TPicture that holds one
// graphic of any registered format, and the picture-format registry.
//
// A graphic class is found three ways: by file extension (LoadFromFile), by
// the signature at the start of a stream (LoadFromStream) and by class
// (Bitmap, Icon, Metafile accessors).  Its metaclass answers the signature
// test, so every graphic class joins the object model with
//
//   RTL_CLASS_META(TFoo, TGraphic, TGraphicClassOf<TFoo>)
//
// and declares a static CanLoadFromStream(TStream*).
//
// Picture bytes are untrusted (blob fields, the clipboard, files): every
// decoder checks sizes read from the data against the data, refuses images
// over the limits below and raises EInvalidGraphic with a fixed message.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/streampersist.h"
#include "platform/ui/graphics/gdi.h"

class TBitmap;
class TCanvas;
class TIcon;
class TMetafile;
class TStream;

// Bad picture data or a picture that cannot be loaded.
RTL_DECLARE_EXCEPTION(EInvalidGraphic, Exception)
// An operation the graphic's format does not allow (resizing a JPEG image).
RTL_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)

// ---------------------------------------------------------------------------
// limits for decoded images

inline constexpr Integer MaxGraphicSide = 32768;                // pixels per side
inline constexpr Int64 MaxGraphicBytes = Int64(256) * 1024 * 1024;  // pixel storage per image

// Whether a Width x Height image of BitsPerPixel, in 32-bit aligned rows,
// stays within the limits; negative sizes do not.
bool GraphicSizeFits(Int64 Width, Int64 Height, int BitsPerPixel);
// Raises EInvalidGraphic "Image is larger than 32768 pixels per side or
// 256 MB" unless the image fits.
void CheckGraphicSize(Int64 Width, Int64 Height, int BitsPerPixel);

// Whether Stream holds Signature at Offset bytes after its position; the
// position is left where it was.
bool StreamHasSignature(TStream* Stream, Int64 Offset, const char* Signature, int Length);

// ---------------------------------------------------------------------------
// graphic classes

class TGraphic;

// The metaclass of graphic classes: the class-level signature test.
class TGraphicMeta : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  // Whether the bytes at Stream's position are this class's format; the
  // position is kept.
  virtual bool CanLoadFromStream(TStream* Stream) const = 0;
  // A new, empty graphic of the class.
  TGraphic* CreateGraphic() const;
};

template <class T>
class TGraphicClassOf : public TClassOf<T, TGraphicMeta> {
public:
  using TClassOf<T, TGraphicMeta>::TClassOf;
  bool CanLoadFromStream(TStream* Stream) const override { return T::CanLoadFromStream(Stream); }
};

// The graphic metaclass of C; asserts that C is a graphic class.
const TGraphicMeta* GraphicMeta(TClass C);

// Base of every picture format.  A graphic writes its own file format to a
// stream and reads it back (IStreamPersist, so blob fields can take one);
// canvases draw it through Draw.
class TGraphic : public TPersistent, public IStreamPersist {
  RTL_CLASS_META(TGraphic, TPersistent, TGraphicClassOf<TGraphic>)
public:
  TGraphic() = default;
  // No format of its own.
  static bool CanLoadFromStream(TStream*) { return false; }

  // properties
  virtual bool Empty() const = 0;
  virtual Integer Width() const = 0;
  virtual void SetWidth(Integer Value) = 0;
  virtual Integer Height() const = 0;
  virtual void SetHeight(Integer Value) = 0;
  virtual void SetSize(Integer AWidth, Integer AHeight);
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool Modified() const { return FModified; }
  // True fires OnChange (as any change does); False only clears the flag.
  void SetModified(bool Value);
  // Every device is true colour.
  virtual gdi::HPALETTE Palette() const { return nullptr; }

  // streams and files: the graphic's own format, from and to the position
  void LoadFromStream(TStream* Stream) override = 0;
  void SaveToStream(TStream* Stream) override = 0;
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);

  // Same class and the same saved bytes (two empty graphics of one class are equal).
  virtual bool Equals(TGraphic* Graphic);

  // events
  TNotifyEvent OnChange;

protected:
  friend class TCanvas;
  // Draws the graphic into Rect (logical coordinates of ACanvas), stretched.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  // A bitmap destination gets the graphic drawn on a new bitmap of its size.
  void AssignTo(TPersistent* Dest) override;
  // Sets Modified and fires OnChange.
  virtual void Changed(TObject* Sender);

private:
  bool FTransparent = false;
  bool FModified = false;
};

// ---------------------------------------------------------------------------
// TPicture

// One graphic of any registered format, owned.  Streams hold the graphic's
// own format (IStreamPersist: blob fields take pictures as they take graphics).
class TPicture : public TPersistent, public IStreamPersist {
  RTL_CLASS(TPicture, TPersistent)
public:
  TPicture() = default;
  ~TPicture() override;
  // A picture or graphic: a copy of its graphic; nullptr: empty.
  void Assign(TPersistent* Source) override;

  // properties
  TGraphic* Graphic() const { return FGraphic; }
  // Keeps a copy of Value (a new graphic of its class); nullptr empties.
  void SetGraphic(TGraphic* Value);
  // The graphic as that class; any other graphic is first replaced by an
  // empty one of the class.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  TIcon* Icon();
  void SetIcon(TIcon* Value);
  TMetafile* Metafile();
  void SetMetafile(TMetafile* Value);
  // 0 without a graphic.
  Integer Width() const;
  Integer Height() const;

  // files and streams
  // The class comes from the extension (any case); an unregistered one raises
  // EInvalidGraphic "Unknown picture file extension (.xyz)".
  void LoadFromFile(const String& FileName);
  // In the graphic's own format; nothing without a graphic.
  void SaveToFile(const String& FileName);
  // The class comes from the signature at the position; none raises
  // EInvalidGraphic "Unsupported picture format".
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

  // format registry (process-wide; registration order is kept)
  // Extension without the dot; GraphicClass descends from TGraphic.
  static void RegisterFileFormat(const String& Extension, const String& Description, TClass GraphicClass);
  // Removes every format of GraphicClass.
  static void UnregisterGraphicClass(TClass GraphicClass);

  // events
  TNotifyEvent OnChange;

protected:
  // A graphic destination gets the picture's graphic assigned.
  void AssignTo(TPersistent* Dest) override;
  virtual void Changed(TObject* Sender);

private:
  template <class T>
  T* forceGraphic();
  // Takes NewGraphic (may be nullptr), frees the old one and fires OnChange.
  void replaceGraphic(TGraphic* NewGraphic);

  TGraphic* FGraphic = nullptr;
};

// "All (*.a;*.b)|*.a;*.b|Desc (*.a)|*.a|Desc (*.b)|*.b" over the registered
// formats whose class descends from GraphicClass; "" when there are none.
String GraphicFilter(TClass GraphicClass);
// The first registered extension of exactly GraphicClass; "" when none.
String GraphicExtension(TClass GraphicClass);
// "*.a;*.b" over the formats whose class descends from GraphicClass.
String GraphicFileMask(TClass GraphicClass);
