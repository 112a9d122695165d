#include "platform/db/fields.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cassert>
#include <utility>

namespace {

// Field names compare with full Unicode case folding, never by collation:
// "[Type_Inf]" must find TYPE_INF whatever the user's locale.
bool sameFieldName(const String& A, const String& B) { return A.compare(B, Qt::CaseInsensitive) == 0; }

// Key equality of the lookup cache: scalars by value, arrays element by
// element.
bool sameKey(const Variant& A, const Variant& B) {
  if (!VarIsArray(A) || !VarIsArray(B)) return !VarIsArray(A) && !VarIsArray(B) && VarCompareValue(A, B) == vrEqual;
  const Integer LowA = VarArrayLowBound(A, 1);
  const Integer LowB = VarArrayLowBound(B, 1);
  const Integer Count = VarArrayHighBound(A, 1) - LowA + 1;
  if (VarArrayHighBound(B, 1) - LowB + 1 != Count) return false;
  for (Integer I = 0; I < Count; ++I)
    if (!sameKey(VarArrayGet(A, LowA + I), VarArrayGet(B, LowB + I))) return false;
  return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// TLookupList

void TLookupList::Add(const Variant& AKey, const Variant& AValue) { FList.emplace_back(AKey, AValue); }

void TLookupList::Clear() { FList.clear(); }

Variant TLookupList::ValueOfKey(const Variant& AKey) const {
  if (VarIsNull(AKey) || VarIsEmpty(AKey)) return Null();
  for (const auto& [Key, Value] : FList)
    if (sameKey(Key, AKey)) return Value;
  return Null();
}

// ---------------------------------------------------------------------------
// TField: construction and destruction

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

// Only a field destroyed by a plain delete is still attached here; closing
// its dataset may raise, which a destructor must not pass on.
TField::~TField() {
  try {
    detachFromDataSet();
  } catch (...) {
    HandleException(std::current_exception());
  }
}

void TField::BeforeDestruction() {
  detachFromDataSet();
  TComponent::BeforeDestruction();
}

void TField::DescribeProperties(TPropertyTable& Props) {
  Props.Add("Alignment", &TField::Alignment, &TField::SetAlignment).Default(taLeftJustify);
  Props.Add("AutoGenerateValue", &TField::AutoGenerateValue, &TField::SetAutoGenerateValue).Default(arNone);
  Props.Add("DefaultExpression", &TField::DefaultExpression, &TField::SetDefaultExpression);
  Props.Add("DisplayLabel", &TField::DisplayLabel, &TField::SetDisplayLabel).Stored(&TField::isDisplayLabelStored);
  Props.Add("DisplayWidth", &TField::DisplayWidth, &TField::SetDisplayWidth).Stored(&TField::isDisplayWidthStored);
  Props.Add("FieldKind", &TField::FieldKind, &TField::SetFieldKind).Default(fkData);
  Props.Add("FieldName", &TField::FieldName, &TField::SetFieldName);
  Props.Add("Index", &TField::Index, &TField::SetIndex).Stored(false);
  Props.Add("KeyFields", &TField::KeyFields, &TField::SetKeyFields);
  Props.Add("Lookup", &TField::Lookup, &TField::SetLookup).Default(false).Stored(false);
  Props.Add("LookupCache", &TField::LookupCache, &TField::SetLookupCache).Default(false);
  Props.Add("LookupDataSet", &TField::LookupDataSet, &TField::SetLookupDataSet);
  Props.Add("LookupKeyFields", &TField::LookupKeyFields, &TField::SetLookupKeyFields);
  Props.Add("LookupResultField", &TField::LookupResultField, &TField::SetLookupResultField);
  Props.Add("Origin", &TField::Origin, &TField::SetOrigin);
  Props.Add("ProviderFlags", &TField::ProviderFlags, &TField::SetProviderFlags)
      .Default(TProviderFlags{pfInUpdate, pfInWhere});
  Props.Add("ReadOnly", &TField::ReadOnly, &TField::SetReadOnly).Default(false);
  Props.Add("Required", &TField::Required, &TField::SetRequired).Default(false);
  Props.Add("Visible", &TField::Visible, &TField::SetVisible).Default(true);
  Props.Add("OnChange", &TField::FOnChange, &TField::FOnChange);
  Props.Add("OnGetText", &TField::FOnGetText, &TField::FOnGetText);
  Props.Add("OnSetText", &TField::FOnSetText, &TField::FOnSetText);
  Props.Add("OnValidate", &TField::FOnValidate, &TField::FOnValidate);
}

// A field freed while it belongs to a dataset closes that dataset: the
// dataset's buffers and links may still refer to it.  The field leaves the
// list first, or closing would free it again with the default fields.
void TField::detachFromDataSet() {
  TDataSet* DataSet = FDataSet;
  if (!DataSet) return;
  if (FFields) FFields->Remove(this);
  FDataSet = nullptr;
  if (!DataSet->ComponentState().Contains(csDestroying)) DataSet->Close();
}

void TField::Assign(TPersistent* Source) {
  if (!Source) {
    Clear();
    return;
  }
  if (auto* Field = dynamic_cast<TField*>(Source)) {
    SetValue(Field->Value());
    return;
  }
  TComponent::Assign(Source);
}

// ---------------------------------------------------------------------------
// identity and layout

void TField::SetFieldName(const String& Value) {
  CheckInactive();
  if (FFields && !sameFieldName(Value, FFieldName)) FFields->CheckFieldName(Value);
  FFieldName = Value;
  if (FDisplayLabel == Value) FDisplayLabel.clear();
  if (FDataSet) FDataSet->DataEvent(deFieldListChange, 0);
}

String TField::DisplayName() const { return FDisplayLabel.isEmpty() ? FFieldName : FDisplayLabel; }

void TField::SetDisplayLabel(const String& Value) {
  const String Label = Value == FFieldName ? String() : Value;
  if (Label == FDisplayLabel) return;
  FDisplayLabel = Label;
  PropertyChanged(/*LayoutAffected=*/true);
}

Integer TField::DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }

void TField::SetDisplayWidth(Integer Value) {
  if (Value == FDisplayWidth) return;
  FDisplayWidth = Value;
  PropertyChanged(/*LayoutAffected=*/true);
}

void TField::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

void TField::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  PropertyChanged(/*LayoutAffected=*/true);
}

