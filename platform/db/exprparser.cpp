#include "platform/db/exprparser.h"

#include "platform/db/dbconsts.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <limits>

namespace {

using NodePtr = std::unique_ptr<TExprNode>;

const TFormatSettings& invariantSettings() {
  static const TFormatSettings Settings = TFormatSettings::Invariant();
  return Settings;
}

// ---------------------------------------------------------------------------
// Lexer: the whole text becomes a token list before parsing; every token
// keeps its 1-based position and its text as written for error messages.
// ---------------------------------------------------------------------------

enum class TokenKind { End, Identifier, FieldName, String, Number, Symbol };

struct Token {
  TokenKind Kind = TokenKind::End;
  String Text;     // identifier, field name without brackets, string without quotes,
                   // number with '.' as its decimal point, or the symbol
  String Written;  // as it stands in the text
  int Pos = 0;     // 1-based
};

[[noreturn]] void syntaxError(const Token& T) {
  const String What = T.Kind == TokenKind::End ? QStringLiteral("end of expression") : T.Written;
  DatabaseErrorFmt(DBConsts::SExprSyntaxError, {T.Pos, What});
}

bool isBlank(Char C) { return C == u' ' || C == u'\t' || C == u'\r' || C == u'\n'; }
bool isDigit(Char C) { return C >= u'0' && C <= u'9'; }
bool isIdentStart(Char C) { return C.isLetter() || C == u'_'; }
bool isIdentPart(Char C) { return isIdentStart(C) || isDigit(C); }

class Lexer {
public:
  explicit Lexer(const String& Text) : FText(Text), FDecimalSeparator(FormatSettings().DecimalSeparator) {}

  std::vector<Token> Tokens() {
    std::vector<Token> Result;
    for (;;) {
      while (FPos < FText.size() && isBlank(FText[FPos])) ++FPos;
      if (FPos >= FText.size()) break;
      Result.push_back(next());
    }
    Token End;
    End.Pos = int(FText.size()) + 1;
    Result.push_back(End);
    return Result;
  }

private:
  Char at(qsizetype I) const { return I < FText.size() ? FText[I] : Char(); }

  Token make(TokenKind Kind, qsizetype Start, String Text) const {
    return Token{Kind, std::move(Text), FText.mid(Start, FPos - Start), int(Start) + 1};
  }

  Token next() {
    const qsizetype Start = FPos;
    const Char C = FText[FPos];
    if (C == u'[') return fieldName(Start);
    if (C == u'\'') return quotedString(Start);
    if (isDigit(C)) return number(Start);
    if (isIdentStart(C)) {
      while (isIdentPart(at(FPos))) ++FPos;
      return make(TokenKind::Identifier, Start, FText.mid(Start, FPos - Start));
    }
    return symbol(Start);
  }

  Token fieldName(qsizetype Start) {
    const qsizetype Close = FText.indexOf(u']', Start + 1);
    if (Close < 0) {
      FPos = Start + 1;
      syntaxError(make(TokenKind::Symbol, Start, QStringLiteral("[")));
    }
    FPos = Close + 1;
    return make(TokenKind::FieldName, Start, FText.mid(Start + 1, Close - Start - 1));
  }

  Token quotedString(qsizetype Start) {
    String Value;
    for (FPos = Start + 1; FPos < FText.size(); ++FPos) {
      if (FText[FPos] != u'\'') {
        Value += FText[FPos];
      } else if (at(FPos + 1) == u'\'') {
        Value += u'\'';
        ++FPos;
      } else {
        ++FPos;
        return make(TokenKind::String, Start, Value);
      }
    }
    DatabaseErrorFmt(DBConsts::SExprUnterminatedString, {int(Start) + 1});
  }

  // A separator other than '.' is a decimal point only between two digits,
  // so a list "1, 2" or "1 ,2" stays a list under a decimal comma.
  bool atFraction() const {
    const Char C = at(FPos);
    return (C == u'.' || C == FDecimalSeparator) && isDigit(at(FPos + 1));
  }

