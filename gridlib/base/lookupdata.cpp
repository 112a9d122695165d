#include "gridlib/base/lookupdata.h"

#include "gridlib/base/fieldlists.h"
#include "gridlib/base/valuetext.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"

#include <algorithm>

namespace {
constexpr Integer E_NOINTERFACE = Integer(0x80004002);
const char* const SPropDefByLookup = "SPropDefByLookup";
const char* const SDataSourceFixed = "SDataSourceFixed";
const char* const SValuesNotComparable = "TMTIndexEh.FindKeyValueIndex: values is not comparable.";

bool isDestroying(TComponent* Component) {
  return Component && Component->ComponentState().Contains(csDestroying);
}
}  // namespace

// ---------------------------------------------------------------------------
// links

void TDataSourceLinkEh::ActiveChanged() {
  TDataLink::ActiveChanged();
  if (!FLookupData->Destroying()) FLookupData->UpdateDataFields();
}

void TDataSourceLinkEh::LayoutChanged() {
  if (!FLookupData->Destroying()) FLookupData->UpdateDataFields();
}

void TDataSourceLinkEh::RecordChanged(TField* Field) { TDataLink::RecordChanged(Field); }

TListSourceLinkEh::TListSourceLinkEh(TDBLookupDataEh* LookupData) : FLookupData(LookupData) {
  SetVisualControl(true);
}

void TListSourceLinkEh::ActiveChanged() {
  if (FLookupData->Destroying()) return;
  FLookupData->UpdateLookupFields();
  FLookupData->UpdateIntMemTable();
}

void TListSourceLinkEh::DataSetChanged() {
  if (!FLookupData->Destroying()) FLookupData->LookupDataSetChanged();
}

void TListSourceLinkEh::LayoutChanged() {
  if (!FLookupData->Destroying()) FLookupData->UpdateLookupFields();
}

// ---------------------------------------------------------------------------
// TLookupListEh

TLookupListEh::~TLookupListEh() { Clear(); }

void TLookupListEh::Add(const Variant& KeyValue, const Variant& DisplayValue) {
  FList.push_back(new TLookupPairEh(KeyValue, DisplayValue));
}

void TLookupListEh::Clear() {
  for (TLookupPairEh* Pair : FList) Pair->Free();
  FList.clear();
}

void TLookupListEh::SortData() {
  // stable: a key that compares with nothing must not upset the sort
  std::stable_sort(FList.begin(), FList.end(), [](TLookupPairEh* A, TLookupPairEh* B) {
    return CompareVariantsEh(A->KeyValue, B->KeyValue) == vrLessThan;
  });
}

Variant TLookupListEh::ValueOfKey(const Variant& KeyValue) const {
  Integer L = 0, H = Count() - 1;
  bool Found = false;
  while (L <= H) {
    const Integer I = Integer((Cardinal(L) + Cardinal(H)) >> 1);
    const TVariantRelationship R = CompareVariantsEh(FList[size_t(I)]->KeyValue, KeyValue);
    if (R == vrNotEqual) throw Exception(QString::fromLatin1(SValuesNotComparable));
    if (R == vrLessThan) {
      L = I + 1;
    } else {
      H = I - 1;
      if (R == vrEqual) {
        Found = true;
        L = I;
      }
    }
  }
  return Found ? FList[size_t(L)]->DisplayValue : Unassigned();
}

// ---------------------------------------------------------------------------
// TDBLookupDataEh

TDBLookupDataEh::TDBLookupDataEh(ILookupDataBarEh* AColumn)
    : FAxisBar(AColumn),
      FDataLink(new TDataSourceLinkEh(this)),
      FInternalLookupSource(new TDataSource(nullptr)),
      FLookupLink(new TListSourceLinkEh(this)),
      FLookupListCache(new TLookupListEh) {
  FInternalLookupSource->SetName(QStringLiteral("FInternalLookupSource"));
  FLookupLink->SetDataSource(FInternalLookupSource);
}

void TDBLookupDataEh::BeforeDestruction() {
  SetLookupDataSet(nullptr);
  // a memory table that outlives us must not call a freed receiver
  if (FIntMemTable) FIntMemTable->UnregisterEventReceiver(this);
  FIntMemTable = nullptr;
  TPersistent::BeforeDestruction();
}

TDBLookupDataEh::~TDBLookupDataEh() {
  FDestroying = true;
  FDataLink->Free();
  FLookupLink->SetDataSource(nullptr);
  FInternalLookupSource->Free();
  FLookupLink->Free();
  FLookupListCache->Free();
}

TField* TDBLookupDataEh::lookupBarField() const {
  TField* Field = FAxisBar->BoundField();
  if (!Field || isDestroying(Field) || Field->FieldKind() != fkLookup) return nullptr;
  return Field;
}

// properties

String TDBLookupDataEh::KeyFieldNames() {
  TField* Field = FAxisBar->BoundField();
  return FLookupInDataField && Field ? Field->KeyFields() : FKeyFieldNames;
}