Integer TField::Index() const { return FFields ? FFields->IndexOf(this) : -1; }

void TField::SetIndex(Integer Value) {
  if (!FFields) return;
  FFields->SetFieldIndex(this, Value);
  PropertyChanged(/*LayoutAffected=*/true);
}

Integer TField::FieldNo() const {
  return FFieldKind == fkData || FFieldKind == fkInternalCalc ? FFieldNo : -1;
}

void TField::SetFieldKind(TFieldKind Value) {
  if (Value == FFieldKind) return;
  CheckInactive();
  FFieldKind = Value;
}

void TField::SetCalculated(bool Value) { SetFieldKind(Value ? fkCalculated : fkData); }

void TField::SetLookup(bool Value) { SetFieldKind(Value ? fkLookup : fkData); }

void TField::SetDataSet(TDataSet* ADataSet) {
  if (ADataSet == FDataSet) return;
  if (FDataSet) FDataSet->CheckInactive();
  if (ADataSet) {
    ADataSet->CheckInactive();
    ADataSet->Fields()->CheckFieldName(FFieldName);
  }
  if (FFields) FFields->Remove(this);
  // Aggregate fields hold no record data: they are kept apart from the
  // fields the record buffers are laid out for.
  if (ADataSet) (FFieldKind == fkAggregate ? ADataSet->AggFields() : ADataSet->Fields())->Add(this);
}

void TField::SetSize(Integer Value) {
  CheckInactive();
  CheckTypeSize(Value);
  FSize = Value;
}

