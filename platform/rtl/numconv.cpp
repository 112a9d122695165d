#include "platform/rtl/numconv.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strutils.h"

#include <QStringView>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Significant digits a double carries reliably, and the most an exact
// currency amount has.
constexpr int DoubleDigits = 15;
constexpr int CurrencyDigits = 19;

// ---- reading --------------------------------------------------------------

int digitValue(Char C, int Base) {
  const char16_t U = C.unicode();
  if (U >= u'0' && U <= u'9') return U - u'0';
  if (Base == 16 && U >= u'A' && U <= u'F') return U - u'A' + 10;
  if (Base == 16 && U >= u'a' && U <= u'f') return U - u'a' + 10;
  return -1;
}

// Reads S as Val does, into an integer of Bits (32 or 64) bits.  Answers 0,
// or the 1-based position of the first char that could not be used.
int readInteger(const String& S, int Bits, Int64& Value) {
  const qsizetype Len = S.size();
  qsizetype I = 0;
  while (I < Len && S[I] == u' ') ++I;
  bool Negative = false;
  if (I < Len && (S[I] == u'-' || S[I] == u'+')) Negative = S[I++] == u'-';
  int Base = 10;
  if (I < Len && S[I] == u'$') {
    Base = 16;
    I += 1;
  } else if (I + 1 < Len && S[I] == u'0' && (S[I + 1] == u'x' || S[I + 1] == u'X')) {
    Base = 16;
    I += 2;
  } else if (I < Len && (S[I] == u'x' || S[I] == u'X')) {
    Base = 16;
    I += 1;
  }
  // Hex may use every bit of the width; decimal stops at the signed range.
  const UInt64 Limit = Base == 16 ? UINT64_MAX >> (64 - Bits)
                                  : (UInt64(1) << (Bits - 1)) - (Negative ? 0 : 1);
  const qsizetype First = I;
  UInt64 Magnitude = 0;
  for (; I < Len; ++I) {
    const int D = digitValue(S[I], Base);
    if (D < 0) break;
    if (Magnitude > (Limit - D) / Base) return int(I + 1);
    Magnitude = Magnitude * Base + D;
  }
  if (I == First || I < Len) return int(I + 1);
  const UInt64 Bits64 = Negative ? 0 - Magnitude : Magnitude;
  Value = Bits == 32 ? Int64(Integer(Cardinal(Bits64))) : Int64(Bits64);
  return 0;
}

// A number read from text: Digits x 10^Exponent.
struct TDecimalText {
  bool Negative = false;
  std::string Digits;
  int Exponent = 0;
};

bool readDigits(const String& S, qsizetype& I, std::string& Digits) {
  const qsizetype First = I;
  for (; I < S.size() && S[I] >= u'0' && S[I] <= u'9'; ++I) Digits += char(S[I].unicode());
  return I > First;
}

// Reads [sign] digits [Separator digits] [E [sign] digits] at I, leaving I
// after what was read, or at the failing char when there is no mantissa
// digit or the exponent has no digits.
bool readDecimal(const String& S, qsizetype& I, Char Separator, TDecimalText& D) {
  if (I < S.size() && (S[I] == u'-' || S[I] == u'+')) D.Negative = S[I++] == u'-';
  bool HasDigits = readDigits(S, I, D.Digits);
  if (I < S.size() && S[I] == Separator) {
    ++I;
    const std::size_t Before = D.Digits.size();
    HasDigits = readDigits(S, I, D.Digits) || HasDigits;
    D.Exponent -= int(D.Digits.size() - Before);
  }
  if (!HasDigits) return false;
  if (I < S.size() && (S[I] == u'E' || S[I] == u'e')) {
    ++I;
    bool NegativeExponent = false;
    if (I < S.size() && (S[I] == u'-' || S[I] == u'+')) NegativeExponent = S[I++] == u'-';
    std::string ExpDigits;
    if (!readDigits(S, I, ExpDigits)) return false;
    // Far beyond any double's range; the cap only keeps the sum in an int.
    int Exponent = 0;
    for (char C : ExpDigits) Exponent = std::min(Exponent * 10 + (C - '0'), 100000);
    D.Exponent += NegativeExponent ? -Exponent : Exponent;
  }
  return true;
}

