// GDI+ canvas fixtures: one drawing into its white buffer (pixels), one
// drawing unbuffered onto a recording surface (the GDI+ calls).
#pragma once

#include "chartlib/canvas/gdipluscanvas.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/surface.h"

#include "tests/chartlib/canvas/canvasfixture.h"

#include <QImage>

class GDIPlusCanvasTest : public CanvasTest {
protected:
  static void SetUpTestSuite() { InitializeUnits({GraphicsUnit, ChartMessagesUnit, CanvasUnit, GDIPlusCanvasUnit}); }
};

// A GDI+ canvas on its white Width x Height buffer.
class GDIPlusPixelTest : public GDIPlusCanvasTest {
protected:
  static constexpr Integer Width = 120;
  static constexpr Integer Height = 100;
  void SetUp() override {
    Window.SetSize(Width, Height);
    C.InitWindow(Window.Canvas(), nullptr, clWhite, false, Rect(0, 0, Width, Height));
    C.Brush()->SetColor(clWhite);
    C.Pen()->SetStyle(psClear);
    C.FillRect(Rect(0, 0, Width, Height));
  }
  TBitmap* Buffer() { return C.Bitmap(); }
  TColor Pixel(Integer X, Integer Y) { return Buffer()->Canvas()->Pixels(X, Y); }
  int Red(Integer X, Integer Y) { return Pixel(X, Y) & 0xFF; }
  void SolidBrush(TColor Color) {
    C.Brush()->SetStyle(bsSolid);
    C.Brush()->SetColor(Color);
  }
  QImage Image() { return Buffer()->Image().copy(); }

  TBitmap Window;
  TGDIPlusCanvas C;
};

// A GDI+ canvas drawing straight onto a recording surface.
class GDIPlusRecordingTest : public GDIPlusCanvasTest {
protected:
  void SetUp() override {
    Target.SetHandle(CreateSurfaceDC(Recording));
    C.SetUseBuffer(false);
    C.InitWindow(&Target, nullptr, clWhite, false, Rect(0, 0, 200, 100));
    Recording->Recording = true;
  }
  void TearDown() override {
    const gdi::HDC DC = Target.Handle();
    C.SetReferenceCanvas(nullptr);
    Target.SetHandle(nullptr);
    gdi::DeleteDC(DC);
  }
  QStringList& Calls() { return Recording->RecordedCalls; }
  // The recorded calls of GDI+ (their names start with Fill or Draw).
  QStringList GdiplusCalls() {
    QStringList R;
    for (const QString& Call : Calls())
      if (Call.startsWith("Fill") || Call.startsWith("Draw")) R << Call;
    return R;
  }

  std::shared_ptr<TSurface> Recording = TSurface::MakeRecording(200, 100);
  TCanvas Target;
  TGDIPlusCanvas C;
};
