#include "platform/ui/controls/combobox.h"

#include "platform/rtl/stringlist.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/windowing/forms.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/window.h"

#include <QScopedValueRollback>
#include <algorithm>

using namespace gdi;

namespace {

// What the face adds to a row's height: the sunken edge (2 pixels a side)
// and a 2-pixel margin above and below the text.
constexpr Integer FaceExtraHeight = 8;
// The text's inset in the face of a drop-down list.
constexpr Integer FaceTextIndent = 3;

}  // namespace

// ---------------------------------------------------------------------------
// TComboEdit: the editable text of csDropDown.  Its keys reach the combo box
// first (OnKeyDown of the combo box, the list keys); its changes are the
// combo box's typing.

class TComboEdit : public TCustomEdit {
  RTL_CLASS(TComboEdit, TCustomEdit)
  UI_MESSAGE_MAP
public:
  explicit TComboEdit(TCustomComboBox* Combo) : TCustomEdit(nullptr), FCombo(Combo) {
    SetBorderStyle(bsNone);
    SetParent(Combo);
  }

protected:
  void KeyDown(Word& Key, TShiftState Shift) override {
    FCombo->KeyDown(Key, Shift);
    if (Key != 0) TCustomEdit::KeyDown(Key, Shift);
  }
  void KeyPress(Char& Key) override {
    FCombo->KeyPress(Key);
    if (Key != 0) TCustomEdit::KeyPress(Key);
  }
  void KeyUp(Word& Key, TShiftState Shift) override {
    FCombo->KeyUp(Key, Shift);
    if (Key != 0) TCustomEdit::KeyUp(Key, Shift);
  }
  void Change() override {
    TCustomEdit::Change();
    FCombo->editChanged();
  }

  void CMWantSpecialKey(TCMWantSpecialKey& Message) {
    Message.Result = FCombo->Perform(Message.Msg, Message.CharCode, Message.KeyData);
  }
  void WMCancelMode(TMessage& Message) {
    FCombo->closeUp(/*Choose=*/false);
    DispatchAs<TCustomEdit>(Message);
  }
  void WMMouseWheel(TMessage& Message) {
    if (FCombo->FDroppedDown)
      FCombo->Perform(Message);
    else
      DispatchAs<TCustomEdit>(Message);
  }

private:
  TCustomComboBox* FCombo;
};

const TMessageMap& TComboEdit::MessageMap() {
  static const TMessageMap Map(TCustomEdit::MessageMap(), {
      {CM_WANTSPECIALKEY, &TComboEdit::CMWantSpecialKey},
      {WM_CANCELMODE, &TComboEdit::WMCancelMode},
      {WM_MOUSEWHEEL, &TComboEdit::WMMouseWheel},
  });
  return Map;
}

// ---------------------------------------------------------------------------
// TComboListBox: the drop-down list.  It never takes the focus; while open it
// holds the capture, and a press on its scroll bar tracks the bar, which
// leaves the capture with the list.

class TComboListBox : public TCustomListBox {
  RTL_CLASS(TComboListBox, TCustomListBox)
  UI_MESSAGE_MAP
public:
  explicit TComboListBox(TCustomComboBox* Combo) : TCustomListBox(nullptr), FCombo(Combo) {
    // Presses choose or close here; no capture or click of the control's own.
    FControlStyle = TControlStyle{csDoubleClicks, csOpaque};
    SetVisible(false);
    SetTabStop(false);
  }

  using TCustomListBox::CharTarget;
  using TCustomListBox::KeyTarget;

  void WndProc(TMessage& Message) override {
    if (pressOnScrollBar(Message)) return;
    TCustomListBox::WndProc(Message);
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomListBox::CreateParams(Params);
    Params.Style = WS_POPUP | WS_BORDER | WS_VSCROLL;
    Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
  }
  bool ShowsWithoutParent() const override { return true; }

