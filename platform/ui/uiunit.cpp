#include "platform/ui/uiunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/actions.h"
#include "platform/ui/application.h"
#include "platform/ui/buttons.h"
#include "platform/ui/clipbrd.h"
#include "platform/ui/combobox.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/edits.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "platform/ui/imagelist.h"
#include "platform/ui/labelededit.h"
#include "platform/ui/listbox.h"
#include "platform/ui/mask.h"
#include "platform/ui/menus.h"
#include "platform/ui/pages.h"
#include "platform/ui/printers.h"
#include "platform/ui/scrollbar.h"
#include "platform/ui/spin.h"
#include "platform/ui/stdctrls.h"
#include "platform/ui/timers.h"

#include <vector>

namespace {

// The component classes stored forms create by name.
const std::vector<TClass>& componentClasses() {
  static const std::vector<TClass> Classes = {
      TForm::StaticClass(),       TLabel::StaticClass(),       TPanel::StaticClass(),
      TGroupBox::StaticClass(),   TBevel::StaticClass(),       TShape::StaticClass(),
      TImage::StaticClass(),      TButton::StaticClass(),      TCheckBox::StaticClass(),
      TRadioButton::StaticClass(), TRadioGroup::StaticClass(), TStatusBar::StaticClass(),
      TProgressBar::StaticClass(), TScrollBar::StaticClass(),  TTimer::StaticClass(),
      TMainMenu::StaticClass(),   TPopupMenu::StaticClass(),   TMenuItem::StaticClass(),
      TAction::StaticClass(),     TImageList::StaticClass(),   TOpenDialog::StaticClass(),
      TSaveDialog::StaticClass(), TFontDialog::StaticClass(),  TColorDialog::StaticClass(),
      TEdit::StaticClass(),       TMemo::StaticClass(),        TMaskEdit::StaticClass(),
      TSpinEdit::StaticClass(),   TLabeledEdit::StaticClass(), TListBox::StaticClass(),
      TComboBox::StaticClass(),   TBitBtn::StaticClass(),      TSpeedButton::StaticClass(),
      TToolBar::StaticClass(),    TToolButton::StaticClass(),  TPageControl::StaticClass(),
      TTabSheet::StaticClass()};
  return Classes;
}

}  // namespace

void InitializeUi() {
  InitializeForms();
  InstallMessageBox();
  InstallCommonDialogs();
  InitializeClipboard();
  InitializePrinter();
  for (TClass C : componentClasses()) RegisterClass(C);
}

void FinalizeUi() {
  for (TClass C : componentClasses()) UnRegisterClass(C);
  FinalizePrinter();
  FinalizeClipboard();
  FinalizeForms();
}
