#include "platform/ui/graphics/graphicsunit.h"

#include "platform/rtl/object.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/printers.h"

void InitializeGraphics() {
  InitializePrinter();
  RegisterClass(TImageList::StaticClass());
}

void FinalizeGraphics() {
  UnRegisterClass(TImageList::StaticClass());
  FinalizePrinter();
}
