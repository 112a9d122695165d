// TTeeCanvas: the abstract drawing surface every part of the chart library
// draws through.
//
// The canvas owns the current drawing attributes (a TTeePen, a TTeeBrush and
// a TTeeFont) and keeps the platform canvas it finally draws on, the
// reference canvas (not owned).  Any change of the pen, brush or font reaches
// the reference canvas at once through their change events, except inside
// AssignBrush and AssignVisiblePenColor, which detach the event, make every
// change and apply once.
//
// The virtual operations below are in slot order.  The concrete canvases
// (the GDI canvas TTeeCanvas3D and the GDI+ canvas) implement the primitive
// ones; here those raise EAbstractError, so that a canvas may override only
// what it needs.  The others have bodies built on the primitives (lines,
// arrows, frames, arcs by angle, check boxes) or move the attributes onto the
// reference canvas.
//
// Nesting stacks, balanced during one paint: the clipping history and the
// transparency stack (BeginBlending multiplies opacities; EndBlending pops,
// and an end without a begin is ignored).
#pragma once

#include "chartlib/canvas/teecolors.h"
#include "chartlib/canvas/teefont.h"
#include "chartlib/canvas/teegeometry.h"
#include "chartlib/canvas/teegradient.h"
#include "chartlib/canvas/teepath.h"
#include "chartlib/canvas/teepen.h"
#include "platform/ui/graphics/canvas.h"

#include <vector>

class TGraphic;
class TTeeBlend;
class TTeeCorners;

RTL_ENUM(TCanvasBackMode, cbmNone, cbmTransparent, cbmOpaque)
RTL_ENUM(TCanvasStretchQuality, sqHigh, sqLow)

// TextAlign values: the platform's text-alignment flags.
inline constexpr Integer TeeTextAlignLeft = 0;
inline constexpr Integer TeeTextAlignRight = 2;
inline constexpr Integer TeeTextAlignCenter = 6;

class TTeeCanvas : public TObject {
  RTL_CLASS(TTeeCanvas, TObject)
public:
  TTeeCanvas();
  ~TTeeCanvas() override;

  // -------------------------------------------------------------------------
  // virtual operations, in slot order

