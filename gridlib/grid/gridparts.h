// What lies around and behind a grid's cells: the out-boundary strips
// between the window's client edges and the cell area (four indents), and
// the background picture drawn under the cells.  Both belong to the grid.
#pragma once

#include "gridlib/grid/grids.h"

class TPicture;

// ---------------------------------------------------------------------------
// TGridOutBoundaryDataEh

// Who owns a corner square: the top/bottom strip (horizontal) or the
// left/right strip (vertical).
RTL_ENUM(TCornerDrawPriorityEh, crpHorizontalDataPriorityEh, crpVerticalDataPriorityEh)

// Strips are numbered as cell borders: 0 top, 1 left, 2 bottom, 3 right.
class TGridOutBoundaryDataEh : public TPersistent {
  RTL_CLASS(TGridOutBoundaryDataEh, TPersistent)
public:
  explicit TGridOutBoundaryDataEh(TCustomGridEh* AGrid);

  // A changed indent or corner priority runs the grid's layout update;
  // LeftBottomDrawPriority only stores its value.
  Integer BottomIndent() const { return FBottomIndent; }
  void SetBottomIndent(Integer Value) { setValue(FBottomIndent, Value); }
  Integer LeftIndent() const { return FLeftIndent; }
  void SetLeftIndent(Integer Value) { setValue(FLeftIndent, Value); }
  Integer RightIndent() const { return FRightIndent; }
  void SetRightIndent(Integer Value) { setValue(FRightIndent, Value); }
  Integer TopIndent() const { return FTopIndent; }
  void SetTopIndent(Integer Value) { setValue(FTopIndent, Value); }
  TCornerDrawPriorityEh LeftTopDrawPriority() const { return FLeftTopDrawPriority; }
  void SetLeftTopDrawPriority(TCornerDrawPriorityEh Value) { setValue(FLeftTopDrawPriority, Value); }
  TCornerDrawPriorityEh RightTopDrawPriority() const { return FRightTopDrawPriority; }
  void SetRightTopDrawPriority(TCornerDrawPriorityEh Value) { setValue(FRightTopDrawPriority, Value); }
  TCornerDrawPriorityEh LeftBottomDrawPriority() const { return FLeftBottomDrawPriority; }
  void SetLeftBottomDrawPriority(TCornerDrawPriorityEh Value) { FLeftBottomDrawPriority = Value; }
  TCornerDrawPriorityEh RightBottomDrawPriority() const { return FRightBottomDrawPriority; }
  void SetRightBottomDrawPriority(TCornerDrawPriorityEh Value) { setValue(FRightBottomDrawPriority, Value); }

  // The strip's client rectangle; False when its indent is 0 or less.
  bool GetOutBoundaryRect(TRect& ARect, TGridCellBorderTypeEh OutBoundaryType);
  void InvalidateOutBoundary(TGridCellBorderTypeEh OutBoundaryType);

private:
  template <class T>
  void setValue(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    if (FGrid) FGrid->OutBoundaryDataChanged();
  }

  Integer FBottomIndent = 0;
  Integer FLeftIndent = 0;
  Integer FRightIndent = 0;
  Integer FTopIndent = 0;
  TCornerDrawPriorityEh FLeftTopDrawPriority = crpHorizontalDataPriorityEh;
  TCornerDrawPriorityEh FRightTopDrawPriority = crpHorizontalDataPriorityEh;
  TCornerDrawPriorityEh FLeftBottomDrawPriority = crpHorizontalDataPriorityEh;
  TCornerDrawPriorityEh FRightBottomDrawPriority = crpHorizontalDataPriorityEh;
  TCustomGridEh* FGrid;
};

// ---------------------------------------------------------------------------
// TGridBackgroundDataEh

RTL_ENUM(TImagePlacementEh, ipTopLeftEh, ipTopCenterEh, ipTopRightEh, ipCenterLeftEh, ipCenterCenterEh,
         ipCenterRightEh, ipBottomLeftEh, ipBottomCenterEh, ipBottomRightEh, ipFillEh, ipReduceFitEh, ipFitEh,
         ipStretchEh, ipTileEh)

class TGridBackgroundDataEh : public TPersistent {
  RTL_CLASS(TGridBackgroundDataEh, TPersistent)
public:
  explicit TGridBackgroundDataEh(TCustomGridEh* AGrid);
  ~TGridBackgroundDataEh() override;

  // properties; a changed value repaints the grid
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { setValue(FVisible, Value); }
  TImagePlacementEh Placement() const { return FImagePlacement; }
  void SetPlacement(TImagePlacementEh Value) { setValue(FImagePlacement, Value); }
  // Margins shift the picture; they do not shrink the area.
  Integer HorzMargin() const { return FImageHorzMargin; }
  void SetHorzMargin(Integer Value) { setValue(FImageHorzMargin, Value); }
  Integer VertMargin() const { return FImageVertMargin; }
  void SetVertMargin(Integer Value) { setValue(FImageVertMargin, Value); }
  // Owned; setting copies.
  TPicture* Picture() const { return FPicture; }
  void SetPicture(TPicture* Value);

  // The rectangle the picture is drawn into (without tiling).
  TRect PictureRect();

  // introduced virtuals, in slot order
  virtual bool Showing() { return FVisible; }
  // The cell area of the grid.
  virtual TRect BoundRect();
  virtual void PaintBackgroundData();

private:
  template <class T>
  void setValue(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    FGrid->Invalidate();
  }
  void pictureChanged(TObject* Sender);

  TCustomGridEh* FGrid;
  Integer FImageHorzMargin = 0;
  TImagePlacementEh FImagePlacement = ipCenterCenterEh;
  Integer FImageVertMargin = 0;
  TPicture* FPicture;
  bool FVisible = false;
};
