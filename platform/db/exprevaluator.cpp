#include "platform/db/exprevaluator.h"

#include "platform/db/dbconsts.h"
#include "platform/db/exprparser.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strutils.h"

#include <cassert>
#include <limits>

namespace {

using Values = std::vector<Variant>;

[[noreturn]] void badOperator(const TExprNode& N) {
  DatabaseErrorFmt(DBConsts::SExprBadOperator, {N.NodeClass, N.Operator});
}

bool isValidOperator(int NodeClass, int Operator) {
  switch (NodeClass) {
    case nodeUNARY:
      return Operator == coISBLANK || Operator == coNOTBLANK || Operator == coNOT || Operator == coUPPER ||
             Operator == coLOWER;
    case nodeBINARY:
      return (Operator >= coEQ && Operator <= coLE) || Operator == coAND || Operator == coOR ||
             (Operator >= coADD && Operator <= coDIV) || Operator == coLIKE || Operator == coIN;
    case nodeCOMPARE: return Operator == coEQ || Operator == coNE || Operator == coLIKE;
    case nodeFIELD: return Operator == coFIELD2;
    case nodeCONST: return Operator == coCONST2;
    case nodeFUNC: return Operator == coFUNC2;
    case nodeLISTELEM: return Operator == coLISTELEM2;
    default: return true;  // the other classes evaluate to Null whatever they hold
  }
}

bool isDateTime(const Variant& V) { return VarType(V) == varDate; }

TDateTime truncMilliseconds(TDateTime Value) {
  return RecodeTime(Value, RecodeLeaveFieldAsIs, RecodeLeaveFieldAsIs, RecodeLeaveFieldAsIs, 0);
}

// Kinds that SUM and AVG add up; text and FMT-BCD values are skipped.
bool isSummable(const Variant& V) {
  switch (VarType(V)) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency: case varDate:
    case varBoolean: case varShortInt: case varByte: case varWord: case varLongWord: case varInt64:
    case varUInt64: return true;
    default: return false;
  }
}

// A three-way comparison result (-1, 0, 1) as a relationship.
TVariantRelationship relationOf(int Compared) {
  return Compared < 0 ? vrLessThan : Compared > 0 ? vrGreaterThan : vrEqual;
}

bool holds(int Operator, TVariantRelationship R) {
  switch (Operator) {
    case coEQ: return R == vrEqual;
    case coNE: return R != vrEqual;
    case coGT: return R == vrGreaterThan;
    case coLT: return R == vrLessThan;
    case coGE: return R == vrGreaterThan || R == vrEqual;
    default: return R == vrLessThan || R == vrEqual;  // coLE
  }
}

// Removes leading and/or trailing characters equal to the whole of TrimText,
// so a TrimText of two characters removes nothing.
String trimText(const String& Text, const String& TrimText, bool Left, bool Right) {
  qsizetype First = 0;
  qsizetype Last = Text.size();
  const auto isTrim = [&TrimText](Char C) { return TrimText.size() == 1 && C == TrimText[0]; };
  if (Left)
    while (First < Last && isTrim(Text[First])) ++First;
  if (Right)
    while (Last > First && isTrim(Text[Last - 1])) --Last;
  return Text.mid(First, Last - First);
}

enum class Aggregate { None, Sum, Min, Max, Avg, Count };

Aggregate aggregateOf(const String& Name) {
  static const std::pair<const char*, Aggregate> Names[] = {{"SUM", Aggregate::Sum},
                                                            {"MIN", Aggregate::Min},
                                                            {"MAX", Aggregate::Max},
                                                            {"AVG", Aggregate::Avg},
                                                            {"COUNT", Aggregate::Count}};
  for (const auto& [Text, Kind] : Names)
    if (SameText(Name, QLatin1String(Text))) return Kind;
  return Aggregate::None;
}

class Evaluation {
public:
  explicit Evaluation(IExprContext& Context) : C(Context) {}

