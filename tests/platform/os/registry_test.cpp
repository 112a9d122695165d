#include "platform/os/registry.h"

#include "platform/os/osunit.h"
#include "platform/os/wordapp.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

QStringList linesOf(TStrings& Strings) {
  QStringList Lines;
  for (Integer I = 0; I < Strings.Count(); ++I) Lines.push_back(Strings.Strings(I));
  return Lines;
}

class RegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    InitializeUnits({OsUnit});
    ASSERT_TRUE(Dir.isValid());
  }
  String storePath() const { return Dir.filePath(QStringLiteral("registry.reg")); }
  QByteArray fileBytes() { return FileBytes(storePath()); }
  void writeFile(const QByteArray& Data) { WriteFileBytes(storePath(), Data); }
  QStringList keyNames(TRegistry& Reg) {
    TStringList List;
    Reg.GetKeyNames(&List);
    return linesOf(List);
  }
  QStringList valueNames(TRegistry& Reg) {
    TStringList List;
    Reg.GetValueNames(&List);
    return linesOf(List);
  }

  QTemporaryDir Dir;
};

const String Hostile = QStringLiteral("= \" \\ ; [x] \n\r=end Статья");

// File permissions bind this thread for as long as the result lives, as they
// bind an ordinary user, also when the tests run as root.
auto permissionsBind() {
  __user_cap_header_struct Header{_LINUX_CAPABILITY_VERSION_3, 0};
  std::array<__user_cap_data_struct, _LINUX_CAPABILITY_U32S_3> Saved{};
  ::syscall(SYS_capget, &Header, Saved.data());
  auto Reduced = Saved;
  Reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
  ::syscall(SYS_capset, &Header, Reduced.data());
  return TScopeExit([Header, Saved]() mutable { ::syscall(SYS_capset, &Header, Saved.data()); });
}

bool canOpen(const String& FileName) {
  const int Handle = ::open(QFile::encodeName(FileName).constData(), O_RDONLY | O_CLOEXEC);
  if (Handle >= 0) ::close(Handle);
  return Handle >= 0;
}

const QByteArray Settings = "[HKEY_CURRENT_USER\\K]\r\n\"good\"=\"yes\"\r\n";

TEST_F(RegistryTest, ValuesRoundTripThroughTheFile) {
  {
    const TRegistryStoreScope Store(Dir.path());
    TRegistry Reg;
    ASSERT_TRUE(Reg.OpenKey(QStringLiteral("Software\\Bibliona\\Настройки"), /*CanCreate=*/true));
    Reg.WriteString(QStringLiteral("Text"), QStringLiteral("  Статья  "));
    Reg.WriteInteger(QStringLiteral("Count"), 13);
    Reg.WriteInteger(QStringLiteral("Negative"), -2);
    Reg.WriteBool(QStringLiteral("Flag"), true);
    Reg.WriteString(String(), QStringLiteral("default"));
    Reg.WriteString(Hostile, Hostile);
    Reg.WriteString(QStringLiteral("@"), QStringLiteral("at"));
    Reg.WriteString(QStringLiteral("Empty"), String());
  }
  const TRegistryStoreScope Reloaded(Dir.path());
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\bibliona\\НАСТРОЙКИ")));
  EXPECT_EQ(Reg.ReadString(QStringLiteral("text")), QStringLiteral("  Статья  "));
  EXPECT_EQ(Reg.ReadInteger(QStringLiteral("COUNT")), 13);
  EXPECT_EQ(Reg.ReadInteger(QStringLiteral("Negative")), -2);
  EXPECT_TRUE(Reg.ReadBool(QStringLiteral("Flag")));
  EXPECT_EQ(Reg.ReadInteger(QStringLiteral("Flag")), 1);
  EXPECT_EQ(Reg.ReadString(String()), QStringLiteral("default"));
  EXPECT_EQ(Reg.ReadString(Hostile), Hostile);
  EXPECT_EQ(Reg.ReadString(QStringLiteral("@")), QStringLiteral("at"));
  EXPECT_TRUE(Reg.ValueExists(QStringLiteral("Empty")));
  EXPECT_EQ(valueNames(Reg), QStringList({"Text", "Count", "Negative", "Flag", "", Hostile, "@", "Empty"}));
}

