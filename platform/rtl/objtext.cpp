#include "platform/rtl/objtext.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

#include <QStringDecoder>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace {

constexpr Byte Utf8Bom[] = {0xEF, 0xBB, 0xBF};
constexpr Byte BinarySignature[] = {'T', 'P', 'F', '0'};
// Quoted runs of a string end after this many chars, where a "+" line follows.
constexpr int StringLineLength = 64;
constexpr int BinaryBytesPerLine = 32;
constexpr char LineBreak[] = "\r\n";
// The text goes to the output in pieces of about this size, not as a whole.
constexpr qsizetype TextChunkSize = 1 << 20;

// Printable ASCII but the quote, which the text form keeps between quotes.
bool quotable(char16_t C) { return C >= u' ' && C != u'\'' && C <= 127; }

// ---------------------------------------------------------------------------
// Binary to text

class TBinaryToText {
public:
  TBinaryToText(TStream* Input, TStream* Output) : FReader(Input), FOutput(Output) {}

  void Convert() {
    FReader.ReadSignature();
    convertObject();
    flushText();
  }

private:
  // One level deeper for as long as the result lives; bounds the recursion
  // of objects, lists and collections.
  auto deeper() {
    if (FDepth >= MaxStreamNesting)
      throw EReadError(QStringLiteral("Stream nesting exceeds %d levels"), {MaxStreamNesting});
    ++FDepth;
    return TScopeExit([this] { --FDepth; });
  }

  void write(const String& S) { FText += S.toUtf8(); }
  void write(const char* S) { FText += S; }
  void writeIndent() { FText.append(2 * FIndent, ' '); }
  void newLine() {
    FText += LineBreak;
    if (FText.size() >= TextChunkSize) flushText();
    writeIndent();
  }
  void flushText() {
    FOutput->WriteBuffer(FText.constData(), FText.size());
    FText.resize(0);  // keeps the block for the next piece
  }
  // Chars known to be ASCII, a byte each.
  void writeAscii(const char16_t* Chars, qsizetype Count);
  void writeNumber(Int64 Value);

  void convertObject();
  void convertHeader();
  void convertProperty();
  void convertValue();
  void convertString(const String& S);
  void convertBinary();
  void convertCollection();
  String formatFloat(double Value, const char* Suffix);

  TReader FReader;
  TStream* FOutput;
  QByteArray FText;
  int FIndent = 0;
  int FDepth = 0;
  String FObjectName;  // for error messages
  String FPropName;
};

void TBinaryToText::convertObject() {
  const auto Depth = deeper();
  convertHeader();
  const String ObjectName = FObjectName;
  ++FIndent;
  while (!FReader.EndOfList()) convertProperty();
  FReader.ReadListEnd();
  while (!FReader.EndOfList()) convertObject();
  FReader.ReadListEnd();
  FObjectName = ObjectName;
  --FIndent;
  writeIndent();
  write("end");
  write(LineBreak);
}

void TBinaryToText::writeAscii(const char16_t* Chars, qsizetype Count) {
  const qsizetype Start = FText.size();
  FText.resize(Start + Count);
  char* Out = FText.data() + Start;
  for (qsizetype I = 0; I < Count; ++I) Out[I] = char(Chars[I]);
}

void TBinaryToText::writeNumber(Int64 Value) {
  char Buffer[24];
  FText.append(Buffer, std::to_chars(Buffer, Buffer + sizeof Buffer, Value).ptr - Buffer);
}

void TBinaryToText::convertHeader() {
  TFilerFlags Flags;
  int ChildPos = 0;
  FReader.ReadPrefix(Flags, ChildPos);
  const String ClassName = FReader.ReadStr();
  const String ObjectName = FReader.ReadStr();
  writeIndent();
  if (Flags.Contains(ffInherited))
    write("inherited ");
  else if (Flags.Contains(ffInline))
    write("inline ");
  else
    write("object ");
  if (!ObjectName.isEmpty()) write(ObjectName + QStringLiteral(": "));
  write(ClassName);
  if (Flags.Contains(ffChildPos)) write(QStringLiteral(" [%1]").arg(ChildPos));
  write(LineBreak);
  FObjectName = ObjectName.isEmpty() ? ClassName : ObjectName;
}

void TBinaryToText::convertProperty() {
  writeIndent();
  FPropName = FReader.ReadStr();
  write(FPropName);
  write(" = ");
  convertValue();
  write(LineBreak);
}

