#include "platform/rtl/textfiles.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/streams.h"
#include "tests/support/testing.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void putBytes(TStream& S, const QByteArray& Bytes) { S.WriteBuffer(Bytes.constData(), Bytes.size()); }

QStringList readAllLines(TStreamReader& Reader) {
  QStringList Lines;
  while (!Reader.EndOfStream()) Lines << Reader.ReadLine();
  return Lines;
}

TEST(StreamReaderTest, EveryKindOfLineBreakEndsALine) {
  struct Case {
    const char* Name;
    QByteArray Input;
    QStringList Expected;
  } Cases[] = {
      {"mixed breaks", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"break at the end adds no line", "a\r\n", {"a"}},
      {"empty input", "", {}},
      {"a lone break is one empty line", "\r\n", {""}},
      {"LF LF is two breaks", "a\n\nb", {"a", "", "b"}},
      {"CR CR LF is two breaks", "a\r\r\nb", {"a", "", "b"}},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"last line without a break", "x", {"x"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TMemoryStream S;
    putBytes(S, C.Input);
    S.SetPosition(0);
    TStreamReader Reader(&S);
    EXPECT_EQ(readAllLines(Reader), C.Expected);
    EXPECT_EQ(Reader.ReadLine(), String());
  }
}

TEST(StreamReaderTest, ByteOrderMarksPickTheEncodingWhenDetecting) {
  const String Word = QStringLiteral("Ёлка");
  struct Case {
    const char* Name;
    QByteArray Input;
    TEncoding* Given;  // nullptr: the one-argument constructor (UTF-8, detecting)
    bool DetectBOM;
    TEncoding* Expected;
    String Text;
  } Cases[] = {
      {"UTF-8 mark", QByteArray("\xEF\xBB\xBF") + Word.toUtf8(), nullptr, true, TEncoding::UTF8(), Word},
      {"UTF-16LE mark over a given ANSI", QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(Word.utf16()), 8),
       TEncoding::ANSI(), true, TEncoding::Unicode(), Word},
      {"no mark keeps the given encoding", QByteArray("\xA8\xEB\xEA\xE0"), TEncoding::ANSI(), true, TEncoding::ANSI(), Word},
      {"not detecting skips the given encoding's own mark", QByteArray("\xEF\xBB\xBF") + Word.toUtf8(),
       TEncoding::UTF8(), false, TEncoding::UTF8(), Word},
      {"not detecting reads a foreign mark as text", QByteArray("\xEF\xBB\xBF") + "x", TEncoding::ANSI(), false,
       TEncoding::ANSI(), QStringLiteral("п»їx")},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TMemoryStream S;
    putBytes(S, C.Input);
    S.SetPosition(0);
    TStreamReader Reader = C.Given ? TStreamReader(&S, C.Given, C.DetectBOM) : TStreamReader(&S);
    EXPECT_EQ(Reader.ReadLine(), C.Text);
    EXPECT_EQ(Reader.CurrentEncoding(), C.Expected);
    EXPECT_TRUE(Reader.EndOfStream());
  }
}

TEST(StreamReaderTest, ReadsFromTheStreamPosition) {
  TMemoryStream S;
  putBytes(S, "skip\r\nkeep\r\n");
  S.SetPosition(6);
  TStreamReader Reader(&S);
  EXPECT_EQ(readAllLines(Reader), QStringList{"keep"});
}

class TextFileTest : public ::testing::Test {
protected:
  String path(const char* Name) const { return Dir.filePath(QString::fromUtf8(Name)); }
  QTemporaryDir Dir;
};

TEST_F(TextFileTest, ReaderOpensFilesByName) {
  const String Name = path("r.txt");
  WriteFileBytes(Name, "\xEF\xBB\xBF" "один\r\nдва");
  TStreamReader Reader(Name);
  EXPECT_EQ(readAllLines(Reader), (QStringList{QStringLiteral("один"), QStringLiteral("два")}));
  EXPECT_RAISES(TStreamReader Missing(path("none.txt")), EFOpenError,
                QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path("none.txt")));
}