  // FCanvas := Value (not owned).
  virtual void SetReferenceCanvas(TCanvas* Value);
  // The reference canvas's brush takes ABrush; the back mode follows its
  // back colour and style.
  virtual void ApplyBrush(TTeeBrush* ABrush);
  // The canvas font onto the reference canvas, at the canvas font's own
  // pixels per inch.
  virtual void ApplyFont();
  // The canvas pen onto the reference canvas (see TeeSetPenFromTeePen).
  virtual void ApplyPen();
  virtual void FastLineTo(Integer X, Integer Y);
  virtual TColor GetBackColor();
  virtual TCanvasBackMode GetBackMode();
  virtual gdi::HDC GetHandle();
  virtual bool GetIsNoBMPGrid();
  virtual bool GetMonochrome();
  virtual TColor GetPixel(Integer X, Integer Y);
  virtual bool GetSupportsFullRotation();
  virtual bool GetSupportsXORMode();
  virtual Integer GetTextAlign();
  virtual bool GetUseBuffer();
  virtual bool GetAntiAliasing();
  virtual bool GetSupportsAntiAliasing();
  virtual void SetAntiAliasing(bool Value);
  virtual void SetBackColor(TColor Value);
  virtual void SetBackMode(TCanvasBackMode Value);
  virtual void SetFastLineMode(bool On);
  // The device context's extra character spacing, when it differs.
  virtual void SetInterCharSize(Integer Value);
  virtual void SetMonochrome(bool Value);
  // For a wide pen without round ends: the raster operation of APen's mode.
  virtual void ApplyPenMode(TTeePen* APen);
  virtual void SetPixel(Integer X, Integer Y, TColor Value);
  virtual void SetTextAlign(Integer Value);
  virtual void SetUseBuffer(bool Value);
  virtual TPointFloatArray GetFloatPoints();
  virtual void AssignBrush(TTeeBrush* ABrush, TColor AColor, TColor ABackColor);
  virtual void AssignVisiblePenColor(TTeePen* APen, TColor AColor);
  // Pushes the transparency and multiplies the opacities; the blend saved
  // over R (owned by the caller, who hands it to EndBlending).
  virtual TTeeBlend* BeginBlending(const TRect& R, TTeeTransparency Transparency);
  // Blends and frees Blend (when given), then pops the transparency.
  virtual void EndBlending(TTeeBlend* Blend);
  virtual void Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer StartX, Integer StartY,
                   Integer EndX, Integer EndY);
  // By angles in degrees, counter-clockwise from three o'clock.
  virtual void Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, float StartAngle, float EndAngle);
  // The arc direction is clockwise for the call when ClockWise.
  virtual void ArcTo(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4,
                     bool ClockWise);
  virtual void Donut(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, double StartAngle,
                     double EndAngle, double HolePercent);
  virtual void Draw(Integer X, Integer Y, TGraphic* Graphic);
  virtual void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2);
  virtual void FillRect(const TRect& Rect);
  // Width nested frames, TopColor on the top and left; Rect becomes the
  // rectangle inside them.
  virtual void Frame3D(TRect& Rect, TColor TopColor, TColor BottomColor, Integer Width);
  virtual void LineTo(Integer X, Integer Y);
  virtual void LineTo(TPointFloat P);
  virtual void MoveTo(Integer X, Integer Y);
  virtual void MoveTo(TPointFloat P);
  virtual void Pie(const TRect& R, double StartAngle, double EndAngle);
  virtual void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4);
  virtual void Rectangle(Integer X0, Integer Y0, Integer X1, Integer Y1);
  virtual void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3);
  virtual void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  virtual void StretchRotate(const TRect& Rect, TGraphic* Graphic, float Angle);
  virtual void TextOut(Integer X, Integer Y, const String& Text);
  // Measured on the reference canvas, plus the sizes of a visible font
  // shadow and emboss.  (String is UTF-16: no separate wide forms.)
  virtual Integer TextHeight(const String& St);
  virtual TPointFloat TextSize(const String& St);
  virtual Integer TextWidth(const String& St);
  virtual void ClipRectangle(const TRect& Rect);
  // The clip routines below push on the clipping stack (UnClip pops).
  virtual void ClipRectangle(const TRect& Rect, Integer RoundX, Integer RoundY);
  // Exclusive-or with the clip when Inverted.
  virtual void ClipEllipse(const TRect& Rect, bool Inverted);
  // The first NumPoints points, alternate fill rule; the difference from the
  // clip when DiffRegion.
  virtual void ClipPolygon(std::span<const TPoint> Points, Integer NumPoints, bool DiffRegion);
  // A new path on this canvas, owned by the caller.
  virtual TTeeBasePath* CreatePath();
  // Points and Types are for canvases that build paths from them.
  virtual TTeeBasePath* CreatePath(const TPointFloatArray& Points, const TPathPointTypes& Types);
  // Straight segments: Polygon when Closed, else Polyline.
  virtual void Curve(std::span<const TPoint> Points, float Tension, bool Closed, float Z);
  virtual void DoHorizLine(Integer X0, Integer X1, Integer Y);
  virtual void DoVertLine(Integer X, Integer Y0, Integer Y1);
  // The platform check box or radio button, GetCheckBoxSize + 2 wide.
  virtual void DrawCheckBox(Integer X, Integer Y, bool Checked, TColor ABackColor, bool CheckBox);
  virtual void EraseBackground(const TRect& Rect);
  virtual void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                            Integer Balance, Integer RadialX, Integer RadialY);
  virtual void Invalidate();
  virtual void Line(Integer X0, Integer Y0, Integer X1, Integer Y1);
  virtual void Polyline(std::span<const TPoint> Points);
  virtual void PolylineFloat(std::span<const TPointFloat> Points);
  virtual void Polygon(std::span<const TPoint> Points);
  virtual void PolygonConcave(std::span<const TPoint> Points);
  virtual void PolygonFloat(std::span<const TPointFloat> Points);
  virtual void RotateLabel(Integer X, Integer Y, const String& St, double RotDegree, bool AllowHTML);
  virtual void UnClipRectangle();
  // 12 at a check-box zoom of 100, else Round(max(1, 12 × zoom %)).
  virtual Integer GetCheckBoxSize();

  // -------------------------------------------------------------------------
  // attributes

  void AssignBrush(TTeeBrush* ABrush) { AssignBrush(ABrush, ABrush->Color(), ABrush->BackColor()); }
  void AssignBrush(TTeeBrush* ABrush, TColor ABackColor) { AssignBrush(ABrush, ABrush->Color(), ABackColor); }
  void AssignBrushColor(TTeeBrush* ABrush, TColor AColor, TColor ABackColor) {
    AssignBrush(ABrush, AColor, ABackColor);
  }
  void AssignVisiblePen(TTeePen* APen) { AssignVisiblePenColor(APen, APen->Color()); }
  void AssignFont(TTeeFont* AFont);
  // The canvas font takes AFont at ASize points (times the font zoom).
  void AssignFontSize(TTeeFont* AFont, float ASize);
  // Black solid pen, white solid brush, the default font, default gradient,
  // white transparent background, left-top text.
  void ResetState();
  // The brush colour (or, for a hatch, the back colour) := AColor darkened.
  void SetDarkBrushColor(TColor AColor, Byte Quantity);
  // The brush is not clear and its gradient exists and is visible.
  bool IsBrushGradientVisible();

  // -------------------------------------------------------------------------
  // shapes built on the primitives

  // Over the bounds of P; nullptr when Transparency is 0.
  TTeeBlend* BeginBlending(const TPointArray& P, TTeeTransparency Transparency);
  void Arc(const TRect& R, float StartAngle, float EndAngle) {
    Arc(R.Left, R.Top, R.Right, R.Bottom, StartAngle, EndAngle);
  }
  // Angles (degrees, 0 .. 360) of the radials through (X3, Y3) and (X4, Y4).
  void CalcArcAngles(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer X3, Integer Y3, Integer X4,
                     Integer Y4, float& StartAngle, float& EndAngle);
  // A filled seven-point arrow, or three strokes; nothing for From = To.
  void Arrow(bool Filled, double ArrowPercent, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth,
             Integer ArrowHeight);
  // The seven outline points: tail (2), head base (2), head corner, tip,
  // head corner, head base; empty for From = To.  The head is at most as
  // long as the arrow; ArrowPercent is the shaft's width in percent of the
  // head's.
  TPointArray GetArrowPoints(float ArrowPercent, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth,
                             Integer ArrowHeight);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void DoRectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void LineTo(TPoint P) { LineTo(P.X, P.Y); }
  void MoveTo(TPoint P) { MoveTo(P.X, P.Y); }
  void Line(TPoint FromPoint, TPoint ToPoint) { Line(FromPoint.X, FromPoint.Y, ToPoint.X, ToPoint.Y); }
  // With ACorners the corners' path; otherwise the platform rounded rectangle.
  void RoundRect(const TRect& R, Integer X, Integer Y, TTeeCorners* ACorners = nullptr);
  // AllowHtml: drawn by the HTML text renderer.
  void TextOut(Integer X, Integer Y, const String& Text, bool AllowHtml);

  // -------------------------------------------------------------------------
  // class routines

  static TColor SystemColor(TColor AColor) { return ::SystemColor(AColor); }
  static Byte ColorAlpha(TColor AColor) { return ::ColorAlpha(AColor); }
  static TColor ColorFrom(TColor AColor, Byte Alpha) { return ::ColorFrom(AColor, Alpha); }
  // False for fewer than three points or all collinear ones.
  static bool IsConvexPolygon(std::span<const TPoint> P);
  static bool IsConvexPolygon(std::span<const TPointFloat> P);
  // Replaces Points by their convex hull (the pivot, lowest then rightmost,
  // last); false, Points unchanged, for fewer than three.
  static bool ConvexHull(TPointArray& Points);
  // A new rectangular region of Rect in ACanvas's device coordinates, owned
  // by the caller.
  static void Clip(TCanvas* ACanvas, const TRect& Rect, gdi::HRGN& Region);

  // -------------------------------------------------------------------------
  // the clipping stack

  // Intersects the reference canvas's clip with Rect.
  void Clip(const TRect& Rect);
  // Back to the clip before the last push; with an empty stack no clip.
  void UnClip();
  // Saves DC's clip (when it has one) on the stack, then combines Region
  // with it by Mode (RGN_AND, RGN_XOR, RGN_DIFF).  Takes Region and deletes
  // it; nothing for nullptr.
  void PushClipRegion(gdi::HDC DC, gdi::HRGN Region, int Mode);
  // The number of saved clips.
  size_t ClipDepth() const { return ClipHistory.size(); }

  // -------------------------------------------------------------------------
  // properties

  TColor BackColor() { return GetBackColor(); }
  TCanvasBackMode BackMode() { return GetBackMode(); }
  const TRect& Bounds() const { return FBounds; }
  TTeeBrush* Brush() const { return FBrush; }
  TTeeFont* Font() const { return FFont; }
  void SetFont(TTeeFont* Value) { AssignFont(Value); }
  Integer FontHeight() { return TextHeight(QStringLiteral("W")); }
  double FontZoom() const { return FFontZoom; }
  void SetFontZoom(double Value) { FFontZoom = Value; }
  double PenZoom() const { return FPenZoom; }
  void SetPenZoom(double Value) { FPenZoom = Value; }
  double CheckBoxZoom() const { return FCheckBoxZoom; }
  void SetCheckBoxZoom(double Value) { FCheckBoxZoom = Value; }
  // The brush's gradient (made on first use).
  TTeeGradient* Gradient() const { return FBrush->Gradient(); }
  gdi::HDC Handle() { return GetHandle(); }
  bool IsNoBMPGrid() { return GetIsNoBMPGrid(); }
  bool Metafiling() const { return FMetafiling; }
  void SetMetafiling(bool Value) { FMetafiling = Value; }
  bool Monochrome() { return GetMonochrome(); }
  TTeePen* Pen() const { return FPen; }
  TColor Pixels(Integer X, Integer Y) { return GetPixel(X, Y); }
  TCanvas* ReferenceCanvas() const { return FCanvas; }
  TCanvasStretchQuality StretchDrawQuality() const { return FStretchQuality; }
  void SetStretchDrawQuality(TCanvasStretchQuality Value) { FStretchQuality = Value; }
  bool SupportsAlpha() const { return FSupportsAlpha; }
  bool SupportsConcave() const { return FSupportsConcave; }
  bool SupportsFullRotation() { return GetSupportsFullRotation(); }
  bool SupportsXORMode() { return GetSupportsXORMode(); }
  Integer TextAlign() { return GetTextAlign(); }
  bool UseBuffer() { return GetUseBuffer(); }

  // The transparency in force, 0..100 (the GDI+ canvas keeps an opacity
  // 0..255 here); changed only by BeginBlending and EndBlending.
  Integer Transparency = 0;
  // Rotated labels turn about ITextCenter instead of their own anchor.
  bool IUseTextCenter = false;
  TPoint ITextCenter;

