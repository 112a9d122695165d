#include "app/refimport.h"

#include "app/catalogcolumns.h"
#include "app/citationparser.h"
#include "app/fcommon.h"
#include "app/textcleaning.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/textfiles.h"

#include <cassert>
#include <memory>

namespace {

const char DataErrorText[] = "Data error";
const char RisExtension[] = ".RIS";
// The whole file is decoded at once; a citation file of one reference has a
// few kilobytes and an export of thousands of records a few megabytes, so a
// larger file is not a citation file.
constexpr Int64 MaxReferenceFileSize = Int64(64) * 1024 * 1024;
// The author list keeps three names and then says ", et al".
constexpr int MaxAuthors = 3;

// ------------------------------------------------------------ tagged lines

// With a line that begins with Tag: Value := the line without the tag and its
// first "-", trimmed (RIS "AU  - Smith, John", MEDLINE "AU  - Smith J").
bool takes(const String& Line, const char* Tag, String& Value) {
  const QLatin1String TagText(Tag);
  if (!Line.startsWith(TagText)) return false;
  Value = Trim(DeleteFirstText(DeleteFirstText(Line, TagText), QStringLiteral("-")));
  return true;
}

bool begins(const String& Line, const char* Tag) { return Line.startsWith(QLatin1String(Tag)); }

// "ER  -" (RIS): the tag, blanks and the hyphen, or the tag alone.  A
// continuation line such as "ER-positive tumours" is not one.
bool isRisRecordEnd(const String& Line) {
  if (!begins(Line, "ER")) return false;
  const String After = Copy(Line, 3, Length(Line));
  return After.isEmpty() || (After[0] == u' ' && TrimLeft(After).startsWith(u'-'));
}

bool isPubMedIdLine(const String& Line) { return begins(Line, "PMID-"); }

// ------------------------------------------------------------ authors

enum class TAuthorRule {
  RisAu,    // RIS "AU": a one-letter rest gives no initial; no comma drops the first "."
  Initial,  // RIS "A1" and MEDLINE "AU": the rest's first letter, whatever its length
};

// "Smith, John" -> "Smith J".
String authorName(const String& Value, TAuthorRule Rule) {
  const int Comma = Pos(QStringLiteral(","), Value);
  if (Comma == 0) return Rule == TAuthorRule::RisAu ? DeleteFirstText(Value, QStringLiteral(".")) : Value;
  const String Surname = Copy(Value, 1, Comma - 1);
  const String Rest = Trim(Copy(Value, Comma + 1, Length(Value)));
  if (Rule == TAuthorRule::RisAu && Length(Rest) < 2) return Surname + u' ';
  return Surname + u' ' + Copy(Rest, 1, 1);
}

// "Smith J, Jones K, Lee M, et al": three names, the third with ", et al".
class TAuthorList {
public:
  bool Full() const { return FCount >= MaxAuthors; }
  void Add(const String& Name) {
    assert(!Full() && "author list already holds three names");
    if (FCount > 0) FText += QStringLiteral(", ");
    FText += Name;
    if (++FCount == MaxAuthors) FText += QStringLiteral(", et al");
  }
  const String& Text() const { return FText; }

private:
  String FText;
  int FCount = 0;
};

// ------------------------------------------------------------ one record

// The values collected from the first record.
struct TRecord {
  TAuthorList Authors;
  String Title;
  String Journal;
  String Year;
  String Volume;
  String FirstPage;
  String LastPage;
  String Doi;
  String Abstract;
  String SourceLine;  // MEDLINE "SO"
  bool YearSeen = false;
  bool VolumeSeen = false;
  bool PagesSeen = false;
  bool LastPageSeen = false;
  bool DoiSeen = false;

  // " doi:" and the DOI once a DOI tag was seen, also an empty one.
  String DoiPart() const { return DoiSeen ? QStringLiteral(" doi:") + Doi : String(); }
  // An empty tag is no value: a file of tags alone holds no reference.
  bool HasValues() const {
    for (const String* Value : {&Authors.Text(), &Title, &Journal, &Year, &Volume, &FirstPage, &LastPage, &Doi,
                                &Abstract, &SourceLine})
      if (!Value->isEmpty()) return true;
    return false;
  }
};

// "DO  - https://doi.org/10.1/x" and "M3  - doi: 10.1/x" both give "10.1/x".
String doiOf(const String& Value, const String& DoiResolverPrefix) {
  String Doi = DeleteFirstText(Value, DoiResolverPrefix);
  Doi = DeleteFirstText(Doi, QStringLiteral("doi:"));
  Doi = DeleteFirstText(Doi, QStringLiteral("DOI:"));
  return Trim(Doi);
}

// A line reader for one format: Take answers false once the record has
// ended, and the line is not looked at.
class TRecordReader {
public:
  virtual ~TRecordReader() = default;
  virtual bool Take(const String& Line) = 0;
  virtual String Citation() const = 0;
  const TRecord& Record() const { return FRecord; }

protected:
  TRecord FRecord;
  bool FStarted = false;  // a line of the record was taken
};

class TRisReader : public TRecordReader {
public:
  explicit TRisReader(const String& DoiResolverPrefix) : FDoiResolverPrefix(DoiResolverPrefix) {}