TEST_F(TextFileTest, WriterPutsThePreambleOnlyIntoANewFile) {
  const String Name = path("w.txt");
  {
    TStreamWriter Writer(Name, /*Append=*/false, TEncoding::UTF8());
    Writer.Write(QStringLiteral("Я"));
    Writer.WriteLine(QStringLiteral("!"));
  }
  {
    TStreamWriter Writer(Name, /*Append=*/true, TEncoding::UTF8());
    Writer.WriteLine(QStringLiteral("b"));
  }
  EXPECT_EQ(FileBytes(Name), QByteArray("\xEF\xBB\xBF\xD0\xAF!\r\nb\r\n"));

  {
    TStreamWriter Writer(Name);  // truncates: the default is no append, UTF-8
    Writer.WriteLine();
  }
  EXPECT_EQ(FileBytes(Name), QByteArray("\xEF\xBB\xBF\r\n"));

  const String Fresh = path("appended.txt");
  {
    TStreamWriter Writer(Fresh, /*Append=*/true, TEncoding::Unicode());
    Writer.Write(QStringLiteral("A"));
  }
  EXPECT_EQ(FileBytes(Fresh), QByteArray("\xFF\xFE" "A\0", 4));
}

TEST_F(TextFileTest, WriterOnAStreamWritesThePreambleOnlyAtPositionZero) {
  TMemoryStream S;
  {
    TStreamWriter Writer(&S, TEncoding::ANSI());
    Writer.WriteLine(QStringLiteral("Щ"));
  }
  {
    TStreamWriter Writer(&S);
    Writer.Write(QStringLiteral("Щ"));
  }
  EXPECT_EQ(QByteArray(static_cast<const char*>(S.Memory()), S.Size()), QByteArray("\xD9\r\n\xD0\xA9"));
}

TEST_F(TextFileTest, TextFileWritesLinesInItsEncoding) {
  struct Case {
    const char* Name;
    TEncoding* Encoding;
    QByteArray Expected;
  } Cases[] = {
      {"ANSI by default", nullptr, "\xCF\xF0\xE8\xE2\xE5\xF2, x\r\n\r\n"},
      {"UTF-8 with its mark", TEncoding::UTF8(), "\xEF\xBB\xBF\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, x\r\n\r\n"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const String Name = path("t.txt");
    TTextFileWriter F(Name, C.Encoding);
    F.Rewrite();
    F.Write(QStringLiteral("Привет, "));
    F.WriteLn(QStringLiteral("x"));
    F.WriteLn();
    F.Close();
    EXPECT_FALSE(F.IsOpen());
    EXPECT_EQ(FileBytes(Name), C.Expected);
  }
}

TEST_F(TextFileTest, TextFileFailuresRaiseInOutErrorWithTheOsError) {
  const String Name = path("no/such/folder/r.txt");
  TTextFileWriter F(Name);
  try {
    F.Rewrite();
    ADD_FAILURE() << "Rewrite in a missing folder succeeded";
  } catch (const EInOutError& E) {
    EXPECT_EQ(E.ErrorCode, ENOENT);
    EXPECT_EQ(E.Message, QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(Name));
  }
  EXPECT_FALSE(F.IsOpen());
}

TEST_F(TextFileTest, TextFileRefusesAReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
  const String Folder = path("ro");
  ASSERT_TRUE(QDir().mkdir(Folder));
  ASSERT_EQ(::chmod(QFile::encodeName(Folder).constData(), 0555), 0);
  TTextFileWriter F(Folder + QStringLiteral("/r.txt"));
  try {
    F.Rewrite();
    ADD_FAILURE() << "Rewrite in a read-only folder succeeded";
  } catch (const EInOutError& E) {
    EXPECT_EQ(E.ErrorCode, EACCES);
  }
  ::chmod(QFile::encodeName(Folder).constData(), 0755);
}

TEST_F(TextFileTest, TextFileWriteFailureRaisesInOutError) {
  const String Full = QStringLiteral("/dev/full");
  if (!QFileInfo::exists(Full)) GTEST_SKIP() << "no /dev/full here";
  TTextFileWriter F(Full);
  F.Rewrite();
  try {
    F.WriteLn(QStringLiteral("x"));
    ADD_FAILURE() << "writing to a full device succeeded";
  } catch (const EInOutError& E) {
    EXPECT_EQ(E.ErrorCode, ENOSPC);
    EXPECT_EQ(E.Message, QStringLiteral("Cannot write file \"/dev/full\". No space left on device"));
  }
  F.Close();
}

}  // namespace