  Token number(qsizetype Start) {
    String Text;
    auto Digits = [&] {
      while (isDigit(at(FPos))) Text += FText[FPos++];
    };
    Digits();
    if (atFraction()) {
      Text += u'.';
      ++FPos;
      Digits();
    }
    const Char E = at(FPos);
    if (E == u'e' || E == u'E') {
      const qsizetype Sign = (at(FPos + 1) == u'+' || at(FPos + 1) == u'-') ? 1 : 0;
      if (isDigit(at(FPos + 1 + Sign))) {
        Text += FText.mid(FPos, 1 + Sign);
        FPos += 1 + Sign;
        Digits();
      }
    }
    return make(TokenKind::Number, Start, Text);
  }

  Token symbol(qsizetype Start) {
    static const char16_t* const Symbols[] = {u"<>", u"<=", u">=", u"=", u"<", u">", u"+",
                                              u"-",  u"*",  u"/",  u"(", u")", u","};
    for (const char16_t* S : Symbols) {
      const String Sym = String::fromUtf16(S);
      if (FText.mid(Start, Sym.size()) == Sym) {
        FPos = Start + Sym.size();
        return make(TokenKind::Symbol, Start, Sym);
      }
    }
    FPos = Start + 1;
    syntaxError(make(TokenKind::Symbol, Start, FText.mid(Start, 1)));
  }

  const String& FText;
  const Char FDecimalSeparator;
  qsizetype FPos = 0;
};

// ---------------------------------------------------------------------------
// Node construction and typing
// ---------------------------------------------------------------------------

NodePtr makeNode(int NodeClass, int Operator, std::vector<NodePtr> Args = {}) {
  auto N = std::make_unique<TExprNode>();
  N->NodeClass = NodeClass;
  N->Operator = Operator;
  N->Args = std::move(Args);
  return N;
}

NodePtr makeUnary(int Operator, NodePtr Operand) {
  std::vector<NodePtr> Args;
  Args.push_back(std::move(Operand));
  return makeNode(nodeUNARY, Operator, std::move(Args));
}

NodePtr makeBinary(int NodeClass, int Operator, NodePtr Left, NodePtr Right) {
  std::vector<NodePtr> Args;
  Args.push_back(std::move(Left));
  Args.push_back(std::move(Right));
  return makeNode(NodeClass, Operator, std::move(Args));
}

NodePtr makeConstant(const Variant& Value, TFieldType DataType) {
  NodePtr N = makeNode(nodeCONST, coCONST2);
  N->Value = Value;
  N->DataType = DataType;
  return N;
}

// Integers that fit 32 bits are ftInteger, wider ones ftLargeint, the rest
// ftFloat.  Negative when a "-" stands right before Literal.
NodePtr makeNumber(const Token& Literal, bool Negative) {
  const String Text = Negative ? u'-' + Literal.Text : Literal.Text;
  int Code = 0;
  Int64 Whole = 0;
  Val(Text, Whole, Code);
  if (Code == 0) {
    if (Whole >= std::numeric_limits<Integer>::min() && Whole <= std::numeric_limits<Integer>::max())
      return makeConstant(Variant(Integer(Whole)), ftInteger);
    return makeConstant(Variant(Whole), ftLargeint);
  }
  double Real = 0;
  Val(Text, Real, Code);
  // The lexer hands over well-formed numbers only, so a number Val refuses
  // lies beyond the range of a double; reading it as anything else would
  // filter by another value than the one written.
  if (Code != 0)
    DatabaseErrorFmt(DBConsts::SExprNumberOutOfRange,
                     {Negative ? Literal.Pos - 1 : Literal.Pos, Negative ? u'-' + Literal.Written : Literal.Written});
  return makeConstant(Variant(Real), ftFloat);
}

bool isStringField(TFieldType T) {
  switch (T) {
    case ftString: case ftFixedChar: case ftWideString: case ftFixedWideChar: case ftMemo:
    case ftWideMemo: case ftFmtMemo: case ftOraClob: case ftGuid: return true;
    default: return false;
  }
}

bool isNumberField(TFieldType T) {
  switch (T) {
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
    case ftLongWord: case ftShortint: case ftByte: case ftFloat: case ftCurrency: case ftBCD:
    case ftFMTBcd: case ftExtended: case ftSingle: return true;
    default: return false;
  }
}

bool isStringConstant(const TExprNode& N) { return N.NodeClass == nodeCONST && N.DataType == ftWideString; }
bool isField(const TExprNode& N) { return N.NodeClass == nodeFIELD; }

// Text as a number: an integer first, then a decimal with the settings'
// separator or with '.'.
bool convertNumber(const String& Text, TExprNode& Constant) {
  Int64 Whole = 0;
  if (TryStrToInt64(Text, Whole)) {
    const bool Fits = Whole >= std::numeric_limits<Integer>::min() && Whole <= std::numeric_limits<Integer>::max();
    Constant.Value = Fits ? Variant(Integer(Whole)) : Variant(Whole);
    Constant.DataType = Fits ? ftInteger : ftLargeint;
    return true;
  }
  double Real = 0;
  if (!TryStrToFloat(Text, Real) && !TryStrToFloat(Text, Real, invariantSettings())) return false;
  Constant.Value = Variant(Real);
  Constant.DataType = ftFloat;
  return true;
}

bool convertDateTime(const String& Text, TFieldType FieldType, TExprNode& Constant) {
  TDateTime Value = 0;
  bool Ok = false;
  switch (FieldType) {
    case ftDate: Ok = TryStrToDate(Text, Value); break;
    case ftTime: Ok = TryStrToTime(Text, Value); break;
    default: Ok = TryStrToDateTime(Text, Value); break;
  }
  if (!Ok) return false;
  Constant.Value = VarFromDateTime(Value);
  Constant.DataType = FieldType == ftDate || FieldType == ftTime ? FieldType : ftDateTime;
  return true;
}

// A string constant meeting a field of a non-text type takes the field's type,
// so the evaluator compares values instead of texts.
void coerceConstant(TExprNode& Constant, TFieldType FieldType) {
  const String Text = VarToStr(Constant.Value);
  bool Ok = true;
  switch (FieldType) {
    case ftBoolean:
      Ok = SameText(Text, QStringLiteral("True")) || SameText(Text, QStringLiteral("False"));
      if (Ok) {
        Constant.Value = Variant(SameText(Text, QStringLiteral("True")));
        Constant.DataType = ftBoolean;
      }
      break;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp: case ftOraTimeStamp:
    case ftTimeStampOffset:
      Ok = convertDateTime(Text, FieldType, Constant);
      break;
    default:
      if (isNumberField(FieldType)) Ok = convertNumber(Text, Constant);
      break;
  }
  if (!Ok) DatabaseError(DBConsts::SExprTypeMismatch);
}

// ---------------------------------------------------------------------------
// Parser: recursive descent over the grammar in the header.
// ---------------------------------------------------------------------------

bool isAggregateName(const String& Name) {
  for (const char* A : {"SUM", "MIN", "MAX", "AVG", "COUNT"})
    if (SameText(Name, QLatin1String(A))) return true;
  return false;
}

class Parser {
public:
  Parser(const std::vector<Token>& Tokens, const TExprFieldResolver& Resolver, TParserOptions ParserOptions,
         TFilterOptions FilterOptions)
      : FTokens(Tokens), FResolver(Resolver), FParserOptions(ParserOptions), FFilterOptions(FilterOptions) {}