  bool Take(const String& RawLine) override {
    const String Line = Trim(RawLine);
    if (Line.isEmpty()) return true;
    if (isRisRecordEnd(Line)) return !FStarted;
    FStarted = takeLine(Line) || FStarted || begins(Line, "TY");
    return true;
  }

  String Citation() const override {
    const TRecord& R = FRecord;
    const String Pages = R.LastPageSeen && !R.LastPage.isEmpty() ? R.FirstPage + u'-' + R.LastPage : R.FirstPage;
    const String Head = R.Authors.Text() + QStringLiteral(". ") + R.Title + QStringLiteral(". ") + R.Journal +
                        QStringLiteral(". ") + R.Year;
    if (R.VolumeSeen && R.PagesSeen) return Head + u';' + R.Volume + u':' + Pages + QStringLiteral(". ") + R.DoiPart();
    if (R.VolumeSeen) return Head + u';' + R.Volume + QStringLiteral(". ") + R.DoiPart();
    if (R.PagesSeen) return Head + u':' + Pages + u'.' + R.DoiPart();
    return Head + QStringLiteral(". ") + R.DoiPart();
  }

private:
  // The first row of the tag table that holds acts; false when none does.
  bool takeLine(const String& Line) {
    TRecord& R = FRecord;
    String V;
    if (!R.Authors.Full() && takes(Line, "AU", V))
      R.Authors.Add(authorName(V, TAuthorRule::RisAu));
    else if (!R.Authors.Full() && takes(Line, "A1", V))
      R.Authors.Add(authorName(V, TAuthorRule::Initial));
    else if (takes(Line, "T1", V) || takes(Line, "TI", V))
      R.Title = V;
    else if (takes(Line, "JF", V) || takes(Line, "JO", V) || takes(Line, "T2", V))
      R.Journal = V;
    else if (takes(Line, "PY", V))
      setYear(V);
    else if (takes(Line, "Y1", V))
      setYear(TextBefore(V, QStringLiteral("/")));
    else if (takes(Line, "Y2", V)) {
      // a secondary date only fills in, and only with a "/"-separated date
      if (!R.YearSeen) R.Year = Copy(V, 1, Pos(QStringLiteral("/"), V) - 1);
    } else if (takes(Line, "DO", V) || takes(Line, "M3", V)) {
      R.Doi = doiOf(V, FDoiResolverPrefix);
      R.DoiSeen = true;
    } else if (takes(Line, "VL", V) || takes(Line, "IS", V)) {
      // an issue line takes the volume's place in the citation
      R.Volume = V;
      R.VolumeSeen = true;
    } else if (takes(Line, "AN", V) || takes(Line, "SP", V)) {
      R.FirstPage = V;
      R.PagesSeen = true;
    } else if (takes(Line, "EP", V) || takes(Line, "LP", V)) {
      R.LastPage = V;
      R.LastPageSeen = true;
      R.PagesSeen = true;
    } else if (takes(Line, "N2", V)) {
      R.Abstract = V;
      FN2Seen = true;
    } else if (takes(Line, "AB", V)) {
      // current exports name the abstract "AB"; an "N2" abstract wins
      if (!FN2Seen) R.Abstract = V;
    } else
      return false;
    return true;
  }

  void setYear(const String& Year) {
    FRecord.Year = Year;
    FRecord.YearSeen = true;
  }

  const String FDoiResolverPrefix;
  bool FN2Seen = false;
};

class TMedlineReader : public TRecordReader {
public:
  // MEDLINE lines are looked at as read, with their indentation.
  bool Take(const String& Line) override {
    const bool Blank = Trim(Line).isEmpty();
    if (Blank || isPubMedIdLine(Line)) {
      if (FStarted) return false;
      FStarted = !Blank;
      return true;
    }
    FStarted = takeLine(Line) || FStarted;
    return true;
  }

