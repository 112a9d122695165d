// Text routines over String with the original 1-based positions and clamping.
//
// One Char is one UTF-16 unit (surrogate pairs are two chars), and a null
// String is the same text as an empty one.  Two families of case and compare
// routines exist and must not be mixed up: the plain ones (UpperCase,
// CompareText, ...) touch ASCII letters only and compare ordinally; the Ansi*
// ones map every Unicode letter and collate for the user locale.
#pragma once

#include "platform/rtl/system.h"

#include <QFlags>
#include <initializer_list>

// 1-based text
int Length(const String& S);
// Count chars from Index; Index < 1 counts from 1 (Count is kept), a Count
// past the end stops there, Index > Length or Count <= 0 gives "".
String Copy(const String& S, int Index, int Count);
// Position of the first Sub in S, 0 when absent or when Sub is empty.
int Pos(const String& Sub, const String& S);
// Pos searching from Offset; 0 when Offset is outside 1..Length(S).
int PosEx(const String& Sub, const String& S, int Offset = 1);
// Removes Count chars from Index; no-op when Index is outside 1..Length.
void Delete(String& S, int Index, int Count);
// Inserts Sub before Index; Index < 1 inserts at the front, past the end appends.
void Insert(const String& Sub, String& S, int Index);
String StringOfChar(Char C, int Count);
String DupeString(const String& S, int Count);
// Position of the last char of S found in Delimiters, 0 if none.
int LastDelimiter(const String& Delimiters, const String& S);
// Whether S[Index] is one of Delimiters; false when Index is out of range.
bool IsDelimiter(const String& Delimiters, const String& S, int Index);
// Remove every char <= U+0020 (blanks and control chars) from the ends.
String Trim(const String& S);
String TrimLeft(const String& S);
String TrimRight(const String& S);

// ASCII case and ordinal compare; results < 0, 0, > 0 are the difference of
// the first unequal chars or else of the lengths.  CompareText folds a..z up.
String UpperCase(const String& S);
String LowerCase(const String& S);
int CompareStr(const String& S1, const String& S2);
int CompareText(const String& S1, const String& S2);
bool SameText(const String& S1, const String& S2);

// Locale case and compare.  The case maps are one char to one char (a letter
// without a single-char counterpart is kept), so positions found in a mapped
// copy hold for the original.  Compares collate for UserLocale() and answer
// -1, 0 or 1.
String AnsiUpperCase(const String& S);
String AnsiLowerCase(const String& S);
int AnsiCompareStr(const String& S1, const String& S2);
int AnsiCompareText(const String& S1, const String& S2);
bool AnsiSameText(const String& S1, const String& S2);
int AnsiPos(const String& Sub, const String& S);
// Whether Text begins with SubText, ignoring case; an empty SubText does.
bool AnsiStartsText(const String& SubText, const String& Text);
// Whether Text contains SubText, ignoring case; an empty SubText does not.
bool AnsiContainsText(const String& Text, const String& SubText);

// The user locale that drives the Ansi* routines and the default format
// settings: a locale name such as "ru_RU"; at start-up the system's.  Set it
// while no other thread compares text (start-up, tests).
void SetUserLocale(const String& Name);
String UserLocale();

// replacing and quoting
enum TReplaceFlag { rfReplaceAll = 0x1, rfIgnoreCase = 0x2 };
using TReplaceFlags = QFlags<TReplaceFlag>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TReplaceFlags)
// Replaces the first (or with rfReplaceAll every) OldPattern; rfIgnoreCase
// matches with the Ansi case map.  An empty OldPattern changes nothing.
String StringReplace(const String& S, const String& OldPattern, const String& NewPattern,
                     TReplaceFlags Flags = {});
// S in single quotes, inner quotes doubled.
String QuotedStr(const String& S);
String AnsiQuotedStr(const String& S, Char Quote);
// Reads the quoted text at the start of Src (doubled quotes give one) and
// leaves in Src what follows the closing quote.  Src not starting with Quote
// gives "" and stays unchanged; a missing closing quote ends at the end.
String AnsiExtractQuotedStr(String& Src, Char Quote);
// The unquoted text of S, or S itself when it is not wholly quoted.
String AnsiDequotedStr(const String& S, Char Quote);
// Every CR, LF and CR LF becomes CR LF.
String AdjustLineBreaks(const String& S);
// The next ';'-separated item of Fields from Pos (1-based), trimmed; Pos moves
// past the separator.  Loop while Pos <= Length(Fields).
String ExtractFieldName(const String& Fields, int& Pos);
// The parts of a hint before and after the first '|' (all of it without one).
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);
bool CharInSet(Char C, std::initializer_list<char16_t> CharSet);

// path text: '/' is written, and both '/' and '\' separate when splitting, so
// stored paths with backslashes split too
inline constexpr Char PathDelim = u'/';
// Everything up to and including the last delimiter.
String ExtractFilePath(const String& FileName);
// ExtractFilePath without its trailing delimiter, unless that is the root.
String ExtractFileDir(const String& FileName);
String ExtractFileName(const String& FileName);
// The extension with its dot, "" if the name has none.
String ExtractFileExt(const String& FileName);
// FileName with its extension replaced by Extension (which carries the dot).
String ChangeFileExt(const String& FileName, const String& Extension);
String IncludeTrailingPathDelimiter(const String& S);
String ExcludeTrailingPathDelimiter(const String& S);

struct TPath {
  // B when B is absolute (a delimiter or a drive letter first), else A joined
  // to B with one delimiter.
  static String Combine(const String& A, const String& B);
};

// multi-byte character tests: every code page here is single-byte
enum TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };
bool IsLeadByte(Char C);
TMbcsByteType ByteType(const String& S, int Index);

// Script traits of the system locale that ported layout code reads; tests set
// them.
struct TSysLocale {
  bool FarEast = false;
  bool MiddleEast = false;
};
extern TSysLocale SysLocale;

void InitializeStrUtils();
void FinalizeStrUtils();
