#include "gridlib/base/langconsts.h"

#include "gridlib/base/baseunit.h"

#include "gridlib/base/langresources.h"
#include "platform/ui/windowing/application.h"
#include "tests/support/testing.h"

namespace {

class GridLibLanguageConstsEh : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    InitializeForms();
    InitializeUnits({GridLibBaseUnitEh});
  }

  static String text(TPersistent* Instance, const char* Name) { return GetStrProp(Instance, Name); }
  // The table's own properties: those after TComponent's.
  static std::vector<const TPropInfo*> ownProps() {
    std::vector<const TPropInfo*> Props = GetPropList(TGridLibLanguageConsts::StaticClass());
    Props.erase(Props.begin(), Props.begin() + GetPropList(TComponent::StaticClass()).size());
    return Props;
  }
};

TEST_F(GridLibLanguageConstsEh, TwoHundredSeventyOneTextsInDeclarationOrder) {
  std::vector<String> Texts;
  for (const TPropInfo* P : ownProps()) {
    EXPECT_EQ(P->PropType->Kind, tkString) << P->Name.toStdString();
    Texts.push_back(P->Name);
  }
  ASSERT_EQ(Texts.size(), 271u);
  EXPECT_EQ(Texts.front(), QStringLiteral("Language"));
  EXPECT_EQ(Texts[1], QStringLiteral("ClearSelectedCells"));
  EXPECT_EQ(Texts[257], QStringLiteral("MemoEditWin_Caption"));
  EXPECT_EQ(Texts.back(), QStringLiteral("FilterListValuesLimitExceeded"));
}

TEST_F(GridLibLanguageConstsEh, EnglishDefaultsBeforeTheStoredForm) {
  TGridLibLanguageConsts Fresh(nullptr);
  struct Case {
    const char* Property;
    const char* Text;
  } Cases[] = {
      {"DBGridEhGroupingFooter_Avg", "Average"},
      {"DBGridEhGroupingFooter_Empty", "(Empty)"},
      {"CustomizeColumnsDialog", "Customize columns ..."},
      {"DBGridEhCustomizeColumnsDialog_EnterColumnWidthS", "Column width(s)"},
      {"FilterListValuesLimitExceeded",
       "Too many values selected.\r\nThe number of selected values cannot exceed %d"},
      {"Cut", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Property);
    EXPECT_EQ(text(&Fresh, C.Property), QString::fromUtf8(C.Text));
  }
}

TEST_F(GridLibLanguageConstsEh, SharedTableHoldsTheRussianStoredForm) {
  TGridLibLanguageConsts* Consts = GetGridLibLanguageConsts();
  EXPECT_EQ(Consts, GetGridLibLanguageConsts());
  EXPECT_EQ(Consts->Name(), QStringLiteral("GridLibLanguageConsts"));
  EXPECT_EQ(Consts->Language, QStringLiteral("Russian"));
  EXPECT_TRUE(Consts->MemoEditWin_Caption.isEmpty());
  for (const TPropInfo* P : ownProps())
    if (P->Name != QStringLiteral("MemoEditWin_Caption"))
      EXPECT_FALSE(GetStrProp(Consts, P).isEmpty()) << P->Name.toStdString();

  struct Case {
    const char* Property;
    const char* Text;
  } Cases[] = {
      {"DuplicateVarNameEh", "Переменная с именем '%s' уже присутствует в Коллекции"},
      {"PageOfPages", "Страница %d из %d"},
      {"FilterListValuesLimitExceeded",
       "Выбрано слишком много значений.\r\nКоличество выбранных значений не может превышать %d"},
      {"FindDialogStringNotFoundMessage", "Строка \"%s\" не найдена."},
      {"LeftBracketExpectedEh", "'(' пропущена: "},
      {"PrintPageSetupDialog_PrNormalSize", "% от натуральной величины"},
      {"DBGridEhGroupingFooter_Sum", "Сумма"},
      {"CustomizeColumnsDialog", "Настроить столбцы ..."},
      {"OKButtonEh", "OK"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Property);
    EXPECT_EQ(text(Consts, C.Property), QString::fromUtf8(C.Text));
  }
  // The first letter of "today" is the Latin capital C, the rest Cyrillic.
  ASSERT_EQ(Consts->TodayEh.size(), 7);
  EXPECT_EQ(Consts->TodayEh[0], u'C');
  EXPECT_EQ(Consts->TodayEh.mid(1), QString::fromUtf8("егодня"));
}

TEST_F(GridLibLanguageConstsEh, SharedTableIsRegisteredForTranslation) {
  TLanguageResourceManagerEh* Manager = GetLanguageResourceManagerEh();
  ASSERT_EQ(Manager->ResObjectCount(), 1);
  const TResObjectEh* R = Manager->ResObject(0);
  EXPECT_EQ(R->RefResObject, GetGridLibLanguageConsts());
  EXPECT_EQ(R->ResourceName, QStringLiteral("TGridLibLanguageConsts"));
  EXPECT_EQ(R->ExtResourceFileName, QStringLiteral("GridLibLangConsts"));
  EXPECT_EQ(R->DefaultResourceLanguage, QStringLiteral("ENU"));
}

}  // namespace
