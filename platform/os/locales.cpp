#include "platform/os/locales.h"

#include "platform/rtl/formatsettings.h"
#include "platform/rtl/strutils.h"

#include <QLocale>

namespace {

struct TLocaleRow {
  LCID Id;
  const char* Name;    // the locale this row stands for
  const char* Abbrev;  // LOCALE_SABBREVLANGNAME
  const char* Native;  // LOCALE_SNATIVELANGNAME, UTF-8
};

// The primary row of a language is its row with the lowest id (the default
// sublanguage).
constexpr TLocaleRow LocaleTable[] = {
    {0x0401, "ar_SA", "ARA", "العربية"},
    {0x0402, "bg_BG", "BGR", "български"},
    {0x0404, "zh_TW", "CHT", "中文"},
    {0x0405, "cs_CZ", "CSY", "čeština"},
    {0x0406, "da_DK", "DAN", "dansk"},
    {0x0407, "de_DE", "DEU", "Deutsch"},
    {0x0408, "el_GR", "ELL", "Ελληνικά"},
    {0x0409, "en_US", "ENU", "English"},
    {0x040A, "es_ES", "ESP", "español"},
    {0x040B, "fi_FI", "FIN", "suomi"},
    {0x040C, "fr_FR", "FRA", "français"},
    {0x040D, "he_IL", "HEB", "עברית"},
    {0x040E, "hu_HU", "HUN", "magyar"},
    {0x0410, "it_IT", "ITA", "italiano"},
    {0x0411, "ja_JP", "JPN", "日本語"},
    {0x0412, "ko_KR", "KOR", "한국어"},
    {0x0413, "nl_NL", "NLD", "Nederlands"},
    {0x0414, "nb_NO", "NOR", "norsk bokmål"},
    {0x0415, "pl_PL", "PLK", "polski"},
    {0x0416, "pt_BR", "PTB", "português"},
    {0x0418, "ro_RO", "ROM", "română"},
    {0x0419, "ru_RU", "RUS", "русский"},
    {0x041A, "hr_HR", "HRV", "hrvatski"},
    {0x041B, "sk_SK", "SKY", "slovenčina"},
    {0x041D, "sv_SE", "SVE", "svenska"},
    {0x041E, "th_TH", "THA", "ไทย"},
    {0x041F, "tr_TR", "TRK", "Türkçe"},
    {0x0421, "id_ID", "IND", "Indonesia"},
    {0x0422, "uk_UA", "UKR", "українська"},
    {0x0423, "be_BY", "BEL", "беларуская"},
    {0x0424, "sl_SI", "SLV", "slovenščina"},
    {0x0425, "et_EE", "ETI", "eesti"},
    {0x0426, "lv_LV", "LVI", "latviešu"},
    {0x0427, "lt_LT", "LTH", "lietuvių"},
    {0x042A, "vi_VN", "VIT", "Tiếng Việt"},
    {0x0804, "zh_CN", "CHS", "中文"},
    {0x0809, "en_GB", "ENG", "English"},
    {0x0816, "pt_PT", "PTG", "português"},
};

constexpr LCID FallbackLocale = 0x0409;

// The row of Locale: its own, or for a neutral id its language's primary row.
const TLocaleRow* findRow(LCID Locale) {
  const LANGID Lang = LANGIDFROMLCID(Locale);
  for (const TLocaleRow& Row : LocaleTable) {
    const LANGID RowLang = LANGIDFROMLCID(Row.Id);
    if (Row.Id == Locale || (SUBLANGID(Lang) == SUBLANG_NEUTRAL && PRIMARYLANGID(RowLang) == PRIMARYLANGID(Lang)))
      return &Row;
  }
  return nullptr;
}

// The locale whose settings Locale asks for; "" for an unknown id.
String localeName(LCID Locale) {
  if (Locale == LOCALE_USER_DEFAULT || Locale == LOCALE_SYSTEM_DEFAULT) return UserLocale();
  const TLocaleRow* Row = findRow(Locale);
  return Row ? String::fromLatin1(Row->Name) : String();
}

Word charType2(char32_t CodePoint) {
  switch (QChar::direction(CodePoint)) {
    case QChar::DirL: return C2_LEFTTORIGHT;
    case QChar::DirR:
    case QChar::DirAL: return C2_RIGHTTOLEFT;
    case QChar::DirEN: return C2_EUROPENUMBER;
    case QChar::DirES: return C2_EUROPESEPARATOR;
    case QChar::DirET: return C2_EUROPETERMINATOR;
    case QChar::DirAN: return C2_ARABICNUMBER;
    case QChar::DirCS: return C2_COMMONSEPARATOR;
    case QChar::DirB: return C2_BLOCKSEPARATOR;
    case QChar::DirS: return C2_SEGMENTSEPARATOR;
    case QChar::DirWS: return C2_WHITESPACE;
    case QChar::DirON: return C2_OTHERNEUTRAL;
    default: return C2_NOTAPPLICABLE;
  }
}

String prefix(const String& S, int Count) { return Count < 0 ? S : S.left(Count); }

}  // namespace

