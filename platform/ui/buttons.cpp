#include "platform/ui/buttons.h"

#include "platform/rtl/stringlist.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/fontmap.h"
#include "platform/ui/forms.h"

#include <QCheckBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleFactory>
#include <algorithm>

using namespace gdi;

namespace {

QColor qtColor(TColor Color) {
  const Integer Rgb = ColorToRGB(Color);
  return QColor(Rgb & 0xFF, (Rgb >> 8) & 0xFF, (Rgb >> 16) & 0xFF);
}

// One Fusion style for every button; made with the first button, after the
// application exists.
QStyle* fusionStyle() {
  static QStyle* const Style = QStyleFactory::create(QStringLiteral("Fusion"));
  return Style;
}

QFont qtFontOf(TFont* Font) {
  TFontFace Face;
  Face.Name = Font->Name();
  Face.PixelSize = std::max(1, Font->Height() < 0 ? -Font->Height() : Font->Height());
  Face.Weight = Font->Style().Contains(fsBold) ? 700 : 400;
  Face.Italic = Font->Style().Contains(fsItalic);
  Face.Underline = Font->Style().Contains(fsUnderline);
  Face.StrikeOut = Font->Style().Contains(fsStrikeOut);
  return MakeQtFont(Face);
}

}  // namespace

// ---------------------------------------------------------------------------
// TButtonControl

const TMessageMap& TButtonControl::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {
      {CM_TEXTCHANGED, &TButtonControl::CMTextChanged},
      {CM_FONTCHANGED, &TButtonControl::CMFontChanged},
      {CM_ENABLEDCHANGED, &TButtonControl::CMEnabledChanged},
      {CM_DIALOGCHAR, &TButtonControl::CMDialogChar},
      {CM_COLORCHANGED, &TButtonControl::CMColorChanged},
      {CM_ENTER, &TButtonControl::CMEnter},
      {CM_EXIT, &TButtonControl::CMExit},
  });
  return Map;
}

TButtonControl::TButtonControl(TComponent* AOwner) : TCustomControl(AOwner) {
  // The click is ours (UserClick), not TControl's.
  FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks, csOpaque};
  SetTabStop(true);
}

TButtonControl::~TButtonControl() = default;

void TButtonControl::SetButton(std::unique_ptr<QAbstractButton> Value) {
  FButton = std::move(Value);
  FButton->setStyle(fusionStyle());
  FButton->setAttribute(Qt::WA_DontShowOnScreen);
  UpdateButton();
}

void TButtonControl::UpdateButton() {
  if (!FButton) return;
  FButton->setText(Caption());
  FButton->setFont(qtFontOf(Font()));
  QPalette Palette = FButton->palette();
  const QColor Face = qtColor(Color()), Ink = qtColor(Font()->Color());
  for (QPalette::ColorRole Role : {QPalette::Window, QPalette::Button}) Palette.setColor(Role, Face);
  // Disabled text keeps the style's grey.
  for (QPalette::ColorGroup Group : {QPalette::Active, QPalette::Inactive})
    for (QPalette::ColorRole Role : {QPalette::WindowText, QPalette::ButtonText}) Palette.setColor(Group, Role, Ink);
  FButton->setPalette(Palette);
  FButton->setEnabled(Enabled());
  FButton->setDown(FPressed);
  Invalidate();
}

void TButtonControl::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
  if (!FButton) return;
  FButton->resize(Width(), Height());
  PaintWidget(Canvas()->Handle(), FButton.get());
  // The Qt button is never focused itself: the focus is shown here.
  if (Focused()) {
    TRect R = ClientRect();
    InflateRect(R, -2, -2);
    Canvas()->DrawFocusRect(R);
  }
}

void TButtonControl::setPressed(bool Value) {
  if (FPressed == Value) return;
  FPressed = Value;
  UpdateButton();
}

void TButtonControl::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_SPACE && Shift.Empty()) setPressed(true);
}

void TButtonControl::KeyUp(Word& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  if (Key != VK_SPACE || !FPressed) return;
  setPressed(false);
  UserClick();
}

void TButtonControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    setPressed(true);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TButtonControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool Clicked = Button == mbLeft && FPressed && ClientRect().Contains(TPoint{X, Y});
  if (Button == mbLeft) setPressed(false);
  if (Clicked) UserClick();
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TButtonControl::CMTextChanged(TMessage&) { UpdateButton(); }

void TButtonControl::CMFontChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  UpdateButton();
}

void TButtonControl::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  UpdateButton();
}

void TButtonControl::CMDialogChar(TCMDialogChar& Message) {
  if (!IsAccel(Message.CharCode, Caption()) || !CanFocus()) {
    DispatchAs<TCustomControl>(Message);
    return;
  }
  SetFocus();
  UserClick();
  Message.Result = 1;
}

void TButtonControl::CMColorChanged(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  UpdateButton();
}

void TButtonControl::CMEnter(TMessage& Message) {
  DispatchAs<TCustomControl>(Message);
  Invalidate();
}

