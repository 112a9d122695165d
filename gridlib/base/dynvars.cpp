#include "gridlib/base/dynvars.h"

#include "gridlib/base/langconsts.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/strutils.h"

#include <QRegularExpression>
#include <cstdint>

// ---------------------------------------------------------------------------
// TCustomDynVarEh

void TCustomDynVarEh::makeDummy(TCustomDynVarsEh* Owner) {
  FIsDummy = true;
  FOwnerWhenDummy = Owner;
}

void TCustomDynVarEh::SetName(const String& Value) {
  if (TCustomDynVarsEh* Bag = VarCollection()) {
    TCustomDynVarEh* Namesake = Bag->FindDynVar(Value);
    if (Namesake && Namesake != this) TCustomDynVarsEh::raiseDuplicateName(Value);
  }
  FName = Value;
  Changed(false);
}

void TCustomDynVarEh::SetValue(const Variant& Value) { writeValue(Value, /*Notify=*/true); }

void TCustomDynVarEh::writeValue(const Variant& Value, bool Notify) {
  if (FIsDummy) FOwnerWhenDummy->AdoptDummyVar(this);
  FData = Value;
  if (Notify) Changed(false);
}

TCustomDynVarsEh* TCustomDynVarEh::VarCollection() const { return static_cast<TCustomDynVarsEh*>(Collection()); }

bool TCustomDynVarEh::AsBoolean() const { return IsNull() ? false : FData.AsBoolean(); }
void TCustomDynVarEh::SetAsBoolean(bool Value) { SetValue(Variant(Value)); }
TDateTime TCustomDynVarEh::AsDateTime() const { return IsNull() ? 0 : FData.AsDateTime(); }
void TCustomDynVarEh::SetAsDateTime(TDateTime Value) { SetValue(VarFromDateTime(Value)); }
double TCustomDynVarEh::AsFloat() const { return IsNull() ? 0 : FData.AsDouble(); }
void TCustomDynVarEh::SetAsFloat(double Value) { SetValue(Variant(Value)); }
Currency TCustomDynVarEh::AsCurrency() const { return IsNull() ? Currency() : FData.AsCurrency(); }
void TCustomDynVarEh::SetAsCurrency(Currency Value) { SetValue(Variant(Value)); }
Integer TCustomDynVarEh::AsInteger() const { return IsNull() ? 0 : FData.AsInteger(); }
void TCustomDynVarEh::SetAsInteger(Integer Value) { SetValue(Variant(Value)); }

TObject* TCustomDynVarEh::AsRefObject() const {
  return IsNull() ? nullptr : reinterpret_cast<TObject*>(std::intptr_t(FData.AsInt64()));
}

void TCustomDynVarEh::SetAsRefObject(TObject* Value) { SetValue(Variant(Int64(reinterpret_cast<std::intptr_t>(Value)))); }

String TCustomDynVarEh::AsString() const { return IsNull() ? String() : FData.AsString(); }
void TCustomDynVarEh::SetAsString(const String& Value) { writeValue(Variant(Value), /*Notify=*/false); }

// Empty equals nothing but Empty, so the comparison with an unassigned value
// adds nothing to the two kind tests.
bool TCustomDynVarEh::IsNull() const { return VarIsEmpty(FData) || VarIsNull(FData); }

bool TCustomDynVarEh::IsEqual(const TCustomDynVarEh* Other) const {
  if (VarType(FData) != VarType(Other->FData)) return false;
  if (!VarIsEmpty(FData) && !(FData == Other->FData)) return false;
  return FName == Other->FName && IsNull() == Other->IsNull();
}

void TCustomDynVarEh::AssignTo(TPersistent* Dest) {
  auto* Var = dynamic_cast<TCustomDynVarEh*>(Dest);
  if (!Var) {
    TCollectionItem::AssignTo(Dest);
    return;
  }
  Var->SetName(FName);
  Var->SetValue(FData);
}

String TCustomDynVarEh::GetDisplayName() {
  if (FName.isEmpty() && VarIsEmpty(FData)) return TCollectionItem::GetDisplayName();
  String ValueText;
  if (VarIsEmpty(FData))
    ValueText = QStringLiteral("(Empty)");
  else if (VarIsNull(FData))
    ValueText = QStringLiteral("(Null)");
  else
    try {
      ValueText = FData.AsString();
    } catch (const EVariantError&) {
      ValueText = QStringLiteral("?");
    }
  return (FName.isEmpty() ? QStringLiteral("(EmptyName)") : FName) + u'=' + ValueText;
}

// ---------------------------------------------------------------------------
// TCustomDynVarsEh

TCustomDynVarsEh::~TCustomDynVarsEh() {
  Clear();
  FreeAndNil(FDummyVar);
}

void TCustomDynVarsEh::raiseDuplicateName(const String& VarName) {
  // Read at the moment of the error, so a language change reaches it.
  throw Exception(GetGridLibLanguageConsts()->DuplicateVarNameEh, {VarName});
}

TCustomDynVarEh* TCustomDynVarsEh::dummyVar() {
  if (!FDummyVar) {
    FDummyVar = static_cast<TCustomDynVarEh*>(GetDynVarClass()->Create(static_cast<TCollection*>(nullptr)));
    FDummyVar->makeDummy(this);
  }
  return FDummyVar;
}

