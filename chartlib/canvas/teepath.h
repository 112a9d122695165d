// Drawing paths: an outline built with moves, lines, arcs and curves, then
// stroked and filled in one go with a canvas's pen, brush, gradient or
// picture.  A canvas hands out paths for itself (TTeeCanvas::CreatePath);
// whoever asked for one frees it.
#pragma once

#include "chartlib/canvas/teegeometry.h"
#include "platform/rtl/object.h"

#include <vector>

class TTeeCanvas;

// Point types of a path (the platform's PT_* bytes).
using TPathPointTypes = std::vector<Byte>;

// The abstract path; TTeePath draws on a canvas's device context.
class TTeeBasePath : public TObject {
  RTL_CLASS(TTeeBasePath, TObject)
public:
  // path operations, in slot order
  // An arc of the ellipse in the box (X, Y, Width, Height) from StartAngle
  // through SweepAngle degrees.
  virtual void ArcTo(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle) = 0;
  virtual void Close() = 0;
  virtual void Curve(std::span<const TPoint> Points, float Tension, bool Closed) = 0;
  virtual void Draw(TTeeCanvas* ACanvas) = 0;
  virtual void GetPoints(TPathPointTypes& Types, TPointFloatArray& Points, TRectF& Bounds) = 0;
  virtual void LineTo(float X, float Y) = 0;
  virtual void MoveTo(float X, float Y) = 0;
  virtual void TextOut(float X, float Y, const String& Text) = 0;

  void LineTo(TPoint P) { LineTo(float(P.X), float(P.Y)); }
  void MoveTo(TPoint P) { MoveTo(float(P.X), float(P.Y)); }
};

// The path of the GDI canvas: the canvas's device context records the outline
// between a path bracket opened at construction and closed by Draw.
class TTeePath : public TTeeBasePath {
  RTL_CLASS(TTeePath, TTeeBasePath)
public:
  // Opens the bracket on Canvas (not owned); a refused bracket raises
  // Exception "Cannot create GDI path. Error: <code> <system text>".
  explicit TTeePath(TTeeCanvas* Canvas);

  // reimplemented
  // The arc of the ellipse in the box from StartAngle through SweepAngle
  // degrees, clockwise on screen for a positive sweep, joined to the outline
  // (the canvas's ArcTo).
  void ArcTo(float X, float Y, float Width, float Height, float StartAngle, float SweepAngle) override;
  void Close() override;
  // Tension is not used: a polygon (Closed, the position then on the last
  // point) or a poly-line from the position.
  void Curve(std::span<const TPoint> Points, float Tension, bool Closed) override;
  // Ends the bracket, then fills (picture, gradient or brush) and strokes
  // the path with ACanvas's brush and pen.
  void Draw(TTeeCanvas* ACanvas) override;
  // Empty: the recorded outline stays in the device context.
  void GetPoints(TPathPointTypes& Types, TPointFloatArray& Points, TRectF& Bounds) override;
  void LineTo(float X, float Y) override;
  void MoveTo(float X, float Y) override;
  void TextOut(float X, float Y, const String& Text) override;
  using TTeeBasePath::LineTo;
  using TTeeBasePath::MoveTo;

private:
  TTeeCanvas* ICanvas;
  bool IFigure = false;  // a point of the outline was given: an arc joins it
};