  // The index the list opened on follows its item like the selection, so
  // that Esc goes back to that item and ItemIndex never names a line that
  // changed or went while the list was open.
  void ItemInserted(Integer Index) override {
    TCustomListBox::ItemInserted(Index);
    FCombo->FDropIndex = FollowItem(FCombo->FDropIndex, Index, /*Inserted=*/true);
  }
  void ItemDeleted(Integer Index) override {
    TCustomListBox::ItemDeleted(Index);
    FCombo->FDropIndex = FollowItem(FCombo->FDropIndex, Index, /*Inserted=*/false);
  }
  void ItemsChanged() override {
    TCustomListBox::ItemsChanged();
    if (FCombo->FDropIndex >= Count()) FCombo->FDropIndex = -1;
  }

  // A press outside closes the list; inside it selects the row under it.
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    if (!ClientRect().Contains(TPoint{X, Y})) {
      FCombo->closeUp(/*Choose=*/false);
      return;
    }
    if (Button == mbLeft) hover(X, Y);
    TControl::MouseDown(Button, Shift, X, Y);
  }
  // The row under the mouse follows it, pressed or not.
  void MouseMove(TShiftState Shift, int X, int Y) override {
    hover(X, Y);
    TControl::MouseMove(Shift, X, Y);
  }
  // Released on an item: chosen (also after a drag from the button).
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft && ItemAtPos({X, Y}, /*Existing=*/true) >= 0) FCombo->closeUp(/*Choose=*/true);
  }

  void WMCaptureChanged(TMessage& Message) {
    FCombo->closeUp(/*Choose=*/false);
    DispatchAs<TCustomListBox>(Message);
  }

private:
  void hover(int X, int Y) {
    const Integer Index = ItemAtPos({X, Y}, /*Existing=*/true);
    if (Index >= 0) SetItemIndex(Index);
  }

  // With the capture every press arrives as a client one: a press on the
  // window's bar goes to the bar as the press on the frame it is.
  bool pressOnScrollBar(TMessage& Message) {
    if (Message.Msg != WM_LBUTTONDOWN && Message.Msg != WM_LBUTTONDBLCLK) return false;
    const TPoint Screen = ClientToScreen(Message.As<TWMMouse>().Pos());
    if (SendMessage(Handle(), WM_NCHITTEST, 0, PointToLParam(Screen)) != HTVSCROLL) return false;
    Perform(WM_NCLBUTTONDOWN, WPARAM(HTVSCROLL), PointToLParam(Screen));
    return true;
  }

  TCustomComboBox* FCombo;
};

const TMessageMap& TComboListBox::MessageMap() {
  static const TMessageMap Map(TCustomListBox::MessageMap(), {
      {WM_CAPTURECHANGED, &TComboListBox::WMCaptureChanged},
  });
  return Map;
}

// ---------------------------------------------------------------------------
// TCustomComboBox

const TMessageMap& TCustomComboBox::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {WM_GETTEXT, &TCustomComboBox::WMGetText},
      {WM_GETTEXTLENGTH, &TCustomComboBox::WMGetText},
      {WM_SETTEXT, &TCustomComboBox::WMSetText},
      {WM_GETDLGCODE, &TCustomComboBox::WMGetDlgCode},
      {WM_SETFOCUS, &TCustomComboBox::WMSetFocus},
      {WM_CANCELMODE, &TCustomComboBox::WMCancelMode},
      {CM_CANCELMODE, &TCustomComboBox::WMCancelMode},
      {CM_WANTSPECIALKEY, &TCustomComboBox::CMWantSpecialKey},
      {WM_MOUSEWHEEL, &TCustomComboBox::WMMouseWheel},
      {CM_ENTER, &TCustomComboBox::CMEnter},
      {CM_EXIT, &TCustomComboBox::CMExit},
      {CM_FONTCHANGED, &TCustomComboBox::CMFontChanged},
      {CM_COLORCHANGED, &TCustomComboBox::CMColorChanged},
      {CM_ENABLEDCHANGED, &TCustomComboBox::CMEnabledChanged},
      {CM_VISIBLECHANGED, &TCustomComboBox::CMVisibleChanged},
  });
  return Map;
}

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TCustomControl(AOwner), FList(new TComboListBox(this)) {
  // The click is the user's choice, not a press on the face.
  FControlStyle = TControlStyle{csDoubleClicks, csFixedHeight, csOpaque};
  SetParentColor(false);
  SetColor(clWindow);
  FList->SetFont(Font());
  SetBounds(0, 0, 145, 0);
  SetTabStop(true);
  updateEdit();
}

