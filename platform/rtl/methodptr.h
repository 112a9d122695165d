// Events as method pointers: an object plus one of its member functions.
//
// Handlers are compared, saved, chained and restored by identity ("is the
// dataset's OnFilterRecord still our handler?"), so an event is not a bare
// std::function.  Identity is the pair (Data, Code):
//
//   Data   the object the method is called on (nullptr for a lambda)
//   Code   the member-function pointer's bytes plus the typed invoker that
//          knows its class; for a lambda, a heap cell made when it is bound,
//          shared by every copy, so a lambda handler equals only its copies.
//
// An unassigned method pointer is empty: Assigned() is false and calling it is
// a bug (asserted).
#pragma once

#include <cassert>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>

// The type-erased code part; comparable, no ownership of the object.
struct TMethodCode {
  static constexpr std::size_t MaxPointerSize = 2 * sizeof(void*);
  // Any function pointer converts to this one and back unchanged, which an
  // object pointer does not promise.
  using TErasedInvoker = void (*)();

  TErasedInvoker Invoker = nullptr;  // typed trampoline, one per (class, method type)
  alignas(void*) unsigned char Bytes[MaxPointerSize] = {};  // the member pointer itself
  std::shared_ptr<void> Closure;               // lambda storage; identity by address

  bool operator==(const TMethodCode& Other) const {
    return Invoker == Other.Invoker && Closure == Other.Closure &&
           std::memcmp(Bytes, Other.Bytes, MaxPointerSize) == 0;
  }
  bool IsEmpty() const { return Invoker == nullptr; }
};

// The untyped pair, for code that keeps one stored handler and reads it through
// two event types of the same shape.
struct TMethod {
  void* Data = nullptr;
  TMethodCode Code;
  bool operator==(const TMethod& Other) const = default;
};

template <class Sig>
class TMethodPtr;

template <class R, class... Args>
class TMethodPtr<R(Args...)> {
  using Invoke = R (*)(const TMethod&, Args...);

public:
  TMethodPtr() = default;
  TMethodPtr(std::nullptr_t) {}

  // Binds Obj->*M.  The method pointer is stored by value; Obj is not owned.
  template <class O, class C, class M>
    requires(std::is_member_function_pointer_v<M C::*> && std::is_base_of_v<C, O>)
  TMethodPtr(O* Obj, M C::*Method) {
    static_assert(sizeof(Method) <= TMethodCode::MaxPointerSize);
    FMethod.Data = static_cast<C*>(Obj);
    std::memcpy(FMethod.Code.Bytes, &Method, sizeof(Method));
    FMethod.Code.Invoker = reinterpret_cast<TMethodCode::TErasedInvoker>(&invokeMember<C, M C::*>);
  }

  // Binds a callable; the result has a fresh identity that its copies keep.
  template <class F>
    requires(!std::is_same_v<std::decay_t<F>, TMethodPtr> &&
             !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
             std::is_invocable_r_v<R, std::decay_t<F>&, Args...>)
  TMethodPtr(F&& Fn) {
    using Stored = std::decay_t<F>;
    FMethod.Code.Closure = std::make_shared<Stored>(std::forward<F>(Fn));
    FMethod.Code.Invoker = reinterpret_cast<TMethodCode::TErasedInvoker>(&invokeClosure<Stored>);
  }

  // Reads a stored untyped handler through this event type.  The caller
  // vouches that it was bound with the same signature.
  static TMethodPtr FromMethod(const TMethod& M) {
    TMethodPtr P;
    P.FMethod = M;
    return P;
  }
  const TMethod& Method() const { return FMethod; }

  void* Data() const { return FMethod.Data; }
  bool Assigned() const { return !FMethod.Code.IsEmpty(); }
  explicit operator bool() const { return Assigned(); }
  void Clear() { FMethod = TMethod(); }

  bool operator==(const TMethodPtr& Other) const { return FMethod == Other.FMethod; }
  bool operator==(std::nullptr_t) const { return !Assigned(); }
  // True when both call the same code, whatever object they are bound to.
  bool SameCode(const TMethodPtr& Other) const { return FMethod.Code == Other.FMethod.Code; }

  R operator()(Args... A) const {
    assert(Assigned() && "calling an unassigned event");
    return reinterpret_cast<Invoke>(FMethod.Code.Invoker)(FMethod, std::forward<Args>(A)...);
  }

private:
  template <class C, class MP>
  static R invokeMember(const TMethod& M, Args... A) {
    MP Method;
    std::memcpy(&Method, M.Code.Bytes, sizeof(Method));
    return (static_cast<C*>(M.Data)->*Method)(std::forward<Args>(A)...);
  }

  template <class F>
  static R invokeClosure(const TMethod& M, Args... A) {
    return (*static_cast<F*>(M.Code.Closure.get()))(std::forward<Args>(A)...);
  }

  TMethod FMethod;
};

// Both bound to an object and a method, or both empty.
template <class Sig>
bool Assigned(const TMethodPtr<Sig>& P) {
  return P.Assigned();
}

class TObject;
using TNotifyEvent = TMethodPtr<void(TObject* Sender)>;