  Variant eval(const TExprNode& N) {
    if (!isValidOperator(N.NodeClass, N.Operator)) badOperator(N);
    switch (N.NodeClass) {
      case nodeUNARY: return unary(N);
      case nodeBINARY: return binary(N);
      case nodeCOMPARE: return compare(N);
      case nodeFIELD: return C.FieldValue(N);
      case nodeCONST: return constant(N);
      case nodeFUNC: return function(N);
      case nodeLISTELEM: list(N); return Null();
      default: return Null();
    }
  }

private:
  const TExprNode& arg(const TExprNode& N, size_t I) const {
    assert(I < N.Args.size() && N.Args[I] && "node lacks an operand");
    return *N.Args[I];
  }

  // Argument and IN lists are list element nodes; anything else in their
  // place is an operator the position does not allow.
  static void checkList(const TExprNode& L) {
    if (L.NodeClass != nodeLISTELEM || L.Operator != coLISTELEM2) badOperator(L);
  }

  Values list(const TExprNode& L) {
    checkList(L);
    Values Result;
    Result.reserve(L.Args.size());
    for (size_t I = 0; I < L.Args.size(); ++I) Result.push_back(eval(arg(L, I)));
    return Result;
  }

  int compareText(const Variant& A, const Variant& B, bool CaseInsensitive, int PartialLength = 0) {
    return C.CompareText(VarToStr(A), VarToStr(B), CaseInsensitive, PartialLength);
  }

  bool like(const Variant& Value, const Variant& Pattern, bool CaseInsensitive) {
    return LikeMatch(VarToStr(Value), VarToStr(Pattern), CaseInsensitive, C.SingleWildcard(), C.MultiWildcards());
  }

  Variant unary(const TExprNode& N) {
    const Variant V = eval(arg(N, 0));
    switch (N.Operator) {
      case coISBLANK: return VarIsStr(V) ? Variant(VarToStr(V).isEmpty()) : Variant(VarIsNull(V));
      case coNOTBLANK: return VarIsStr(V) ? Variant(!VarToStr(V).isEmpty()) : Variant(!VarIsNull(V));
      case coNOT: return Variant(VarIsNull(V) || !V.AsBoolean());
      case coUPPER: return letterCase(V, /*Upper=*/true);
      default: return letterCase(V, /*Upper=*/false);  // coLOWER
    }
  }

  Variant binary(const TExprNode& N) {
    const Variant A = eval(arg(N, 0));
    if (N.Operator == coIN) return in(A, list(arg(N, 1)));
    const Variant B = eval(arg(N, 1));
    switch (N.Operator) {
      case coAND: return A & B;
      case coOR: return A | B;
      case coADD: return add(A, B);
      case coSUB: return A - B;
      case coMUL: return A * B;
      case coDIV: return A / B;
      case coLIKE: return Variant(like(A, B, C.CaseInsensitive()));
      default: return Variant(relation(N.Operator, A, B));
    }
  }

  bool relation(int Operator, const Variant& A, const Variant& B) {
    if (VarIsStr(A) || VarIsStr(B)) return holds(Operator, relationOf(compareText(A, B, C.CaseInsensitive())));
    if (Operator == coEQ && isDateTime(A) && isDateTime(B))
      return truncMilliseconds(A.AsDateTime()) == truncMilliseconds(B.AsDateTime());
    return holds(Operator, VarCompareValue(A, B));
  }

  bool equalInList(const Variant& A, const Variant& B) {
    if (VarIsStr(A) || VarIsStr(B)) return compareText(A, B, C.CaseInsensitive()) == 0;
    if (isDateTime(A) && isDateTime(B))
      return truncMilliseconds(A.AsDateTime()) == truncMilliseconds(B.AsDateTime());
    return VarCompareValue(A, B) == vrEqual;
  }

  Variant in(const Variant& A, const Values& Elements) {
    for (const Variant& E : Elements)
      if (equalInList(A, E)) return Variant(true);
    return Variant(false);
  }

  static Variant add(const Variant& A, const Variant& B) {
    if (VarIsNull(A) && VarIsNull(B)) return Null();
    if (VarIsStr(A) || VarIsStr(B)) return Variant(VarToStr(A) + VarToStr(B));
    return A + B;
  }

