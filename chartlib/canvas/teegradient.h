// Gradient settings: the fill of panel backs, walls, titles, legends, shapes,
// bars, pie slices and fonts.
//
// A gradient has a direction, a colour list of stops (offset 0..1, colour,
// transparency) kept sorted by offset, a balance (50 = linear), an angle, a
// radial centre offset and an optional sub-gradient blended over it.  The
// list is made on first use: until then the start, middle and end colours are
// the defaults (white, none, yellow).  The canvases fill with it.
//
// Streaming: Colors is written unless the list was never made or is plain
// (stops at 0 and 1, or at 0, 0.5 and 1, all without transparency); the
// start, middle and end colours only once the list exists.
#pragma once

#include "chartlib/canvas/teegeometry.h"
#include "platform/rtl/collection.h"
#include "platform/ui/graphics/graphics.h"

RTL_ENUM(TGradientDirection, gdTopBottom, gdBottomTop, gdLeftRight, gdRightLeft, gdFromCenter, gdFromTopLeft,
         gdFromBottomLeft, gdRadial, gdDiagonalUp, gdDiagonalDown)

class TBitmap;
class TCanvas3D;
class TCustomTeeGradient;
class TSubGradient;
class TTeeCanvas;

// One stop of the colour list.
class TTeeGradientColor : public TCollectionItem {
  RTL_CLASS(TTeeGradientColor, TCollectionItem)
public:
  explicit TTeeGradientColor(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  double Offset() const { return FOffset; }
  void SetOffset(double Value);
  Integer Transparency() const { return FTransparency; }
  void SetTransparency(Integer Value);

private:
  TColor FColor = clBlack;
  double FOffset = 0;
  Integer FTransparency = 0;
};

// The colour list; its owner is the gradient, whose change event fires on
// every change of the list.
class TTeeGradientColors : public TOwnedCollection {
  RTL_CLASS(TTeeGradientColors, TOwnedCollection)
public:
  explicit TTeeGradientColors(TCustomTeeGradient* AOwner);

  // The stop at Index; missing stops up to it are added first.
  TTeeGradientColor* Get(int Index);
  void Put(int Index, TTeeGradientColor* Value);
  // A new stop at AOffset clamped to 0..1, before the first stop with a
  // greater offset (equal offsets keep their order of adding).
  TTeeGradientColor* Add(double AOffset, TColor AColor, Integer ATransparency = 0);
  void Repaint();

protected:
  void Update(TCollectionItem* Item) override;

private:
  TCustomTeeGradient* FGradient;
};

class TCustomTeeGradient : public TPersistent {
  RTL_CLASS(TCustomTeeGradient, TPersistent)
public:
  explicit TCustomTeeGradient(TNotifyEvent ChangedEvent);
  ~TCustomTeeGradient() override;
  // From a gradient: the settings, the colour list (its update fires the
  // change event), FStartIsEnd and Visible; a sub-gradient is copied or the
  // own one freed.  Any other source raises EConvertError.
  void Assign(TPersistent* Source) override;

  // Hidden, gdTopBottom, white to yellow, no middle colour, balance 50, no
  // angle or offsets; values and defaults, no event.
  void InitDefaults();
  // Sets Direction and its default without an event.
  void InitDirection(TGradientDirection Value);
  // Back to the stops (0, start default) and (1, end default), silently.
  void ResetColors();
  // MidColor := the middle colour set last.
  void UseMiddleColor();
  void DoChanged();

  // drawing: each entry point first copies this gradient into the canvas's
  // own, then asks the canvas to fill
  // Rect, or the rounded rectangle of corner RoundRectSize; then the
  // sub-gradient when it is visible.
  void Draw(TTeeCanvas* Canvas, const TRect& Rect, Integer RoundRectSize = 0);
  // The four-point polygon with a clear pen.
  void Draw(TTeeCanvas* Canvas, TFourPoints& P);
  // The same with the points projected at depth Z first (P keeps them).
  void Draw(TCanvas3D* Canvas, TFourPoints& P, Integer Z);
  // The polygon, projected at Z when Is3D; the pen is kept.
  void Draw(TCanvas3D* Canvas, const TPointArray& P, Integer Z, bool Is3D);
  // Concentric ellipses from the end colour outside to the start colour in
  // the centre (offset by RadialX, RadialY), clipped to Rect; nothing for a
  // rectangle with no width and no height.
  void DrawRadial(TTeeCanvas* Canvas, const TRect& Rect);
  // The fill at Angle 0 on a bitmap large enough to cover Rect once turned,
  // turned by the rotation hook and drawn centred on Rect, clipped to it.
  void DrawRotated(TTeeCanvas* Canvas, const TRect& Rect);