// The nearest double; false when the value overflows.  Underflow gives 0.
bool toDouble(const TDecimalText& D, double& Value) {
  const std::size_t First = D.Digits.find_first_not_of('0');
  if (First == std::string::npos) {
    Value = 0;
    return true;
  }
  const std::string Text = D.Digits.substr(First) + 'e' + std::to_string(D.Exponent);
  double Result = 0;
  const auto [Ptr, Ec] = std::from_chars(Text.data(), Text.data() + Text.size(), Result);
  if (Ec == std::errc::result_out_of_range) {
    if (int(D.Digits.size() - First) + D.Exponent > 0) return false;
    Result = 0;
  }
  Value = D.Negative ? -Result : Result;
  return true;
}

// Reads the whole of S, allowing blanks around the number.
bool readWholeDecimal(const String& S, Char Separator, TDecimalText& D) {
  qsizetype Begin = 0, End = S.size();
  while (Begin < End && S[Begin] == u' ') ++Begin;
  while (End > Begin && S[End - 1] == u' ') --End;
  const String Text = S.mid(Begin, End - Begin);
  qsizetype I = 0;
  return readDecimal(Text, I, Separator, D) && I == Text.size();
}

[[noreturn]] void raiseNotFloat(const String& S) {
  throw EConvertError(QStringLiteral("'%s' is not a valid floating point value"), {S});
}

// ---- writing --------------------------------------------------------------

// A value as 0.Digits x 10^Point: Digits has no leading or trailing zeros and
// is empty for zero.
struct TDecimal {
  bool Negative = false;
  std::string Digits;
  int Point = 0;
};

void normalize(TDecimal& D) {
  const std::size_t First = D.Digits.find_first_not_of('0');
  if (First == std::string::npos) {
    D.Digits.clear();
    D.Point = 0;
    return;
  }
  D.Digits.erase(0, First);
  D.Point -= int(First);
  D.Digits.erase(D.Digits.find_last_not_of('0') + 1);
}

// The 15 significant digits of a finite double, correctly rounded.
TDecimal decimalOf(double Value) {
  char Buf[40];
  const char* End =
      std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific, DoubleDigits - 1).ptr;
  TDecimal D;
  D.Negative = std::signbit(Value);
  const char* P = Buf;
  for (; *P != 'e'; ++P)
    if (*P >= '0' && *P <= '9') D.Digits += *P;
  int Exponent = 0;
  std::from_chars(P + 1 + (P[1] == '+'), End, Exponent);
  D.Point = Exponent + 1;
  normalize(D);
  return D;
}

TDecimal decimalOf(Currency Value) {
  const Int64 Raw = Value.Raw();
  TDecimal D;
  D.Negative = Raw < 0;
  D.Digits = std::to_string(Raw < 0 ? 0 - UInt64(Raw) : UInt64(Raw));
  D.Point = int(D.Digits.size()) - 4;
  normalize(D);
  return D;
}

// Keeps the first Keep digits, rounding the rest half away from zero.
void roundDigits(TDecimal& D, int Keep) {
  if (Keep >= int(D.Digits.size())) return;
  const bool Up = Keep >= 0 && D.Digits[Keep] >= '5';
  D.Digits.resize(std::max(Keep, 0));
  if (Up) {
    int I = Keep - 1;
    for (; I >= 0 && D.Digits[I] == '9'; --I) D.Digits[I] = '0';
    if (I >= 0) {
      ++D.Digits[I];
    } else {
      D.Digits.insert(D.Digits.begin(), '1');
      ++D.Point;
    }
  }
  normalize(D);
}

// Rounds to Decimals digits after the point.
void roundDecimals(TDecimal& D, int Decimals) { roundDigits(D, D.Point + Decimals); }

bool isZero(const TDecimal& D) { return D.Digits.empty(); }

// Digit I counted from the point (0 = first integer digit when Point > 0);
// digits beyond the stored ones are zeros.
char digitAt(const TDecimal& D, int I) {
  return I >= 0 && I < int(D.Digits.size()) ? D.Digits[I] : '0';
}

String latin(const std::string& S) { return String::fromLatin1(S.data(), qsizetype(S.size())); }

// The integer digits of |D| ("" below one).
std::string integerDigits(const TDecimal& D) {
  std::string S;
  for (int I = 0; I < D.Point; ++I) S += digitAt(D, I);
  return S;
}

// The first Count digits after the point of |D|.
std::string fractionDigits(const TDecimal& D, int Count) {
  std::string S;
  for (int I = 0; I < Count; ++I) S += digitAt(D, D.Point + I);
  return S;
}

