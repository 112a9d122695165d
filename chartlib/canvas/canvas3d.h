// TCanvas3D: the chart canvas with a depth coordinate.
//
// Chart code works in chart space: x and y in pixels of the chart rectangle
// and z a depth in pixels from the front plane.  Every 3D operation projects
// its points to the screen through the canvas's projection and draws them
// with the 2D operations of TTeeCanvas.  The projection itself, the solids,
// 3D text and pies belong to the concrete canvases; here those operations
// raise EAbstractError, as the 2D primitives do.
//
// Canvas classes answer Description, EditorClass and IsAvailable without an
// instance, through their metaclass (TCanvas3DMeta), and are created by it:
// the canvas class registry (canvasunit.h) holds such class references.
#pragma once

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/teecanvas.h"
#include "chartlib/canvas/teeshadow.h"
#include "chartlib/canvas/view3doptions.h"
#include "platform/rtl/interfaces.h"

#include <array>
#include <functional>

class TCanvas3D;
class TTeeTransform;

// ---------------------------------------------------------------------------
// shared types

struct TPoint3D {
  Integer x = 0;
  Integer y = 0;
  Integer z = 0;
  friend constexpr bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

struct TPoint3DFloat {
  double x = 0;
  double y = 0;
  double z = 0;
};

// Points of a 3D ellipse, a rotated ellipse and a circle-point list.
inline constexpr Integer TeeCirclePointCount = 180;
using TCirclePoints = std::array<TPointFloat, TeeCirclePointCount>;

using TTrianglePoints3D = std::array<TPoint3D, 3>;
using TTriangleColors3D = std::array<TColor, 3>;
using TTriangleIndexes = std::array<Integer, 3>;

RTL_ENUM(TCanvas3DPlane, cpX, cpY, cpZ)
RTL_ENUM(TTeeCanvasSurfaceStyle, tcsSolid, tcsWire, tcsDot)
RTL_ENUM(TEdgeStyle, edFlat, edCurved, edNone)

// The points of cell (X, Z) of a surface and their colours; false skips it.
using TTeeCanvasCalcPoints =
    TMethodPtr<bool(Integer X, Integer Z, TPoint3D& P0, TPoint3D& P1, TColor& Color0, TColor& Color1)>;
// Triangle Index (from 1) of a triangle surface.
using TTeeCanvasTriPoints =
    TMethodPtr<void(Integer Index, TTrianglePoints3D& Points, TTriangleColors3D& Colors, TTriangleIndexes& Indexes)>;
// An opaque cache a surface operation may hand back; nullptr for none.
using TTeeCachedObject = TObject*;

// The metaclass of canvas classes: class-level operations and the virtual
// constructor.
class TCanvas3DMeta : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  // A new canvas of the class, owned by the caller.
  TCanvas3D* CreateCanvas() const;
  // The text shown to the user; empty for the abstract base.
  virtual String Description() const = 0;
  // The class name of the options editor, or empty.
  virtual String EditorClass() const = 0;
  // Whether the class can work on this machine.
  virtual bool IsAvailable() const = 0;
};

template <class T>
class TCanvas3DClassOf : public TClassOf<T, TCanvas3DMeta> {
public:
  using TClassOf<T, TCanvas3DMeta>::TClassOf;
  String Description() const override { return T::Description(); }
  String EditorClass() const override { return T::EditorClass(); }
  bool IsAvailable() const override { return T::IsAvailable(); }
};

// The canvas metaclass of C; asserts that C is a canvas class.
const TCanvas3DMeta* Canvas3DMeta(TClass C);

// The first class of the canvas class list whose class name equals Name
// exactly (letter case counts); nullptr when none does.
TCanvas3DClass TeeFindCanvasClass(const String& Name);

class TCanvas3D : public TTeeCanvas, public IInterface {
  RTL_CLASS_META(TCanvas3D, TTeeCanvas, TCanvas3DClassOf<TCanvas3D>)
public:
  TCanvas3D() = default;

  // class-level operations
  static String Description() { return {}; }
  static String EditorClass() { return {}; }
  static bool IsAvailable() { return true; }

  using TTeeCanvas::Arc;
  using TTeeCanvas::Arrow;
  using TTeeCanvas::GetArrowPoints;
  using TTeeCanvas::Polyline;
  using TTeeCanvas::PolygonConcave;
  using TTeeCanvas::RoundRect;
  using TTeeCanvas::StretchDraw;

  // -------------------------------------------------------------------------
  // virtual operations, in slot order after those of TTeeCanvas

