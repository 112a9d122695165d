#include "platform/rtl/strutils.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>
#include <cassert>

constinit TSysLocale SysLocale{};

namespace {

bool isBlank(Char C) { return C.unicode() <= 0x20; }

String pathDelimiters() { return QStringLiteral("/\\"); }

bool isPathDelimiter(Char C) { return pathDelimiters().contains(C); }

String extensionDelimiters() { return QStringLiteral("./\\"); }

int sign(int V) { return (V > 0) - (V < 0); }

char16_t asciiUpper(char16_t C) { return C >= u'a' && C <= u'z' ? char16_t(C - u'a' + u'A') : C; }
char16_t asciiLower(char16_t C) { return C >= u'A' && C <= u'Z' ? char16_t(C - u'A' + u'a') : C; }

template <typename Fold>
int compareFolded(const String& S1, const String& S2, Fold fold) {
  const qsizetype N = std::min(S1.size(), S2.size());
  for (qsizetype I = 0; I < N; ++I) {
    const int D = int(fold(S1[I].unicode())) - int(fold(S2[I].unicode()));
    if (D != 0) return D;
  }
  return int(S1.size() - S2.size());
}

template <typename Map>
String mapAscii(const String& S, Map map) {
  String R = S;
  for (QChar& C : R) C = QChar(map(C.unicode()));
  return R;
}

// Maps code point by code point with the simple (one-to-one) Unicode case
// map; a result that would change the number of UTF-16 units is not taken,
// so every position in the copy is a position in S.
template <typename Map>
String mapUnicode(const String& S, Map map) {
  String R = S;
  QChar* P = R.data();
  const qsizetype N = R.size();
  for (qsizetype I = 0; I < N; ++I) {
    if (P[I].isHighSurrogate() && I + 1 < N && P[I + 1].isLowSurrogate()) {
      const char32_t M = map(QChar::surrogateToUcs4(P[I], P[I + 1]));
      if (QChar::requiresSurrogates(M)) {
        P[I] = QChar(QChar::highSurrogate(M));
        P[I + 1] = QChar(QChar::lowSurrogate(M));
      }
      ++I;
      continue;
    }
    const char32_t M = map(char32_t(P[I].unicode()));
    if (!QChar::requiresSurrogates(M)) P[I] = QChar(char16_t(M));
  }
  return R;
}

// The collators of the user locale, built once per locale: making an ICU
// collator costs far more than a compare, and compares run in sort loops.
struct TUserLocale {
  explicit TUserLocale(const String& LocaleName);

  String Name;
  QCollator CaseSensitive;
  QCollator CaseInsensitive;
};

// The "C" locale collates by code point ('B' < 'a'), unlike any locale a user
// works in; its texts are collated as English instead.
QLocale collationLocale(const String& Name) {
  const QLocale L(Name);
  return L.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : L;
}

TUserLocale::TUserLocale(const String& LocaleName)
    : Name(LocaleName),
      CaseSensitive(collationLocale(LocaleName)),
      CaseInsensitive(collationLocale(LocaleName)) {
  CaseInsensitive.setCaseSensitivity(Qt::CaseInsensitive);
  // A collator sets itself up on its first non-empty compare; doing it here
  // leaves later compares read-only, so threads may share them.
  CaseSensitive.compare(u"a", u"b");
  CaseInsensitive.compare(u"a", u"b");
}

TUserLocale* CurrentUserLocale = nullptr;

const TUserLocale& userLocale() {
  assert(CurrentUserLocale && "user locale used before the runtime unit was initialized");
  return *CurrentUserLocale;
}

}  // namespace

// 1-based text

int Length(const String& S) { return int(S.size()); }

String Copy(const String& S, int Index, int Count) {
  if (Index < 1) Index = 1;
  const int L = Length(S);
  if (Index > L || Count <= 0) return String();
  return S.mid(Index - 1, std::min(Count, L - Index + 1));
}

int Pos(const String& Sub, const String& S) { return PosEx(Sub, S, 1); }

int PosEx(const String& Sub, const String& S, int Offset) {
  if (Sub.isEmpty() || Offset < 1 || Offset > Length(S)) return 0;
  return int(S.indexOf(Sub, Offset - 1)) + 1;
}

void Delete(String& S, int Index, int Count) {
  const int L = Length(S);
  if (Index < 1 || Index > L || Count <= 0) return;
  S.remove(Index - 1, std::min(Count, L - Index + 1));
}

