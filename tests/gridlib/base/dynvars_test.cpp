#include "gridlib/base/dynvars.h"

#include "gridlib/base/baseunit.h"
#include "gridlib/base/langresources.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/support/testing.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

namespace {

const String DuplicateA = QStringLiteral("Переменная с именем 'a' уже присутствует в Коллекции");

// A bag whose change events are counted.
class DynVarsEh : public ::testing::Test {
protected:
  void SetUp() override {
    Bag.OnChange = [this](TObject* Sender) {
      EXPECT_EQ(Sender, &Bag);
      ++Changes;
    };
  }

  TDynVarsEh Bag{nullptr};
  int Changes = 0;
};

TEST_F(DynVarsEh, MissingNamesHandOutOnePlaceholderUntilItIsWritten) {
  Bag.CreateDynVar(QStringLiteral("Other"), Variant(1));
  TCustomDynVarEh* Dummy = Bag.GetDynVar(QStringLiteral("Column"));
  EXPECT_TRUE(Dummy->IsDummy());
  EXPECT_EQ(Dummy->ClassType(), TDynVarEh::StaticClass());
  EXPECT_EQ(Bag.GetDynVar(QStringLiteral("Level")), Dummy);
  EXPECT_EQ(Dummy->Name(), "Level") << "renamed by the newer request";
  EXPECT_EQ(Dummy->AsString(), "");
  EXPECT_EQ(Bag.Count(), 1);
  EXPECT_FALSE(Bag.VarExists(QStringLiteral("Level")));

  Changes = 0;
  Dummy->SetAsInteger(7);
  EXPECT_FALSE(Dummy->IsDummy());
  EXPECT_EQ(Bag.Count(), 2);
  EXPECT_EQ(Bag.GetDynVar(QStringLiteral("LEVEL")), Dummy);
  EXPECT_EQ(Dummy->AsInteger(), 7);
  EXPECT_GE(Changes, 1);
  TCustomDynVarEh* Fresh = Bag.GetDynVar(QStringLiteral("Missing"));
  EXPECT_NE(Fresh, Dummy);
  EXPECT_TRUE(Fresh->IsDummy());
}

TEST_F(DynVarsEh, NamesAreUniqueWithoutRegardToCase) {
  Bag.CreateDynVar(QStringLiteral("A"), Variant(1));
  EXPECT_EQ(Bag.FindDynVar(QStringLiteral("a")), Bag.Items(0));
  EXPECT_RAISES(Bag.CreateDynVar(QStringLiteral("a"), Variant(2)), Exception, DuplicateA);
  EXPECT_EQ(Bag.Count(), 1);

  TCustomDynVarEh* B = Bag.CreateDynVar(QStringLiteral("B"), Variant(2));
  EXPECT_RAISES(B->SetName(QStringLiteral("a")), Exception, DuplicateA);
  EXPECT_EQ(B->Name(), "B");
  B->SetName(QStringLiteral("b"));  // its own name in another case
  EXPECT_EQ(B->Name(), "b");

  // A placeholder whose name was taken meanwhile cannot join.
  TCustomDynVarEh* Dummy = Bag.GetDynVar(QStringLiteral("c"));
  Bag.CreateDynVar(QStringLiteral("C"), Variant(3));
  EXPECT_RAISES(Dummy->SetAsInteger(1), Exception,
                QStringLiteral("Переменная с именем 'c' уже присутствует в Коллекции"));
  EXPECT_TRUE(Dummy->IsDummy());
  EXPECT_EQ(Bag.Count(), 3);
}

TEST_F(DynVarsEh, StalePlaceholderCannotBeWritten) {
  std::unique_ptr<TDynVarEh> Stale(TCustomDynVarEh::CreateAsDummy<TDynVarEh>(&Bag));
  EXPECT_RAISES(Stale->SetAsInteger(1), Exception, "DummyVar must be same as collection DummyVar");
  EXPECT_EQ(Bag.Count(), 0);
  EXPECT_TRUE(VarIsEmpty(Stale->Value()));
}

TEST_F(DynVarsEh, TypedGettersOfNullAndEmpty) {
  for (const Variant& V : {Variant(), Null()}) {
    SCOPED_TRACE(VarIsNull(V) ? "Null" : "Empty");
    TDynVarsEh Local(nullptr);
    TCustomDynVarEh* Var = Local.CreateDynVar(QStringLiteral("V"), V);
    EXPECT_TRUE(Var->IsNull());
    EXPECT_EQ(Var->AsInteger(), 0);
    EXPECT_EQ(Var->AsFloat(), 0);
    EXPECT_EQ(Var->AsCurrency(), Currency());
    EXPECT_EQ(Var->AsDateTime(), 0);
    EXPECT_FALSE(Var->AsBoolean());
    EXPECT_EQ(Var->AsString(), "");
    EXPECT_EQ(Var->AsRefObject(), nullptr);
  }
}

TEST_F(DynVarsEh, TypedWritesAndNotification) {
  TCustomDynVarEh* Var = Bag.CreateDynVar(QStringLiteral("V"), Variant(0));
  Changes = 0;
  Var->SetAsString(QStringLiteral("12"));
  EXPECT_EQ(Changes, 0) << "AsString writes are silent";
  EXPECT_EQ(Var->AsInteger(), 12);
  Var->SetValue(Variant(1.5));
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Var->AsFloat(), 1.5);
  Var->SetAsBoolean(true);
  EXPECT_TRUE(Var->AsBoolean());
  Var->SetAsDateTime(45431.25);
  EXPECT_EQ(VarType(Var->Value()), varDate);
  EXPECT_EQ(Var->AsDateTime(), 45431.25);
  Var->SetAsCurrency(Currency(2.5));
  EXPECT_EQ(Var->AsCurrency(), Currency(2.5));
  EXPECT_EQ(Changes, 4);
  Var->Clear();
  EXPECT_EQ(Changes, 4);
  EXPECT_TRUE(Var->IsNull());