  Variant compare(const TExprNode& N) {
    const Variant A = eval(arg(N, 0));
    const Variant B = eval(arg(N, 1));
    if (N.Operator == coLIKE) return Variant(like(A, B, N.CaseInsensitive));
    const int Compared = compareText(A, B, N.CaseInsensitive, N.PartialLength);
    return Variant(N.Operator == coEQ ? Compared == 0 : Compared != 0);
  }

  static Variant constant(const TExprNode& N) {
    const Variant& V = N.Value;
    switch (N.DataType) {
      case ftUnknown:
        if (VarIsNull(V)) return V;
        break;
      case ftString: case ftFixedChar: case ftWideString: case ftGuid: return VarAsType(V, varUString);
      case ftSmallint: return VarAsType(V, varSmallint);
      case ftInteger: case ftAutoInc: return VarAsType(V, varInteger);
      case ftWord: return VarAsType(V, varWord);
      case ftShortint: return VarAsType(V, varShortInt);
      case ftByte: return VarAsType(V, varByte);
      case ftLargeint: return VarAsType(V, varInt64);
      case ftBoolean: return VarAsType(V, varBoolean);
      case ftFloat: case ftCurrency: return VarAsType(V, varDouble);
      case ftSingle: return VarAsType(V, varSingle);
      case ftBCD: case ftFMTBcd:
        try {
          return VarAsType(V, varCurrency);
        } catch (const EVariantOverflowError&) {
          return Null();  // a decimal beyond the currency range has no value here
        }
      case ftDate: return VarIsNull(V) ? V : VarFromDateTime(DateOf(V.AsDateTime()));
      case ftTime: return VarIsNull(V) ? V : VarFromDateTime(truncMilliseconds(TimeOf(V.AsDateTime())));
      case ftDateTime: return VarIsNull(V) ? V : VarFromDateTime(truncMilliseconds(V.AsDateTime()));
      case ftTimeStamp: case ftTimeStampOffset: return V;
      default: break;
    }
    DatabaseErrorFmt(DBConsts::SExprUnsupportedDataType, {Integer(N.DataType)});
  }

  static void checkCount(const TExprNode& N, const Values& Args, size_t Min, size_t Max) {
    if (Args.size() < Min || Args.size() > Max) DatabaseErrorFmt(DBConsts::SExprArgumentCount, {N.Name});
  }

  Variant function(const TExprNode& N) {
    assert(N.Args.size() <= 1 && "a call holds at most its argument list");
    const Aggregate Kind = aggregateOf(N.Name);
    if (Kind != Aggregate::None) return aggregate(N, Kind);
    const String Name = UpperCase(N.Name);
    const Values Args = N.Args.empty() ? Values() : list(arg(N, 0));
    if (Name == u"GETDATE") {
      checkCount(N, Args, 0, 0);
      return VarFromDateTime(C.Now());
    }
    if (Name == u"SUBSTRING") {
      checkCount(N, Args, 2, 3);
      if (VarIsNull(Args[0])) return Null();
      const int Count = Args.size() == 3 ? Args[2].AsInteger() : std::numeric_limits<int>::max();
      return Variant(Copy(VarToStr(Args[0]), Args[1].AsInteger(), Count));
    }
    if (Name == u"TRIM" || Name == u"TRIMLEFT" || Name == u"TRIMRIGHT") {
      checkCount(N, Args, 1, 2);
      if (VarIsNull(Args[0])) return Null();
      const String TrimText = Args.size() == 2 ? VarToStr(Args[1]) : QStringLiteral(" ");
      return Variant(trimText(VarToStr(Args[0]), TrimText, Name != u"TRIMRIGHT", Name != u"TRIMLEFT"));
    }
    return oneArgument(N, Name, Args);
  }

