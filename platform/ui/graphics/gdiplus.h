// The GDI+-style drawing objects: Graphics over an HDC, pens, solid, hatch,
// texture, linear- and path-gradient brushes, paths with cardinal splines and
// text outlines, regions, matrices, fonts and private font collections,
// string formats, bitmaps (also decoded from a stream) and image attributes,
// with the original class names, members and enumeration values, in
// namespace gdiplus.
//
// Model
//   A Graphics draws on the surface of the HDC it was made on, through the
//   surface's one painter, so GDI and GDI+ drawing on one surface keep their
//   order.  Unlike the GDI calls it draws with antialiasing when the
//   smoothing mode (shapes) or the text rendering hint (text) asks for it.
//
//   world --Graphics transform--> DC logical --base--> surface pixel
//
//   The base transform is the DC's logical -> surface mapping (world
//   transform, mapping mode, layout) taken when the Graphics is made, so a
//   Graphics on a DC mapped with MM_ANISOTROPIC (printing) scales with it.
//   Drawing is clipped to the DC's clip, read at each call, and to the
//   Graphics' own clip (SetClip), which is fixed in surface pixels when it is
//   set.  The page unit is always UnitPixel.
//
// Pixel rules
//   PixelOffsetModeNone, Default and HighSpeed put pixel centres on integer
//   coordinates: an aliased FillRectangle(1, 1, 3, 3) covers pixels 1..3 in
//   both directions (a centre on the left or top edge is inside, on the right
//   or bottom edge outside).  Half and HighQuality put pixel corners on
//   integer coordinates.  Images always map their pixel corners onto the
//   destination rectangle, so an unscaled image lands pixel for pixel.
//   Clips are pixel sets: the pixels whose centres lie inside.
//
// Angles are degrees, clockwise from +x (y grows downwards); a positive sweep
// turns clockwise.  Arcs and ellipses are cubic Béziers of at most 90 degrees
// each, starting at the start angle's radial (an ellipse: at 0 degrees).
//
// Recording surfaces (surface.h) log each drawing call as one line:
// Name(world arguments; the points for polygons and paths) followed by the
// pen ("pen=$AARRGGBB[/w<width>][/<dash style>]") or the brush
// ("brush=$AARRGGBB", "brush=linear($c1,$c2)", "brush=hatch(<style>,$fore,$back)",
// "brush=texture(<width>x<height>)" or "brush=path(<centre x>,<centre y>)");
// curves record their points and tension; DrawString("text",x,y)
// adds "font=<name>/<size><pt|px>" before the brush; DrawImage(dest)
// src=(source); Clear($AARRGGBB).
//
// Objects are not copyable (as in the original); brushes clone.  Methods
// answer a Status; constructors that can fail leave it in GetLastStatus.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/gdi.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

class IStream;
class QBrush;
class QFont;
class QImage;
class QPainterPath;
class QPen;

namespace gdiplus {

using REAL = float;
using INT = int;
using UINT = unsigned int;
using BYTE = std::uint8_t;
using BOOL = int;
using ARGB = std::uint32_t;  // $AARRGGBB
using LANGID = std::uint16_t;
using gdi::HBITMAP;
using gdi::HDC;
using gdi::HPALETTE;
using gdi::HRGN;

class Brush;
class Font;
class FontCollection;
class FontFamily;
class Graphics;
class GraphicsPath;
class Image;
class ImageAttributes;
class Pen;
class SolidBrush;
class StringFormat;

// ---------------------------------------------------------------------------
// status and availability

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20
};

// The flat probe callers use to see whether the library works: a new solid
// brush in *Result (delete it with GdipDeleteBrush), or GdiplusNotInitialized
// and nullptr while the availability switch is off.
Status GdipCreateSolidFill(ARGB Color, SolidBrush** Result);
Status GdipDeleteBrush(Brush* Object);
// Availability switch (tests; on by default).
void SetGdiplusAvailable(bool Available);
bool GdiplusAvailable();

// ---------------------------------------------------------------------------
// enumerations

enum Unit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3, UnitInch = 4, UnitDocument = 5, UnitMillimeter = 6 };

enum SmoothingMode {
  SmoothingModeInvalid = -1,
  SmoothingModeDefault = 0,    // aliased
  SmoothingModeHighSpeed = 1,  // aliased
  SmoothingModeHighQuality = 2,
  SmoothingModeNone = 3,       // aliased
  SmoothingModeAntiAlias = 4,
  SmoothingModeAntiAlias8x4 = SmoothingModeAntiAlias,
  SmoothingModeAntiAlias8x8 = 5
};

enum PixelOffsetMode {
  PixelOffsetModeInvalid = -1,
  PixelOffsetModeDefault = 0,      // pixel centres on integers
  PixelOffsetModeHighSpeed = 1,    // pixel centres on integers
  PixelOffsetModeHighQuality = 2,  // pixel corners on integers
  PixelOffsetModeNone = 3,         // pixel centres on integers
  PixelOffsetModeHalf = 4          // pixel corners on integers
};

enum TextRenderingHint {
  TextRenderingHintSystemDefault = 0,
  TextRenderingHintSingleBitPerPixelGridFit = 1,  // aliased
  TextRenderingHintSingleBitPerPixel = 2,         // aliased
  TextRenderingHintAntiAliasGridFit = 3,
  TextRenderingHintAntiAlias = 4,
  TextRenderingHintClearTypeGridFit = 5
};

enum InterpolationMode {
  InterpolationModeInvalid = -1,
  InterpolationModeDefault = 0,
  InterpolationModeLowQuality = 1,
  InterpolationModeHighQuality = 2,
  InterpolationModeBilinear = 3,
  InterpolationModeBicubic = 4,
  InterpolationModeNearestNeighbor = 5,  // the only sharp one
  InterpolationModeHighQualityBilinear = 6,
  InterpolationModeHighQualityBicubic = 7
};

