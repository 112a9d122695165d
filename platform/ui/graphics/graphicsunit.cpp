#include "platform/ui/graphics/graphicsunit.h"

#include "platform/rtl/modules.h"
#include "platform/rtl/object.h"
#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/graphicsstate_p.h"
#include "platform/ui/graphics/imagelist.h"
#include "platform/ui/graphics/printers.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<TGraphicsState*> GState{nullptr};
std::mutex GStateLock;

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

void TGraphicsState::Free() {
  Gdiplus.Free();
  PictureFormats.Free();
  Styles.Free();
  Screen.Free();
  TextScratch.Free();
  FontCache.Free();
  FontMap.Free();
  TextEngine.Free();
  ImageLists.Free();
  HandleCaches.Free();
  WindowDCHook.Free();
  SysColors.Free();
  GdiHandles.Free();
}

void TGraphicsState::Reset() {
  SysColors.Reset();
  TextEngine.Reset();
  FontMap.Reset();
  FontCache.Reset();
  TextScratch.Reset();
  Screen.Reset();
  Styles.Reset();
  Gdiplus.Reset();
}

TGraphicsState& GraphicsState() {
  if (TGraphicsState* State = GState.load(std::memory_order_acquire)) return *State;
  std::lock_guard Guard(GStateLock);
  if (!GState.load(std::memory_order_relaxed)) GState.store(new TGraphicsState, std::memory_order_release);
  return *GState.load(std::memory_order_relaxed);
}

void ResetGraphicsState() { GraphicsState().Reset(); }

void InitializeGraphics() {
  GraphicsState();
  InitializePrinter();
  RegisterClass(TImageList::StaticClass());
  registerSystemModules();
}

void FinalizeGraphics() {
  UnregisterBuiltinModule(QStringLiteral("msimg32.dll"));
  UnregisterBuiltinModule(QStringLiteral("gdi32.dll"));
  UnRegisterClass(TImageList::StaticClass());
  FinalizePrinter();
  // The parts are freed while the object is still the layer's state, so what
  // their objects release on the way out reaches the dying parts.
  if (TGraphicsState* State = GState.load()) {
    State->Free();
    GState.store(nullptr);
    delete State;
  }
}
