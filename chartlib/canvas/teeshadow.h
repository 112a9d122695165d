// Drop-shadow and emboss settings of chart parts (titles, legends, shapes,
// walls, marks, bars, pie slices, points, fonts).
//
// A shadow is offset by a horizontal and a vertical size (either may be
// negative) in one of five directions, optionally semi-transparent, plain or
// smooth.  An emboss is the same object with other defaults.  The canvas
// draws them (TCanvas3D::DrawShadow); this unit holds the settings and the
// rectangle routines.
#pragma once

#include "chartlib/canvas/teecolors.h"
#include "chartlib/canvas/teegeometry.h"
#include "platform/rtl/component.h"
#include "platform/ui/graphics/graphics.h"

RTL_ENUM(TShadowDirection, sdLeftTop, sdLeftBottom, sdRightTop, sdRightBottom, sdCenter)

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
};

// The emboss of fonts: a shadow hidden by default that points to the left top.
class TTeeEmboss : public TTeeShadow {
  RTL_CLASS(TTeeEmboss, TTeeShadow)
public:
  explicit TTeeEmboss(TNotifyEvent AOnChange);
  static void DescribeProperties(TPropertyTable& Props);
};

// R moved by (H, V) in Direction; sdCenter inflates it by |H| and |V|.
TRect ShadowRect(const TRect& R, TShadowDirection Direction, Integer H, Integer V);
// The corners (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom) of R
// turned by Angle degrees about its centre.
TFourPoints RotateRect(const TRect& R, double Angle);
