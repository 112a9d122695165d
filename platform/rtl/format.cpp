#include "platform/rtl/format.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/variant.h"

#include <algorithm>

TVarRec::TVarRec(const char* Value)
    : VType(vtUnicodeString), VInteger(0), VUnicodeString(String::fromUtf8(Value)) {}

namespace {

// One run of Format over its arguments.
class TFormatter {
public:
  TFormatter(const String& Fmt, std::initializer_list<TVarRec> Args, const TFormatSettings& Settings)
      : FFmt(Fmt), FArgs(Args), FSettings(Settings) {}

  String run();

private:
  [[noreturn]] void invalid() const {
    throw EConvertError(QStringLiteral("Format '") + FFmt +
                        QStringLiteral("' invalid or incompatible with argument"));
  }
  [[noreturn]] void missing() const {
    throw EConvertError(QStringLiteral("No argument for format '") + FFmt + u'\'');
  }

  const TVarRec& nextArg();
  // A number of the specifier at FPos: digits, '*' (taken from the
  // arguments), or -1 when there is neither.
  int readNumber();
  String convert(Char Type, int Precision);
  Int64 integerArg(const TVarRec& A) const;
  String floatArg(const TVarRec& A, TFloatFormat Format, int Precision, int Digits) const;

  const String& FFmt;
  std::initializer_list<TVarRec> FArgs;
  const TFormatSettings& FSettings;
  qsizetype FPos = 0;
  std::size_t FArgIndex = 0;
};

const TVarRec& TFormatter::nextArg() {
  if (FArgIndex >= FArgs.size()) missing();
  return FArgs.begin()[FArgIndex++];
}

int TFormatter::readNumber() {
  if (FPos < FFmt.size() && FFmt[FPos] == u'*') {
    ++FPos;
    const TVarRec& A = nextArg();
    if (A.VType != vtInteger) invalid();
    return std::max(A.VInteger, 0);
  }
  int N = -1;
  for (; FPos < FFmt.size() && FFmt[FPos].isDigit() && FFmt[FPos] <= u'9'; ++FPos)
    N = std::min(std::max(N, 0) * 10 + (FFmt[FPos].unicode() - u'0'), 1 << 20);
  return N;
}

String TFormatter::run() {
  String Result;
  const qsizetype Len = FFmt.size();
  while (FPos < Len) {
    const qsizetype Percent = FFmt.indexOf(u'%', FPos);
    if (Percent < 0) {
      Result += QStringView(FFmt).mid(FPos);
      break;
    }
    Result += QStringView(FFmt).mid(FPos, Percent - FPos);
    FPos = Percent + 1;
    if (FPos < Len && FFmt[FPos] == u'%') {
      Result += u'%';
      ++FPos;
      continue;
    }
    int Width = readNumber();
    if (FPos < Len && FFmt[FPos] == u':') {
      FArgIndex = std::size_t(std::max(Width, 0));
      ++FPos;
      Width = -1;
    }
    bool LeftAligned = false;
    if (Width < 0) {
      if (FPos < Len && FFmt[FPos] == u'-') {
        LeftAligned = true;
        ++FPos;
      }
      Width = readNumber();
    }
    int Precision = -1;
    if (FPos < Len && FFmt[FPos] == u'.') {
      ++FPos;
      Precision = std::max(readNumber(), 0);
    }
    if (FPos >= Len) invalid();
    const String Text = convert(FFmt[FPos++].toUpper(), Precision);
    Result += LeftAligned ? Text.leftJustified(Width, u' ') : Text.rightJustified(Width, u' ');
  }
  return Result;
}

Int64 TFormatter::integerArg(const TVarRec& A) const {
  switch (A.VType) {
    case vtInteger: return A.VInteger;
    case vtInt64: return A.VInt64;
    case vtVariant: return A.VVariant->AsInt64();
    default: invalid();
  }
}

String TFormatter::floatArg(const TVarRec& A, TFloatFormat Format, int Precision, int Digits) const {
  switch (A.VType) {
    case vtExtended: return FloatToStrF(A.VExtended, Format, Precision, Digits, FSettings);
    case vtCurrency:
      // Exact when the layout counts decimals; the significant-digit
      // formats go through double as any other value.
      if (Format == ffFixed || Format == ffNumber || Format == ffCurrency)
        return CurrToStrF(A.VCurrency, Format, Digits, FSettings);
      return FloatToStrF(A.VCurrency.ToDouble(), Format, Precision, Digits, FSettings);
    case vtVariant: {
      const Variant& V = *A.VVariant;
      return floatArg(VarType(V) == varCurrency ? TVarRec(V.AsCurrency()) : TVarRec(V.AsDouble()), Format,
                      Precision, Digits);
    }
    default: invalid();
  }
}

String TFormatter::convert(Char Type, int Precision) {
  const TVarRec& A = nextArg();
  switch (Type.unicode()) {
    case u'D':
    case u'U': {
      String Digits;
      bool Negative = false;
      if (A.VType == vtUInt64) {
        Digits = UIntToStr(A.VUInt64);
      } else {
        const Int64 V = integerArg(A);
        // %u shows a negative value's bits in the width of its kind (a
        // Variant counts as 64-bit).
        const UInt64 Bits = A.VType == vtInteger ? UInt64(Cardinal(V)) : UInt64(V);
        Negative = Type == u'D' && V < 0;
        Digits = Type == u'D' ? UIntToStr(Negative ? 0 - UInt64(V) : UInt64(V)) : UIntToStr(Bits);
      }
      Digits = Digits.rightJustified(Precision, u'0');
      return Negative ? u'-' + Digits : Digits;
    }
    case u'X': {
      if (A.VType == vtUInt64) return IntToHex(A.VUInt64, Precision);
      const Int64 V = integerArg(A);
      return A.VType == vtInteger ? IntToHex(Integer(V), Precision) : IntToHex(V, Precision);
    }
    case u'S': {
      String S;
      switch (A.VType) {
        case vtUnicodeString: S = A.VUnicodeString; break;
        case vtWideChar: S = QChar(A.VWideChar); break;
        case vtChar: S = AnsiString(QByteArray(1, A.VChar), DefaultSystemCodePage()).ToString(); break;
        case vtAnsiString: S = A.VAnsiString->ToString(); break;
        case vtVariant: S = VarToStr(*A.VVariant); break;
        default: invalid();
      }
      return Precision >= 0 ? S.left(Precision) : S;
    }
    case u'F': return floatArg(A, ffFixed, 15, Precision < 0 ? 2 : Precision);
    case u'N': return floatArg(A, ffNumber, 15, Precision < 0 ? 2 : Precision);
    case u'M': return floatArg(A, ffCurrency, 15, Precision < 0 ? FSettings.CurrencyDecimals : Precision);
    case u'E': return floatArg(A, ffExponent, Precision < 0 ? 15 : Precision, 3);
    case u'G': return floatArg(A, ffGeneral, Precision < 0 ? 15 : Precision, 0);
    case u'P':
      if (A.VType != vtPointer) invalid();
      return IntToHex(UInt64(reinterpret_cast<NativeUInt>(A.VPointer)), int(2 * sizeof(void*)));
    default: invalid();
  }
}

}  // namespace

String Format(const String& Fmt, std::initializer_list<TVarRec> Args) {
  return Format(Fmt, Args, FormatSettings());
}

String Format(const String& Fmt, std::initializer_list<TVarRec> Args, const TFormatSettings& Settings) {
  return TFormatter(Fmt, Args, Settings).run();
}

Exception::Exception(const String& Fmt, std::initializer_list<TVarRec> Args) : Exception(Format(Fmt, Args)) {}
