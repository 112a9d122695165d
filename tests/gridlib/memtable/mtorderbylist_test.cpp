#include "gridlib/memtable/mtorderbylist.h"

#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"
#include "tests/support/testing.h"

#include <QStringList>

namespace {

class MTOrderByList : public ::testing::Test {
protected:
  MTOrderByList() : DataSet(new TRowListDataSet(nullptr)), List(DataSet) {
    DataSet->FieldDefs()->Add(QStringLiteral("Name"), ftString, 20);
    DataSet->FieldDefs()->Add(QStringLiteral("Id"), ftInteger, 0);
    DataSet->Open();
  }
  ~MTOrderByList() override { DataSet->Free(); }

  // "Name-" for a descending key, "Id" for an ascending one.
  String keys() const {
    QStringList Result;
    for (Integer I = 0; I < List.Count(); I++) {
      TOrderByItemEh* Item = List.Items(I);
      Result << DataSet->Fields()->Fields(Item->FieldIndex)->FieldName() + (Item->Desc ? "-" : "");
    }
    return Result.join(u' ');
  }

  TRowListDataSet* DataSet;
  TMTOrderByList List;
};

TEST_F(MTOrderByList, SortTexts) {
  struct Case {
    const char* Text;
    const char* Keys;   // the parsed keys, when the text parses
    const char* Error;  // the message, when it does not
  } Cases[] = {
      {"Name DESC; Id", "Name- Id", nullptr},
      {"Name DESC ASC", "Name-", nullptr},
      {"", "", nullptr},
      {"Name;", "Name", nullptr},
      {"[Id] desc, name", "Id- Name", nullptr},
      {"Name;;Id", nullptr, " Field - \";\" not found."},
      {"Name XYZ", nullptr, " Invalid token - \"XYZ\""},
      {"Title", nullptr, " Field - \"Title\" not found."},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    List.ParseOrderByStr(QStringLiteral("Id"));
    if (C.Error) {
      EXPECT_RAISES(List.ParseOrderByStr(QString::fromLatin1(C.Text)), Exception, QString::fromLatin1(C.Error));
      EXPECT_EQ(keys(), QStringLiteral("Id"));  // a failing text keeps the keys
    } else {
      List.ParseOrderByStr(QString::fromLatin1(C.Text));
      EXPECT_EQ(keys(), QString::fromLatin1(C.Keys));
    }
  }
}

TEST_F(MTOrderByList, ItemsTakeTypeAndCaseFromTheDataSet) {
  DataSet->SetFilterOptions(TFilterOptions{foCaseInsensitive});
  List.ParseOrderByStr(QStringLiteral("Id;Name"));
  ASSERT_EQ(List.Count(), 2);
  EXPECT_EQ(List.Items(0)->DataType, ftInteger);
  EXPECT_EQ(List.Items(1)->DataType, ftString);
  EXPECT_TRUE(List.Items(1)->CaseIns);
  EXPECT_EQ(List.Items(1)->MTFieldIndex, -1);

  DataSet->SetFilterOptions(TFilterOptions());
  List.ParseOrderByStr(QStringLiteral("Name"));
  EXPECT_FALSE(List.Items(0)->CaseIns);
}

}  // namespace
