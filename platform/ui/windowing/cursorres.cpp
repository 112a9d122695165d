#include "platform/ui/windowing/cursorres.h"

#include "platform/ui/windowing/windowingstate_p.h"

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <map>

// Names kept upper-case: resource names do not tell case apart.
struct windowing_detail::TCursorResources {
  std::map<String, gdi::HCURSOR> Cursors;
};

namespace {

std::map<String, gdi::HCURSOR>& cursorResources() { return WindowingState().CursorResources.Get().Cursors; }

// Resource ids below 65536 are numbers, not names (MAKEINTRESOURCE).
constexpr std::uintptr_t MaxIntResource = 0xFFFF;

}  // namespace

namespace gdi {

HINSTANCE MainInstance() {
  // Any non-zero value: only its identity counts.
  return reinterpret_cast<HINSTANCE>(std::uintptr_t(1));
}

HCURSOR LoadCursorW(HINSTANCE Instance, const WCHAR* Name) {
  if (Instance != MainInstance() || reinterpret_cast<std::uintptr_t>(Name) <= MaxIntResource) return nullptr;
  const auto It = cursorResources().find(String::fromUtf16(Name).toUpper());
  return It != cursorResources().end() ? It->second : nullptr;
}

}  // namespace gdi

void RegisterCursorResource(const String& Name, const QImage& Image, TPoint HotSpot) {
  const QCursor Cursor(QPixmap::fromImage(Image), HotSpot.X, HotSpot.Y);
  cursorResources()[Name.toUpper()] = gdi::CreateCursorFromImage(Cursor);
}