bool TField::IsNull() {
  Variant Value;
  return !GetData(Value);
}

bool TField::CanModify() const {
  if (!FDataSet || (FFieldKind != fkData && FFieldKind != fkInternalCalc)) return false;
  return !FReadOnly && FDataSet->CanModify();
}

void TField::SetEditMask(const String& Value) {
  FEditMask = Value;
  PropertyChanged(/*LayoutAffected=*/false);
}

void TField::PropertyChanged(bool LayoutAffected) {
  if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(LayoutAffected ? deLayoutChange : deDataSetChange, 0);
}

void TField::CheckInactive() {
  if (FDataSet) FDataSet->CheckInactive();
}

void TField::SetFieldType(TFieldType) {}

void TField::CheckTypeSize(Integer Value) {
  if (Value != 0) DatabaseError(DBConsts::SInvalidFieldSize);
}

// ---------------------------------------------------------------------------
// values

bool TField::GetData(Variant& AValue) {
  if (FPendingValue) {
    AValue = *FPendingValue;
  } else {
    if (!FDataSet) DatabaseErrorFmt(DBConsts::SDataSetMissing, {DisplayName()});
    if (!FDataSet->GetFieldData(this, AValue)) AValue = Null();
  }
  if (VarIsNull(AValue) || VarIsEmpty(AValue)) {
    AValue = Null();
    return false;
  }
  return true;
}

void TField::SetData(const Variant& AValue) {
  if (!FDataSet) DatabaseErrorFmt(DBConsts::SDataSetMissing, {DisplayName()});
  // Lookup values come from the lookup dataset only; the engine stores them
  // while it calculates the record.
  if (FFieldKind == fkLookup && FDataSet->State() != dsCalcFields)
    DatabaseErrorFmt(DBConsts::SFieldReadOnly, {DisplayName()});
  FDataSet->SetFieldData(this, AValue);
}

void TField::AccessError(const char* TypeName) {
  DatabaseErrorFmt(DBConsts::SFieldAccessError, {DisplayName(), TypeName});
}

void TField::SetValue(const Variant& AValue) {
  if (VarIsNull(AValue) || VarIsClear(AValue))
    Clear();
  else
    SetVarValue(AValue);
}

void TField::Clear() { SetData(Null()); }

