#include "gridlib/grid/inplaceedit.h"

#include "gridlib/base/winroutines.h"
#include "gridlib/grid/grids.h"
#include "platform/rtl/scopeexit.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"

using namespace gdi;

namespace {
constexpr Char TabChar = Char(9), EnterChar = Char(13), EscChar = Char(27), BackspaceChar = Char(8);
constexpr Char CtrlVChar = Char(22), CtrlXChar = Char(24);
constexpr Word VK_A = 65;
// Painted while the host itself holds the focus; it passes the focus on at
// once, so this shows only transiently.
constexpr TColor HostFocusColor = 255;
}  // namespace

// ---------------------------------------------------------------------------
// TInplaceEdit

const TMessageMap& TInplaceEdit::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_GETDLGCODE, &TInplaceEdit::WMGetDlgCode},
      {CM_SHOWINGCHANGED, &TInplaceEdit::CMShowingChanged},
  });
  return Map;
}

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetTabStop(false);
  SetDoubleBuffered(false);
  SetAutoSize(false);
}

void TInplaceEdit::AfterConstruction() {
  TCustomControl::AfterConstruction();
  FEditCoreControl = CreateEditCoreControl();
  FEditCoreControl->SetParent(this);
  FEditCoreControl->SetVisible(true);
  FEditCoreControl->SetParentColor(true);
  FBrush->SetColor(Color());
}

void TInplaceEdit::Move(const TRect& Loc) { place(Loc, /*Redraw=*/true); }

void TInplaceEdit::UpdateLoc(const TRect& Loc) { place(Loc, /*Redraw=*/false); }

void TInplaceEdit::place(const TRect& Loc, bool Redraw) {
  if (Loc.IsEmpty()) {
    Hide();
    return;
  }
  HandleNeeded();
  Redraw = Redraw || !IsWindowVisible(Handle());
  Invalidate();
  SetWindowPos(Handle(), HWND_TOP, Loc.Left, Loc.Top, Loc.Width(), Loc.Height(),
               SWP_SHOWWINDOW | SWP_NOREDRAW);
  if (Redraw) Invalidate();
  UpdateCoreControlBounds();
  if (!FGrid) return;
  // The grid's kill-focus handling keeps the editor while this is set.
  FGrid->SetInternalFocusResetting(true);
  const TScopeExit Lower([this] { FGrid->SetInternalFocusResetting(false); });
  if (FGrid->Focused()) gdi::SetFocus(FEditCoreControl->Handle());
}

void TInplaceEdit::Hide() {
  if (!HandleAllocated() || !IsWindowVisible(Handle())) return;
  Invalidate();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOREDRAW);
  if (Focused() && FGrid && FGrid->HandleAllocated()) gdi::SetFocus(FGrid->Handle());
}

bool TInplaceEdit::Visible() { return HandleAllocated() && IsWindowVisible(Handle()); }

bool TInplaceEdit::Focused() {
  if (!HandleAllocated()) return false;
  const HWND Focus = GetFocus();
  return Focus == Handle() || (Focus && IsChild(Handle(), Focus));
}

void TInplaceEdit::SetFocus() {
  if (Visible()) gdi::SetFocus(FEditCoreControl->Handle());
}

void TInplaceEdit::Invalidate() { TCustomControl::Invalidate(); }

String TInplaceEdit::Text() { return FEditCoreControl->Text(); }

void TInplaceEdit::SetText(const String& Value) {
  FInternalTextSetting = true;
  const TScopeExit Lower([this] { FInternalTextSetting = false; });
  FEditCoreControl->SetText(Value);
}

String TInplaceEdit::EditText() { return FEditCoreControl->EditText(); }
Integer TInplaceEdit::GetTextLen() { return Integer(FEditCoreControl->Text().size()); }
String TInplaceEdit::SelText() { return FEditCoreControl->SelText(); }
void TInplaceEdit::SetSelText(const String& Value) { FEditCoreControl->SetSelText(Value); }
Integer TInplaceEdit::SelStart() { return FEditCoreControl->SelStart(); }
void TInplaceEdit::SetSelStart(Integer Value) { FEditCoreControl->SetSelStart(Value); }
Integer TInplaceEdit::SelLength() { return FEditCoreControl->SelLength(); }
void TInplaceEdit::SetSelLength(Integer Value) { FEditCoreControl->SetSelLength(Value); }

