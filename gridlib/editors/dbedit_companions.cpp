// TCustomDBEditEh: its image index, the tooltip of its clipped text and
// the recent-entries list that pops up while the user types.
//
// The list (TMRUListEh) only fires events; the edit shows its entries in
// a pop-up that never takes the focus (TMRUListboxEh), filtered by the text,
// under the text rectangle.  While it is open the edit passes the list's
// navigation keys to it, Enter takes the selected entry (written to the
// field later, as typed text is) and Esc closes it keeping the text.
#include "gridlib/editors/dbedit.h"

#include "gridlib/base/datasetfeatureshook.h"
#include "gridlib/base/mrulist.h"
#include "gridlib/base/winroutines.h"
#include "gridlib/editors/editimage.h"
#include "gridlib/editors/fielddatalink.h"
#include "gridlib/grid/popuplistboxes.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/graphics/drawtext.h"
#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"

#include <algorithm>

using namespace gdi;

namespace {

TMRUListboxEh* asListbox(TWinControl* Control) { return static_cast<TMRUListboxEh*>(Control); }

bool isNumericVariant(const Variant& V) {
  switch (VarType(V)) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency: return true;
    default: return false;
  }
}

// The keys an open list takes from the edit.
bool isListNavigationKey(Word Key, TShiftState Shift) {
  const bool Paging = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
  const bool Ends = Key == VK_HOME || Key == VK_END;
  return (Paging && !Shift.Contains(ssAlt)) || (Ends && Shift.Contains(ssCtrl));
}

}  // namespace

// ---------------------------------------------------------------------------
// the image

void TCustomDBEditEh::UpdateImageIndex() {
  if (!FEditImage || !FEditImage->Visible() || !FEditImage->Images()) return;
  Integer Index = DefaultImageIndex();
  const Variant V = Value();
  if (isNumericVariant(V)) Index = Integer(Round(V.AsDouble()));
  if (FOnGetImageIndex) FOnGetImageIndex(this, Index);
  FEditImage->SetImageIndex(Index);
}

// The reserved width is taken when the window is made.
void TCustomDBEditEh::CMEditImageChanged(TMessage&) {
  if (HandleAllocated())
    RecreateWnd();
  else
    FImageWidth = FEditImage->DrawWidth();
}

// ---------------------------------------------------------------------------
// tooltips

void TCustomDBEditEh::CMHintShow(TCMHintShow& Message) {
  if (FTooltips) {
    TRect Edit;
    CalcEditRect(Edit);
    TRect Need(0, 0, std::max<Integer>(1, Edit.Width()), 0);
    const String S = Text();
    UINT Flags = DT_CALCRECT | DT_NOPREFIX | DrawTextBiDiModeFlagsReadingOnly();
    if (FWordWrap) Flags |= DT_WORDBREAK;
    TCanvas* C = GetCanvas();
    C->SetFont(Font());
    DrawText(C->Handle(), reinterpret_cast<const Char*>(S.utf16()), S.length(), &Need, Flags);
    if (Need.Width() > Edit.Width() - 2 || Need.Height() > Edit.Height()) {
      THintInfo& Info = *Message.HintInfo;
      Info.HintStr = S;
      Info.HintPos = ClientToScreen(TPoint{0, Height()});
      Info.HintWindowClass = TToolTipsWindow::StaticClass();
      Info.HintData = Font();
      return;
    }
  }
  if (!FShowHint) {
    Message.Result = 1;
    return;
  }
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
}

// ---------------------------------------------------------------------------
// recent entries: the pop-up

TWinControl* TCustomDBEditEh::CreateMRUListbox() {
  auto* List = new TMRUListboxEh(this);
  List->AfterConstruction();
  List->SetInternalResizing(true);
  const TScopeExit Done([List] { List->SetInternalResizing(false); });
  List->SetVisible(false);
  List->SetCtl3D(false);
  List->SetParentCtl3D(false);
  List->SetSorted(true);
  List->OnMouseUp = TMouseEvent(this, &TCustomDBEditEh::mruListMouseUp);
  return List;
}

TWinControl* TCustomDBEditEh::GetMRUListControl() {
  if (!FMRUListControl) {
    FMRUListControl = CreateMRUListbox();
    FMRUListControl->FreeNotification(this);
  }
  return FMRUListControl;
}

bool TCustomDBEditEh::mruListOpen() const { return FMRUList->DroppedDown && FMRUListControl; }

void TCustomDBEditEh::placeMRUList() {
  TMRUListboxEh* L = asListbox(FMRUListControl);
  TRect R;
  CalcEditRect(R);
  const TPoint TopLeft = ClientToScreen(R.TopLeft());
  const TPoint BottomRight = ClientToScreen(R.BottomRight());
  const TRect Screen(TopLeft.X, TopLeft.Y, BottomRight.X, BottomRight.Y);
  const TPoint P = PlaceDropDownAtRectEh(Screen, L, DropDownAlignLeftEh);
  L->SetBounds(P.X, P.Y, L->Width(), L->Height());
}

