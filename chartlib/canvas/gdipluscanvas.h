// TGDIPlusCanvas: the chart canvas that draws through the GDI+-style
// objects, antialiased, with colour alpha, linear and path gradients, hatch
// and texture brushes.  It keeps the GDI canvas's projection, buffer and
// bitmap handling and replaces every 2D primitive.
//
// Life of the drawing objects:
//   FGraphics  from the first use in a drawing (GetGraphics) to its end: with
//              a buffer ShowImage, the next InitWindow or SetUseBuffer frees it;
//              without one it lives while the device context stays the same;
//   FGPPen     cached from the canvas pen until the pen changes (ApplyPen);
//   FGPBrush   replaced by every fill;
//   FGPFont    until the font's name, size or style changes.
//
// Opacity: Transparency holds 0..255 here (255 opaque).  BeginBlending
// pushes it and lowers it; everything drawn until EndBlending carries the
// lower alpha, so no blend bitmap is needed.
//
// Stacks balanced by their callers during one paint: the saved clip bounds
// (each Clip... with one UnClipRectangle) and the group transforms (each
// BeginGroup with one EndGroup).
//
// GDI+ has no raster operations: figures whose pen mode is XOR or NotXOR are
// drawn by a private GDI canvas (IXORCanvas) on the reference canvas.
#pragma once

#include "chartlib/canvas/teecanvas3d.h"
#include "chartlib/canvas/teetransform.h"
#include "platform/ui/graphics/gdiplus.h"

#include <memory>
#include <vector>

class TTeeGDIPlusPath;

RTL_ENUM(TGDIPlusFontQuality, gpfBest, gpfDefault, gpfClearType, gpfNormal)

// The texts of GDI+ statuses 0..20; "Unknown" for any other.
String TeeGDIPlusStatusText(Integer Status);

class TGDIPlusCanvas : public TTeeCanvas3D {
  RTL_CLASS_META(TGDIPlusCanvas, TTeeCanvas3D, TCanvas3DClassOf<TGDIPlusCanvas>)
public:
  // AntiAlias on, FontQuality fqDefault, Scale 1, opaque, and the private
  // unbuffered GDI canvas for XOR figures.
  TGDIPlusCanvas();
  ~TGDIPlusCanvas() override;

  // class-level operations
  static String Description() { return QStringLiteral("GDI+"); }
  static String EditorClass() { return QStringLiteral("TGDIPlusEditor"); }
  // False while the GDI+ library is not started.
  static bool IsAvailable();

