// Runs a function when the scope ends, also when an exception leaves it: the
// cleanup of a try/finally, written once next to what it undoes.
//
//   Canvas->Lock();
//   TScopeExit Unlock([&] { Canvas->Unlock(); });
#pragma once

#include <utility>

template <class F>
class TScopeExit {
public:
  explicit TScopeExit(F Fn) : FFn(std::move(Fn)) {}
  ~TScopeExit() { FFn(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

private:
  F FFn;
};
