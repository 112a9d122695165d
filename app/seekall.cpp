#include "app/seekall.h"

#include "platform/db/dbconsts.h"
#include "platform/fd/fdparams.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <QStringList>

namespace {

constexpr const char* SeekSelect = "Select * from bibliona where ";
constexpr const char* SeekOrder = " order by DATA_MAKE desc, DATA_INPUT desc";
constexpr const char* LastMonthOrder = " order by DATA_INPUT desc, NUMBER desc";
constexpr const char* DateRange = "(DATA_INPUT >=:date1 and DATA_INPUT <=:date2)";
constexpr const char* AllTypes = "all";
constexpr const char* CountStatus = "References: ";
constexpr const char* LastMonthStatus = " (added in the last month)";
constexpr Word LastFullDay = 28;  // every month has it

String pattern(const String& Text) { return u'%' + Text + u'%'; }

// Collects the conditions and the values of their markers.
class TConditions {
public:
  void Add(const String& Condition) { FParts.push_back(Condition); }
  void Bind(const String& Name, const String& Value) { FParams.emplace_back(Name, Variant(Value)); }

  TSeekStatement Statement(const char* Order) const {
    return {QLatin1String(SeekSelect) + FParts.join(QStringLiteral(" and ")) + QLatin1String(Order), FParams};
  }

private:
  QStringList FParts;
  std::vector<std::pair<String, Variant>> FParams;
};

void addDates(TConditions& Where, const String& Date1, const String& Date2) {
  Where.Add(QLatin1String(DateRange));
  Where.Bind(QStringLiteral("date1"), Date1);
  Where.Bind(QStringLiteral("date2"), Date2);
}

// "a+b+c": one SOURCE pattern per word, joined by AND in one condition.
void addWords(TConditions& Where, const String& Words) {
  const QStringList List = LowerCase(Words).split(u'+');
  QStringList Patterns;
  for (qsizetype I = 0; I < List.size(); ++I) {
    const String Name = QStringLiteral("word%1").arg(I + 1);
    Patterns.push_back(QStringLiteral("SOURCE like :") + Name);
    Where.Bind(Name, pattern(List[I]));
  }
  Where.Add(u'(' + Patterns.join(QStringLiteral(" AND ")) + u')');
}

}  // namespace

EBadRequest::EBadRequest(const String& AReason) : Exception(BadRequestText), Reason(AReason) {}

TSeekStatement SeekStatement(const TSeekCriteria& Criteria) {
  TConditions Where;
  Where.Add(QStringLiteral("((DATA_MAKE>=%1) and (DATA_MAKE<=%2))").arg(Criteria.Year1).arg(Criteria.Year2));
  const String Author = LowerCase(Trim(Criteria.Author));
  if (!Author.isEmpty()) {
    Where.Add(QStringLiteral("AUTHOR like :author"));
    Where.Bind(QStringLiteral("author"), pattern(Author));
  }
  const String Words = Trim(Criteria.Words);
  if (!Words.isEmpty()) addWords(Where, Words);
  const String File = Trim(Criteria.File);
  if (!File.isEmpty()) {
    Where.Add(QStringLiteral("(FILE_DOC like :file)"));
    Where.Bind(QStringLiteral("file"), pattern(File));
  }
  const String Journal = Trim(Criteria.Journal);
  if (!Journal.isEmpty()) {
    Where.Add(QStringLiteral("JOURNAL=:journal"));
    Where.Bind(QStringLiteral("journal"), Journal);
  }
  addDates(Where, Criteria.Date1, Criteria.Date2);
  const String Type = Trim(Criteria.TypeKey);
  if (!Type.isEmpty() && Type != QLatin1String(AllTypes)) {
    // a substring match, so "bk" also finds the old code "bks"
    Where.Add(QStringLiteral("FILE_TYPE like :type"));
    Where.Bind(QStringLiteral("type"), pattern(Type));
  }
  return Where.Statement(SeekOrder);
}

TSeekResult OpenSeek(TFDQuery* fdqSeek, const TSeekStatement& Statement, const String& StatusSuffix) {
  try {
    fdqSeek->Close();
    fdqSeek->SQL()->SetText(Statement.SQL);
    for (const auto& [Name, Value] : Statement.Params) fdqSeek->ParamByName(Name)->SetValue(Value);
    fdqSeek->Open();
    fdqSeek->First();
  } catch (const EDatabaseError& E) {
    throw EBadRequest(E.Message);
  }
  const int Count = fdqSeek->RecordCount();
  return {Count, QLatin1String(CountStatus) + IntToStr(Count) + StatusSuffix};
}

TSeekResult MakeQuery(TFDQuery* fdqSeek, const TSeekCriteria& Criteria) {
  return OpenSeek(fdqSeek, SeekStatement(Criteria));
}

String LastMonthStart(TDateTime Today) {
  Word Year = 0, Month = 0, Day = 0;
  DecodeDate(Today, Year, Month, Day);
  if (Month > 1) {
    --Month;
  } else {
    Month = 12;
    --Year;
  }
  return QStringLiteral("%1-%2-%3")
      .arg(Year)
      .arg(Month, 2, 10, QChar(u'0'))
      .arg(std::min(Day, LastFullDay), 2, 10, QChar(u'0'));
}

TSeekResult LastMonthQuery(TFDQuery* fdqSeek, TDateTime Today, String& Date1, String& Date2) {
  Date1 = LastMonthStart(Today);
  Date2 = FormatDateTime(QStringLiteral("yyyy-mm-dd"), Today);
  TConditions Where;
  addDates(Where, Date1, Date2);
  return OpenSeek(fdqSeek, Where.Statement(LastMonthOrder), QLatin1String(LastMonthStatus));
}
