// TTeeCanvas3D: the GDI chart canvas.  This unit gives its projection: how a
// chart point (x, y, z) becomes a screen point and back.
//
// Three modes:
//   flat        (not 3D): x and y unchanged, z ignored;
//   orthogonal  (oblique): z shifts a point right (or left, for an
//               orthogonal angle above 90) by z and up by z × tan(angle),
//               then the picture is zoomed about the chart centre;
//   rotated     the point turns about the chart centre by the rotation
//               (vertical axis), the elevation (horizontal axis) and the
//               tilt (viewing axis), is divided by a perspective term and
//               zoomed.
// InitWindow fixes the mode and the angles once per paint; Projection fixes
// the centre, the offsets, the zoom and the perspective once the chart's
// rectangle and depth are known.  Each projected coordinate is rounded once
// (halves to even).  No projection raises: the two divisors of the inverse
// never fall below 1e-5, and neither does the size of the perspective
// divisor, which keeps its sign.
//
// Drawing target: with UseBuffer (the default) InitWindow makes an owned
// off-screen bitmap of the chart's size the reference canvas and the chart
// draws at its origin; ShowImage copies it to the destination.  Without a
// buffer the destination canvas is drawn on directly.  The canvas is dirty
// until a finished buffer has been shown; only a clean buffer can be redrawn
// (ReDrawBitmap) or rendered (RenderToBitmap).
#pragma once

#include "chartlib/canvas/canvas3d.h"

#include <cmath>
#include <functional>

class TTeeCanvas3D : public TCanvas3D {
  RTL_CLASS_META(TTeeCanvas3D, TCanvas3D, TCanvas3DClassOf<TTeeCanvas3D>)
public:
  // Zooms 100 %, text and pen zoom on, buffered and dirty.
  TTeeCanvas3D();
  ~TTeeCanvas3D() override;

  static String Description() { return QStringLiteral("GDI"); }

  using TCanvas3D::Calculate3DPosition;

