#include "gridlib/editors/buttonsbox.h"

#include "gridlib/base/painters.h"
#include "gridlib/editors/editbuttoncontrol.h"
#include "gridlib/editors/editbuttons.h"
#include "platform/rtl/rtlmath.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/graphics/metrics.h"

#include <algorithm>
#include <limits>

namespace {

constexpr Integer NoButtonHeight = std::numeric_limits<Integer>::max();

}  // namespace

void AssignEditButtonToControl(TEditButtonControlLineRec& Entry, Integer /*Index*/, bool Flat, Integer MaxHeight,
                               Integer& ButtonHeight) {
  TEditButtonEh* B = Entry.EditButton;
  TEditButtonControlEh* C = Entry.EditButtonControl;
  C->SetVisible(B->Visible());
  C->SetEnabled(B->Enabled());
  C->SetStyle(B->Style());
  C->SetGlyph(B->Glyph());
  C->SetNumGlyphs(B->NumGlyphs());
  C->SetHint(B->Hint());
  C->SetDrawBackTime(B->DrawBackTime());
  C->SetFlat(Flat);
  C->SetExternalEditButtonImages(B->Images());

  Integer Width = 0;
  if (B->Visible()) {
    Width = B->Width();
    if (Width < 1) Width = Flat ? DefaultEditButtonWidthEh() : GetSystemMetrics(SM_CXVSCROLL);
  }
  C->SetWidthNoNotify(Width);

  if (B->Visible()) {
    Integer Height = MaxHeight;
    if (Round(Width * 3 / 2.0) < Height) Height = DefaultEditButtonHeightEh(Width, Flat);
    ButtonHeight = std::min(ButtonHeight, Height);
  }

  if (!Entry.ButtonLine) return;
  const bool Separator = Flat && B->Visible() && !IsStyleServicesEnabledEh();
  Entry.ButtonLine->SetVisible(Separator);
  Entry.ButtonLine->SetWidth(Separator ? 1 : 0);
}

// ---------------------------------------------------------------------------
// TEditButtonsBoxEh

TEditButtonsBoxEh::TEditButtonsBoxEh(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  FControlStyle.Include(csParentBackground);
  SetCursor(crArrow);
}

void TEditButtonsBoxEh::EndLayout() {
  if (--FLayoutCount == 0) LayoutChanged();
}

void TEditButtonsBoxEh::SetButtonsCount(Integer Value) {
  Value = std::max(Value, 0);
  while (ButtonsCount() > Value) {
    TEditButtonControlLineRec& Last = FBtnCtlList.back();
    if (Last.EditButtonControl) Last.EditButtonControl->Free();
    if (Last.ButtonLine) Last.ButtonLine->Free();
    FBtnCtlList.pop_back();
  }
  while (ButtonsCount() < Value) {
    TEditButtonControlLineRec Entry;
    if (FOnCreateEditButtonControl) FOnCreateEditButtonControl(Entry.EditButtonControl);
    if (Entry.EditButtonControl) Entry.EditButtonControl->SetParent(this);
    Entry.ButtonLine = new TShape(this);
    Entry.ButtonLine->SetParent(this);
    FBtnCtlList.push_back(Entry);
  }
}

void TEditButtonsBoxEh::SetBorderActive(bool Value) {
  if (FBorderActive == Value) return;
  FBorderActive = Value;
  Invalidate();
}

void TEditButtonsBoxEh::UpdateEditButtonControlList() {
  Integer ButtonHeight = NoButtonHeight;
  for (size_t I = 0; I < FBtnCtlList.size(); ++I) {
    TEditButtonControlLineRec& Entry = FBtnCtlList[I];
    AssignEditButtonToControl(Entry, Integer(I), FFlat, FMaxButtonHeight, ButtonHeight);
    TEditButtonControlEh* C = Entry.EditButtonControl;
    C->OnDown = FOnDown;
    C->OnClick = FOnClick;
    C->OnMouseMove = FOnMouseMove;
    C->OnMouseUp = FOnMouseUp;
    C->SetTag(NativeInt(I));
  }
  FButtonsWidth = 0;
  for (const TEditButtonControlLineRec& Entry : FBtnCtlList)
    FButtonsWidth += Entry.EditButtonControl->Width() + (Entry.ButtonLine ? Entry.ButtonLine->Width() : 0);
  if (ButtonHeight != NoButtonHeight) placeEntries(ButtonHeight);
  // The last separator lies under the owner's frame.
  if (FFlat && FButtonsWidth > 0 && !IsStyleServicesEnabledEh()) --FButtonsWidth;
  FButtonHeight = ButtonHeight;
}

void TEditButtonsBoxEh::placeEntries(Integer ButtonHeight) {
  const bool RightToLeft = UseRightToLeftAlignment();
  Integer X = RightToLeft ? FButtonsWidth : 0;
  for (const TEditButtonControlLineRec& Entry : FBtnCtlList) {
    TEditButtonControlEh* C = Entry.EditButtonControl;
    const Integer LineWidth = Entry.ButtonLine ? Entry.ButtonLine->Width() : 0;
    if (RightToLeft) {
      X -= C->Width();
      C->SetBounds(X, 0, C->Width(), ButtonHeight);
      X -= LineWidth;
      if (Entry.ButtonLine) Entry.ButtonLine->SetBounds(X, 0, LineWidth, ButtonHeight);
    } else {
      C->SetBounds(X, 0, C->Width(), ButtonHeight);
      X += C->Width();
      if (Entry.ButtonLine) Entry.ButtonLine->SetBounds(X, 0, LineWidth, ButtonHeight);
      X += LineWidth;
    }
  }
}

void TEditButtonsBoxEh::UpdateEditButtonControlsState() {
  for (const TEditButtonControlLineRec& Entry : FBtnCtlList) {
    TEditButtonControlEh* C = Entry.EditButtonControl;
    C->SetEnabled(Enabled() && Entry.EditButton && Entry.EditButton->Enabled());
    C->SetActive(FBorderActive);
    if (Entry.ButtonLine) Entry.ButtonLine->Pen()->SetColor(FBorderActive ? clBtnFace : Color());
  }
}