String exponentText(int Exponent, int MinDigits, bool AlwaysSign) {
  String S = Exponent < 0 ? QStringLiteral("-") : AlwaysSign ? QStringLiteral("+") : String();
  const String Digits = QString::number(std::abs(Exponent));
  return S + String(std::max<qsizetype>(MinDigits - Digits.size(), 0), u'0') + Digits;
}

// |D| as fixed digits with exactly Decimals decimals (D already rounded),
// the integer part grouped by three when Grouped.
String fixedText(const TDecimal& D, int Decimals, const TFormatSettings& Settings, bool Grouped) {
  const std::string Int = integerDigits(D);
  String S;
  if (Int.empty()) S = QStringLiteral("0");
  for (std::size_t I = 0; I < Int.size(); ++I) {
    if (Grouped && I > 0 && (Int.size() - I) % 3 == 0) S += Settings.ThousandSeparator;
    S += QChar(Int[I]);
  }
  if (Decimals > 0) S += Settings.DecimalSeparator + latin(fractionDigits(D, Decimals));
  return S;
}

// Text with a minus sign when D is below zero (never "-0").
String withSign(const TDecimal& D, const String& Text) {
  return D.Negative && !isZero(D) ? QStringLiteral("-") + Text : Text;
}

// d.ddd (Precision digits) E sign exponent.
String exponentFormat(TDecimal D, int Precision, int ExpDigits, const TFormatSettings& Settings) {
  roundDigits(D, Precision);
  const int Exponent = isZero(D) ? 0 : D.Point - 1;
  D.Point = 1;
  return withSign(D, fixedText(D, Precision - 1, Settings, false) + u'E' +
                         exponentText(Exponent, ExpDigits, true));
}

// The shortest form: plain digits while the decimal exponent is in
// -4..Precision-1, else d.dddE[-]x.
String generalFormat(TDecimal D, int Precision, int ExpDigits, const TFormatSettings& Settings) {
  roundDigits(D, Precision);
  if (isZero(D)) return QStringLiteral("0");
  const int Exponent = D.Point - 1;
  if (Exponent >= -4 && Exponent < Precision) {
    const int Decimals = std::max(int(D.Digits.size()) - D.Point, 0);
    return withSign(D, fixedText(D, Decimals, Settings, false));
  }
  String S = QChar(D.Digits[0]);
  if (D.Digits.size() > 1) S += Settings.DecimalSeparator + latin(D.Digits.substr(1));
  return withSign(D, S + u'E' + exponentText(Exponent, ExpDigits, false));
}

