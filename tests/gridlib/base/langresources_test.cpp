#include "gridlib/base/langresources.h"

#include "gridlib/base/langconsts.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/controls/extctrls.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/dispatch.h"
#include "platform/ui/windowing/messages.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

// A component that hears language changes.
class TConsumer : public TComponent, public ILanguageResourceConsumerEh {
  RTL_CLASS(TConsumer, TComponent)
public:
  explicit TConsumer(TComponent* AOwner) : TComponent(AOwner) {}
  void ResourceLanguageChanged() override { ++Heard; }
  int Heard = 0;
};

// A translatable text table with a consumer interface of its own.
class TTexts : public TGridLibLanguageConsts, public ILanguageResourceConsumerEh {
  RTL_CLASS(TTexts, TGridLibLanguageConsts)
public:
  explicit TTexts(TComponent* AOwner) : TGridLibLanguageConsts(AOwner) {}
  void ResourceLanguageChanged() override { ++Heard; }
  int Heard = 0;
};

QByteArray translation(const char* Class, const QByteArray& Lines) {
  return QByteArray("object GridLibLanguageConsts: ") + Class + "\r\n" + Lines + "end\r\n";
}

class LanguageResourcesEh : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeForms();
    ASSERT_TRUE(Folder.isValid());
    Manager.SetResourceFolderPath(Folder.path());
  }
  void TearDown() override {
    FinalizeForms();
  }

  void write(const String& Name, const QByteArray& Data) {
    QFile F(Folder.filePath(Name));
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(Data);
  }
  String languages() const { return Manager.LanguageList()->CommaText(); }

  QTemporaryDir Folder;
  TLanguageResourceManagerEh Manager;
  TClassRegistrationScope Classes{{TGridLibLanguageConsts::StaticClass(), TTexts::StaticClass()}};
};

TEST_F(LanguageResourcesEh, ActiveLanguageMustBeListed) {
  Manager.SetActiveLanguageAbbr(String());  // its current value, with an empty list
  EXPECT_RAISES(Manager.SetActiveLanguageAbbr(QStringLiteral("RUS")), Exception,
                "Language \"RUS\" is not supported");
  EXPECT_TRUE(Manager.ActiveLanguageAbbr().isEmpty());
  TTexts Texts(nullptr);
  EXPECT_RAISES(Manager.ReadComponentExternalResource(&Texts, "Texts"), Exception, "ActiveLanguage is not defined");
}

TEST_F(LanguageResourcesEh, AutoselectFallsBackToEnglishThenToNothing) {
  constexpr LCID German = 0x0407, Russian = 0x0419, SwissGerman = 0x0807;
  Manager.LanguageList()->Add(QStringLiteral("RUS"));
  Manager.LanguageList()->Add(QStringLiteral("ENU"));
  EXPECT_EQ(Manager.AutoselectLanguage(German), QStringLiteral("ENU"));
  EXPECT_EQ(Manager.AutoselectLanguage(Russian), QStringLiteral("RUS"));
  Manager.LanguageList()->Add(QStringLiteral("DEU"));
  EXPECT_EQ(Manager.AutoselectLanguage(SwissGerman), QStringLiteral("DEU")) << "the neutral language";
  Manager.LanguageList()->Clear();
  Manager.LanguageList()->Add(QStringLiteral("RUS"));
  EXPECT_EQ(Manager.AutoselectLanguage(German), String());

  Manager.OnAutoselectLanguage =
      TAutoselectResourceLanguageEh([](TObject*, String& Abbr) { Abbr += QStringLiteral("!"); });
  EXPECT_TRUE(Manager.AutoselectLanguage().endsWith(u'!'));
  EXPECT_EQ(Manager.GetSuffixForLocale(Russian), QStringLiteral("RUS"));
  EXPECT_EQ(Manager.GetSuffixForLocale(0x7777), String());
  EXPECT_EQ(Manager.GetNativeLanguageName(QStringLiteral("RUS")), QStringLiteral("русский"));
  EXPECT_EQ(Manager.GetNativeLanguageName(QStringLiteral("rus")), String()) << "exact comparison";
}

