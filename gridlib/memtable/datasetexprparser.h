// Filter and aggregate expressions of a memory table, in the dataset filter
// language.  The text is compiled once by the platform's expression parser;
// the platform's evaluator walks the compiled tree per record (a filter) or
// over the accountable rows of a records view (an aggregate), reading field
// values from the memory records, not from the dataset's buffers.
//
// A filter verdict that is Null or not Boolean rejects the record, and
// aggregate functions are refused in a filter when it is parsed.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/object.h"
#include "platform/rtl/variant.h"

#include <memory>
#include <unordered_map>

class TDataSet;
class TMemoryRecordEh;
class TMTDataStructEh;
class TRecordsViewEh;
struct TExprNode;

RTL_ENUM(TDataSetExprParserTypeEh, dsptFilterEh, dsptAggregateEh)

class TDataSetExprParserEh : public TObject {
  RTL_CLASS(TDataSetExprParserEh, TObject)
public:
  // ADataSet (not owned) types the field names of a text, supplies the
  // filter options and, without a record or view, the field values.
  TDataSetExprParserEh(TDataSet* ADataSet, TDataSetExprParserTypeEh ExprParserType);
  ~TDataSetExprParserEh() override;

  // Replaces the compiled expression (a blank text leaves none); the
  // parser's errors propagate and keep the old one.
  void ParseExpression(const String& Expr);
  bool HasData() const { return FExpr != nullptr; }
  // False when nothing is parsed.
  bool IsCurRecordInFilter(TMemoryRecordEh* Rec);
  bool IsCurRecordBufInFilter(void* /*Buffer*/) { return true; }
  // The expression over RecordsView's accountable rows; False when nothing
  // is parsed.
  Variant CalcAggregateValue(TRecordsViewEh* RecordsView);

  TDataSet* DataSet() const { return FDataSet; }
  TDataSetExprParserTypeEh ExprParserType() const { return FExprParserType; }

private:
  class TContext;
  friend class TContext;

  // The structure position of a field node; names are looked up once per
  // structure, since a filter pass reads the same fields a million times.
  Integer fieldIndex(TMemoryRecordEh* Rec, const TExprNode& Field);

  TDataSet* FDataSet;
  std::unique_ptr<TExprNode> FExpr;
  TDataSetExprParserTypeEh FExprParserType;
  const TMTDataStructEh* FResolvedStruct = nullptr;
  std::unordered_map<const TExprNode*, Integer> FResolvedFields;
};