String currencyFormat(const TDecimal& D, const String& Number, const TFormatSettings& Settings) {
  // '$' stands for the currency string, '1' for the number.
  static const char* const Positive[] = {"$1", "1$", "$ 1", "1 $"};
  static const char* const Negative[] = {"($1)", "-$1", "$-1", "$1-",   "(1$)", "-1$",  "1-$",  "1$-",
                                         "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
  const char* Pattern = D.Negative && !isZero(D) ? Negative[std::min<int>(Settings.NegCurrFormat, 15)]
                                                 : Positive[std::min<int>(Settings.CurrencyFormat, 3)];
  String S;
  for (const char* P = Pattern; *P; ++P) {
    if (*P == '$')
      S += Settings.CurrencyString;
    else if (*P == '1')
      S += Number;
    else
      S += QChar(*P);
  }
  return S;
}

String specialText(double Value) {
  if (std::isnan(Value)) return QStringLiteral("NAN");
  return Value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// The layout of FloatToStrF and CurrToStrF over a decimal of at most
// Precision significant digits.
String formatDecimal(TDecimal D, TFloatFormat Format, int Precision, int Digits,
                     const TFormatSettings& Settings) {
  switch (Format) {
    case ffGeneral:
      return generalFormat(D, Precision, std::clamp(Digits, 0, 4), Settings);
    case ffExponent:
      return exponentFormat(D, Precision, std::clamp(Digits, 0, 4), Settings);
    case ffFixed:
    case ffNumber:
    case ffCurrency:
      break;
  }
  roundDigits(D, Precision);
  if (D.Point > Precision) return generalFormat(D, Precision, 0, Settings);
  const int Decimals = std::clamp(Digits, 0, 18);
  roundDecimals(D, Decimals);
  const String Number = fixedText(D, Decimals, Settings, Format != ffFixed);
  return Format == ffCurrency ? currencyFormat(D, Number, Settings) : withSign(D, Number);
}

// ---- display masks --------------------------------------------------------

// One piece of a FormatFloat mask section.
struct TMaskToken {
  enum TKind { Literal, Place, Point, Comma, Exponent } Kind;
  String Text;            // Literal: the text; Exponent: "E" or "e"
  bool Forced = false;    // Place: '0' rather than '#'
  bool InFraction = false;  // Place: after the decimal point
  bool PlusSign = false;  // Exponent: "E+" rather than "E-"
  int ExpDigits = 0;
};

// The sections of Mask split at ';' outside quotes.
std::vector<QStringView> maskSections(QStringView Mask) {
  std::vector<QStringView> Sections;
  qsizetype Start = 0;
  Char Quote = u'\0';
  for (qsizetype I = 0; I < Mask.size(); ++I) {
    const Char C = Mask[I];
    if (Quote != u'\0') {
      if (C == Quote) Quote = u'\0';
    } else if (C == u'\'' || C == u'"') {
      Quote = C;
    } else if (C == u';' && Sections.size() < 2) {
      Sections.push_back(Mask.mid(Start, I - Start));
      Start = I + 1;
    }
  }
  Sections.push_back(Mask.mid(Start));
  return Sections;
}

std::vector<TMaskToken> maskTokens(QStringView Section) {
  std::vector<TMaskToken> Tokens;
  bool SeenPoint = false, SeenExponent = false;
  const qsizetype Len = Section.size();
  for (qsizetype I = 0; I < Len; ++I) {
    const Char C = Section[I];
    if (C == u'\'' || C == u'"') {
      const qsizetype Close = Section.indexOf(C, I + 1);
      const qsizetype End = Close < 0 ? Len : Close;
      Tokens.push_back({TMaskToken::Literal, Section.mid(I + 1, End - I - 1).toString()});
      I = End;
    } else if ((C == u'0' || C == u'#') && !SeenExponent) {
      Tokens.push_back({TMaskToken::Place, String(), C == u'0', SeenPoint});
    } else if (C == u'.' && !SeenPoint && !SeenExponent) {
      SeenPoint = true;
      Tokens.push_back({TMaskToken::Point, String()});
    } else if (C == u',') {
      Tokens.push_back({TMaskToken::Comma, String()});
    } else if ((C == u'E' || C == u'e') && !SeenExponent && I + 2 < Len &&
               (Section[I + 1] == u'+' || Section[I + 1] == u'-') && Section[I + 2] == u'0') {
      SeenExponent = true;
      TMaskToken T{TMaskToken::Exponent, String(C), false, false, Section[I + 1] == u'+'};
      for (I += 2; I < Len && Section[I] == u'0' && T.ExpDigits < 4; ++I) ++T.ExpDigits;
      --I;
      Tokens.push_back(T);
    } else {
      Tokens.push_back({TMaskToken::Literal, String(C)});
    }
  }
  return Tokens;
}

// Lays Value out in one mask section.  ShowSign is false in the negative
// section, whose text carries the sign itself.
String applyMask(QStringView Section, TDecimal D, bool ShowSign, const TFormatSettings& Settings) {
  const std::vector<TMaskToken> Tokens = maskTokens(Section);
  int IntPlaces = 0, IntForcedFrom = -1, FracPlaces = 0, FracForced = 0;
  bool Grouped = false, Scientific = false, InFraction = false;
  for (const TMaskToken& T : Tokens) {
    switch (T.Kind) {
      case TMaskToken::Place:
        if (T.InFraction) {
          ++FracPlaces;
          if (T.Forced) FracForced = FracPlaces;
        } else {
          if (T.Forced && IntForcedFrom < 0) IntForcedFrom = IntPlaces;
          ++IntPlaces;
        }
        break;
      case TMaskToken::Point: InFraction = true; break;
      case TMaskToken::Comma: Grouped = Grouped || !InFraction; break;
      case TMaskToken::Exponent: Scientific = true; break;
      case TMaskToken::Literal: break;
    }
  }
  if (IntForcedFrom < 0) IntForcedFrom = IntPlaces;

  int Exponent = 0;
  if (Scientific) {
    roundDigits(D, IntPlaces + FracPlaces);
    if (!isZero(D)) {
      Exponent = D.Point - IntPlaces;
      D.Point = IntPlaces;
    }
  } else {
    roundDecimals(D, FracPlaces);
  }
  const std::string Int = integerDigits(D);
  const std::string Frac = fractionDigits(D, std::max(int(D.Digits.size()) - D.Point, 0));
  const int IntCount = int(Int.size());
  const int FracShown = std::max(int(Frac.size()), FracForced);

  String S;
  if (ShowSign && D.Negative && !isZero(D)) S += u'-';
  // A digit of the integer part, then the separator owed when After more
  // integer digits follow.
  auto putIntDigit = [&](char Digit, int After) {
    S += QChar(Digit);
    if (Grouped && After > 0 && After % 3 == 0) S += Settings.ThousandSeparator;
  };
  // Integer digits beyond the places all go where the first place is.
  auto putLeadingDigits = [&]() {
    for (int I = 0; I < IntCount - IntPlaces; ++I) putIntDigit(Int[I], IntCount - 1 - I);
  };
  int IntPlace = 0, FracPlace = 0;
  for (const TMaskToken& T : Tokens) {
    switch (T.Kind) {
      case TMaskToken::Literal: S += T.Text; break;
      case TMaskToken::Comma: break;
      case TMaskToken::Point:
        if (IntPlaces == 0) putLeadingDigits();
        if (FracShown > 0) S += Settings.DecimalSeparator;
        break;
      case TMaskToken::Exponent:
        S += T.Text + exponentText(Exponent, T.ExpDigits, T.PlusSign);
        break;
      case TMaskToken::Place:
        if (T.InFraction) {
          if (FracPlace < FracShown) S += QChar(FracPlace < int(Frac.size()) ? Frac[FracPlace] : '0');
          ++FracPlace;
        } else {
          if (IntPlace == 0) putLeadingDigits();
          const int Index = IntCount - IntPlaces + IntPlace;
          const int After = IntPlaces - 1 - IntPlace;
          if (Index >= 0)
            putIntDigit(Int[Index], After);
          else if (IntPlace >= IntForcedFrom)
            putIntDigit('0', After);
          ++IntPlace;
        }
        break;
    }
  }
  return S;
}

}  // namespace

// ---- integers ---------------------------------------------------------------

String IntToStr(Int64 Value) { return QString::number(Value); }

String UIntToStr(UInt64 Value) { return QString::number(Value); }

String IntToHex(UInt64 Bits, int Digits) {
  const String Hex = QString::number(Bits, 16).toUpper();
  return String(std::max<qsizetype>(Digits - Hex.size(), 0), u'0') + Hex;
}

bool TryStrToInt(const String& S, Integer& Value) {
  Int64 V = 0;
  if (readInteger(S, 32, V) != 0) return false;
  Value = Integer(V);
  return true;
}

bool TryStrToInt64(const String& S, Int64& Value) { return readInteger(S, 64, Value) == 0; }

Integer StrToInt(const String& S) {
  Integer V = 0;
  if (!TryStrToInt(S, V)) throw EConvertError(QStringLiteral("'%s' is not a valid integer value"), {S});
  return V;
}

Int64 StrToInt64(const String& S) {
  Int64 V = 0;
  if (!TryStrToInt64(S, V)) throw EConvertError(QStringLiteral("'%s' is not a valid integer value"), {S});
  return V;
}

Integer StrToIntDef(const String& S, Integer Default) {
  Integer V = 0;
  return TryStrToInt(S, V) ? V : Default;
}

Int64 StrToInt64Def(const String& S, Int64 Default) {
  Int64 V = 0;
  return TryStrToInt64(S, V) ? V : Default;
}

void Val(const String& S, Integer& Value, int& Code) {
  Int64 V = 0;
  Code = readInteger(S, 32, V);
  Value = Code == 0 ? Integer(V) : 0;
}

void Val(const String& S, Int64& Value, int& Code) {
  Int64 V = 0;
  Code = readInteger(S, 64, V);
  Value = Code == 0 ? V : 0;
}

void Val(const String& S, double& Value, int& Code) {
  qsizetype I = 0;
  while (I < S.size() && S[I] == u' ') ++I;
  TDecimalText D;
  double V = 0;
  const bool Read = readDecimal(S, I, u'.', D);
  Code = Read && I == S.size() && toDouble(D, V) ? 0 : int(I + 1);
  Value = Code == 0 ? V : 0;
}

// ---- floats -----------------------------------------------------------------

String FloatToStr(double Value) { return FloatToStr(Value, FormatSettings()); }

String FloatToStr(double Value, const TFormatSettings& Settings) {
  return FloatToStrF(Value, ffGeneral, DoubleDigits, 0, Settings);
}

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits) {
  return FloatToStrF(Value, Format, Precision, Digits, FormatSettings());
}

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits,
                   const TFormatSettings& Settings) {
  if (!std::isfinite(Value)) return specialText(Value);
  return formatDecimal(decimalOf(Value), Format, std::clamp(Precision, 1, DoubleDigits), Digits, Settings);
}