// Prepend: the new matrix acts first; Append: it acts last.
enum MatrixOrder { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };

// How SetClip combines the new area N with the clip C: Replace N,
// Intersect C*N, Union C+N, Xor, Exclude C-N, Complement N-C.
enum CombineMode {
  CombineModeReplace = 0,
  CombineModeIntersect = 1,
  CombineModeUnion = 2,
  CombineModeXor = 3,
  CombineModeExclude = 4,
  CombineModeComplement = 5
};

enum FillMode { FillModeAlternate = 0, FillModeWinding = 1 };

// Dash and gap lengths are multiples of the pen width: Dash 3,1; Dot 1,1;
// DashDot 3,1,1,1; DashDotDot 3,1,1,1,1,1.
enum DashStyle { DashStyleSolid = 0, DashStyleDash = 1, DashStyleDot = 2, DashStyleDashDot = 3, DashStyleDashDotDot = 4 };

enum LineCap { LineCapFlat = 0, LineCapSquare = 1, LineCapRound = 2, LineCapTriangle = 3 };
enum DashCap { DashCapFlat = 0, DashCapRound = 2, DashCapTriangle = 3 };
// Miter falls back to a bevel beyond the miter limit (10); MiterClipped cuts the miter there.
enum LineJoin { LineJoinMiter = 0, LineJoinBevel = 1, LineJoinRound = 2, LineJoinMiterClipped = 3 };

enum LinearGradientMode {
  LinearGradientModeHorizontal = 0,       // left to right
  LinearGradientModeVertical = 1,         // top to bottom
  LinearGradientModeForwardDiagonal = 2,  // top-left to bottom-right
  LinearGradientModeBackwardDiagonal = 3  // top-right to bottom-left
};

enum WrapMode { WrapModeTile = 0, WrapModeTileFlipX = 1, WrapModeTileFlipY = 2, WrapModeTileFlipXY = 3, WrapModeClamp = 4 };

enum BrushType {
  BrushTypeSolidColor = 0,
  BrushTypeHatchFill = 1,
  BrushTypeTextureFill = 2,
  BrushTypePathGradient = 3,
  BrushTypeLinearGradient = 4
};

// 8 x 8 patterns, fore colour on back colour, aligned to the device pixels;
// the first six draw the pixels of the GDI hatches of the same order.
enum HatchStyle {
  HatchStyleHorizontal, HatchStyleVertical, HatchStyleForwardDiagonal, HatchStyleBackwardDiagonal,
  HatchStyleCross, HatchStyleDiagonalCross, HatchStyle05Percent, HatchStyle10Percent, HatchStyle20Percent,
  HatchStyle25Percent, HatchStyle30Percent, HatchStyle40Percent, HatchStyle50Percent, HatchStyle60Percent,
  HatchStyle70Percent, HatchStyle75Percent, HatchStyle80Percent, HatchStyle90Percent,
  HatchStyleLightDownwardDiagonal, HatchStyleLightUpwardDiagonal, HatchStyleDarkDownwardDiagonal,
  HatchStyleDarkUpwardDiagonal, HatchStyleWideDownwardDiagonal, HatchStyleWideUpwardDiagonal,
  HatchStyleLightVertical, HatchStyleLightHorizontal, HatchStyleNarrowVertical, HatchStyleNarrowHorizontal,
  HatchStyleDarkVertical, HatchStyleDarkHorizontal, HatchStyleDashedDownwardDiagonal,
  HatchStyleDashedUpwardDiagonal, HatchStyleDashedHorizontal, HatchStyleDashedVertical, HatchStyleSmallConfetti,
  HatchStyleLargeConfetti, HatchStyleZigZag, HatchStyleWave, HatchStyleDiagonalBrick, HatchStyleHorizontalBrick,
  HatchStyleWeave, HatchStylePlaid, HatchStyleDivot, HatchStyleDottedGrid, HatchStyleDottedDiamond,
  HatchStyleShingle, HatchStyleTrellis, HatchStyleSphere, HatchStyleSmallGrid, HatchStyleSmallCheckerBoard,
  HatchStyleLargeCheckerBoard, HatchStyleOutlinedDiamond, HatchStyleSolidDiamond,
  HatchStyleTotal,
  HatchStyleLargeGrid = HatchStyleCross,
  HatchStyleMin = HatchStyleHorizontal,
  HatchStyleMax = HatchStyleSolidDiamond
};

enum ColorMatrixFlags { ColorMatrixFlagsDefault = 0, ColorMatrixFlagsSkipGrays = 1, ColorMatrixFlagsAltGray = 2 };
enum ColorAdjustType {
  ColorAdjustTypeDefault = 0,
  ColorAdjustTypeBitmap = 1,
  ColorAdjustTypeBrush = 2,
  ColorAdjustTypePen = 3,
  ColorAdjustTypeText = 4
};

enum FontStyle {
  FontStyleRegular = 0,
  FontStyleBold = 1,
  FontStyleItalic = 2,
  FontStyleBoldItalic = 3,
  FontStyleUnderline = 4,
  FontStyleStrikeout = 8
};

enum FlushIntention { FlushIntentionFlush = 0, FlushIntentionSync = 1 };

// GetPathTypes: the low three bits are the point's kind; flags above.
enum PathPointType : BYTE {
  PathPointTypeStart = 0,
  PathPointTypeLine = 1,
  PathPointTypeBezier = 3,
  PathPointTypePathTypeMask = 0x07,
  PathPointTypeDashMode = 0x10,
  PathPointTypePathMarker = 0x20,
  PathPointTypeCloseSubpath = 0x80,
  PathPointTypeBezier3 = 3
};

using PixelFormat = INT;
inline constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;   // bitmaps made from an HBITMAP
inline constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;

// ---------------------------------------------------------------------------
// points, rectangles, colours

