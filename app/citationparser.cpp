#include "app/citationparser.h"

#include "app/catalogcolumns.h"
#include "app/fcommon.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/regex.h"
#include "platform/rtl/strutils.h"

#include <algorithm>
#include <cassert>
#include <initializer_list>
#include <iterator>
#include <optional>

namespace {

// Found in the upper-cased text, so "doi:" and "Doi:" count too.
const char DoiLabel[] = "DOI:";
// A blank, the English month, a semicolon: "2020 Jan;15(3)" loses " Jan".
constexpr const char* MonthTokens[] = {" Jan;", " Feb;", " Mar;", " Apr;", " May;", " Jun;",
                                       " Jul;", " Aug;", " Sep;", " Oct;", " Nov;", " Dec;"};
constexpr int MonthTokenCount = int(std::size(MonthTokens));
// The blank and the month name; the semicolon stays.
constexpr qsizetype MonthNameLength = 4;
constexpr qsizetype MonthTokenLength = MonthNameLength + 1;
// Compared with the upper-cased first word.
constexpr std::initializer_list<const char*> NameParticles = {"DE", "DA", "VAN", "VON"};
// In this order: apostrophe, right and left single quotation marks.
constexpr std::initializer_list<char16_t> ApostropheMarks = {u'\'', u'\u2019', u'\u2018'};
// A possessive "'s" is cut with the character after it: "Alzheimer's," -> "Alzheimer".
constexpr int PossessiveLength = 3;
// A year by position is the text just before the first ';' ("Lancet 2019;").
constexpr int YearDigits = 4;
// A number elsewhere in the citation is a year when it lies in
// (current - 40, current + 2): last year's issues and next year's online-first.
constexpr int PlausibleYearsBack = 40;
constexpr int PlausibleYearsAhead = 2;
// A year 50 or more years old is taken for a volume or page number.
constexpr int OldestYearAge = 50;
const char EntryDateFormat[] = "yyyy-mm-dd";

// Reference-type codes.
const char TypeAbstract[] = "sum";
const char TypeGuideline[] = "rec";
const char TypeOnlineFirst[] = "onln";
const char TypeMetaAnalysis[] = "met";
const char TypeRandomised[] = "rci";
const char TypeRegister[] = "reg";

constexpr std::initializer_list<const char*> GuidelineWords = {
    "guideline", "guidance", "recommendations", "statement", "position paper"};
// ";0" is the volume of an issue not yet out: "2024;0:1-9".
constexpr std::initializer_list<const char*> OnlineFirstWords = {"online", ";0", "n/a"};
constexpr std::initializer_list<const char*> MetaAnalysisWords = {"meta-analyses", "meta-analysis",
                                                                      "cochrane"};
const char RandomWord[] = "random";
// "Mendelian randomization" is a genetic study design, not a trial.
const char MendelianWord[] = "mendelian";
constexpr std::initializer_list<const char*> RegisterWords = {"registry", "register"};

bool containsAny(const String& Text, std::initializer_list<const char*> Words) {
  return std::any_of(Words.begin(), Words.end(),
                     [&](const char* Word) { return Text.contains(QLatin1String(Word)); });
}

// The part of S before its first blank, trimmed; S itself when it has none.
String cutAtBlank(const String& S) {
  const int P = Pos(" ", S);
  return P == 0 ? S : Trim(Copy(S, 1, P - 1));
}

// Cuts T from the character before P (the blank before the DOI) to its end;
// a DOI that opens the text leaves the text whole.
void cutDoiOff(String& T, int P) {
  if (P <= 1) return;
  Delete(T, P - 1, Length(T));
  T = Trim(T);
}

// "... 123-9. doi: 10.1016/x." gives "10.1016/x"; the final period is the
// citation's, not the DOI's.
void takeLabelledDoi(String& T, std::optional<String>& Doi) {
  const int P = Pos(DoiLabel, UpperCase(T));
  if (P == 0) return;
  String D = cutAtBlank(Trim(Copy(T, P + Length(DoiLabel), Length(T))));
  if (D.isEmpty()) return;
  if (D.endsWith(u'.')) D.chop(1);
  Doi = D;
  cutDoiOff(T, P);
}

// "... https://doi.org/10.1016/x" gives "10.1016/x".  It wins over a
// labelled DOI after it; a label before it has already cut it off.
void takeDoiAddress(String& T, const String& Prefix, std::optional<String>& Doi) {
  const int P = Pos(Prefix, T);
  if (P == 0) return;
  const String D = cutAtBlank(Trim(Copy(T, P + Length(Prefix), Length(T))));
  if (D.isEmpty()) return;
  Doi = D;
  cutDoiOff(T, P);
}

// The first token in list order that occurs goes, at its first occurrence.
// Every token ends in ';', so one pass over the semicolons finds them all
// instead of a search of the whole text per month.
void removeMonthToken(String& T) {
  int Found = MonthTokenCount;
  qsizetype FoundAt = -1;
  for (qsizetype Semicolon = T.indexOf(u';'); Semicolon >= 0; Semicolon = T.indexOf(u';', Semicolon + 1)) {
    const qsizetype At = Semicolon - MonthNameLength;
    if (At < 0) continue;
    const QStringView Candidate = QStringView(T).sliced(At, MonthTokenLength);
    for (int Month = 0; Month < Found; ++Month) {
      if (Candidate.compare(QLatin1String(MonthTokens[Month])) != 0) continue;
      Found = Month;
      FoundAt = At;
      break;
    }
  }
  if (FoundAt >= 0) T.remove(FoundAt, MonthNameLength);
}

bool isNameParticle(const String& Word) {
  const String Upper = UpperCase(Word);
  return std::any_of(NameParticles.begin(), NameParticles.end(),
                     [&](const char* Particle) { return Upper == QLatin1String(Particle); });
}

void removeApostrophes(String& W) {
  for (const char16_t Mark : ApostropheMarks) {
    const int P = Pos(QChar(Mark), W);
    if (P == 0) continue;
    if (Copy(W, P + 1, 1) == "s")
      Delete(W, P, PossessiveLength);
    else
      W = DeleteAllChars(W, QChar(Mark));
  }
}

// The first word of T, with the next word when it is a name particle
// ("van Gogh"); "" when T has no blank.
String firstAuthor(const String& T) {
  const int Blank = Pos(" ", T);
  String W = Copy(T, 1, Blank - 1);
  if (isNameParticle(W)) {
    const String Rest = Trim(Copy(T, Blank + 1, Length(T)));
    W += u' ' + Copy(Rest, 1, Pos(" ", Rest) - 1);
  }
  removeApostrophes(W);
  W = DeleteAllChars(W, u'.');
  return Trim(W);
}

// Blanks, an optional sign and decimal digits only; 0 for anything else.
Integer decimalOrZero(const String& S) {
  qsizetype I = 0;
  while (I < S.size() && S[I] == u' ') ++I;
  if (I < S.size() && (S[I] == u'+' || S[I] == u'-')) ++I;
  if (I == S.size()) return 0;
  for (; I < S.size(); ++I)
    if (S[I] < u'0' || S[I] > u'9') return 0;
  Integer Value = 0;
  return TryStrToInt(S, Value) ? Value : 0;
}

Integer yearBeforeSemicolon(const String& T) {
  const int P = Pos(";", T);
  if (P == 0) return 0;
  const int From = std::max(1, P - YearDigits);
  return decimalOrZero(Copy(T, From, P - From));
}

// The first run of digits that reads as a plausible year.  Runs too long for
// 32 bits are page or record numbers, never years, and are passed over.
Integer firstPlausibleYear(const String& Text, Integer CurrentYear) {
  for (const String& Run : FindNumbers(Text)) {
    Integer Value = 0;
    if (!TryStrToInt(Run, Value)) continue;
    if (CurrentYear - PlausibleYearsBack < Value && Value < CurrentYear + PlausibleYearsAhead) return Value;
  }
  return 0;
}

Integer publicationYear(const String& T, const String& Orig, Integer CurrentYear) {
  Integer Year = yearBeforeSemicolon(T);
  if (Year == 0) Year = firstPlausibleYear(Orig, CurrentYear);
  return Year > 0 && Year > CurrentYear - OldestYearAge ? Year : CurrentYear;
}

TField* field(TDataSet* DataSet, const String& Name) { return DataSet->FieldByName(Name); }

}  // namespace

