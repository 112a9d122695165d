#include "platform/rtl/inifiles.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "tests/support/testing.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

const QByteArray Mark = "\xEF\xBB\xBF";

QStringList linesOf(TStrings& List) {
  QStringList Result;
  for (Integer I = 0; I < List.Count(); ++I) Result << List.Strings(I);
  return Result;
}

QStringList iniLines(const TMemIniFile& Ini) {
  TStringList List;
  Ini.GetStrings(&List);
  return linesOf(List);
}

void setLines(TMemIniFile& Ini, const QStringList& Lines) {
  TStringList List;
  for (const String& Line : Lines) List.Add(Line);
  Ini.SetStrings(&List);
}

class IniFileTest : public ::testing::Test {
protected:
  String path(const char* Name) const { return Dir.filePath(QString::fromUtf8(Name)); }
  QTemporaryDir Dir;
};

TEST_F(IniFileTest, MemIniFileKeepsOrderAndWritesMarkedCrLfText) {
  const String Name = path("a.ini");
  WriteFileBytes(Name, Mark + "[System]\r\nA=1\r\n\r\n[Font]\r\nB=2\r\n");
  TMemIniFile Ini(Name);
  Ini.WriteString(QStringLiteral("System"), QStringLiteral("C"), QStringLiteral("3"));
  Ini.WriteString(QStringLiteral("New"), QStringLiteral("K"), QStringLiteral("v"));
  Ini.WriteString(QStringLiteral("system"), QStringLiteral("a"), QStringLiteral("10"));
  Ini.UpdateFile();
  EXPECT_EQ(FileBytes(Name), Mark + "[System]\r\nA=10\r\nC=3\r\n\r\n[Font]\r\nB=2\r\n\r\n[New]\r\nK=v\r\n\r\n");
}

TEST_F(IniFileTest, MemIniFileNormalisesLinesAndKeepsComments) {
  TMemIniFile Ini(QString{});
  setLines(Ini, {"; leading comment", "  [ Main ]  ", "\tkey  =  a = b  ", "; note", "", "odd line",
                 "[Other]", "x=1", "[MAIN]", "late=2", "=empty name"});
  EXPECT_EQ(iniLines(Ini), (QStringList{"; leading comment", "[Main]", "key=a = b", "; note", "odd line",
                                        "late=2", "=empty name", "", "[Other]", "x=1", ""}));
  TStringList Keys;
  Ini.ReadSection(QStringLiteral("main"), &Keys);
  EXPECT_EQ(linesOf(Keys), (QStringList{"key", "late", ""}));
  Ini.ReadSectionValues(QStringLiteral("Main"), &Keys);
  EXPECT_EQ(linesOf(Keys), (QStringList{"key=a = b", "late=2", "=empty name"}));
  Ini.ReadSections(&Keys);
  EXPECT_EQ(linesOf(Keys), (QStringList{"Main", "Other"}));
}

TEST_F(IniFileTest, MemIniFileEditsAndRebinds) {
  TMemIniFile Ini(path("first.ini"));
  setLines(Ini, {"[A]", "x=1", "y=2", "[B]", "z=3"});
  Ini.DeleteKey(QStringLiteral("a"), QStringLiteral("X"));
  Ini.DeleteKey(QStringLiteral("none"), QStringLiteral("x"));
  Ini.EraseSection(QStringLiteral("b"));
  EXPECT_EQ(iniLines(Ini), (QStringList{"[A]", "y=2", ""}));

  const String Other = path("other.ini");
  WriteFileBytes(Other, "[Q]\nw=5\n");
  Ini.Rename(Other, /*Reload=*/false);
  EXPECT_EQ(Ini.FileName(), Other);
  EXPECT_EQ(Ini.ReadString(QStringLiteral("A"), QStringLiteral("y"), QString()), QStringLiteral("2"));
  Ini.Rename(Other, /*Reload=*/true);
  EXPECT_EQ(iniLines(Ini), (QStringList{"[Q]", "w=5", ""}));
  Ini.Rename(path("missing.ini"), /*Reload=*/true);
  EXPECT_EQ(iniLines(Ini), QStringList());
  Ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
  Ini.Clear();
  EXPECT_EQ(iniLines(Ini), QStringList());
}

