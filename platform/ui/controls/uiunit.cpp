#include "platform/ui/controls/uiunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/controls/combobox.h"
#include "platform/ui/controls/comctrls.h"
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

#include <vector>

namespace {

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

void InitializeUi() {
  InstallCommonDialogs();
  for (TClass C : componentClasses()) RegisterClass(C);
}

void FinalizeUi() {
  for (TClass C : componentClasses()) UnRegisterClass(C);
}