void TInplaceEdit::SetSel(Integer AStartPos, Integer ALength) {
  if (FEditCoreControl->HandleAllocated())
    SendEditSetSelEh(FEditCoreControl->Handle(), AStartPos, AStartPos + ALength);
  else
    FEditCoreControl->SetSel(AStartPos, ALength);
}

void TInplaceEdit::SelectAll() { FEditCoreControl->SelectAll(); }
Integer TInplaceEdit::CaretIndex() { return FEditCoreControl->Buffer().Caret(); }
Integer TInplaceEdit::MaxLength() { return FEditCoreControl->MaxLength(); }
void TInplaceEdit::SetMaxLength(Integer Value) { FEditCoreControl->SetMaxLength(Value); }
bool TInplaceEdit::ReadOnly() { return FEditCoreControl->ReadOnly(); }
void TInplaceEdit::SetReadOnly(bool Value) { FEditCoreControl->SetReadOnly(Value); }
String TInplaceEdit::EditMask() { return FEditCoreControl->EditMask(); }
void TInplaceEdit::SetEditMask(const String& Value) { FEditCoreControl->SetEditMask(Value); }
bool TInplaceEdit::IsMasked() { return FEditCoreControl->IsMasked(); }
bool TInplaceEdit::Modified() { return FEditCoreControl->Modified(); }
void TInplaceEdit::SetModified(bool Value) { FEditCoreControl->SetModified(Value); }
bool TInplaceEdit::AutoSelect() { return FEditCoreControl->AutoSelect(); }
void TInplaceEdit::SetAutoSelect(bool Value) { FEditCoreControl->SetAutoSelect(Value); }
void TInplaceEdit::Reset() { FEditCoreControl->Reset(); }

bool TInplaceEdit::EditCanModify() { return FEditCoreControl->EditCanModify(); }

TRect TInplaceEdit::GetCoreControlRect() { return TRect(2, 2, Width() - 2, Height()); }

bool TInplaceEdit::DoClipboardCut(TMessage&) { return false; }
bool TInplaceEdit::DoClipboardPaste(TMessage&) { return false; }
bool TInplaceEdit::DoClipboardClear(TMessage&) { return false; }

TInplaceEditCoreControl* TInplaceEdit::CreateEditCoreControl() { return new TInplaceEditCoreControl(this); }

void TInplaceEdit::UpdateCoreControlBounds() {
  const TRect R = GetCoreControlRect();
  FEditCoreControl->SetBounds(R.Left, R.Top, R.Width(), R.Height());
}

void TInplaceEdit::DoKeyMessage(TMessage& Message) {
  TWMKey& Key = Message.As<TWMKey>();
  switch (Message.Msg) {
    case WM_KEYDOWN:
      if (DoKeyDown(Key)) Message.Result = 1;
      break;
    case WM_KEYUP:
      if (DoKeyUp(Key)) Message.Result = 1;
      break;
    case WM_CHAR:
      if (DoKeyPress(Key)) Message.Result = 1;
      break;
    default: break;
  }
}

void TInplaceEdit::UpdateContents() {
  if (!FGrid) return;
  FEditCoreControl->SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
  FEditCoreControl->SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
  FEditCoreControl->SetMaxLength(FGrid->GetEditLimit());
}

void TInplaceEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (FEditCoreControl->HandleAllocated()) gdi::SetFocus(FEditCoreControl->Handle());
      break;
    case WM_CHAR:
      if (FEditCoreControl->HandleAllocated())
        SendMessage(FEditCoreControl->Handle(), Message.Msg, Message.WParam, Message.LParam);
      return;
    default: break;
  }
  TCustomControl::WndProc(Message);
}

void TInplaceEdit::Paint() {
  if (HandleAllocated() && GetFocus() == Handle()) {
    Canvas()->Brush()->SetColor(HostFocusColor);
    Canvas()->FillRect(ClientRect());
  }
}

