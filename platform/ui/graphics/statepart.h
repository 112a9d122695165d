// One part of a UI layer's process-wide state (the GDI handle table, the font
// map, the message queue ...).
//
// Each layer keeps its state in one object that its unit's start-up makes and
// its shutdown frees (TGraphicsState, TWindowingState); that
// object holds one TStatePart per unit of the layer.  A part's type needs to
// be complete only where Get() is called, so each unit keeps the definition of
// its part in its own source.  A part is made on first use, under a lock, as
// worker threads post messages and read the cursor too.
//
// Reset() brings a part back to its start-up value for the tests' reset: a
// part with a Reset() of its own (one that keeps what live objects still hold,
// such as window handles) runs it; any other part is freed and made afresh at
// its next use.
#pragma once

#include <atomic>
#include <mutex>

template <class T>
class TStatePart {
public:
  TStatePart() = default;
  TStatePart(const TStatePart&) = delete;
  TStatePart& operator=(const TStatePart&) = delete;
  ~TStatePart() { Free(); }

  T& Get() {
    T* Part = FPart.load(std::memory_order_acquire);
    return Part ? *Part : make();
  }
  // The part if it has been made, else nullptr (for shutdown paths that must
  // not make one).
  T* Find() const { return FPart.load(std::memory_order_acquire); }

  void Reset() {
    T* Part = Find();
    if (!Part) return;
    if (FReset)
      FReset(Part);
    else
      Free();
  }

  // The part stays reachable while it is freed: what its objects release on
  // the way out finds the dying part, not a new one.
  void Free() {
    std::lock_guard Guard(FLock);
    T* Part = FPart.load(std::memory_order_relaxed);
    if (!Part) return;
    FFree(Part);
    FPart.store(nullptr, std::memory_order_release);
  }

private:
  T& make() {
    std::lock_guard Guard(FLock);
    if (T* Part = FPart.load(std::memory_order_relaxed)) return *Part;
    T* Part = new T();
    FFree = [](T* P) { delete P; };
    if constexpr (requires(T& P) { P.Reset(); }) FReset = [](T* P) { P->Reset(); };
    FPart.store(Part, std::memory_order_release);
    return *Part;
  }

  std::atomic<T*> FPart{nullptr};
  std::mutex FLock;
  void (*FFree)(T*) = nullptr;   // set where T is complete
  void (*FReset)(T*) = nullptr;  // none: Reset frees the part
};
