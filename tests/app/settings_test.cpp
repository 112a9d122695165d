#include "app/settings.h"

#include "app/fcommon.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/stringlist.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <utility>
#include <vector>

namespace {

const QByteArray Mark = "\xEF\xBB\xBF";

QStringList sectionKeys(const String& FileName, const char* Section) {
  TMemIniFile Ini(FileName);
  TStringList Keys;
  Ini.ReadSection(QString::fromUtf8(Section), &Keys);
  QStringList Result;
  for (Integer I = 0; I < Keys.Count(); ++I) Result << Keys.Strings(I);
  return Result;
}

// A file holding every key with values that differ from both default columns.
const QByteArray FullFile = Mark +
                            "[System]\r\n"
                            "IsDriveSel=1\r\n"
                            "IsLastCatalog=0\r\n"
                            "LitCatalog=2\r\n"
                            "Paste=Smith J. Title.\r\n"
                            "FirstPart=3,110,360,530,640,12\r\n"
                            "DataBase=other.sqlite\r\n"
                            "Server=https://mirror.test/files\r\n"
                            "FileInServer=cat.zip\r\n"
                            "[Font]\r\n"
                            "PrintFontSize=12\r\n"
                            "PrintFontName=Times New Roman\r\n"
                            "[Data]\r\n"
                            "Year1=2001\r\n"
                            "Year2=2023\r\n"
                            "[Save]\r\n"
                            "InternalZip=0\r\n"
                            "ArcCatalog=d:\\архив\\копии\\\r\n"
                            "Arc1=7z a\r\n"
                            "Interval=14\r\n"
                            "LastSaveDate=2024-05-19\r\n"
                            "[Report]\r\n"
                            "ReportCatalog=d:\\отчёты\\\r\n"
                            "ReferatOut=1\r\n"
                            "ReportEdit=-1\r\n";

class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    Previous = SetMessageHandler([this](TMessageKind Kind, const String& Text) { Shown.emplace_back(Kind, Text); });
  }
  void TearDown() override { SetMessageHandler(Previous); }

  String folder() const { return Dir.path() + u'/'; }
  String iniPath() const { return folder() + QStringLiteral("bibliona.ini"); }

  QTemporaryDir Dir;
  std::vector<std::pair<TMessageKind, String>> Shown;
  TMessageBoxHandler Previous;
  const TDateTime CurrDate = EncodeDate(2024, 6, 3);
};

TEST_F(SettingsTest, MissingFileGivesBuiltInDefaultsAndOneWarning) {
  TSettings S;
  S.IsLastCatalog = false;
  S.DataBase = QStringLiteral("changed.sqlite");
  EXPECT_FALSE(S.ReadSettings(iniPath()));

  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].first, TMessageKind::Warning);
  EXPECT_EQ(Shown[0].second, QStringLiteral("No configuration file:") + iniPath());
  EXPECT_FALSE(QFile::exists(iniPath())) << "nothing is created until a writer runs";

  EXPECT_FALSE(S.IsDriveSel);
  EXPECT_TRUE(S.IsLastCatalog);
  EXPECT_EQ(S.LitCatalogInt, 0);
  EXPECT_EQ(S.Paste, QString());
  EXPECT_EQ(S.FirstPart, QStringLiteral("1,108,357,523,627,42092"));
  EXPECT_EQ(S.DataBase, QStringLiteral("bibliona.sqlite"));
  EXPECT_TRUE(S.Server.startsWith(QStringLiteral("https://")));
  EXPECT_TRUE(S.Server.endsWith(QStringLiteral("/program")));
  EXPECT_EQ(S.FileInServer, QStringLiteral("bibliona.7z"));
  EXPECT_EQ(S.prFontSize, 8);
  EXPECT_EQ(S.prFontName, QStringLiteral("Veranda"));
  EXPECT_EQ(S.Year1, 2010);
  EXPECT_EQ(S.Year2, 2024);
  EXPECT_TRUE(S.InternalZip);
  EXPECT_EQ(S.ArcCatalog, QStringLiteral("c:\\kestrel\\bibliona\\arc\\"));
  EXPECT_EQ(S.Arc1, QStringLiteral("c:\\tools\\winrar\\winrar.exe m -ep -afrar"));
  EXPECT_EQ(S.SaveInterval, 255);
  EXPECT_EQ(S.SaveDateStr, QStringLiteral("2024-01-01"));
  EXPECT_EQ(S.ReportCatalog, QStringLiteral("c:\\kestrel\\bibliona\\report\\"));
  EXPECT_FALSE(S.ReferatOut);
  EXPECT_FALSE(S.ReportEdit);

  S.SetSaveDate(CurrDate, MainDateFormatMessage);
  EXPECT_EQ(S.SaveDate, EncodeDate(2024, 1, 1));
  EXPECT_EQ(Shown.size(), 1u);

  TLevelKeys Keys;
  EXPECT_TRUE(ParseFirstPart(S.FirstPart, Keys));
  EXPECT_EQ(Keys, (TLevelKeys{1, 108, 357, 523, 627}));
}

