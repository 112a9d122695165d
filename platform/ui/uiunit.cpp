#include "platform/ui/uiunit.h"

#include "platform/ui/clipbrd.h"
#include "platform/ui/printers.h"

void InitializeUi() {
  InitializeClipboard();
  InitializePrinter();
}

void FinalizeUi() {
  FinalizePrinter();
  FinalizeClipboard();
}