TEST_F(RegistryTest, FileLayout) {
  const TRegistryStoreScope Store(Dir.path());
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("Software\\A"), /*CanCreate=*/true));
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("Empty"), /*CanCreate=*/true)) << "relative to Software\\A";
  Reg.CloseKey();
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("Software\\A"), /*CanCreate=*/false));
  Reg.WriteString(QStringLiteral("a=b"), QStringLiteral("x=\"y\""));
  Reg.WriteInteger(QStringLiteral("n"), 13);
  Reg.WriteString(String(), QStringLiteral("d"));
  const String Text = String::fromUtf8(fileBytes());
  EXPECT_TRUE(Text.contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\A\\Empty]"))) << Text.toStdString();
  EXPECT_TRUE(Text.contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\A]")));
  EXPECT_TRUE(Text.contains(QStringLiteral(R"("a\eb"="x=\"y\"")"))) << Text.toStdString();
  EXPECT_TRUE(Text.contains(QStringLiteral("\"n\"=dword:0000000d")));
  EXPECT_TRUE(Text.contains(QStringLiteral("@=\"d\"")));
}

TEST_F(RegistryTest, HandWrittenFileSkipsWhatDoesNotParse) {
  writeFile(
      "[HKEY_CURRENT_USER\\K]\n"
      "\"good\"=\"yes\"\n"
      "\"n\"=DWORD:FFFFFFFF\n"
      "\"unquoted\"=text\n"
      "\"bad escape\"=\"a\\tb\"\n"
      "\"long\"=dword:123456789\n"
      "\"hex\"=dword:12g4\n"
      "plain=\"x\"\n"
      "; comment\n"
      "garbage line\n");
  const TRegistryStoreScope Store(Dir.path());
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKeyReadOnly(QStringLiteral("K")));
  EXPECT_EQ(Reg.ReadString(QStringLiteral("good")), QStringLiteral("yes"));
  EXPECT_EQ(Reg.ReadInteger(QStringLiteral("n")), -1);
  for (const char* Name : {"unquoted", "bad escape", "long", "hex"}) {
    SCOPED_TRACE(Name);
    EXPECT_FALSE(Reg.ValueExists(QString::fromLatin1(Name)));
    EXPECT_EQ(Reg.ReadString(QString::fromLatin1(Name)), String());
  }
  EXPECT_EQ(valueNames(Reg), QStringList({"good", "n"}));
}

TEST_F(RegistryTest, ReadsNeverCreateTheFile) {
  TRegistryStoreScope Store(Dir.path());
  TRegistry Reg;
  EXPECT_FALSE(Reg.OpenKeyReadOnly(QStringLiteral("Software\\Missing")));
  EXPECT_FALSE(Reg.OpenKey(QStringLiteral("Software\\Missing"), /*CanCreate=*/false));
  EXPECT_FALSE(Reg.KeyExists(QStringLiteral("Software")));
  EXPECT_EQ(Reg.ReadString(QStringLiteral("x")), String());
  EXPECT_EQ(TeeReadIntegerOption(QStringLiteral("DefaultPalette"), 13), 13);
  EXPECT_EQ(TeeReadStringOption(QStringLiteral("DefaultCanvas"), QStringLiteral("GDI")), QStringLiteral("GDI"));
  EXPECT_FALSE(QFile::exists(Store.Store().FileName()));
}

TEST_F(RegistryTest, TypeErrorsAndMissingValues) {
  const TRegistryStoreScope Store;
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("K"), /*CanCreate=*/true));
  Reg.WriteString(QStringLiteral("s"), QStringLiteral("12"));
  Reg.WriteInteger(QStringLiteral("i"), 12);
  EXPECT_RAISES(Reg.ReadInteger(QStringLiteral("s")), ERegistryException, "Invalid data type for 's'");
  EXPECT_RAISES(Reg.ReadInteger(QStringLiteral("missing")), ERegistryException, "Invalid data type for 'missing'");
  EXPECT_RAISES(Reg.ReadBool(QStringLiteral("s")), ERegistryException, "Invalid data type for 's'");
  EXPECT_RAISES(Reg.ReadString(QStringLiteral("i")), ERegistryException, "Invalid data type for 'i'");
  EXPECT_EQ(Reg.ReadString(QStringLiteral("missing")), String());
  Reg.WriteString(QStringLiteral("I"), QStringLiteral("now text"));
  EXPECT_EQ(Reg.ReadString(QStringLiteral("i")), QStringLiteral("now text")) << "a write replaces the type";
  EXPECT_EQ(valueNames(Reg), QStringList({"s", "i"})) << "the first spelling stays";
}