  // -------------------------------------------------------------------------
  // reimplemented: state
  void SetReferenceCanvas(TCanvas* Value) override;
  void ApplyBrush(TTeeBrush* ABrush) override;
  void ApplyPen() override;
  TColor GetBackColor() override { return FBackColor; }
  TCanvasBackMode GetBackMode() override { return FBackMode; }
  bool GetSupportsXORMode() override { return true; }
  Integer GetTextAlign() override { return FTextAlign; }
  bool GetAntiAliasing() override { return ICachedAntialias; }
  bool GetSupportsAntiAliasing() override { return true; }
  void SetAntiAliasing(bool Value) override;
  void SetBackColor(TColor Value) override { FBackColor = Value; }
  void SetBackMode(TCanvasBackMode Value) override { FBackMode = Value; }
  void SetFastLineMode(bool On) override { SetAntiAliasing(!On); }
  void SetInterCharSize(Integer Value) override { FInterCharSize = Value; }
  void SetTextAlign(Integer Value) override { FTextAlign = Value; }
  void SetUseBuffer(bool Value) override;
  // No blend object: the opacity goes down to TransparencyToAlpha(Transparency).
  TTeeBlend* BeginBlending(const TRect& R, TTeeTransparency ATransparency) override;
  void EndBlending(TTeeBlend* Blend) override;
  // One pixel taller at the top and at the bottom.
  void ClipRectangle(const TRect& Rect) override;
  void ClipRectangle(const TRect& Rect, Integer RoundX, Integer RoundY) override;
  void ClipEllipse(const TRect& Rect, bool Inverted) override;
  void ClipPolygon(std::span<const TPoint> Points, Integer NumPoints, bool DiffRegion) override;
  void UnClipRectangle() override;
  void BeginGroup(const String& Name, TTeeTransform* Transform) override;
  void EndGroup() override;
  bool SelectDCBrush() override { return false; }
  TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* A3DOptions, TColor ABackColor, bool Is3D,
                   const TRect& UserRect) override;
  void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& UserRect) override;

  // -------------------------------------------------------------------------
  // reimplemented: text and pictures
  using TTeeCanvas3D::TextOut;
  void ApplyFont() override;
  void Draw(Integer X, Integer Y, TGraphic* Graphic) override;
  void StretchDraw(const TRect& Rect, TGraphic* Graphic) override;
  void StretchRotate(const TRect& Rect, TGraphic* Graphic, float Angle) override;
  void TextOut(Integer X, Integer Y, const String& Text) override;
  Integer TextHeight(const String& St) override;
  TPointFloat TextSize(const String& St) override;
  Integer TextWidth(const String& St) override;
  void RotateLabel(Integer X, Integer Y, const String& St, double RotDegree, bool AllowHTML) override;
  void TextOut3D(Integer X, Integer Y, Integer Z, const String& Text, bool AllowHTML) override;
  // Aligned by TextAlign (2, 6, 14), rotated by ITextRotation, with back fill,
  // shadow, emboss and outline.
  void TextOut(float X, float Y, const String& Text);

  // -------------------------------------------------------------------------
  // reimplemented: paths
  using TTeeCanvas3D::CreatePath;
  TTeeBasePath* CreatePath(const TPointFloatArray& Points, const TPathPointTypes& Types) override;
  // Fills P with the canvas brush and outlines it with the canvas pen.
  void Path(gdiplus::GraphicsPath* P);

  // -------------------------------------------------------------------------
  // reimplemented: lines and shapes
  using TTeeCanvas3D::Arc;
  using TTeeCanvas3D::Ellipse;
  using TTeeCanvas3D::GradientFill;
  using TTeeCanvas3D::LineTo;
  using TTeeCanvas3D::MoveTo;
  using TTeeCanvas3D::Polyline;
  using TTeeCanvas3D::Rectangle;
  using TTeeCanvas3D::RoundRect;
  using TTeeCanvas3D::LineTo3D;
  using TTeeCanvas3D::MoveTo3D;
  using TTeeCanvas3D::LineWithZ;
  using TTeeCanvas3D::StretchDraw;
  void FastLineTo(Integer X, Integer Y) override;
  // A one-pixel line in Value with a pen of its own.
  void SetPixel(Integer X, Integer Y, TColor Value) override;
  void Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, Integer StartX, Integer StartY, Integer EndX,
           Integer EndY) override;
  void Arc(Integer Left, Integer Top, Integer Right, Integer Bottom, float StartAngle, float EndAngle) override;
  void ArcTo(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4,
             bool ClockWise) override;
  void Donut(Integer XCenter, Integer YCenter, Integer XRadius, Integer YRadius, double StartAngle, double EndAngle,
             double HolePercent) override;
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) override;
  void FillRect(const TRect& Rect) override;
  void LineTo(Integer X, Integer Y) override;
  void MoveTo(Integer X, Integer Y) override;
  void Pie(const TRect& R, double StartAngle, double EndAngle) override;
  void Pie(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3, Integer X4, Integer Y4) override;
  void Rectangle(Integer X0, Integer Y0, Integer X1, Integer Y1) override;
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) override;
  // Always fills the closed spline; outlines it closed or open.
  void Curve(std::span<const TPoint> Points, float Tension, bool Closed, float Z) override;
  void DoHorizLine(Integer X0, Integer X1, Integer Y) override;
  void DoVertLine(Integer X, Integer Y0, Integer Y1) override;
  // A gradient fill whatever the canvas brush's style.
  void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                    Integer Balance, Integer RadialX, Integer RadialY) override;
  void Line(Integer X0, Integer Y0, Integer X1, Integer Y1) override;
  void Polyline(std::span<const TPoint> Points) override;
  void PolylineFloat(std::span<const TPointFloat> Points) override;
  void Polygon(std::span<const TPoint> Points) override;
  void PolygonFloat(std::span<const TPointFloat> Points) override;
  void ShapeGradientFill(TEdgeStyle EdgeStyle, Integer Z, const TRect& TopRect, const TRect& BottomRect,
                         const TRect& DonutRect, Integer StartAngle, Integer EndAngle, TPoint Centre,
                         bool IsDonut) override;
  void SetPixel3D(Integer X, Integer Y, Integer Z, TColor Value) override;
  void DrawShadow(TTeeShadow* Shadow, const TRect& Rect, bool IsEllipse, Integer RoundSize,
                  std::span<const TPoint> Points, double DonutPercent, double StartAngle, double EndAngle) override;
  void HorizLine3D(Integer Left, Integer Right, Integer Y, Integer Z) override;
  void VertLine3D(Integer X, Integer Top, Integer Bottom, Integer Z) override;
  void ZLine3D(Integer X, Integer Y, Integer Z0, Integer Z1) override;
  void LineWithZ(Integer X0, Integer Y0, Integer X1, Integer Y1, Integer Z) override;
  void MoveTo3D(Integer X, Integer Y, Integer Z) override;
  void LineTo3D(Integer X, Integer Y, Integer Z) override;
  void RoundRectWithZ(const TRect& R, Integer X, Integer Y, Integer Z) override;

  // -------------------------------------------------------------------------
  // class routines

  // Blue, green and red of AColor; alpha Opacity minus its fourth byte
  // (the chart's transparency amount), at least 0.  System colours are not
  // resolved here.
  static gdiplus::ARGB ToARGB(TColor AColor, Integer Opacity);
  // A rounded rectangle path (owned by the caller) with corner boxes of
  // x and y rounded down to even, at least 1, at most R's size.
  static std::unique_ptr<gdiplus::GraphicsPath> RoundRectPath(const TRect& R, Integer X, Integer Y);
  // Chart angles (degrees, counter-clockwise; an end of 0 is 360) to a GDI+
  // start and sweep.
  static void PieAngles(double StartAngle, double EndAngle, float& Start, float& Sweep);
  // Source drawn scaled into the whole of Dest with high-quality interpolation.
  static void ResizeBitmap(TBitmap* Source, TBitmap* Dest);

  // -------------------------------------------------------------------------
  // the drawing objects

  // Made on first use in a drawing; nullptr when there is no drawing target.
  gdiplus::Graphics* GetGraphics();
  // A new Graphics on DC (replacing the old); a zero DC raises "GDI Error:
  // Canvas Handle HDC is zero", a failing status "GDI+ Error: <n> <text>".
  void CreateGraphics(gdiplus::HDC DC);
  // The ARGB of AColor at the canvas opacity.
  gdiplus::ARGB ToARGB(TColor AColor) const { return ToARGB(AColor, Transparency); }
  // Round((100 - T) * 2.55 * Transparency / 255): a chart transparency
  // percent at the canvas opacity.
  Integer TransparencyToAlpha(Integer T) const;
  // The brush of ABrush over Area (left, top, right, bottom): its visible
  // gradient, else CreatePlainBrush at the canvas opacity.
  std::unique_ptr<gdiplus::Brush> CreateBrush(TTeeBrush* ABrush, const TRectF& Area);
  // Picture, bitmap, hatch or solid brush of ABrush at Opacity.
  std::unique_ptr<gdiplus::Brush> CreatePlainBrush(TTeeBrush* ABrush, Integer Opacity);
  std::unique_ptr<gdiplus::Brush> CreateGradientBrush(TCustomTeeGradient* Gradient, const TRectF& Area);
  std::unique_ptr<gdiplus::Brush> CreatePathGradient(TTeeBrush* ABrush, std::span<const TPointFloat> Points);
  // One stop per colour of Gradient, in the order its direction asks for.
  void CalcBlend(TCustomTeeGradient* Gradient);
  const std::vector<gdiplus::Color>& BlendColors() const { return IBlendColors; }
  const std::vector<gdiplus::REAL>& BlendPositions() const { return IBlendPositions; }
  // The pen draws: its GDI+ pen made, smoothing set from its width.
  bool PreparePen();
  // PreparePen, and a visible pen gradient spread over the area (the four
  // forms of the outline's area).
  bool PreparePenFill(const TRect& R);
  bool PreparePenFill(const gdiplus::RectF& R);
  bool PreparePenFill(std::span<const TPoint> Points, bool FullWidth);
  bool PreparePenFill(std::span<const TPointFloat> Points);
  gdiplus::Pen* GPPen() const { return FGPPen.get(); }
  gdiplus::Brush* GPBrush() const { return FGPBrush.get(); }
  // The embedded display fonts, once a font asked for one of their names.
  gdiplus::PrivateFontCollection* PrivateFonts() const { return IPrivateFonts.get(); }
  gdiplus::Font* GPFont() const { return FGPFont.get(); }
  TTeeCanvas3D* XORCanvas() const { return IXORCanvas; }

  // -------------------------------------------------------------------------
  // properties
  bool AntiAlias() const { return FAnti; }
  void SetAntiAlias(bool Value);
  TGDIPlusFontQuality AntiAliasText() const;
  void SetAntiAliasText(TGDIPlusFontQuality Value);
  float Scale() const { return FScale; }
  void SetScale(float Value);
  gdiplus::Graphics* Graphics() { return GetGraphics(); }

  // Degrees of rotation of the next text output (0: none).
  double ITextRotation = 0;
  // Measure text with the generic typographic format.
  bool UseTypoGraphicMeasure = false;
  // When not empty, the outline path gradients use instead of the shape's own.
  TPointFloatArray IGradientPolygon;