void Insert(const String& Sub, String& S, int Index) {
  S.insert(std::clamp(Index, 1, Length(S) + 1) - 1, Sub);
}

String StringOfChar(Char C, int Count) { return Count > 0 ? String(Count, C) : String(); }

String DupeString(const String& S, int Count) { return Count > 0 ? S.repeated(Count) : String(); }

int LastDelimiter(const String& Delimiters, const String& S) {
  for (int I = Length(S); I >= 1; --I)
    if (Delimiters.contains(S[I - 1])) return I;
  return 0;
}

bool IsDelimiter(const String& Delimiters, const String& S, int Index) {
  return Index >= 1 && Index <= Length(S) && Delimiters.contains(S[Index - 1]);
}

String Trim(const String& S) { return TrimLeft(TrimRight(S)); }

String TrimLeft(const String& S) {
  qsizetype I = 0;
  while (I < S.size() && isBlank(S[I])) ++I;
  return S.mid(I);
}

String TrimRight(const String& S) {
  qsizetype N = S.size();
  while (N > 0 && isBlank(S[N - 1])) --N;
  return S.left(N);
}

// ASCII case and ordinal compare

String UpperCase(const String& S) { return mapAscii(S, asciiUpper); }

String LowerCase(const String& S) { return mapAscii(S, asciiLower); }

int CompareStr(const String& S1, const String& S2) {
  return compareFolded(S1, S2, [](char16_t C) { return C; });
}

int CompareText(const String& S1, const String& S2) { return compareFolded(S1, S2, asciiUpper); }

bool SameText(const String& S1, const String& S2) { return CompareText(S1, S2) == 0; }

// locale case and compare

String AnsiUpperCase(const String& S) {
  return mapUnicode(S, [](char32_t C) { return QChar::toUpper(C); });
}

String AnsiLowerCase(const String& S) {
  return mapUnicode(S, [](char32_t C) { return QChar::toLower(C); });
}

int AnsiCompareStr(const String& S1, const String& S2) {
  return sign(userLocale().CaseSensitive.compare(S1, S2));
}

int AnsiCompareText(const String& S1, const String& S2) {
  return sign(userLocale().CaseInsensitive.compare(S1, S2));
}

bool AnsiSameText(const String& S1, const String& S2) { return AnsiCompareText(S1, S2) == 0; }

int AnsiPos(const String& Sub, const String& S) { return Pos(Sub, S); }

bool AnsiStartsText(const String& SubText, const String& Text) {
  return AnsiSameText(Copy(Text, 1, Length(SubText)), SubText);
}

bool AnsiContainsText(const String& Text, const String& SubText) {
  return AnsiPos(AnsiUpperCase(SubText), AnsiUpperCase(Text)) > 0;
}

void SetUserLocale(const String& Name) {
  if (CurrentUserLocale && CurrentUserLocale->Name == Name) return;
  auto* Next = new TUserLocale(Name);
  delete CurrentUserLocale;
  CurrentUserLocale = Next;
}

String UserLocale() { return userLocale().Name; }

// replacing and quoting

String StringReplace(const String& S, const String& OldPattern, const String& NewPattern,
                     TReplaceFlags Flags) {
  if (OldPattern.isEmpty()) return S;
  const bool IgnoreCase = Flags.testFlag(rfIgnoreCase);
  const String SearchIn = IgnoreCase ? AnsiUpperCase(S) : S;
  const String Pattern = IgnoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
  String Result;
  qsizetype From = 0;
  for (;;) {
    const qsizetype At = SearchIn.indexOf(Pattern, From);
    if (At < 0) break;
    Result += QStringView(S).mid(From, At - From);
    Result += NewPattern;
    From = At + Pattern.size();
    if (!Flags.testFlag(rfReplaceAll)) break;
  }
  Result += QStringView(S).mid(From);
  return Result;
}

String QuotedStr(const String& S) { return AnsiQuotedStr(S, u'\''); }

String AnsiQuotedStr(const String& S, Char Quote) {
  String Doubled = S;
  Doubled.replace(Quote, String(2, Quote));
  return Quote + Doubled + Quote;
}

