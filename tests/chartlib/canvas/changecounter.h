// Counts the change events of a chart value object.
#pragma once

#include "platform/rtl/methodptr.h"

struct TChangeCounter {
  int Count = 0;
  TNotifyEvent Event() {
    return TNotifyEvent([this](TObject*) { ++Count; });
  }
};