  String Citation() const override {
    return FRecord.Authors.Text() + QStringLiteral(". ") + FRecord.Title + u' ' + FRecord.SourceLine;
  }

private:
  // The first row of the tag table that holds acts; false when none does.
  // PubMed wraps values at 80 characters onto lines that begin with blanks:
  // such a line joins the title, abstract or source it continues (the
  // values a citation is made of) and is dropped after any other tag.
  bool takeLine(const String& Line) {
    if (isContinuationLine(Line)) {
      if (!FContinued) return false;
      joinWrapped(*FContinued, Trim(Line));
      return true;
    }
    TRecord& R = FRecord;
    FContinued = nullptr;
    String V;
    if (!R.Authors.Full() && !begins(Line, "AUID") && takes(Line, "AU", V))
      R.Authors.Add(authorName(V, TAuthorRule::Initial));
    else if (takes(Line, "TI", V))
      continueWith(R.Title, V);
    else if (takes(Line, "N2", V) || takes(Line, "AB", V))
      continueWith(R.Abstract, V);
    else if (takes(Line, "SO", V))
      continueWith(R.SourceLine, V);
    else
      return false;
    return true;
  }

  static bool isContinuationLine(const String& Line) { return Line.startsWith(u' ') || Line.startsWith(u'\t'); }

  // A value wrapped onto the next line goes on after one blank.
  static void joinWrapped(String& Value, const String& Wrapped) {
    Value = Value.isEmpty() ? Wrapped : Value + u' ' + Wrapped;
  }

  void continueWith(String& Value, const String& First) {
    Value = First;
    FContinued = &Value;
  }

  String* FContinued = nullptr;  // the value the next wrapped line belongs to
};

std::unique_ptr<TRecordReader> recordReader(const String& FileName, const String& DoiResolverPrefix) {
  if (ReferenceFormatOf(FileName) == TReferenceFormat::Ris) return std::make_unique<TRisReader>(DoiResolverPrefix);
  return std::make_unique<TMedlineReader>();
}

std::unique_ptr<TFileStream> openReferenceFile(const String& FileName) {
  std::unique_ptr<TFileStream> Stream;
  try {
    Stream = std::make_unique<TFileStream>(FileName, fmOpenRead | fmShareDenyWrite);
  } catch (const EFOpenError& E) {
    throw EReferenceFileError(E.Message);
  }
  const Int64 Size = Stream->Size();
  if (Size > MaxReferenceFileSize)
    throw EReferenceFileError(QStringLiteral("File \"%1\" has %2 bytes; a citation file has at most %3")
                                  .arg(FileName)
                                  .arg(Size)
                                  .arg(MaxReferenceFileSize));
  return Stream;
}

}  // namespace

EReferenceFileError::EReferenceFileError(const String& AReason)
    : Exception(QLatin1String(DataErrorText)), Reason(AReason) {}

TReferenceFormat ReferenceFormatOf(const String& FileName) {
  return SameText(ExtractFileExt(FileName), QLatin1String(RisExtension)) ? TReferenceFormat::Ris
                                                                          : TReferenceFormat::Medline;
}

TReferenceText ReadReferenceFile(const String& FileName, const String& DoiResolverPrefix) {
  const std::unique_ptr<TFileStream> Stream = openReferenceFile(FileName);
  TStreamReader Reader(Stream.get(), TEncoding::UTF8(), /*DetectBOM=*/true);
  const std::unique_ptr<TRecordReader> Record = recordReader(FileName, DoiResolverPrefix);
  for (int LineNo = 1; !Reader.EndOfStream(); ++LineNo) {
    const String Line = Reader.ReadLine();
    if (Line.contains(QChar(0)))
      throw EReferenceFileError(
          QStringLiteral("File \"%1\" is not a text file: line %2 holds a NUL character").arg(FileName).arg(LineNo));
    if (!Record->Take(Line)) break;
  }
  if (!Record->Record().HasValues())
    throw EReferenceFileError(QStringLiteral("File \"%1\" holds no reference: its first record has no values")
                                  .arg(FileName));
  return {Record->Citation(), Record->Record().Abstract};
}

String ImportReferenceFile(TDataSet* Catalog, TDataSet* Refuse, TDataSet* Journal, const String& FileName,
                           const String& AbstractText, const String& DoiResolverPrefix) {
  assert(Catalog && "ImportReferenceFile needs the catalog query");
  const TReferenceText Imported = ReadReferenceFile(FileName, DoiResolverPrefix);
  TField* Source = Catalog->FieldByName(catalogcolumns::Source());
  Source->SetAsString(Imported.Citation);
  if (Trim(AbstractText).isEmpty() && !Trim(Imported.Abstract).isEmpty())
    Catalog->FieldByName(catalogcolumns::Summary())->SetAsString(Imported.Abstract);
  RemoveGarbage(Catalog, Refuse, Imported.Citation);
  // the title memo shows the cleaned source, and the parser reads the memo
  ParseCitation(Catalog, Journal, Source->AsString(), DoiResolverPrefix);
  return FileName;
}
