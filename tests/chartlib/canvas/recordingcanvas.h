// A chart canvas for tests: the GDI canvas's projection with every 2D
// drawing slot logged with its arguments ("Polygon((5,0),(10,10))") and drawn
// on a bitmap that is the reference canvas, so that a test can check both
// the calls and the pixels.  The device-state slots answer from the bitmap's
// device context.
#pragma once

#include "chartlib/canvas/teecanvas3d.h"
#include "platform/ui/graphics/bitmap.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

class TRecordingCanvas : public TTeeCanvas3D {
  RTL_CLASS_META(TRecordingCanvas, TTeeCanvas3D, TCanvas3DClassOf<TRecordingCanvas>)
public:
  explicit TRecordingCanvas(Integer Width = 200, Integer Height = 200) {
    Bitmap.SetSize(Width, Height);
    Bitmap.Canvas()->Brush()->SetColor(clWhite);
    Bitmap.Canvas()->FillRect(Rect(0, 0, Width, Height));
    SetReferenceCanvas(Bitmap.Canvas());
    FBounds = Rect(0, 0, Width, Height);
  }

  using TTeeCanvas3D::Arc;
  using TTeeCanvas3D::Ellipse;
  using TTeeCanvas3D::LineTo;
  using TTeeCanvas3D::MoveTo;
  using TTeeCanvas3D::Pie;
  using TTeeCanvas3D::Polyline;
  using TTeeCanvas3D::Rectangle;
  using TTeeCanvas3D::RoundRect;
  using TTeeCanvas3D::StretchDraw;
  using TTeeCanvas3D::TextOut;

  // the log, the font of each TextOut, and the pixels
  QStringList Calls;
  struct TTextFont {
    TFontStyles Style;
    Integer Size;
    TColor Color;
  };
  std::vector<TTextFont> TextFonts;
  TBitmap Bitmap;

  // The calls whose name starts with Prefix.
  QStringList CallsOf(const QString& Prefix) const { return Calls.filter(QRegularExpression("^" + Prefix)); }

  static QString Points(std::span<const TPoint> P) {
    QStringList Parts;
    for (const TPoint& Pt : P) Parts << QStringLiteral("(%1,%2)").arg(Pt.X).arg(Pt.Y);
    return Parts.join(u',');
  }

  // device state
  gdi::HDC GetHandle() override { return FCanvas->Handle(); }
  TColor GetBackColor() override { return TColor(gdi::GetBkColor(Handle())); }
  void SetBackColor(TColor Value) override { gdi::SetBkColor(Handle(), gdi::COLORREF(Value)); }
  TCanvasBackMode GetBackMode() override {
    return gdi::GetBkMode(Handle()) == gdi::TRANSPARENT ? cbmTransparent : cbmOpaque;
  }
  void SetBackMode(TCanvasBackMode Value) override {
    gdi::SetBkMode(Handle(), Value == cbmOpaque ? gdi::OPAQUE : gdi::TRANSPARENT);
  }
  bool GetMonochrome() override { return Mono; }
  void SetMonochrome(bool Value) override { Mono = Value; }
  TColor GetPixel(Integer X, Integer Y) override { return FCanvas->Pixels(X, Y); }
  void SetPixel(Integer X, Integer Y, TColor Value) override { FCanvas->SetPixels(X, Y, Value); }
  bool GetSupportsFullRotation() override { return false; }
  bool GetSupportsXORMode() override { return true; }
  Integer GetTextAlign() override { return Integer(gdi::GetTextAlign(Handle())); }
  void SetTextAlign(Integer Value) override { gdi::SetTextAlign(Handle(), gdi::UINT(Value)); }
  bool GetUseBuffer() override { return false; }
  void SetUseBuffer(bool) override {}
  bool GetIsNoBMPGrid() override { return false; }
  bool GetSupportsAntiAliasing() override { return false; }
  bool GetSupports3DText() override { return false; }
  void Invalidate() override { Calls << QStringLiteral("Invalidate"); }

