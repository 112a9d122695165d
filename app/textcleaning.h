// Text commands of the reference editor on its title (`source`) and abstract
// (`summary`): cleaning with the user's find-and-replace pairs of table
// `refuse`, joining broken lines, cutting the author list to three authors and
// "et al.", copying a trial name or author into `author`, and laying an
// abstract out in paragraphs before its section headings.
//
// The text work is in plain functions over texts.  The editor's commands take
// the memo's current text and write the result into the current row of the
// catalog query, which the editor keeps in edit state while it is shown.
#pragma once

#include "platform/rtl/system.h"

#include <vector>

class TDataSet;

// Where a cleaning pair applies: the stored values of the `type` column.
enum TCleaningTarget { ctTitle = 1, ctAbstract = 2, ctArchive = 3, ctEverywhere = 4 };

// One row of `refuse`: every Find (case-sensitive) becomes Replace.
struct TCleaningPair {
  String Find;
  String Replace;
};
using TCleaningPairs = std::vector<TCleaningPair>;

// text functions

// Each pair in turn replaces every occurrence of its Find in the result of
// the pairs before it; a pair with an empty Find changes nothing.
String ApplyCleaningPairs(const String& Text, const TCleaningPairs& Pairs);
// The trimmed title through the pairs, then every CR and every LF a blank.
String CleanTitle(const String& Title, const TCleaningPairs& Pairs);
// The trimmed abstract through the pairs; its line breaks stay.
String CleanAbstract(const String& Abstract, const TCleaningPairs& Pairs);
// The trimmed text with every CR removed and every LF a blank, so a CR LF
// becomes one blank.
String JoinLines(const String& Text);
// "A B, C D, E F, G H. Title. Journal." -> "A B, C D, E F, et al. Title.
// Journal.": the trimmed text up to its third comma (all of it when it has
// fewer), " et al. ", and the text after its first period and the character
// after it (all of it when it has no period).  "" for a blank text.
String ShortenAuthorList(const String& Title);
// The trimmed text without the first ")", "(", ".", ",", ";", ":", "[" and
// "]" (one of each), trimmed again: "(DAPA-HF)" -> "DAPA-HF".
String StripPunctuation(const String& Text);
// The trimmed abstract with a blank line (CR LF CR LF) before every section
// heading ("Methods", "RESULTS", "In conclusion" ...), case-sensitive.  An
// abstract with "RESEARCH DESIGN AND METHODS" (in any case) gets no break
// before the headings "Design" to "METHODS"; one with only "METHODS AND
// RESULTS" none before "Methods" to "RESULTS".  Breaks add up over runs.
String FormatAbstract(const String& Abstract);

// the editor's commands

// The pairs of Target and of ctEverywhere, in the order the refuse query
// delivers its rows.  Opens the query and closes it again.
TCleaningPairs ReadCleaningPairs(TDataSet* Refuse, TCleaningTarget Target);

// Catalog is the catalog query on the edited row; Refuse the cleaning-pair
// query; the texts are the memos' texts (or the selection, for CopyToAuthor).
// A database error reaches the caller before the field is changed.

// "Remove garbage" on the title, also run after an import: source :=
// CleanTitle with the title pairs.  False, with nothing read or written, for
// a blank title; on true the editor puts the title's caret at its end.
bool RemoveGarbage(TDataSet* Catalog, TDataSet* Refuse, const String& TitleText);
// "Remove garbage" on the abstract: summary := CleanAbstract with the
// abstract pairs; a blank abstract changes nothing.
void RemoveAbstractGarbage(TDataSet* Catalog, TDataSet* Refuse, const String& AbstractText);
// "Removing hyphens": source := JoinLines; a blank title changes nothing.
void JoinTitleLines(TDataSet* Catalog, const String& TitleText);
// "Remove hyphens": summary := JoinLines, also for a blank abstract.
void JoinAbstractLines(TDataSet* Catalog, const String& AbstractText);
// The second "et al" button: source := ShortenAuthorList; a blank title
// changes nothing.
void ShortenAuthorList(TDataSet* Catalog, const String& TitleText);
// "Copy to author field" (title or abstract bar): author :=
// StripPunctuation of the selection, also when it is empty.
void CopyToAuthor(TDataSet* Catalog, const String& SelectedText);
// "Format text": summary := FormatAbstract.
void FormatAbstract(TDataSet* Catalog, const String& AbstractText);