  // Nothing here: the chart brackets each stage of its drawing with a named
  // group.
  virtual void BeginGroup(const String& Name, TTeeTransform* Transform);
  virtual void EndGroup();
  // Nothing here: the gradient finish of a pie slice.
  virtual void ShapeGradientFill(TEdgeStyle EdgeStyle, Integer Z, const TRect& TopRect, const TRect& BottomRect,
                                 const TRect& DonutRect, Integer StartAngle, Integer EndAngle, TPoint Centre,
                                 bool IsDonut);
  // False here: selects the stock DC brush where a canvas can.
  virtual bool SelectDCBrush();
  virtual TColor GetPixel3D(Integer X, Integer Y, Integer Z);
  virtual bool GetSupports3DText();
  virtual void SetPixel3D(Integer X, Integer Y, Integer Z, TColor Value);
  // The plain shadow: an ellipse or pie, a rounded or plain rectangle, or
  // the polygon Points, in the shadow's colour.
  virtual void DrawShadow(TTeeShadow* Shadow, const TRect& Rect, bool IsEllipse, Integer RoundSize,
                          std::span<const TPoint> Points, double DonutPercent, double StartAngle, double EndAngle);
  // screen to chart at depth z
  virtual void Calculate2DPosition(Integer& X, Integer& Y, Integer Z);
  virtual TPoint Calculate3DPosition(Integer X, Integer Y, Integer Z);
  virtual void Calculate3DPosition(TPointFloat& P, float ZPos);
  // Starts a paint on DestCanvas: mode, angles and the drawing target; the
  // rectangle the chart draws in.
  virtual TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,
                           const TRect& UserRect);
  // From Source: monochrome, the same view options, the three zooms.
  virtual void Assign(TCanvas3D* Source);
  virtual void Projection(Integer MaxDepth, const TRect& ABounds, const TRect& Rect);
  virtual void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect);
  virtual bool ReDrawBitmap();
  virtual bool RenderToBitmap(TBitmap*& ABitmap, const TRect& R);
  virtual void Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth, Integer ArrowHeight,
                     Integer Z0, Integer Z1, double ArrowPercent);
  virtual void ClipCube(const TRect& Rect, Integer MinZ, Integer MaxZ);
  virtual void Cone(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0, Integer Z1,
                    bool Dark3D, Integer ConePercent);
  virtual void Cube(Integer Left, Integer Right, Integer Top, Integer Bottom, Integer Z0, Integer Z1,
                    bool DarkSides, Integer RoundSize);
  virtual void Cube(Integer Left, Integer Right, Integer Top, Integer Bottom, Integer Z0, Integer Z1,
                    Integer BevelSize, bool DarkSides, Integer RoundSize);
  virtual void Cylinder(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0,
                        Integer Z1, bool Dark3D);
  // The rhombus through the middles of the four sides, at the middle depth.
  virtual void Diamond(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0, Integer Z1);
  virtual void DisableRotation();
  virtual void EllipseWithZ(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer Z);
  virtual void EnableRotation();
  virtual void HorizLine3D(Integer Left, Integer Right, Integer Y, Integer Z);
  // A rectangle for canvases that rotate whole shapes, else the rounded
  // rectangle of the projected corners.
  virtual void RoundRect(const TRect& R, Integer X, Integer Y, Integer Z0, Integer Z1);
  virtual void VertLine3D(Integer X, Integer Top, Integer Bottom, Integer Z);
  virtual void ZLine3D(Integer X, Integer Y, Integer Z0, Integer Z1);
  // Bracket drawing that must not rotate; they nest.
  virtual void FrontPlaneBegin();
  virtual void FrontPlaneEnd();
  virtual void LineWithZ(Integer X0, Integer Y0, Integer X1, Integer Y1, Integer Z);
  virtual void MoveTo3D(Integer X, Integer Y, Integer Z);
  virtual void MoveTo3D(float X, float Y, float Z);
  virtual void LineTo3D(Integer X, Integer Y, Integer Z);
  virtual void LineTo3D(float X, float Y, float Z);
  virtual void Pie3D(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, Integer Z0, Integer Z1,
                     double StartAngle, double EndAngle, bool DarkSides, bool DrawSides, Integer DonutPercent,
                     TCustomTeeGradient* Gradient, Integer BevelPercent, TEdgeStyle EdgeStyle,
                     TTeeTransparency Transparency, Integer BevelBright, bool BevelBorder, bool HideSides);
  virtual void Plane3D(TPoint A, TPoint B, Integer Z0, Integer Z1);
  virtual void PlaneWithZ(TPoint P1, TPoint P2, TPoint P3, TPoint P4, Integer Z);
  virtual void PlaneFour3D(TFourPoints& Points, Integer Z0, Integer Z1);
  virtual void Polygon3D(std::span<const TPoint3D> Points);
  // Rounded to integers, then the integer form.
  virtual void Polygon3DConcave(std::span<const TPoint3DFloat> Points, bool Invert);
  // Polygon3D here; Invert is not used.
  virtual void Polygon3DConcave(std::span<const TPoint3D> Points, bool Invert);
  virtual void PolygonWithZ(std::span<const TPoint> Points, Integer Z);
  virtual void PolygonConcave(std::span<const TPoint> Points, Integer Z);
  virtual void Polyline(std::span<const TPoint> Points, Integer Z);
  virtual void Pyramid(bool Vertical, Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z0,
                       Integer Z1, bool DarkSides);
  // The frustum standing on R's bottom edge from StartZ to EndZ, its top
  // 2 TruncX by 2 TruncZ about the centre; the covers when asked (the top
  // one only when TruncX is not 0).  Only the faces turned to the viewer.
  virtual void PyramidTrunc(const TRectF& R, double StartZ, double EndZ, double TruncX, double TruncZ,
                            bool TopCover, bool BottomCover);
  virtual void RectangleWithZ(const TRect& Rect, Integer Z);
  virtual void RectangleY(Integer Left, Integer Top, Integer Right, Integer Z0, Integer Z1);
  virtual void RectangleZ(Integer Left, Integer Top, Integer Bottom, Integer Z0, Integer Z1);
  virtual void RotateLabel3D(Integer X, Integer Y, Integer Z, const String& St, double RotDegree, bool AllowHTML);
  // RectangleWithZ here: the corner sizes are not used.
  virtual void RoundRectWithZ(const TRect& R, Integer X, Integer Y, Integer Z);
  virtual void Sphere(Integer X, Integer Y, Integer Z, double Radius);
  // The picture laid on a plane, one quadrilateral per pixel.
  virtual void StretchDraw(const TRect& Rect, TGraphic* Graphic, double Pos, TCanvas3DPlane Plane);
  virtual void Surface3D(TTeeCanvasSurfaceStyle Style, bool SameBrush, bool CreateCached, bool AddNormals,
                         Integer NumXValues, Integer NumZValues, TTeeCanvasCalcPoints CalcPoints,
                         TTeeCachedObject& Cached);
  virtual void TextOut3D(Integer X, Integer Y, Integer Z, const String& Text, bool AllowHTML);
  virtual void Triangle3D(const TTrianglePoints3D& Points, const TTriangleColors3D& Colors);
  // Nothing here.
  virtual void Triangles(std::span<const TPoint3D> P, bool CreateCached, TTeeCachedObject& Cached);
  virtual void TriangleWithZ(TPoint P1, TPoint P2, TPoint P3, Integer Z);
  // Asks CalcPoints for triangles 1 .. NumTriangles and draws each, blended
  // over its bounds when Blend is given.
  virtual void TriSurface(Integer NumTriangles, bool CreateCached, bool AddNormals, TTeeBlend* Blend,
                          TTeeTransparency Transparency, TTeeCanvasTriPoints CalcPoints, TTeeCachedObject& Cached);

  // -------------------------------------------------------------------------
  // projections of chart points

  TPoint Calculate3DPosition(const TPoint3D& P) { return Calculate3DPosition(P.x, P.y, P.z); }
  TPoint Calculate3DPosition(TPoint P, Integer Z) { return Calculate3DPosition(P.X, P.Y, Z); }
  // The projected corners (Left, Top) and (Right, Bottom); not normalised.
  TRect CalcRect3D(const TRect& R, Integer Z);
  TPointArray Calc3DPoints(std::span<const TPoint> Points, Integer Z);
  TPointFloatArray Calc3DFloatPoints(std::span<const TPointFloat> Points, Integer Z);
  // The convex outline of the projected box.
  TPointArray CubeHull(const TRect& Rect, Integer MinZ, Integer MaxZ);
  // (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom) projected at Z.
  void FourPointsFromRect(const TRect& R, Integer Z, TFourPoints& P);
  TRect RectFromRectZ(const TRect& R, Integer Z);
  // The point at Degrees on the ellipse in Rect; projected only when ZPos is
  // not 0.
  TPointFloat PointFromCircle(const TRect& Rect, double Degrees, Integer ZPos, bool ClockWise = false);
  TPoint PointFromSpiral(const TRect& Rect, double Degrees, double Twist);
  void TrianglePointsTo2D(const TTrianglePoints3D& P, TTrianglePoints& Result);

  // -------------------------------------------------------------------------
  // shapes built on the virtual operations

  void Cube(const TRect& R, Integer Z0, Integer Z1, bool DarkSides, Integer RoundSize = 0) {
    Cube(R.Left, R.Right, R.Top, R.Bottom, Z0, Z1, DarkSides, RoundSize);
  }
  void Diamond(const TRect& R, Integer Z0, Integer Z1) { Diamond(R.Left, R.Top, R.Right, R.Bottom, Z0, Z1); }
  void EllipseWithZ(const TRect& Rect, Integer Z) { EllipseWithZ(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, Z); }
  void Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer StartX, Integer StartY, Integer EndX,
           Integer EndY, Integer Z);
  void Arrow(bool Filled, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth, Integer ArrowHeight, Integer Z) {
    Arrow(Filled, FromPoint, ToPoint, ArrowWidth, ArrowHeight, Z, Z, 50);
  }
  // The seven outline points of an arrow at depth Z, projected.
  TPointArray GetArrowPoints(float ArrowPercent, TPoint FromPoint, TPoint ToPoint, Integer ArrowWidth,
                             Integer ArrowHeight, Integer Z);
  void TextOut3D(Integer X, Integer Y, Integer Z, const String& Text) { TextOut3D(X, Y, Z, Text, false); }
  // The font at the view's zoom when the canvas does not zoom 3D text itself.
  void AssignFont3D(TTeeFont* AFont);
  void PolygonFloatWithZ(std::span<const TPointFloat> Points, Integer Z);
  void PolylineWithZ(std::span<const TPointFloat> Points, Integer Z);
  void Rectangle(const TRect& R, Integer Z) { RectangleWithZ(R, Z); }
  void Rectangle(Integer X0, Integer Y0, Integer X1, Integer Y1, Integer Z) { RectangleWithZ({X0, Y0, X1, Y1}, Z); }
  using TTeeCanvas::Rectangle;
  void PlaneWithZ(const TFourPoints& P, Integer Z) { PlaneWithZ(P[0], P[1], P[2], P[3], Z); }
  void LineWithZ(TPoint FromPoint, TPoint ToPoint, Integer Z) {
    LineWithZ(FromPoint.X, FromPoint.Y, ToPoint.X, ToPoint.Y, Z);
  }
  void MoveTo3D(const TPoint3D& P) { MoveTo3D(P.x, P.y, P.z); }
  void LineTo3D(const TPoint3D& P) { LineTo3D(P.x, P.y, P.z); }
  // The ellipse in the box turned by Angle degrees about its centre, at
  // depth Z: filled under a non-clear brush, else outlined under a visible
  // pen.
  void RotatedEllipse(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer Z, double Angle);

  // -------------------------------------------------------------------------
  // properties

  bool Supports3DText() { return GetSupports3DText(); }
  TView3DOptions* View3DOptions() const { return F3DOptions; }
  void SetView3DOptions(TView3DOptions* Value) { F3DOptions = Value; }
  Integer XCenter() const { return FXCenter; }
  void SetXCenter(Integer Value) { FXCenter = Value; }
  Integer YCenter() const { return FYCenter; }
  void SetYCenter(Integer Value) { FYCenter = Value; }
  Integer ZCenter() const { return FZCenter; }
  void SetZCenter(Integer Value) { FZCenter = Value; }
  TColor Pixels3D(Integer X, Integer Y, Integer Z) { return GetPixel3D(X, Y, Z); }
  void SetPixels3D(Integer X, Integer Y, Integer Z, TColor Value) { SetPixel3D(X, Y, Z, Value); }

  // Not read by the canvases of this library.
  Integer GradientZ = 0;
  bool SupportsID = false;
  // The GDI+ canvas keeps it equal to its anti-alias option.
  bool INoFixAlign = false;
  // Added to the rotation centre.
  struct {
    float X = 0;
    float Y = 0;
    float Z = 0;
  } RotationCenter;
  // Applied to the whole drawing by the GDI+ canvas; absent here.
  TTeeTransform* FTransform = nullptr;

protected:
  // The 180 unprojected points of the ellipse in the box, point i at the
  // angle i x Step (radians) from the bottom of the box, counter-clockwise,
  // the ellipse turned by Angle degrees.
  static void ellipsePoints(TCirclePoints& P, double X1, double Y1, double X2, double Y2, double Step,
                            double Angle = 0);
  // The points of ellipsePoints at depth Z, as RotatedEllipse draws them.
  void drawEllipsePoints(const TCirclePoints& P, Integer Z);

  Integer IDisabledRotation = 0;
  TView3DOptions* F3DOptions = nullptr;  // not owned
  bool FIsNoBMPGrid = false;
  bool FIsOrthogonal = false;
  Integer FXCenter = 0;
  Integer FYCenter = 0;
  Integer FZCenter = 0;

private:
  // The smooth radial fill of an elliptic shadow.
  void fillSmoothShadow(TTeeShadow* Shadow, const std::function<void()>& Shape);
};