void TBinaryToText::convertValue() {
  switch (FReader.NextValue()) {
    case vaList: {
      const auto Depth = deeper();
      FReader.ReadValue();
      write("(");
      ++FIndent;
      while (!FReader.EndOfList()) {
        newLine();
        convertValue();
      }
      FReader.ReadListEnd();
      --FIndent;
      write(")");
      return;
    }
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
      writeNumber(FReader.ReadInt64());
      return;
    case vaExtended:
    case vaDouble:
      write(formatFloat(FReader.ReadFloat(), ""));
      return;
    case vaSingle: {
      char Buffer[32];
      const auto End = std::to_chars(Buffer, Buffer + sizeof Buffer, FReader.ReadSingle()).ptr;
      write(String::fromLatin1(Buffer, End - Buffer).toUpper() + u's');
      return;
    }
    case vaCurrency:
      write(IntToStr(FReader.ReadCurrency().Raw()) + u'c');
      return;
    case vaDate:
      write(formatFloat(FReader.ReadDate(), "d"));
      return;
    case vaString:
    case vaLString:
    case vaWString:
    case vaUTF8String:
      convertString(FReader.ReadString());
      return;
    case vaIdent:
    case vaFalse:
    case vaTrue:
    case vaNil:
    case vaNull:
      write(FReader.ReadIdent());
      return;
    case vaBinary:
      convertBinary();
      return;
    case vaSet: {
      FReader.ReadValue();
      write("[");
      for (String Name = FReader.ReadStr(), Separator; !Name.isEmpty(); Name = FReader.ReadStr()) {
        write(Separator + Name);
        Separator = QStringLiteral(", ");
      }
      write("]");
      return;
    }
    case vaCollection:
      convertCollection();
      return;
  }
  throw EReadError(QStringLiteral("Error reading %s.%s: Invalid property value"), {FObjectName, FPropName});
}

// The shortest text that reads back as the same double; a whole number keeps
// a ".0" so that it reads back as a float, not an integer.
String TBinaryToText::formatFloat(double Value, const char* Suffix) {
  char Buffer[32];
  const auto End = std::to_chars(Buffer, Buffer + sizeof Buffer, Value).ptr;
  String Text = String::fromLatin1(Buffer, End - Buffer).toUpper();
  if (*Suffix == 0 && !Text.contains(u'.') && !Text.contains(u'E')) Text += QStringLiteral(".0");
  return Text + String::fromLatin1(Suffix);
}

// Printable ASCII goes in quotes, every other char (the quote too) as #code;
// a string longer than a line starts on a line of its own, and its parts
// continue on "+" lines.
void TBinaryToText::convertString(const String& S) {
  if (S.isEmpty()) {
    write("''");
    return;
  }
  const char16_t* Chars = QStringView(S).utf16();
  const int Length = int(S.size());
  ++FIndent;
  if (Length > StringLineLength) newLine();
  int LineStart = 0;
  for (int I = 0; I < Length;) {
    if (quotable(Chars[I])) {
      const int RunStart = I;
      do ++I;
      while (I < Length && quotable(Chars[I]) && I - LineStart < StringLineLength);
      FText += '\'';
      writeAscii(Chars + RunStart, I - RunStart);
      FText += '\'';
    } else {
      FText += '#';
      writeNumber(Chars[I]);
      ++I;
    }
    if (I - LineStart >= StringLineLength && I < Length) {
      write(" +");
      newLine();
      LineStart = I;
    }
  }
  --FIndent;
}

void TBinaryToText::convertBinary() {
  const TBytes Data = FReader.ReadBinary();
  const QByteArray Hex = QByteArray::fromRawData(reinterpret_cast<const char*>(Data.data()), qsizetype(Data.size()))
                             .toHex()
                             .toUpper();
  const bool MultiLine = Data.size() >= BinaryBytesPerLine;
  write("{");
  ++FIndent;
  for (qsizetype Offset = 0; Offset < Hex.size(); Offset += 2 * BinaryBytesPerLine) {
    if (MultiLine) newLine();
    FText += Hex.mid(Offset, 2 * BinaryBytesPerLine);
  }
  --FIndent;
  write("}");
}