bool TInplaceEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  return FGrid && FGrid->GridMouseWheel(Shift, WheelDelta, MousePos);
}

void TInplaceEdit::DblClick() {
  if (FGrid) FGrid->GridDblClick();
}

void TInplaceEdit::WMGetDlgCode(TWMGetDlgCode& Message) {
  Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FGrid && FGrid->Options().Contains(goTabsEh)) Message.Result |= DLGC_WANTTAB;
}

// Visibility follows the window position calls only.
void TInplaceEdit::CMShowingChanged(TMessage&) {}

// ---------------------------------------------------------------------------
// TInplaceEditCoreControl

const TMessageMap& TInplaceEditCoreControl::MessageMap() {
  static const TMessageMap Map(TCustomMaskEdit::MessageMap(), {
      {WM_GETDLGCODE, &TInplaceEditCoreControl::WMGetDlgCode},
      {WM_KILLFOCUS, &TInplaceEditCoreControl::WMKillFocus},
      {WM_CUT, &TInplaceEditCoreControl::WMCut},
      {WM_PASTE, &TInplaceEditCoreControl::WMPaste},
      {WM_CLEAR, &TInplaceEditCoreControl::WMClear},
  });
  return Map;
}

TInplaceEditCoreControl::TInplaceEditCoreControl(TComponent* AOwner)
    : TCustomMaskEdit(AOwner), FParentEdit(dynamic_cast<TInplaceEdit*>(AOwner)) {
  SetBorderStyle(bsNone);
  SetTabStop(false);
}

TCustomGridEh* TInplaceEditCoreControl::Grid() const { return FParentEdit ? FParentEdit->Grid() : nullptr; }

void TInplaceEditCoreControl::Deselect() {
  SetSelStart(0);
  SetSelLength(0);
}

void TInplaceEditCoreControl::UpdateContents() {
  TCustomGridEh* G = Grid();
  if (!G) return;
  SetEditMask(G->GetEditMask(G->Col(), G->Row()));
  SetText(G->GetEditText(G->Col(), G->Row()));
  SetMaxLength(G->GetEditLimit());
}

void TInplaceEditCoreControl::TranslateCharKeyStr(String& S) {
  if (FParentEdit) FParentEdit->TranslateCharKeyStr(S);
}

bool TInplaceEditCoreControl::EditCanModify() {
  TCustomGridEh* G = Grid();
  return !G || G->CanEditModify();
}

void TInplaceEditCoreControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      // The form keeps the grid, not the core edit, as its active control.
      TCustomForm* Form = GetParentForm(this);
      if (Form && Grid() && !Form->SetFocusedControl(Grid())) return;
      // Past the windowed control's own tracking, which would make the core
      // edit the focused control.
      DispatchAs<TControl>(Message.As<TWMSetFocus>());
      Invalidate();
      return;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      if (FParentEdit) {
        FParentEdit->DoKeyMessage(Message);
        if (Message.Result != 0) return;
      }
      break;
    case WM_LBUTTONDOWN:
      // The click that opened the editor and this one make a double click.
      if (FParentEdit) {
        if (UINT(GetMessageTimeEh() - FParentEdit->ClickTime()) < GetDoubleClickTime())
          Message.Msg = WM_LBUTTONDBLCLK;
        FParentEdit->SetClickTime(0);
      }
      break;
    default: break;
  }
  TCustomMaskEdit::WndProc(Message);
}

