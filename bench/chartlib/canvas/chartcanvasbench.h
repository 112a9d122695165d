// What the chart canvas benchmarks share: the two canvas kinds side by side
// and the units a benchmark program of either starts.
#pragma once

#include "bench/support/guibench.h"
#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/chartmessages.h"
#include "chartlib/canvas/gdipluscanvas.h"
#include "platform/ui/graphics/graphicsunit.h"

// A benchmark's argument naming the canvas it draws through.
enum TCanvasKind { ckGDI, ckGDIPlus };

// A new canvas of Kind; the caller frees it with Free().
inline TTeeCanvas3D* NewChartCanvas(TCanvasKind Kind) {
  if (Kind == ckGDIPlus) return new TGDIPlusCanvas;
  return new TTeeCanvas3D;
}

inline int RunChartCanvasBenchmarks(int argc, char** argv) {
  return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit, ChartMessagesUnit, CanvasUnit, GDIPlusCanvasUnit});
}