void TButtonControl::CMExit(TMessage& Message) {
  Invalidate();
  setPressed(false);
  DispatchAs<TCustomControl>(Message);
}

// ---------------------------------------------------------------------------
// TButton

const TMessageMap& TButton::MessageMap() {
  static const TMessageMap Map(TButtonControl::MessageMap(), {
      {CM_DIALOGKEY, &TButton::CMDialogKey},
      {CM_FOCUSCHANGED, &TButton::CMFocusChanged},
  });
  return Map;
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 75, 25);
  SetButton(std::make_unique<QPushButton>());
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  // Without a focus change to go by, Default alone decides.
  FActive = Value;
  UpdateButton();
}

void TButton::UpdateButton() {
  if (auto* Push = qobject_cast<QPushButton*>(Button())) Push->setDefault(FActive);
  TButtonControl::UpdateButton();
}

void TButton::Click() {
  if (FModalResult != mrNone) {
    if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
  }
  TButtonControl::Click();
}

void TButton::CMDialogKey(TCMDialogKey& Message) {
  const bool Wanted = (Message.CharCode == VK_RETURN && FActive) || (Message.CharCode == VK_ESCAPE && FCancel);
  if (!Wanted || !CanFocus()) {
    DispatchAs<TButtonControl>(Message);
    return;
  }
  Click();
  Message.Result = 1;
}

void TButton::CMFocusChanged(TCMFocusChanged& Message) {
  const bool Active = dynamic_cast<TButton*>(Message.Sender) ? Message.Sender == this : FDefault;
  if (Active != FActive) {
    FActive = Active;
    UpdateButton();
  }
  DispatchAs<TButtonControl>(Message);
}

void TButton::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  Props.Add("Caption", &TButton::Caption, &TButton::SetCaption);
  Props.Add("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  Props.Add("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
  Props.Add("ParentFont", &TButton::ParentFont, &TButton::SetParentFont).Default(true);
  Props.Add("TabOrder", &TButton::TabOrder, &TButton::SetTabOrder);
  Props.Add("TabStop", &TButton::TabStop, &TButton::SetTabStop).Default(true);
  Props.Add("Visible", &TButton::Visible, &TButton::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 97, 17);
  SetButton(std::make_unique<QCheckBox>());
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  UpdateButton();
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  UpdateButton();
  Click();
}

