#include "app/statistics.h"

#include "app/fcommon.h"
#include "platform/db/fields.h"
#include "platform/fd/fdparams.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/stringlist.h"

#include <map>

namespace {

// One pass for the six counts, the year range and the newest entry; the
// conditions are those of the window's statements.
constexpr const char* CountsSQL =
    "select count(*), count(Summary), count(case when file_doc<>'' then 1 end), "
    "count(case when file_type in ('bk', 'bks') then 1 end), count(case when file_type='rec' then 1 end), "
    "count(case when file_type='atl' then 1 end), min(Data_make), max(Data_make), max(Data_input) from bibliona";
constexpr const char* SeriesSQL =
    "select Data_make, count(*) from bibliona where Data_make between :first and :last group by Data_make";

constexpr double BytesPerMb = 1048576.0;
constexpr int SizeWidth = 4;
constexpr int MeanPrecision = 8;

void openSeek(TFDQuery* fdqSeek, const char* SQL) {
  fdqSeek->Close();
  fdqSeek->SQL()->SetText(QString::fromLatin1(SQL));
}

TField* column(TFDQuery* Query, int Index) { return Query->Fields()->Fields(Index); }

}  // namespace

TCatalogStatistics Calc(TFDQuery* fdqSeek, const String& DataBaseFile) {
  openSeek(fdqSeek, CountsSQL);
  fdqSeek->Open();
  TCatalogStatistics S;
  Integer* const Counts[] = {&S.SourceNmb, &S.ReferatNmb, &S.ArticleNmb, &S.BookNmb, &S.RecNmb, &S.ArtNmb};
  for (int I = 0; I < 6; ++I) *Counts[I] = column(fdqSeek, I)->AsInteger();
  S.YearMin = column(fdqSeek, 6)->AsString();
  S.YearMax = column(fdqSeek, 7)->AsString();
  S.fLastDate = column(fdqSeek, 8)->AsString();
  S.Size = FileSizeBytes(DataBaseFile);
  return S;
}

TStatisticsLabels StatisticsLabels(const TCatalogStatistics& S) {
  const String Wide = QStringLiteral(": ");  // the stored texts of the rows
  const String Narrow = QStringLiteral(":");
  const auto one = [](const String& Stored, const String& Value) { return Stored + u' ' + Value; };
  const auto two = [](const String& Stored, Integer Count) { return Stored + QStringLiteral("  ") + IntToStr(Count); };
  return {one(Wide, IntToStr(S.SourceNmb)),
          one(Wide, IntToStr(S.ReferatNmb)),
          two(Narrow, S.ArtNmb),
          two(Narrow, S.RecNmb),
          two(Narrow, S.BookNmb),
          one(Wide, IntToStr(S.ArticleNmb)),
          one(Wide, S.YearMin + u'-' + S.YearMax),
          one(Wide, S.fLastDate),
          one(Wide, SizeText(S.Size) + QStringLiteral(" Mb"))};
}

String SizeText(Int64 Bytes) { return Str(double(Bytes) / BytesPerMb, SizeWidth, 1); }

THistogram HistogramSeries(TFDQuery* fdqSeek, Integer First, Integer Last, const TFormatSettings& Settings) {
  THistogram H;
  std::map<Integer, Integer> PerYear;
  if (Last >= First) {
    openSeek(fdqSeek, SeriesSQL);
    fdqSeek->ParamByName(QStringLiteral("first"))->SetValue(First);
    fdqSeek->ParamByName(QStringLiteral("last"))->SetValue(Last);
    fdqSeek->Open();
    for (fdqSeek->First(); !fdqSeek->Eof(); fdqSeek->Next())
      PerYear[column(fdqSeek, 0)->AsInteger()] += column(fdqSeek, 1)->AsInteger();
  }
  double Sum = 0;
  for (Integer Year = First; Year <= Last; ++Year) {
    H.Years.push_back(Year);
    H.Counts.push_back(PerYear[Year]);
    Sum += PerYear[Year];
  }
  const double Mean = H.Years.empty() ? 0.0 : Sum / double(H.Years.size());
  H.Mean = FloatToStrF(Mean, ffFixed, MeanPrecision, 1, Settings);
  return H;
}
