// TCustomGridEh keyboard handling: moving the current cell and the range
// anchor, Tab wrapping, page rows, the Enter toggle of the editor and the
// keys the in-place editor hands back to the grid.
#include "gridlib/grid/grids.h"
#include "gridlib/grid/inplaceedit.h"

#include <algorithm>

using namespace gdi;

namespace {
// The character Enter brings.
constexpr Char EnterChar = Char(13);
}  // namespace

// Rows Page Up and Page Down go to, before the common clamp.  The scan of
// the rows after the window keeps 32-bit positions as the design does.
void TCustomGridEh::calcPageRows(Integer& PageUp, Integer& PageDown) {
  TGridAxisDataEh* V = FVertAxis;
  V->CheckUpdateRolCelPosArr();
  const Integer Top = Integer(V->RolStartVisPos());
  const Integer Win = V->RolClientLen();
  Integer Cel = 0;
  Int64 Offset = 0;

  PageDown = V->RolCelCount() - 1;
  if (Top + Win < V->RolLen()) {
    V->RolCellAtPos(Top + Win, Cel, Offset);
    for (Integer I = Cel; I < V->RolCelCount(); ++I) {
      PageDown = I - 1;
      if (V->GetRolLocCelPosArr(I) + V->GetRolCelLens(I) > Int64(Top) + 2 * Int64(Win)) break;
    }
  }
  PageDown += FixedRowCount();
  if (FCurCell.Y >= PageDown && PageDown < RowCount()) PageDown = FCurCell.Y + 1;

  V->RolCellAtPos(Int64(Top) - Win, Cel, Offset);
  PageUp = (Offset > 0 ? Cel + 1 : Cel) + FixedRowCount();
  if (PageUp >= FCurCell.Y && PageUp > 0) PageUp = FCurCell.Y - 1;
}

// Shift+arrow with range selection moves only the anchor.
void TCustomGridEh::moveAnchorByKey(Word Key) {
  TGridCoord A = FAnchorCell;
  switch (Key) {
    case VK_LEFT: --A.X; break;
    case VK_RIGHT: ++A.X; break;
    case VK_UP: --A.Y; break;
    case VK_DOWN: ++A.Y; break;
    default: break;
  }
  A.X = std::clamp(A.X, FixedColCount() - FrozenColCount(), FullColCount() - 1);
  A.Y = std::clamp(A.Y, FixedRowCount() - FrozenRowCount(), FullRowCount() - 1);
  SetAnchorCell(A.X, A.Y);
}