String Str(double X, int Width, int Decimals) {
  String S;
  if (!std::isfinite(X)) {
    S = specialText(X);
  } else {
    TDecimal D = decimalOf(X);
    const int Places = std::max(Decimals, 0);
    roundDecimals(D, Places);
    S = withSign(D, fixedText(D, Places, TFormatSettings::Invariant(), false));
  }
  return S.rightJustified(Width, u' ');
}

String FormatFloat(const String& Mask, double Value) { return FormatFloat(Mask, Value, FormatSettings()); }

String FormatFloat(const String& Mask, double Value, const TFormatSettings& Settings) {
  if (!std::isfinite(Value)) return specialText(Value);
  if (Mask.isEmpty()) return FloatToStrF(Value, ffGeneral, DoubleDigits, 0, Settings);
  const TDecimal D = decimalOf(Value);
  const std::vector<QStringView> Sections = maskSections(Mask);
  auto usable = [&](std::size_t I) { return I < Sections.size() && !Sections[I].isEmpty(); };
  if (isZero(D) && usable(2)) return applyMask(Sections[2], D, false, Settings);
  if (D.Negative && usable(1)) return applyMask(Sections[1], D, false, Settings);
  return applyMask(Sections[0], D, true, Settings);
}

double StrToFloat(const String& S) { return StrToFloat(S, FormatSettings()); }