struct Point {
  Point() = default;
  Point(INT x, INT y) : X(x), Y(y) {}
  INT X = 0;
  INT Y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct PointF {
  PointF() = default;
  PointF(REAL x, REAL y) : X(x), Y(y) {}
  REAL X = 0;
  REAL Y = 0;
  friend bool operator==(const PointF&, const PointF&) = default;
};

struct Rect {
  Rect() = default;
  Rect(INT x, INT y, INT width, INT height) : X(x), Y(y), Width(width), Height(height) {}
  INT GetLeft() const { return X; }
  INT GetTop() const { return Y; }
  INT GetRight() const { return X + Width; }
  INT GetBottom() const { return Y + Height; }
  BOOL IsEmptyArea() const { return Width <= 0 || Height <= 0; }
  INT X = 0;
  INT Y = 0;
  INT Width = 0;
  INT Height = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct RectF {
  RectF() = default;
  RectF(REAL x, REAL y, REAL width, REAL height) : X(x), Y(y), Width(width), Height(height) {}
  RectF(const Rect& R) : X(REAL(R.X)), Y(REAL(R.Y)), Width(REAL(R.Width)), Height(REAL(R.Height)) {}
  REAL GetLeft() const { return X; }
  REAL GetTop() const { return Y; }
  REAL GetRight() const { return X + Width; }
  REAL GetBottom() const { return Y + Height; }
  BOOL IsEmptyArea() const { return Width <= 0 || Height <= 0; }
  REAL X = 0;
  REAL Y = 0;
  REAL Width = 0;
  REAL Height = 0;
  friend bool operator==(const RectF&, const RectF&) = default;
};

class Color {
public:
  Color() = default;  // opaque black
  Color(BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(255, r, g, b)) {}
  Color(BYTE a, BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(a, r, g, b)) {}
  Color(ARGB argb) : Argb(argb) {}

  static constexpr ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b) {
    return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
  }
  BYTE GetA() const { return BYTE(Argb >> 24); }
  BYTE GetR() const { return BYTE(Argb >> 16); }
  BYTE GetG() const { return BYTE(Argb >> 8); }
  BYTE GetB() const { return BYTE(Argb); }
  BYTE GetAlpha() const { return GetA(); }
  BYTE GetRed() const { return GetR(); }
  BYTE GetGreen() const { return GetG(); }
  BYTE GetBlue() const { return GetB(); }
  ARGB GetValue() const { return Argb; }
  void SetValue(ARGB argb) { Argb = argb; }
  // COLORREF ($00BBGGRR) <-> opaque colour.
  void SetFromCOLORREF(gdi::COLORREF C) { Argb = MakeARGB(255, gdi::GetRValue(C), gdi::GetGValue(C), gdi::GetBValue(C)); }
  gdi::COLORREF ToCOLORREF() const { return gdi::RGB(GetR(), GetG(), GetB()); }
  friend bool operator==(const Color&, const Color&) = default;

private:
  ARGB Argb = 0xFF000000;
};

// ---------------------------------------------------------------------------
// Matrix: x' = x*m11 + y*m21 + dx, y' = x*m12 + y*m22 + dy.  A value type
// (copyable, unlike the original).  Methods that take a MatrixOrder default
// to Prepend.

class Matrix {
public:
  Matrix();  // identity
  Matrix(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);

  // m[0..5] = m11 m12 m21 m22 dx dy
  Status GetElements(REAL* m) const;
  Status SetElements(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
  REAL OffsetX() const { return REAL(M[4]); }
  REAL OffsetY() const { return REAL(M[5]); }
  Status Reset();
  BOOL IsIdentity() const;
  BOOL IsInvertible() const;
  BOOL Equals(const Matrix* Other) const;

  Status Translate(REAL offsetX, REAL offsetY, MatrixOrder order = MatrixOrderPrepend);
  Status Scale(REAL scaleX, REAL scaleY, MatrixOrder order = MatrixOrderPrepend);
  Status Rotate(REAL angle, MatrixOrder order = MatrixOrderPrepend);
  // Rotation about center.
  Status RotateAt(REAL angle, const PointF& center, MatrixOrder order = MatrixOrderPrepend);
  Status Multiply(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  // InvalidParameter (unchanged) for a singular matrix.
  Status Invert();
  Status TransformPoints(PointF* pts, INT count = 1) const;
  // Integer points are rounded after the transform.
  Status TransformPoints(Point* pts, INT count = 1) const;

private:
  friend struct TMatrixAccess;
  double M[6];  // kept in double so chains of operations do not drift
};

// ---------------------------------------------------------------------------
// brushes

class Brush {
public:
  virtual ~Brush();
  Brush(const Brush&) = delete;
  Brush& operator=(const Brush&) = delete;

  BrushType GetType() const { return FType; }
  virtual std::unique_ptr<Brush> Clone() const = 0;
  // The status of the last failing call, reset by reading it.
  Status GetLastStatus() const;

  // drawing core: the brush as Qt paints it, in world coordinates
  virtual QBrush QtBrush() const = 0;
  // "$AARRGGBB" or "linear($c1,$c2)" for recordings.
  virtual String RecordText() const = 0;
  // The pattern maps to device pixels whatever the transforms (hatches).
  virtual bool DeviceAligned() const { return false; }
  // The world area outside which the brush paints nothing, or nullptr.
  virtual const QPainterPath* PaintedArea() const { return nullptr; }

protected:
  explicit Brush(BrushType Type) : FType(Type) {}
  Status setStatus(Status S) const;

private:
  BrushType FType;
  mutable Status FLastStatus = Ok;
};

class SolidBrush : public Brush {
public:
  explicit SolidBrush(const Color& color);
  Status GetColor(Color* color) const;
  Status SetColor(const Color& color);

  std::unique_ptr<Brush> Clone() const override;
  QBrush QtBrush() const override;
  String RecordText() const override;

private:
  Color FColor;
};

// Colour c1 lies on the boundary line (perpendicular to the gradient's
// direction) through the rectangle corner that comes first along the
// direction, c2 on the one through the corner that comes last; beyond them
// the colours repeat (WrapModeTile).
// One interpolation colour of a gradient brush: Position 0..1 along it.
struct GradientStop {
  REAL Position;
  Color Value;
};

class LinearGradientBrush : public Brush {
public:
  // Horizontal = 0 degrees, Vertical 90, ForwardDiagonal 45, BackwardDiagonal 135.
  LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, LinearGradientMode mode);
  LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2, LinearGradientMode mode);
  // isAngleScalable only matters for brush transforms, which are not built.
  LinearGradientBrush(const RectF& rect, const Color& color1, const Color& color2, REAL angle,
                      BOOL isAngleScalable = 0);
  LinearGradientBrush(const Rect& rect, const Color& color1, const Color& color2, REAL angle,
                      BOOL isAngleScalable = 0);

