// The evaluator of compiled filter and aggregate expressions, and the one LIKE
// matcher.
//
// TExprEvaluator walks a TExprNode tree (exprparser.h) against an
// IExprContext, which supplies field values, the filter's case option, the
// rows of an aggregate view, the text comparison, the LIKE wildcards and the
// clock.  A generic dataset's context answers FieldValue from the field the
// node's FieldNo (or Name) designates, read in the dataset's current state
// (dsFilter while filtering), CaseInsensitive from foCaseInsensitive and
// MultiWildcards "%*"; it has no aggregate view.  An in-memory table answers
// from its record or from the current row of its records view.
//
// Semantics in brief (values are Variants; Null is the missing value):
//   - comparisons: when either side is text, the context's CompareText of both
//     texts (case by CaseInsensitive(), whole texts); else the variant order,
//     Null equal to Null and below everything; "=" of two date-times ignores
//     their milliseconds;
//   - AND/OR are three-valued and always evaluate both sides;
//   - "+" with a text side concatenates the texts (a Null side adds nothing),
//     Null + Null is Null; other arithmetic is the variant arithmetic;
//   - IS NULL of a text is true for an empty text; NOT of Null is true;
//   - IN is true at the first equal element (text, date-time and variant
//     equality as for "=");
//   - functions SUBSTRING UPPER LOWER TRIM TRIMLEFT TRIMRIGHT YEAR MONTH DAY
//     HOUR MINUTE SECOND GETDATE DATE TIME, and the aggregates SUM MIN MAX AVG
//     COUNT and COUNT(*) over the context's rows (Null without a view);
//   - nodes of class null, tuple, continue, user function and list give Null.
// Errors raise EDatabaseError:
//   "Operator <%d:%d> not supported." (node class, operator)
//   "Unsupported function: %s"
//   "Incorrect number of arguments in function <%s>"
//   "Unsupported data type: [%d]." (a constant's field type ordinal)
#pragma once

#include "platform/rtl/variant.h"

struct TExprNode;

// What an evaluation reads from its surroundings.  Only FieldValue is
// required; the rest has the defaults stated.
class IExprContext {
public:
  // AggregateRowCount() of a context without a view.
  static constexpr int NoAggregateView = -1;

  virtual ~IExprContext() = default;

  // The value of a field node in the current record, or in the current
  // aggregate row while an aggregate runs.
  virtual Variant FieldValue(const TExprNode& Field) = 0;
  // Whether comparisons and LIKE outside compare nodes ignore case
  // (foCaseInsensitive).  Default false.
  virtual bool CaseInsensitive() { return false; }
  // Rows of the aggregate view, or NoAggregateView (the default): then every
  // aggregate gives Null.
  virtual int AggregateRowCount() { return NoAggregateView; }
  // Makes Row (0-based) the row that field nodes read.
  virtual void SetAggregateRow(int Row) { (void)Row; }
  // -1, 0 or 1; locale collation, case ignored when asked, only the first
  // PartialLength characters of each text when it is above 0.
  virtual int CompareText(const String& A, const String& B, bool CaseInsensitive, int PartialLength);
  // The single-character LIKE wildcard, or a null Char for none.  Default '_'.
  virtual Char SingleWildcard() { return u'_'; }
  // Characters that each stand for any run in LIKE.  Default "%"; generic
  // datasets answer "%*".
  virtual String MultiWildcards() { return QStringLiteral("%"); }
  // The current local date and time for GETDATE; default the runtime clock.
  virtual TDateTime Now();
};

class TExprEvaluator {
public:
  // The value of Node in Context.
  static Variant Evaluate(const TExprNode& Node, IExprContext& Context);
  // A filter's verdict: true only for a Boolean true; Null or any other kind
  // rejects the record.
  static bool Accepts(const TExprNode& Node, IExprContext& Context);
};

// Whether Value matches the LIKE Pattern.  Every character of MultiWildcards
// stands for any run of characters, SingleWildcard (unless null) for exactly
// one.  An exact match is true at once; runs of wildcards holding a multi
// wildcard fold into one; a lone multi wildcard matches everything, else an
// empty value or pattern does not match; CaseInsensitive compares the locale
// upper case; the last segment must lie at or after the part already matched
// ("abc" does not match "ab%bc"); single wildcards left over at the end need
// no character.
bool LikeMatch(const String& Value, const String& Pattern, bool CaseInsensitive,
               Char SingleWildcard = u'_', const String& MultiWildcards = QStringLiteral("%"));