String TDBLookupDataEh::LookupKeyFieldNames() {
  TField* Field = FAxisBar->BoundField();
  return FLookupInDataField && Field ? Field->LookupKeyFields() : FLookupKeyFieldNames;
}

TDataSet* TDBLookupDataEh::GetLookupDataSet() {
  TField* Field = FAxisBar->BoundField();
  return FLookupInDataField && Field ? Field->LookupDataSet() : FLookupDataSet;
}

String TDBLookupDataEh::LookupDisplayFieldName() {
  if (!FLookupInDataField) return FLookupDisplayFieldName;
  TField* Field = FAxisBar->GetField();
  return Field ? Field->LookupResultField() : FLookupDisplayFieldName;
}

void TDBLookupDataEh::SetKeyFieldNames(const String& Value) {
  CheckNotInDataField();
  if (Value == FKeyFieldNames) return;
  FKeyFieldNames = Value;
  UpdateDataFields();
}

void TDBLookupDataEh::SetLookupKeyFieldNames(const String& Value) {
  CheckNotInDataField();
  if (Value == FLookupKeyFieldNames) return;
  FLookupKeyFieldNames = Value;
  UpdateLookupFields();
}

void TDBLookupDataEh::SetLookupDisplayFieldName(const String& Value) {
  CheckNotInDataField();
  if (Value == FLookupDisplayFieldName) return;
  FLookupDisplayFieldName = Value;
  UpdateLookupFields();
}

void TDBLookupDataEh::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  CheckNotInDataField();
  FLookupDataSet = Value;
  UpdateInternalLookupSource();
  if (Value && FAxisBar->GetGridComponent()) Value->FreeNotification(FAxisBar->GetGridComponent());
}

void TDBLookupDataEh::SetLookupCache(bool Value) {
  if (Value == FLookupCache) return;
  FLookupCache = Value;
  RefreshLookupListCache();
}

void TDBLookupDataEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TDBLookupDataEh*>(Source);
  if (!Other) return TPersistent::Assign(Source);
  SetKeyFieldNames(Other->KeyFieldNames());
  SetLookupCache(Other->LookupCache());
  SetLookupDataSet(Other->LookupDataSet());
  SetLookupDisplayFieldName(Other->LookupDisplayFieldName());
  SetLookupKeyFieldNames(Other->LookupKeyFieldNames());
}

Integer TDBLookupDataEh::QueryInterface(const TGUID& IID, void*& Obj) {
  Obj = nullptr;
  if (IID == IMTEventReceiverEh::IID) Obj = static_cast<IMTEventReceiverEh*>(this);
  return Obj ? 0 : E_NOINTERFACE;
}

// checks

void TDBLookupDataEh::CheckNotInDataField() {
  if (FLookupInDataField) DatabaseError(QString::fromLatin1(SPropDefByLookup));
  if (FDataLink->DataSourceFixed()) DatabaseError(QString::fromLatin1(SDataSourceFixed));
}

void TDBLookupDataEh::CheckCircularDataLink() {
  if (FLookupLink->Active() && FLookupLink->DataSet()->IsLinkedTo(FAxisBar->GetGridDataSource()))
    DatabaseError(QString::fromLatin1(DBConsts::SCircularDataLink));
}

// updates

void TDBLookupDataEh::UpdateDataFields() {
  if (FDataFieldsUpdating) return;
  {
    FDataFieldsUpdating = true;
    const TScopeExit Done([this] { FDataFieldsUpdating = false; });
    FKeyFields.clear();
    CheckCircularDataLink();
    TField* LookupField = lookupBarField();
    const String Names = LookupField ? LookupField->KeyFields() : FKeyFieldNames;
    FDataLink->SetDataSource(Names.isEmpty() ? nullptr : FAxisBar->GetGridDataSource());
    TDataSet* Data = FDataLink->DataSet();
    // a lookup field's key fields resolve only on an open dataset
    if (Data && (!LookupField || Data->Active()))
      FKeyFields = GetFieldsArrayByNamesEh(Data, FAxisBar->GetGridComponent(), Names);
    SetLookupInDataField(LookupField != nullptr);
    UpdateLookupFields();
  }
  UpdateLookupIsSetUp();
  UpdateLookupActive();
}

void TDBLookupDataEh::SetLookupInDataField(bool Value) {
  TField* Field = FAxisBar->BoundField();
  TDataSet* FieldLookupDataSet = Field ? Field->LookupDataSet() : nullptr;
  if (Value == FLookupInDataField && FInternalLookupSource->DataSet() == FieldLookupDataSet) return;
  FLookupInDataField = Value;
  if (Value) {
    FInternalLookupSource->SetDataSet(FieldLookupDataSet);
    FLookupLink->SetDataSource(FInternalLookupSource);
  } else {
    FInternalLookupSource->SetDataSet(GetLookupDataSet());
  }
  UpdateLookupFields();
}

void TDBLookupDataEh::UpdateInternalLookupSource() { FInternalLookupSource->SetDataSet(GetLookupDataSet()); }

