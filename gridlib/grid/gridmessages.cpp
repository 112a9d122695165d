// TCustomGridEh messages, focus and timer: buffered painting, focus changes
// that keep the in-place editor, dialog codes, cursors over sizing lines,
// cell clicks from the raw button messages, the cancellation of a mouse
// mode, the auto-scroll timer, the start of moves, the wheel and the anchor.
#include "gridlib/base/painters.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/grid/grids.h"
#include "gridlib/grid/inplaceedit.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/mouse.h"
#include "platform/ui/windowing/timers.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {

// The auto-scroll directions, a set in a byte.
enum : Byte { ScrollLeft = 1, ScrollRight = 2, ScrollUp = 4, ScrollDown = 8 };

constexpr Cardinal MoveTimerInterval = 60;
// The slowest column-moving step: the mouse close to the boundary, or a
// step that just scrolled forward.
constexpr Cardinal SlowMoveInterval = 360;
// How far out (pixels) the interval stops shrinking.
constexpr Integer MaxMoveDistance = 200;
// Past 16 bits the message's coordinates cannot hold the point.
constexpr Integer MaxMessageCoordinate = 32768;

// The interval of a column-moving step D pixels past a boundary, with MaxD
// the largest distance that still counts: 360 ms within 11 pixels down to
// 61 ms at 200.
Cardinal moveIntervalFor(Integer D, Integer MaxD) {
  D = std::min(D, MaxD);
  const Integer E = D > 10 ? D - 10 : 1;
  return Cardinal(Trunc(double(MaxD) / E * 1.5)) + MoveTimerInterval;
}

bool isDblClickMessage(UINT Msg) {
  return Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK;
}

}  // namespace

// ---------------------------------------------------------------------------
// the window procedure

void TCustomGridEh::WndProc(TMessage& Message) {
  if (!isDblClickMessage(Message.Msg) || WantDoubleClicks(Message.As<TWMMouse>())) {
    TCustomControlEh::WndProc(Message);
    return;
  }
  // The platform then takes the second click for a plain button-down.
  const TControlStyle Saved = FControlStyle;
  const TScopeExit Restore([this, Saved] { FControlStyle = Saved; });
  FControlStyle.Exclude(csDoubleClicks);
  TCustomControlEh::WndProc(Message);
}

TMouseButton TCustomGridEh::buttonOf(UINT Msg) const {
  switch (Msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: return mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: return mbMiddle;
    default: return mbLeft;
  }
}

bool TCustomGridEh::WantDoubleClicks(const TWMMouse& Message) {
  const TMouseButton Button = buttonOf(Message.Msg);
  const TShiftState Shift = KeysToShiftState(Word(Message.Keys));
  TPoint P = Message.Pos();
  if (Width() > MaxMessageCoordinate || Height() > MaxMessageCoordinate) P = ScreenToClient(GetCursorPosSafeEh());
  const TGridCoord Cell = MouseCoord(P.X, P.Y);
  if (Cell.X < 0 || Cell.Y < 0) return true;
  const TRect R = CalcCellRect(Cell.X, Cell.Y);
  return WantDoubleClicksAt(Cell, Button, Shift, P, TPoint{P.X - R.Left, P.Y - R.Top});
}

// ---------------------------------------------------------------------------
// painting

void TCustomGridEh::WMPaint(TWMPaint& Message) {
  if (PaintLocked()) return;
  if (NeedBufferedPaint() || DoubleBuffered()) FBufferedPaint = true;
  if (!FBufferedPaint || Message.DC) {
    if (FControlState.Contains(csCustomPaint) || ControlCount() > 0)
      PaintHandler(Message);
    else
      DispatchAs<TCustomControlEh>(Message);
    return;
  }
  const Integer W = ClientWidth(), H = ClientHeight();
  HDC ScreenDC = GetDC(nullptr);
  HBITMAP Bitmap = CreateCompatibleBitmap(ScreenDC, W, H);
  ReleaseDC(nullptr, ScreenDC);
  HDC MemDC = CreateCompatibleDC(nullptr);
  HGDIOBJ OldBitmap = SelectObject(MemDC, Bitmap);
  const TScopeExit FreeBuffer([=] {
    SelectObject(MemDC, OldBitmap);
    DeleteDC(MemDC);
    DeleteObject(Bitmap);
  });
  PAINTSTRUCT PS;
  HDC DC = BeginPaint(Handle(), &PS);
  const TScopeExit End([this, &PS] { EndPaint(Handle(), &PS); });
  HRGN Clip = CreateRectRgn(PS.rcPaint.Left, PS.rcPaint.Top, PS.rcPaint.Right, PS.rcPaint.Bottom);
  Perform(WM_ERASEBKGND, WPARAM(MemDC), LPARAM(MemDC));
  SelectClipRgn(MemDC, Clip);
  DeleteObject(Clip);
  Message.DC = MemDC;
  {
    const TScopeExit ResetDC([&Message] { Message.DC = nullptr; });
    WMPaint(Message);
  }
  BitBlt(DC, 0, 0, W, H, MemDC, 0, 0, SRCCOPY);
}