  TDynVarsEh Object(nullptr);
  Var->SetAsRefObject(&Object);
  EXPECT_EQ(Var->AsRefObject(), &Object);
  TCustomDynVarEh* ByCreate = Bag.CreateDynVar(QStringLiteral("Obj"), static_cast<TObject*>(&Object));
  EXPECT_EQ(ByCreate->AsRefObject(), &Object);

  Changes = 0;
  Bag.BeginUpdate();
  Var->SetAsInteger(1);
  Var->SetAsInteger(2);
  EXPECT_EQ(Changes, 0);
  Bag.EndUpdate();
  EXPECT_EQ(Changes, 1) << "once at the end of the bracket";
}

TEST_F(DynVarsEh, DisplayNames) {
  const struct {
    const char* Name;
    Variant Value;
    const char* Display;
  } Cases[] = {
      {"A", Null(), "A=(Null)"},
      {"", Variant(5), "(EmptyName)=5"},
      {"A", Variant(), "A=(Empty)"},
      {"", Variant(), "TDynVarEh"},
      {"A", VarArrayOf({1, 2}), "A=?"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Display);
    TDynVarsEh Local(nullptr);
    EXPECT_EQ(Local.CreateDynVar(QString::fromUtf8(C.Name), C.Value)->DisplayName(), QString::fromUtf8(C.Display));
  }
}

TEST_F(DynVarsEh, MovingAssigningAndComparing) {
  TDynVarsEh Other(nullptr);
  TCustomDynVarEh* A = Bag.CreateDynVar(QStringLiteral("A"), Variant(1));
  Bag.CreateDynVar(QStringLiteral("B"), Variant(QStringLiteral("x")));
  Other.CreateDynVar(QStringLiteral("B"), Variant(QStringLiteral("x")));
  Other.CreateDynVar(QStringLiteral("A"), Variant(1));
  EXPECT_FALSE(Bag.IsEqual(&Other)) << "another order";

  TDynVarsEh Copy(nullptr);
  Copy.Assign(&Bag);
  EXPECT_TRUE(Copy.IsEqual(&Bag));

  TDynVarsEh Strangers(nullptr);
  Strangers.CreateDynVar(QStringLiteral("Z"), Variant(9));
  Copy.AssignValues(&Strangers);
  EXPECT_TRUE(Copy.IsEqual(&Bag));
  Other.Items(1)->SetValue(Variant(5));
  Copy.AssignValues(&Other);
  EXPECT_EQ(Copy.FindDynVar(QStringLiteral("a"))->AsInteger(), 5);
  EXPECT_EQ(Copy.Count(), 2);

  Bag.RemoveDynVar(A);
  EXPECT_EQ(Bag.Count(), 1);
  EXPECT_RAISES(Other.AddDynVar(A), Exception, QStringLiteral("Переменная с именем 'A' уже присутствует в Коллекции"));
  Strangers.AddDynVar(A);
  EXPECT_EQ(A->VarCollection(), &Strangers);
  Strangers.DeleteDynVar(QStringLiteral("a"));
  Strangers.DeleteDynVar(QStringLiteral("nothing"));
  EXPECT_EQ(Strangers.Count(), 1);
}

