#include "platform/ui/controls/uiunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/combobox.h"
#include "platform/ui/controls/comctrls.h"
#include "platform/ui/controls/controlsstate_p.h"
#include "platform/ui/controls/commdlg.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/controls/labelededit.h"
#include "platform/ui/controls/listbox.h"
#include "platform/ui/controls/mask.h"
#include "platform/ui/controls/pages.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/spin.h"
#include "platform/ui/controls/stdctrls.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::atomic<TControlsState*> GState{nullptr};
std::mutex GStateLock;

// The component classes stored forms create by name.
const std::vector<TClass>& componentClasses() {
  static const std::vector<TClass> Classes = {
      TLabel::StaticClass(),       TPanel::StaticClass(),       TGroupBox::StaticClass(),
      TBevel::StaticClass(),       TShape::StaticClass(),       TImage::StaticClass(),
      TButton::StaticClass(),      TCheckBox::StaticClass(),    TRadioButton::StaticClass(),
      TRadioGroup::StaticClass(),  TStatusBar::StaticClass(),   TProgressBar::StaticClass(),
      TScrollBar::StaticClass(),   TOpenDialog::StaticClass(),  TSaveDialog::StaticClass(),
      TFontDialog::StaticClass(),  TColorDialog::StaticClass(), TEdit::StaticClass(),
      TMemo::StaticClass(),        TMaskEdit::StaticClass(),    TSpinEdit::StaticClass(),
      TLabeledEdit::StaticClass(), TListBox::StaticClass(),     TComboBox::StaticClass(),
      TBitBtn::StaticClass(),      TSpeedButton::StaticClass(), TToolBar::StaticClass(),
      TToolButton::StaticClass(),  TPageControl::StaticClass(), TTabSheet::StaticClass()};
  return Classes;
}

}  // namespace

TControlsState& ControlsState() {
  if (TControlsState* State = GState.load(std::memory_order_acquire)) return *State;
  std::lock_guard Guard(GStateLock);
  if (!GState.load(std::memory_order_relaxed)) GState.store(new TControlsState, std::memory_order_release);
  return *GState.load(std::memory_order_relaxed);
}

void InitializeUi() {
  ControlsState();
  InstallCommonDialogs();
  for (TClass C : componentClasses()) RegisterClass(C);
}

void FinalizeUi() {
  for (TClass C : componentClasses()) UnRegisterClass(C);
  if (TControlsState* State = GState.load()) {
    State->Free();
    GState.store(nullptr);
    delete State;
  }
}
