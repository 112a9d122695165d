// A cleanup that runs when a scope ends, whether by return or by exception:
// the runtime's one way to put state back, end an update or free what a
// failed step made.
//
//   List->BeginUpdate();
//   const TScopeExit EndUpdate([List] { List->EndUpdate(); });
//
// The cleanup's own exception leaves the scope when no other exception is
// passing (an OnChange handler raising in EndUpdate reaches the caller); one
// raised while another is passing ends the program, as from any destructor.
#pragma once

#include <utility>

template <class F>
class [[nodiscard]] TScopeExit {
public:
  explicit TScopeExit(F Fn) : FFn(std::move(Fn)) {}
  ~TScopeExit() noexcept(false) {
    if (FArmed) FFn();
  }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

  // The cleanup will not run: the step it would undo has succeeded.
  void Release() { FArmed = false; }

private:
  F FFn;
  bool FArmed = true;
};
