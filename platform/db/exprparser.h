// The dataset filter language: lexer, parser and the node tree it yields.
//
// A filter text ("[Name] = 'x' AND [Qty] >= 5") is compiled once into a tree
// of TExprNode; TExprEvaluator (exprevaluator.h) walks that tree for every
// record or aggregate.  The parser is given a field resolver instead of a
// dataset, so it can be used (and tested) without one.
//
// How a dataset wires a filter:
//   TExprParser Parser([this](const String& Name) -> std::optional<TExprFieldInfo> {
//     TField* F = FindField(Name);
//     if (!F) return std::nullopt;
//     return TExprFieldInfo{F->DataType(), F->FieldNo()};
//   }, {poExtSyntax}, FilterOptions());
//   FExprRoot = Parser.Parse(Filter());      // parse errors raise; keep the old tree then
// and per record TExprEvaluator::Accepts(*FExprRoot, Context) with an
// IExprContext whose FieldValue finds the field by the node's FieldNo (or
// Name) and reads it in the current state.  The resolver is asked once per
// field name the text uses; only the field's type matters for typing
// constants, the FieldNo is handed back through the field node.
//
// Lexical rules:
//   - blanks, TAB, CR and LF separate tokens;
//   - a field name is "[any text without ']']" or an identifier (letters of
//     any script, digits, '_', not starting with a digit) that is not a
//     keyword; keywords are AND OR NOT LIKE IS NULL IN TRUE FALSE in any case;
//     an identifier followed by "(" names a function;
//   - a string is '...' with '' standing for one quote; case is kept;
//   - a number is digits, an optional fraction after '.' or after the
//     settings' DecimalSeparator, an optional exponent E[+-]digits.  A
//     separator other than '.' counts only between two digits, so with a
//     decimal comma "In(1,5 ,  2)" lists 1.5 and 2.  A '+' or '-' written
//     right before a number where an operand is expected is its sign;
//   - symbols: = <> < > <= >= + - * / ( ) ,
//
// Grammar, lowest precedence first (comparisons do not chain):
//   expr = and {OR and}
//   and  = not {AND not}
//   not  = [NOT] cmp
//   cmp  = sum [ (= | <> | < | > | <= | >=) sum | [NOT] LIKE sum
//              | IS [NOT] NULL | [NOT] IN "(" expr {"," expr} ")" ]
//   sum  = prod {(+ | -) prod}
//   prod = prim {(* | /) prim}
//   prim = constant | field | NULL | TRUE | FALSE | COUNT "(" "*" ")"
//        | func "(" [expr {"," expr}] ")" | "(" expr ")"
//
// Typing done here: a string constant compared with (or listed IN against) a
// field of a number, date-time or Boolean type becomes a constant of that
// type (numbers with the settings' DecimalSeparator or '.', dates and times
// with StrToDate/StrToTime/StrToDateTime, Booleans from "True"/"False" in any
// case); a text that does not convert is "Type mismatch in expression".
// "field = 'abc*'" (or <>) on a string field becomes a compare node with
// partial length 3 on 'abc', unless foNoPartialCompare is set.
#pragma once

#include "platform/db/dbtypes.h"
#include "platform/rtl/variant.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Node classes; the numbers are fixed.
RTL_ENUM(TNodeClass,
         nodeNULL, nodeUNARY, nodeBINARY, nodeCOMPARE, nodeFIELD, nodeCONST, nodeTUPLE,
         nodeCONTINUE, nodeUDF, nodeLIST, nodeFUNC, nodeLISTELEM)

// Operators; the numbers are fixed and the missing ones are reserved.
enum TCANOperator : int {
  coNOTDEFINED = 0,
  coISBLANK = 1,
  coNOTBLANK = 2,
  coEQ = 3,
  coNE = 4,
  coGT = 5,
  coLT = 6,
  coGE = 7,
  coLE = 8,
  coNOT = 9,
  coAND = 10,
  coOR = 11,
  coFIELD2 = 13,
  coCONST2 = 14,
  coADD = 16,
  coSUB = 17,
  coMUL = 18,
  coDIV = 19,
  coLIKE = 30,
  coIN = 31,
  coUPPER = 33,
  coLOWER = 34,
  coFUNC2 = 35,
  coLISTELEM2 = 36,
};

