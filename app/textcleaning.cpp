#include "app/textcleaning.h"

#include "app/catalogcolumns.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/strutils.h"

#include <cassert>
#include <iterator>

namespace {

// In this order, one occurrence of each.
constexpr char16_t StrippedPunctuation[] = {u')', u'(', u'.', u',', u';', u':', u'[', u']'};

// The author list is cut after its third comma.
constexpr int ShortListCommas = 3;
const char EtAl[] = " et al. ";

// In this order; the index ranges below refer to it.
constexpr const char* SectionHeadings[] = {
    "Data sources", "DATA SOURCES", "Research design and methods", "Research Design and Methods",
    "RESEARCH DESIGN AND METHODS", "Methods and results", "Methods and Results", "METHODS AND RESULTS",
    "Design", "DESIGN", "Research", "RESEARCH", "Methods", "METHODS", "Results", "RESULTS",
    "Conclusion", "CONCLUSION", "In conclusion"};
// Headings left alone in an abstract with a combined "RESEARCH DESIGN AND
// METHODS" section: "Design" to "METHODS".
constexpr int DesignHeadingsFirst = 8;
constexpr int DesignHeadingsLast = 13;
// ... and with a combined "METHODS AND RESULTS" section: "Methods" to "RESULTS".
constexpr int MethodsHeadingsFirst = 12;
constexpr int MethodsHeadingsLast = 15;
const char CombinedDesignSection[] = "RESEARCH DESIGN AND METHODS";
const char CombinedMethodsSection[] = "METHODS AND RESULTS";
const char SectionBreak[] = "\r\n\r\n";

String replaceAll(const String& Text, const String& Find, const String& Replace) {
  return StringReplace(Text, Find, Replace, rfReplaceAll);
}

bool isBlank(const String& Text) { return Trim(Text).isEmpty(); }

void setField(TDataSet* Catalog, const String& Name, const String& Value) {
  assert(Catalog && "the editor's commands need the catalog query");
  Catalog->FieldByName(Name)->SetAsString(Value);
}

}  // namespace

String ApplyCleaningPairs(const String& Text, const TCleaningPairs& Pairs) {
  String Result = Text;
  for (const TCleaningPair& Pair : Pairs) Result = replaceAll(Result, Pair.Find, Pair.Replace);
  return Result;
}

String CleanTitle(const String& Title, const TCleaningPairs& Pairs) {
  String Result = ApplyCleaningPairs(Trim(Title), Pairs);
  Result = replaceAll(Result, QStringLiteral("\r"), QStringLiteral(" "));
  return replaceAll(Result, QStringLiteral("\n"), QStringLiteral(" "));
}

String CleanAbstract(const String& Abstract, const TCleaningPairs& Pairs) {
  return ApplyCleaningPairs(Trim(Abstract), Pairs);
}

String JoinLines(const String& Text) {
  const String Result = replaceAll(Trim(Text), QStringLiteral("\r"), String());
  return replaceAll(Result, QStringLiteral("\n"), QStringLiteral(" "));
}

String ShortenAuthorList(const String& Title) {
  String Authors = Trim(Title);
  if (Authors.isEmpty()) return String();
  String Rest = Authors;
  // The last character is not looked at: a list ending in its third comma
  // is kept whole.
  int Commas = 0;
  for (int I = 1; I < Length(Authors); ++I) {
    if (Authors[I - 1] != u',') continue;
    if (++Commas < ShortListCommas) continue;
    Authors = Copy(Authors, 1, I);
    break;
  }
  const int Period = Pos(QStringLiteral("."), Rest);
  // The period and the blank after it go.
  if (Period > 0) Delete(Rest, 1, Period + 1);
  return Authors + EtAl + Rest;
}

String StripPunctuation(const String& Text) {
  String Result = Trim(Text);
  for (const char16_t Mark : StrippedPunctuation) {
    const int P = Pos(QChar(Mark), Result);
    if (P > 0) Delete(Result, P, 1);
  }
  return Trim(Result);
}

String FormatAbstract(const String& Abstract) {
  String Result = Trim(Abstract);
  const String Upper = UpperCase(Result);
  const bool CombinedDesign = Upper.contains(QLatin1String(CombinedDesignSection));
  const bool CombinedMethods = Upper.contains(QLatin1String(CombinedMethodsSection));
  const int HeadingCount = static_cast<int>(std::size(SectionHeadings));
  for (int I = 0; I < HeadingCount; ++I) {
    if (CombinedDesign && I >= DesignHeadingsFirst && I <= DesignHeadingsLast) continue;
    if (!CombinedDesign && CombinedMethods && I >= MethodsHeadingsFirst && I <= MethodsHeadingsLast) continue;
    const String Heading = QLatin1String(SectionHeadings[I]);
    Result = replaceAll(Result, Heading, SectionBreak + Heading);
  }
  return Result;
}

TCleaningPairs ReadCleaningPairs(TDataSet* Refuse, TCleaningTarget Target) {
  assert(Refuse && "ReadCleaningPairs needs the refuse query");
  Refuse->Open();
  TField* Find = Refuse->FieldByName(QStringLiteral("refuse"));
  TField* Replace = Refuse->FieldByName(QStringLiteral("replace"));
  TField* Type = Refuse->FieldByName(QStringLiteral("type"));
  TCleaningPairs Result;
  for (Refuse->First(); !Refuse->Eof(); Refuse->Next()) {
    const Integer PairTarget = Type->AsInteger();
    if (PairTarget == Target || PairTarget == ctEverywhere) Result.push_back({Find->AsString(), Replace->AsString()});
  }
  Refuse->Close();
  return Result;
}

bool RemoveGarbage(TDataSet* Catalog, TDataSet* Refuse, const String& TitleText) {
  if (isBlank(TitleText)) return false;
  setField(Catalog, catalogcolumns::Source(), CleanTitle(TitleText, ReadCleaningPairs(Refuse, ctTitle)));
  return true;
}

void RemoveAbstractGarbage(TDataSet* Catalog, TDataSet* Refuse, const String& AbstractText) {
  if (isBlank(AbstractText)) return;
  setField(Catalog, catalogcolumns::Summary(), CleanAbstract(AbstractText, ReadCleaningPairs(Refuse, ctAbstract)));
}

void JoinTitleLines(TDataSet* Catalog, const String& TitleText) {
  if (isBlank(TitleText)) return;
  setField(Catalog, catalogcolumns::Source(), JoinLines(TitleText));
}

void JoinAbstractLines(TDataSet* Catalog, const String& AbstractText) {
  setField(Catalog, catalogcolumns::Summary(), JoinLines(AbstractText));
}

void ShortenAuthorList(TDataSet* Catalog, const String& TitleText) {
  if (isBlank(TitleText)) return;
  setField(Catalog, catalogcolumns::Source(), ShortenAuthorList(TitleText));
}

void CopyToAuthor(TDataSet* Catalog, const String& SelectedText) {
  setField(Catalog, catalogcolumns::Author(), StripPunctuation(SelectedText));
}

void FormatAbstract(TDataSet* Catalog, const String& AbstractText) {
  setField(Catalog, catalogcolumns::Summary(), FormatAbstract(AbstractText));
}