std::vector<String> FindNumbers(const String& Text) {
  static const TRegEx Digits(QStringLiteral("\\d+"));
  return Digits.Matches(Text);
}

String CitationType(const String& Text) {
  const String T = LowerCase(Text);
  if (containsAny(T, GuidelineWords)) return TypeGuideline;
  if (containsAny(T, OnlineFirstWords)) return TypeOnlineFirst;
  if (containsAny(T, MetaAnalysisWords)) return TypeMetaAnalysis;
  if (T.contains(QLatin1String(RandomWord)) && !T.contains(QLatin1String(MendelianWord))) return TypeRandomised;
  if (containsAny(T, RegisterWords)) return TypeRegister;
  return TypeAbstract;
}

String StudyType(const String& Abstract) {
  const String T = LowerCase(Abstract);
  if (containsAny(T, MetaAnalysisWords)) return TypeMetaAnalysis;
  if (T.contains(QLatin1String(RandomWord))) return TypeRandomised;
  if (containsAny(T, RegisterWords)) return TypeRegister;
  return String();
}

TParsedCitation ParseCitationText(const String& Citation, const String& DoiResolverPrefix,
                                  Integer CurrentYear) {
  const String Orig = Trim(Citation);
  String T = Orig;
  std::optional<String> Doi;
  takeLabelledDoi(T, Doi);
  takeDoiAddress(T, DoiResolverPrefix, Doi);
  removeMonthToken(T);

  TParsedCitation Result;
  Result.Doi = Doi;
  Result.Source = T;
  Result.Author = firstAuthor(T);
  Result.Year = publicationYear(T, Orig, CurrentYear);
  Result.FileType = CitationType(Orig);
  return Result;
}