protected:
  void PushTransparency();
  void PopTransparency();
  // Deletes every region of the clipping history.
  void FreeClipHistory();

  TTeeBrush* FBrush;
  TCanvas* FCanvas = nullptr;
  TTeeFont* FFont;
  TTeePen* FPen;
  std::vector<gdi::HRGN> ClipHistory;
  TCanvasStretchQuality FStretchQuality = sqHigh;
  bool FMetafiling = false;
  // True while AssignFontSize copies a font, so that the font's change
  // event does not apply it half-way.
  bool IChangingFont = false;
  std::vector<Integer> ITranspStack;
  TRect FBounds;
  double FFontZoom = 0;
  double FPenZoom = 0;
  double FCheckBoxZoom = 0;
  bool FSupportsAlpha = false;
  bool FSupportsConcave = true;
  bool IZoomText = false;
  bool IZoomPen = false;

private:
  void brushChanged(TObject* Sender);
  void penChanged(TObject* Sender);
  void fontChanged(TObject* Sender);
  // The pattern step of AssignBrush.
  void assignPattern(TBitmap* Bitmap, TColor AColor, TColor ABackColor);
};

// Platform-level helpers of the canvas.

// Raises EAbstractError: the body of the primitive slots the concrete
// canvases implement.
[[noreturn]] void TeeAbstractCall();
// Builds Target's handle from APen in AColor: a small-dots pen, a geometric
// pen (width > 1, with the pen's end cap and join) or the plain pen.
void TeeSetPenFromTeePen(TPen* Target, TTeePen* APen, TColor AColor);
// A pen of single dots: alternate pixels (Space <= 0) or round dots every
// Space + 1 units.  The caller owns it.
gdi::HPEN TeeSmallDotsPen(TColor AColor, Integer Space);
// The platform frame control (check box or radio button) in the square of
// side Size + 2 at (X, Y).
void TeeDrawCheckBox(Integer X, Integer Y, TCanvas* Canvas, bool Checked, bool IsCheckBox, Integer Size);
// The same box drawn with plain lines with ACanvas's primitives.
void TeeDrawCheckBoxLines(TTeeCanvas* ACanvas, Integer X, Integer Y, bool Checked, TColor ABackColor, bool CheckBox);