void TCustomGridEh::WMEraseBkgnd(TWMEraseBkgnd& Message) { Message.Result = 1; }

bool TCustomGridEh::NeedBufferedPaint() { return IsStyleServicesEnabledEh(); }

// ---------------------------------------------------------------------------
// focus and keys

void TCustomGridEh::WMSetFocus(TWMSetFocus& Message) {
  FFocused = true;
  DispatchAs<TCustomControlEh>(Message);
  const bool FromEditor = FInplaceEdit && FInplaceEdit->HandleAllocated() && Message.FocusedWnd &&
                          (Message.FocusedWnd == FInplaceEdit->Handle() ||
                           IsChild(FInplaceEdit->Handle(), Message.FocusedWnd));
  if (FInternalFocusResetting || FromEditor) return;
  Invalidate();
  UpdateEditor();
}

void TCustomGridEh::WMKillFocus(TWMKillFocus& Message) {
  FFocused = false;
  DispatchAs<TCustomControlEh>(Message);
  Invalidate();
  if (FInternalFocusResetting || !FInplaceEdit) return;
  // The focus going into the editor (the host or its core edit) keeps it.
  const bool ToEditor = FInplaceEdit->HandleAllocated() && Message.FocusedWnd &&
                        (Message.FocusedWnd == FInplaceEdit->Handle() ||
                         IsChild(FInplaceEdit->Handle(), Message.FocusedWnd));
  if (!ToEditor) HideEdit();
}