TEST_F(RegistryTest, KeysPathsAndDeletion) {
  const TRegistryStoreScope Store;
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("\\A\\B\\C"), /*CanCreate=*/true));
  EXPECT_EQ(Reg.CurrentPath(), QStringLiteral("A\\B\\C"));
  Reg.WriteString(QStringLiteral("v"), QStringLiteral("1"));
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("\\A\\b2\\"), /*CanCreate=*/true));
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("\\a\\X"), /*CanCreate=*/true));
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("\\A"), /*CanCreate=*/false));
  EXPECT_EQ(keyNames(Reg), QStringList({"B", "b2", "X"}));
  EXPECT_TRUE(Reg.KeyExists(QStringLiteral("b")) ) << "an intermediate key exists through its subkey";
  EXPECT_TRUE(Reg.KeyExists(QStringLiteral("\\A\\B\\C")));
  EXPECT_FALSE(Reg.KeyExists(QStringLiteral("B\\C\\D")));
  EXPECT_FALSE(Reg.KeyExists(QStringLiteral("\\A\\B\\")  + QStringLiteral("C2")));

  EXPECT_TRUE(Reg.DeleteKey(QStringLiteral("B")));
  EXPECT_FALSE(Reg.KeyExists(QStringLiteral("B")));
  EXPECT_FALSE(Reg.KeyExists(QStringLiteral("B\\C")));
  EXPECT_TRUE(Reg.KeyExists(QStringLiteral("b2"))) << "a name that only starts alike stays";
  EXPECT_FALSE(Reg.DeleteKey(QStringLiteral("B")));
  EXPECT_FALSE(Reg.DeleteKey(QStringLiteral("\\"))) << "the root stays";
  EXPECT_FALSE(Reg.OpenKey(QStringLiteral("bad\nname"), /*CanCreate=*/true));
  EXPECT_EQ(Reg.CurrentPath(), QStringLiteral("A")) << "a failed open keeps the open key";

  Reg.CloseKey();
  EXPECT_EQ(keyNames(Reg), QStringList({"A"}));
  Reg.WriteString(QStringLiteral("root"), QStringLiteral("r"));
  EXPECT_EQ(Reg.ReadString(QStringLiteral("root")), QStringLiteral("r"));
}

TEST_F(RegistryTest, ReadOnlyKeysAndHives) {
  const TRegistryStoreScope Store;
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("K"), /*CanCreate=*/true));
  ASSERT_TRUE(Reg.OpenKeyReadOnly(QStringLiteral("\\K")));
  EXPECT_RAISES(Reg.WriteString(QStringLiteral("v"), QStringLiteral("x")), ERegistryException,
                "Failed to set data for 'v'");

  Reg.SetRootKey(HKEY_CLASSES_ROOT);
  EXPECT_TRUE(Reg.KeyExists(QStringLiteral("Word.Application")));
  EXPECT_TRUE(Reg.KeyExists(QStringLiteral("word.application")));
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("Word.Application"), /*CanCreate=*/false));
  EXPECT_RAISES(Reg.WriteInteger(QStringLiteral("v"), 1), ERegistryException, "Failed to set data for 'v'");
  EXPECT_FALSE(Reg.OpenKey(QStringLiteral("\\New"), /*CanCreate=*/true));
  EXPECT_FALSE(Reg.DeleteKey(QStringLiteral("\\Word.Application")));
  TRecordingWordServer NoWord;
  NoWord.Absent = true;
  {
    const TWordServerScope Scope(NoWord);
    EXPECT_FALSE(Reg.KeyExists(QStringLiteral("\\Word.Application")));
  }
  EXPECT_TRUE(Reg.KeyExists(QStringLiteral("\\Word.Application")));

  Reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(Reg.CurrentPath(), String());
  EXPECT_FALSE(Reg.KeyExists(QStringLiteral("Hardware")));
  EXPECT_FALSE(Reg.OpenKey(QStringLiteral("Software"), /*CanCreate=*/true));
}