  // reimplemented
  void Calculate2DPosition(Integer& X, Integer& Y, Integer Z) override;
  TPoint Calculate3DPosition(Integer X, Integer Y, Integer Z) override;
  // Single precision, nothing rounded; the flat mode still adds the zoom and
  // the view's offsets.
  void Calculate3DPosition(TPointFloat& P, float ZPos) override {
    const float Zoom = float(IZoomFactor);
    if (FIsOrthogonal) {
      P.x = Zoom * ((P.x - FXCenter) + float(IOrthoX) * ZPos) + XCenterOffset;
      P.y = Zoom * ((P.y - FYCenter) - float(FIOrthoY) * ZPos) + YCenterOffset;
    } else if (FIs3D) {
      rotateFloat(P, ZPos);
    } else {
      P.x = Zoom * (P.x - FXCenter) + XCenterOffset;
      P.y = Zoom * (P.y - FYCenter) + YCenterOffset;
    }
  }
  // Bounds, view options, zooms, mode and angles, and the drawing target:
  // the buffer (answering (0, 0, width, height)) or DestCanvas (answering
  // UserRect); the back mode is made opaque.
  TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,
                   const TRect& UserRect) override;
  // The buffer to DestCanvas at UserRect's corner (then clean); DefaultCanvas
  // becomes the reference canvas.
  void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) override;
  // A clean buffer copied to the reference canvas; false when dirty.
  bool ReDrawBitmap() override;
  // A copy of a clean buffer, only when R is the buffer's whole rectangle.
  bool RenderToBitmap(TBitmap*& ABitmap, const TRect& R) override;
  // Smooth shadows blur onto the buffer; without one (or when recording a
  // metafile) the plain shadow.
  void DrawShadow(TTeeShadow* Shadow, const TRect& Rect, bool IsEllipse, Integer RoundSize,
                  std::span<const TPoint> Points, double DonutPercent, double StartAngle, double EndAngle) override;

  // device state (reimplemented)
  gdi::HDC GetHandle() override;
  TColor GetBackColor() override;
  void SetBackColor(TColor Value) override;
  TCanvasBackMode GetBackMode() override;
  void SetBackMode(TCanvasBackMode Value) override;
  bool GetIsNoBMPGrid() override { return false; }
  bool GetMonochrome() override { return FMonochrome; }
  // A change marks the canvas dirty and repaints the view's panel.
  void SetMonochrome(bool Value) override;
  TColor GetPixel(Integer X, Integer Y) override;
  void SetPixel(Integer X, Integer Y, TColor Value) override;
  bool GetSupportsFullRotation() override { return false; }
  bool GetSupportsXORMode() override { return true; }
  bool GetSupportsAntiAliasing() override { return false; }
  Integer GetTextAlign() override;
  void SetTextAlign(Integer Value) override;
  bool GetUseBuffer() override { return FBufferedDisplay; }
  // Switching off frees the buffer (unless IKeepBitmap), clears the
  // reference canvas and marks the canvas dirty; switching on with a buffer
  // draws on it again.
  void SetUseBuffer(bool Value) override;
  void SetFastLineMode(bool On) override;
  void FastLineTo(Integer X, Integer Y) override;
  void Invalidate() override { FDirty = true; }
  bool GetSupports3DText() override { return false; }

  // 2D drawing (reimplemented).  Rectangle, RoundRect and Polygon fill with
  // the brush's filtered picture or visible gradient first (clipped to the
  // shape), leaving the reference brush clear for the outline.
  using TCanvas3D::Arc;
  using TCanvas3D::Ellipse;
  using TCanvas3D::LineTo;
  using TCanvas3D::MoveTo;
  using TCanvas3D::Polyline;
  using TCanvas3D::Rectangle;
  using TCanvas3D::RoundRect;
  using TCanvas3D::StretchDraw;
  using TCanvas3D::TextOut;
  using TCanvas3D::TextOut3D;
  using TCanvas3D::GradientFill;
  void Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer StartX, Integer StartY, Integer EndX,
           Integer EndY) override;
  // Angles in radians; the ring between the outer ellipse and the hole.
  void Donut(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, double StartAngle, double EndAngle,
             double HolePercent) override;
  // A transparent graphic is first laid over a copy of the buffer under it.
  void Draw(Integer X, Integer Y, TGraphic* Graphic) override;
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) override;
  void FillRect(const TRect& Rect) override;
  void EraseBackground(const TRect& Rect) override { FillRect(Rect); }
  void LineTo(Integer X, Integer Y) override;
  void MoveTo(Integer X, Integer Y) override;
  // A full turn (within 0.05 degrees) is an ellipse; a slice whose two
  // radial points meet is an ellipse or pie plus one radius.
  void Pie(const TRect& R, double StartAngle, double EndAngle) override;
  // Nothing drawn (but the gradient) when the radial points are equal.
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) override;
  void Rectangle(Integer X0, Integer Y0, Integer X1, Integer Y1) override;
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) override;
  // sqHigh resamples smoothly (TeeSmoothStretch); sqLow lets the platform
  // stretch.
  void StretchDraw(const TRect& Rect, TGraphic* Graphic) override;
  // The angle is not used.
  void StretchRotate(const TRect& Rect, TGraphic* Graphic, float) override { StretchDraw(Rect, Graphic); }
  void TextOut(Integer X, Integer Y, const String& Text) override;
  void ClipRectangle(const TRect& Rect) override { Clip(Rect); }
  using TCanvas3D::ClipRectangle;
  // The colour form of the gradient fill, straight on the device context.
  void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                    Integer Balance, Integer RadialX, Integer RadialY) override;
  void Polyline(std::span<const TPoint> Points) override;
  // Coordinates rounded halves to even.
  void PolylineFloat(std::span<const TPointFloat> Points) override;
  void Polygon(std::span<const TPoint> Points) override;
  void PolygonFloat(std::span<const TPointFloat> Points) override;
  // Angles above 360 are reduced; CharacterAngle turns each glyph.
  void RotateLabel(Integer X, Integer Y, const String& St, double RotDegree, bool AllowHTML) override;
  void UnClipRectangle() override { UnClip(); }
  // Flat: (Left + 1, Top + 1, Right, Bottom - 1); 3D: the cube's outline.
  void ClipCube(const TRect& Rect, Integer MinZ, Integer MaxZ) override;
  bool SelectDCBrush() override;
  TColor GetPixel3D(Integer X, Integer Y, Integer Z) override;
  // A pen wider than 1 draws a dot of the pen and ignores Value.
  void SetPixel3D(Integer X, Integer Y, Integer Z, TColor Value) override;
  void RotateLabel3D(Integer X, Integer Y, Integer Z, const String& St, double RotDegree, bool AllowHTML) override;
  void TextOut3D(Integer X, Integer Y, Integer Z, const String& Text, bool AllowHTML) override;

  // 3D primitives (reimplemented).  The planes and rectangles project their
  // four corners (integer projection) into IPoints and draw PolygonFour.
  using TCanvas3D::Arrow;
  using TCanvas3D::Cube;
  using TCanvas3D::EllipseWithZ;
  using TCanvas3D::PlaneWithZ;
  void PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, Integer Z) override;
  void RectangleWithZ(const TRect& Rect, Integer Z) override;
  // The horizontal plane y = Top from Z0 to Z1.
  void RectangleY(Integer Left, Integer Top, Integer Right, Integer Z0, Integer Z1) override;
  // The vertical plane x = Left from Z0 to Z1.
  void RectangleZ(Integer Left, Integer Top, Integer Bottom, Integer Z0, Integer Z1) override;
  void Plane3D(TPoint A, TPoint B, Integer Z0, Integer Z1) override;
  // Points[0] and [1] at Z0, [2] and [3] at Z1; Points is not changed.
  void PlaneFour3D(TFourPoints& Points, Integer Z0, Integer Z1) override;
  void Polygon3D(std::span<const TPoint3D> Points) override;
  void TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, Integer Z) override;
  // A non-clear brush takes Colors[0]; the other two colours are not used.
  void Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors3D& Colors) override;
  // Nothing: this canvas draws no surfaces.
  void Surface3D(TTeeCanvasSurfaceStyle Style, bool SameBrush, bool CreateCached, bool AddNormals,
                 Integer NumXValues, Integer NumZValues, TTeeCanvasCalcPoints CalcPoints,
                 TTeeCachedObject& Cached) override;
  // At the middle depth (Z0 + Z1) div 2; nothing for an arrow of no length.
  void Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth, Integer ArrowHeight, Integer Z0,
             Integer Z1, double ArrowPercent) override;

  // 3D solids (reimplemented); hidden faces are skipped by the turn of their
  // projected corners.  RoundSize and BevelSize are not used.
  void Cube(Integer Left, Integer Right, Integer Top, Integer Bottom, Integer Z0, Integer Z1, bool DarkSides,
            Integer RoundSize) override;
  void Cube(Integer Left, Integer Right, Integer Top, Integer Bottom, Integer Z0, Integer Z1, Integer BevelSize,
            bool DarkSides, Integer RoundSize) override;
  void Cylinder(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0, Integer Z1,
                bool Dark3D) override;
  // ConePercent is the top ring's size in percent of the base (0: pointed).
  void Cone(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0, Integer Z1,
            bool Dark3D, Integer ConePercent) override;
  // The apex at the top edge (vertical) or the right edge; the brush is left
  // darkened.
  void Pyramid(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0, Integer Z1,
               bool DarkSides) override;
  void Sphere(Integer X, Integer Y, Integer Z, double Radius) override;
  // Flat: the ellipse one pixel wider and taller than the box.
  void EllipseWithZ(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer Z) override;
  // One slice of a 3D pie or donut (angles in radians); see piedrawer.cpp.
  void Pie3D(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, Integer Z0, Integer Z1,
             double StartAngle, double EndAngle, bool DarkSides, bool DrawSides, Integer DonutPercent,
             TCustomTeeGradient* Gradient, Integer BevelPercent, TEdgeStyle EdgeStyle, TTeeTransparency Transparency,
             Integer BevelBright, bool BevelBorder, bool HideSides) override;
  // The ellipse's points (see TCanvas3D::ellipsePoints) projected at Z.
  void GetCirclePoints(TCirclePoints& P, Integer X1, Integer Y1, Integer X2, Integer Y2, Integer Z);

  // Fills Rect with Gradient: rotated, radial, or in one or two colour
  // forms around its middle colour; greys on a monochrome canvas.
  void GradientFill(TCustomTeeGradient* Gradient, const TRect& Rect);

  // introduced virtuals
  // Polygon of the four points of IPoints.
  virtual void PolygonFour();
  // Takes Value as the buffer (not copied; the canvas frees it).
  virtual void SetBitmap(TBitmap* Value);
  virtual void FreeBitmap();
  // The whole buffer to Dest at (X, Y); nothing for the canvas of a control
  // without a parent.
  virtual void CopyBufferTo(Integer X, Integer Y, TCanvas* Dest);
  // Each point projected in single precision, then the float polyline.
  virtual void PolylineFloat(std::span<const TPoint3D> Points);

  // text
  // A font of Size points (at the font's pixels per inch) and the quality of
  // the quality table selected into DC; the previous font is answered.
  gdi::HFONT SelectSizedFont(gdi::HDC DC, Integer Size);
  // The quality byte of a font the canvas creates.
  gdi::BYTE FontQualityByte() const;
  // The text with the font's shadow, emboss, outline and gradient or
  // picture fill, at (X, Y) on DC in its selected font.
  void DoTextOut(gdi::HDC DC, Integer X, Integer Y, const String& Text);
  // Text's rectangle (TextSize, rounded) at the anchor by the text alignment
  // (the bottom flag not read).
  TRect TextBox(Integer X, Integer Y, const String& Text);

  // The off-screen buffer, or nullptr.
  TBitmap* Bitmap() const { return FBitmap; }
  bool Dirty() const { return FDirty; }

  // Keep the buffer when buffering is switched off.
  bool IKeepBitmap = false;
  // Not used by the canvas.
  TObject* Tag = nullptr;
  // The four points PolygonFour draws; the 3D operations fill it.
  TFourPoints IPoints;
  // Extra turn of each character of rotated text, degrees.
  double CharacterAngle = 0;
  // 3D pies outline their slices with paths.
  bool Pie3DUsingArcs = false;
  // The quality of fonts whose own quality is fqDefault.
  tee::TFontQuality FontQuality = tee::fqBest;
  // ABounds is not read.
  void Projection(Integer MaxDepth, const TRect& ABounds, const TRect& Rect) override;
  void DisableRotation() override;
  void EnableRotation() override;

  // The integer projection in place.
  void Calc3DPos(Integer& X, Integer& Y, Integer Z) const {
    if (FIsOrthogonal) {
      X = pixel(IZoomFactor * ((X - FXCenter) + IOrthoX * Z)) + XCenterOffset;
      Y = pixel(IZoomFactor * ((Y - FYCenter) - FIOrthoY * Z)) + YCenterOffset;
    } else if (FIs3D) {
      rotate(X, Y, Z);
    }
  }
  void Calc3DPoint(Integer X, Integer Y, Integer Z, TPoint& P) const {
    P = {X, Y};
    Calc3DPos(P.X, P.Y, Z);
  }
  // Sines, cosines and their products for the rotated mode.
  void CalcTrigValues();
  // Perspective on when the options ask for it, its strength over the
  // chart's width.
  void CalcPerspective(const TRect& Rect);

  // The vertical shift per unit of depth of the orthogonal mode.
  double IOrthoY() const { return FIOrthoY; }