private:
  friend class TTeeGDIPlusPath;
  struct TTeeFontCache {
    String Name;
    float Size = 0;
    TFontStyles Style;
  };

  // graphics object and modes
  void freeGraphics();
  void SetSmoothing(bool On);
  void ApplyAntiAlias(bool On);
  void SetTextHint(TGDIPlusFontQuality Quality);
  // Answers whether it clipped.
  bool ApplyTransform(TTeeTransform* T);
  // Saves the visible clip bounds before a clip call.
  void PushClip();
  std::unique_ptr<gdiplus::Pen> CreatePen(gdiplus::ARGB Color);
  // With a visible pen gradient, the pen filled over Area (true: the pen draws).
  bool preparePenFillArea(const TRectF& Area);
  std::unique_ptr<gdiplus::Brush> linearGradient(TCustomTeeGradient* Gradient, const gdiplus::RectF& R);
  std::unique_ptr<gdiplus::Brush> pathGradient(TCustomTeeGradient* Gradient, const gdiplus::GraphicsPath& P,
                                               const gdiplus::PointF& Centre);
  // The XOR pen (pmXor, pmNotXor) draws through IXORCanvas.
  bool isXORPen() const;
  void CheckXORCanvas();
  void XORLine(Integer X0, Integer Y0, Integer X1, Integer Y1);
  void XORRectangle(const TRect& R);
  // copies the canvas brush and pen into IXORCanvas
  void prepareXORCanvas();

  // shapes
  // FGPBrush := Make() when the canvas brush is not clear; answers whether to fill.
  template <class Make>
  bool newFillBrush(Make&& MakeBrush);
  std::unique_ptr<gdiplus::Brush> polygonBrush(std::span<const TPointFloat> Points);
  std::unique_ptr<gdiplus::GraphicsPath> DonutPath(Integer X, Integer Y, Integer XRadius, Integer YRadius,
                                                   double Start, double End, double HolePercent);
  void FillSmoothPath(const gdiplus::GraphicsPath& P, TColor AColor, float Position);
  void lineBetween(TPoint P0, TPoint P1, const TRect& Area, bool AllowXOR);

  // text
  std::unique_ptr<gdiplus::FontFamily> FindPrivateFamily(const String& Name);
  void LoadPrivateFonts();
  gdiplus::RectF MeasureText(const String& Text, bool Typographic);
  Integer MeasureWidth(const String& Text, bool Typographic);
  TRect TextBounds(float X, float Y, const String& Text);
  void drawPlainText(float X, float Y, const String& Text, TColor AColor);
  void drawOutlineText(float X, float Y, const String& Text);
  void drawTextShadow(TTeeShadow* Shadow, float X, float Y, const String& Text);
  std::unique_ptr<gdiplus::Brush> CreateTextBrush(TColor AColor, float X, float Y, const String& Text);
  void DrawImage(gdiplus::Image* Image, float X, float Y, float W, float H, bool Stretched, float Angle);
  std::unique_ptr<gdiplus::Image> imageOf(TGraphic* Graphic, bool Transparent);

  std::unique_ptr<gdiplus::Graphics> FGraphics;
  std::unique_ptr<gdiplus::Font> FGPFont;
  std::unique_ptr<gdiplus::Pen> FGPPen;
  std::unique_ptr<gdiplus::Brush> FGPPenFill;
  std::unique_ptr<gdiplus::Brush> FGPBrush;
  Integer FX = 0;
  Integer FY = 0;
  Integer FZ = 0;
  bool FAnti = true;
  float FScale = 1;
  TTeeCanvas3D* IXORCanvas;
  std::vector<gdiplus::RectF> IOldClipRect;
  std::unique_ptr<gdiplus::PrivateFontCollection> IPrivateFonts;
  // one stop per gradient colour, however many there are
  std::vector<gdiplus::Color> IBlendColors;
  std::vector<gdiplus::REAL> IBlendPositions;
  TTeeFontCache IOldFont;
  TColor FBackColor = clWhite;
  TCanvasBackMode FBackMode = cbmTransparent;
  Integer FTextAlign = 0;
  Integer FInterCharSize = 0;
  bool ICachedAntialias = false;
  // One entry per open group: the world transform to restore (nullptr when
  // the group has none) and whether the group clipped.
  struct TGroupTransform {
    std::unique_ptr<gdiplus::Matrix> Saved;
    bool Clipped = false;
  };
  std::vector<TGroupTransform> ITransform;
  // the device context FGraphics was made on
  gdiplus::HDC FGraphicsDC = nullptr;
};