void TBinaryToText::convertCollection() {
  const auto Depth = deeper();
  FReader.ReadValue();
  write("<");
  ++FIndent;
  while (!FReader.EndOfList()) {
    newLine();
    write("item");
    const TValueType Next = FReader.NextValue();
    if (Next == vaInt8 || Next == vaInt16 || Next == vaInt32)
      write(QStringLiteral(" [%1]").arg(FReader.ReadInteger()));
    write(LineBreak);
    FReader.ReadListBegin();
    ++FIndent;
    while (!FReader.EndOfList()) convertProperty();
    FReader.ReadListEnd();
    --FIndent;
    writeIndent();
    write("end");
  }
  FReader.ReadListEnd();
  --FIndent;
  write(">");
}

// ---------------------------------------------------------------------------
// Text to binary

enum class TToken { EndOfText, Symbol, String, Integer, Float, Char };

// Splits the text form into tokens.  A string token joins adjacent quoted
// parts and #codes; a number token keeps its text and its suffix.  The
// parser reads the bytes themselves, in Encoding from Start on: the syntax
// is ASCII, and only names and quoted runs are decoded, so text of hundreds
// of MB is not held a second time as UTF-16.
class TParser {
public:
  TParser(const QByteArray& Bytes, qsizetype Start, TEncoding* Encoding)
      : FText(Bytes), FEncoding(Encoding), FPos(Start) {
    NextToken();
  }

  TToken Token() const { return FToken; }
  bool TokenIs(char16_t C) const { return FToken == TToken::Char && FTokenChar == C; }
  bool TokenSymbolIs(const char* Symbol) const {
    return FToken == TToken::Symbol && FTokenString.compare(QLatin1StringView(Symbol), Qt::CaseInsensitive) == 0;
  }
  const String& TokenString() const { return FTokenString; }
  // The float suffix: 0 (none or 'f'), 's', 'c' or 'd'.
  char16_t FloatType() const { return FFloatType; }
  Int64 TokenInt() const;
  double TokenFloat() const;
  float TokenSingle() const;
  Currency TokenCurrency() const;
  // The symbol with the ".Name" parts that follow it without blanks.
  String TokenComponentIdent();
  // The hex digits from the current '{' token to the next '}', which becomes
  // the current token.
  TBytes HexToBinary();

  void NextToken();
  void CheckToken(TToken Expected) const;
  void CheckChar(char16_t Expected) const;
  void CheckTokenSymbol(const char* Symbol) const;
  [[noreturn]] void Error(const String& Message) const;

private:
  // The byte at I as a char (Latin-1), or 0 past the end.
  Char at(qsizetype I) const { return I < FText.size() ? Char(static_cast<unsigned char>(FText[I])) : Char(); }
  static bool isDigit(Char C) { return C >= u'0' && C <= u'9'; }
  static bool isHexDigit(Char C) { return isDigit(C) || (C.toLower() >= u'a' && C.toLower() <= u'f'); }
  // The bytes of the identifier char at I (a letter, '_', or past the first
  // a digit), 0 when there is none there.
  qsizetype identCharLength(qsizetype I, bool First) const;
  qsizetype identEnd(qsizetype I) const;
  // The bytes from Start to End, decoded.
  String text(qsizetype Start, qsizetype End) const;
  void appendText(qsizetype Start, qsizetype End);
  void skipBlanks();
  void readString();
  void readQuoted();
  void readCharCode();
  void readNumber();

  const QByteArray FText;
  TEncoding* FEncoding;
  qsizetype FPos;
  int FLine = 1;
  int FTokenLine = 1;
  TToken FToken = TToken::EndOfText;
  Char FTokenChar;
  String FTokenString;
  char16_t FFloatType = 0;
};

void TParser::Error(const String& Message) const {
  throw EParserError(QStringLiteral("Line %d: %s"), {FTokenLine, Message});
}

void TParser::skipBlanks() {
  while (FPos < FText.size() && at(FPos) <= u' ') {
    if (at(FPos) == u'\n') ++FLine;
    ++FPos;
  }
}

qsizetype TParser::identCharLength(qsizetype I, bool First) const {
  const Char C = at(I);
  if (C.unicode() < 0x80) return C == u'_' || C.isLetter() || (!First && isDigit(C)) ? 1 : 0;
  // A UTF-8 lead byte says how many bytes its char takes.
  qsizetype Length = 1;
  if (FEncoding->CodePage() == CP_UTF8)
    Length = C >= u'\xF0' ? 4 : C >= u'\xE0' ? 3 : C >= u'\xC0' ? 2 : 1;
  Length = std::min(Length, FText.size() - I);
  const String Decoded = text(I, I + Length);
  return Decoded.size() == 1 && Decoded[0].isLetter() ? Length : 0;
}