TCustomComboBox::~TCustomComboBox() {
  // Freed after the combo box's own destruction protocol, which may still
  // close the list; the list must not call back while it goes.
  FDroppedDown = false;
  FList->Free();
}

TStrings* TCustomComboBox::Items() const { return FList->Items(); }

void TCustomComboBox::SetItems(TStrings* Value) { FList->SetItems(Value); }

void TCustomComboBox::Clear() {
  FList->Clear();
  SetItemIndex(-1);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  updateEdit();
}

Integer TCustomComboBox::ItemIndex() const { return FDroppedDown ? FDropIndex : FList->ItemIndex(); }

void TCustomComboBox::SetItemIndex(Integer Value) {
  if (ComponentState().Contains(csLoading)) {
    FLoadedItemIndex = Value;
    return;
  }
  FList->SetItemIndex(Value);
  if (FDroppedDown) FDropIndex = FList->ItemIndex();
  if (FEdit) setEditText(itemText());
  Invalidate();
}

bool TCustomComboBox::Sorted() const { return FList->Sorted(); }

void TCustomComboBox::SetSorted(bool Value) { FList->SetSorted(Value); }

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (Value)
    dropDown();
  else
    closeUp(/*Choose=*/false);
}

Integer TCustomComboBox::ItemHeight() const { return FList->ItemHeight(); }

void TCustomComboBox::SetItemHeight(Integer Value) {
  FList->SetItemHeight(Value);
  SetBounds(Left(), Top(), Width(), Height());
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  FCharCase = Value;
  if (FEdit) FEdit->SetCharCase(Value);
}

void TCustomComboBox::SetMaxLength(Integer Value) {
  FMaxLength = Value;
  if (FEdit) FEdit->SetMaxLength(Value);
}

Integer TCustomComboBox::SelStart() { return FEdit ? FEdit->SelStart() : 0; }

void TCustomComboBox::SetSelStart(Integer Value) {
  if (FEdit) FEdit->SetSelStart(Value);
}

Integer TCustomComboBox::SelLength() { return FEdit ? FEdit->SelLength() : 0; }

void TCustomComboBox::SetSelLength(Integer Value) {
  if (FEdit) FEdit->SetSelLength(Value);
}

String TCustomComboBox::SelText() { return FEdit ? FEdit->SelText() : String(); }

void TCustomComboBox::SetSelText(const String& Value) {
  if (FEdit) FEdit->SetSelText(Value);
}

void TCustomComboBox::SetTabStop(bool Value) {
  FTabStop = Value;
  TCustomControl::SetTabStop(Value && !FEdit);
  if (FEdit) FEdit->SetTabStop(Value);
}

void TCustomComboBox::SelectAll() {
  if (FEdit) FEdit->SelectAll();
}

TCustomListBox* TCustomComboBox::DropDownList() const { return FList; }

bool TCustomComboBox::Focused() { return TCustomControl::Focused() || (FEdit && FEdit->Focused()); }

void TCustomComboBox::SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, ItemHeight() + FaceExtraHeight);
}

void TCustomComboBox::Loaded() {
  TCustomControl::Loaded();
  if (FLoadedItemIndex >= 0)
    SetItemIndex(FLoadedItemIndex);
  else
    FList->SetItemIndex(Items()->IndexOf(shownText()));
  FLoadedItemIndex = -1;
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  AddSingleBorderStyle(Params);
}