TEST_F(SettingsTest, MissingKeysTakeTheirOwnDefaults) {
  WriteFileBytes(iniPath(), "[System]\r\n");
  TSettings S;
  EXPECT_TRUE(S.ReadSettings(iniPath()));
  EXPECT_TRUE(Shown.empty());

  EXPECT_FALSE(S.IsDriveSel);
  EXPECT_FALSE(S.IsLastCatalog);
  EXPECT_EQ(S.LitCatalogInt, 0);
  EXPECT_EQ(S.FirstPart, QString());
  EXPECT_EQ(S.DataBase, QString());
  EXPECT_EQ(S.Server, QString());
  EXPECT_EQ(S.FileInServer, QString());
  EXPECT_EQ(S.prFontSize, 8);
  EXPECT_EQ(S.prFontName, QString());
  EXPECT_EQ(S.Year1, 2015);
  EXPECT_EQ(S.Year2, 2024);
  EXPECT_FALSE(S.InternalZip);
  EXPECT_EQ(S.ArcCatalog, QString());
  EXPECT_EQ(S.Arc1, QString());
  EXPECT_EQ(S.SaveInterval, 1);
  EXPECT_EQ(S.SaveDateStr, QString());
  EXPECT_EQ(S.ReportCatalog, QString());

  // A file without FirstPart starts at the built-in position.
  TLevelKeys Keys;
  EXPECT_TRUE(ParseFirstPart(S.FirstPart, Keys));
  EXPECT_EQ(Keys, BuiltInStartKeys);

  // An empty LastSaveDate reads as today, with the message.
  S.SetSaveDate(CurrDate, MainDateFormatMessage);
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].first, TMessageKind::Information);
  EXPECT_EQ(Shown[0].second, QStringLiteral("Establish the date format 'yyyy-mm-dd' in settings file bibliona.ini"));
  EXPECT_EQ(S.SaveDate, CurrDate);
  EXPECT_EQ(S.SaveDateStr, QStringLiteral("2024-06-03"));
}

TEST_F(SettingsTest, ReadsEveryKey) {
  WriteFileBytes(iniPath(), FullFile);
  TSettings S;
  EXPECT_TRUE(S.ReadSettings(iniPath()));
  EXPECT_TRUE(Shown.empty());

  EXPECT_TRUE(S.IsDriveSel);
  EXPECT_FALSE(S.IsLastCatalog);
  EXPECT_EQ(S.LitCatalogInt, 2);
  EXPECT_EQ(S.Paste, QStringLiteral("Smith J. Title."));
  EXPECT_EQ(S.FirstPart, QStringLiteral("3,110,360,530,640,12"));
  EXPECT_EQ(S.DataBase, QStringLiteral("other.sqlite"));
  EXPECT_EQ(S.Server, QStringLiteral("https://mirror.test/files"));
  EXPECT_EQ(S.FileInServer, QStringLiteral("cat.zip"));
  EXPECT_EQ(S.prFontSize, 12);
  EXPECT_EQ(S.prFontName, QStringLiteral("Times New Roman"));
  EXPECT_EQ(S.Year1, 2001);
  EXPECT_EQ(S.Year2, 2023);
  EXPECT_FALSE(S.InternalZip);
  EXPECT_EQ(S.ArcCatalog, QStringLiteral("d:\\архив\\копии\\"));
  EXPECT_EQ(S.Arc1, QStringLiteral("7z a"));
  EXPECT_EQ(S.SaveInterval, 14);
  EXPECT_EQ(S.SaveDateStr, QStringLiteral("2024-05-19"));
  EXPECT_EQ(S.ReportCatalog, QStringLiteral("d:\\отчёты\\"));
  EXPECT_TRUE(S.ReferatOut);
  EXPECT_TRUE(S.ReportEdit) << "any non-zero whole number is true";

  S.SetSaveDate(CurrDate, MainDateFormatMessage);
  EXPECT_EQ(S.SaveDate, EncodeDate(2024, 5, 19));
  EXPECT_TRUE(Shown.empty());
}