  // 2D drawing: logged and drawn
  void MoveTo(Integer X, Integer Y) override {
    Calls << QStringLiteral("MoveTo(%1,%2)").arg(X).arg(Y);
    FCanvas->MoveTo(X, Y);
  }
  void LineTo(Integer X, Integer Y) override {
    Calls << QStringLiteral("LineTo(%1,%2)").arg(X).arg(Y);
    FCanvas->LineTo(X, Y);
  }
  void Arc(Integer L, Integer T, Integer R, Integer B, Integer X3, Integer Y3, Integer X4, Integer Y4) override {
    Calls << QStringLiteral("Arc(%1,%2,%3,%4,%5,%6,%7,%8)").arg(L).arg(T).arg(R).arg(B).arg(X3).arg(Y3).arg(X4).arg(Y4);
    FCanvas->Arc(L, T, R, B, X3, Y3, X4, Y4);
  }
  void Ellipse(Integer X1, Integer Y1, Integer X2, Integer Y2) override {
    Calls << QStringLiteral("Ellipse(%1,%2,%3,%4)").arg(X1).arg(Y1).arg(X2).arg(Y2);
    FCanvas->Ellipse(X1, Y1, X2, Y2);
  }
  void Pie(const TRect& R, double StartAngle, double EndAngle) override {
    Calls << QStringLiteral("PieAngles(%1,%2,%3,%4,%5,%6)")
                 .arg(R.Left).arg(R.Top).arg(R.Right).arg(R.Bottom).arg(StartAngle).arg(EndAngle);
  }
  void Pie(Integer L, Integer T, Integer R, Integer B, Integer X3, Integer Y3, Integer X4, Integer Y4) override {
    Calls << QStringLiteral("Pie(%1,%2,%3,%4,%5,%6,%7,%8)").arg(L).arg(T).arg(R).arg(B).arg(X3).arg(Y3).arg(X4).arg(Y4);
    FCanvas->Pie(L, T, R, B, X3, Y3, X4, Y4);
  }
  void FillRect(const TRect& R) override {
    Calls << QStringLiteral("FillRect(%1,%2,%3,%4)").arg(R.Left).arg(R.Top).arg(R.Right).arg(R.Bottom);
    FCanvas->FillRect(R);
  }
  void Rectangle(Integer X0, Integer Y0, Integer X1, Integer Y1) override {
    Calls << QStringLiteral("Rectangle(%1,%2,%3,%4)").arg(X0).arg(Y0).arg(X1).arg(Y1);
    FCanvas->Rectangle(X0, Y0, X1, Y1);
  }
  void RoundRect(Integer X1, Integer Y1, Integer X2, Integer Y2, Integer X3, Integer Y3) override {
    Calls << QStringLiteral("RoundRect(%1,%2,%3,%4,%5,%6)").arg(X1).arg(Y1).arg(X2).arg(Y2).arg(X3).arg(Y3);
    FCanvas->RoundRect(X1, Y1, X2, Y2, X3, Y3);
  }
  void Polygon(std::span<const TPoint> P) override {
    Calls << QStringLiteral("Polygon(") + Points(P) + u')';
    FCanvas->Polygon(P);
  }
  void Polyline(std::span<const TPoint> P) override {
    Calls << QStringLiteral("Polyline(") + Points(P) + u')';
    FCanvas->Polyline(P);
  }
  void PolygonFloat(std::span<const TPointFloat> P) override { Polygon(rounded(P)); }
  void PolylineFloat(std::span<const TPointFloat> P) override { Polyline(rounded(P)); }
  void TextOut(Integer X, Integer Y, const String& Text) override {
    Calls << QStringLiteral("TextOut(%1,%2,%3)").arg(X).arg(Y).arg(Text);
    TextFonts.push_back({Font()->Style(), Font()->Size(), Font()->Color()});
    FCanvas->TextOut(X, Y, Text);
  }
  void Draw(Integer X, Integer Y, TGraphic* Graphic) override {
    Calls << QStringLiteral("Draw(%1,%2)").arg(X).arg(Y);
    FCanvas->Draw(X, Y, Graphic);
  }
  void StretchDraw(const TRect& R, TGraphic* Graphic) override {
    Calls << QStringLiteral("StretchDraw(%1,%2,%3,%4)").arg(R.Left).arg(R.Top).arg(R.Right).arg(R.Bottom);
    FCanvas->StretchDraw(R, Graphic);
  }
  void Triangle3D(const TTrianglePoints3D& P, const TTriangleColors3D&) override {
    Calls << QStringLiteral("Triangle3D(%1,%2,%3)").arg(P[0].x).arg(P[1].x).arg(P[2].x);
  }

private:
  static TPointArray rounded(std::span<const TPointFloat> P) {
    TPointArray Result;
    for (const TPointFloat& Pt : P) Result.push_back({Integer(std::lround(Pt.x)), Integer(std::lround(Pt.y))});
    return Result;
  }

  bool Mono = false;
};

// The recording canvas that also keeps the brush colour and the points of
// every polygon, for checking which faces a solid draws and in what colour.
class TFaceLog : public TRecordingCanvas {
public:
  using TRecordingCanvas::TRecordingCanvas;
  using TRecordingCanvas::Polygon;
  struct TFace {
    TColor Color;
    TPointArray Points;
  };
  std::vector<TFace> Faces;
  void Polygon(std::span<const TPoint> P) override {
    Faces.push_back({Brush()->Color(), TPointArray(P.begin(), P.end())});
    TRecordingCanvas::Polygon(P);
  }
};