// Before the window the client area has no frame, and a new window's frame
// (Ctl3D) changes it without a resize: the edit would cover the button.
void TCustomComboBox::CreateWnd() {
  TCustomControl::CreateWnd();
  placeEdit();
}

void TCustomComboBox::Paint() {
  TCanvas* C = Canvas();
  const TRect Client = ClientRect();
  TRect Button = buttonRect();
  C->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
  C->FillRect(Rect(Client.Left, Client.Top, Button.Left, Client.Bottom));
  UINT State = DFCS_SCROLLCOMBOBOX;
  if (FDroppedDown) State |= DFCS_PUSHED;
  if (!Enabled()) State |= DFCS_INACTIVE;
  DrawFrameControl(C->Handle(), &Button, DFC_SCROLL, State);
  if (FEdit) return;
  // The chosen item's text; highlighted while the control has the focus.
  TRect Field = Rect(Client.Left + 1, Client.Top + 1, Button.Left - 1, Client.Bottom - 1);
  const bool Highlight = Focused() && Enabled();
  C->Font()->Assign(Font());
  C->Font()->SetColor(Highlight ? clHighlightText : Enabled() ? Font()->Color() : clGrayText);
  C->Brush()->SetColor(Highlight ? clHighlight : Enabled() ? Color() : clBtnFace);
  const Integer TextTop = Field.Top + (Field.Height() - C->TextHeight(QStringLiteral("Wg"))) / 2;
  C->TextRect(Field, Field.Left + FaceTextIndent - 1, TextTop, shownText());
  if (Highlight) C->DrawFocusRect(Field);
}

void TCustomComboBox::Resize() {
  TCustomControl::Resize();
  placeEdit();
}

void TCustomComboBox::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  const bool AltArrow = (Key == VK_DOWN || Key == VK_UP) && Shift.Contains(ssAlt);
  if (AltArrow || (Key == VK_F4 && !Shift.Contains(ssAlt))) {
    Key = 0;
    SetDroppedDown(!FDroppedDown);
    return;
  }
  if (FDroppedDown) {
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
      closeUp(/*Choose=*/Key == VK_RETURN);
      Key = 0;
      return;
    }
    // The edit keeps its caret keys.
    const bool ListKey = !FEdit || Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT;
    const Integer Target = ListKey ? FList->KeyTarget(Key) : -1;
    if (Target < 0) return;
    Key = 0;
    moveTo(Target);
    return;
  }
  if (Key != VK_UP && Key != VK_DOWN) return;
  const Integer Target = FList->KeyTarget(Key);
  Key = 0;
  moveTo(Target);
}

void TCustomComboBox::KeyPress(Char& Key) {
  TCustomControl::KeyPress(Key);
  if (!FEdit) moveTo(FList->CharTarget(Key));
}

void TCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    if (!FEdit || buttonRect().Contains(TPoint{X, Y})) SetDroppedDown(!FDroppedDown);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomComboBox::WMGetText(TMessage& Message) {
  FText = shownText();
  DispatchAs<TCustomControl>(Message);
}

void TCustomComboBox::WMSetText(TMessage& Message) {
  const auto* Chars = reinterpret_cast<const Char*>(Message.LParam);
  const String Value = Chars ? String(Chars) : String();
  FList->SetItemIndex(Items()->IndexOf(Value));
  if (FDroppedDown) FDropIndex = FList->ItemIndex();
  if (FEdit) setEditText(Value);
  Invalidate();
  Message.Result = 1;
}

void TCustomComboBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

void TCustomComboBox::WMSetFocus(TWMSetFocus& Message) {
  DispatchAs<TCustomControl>(Message);
  if (FEdit && FEdit->CanFocus()) FEdit->SetFocus();
}