TEST_F(SettingsTest, ParseFirstPart) {
  struct Case {
    const char* Name;
    const char* FirstPart;
    TLevelKeys Expected;
    bool AllNumbers;
  } Cases[] = {
      {"built-in position", "1,108,357,523,627,42092", {1, 108, 357, 523, 627}, true},
      {"five numbers: the fifth has no comma after it", "5,10,20,30,40", {5, 10, 20, 30, 627}, true},
      {"six numbers", "2,3,4,5,6,7", {2, 3, 4, 5, 6}, true},
      {"empty", "", {1, 108, 357, 523, 627}, true},
      {"one number without comma is not a group", "7", {1, 108, 357, 523, 627}, true},
      {"two numbers", "9,8", {9, 108, 357, 523, 627}, true},
      {"trailing comma", "9,8,", {9, 8, 357, 523, 627}, true},
      {"piece that is not a number", "1,x,357,523,627,1", {1, 108, 357, 523, 627}, false},
      {"empty piece", "3,,5,6,7,8", {3, 108, 5, 6, 7}, false},
      {"group that is not a number", "a,b,c,d,e,f", {1, 108, 357, 523, 627}, false},
      {"piece past 32 bits", "99999999999,1,2,3,4,5", {1, 1, 2, 3, 4}, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TLevelKeys Keys{};
    EXPECT_EQ(ParseFirstPart(QString::fromUtf8(C.FirstPart), Keys), C.AllNumbers);
    EXPECT_EQ(Keys, C.Expected);
  }
}

TEST_F(SettingsTest, EveryFieldSurvivesAWriteAndARead) {
  WriteFileBytes(iniPath(), FullFile);
  TSettings Written;
  ASSERT_TRUE(Written.ReadSettings(iniPath()));
  Written.IsDriveSel = false;
  Written.IsLastCatalog = true;
  Written.LitCatalogInt = 8;
  Written.Paste = QStringLiteral("Вставка");
  Written.FirstPart = QStringLiteral("14,120,400,540,700,5");
  Written.prFontSize = 255;
  Written.prFontName = QStringLiteral("Liberation Serif");
  Written.Year1 = 1950;
  Written.Year2 = 2100;
  Written.InternalZip = true;
  Written.ArcCatalog = QStringLiteral("e:\\резерв\\");
  Written.SaveInterval = 300;
  Written.SaveDateStr = QStringLiteral("2023-12-31");
  Written.ReferatOut = false;
  Written.ReportEdit = false;
  Written.WriteSettings(iniPath());

  TSettings Read;
  ASSERT_TRUE(Read.ReadSettings(iniPath()));
  EXPECT_TRUE(Shown.empty());
  EXPECT_EQ(Read.IsDriveSel, Written.IsDriveSel);
  EXPECT_EQ(Read.IsLastCatalog, Written.IsLastCatalog);
  EXPECT_EQ(Read.LitCatalogInt, Written.LitCatalogInt);
  EXPECT_EQ(Read.Paste, Written.Paste);
  EXPECT_EQ(Read.FirstPart, Written.FirstPart);
  EXPECT_EQ(Read.DataBase, Written.DataBase);
  EXPECT_EQ(Read.Server, Written.Server);
  EXPECT_EQ(Read.FileInServer, Written.FileInServer);
  EXPECT_EQ(Read.prFontSize, Written.prFontSize);
  EXPECT_EQ(Read.prFontName, Written.prFontName);
  EXPECT_EQ(Read.Year1, Written.Year1);
  EXPECT_EQ(Read.Year2, Written.Year2);
  EXPECT_EQ(Read.InternalZip, Written.InternalZip);
  EXPECT_EQ(Read.ArcCatalog, Written.ArcCatalog);
  EXPECT_EQ(Read.Arc1, Written.Arc1);
  EXPECT_EQ(Read.SaveInterval, 300);
  EXPECT_EQ(Read.SaveDateStr, Written.SaveDateStr);
  EXPECT_EQ(Read.ReportCatalog, Written.ReportCatalog);
  EXPECT_EQ(Read.ReferatOut, Written.ReferatOut);
  EXPECT_EQ(Read.ReportEdit, Written.ReportEdit);

  const QByteArray Bytes = FileBytes(iniPath());
  EXPECT_TRUE(Bytes.startsWith(Mark));
  EXPECT_TRUE(Bytes.contains("IsLastCatalog=1\r\n"));
  EXPECT_TRUE(Bytes.contains("PrintFontSize=255\r\n"));
  EXPECT_TRUE(Bytes.contains(QStringLiteral("ArcCatalog=e:\\резерв\\\r\n").toUtf8()));
}

TEST_F(SettingsTest, WritingToAMissingFileCreatesItWithEverySection) {
  TSettings S;
  S.WriteSettings(iniPath());
  EXPECT_EQ(sectionKeys(iniPath(), "System"),
            QStringList({"IsDriveSel", "LitCatalog", "IsLastCatalog", "FirstPart", "DataBase", "Paste", "Server",
                         "FileInServer"}));
  EXPECT_EQ(sectionKeys(iniPath(), "Font"), QStringList({"PrintFontSize", "PrintFontName"}));
  EXPECT_EQ(sectionKeys(iniPath(), "Data"), QStringList({"Year1", "Year2"}));
  EXPECT_EQ(sectionKeys(iniPath(), "Save"),
            QStringList({"ArcCatalog", "Arc1", "InternalZip", "Interval", "LastSaveDate"}));
  EXPECT_EQ(sectionKeys(iniPath(), "Report"), QStringList({"ReportEdit", "ReferatOut", "ReportCatalog"}));
}

TEST_F(SettingsTest, SaveKeepsUnknownKeysAndTheViewersKeysInPlace) {
  WriteFileBytes(iniPath(), Mark +
                         "; written by hand\r\n"
                         "[System]\r\n"
                         "IsDriveSel=0\r\n"
                         "WindowLeft=120\r\n"
                         "FirstPart=1,108,357,523,627,42092\r\n"
                         "[Font]\r\n"
                         "PrintFontSize=9\r\n"
                         "AbstractFontSize=14\r\n"
                         "AbstractFontName=Georgia\r\n"
                         "AbstractFontColor=#102030\r\n"
                         "AbstractColor=#FFFFF0\r\n"
                         "PrintFontName=Arial\r\n"
                         "[Grid]\r\n"
                         "dbgrCatalog1.source=1,750,0\r\n");
  TSettings S;
  ASSERT_TRUE(S.ReadSettings(iniPath()));
  S.prFontName = QStringLiteral("Courier New");
  S.WriteSettings(iniPath());

  EXPECT_EQ(sectionKeys(iniPath(), "System"),
            QStringList({"IsDriveSel", "WindowLeft", "FirstPart", "LitCatalog", "IsLastCatalog", "DataBase", "Paste",
                         "Server", "FileInServer"}));
  EXPECT_EQ(sectionKeys(iniPath(), "Font"),
            QStringList({"PrintFontSize", "AbstractFontSize", "AbstractFontName", "AbstractFontColor",
                         "AbstractColor", "PrintFontName"}));
  TMemIniFile Ini(iniPath());
  EXPECT_EQ(Ini.ReadString("System", "WindowLeft", ""), QStringLiteral("120"));
  EXPECT_EQ(Ini.ReadString("Font", "AbstractFontName", ""), QStringLiteral("Georgia"));
  EXPECT_EQ(Ini.ReadString("Font", "AbstractFontColor", ""), QStringLiteral("#102030"));
  EXPECT_EQ(Ini.ReadString("Font", "PrintFontName", ""), QStringLiteral("Courier New"));
  EXPECT_EQ(Ini.ReadString("Grid", "dbgrCatalog1.source", ""), QStringLiteral("1,750,0"));
  EXPECT_TRUE(FileBytes(iniPath()).contains("; written by hand"));
  TStringList Sections;
  Ini.ReadSections(&Sections);
  ASSERT_EQ(Sections.Count(), 6);
  EXPECT_EQ(Sections.Strings(0), QStringLiteral("System"));
  EXPECT_EQ(Sections.Strings(2), QStringLiteral("Grid"));
}

TEST_F(SettingsTest, CyrillicValuesReadBackUnchangedAcrossBothAccessStyles) {
  const String Folder = QStringLiteral("d:\\Библиотека\\архив\\");
  const String FontName = QStringLiteral("Шрифт Ёлка");

  // Whole-file writer, single-key reader.
  TSettings S;
  S.ArcCatalog = Folder;
  S.WriteSettings(iniPath());
  EXPECT_EQ(TIniFile(iniPath()).ReadString("Save", "ArcCatalog", ""), Folder);

  // Single-key writer, whole-file reader, then both again after a whole save.
  TAbstractFont Font;
  Font.AbstractFontSize = 13;
  Font.AbstractFontName = FontName;
  WriteAbstractFont(iniPath(), Font);
  EXPECT_EQ(TMemIniFile(iniPath()).ReadString("Font", "AbstractFontName", ""), FontName);
  TSettings Reread;
  ASSERT_TRUE(Reread.ReadSettings(iniPath()));
  EXPECT_EQ(Reread.ArcCatalog, Folder);
  Reread.WriteSettings(iniPath());
  TAbstractFont Back;
  ASSERT_TRUE(ReadAbstractFont(iniPath(), Back));
  EXPECT_EQ(Back.AbstractFontName, FontName);
  EXPECT_EQ(Back.AbstractFontSize, 13);
  EXPECT_TRUE(Shown.empty());

  const QByteArray Bytes = FileBytes(iniPath());
  EXPECT_TRUE(Bytes.contains(FontName.toUtf8()));
  EXPECT_TRUE(Bytes.contains(Folder.toUtf8()));
}

// A file saved by an 8-bit writer holds its Cyrillic values in Windows-1251.
TEST_F(SettingsTest, LineThatIsNotUtf8IsReadAsWindows1251AndSavedAsUtf8) {
  const String FontName = QStringLiteral("Шрифт");
  const QByteArray Cp1251 = AnsiString(FontName).Bytes();
  WriteFileBytes(iniPath(), Mark + "[Font]\r\nPrintFontName=" + Cp1251 + "\r\nAbstractFontName=" + Cp1251 +
                         "\r\n[Save]\r\nArcCatalog=" + QStringLiteral("d:\\архив\\").toUtf8() + "\r\n");
  TSettings S;
  ASSERT_TRUE(S.ReadSettings(iniPath()));
  EXPECT_EQ(S.prFontName, FontName);
  EXPECT_EQ(S.ArcCatalog, QStringLiteral("d:\\архив\\"));
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].second, QStringLiteral("Settings file %1:\n"
                                            "- line 2 is not UTF-8 text; it is read as Windows-1251 and saved as UTF-8\n"
                                            "- line 3 is not UTF-8 text; it is read as Windows-1251 and saved as UTF-8")
                                 .arg(iniPath()));

  S.WriteSettings(iniPath());
  TMemIniFile Ini(iniPath());
  EXPECT_EQ(Ini.ReadString("Font", "PrintFontName", ""), FontName);
  EXPECT_EQ(Ini.ReadString("Font", "AbstractFontName", ""), FontName);
}