TEST_F(LanguageResourcesEh, ExternalLanguagesAreFilesOfKnownLocaleExtensions) {
  for (const char* Name : {"GridLibLangConsts.RUS.dfm", "GridLibLangConsts.enu.dfm", "GridLibLangConsts.XYZ.dfm",
                           "GridLibLangConsts.DEU.txt", "Other.FRA.dfm"})
    write(QString::fromUtf8(Name), "x");
  ASSERT_TRUE(QDir(Folder.path()).mkdir(QStringLiteral("GridLibLangConsts.FRA.dfm")));
  Manager.LoadListOfAvailableLanguages(QStringLiteral("GridLibLangConsts"));
  EXPECT_EQ(languages(), QStringLiteral("RUS,ENU"));
  EXPECT_EQ(Manager.IndexOfLanguage(QStringLiteral("ENU")), 1);
  EXPECT_EQ(Manager.IndexOfLanguage(QStringLiteral("enu")), -1);
}

TEST_F(LanguageResourcesEh, EmbeddedLanguagesAreResourcesNamedForTheBase) {
  TResourceScope German("TTexts_DEU", RT_RCDATA, "x");
  TResourceScope TooLong("TTexts_DEUX", RT_RCDATA, "x");
  Manager.SetResourcePlacement(lrpEmbeddedEh);
  Manager.LoadListOfAvailableLanguages(QStringLiteral("TTexts"));
  EXPECT_EQ(languages(), QStringLiteral("DEU"));
}

TEST_F(LanguageResourcesEh, ChangeReadsTranslationsAndTellsConsumersFormsAndControls) {
  write(QStringLiteral("Texts.DEU.dfm"), translation("TTexts", "  Cut = 'Ausschneiden'\r\n"));
  TTexts Texts(nullptr), Registered(nullptr);
  TConsumer Consumer(nullptr);
  Manager.AddLocalizableObject(&Texts, QStringLiteral("TTexts"), QStringLiteral("Texts"), QStringLiteral("ENU"));
  Manager.AddChangeNotifyConsumer(&Consumer, QStringLiteral("ENU"));
  auto* Form = new TForm(Application);
  auto* Panel = new TPanel(Form);
  Panel->SetParent(Form);
  auto* Edit = new TEdit(Form);
  Edit->SetParent(Panel);
  {
    // the spies end before the form they watch is freed
    TMessageSpy FormSpy(*Form), PanelSpy(*Panel), EditSpy(*Edit);
    Manager.LoadListOfAvailableLanguages(QStringLiteral("Texts"));
    Manager.SetActiveLanguageAbbr(QStringLiteral("DEU"));
    EXPECT_EQ(Texts.Cut, QStringLiteral("Ausschneiden"));
    EXPECT_EQ(Texts.Heard, 0) << "the external path reads without telling the component";
    EXPECT_EQ(Consumer.Heard, 1);
    for (const TMessageSpy* Spy : {&FormSpy, &PanelSpy, &EditSpy}) {
      const std::vector<gdi::UINT> Ids = Spy->Ids(gdi::WM_SETTINGCHANGE, gdi::WM_SETTINGCHANGE);
      EXPECT_EQ(Ids.size(), 1u);
    }
  }

  // A registration in the active language reads nothing; one in another
  // language is read at once.
  Manager.AddLocalizableObject(&Registered, QStringLiteral("TTexts"), QStringLiteral("Texts"),
                               QStringLiteral("DEU"));
  EXPECT_TRUE(Registered.Cut.isEmpty());
  Manager.AddLocalizableObject(&Registered, QStringLiteral("TTexts"), QStringLiteral("Texts"),
                               QStringLiteral("ENU"));
  EXPECT_EQ(Registered.Cut, QStringLiteral("Ausschneiden"));
  Manager.DeleteChangeNotifyConsumer(&Consumer);
  Form->Free();
}