qsizetype TParser::identEnd(qsizetype I) const {
  while (const qsizetype Length = identCharLength(I, /*First=*/false)) I += Length;
  return I;
}

String TParser::text(qsizetype Start, qsizetype End) const {
  return FEncoding->GetString(reinterpret_cast<const Byte*>(FText.constData()) + Start, int(End - Start));
}

void TParser::appendText(qsizetype Start, qsizetype End) {
  const QByteArrayView Bytes(FText.constData() + Start, End - Start);
  if (std::all_of(Bytes.begin(), Bytes.end(), [](char B) { return static_cast<unsigned char>(B) < 0x80; }))
    FTokenString.append(QLatin1StringView(Bytes));
  else
    FTokenString += text(Start, End);
}

void TParser::NextToken() {
  skipBlanks();
  FTokenLine = FLine;
  FTokenString.clear();
  FFloatType = 0;
  if (FPos >= FText.size()) {
    FToken = TToken::EndOfText;
    return;
  }
  const Char C = at(FPos);
  if (identCharLength(FPos, /*First=*/true) > 0) {
    const qsizetype Start = FPos;
    FPos = identEnd(FPos);
    FToken = TToken::Symbol;
    FTokenString = text(Start, FPos);
  } else if (C == u'\'' || C == u'#') {
    readString();
  } else if (isDigit(C) || C == u'$' || (C == u'-' && isDigit(at(FPos + 1)))) {
    readNumber();
  } else {
    FToken = TToken::Char;
    FTokenChar = C;
    ++FPos;
  }
}

void TParser::readString() {
  FToken = TToken::String;
  for (;;) {
    if (at(FPos) == u'\'')
      readQuoted();
    else if (at(FPos) == u'#')
      readCharCode();
    else
      return;
  }
}

// A quoted part, where '' stands for a quote; its runs are appended whole.
void TParser::readQuoted() {
  qsizetype RunStart = ++FPos;
  for (;; ++FPos) {
    if (FPos >= FText.size() || at(FPos) == u'\r' || at(FPos) == u'\n') Error(QStringLiteral("Unterminated string"));
    if (at(FPos) != u'\'') continue;
    appendText(RunStart, FPos + 1);
    if (at(FPos + 1) != u'\'') break;
    ++FPos;
    RunStart = FPos + 1;
  }
  FTokenString.chop(1);  // the closing quote
  ++FPos;
}

// #code, decimal or $hex, for one UTF-16 unit.
void TParser::readCharCode() {
  const qsizetype Start = ++FPos;
  const bool Hex = at(FPos) == u'$';
  if (Hex) ++FPos;
  auto digit = [Hex](Char C) { return Hex ? isHexDigit(C) : isDigit(C); };
  bool Valid = digit(at(FPos));
  Int64 Code = 0;
  for (; digit(at(FPos)); ++FPos) {
    const Char C = at(FPos).toLower();
    if (Code <= 0xFFFF) Code = Code * (Hex ? 16 : 10) + (isDigit(C) ? C.unicode() - u'0' : C.unicode() - u'a' + 10);
  }
  if (!Valid || Code > 0xFFFF) Error(QStringLiteral("Invalid character code #%1").arg(text(Start, FPos)));
  FTokenString += Char(char16_t(Code));
}

void TParser::readNumber() {
  const qsizetype Start = FPos;
  FToken = TToken::Integer;
  if (at(FPos) == u'$') {
    for (++FPos; isHexDigit(at(FPos)); ++FPos) {
    }
  } else {
    for (++FPos; isDigit(at(FPos)); ++FPos) {
    }
    for (; isDigit(at(FPos)) || CharInSet(at(FPos), {u'.', u'e', u'E', u'+', u'-'}); ++FPos) FToken = TToken::Float;
    if (CharInSet(at(FPos), {u's', u'S', u'c', u'C', u'd', u'D', u'f', u'F'})) {
      FToken = TToken::Float;
      const char16_t Suffix = at(FPos).toLower().unicode();
      FFloatType = Suffix == u'f' ? 0 : Suffix;
      FTokenString = text(Start, FPos);
      ++FPos;
      return;
    }
  }
  FTokenString = text(Start, FPos);
}