TEST_F(SettingsTest, MalformedLinesAndValuesAreReportedAndLoseNothing) {
  struct Case {
    const char* Name;
    const char* Line;     // added to a section of its own
    const char* Section;
    const char* Problem;    // the report line after "- "
    const char* AfterSave;  // the line in the file after the settings dialog saves what it showed
  } Cases[] = {
      {"line without '='", "Year1 1999", "Data",
       "line 2 \"Year1 1999\" is neither a [section] nor a key=value line; it is kept as it is", "Year1 1999"},
      {"section header without ']'", "[Save", "Data",
       "line 2 \"[Save\" is neither a [section] nor a key=value line; it is kept as it is", "[Save"},
      {"integer", "Year2=20x4", "Data", "[Data] Year2 \"20x4\" is not a whole number; 2024 is used", "Year2=2024"},
      {"boolean", "IsLastCatalog=yes", "System",
       "[System] IsLastCatalog \"yes\" is not a whole number; 0 is used", "IsLastCatalog=0"},
      {"interval", "Interval=many", "Save", "[Save] Interval \"many\" is not a whole number; 1 is used", "Interval=1"},
      {"font size past a byte", "PrintFontSize=300", "Font",
       "[Font] PrintFontSize \"300\" is not a whole number from 1 to 255; 8 is used", "PrintFontSize=8"},
      {"font size not a number", "PrintFontSize=abc", "Font",
       "[Font] PrintFontSize \"abc\" is not a whole number from 1 to 255; 8 is used", "PrintFontSize=8"},
      {"font size empty", "PrintFontSize=", "Font",
       "[Font] PrintFontSize \"\" is not a whole number from 1 to 255; 8 is used", "PrintFontSize=8"},
      {"start position", "FirstPart=1,x,357", "System",
       "[System] FirstPart \"1,x,357\" holds a piece that is not a whole number; that level starts at its built-in "
       "key",
       "FirstPart=1,x,357"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Shown.clear();
    const QByteArray Content = QByteArray("[") + C.Section + "]\r\n" + C.Line + "\r\n[Report]\r\nReferatOut=1\r\n";
    WriteFileBytes(iniPath(), Content);
    TSettings S;
    ASSERT_TRUE(S.ReadSettings(iniPath()));
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].first, TMessageKind::Warning);
    EXPECT_EQ(Shown[0].second, QStringLiteral("Settings file %1:\n- %2").arg(iniPath(), QString::fromUtf8(C.Problem)));
    EXPECT_TRUE(S.ReferatOut) << "reading goes on after the problem";
    EXPECT_EQ(S.Year2, 2024);
    EXPECT_EQ(S.prFontSize, 8);
    EXPECT_FALSE(S.IsLastCatalog);
    EXPECT_EQ(S.SaveInterval, 1);

    EXPECT_EQ(FileBytes(iniPath()), Content) << "reading leaves the file alone";
    S.WriteSettings(iniPath());
    const QByteArray Saved = FileBytes(iniPath());
    EXPECT_TRUE(Saved.contains(QByteArray(C.AfterSave) + "\r\n"));
    EXPECT_TRUE(Saved.contains("ReferatOut=1\r\n"));
  }
}