// One node of a compiled expression.  Shapes the parser builds:
//   nodeUNARY    coISBLANK coNOTBLANK coNOT coUPPER coLOWER   Args {operand}
//   nodeBINARY   coEQ..coLE coAND coOR coADD..coDIV coLIKE     Args {left, right}
//                coIN                                         Args {left, list element node}
//   nodeCOMPARE  coEQ coNE coLIKE  Args {left, right}, CaseInsensitive, PartialLength
//   nodeFIELD    coFIELD2   Name (as written, without brackets), FieldNo, DataType
//   nodeCONST    coCONST2   Value and DataType: strings ftWideString, integers
//                ftInteger or ftLargeint, decimals ftFloat, TRUE/FALSE
//                ftBoolean, converted dates ftDate/ftTime/ftDateTime, NULL
//                ftUnknown holding Null
//   nodeFUNC     coFUNC2    Name as written; Args {} (no arguments, also
//                COUNT(*)) or {list element node}
//   nodeLISTELEM coLISTELEM2  Args = the elements in order
struct TExprNode {
  int NodeClass = nodeNULL;
  int Operator = coNOTDEFINED;
  std::vector<std::unique_ptr<TExprNode>> Args;  // owned
  Variant Value;
  TFieldType DataType = ftUnknown;
  String Name;
  int FieldNo = 0;
  bool CaseInsensitive = false;
  int PartialLength = 0;  // compare nodes: characters compared, 0 = whole texts
};

// A canonical one-line dump for tests: fields "[N]", strings 'a''b',
// integers 5, Null NULL, Booleans TRUE/FALSE, other constants Type(value)
// ("Float(1.5)", "Date(2020-01-01)"); operators by name around their
// arguments ("NOT(EQ([N], 'a'))", "IN([N], LIST('a', 2))"), compare nodes
// "CMP:EQ([N], 'abc', partial=3, ci)", functions "Name(args)", anything else
// "<class:operator>(args)".
String ExprToString(const TExprNode& Node);

// What the resolver tells about a field the text names.
struct TExprFieldInfo {
  TFieldType DataType = ftUnknown;
  int FieldNo = 0;
};
// Name as written (brackets removed) -> the field, or nullopt when there is
// none ("Field '%s' not found").
using TExprFieldResolver = std::function<std::optional<TExprFieldInfo>(const String& Name)>;

RTL_ENUM(TParserOption, poExtSyntax, poAggregate)
using TParserOptions = TSet<TParserOption>;

// Compiles filter and aggregate texts.  poExtSyntax allows + - * /;
// poAggregate allows SUM MIN MAX AVG COUNT (without it they raise "Aggregate
// function %s is not allowed here").  foCaseInsensitive and foNoPartialCompare
// shape partial compares.  Numbers read the global FormatSettings().
//
// Errors raise EDatabaseError with 1-based positions:
//   "Unterminated string constant at position %d" (the opening quote)
//   "Syntax error in filter expression at position %d: %s" (the offending
//     token as written, or "end of expression" past the end; a blank text
//     fails this way too)
//   "Type mismatch in expression"
//   "Field '%s' not found"
//   "Aggregate function %s is not allowed here"
class TExprParser {
public:
  explicit TExprParser(TExprFieldResolver Resolver, TParserOptions ParserOptions = {poExtSyntax},
                       TFilterOptions FilterOptions = {});

  // The tree of Text; the caller owns it.
  std::unique_ptr<TExprNode> Parse(const String& Text) const;

private:
  TExprFieldResolver FResolver;
  TParserOptions FParserOptions;
  TFilterOptions FFilterOptions;
};
