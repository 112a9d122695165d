// TTeeFont: the font of every chart text.  The platform font plus a
// fractional size, character spacing, a fill brush (gradient, picture), an
// outline pen, a shadow, an emboss, a depth for 3D text and a rendering
// quality.  Its defaults come from the canvas unit (TeeDefaultFontName and
// TeeDefaultFontSize), and it streams only what differs from them.
#pragma once

#include "chartlib/canvas/teepen.h"
#include "chartlib/canvas/teeshadow.h"

class TTeeEmboss;
class TTeeGradient;
class TTeeHiddenPen;
class TTeePicture;

// The chart's rendering quality; the platform font's quality enumeration
// has the same name, hence the namespace.
namespace tee {
RTL_ENUM(TFontQuality, fqBest, fqNormal, fqDefault, fqClearType)
}  // namespace tee

class TTeeFont : public TFont {
  RTL_CLASS(TTeeFont, TFont)
public:
  explicit TTeeFont(TNotifyEvent ChangedEvent);
  ~TTeeFont() override;
  static void DescribeProperties(TPropertyTable& Props);
  // From a chart font: brush, default flag, depth, spacing, quality, size
  // fraction, and the emboss, outline and shadow (a source without one frees
  // the own); then the platform font's assignment.
  void Assign(TPersistent* Source) override;

  // Set value and default together without an event.
  void InitColor(TColor AColor);
  void InitStyle(TFontStyles AStyle);

  // properties
  TTeeBrush* Brush() const { return FBrush; }
  void SetBrush(TTeeBrush* Value) { FBrush->Assign(Value); }
  bool DefaultFont() const { return FDefault; }
  void SetDefaultFont(bool Value);
  double Depth() const { return FDepth; }
  void SetDepth(double Value);
  // Made on first read with the font's change event; nullptr frees them,
  // another object is copied.
  TTeeEmboss* Emboss();
  void SetEmboss(TTeeEmboss* Value);
  bool HasEmboss() const { return FEmboss != nullptr; }
  TTeeHiddenPen* OutLine();
  void SetOutLine(TTeeHiddenPen* Value);
  bool HasOutLine() const { return FOutLine != nullptr; }
  TTeeShadow* Shadow();
  void SetShadow(TTeeShadow* Value);
  bool HasShadow() const { return FShadow != nullptr; }
  TTeeGradient* Gradient() const;
  void SetGradient(TTeeGradient* Value);
  TTeePicture* Picture() const;
  void SetPicture(TTeePicture* Value);
  Integer InterCharSize() const { return FInterCharSize; }
  void SetInterCharSize(Integer Value);
  tee::TFontQuality Quality() const { return FQuality; }
  void SetQuality(tee::TFontQuality Value);
  // Size + fraction; setting changes the integer size (and fires) only when
  // the integer part changes.
  float SizeFloat() const { return float(Size()) + FSizeDecimals; }
  void SetSizeFloat(float Value);

  // The visible shadow or emboss, or nullptr (text sizes grow by them).
  TTeeShadow* VisibleShadow() const;
  TTeeShadow* VisibleEmboss() const;

private:
  template <class T>
  void setValue(T& Field, T Value);
  bool isColorStored() const { return Color() != IDefColor; }
  bool isHeightStored() const;
  bool isNameStored() const;
  bool isSizeFloatStored() const { return FSizeDecimals != 0; }
  bool isStyleStored() const { return Style() != IDefStyle; }

  TTeeBrush* FBrush;
  float FSizeDecimals = 0;
  bool FDefault = false;
  double FDepth = 0;
  Integer FInterCharSize = 0;
  TTeeHiddenPen* FOutLine = nullptr;
  tee::TFontQuality FQuality = tee::fqDefault;
  TColor IDefColor = clBlack;
  TFontStyles IDefStyle;
  TTeeEmboss* FEmboss = nullptr;
  TTeeShadow* FShadow = nullptr;
};