Int64 TParser::TokenInt() const {
  Int64 Value = 0;
  if (!TryStrToInt64(FTokenString, Value)) Error(QStringLiteral("'%1' is not a valid integer value").arg(FTokenString));
  return Value;
}

double TParser::TokenFloat() const {
  const QByteArray Text = FTokenString.toLatin1();
  double Value = 0;
  const auto [End, Status] = std::from_chars(Text.constData(), Text.constData() + Text.size(), Value);
  if (Status != std::errc() || End != Text.constData() + Text.size())
    Error(QStringLiteral("'%1' is not a valid floating point value").arg(FTokenString));
  return Value;
}

// Parsed as a float itself: going through a double could round twice.
float TParser::TokenSingle() const {
  const QByteArray Text = FTokenString.toLatin1();
  float Value = 0;
  const auto [End, Status] = std::from_chars(Text.constData(), Text.constData() + Text.size(), Value);
  if (Status != std::errc() || End != Text.constData() + Text.size())
    Error(QStringLiteral("'%1' is not a valid floating point value").arg(FTokenString));
  return Value;
}

// The text is the amount times 10^4: exact when it is an integer.
Currency TParser::TokenCurrency() const {
  Int64 Raw = 0;
  if (TryStrToInt64(FTokenString, Raw)) return Currency::FromRaw(Raw);
  return Currency(TokenFloat() / Currency::Scale);
}

String TParser::TokenComponentIdent() {
  while (at(FPos) == u'.' && identCharLength(FPos + 1, /*First=*/true) > 0) {
    const qsizetype Start = ++FPos;
    FPos = identEnd(FPos);
    FTokenString += u'.' + text(Start, FPos);
  }
  return FTokenString;
}

TBytes TParser::HexToBinary() {
  QByteArray Hex;
  for (skipBlanks(); at(FPos) != u'}'; skipBlanks()) {
    if (!isHexDigit(at(FPos))) Error(QStringLiteral("Invalid binary value"));
    Hex += FText[FPos++];
  }
  if (Hex.size() % 2 != 0) Error(QStringLiteral("Invalid binary value"));
  NextToken();
  const QByteArray Bytes = QByteArray::fromHex(Hex);
  return TBytes(Bytes.begin(), Bytes.end());
}

void TParser::CheckToken(TToken Expected) const {
  if (FToken == Expected) return;
  switch (Expected) {
    case TToken::Symbol:
      Error(QStringLiteral("Identifier expected"));
    case TToken::String:
      Error(QStringLiteral("String expected"));
    case TToken::Integer:
    case TToken::Float:
      Error(QStringLiteral("Number expected"));
    case TToken::EndOfText:
    case TToken::Char:
      break;
  }
  Error(QStringLiteral("Invalid property value"));
}

void TParser::CheckChar(char16_t Expected) const {
  if (!TokenIs(Expected)) Error(QStringLiteral("'%1' expected").arg(QChar(Expected)));
}

void TParser::CheckTokenSymbol(const char* Symbol) const {
  if (!TokenSymbolIs(Symbol)) Error(QStringLiteral("%1 expected").arg(String::fromLatin1(Symbol).toUpper()));
}

class TTextToBinary {
public:
  TTextToBinary(const QByteArray& Text, qsizetype Start, TEncoding* Encoding, TStream* Output)
      : FParser(Text, Start, Encoding), FWriter(Output) {}

  void Convert() {
    FWriter.WriteSignature();
    convertObject();
    FWriter.FlushBuffer();
  }

private:
  // One level deeper for as long as the result lives; bounds the recursion
  // of objects, lists and collections.
  auto deeper() {
    if (FDepth >= MaxStreamNesting) FParser.Error(QStringLiteral("Nesting exceeds %1 levels").arg(MaxStreamNesting));
    ++FDepth;
    return TScopeExit([this] { --FDepth; });
  }

  bool atObjectStart() const {
    return FParser.TokenSymbolIs("object") || FParser.TokenSymbolIs("inherited") || FParser.TokenSymbolIs("inline");
  }
  void convertObject();
  void convertHeader(TFilerFlags Flags);
  void convertProperty();
  void convertValue();
  void convertSet();
  void convertCollection();

