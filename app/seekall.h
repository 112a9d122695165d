// The statements of the search window (TfmSeekAll): MakeQuery finds the
// references that match the window's criteria, LastMonthQuery those entered
// during the last month; both run in the data module's fdqSeek.
//
// Every text the user typed is bound as a parameter, never spliced into the
// statement: a quote, a bracket or "or 1=1" in a search box is only text to
// look for.  Within that text "%" and "_" keep their LIKE meaning (any run,
// any one character), and "+" between words means AND.  Upper-case Latin
// letters are lowered (the engine's LIKE folds only those); other letters are
// matched as typed.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/system.h"
#include "platform/rtl/variant.h"

#include <utility>
#include <vector>

class TFDQuery;

// A search statement that cannot run: Message is the window's warning, "Bad
// request"; Reason the engine's text.
class EBadRequest : public Exception {
public:
  explicit EBadRequest(const String& AReason);
  String ClassName() const override { return QStringLiteral("EBadRequest"); }

  String Reason;
};

// What the search window's controls hold.
struct TSeekCriteria {
  Integer Year1 = 0;    // seYear11
  Integer Year2 = 0;    // seYear21
  String Author;        // edAuthor1
  String Words;         // edTitle, words joined by "+"
  String File;          // edFile
  String Journal;       // the journal box's text
  String Date1;         // meDate1, "yyyy-mm-dd" as shown
  String Date2;         // meDate2
  String TypeKey;       // the type box's key item: a type code, "all", or "" for none chosen
};

// The statement and the values of its ":name" markers, in marker order.
struct TSeekStatement {
  String SQL;
  std::vector<std::pair<String, Variant>> Params;
};

// The search statement: the year range, then each given criterion in the
// window's order (author, words, file, journal), the entry dates, the type;
// ordered by year and entry date, newest first.
TSeekStatement SeekStatement(const TSeekCriteria& Criteria);

// What a search leaves for the window: the count and the status panel's text.
struct TSeekResult {
  int Count = 0;
  String Status;
};

// Opens Statement in fdqSeek (replacing its statement) on its first record.
// EBadRequest when the engine refuses the statement or its values.
TSeekResult OpenSeek(TFDQuery* fdqSeek, const TSeekStatement& Statement, const String& StatusSuffix = String());

// MakeQuery: the search statement of Criteria, opened in fdqSeek; status
// "References: " + count.
TSeekResult MakeQuery(TFDQuery* fdqSeek, const TSeekCriteria& Criteria);

// The first day of "the last month" before Today: the same day of the
// previous calendar month, a day above 28 becoming 28.
String LastMonthStart(TDateTime Today);

// LastMonthQuery: Date1 and Date2 (the window's date boxes) become the last
// month's start and Today; the references entered between them, newest
// first, are opened in fdqSeek; status "References: " + count + " (added in
// the last month)".
TSeekResult LastMonthQuery(TFDQuery* fdqSeek, TDateTime Today, String& Date1, String& Date2);

inline constexpr QLatin1StringView BadRequestText{"Bad request"};
