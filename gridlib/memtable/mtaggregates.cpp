#include "gridlib/memtable/mtaggregates.h"

#include "gridlib/memtable/recordsview.h"
#include "platform/db/dataset.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fields.h"
#include "platform/rtl/scopeexit.h"

namespace {

bool canEvaluate(TDataSet* DataSet) {
  return DataSet && DataSet->Active() && !DataSet->ComponentState().Contains(csLoading);
}

bool collectionUpdating(TMTAggregatesEh* Aggregates) { return Aggregates && Aggregates->UpdateCount() > 0; }

}  // namespace

// ---------------------------------------------------------------------------
// TMTAggregateEh

TMTAggregateEh::TMTAggregateEh(TCollection* Aggregates)
    : TCollectionItem(Aggregates),
      FDataSet(Aggregates ? static_cast<TMTAggregatesEh*>(Aggregates)->DataSet() : nullptr),
      FValue(Null()) {
  FAggrExpr = std::make_unique<TDataSetExprParserEh>(FDataSet, dsptAggregateEh);
}

TMTAggregateEh::~TMTAggregateEh() {
  if (!FDataSet) return;
  TFields* AggFields = FDataSet->AggFields();
  for (Integer I = 0; I < AggFields->Count(); I++)
    if (auto* Field = dynamic_cast<TAggregateField*>(AggFields->Fields(I)); Field && Field->Handle() == this)
      Field->SetHandle(nullptr);
}

TMTAggregatesEh* TMTAggregateEh::Aggregates() const { return static_cast<TMTAggregatesEh*>(Collection()); }

void TMTAggregateEh::Assign(TPersistent* Source) {
  if (auto* Aggregate = dynamic_cast<TMTAggregateEh*>(Source)) {
    SetActive(Aggregate->Active());
    SetExpression(Aggregate->Expression());
  } else if (auto* Field = dynamic_cast<TAggregateField*>(Source)) {
    SetActive(Field->Active());
    SetExpression(Field->Expression());
  } else {
    TCollectionItem::Assign(Source);
  }
}

String TMTAggregateEh::GetDisplayName() {
  return FExpression.isEmpty() ? TCollectionItem::GetDisplayName() : FExpression;
}

void TMTAggregateEh::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (!FDataSet || collectionUpdating(Aggregates())) return;
  try {
    Recalc();
  } catch (...) {
    FActive = false;
    throw;
  }
}

void TMTAggregateEh::SetExpression(const String& Value) {
  if (Value == FExpression) return;
  FExpression = Value;
  Reset();
  if (!collectionUpdating(Aggregates())) Recalc();
}

void TMTAggregateEh::Reset() {
  FInUse = false;
  TMTAggregatesEh* Owner = Aggregates();
  if (FDataSet && FDataSet->Active() && FActive && !FExpression.isEmpty() && Owner && Owner->Active()) {
    FAggrExpr->ParseExpression(FExpression);
    FDataType = ftFloat;
    FInUse = true;
  } else {
    FValue = Null();
  }
}

void TMTAggregateEh::Recalc() {
  FValue = FInUse ? FAggrExpr->CalcAggregateValue(Aggregates()->RecordsView()) : Null();
}

// ---------------------------------------------------------------------------
// TMTAggregatesEh

TMTAggregatesEh::TMTAggregatesEh(TRecordsViewEh* AOwner)
    : TCollection(TMTAggregateEh::StaticClass()), FOwner(AOwner) {}

TPersistent* TMTAggregatesEh::GetOwner() { return FOwner; }

TDataSet* TMTAggregatesEh::DataSet() const { return FOwner ? FOwner->DataSet() : nullptr; }

void TMTAggregatesEh::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  Reset();
}

void TMTAggregatesEh::Reset() {
  BeginUpdate();
  {
    const TScopeExit EndUpdateGuard([this] { EndUpdate(); });
    Clear();
    if (TDataSet* Data = DataSet()) {
      TFields* AggFields = Data->AggFields();
      for (Integer I = 0; I < AggFields->Count(); I++) {
        auto* Field = dynamic_cast<TAggregateField*>(AggFields->Fields(I));
        if (!Field) continue;
        TMTAggregateEh* Aggregate = Add();
        Aggregate->Assign(Field);
        Aggregate->Reset();
        Field->SetHandle(Aggregate);
        Field->SetResultType(Aggregate->DataType());
      }
    }
  }
  Recalc();
}

void TMTAggregatesEh::Recalc() {
  const bool Evaluates = canEvaluate(DataSet()) && UpdateCount() == 0;
  for (Integer I = 0; I < Count(); I++) {
    TMTAggregateEh* Aggregate = GetItem(I);
    if (Evaluates)
      Aggregate->Recalc();
    else
      Aggregate->FValue = Null();
  }
}