  TParser FParser;
  TWriter FWriter;
  int FDepth = 0;
};

void TTextToBinary::convertObject() {
  const auto Depth = deeper();
  TFilerFlags Flags;
  if (FParser.TokenSymbolIs("inherited"))
    Flags.Include(ffInherited);
  else if (FParser.TokenSymbolIs("inline"))
    Flags.Include(ffInline);
  else
    FParser.CheckTokenSymbol("object");
  FParser.NextToken();
  convertHeader(Flags);
  while (!FParser.TokenSymbolIs("end") && !atObjectStart()) convertProperty();
  FWriter.WriteListEnd();
  while (!FParser.TokenSymbolIs("end")) convertObject();
  FWriter.WriteListEnd();
  FParser.NextToken();
}

void TTextToBinary::convertHeader(TFilerFlags Flags) {
  FParser.CheckToken(TToken::Symbol);
  String ClassName = FParser.TokenString();
  String ObjectName;
  FParser.NextToken();
  if (FParser.TokenIs(u':')) {
    FParser.NextToken();
    FParser.CheckToken(TToken::Symbol);
    ObjectName = ClassName;
    ClassName = FParser.TokenString();
    FParser.NextToken();
  }
  int ChildPos = 0;
  if (FParser.TokenIs(u'[')) {
    FParser.NextToken();
    FParser.CheckToken(TToken::Integer);
    ChildPos = int(FParser.TokenInt());
    FParser.NextToken();
    FParser.CheckChar(u']');
    FParser.NextToken();
    Flags.Include(ffChildPos);
  }
  FWriter.WritePrefix(Flags, ChildPos);
  FWriter.WriteStr(ClassName);
  FWriter.WriteStr(ObjectName);
}

void TTextToBinary::convertProperty() {
  FParser.CheckToken(TToken::Symbol);
  String Name = FParser.TokenString();
  FParser.NextToken();
  while (FParser.TokenIs(u'.')) {
    FParser.NextToken();
    FParser.CheckToken(TToken::Symbol);
    Name += u'.' + FParser.TokenString();
    FParser.NextToken();
  }
  FWriter.WriteStr(Name);
  FParser.CheckChar(u'=');
  FParser.NextToken();
  convertValue();
}

void TTextToBinary::convertValue() {
  if (FParser.Token() == TToken::String) {
    String Value = FParser.TokenString();
    for (FParser.NextToken(); FParser.TokenIs(u'+'); FParser.NextToken()) {
      FParser.NextToken();
      FParser.CheckToken(TToken::String);
      Value += FParser.TokenString();
    }
    FWriter.WriteString(Value);
    return;
  }
  switch (FParser.Token()) {
    case TToken::Symbol:
      FWriter.WriteIdent(FParser.TokenComponentIdent());
      break;
    case TToken::Integer:
      FWriter.WriteInteger(FParser.TokenInt());
      break;
    case TToken::Float:
      switch (FParser.FloatType()) {
        case u's':
          FWriter.WriteSingle(FParser.TokenSingle());
          break;
        case u'c':
          FWriter.WriteCurrency(FParser.TokenCurrency());
          break;
        case u'd':
          FWriter.WriteDate(FParser.TokenFloat());
          break;
        default:
          FWriter.WriteFloat(FParser.TokenFloat());
      }
      break;
    case TToken::Char:
      if (FParser.TokenIs(u'[')) {
        convertSet();
      } else if (FParser.TokenIs(u'(')) {
        const auto Depth = deeper();
        FParser.NextToken();
        FWriter.WriteListBegin();
        while (!FParser.TokenIs(u')')) convertValue();
        FWriter.WriteListEnd();
      } else if (FParser.TokenIs(u'{')) {
        const TBytes Bytes = FParser.HexToBinary();
        FWriter.WriteBinary(Bytes.data(), Int64(Bytes.size()));
      } else if (FParser.TokenIs(u'<')) {
        convertCollection();
      } else {
        FParser.Error(QStringLiteral("Invalid property value"));
      }
      break;
    case TToken::String:
    case TToken::EndOfText:
      FParser.Error(QStringLiteral("Invalid property value"));
  }
  FParser.NextToken();
}

