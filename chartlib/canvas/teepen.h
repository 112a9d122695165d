// Pens, brushes and corners of chart parts.
//
// TTeePen is the platform pen with visibility, end caps, joins, fine dotting
// and an optional fill; TTeeHiddenPen, TDarkGrayPen and TWhitePen differ only
// in their defaults.  TTeeBrush is the platform brush with a back colour, 53
// hatch styles, a gradient and a picture.  TTeeCorners give each corner of a
// rounded frame its own shape.
//
// Each object takes its owner's change event at construction and fires it
// only when a setter changes a value; the lazily made sub-objects (the pen's
// fill, the brush's gradient and picture) fire the same event.  A value is
// streamed only when it differs from its default; Init... routines set value
// and default together without an event.
#pragma once

#include "chartlib/canvas/teepath.h"
#include "platform/ui/graphics/graphics.h"

class TTeeBrush;
class TTeeCanvas;
class TTeeGradient;
class TTeePicture;

RTL_ENUM(TPenEndStyle, esRound, esSquare, esFlat)
RTL_ENUM(TPenJoinStyle, jsRound, jsBevel, jsMitter)

class TTeePen : public TPen {
  RTL_CLASS(TTeePen, TPen)
public:
  explicit TTeePen(TNotifyEvent OnChangeEvent);
  ~TTeePen() override;
  static void DescribeProperties(TPropertyTable& Props);
  // From a chart pen: visibility, dots, caps, joins and the fill, without
  // events; then the platform pen's assignment.
  void Assign(TPersistent* Source) override;

  void Hide() { SetVisible(false); }
  void Show() { SetVisible(true); }
  // Width div 2 for a visible pen wider than 1, else 0.
  Integer HalfWidth() const;
  // The fill exists and its gradient is visible.
  bool IsGradientVisible() const;
  // Sets EndStyle and its default without an event.
  void InitEndStyle(TPenEndStyle Value);
  // Sets the colour through the platform pen (owners giving other defaults).
  void SetInitialColor(TColor Value) { SetColor(Value); }

  // properties
  TPenEndStyle EndStyle() const { return FEndStyle; }
  void SetEndStyle(TPenEndStyle Value);
  TPenJoinStyle JoinStyle() const { return FJoinStyle; }
  void SetJoinStyle(TPenJoinStyle Value);
  bool SmallDots() const { return FSmallDots; }
  void SetSmallDots(bool Value);
  Integer SmallSpace() const { return FSmallSpace; }
  void SetSmallSpace(Integer Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Made on first read; nullptr frees it, another brush is copied.
  TTeeBrush* Fill();
  void SetFill(TTeeBrush* Value);
  bool HasFill() const { return FFill != nullptr; }

protected:
  // Sets Visible and its default without an event.
  void initVisible(bool Value) { FVisible = DefaultVisible = Value; }

  TPenEndStyle DefaultEnd = esRound;
  TPenJoinStyle DefaultJoin = jsRound;
  bool DefaultVisible = true;
  Integer DefaultWidth = 1;

private:
  template <class T>
  void setValue(T& Field, T Value);
  bool isEndStyleStored() const { return FEndStyle != DefaultEnd; }
  bool isJoinStyleStored() const { return FJoinStyle != DefaultJoin; }
  bool isVisibleStored() const { return FVisible != DefaultVisible; }
  bool isWidthStored() const { return Width() != DefaultWidth; }

  TPenEndStyle FEndStyle = esRound;
  TPenJoinStyle FJoinStyle = jsRound;
  bool FSmallDots = false;
  Integer FSmallSpace = 0;
  bool FVisible = true;
  TTeeBrush* FFill = nullptr;
};

// A pen hidden by default.
class TTeeHiddenPen : public TTeePen {
  RTL_CLASS(TTeeHiddenPen, TTeePen)
public:
  explicit TTeeHiddenPen(TNotifyEvent OnChangeEvent);
};

// A pen dark grey by default.
class TDarkGrayPen : public TTeePen {
  RTL_CLASS(TDarkGrayPen, TTeePen)
public:
  explicit TDarkGrayPen(TNotifyEvent OnChangeEvent);
  static void DescribeProperties(TPropertyTable& Props);
};

// A pen white by default.
class TWhitePen : public TTeePen {
  RTL_CLASS(TWhitePen, TTeePen)
public:
  explicit TWhitePen(TNotifyEvent OnChangeEvent);
  static void DescribeProperties(TPropertyTable& Props);
};

// The 53 hatch styles, in the order of the GDI+ hatch enumeration; the first
// six are the platform brush's hatches.
RTL_ENUM(THatchStyle, hsHorizontal, hsVertical, hsForwardDiagonal, hsBackwardDiagonal, hsCross, hsDiagonalCross,
         hs05Percent, hs10Percent, hs20Percent, hs25Percent, hs30Percent, hs40Percent, hs50Percent, hs60Percent,
         hs70Percent, hs75Percent, hs80Percent, hs90Percent, hsLightDownwardDiagonal, hsLightUpwardDiagonal,
         hsDarkDownwardDiagonal, hsDarkUpwardDiagonal, hsWideDownwardDiagonal, hsWideUpwardDiagonal,
         hsLightVertical, hsLightHorizontal, hsNarrowVertical, hsNarrowHorizontal, hsDarkVertical,
         hsDarkHorizontal, hsDashedDownwardDiagonal, hsDashedUpwardDiagonal, hsDashedHorizontal,
         hsDashedVertical, hsSmallConfetti, hsLargeConfetti, hsZigZag, hsWave, hsDiagonalBrick,
         hsHorizontalBrick, hsWeave, hsPlaid, hsDivot, hsDottedGrid, hsDottedDiamond, hsShingle, hsTrellis,
         hsSphere, hsSmallGrid, hsSmallCheckerBoard, hsLargeCheckerBoard, hsOutlinedDiamond, hsSolidDiamond)

class TTeeBrush : public TBrush {
  RTL_CLASS(TTeeBrush, TBrush)
public:
  // Colour clDefault (value and default), back colour clNone.
  explicit TTeeBrush(TNotifyEvent OnChangeEvent);
  ~TTeeBrush() override;
  static void DescribeProperties(TPropertyTable& Props);
  // From a chart brush: its picture (with an event), back colour and hatch
  // (without), its gradient copied or the own one freed; then the platform
  // brush's assignment.
  void Assign(TPersistent* Source) override;