void TCustomCheckBox::Toggle() {
  switch (FState) {
    case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::UpdateButton() {
  if (auto* Box = qobject_cast<QCheckBox*>(Button())) {
    Box->setTristate(FState == cbGrayed);
    static constexpr Qt::CheckState States[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
    Box->setCheckState(States[FState]);
    // The caption left of the box: mirrored layout.
    Box->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
  }
  TButtonControl::UpdateButton();
}

void TCheckBox::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(taRightJustify);
  Props.Add("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  Props.Add("Caption", &TCheckBox::Caption, &TCheckBox::SetCaption);
  Props.Add("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
  Props.Add("Color", &TCheckBox::Color, &TCheckBox::SetColor);
  Props.Add("ParentColor", &TCheckBox::ParentColor, &TCheckBox::SetParentColor).Default(true);
  Props.Add("ParentFont", &TCheckBox::ParentFont, &TCheckBox::SetParentFont).Default(true);
  Props.Add("State", &TCheckBox::State, &TCheckBox::SetState).Default(cbUnchecked);
  Props.Add("TabOrder", &TCheckBox::TabOrder, &TCheckBox::SetTabOrder);
  Props.Add("TabStop", &TCheckBox::TabStop, &TCheckBox::SetTabStop).Default(true);
  Props.Add("Visible", &TCheckBox::Visible, &TCheckBox::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  SetBounds(0, 0, 113, 17);
  SetButton(std::make_unique<QRadioButton>());
  // Qt would uncheck the siblings itself: exclusion is ours.
  Button()->setAutoExclusive(false);
}

void TRadioButton::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  UpdateButton();
  if (!Value) return;
  if (TWinControl* P = Parent()) {
    for (Integer I = 0; I < P->ControlCount(); ++I)
      if (auto* Sibling = dynamic_cast<TRadioButton*>(P->Controls(I)); Sibling && Sibling != this)
        Sibling->SetChecked(false);
  }
  Click();
}

void TRadioButton::UpdateButton() {
  if (Button()) Button()->setChecked(FChecked);
  TButtonControl::UpdateButton();
}

void TRadioButton::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Caption", &TRadioButton::Caption, &TRadioButton::SetCaption);
  Props.Add("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
  Props.Add("Color", &TRadioButton::Color, &TRadioButton::SetColor);
  Props.Add("ParentColor", &TRadioButton::ParentColor, &TRadioButton::SetParentColor).Default(true);
  Props.Add("ParentFont", &TRadioButton::ParentFont, &TRadioButton::SetParentFont).Default(true);
  Props.Add("TabOrder", &TRadioButton::TabOrder, &TRadioButton::SetTabOrder);
  Props.Add("TabStop", &TRadioButton::TabStop, &TRadioButton::SetTabStop).Default(true);
  Props.Add("Visible", &TRadioButton::Visible, &TRadioButton::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}

// ---------------------------------------------------------------------------
// TCustomRadioGroup

// A radio button of a group: the user's choice becomes the group's ItemIndex.
class TGroupButton : public TRadioButton {
  RTL_CLASS(TGroupButton, TRadioButton)
public:
  TGroupButton(TCustomRadioGroup* Group, Integer Index) : TRadioButton(nullptr), FGroup(Group), FIndex(Index) {
    SetParent(Group);
  }
  void Click() override {
    TRadioButton::Click();
    if (Checked()) FGroup->SetItemIndex(FIndex);
  }

private:
  TCustomRadioGroup* FGroup;
  Integer FIndex;
};

const TMessageMap& TCustomRadioGroup::MessageMap() {
  static const TMessageMap Map(TCustomGroupBox::MessageMap(), {
      {CM_ENABLEDCHANGED, &TCustomRadioGroup::CMEnabledChanged},
  });
  return Map;
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>()) {
  FControlStyle.Exclude(csAcceptsControls);
  FItems->OnChange = TNotifyEvent(this, &TCustomRadioGroup::itemsChanged);
}

TCustomRadioGroup::~TCustomRadioGroup() = default;

TStrings* TCustomRadioGroup::Items() const { return FItems.get(); }

void TCustomRadioGroup::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TCustomRadioGroup::SetItemIndex(Integer Value) {
  Value = std::clamp(Value, Integer(-1), Integer(FButtons.size()) - 1);
  if (Value == FItemIndex) return;
  const Integer Old = FItemIndex;
  // Set first: checking the button comes back here with the same index.
  FItemIndex = Value;
  if (Value >= 0)
    FButtons[size_t(Value)]->SetChecked(true);
  else if (Old >= 0)
    FButtons[size_t(Old)]->SetChecked(false);
  Click();
}

void TCustomRadioGroup::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TCustomGroupBox>(Message);
  for (TRadioButton* Button : FButtons) Button->SetEnabled(Enabled());
}

void TCustomRadioGroup::SetColumns(Integer Value) {
  Value = std::clamp(Value, Integer(1), Integer(16));
  if (Value == FColumns) return;
  FColumns = Value;
  Realign();
}

void TCustomRadioGroup::itemsChanged(TObject*) {
  const auto Count = size_t(FItems->Count());
  while (FButtons.size() > Count) {
    FButtons.back()->Free();
    FButtons.pop_back();
  }
  while (FButtons.size() < Count) {
    FButtons.push_back(new TGroupButton(this, Integer(FButtons.size())));
    FButtons.back()->SetEnabled(Enabled());
  }
  for (size_t I = 0; I < Count; ++I) FButtons[I]->SetCaption(FItems->Strings(Integer(I)));
  if (FItemIndex >= Integer(Count)) {
    FItemIndex = -1;
  } else if (FItemIndex >= 0) {
    // A new button of the chosen index starts unchecked.
    FButtons[size_t(FItemIndex)]->SetChecked(true);
  }
  Realign();
}

void TCustomRadioGroup::AlignControls(TControl*, TRect& Rect) {
  if (FButtons.empty()) return;
  AdjustClientRect(Rect);
  const auto Count = Integer(FButtons.size());
  const Integer PerColumn = (Count + FColumns - 1) / FColumns;
  const Integer ColumnWidth = Rect.Width() / FColumns;
  const Integer RowHeight = Rect.Height() / PerColumn;
  // The rows' leftover pixels split above and below.
  const Integer Top = Rect.Top + (Rect.Height() % PerColumn) / 2;
  constexpr Integer Indent = 6;
  for (Integer I = 0; I < Count; ++I)
    FButtons[size_t(I)]->SetBounds(Rect.Left + Indent + I / PerColumn * ColumnWidth, Top + I % PerColumn * RowHeight,
                                   ColumnWidth - Indent, RowHeight);
}

void TRadioGroup::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Caption", &TRadioGroup::Caption, &TRadioGroup::SetCaption);
  Props.Add("Color", &TRadioGroup::Color, &TRadioGroup::SetColor);
  Props.Add("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
  Props.Add("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
  Props.Add("Items", &TRadioGroup::Items, &TRadioGroup::SetItems);
  Props.Add("ParentColor", &TRadioGroup::ParentColor, &TRadioGroup::SetParentColor).Default(true);
  Props.Add("ParentFont", &TRadioGroup::ParentFont, &TRadioGroup::SetParentFont).Default(true);
  Props.Add("TabOrder", &TRadioGroup::TabOrder, &TRadioGroup::SetTabOrder);
  Props.Add("TabStop", &TRadioGroup::TabStop, &TRadioGroup::SetTabStop).Default(false);
  Props.Add("Visible", &TRadioGroup::Visible, &TRadioGroup::SetVisible).Default(true);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
}