  // properties
  Integer Angle() const { return FAngle; }
  void SetAngle(Integer Value);
  Integer Balance() const { return FBalance; }
  void SetBalance(Integer Value);
  // Made on first read (two stops, no event); nullptr frees it.
  TTeeGradientColors* Colors();
  void SetColors(TTeeGradientColors* Value);
  bool HasColors() const { return FColors != nullptr; }
  TGradientDirection Direction() const { return FDirection; }
  void SetDirection(TGradientDirection Value);
  TColor StartColor() const;
  void SetStartColor(TColor Value);
  TColor MidColor() const;
  void SetMidColor(TColor Value);
  TColor EndColor() const;
  void SetEndColor(TColor Value);
  Integer RadialX() const { return FRadialX; }
  void SetRadialX(Integer Value);
  Integer RadialY() const { return FRadialY; }
  void SetRadialY(Integer Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Made on first read with transparency 50; setting copies into it.
  TSubGradient* SubGradient();
  void SetSubGradient(TSubGradient* Value);
  bool HasSubGradient() const { return FSub != nullptr; }

  // Setting the end colour sets the start colour too (owners set it).
  bool FStartIsEnd = false;
  // Target rectangle for canvases that need one.
  TRectF FCustomTargetRectangle;

protected:
  // The properties TTeeGradient and TSubGradient publish alike.
  static void DescribeCommonProperties(TPropertyTable& Props);

  TGradientDirection IDefDirection = gdTopBottom;
  TColor IDefStart = clWhite;
  TColor IDefEnd = clYellow;
  TColor IDefMid = clNone;
  bool IDefVisible = false;

  // stored tests of the published properties
  bool isColorsStored() const;
  bool isDirectionStored() const { return FDirection != IDefDirection; }
  bool isStartColorStored() const { return FColors && StartColor() != IDefStart; }
  bool isMidColorStored() const { return FColors && MidColor() != IDefMid; }
  bool isEndColorStored() const { return FColors && EndColor() != IDefEnd; }
  bool isVisibleStored() const { return FVisible != IDefVisible; }

private:
  template <class T>
  void setValue(T& Field, T Value);
  // The sub-gradient blended over Rect.
  void drawSubGradient(TTeeCanvas* Canvas, const TRect& Rect, Integer RoundRectSize);

  Integer FAngle = 0;
  Integer FBalance = 50;
  TTeeGradientColors* FColors = nullptr;
  TGradientDirection FDirection = gdTopBottom;
  Integer FRadialX = 0;
  Integer FRadialY = 0;
  TSubGradient* FSub = nullptr;
  bool FVisible = false;
  TColor IMidColor = clWhite;
  TNotifyEvent IChanged;
};

// The gradient blended over another, with its own transparency.
class TSubGradient : public TCustomTeeGradient {
  RTL_CLASS(TSubGradient, TCustomTeeGradient)
public:
  explicit TSubGradient(TNotifyEvent ChangedEvent);
  static void DescribeProperties(TPropertyTable& Props);

  Integer Transparency() const { return FTransparency; }
  void SetTransparency(Integer Value);

private:
  Integer FTransparency = 50;
};

// The gradient chart parts publish.
class TTeeGradient : public TCustomTeeGradient {
  RTL_CLASS(TTeeGradient, TCustomTeeGradient)
public:
  explicit TTeeGradient(TNotifyEvent ChangedEvent);
  static void DescribeProperties(TPropertyTable& Props);
};

// The colour fraction of step N of S steps for a Balance other than 50:
// ((N + 1) / (S + 1)) ^ (Balance / 100 + 0.5).
double TeeGradientBalanceCurve(Integer N, Integer Balance, Integer S);

// The hook that turns a gradient's bitmap by the gradient's angle; the
// filters unit installs it at start-up and removes it at shutdown.  nullptr
// when none is installed.
using TTeeRotateGradientProc = void (*)(TCustomTeeGradient* Gradient, TBitmap* Bitmap);
TTeeRotateGradientProc TeeRotateGradientBitmap();
void SetTeeRotateGradientBitmap(TTeeRotateGradientProc Value);
