// Interfaces, GUIDs, reference-counted objects and Supports.
//
// An interface is an abstract class deriving from IInterface with a static
// IID.  Asking an object for an interface is a dynamic_cast; the GUID only
// matters for the few look-ups that start from a GUID value, which go through
// a small table of casters that units register at start-up.
//
// Reference counting belongs to TInterfacedObject alone.  IPtr<I> counts when
// the object behind the interface is a TInterfacedObject and frees it when the
// last reference goes; for any other object (a component implementing an
// interface) it is a plain pointer, and the object's owner decides its life.
//
// A class that implements interfaces besides TInterfacedObject's IInterface
// holds one IInterface per interface, so its pointer converts to IInterface
// only through a named interface: IPtr<IInterface>(static_cast<IFoo*>(Obj)).
#pragma once

#include "platform/rtl/object.h"

#include <atomic>
#include <cstddef>
#include <utility>

// A 128-bit interface or object identifier.
struct TGUID {
  Cardinal D1 = 0;
  Word D2 = 0;
  Word D3 = 0;
  Byte D4[8] = {};

  // A GUID constant from "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; a malformed
  // text fails to compile.
  static consteval TGUID Literal(const char (&Text)[39]);

  bool operator==(const TGUID&) const = default;
};

namespace rtl_detail {

constexpr int hexDigit(char16_t C) {
  if (C >= u'0' && C <= u'9') return C - u'0';
  if (C >= u'A' && C <= u'F') return C - u'A' + 10;
  if (C >= u'a' && C <= u'f') return C - u'a' + 10;
  return -1;
}

// Parses the 38-character braced form; Text holds at least Length units.
template <class CharT>
constexpr bool parseGUID(const CharT* Text, std::size_t Length, TGUID& Guid) {
  constexpr std::size_t GuidTextLength = 38;
  if (Length != GuidTextLength || Text[0] != '{' || Text[37] != '}') return false;
  for (std::size_t Dash : {9u, 14u, 19u, 24u})
    if (Text[Dash] != '-') return false;
  std::size_t Pos = 1;
  auto Hex = [&](int Digits, UInt64& Value) {
    Value = 0;
    for (int I = 0; I < Digits; ++I, ++Pos) {
      if (Text[Pos] == '-') ++Pos;
      const int D = hexDigit(static_cast<char16_t>(Text[Pos]));
      if (D < 0) return false;
      Value = Value * 16 + static_cast<UInt64>(D);
    }
    return true;
  };
  UInt64 V = 0;
  if (!Hex(8, V)) return false;
  Guid.D1 = static_cast<Cardinal>(V);
  if (!Hex(4, V)) return false;
  Guid.D2 = static_cast<Word>(V);
  if (!Hex(4, V)) return false;
  Guid.D3 = static_cast<Word>(V);
  for (Byte& B : Guid.D4) {
    if (!Hex(2, V)) return false;
    B = static_cast<Byte>(V);
  }
  return true;
}

}  // namespace rtl_detail

consteval TGUID TGUID::Literal(const char (&Text)[39]) {
  TGUID Guid;
  if (!rtl_detail::parseGUID(Text, 38, Guid)) throw "malformed GUID literal";
  return Guid;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
String GUIDToString(const TGUID& Guid);
// The inverse of GUIDToString (either case); anything else raises
// EConvertError "'%s' is not a valid GUID value".
TGUID StringToGUID(const String& S);
bool IsEqualGUID(const TGUID& A, const TGUID& B);
// A random version-4 GUID from the operating system's random source.
TGUID CreateGUID();

// The root of every interface.
class IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{00000000-0000-0000-C000-000000000046}");
  virtual ~IInterface() = default;
};

// An object whose life is its reference count: the last IPtr frees it.  An
// object that no IPtr ever held is freed with Free() as usual.
class TInterfacedObject : public TObject, public IInterface {
  RTL_CLASS(TInterfacedObject, TObject)
public:
  TInterfacedObject() = default;