TEST(StringVarsEh, TextFormRoundTrips) {
  TStringVarsEh Bag(nullptr);
  EXPECT_EQ(Bag.GetAsTextString(), "");
  Bag.CreateDynVar(QStringLiteral("A"), QStringLiteral("1"));
  Bag.CreateDynVar(QStringLiteral("B"), QStringLiteral("x"));
  const String Text = Bag.GetAsTextString();
  EXPECT_EQ(Text, "A=1\r\nB=x\r\n");

  TStringVarsEh Rebuilt(nullptr);
  int Changes = 0;
  Rebuilt.OnChange = [&Changes](TObject*) { ++Changes; };
  Rebuilt.CreateDynVar(QStringLiteral("Old"), QStringLiteral("gone"));
  Changes = 0;
  Rebuilt.SetFromTextString(Text);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Rebuilt.Count(), 2);
  EXPECT_EQ(Rebuilt.GetVarValue(QStringLiteral("a")), "1");
  EXPECT_EQ(Rebuilt.GetVarValue(QStringLiteral("B")), "x");
  Rebuilt.SetFromTextString(QStringLiteral("P=a=b\nQ=\rR"));
  EXPECT_EQ(Rebuilt.GetAsTextString(), "P=a=b\r\nQ=\r\n=\r\n");
}

TEST(StringVarsEh, ErrorsNameTheVariableAndTheCollection) {
  TStringVarsEh Bag(nullptr);
  EXPECT_RAISES(Bag.SetFromTextString(QStringLiteral("one\r\ntwo")), Exception,
                QStringLiteral("Переменная с именем '' уже присутствует в Коллекции"));
  EXPECT_RAISES(Bag.GetVarValue(QStringLiteral("X")), Exception,
                "A Variable named 'X' doesn't exist in the Collection 'TStringVarsEh'");
  EXPECT_RAISES(Bag.SetVarValue(QStringLiteral("X"), QStringLiteral("1")), Exception,
                "A Variable named 'X' doesn't exist in the Collection 'TStringVarsEh'");
  Bag.CreateDynVar(QStringLiteral("X"), QStringLiteral("1"));
  Bag.SetVarValue(QStringLiteral("x"), QStringLiteral("2"));
  EXPECT_EQ(Bag.GetVarValue(QStringLiteral("X")), "2");
  EXPECT_EQ(Bag.GetDynVar(QStringLiteral("Y"))->ClassType(), TStringVarEh::StaticClass());
}

// The duplicate-name text is the shared text table's, in the active language.
TEST(DynVarsLanguageEh, DuplicateNameTextFollowsTheActiveLanguage) {
  InitializeForms();
  InitializeGridLibBaseEh();
  QTemporaryDir Folder;
  ASSERT_TRUE(Folder.isValid());
  const auto write = [&](const char* Name, const char* Text) {
    QFile F(Folder.filePath(QString::fromLatin1(Name)));
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(QByteArray("object GridLibLanguageConsts: TGridLibLanguageConsts\r\n  DuplicateVarNameEh = ") + Text +
            "\r\nend\r\n");
  };
  write("GridLibLangConsts.ENU.dfm", "'Variable ''%s'' is already in the collection'");
  write("GridLibLangConsts.RUS.dfm", "'Переменная ''%s'' уже есть'");
  TLanguageResourceManagerEh* Manager = GetLanguageResourceManagerEh();
  Manager->SetResourceFolderPath(Folder.path());
  Manager->LoadListOfAvailableLanguages(QStringLiteral("GridLibLangConsts"));
  TDynVarsEh Bag(nullptr);
  Bag.CreateDynVar(QStringLiteral("a"), Variant(1));
  EXPECT_RAISES(Bag.CreateDynVar(QStringLiteral("a"), Variant(2)), Exception, DuplicateA);

  Manager->SetActiveLanguageAbbr(QStringLiteral("ENU"));
  EXPECT_RAISES(Bag.CreateDynVar(QStringLiteral("A"), Variant(2)), Exception,
                "Variable 'A' is already in the collection");
  Manager->SetActiveLanguageAbbr(QStringLiteral("RUS"));
  EXPECT_RAISES(Bag.CreateDynVar(QStringLiteral("A"), Variant(2)), Exception,
                QStringLiteral("Переменная 'A' уже есть"));
  EXPECT_EQ(Bag.Count(), 1);

  FinalizeGridLibBaseEh();
  FinalizeForms();
  test::ResetUi();
}

}  // namespace