  NodePtr Run() {
    NodePtr Root = expr();
    if (cur().Kind != TokenKind::End) syntaxError(cur());
    return Root;
  }

private:
  const Token& cur() const { return FTokens[FPos]; }
  const Token& peek() const { return FTokens[std::min(FPos + 1, FTokens.size() - 1)]; }
  void advance() {
    if (FPos + 1 < FTokens.size()) ++FPos;
  }

  static bool isSymbol(const Token& T, const char* S) {
    return T.Kind == TokenKind::Symbol && T.Text == QLatin1String(S);
  }
  static bool isKeyword(const Token& T, const char* K) {
    return T.Kind == TokenKind::Identifier && SameText(T.Text, QLatin1String(K));
  }
  static bool isAnyKeyword(const Token& T) {
    for (const char* K : {"AND", "OR", "NOT", "LIKE", "IS", "NULL", "IN", "TRUE", "FALSE"})
      if (isKeyword(T, K)) return true;
    return false;
  }
  bool acceptSymbol(const char* S) {
    if (!isSymbol(cur(), S)) return false;
    advance();
    return true;
  }
  bool acceptKeyword(const char* K) {
    if (!isKeyword(cur(), K)) return false;
    advance();
    return true;
  }
  void expectSymbol(const char* S) {
    if (!acceptSymbol(S)) syntaxError(cur());
  }
  void expectKeyword(const char* K) {
    if (!acceptKeyword(K)) syntaxError(cur());
  }

