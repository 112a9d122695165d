#include "platform/ui/graphics/graphicsunit.h"

#include "platform/rtl/modules.h"
#include "platform/rtl/object.h"
#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/printers.h"

namespace {

// The system libraries whose functions this layer implements, for code that
// looks them up at run time.
void registerSystemModules() {
  RegisterBuiltinModule(QStringLiteral("gdi32.dll"),
                        {{"AddFontMemResourceEx", reinterpret_cast<void*>(&gdi::AddFontMemResourceEx)},
                         {"RemoveFontMemResourceEx", reinterpret_cast<void*>(&gdi::RemoveFontMemResourceEx)},
                         {"SetDCBrushColor", reinterpret_cast<void*>(&gdi::SetDCBrushColor)},
                         {"SetDCPenColor", reinterpret_cast<void*>(&gdi::SetDCPenColor)}});
  RegisterBuiltinModule(QStringLiteral("msimg32.dll"), {{"AlphaBlend", reinterpret_cast<void*>(&gdi::AlphaBlend)}});
}

}  // namespace

void InitializeGraphics() {
  InitializePrinter();
  RegisterClass(TImageList::StaticClass());
  registerSystemModules();
}

void FinalizeGraphics() {
  UnregisterBuiltinModule(QStringLiteral("msimg32.dll"));
  UnregisterBuiltinModule(QStringLiteral("gdi32.dll"));
  UnRegisterClass(TImageList::StaticClass());
  FinalizePrinter();
}