double StrToFloat(const String& S, const TFormatSettings& Settings) {
  double V = 0;
  if (!TryStrToFloat(S, V, Settings)) raiseNotFloat(S);
  return V;
}

bool TryStrToFloat(const String& S, double& Value) { return TryStrToFloat(S, Value, FormatSettings()); }

bool TryStrToFloat(const String& S, double& Value, const TFormatSettings& Settings) {
  TDecimalText D;
  return readWholeDecimal(S, Settings.DecimalSeparator, D) && toDouble(D, Value);
}

double StrToFloatDef(const String& S, double Default) {
  return StrToFloatDef(S, Default, FormatSettings());
}

double StrToFloatDef(const String& S, double Default, const TFormatSettings& Settings) {
  double V = 0;
  return TryStrToFloat(S, V, Settings) ? V : Default;
}

// ---- booleans ---------------------------------------------------------------

String BoolToStr(bool B, bool UseBoolStrs) {
  if (UseBoolStrs) return B ? QStringLiteral("True") : QStringLiteral("False");
  return B ? QStringLiteral("-1") : QStringLiteral("0");
}

bool TryStrToBool(const String& S, bool& Value) {
  double Number = 0;
  if (SameText(S, QStringLiteral("True"))) {
    Value = true;
  } else if (SameText(S, QStringLiteral("False"))) {
    Value = false;
  } else if (TryStrToFloat(S, Number)) {
    Value = Number != 0;
  } else {
    return false;
  }
  return true;
}

bool StrToBool(const String& S) {
  bool B = false;
  if (!TryStrToBool(S, B)) throw EConvertError(QStringLiteral("'%s' is not a valid boolean value"), {S});
  return B;
}

// ---- currency ---------------------------------------------------------------

String CurrToStr(Currency Value) { return CurrToStr(Value, FormatSettings()); }

String CurrToStr(Currency Value, const TFormatSettings& Settings) {
  return CurrToStrF(Value, ffGeneral, 0, Settings);
}

String CurrToStrF(Currency Value, TFloatFormat Format, int Digits) {
  return CurrToStrF(Value, Format, Digits, FormatSettings());
}

String CurrToStrF(Currency Value, TFloatFormat Format, int Digits, const TFormatSettings& Settings) {
  return formatDecimal(decimalOf(Value), Format, CurrencyDigits, Digits, Settings);
}

Currency StrToCurr(const String& S) { return StrToCurr(S, FormatSettings()); }

Currency StrToCurr(const String& S, const TFormatSettings& Settings) {
  Currency V;
  if (!TryStrToCurr(S, V, Settings)) raiseNotFloat(S);
  return V;
}

bool TryStrToCurr(const String& S, Currency& Value) { return TryStrToCurr(S, Value, FormatSettings()); }

bool TryStrToCurr(const String& S, Currency& Value, const TFormatSettings& Settings) {
  TDecimalText D;
  return readWholeDecimal(S, Settings.DecimalSeparator, D) &&
         Currency::TryFromDecimal(D.Negative, D.Digits, D.Exponent, Value);
}