TEST_F(SettingsTest, SetSaveDateShowsTheCallersMessageForABadDate) {
  struct Case {
    const char* Name;
    const char* Text;
    bool Valid;
  } Cases[] = {
      {"the stored form", "2024-05-19", true},
      {"slashes", "2024/05/19", false},
      {"day first", "19.05.2024", false},
      {"not a day", "2024-02-30", false},
      {"words", "yesterday", false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Shown.clear();
    TSettings S;
    S.SaveDateStr = QString::fromUtf8(C.Text);
    S.SetSaveDate(CurrDate, ConfigDateFormatMessage);
    if (C.Valid) {
      EXPECT_TRUE(Shown.empty());
      EXPECT_EQ(S.SaveDate, EncodeDate(2024, 5, 19));
      EXPECT_EQ(S.SaveDateStr, QString::fromUtf8(C.Text));
      continue;
    }
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].first, TMessageKind::Information);
    EXPECT_EQ(Shown[0].second, QStringLiteral("Establish date format 'yyyy-mm-dd' in settings file bibliona.ini"));
    EXPECT_EQ(S.SaveDate, CurrDate);
    EXPECT_EQ(S.SaveDateStr, QStringLiteral("2024-06-03"));
  }
}

TEST_F(SettingsTest, WriteFirstPartChangesThatKeyOnly) {
  WriteFileBytes(iniPath(), FullFile);
  WriteFirstPart(iniPath(), QStringLiteral("35,150,420,560,874,0"));
  TSettings S;
  ASSERT_TRUE(S.ReadSettings(iniPath()));
  EXPECT_EQ(S.FirstPart, QStringLiteral("35,150,420,560,874,0"));
  EXPECT_EQ(S.ArcCatalog, QStringLiteral("d:\\архив\\копии\\"));
  EXPECT_EQ(S.SaveInterval, 14);
  EXPECT_EQ(sectionKeys(iniPath(), "System").indexOf("FirstPart"), 4);

  WriteFileBytes(iniPath(), "[Data]\r\nYear1=2000\r\n");
  WriteFirstPart(iniPath(), QStringLiteral("1,2,3,4,5,6"));
  EXPECT_EQ(TIniFile(iniPath()).ReadString("System", "FirstPart", ""), QStringLiteral("1,2,3,4,5,6"));
  EXPECT_EQ(TIniFile(iniPath()).ReadString("Data", "Year1", ""), QStringLiteral("2000"));
}