void TCustomDBEditEh::mruListDropDown(TObject*) {
  TMRUListboxEh* L = asListbox(GetMRUListControl());
  const bool GripResized = L->SizeGripResized();
  L->SetInternalResizing(true);
  const TScopeExit Done([L] { L->SetInternalResizing(false); });
  const bool Open = FMRUList->DroppedDown;
  // The automatic entries are gathered once per opening, not per key.
  if (!Open) FMRUList->PrepareActiveItems();
  if (!FMRUList->FilterItemsTo(L->Items(), Text())) {
    FMRUList->CloseUp(false);
    return;
  }
  const Integer Count = L->Items()->Count();
  const Integer Rows = std::min(Count, FMRUList->Rows());
  L->SetItemHeight(L->GetTextHeight());
  L->SetRowCount(Rows);
  if (Open) {
    placeMRUList();
    L->SetSizeGripResized(GripResized);
    if (Count == 0) FMRUList->CloseUp(false);
    return;
  }
  if (Count == 0) return;
  L->SetColor(Color());
  L->SetFont(Font());
  L->SetItemHeight(L->GetTextHeight());
  L->SetItemIndex(-1);
  L->SetRowCount(Rows);
  TRect R;
  CalcEditRect(R);
  L->SetWidth(FMRUList->Width() > 0 ? FMRUList->Width() : R.Width());
  placeMRUList();
  L->Show();
  FMRUList->DroppedDown = true;
  L->SetSizeGripResized(false);
}

void TCustomDBEditEh::mruListCloseUp(TObject*, bool Accept) {
  if (!mruListOpen()) return;
  TMRUListboxEh* L = asListbox(FMRUListControl);
  if (const HWND Captured = GetCapture()) SendMessage(Captured, WM_CANCELMODE, 0, 0);
  const bool FocusInList = L->HandleAllocated() && L->ContainsControl(FindControl(GetFocus()));
  L->SetVisible(false);
  if (L->SizeGripResized()) {
    FMRUList->SetRows(L->ResizedRowCount());
    FMRUList->SetWidth(L->ResizedWidth());
  }
  if (FocusInList) SetFocus();
  FMRUList->DroppedDown = false;
  if (!Accept || FReadOnly || !FDataLink->Edit()) return;
  if (L->ItemIndex() >= 0) InternalSetText(L->Items()->Strings(L->ItemIndex()));
  if (FFocused) SelectAll();
}

void TCustomDBEditEh::mruListMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft || !mruListOpen()) return;
  FMRUList->CloseUp(PtInRect(FMRUListControl->ClientRect(), TPoint{X, Y}));
}

// ---------------------------------------------------------------------------
// recent entries: typing, keys, wheel, cancel

void TCustomDBEditEh::UserTextChanged() {
  const bool HasText = !IsEmpty();
  const bool Open = mruListOpen();
  if (Open && !HasText && !FKeepMRUList) {
    FMRUList->CloseUp(false);
    return;
  }
  if (FMRUList->Active() && Showing() && !FDroppedDown && (HasText || FKeepMRUList) && Focused())
    FMRUList->DropDown();
}

// Only key presses go to the list: a typed character is text even when its
// code equals a navigation key's ('(' is VK_DOWN).
bool TCustomDBEditEh::routeKeyToMRUList(TMessage& Message) {
  if (Message.Msg != WM_KEYDOWN && Message.Msg != WM_SYSKEYDOWN) return false;
  if (!mruListOpen()) return false;
  const Word Key = Word(Message.WParam);
  if (isListNavigationKey(Key, KeyDataToShiftState(Integer(Message.LParam)))) {
    asListbox(FMRUListControl)->ListGrid()->Perform(WM_KEYDOWN, Message.WParam, Message.LParam);
    FKeepMRUList = false;
    return true;
  }
  if (Key == VK_RETURN || Key == VK_ESCAPE) {
    FMRUList->CloseUp(Key == VK_RETURN);
    return true;
  }
  return false;
}

void TCustomDBEditEh::CMMouseWheel(TCMMouseWheel& Message) {
  if (mruListOpen()) {
    TMessage& Raw = reinterpret_cast<TMessage&>(Message);
    Message.Result = FMRUListControl->Perform(CM_MOUSEWHEEL, Raw.WParam, Raw.LParam);
    if (Message.Result != 0) return;
  }
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
}

// Cancelled from anywhere but the edit and the list, the list closes.
void TCustomDBEditEh::CMCancelMode(TCMCancelMode& Message) {
  DispatchAs<TCustomMaskEdit>(reinterpret_cast<TMessage&>(Message));
  if (!mruListOpen()) return;
  TControl* From = Message.Sender;
  const bool Inside = From && (From == this || ContainsControl(From) || From == FMRUListControl ||
                               FMRUListControl->ContainsControl(From));
  if (!Inside) FMRUList->CloseUp(false);
}

// ---------------------------------------------------------------------------
// recent entries: filling and filtering

void TCustomDBEditEh::FillMRUAutogenItems(TObject*, TStrings* AutogenItems) {
  TField* F = Field();
  if (!F || !F->DataSet() || !F->DataSet()->Active()) return;
  if (IDatasetFeaturesEh* Features = FindDatasetFeaturesForDataSet(F->DataSet()))
    Features->FillFieldUniqueValues(F, AutogenItems);
}

void TCustomDBEditEh::FilterMRUItem(const String& Item, bool& Accept) {
  const String T = Text();
  const String Head = Item.left(T.length());
  Accept = (FMRUList->CaseSensitive() ? CompareStrLocaleEh(Head, T) : CompareTextLocaleEh(Head, T)) == 0;
  if (FMRUList->OnFilterItem) FMRUList->OnFilterItem(this, Accept);
}