LCID GetThreadLocale() {
  const QLocale User(UserLocale());
  const String Name = User.name();
  const TLocaleRow* SameLanguage = nullptr;
  for (const TLocaleRow& Row : LocaleTable) {
    if (Name == QLatin1String(Row.Name)) return Row.Id;
    if (!SameLanguage && QLocale(QLatin1String(Row.Name)).language() == User.language()) SameLanguage = &Row;
  }
  return SameLanguage ? PRIMARYLANGID(LANGIDFROMLCID(SameLanguage->Id)) : FallbackLocale;
}

LCID GetUserDefaultLCID() { return GetThreadLocale(); }

LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(GetThreadLocale()); }

std::vector<LCID> EnumSystemLocales() {
  std::vector<LCID> Ids;
  for (const TLocaleRow& Row : LocaleTable) Ids.push_back(Row.Id);
  return Ids;
}

String GetLocaleStr(LCID Locale, LCTYPE LocaleType, const String& Default) {
  const LCID Id = Locale == LOCALE_USER_DEFAULT || Locale == LOCALE_SYSTEM_DEFAULT ? GetThreadLocale() : Locale;
  const String Name = localeName(Locale);
  if (Name.isEmpty()) return Default;
  const TLocaleRow* Row = findRow(Id);
  switch (LocaleType) {
    case LOCALE_SABBREVLANGNAME: return Row ? String::fromLatin1(Row->Abbrev) : Default;
    case LOCALE_SNATIVELANGNAME: return Row ? String::fromUtf8(Row->Native) : Default;
    case LOCALE_ITIME: return TFormatSettings::Create(Name).Is24Hour ? QStringLiteral("1") : QStringLiteral("0");
    case LOCALE_ITIMEMARKPOSN:
      return TFormatSettings::Create(Name).AmPmPrefix ? QStringLiteral("1") : QStringLiteral("0");
    case LOCALE_IFIRSTDAYOFWEEK: return String::number(TFormatSettings::Create(Name).FirstDayOfWeek);
  }
  return Default;
}

Integer CompareString(LCID, Cardinal CmpFlags, const String& S1, int Count1, const String& S2, int Count2) {
  const String A = prefix(S1, Count1);
  const String B = prefix(S2, Count2);
  const int Order = CmpFlags & NORM_IGNORECASE ? AnsiCompareText(A, B) : AnsiCompareStr(A, B);
  return CSTR_EQUAL + Order;
}

bool GetStringTypeEx(LCID, Cardinal InfoType, const String& Src, std::vector<Word>& CharType) {
  if (InfoType != CT_CTYPE2) return false;
  CharType.assign(Src.size(), C2_NOTAPPLICABLE);
  for (qsizetype I = 0; I < Src.size(); ++I) {
    const bool Pair = Src[I].isHighSurrogate() && I + 1 < Src.size() && Src[I + 1].isLowSurrogate();
    const char32_t CodePoint = Pair ? QChar::surrogateToUcs4(Src[I], Src[I + 1]) : Src[I].unicode();
    CharType[I] = charType2(CodePoint);
    if (Pair) CharType[++I] = charType2(CodePoint);
  }
  return true;
}

TUserLocaleScope::TUserLocaleScope(const String& Name, bool FarEast, bool MiddleEast)
    : FPreviousName(UserLocale()), FPreviousFarEast(SysLocale.FarEast), FPreviousMiddleEast(SysLocale.MiddleEast) {
  SetUserLocale(Name);
  SysLocale.FarEast = FarEast;
  SysLocale.MiddleEast = MiddleEast;
}

TUserLocaleScope::~TUserLocaleScope() {
  SetUserLocale(FPreviousName);
  SysLocale.FarEast = FPreviousFarEast;
  SysLocale.MiddleEast = FPreviousMiddleEast;
}
