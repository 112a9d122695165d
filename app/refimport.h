// Import of a citation file into the reference editor: a RIS file, or a
// PubMed file in the MEDLINE tagged format, read into one citation line in
// the catalog's style (authors, title, journal, year;volume:pages, DOI) and
// an abstract.
//
// Only the file's first record is read: a file with several records gives
// the first one whole, never the authors of one with the title of another.
// RIS records end at an "ER  -" line, MEDLINE records at a blank line or at
// the next "PMID-" line.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/system.h"

class TDataSet;

// A file that cannot be read as a citation file: missing, unreadable, too
// large, binary, or without any value in its first record.  Message is the
// editor's warning, "Data error"; Reason names the file and the problem.
class EReferenceFileError : public Exception {
public:
  explicit EReferenceFileError(const String& AReason);
  String ClassName() const override { return QStringLiteral("EReferenceFileError"); }

  String Reason;
};

enum class TReferenceFormat { Ris, Medline };

// ".RIS" in any letter case is RIS; every other extension (".nbib", ".txt",
// none) is MEDLINE.
TReferenceFormat ReferenceFormatOf(const String& FileName);

struct TReferenceText {
  String Citation;
  String Abstract;
};

// Reads the first record of FileName in the format its extension names.
// Lines are UTF-8 (a byte-order mark picks UTF-16 instead); bytes that are not
// valid UTF-8 become U+FFFD and the reading goes on.  DoiResolverPrefix is the
// resolver address a RIS DOI value may carry.  Raises EReferenceFileError.
TReferenceText ReadReferenceFile(const String& FileName, const String& DoiResolverPrefix);

// "Import reference" after the user chose FileName: reads it; source := the
// citation; summary := the abstract when AbstractText (the abstract memo's
// text) is blank and the imported one is not; cleans the title with the
// cleaning pairs and parses it (RemoveGarbage, ParseCitation).  Catalog is the
// catalog query on the edited row, Refuse and Journal the cleaning-pair and
// journal queries.
//
// Answers the file to delete, which is FileName: the editor deletes it once
// the row is stored, so cancelling the editor loses neither the row's old
// title nor the file.  A file that cannot be read raises EReferenceFileError
// before anything is changed.
String ImportReferenceFile(TDataSet* Catalog, TDataSet* Refuse, TDataSet* Journal, const String& FileName,
                           const String& AbstractText, const String& DoiResolverPrefix);
