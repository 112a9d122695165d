// Painted decoration controls: panels, bevels, shapes and images.
//
// TCustomPanel is a windowed control whose children align inside its border
// and bevels; the others are graphic controls painted on their parent's
// window.  Every one paints into a snapshot (csReplicatable).
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/forms.h"

class TPicture;

// bsNone or bsSingle: the first two values of the form's border styles.
using TBorderStyle = TFormBorderStyle;

// Frames Rect with Width one-pixel rings, TopColor on the left and top
// edges, BottomColor on the right and bottom ones (the top-right and
// bottom-left corner pixels too); Rect comes back inside the rings.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width);

// ---------------------------------------------------------------------------
// TCustomPanel: bevels (outer, then BorderWidth of Color, then inner), the
// inside filled with Color, and the caption on one line centred vertically
// in the client area, tabs expanded, placed by Alignment.  Descendants
// replace Paint completely.

class TCustomPanel : public TCustomControl {
  RTL_CLASS(TCustomPanel, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TCustomPanel(TComponent* AOwner);

  // properties
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // The panel's own bevels, painted in the client area (the windowed
  // control's BevelKind edges stay off).
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelWidth BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth Value);
  // bsSingle: a sunken client edge (WS_EX_CLIENTEDGE) with Ctl3D, else a
  // one-pixel border (WS_BORDER), as a change of Ctl3D then shows too;
  // recreates the window.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // False drops CS_HREDRAW | CS_VREDRAW: a resize repaints only what is new.
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value);
  // Kept as csParentBackground; with visual styles off the panel fills
  // itself with Color either way.
  bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  void SetParentBackground(bool Value);

  // reimplemented
  // Inside BorderWidth, then inside every bevel that is not bvNone.
  void AdjustClientRect(TRect& Rect) override;

protected:
  // reimplemented
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;

  // message handlers
  void CMTextChanged(TMessage& Message);

private:
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  TBevelWidth FBevelWidth = 1;
  TBorderStyle FBorderStyle = bsNone;
  bool FFullRepaint = true;
};

class TPanel : public TCustomPanel {
  RTL_CLASS(TPanel, TCustomPanel)
public:
  explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
  static void DescribeProperties(TPropertyTable& Props);
};

// ---------------------------------------------------------------------------
// TBevel: lines in clBtnShadow and clBtnHighlight, lowered (shadow first) or
// raised (highlight first).  bsBox: a one-pixel box; bsFrame: an etched
// frame; the line shapes: two lines along that edge; bsSpacer: nothing.

RTL_ENUM(TBevelShape, bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer)
RTL_ENUM(TBevelStyle, bsLowered, bsRaised)

class TBevel : public TGraphicControl {
  RTL_CLASS(TBevel, TGraphicControl)
public:
  explicit TBevel(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  TBevelShape Shape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle Style() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

protected:
  // reimplemented
  void Paint() override;

private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

// ---------------------------------------------------------------------------
// TShape: a figure drawn with Pen and Brush inside the bounds, the pen's
// width inside them; the square shapes take the largest centred square.
// Any change of Pen or Brush repaints.

RTL_ENUM(TShapeType, stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle)

class TShape : public TGraphicControl {
  RTL_CLASS(TShape, TGraphicControl)
public:
  explicit TShape(TComponent* AOwner);
  ~TShape() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  TShapeType Shape() const { return FShape; }
  void SetShape(TShapeType Value);
  // Owned; setting assigns.
  TBrush* Brush() const { return FBrush; }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TPen* Pen() const { return FPen; }
  void SetPen(TPen* Value) { FPen->Assign(Value); }

protected:
  // reimplemented
  void Paint() override;

private:
  void styleChanged(TObject* Sender);

  TShapeType FShape = stRectangle;
  TBrush* FBrush;
  TPen* FPen;
};

// ---------------------------------------------------------------------------
// TImage: the picture drawn at DestRect; any change of the picture (its
// graphic's included) repaints.  An image that covers the bounds with an
// untransparent graphic is opaque.

class TImage : public TGraphicControl {
  RTL_CLASS(TImage, TGraphicControl)
public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // Owned; setting assigns.
  TPicture* Picture() const { return FPicture; }
  void SetPicture(TPicture* Value);
  // The canvas of the picture's bitmap; an empty picture first gets a bitmap
  // of the control's size.  Another graphic raises EInvalidOperation "Can
  // only modify an image if it contains a bitmap".
  TCanvas* Canvas();
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool Value);
  // Passed on to the graphic (icons and metafiles keep their own).
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);

protected:
  // introduced virtuals
  // Where the picture goes, in client coordinates: its own size; the client
  // size with Stretch; scaled to fit keeping its aspect with Proportional
  // (when stretched or too big); centred with Center.
  virtual TRect DestRect();

  // reimplemented
  // AutoSize: the picture's size.
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void Paint() override;

private:
  void pictureChanged(TObject* Sender);

  TPicture* FPicture;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
  bool FTransparent = false;
  bool FDrawing = false;  // Paint is drawing: a change it causes does not invalidate
};