// A 32-bit ARGB copy of Bitmap whose transparent colour (its fixed
// TransparentColor, else its bottom-left pixel) is fully transparent.
std::unique_ptr<gdiplus::Bitmap> TeeGPTransparentBitmap(TBitmap* Bitmap);

// The GDI+ form of the chart path: built on the canvas that created it and
// drawn there with its brush and pen.
class TTeeGDIPlusPath : public TTeeBasePath {
  RTL_CLASS(TTeeGDIPlusPath, TTeeBasePath)
public:
  // ACanvas is not owned.
  explicit TTeeGDIPlusPath(TGDIPlusCanvas* ACanvas);
  ~TTeeGDIPlusPath() override;

  void ArcTo(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle) override;
  void Close() override;
  void Curve(std::span<const TPoint> Points, float Tension, bool Closed) override;
  // ACanvas must be the GDI+ canvas the path was made on.
  void Draw(TTeeCanvas* ACanvas) override;
  // Empty arrays for an empty path.
  void GetPoints(TPathPointTypes& Types, TPointFloatArray& Points, TRectF& Bounds) override;
  void LineTo(float X, float Y) override;
  // Moves the current point only: the next line joins the figure.
  void MoveTo(float X, float Y) override;
  // Regular style whatever the font's, em size the font's pixel height.
  void TextOut(float X, float Y, const String& Text) override;
  using TTeeBasePath::LineTo;
  using TTeeBasePath::MoveTo;

  gdiplus::GraphicsPath* GPPath() const { return IPath.get(); }
  // The path replaced by one of Points and Types.
  void SetPoints(const TPointFloatArray& Points, const TPathPointTypes& Types);

private:
  TGDIPlusCanvas* ICanvas;
  std::unique_ptr<gdiplus::GraphicsPath> IPath;
  float FX = 0;
  float FY = 0;
};

// The GDI+ unit: TGDIPlusCanvas joins the canvas class list after the GDI
// canvas (start-up) and leaves it (shutdown).  Runs after the canvas unit.
void InitializeGDIPlusCanvas();
void FinalizeGDIPlusCanvas();
inline constexpr TUnit GDIPlusCanvasUnit{"chartlib/canvas/gdiplus", &InitializeGDIPlusCanvas, &FinalizeGDIPlusCanvas};