  NodePtr expr() {
    NodePtr Left = andTerm();
    while (acceptKeyword("OR")) Left = makeBinary(nodeBINARY, coOR, std::move(Left), andTerm());
    return Left;
  }

  NodePtr andTerm() {
    NodePtr Left = notTerm();
    while (acceptKeyword("AND")) Left = makeBinary(nodeBINARY, coAND, std::move(Left), notTerm());
    return Left;
  }

  NodePtr notTerm() {
    if (acceptKeyword("NOT")) return makeUnary(coNOT, comparison());
    return comparison();
  }

  NodePtr comparison() {
    NodePtr Left = sum();
    static const std::pair<const char*, int> Relations[] = {{"=", coEQ},  {"<>", coNE}, {"<", coLT},
                                                            {">", coGT},  {"<=", coLE}, {">=", coGE}};
    for (const auto& [Symbol, Operator] : Relations)
      if (acceptSymbol(Symbol)) return relation(Operator, std::move(Left), sum());
    if (acceptKeyword("IS")) {
      const bool Negated = acceptKeyword("NOT");
      expectKeyword("NULL");
      return makeUnary(Negated ? coNOTBLANK : coISBLANK, std::move(Left));
    }
    const bool Negated = isKeyword(cur(), "NOT") && (isKeyword(peek(), "LIKE") || isKeyword(peek(), "IN"));
    if (Negated) advance();
    NodePtr Result;
    if (acceptKeyword("LIKE"))
      Result = makeBinary(nodeBINARY, coLIKE, std::move(Left), sum());
    else if (acceptKeyword("IN"))
      Result = inList(std::move(Left));
    else
      return Left;
    return Negated ? makeUnary(coNOT, std::move(Result)) : std::move(Result);
  }

  NodePtr relation(int Operator, NodePtr Left, NodePtr Right) {
    if (const int Partial = partialLength(Operator, *Left, *Right)) {
      TExprNode& Constant = isField(*Left) ? *Right : *Left;
      Constant.Value = Variant(VarToStr(Constant.Value).left(Partial));
      NodePtr N = makeBinary(nodeCOMPARE, Operator, std::move(Left), std::move(Right));
      N->CaseInsensitive = FFilterOptions.Contains(foCaseInsensitive);
      N->PartialLength = Partial;
      return N;
    }
    typeConstant(*Left, *Right);
    typeConstant(*Right, *Left);
    return makeBinary(nodeBINARY, Operator, std::move(Left), std::move(Right));
  }

  // "field = 'abc*'" (or <>) on a text field compares the first 3 characters
  // only; 0 when the comparison is not of that form.
  int partialLength(int Operator, const TExprNode& Left, const TExprNode& Right) const {
    if ((Operator != coEQ && Operator != coNE) || FFilterOptions.Contains(foNoPartialCompare)) return 0;
    const bool FieldLeft = isField(Left) && isStringConstant(Right);
    if (!FieldLeft && !(isField(Right) && isStringConstant(Left))) return 0;
    const TExprNode& Field = FieldLeft ? Left : Right;
    const String Text = VarToStr((FieldLeft ? Right : Left).Value);
    if (!isStringField(Field.DataType) || Text.size() < 2 || !Text.endsWith(u'*')) return 0;
    return int(Text.size()) - 1;
  }

  static void typeConstant(const TExprNode& Field, TExprNode& Constant) {
    if (isField(Field) && isStringConstant(Constant) && !isStringField(Field.DataType))
      coerceConstant(Constant, Field.DataType);
  }

  NodePtr inList(NodePtr Left) {
    expectSymbol("(");
    NodePtr List = makeNode(nodeLISTELEM, coLISTELEM2);
    do {
      NodePtr Element = expr();
      typeConstant(*Left, *Element);
      List->Args.push_back(std::move(Element));
    } while (acceptSymbol(","));
    expectSymbol(")");
    return makeBinary(nodeBINARY, coIN, std::move(Left), std::move(List));
  }

  void checkExtSyntax(const Token& Operator) const {
    if (!FParserOptions.Contains(poExtSyntax)) syntaxError(Operator);
  }

