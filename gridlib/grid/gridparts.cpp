#include "gridlib/grid/gridparts.h"

#include "platform/ui/graphics/picture.h"
#include "platform/ui/graphics/styles.h"
#include "platform/ui/windowing/window.h"

#include <cmath>

// ---------------------------------------------------------------------------
// TGridOutBoundaryDataEh

TGridOutBoundaryDataEh::TGridOutBoundaryDataEh(TCustomGridEh* AGrid) : FGrid(AGrid) {}

bool TGridOutBoundaryDataEh::GetOutBoundaryRect(TRect& ARect, TGridCellBorderTypeEh OutBoundaryType) {
  const Integer W = FGrid->ClientWidth(), H = FGrid->ClientHeight();
  const auto Vertical = [](TCornerDrawPriorityEh P) { return P == crpVerticalDataPriorityEh; };
  switch (OutBoundaryType) {
    case cbtTopEh:
      if (FTopIndent <= 0) return false;
      ARect = {Vertical(FLeftTopDrawPriority) ? FLeftIndent : 0, 0,
               Vertical(FRightTopDrawPriority) ? W - FRightIndent : W, FTopIndent};
      return true;
    case cbtBottomEh:
      if (FBottomIndent <= 0) return false;
      ARect = {Vertical(FLeftBottomDrawPriority) ? FLeftIndent : 0, H - FBottomIndent,
               Vertical(FRightBottomDrawPriority) ? W - FRightIndent : W, H};
      return true;
    case cbtLeftEh:
      if (FLeftIndent <= 0) return false;
      ARect = {0, Vertical(FLeftTopDrawPriority) ? 0 : FTopIndent, FLeftIndent,
               Vertical(FLeftBottomDrawPriority) ? H : H - FBottomIndent};
      return true;
    case cbtRightEh:
      if (FRightIndent <= 0) return false;
      ARect = {W - FRightIndent, Vertical(FRightTopDrawPriority) ? 0 : FTopIndent, W,
               Vertical(FRightBottomDrawPriority) ? H : H - FBottomIndent};
      return true;
  }
  return false;
}

void TGridOutBoundaryDataEh::InvalidateOutBoundary(TGridCellBorderTypeEh OutBoundaryType) {
  TRect R;
  if (!FGrid->HandleAllocated() || !GetOutBoundaryRect(R, OutBoundaryType)) return;
  const gdi::RECT Rect = R;
  gdi::InvalidateRect(FGrid->Handle(), &Rect, /*Erase=*/0);
}

// ---------------------------------------------------------------------------
// TGridBackgroundDataEh

TGridBackgroundDataEh::TGridBackgroundDataEh(TCustomGridEh* AGrid) : FGrid(AGrid), FPicture(new TPicture) {
  FPicture->OnChange = TNotifyEvent(this, &TGridBackgroundDataEh::pictureChanged);
}

TGridBackgroundDataEh::~TGridBackgroundDataEh() { delete FPicture; }

void TGridBackgroundDataEh::SetPicture(TPicture* Value) { FPicture->Assign(Value); }

void TGridBackgroundDataEh::pictureChanged(TObject*) { FGrid->Invalidate(); }

TRect TGridBackgroundDataEh::BoundRect() {
  return {FGrid->HorzAxis()->GridClientStart(), FGrid->VertAxis()->GridClientStart(),
          FGrid->HorzAxis()->GridClientStop(), FGrid->VertAxis()->GridClientStop()};
}

TRect TGridBackgroundDataEh::PictureRect() {
  const TRect A = BoundRect();
  const Integer AW = A.Width(), AH = A.Height();
  const Integer PW = FPicture->Width(), PH = FPicture->Height();
  const bool Sized = PW > 0 && PH > 0;
  Integer W = PW, H = PH;
  switch (FImagePlacement) {
    case ipStretchEh: W = AW; H = AH; break;
    case ipFitEh:
      if (!Sized) { W = AW; H = AH; break; }
      W = AW;
      H = Integer(std::trunc(double(AW) * PH / PW));
      if (H > AH) {
        H = AH;
        W = Integer(std::trunc(double(AH) * PW / PH));
      }
      break;
    case ipFillEh:
      if (!Sized) { W = AW; H = AH; break; }
      H = AH;
      W = Integer(std::trunc(double(AH) * PW / PH));
      if (W < AW) {
        W = AW;
        H = Integer(std::trunc(double(AW) * PH / PW));
      }
      break;
    default: break;
  }
  const Integer Dx = (AW - W) / 2, Dy = (AH - H) / 2;
  TPoint Offset{0, 0};
  switch (FImagePlacement) {
    case ipTopLeftEh: break;
    case ipTopCenterEh: Offset = {Dx, 0}; break;
    case ipTopRightEh: Offset = {AW - W, 0}; break;
    case ipCenterLeftEh: Offset = {0, Dy}; break;
    case ipCenterCenterEh: Offset = {Dx, Dy}; break;
    case ipCenterRightEh: Offset = {AW - W, Dy}; break;
    case ipBottomLeftEh: Offset = {0, AH - H}; break;
    case ipBottomCenterEh: Offset = {Dx, AH - H}; break;
    case ipBottomRightEh: Offset = {AW - W, AH - H}; break;
    case ipFillEh: Offset = H == AH ? TPoint{Dx, 0} : TPoint{0, Dy}; break;
    case ipFitEh: Offset = W == AW ? TPoint{0, Dy} : TPoint{Dx, 0}; break;
    case ipReduceFitEh:
    case ipStretchEh:
    case ipTileEh: break;
  }
  const Integer Left = A.Left + FImageHorzMargin + Offset.X, Top = A.Top + FImageVertMargin + Offset.Y;
  return {Left, Top, Left + W, Top + H};
}

void TGridBackgroundDataEh::PaintBackgroundData() {
  TCanvas* Canvas = FGrid->Canvas();
  Canvas->Pen()->SetStyle(psSolid);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(StyleServices()->GetSystemColor(FGrid->Color()));
  Canvas->Rectangle(0, 0, FGrid->Width(), FGrid->Height());
  const TRect R = PictureRect();
  const Integer PW = FPicture->Width(), PH = FPicture->Height();
  if (FImagePlacement != ipTileEh || PW <= 0 || PH <= 0) {
    Canvas->StretchDraw(R, FPicture->Graphic());
    return;
  }
  for (Integer Y = R.Top; Y < FGrid->ClientHeight(); Y += PH)
    for (Integer X = R.Left; X < FGrid->ClientWidth(); X += PW) Canvas->Draw(X, Y, FPicture->Graphic());
}