TEST_F(RegistryTest, FailedWriteLeavesNothingBehind) {
  QFile Blocker(Dir.filePath(QStringLiteral("blocker")));
  ASSERT_TRUE(Blocker.open(QIODevice::WriteOnly));
  Blocker.close();
  const TRegistryStoreScope Store(Dir.filePath(QStringLiteral("blocker/sub")));  // cannot be made
  TRegistry Reg;
  EXPECT_FALSE(Reg.OpenKey(QStringLiteral("K"), /*CanCreate=*/true));
  EXPECT_FALSE(Reg.KeyExists(QStringLiteral("K")));
  EXPECT_RAISES(Reg.WriteString(QStringLiteral("v"), QStringLiteral("x")), ERegistryException,
                "Failed to set data for 'v'");
  EXPECT_FALSE(Reg.ValueExists(QStringLiteral("v")));
  TeeSaveIntegerOption(QStringLiteral("DefaultPalette"), 3);
  EXPECT_EQ(TeeReadIntegerOption(QStringLiteral("DefaultPalette"), 13), 13);
}

// The store in Dir has a file that cannot be taken as it is: reads see what
// could be read of it, and no write reaches the file, each naming Fault.
void expectWritesRefused(const QTemporaryDir& Dir, bool ReadsSettings, const String& Fault) {
  const TRegistryStoreScope Store(Dir.path());
  TRegistry Reg;
  ASSERT_EQ(Reg.OpenKeyReadOnly(QStringLiteral("K")), ReadsSettings);
  if (ReadsSettings) {
    EXPECT_EQ(Reg.ReadString(QStringLiteral("good")), QStringLiteral("yes"));
  }
  Reg.CloseKey();
  EXPECT_RAISES(Reg.WriteString(QStringLiteral("v"), QStringLiteral("x")), ERegistryException,
                "Failed to set data for 'v'. " + Fault + ". The file is left as it is.");
  EXPECT_FALSE(Reg.ValueExists(QStringLiteral("v")));
  EXPECT_FALSE(Reg.OpenKey(QStringLiteral("New"), /*CanCreate=*/true));
  EXPECT_FALSE(Reg.DeleteKey(QStringLiteral("K")));
  TeeSaveIntegerOption(QStringLiteral("DefaultPalette"), 3);
}

TEST_F(RegistryTest, FolderInPlaceOfTheStoreIsKept) {
  const String File = Dir.filePath(QStringLiteral("registry.reg"));
  ASSERT_TRUE(QDir().mkpath(File + QStringLiteral("/inside")));
  expectWritesRefused(Dir, /*ReadsSettings=*/false,
                      QStringLiteral("Cannot open file \"%1\". %2").arg(File, SysErrorMessage(EISDIR)));
  EXPECT_TRUE(QFileInfo(File + QStringLiteral("/inside")).isDir());
}

TEST_F(RegistryTest, StoreWithoutReadPermissionIsKeptAndReadOnceMended) {
  const String File = Dir.filePath(QStringLiteral("registry.reg"));
  writeFile(Settings);
  const TRegistryStoreScope Store(Dir.path());
  {
    const auto Bound = permissionsBind();
    ASSERT_EQ(::chmod(QFile::encodeName(File).constData(), 0), 0);
    if (canOpen(File)) GTEST_SKIP() << "file permissions do not bind here";
    expectWritesRefused(Dir, /*ReadsSettings=*/false,
                        QStringLiteral("Cannot open file \"%1\". %2").arg(File, SysErrorMessage(EACCES)));
    TRegistry Reg;
    EXPECT_RAISES(Reg.WriteString(QStringLiteral("v"), QStringLiteral("x")), ERegistryException,
                  QStringLiteral("Failed to set data for 'v'. Cannot open file \"%1\". %2. The file is left as it is.")
                      .arg(File, SysErrorMessage(EACCES)));
  }
  ASSERT_EQ(::chmod(QFile::encodeName(File).constData(), 0600), 0);
  EXPECT_EQ(fileBytes(), Settings);
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey(QStringLiteral("K"), /*CanCreate=*/false)) << "the same store reads the mended file";
  Reg.WriteString(QStringLiteral("v"), QStringLiteral("x"));
  const TRegistryStoreScope Reloaded(Dir.path());
  TRegistry Again;
  ASSERT_TRUE(Again.OpenKeyReadOnly(QStringLiteral("K")));
  EXPECT_EQ(Again.ReadString(QStringLiteral("good")), QStringLiteral("yes"));
  EXPECT_EQ(Again.ReadString(QStringLiteral("v")), QStringLiteral("x"));
}

