#include "gridlib/memtable/datasetexprparser.h"

#include "gridlib/memtable/datastruct.h"
#include "gridlib/memtable/memoryrecord.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/exprevaluator.h"
#include "platform/db/exprparser.h"
#include "platform/db/fields.h"

// The values an evaluation reads: one record, or the current row of a view
// while an aggregate runs, or else the dataset's current record.
class TDataSetExprParserEh::TContext : public IExprContext {
public:
  TContext(TDataSetExprParserEh& Parser, TMemoryRecordEh* Rec, TRecordsViewEh* View)
      : FParser(Parser), FRec(Rec), FView(View) {}

  Variant FieldValue(const TExprNode& Field) override {
    if (FRec) return FRec->GetDataValue(FParser.fieldIndex(FRec, Field), dvvValueEh);
    if (!FParser.FDataSet) DatabaseErrorFmt(DBConsts::SFieldNotFound, {Field.Name});
    return FParser.FDataSet->FieldByName(Field.Name)->Value();
  }
  bool CaseInsensitive() override {
    return FParser.FDataSet && FParser.FDataSet->FilterOptions().Contains(foCaseInsensitive);
  }
  int AggregateRowCount() override { return FView ? FView->AccountableItemsCount() : NoAggregateView; }
  void SetAggregateRow(int Row) override { FRec = FView->AccountableRecord(Row); }

private:
  TDataSetExprParserEh& FParser;
  TMemoryRecordEh* FRec;
  TRecordsViewEh* FView;
};

TDataSetExprParserEh::TDataSetExprParserEh(TDataSet* ADataSet, TDataSetExprParserTypeEh ExprParserType)
    : FDataSet(ADataSet), FExprParserType(ExprParserType) {}

TDataSetExprParserEh::~TDataSetExprParserEh() = default;

void TDataSetExprParserEh::ParseExpression(const String& Expr) {
  // A blank text is no expression: a filter without text accepts everything.
  if (Expr.trimmed().isEmpty()) {
    FExpr.reset();
    FResolvedStruct = nullptr;
    FResolvedFields.clear();
    return;
  }
  TDataSet* DataSet = FDataSet;
  const auto Resolve = [DataSet](const String& Name) -> std::optional<TExprFieldInfo> {
    TField* Field = DataSet ? DataSet->FindField(Name) : nullptr;
    if (!Field) return std::nullopt;
    return TExprFieldInfo{Field->DataType(), Field->FieldNo()};
  };
  const TParserOptions Options = FExprParserType == dsptAggregateEh ? TParserOptions{poExtSyntax, poAggregate}
                                                                   : TParserOptions{poExtSyntax};
  const TFilterOptions FilterOptions = FDataSet ? FDataSet->FilterOptions() : TFilterOptions{};
  std::unique_ptr<TExprNode> Parsed = TExprParser(Resolve, Options, FilterOptions).Parse(Expr);
  FExpr = std::move(Parsed);
  FResolvedStruct = nullptr;
  FResolvedFields.clear();
}

Integer TDataSetExprParserEh::fieldIndex(TMemoryRecordEh* Rec, const TExprNode& Field) {
  if (Rec->DataStruct() != FResolvedStruct) {
    FResolvedFields.clear();
    FResolvedStruct = Rec->DataStruct();
  }
  auto Found = FResolvedFields.find(&Field);
  if (Found != FResolvedFields.end()) return Found->second;
  const Integer Index = FResolvedStruct ? FResolvedStruct->FieldIndex(Field.Name) : -1;
  if (Index < 0) DatabaseErrorFmt(DBConsts::SFieldNotFound, {Field.Name});
  FResolvedFields.emplace(&Field, Index);
  return Index;
}

bool TDataSetExprParserEh::IsCurRecordInFilter(TMemoryRecordEh* Rec) {
  if (!FExpr) return false;
  TContext Context(*this, Rec, nullptr);
  return TExprEvaluator::Accepts(*FExpr, Context);
}

Variant TDataSetExprParserEh::CalcAggregateValue(TRecordsViewEh* RecordsView) {
  if (!FExpr) return Variant(false);
  TContext Context(*this, nullptr, RecordsView);
  return TExprEvaluator::Evaluate(*FExpr, Context);
}
