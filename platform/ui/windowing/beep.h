// The message beep.  MessageBeep rings the desktop's bell unless a test
// records it: a refused key or a refused value beeps, and tests count that
// instead of hearing it.
#pragma once

#include "platform/ui/windowing/messages.h"

#include <vector>

namespace gdi {

// Rings the bell; Type is a message-box kind (MB_OK, MB_ICON*), which sounds
// the same for every kind here.  Answers nonzero.
BOOL MessageBeep(UINT Type);

}  // namespace gdi

namespace test {

// While it lives, MessageBeep records its Type here instead of ringing.
// Recorders nest: the newest one records.
class TBeepRecorder {
public:
  TBeepRecorder();
  ~TBeepRecorder();
  TBeepRecorder(const TBeepRecorder&) = delete;
  TBeepRecorder& operator=(const TBeepRecorder&) = delete;

  int Count() const { return int(FTypes.size()); }
  const std::vector<gdi::UINT>& Types() const { return FTypes; }
  void Clear() { FTypes.clear(); }

private:
  friend gdi::BOOL gdi::MessageBeep(gdi::UINT Type);
  TBeepRecorder* FPrevious;
  std::vector<gdi::UINT> FTypes;
};

}  // namespace test