void TDBLookupDataEh::UpdateLookupFields() {
  FLookupDisplayField = nullptr;
  FLookupKeyFields.clear();
  FLookupLink->SetDataSource(FInternalLookupSource);
  bool ListActive = false;
  const String KeyNames = LookupKeyFieldNames();
  if (FLookupLink->Active() && !KeyNames.isEmpty()) {
    CheckCircularDataLink();
    TDataSet* Data = FLookupLink->DataSet();
    TComponent* Grid = FAxisBar->GetGridComponent();
    FLookupKeyFields = GetFieldsArrayByNamesEh(Data, Grid, KeyNames);
    TField* Field = FAxisBar->BoundField();
    const String DisplayName =
        FLookupInDataField && Field ? Field->LookupResultField() : FLookupDisplayFieldName;
    if (!DisplayName.isEmpty()) {
      FLookupDisplayField = Data->FindField(DisplayName);
      if (!FLookupDisplayField)
        DatabaseErrorFmt(QString::fromLatin1(DBConsts::SFieldNotFound), {DisplayName}, Grid);
    }
    ListActive = !FLookupKeyFields.empty() && FLookupDisplayField;
  }
  if (ListActive != FLookupListActive) {
    FLookupListActive = ListActive;
    RefreshLookupListCache();
  } else if (FLookupListActive && !FDataFieldsUpdating) {
    RefreshLookupListCache();
  }
  if (FDataFieldsUpdating) return;
  UpdateLookupIsSetUp();
  UpdateLookupActive();
}

bool TDBLookupDataEh::computeActive() const {
  return !FKeyFields.empty() && !FLookupKeyFields.empty() && FLookupDisplayField && FDataLink->Active() &&
         FLookupLink->Active();
}

void TDBLookupDataEh::UpdateLookupIsSetUp() {
  FLookupActive = computeActive();
  const bool SetUp = !KeyFieldNames().isEmpty() && !LookupKeyFieldNames().isEmpty() &&
                     !LookupDisplayFieldName().isEmpty() && GetLookupDataSet();
  if (!SetUp && SetUp == FLookupIsSetUp) return;
  FLookupIsSetUp = SetUp;
  FAxisBar->NotifyGridBarChanged();
}

void TDBLookupDataEh::UpdateLookupActive() {
  const bool Active = computeActive();
  if (!Active && Active == FLookupActive) return;
  FLookupActive = Active;
  FAxisBar->NotifyGridBarChanged();
}

void TDBLookupDataEh::UpdateIntMemTable() {
  IMemTableEh* Old = FIntMemTable;
  IMemTableEh* New = nullptr;
  TDataSet* Data = FLookupLink->DataSet();
  if (FLookupLink->Active() && Data && !isDestroying(Data)) Supports(Data, New);
  if (New == Old) return;
  FIntMemTable = New;
  if (New) New->RegisterEventReceiver(this);
  if (Old) Old->UnregisterEventReceiver(this);
  RefreshLookupListCache();
}

void TDBLookupDataEh::ReceiveMTEvent(Integer, TMTViewEventTypeEh, Integer) {
  UpdateLookupState();
  // the update skips the cache while it runs, yet the view of the lookup
  // table has changed: without this a posted key would stay unknown
  if (FLookupListActive) RefreshLookupListCache();
}

void TDBLookupDataEh::RefreshLookupListCache() {
  FLookupListCache->Clear();
  TDataSet* Data = FLookupLink->DataSet();
  if (FLookupListActive && FLookupCache && Data && Data->State() == dsBrowse) {
    Data->DisableControls();
    const TBookmark Saved = Data->Bookmark();
    const TScopeExit Restore([Data, &Saved] {
      if (BookmarkValidEh(Data, Saved)) Data->GotoBookmark(Saved);
      Data->EnableControls();
    });
    Data->First();
    while (!Data->Eof()) {
      FLookupListCache->Add(GetFieldValuesEh(FLookupKeyFields), FLookupDisplayField->AsVariant());
      Data->Next();
    }
  }
  FLookupListCache->SortData();
}

// values

Variant TDBLookupDataEh::GetKeyValue() { return GetFieldValuesEh(FKeyFields); }

Variant TDBLookupDataEh::GetLookupValue() {
  if (!FDataLink->Active() || !FLookupListActive || FKeyFields.empty()) return Null();
  const Variant Key = GetKeyValue();
  if (FLookupCache) return FLookupListCache->ValueOfKey(Key);
  TDataSet* Data = GetLookupDataSet();
  if (Data && Data->Active()) return Data->Lookup(LookupKeyFieldNames(), Key, LookupDisplayFieldName());
  return Unassigned();
}

Variant TDBLookupDataEh::GetLookupValueOfRow(Integer Row) {
  IMemTableEh* MemTable = nullptr;
  if (!Supports(FDataLink->DataSet(), MemTable)) return Unassigned();
  MemTable->InstantReadEnter(Row);
  const TScopeExit Leave([MemTable] { MemTable->InstantReadLeave(); });
  return GetLookupValue();
}

bool TDBLookupDataEh::KeyFieldsIsNull() {
  if (!FLookupActive) return false;
  return std::all_of(FKeyFields.begin(), FKeyFields.end(), [](TField* Field) { return Field->IsNull(); });
}
