#include "platform/ui/uiunit.h"

#include "platform/ui/application.h"
#include "platform/ui/clipbrd.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/printers.h"

void InitializeUi() {
  InitializeForms();
  InstallMessageBox();
  InitializeClipboard();
  InitializePrinter();
}

void FinalizeUi() {
  FinalizePrinter();
  FinalizeClipboard();
  FinalizeForms();
}