  // The functions of one argument that keep Null.
  static Variant oneArgument(const TExprNode& N, const String& Name, const Values& Args) {
    using DatePart = Word (*)(TDateTime);
    static const std::pair<const char*, DatePart> Parts[] = {{"YEAR", YearOf},     {"MONTH", MonthOf},
                                                             {"DAY", DayOf},       {"HOUR", HourOf},
                                                             {"MINUTE", MinuteOf}, {"SECOND", SecondOf}};
    DatePart Part = nullptr;
    for (const auto& [PartName, Of] : Parts)
      if (Name == QLatin1String(PartName)) Part = Of;
    const bool Known = Part || Name == u"UPPER" || Name == u"LOWER" || Name == u"DATE" || Name == u"TIME";
    if (!Known) DatabaseErrorFmt(DBConsts::SExprUnsupportedFunction, {N.Name});
    checkCount(N, Args, 1, 1);
    const Variant& V = Args[0];
    if (VarIsNull(V)) return V;
    if (Part) return Variant(Part(V.AsDateTime()));
    if (Name == u"UPPER" || Name == u"LOWER") return letterCase(V, Name == u"UPPER");
    return VarFromDateTime(Name == u"DATE" ? DateOf(V.AsDateTime()) : TimeOf(V.AsDateTime()));
  }

  static Variant letterCase(const Variant& V, bool Upper) {
    if (VarIsNull(V)) return V;
    return Variant(Upper ? AnsiUpperCase(VarToStr(V)) : AnsiLowerCase(VarToStr(V)));
  }

  // The argument is evaluated once per row of the context's view, with that
  // row current, so field nodes inside it read that row.
  Variant aggregate(const TExprNode& N, Aggregate Kind) {
    const TExprNode* List = N.Args.empty() ? nullptr : &arg(N, 0);
    if (List) checkList(*List);
    const size_t Count = List ? List->Args.size() : 0;
    const bool CountAll = Kind == Aggregate::Count && Count == 0;
    if (!CountAll && Count != 1) DatabaseErrorFmt(DBConsts::SExprArgumentCount, {N.Name});
    const int Rows = C.AggregateRowCount();
    if (Rows == IExprContext::NoAggregateView) return Null();
    if (CountAll) return Variant(Integer(Rows));
    if (Rows == 0) return Null();
    const TExprNode& Argument = arg(*List, 0);
    Variant Sum = Variant(Integer(0));
    Variant Kept = Null();
    Integer NotNull = 0;
    for (int Row = 0; Row < Rows; ++Row) {
      C.SetAggregateRow(Row);
      const Variant V = eval(Argument);
      if (VarIsNull(V)) continue;
      ++NotNull;
      if (isSummable(V)) Sum = Sum + V;
      if (VarIsNull(Kept) || better(Kind, V, Kept)) Kept = V;
    }
    switch (Kind) {
      case Aggregate::Sum: return Sum;
      case Aggregate::Avg: return Sum / Variant(Integer(Rows));
      case Aggregate::Count: return Variant(NotNull);
      default: return Kept;  // MIN, MAX
    }
  }

  // Whether Candidate replaces Kept for MIN or MAX; text compares
  // case-sensitively through the context.
  bool better(Aggregate Kind, const Variant& Candidate, const Variant& Kept) {
    const TVariantRelationship R = VarIsStr(Candidate) || VarIsStr(Kept)
                                       ? relationOf(compareText(Candidate, Kept, /*CaseInsensitive=*/false))
                                       : VarCompareValue(Candidate, Kept);
    return Kind == Aggregate::Min ? R == vrLessThan : R == vrGreaterThan;
  }

  IExprContext& C;
};

// ---------------------------------------------------------------------------
// LIKE
// ---------------------------------------------------------------------------

struct Wildcards {
  Char Single;
  const String& Multi;
  bool isSingle(Char C) const { return !Single.isNull() && C == Single; }
  bool isMulti(Char C) const { return Multi.contains(C); }
};