  // Both return the new count; Release frees the object when it reaches 0.
  Integer AddRef();
  Integer Release();
  Integer RefCount() const { return FRefCount.load(); }

private:
  std::atomic<Integer> FRefCount{0};
};

// A reference to an interface.  Copies add a reference and destruction drops
// one when the object is a TInterfacedObject; otherwise nothing is counted.
template <class I>
class IPtr {
public:
  IPtr() = default;
  IPtr(std::nullptr_t) {}
  explicit IPtr(I* Intf) : FIntf(Intf), FCounted(countedObject(Intf)) { addRef(); }
  IPtr(const IPtr& Other) : FIntf(Other.FIntf), FCounted(Other.FCounted) { addRef(); }
  IPtr(IPtr&& Other) noexcept
      : FIntf(std::exchange(Other.FIntf, nullptr)), FCounted(std::exchange(Other.FCounted, nullptr)) {}
  template <class J>
    requires std::is_convertible_v<J*, I*>
  IPtr(const IPtr<J>& Other) : IPtr(static_cast<I*>(Other.Get())) {}
  ~IPtr() { release(); }

  IPtr& operator=(IPtr Other) noexcept {
    std::swap(FIntf, Other.FIntf);
    std::swap(FCounted, Other.FCounted);
    return *this;
  }

  I* Get() const { return FIntf; }
  I* operator->() const { return FIntf; }
  I& operator*() const { return *FIntf; }
  explicit operator bool() const { return FIntf != nullptr; }
  void Reset() { IPtr().Swap(*this); }
  void Swap(IPtr& Other) noexcept {
    std::swap(FIntf, Other.FIntf);
    std::swap(FCounted, Other.FCounted);
  }

  template <class J>
  bool operator==(const IPtr<J>& Other) const { return FIntf == Other.Get(); }
  bool operator==(std::nullptr_t) const { return FIntf == nullptr; }

private:
  static TInterfacedObject* countedObject(I* Intf) { return dynamic_cast<TInterfacedObject*>(Intf); }
  void addRef() {
    if (FCounted) FCounted->AddRef();
  }
  void release() {
    if (FCounted) FCounted->Release();
  }

  I* FIntf = nullptr;
  TInterfacedObject* FCounted = nullptr;  // set when FIntf's object counts references
};

// Supports: does Obj (nullptr allowed) implement I?
template <class I, class T>
bool Supports(T* Obj, I*& Intf) {
  Intf = dynamic_cast<I*>(Obj);
  return Intf != nullptr;
}

template <class I, class T>
bool Supports(T* Obj) {
  return dynamic_cast<I*>(Obj) != nullptr;
}

template <class I, class T>
bool Supports(T* Obj, IPtr<I>& Intf) {
  Intf = IPtr<I>(dynamic_cast<I*>(Obj));
  return static_cast<bool>(Intf);
}

// GUID-driven look-ups.  A caster returns the object as the interface of its
// IID (as void*, to be cast back to exactly that interface), or nullptr.
using TInterfaceCaster = void* (*)(TObject* Obj);
// Registering an IID again replaces its caster.
void RegisterInterfaceCaster(const TGUID& IID, TInterfaceCaster Caster);

template <class I>
void RegisterInterfaceCaster() {
  RegisterInterfaceCaster(I::IID, [](TObject* Obj) -> void* { return dynamic_cast<I*>(Obj); });
}

// False (and Intf nullptr) when Obj is nullptr, the IID has no caster, or the
// object does not implement it.
bool Supports(TObject* Obj, const TGUID& IID, void*& Intf);

// The same for any object or interface pointer (an interface is looked up
// through the object that implements it).
template <class T>
bool Supports(T* Obj, const TGUID& IID, void*& Intf) {
  if constexpr (std::is_convertible_v<T*, TObject*>)
    return Supports(static_cast<TObject*>(Obj), IID, Intf);
  else
    return Supports(dynamic_cast<TObject*>(Obj), IID, Intf);
}

// Unit start-up of the caster table (called by the runtime's unit).
void InitializeInterfaces();
void FinalizeInterfaces();
