// The formatting-rule window's filter on a copy of the sample catalog.
#include "app/sidetables.h"

#include "tests/app/datamodulefixture.h"

#include <set>

using namespace dmtest;

namespace {

// The letters of the radio groups' items as the window shows them; the last
// item of each group is "all".
const QString Media = QStringLiteral("nu");
const QString Standards = QStringLiteral("gti");
const QString Kinds = QStringLiteral("bsaopdltr");

// One rule for every combination of the letters and an unknown one.
QByteArray everyCombination() {
  QByteArray Sql;
  for (QChar E : Media + u'x')
    for (QChar S : Standards + u'x')
      for (QChar T : Kinds + u'x')
        Sql += QStringLiteral("INSERT INTO reference VALUES ('rule %1%2%3', '', '%1', '%2', '%3');")
                   .arg(E).arg(S).arg(T).toUtf8();
  return Sql;
}

class SideTablesTest : public ::testing::Test {
protected:
  void SetUp() override {
    execOnFile(Path, "BEGIN;" + FileBytes(schemaPath()) + FileBytes(samplePath()) + everyCombination() + "COMMIT;");
    ASSERT_TRUE(Dm->OpenCatalog(Path));
  }
  void TearDown() override { Dm->Free(); }

  std::multiset<String> shown() const {
    std::multiset<String> Rules;
    TFDQuery* Q = Dm->fdqReference;
    for (Q->First(); !Q->Eof(); Q->Next())
      Rules.insert(Q->FieldByName(QStringLiteral("refer"))->AsString());
    return Rules;
  }
  // Every rule whose letters the three choices accept.
  std::multiset<String> bruteForce(int Paper, int Gost, int Doc) const {
    std::multiset<String> Rules;
    for (const String& Row : TRawConnection(Path).Rows("SELECT electr, system1, type1, refer FROM reference")) {
      const QStringList V = Row.split(u'|');
      const bool Medium = Paper < Media.size() ? V[0] == Media[Paper] : Media.contains(V[0]);
      const bool Standard = Gost == Standards.size() || V[1] == Standards[Gost];
      const bool Kind = Doc == Kinds.size() || V[2] == Kinds[Doc];
      if (Medium && Standard && Kind) Rules.insert(V.mid(3).join(u'|'));
    }
    return Rules;
  }

  QTemporaryDir Dir;
  String Path = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  TdmCatalog* Dm = new TdmCatalog(nullptr);
};

TEST_F(SideTablesTest, FilterRulesStatements) {
  EXPECT_EQ(FilterRulesSQL(1, 2, 2), "select * from [reference] where electr='u' and system1='i' and type1='a'");
  EXPECT_EQ(FilterRulesSQL(2, 3, 9), "select * from [reference] where (electr='n' or electr='u')");
  EXPECT_EQ(FilterRulesSQL(0, 0, 9), "select * from [reference] where electr='n' and system1='g'")
      << "the statement the window shows first";
  EXPECT_EQ(FilterRulesSQL(-1, -1, -1), FilterRulesSQL(2, 3, 9)) << "no choice is all";
}

TEST_F(SideTablesTest, EveryChoiceShowsExactlyItsRules) {
  int Choices = 0;
  for (int Paper = 0; Paper <= Media.size(); ++Paper)
    for (int Gost = 0; Gost <= Standards.size(); ++Gost)
      for (int Doc = 0; Doc <= Kinds.size(); ++Doc) {
        SCOPED_TRACE(testing::Message() << Paper << ", " << Gost << ", " << Doc);
        FilterRules(Dm->fdqReference, Paper, Gost, Doc);
        const std::multiset<String> Expected = bruteForce(Paper, Gost, Doc);
        EXPECT_FALSE(Expected.empty());
        EXPECT_EQ(shown(), Expected);
        ++Choices;
      }
  EXPECT_EQ(Choices, 120);
}

TEST_F(SideTablesTest, AnEditIsStoredBeforeTheRulesAreReopened) {
  FilterRules(Dm->fdqReference, 0, 0, 9);
  ASSERT_TRUE(Dm->fdqReference->Locate(QStringLiteral("refer"), QStringLiteral("rule ngb"), {}));
  Dm->fdqReference->Edit();
  Dm->fdqReference->FieldByName(QStringLiteral("comment"))->SetAsString(QStringLiteral("kept"));
  FilterRules(Dm->fdqReference, 1, 3, 9);  // the edit is still open
  EXPECT_EQ(TRawConnection(Path).Rows("SELECT comment FROM reference WHERE refer = 'rule ngb'"), Lines({"kept"}));
  EXPECT_FALSE(Dm->fdqReference->UpdatesPending());
}

}  // namespace
