// Locale services on top of the runtime's user locale.
//
// The runtime owns the user locale (SetUserLocale/UserLocale), its collation
// (AnsiCompareStr/Text), its one-to-one case maps (AnsiUpperCase) and the
// settings made from it (TFormatSettings::Create).  This unit adds what the
// ported code asks the OS for: locale ids (LCID) from a built-in table of
// common locales, locale strings, counted compares and character classes.
//
// The table holds {LCID, locale name, three-letter abbreviation, native
// language name}.  The user locale maps to its row; a locale without a row
// maps to its language's neutral id (the language alone), whose strings are
// those of the language's primary row; a language without any row gives
// English (US), 0x0409.
#pragma once

#include "platform/rtl/system.h"

#include <vector>

using LCID = Cardinal;
using LANGID = Word;
using LCTYPE = Cardinal;

inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LANGID LANG_NEUTRAL = 0x00;
inline constexpr LANGID LANG_ENGLISH = 0x09;
inline constexpr LANGID LANG_JAPANESE = 0x11;
inline constexpr LANGID SUBLANG_NEUTRAL = 0x00;
inline constexpr LANGID SUBLANG_DEFAULT = 0x01;

constexpr LANGID MAKELANGID(Word Primary, Word Sub) { return LANGID(Sub << 10 | Primary); }
constexpr LANGID PRIMARYLANGID(LANGID Lang) { return LANGID(Lang & 0x3FF); }
constexpr LANGID SUBLANGID(LANGID Lang) { return LANGID(Lang >> 10); }
constexpr LANGID LANGIDFROMLCID(LCID Locale) { return LANGID(Locale & 0xFFFF); }

// locale ids
// The id of the user locale (the runtime's UserLocale()).
LCID GetThreadLocale();
LCID GetUserDefaultLCID();
LANGID GetUserDefaultLangID();
// The ids of the table, in table order.
std::vector<LCID> EnumSystemLocales();

// locale strings
inline constexpr LCTYPE LOCALE_SABBREVLANGNAME = 0x0003;  // "ENU", "RUS"
inline constexpr LCTYPE LOCALE_SNATIVELANGNAME = 0x0004;  // "English", "русский"
inline constexpr LCTYPE LOCALE_ITIME = 0x0023;            // "1" 24-hour clock, "0" 12-hour
inline constexpr LCTYPE LOCALE_ITIMEMARKPOSN = 0x1005;    // "1" AM/PM before the time, "0" after
inline constexpr LCTYPE LOCALE_IFIRSTDAYOFWEEK = 0x100C;  // "0" Monday .. "6" Sunday
// The LocaleType string of Locale (LOCALE_USER_DEFAULT and
// LOCALE_SYSTEM_DEFAULT name the user locale); Default for an id without a
// row or a type not listed above.  Clock and first day come from the locale's
// short time format and calendar.
String GetLocaleStr(LCID Locale, LCTYPE LocaleType, const String& Default);

// collation
inline constexpr Cardinal NORM_IGNORECASE = 0x0001;
inline constexpr Integer CSTR_LESS_THAN = 1;
inline constexpr Integer CSTR_EQUAL = 2;
inline constexpr Integer CSTR_GREATER_THAN = 3;
// Compares the first Count1 chars of S1 with the first Count2 of S2 (-1 or a
// count past the end: the whole string) by the user locale's collation,
// whatever Locale names: only the user locale's collator exists.
// NORM_IGNORECASE ignores case but not accents.
Integer CompareString(LCID Locale, Cardinal CmpFlags, const String& S1, int Count1, const String& S2, int Count2);

// character classes
inline constexpr Cardinal CT_CTYPE2 = 0x0002;
inline constexpr Word C2_NOTAPPLICABLE = 0;
inline constexpr Word C2_LEFTTORIGHT = 1;
inline constexpr Word C2_RIGHTTOLEFT = 2;
inline constexpr Word C2_EUROPENUMBER = 3;
inline constexpr Word C2_EUROPESEPARATOR = 4;
inline constexpr Word C2_EUROPETERMINATOR = 5;
inline constexpr Word C2_ARABICNUMBER = 6;
inline constexpr Word C2_COMMONSEPARATOR = 7;
inline constexpr Word C2_BLOCKSEPARATOR = 8;
inline constexpr Word C2_SEGMENTSEPARATOR = 9;
inline constexpr Word C2_WHITESPACE = 10;
inline constexpr Word C2_OTHERNEUTRAL = 11;
// Fills CharType with one class per char of Src (both halves of a surrogate
// pair get the class of their code point) from the Unicode bidirectional
// class; false, and CharType untouched, for an InfoType other than CT_CTYPE2.
bool GetStringTypeEx(LCID Locale, Cardinal InfoType, const String& Src, std::vector<Word>& CharType);

// Makes Name ("ru_RU") the user locale and sets the script flags of
// SysLocale for the lifetime of the scope, then puts both back.  Set while
// no other thread compares text.
class TUserLocaleScope {
public:
  explicit TUserLocaleScope(const String& Name, bool FarEast = false, bool MiddleEast = false);
  ~TUserLocaleScope();
  TUserLocaleScope(const TUserLocaleScope&) = delete;
  TUserLocaleScope& operator=(const TUserLocaleScope&) = delete;

private:
  String FPreviousName;
  bool FPreviousFarEast;
  bool FPreviousMiddleEast;
};
