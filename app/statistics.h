// The numbers of the "Statistics " window (TfmInform): Calc's counts of the
// catalog and its value-label texts, and the per-year series of the
// histogram (bbtnHistogrClick).  Every statement runs in the data module's
// fdqSeek; the window puts fdqSeek's previous statement back on "Exit".
//
// Calc reads every count in one pass over the references, and the series in
// one grouped statement: the same numbers as one statement per count or per
// year, without a scan of the table for each.
#pragma once

#include "platform/rtl/system.h"

#include <vector>

class TFDQuery;
struct TFormatSettings;

struct TCatalogStatistics {
  Integer SourceNmb = 0;   // references
  Integer ReferatNmb = 0;  // with an abstract (not Null; an empty one counts)
  Integer ArticleNmb = 0;  // with a document (file_doc neither Null nor empty)
  Integer BookNmb = 0;     // type "bk" or the old "bks"
  Integer ArtNmb = 0;      // type "atl"
  Integer RecNmb = 0;      // type "rec"
  String YearMin;          // the first and last publication year; "" without references
  String YearMax;
  String fLastDate;        // the newest entry date; "" without references
  Int64 Size = 0;          // bytes of the catalog file
};

// Calc's counting, and the size of DataBaseFile (the connection's catalog
// file).  EInOutError when that file cannot be opened.
TCatalogStatistics Calc(TFDQuery* fdqSeek, const String& DataBaseFile);

// The texts of the nine value labels, each the label's stored text (": " or
// ":") with the value appended as the window shows it.
struct TStatisticsLabels {
  String References, Abstracts, Articles, Guidelines, Books, Documents, Years, Updated, Size;
};
TStatisticsLabels StatisticsLabels(const TCatalogStatistics& Statistics);

// Bytes as mebibytes, one decimal, a point, blank-padded to four characters:
// "3.5" with a blank before it.
String SizeText(Int64 Bytes);

// The histogram's series: one entry per year from First to Last, 0 for a
// year without references; Mean is the counts' mean, fixed with one decimal
// in Settings' decimal separator.  A Last before First gives no years and
// the mean "0.0".
struct THistogram {
  std::vector<Integer> Years;
  std::vector<Integer> Counts;
  String Mean;
};
THistogram HistogramSeries(TFDQuery* fdqSeek, Integer First, Integer Last, const TFormatSettings& Settings);
