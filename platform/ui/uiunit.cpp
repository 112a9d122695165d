#include "platform/ui/uiunit.h"

#include "platform/ui/application.h"
#include "platform/ui/clipbrd.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/printers.h"

void InitializeUi() {
  InitializeForms();
  InstallMessageBox();
  InstallCommonDialogs();
  InitializeClipboard();
  InitializePrinter();
}

void FinalizeUi() {
  FinalizePrinter();
  FinalizeClipboard();
  FinalizeForms();
}