String FindJournal(TDataSet* Journal, const String& Citation) {
  assert(Journal && "FindJournal needs the journal query");
  Journal->Open();
  TField* FullName = field(Journal, QStringLiteral("full_name"));
  TField* ShortName = field(Journal, QStringLiteral("short_name"));
  String Result;
  for (Journal->First(); !Journal->Eof(); Journal->Next()) {
    const String Full = FullName->AsString();
    if (!Full.isEmpty() && Citation.contains(Full)) {
      Result = ShortName->AsString();
      break;
    }
  }
  Journal->Close();
  return Result;
}

void ParseCitation(TDataSet* Catalog, TDataSet* Journal, const String& TitleText,
                   const String& DoiResolverPrefix) {
  assert(Catalog && "ParseCitation needs the catalog query");
  const String Orig = Trim(TitleText);
  if (Orig.isEmpty()) return;
  const TDateTime Today = Date();
  const TParsedCitation Parsed = ParseCitationText(Orig, DoiResolverPrefix, YearOf(Today));

  namespace col = catalogcolumns;
  if (Parsed.Doi) field(Catalog, col::Doi())->SetAsString(*Parsed.Doi);
  field(Catalog, col::Source())->SetAsString(Parsed.Source);
  field(Catalog, col::Author())->SetAsString(Parsed.Author);
  field(Catalog, col::Year())->SetAsInteger(Parsed.Year);
  // Emptied before the walk: a journal query that fails must not leave the
  // old journal beside the new citation.
  field(Catalog, col::Journal())->SetAsString(String());
  field(Catalog, col::Journal())->SetAsString(FindJournal(Journal, Orig));
  field(Catalog, col::EntryDate())->SetAsString(FormatDateTime(EntryDateFormat, Today));
  field(Catalog, col::FileType())->SetAsString(Parsed.FileType);
}

void SetStudyType(TDataSet* Catalog, const String& AbstractText) {
  assert(Catalog && "SetStudyType needs the catalog query");
  const String Abstract = Trim(AbstractText);
  if (Abstract.isEmpty()) return;
  const String Type = StudyType(Abstract);
  if (!Type.isEmpty()) field(Catalog, catalogcolumns::FileType())->SetAsString(Type);
}