void TCustomGridEh::WMGetDlgCode(TWMGetDlgCode& Message) {
  Message.Result = DLGC_WANTARROWS;
  if (FOptions.Contains(goRowSelectEh)) return;
  if (FOptions.Contains(goTabsEh)) Message.Result |= DLGC_WANTTAB;
  if (FOptions.Contains(goEditingEh)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGridEh::WMChar(TWMKey& Message) {
  const Char Ch = Char(char16_t(Message.CharCode));
  const bool Backspace = Ch.unicode() == 8;
  if (FOptions.Contains(goEditingEh) && (Backspace || (Ch.unicode() >= 32 && CanEditAcceptKey(Ch))) &&
      CanEditModify()) {
    ShowEditorChar(Ch);
    return;
  }
  DispatchAs<TCustomControlEh>(Message);
}

void TCustomGridEh::CMWantSpecialKey(TCMWantSpecialKey& Message) {
  DispatchAs<TCustomControlEh>(Message);
  if (FOptions.Contains(goEditingEh) && Message.CharCode == VK_RETURN) Message.Result = 1;
}

// ---------------------------------------------------------------------------
// hit test, cursor and mouse notices

void TCustomGridEh::WMNCHitTest(TWMNCHitTest& Message) {
  DispatchAs<TCustomControlEh>(Message);
  FHitTest = ScreenToClient(Message.Pos());
}

void TCustomGridEh::WMNCMouseMove(TMessage& Message) {
  DispatchAs<TCustomControlEh>(Message);
  if (FControlStyle.Contains(csNoStdEvents)) return;
  TPoint P{SmallInt(Message.LParamLo()), SmallInt(Message.LParamHi())};
  if (Width() > MaxMessageCoordinate || Height() > MaxMessageCoordinate) P = GetCursorPosSafeEh();
  UpdateHotTrackAtPos(ScreenToClient(P));
}

TCursor TCustomGridEh::SizingCursorAt(TPoint Pos) {
  switch (CalcGridStateAtPos(Pos)) {
    case gsRowSizingEh: return crVSplit;
    case gsColSizingEh: return crHSplit;
    default: return crDefault;
  }
}

void TCustomGridEh::WMSetCursor(TWMSetCursor& Message) {
  if (HandleAllocated() && Message.CursorWnd == Handle()) {
    const TCursor Cursor = SizingCursorAt(FHitTest);
    if (Cursor != crDefault) {
      gdi::SetCursor(Screen->Cursors(Cursor));
      Message.Result = 1;
      return;
    }
  }
  DispatchAs<TCustomControlEh>(Message);
}

void TCustomGridEh::CMMouseEnter(TCMMouseEnter& Message) {
  DispatchAs<TCustomControlEh>(Message);
  FMouseInControl = Message.Control == nullptr || Message.Control == this;
}

void TCustomGridEh::CMMouseLeave(TCMMouseLeave& Message) {
  DispatchAs<TCustomControlEh>(Message);
  if (Message.Control == nullptr || Message.Control == this) FMouseInControl = false;
  UpdateHotTrackAtPos(TPoint{-1, -1});
}

void TCustomGridEh::CMDesignHitTest(TWMMouse& Message) { Message.Result = IsSizingHitAt(Message.Pos()) ? -1 : 0; }

// ---------------------------------------------------------------------------
// cell clicks from the button messages

TGridCoord TCustomGridEh::cellMouseCall(const TWMMouse& Message, TRect& CellRect) {
  const TGridCoord Cell = MouseCoord(Message.XPos, Message.YPos);
  if (Cell.X >= 0 || Cell.Y >= 0) CellRect = CalcCellRect(Cell.X, Cell.Y);
  return Cell;
}

void TCustomGridEh::WMButtonDown(TWMMouse& Message) {
  DispatchAs<TCustomControlEh>(Message);
  if (FInplaceEdit) FInplaceEdit->SetClickTime(GetMessageTimeEh());
  TRect R;
  FMouseDownCell = cellMouseCall(Message, R);
  if (FMouseDownCell.X < 0 && FMouseDownCell.Y < 0) {
    FMouseDownCell = MouseCoord(-1, -1);
    return;
  }
  const TPoint P = Message.Pos();
  CellMouseDown(FMouseDownCell, buttonOf(Message.Msg), KeysToShiftState(Word(Message.Keys)), R, P,
                TPoint{P.X - R.Left, P.Y - R.Top});
}

void TCustomGridEh::WMButtonUp(TWMMouse& Message) {
  // Asked while the state is still the drag's.
  const bool CanClick = CanCellDblClick(Message);
  const UINT Msg = Message.Msg;
  DispatchAs<TCustomControlEh>(Message);
  if (!CanClick) return;
  TRect R;
  const TGridCoord Cell = cellMouseCall(Message, R);
  if (FMouseDownCell.X < 0 || FMouseDownCell.Y < 0 || !(FMouseDownCell == Cell)) return;
  TShiftState Shift = KeysToShiftState(Word(Message.Keys));
  if (isDblClickMessage(Msg)) Shift.Include(ssDouble);
  const TPoint P = Message.Pos();
  CellMouseClick(Cell, buttonOf(Msg), Shift, R, P, TPoint{P.X - R.Left, P.Y - R.Top});
}

// ---------------------------------------------------------------------------
// cancelling a mouse mode

void TCustomGridEh::WMCancelMode(TMessage& Message) {
  DispatchAs<TCustomControlEh>(Message);
  CancelMode();
}

void TCustomGridEh::CMCancelMode(TCMCancelMode& Message) {
  if (FInplaceEdit) FInplaceEdit->WindowProc(AsMessage(Message));
  DispatchAs<TCustomControlEh>(Message);
  if (Message.Sender != this) CancelMode();
}

void TCustomGridEh::CancelMode() {
  const TScopeExit Reset([this] {
    if (FGridState == gsNormalEh) return;
    FGridState = gsNormalEh;
    Invalidate();
  });
  switch (FGridState) {
    case gsSelectingEh: SetGridTimer(false, 0); break;
    case gsRowSizingEh:
    case gsColSizingEh: EraseSizingLine(); break;
    case gsRowMovingEh:
    case gsColMovingEh:
      HideMoveWindow();
      SetGridTimer(false, 0);
      break;
    default: break;
  }
}

// ---------------------------------------------------------------------------
// other notices

void TCustomGridEh::CMCtl3DChanged(TMessage& Message) {
  DispatchAs<TCustomControlEh>(Message);
  RecreateWnd();
}

void TCustomGridEh::CMFontChanged(TMessage& Message) {
  if (FInplaceEdit) FInplaceEdit->Font()->Assign(Font());
  DispatchAs<TCustomControlEh>(Message);
}

void TCustomGridEh::CMStyleChanged(TMessage&) {
  ClearButtonsBitmapCacheEh();
  PrepareInternalColors();
}

// ---------------------------------------------------------------------------
// the timer

void TCustomGridEh::SetGridTimer(bool Enabled, Cardinal Interval) {
  if (Enabled) FGridTimer->SetInterval(Interval == 0 ? 1 : Interval);
  FGridTimer->SetEnabled(Enabled);
}

bool TCustomGridEh::GridTimerEnabled() const { return FGridTimer && FGridTimer->Enabled(); }
Cardinal TCustomGridEh::GridTimerInterval() const { return FGridTimer ? FGridTimer->Interval() : 0; }

void TCustomGridEh::GridTimerTick(TObject*) {
  if (FGridState != gsSelectingEh && FGridState != gsRowMovingEh && FGridState != gsColMovingEh) return;
  const TPoint P = ScreenToClient(GetCursorPosSafeEh());
  const TGridCoord Cell = MouseCoord(P.X, P.Y);
  if (FGridState == gsSelectingEh) {
    Byte Directions = 0;
    if (!UseRightToLeftAlignment()) {
      if (P.X < FHorzAxis->FixedBoundary())
        Directions |= ScrollLeft;
      else if (P.X > FHorzAxis->ContraStart())
        Directions |= ScrollRight;
    } else {
      if (P.X < ClientWidth() - FHorzAxis->ContraStart())
        Directions |= ScrollRight;
      else if (P.X > ClientWidth() - FHorzAxis->FixedBoundary())
        Directions |= ScrollLeft;
    }
    if (P.Y < FVertAxis->FixedBoundary())
      Directions |= ScrollUp;
    else if (P.Y > FVertAxis->ContraStart())
      Directions |= ScrollDown;
    if (Directions != 0) AutoScrollSelection(Directions);
  } else if (FGridState == gsRowMovingEh) {
    UpdateMoveTarget(P.Y, Cell.Y, FVertAxis, /*IsVert=*/true, P);
  } else {
    const Integer OldLeftCol = LeftCol();
    const Int64 OldLeftPos = FHorzAxis->RolStartVisPos();
    UpdateMoveTarget(P.X, Cell.X, FHorzAxis, /*IsVert=*/false, P);
    SetGridTimer(true, columnMoveInterval(P, OldLeftPos, OldLeftCol));
  }
}

Cardinal TCustomGridEh::columnMoveInterval(TPoint ClientPos, Int64 OldLeftPos, Integer OldLeftCol) {
  if (FMoveToIndex < FHorzAxis->FixedCelCount()) return MoveTimerInterval;
  const Integer M = ClientToScreen(ClientPos).X;
  if (ClientPos.X < FHorzAxis->FixedBoundary()) {
    const Integer S = ClientToScreen(TPoint{FHorzAxis->FixedBoundary(), 0}).X;
    return moveIntervalFor(S - M, std::min(S, MaxMoveDistance));
  }
  if (ClientPos.X <= FHorzAxis->ContraStart()) {
    const bool ScrolledForward = LeftCol() > OldLeftCol || FHorzAxis->RolStartVisPos() > OldLeftPos;
    return ScrolledForward ? SlowMoveInterval : MoveTimerInterval;
  }
  const Integer S = ClientToScreen(TPoint{FHorzAxis->ContraStart(), 0}).X;
  return moveIntervalFor(M - S, std::min(Screen->DesktopWidth() - S, MaxMoveDistance));
}

// The anchor is the moving corner of the selection; contra cells are never
// reached this way.
void TCustomGridEh::AutoScrollSelection(Byte Directions) {
  TGridCoord A = FAnchorCell;
  if ((Directions & ScrollLeft) && A.X > FixedColCount()) --A.X;
  if ((Directions & ScrollRight) && A.X < ColCount() - 1) ++A.X;
  if ((Directions & ScrollUp) && A.Y > FixedRowCount()) --A.Y;
  if ((Directions & ScrollDown) && A.Y < RowCount() - 1) ++A.Y;
  if (!(A == FAnchorCell)) SetAnchorCell(A.X, A.Y);
}

// ---------------------------------------------------------------------------
// starting a move

void TCustomGridEh::StartRowMoving(Integer ARow, Integer, Integer) {
  FMoveFromIndex = FMoveToIndex = ARow;
  FGridState = gsRowMovingEh;
  Update();
  DrawMoveLine();
  SetGridTimer(true, MoveTimerInterval);
}

void TCustomGridEh::StartColMoving(Integer ACol, Integer X, Integer Y) {
  FMoveFromIndex = ACol;
  const TGridCoord Cell = MouseCoord(X, Y);
  const TRect R = CalcCellRect(Cell.X, 0);
  const Integer Mid = R.Left + R.Width() / 2;
  const bool PastMiddle = UseRightToLeftAlignment() ? X <= Mid : X >= Mid;
  FMoveToIndex = PastMiddle ? Cell.X + 1 : Cell.X;
  FMoveFromCellOriginDistance = X - R.Left;
  if (Cell.X == -1 && X > FHorzAxis->RolInClientBoundary())
    FMoveToIndex = FHorzAxis->CelCount() - 1;
  else if (Cell.X < LeftCol())
    FMoveToIndex = LeftCol();
  FMovePosRightSite = false;
  FGridState = gsColMovingEh;
  Update();
  DrawMoveLine();
  SetGridTimer(true, MoveTimerInterval);
}

bool TCustomGridEh::CanEndColMoving(Integer& Origin, Integer& Destination, TPoint) {
  if (Origin < Destination && !FMovePosRightSite) --Destination;
  return true;
}

// ---------------------------------------------------------------------------
// the wheel

bool TCustomGridEh::DoMouseWheelDownEvent(TShiftState Shift, TPoint MousePos) {
  bool Handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, Handled);
  return Handled;
}

bool TCustomGridEh::DoMouseWheelUpEvent(TShiftState Shift, TPoint MousePos) {
  bool Handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, Handled);
  return Handled;
}

