// Drop-shadow and emboss settings of chart parts (titles, legends, shapes,
// walls, marks, bars, pie slices, points, fonts).
//
// A shadow is offset by a horizontal and a vertical size (either may be
// negative) in one of five directions, optionally semi-transparent, plain or
// smooth.  An emboss is the same object with other defaults.  Draw and
// DrawEllipse hand the shape to the canvas (TCanvas3D::DrawShadow), between
// BeginBlend and EndBlend when the shadow is semi-transparent.  The smooth
// shadow of the GDI canvas is a shape painted into a bitmap and blurred onto
// the canvas's back buffer (TeeDrawSmoothShadow, TeeSmoothBlur).
#pragma once

#include "chartlib/canvas/teecolors.h"
#include "chartlib/canvas/teegeometry.h"
#include "platform/rtl/component.h"
#include "platform/ui/graphics/graphics.h"

RTL_ENUM(TShadowDirection, sdLeftTop, sdLeftBottom, sdRightTop, sdRightBottom, sdCenter)

class TBitmap;
class TCanvas;
class TCanvas3D;
class TTeeBlend;

class TTeeShadow : public TPersistent {
  RTL_CLASS(TTeeShadow, TPersistent)
public:
  // Smooth, sdRightBottom, visible, silver, sizes 0, transparency 50.
  explicit TTeeShadow(TNotifyEvent AOnChange);
  static void DescribeProperties(TPropertyTable& Props);
  // From a shadow: its settings without the change event; the defaults,
  // BlurSize and ZPosition stay.
  void Assign(TPersistent* Source) override;

  // Sets value and default together, without a change event (owners call it
  // right after construction).
  void InitDefaults(bool AVisible, TColor AColor, Integer ASize);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with a size that is not 0.
  bool ShouldDraw() const;

  // properties (setters fire the change event only on a change)
  bool Clip() const { return FClip; }
  void SetClip(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TShadowDirection Direction() const { return FDirection; }
  void SetDirection(TShadowDirection Value);
  Integer HorizSize() const { return FHorizSize; }
  void SetHorizSize(Integer Value);
  Integer VertSize() const { return FVertSize; }
  void SetVertSize(Integer Value);
  // max(|HorizSize|, |VertSize|); setting it sets both.  Not streamed.
  Integer Size() const;
  void SetSize(Integer Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  Integer SmoothBlur() const { return FSmoothBlur; }
  void SetSmoothBlur(Integer Value);
  TTeeTransparency Transparency() const { return FTransparency; }
  void SetTransparency(TTeeTransparency Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // drawing
  // The shadow of Rect, rounded by RoundSize and turned by Angle degrees
  // about its centre when they are not 0.
  void Draw(TCanvas3D* ACanvas, const TRect& Rect, Integer RoundSize = 0, double Angle = 0);
  // The shadow of a polygon: the points moved by (+HorizSize, +VertSize)
  // whatever the direction.
  void Draw(TCanvas3D* ACanvas, std::span<const TPoint> P);
  // introduced virtual
  // The shadow of an ellipse, pie or donut.
  virtual void DrawEllipse(TCanvas3D* ACanvas, const TRect& Rect, double DonutPercent = 0, double StartAngle = 0,
                           double EndAngle = 360);
  // False, and nothing to draw, for colour clNone or both sizes 0.  Starts the
  // canvas's blending over the shadow's area when the shadow (or, at 0, the
  // canvas) is semi-transparent.
  bool BeginBlend(TCanvas3D* ACanvas, const TRect& Rect, double Angle);
  void EndBlend(TCanvas3D* ACanvas);

  // Blur radius of the smooth shadow, pixels.
  Integer BlurSize = 4;
  // Not used by the shadow itself.
  double ZPosition = 0;

protected:
  void DoChanged();

  TColor DefaultColor = clSilver;
  Integer DefaultSize = 0;
  bool DefaultVisible = true;

private:
  template <class T>
  void setValue(T& Field, T Value);
  bool isColorStored() const { return FColor != DefaultColor; }
  bool isHorizSizeStored() const { return FHorizSize != DefaultSize; }
  bool isVertSizeStored() const { return FVertSize != DefaultSize; }
  bool isVisibleStored() const { return FVisible != DefaultVisible; }

  bool FClip = false;
  TColor FColor = clSilver;
  TShadowDirection FDirection = sdRightBottom;
  Integer FHorizSize = 0;
  bool FSmooth = true;
  Integer FSmoothBlur = 0;
  TTeeTransparency FTransparency = 50;
  Integer FVertSize = 0;
  bool FVisible = true;
  TNotifyEvent IOnChange;
  // the blend while a shadow is drawn, and the transparency it draws with
  TTeeBlend* IBlend = nullptr;
  Byte ITransp = 0;
};

// The emboss of fonts: a shadow hidden by default that points to the left top.
class TTeeEmboss : public TTeeShadow {
  RTL_CLASS(TTeeEmboss, TTeeShadow)
public:
  explicit TTeeEmboss(TNotifyEvent AOnChange);
  static void DescribeProperties(TPropertyTable& Props);
};

// The smooth shadow: the shape (Points when not empty, else an ellipse with
// an optional donut hole, a rounded or a plain rectangle) painted in the
// shadow's colour on a white bitmap and blurred onto Buffer at Rect's
// top-left corner.  ClipCanvas answers the clip test of Shadow.Clip.
void TeeDrawSmoothShadow(TTeeShadow* Shadow, TBitmap* Buffer, TCanvas* ClipCanvas, const TRect& Rect,
                         bool IsEllipse, Integer RoundSize, std::span<const TPoint> Points, double DonutPercent);

// The blur kernel: 2 Radius + 1 integer weights, 100000 in the middle,
// falling as (Amount + 180) / 100 to the power -d² / Radius.  A negative
// radius counts as 0.
std::vector<Integer> TeeBlurWeights(Integer Radius, double Amount);
// Blurs Width x Height pixels of Source horizontally then vertically.  With
// Dest, each pixel of Dest at (x + DX, y + DY) is multiplied by the blurred
// colour / 255 (white keeps it, the shadow colour darkens it), skipping pixels
// outside Canvas's clip region when ClipTest; without Dest, Source takes the
// blurred colours.  Only the part that lands inside Dest is blurred.  Both
// bitmaps take the pixel layout of the device (32 bits).
void TeeSmoothBlur(TBitmap* Source, TBitmap* Dest, Integer DX, Integer DY, Integer Width, Integer Height,
                   Integer Radius, double Amount, TCanvas* Canvas, bool ClipTest);

// R moved by (H, V) in Direction; sdCenter inflates it by |H| and |V|.
TRect ShadowRect(const TRect& R, TShadowDirection Direction, Integer H, Integer V);
// The corners (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom) of R
// turned by Angle degrees about its centre.
TFourPoints RotateRect(const TRect& R, double Angle);