void TInplaceEditCoreControl::KeyDown(Word& Key, TShiftState Shift) {
  TCustomGridEh* G = Grid();
  if (!G) {
    TCustomMaskEdit::KeyDown(Key, Shift);
    return;
  }
  if (G->IsGridKey(Key, Shift)) {
    G->GridKeyDown(Key, Shift);
    Key = 0;
  }
  switch (Key) {
    case VK_INSERT:
      if (Shift == TShiftState{ssShift} && !G->CanEditModify()) Key = 0;
      break;
    case VK_DELETE:
      if (!G->CanEditModify()) Key = 0;
      break;
    case VK_A:
      if (Shift == TShiftState{ssCtrl}) SelectAll();
      break;
    case VK_F2:
      if (G->OnKeyDown) G->OnKeyDown(G, Key, Shift);
      if (Key == VK_F2) {
        Deselect();
        return;
      }
      break;
    default: break;
  }
  if (Key == 0) return;
  if (G->OnKeyDown) G->OnKeyDown(G, Key, Shift);
  TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEditCoreControl::KeyUp(Word& Key, TShiftState Shift) {
  if (TCustomGridEh* G = Grid()) G->GridKeyUp(Key, Shift);
}

void TInplaceEditCoreControl::KeyPress(Char& Key) {
  TCustomGridEh* G = Grid();
  if (!G) {
    TCustomMaskEdit::KeyPress(Key);
    return;
  }
  G->GridKeyPress(Key);
  if (Key.unicode() >= 32 && !G->EditorCanAcceptChar(Key)) {
    Key = Char(0);
    MessageBeep(0);
  }
  if (Key == TabChar || Key == EscChar) {
    Key = Char(0);
  } else if (Key == EnterChar) {
    if (SelStart() == 0 && SelLength() == Integer(Text().size()))
      Deselect();
    else
      SelectAll();
    Key = Char(0);
  } else if (Key == BackspaceChar || Key == CtrlVChar || Key == CtrlXChar || Key.unicode() >= 32) {
    if (!G->CanEditModify()) Key = Char(0);
  }
  if (Key == Char(0)) return;
  buildCharKeyStr(Key);
  if (Key != Char(0)) TCustomMaskEdit::KeyPress(Key);
}

// One character, or a lead byte of the double-byte code page with the trail
// character still waiting in the queue (it stays queued).
void TInplaceEditCoreControl::buildCharKeyStr(Char& Key) {
  FCharKeyStr = String(Key);
  bool TrailAppended = false;
  MSG Next{};
  if (IsLeadByteCharEh(Key) && HandleAllocated() && PeekMessage(Next, Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
      Next.message != WM_QUIT) {
    FCharKeyStr += Char(char16_t(Next.wParam));
    TrailAppended = true;
  }
  TranslateCharKeyStr(FCharKeyStr);
  if (!FCharKeyStr.isEmpty()) return;
  Key = Char(0);
  if (TrailAppended) PeekMessage(Next, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE);
}

void TInplaceEditCoreControl::Change() {
  TCustomMaskEdit::Change();
  TCustomGridEh* G = Grid();
  if (G && HandleAllocated() && IsWindowVisible(Handle())) G->UpdateEditText(/*Changing=*/true);
  if (FParentEdit) FParentEdit->CoreControlChanged();
}

bool TInplaceEditCoreControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TCustomGridEh* G = Grid();
  return G && G->GridMouseWheel(Shift, WheelDelta, MousePos);
}

void TInplaceEditCoreControl::DblClick() {
  if (FParentEdit) FParentEdit->DblClick();
}

void TInplaceEditCoreControl::WMGetDlgCode(TWMGetDlgCode& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  TCustomGridEh* G = Grid();
  if (G && G->Options().Contains(goTabsEh)) Message.Result |= DLGC_WANTTAB;
}

void TInplaceEditCoreControl::WMKillFocus(TWMKillFocus& Message) {
  DispatchAs<TCustomMaskEdit>(Message);
  if (FParentEdit) FParentEdit->CoreControlKillFocus(Message.FocusedWnd);
}

void TInplaceEditCoreControl::clipboardMessage(TMessage& Message, bool (TInplaceEdit::*Hook)(TMessage&)) {
  if (!EditCanModify()) return;
  if (FParentEdit && (FParentEdit->*Hook)(Message)) return;
  DispatchAs<TCustomMaskEdit>(Message);
}

void TInplaceEditCoreControl::WMCut(TMessage& Message) { clipboardMessage(Message, &TInplaceEdit::DoClipboardCut); }

void TInplaceEditCoreControl::WMPaste(TMessage& Message) {
  clipboardMessage(Message, &TInplaceEdit::DoClipboardPaste);
}

void TInplaceEditCoreControl::WMClear(TMessage& Message) {
  clipboardMessage(Message, &TInplaceEdit::DoClipboardClear);
}