  // Sets Color and its default without an event.
  void InitColor(TColor Value);
  // Clear style, no picture, no gradient.
  void Clear();
  // The picture holds a graphic that is not empty.
  bool HasImage() const;
  // The gradient exists and is visible.
  bool IsGradientVisible() const;

  // properties
  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  THatchStyle HatchStyle() const { return FHatchStyle; }
  // One of the first six also sets the platform style (bsHorizontal ...);
  // the others are drawn by the GDI+ canvas and leave it.
  void SetHatchStyle(THatchStyle Value);
  // Made on first read with the brush's change event; nullptr frees it,
  // another gradient is copied.
  TTeeGradient* Gradient();
  void SetGradient(TTeeGradient* Value);
  bool HasGradient() const { return FGradient != nullptr; }
  TTeePicture* Image();
  // nullptr frees the picture (an event when there was one); another picture
  // is copied into the own one (with an event).
  void SetImage(TTeePicture* Value);
  bool HasImageObject() const { return FImage != nullptr; }

protected:
  TColor DefaultColor = clDefault;

private:
  bool isColorStored() const { return Color() != DefaultColor; }

  TColor FBackColor = clNone;
  TTeeGradient* FGradient = nullptr;
  TTeePicture* FImage = nullptr;
  THatchStyle FHatchStyle = hsHorizontal;
};

RTL_ENUM(TTeeCornerStyle, cosRound, cosBevel, cosNone)

// The shape of one corner of a rounded frame.
class TTeeCorner : public TPersistent {
  RTL_CLASS(TTeeCorner, TPersistent)
public:
  explicit TTeeCorner(TNotifyEvent Changed);
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  TTeeCornerStyle Style() const { return FStyle; }
  // Calls the change event with the corner as sender on a change.
  void SetStyle(TTeeCornerStyle Value);

private:
  TTeeCornerStyle FStyle = cosRound;
  TNotifyEvent IChanged;
};

class TTeeCorners : public TPersistent {
  RTL_CLASS(TTeeCorners, TPersistent)
public:
  explicit TTeeCorners(TNotifyEvent Changed);
  ~TTeeCorners() override;
  static void DescribeProperties(TPropertyTable& Props);
  void Assign(TPersistent* Source) override;

  // The outline of R with each corner in its own style, as a path of Canvas
  // that the caller frees.  X and Y are the size of a round corner's ellipse
  // (as a rounded rectangle takes them); half of them is a bevel's leg.
  TTeeBasePath* CreateCornersPath(TTeeCanvas* Canvas, const TRect& R, Integer X, Integer Y);

  // properties (setting one copies it into the owned corner)
  TTeeCorner* LeftBottom() const { return FLeftBottom; }
  void SetLeftBottom(TTeeCorner* Value) { FLeftBottom->Assign(Value); }
  TTeeCorner* LeftTop() const { return FLeftTop; }
  void SetLeftTop(TTeeCorner* Value) { FLeftTop->Assign(Value); }
  TTeeCorner* RightBottom() const { return FRightBottom; }
  void SetRightBottom(TTeeCorner* Value) { FRightBottom->Assign(Value); }
  TTeeCorner* RightTop() const { return FRightTop; }
  void SetRightTop(TTeeCorner* Value) { FRightTop->Assign(Value); }

private:
  TTeeCorner* FLeftBottom;
  TTeeCorner* FLeftTop;
  TTeeCorner* FRightBottom;
  TTeeCorner* FRightTop;
};