TEST_F(SettingsTest, WriteLastSaveChangesTwoLinesAndNothingElse) {
  WriteFileBytes(iniPath(), FullFile);
  WriteLastSave(iniPath(), QStringLiteral("2024-06-03"), 300);
  QByteArray Expected = FullFile;
  Expected.replace("LastSaveDate=2024-05-19", "LastSaveDate=2024-06-03");
  Expected.replace("Interval=14", "Interval=300");
  EXPECT_EQ(FileBytes(iniPath()), Expected);

  TSettings S;
  ASSERT_TRUE(S.ReadSettings(iniPath()));
  EXPECT_EQ(S.SaveInterval, 300);
  EXPECT_EQ(S.SaveDateStr, QStringLiteral("2024-06-03"));
}

TEST_F(SettingsTest, AbstractFontRoundTripsAndKeepsTheViewersLookOnBadValues) {
  TAbstractFont Defaults;
  Defaults.AbstractFontSize = 11;
  Defaults.AbstractFontName = QStringLiteral("Arial");
  Defaults.AbstractFontColor = HexTextToColor(QStringLiteral("#000000"));
  Defaults.AbstractColor = HexTextToColor(QStringLiteral("#FFFFFF"));
  WriteAbstractFont(iniPath(), Defaults);
  TMemIniFile Ini(iniPath());
  EXPECT_EQ(Ini.ReadString("Font", "AbstractFontSize", ""), QStringLiteral("11"));
  EXPECT_EQ(Ini.ReadString("Font", "AbstractFontName", ""), QStringLiteral("Arial"));
  EXPECT_EQ(Ini.ReadString("Font", "AbstractFontColor", ""), QStringLiteral("#000000"));
  EXPECT_EQ(Ini.ReadString("Font", "AbstractColor", ""), QStringLiteral("#FFFFFF"));

  WriteFileBytes(iniPath(), "[Font]\r\nAbstractFontSize=0\r\nAbstractFontName=Georgia\r\nAbstractFontColor=#12\r\n"
                     "AbstractColor=#F0E0D0\r\n");
  TAbstractFont Font = Defaults;
  ASSERT_TRUE(ReadAbstractFont(iniPath(), Font));
  EXPECT_EQ(Font.AbstractFontSize, 11);
  EXPECT_EQ(Font.AbstractFontName, QStringLiteral("Georgia"));
  EXPECT_EQ(Font.AbstractFontColor, clBlack);
  EXPECT_EQ(Font.AbstractColor, TColor(0xD0E0F0));
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].second,
            QStringLiteral("Settings file %1:\n"
                           "- [Font] AbstractFontSize \"0\" is not a whole number from 1 to 255; the viewer's own is "
                           "used\n"
                           "- [Font] AbstractFontColor \"#12\" is not a colour \"#RRGGBB\"; the viewer's own is used")
                .arg(iniPath()));
}

TEST_F(SettingsTest, AbstractFontWithoutAFileKeepsTheViewersLook) {
  TAbstractFont Font;
  Font.AbstractFontSize = 10;
  EXPECT_FALSE(ReadAbstractFont(iniPath(), Font));
  EXPECT_EQ(Font.AbstractFontSize, 10);
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].first, TMessageKind::Warning);
  EXPECT_EQ(Shown[0].second, QStringLiteral("Нет файла конфигурации:") + folder() + QStringLiteral("Bibliona.ini"));
}

TEST_F(SettingsTest, SettingsFileFindsTheFileInAnyLetterCase) {
  EXPECT_EQ(SettingsFile(folder()), folder() + QStringLiteral("bibliona.ini"));
  WriteFileBytes(folder() + QStringLiteral("Bibliona.INI"), "[System]\r\n");
  EXPECT_EQ(SettingsFile(folder()), folder() + QStringLiteral("Bibliona.INI"));
  WriteFileBytes(folder() + QStringLiteral("bibliona.ini"), "[System]\r\n");
  EXPECT_EQ(SettingsFile(folder()), folder() + QStringLiteral("bibliona.ini"));
}

}  // namespace
