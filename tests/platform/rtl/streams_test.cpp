#include "platform/rtl/streams.h"

#include "platform/rtl/ansistring.h"
#include "tests/support/testing.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

namespace {

TBytes bytesOf(TMemoryStream& S) {
  const auto* P = static_cast<const Byte*>(S.Memory());
  return TBytes(P, P + S.Size());
}

TBytes fileBytes(const String& FileName) {
  const QByteArray Data = FileBytes(FileName);
  return TBytes(Data.begin(), Data.end());
}

void writeText(TStream& S, const char* Text) { S.WriteBuffer(Text, static_cast<Int64>(std::strlen(Text))); }

// Grows by doubling from 4096 and can be told to fail, as a derived stream
// with its own growth policy would.
class TDoublingStream : public TMemoryStream {
public:
  bool FailGrowth = false;
  int ReallocCalls = 0;

protected:
  void* Realloc(Int64& NewCapacity) override {
    ++ReallocCalls;
    if (FailGrowth && NewCapacity > Capacity()) return nullptr;
    if (NewCapacity > Capacity()) {
      Int64 Doubled = Capacity() ? Capacity() : 4096;
      while (Doubled < NewCapacity) Doubled *= 2;
      NewCapacity = Doubled;
    }
    return TMemoryStream::Realloc(NewCapacity);
  }
};

TEST(MemoryStreamTest, CapacityRoundsUpTo8192ForRequestsOtherThanTheSize) {
  struct Case {
    const char* Name;
    Int64 Size;
    Int64 Request;
    Int64 Expected;
  } Cases[] = {
      {"zero frees the block", 0, 0, 0},
      {"one byte", 0, 1, 8192},
      {"exactly one step", 0, 8192, 8192},
      {"one past a step", 0, 8193, 16384},
      {"request equal to the size is kept", 100, 100, 100},
      {"request below the size still rounds", 100, 50, 8192},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TMemoryStream S;
    S.SetSize(C.Size);
    S.SetCapacity(C.Request);
    EXPECT_EQ(S.Capacity(), C.Expected);
  }
}

TEST(MemoryStreamTest, WritesGrowThroughTheOverridableRealloc) {
  TDoublingStream S;
  const TBytes Block(65536, 0xAB);
  S.WriteBuffer(Block.data(), 65536);
  EXPECT_EQ(S.Capacity(), 65536);
  S.WriteUInt8(0xCD);
  EXPECT_EQ(S.Capacity(), 131072);
  EXPECT_EQ(S.Size(), 65537);
  TBytes Expected = Block;
  Expected.push_back(0xCD);
  EXPECT_EQ(bytesOf(S), Expected);
}

TEST(MemoryStreamTest, FailedGrowthRaisesAndKeepsTheOldBlock) {
  TDoublingStream S;
  writeText(S, "abc");
  const void* Block = S.Memory();
  const Int64 Capacity = S.Capacity();
  S.FailGrowth = true;
  const TBytes Big(static_cast<size_t>(Capacity) + 1, 1);
  EXPECT_RAISES(S.WriteBuffer(Big.data(), static_cast<Int64>(Big.size())), EStreamError,
                "Out of memory while expanding memory stream");
  EXPECT_RAISES(S.SetSize(Capacity * 4), EStreamError, "Out of memory while expanding memory stream");
  EXPECT_EQ(S.Memory(), Block);
  EXPECT_EQ(S.Capacity(), Capacity);
  EXPECT_EQ(S.Size(), 3);
  EXPECT_EQ(S.Position(), 3);
  EXPECT_EQ(bytesOf(S), (TBytes{'a', 'b', 'c'}));
}

TEST(MemoryStreamTest, ReadsStopAtTheEndAndReadBufferRaises) {
  TMemoryStream S;
  writeText(S, "abcde");
  S.SetPosition(3);
  char Buf[8] = {};
  EXPECT_EQ(S.Read(Buf, 8), 2);
  EXPECT_EQ(std::string(Buf, 2), "de");
  EXPECT_EQ(S.Read(Buf, 8), 0);
  S.SetPosition(100);
  EXPECT_EQ(S.Read(Buf, 1), 0);
  S.SetPosition(2);
  EXPECT_RAISES(S.ReadBuffer(Buf, 4), EReadError, "Stream read error");
  S.SetPosition(0);
  EXPECT_RAISES(S.ReadBuffer(Buf, -1), EReadError, "Stream read error");
}

TEST(MemoryStreamTest, WritingBeyondTheEndLeavesAZeroGap) {
  TMemoryStream S;
  writeText(S, "ab");
  S.Seek(2, soEnd);
  writeText(S, "z");
  EXPECT_EQ(bytesOf(S), (TBytes{'a', 'b', 0, 0, 'z'}));
  S.SetSize(8);
  EXPECT_EQ(bytesOf(S), (TBytes{'a', 'b', 0, 0, 'z', 0, 0, 0}));
}

TEST(MemoryStreamTest, ShrinkingMovesAPositionPastTheEndToTheEnd) {
  TMemoryStream S;
  writeText(S, "abcdef");
  S.SetPosition(2);
  S.SetSize(4);
  EXPECT_EQ(S.Position(), 2);
  S.SetPosition(4);
  S.SetSize(1);
  EXPECT_EQ(S.Position(), 1);
  S.Clear();
  EXPECT_EQ(S.Size(), 0);
  EXPECT_EQ(S.Position(), 0);
  EXPECT_EQ(S.Capacity(), 0);
  EXPECT_EQ(S.Memory(), nullptr);
}

TEST(StreamTest, LittleEndianValuesHaveTheirExactBytes) {
  TMemoryStream S;
  S.WriteInt8(-2);
  S.WriteUInt8(0xFE);
  S.WriteInt16(-2);
  S.WriteUInt16(0x1234);
  S.WriteInt32(-2);
  S.WriteUInt32(0x12345678);
  S.WriteInt64(-2);
  S.WriteUInt64(0x0102030405060708ULL);
  S.WriteDouble(1.0);
  const TBytes Expected = {
      0xFE,                                            // int8 -2
      0xFE,                                            // uint8
      0xFE, 0xFF,                                      // int16 -2
      0x34, 0x12,                                      // uint16
      0xFE, 0xFF, 0xFF, 0xFF,                          // int32 -2
      0x78, 0x56, 0x34, 0x12,                          // uint32
      0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // int64 -2
      0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // uint64
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // double 1.0
  };
  EXPECT_EQ(bytesOf(S), Expected);

  S.SetPosition(0);
  EXPECT_EQ(S.ReadInt8(), -2);
  EXPECT_EQ(S.ReadUInt8(), 0xFE);
  EXPECT_EQ(S.ReadInt16(), -2);
  EXPECT_EQ(S.ReadUInt16(), 0x1234);
  EXPECT_EQ(S.ReadInt32(), -2);
  EXPECT_EQ(S.ReadUInt32(), 0x12345678u);
  EXPECT_EQ(S.ReadInt64(), -2);
  EXPECT_EQ(S.ReadUInt64(), 0x0102030405060708ULL);
  EXPECT_EQ(S.ReadDouble(), 1.0);
  EXPECT_RAISES(S.ReadUInt8(), EReadError, "Stream read error");
}

TEST(StreamTest, ShortValuesRaiseAtEveryTruncation) {
  for (Int64 Size = 0; Size < 8; ++Size) {
    SCOPED_TRACE(Size);
    TMemoryStream S;
    S.SetSize(Size);
    EXPECT_RAISES(S.ReadInt64(), EReadError, "Stream read error");
    S.SetPosition(0);
    EXPECT_RAISES(S.ReadDouble(), EReadError, "Stream read error");
    if (Size < 4) {
      S.SetPosition(0);
      EXPECT_RAISES(S.ReadInt32(), EReadError, "Stream read error");
    }
  }
}

TEST(StreamTest, ReadBytesChecksTheLengthAgainstTheBytesLeft) {
  TMemoryStream S;
  writeText(S, "abcd");
  S.SetPosition(1);
  struct Case {
    const char* Name;
    Int64 Count;
  } Bad[] = {{"one past the end", 4}, {"negative", -1}, {"absurd length", Int64(1) << 50}};
  for (const Case& C : Bad) {
    SCOPED_TRACE(C.Name);
    EXPECT_RAISES(S.ReadBytes(C.Count), EReadError, "Stream read error");
    EXPECT_EQ(S.Position(), 1);
  }
  EXPECT_EQ(S.ReadBytes(3), (TBytes{'b', 'c', 'd'}));
  EXPECT_EQ(S.ReadBytes(0), TBytes());
}

TEST(StreamTest, CopyFromCopiesFromThePositionOrAllWhenCountIsNotPositive) {
  TMemoryStream Source;
  writeText(Source, "0123456789");
  for (Int64 Count : {0, -5}) {
    SCOPED_TRACE(Count);
    TMemoryStream Target;
    Source.SetPosition(7);
    EXPECT_EQ(Target.CopyFrom(&Source, Count), 10);
    EXPECT_EQ(bytesOf(Target), bytesOf(Source));
  }
  TMemoryStream Target;
  Source.SetPosition(2);
  EXPECT_EQ(Target.CopyFrom(&Source, 3), 3);
  EXPECT_EQ(bytesOf(Target), (TBytes{'2', '3', '4'}));
  EXPECT_RAISES(Target.CopyFrom(&Source, 6), EReadError, "Stream read error");
}

TEST(StreamTest, CopyFromMovesMoreThanOneBufferFull) {
  TMemoryStream Source;
  TBytes Data(200000);
  for (size_t I = 0; I < Data.size(); ++I) Data[I] = static_cast<Byte>(I * 7);
  Source.WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
  TMemoryStream Target;
  Target.CopyFrom(&Source, 0);
  EXPECT_EQ(bytesOf(Target), Data);
}

TEST(BytesStreamTest, StartsWithTheBytesAndKeepsItsArrayAsTheBlock) {
  TBytesStream S(TBytes{1, 2, 3});
  EXPECT_EQ(S.Size(), 3);
  EXPECT_EQ(S.Capacity(), 3);
  EXPECT_EQ(S.Position(), 0);
  EXPECT_EQ(S.ReadUInt8(), 1);
  S.Seek(0, soEnd);
  S.WriteUInt8(4);
  EXPECT_EQ(S.Size(), 4);
  EXPECT_EQ(S.Capacity(), 8192);
  EXPECT_EQ(S.Bytes().size(), 8192u);
  EXPECT_EQ(S.Memory(), S.Bytes().data());
  EXPECT_EQ(TBytes(S.Bytes().begin(), S.Bytes().begin() + 4), (TBytes{1, 2, 3, 4}));
}

TEST(StringStreamTest, EncodesWithTheDefaultCodePageUnlessGivenAnEncoding) {
  TStringStream Ansi(QStringLiteral("Привет"));
  EXPECT_EQ(Ansi.Encoding(), TEncoding::Default());
  EXPECT_EQ(TBytes(Ansi.Bytes().begin(), Ansi.Bytes().begin() + Ansi.Size()),
            (TBytes{0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}));
  EXPECT_EQ(Ansi.DataString(), QStringLiteral("Привет"));

  TStringStream Utf8(QStringLiteral("Ж"), TEncoding::UTF8());
  EXPECT_EQ(Utf8.Size(), 2);
  Utf8.Seek(0, soEnd);
  Utf8.WriteString(QStringLiteral("ё!"));
  EXPECT_EQ(Utf8.DataString(), QStringLiteral("Жё!"));
  Utf8.SetPosition(2);
  EXPECT_EQ(Utf8.ReadString(2), QStringLiteral("ё"));
  EXPECT_EQ(Utf8.ReadString(100), QStringLiteral("!"));
  EXPECT_EQ(Utf8.ReadString(1), QString());
}

class FileStreamTest : public ::testing::Test {
protected:
  String path(const char* Name) const { return Dir.filePath(QString::fromUtf8(Name)); }
  QTemporaryDir Dir;
};

TEST_F(FileStreamTest, CreateTruncatesAndOpenWriteKeepsTheRest) {
  const String Name = path("a.bin");
  {
    TFileStream F(Name, fmCreate | fmShareExclusive);
    writeText(F, "hello world");
  }
  {
    TFileStream F(Name, fmOpenWrite | fmShareDenyNone);
    writeText(F, "J");
    EXPECT_EQ(F.Size(), 11);
  }
  EXPECT_EQ(fileBytes(Name), (TBytes{'J', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}));
  {
    TFileStream F(Name, fmOpenReadWrite);
    F.SetPosition(9);
    F.SetSize(5);
    EXPECT_EQ(F.Position(), 5);
    EXPECT_EQ(F.ReadBytes(0), TBytes());
  }
  {
    TFileStream F(Name, fmOpenRead);
    EXPECT_EQ(F.ReadBytes(F.Size()), (TBytes{'J', 'e', 'l', 'l', 'o'}));
    EXPECT_RAISES(writeText(F, "x"), EWriteError, "Stream write error");
  }
  TFileStream F(Name, fmCreate);
  EXPECT_EQ(F.Size(), 0);
}

TEST_F(FileStreamTest, FailuresCarryTheFileNameAndTheOsText) {
  const String Missing = path("missing.txt");
  const String InMissingFolder = path("nowhere/new.txt");
  const String Folder = Dir.path();
  EXPECT_RAISES(TFileStream F(Missing, fmOpenRead), EFOpenError,
                QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(Missing));
  EXPECT_RAISES(TFileStream F(Missing, fmOpenReadWrite), EFOpenError,
                QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(Missing));
  EXPECT_RAISES(TFileStream F(InMissingFolder, fmCreate), EFCreateError,
                QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(InMissingFolder));
  EXPECT_RAISES(TFileStream F(Folder, fmOpenRead), EFOpenError,
                QStringLiteral("Cannot open file \"%1\". Is a directory").arg(Folder));
  EXPECT_RAISES(TFileStream F(Folder, fmCreate), EFCreateError,
                QStringLiteral("Cannot create file \"%1\". Is a directory").arg(Folder));
}

TEST_F(FileStreamTest, MemoryStreamsSaveAndLoadWholeFiles) {
  const String Name = path("m.bin");
  TMemoryStream Out;
  writeText(Out, "content");
  Out.SetPosition(3);
  Out.SaveToFile(Name);
  EXPECT_EQ(Out.Position(), 3);
  EXPECT_EQ(fileBytes(Name), (TBytes{'c', 'o', 'n', 't', 'e', 'n', 't'}));

  TMemoryStream In;
  writeText(In, "old content that is longer");
  In.LoadFromFile(Name);
  EXPECT_EQ(bytesOf(In), bytesOf(Out));

  TMemoryStream Copy;
  Copy.LoadFromStream(&In);
  EXPECT_EQ(bytesOf(Copy), bytesOf(Out));
  EXPECT_RAISES(In.LoadFromFile(path("none")), EFOpenError,
                QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path("none")));
  EXPECT_RAISES(Out.SaveToFile(path("none/x")), EFCreateError,
                QStringLiteral("Cannot create file \"%1\". No such file or directory").arg(path("none/x")));
}

}  // namespace