  Status SetLinearColors(const Color& color1, const Color& color2);
  Status GetLinearColors(Color* colors) const;  // two entries
  Status GetRectangle(RectF* rect) const;
  // Count >= 2 colours at positions rising from 0 to 1 (first 0, last 1);
  // they replace the two linear colours until SetLinearColors.
  Status SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count);
  INT GetInterpolationColorCount() const;
  Status GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const;
  // Only WrapModeTile is built; other modes answer NotImplemented.
  Status SetWrapMode(WrapMode wrapMode);
  WrapMode GetWrapMode() const { return WrapModeTile; }

  std::unique_ptr<Brush> Clone() const override;
  QBrush QtBrush() const override;
  String RecordText() const override;

private:
  LinearGradientBrush(const LinearGradientBrush& Other);

  RectF FRect;
  Color FColors[2];
  PointF FStart;  // the boundary line of c1 passes through FStart, that of c2 through FEnd
  PointF FEnd;
  std::vector<GradientStop> FPreset;  // interpolation colours; empty: the two linear colours
};

class HatchBrush : public Brush {
public:
  // A style outside HatchStyleMin..HatchStyleMax: InvalidParameter, drawn as
  // HatchStyleHorizontal.
  HatchBrush(HatchStyle hatchStyle, const Color& foreColor, const Color& backColor = Color());
  HatchStyle GetHatchStyle() const { return FStyle; }
  Status GetForegroundColor(Color* color) const;
  Status GetBackgroundColor(Color* color) const;

  std::unique_ptr<Brush> Clone() const override;
  QBrush QtBrush() const override;
  String RecordText() const override;
  bool DeviceAligned() const override { return true; }
  // Whether the pixel (X, Y) of the pattern (X and Y taken modulo 8) is in the fore colour.
  static bool PatternBit(HatchStyle Style, INT X, INT Y);

private:
  HatchStyle FStyle;
  Color FFore;
  Color FBack;
};

// A 5 x 5 colour matrix acting on (r, g, b, a, 1) rows.
struct ColorMatrix {
  REAL m[5][5];
};

// Colour adjustments of DrawImage and texture brushes.  Only an identity
// matrix whose alpha scale m[3][3] may differ is built: it multiplies every
// pixel's alpha by that scale.
class ImageAttributes {
public:
  ImageAttributes() = default;
  ImageAttributes(const ImageAttributes&) = delete;
  ImageAttributes& operator=(const ImageAttributes&) = delete;
  // NotImplemented (nothing changes) for any other matrix or for flags.
  Status SetColorMatrix(const ColorMatrix* colorMatrix, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
                        ColorAdjustType type = ColorAdjustTypeDefault);
  Status ClearColorMatrix(ColorAdjustType type = ColorAdjustTypeDefault);

  REAL AlphaScale() const { return FAlphaScale; }
  // Image with its alpha scaled (a copy; Image itself when the scale is 1).
  QImage Apply(const QImage& Image) const;

private:
  REAL FAlphaScale = 1;
};

// Tiles its image from the world origin (WrapModeTile only).
class TextureBrush : public Brush {
public:
  TextureBrush(const Image* image, WrapMode wrapMode = WrapModeTile);
  // The part dstRect (pixels) of image, adjusted by imageAttributes (may be nullptr).
  TextureBrush(const Image* image, const RectF& dstRect, const ImageAttributes* imageAttributes = nullptr);
  TextureBrush(const Image* image, const Rect& dstRect, const ImageAttributes* imageAttributes = nullptr);
  ~TextureBrush() override;
  WrapMode GetWrapMode() const { return WrapModeTile; }

  std::unique_ptr<Brush> Clone() const override;
  QBrush QtBrush() const override;
  String RecordText() const override;

private:
  explicit TextureBrush(const QImage& Texture);
  std::unique_ptr<QImage> FTexture;
};

// A radial gradient from the centre point to the ellipse that bounds the
// path, painting only inside the path.  Interpolation positions run from 0
// (the boundary) to 1 (the centre); without interpolation colours the
// boundary is white and the centre black.
class PathGradientBrush : public Brush {
public:
  explicit PathGradientBrush(const GraphicsPath* path);
  // The polygon of the points (count >= 2).
  PathGradientBrush(const PointF* points, INT count, WrapMode wrapMode = WrapModeClamp);
  PathGradientBrush(const Point* points, INT count, WrapMode wrapMode = WrapModeClamp);
  ~PathGradientBrush() override;

  // The centre of the path's bounds until set.
  Status GetCenterPoint(PointF* point) const;
  Status SetCenterPoint(const PointF& point);
  Status SetCenterPoint(const Point& point);
  Status GetRectangle(RectF* rect) const;
  // As LinearGradientBrush::SetInterpolationColors, positions from the boundary.
  Status SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count);
  INT GetInterpolationColorCount() const;
  Status GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const;

  std::unique_ptr<Brush> Clone() const override;
  QBrush QtBrush() const override;
  String RecordText() const override;
  const QPainterPath* PaintedArea() const override { return FArea.get(); }