protected:
  // The colour of a solid's faces: the brush colour, or the back colour
  // under a brush that is not solid.
  TColor faceColor();
  // The cylinder and cone of Cylinder and Cone.
  void DrawCylinderCone(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0,
                        Integer Z1, bool Dark3D, Integer ConePercent);
  // IPoints := A, B, C, D; then PolygonFour.
  void drawFour(TPoint A, TPoint B, TPoint C, TPoint D);
  // The rotated modes of the two projections (the rotated branch always
  // applies the tilt: without one it changes nothing).
  void rotate(Integer& X, Integer& Y, Integer Z) const;
  void rotateFloat(TPointFloat& P, float ZPos) const;
  // To the nearest pixel, halves to even.  The projection's values are
  // finite and in range (its divisors are bounded), so the checks of the
  // runtime's Round are not needed in this per-point path.
  static Integer pixel(double V) { return Integer(std::nearbyint(V)); }

  // Fill steps of Rect shared by Rectangle, RoundRect and Polygon: the
  // picture or the gradient, each inside the clip Clip pushes (no clip
  // when Clip is empty).  True when the gradient was drawn.
  bool fillShape(const TRect& Rect, const std::function<void()>& Clip);
  // Graphic over a copy of the buffer under Rect, stretched to its size.
  TBitmap* composeTransparent(const TRect& Rect, TGraphic* Graphic);
  // The text of one shadow (Sign +1) or emboss (-1); moves the anchor.
  void drawShadowText(TTeeShadow* Shadow, Integer Sign, gdi::HDC& DC, Integer& X, Integer& Y, const String& Text);

  // sines and cosines of -elevation (1), -rotation (2) and tilt (3)
  double s1 = 0, c1 = 1, s2 = 0, c2 = 1, s3 = 0, c3 = 1;
  double c2s3 = 0;
  double c2c3 = 1;
  double tempXX = 1, tempYX = 0, tempXZ = 0, tempYZ = 0;
  bool FIs3D = false;
  bool FWas3D = false;
  bool IHasPerspec = false;
  bool IHasTilt = false;
  double IOrthoX = 1;
  double FIOrthoY = 1;
  double IZoomPerspec = 0;
  double IZoomFactor = 1;
  Integer XCenterOffset = 0;
  Integer YCenterOffset = 0;

  TBitmap* FBitmap = nullptr;
  bool FBufferedDisplay = true;
  bool FDirty = true;
  bool FMonochrome = false;
  gdi::HDC IFastLine = nullptr;
};
