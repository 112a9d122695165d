#include "gridlib/base/orderbylist.h"

#include "platform/rtl/exceptions.h"
#include "tests/support/testing.h"

#include <QStringList>

namespace {

// A list over a fixed set of field names, keeping the resolved index.
class TNamedOrderByList : public TOrderByList {
public:
  explicit TNamedOrderByList(QStringList Names) : FNames(std::move(Names)) {}

  void SetItemFieldIndex(TOrderByItemEh* Item, Integer FieldIndex) override { Item->FieldIndex = FieldIndex; }
  Integer FieldIndexOfName(const String& Name) override { return Integer(FNames.indexOf(Name)); }

private:
  QStringList FNames;
};

struct TParsed {
  Integer FieldIndex;
  bool Desc;
};

std::vector<TParsed> itemsOf(const TOrderByList& List) {
  std::vector<TParsed> Result;
  for (Integer I = 0; I < List.Count(); ++I) Result.push_back({List.Items(I)->FieldIndex, List.Items(I)->Desc});
  return Result;
}

bool operator==(const TParsed& A, const TParsed& B) { return A.FieldIndex == B.FieldIndex && A.Desc == B.Desc; }

TEST(OrderByList, GetTokenSplitsNamesSeparatorsAndBrackets) {
  const String Text = QStringLiteral("  a DESC,[b c] ;d]x [open");
  const QStringList Expected = {"a", "DESC", ",", "b c", ";", "d]x", "open", ""};
  Integer Pos = 1;
  for (const QString& Token : Expected) EXPECT_EQ(TOrderByList::GetToken(Text, Pos), Token);
  EXPECT_EQ(Pos, Text.size() + 1);
}

TEST(OrderByList, ParsesNamesDirectionsAndSeparators) {
  const struct {
    const char* Text;
    std::vector<TParsed> Items;
  } Cases[] = {
      {"a DESC, [b c] ; d", {{0, true}, {1, false}, {2, false}}},
      {"d asc desc Asc", {{2, true}}},
      {"a;d DeSc,", {{0, false}, {2, true}}},
      {"[b c]DESC", {{1, true}}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Text);
    TNamedOrderByList List({"a", "b c", "d"});
    List.ParseOrderByStr(QString::fromUtf8(C.Text));
    EXPECT_EQ(itemsOf(List), C.Items);
    for (Integer I = 0; I < List.Count(); ++I) {
      EXPECT_EQ(List.Items(I)->MTFieldIndex, -1);
      EXPECT_FALSE(List.Items(I)->CaseIns);
      EXPECT_EQ(List.Items(I)->DataType, ftUnknown);
    }
  }
}

TEST(OrderByList, FailingTextKeepsTheLastGoodItems) {
  const struct {
    const char* Text;
    const char* Message;
  } Cases[] = {
      {"a,,b", " Field - \",\" not found."},
      {"a, x", " Field - \"x\" not found."},
      {"a DESC d", " Invalid token - \"d\""},
      {"a [DESC]x", " Invalid token - \"x\""},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Text);
    TNamedOrderByList List({"a", "b c", "d"});
    List.ParseOrderByStr(QStringLiteral("d DESC"));
    EXPECT_RAISES(List.ParseOrderByStr(QString::fromUtf8(C.Text)), Exception, QString::fromUtf8(C.Message));
    EXPECT_EQ(itemsOf(List), (std::vector<TParsed>{{2, true}}));
  }
}

TEST(OrderByList, EmptyTextEmptiesTheList) {
  TNamedOrderByList List({"a"});
  List.ParseOrderByStr(QStringLiteral("a"));
  List.ParseOrderByStr(QStringLiteral("   "));
  EXPECT_EQ(List.Count(), 0);
}

TEST(OrderByList, BaseListKnowsNoField) {
  TOrderByList List;
  EXPECT_RAISES(List.ParseOrderByStr(QStringLiteral("a")), Exception, " Field - \"a\" not found.");
  EXPECT_FALSE(List.OwnsObjects());
  EXPECT_FALSE(TOrderByList(true).OwnsObjects());
}

}  // namespace