String AnsiExtractQuotedStr(String& Src, Char Quote) {
  if (Src.isEmpty() || Src[0] != Quote) return String();
  String Result;
  qsizetype I = 1;
  while (I < Src.size()) {
    if (Src[I] == Quote) {
      if (I + 1 < Src.size() && Src[I + 1] == Quote) {
        Result += Quote;
        I += 2;
        continue;
      }
      ++I;
      break;
    }
    Result += Src[I++];
  }
  Src = Src.mid(I);
  return Result;
}

String AnsiDequotedStr(const String& S, Char Quote) {
  String Rest = S;
  const String Result = AnsiExtractQuotedStr(Rest, Quote);
  const bool WhollyQuoted = !S.isEmpty() && S.front() == Quote && S.back() == Quote;
  if ((Result.isEmpty() || Rest.isEmpty()) && !S.isEmpty() && !WhollyQuoted) return S;
  return Result;
}

String AdjustLineBreaks(const String& S) {
  String Result;
  Result.reserve(S.size());
  for (qsizetype I = 0; I < S.size(); ++I) {
    const Char C = S[I];
    if (C == u'\r' || C == u'\n') {
      Result += QStringView(u"\r\n");
      if (C == u'\r' && I + 1 < S.size() && S[I + 1] == u'\n') ++I;
    } else {
      Result += C;
    }
  }
  return Result;
}

String ExtractFieldName(const String& Fields, int& Pos) {
  int I = Pos;
  while (I <= Length(Fields) && Fields[I - 1] != u';') ++I;
  const String Result = Trim(Copy(Fields, Pos, I - Pos));
  if (I <= Length(Fields)) ++I;
  Pos = I;
  return Result;
}

String GetShortHint(const String& Hint) {
  const int I = AnsiPos(QStringLiteral("|"), Hint);
  return I == 0 ? Hint : Copy(Hint, 1, I - 1);
}

String GetLongHint(const String& Hint) {
  const int I = AnsiPos(QStringLiteral("|"), Hint);
  return I == 0 ? Hint : Copy(Hint, I + 1, Length(Hint));
}

bool CharInSet(Char C, std::initializer_list<char16_t> CharSet) {
  return std::find(CharSet.begin(), CharSet.end(), C.unicode()) != CharSet.end();
}

// path text

String ExtractFilePath(const String& FileName) {
  return Copy(FileName, 1, LastDelimiter(pathDelimiters(), FileName));
}

String ExtractFileDir(const String& FileName) {
  int I = LastDelimiter(pathDelimiters(), FileName);
  if (I > 1 && !IsDelimiter(pathDelimiters(), FileName, I - 1)) --I;
  return Copy(FileName, 1, I);
}

String ExtractFileName(const String& FileName) {
  return Copy(FileName, LastDelimiter(pathDelimiters(), FileName) + 1, Length(FileName));
}

String ExtractFileExt(const String& FileName) {
  const int I = LastDelimiter(extensionDelimiters(), FileName);
  return I > 0 && FileName[I - 1] == u'.' ? Copy(FileName, I, Length(FileName)) : String();
}

String ChangeFileExt(const String& FileName, const String& Extension) {
  const int I = LastDelimiter(extensionDelimiters(), FileName);
  const bool HasExt = I > 0 && FileName[I - 1] == u'.';
  return (HasExt ? Copy(FileName, 1, I - 1) : FileName) + Extension;
}

String IncludeTrailingPathDelimiter(const String& S) {
  return !S.isEmpty() && isPathDelimiter(S.back()) ? S : S + PathDelim;
}

String ExcludeTrailingPathDelimiter(const String& S) {
  return !S.isEmpty() && isPathDelimiter(S.back()) ? S.chopped(1) : S;
}

String TPath::Combine(const String& A, const String& B) {
  const bool DriveFirst = B.size() >= 2 && B[1] == u':' && B[0].isLetter();
  const bool Absolute = (!B.isEmpty() && isPathDelimiter(B[0])) || DriveFirst;
  if (Absolute || A.isEmpty()) return B;
  if (B.isEmpty()) return A;
  return IncludeTrailingPathDelimiter(A) + B;
}

// multi-byte character tests

bool IsLeadByte(Char) { return false; }

TMbcsByteType ByteType(const String&, int) { return mbSingleByte; }

void InitializeStrUtils() { SetUserLocale(QLocale::system().name()); }

void FinalizeStrUtils() {
  delete CurrentUserLocale;
  CurrentUserLocale = nullptr;
}
