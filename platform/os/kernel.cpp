#include "platform/os/kernel.h"

#include <mutex>
#include <utility>

namespace {

std::mutex SinkLock;

TDebugOutputSink& installedSink() {
  static TDebugOutputSink Sink;
  return Sink;
}

}  // namespace

void OutputDebugString(const String& Text) {
  TDebugOutputSink Sink;
  {
    std::lock_guard Guard(SinkLock);
    Sink = installedSink();
  }
  if (Sink) Sink(Text);
}

TDebugOutputSink SetDebugOutputSink(TDebugOutputSink Sink) {
  std::lock_guard Guard(SinkLock);
  return std::exchange(installedSink(), std::move(Sink));
}