  NodePtr sum() {
    NodePtr Left = product();
    for (;;) {
      const Token& Op = cur();
      const int Operator = isSymbol(Op, "+") ? coADD : isSymbol(Op, "-") ? coSUB : coNOTDEFINED;
      if (Operator == coNOTDEFINED) return Left;
      checkExtSyntax(Op);
      advance();
      Left = makeBinary(nodeBINARY, Operator, std::move(Left), product());
    }
  }

  NodePtr product() {
    NodePtr Left = primary();
    for (;;) {
      const Token& Op = cur();
      const int Operator = isSymbol(Op, "*") ? coMUL : isSymbol(Op, "/") ? coDIV : coNOTDEFINED;
      if (Operator == coNOTDEFINED) return Left;
      checkExtSyntax(Op);
      advance();
      Left = makeBinary(nodeBINARY, Operator, std::move(Left), primary());
    }
  }

  NodePtr primary() {
    const Token T = cur();
    switch (T.Kind) {
      case TokenKind::Number: advance(); return makeNumber(T, /*Negative=*/false);
      case TokenKind::String: advance(); return makeConstant(Variant(T.Text), ftWideString);
      case TokenKind::FieldName: advance(); return field(T.Text);
      case TokenKind::Identifier: return identifier(T);
      case TokenKind::Symbol: return symbolPrimary(T);
      case TokenKind::End: break;
    }
    syntaxError(T);
  }

  NodePtr symbolPrimary(const Token& T) {
    if (acceptSymbol("(")) {
      NodePtr Inner = expr();
      expectSymbol(")");
      return Inner;
    }
    // A sign written right before a number where an operand is expected.
    const bool Sign = isSymbol(T, "-") || isSymbol(T, "+");
    if (Sign && peek().Kind == TokenKind::Number && peek().Pos == T.Pos + 1) {
      advance();
      const Token Number = cur();
      advance();
      return makeNumber(Number, isSymbol(T, "-"));
    }
    syntaxError(T);
  }

  NodePtr identifier(const Token& T) {
    if (isKeyword(T, "NULL")) {
      advance();
      return makeConstant(Null(), ftUnknown);
    }
    if (isKeyword(T, "TRUE") || isKeyword(T, "FALSE")) {
      advance();
      return makeConstant(Variant(isKeyword(T, "TRUE")), ftBoolean);
    }
    if (isAnyKeyword(T)) syntaxError(T);
    advance();
    if (isSymbol(cur(), "(")) return function(T.Text);
    return field(T.Text);
  }

  NodePtr function(const String& Name) {
    if (isAggregateName(Name) && !FParserOptions.Contains(poAggregate))
      DatabaseErrorFmt(DBConsts::SExprAggregateNotAllowed, {Name});
    expectSymbol("(");
    NodePtr Call = makeNode(nodeFUNC, coFUNC2);
    Call->Name = Name;
    if (SameText(Name, QStringLiteral("COUNT")) && acceptSymbol("*")) {
      expectSymbol(")");
      return Call;
    }
    if (acceptSymbol(")")) return Call;
    NodePtr List = makeNode(nodeLISTELEM, coLISTELEM2);
    do List->Args.push_back(expr());
    while (acceptSymbol(","));
    expectSymbol(")");
    Call->Args.push_back(std::move(List));
    return Call;
  }

  NodePtr field(const String& Name) const {
    const std::optional<TExprFieldInfo> Info = FResolver ? FResolver(Name) : std::nullopt;
    if (!Info) DatabaseErrorFmt(DBConsts::SFieldNotFound, {Name});
    NodePtr N = makeNode(nodeFIELD, coFIELD2);
    N->Name = Name;
    N->FieldNo = Info->FieldNo;
    N->DataType = Info->DataType;
    return N;
  }