TEST_F(LanguageResourcesEh, UnknownPropertyIsReportedAndTheOtherRegistrationsAreRead) {
  write(QStringLiteral("Broken.DEU.dfm"), translation("TTexts", "  Bogus = 'x'\r\n"));
  write(QStringLiteral("Good.DEU.dfm"), translation("TTexts", "  Paste = 'Einfügen'\r\n"));
  TTexts Broken(nullptr), Good(nullptr);
  Manager.AddLocalizableObject(&Broken, "TTexts", QStringLiteral("Broken"), QStringLiteral("ENU"));
  Manager.AddLocalizableObject(&Good, "TTexts", QStringLiteral("Good"), QStringLiteral("ENU"));
  QStringList Reports;
  Application->OnException =
      TExceptionEvent([&](TObject*, Exception* E) { Reports << E->Message; });
  Manager.LanguageList()->Add(QStringLiteral("DEU"));
  Manager.SetActiveLanguageAbbr(QStringLiteral("DEU"));
  Application->OnException = {};
  EXPECT_EQ(Reports, QStringList{"Error reading GridLibLanguageConsts.Bogus: Property Bogus does not exist"});
  EXPECT_EQ(Good.Paste, QString::fromUtf8("Einfügen"));
}

TEST_F(LanguageResourcesEh, StreamsThatAreNoFormRaise) {
  write(QStringLiteral("Texts.DEU.dfm"), "<xml/>");
  TTexts Texts(nullptr);
  Manager.LanguageList()->Add(QStringLiteral("DEU"));
  Manager.AddLocalizableObject(&Texts, "TTexts", QStringLiteral("Texts"), QStringLiteral("ENU"));
  EXPECT_RAISES(Manager.SetActiveLanguageAbbr(QStringLiteral("DEU")), Exception, "Invalid stream format.");
  // A binary form is read as it is.
  Texts.Cut = QStringLiteral("cut");
  TMemoryStream Binary;
  Binary.WriteComponent(&Texts);
  Binary.SetPosition(0);
  TTexts Copy(nullptr);
  Manager.ReadComponentFromStream(&Copy, &Binary);
  EXPECT_EQ(Copy.Cut, QStringLiteral("cut"));
}

TEST_F(LanguageResourcesEh, EmbeddedTranslationNotifiesTheComponent) {
  TResourceScope German("TTexts_DEU", RT_RCDATA, translation("TTexts", "  Copy = 'Kopieren'\r\n"));
  TTexts Texts(nullptr);
  Manager.SetResourcePlacement(lrpEmbeddedEh);
  Manager.AddLocalizableObject(&Texts, "TTexts", QStringLiteral("Texts"), QStringLiteral("ENU"));
  Manager.LoadListOfAvailableLanguages(QStringLiteral("TTexts"));
  Manager.SetActiveLanguageAbbr(QStringLiteral("DEU"));
  EXPECT_EQ(Texts.Copy, QStringLiteral("Kopieren"));
  EXPECT_EQ(Texts.Heard, 1);
}

TEST_F(LanguageResourcesEh, DeletingARegistrationRemovesEveryRecordOfItsComponent) {
  TTexts Twice(nullptr), Other(nullptr);
  Manager.AddLocalizableObject(&Twice, "A", "A", "ENU");
  Manager.AddLocalizableObject(&Other, "B", "B", "ENU");
  Manager.AddLocalizableObject(&Twice, "C", "C", "ENU");
  Manager.DeleteLocalizableObject(&Twice);
  ASSERT_EQ(Manager.ResObjectCount(), 1);
  EXPECT_EQ(Manager.ResObject(0)->RefResObject, &Other);
}

}  // namespace
