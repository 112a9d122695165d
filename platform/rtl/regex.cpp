#include "platform/rtl/regex.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

struct TRegEx::TCompiled {
  explicit TCompiled(pcre2_code* C) : Code(C) {}
  ~TCompiled() { pcre2_code_free(Code); }
  TCompiled(const TCompiled&) = delete;
  TCompiled& operator=(const TCompiled&) = delete;

  pcre2_code* const Code;
};

namespace {

// PCRE2's messages are short English sentences; 256 units hold any of them.
constexpr int ErrorMessageCapacity = 256;

String pcreMessage(int ErrorCode) {
  PCRE2_UCHAR Buffer[ErrorMessageCapacity];
  const int N = pcre2_get_error_message(ErrorCode, Buffer, ErrorMessageCapacity);
  if (N < 0) return QStringLiteral("error %1").arg(ErrorCode);
  return String(reinterpret_cast<const QChar*>(Buffer), N);
}

PCRE2_SPTR units(const String& S) { return reinterpret_cast<PCRE2_SPTR>(S.utf16()); }

// Match data sized for the pattern's groups, freed with the scope.
class TMatchData {
public:
  explicit TMatchData(const pcre2_code* Code)
      : FData(pcre2_match_data_create_from_pattern(Code, nullptr)) {
    if (!FData) throw EOutOfMemory(QStringLiteral("Out of memory"));
  }
  ~TMatchData() { pcre2_match_data_free(FData); }
  TMatchData(const TMatchData&) = delete;
  TMatchData& operator=(const TMatchData&) = delete;

  // Looks for a match at or after Start; false when there is none.
  bool Find(const pcre2_code* Code, const String& Text, PCRE2_SIZE Start) {
    const int RC = pcre2_match(Code, units(Text), PCRE2_SIZE(Text.size()), Start, 0, FData, nullptr);
    if (RC == PCRE2_ERROR_NOMATCH) return false;
    if (RC < 0)
      throw ERegularExpressionError(QStringLiteral("Error in regular expression: %1").arg(pcreMessage(RC)));
    return true;
  }
  PCRE2_SIZE Begin() const { return pcre2_get_ovector_pointer(FData)[0]; }
  PCRE2_SIZE End() const { return pcre2_get_ovector_pointer(FData)[1]; }

private:
  pcre2_match_data* FData;
};

}  // namespace

TRegEx::TRegEx(const String& Pattern) {
  int ErrorCode = 0;
  PCRE2_SIZE ErrorOffset = 0;
  pcre2_code* Code =
      pcre2_compile(units(Pattern), PCRE2_SIZE(Pattern.size()), 0, &ErrorCode, &ErrorOffset, nullptr);
  if (!Code)
    throw ERegularExpressionError(QStringLiteral("Error in regular expression at offset %1: %2")
                                      .arg(ErrorOffset)
                                      .arg(pcreMessage(ErrorCode)));
  FCode = std::make_shared<const TCompiled>(Code);
}

bool TRegEx::IsMatch(const String& Text) const {
  TMatchData Data(FCode->Code);
  return Data.Find(FCode->Code, Text, 0);
}

TMatchCollection TRegEx::Matches(const String& Text) const {
  TMatchCollection Result;
  TMatchData Data(FCode->Code);
  const auto Length = PCRE2_SIZE(Text.size());
  PCRE2_SIZE Start = 0;
  while (Start <= Length && Data.Find(FCode->Code, Text, Start)) {
    const PCRE2_SIZE Begin = Data.Begin();
    const PCRE2_SIZE End = Data.End();
    Result.push_back(Text.mid(qsizetype(Begin), qsizetype(End - Begin)));
    Start = End > Begin ? End : End + 1;
  }
  return Result;
}

TMatchCollection TRegEx::Matches(const String& Text, const String& Pattern) {
  return TRegEx(Pattern).Matches(Text);
}