void TCustomGridEh::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControlEh::KeyDown(Key, Shift);
  const Integer Dir = UseRightToLeftAlignment() ? -1 : 1;
  TGridCoord NewCell = FCurCell;
  Integer PageUp = 0, PageDown = 0;
  calcPageRows(PageUp, PageDown);

  if (Shift.Contains(ssShift) && FOptions.Contains(goRangeSelectEh)) {
    moveAnchorByKey(Key);
    return;
  }

  bool InvalidateAll = false;
  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
      case VK_PRIOR: NewCell.Y = TopRow(); break;
      case VK_END:
        NewCell = {ColCount() - 1, RowCount() - 1};
        InvalidateAll = UseRightToLeftAlignment();
        break;
      case VK_HOME:
        NewCell = {FixedColCount(), FixedRowCount()};
        InvalidateAll = UseRightToLeftAlignment();
        break;
      default: break;
    }
  } else {
    switch (Key) {
      case VK_TAB:
        if (Shift.Contains(ssAlt)) break;
        do {
          if (Shift.Contains(ssShift)) {
            if (--NewCell.X < FixedColCount()) {
              NewCell.X = ColCount() - 1;
              if (--NewCell.Y < FixedRowCount()) NewCell.Y = RowCount() - 1;
            }
            // Only the first step goes back; the search then runs forward.
            Shift = {};
          } else if (++NewCell.X >= ColCount()) {
            NewCell.X = FixedColCount();
            if (++NewCell.Y >= RowCount()) NewCell.Y = FixedRowCount();
          }
        } while (!IsCellNavigable(NewCell.X) && NewCell.X != FCurCell.X);
        break;
      case VK_PRIOR: NewCell.Y = PageUp; break;
      case VK_NEXT: NewCell.Y = PageDown; break;
      case VK_END: NewCell.X = ColCount() - 1; break;
      case VK_HOME: NewCell.X = FixedColCount(); break;
      case VK_LEFT:
        if (FOptions.Contains(goRowSelectEh))
          HorzScrollCommand(/*SB_LINEUP=*/0, 0);
        else
          NewCell.X = FindSelectableCell(FCurCell.X, FCurCell.Y, NewCell.X - Dir, NewCell.Y).X;
        break;
      case VK_RIGHT:
        if (FOptions.Contains(goRowSelectEh))
          HorzScrollCommand(/*SB_LINEDOWN=*/1, 0);
        else
          NewCell.X = FindSelectableCell(FCurCell.X, FCurCell.Y, NewCell.X + Dir, NewCell.Y).X;
        break;
      case VK_UP: NewCell.Y = FindSelectableCell(FCurCell.X, FCurCell.Y, NewCell.X, NewCell.Y - 1).Y; break;
      case VK_DOWN: NewCell.Y = FindSelectableCell(FCurCell.X, FCurCell.Y, NewCell.X, NewCell.Y + 1).Y; break;
      case VK_F2: SetEditorMode(true); break;
      default: break;
    }
  }

  // Keys never reach contra cells.
  NewCell.X = std::clamp(NewCell.X, FixedColCount() - FrozenColCount(), ColCount() - 1);
  NewCell.Y = std::clamp(NewCell.Y, FixedRowCount() - FrozenRowCount(), RowCount() - 1);
  if (!(NewCell == FCurCell)) FocusCell(NewCell.X, NewCell.Y, /*MoveAnchor=*/!Shift.Contains(ssShift));
  if (InvalidateAll) InvalidateGrid();
}

void TCustomGridEh::KeyPress(Char& Key) {
  TCustomControlEh::KeyPress(Key);
  if (FOptions.Contains(goAlwaysShowEditorEh) || Key != EnterChar || !FOptions.Contains(goEditingEh)) return;
  if (FEditorMode)
    HideEditor();
  else
    ShowEditor();
  Key = Char(0);
}

// The caret at the end of the editor's text: the caret and the selection
// end at the text's length, the selection empty or starting at 0.
bool TCustomGridEh::editorCaretAtEnd() {
  if (!FInplaceEdit) return true;
  const Integer Len = FInplaceEdit->GetTextLen();
  const Integer SelStart = FInplaceEdit->SelStart();
  const Integer SelEnd = SelStart + FInplaceEdit->SelLength();
  return FInplaceEdit->CaretIndex() == Len && SelEnd == Len && (SelStart == SelEnd || SelStart == 0);
}

// The caret at the start: nothing selected there, or everything selected
// with the caret at either end.
bool TCustomGridEh::editorCaretAtStart() {
  if (!FInplaceEdit) return true;
  const Integer Len = FInplaceEdit->GetTextLen();
  const Integer SelStart = FInplaceEdit->SelStart();
  const Integer SelEnd = SelStart + FInplaceEdit->SelLength();
  const Integer Caret = FInplaceEdit->CaretIndex();
  return (Caret == 0 && SelStart == 0 && SelEnd == 0) ||
         (SelStart == 0 && SelEnd == Len && (Caret == 0 || Caret == Len));
}

bool TCustomGridEh::IsGridKey(Word Key, TShiftState Shift) {
  const bool Always = FOptions.Contains(goAlwaysShowEditorEh);
  switch (Key) {
    case VK_TAB: return !Shift.Contains(ssAlt);
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN: return true;
    case VK_END:
    case VK_RIGHT: return Always && (Shift.Contains(ssCtrl) || editorCaretAtEnd());
    case VK_HOME:
    case VK_LEFT: return Always && (Shift.Contains(ssCtrl) || editorCaretAtStart());
    case VK_INSERT: return !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    case VK_DELETE: return Shift.Contains(ssCtrl);
    default: return false;
  }
}