private:
  PathGradientBrush(const PathGradientBrush& Other);
  void init(const QPainterPath& Area);

  std::unique_ptr<QPainterPath> FArea;
  RectF FBounds;
  PointF FCenter;
  std::vector<GradientStop> FPreset;
};

// ---------------------------------------------------------------------------
// Pen: width in world units, 0 = one pixel whatever the transform.

class Pen {
public:
  Pen(const Color& color, REAL width = 1);
  // The brush is copied.
  Pen(const Brush* brush, REAL width = 1);
  ~Pen();
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;
  Status GetLastStatus() const;

  Status SetColor(const Color& color);
  Status GetColor(Color* color) const;  // WrongState when the pen has a gradient brush
  // Fills the stroke with a copy of brush (a gradient pen).
  Status SetBrush(const Brush* brush);
  // The pen's own brush (solid for a plain pen); it lives as long as the pen
  // keeps it.
  const Brush* GetBrush() const { return FBrush.get(); }
  Status SetWidth(REAL width);
  REAL GetWidth() const { return FWidth; }
  Status SetDashStyle(DashStyle dashStyle);
  DashStyle GetDashStyle() const { return FDashStyle; }
  Status SetStartCap(LineCap startCap);
  Status SetEndCap(LineCap endCap);
  Status SetDashCap(DashCap dashCap);
  Status SetLineCap(LineCap startCap, LineCap endCap, DashCap dashCap);
  LineCap GetStartCap() const { return FStartCap; }
  LineCap GetEndCap() const { return FEndCap; }
  DashCap GetDashCap() const { return FDashCap; }
  Status SetLineJoin(LineJoin lineJoin);
  LineJoin GetLineJoin() const { return FLineJoin; }

  // drawing core: the pen as Qt strokes it; line caps are the ones both ends
  // share when Qt can draw them, else flat (see NeedsCapShapes).
  QPen QtPen() const;
  // The start and end caps are drawn as shapes of their own: they differ,
  // one is a triangle, or the pen is dashed and has caps.
  bool NeedsCapShapes() const;
  String RecordText() const;

private:
  Status setStatus(Status S) const;

  std::unique_ptr<Brush> FBrush;
  REAL FWidth;
  DashStyle FDashStyle = DashStyleSolid;
  LineCap FStartCap = LineCapFlat;
  LineCap FEndCap = LineCapFlat;
  DashCap FDashCap = DashCapFlat;
  LineJoin FLineJoin = LineJoinMiter;
  mutable Status FLastStatus = Ok;
};

// ---------------------------------------------------------------------------
// GraphicsPath: figures of points with types (PathPointType).  AddLine(s)
// and AddArc continue the open figure, joining it with a line from its last
// point when the new part starts elsewhere; AddRectangle, AddEllipse,
// AddPie and AddPolygon each add a closed figure of their own.

class GraphicsPath {
public:
  explicit GraphicsPath(FillMode fillMode = FillModeAlternate);
  // InvalidParameter (an empty path) unless every type is Start, Line or
  // Bezier (Béziers in threes, flags allowed) and count >= 0.
  GraphicsPath(const PointF* points, const BYTE* types, INT count, FillMode fillMode = FillModeAlternate);
  GraphicsPath(const Point* points, const BYTE* types, INT count, FillMode fillMode = FillModeAlternate);
  ~GraphicsPath();
  GraphicsPath(const GraphicsPath&) = delete;
  GraphicsPath& operator=(const GraphicsPath&) = delete;
  std::unique_ptr<GraphicsPath> Clone() const;
  Status GetLastStatus() const;

  FillMode GetFillMode() const { return FFillMode; }
  Status SetFillMode(FillMode fillMode);
  // Empties the path; the fill mode goes back to Alternate.
  Status Reset();
  // The next point starts a new figure.
  Status StartFigure();
  // Closes the current figure (its last point gets CloseSubpath) and starts a new one.
  Status CloseFigure();

