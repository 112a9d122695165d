#include "platform/rtl/object.h"

#include "platform/rtl/typinfo.h"

#include <QHash>
#include <cassert>

TMetaClass::TMetaClass(const char* Name, TClass Parent)
    : FName(String::fromLatin1(Name)), FParent(Parent) {}

TMetaClass::~TMetaClass() { delete FProperties.load(); }

bool TMetaClass::ClassNameIs(const String& Name) const {
  return FName.compare(Name, Qt::CaseInsensitive) == 0;
}

bool TMetaClass::InheritsFrom(TClass C) const {
  for (TClass P = this; P; P = P->FParent)
    if (P == C) return true;
  return false;
}

TObject* TMetaClass::Create() const { throw EAbstractError(QStringLiteral("Abstract Error")); }

TComponent* TMetaClass::Create(TComponent*) const {
  throw EAbstractError(QStringLiteral("Abstract Error"));
}

TCollectionItem* TMetaClass::Create(TCollection*) const {
  throw EAbstractError(QStringLiteral("Abstract Error"));
}

TObject::~TObject() = default;

TClass TObject::StaticClass() {
  static const TClassOf<TObject> Meta("TObject", nullptr);
  return &Meta;
}

TClass TObject::ClassType() const { return StaticClass(); }
String TObject::ClassName() const { return ClassType()->ClassName(); }
TClass TObject::ClassParent() const { return ClassType()->ClassParent(); }
bool TObject::ClassNameIs(const String& Name) const { return ClassType()->ClassNameIs(Name); }
bool TObject::InheritsFrom(TClass C) const { return ClassType()->InheritsFrom(C); }

void TObject::Free() {
  BeforeDestruction();
  delete this;
}

namespace {

// Keys are folded to lower case: class names are ASCII identifiers.
using TRegistry = QHash<String, TClass>;
TRegistry* Registry = nullptr;

TRegistry& registry() {
  assert(Registry && "class registry used before the runtime unit was initialized");
  return *Registry;
}

}  // namespace

void InitializeClassRegistry() {
  if (!Registry) Registry = new TRegistry;
}

void FinalizeClassRegistry() {
  delete Registry;
  Registry = nullptr;
}

void RegisterClass(TClass C) { registry().insert(C->ClassName().toLower(), C); }

void RegisterClasses(std::initializer_list<TClass> Classes) {
  for (TClass C : Classes) RegisterClass(C);
}

void UnRegisterClass(TClass C) {
  auto It = registry().find(C->ClassName().toLower());
  if (It != registry().end() && It.value() == C) registry().erase(It);
}

void UnRegisterClasses(std::initializer_list<TClass> Classes) {
  for (TClass C : Classes) UnRegisterClass(C);
}

TClass GetClass(const String& Name) { return registry().value(Name.toLower(), nullptr); }

TClass FindClass(const String& Name) {
  if (TClass C = GetClass(Name)) return C;
  throw EClassNotFound(QStringLiteral("Class %1 not found").arg(Name));
}

void ForEachRegisteredClass(const std::function<void(TClass)>& Proc) {
  const auto Classes = registry().values();
  for (TClass C : Classes) Proc(C);
}

TClassRegistrationScope::TClassRegistrationScope(std::initializer_list<TClass> Classes) {
  for (TClass C : Classes) {
    if (GetClass(C->ClassName()) == C) continue;
    RegisterClass(C);
    FAdded.push_back(C);
  }
}

TClassRegistrationScope::~TClassRegistrationScope() {
  for (TClass C : FAdded) UnRegisterClass(C);
}