void TCustomComboBox::WMCancelMode(TMessage& Message) {
  closeUp(/*Choose=*/false);
  DispatchAs<TCustomControl>(Message);
}

void TCustomComboBox::CMWantSpecialKey(TCMWantSpecialKey& Message) {
  if (FDroppedDown && (Message.CharCode == VK_RETURN || Message.CharCode == VK_ESCAPE)) {
    Message.Result = 1;
    return;
  }
  DispatchAs<TCustomControl>(Message);
}

void TCustomComboBox::WMMouseWheel(TMessage& Message) {
  if (FDroppedDown)
    FList->Perform(Message);
  else
    DispatchAs<TCustomControl>(Message);
}

void TCustomComboBox::CMEnter(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TCustomComboBox::CMExit(TMessage& Message) {
  closeUp(/*Choose=*/false);
  Invalidate();
  DispatchAs<TCustomControl>(Message);
}

void TCustomComboBox::CMFontChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  FList->SetFont(Font());
  SetBounds(Left(), Top(), Width(), Height());
  placeEdit();
}

void TCustomComboBox::CMColorChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  FList->SetColor(Color());
  updateEditLook();
}

void TCustomComboBox::CMEnabledChanged(TMessage& Message) {
  if (!Enabled()) closeUp(/*Choose=*/false);
  DispatchAs<TCustomControl>(Message);
  updateEditLook();
  Invalidate();
}

void TCustomComboBox::CMVisibleChanged(TMessage& Message) {
  if (!Visible()) closeUp(/*Choose=*/false);
  DispatchAs<TCustomControl>(Message);
}

void TCustomComboBox::updateEdit() {
  if (editable() == (FEdit != nullptr)) return;
  const String Shown = shownText();
  if (FEdit) {
    // The focus, or an inactive form's memory of it, comes back to the combo
    // box before the edit goes.
    TComboEdit* Edit = std::exchange(FEdit, nullptr);
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form->ActiveControl() == Edit) Form->SetActiveControl(CanFocus() ? this : nullptr);
    Edit->Free();
  } else {
    FEdit = new TComboEdit(this);
    FEdit->SetCharCase(FCharCase);
    FEdit->SetMaxLength(FMaxLength);
    setEditText(Shown);
    placeEdit();
    updateEditLook();
    // The keys of a focused combo box are the new edit's.
    if (TCustomControl::Focused() && FEdit->CanFocus()) FEdit->SetFocus();
  }
  SetTabStop(FTabStop);
  Invalidate();
}

void TCustomComboBox::placeEdit() {
  if (!FEdit) return;
  const TRect Client = ClientRect();
  const Integer H = std::min(ItemHeight(), Client.Height());
  FEdit->SetBounds(Client.Left + 1, Client.Top + (Client.Height() - H) / 2, buttonRect().Left - Client.Left - 1, H);
}

// The edit covers most of the face, so it paints as the face would.
void TCustomComboBox::updateEditLook() {
  if (!FEdit) return;
  FEdit->SetEnabled(Enabled());
  FEdit->SetColor(Enabled() ? Color() : clBtnFace);
}

void TCustomComboBox::setEditText(const String& Value) {
  QScopedValueRollback<bool> Setting(FSettingText, true);
  FEdit->SetText(Value);
}

String TCustomComboBox::itemText() const {
  const Integer Index = ItemIndex();
  return Index >= 0 ? Items()->Strings(Index) : String();
}

String TCustomComboBox::shownText() const { return FEdit ? FEdit->Text() : itemText(); }

TRect TCustomComboBox::buttonRect() {
  const TRect Client = ClientRect();
  return Rect(std::max(Client.Left, Client.Right - GetSystemMetrics(SM_CXVSCROLL)), Client.Top, Client.Right,
              Client.Bottom);
}