TEST_F(IniFileTest, TypedReadsFallBackToTheDefault) {
  TMemIniFile Ini(QString{});
  setLines(Ini, {"[S]", "two=2", "zero=0", "minus=-1", "hex=$1F", "chex=0x1F", "text=abc", "blank=", "num= 12 ",
                 "tail=12a", "float=1.5"});
  struct Case {
    const char* Key;
    Integer Int;  // ReadInteger with default -7
    bool BoolT;   // ReadBool with default true
    bool BoolF;   // ReadBool with default false
  } Cases[] = {
      {"two", 2, true, true},         {"zero", 0, false, false}, {"minus", -1, true, true},
      {"hex", 31, true, true},        {"chex", 31, true, true},  {"text", -7, true, false},
      {"blank", -7, true, false},     {"num", 12, true, true},   {"tail", -7, true, false},
      {"missing", -7, true, false},   {"float", -7, true, false},
  };
  const String S = QStringLiteral("S");
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Key);
    const String Key = QString::fromLatin1(C.Key);
    EXPECT_EQ(Ini.ReadInteger(S, Key, -7), C.Int);
    EXPECT_EQ(Ini.ReadBool(S, Key, true), C.BoolT);
    EXPECT_EQ(Ini.ReadBool(S, Key, false), C.BoolF);
  }
  EXPECT_EQ(Ini.ReadFloat(S, QStringLiteral("float"), 0), 1.5);
  EXPECT_EQ(Ini.ReadFloat(S, QStringLiteral("text"), 2.5), 2.5);

  Ini.WriteBool(S, QStringLiteral("on"), true);
  Ini.WriteBool(S, QStringLiteral("off"), false);
  Ini.WriteInteger(S, QStringLiteral("int"), -42);
  Ini.WriteFloat(S, QStringLiteral("f"), 0.25);
  Ini.WriteDate(S, QStringLiteral("d"), 45431);
  Ini.WriteDateTime(S, QStringLiteral("dt"), 45431.5);
  EXPECT_EQ(Ini.ReadString(S, QStringLiteral("on"), QString()), QStringLiteral("1"));
  EXPECT_EQ(Ini.ReadString(S, QStringLiteral("off"), QString()), QStringLiteral("0"));
  EXPECT_EQ(Ini.ReadString(S, QStringLiteral("int"), QString()), QStringLiteral("-42"));
  EXPECT_EQ(Ini.ReadFloat(S, QStringLiteral("f"), 0), 0.25);
  EXPECT_EQ(Ini.ReadDate(S, QStringLiteral("d"), 0), 45431);
  EXPECT_EQ(Ini.ReadDateTime(S, QStringLiteral("dt"), 0), 45431.5);
  EXPECT_EQ(Ini.ReadDate(S, QStringLiteral("text"), 1), 1);
}

// Both styles answer the same questions the same way; the file is where each
// style's writes end up.
class BothStylesTest : public IniFileTest, public ::testing::WithParamInterface<bool> {
protected:
  std::unique_ptr<TCustomIniFile> open(const String& Name) {
    if (GetParam()) return std::make_unique<TIniFile>(Name);
    return std::make_unique<TMemIniFile>(Name);
  }
};

TEST_P(BothStylesTest, QueriesAndEditsAgree) {
  const String Name = path("both.ini");
  WriteFileBytes(Name, "[Main]\r\nKey=Value\r\n; c\r\n[Empty]\r\n[Second]\r\nb=2\r\n");
  auto Ini = open(Name);
  const String Main = QStringLiteral("Main");
  EXPECT_EQ(Ini->ReadString(QStringLiteral("MAIN"), QStringLiteral("key"), QString()), QStringLiteral("Value"));
  EXPECT_EQ(Ini->ReadString(Main, QStringLiteral("c"), QStringLiteral("def")), QStringLiteral("def"));
  EXPECT_TRUE(Ini->SectionExists(QStringLiteral("main")));
  EXPECT_FALSE(Ini->SectionExists(QStringLiteral("Empty")));
  EXPECT_FALSE(Ini->SectionExists(QStringLiteral("None")));
  EXPECT_TRUE(Ini->ValueExists(Main, QStringLiteral("KEY")));
  EXPECT_FALSE(Ini->ValueExists(Main, QStringLiteral("Value")));
  TStringList List;
  Ini->ReadSections(&List);
  EXPECT_EQ(linesOf(List), (QStringList{"Main", "Empty", "Second"}));

  Ini->WriteString(Main, QStringLiteral("New"), QStringLiteral("n"));
  Ini->DeleteKey(Main, QStringLiteral("key"));
  Ini->EraseSection(QStringLiteral("second"));
  Ini->UpdateFile();
  auto Again = open(Name);
  Again->ReadSectionValues(Main, &List);
  EXPECT_EQ(linesOf(List), QStringList{"New=n"});
  Again->ReadSections(&List);
  EXPECT_EQ(linesOf(List), (QStringList{"Main", "Empty"}));
}

