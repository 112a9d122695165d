#include "platform/ui/graphics/surface.h"

#include "platform/ui/graphics/metrics.h"

#include <QPainter>
#include <cassert>

TSurface::TSurface(QImage Image) : FKind(TKind::Image), FImage(std::move(Image)) {}

TSurface::TSurface(TKind Kind, QPaintDevice* Device, int Width, int Height, int DpiX, int DpiY)
    : FKind(Kind), FDevice(Device), FWidth(Width), FHeight(Height), FDpiX(DpiX), FDpiY(DpiY) {
  assert(Kind != TKind::Image && "image surfaces are made from a QImage");
}

std::shared_ptr<TSurface> TSurface::MakeScreen() {
  const TScreenMetrics& M = ScreenMetrics();
  return std::make_shared<TSurface>(TKind::Screen, nullptr, M.Width, M.Height, 0, 0);
}

std::shared_ptr<TSurface> TSurface::MakeRecording(int Width, int Height) {
  auto S = std::make_shared<TSurface>(TKind::Recording, nullptr, Width, Height, 0, 0);
  S->Recording = true;
  return S;
}

TSurface::~TSurface() { EndPainting(); }

int TSurface::Width() const { return FKind == TKind::Image ? FImage.width() : FWidth; }

int TSurface::Height() const { return FKind == TKind::Image ? FImage.height() : FHeight; }

QImage& TSurface::Image() {
  assert(HasPixels() && "surface without pixels");
  EndPainting();
  return FImage;
}

void TSurface::SetImage(QImage Image) {
  assert(HasPixels() && "surface without pixels");
  EndPainting();
  FImage = std::move(Image);
}

void TSurface::EndPainting() {
  if (FPainter && FPainter->isActive()) FPainter->end();
  PainterStateOwner = nullptr;
}

QPainter* TSurface::Painter() {
  if (FKind == TKind::Screen || FKind == TKind::Recording) return nullptr;
  // The raster engine cannot paint on 8-bit palette images.
  if (FKind == TKind::Image && (FImage.isNull() || FImage.format() == QImage::Format_Indexed8)) return nullptr;
  if (!FPainter) FPainter = std::make_unique<QPainter>();
  if (!FPainter->isActive()) {
    QPaintDevice* Device = FKind == TKind::Image ? static_cast<QPaintDevice*>(&FImage) : FDevice;
    if (!Device || !FPainter->begin(Device)) return nullptr;
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    PainterStateOwner = nullptr;
  }
  return FPainter.get();
}

QImage* TSurface::DrawingPixels() { return FKind == TKind::Image ? &FImage : nullptr; }
