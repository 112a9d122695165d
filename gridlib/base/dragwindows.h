// The feedback windows of row and column drags: top-most windows that
// float over everything without taking the focus.
//
//   TGridDragWinEh / TGridDragBoxEh   a layered custom control: the grey,
//                                     semi-transparent box of a dragged cell
//   TGridDragFormEh / TGridMoveLineEh a non-activating popup form: the line
//                                     with two arrow heads where a moved row
//                                     or column will land (white keyed out)
//
// One box and one line serve the whole program (GetGridDragBoxEh,
// GetGridMoveLineEh): made on first use, owned by the application object,
// reused between drags.  Callers show them with StartShow, move them with
// MoveToFor while visible and hide them when the drag ends.  All positions
// are screen coordinates.
#pragma once

#include "gridlib/base/popupforms.h"

// ---------------------------------------------------------------------------
// TGridDragWinEh

class TGridDragWinEh : public TCustomControl {
  RTL_CLASS(TGridDragWinEh, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TGridDragWinEh(TComponent* AOwner);

  // Plain fields: a change takes effect when the window is next made.
  // 255 is opaque.
  Byte AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value) { FAlphaBlendValue = Value; }
  // The colour keyed out; clNone: no colour key.
  TColor TransparentColorValue() const { return FTransparentColorValue; }
  void SetTransparentColorValue(TColor Value) { FTransparentColorValue = Value; }

  // Raises Exception "Show is not supported. Use StartShow".
  void Show();
  // Keeps the window visible where it is, with no area.
  void TemporaryHide();

  // ---- introduced virtuals, in slot order ----
  virtual void MoveToFor(TPoint NewPos);
  virtual void MoveToFor(TPoint NewPos, Integer NewWidth, Integer NewHeight);
  virtual void StartShow(TPoint Pos, Integer AWidth, Integer AHeight);
  virtual void StartShow(TPoint Pos, Integer AHeight);

protected:
  // reimplemented
  // Exactly WS_POPUP, a tool window, layered.
  void CreateParams(TCreateParams& Params) override;
  // The layered attributes follow the two fields.
  void CreateWnd() override;

  // message handlers
  void WMEraseBkgnd(TWMEraseBkgnd& Message);

private:
  void updateLayeredAttributes();

  Byte FAlphaBlendValue = 200;
  TColor FTransparentColorValue = 0;
};

// The grey box of a dragged cell.
class TGridDragBoxEh : public TGridDragWinEh {
  RTL_CLASS(TGridDragBoxEh, TGridDragWinEh)
public:
  explicit TGridDragBoxEh(TComponent* AOwner) : TGridDragWinEh(AOwner) {}
  void BeforeDestruction() override;

protected:
  void Paint() override;
};

// ---------------------------------------------------------------------------
// TGridDragFormEh

class TGridDragFormEh : public TPopupInactiveFormEh {
  RTL_CLASS(TGridDragFormEh, TPopupInactiveFormEh)
public:
  explicit TGridDragFormEh(TComponent* AOwner) : TPopupInactiveFormEh(AOwner) {}

  Byte AlphaBlendValue() const { return TPopupInactiveFormEh::AlphaBlendValue(); }
  // A value other than 255 also switches AlphaBlend on; nothing here
  // switches it off.
  void SetAlphaBlendValue(Byte Value);

  // Nothing: the form has no temporary state.
  void TemporaryHide() {}

  // ---- introduced virtuals, in slot order ----
  virtual void MoveToFor(TPoint NewPos);
  virtual void MoveToFor(TPoint NewPos, Integer NewWidth, Integer NewHeight);
  virtual void StartShow(TPoint Pos, Integer AWidth, Integer AHeight);
  virtual void StartShow(TPoint Pos, Integer AHeight);
};

// A red line with an arrow head at each end; everything else is white and
// keyed out.
class TGridMoveLineEh : public TGridDragFormEh {
  RTL_CLASS(TGridMoveLineEh, TGridDragFormEh)
public:
  explicit TGridMoveLineEh(TComponent* AOwner);
  void BeforeDestruction() override;

  TColor LineColor() const { return FLineColor; }
  void SetLineColor(TColor Value) { FLineColor = Value; }
  bool IsVert() const { return FIsVert; }

  using TGridDragFormEh::MoveToFor;
  using TGridDragFormEh::StartShow;
  // The line of Size pixels starting at Pos: the window reaches 3 pixels
  // before it across and 4 along.  ACaptureControl is not used.
  virtual void StartShow(TPoint Pos, bool AIsVert, Integer Size, TWinControl* ACaptureControl);
  void MoveToFor(TPoint NewPos) override;

protected:
  void Paint() override;

private:
  TColor FLineColor = clRed;
  bool FIsVert = true;
};

// The shared box (clNone colour key) and line, made on first use.
TGridDragBoxEh* GetGridDragBoxEh();
TGridMoveLineEh* GetGridMoveLineEh();
