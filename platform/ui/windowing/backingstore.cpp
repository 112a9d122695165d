#include "platform/ui/windowing/backingstore.h"

#include <QPainter>
#include <algorithm>

QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }

TRect FromQRect(const QRect& R) { return Rect(R.left(), R.top(), R.left() + R.width(), R.top() + R.height()); }

namespace {

// A fresh window image is white, like a freshly created window before its
// first erase.
QImage blankImage(TSize Size) {
  QImage Image(std::max(Size.cx, 0), std::max(Size.cy, 0), QImage::Format_RGB32);
  Image.fill(Qt::white);
  return Image;
}

}  // namespace

TBackingStore::TBackingStore() : FSurface(std::make_shared<TSurface>(blankImage({0, 0}))) {}

QRect TBackingStore::clientBox() const { return QRect(0, 0, FClientRect.Width(), FClientRect.Height()); }

bool TBackingStore::SetGeometry(TSize WindowSize, const TRect& ClientRect, bool RedrawAll) {
  WindowSize = {std::max(WindowSize.cx, 0), std::max(WindowSize.cy, 0)};
  const TRect OldClient = FClientRect;
  const bool Resized = WindowSize != FWindowSize;
  if (!Resized && ClientRect == OldClient) return false;

  if (Resized) {
    QImage Image = blankImage(WindowSize);
    const QImage& Old = FSurface->Image();
    if (!Old.isNull() && !Image.isNull()) {
      QPainter P(&Image);
      P.setCompositionMode(QPainter::CompositionMode_Source);
      P.drawImage(0, 0, Old);
    }
    FSurface->SetImage(std::move(Image));
    FWindowSize = WindowSize;
  }
  FClientRect = ClientRect;
  FFrameInvalid = true;

  const QRect Box = clientBox();
  FUpdateRegion &= Box;
  const bool ClientMoved = ClientRect.TopLeft() != OldClient.TopLeft();
  if (RedrawAll || ClientMoved)
    Invalidate(Box, /*Erase=*/true);
  else
    Invalidate(QRegion(Box) - QRect(0, 0, OldClient.Width(), OldClient.Height()), /*Erase=*/true);
  return true;
}

void TBackingStore::SetShape(std::optional<QRegion> Shape) { FShape = std::move(Shape); }

void TBackingStore::Invalidate(const QRegion& Region, bool Erase) {
  const QRegion Added = Region & clientBox();
  if (Added.isEmpty()) return;
  FUpdateRegion += Added;
  FErase = FErase || Erase;
}

void TBackingStore::InvalidateClient(bool Erase) { Invalidate(clientBox(), Erase); }

void TBackingStore::Validate(const QRegion& Region) {
  FUpdateRegion -= Region;
  if (FUpdateRegion.isEmpty()) FErase = false;
}

void TBackingStore::ValidateClient() { Validate(clientBox()); }

QRegion TBackingStore::TakeUpdateRegion(bool& Erase) {
  QRegion Result = FUpdateRegion;
  Erase = FErase;
  FUpdateRegion = QRegion();
  FErase = false;
  return Result;
}

gdi::HDC TBackingStore::CreateClientDC(gdi::HWND Window, const std::optional<QRegion>& Visible) {
  TSurfaceDCOptions Options;
  Options.Window = Window;
  Options.Origin = FClientRect.TopLeft();
  Options.Width = FClientRect.Width();
  Options.Height = FClientRect.Height();
  QRegion Region = Visible ? (*Visible & clientBox()) : QRegion(clientBox());
  if (FShape) Region &= FShape->translated(-FClientRect.Left, -FClientRect.Top);
  Options.VisibleRegion = Region;
  return CreateSurfaceDC(FSurface, Options);
}

gdi::HDC TBackingStore::CreateWindowDC(gdi::HWND Window) {
  TSurfaceDCOptions Options;
  Options.Window = Window;
  if (FShape) Options.VisibleRegion = *FShape;
  return CreateSurfaceDC(FSurface, Options);
}

QRegion TBackingStore::Scroll(int DX, int DY, const TRect* ScrollArea, const TRect* Clip) {
  const QRect Box = clientBox();
  const QRect Source = ScrollArea ? ToQRect(*ScrollArea) & Box : Box;
  const QRect ClipBox = Clip ? ToQRect(*Clip) & Box : Box;
  const QRegion Target = QRegion(Source.translated(DX, DY)) & ClipBox;

  // Pixels: every target pixel takes the one (DX, DY) behind it, which lies in
  // Source by construction.  The source is copied first: the areas overlap.
  if (!Target.isEmpty()) {
    QImage& Image = FSurface->Image();
    const QPoint Origin(FClientRect.Left, FClientRect.Top);
    const QImage Moved = Image.copy(Source.translated(Origin));
    QPainter P(&Image);
    P.setCompositionMode(QPainter::CompositionMode_Source);
    P.setClipRegion(Target.translated(Origin));
    P.drawImage(Source.topLeft() + Origin + QPoint(DX, DY), Moved);
  }

  // Invalid content moves with the pixels; the target area's old state goes.
  const QRegion MovedInvalid = (FUpdateRegion & Source).translated(DX, DY) & ClipBox;
  FUpdateRegion = (FUpdateRegion - Target) + MovedInvalid;
  if (FUpdateRegion.isEmpty()) FErase = false;

  return (QRegion(Source) & ClipBox) - Target;
}