  const std::vector<Token>& FTokens;
  const TExprFieldResolver& FResolver;
  const TParserOptions FParserOptions;
  const TFilterOptions FFilterOptions;
  size_t FPos = 0;
};

// ---------------------------------------------------------------------------
// Canonical dump
// ---------------------------------------------------------------------------

String operatorName(int Operator) {
  switch (Operator) {
    case coISBLANK: return QStringLiteral("ISBLANK");
    case coNOTBLANK: return QStringLiteral("NOTBLANK");
    case coEQ: return QStringLiteral("EQ");
    case coNE: return QStringLiteral("NE");
    case coGT: return QStringLiteral("GT");
    case coLT: return QStringLiteral("LT");
    case coGE: return QStringLiteral("GE");
    case coLE: return QStringLiteral("LE");
    case coNOT: return QStringLiteral("NOT");
    case coAND: return QStringLiteral("AND");
    case coOR: return QStringLiteral("OR");
    case coADD: return QStringLiteral("ADD");
    case coSUB: return QStringLiteral("SUB");
    case coMUL: return QStringLiteral("MUL");
    case coDIV: return QStringLiteral("DIV");
    case coLIKE: return QStringLiteral("LIKE");
    case coIN: return QStringLiteral("IN");
    case coUPPER: return QStringLiteral("UPPER");
    case coLOWER: return QStringLiteral("LOWER");
    default: return QStringLiteral("OP%1").arg(Operator);
  }
}

String valueText(const Variant& V) {
  if (VarIsNull(V)) return QStringLiteral("NULL");
  const TVarType T = VarType(V);
  if (T == varSingle || T == varDouble || T == varCurrency) return FloatToStr(V.AsDouble(), invariantSettings());
  return VarToStr(V);
}

String constantText(const TExprNode& N) {
  const String Type = FieldTypeName(N.DataType);
  auto Stamp = [&](const char* Format) {
    return Type + u'(' + FormatDateTime(QLatin1String(Format), N.Value.AsDateTime(), invariantSettings()) + u')';
  };
  if (N.DataType == ftUnknown && VarIsNull(N.Value)) return QStringLiteral("NULL");
  if (VarIsNull(N.Value)) return Type + QStringLiteral("(NULL)");
  switch (N.DataType) {
    case ftString: case ftWideString: case ftFixedChar: case ftFixedWideChar: case ftGuid:
      return QuotedStr(VarToStr(N.Value));
    case ftInteger: return VarToStr(N.Value);
    case ftBoolean: return N.Value.AsBoolean() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case ftDate: return Stamp("yyyy-mm-dd");
    case ftTime: return Stamp("hh:nn:ss.zzz");
    case ftDateTime: return Stamp("yyyy-mm-dd hh:nn:ss.zzz");
    default: return Type + u'(' + valueText(N.Value) + u')';
  }
}

String argsText(const std::vector<NodePtr>& Args) {
  String Result;
  for (const NodePtr& A : Args) {
    if (!Result.isEmpty()) Result += QStringLiteral(", ");
    Result += A ? ExprToString(*A) : QStringLiteral("<none>");
  }
  return Result;
}

}  // namespace

String ExprToString(const TExprNode& Node) {
  switch (Node.NodeClass) {
    case nodeUNARY:
    case nodeBINARY: return operatorName(Node.Operator) + u'(' + argsText(Node.Args) + u')';
    case nodeCOMPARE: {
      String Result = QStringLiteral("CMP:") + operatorName(Node.Operator) + u'(' + argsText(Node.Args);
      if (Node.PartialLength > 0) Result += QStringLiteral(", partial=%1").arg(Node.PartialLength);
      if (Node.CaseInsensitive) Result += QStringLiteral(", ci");
      return Result + u')';
    }
    case nodeFIELD: return u'[' + Node.Name + u']';
    case nodeCONST: return constantText(Node);
    case nodeFUNC: {
      const bool HasList = Node.Args.size() == 1 && Node.Args[0] && Node.Args[0]->NodeClass == nodeLISTELEM;
      return Node.Name + u'(' + argsText(HasList ? Node.Args[0]->Args : Node.Args) + u')';
    }
    case nodeLISTELEM: return QStringLiteral("LIST(") + argsText(Node.Args) + u')';
    default:
      return QStringLiteral("<%1:%2>(").arg(Node.NodeClass).arg(Node.Operator) + argsText(Node.Args) + u')';
  }
}

TExprParser::TExprParser(TExprFieldResolver Resolver, TParserOptions ParserOptions, TFilterOptions FilterOptions)
    : FResolver(std::move(Resolver)), FParserOptions(ParserOptions), FFilterOptions(FilterOptions) {}

std::unique_ptr<TExprNode> TExprParser::Parse(const String& Text) const {
  const std::vector<Token> Tokens = Lexer(Text).Tokens();
  return Parser(Tokens, FResolver, FParserOptions, FFilterOptions).Run();
}