bool TCustomGridEh::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  if (DoMouseWheelDownEvent(Shift, MousePos)) return true;
  TGridAxisDataEh* V = FVertAxis;
  const bool Ctrl = Shift.Contains(ssCtrl);
  if (IsSmoothVertScroll()) {
    SetTopPos(TopPos() + (Ctrl ? V->RolClientLen() : MouseWheelScrollStep()));
    return true;
  }
  Integer Target = V->RolStartVisCel() + 1;
  if (Ctrl) Target = V->RolLastVisCel() != V->RolLastFullVisCel() ? V->RolLastVisCel() : V->RolLastVisCel() + 1;
  V->SafeSetRolStartVisCel(Target, sstByCellEh);
  return true;
}

bool TCustomGridEh::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  if (DoMouseWheelUpEvent(Shift, MousePos)) return true;
  TGridAxisDataEh* V = FVertAxis;
  const bool Ctrl = Shift.Contains(ssCtrl);
  if (IsSmoothVertScroll()) {
    SetTopPos(TopPos() - (Ctrl ? V->RolClientLen() : MouseWheelScrollStep()));
    return true;
  }
  Integer Target = V->RolStartVisCelOfst() > 0 ? V->RolStartVisCel() : V->RolStartVisCel() - 1;
  if (Ctrl) {
    V->CheckUpdateRolCelPosArr();
    Integer Cel = 0;
    Int64 Offset = 0;
    V->RolCellAtPos(V->RolStartVisPos() - V->RolClientLen(), Cel, Offset);
    Target = Offset > 0 ? Cel + 1 : Cel;
  }
  V->SafeSetRolStartVisCel(Target, sstByPixelEh);
  return true;
}