TEST_F(RegistryTest, StoreThatIsNotUtf8IsKept) {
  const String File = Dir.filePath(QStringLiteral("registry.reg"));
  // Settings written in a single-byte code page, then binary garbage.
  const QByteArray Bytes = Settings + "\"name\"=\"\xC6\xE6\"\r\n" + QByteArray("\x00\xFF\xFE\x80\r\n", 6);
  writeFile(Bytes);
  expectWritesRefused(Dir, /*ReadsSettings=*/true, QStringLiteral("File \"%1\" is not UTF-8 text").arg(File));
  EXPECT_EQ(fileBytes(), Bytes);
}

TEST_F(RegistryTest, TeeOptionsGiveTheDefaultForAnythingAmiss) {
  const TRegistryStoreScope Store;
  const String Key = String::fromUtf16(TeeEditorKey);
  EXPECT_EQ(TeeReadIntegerOption(QStringLiteral("DefaultPalette"), 13), 13) << "missing key";
  TRegistry Reg;
  ASSERT_TRUE(Reg.OpenKey(Key, /*CanCreate=*/true));
  EXPECT_EQ(TeeReadIntegerOption(QStringLiteral("DefaultPalette"), 13), 13) << "missing value";
  Reg.WriteString(QStringLiteral("DefaultPalette"), QStringLiteral("7"));
  Reg.WriteInteger(QStringLiteral("DefaultCanvas"), 1);
  EXPECT_EQ(TeeReadIntegerOption(QStringLiteral("DefaultPalette"), 13), 13) << "string value";
  EXPECT_FALSE(TeeReadBoolOption(QStringLiteral("DefaultPalette"), false)) << "string value";
  EXPECT_EQ(TeeReadStringOption(QStringLiteral("DefaultCanvas"), QStringLiteral("GDI")), QStringLiteral("GDI"))
      << "integer value";
  EXPECT_EQ(TeeReadStringOption(QStringLiteral("Missing"), QStringLiteral("GDI")), QStringLiteral("GDI"));

  TeeSaveIntegerOption(QStringLiteral("DefaultPalette"), 4);
  TeeSaveBoolOption(QStringLiteral("SmoothGallery"), false);
  Reg.WriteString(QStringLiteral("DefaultCanvas"), QStringLiteral("OpenGL"));
  EXPECT_EQ(TeeReadIntegerOption(QStringLiteral("defaultpalette"), 13), 4);
  EXPECT_FALSE(TeeReadBoolOption(QStringLiteral("SmoothGallery"), true));
  EXPECT_EQ(Reg.ReadInteger(QStringLiteral("SmoothGallery")), 0);
  EXPECT_EQ(TeeReadStringOption(QStringLiteral("DefaultCanvas"), QStringLiteral("GDI")), QStringLiteral("OpenGL"));
}

TEST_F(RegistryTest, DefaultFolderFollowsTheConfigHome) {
  const QByteArray Saved = qgetenv("XDG_CONFIG_HOME");
  const bool Had = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", "/cfg/");
  EXPECT_EQ(DefaultRegistryFolder(), QStringLiteral("/cfg/bibliona"));
  qputenv("XDG_CONFIG_HOME", "relative");
  EXPECT_EQ(DefaultRegistryFolder(), qEnvironmentVariable("HOME") + QStringLiteral("/.config/bibliona"));
  if (Had)
    qputenv("XDG_CONFIG_HOME", Saved);
  else
    qunsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(TRegistryStore(QStringLiteral("/x/")).FileName(), QStringLiteral("/x/registry.reg"));
  EXPECT_EQ(TRegistryStore(String()).FileName(), String());
}

}  // namespace