TCustomDynVarEh* TCustomDynVarsEh::FindDynVar(const String& VarName) const {
  for (Integer I = 0; I < Count(); ++I)
    if (CompareText(Items(I)->Name(), VarName) == 0) return Items(I);
  return nullptr;
}

TCustomDynVarEh* TCustomDynVarsEh::GetDynVar(const String& VarName) {
  if (TCustomDynVarEh* Var = FindDynVar(VarName)) return Var;
  return PrepareDummyVar(VarName);
}

TCustomDynVarEh* TCustomDynVarsEh::PrepareDummyVar(const String& VarName) {
  TCustomDynVarEh* Dummy = dummyVar();
  Dummy->FName = VarName;
  return Dummy;
}

TCustomDynVarEh* TCustomDynVarsEh::CreateDynVar(const String& VarName, const Variant& AValue) {
  if (VarExists(VarName)) raiseDuplicateName(VarName);
  auto* Var = static_cast<TCustomDynVarEh*>(Add());
  Var->SetName(VarName);
  Var->SetValue(AValue);
  return Var;
}

TCustomDynVarEh* TCustomDynVarsEh::CreateDynVar(const String& VarName, TObject* AValue) {
  if (VarExists(VarName)) raiseDuplicateName(VarName);
  auto* Var = static_cast<TCustomDynVarEh*>(Add());
  Var->SetName(VarName);
  Var->SetAsRefObject(AValue);
  return Var;
}

void TCustomDynVarsEh::AddDynVar(TCustomDynVarEh* Var) {
  if (VarExists(Var->Name())) raiseDuplicateName(Var->Name());
  Var->SetCollection(this);
}

void TCustomDynVarsEh::RemoveDynVar(TCustomDynVarEh* Var) {
  if (Var->Collection() == this) Var->SetCollection(nullptr);
}

void TCustomDynVarsEh::DeleteDynVar(const String& VarName) {
  if (TCustomDynVarEh* Var = FindDynVar(VarName)) Var->Free();
}

void TCustomDynVarsEh::AssignValues(TCustomDynVarsEh* Source) {
  for (Integer I = 0; I < Source->Count(); ++I)
    if (TCustomDynVarEh* Var = FindDynVar(Source->Items(I)->Name())) Var->Assign(Source->Items(I));
}

bool TCustomDynVarsEh::IsEqual(const TCustomDynVarsEh* Other) const {
  if (Count() != Other->Count()) return false;
  for (Integer I = 0; I < Count(); ++I)
    if (!Items(I)->IsEqual(Other->Items(I))) return false;
  return true;
}

void TCustomDynVarsEh::AdoptDummyVar(TCustomDynVarEh* Var) {
  if (Var != FDummyVar) throw Exception(QStringLiteral("DummyVar must be same as collection DummyVar"));
  AddDynVar(Var);
  Var->FIsDummy = false;
  Var->FOwnerWhenDummy = nullptr;
  FDummyVar = nullptr;  // the next use makes a fresh one
}

void TCustomDynVarsEh::AssignTo(TPersistent* Dest) {
  if (auto* Bag = dynamic_cast<TCustomDynVarsEh*>(Dest)) {
    Bag->TCollection::Assign(this);
    return;
  }
  TCollection::AssignTo(Dest);
}

void TCustomDynVarsEh::Update(TCollectionItem* /*Item*/) {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TStringVarsEh

TCustomDynVarEh* TStringVarsEh::CreateDynVar(const String& VarName, const String& AValue) {
  return TCustomDynVarsEh::CreateDynVar(VarName, Variant(AValue));
}

String TStringVarsEh::GetVarValue(const String& VarName) const {
  TCustomDynVarEh* Var = FindDynVar(VarName);
  if (!Var)
    throw Exception(QStringLiteral("A Variable named '%s' doesn't exist in the Collection '%s'"),
                    {VarName, ClassName()});
  return Var->AsString();
}

void TStringVarsEh::SetVarValue(const String& VarName, const String& Value) {
  auto* Var = static_cast<TStringVarEh*>(FindDynVar(VarName));
  if (!Var)
    throw Exception(QStringLiteral("A Variable named '%s' doesn't exist in the Collection '%s'"),
                    {VarName, ClassName()});
  Var->SetValue(Value);
}

String TStringVarsEh::GetAsTextString() const {
  String Text;
  for (Integer I = 0; I < Count(); ++I) Text += Items(I)->Name() + u'=' + Items(I)->AsString() + QStringLiteral("\r\n");
  return Text;
}

void TStringVarsEh::SetFromTextString(const String& Text) {
  BeginUpdate();
  const TScopeExit EndUpdateOnExit([this] { EndUpdate(); });
  Clear();
  static const QRegularExpression LineBreak(QStringLiteral("\r\n|\r|\n"));
  QStringList Lines = Text.split(LineBreak);
  // The break after the last line ends it; it starts no line of its own.
  if (!Lines.isEmpty() && Lines.last().isEmpty()) Lines.removeLast();
  for (const QString& Line : Lines) {
    const qsizetype Eq = Line.indexOf(u'=');
    CreateDynVar(Eq < 0 ? String() : Line.left(Eq), Eq < 0 ? String() : Line.mid(Eq + 1));
  }
}