String TField::GetAsString() { return ClassDesc(); }
Integer TField::GetAsInteger() { AccessError("Integer"); }
Int64 TField::GetAsLargeInt() { AccessError("LargeInt"); }
double TField::GetAsFloat() { AccessError("Float"); }
Currency TField::GetAsCurrency() { return Currency(GetAsFloat()); }
bool TField::GetAsBoolean() { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() { AccessError("DateTime"); }
AnsiString TField::GetAsAnsiString() { return AnsiString(GetAsString()); }
String TField::GetAsWideString() { return GetAsString(); }
TBytes TField::GetAsBytes() { AccessError("Bytes"); }
Variant TField::GetAsVariant() { AccessError("Variant"); }

void TField::SetAsString(const String&) { AccessError("String"); }
void TField::SetAsInteger(Integer) { AccessError("Integer"); }
void TField::SetAsLargeInt(Int64) { AccessError("LargeInt"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
void TField::SetAsCurrency(Currency AValue) { SetAsFloat(AValue.ToDouble()); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }
void TField::SetAsAnsiString(const AnsiString& AValue) { SetAsString(AValue.ToString()); }
void TField::SetAsWideString(const String& AValue) { SetAsString(AValue); }
void TField::SetAsBytes(const TBytes&) { AccessError("Bytes"); }
void TField::SetVarValue(const Variant&) { AccessError("Variant"); }

String TField::ClassDesc() {
  String Name = ClassName();
  if (Name.startsWith(u'T')) Name.remove(0, 1);
  if (Name.endsWith(QLatin1String("Field"))) Name.chop(5);
  return u'(' + (IsNull() ? AnsiLowerCase(Name) : AnsiUpperCase(Name)) + u')';
}

// ---------------------------------------------------------------------------
// texts

String TField::DisplayText() {
  String Result;
  if (FOnGetText)
    FOnGetText(this, Result, /*DisplayText=*/true);
  else
    GetText(Result, /*DisplayText=*/true);
  return Result;
}

String TField::Text() {
  String Result;
  if (FOnGetText)
    FOnGetText(this, Result, /*DisplayText=*/false);
  else
    GetText(Result, /*DisplayText=*/false);
  return Result;
}

void TField::SetText(const String& AValue) {
  if (FOnSetText)
    FOnSetText(this, AValue);
  else
    SetTextValue(AValue);
}

void TField::GetText(String& AText, bool) { AText = GetAsString(); }

void TField::SetTextValue(const String& AValue) { SetAsString(AValue); }

bool TField::IsValidChar(Char) { return true; }

// ---------------------------------------------------------------------------
// write path and engine services

void TField::Validate(const Variant& AValue) {
  if (!FOnValidate) return;
  // The getters see AValue while the handler runs, however it ends.
  const Variant* const Saved = std::exchange(FPendingValue, &AValue);
  const TScopeExit Restore([&] { FPendingValue = Saved; });
  FOnValidate(this);
}

void TField::Change() {
  if (FOnChange) FOnChange(this);
}

void TField::FocusControl() {
  if (!FDataSet || !FDataSet->Active()) return;
  TField* Field = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&Field));
}

void TField::Bind(bool Binding) {
  if (FFieldKind != fkLookup || !Binding) return;
  if (FLookupCache)
    RefreshLookupList();
  else
    validateLookupInfo(/*All=*/true);
}

void TField::checkFieldWrite() { FDataSet->CheckFieldWrite(this); }

void TField::handleDataSetException() { FDataSet->InternalHandleException(); }

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

// ---------------------------------------------------------------------------
// lookup

void TField::SetKeyFields(const String& Value) {
  CheckInactive();
  FKeyFields = Value;
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  CheckInactive();
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (FLookupDataSet) FLookupDataSet->FreeNotification(this);
}

void TField::SetLookupKeyFields(const String& Value) {
  CheckInactive();
  FLookupKeyFields = Value;
}

void TField::SetLookupResultField(const String& Value) {
  CheckInactive();
  FLookupResultField = Value;
}

void TField::SetLookupCache(bool Value) {
  CheckInactive();
  FLookupCache = Value;
}

TLookupList* TField::LookupList() {
  if (!FLookupList) FLookupList = std::make_unique<TLookupList>();
  return FLookupList.get();
}

// All: the lookup dataset's side too, which opens it.
void TField::validateLookupInfo(bool All) {
  if ((All && (!FLookupDataSet || FLookupKeyFields.isEmpty() || FLookupResultField.isEmpty())) ||
      FKeyFields.isEmpty())
    DatabaseErrorFmt(DBConsts::SLookupInfoError, {DisplayName()});
  if (FFields) FFields->CheckFieldNames(FKeyFields);
  if (!All) return;
  FLookupDataSet->Open();
  FLookupDataSet->Fields()->CheckFieldNames(FLookupKeyFields);
  FLookupDataSet->FieldByName(FLookupResultField);
}

void TField::RefreshLookupList() {
  const bool WasActive = FLookupDataSet && FLookupDataSet->Active();
  validateLookupInfo(/*All=*/true);
  TDataSet* Source = FLookupDataSet;
  // Closing may raise, so the lookup dataset is restored here rather than
  // from a destructor.
  const auto Restore = [Source, WasActive] {
    Source->SetActive(WasActive);
    Source->EnableControls();
  };
  Source->DisableControls();
  try {
    LookupList()->Clear();
    TField* ResultField = Source->FieldByName(FLookupResultField);
    for (Source->First(); !Source->Eof(); Source->Next())
      FLookupList->Add(Source->FieldValues(FLookupKeyFields), ResultField->Value());
  } catch (...) {
    Restore();
    throw;
  }
  Restore();
}

void TField::CalcLookupValue() {
  if (FLookupCache)
    SetValue(LookupList()->ValueOfKey(FDataSet->FieldValues(FKeyFields)));
  else if (FLookupDataSet && FLookupDataSet->Active())
    SetValue(FLookupDataSet->Lookup(FLookupKeyFields, FDataSet->FieldValues(FKeyFields), FLookupResultField));
}

// ---------------------------------------------------------------------------
// TFields

TFields::TFields(TDataSet* ADataSet) : FDataSet(ADataSet) {}

// The dataset is going away: its fields go without telling it.
TFields::~TFields() { freeFields(); }

TField* TFields::Fields(Integer Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
  return FList[std::size_t(Index)];
}

Integer TFields::IndexOf(const TField* Field) const {
  const auto It = std::find(FList.begin(), FList.end(), Field);
  return It == FList.end() ? -1 : Integer(It - FList.begin());
}

void TFields::Add(TField* Field) {
  assert(!Field->FFields && "a field belongs to one list at a time");
  CheckFieldName(Field->FieldName());
  FList.push_back(Field);
  Field->FFields = this;
  Field->FDataSet = FDataSet;
  changed();
}

void TFields::Remove(TField* Field) {
  const auto It = std::find(FList.begin(), FList.end(), Field);
  if (It == FList.end()) return;
  FList.erase(It);
  Field->FFields = nullptr;
  Field->FDataSet = nullptr;
  changed();
}

void TFields::Clear() {
  freeFields();
  changed();
}

// Each field leaves the list before it is freed, so it does not close the
// dataset or remove itself again.
void TFields::freeFields() {
  while (!FList.empty()) {
    TField* Field = FList.back();
    FList.pop_back();
    Field->FDataSet = nullptr;
    Field->FFields = nullptr;
    Field->Free();
  }
}

void TFields::SetFieldIndex(TField* Field, Integer Value) {
  const Integer Current = IndexOf(Field);
  if (Current < 0) return;
  const Integer Target = std::clamp(Value, 0, Count() - 1);
  if (Target == Current) return;
  FList.erase(FList.begin() + Current);
  FList.insert(FList.begin() + Target, Field);
  changed();
}

TField* TFields::FindField(const String& FieldName) const {
  for (TField* Field : FList)
    if (sameFieldName(Field->FieldName(), FieldName)) return Field;
  return nullptr;
}

TField* TFields::FieldByName(const String& FieldName) const {
  TField* Field = FindField(FieldName);
  if (!Field) DatabaseErrorFmt(DBConsts::SFieldNotFound, {FieldName}, FDataSet);
  return Field;
}

TField* TFields::FieldByNumber(Integer FieldNo) const {
  for (TField* Field : FList)
    if (Field->FieldNo() == FieldNo) return Field;
  return nullptr;
}

void TFields::GetFieldNames(TStrings* List) const {
  List->BeginUpdate();
  const TScopeExit EndUpdateOnExit([List] { List->EndUpdate(); });
  List->Clear();
  for (TField* Field : FList) List->Add(Field->FieldName());
}

void TFields::CheckFieldName(const String& FieldName) const {
  if (FieldName.isEmpty()) DatabaseError(DBConsts::SFieldNameMissing, FDataSet);
  if (FindField(FieldName)) DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {FieldName}, FDataSet);
}

void TFields::CheckFieldNames(const String& FieldNames) const {
  int Pos = 1;
  while (Pos <= Length(FieldNames)) FieldByName(ExtractFieldName(FieldNames, Pos));
}

void TFields::changed() {
  if (FDataSet && !FDataSet->ComponentState().Contains(csDestroying)) FDataSet->DataEvent(deFieldListChange, 0);
}
