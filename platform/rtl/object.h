// TObject, class references (metaclasses) and the class registry.
//
// C++ has no class references, so each class of the object model owns one
// metaclass object: its name, its parent and a virtual constructor for each
// construction shape the design uses (no arguments, an owner component, a
// collection).  A class joins the model with RTL_CLASS in its body:
//
//   class TFoo : public TComponent {
//     RTL_CLASS(TFoo, TComponent)
//   public:
//     explicit TFoo(TComponent* AOwner);
//   };
//
// The metaclass is a function-local static made on first use, so nothing runs
// before main and the registry is filled by explicit RegisterClass calls.
//
// Published properties: a class that publishes properties declares
//
//   static void DescribeProperties(TPropertyTable& Props);
//
// (see typinfo.h).  Its metaclass calls it once, on the first look at the
// class's property table, after copying the parent's table; a class that
// declares none has its parent's properties.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/system.h"

#include <atomic>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <utility>
#include <vector>

class TObject;
class TComponent;
class TCollection;
class TCollectionItem;
class TMetaClass;
class TPropertyTable;

using TClass = const TMetaClass*;
using TDescribeProperties = void (*)(TPropertyTable& Props);

class TMetaClass {
public:
  TMetaClass(const char* Name, TClass Parent);
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;
  virtual ~TMetaClass();

  const String& ClassName() const { return FName; }
  TClass ClassParent() const { return FParent; }
  bool ClassNameIs(const String& Name) const;
  // True for this class and every class derived from C.
  bool InheritsFrom(TClass C) const;

  // Virtual constructors.  A class without the matching C++ constructor (or an
  // abstract one) raises EAbstractError.
  virtual TObject* Create() const;
  virtual TComponent* Create(TComponent* Owner) const;
  virtual TCollectionItem* Create(TCollection* Collection) const;

  // The published properties: the parent's first, then the class's own in
  // declaration order.  Built on first use; defined with the property tables.
  const TPropertyTable& Properties() const;
  // The class's DescribeProperties, or the nearest ancestor's when the class
  // declares none.
  virtual TDescribeProperties PropertyDescriber() const = 0;

private:
  String FName;
  TClass FParent;
  mutable std::atomic<TPropertyTable*> FProperties{nullptr};
};

// The metaclass of T: its virtual constructors call T's own constructors.
// Meta is TMetaClass or a metaclass that adds class-level virtuals.
template <class T, class Meta = TMetaClass>
class TClassOf : public Meta {
public:
  using Meta::Meta;

  TObject* Create() const override {
    if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>)
      return new T();
    else
      return Meta::Create();
  }
  TComponent* Create(TComponent* Owner) const override {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, TComponent*> &&
                  std::is_convertible_v<T*, TComponent*>)
      return new T(Owner);
    else
      return Meta::Create(Owner);
  }
  TCollectionItem* Create(TCollection* Collection) const override {
    if constexpr (!std::is_abstract_v<T> && std::is_constructible_v<T, TCollection*> &&
                  std::is_convertible_v<T*, TCollectionItem*>)
      return new T(Collection);
    else
      return Meta::Create(Collection);
  }
  TDescribeProperties PropertyDescriber() const override { return &T::DescribeProperties; }
};

// Gives a class its metaclass; leaves the access level public.
#define RTL_CLASS(Name, Parent) RTL_CLASS_META(Name, Parent, TClassOf<Name>)

// As RTL_CLASS, with a metaclass type of the class's own (for class-level
// virtuals); Meta is a complete type such as TClassOf<Name, TGraphicMeta>.
#define RTL_CLASS_META(Name, Parent, ...)                                  \
public:                                                                    \
  static TClass StaticClass() {                                            \
    static const __VA_ARGS__ Meta(#Name, Parent::StaticClass());           \
    return &Meta;                                                          \
  }                                                                        \
  TClass ClassType() const override { return StaticClass(); }

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  static TClass StaticClass();
  virtual TClass ClassType() const;
  // TObject publishes nothing.
  static void DescribeProperties(TPropertyTable&) {}
  String ClassName() const;
  TClass ClassParent() const;
  bool ClassNameIs(const String& Name) const;
  bool InheritsFrom(TClass C) const;

  // Runs BeforeDestruction while the whole object still exists, then deletes
  // it.  The object must have been made with new.  C++ forbids calling it on
  // nullptr; FreeAndNil is the form for a pointer that may be nil.
  void Free();

  virtual void AfterConstruction() {}
  // Called by Free before any destructor runs; derived classes that must
  // notify others while still whole (components) override it.
  virtual void BeforeDestruction() {}
};

// Frees Obj (when assigned) and clears the pointer first, as the original did,
// so a handler reached during destruction sees nil.
template <class T>
void FreeAndNil(T*& Obj) {
  T* Temp = Obj;
  Obj = nullptr;
  if (Temp) Temp->Free();
}

template <class T>
bool Is(const TObject* Obj) {
  return dynamic_cast<const T*>(Obj) != nullptr;
}

// Checked cast: nil stays nil, any other mismatch raises EInvalidCast.
template <class T>
T* As(TObject* Obj) {
  if (!Obj) return nullptr;
  if (T* Result = dynamic_cast<T*>(Obj)) return Result;
  throw EInvalidCast(QStringLiteral("Invalid class typecast"));
}

// Class registry: a case-insensitive name -> class table for creating objects
// by name.  Registering a class twice is harmless.
void RegisterClass(TClass C);
void RegisterClasses(std::initializer_list<TClass> Classes);
void UnRegisterClass(TClass C);
void UnRegisterClasses(std::initializer_list<TClass> Classes);
// Raises EClassNotFound "Class %s not found".
TClass FindClass(const String& Name);
// nullptr when the name is not registered.
TClass GetClass(const String& Name);
void ForEachRegisteredClass(const std::function<void(TClass)>& Proc);

// The value Table keeps for C or, failing that, for its nearest ancestor;
// nullptr when no class of C's parent chain is in the table.  For registries
// keyed by class whose entries serve descendants too.
template <class T>
const T* FindNearestRegistered(TClass C, const std::vector<std::pair<TClass, T>>& Table) {
  for (TClass P = C; P; P = P->ClassParent())
    for (const auto& [Class, Value] : Table)
      if (Class == P) return &Value;
  return nullptr;
}

// Registers classes for the life of one scope (a test) and unregisters those
// it added when it ends.
class TClassRegistrationScope {
public:
  TClassRegistrationScope(std::initializer_list<TClass> Classes);
  ~TClassRegistrationScope();
  TClassRegistrationScope(const TClassRegistrationScope&) = delete;
  TClassRegistrationScope& operator=(const TClassRegistrationScope&) = delete;

private:
  std::vector<TClass> FAdded;
};

// Unit start-up of the registry (called by the runtime's unit).
void InitializeClassRegistry();
void FinalizeClassRegistry();