  Status AddLine(REAL x1, REAL y1, REAL x2, REAL y2);
  Status AddLine(INT x1, INT y1, INT x2, INT y2);
  Status AddLine(const PointF& pt1, const PointF& pt2);
  Status AddLine(const Point& pt1, const Point& pt2);
  Status AddLines(const PointF* points, INT count);
  Status AddLines(const Point* points, INT count);
  Status AddArc(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status AddArc(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
  Status AddArc(const RectF& rect, REAL startAngle, REAL sweepAngle);
  Status AddArc(const Rect& rect, REAL startAngle, REAL sweepAngle);
  Status AddRectangle(const RectF& rect);
  Status AddRectangle(const Rect& rect);
  Status AddEllipse(REAL x, REAL y, REAL width, REAL height);
  Status AddEllipse(INT x, INT y, INT width, INT height);
  Status AddEllipse(const RectF& rect);
  Status AddEllipse(const Rect& rect);
  // Centre, line to the arc's start, the arc, closed back to the centre.
  Status AddPie(REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status AddPie(INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
  Status AddPie(const RectF& rect, REAL startAngle, REAL sweepAngle);
  Status AddPie(const Rect& rect, REAL startAngle, REAL sweepAngle);
  Status AddPolygon(const PointF* points, INT count);
  Status AddPolygon(const Point* points, INT count);
  // Cardinal splines through the points (count >= 2; closed: >= 3) as cubic
  // Béziers: between P(i) and P(i+1) the control points are
  // P(i) + tension * (P(i+1) - P(i-1)) / 3 and P(i+1) - tension * (P(i+2) - P(i)) / 3,
  // an end point of an open curve standing in for its missing neighbour.
  // Tension 0 gives straight segments.  The open curve continues the figure.
  Status AddCurve(const PointF* points, INT count, REAL tension = 0.5f);
  Status AddCurve(const Point* points, INT count, REAL tension = 0.5f);
  Status AddClosedCurve(const PointF* points, INT count, REAL tension = 0.5f);
  Status AddClosedCurve(const Point* points, INT count, REAL tension = 0.5f);
  // The glyph outlines of the text (closed figures) laid out as DrawString
  // lays it out from origin, in the family's font of emSize world units.
  Status AddString(const Char* string, INT length, const FontFamily* family, INT style, REAL emSize,
                   const PointF& origin, const StringFormat* format);

  INT GetPointCount() const { return INT(FPoints.size()); }
  // Copy the first count points or types; InsufficientBuffer when count is
  // below GetPointCount.
  Status GetPathPoints(PointF* points, INT count) const;
  Status GetPathPoints(Point* points, INT count) const;  // rounded
  Status GetPathTypes(BYTE* types, INT count) const;
  // The tight bounds of the curves after matrix, widened by half the pen's
  // width; an empty path gives (0, 0, 0, 0).
  Status GetBounds(RectF* bounds, const Matrix* matrix = nullptr, const Pen* pen = nullptr) const;
  Status GetBounds(Rect* bounds, const Matrix* matrix = nullptr, const Pen* pen = nullptr) const;

  // drawing core
  QPainterPath QtPath() const;
  const std::vector<PointF>& Points() const { return FPoints; }
  const std::vector<BYTE>& Types() const { return FTypes; }

private:
  Status setStatus(Status S) const;
  // Appends Points as a continuation of the open figure (see the class comment).
  void continueFigure(const PointF* Points, INT Count, BYTE RestType);
  // Appends Points as a closed figure: Start, RestType..., CloseSubpath on the last.
  void addClosedFigure(const std::vector<PointF>& Points, BYTE RestType);
  // Appends every subpath of Path as a closed figure.
  void addClosedFigures(const QPainterPath& Path);

  std::vector<PointF> FPoints;
  std::vector<BYTE> FTypes;
  FillMode FFillMode;
  bool FNewFigure = true;  // the next point starts a figure
  mutable Status FLastStatus = Ok;
};

// ---------------------------------------------------------------------------
// Region: an area in world coordinates, infinite by default.

class Region {
public:
  Region();  // infinite
  explicit Region(const RectF& rect);
  explicit Region(const Rect& rect);
  explicit Region(const GraphicsPath* path);
  // The pixel set of hRgn (the handle stays the caller's).
  explicit Region(HRGN hRgn);
  ~Region();
  Region(const Region&) = delete;
  Region& operator=(const Region&) = delete;
  Status GetLastStatus() const;

  BOOL IsInfinite(const Graphics* g) const;
  // The infinite region answers (-4194304, -4194304, 8388608, 8388608).
  Status GetBounds(RectF* rect, const Graphics* g) const;

  // drawing core: the area, or nullptr when infinite
  const QPainterPath* QtPath() const { return FPath.get(); }

private:
  std::unique_ptr<QPainterPath> FPath;
  mutable Status FLastStatus = Ok;
};

// ---------------------------------------------------------------------------
// fonts and string formats
//
// Family names keep what they were given and pass the font alias table
// (fontmap.h) only when a Qt font is built, so any name draws.

// The families of a set of fonts.
class FontCollection {
public:
  FontCollection() = default;
  virtual ~FontCollection();
  FontCollection(const FontCollection&) = delete;
  FontCollection& operator=(const FontCollection&) = delete;
  Status GetLastStatus() const;
  INT GetFamilyCount() const { return INT(FFamilies.size()); }
  // The first numSought families into gpfamilies; *numFound how many.
  Status GetFamilies(INT numSought, FontFamily* gpfamilies, INT* numFound) const;
  bool HasFamily(const String& Name) const;

protected:
  std::vector<String> FFamilies;
  mutable Status FLastStatus = Ok;
};

// Fonts from the bytes of font files, usable while the collection lives.
// Their families are registered with the process's fonts, so a Font of such
// a family name draws with them.
class PrivateFontCollection : public FontCollection {
public:
  PrivateFontCollection() = default;
  ~PrivateFontCollection() override;
  // The bytes are copied.  Unreadable bytes: FileNotFound.
  Status AddMemoryFont(const void* memory, INT length);

private:
  std::vector<void*> FHandles;
};

class FontFamily {
public:
  FontFamily();  // no family: IsAvailable is false
  // With a collection the name must be one of its families, else
  // FontFamilyNotFound and no family.
  explicit FontFamily(const Char* name, const FontCollection* fontCollection = nullptr);
  Status GetLastStatus() const;
  // Copies the name, zero-terminated, into name[LF_FACESIZE] (cut to fit).
  Status GetFamilyName(Char* name, LANGID language = 0) const;
  BOOL IsAvailable() const { return !FName.isEmpty(); }

  const String& Name() const { return FName; }

private:
  String FName;
  mutable Status FLastStatus = Ok;
};

class Font {
public:
  // UnitPoint: em = emSize * DpiY / 72 pixels; UnitPixel and UnitWorld: em =
  // emSize world units.  Other units answer NotImplemented (and draw as
  // pixels); a size <= 0 or a null family InvalidParameter.
  Font(const Char* familyName, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint,
       const FontCollection* fontCollection = nullptr);
  Font(const FontFamily* family, REAL emSize, INT style = FontStyleRegular, Unit unit = UnitPoint);
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  Status GetLastStatus() const;

  Status GetFamily(FontFamily* family) const;
  REAL GetSize() const { return FSize; }
  INT GetStyle() const { return FStyle; }
  Unit GetUnit() const { return FUnit; }
  BOOL IsAvailable() const { return !FFamily.isEmpty() && FSize > 0; }

  // drawing core
  // The em size in world units for a Graphics of DpiY world units per inch.
  REAL EmSize(REAL DpiY) const;
  // The Qt font of that em size (rounded to whole pixels, at least 1).
  QFont QtFont(REAL DpiY, bool Antialiased) const;
  String RecordText() const;

private:
  void init(const String& Family, REAL EmSize, INT Style, Unit U);

  String FFamily;
  REAL FSize = 0;
  INT FStyle = FontStyleRegular;
  Unit FUnit = UnitPoint;
  mutable Status FLastStatus = Ok;
};

// The layout of DrawString and MeasureString.  Every format except
// GenericTypographic (and its copies) pads the text by em/6 on the left and
// on the right, as the null format does.
class StringFormat {
public:
  explicit StringFormat(INT formatFlags = 0, LANGID language = 0);
  explicit StringFormat(const StringFormat* format);  // a copy
  StringFormat(const StringFormat&) = delete;
  StringFormat& operator=(const StringFormat&) = delete;

  static const StringFormat* GenericDefault();
  static const StringFormat* GenericTypographic();
  INT GetFormatFlags() const { return FFlags; }
  Status SetFormatFlags(INT flags);

  bool Typographic() const { return FTypographic; }

private:
  struct TTypographic {};
  explicit StringFormat(TTypographic);

  INT FFlags = 0;
  bool FTypographic = false;
};

// ---------------------------------------------------------------------------
// images

class Image {
public:
  virtual ~Image();
  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;
  Status GetLastStatus() const;

  UINT GetWidth() const;
  UINT GetHeight() const;
  PixelFormat GetPixelFormat() const { return FFormat; }

  // drawing core: the pixels (ARGB32, or RGB32 for PixelFormat32bppRGB)
  const QImage& QtImage() const { return *FImage; }

protected:
  Image();
  Status setStatus(Status S) const;

  std::unique_ptr<QImage> FImage;
  PixelFormat FFormat = PixelFormat32bppARGB;

private:
  mutable Status FLastStatus = Ok;
};

class Bitmap : public Image {
public:
  // A copy of the bitmap's pixels (opaque, PixelFormat32bppRGB); hpal is
  // ignored (every device is true colour).  A bad handle: InvalidParameter
  // and an empty image.
  Bitmap(HBITMAP hbm, HPALETTE hpal);
  // Decodes the stream's bytes from its position in any format the picture
  // registry reads (alpha kept); other bytes: UnknownImageFormat and an
  // empty image.  The stream is not kept.
  explicit Bitmap(IStream* stream, BOOL useEmbeddedColorManagement = 0);
  // Transparent black pixels.  Sizes <= 0: InvalidParameter; formats other
  // than PixelFormat32bppARGB: NotImplemented.  Both give an empty image.
  Bitmap(INT width, INT height, PixelFormat format = PixelFormat32bppARGB);

  // InvalidParameter outside the bitmap.
  Status GetPixel(INT x, INT y, Color* color) const;
  Status SetPixel(INT x, INT y, const Color& color);
};

// ---------------------------------------------------------------------------
// Graphics

class Graphics {
public:
  // Draws on DC's surface (see the model at the top); the DC must outlive
  // the Graphics.  A bad handle: InvalidParameter, and every call answers it.
  explicit Graphics(HDC hdc);
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;
  Status GetLastStatus() const;

  // modes (InvalidParameter for the Invalid values)
  Status SetSmoothingMode(SmoothingMode smoothingMode);
  SmoothingMode GetSmoothingMode() const { return FSmoothing; }
  Status SetPixelOffsetMode(PixelOffsetMode pixelOffsetMode);
  PixelOffsetMode GetPixelOffsetMode() const { return FPixelOffset; }
  Status SetTextRenderingHint(TextRenderingHint newMode);
  TextRenderingHint GetTextRenderingHint() const { return FTextHint; }
  Status SetInterpolationMode(InterpolationMode interpolationMode);
  InterpolationMode GetInterpolationMode() const { return FInterpolation; }
  // Only UnitPixel; other units answer NotImplemented.
  Status SetPageUnit(Unit unit);
  Unit GetPageUnit() const { return UnitPixel; }
  // World units per inch: the device's resolution over the base transform's scale.
  REAL GetDpiX() const;
  REAL GetDpiY() const;

  // world transform
  Status SetTransform(const Matrix* matrix);
  Status GetTransform(Matrix* matrix) const;
  Status ResetTransform();
  Status MultiplyTransform(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
  Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
  Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
  Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);

  // clip: areas in world coordinates, fixed through the current transform
  Status SetClip(const RectF& rect, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const Rect& rect, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const GraphicsPath* path, CombineMode combineMode = CombineModeReplace);
  Status SetClip(const Region* region, CombineMode combineMode = CombineModeReplace);
  Status ResetClip();
  // The bounds of what can be drawn (the DC's clip and the Graphics' clip) in world coordinates.
  Status GetVisibleClipBounds(RectF* rect) const;
  Status GetVisibleClipBounds(Rect* rect) const;

  // Fills the visible area with color, replacing the pixels (no blending).
  Status Clear(const Color& color);
  // Drawing goes straight to the surface: nothing to flush.
  void Flush(FlushIntention intention = FlushIntentionFlush);

  // lines and outlines
  Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
  Status DrawLine(const Pen* pen, INT x1, INT y1, INT x2, INT y2);
  Status DrawLine(const Pen* pen, const PointF& pt1, const PointF& pt2);
  Status DrawLine(const Pen* pen, const Point& pt1, const Point& pt2);
  // count >= 2
  Status DrawLines(const Pen* pen, const PointF* points, INT count);
  Status DrawLines(const Pen* pen, const Point* points, INT count);
  Status DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
  Status DrawRectangle(const Pen* pen, INT x, INT y, INT width, INT height);
  Status DrawRectangle(const Pen* pen, const RectF& rect);
  Status DrawRectangle(const Pen* pen, const Rect& rect);
  Status DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
  Status DrawEllipse(const Pen* pen, INT x, INT y, INT width, INT height);
  Status DrawEllipse(const Pen* pen, const RectF& rect);
  Status DrawEllipse(const Pen* pen, const Rect& rect);
  Status DrawArc(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status DrawArc(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
  Status DrawArc(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle);
  Status DrawArc(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle);
  Status DrawPie(const Pen* pen, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status DrawPie(const Pen* pen, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
  Status DrawPie(const Pen* pen, const RectF& rect, REAL startAngle, REAL sweepAngle);
  Status DrawPie(const Pen* pen, const Rect& rect, REAL startAngle, REAL sweepAngle);
  // count >= 2
  Status DrawPolygon(const Pen* pen, const PointF* points, INT count);
  Status DrawPolygon(const Pen* pen, const Point* points, INT count);
  Status DrawPath(const Pen* pen, const GraphicsPath* path);
  // Cardinal splines (GraphicsPath::AddCurve).
  Status DrawCurve(const Pen* pen, const PointF* points, INT count, REAL tension = 0.5f);
  Status DrawCurve(const Pen* pen, const Point* points, INT count, REAL tension = 0.5f);
  Status DrawClosedCurve(const Pen* pen, const PointF* points, INT count, REAL tension = 0.5f);
  Status DrawClosedCurve(const Pen* pen, const Point* points, INT count, REAL tension = 0.5f);

  // fills
  Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
  Status FillRectangle(const Brush* brush, INT x, INT y, INT width, INT height);
  Status FillRectangle(const Brush* brush, const RectF& rect);
  Status FillRectangle(const Brush* brush, const Rect& rect);
  Status FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
  Status FillEllipse(const Brush* brush, INT x, INT y, INT width, INT height);
  Status FillEllipse(const Brush* brush, const RectF& rect);
  Status FillEllipse(const Brush* brush, const Rect& rect);
  Status FillPie(const Brush* brush, REAL x, REAL y, REAL width, REAL height, REAL startAngle, REAL sweepAngle);
  Status FillPie(const Brush* brush, INT x, INT y, INT width, INT height, REAL startAngle, REAL sweepAngle);
  Status FillPie(const Brush* brush, const RectF& rect, REAL startAngle, REAL sweepAngle);
  Status FillPie(const Brush* brush, const Rect& rect, REAL startAngle, REAL sweepAngle);
  // count >= 2
  Status FillPolygon(const Brush* brush, const PointF* points, INT count, FillMode fillMode = FillModeAlternate);
  Status FillPolygon(const Brush* brush, const Point* points, INT count, FillMode fillMode = FillModeAlternate);
  Status FillPath(const Brush* brush, const GraphicsPath* path);
  Status FillClosedCurve(const Brush* brush, const PointF* points, INT count, FillMode fillMode = FillModeAlternate,
                         REAL tension = 0.5f);
  Status FillClosedCurve(const Brush* brush, const Point* points, INT count, FillMode fillMode = FillModeAlternate,
                         REAL tension = 0.5f);

  // text: lines end at CR LF, LF or CR; length -1 means zero-terminated.
  // Line i's baseline lies at origin.Y + ascent + i * line spacing; the text
  // starts at origin.X, plus em/6 unless the format is GenericTypographic.
  Status DrawString(const Char* string, INT length, const Font* font, const PointF& origin,
                    const StringFormat* stringFormat, const Brush* brush);
  // (origin, widest line + 2 * em/6 unless typographic, lines * line
  // spacing); an empty text measures (origin, 0, 0).
  Status MeasureString(const Char* string, INT length, const Font* font, const PointF& origin,
                       const StringFormat* stringFormat, RectF* boundingBox) const;

  // images: the whole image at its pixel size, into a rectangle, or a part
  // of it (srcUnit UnitPixel) into a rectangle, adjusted by the attributes
  // when given.
  Status DrawImage(const Image* image, REAL x, REAL y);
  Status DrawImage(const Image* image, INT x, INT y);
  Status DrawImage(const Image* image, const RectF& rect);
  Status DrawImage(const Image* image, const Rect& rect);
  Status DrawImage(const Image* image, REAL x, REAL y, REAL width, REAL height);
  Status DrawImage(const Image* image, INT x, INT y, INT width, INT height);
  Status DrawImage(const Image* image, const RectF& destRect, REAL srcx, REAL srcy, REAL srcwidth, REAL srcheight,
                   Unit srcUnit, const ImageAttributes* imageAttributes = nullptr);
  Status DrawImage(const Image* image, const Rect& destRect, INT srcx, INT srcy, INT srcwidth, INT srcheight,
                   Unit srcUnit, const ImageAttributes* imageAttributes = nullptr);

private:
  friend class TGraphicsPaint;
  Status setStatus(Status S) const;
  // Draw or fill Path; a recording shows Name(Args), or Name(the path's points) when Args is
  // empty; nothing when Name is nullptr (the caller recorded the call).
  Status strokePath(const Pen* Pen, const GraphicsPath& Path, const char* Name, std::initializer_list<double> Args);
  Status fillPath(const Brush* Brush, const GraphicsPath& Path, const char* Name, std::initializer_list<double> Args);
  // Area in world coordinates (ignored when Infinite).
  Status combineClip(const QPainterPath& Area, bool Infinite, CombineMode Mode);
  bool recording() const;
  void record(const String& Line) const;

  HDC FDC;
  bool FValid = false;
  Matrix FBase;   // DC logical -> surface pixels, at creation
  Matrix FWorld;
  REAL FDpiX = 96;
  REAL FDpiY = 96;
  std::unique_ptr<QPainterPath> FClip;  // surface pixels; nullptr: no clip of its own
  SmoothingMode FSmoothing = SmoothingModeDefault;
  PixelOffsetMode FPixelOffset = PixelOffsetModeDefault;
  TextRenderingHint FTextHint = TextRenderingHintSystemDefault;
  InterpolationMode FInterpolation = InterpolationModeDefault;
  mutable Status FLastStatus = Ok;
};

}  // namespace gdiplus

namespace gdi {
// Drawing goes straight to the surface: nothing is batched, nothing to flush.
inline BOOL GdiFlush() { return 1; }
}  // namespace gdi