TEST_P(BothStylesTest, CyrillicValuesReadBackThroughTheOtherStyle) {
  const String Name = path("ru.ini");
  const String Section = QStringLiteral("Настройки");
  const String Value = QStringLiteral("Путь к базе: C:\\Данные");
  {
    auto Writer = open(Name);
    Writer->WriteString(Section, QStringLiteral("Путь"), Value);
    Writer->UpdateFile();
  }
  EXPECT_TRUE(FileBytes(Name).startsWith(Mark));
  const bool WroteSingleKey = GetParam();
  std::unique_ptr<TCustomIniFile> Reader;
  if (WroteSingleKey)
    Reader = std::make_unique<TMemIniFile>(Name);
  else
    Reader = std::make_unique<TIniFile>(Name);
  EXPECT_EQ(Reader->ReadString(QStringLiteral("НАСТРОЙКИ"), QStringLiteral("путь"), QString()), Value);
}

INSTANTIATE_TEST_SUITE_P(Styles, BothStylesTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& Info) {
                           return Info.param ? "IniFile" : "MemIniFile";
                         });

TEST_F(IniFileTest, IniFileWritesChangeOnlyTheLinesConcerned) {
  const String Name = path("keep.ini");
  // LF breaks, no mark, comments, odd spacing and no break at the end.
  const QByteArray Original = "; top\n\n[A]\n  x =  1  \n; in A\n\n[B]\ny=2";
  struct Case {
    const char* Name;
    std::function<void(TIniFile&)> Edit;
    QByteArray Expected;
  } Cases[] = {
      {"existing key keeps its spelling and blanks",
       [](TIniFile& I) { I.WriteString("a", "X", "new"); },
       "; top\n\n[A]\n  x =  new\n; in A\n\n[B]\ny=2"},
      {"new key follows the last line of its section",
       [](TIniFile& I) { I.WriteString("A", "k", "v"); },
       "; top\n\n[A]\n  x =  1  \n; in A\nk=v\n\n[B]\ny=2"},
      {"new key after a last line without a break",
       [](TIniFile& I) { I.WriteString("B", "z", "3"); },
       "; top\n\n[A]\n  x =  1  \n; in A\n\n[B]\ny=2\nz=3"},
      {"new section goes to the end after a blank line",
       [](TIniFile& I) { I.WriteString("C", "k", "v"); },
       "; top\n\n[A]\n  x =  1  \n; in A\n\n[B]\ny=2\n\n[C]\nk=v\n"},
      {"deleted key takes only its line",
       [](TIniFile& I) { I.DeleteKey("A", "x"); },
       "; top\n\n[A]\n; in A\n\n[B]\ny=2"},
      {"erased section takes its lines up to the next",
       [](TIniFile& I) { I.EraseSection("A"); },
       "; top\n\n[B]\ny=2"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    WriteFileBytes(Name, Original);
    TIniFile Ini(Name);
    C.Edit(Ini);
    EXPECT_EQ(FileBytes(Name), C.Expected);
  }

  WriteFileBytes(Name, Mark + "[A]\r\nx=1\r\n");
  TIniFile Ini(Name);
  Ini.WriteString(QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("2"));
  Ini.DeleteKey(QStringLiteral("A"), QStringLiteral("absent"));
  EXPECT_EQ(FileBytes(Name), Mark + "[A]\r\nx=2\r\n");
}

TEST_F(IniFileTest, IniFileReadsTheFileAsItIsNow) {
  const String Name = path("live.ini");
  TIniFile Ini(Name);
  EXPECT_EQ(Ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("none")), QStringLiteral("none"));
  EXPECT_FALSE(QFile::exists(Name));
  Ini.WriteInteger(QStringLiteral("S"), QStringLiteral("k"), 1);
  EXPECT_EQ(FileBytes(Name), Mark + "[S]\r\nk=1\r\n");
  WriteFileBytes(Name, "[S]\nk=changed outside\n");
  EXPECT_EQ(Ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()), QStringLiteral("changed outside"));
}

TEST_F(IniFileTest, WriteFailuresRaiseCreateErrors) {
  const String Name = path("no/folder.ini");
  TIniFile Single(Name);
  EXPECT_RAISES(Single.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")), EFCreateError,
                QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(Name));
  TMemIniFile Whole(Name);
  Whole.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
  EXPECT_RAISES(Whole.UpdateFile(), EFCreateError,
                QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(Name));
}

}  // namespace
