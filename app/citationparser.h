// The citation parser of the reference editor: one pasted citation (authors,
// title, journal, year;volume:pages, often a DOI) taken apart into the
// structured columns of the current reference row.
//
// The text work is in plain functions over texts; ParseCitation and
// SetStudyType are the editor's commands and write the row of the catalog
// query, which the editor keeps in edit state while it is shown.
#pragma once

#include "platform/rtl/system.h"

#include <optional>
#include <vector>

class TDataSet;

// What the citation text itself tells; the journal needs the journal table
// (FindJournal) and the entry date the clock.
struct TParsedCitation {
  std::optional<String> Doi;  // none when the text holds no DOI: the row's doi is left alone
  String Source;    // the citation without its DOI and its month token
  String Author;    // the first author's surname, with a name particle ("van Gogh")
  Integer Year = 0;  // the publication year, or the current year when none is plausible
  String FileType;  // reference-type code of the keyword table
};

// Every maximal run of the digits 0-9 in Text, in order; empty when none.
std::vector<String> FindNumbers(const String& Text);

// Parses Citation, which is already trimmed and not empty.  DoiResolverPrefix
// is the resolver address a DOI may be written after ("https://doi.org/");
// CurrentYear bounds the plausible years.
TParsedCitation ParseCitationText(const String& Citation, const String& DoiResolverPrefix,
                                  Integer CurrentYear);

// The reference-type code of the first keyword rule that holds for Text
// (compared in lower case): "rec", "onln", "met", "rci", "reg", else "sum".
String CitationType(const String& Text);
// The type the abstract's words give: "met", "rci" or "reg"; "" when none of
// them occurs, which leaves the row's type as it is.
String StudyType(const String& Abstract);

// The abbreviation (`short_name`) of the first row of the journal query, in
// its order, whose `full_name` occurs in Citation (case-sensitive); "" when
// none does.  Opens the query and closes it again.
String FindJournal(TDataSet* Journal, const String& Citation);

// The editor's commands.  Catalog is the catalog query on the edited row (in
// edit state); Journal the journal query; the texts are the memos' texts.
//
// "Author, year, magazine", and the parse after an import or on closing with
// an empty author or entry date: writes doi (when found), source, author,
// data_make, journal, data_input (today, "yyyy-mm-dd") and file_type.  A
// blank TitleText changes nothing.
void ParseCitation(TDataSet* Catalog, TDataSet* Journal, const String& TitleText,
                   const String& DoiResolverPrefix);
// "Study type": sets file_type from the abstract's words; a blank abstract,
// or one without the words, leaves it alone.
void SetStudyType(TDataSet* Catalog, const String& AbstractText);