// Every run of wildcards that holds a multi wildcard becomes that one multi
// wildcard ("a_%%_b" is "a%b"); runs of single wildcards stay.
String foldWildcardRuns(const String& Pattern, const Wildcards& W) {
  String Result;
  for (qsizetype I = 0; I < Pattern.size();) {
    qsizetype End = I;
    Char FirstMulti;
    while (End < Pattern.size() && (W.isMulti(Pattern[End]) || W.isSingle(Pattern[End]))) {
      if (FirstMulti.isNull() && W.isMulti(Pattern[End])) FirstMulti = Pattern[End];
      ++End;
    }
    if (End == I) {
      Result += Pattern[I++];
      continue;
    }
    Result += FirstMulti.isNull() ? Pattern.mid(I, End - I) : String(FirstMulti);
    I = End;
  }
  return Result;
}

// Whether Segment (no multi wildcards) matches Value from Pos on.
bool segmentAt(const String& Value, qsizetype Pos, const String& Segment, const Wildcards& W) {
  if (Pos < 0 || Pos + Segment.size() > Value.size()) return false;
  for (qsizetype K = 0; K < Segment.size(); ++K)
    if (Value[Pos + K] != Segment[K] && !W.isSingle(Segment[K])) return false;
  return true;
}

qsizetype nextMulti(const String& Pattern, qsizetype From, const Wildcards& W) {
  for (qsizetype K = From; K < Pattern.size(); ++K)
    if (W.isMulti(Pattern[K])) return K;
  return -1;
}

}  // namespace

int IExprContext::CompareText(const String& A, const String& B, bool CaseInsensitive, int PartialLength) {
  const String X = PartialLength > 0 ? Copy(A, 1, PartialLength) : A;
  const String Y = PartialLength > 0 ? Copy(B, 1, PartialLength) : B;
  return CaseInsensitive ? AnsiCompareText(X, Y) : AnsiCompareStr(X, Y);
}

TDateTime IExprContext::Now() { return ::Now(); }

Variant TExprEvaluator::Evaluate(const TExprNode& Node, IExprContext& Context) {
  return Evaluation(Context).eval(Node);
}

bool TExprEvaluator::Accepts(const TExprNode& Node, IExprContext& Context) {
  const Variant Verdict = Evaluate(Node, Context);
  return VarType(Verdict) == varBoolean && Verdict.AsBoolean();
}

bool LikeMatch(const String& Value, const String& Pattern, bool CaseInsensitive, Char SingleWildcard,
               const String& MultiWildcards) {
  if (Value == Pattern) return true;
  const Wildcards W{SingleWildcard, MultiWildcards};
  String P = foldWildcardRuns(Pattern, W);
  if (P.size() == 1 && W.isMulti(P[0])) return true;
  if (Value.isEmpty() || P.isEmpty()) return false;
  String V = Value;
  if (CaseInsensitive) {
    V = AnsiUpperCase(V);
    P = AnsiUpperCase(P);
  }
  qsizetype I = 0;
  qsizetype J = 0;
  while (I < V.size() && J < P.size()) {
    // A multi wildcard is a wildcard even where the value holds the same
    // character: "100% sure" is LIKE "100%".
    if (!W.isMulti(P[J])) {
      if (V[I] != P[J] && !W.isSingle(P[J])) return false;
      ++I;
      ++J;
      continue;
    }
    const qsizetype Next = nextMulti(P, J + 1, W);
    const String Segment = P.mid(J + 1, Next < 0 ? -1 : Next - J - 1);
    if (Next < 0) {
      // The last segment ends the value and must not reach back into the
      // part already matched: "abc" is not "ab%bc".
      const qsizetype Tail = V.size() - Segment.size();
      return Segment.isEmpty() || (Tail >= I && segmentAt(V, Tail, Segment, W));
    }
    qsizetype Found = I;
    while (Found + Segment.size() <= V.size() && !segmentAt(V, Found, Segment, W)) ++Found;
    if (Found + Segment.size() > V.size()) return false;
    I = Found + Segment.size();
    J = Next;
  }
  if (I < V.size()) return false;
  for (; J < P.size(); ++J)
    if (!W.isMulti(P[J]) && !W.isSingle(P[J])) return false;
  return true;
}