void TCustomComboBox::dropDown() {
  if (FDroppedDown) return;
  DropDown();
  if (!Showing() || !Enabled()) return;
  const Integer Rows = std::clamp(Items()->Count(), Integer(1), FDropDownCount);
  const Integer Height = Rows * ItemHeight() + 2 * GetSystemMetrics(SM_CYBORDER);
  RECT Window;
  GetWindowRect(Handle(), &Window);
  Integer Top = Window.Bottom;
  if (Top + Height > GetSystemMetrics(SM_CYSCREEN)) Top = Window.Top - Height;
  FDropIndex = FList->ItemIndex();
  FDroppedDown = true;
  FList->SetBounds(Window.Left, Top, DroppedWidth(), Height);
  FList->SetItemIndex(FDropIndex);
  FList->SetVisible(true);
  SetWindowPos(FList->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  FList->SetMouseCapture(true);
  Invalidate();
}

void TCustomComboBox::closeUp(bool Choose) {
  if (!FDroppedDown) return;
  FDroppedDown = false;
  FList->SetMouseCapture(false);
  FList->SetVisible(false);
  if (FList->ItemIndex() < 0) Choose = false;
  if (!Choose) FList->SetItemIndex(FDropIndex);
  Invalidate();
  CloseUp();
  // OnCloseUp may have changed the items: the choice followed its item, or
  // went with it.
  const Integer Chosen = FList->ItemIndex();
  if (Choose && Chosen < 0) FList->SetItemIndex(FDropIndex);
  if (!Choose || Chosen < 0) return;
  if (Chosen != FDropIndex || shownText() != Items()->Strings(Chosen)) userChose(Chosen);
}

void TCustomComboBox::moveTo(Integer Target) {
  if (Target < 0) return;
  const bool Moved = Target != FList->ItemIndex();
  FList->SetItemIndex(Target);
  if (Moved && !FDroppedDown) userChose(Target);
}

void TCustomComboBox::userChose(Integer Index) {
  if (FEdit) {
    setEditText(Items()->Strings(Index));
    FEdit->SelectAll();
  }
  Invalidate();
  Click();
  Select();
  Change();
}

void TCustomComboBox::editChanged() {
  if (FSettingText) return;
  FList->SetItemIndex(Items()->IndexOf(FEdit->Text()));
  if (FDroppedDown) FDropIndex = FList->ItemIndex();
  Change();
}

// ---------------------------------------------------------------------------
// TComboBox

void TComboBox::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("CharCase", &TComboBox::CharCase, &TComboBox::SetCharCase).Default(ecNormal);
  Props.Add("Color", &TComboBox::Color, &TComboBox::SetColor);
  Props.Add("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).Default(8);
  Props.Add("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight);
  Props.Add("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex).Default(-1);
  Props.Add("Items", &TComboBox::Items, &TComboBox::SetItems);
  Props.Add("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).Default(0);
  Props.Add("ParentColor", &TComboBox::ParentColor, &TComboBox::SetParentColor).Default(false);
  Props.Add("ParentFont", &TComboBox::ParentFont, &TComboBox::SetParentFont).Default(true);
  Props.Add("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).Default(false);
  Props.Add("Style", &TComboBox::Style, &TComboBox::SetStyle).Default(csDropDown);
  Props.Add("TabOrder", &TComboBox::TabOrder, &TComboBox::SetTabOrder);
  Props.Add("TabStop", &TComboBox::TabStop, &TComboBox::SetTabStop).Default(true);
  Props.Add("Text", &TComboBox::Text, &TComboBox::SetText);
  Props.Add("Visible", &TComboBox::Visible, &TComboBox::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  Props.Add<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
  Props.Add<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
  Props.Add("OnChange", &TComboBox::OnChange, &TComboBox::OnChange);
  Props.Add("OnSelect", &TComboBox::OnSelect, &TComboBox::OnSelect);
  Props.Add("OnDropDown", &TComboBox::OnDropDown, &TComboBox::OnDropDown);
  Props.Add("OnCloseUp", &TComboBox::OnCloseUp, &TComboBox::OnCloseUp);
}