void TTextToBinary::convertSet() {
  FParser.NextToken();
  FWriter.WriteValue(vaSet);
  while (!FParser.TokenIs(u']')) {
    if (FParser.Token() != TToken::Integer) FParser.CheckToken(TToken::Symbol);
    FWriter.WriteStr(FParser.TokenString());
    FParser.NextToken();
    if (FParser.TokenIs(u']')) break;
    FParser.CheckChar(u',');
    FParser.NextToken();
  }
  FWriter.WriteStr(String());
}

void TTextToBinary::convertCollection() {
  const auto Depth = deeper();
  FParser.NextToken();
  FWriter.WriteValue(vaCollection);
  while (!FParser.TokenIs(u'>')) {
    FParser.CheckTokenSymbol("item");
    FParser.NextToken();
    if (FParser.TokenIs(u'[')) {
      FParser.NextToken();
      FParser.CheckToken(TToken::Integer);
      FWriter.WriteInteger(FParser.TokenInt());
      FParser.NextToken();
      FParser.CheckChar(u']');
      FParser.NextToken();
    }
    FWriter.WriteListBegin();
    while (!FParser.TokenSymbolIs("end")) convertProperty();
    FWriter.WriteListEnd();
    FParser.NextToken();
  }
  FWriter.WriteListEnd();
}

// UTF-8 after a byte-order mark, which Start skips, or when valid; other
// text was written in the ANSI code page.  Checked in pieces, so that no
// decoded copy of the whole text is made.
TEncoding* textEncoding(const QByteArray& Bytes, qsizetype& Start) {
  Start = 0;
  if (Bytes.startsWith(QByteArrayView(Utf8Bom, sizeof Utf8Bom))) {
    Start = sizeof Utf8Bom;
    return TEncoding::UTF8();
  }
  constexpr qsizetype Piece = 1 << 16;
  QStringDecoder Decoder(QStringDecoder::Utf8);
  std::vector<QChar> Decoded(std::size_t(Decoder.requiredSpace(Piece)));
  for (qsizetype At = 0; At < Bytes.size() && !Decoder.hasError(); At += Piece)
    Decoder.appendToBuffer(Decoded.data(), QByteArrayView(Bytes).sliced(At, std::min(Piece, Bytes.size() - At)));
  return Decoder.hasError() ? TEncoding::ANSI() : TEncoding::UTF8();
}

// The bytes from Input's position to its end.  A memory stream's stay where
// they are, which saves a copy of hundreds of MB, unless Output is the same
// stream and could move them.
QByteArray remainingBytes(TStream* Input, TStream* Output) {
  const Int64 Start = Input->Position();
  const Int64 Count = Input->Size() - Start;
  auto* Memory = dynamic_cast<TCustomMemoryStream*>(Input);
  if (Memory && Input != Output && Start >= 0 && Count >= 0) {
    Input->Seek(Count, soCurrent);
    return QByteArray::fromRawData(static_cast<const char*>(Memory->Memory()) + Start, qsizetype(Count));
  }
  QByteArray Bytes(qsizetype(std::max<Int64>(Count, 0)), Qt::Uninitialized);
  Input->ReadBuffer(Bytes.data(), Count);
  return Bytes;
}

}  // namespace

void ObjectBinaryToText(TStream* Input, TStream* Output) { TBinaryToText(Input, Output).Convert(); }

void ObjectTextToBinary(TStream* Input, TStream* Output) {
  const QByteArray Text = remainingBytes(Input, Output);
  qsizetype Start = 0;
  TEncoding* const Encoding = textEncoding(Text, Start);
  TTextToBinary(Text, Start, Encoding, Output).Convert();
}

TStreamOriginalFormat TestStreamFormat(TStream* Stream) {
  const Int64 Start = Stream->Position();
  Byte Head[sizeof BinarySignature] = {};
  const Integer Got = Stream->Read(Head, sizeof Head);
  Stream->SetPosition(Start);
  if (Got == sizeof Head && std::memcmp(Head, BinarySignature, sizeof Head) == 0) return sofBinary;
  if (Got >= Integer(sizeof Utf8Bom) && std::memcmp(Head, Utf8Bom, sizeof Utf8Bom) == 0) return sofUTF8Text;
  if (Got >= 1 && CharInSet(Char(Head[0]), {u'o', u'O', u'i', u'I', u' ', u'\t', u'\r', u'\n'})) return sofText;
  return sofUnknown;
}
