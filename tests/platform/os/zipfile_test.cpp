#include "platform/os/zipfile.h"

#include "platform/os/drivemap.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/streams.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <malloc.h>
#include <string>
#include <utime.h>
#include <zlib.h>

namespace {

// ------------------------------------------------------------- test data

QByteArray randomBytes(int Count, quint32 Seed) {
  QByteArray Result(Count, Qt::Uninitialized);
  quint32 X = Seed | 1;
  for (char& C : Result) {
    X ^= X << 13, X ^= X >> 17, X ^= X << 5;
    C = char(X >> 24);
  }
  return Result;
}

// Reference-like lines in Cyrillic and Latin, which deflate well.
QByteArray catalogText(int Count) {
  QByteArray Result;
  for (int I = 0; Result.size() < Count; ++I)
    Result += QStringLiteral("%1. Иванов И. И., Smith J. Клинические исследования / Clinical studies. "
                             "Москва: Медицина, %2. С. %3-%4.\r\n")
                  .arg(I + 1).arg(1990 + I % 30).arg(I % 400).arg(I % 400 + 12)
                  .toUtf8();
  Result.truncate(Count);
  return Result;
}

QByteArray contentOf(TStream* Stream) {
  Stream->SetPosition(0);
  QByteArray Result(Stream->Size(), Qt::Uninitialized);
  Stream->ReadBuffer(Result.data(), Result.size());
  return Result;
}

void fillStream(TStream* Stream, const QByteArray& Bytes) {
  Stream->WriteBuffer(Bytes.constData(), Bytes.size());
  Stream->SetPosition(0);
}

struct Entry {
  String Name;
  QByteArray Data;
  TZipCompression Compression;
};

QByteArray writeArchive(const std::vector<Entry>& Entries) {
  TMemoryStream Archive;
  TZipFile Zip;
  Zip.Open(&Archive, zmWrite);
  for (const Entry& E : Entries) {
    TMemoryStream Data;
    fillStream(&Data, E.Data);
    Zip.Add(&Data, E.Name, E.Compression);
  }
  Zip.Close();
  return contentOf(&Archive);
}

// Every entry's bytes, by index.
std::vector<QByteArray> readArchive(const QByteArray& Bytes) {
  TMemoryStream Archive;
  fillStream(&Archive, Bytes);
  TZipFile Zip;
  Zip.Open(&Archive, zmRead);
  std::vector<QByteArray> Result;
  for (int I = 0; I < Zip.FileCount(); ++I) {
    TStream* Stream = nullptr;
    TZipHeader Header;
    Zip.Read(I, Stream, Header);
    std::unique_ptr<TStream> Owned(Stream);
    Result.push_back(contentOf(Stream));
  }
  return Result;
}

// CheckEntry on every entry of an archive in memory.
void checkArchive(const QByteArray& Bytes) {
  TMemoryStream Archive;
  fillStream(&Archive, Bytes);
  TZipFile Zip;
  Zip.Open(&Archive, zmRead);
  for (int I = 0; I < Zip.FileCount(); ++I) Zip.CheckEntry(I);
}

QByteArray readEntry(TZipFile& Zip, const String& Name, TZipHeader* Header = nullptr) {
  TStream* Stream = nullptr;
  TZipHeader Local;
  Zip.Read(Name, Stream, Header ? *Header : Local);
  std::unique_ptr<TStream> Owned(Stream);
  return contentOf(Stream);
}

// --------------------------------------------------------- other programs

QString findTool(const QString& Name) { return QStandardPaths::findExecutable(Name); }

struct ToolRun {
  int ExitCode = -1;
  QByteArray Output;
};

ToolRun runTool(const QString& Program, const QStringList& Args, const QString& Dir) {
  QProcess Process;
  Process.setWorkingDirectory(Dir);
  Process.setProcessChannelMode(QProcess::SeparateChannels);
  Process.start(Program, Args);
  Process.waitForFinished(120000);
  ToolRun Result;
  Result.Output = Process.readAllStandardOutput();
  if (Process.exitStatus() == QProcess::NormalExit) Result.ExitCode = Process.exitCode();
  if (Result.ExitCode != 0) ADD_FAILURE() << Program.toStdString() << " failed: " << Process.readAllStandardError().toStdString();
  return Result;
}

// ---------------------------------------------------------- hostile input

void setU16(QByteArray& Bytes, qsizetype At, unsigned Value) {
  Bytes[At] = char(Value & 0xFF);
  Bytes[At + 1] = char((Value >> 8) & 0xFF);
}

void setU32(QByteArray& Bytes, qsizetype At, quint32 Value) {
  setU16(Bytes, At, Value & 0xFFFF);
  setU16(Bytes, At + 2, Value >> 16);
}

quint32 getU32(const QByteArray& Bytes, qsizetype At) {
  quint32 Value = 0;
  for (int I = 3; I >= 0; --I) Value = (Value << 8) | quint8(Bytes[At + I]);
  return Value;
}

quint32 crcOf(const QByteArray& Bytes) {
  return quint32(crc32(0, reinterpret_cast<const Bytef*>(Bytes.constData()), uInt(Bytes.size())));
}

// A small archive of a deflated and a stored entry, and where its parts lie.
struct SmallArchive {
  QByteArray DeflatedData = catalogText(700);
  QByteArray StoredData = "Stored text, kept as it is.";
  QByteArray Bytes;
  qsizetype Compressed1 = 0, Local2 = 0, Data2 = 0, Directory = 0, Central1 = 0, Central2 = 0, End = 0;

  SmallArchive() {
    Bytes = writeArchive({{"deflated.txt", DeflatedData, zcDeflate}, {"stored.txt", StoredData, zcStored}});
    End = Bytes.size() - 22;
    Directory = getU32(Bytes, End + 16);
    Central1 = Directory;
    Central2 = Central1 + 46 + 12;
    Local2 = getU32(Bytes, Central2 + 42);
    Data2 = Local2 + 30 + 10;
    Compressed1 = Local2 - (30 + 12);
  }
};

// -------------------------------------------------------- fake large streams

// Claims Size bytes and hands out whatever the buffer holds, so entries of
// gigabytes cost no memory.
class TPhantomStream : public TStream {
public:
  explicit TPhantomStream(Int64 ASize) : FSize(ASize) {}
  Integer Read(void*, Integer Count) override {
    const auto Got = Integer(std::min<Int64>(Count, FSize - FPosition));
    FPosition += Got;
    return Got;
  }
  Integer Write(const void*, Integer) override { return 0; }
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override {
    FPosition = Origin == soBeginning ? Offset : Origin == soCurrent ? FPosition + Offset : FSize + Offset;
    return FPosition;
  }

private:
  Int64 FSize;
  Int64 FPosition = 0;
};

// Drops what is written and keeps only the size and position.
class TCountingStream : public TStream {
public:
  Integer Read(void*, Integer) override { return 0; }
  Integer Write(const void*, Integer Count) override {
    FPosition += Count;
    FSize = std::max(FSize, FPosition);
    return Count;
  }
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override {
    FPosition = Origin == soBeginning ? Offset : Origin == soCurrent ? FPosition + Offset : FSize + Offset;
    return FPosition;
  }
  void SetSize(Int64 NewSize) override { FSize = NewSize; }

private:
  Int64 FSize = 0;
  Int64 FPosition = 0;
};

// Sets the peak resident memory (VmHWM) to the current one; false when the
// kernel does not let the process do that.
bool resetPeakMemory() {
  malloc_trim(0);  // freed heap pages that stay resident would hide new use
  std::ofstream ClearRefs("/proc/self/clear_refs");
  ClearRefs << "5";
  ClearRefs.flush();
  return ClearRefs.good();
}

// A field of /proc/self/status in KiB ("VmRSS:", "VmHWM:"); -1 when missing.
Int64 statusKiB(const char* Field) {
  std::ifstream Status("/proc/self/status");
  for (std::string Line; std::getline(Status, Line);)
    if (Line.rfind(Field, 0) == 0) return std::stoll(Line.substr(std::strlen(Field)));
  return -1;
}

Cardinal dosStamp(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  return Cardinal(((Year - 1980) << 25) | (Month << 21) | (Day << 16) | (Hour << 11) | (Minute << 5) | (Second / 2));
}

}  // namespace

// ------------------------------------------------------------------ tests

TEST(ZipFileTest, WritesAndReadsStoredDeflatedEmptyAndCyrillicEntries) {
  const std::vector<Entry> Entries = {
      {"stored.bin", randomBytes(3000, 1), zcStored},
      {"deflated.txt", catalogText(2'500'000), zcDeflate},  // crosses the 1 MiB chunks
      {"big-stored.bin", randomBytes(2'200'000, 2), zcStored},
      {"empty-deflated", QByteArray(), zcDeflate},
      {"empty-stored", QByteArray(), zcStored},
      {"Статья.txt", catalogText(5000), zcDeflate},
  };
  const QByteArray Archive = writeArchive(Entries);

  TMemoryStream Stream;
  fillStream(&Stream, Archive);
  TZipFile Zip;
  Zip.Open(&Stream, zmRead);
  ASSERT_EQ(Zip.FileCount(), int(Entries.size()));
  for (int I = 0; I < int(Entries.size()); ++I) {
    const Entry& E = Entries[I];
    SCOPED_TRACE(E.Name.toStdString());
    EXPECT_EQ(Zip.FileName(I), E.Name);
    EXPECT_EQ(Zip.IndexOf(E.Name), I);
    TZipHeader Header;
    EXPECT_EQ(readEntry(Zip, E.Name, &Header), E.Data);
    EXPECT_EQ(Header.CompressionMethod, Word(E.Compression));
    EXPECT_EQ(Header.UncompressedSize, Cardinal(E.Data.size()));
    EXPECT_EQ(Header.RequiredVersion, 20);
    EXPECT_EQ((Header.Flag & 0x0800) != 0, E.Name == QStringLiteral("Статья.txt")) << "UTF-8 name flag";
  }
  TZipHeader Header;
  readEntry(Zip, "deflated.txt", &Header);
  EXPECT_LT(Header.CompressedSize, Header.UncompressedSize / 4);
}

TEST(ZipFileTest, ArchivesPassOtherToolsChecks) {
  const QString Unzip = findTool("unzip"), Python = findTool("python3");
  if (Unzip.isEmpty() && Python.isEmpty()) GTEST_SKIP() << "neither unzip nor python3 is installed";
  QTemporaryDir Dir;
  const std::vector<Entry> Entries = {
      {"stored.bin", randomBytes(70000, 3), zcStored},
      {"deflated.txt", catalogText(1'300'000), zcDeflate},
      {"empty", QByteArray(), zcDeflate},
      {"Статья.txt", catalogText(900), zcDeflate},
  };
  const QString Path = Dir.filePath("made-here.zip");
  WriteFileBytes(Path, writeArchive(Entries));

  if (!Unzip.isEmpty()) {
    EXPECT_EQ(runTool(Unzip, {"-t", "-q", Path}, Dir.path()).ExitCode, 0);
  }
  if (!Python.isEmpty()) {
    EXPECT_EQ(runTool(Python, {"-m", "zipfile", "-t", Path}, Dir.path()).ExitCode, 0);
    ASSERT_EQ(runTool(Python, {"-m", "zipfile", "-e", Path, "out"}, Dir.path()).ExitCode, 0);
    for (const Entry& E : Entries) {
      SCOPED_TRACE(E.Name.toStdString());
      EXPECT_EQ(FileBytes(Dir.filePath("out/" + E.Name)), E.Data);
    }
  }
}

TEST(ZipFileTest, ReadsArchivesOfOtherTools) {
  const QString ZipTool = findTool("zip"), Python = findTool("python3");
  if (ZipTool.isEmpty() && Python.isEmpty()) GTEST_SKIP() << "neither zip nor python3 is installed";
  QTemporaryDir Dir;
  const std::vector<std::pair<QString, QByteArray>> Files = {
      {"a.txt", catalogText(1'500'000)}, {"b.bin", randomBytes(5000, 4)}, {"Тест.txt", catalogText(3000)}};
  QStringList Names;
  for (const auto& [Name, Data] : Files) {
    WriteFileBytes(Dir.filePath(Name), Data);
    Names << Name;
  }

  struct Made {
    const char* How;
    QByteArray Archive;
    bool Streamed;
  };
  std::vector<Made> Archives;
  if (!ZipTool.isEmpty()) {
    // Local headers carry extra fields the central directory does not.
    runTool(ZipTool, QStringList{"-q", "plain.zip"} + Names, Dir.path());
    Archives.push_back({"zip", FileBytes(Dir.filePath("plain.zip")), false});
    // Output to a pipe cannot be patched, so sizes follow in data descriptors.
    Archives.push_back({"zip to a pipe", runTool(ZipTool, QStringList{"-q", "-"} + Names, Dir.path()).Output, true});
  }
  if (!Python.isEmpty()) {
    const char* Script =
        "import sys, zipfile\n"
        "class Pipe:\n"  // no seek or tell: the writer streams with data descriptors
        "    def __init__(self, f): self.f = f\n"
        "    def write(self, b): return self.f.write(b)\n"
        "    def flush(self): self.f.flush()\n"
        "with zipfile.ZipFile(Pipe(sys.stdout.buffer), 'w', zipfile.ZIP_DEFLATED) as z:\n"
        "    for name in sys.argv[1:]: z.write(name)\n";
    Archives.push_back({"python", runTool(Python, QStringList{"-c", Script} + Names, Dir.path()).Output, true});
  }

  for (const Made& M : Archives) {
    SCOPED_TRACE(M.How);
    TMemoryStream Stream;
    fillStream(&Stream, M.Archive);
    TZipFile Zip;
    Zip.Open(&Stream, zmRead);
    ASSERT_EQ(Zip.FileCount(), int(Files.size()));
    for (const auto& [Name, Data] : Files) {
      SCOPED_TRACE(Name.toStdString());
      TZipHeader Header;
      EXPECT_EQ(readEntry(Zip, Name, &Header), Data);
      EXPECT_EQ((Header.Flag & 0x0008) != 0, M.Streamed) << "data descriptor flag";
    }
  }
}

TEST(ZipFileTest, HostileHeadersRaisePreciseErrors) {
  const SmallArchive A;
  const auto S = [](auto... Parts) { return QStringList{QString(Parts)...}.join(QString()); };
  const auto N = [](qint64 V) { return QString::number(V); };
  const qsizetype Size1 = A.DeflatedData.size(), StoredSize = A.StoredData.size();
  struct Case {
    const char* Name;
    std::function<void(QByteArray&)> Patch;
    QString Expected;
  };
  const std::vector<Case> Cases = {
      {"size below the data", [&](QByteArray& B) { setU32(B, A.Central1 + 24, Size1 - 1); },
       S("Zip entry \"deflated.txt\": data is longer than the ", N(Size1 - 1), " bytes the header gives")},
      {"size above the data", [&](QByteArray& B) { setU32(B, A.Central1 + 24, Size1 + 1); },
       S("Zip entry \"deflated.txt\": data has ", N(Size1), " bytes, the header gives ", N(Size1 + 1))},
      {"compressed size inside the deflate stream",
       [&](QByteArray& B) { setU32(B, A.Central1 + 20, A.Compressed1 - 1); },
       "Zip entry \"deflated.txt\": the compressed data ends inside the deflate stream"},
      {"compressed size beyond the deflate stream",
       [&](QByteArray& B) { setU32(B, A.Central1 + 20, A.Compressed1 + 2); },
       "Zip entry \"deflated.txt\": the deflate stream ends before the last 2 of its compressed bytes"},
      {"sizes past the directory",
       [&](QByteArray& B) { setU32(B, A.Central2 + 20, StoredSize + 1), setU32(B, A.Central2 + 24, StoredSize + 1); },
       S("Zip entry \"stored.txt\": ", N(StoredSize + 1), " bytes of data at offset ", N(A.Data2),
         " run past the entry data, which ends at ", N(A.Directory))},
      {"stored sizes differ", [&](QByteArray& B) { setU32(B, A.Central2 + 20, StoredSize - 1); },
       S("Zip entry \"stored.txt\": stored with ", N(StoredSize - 1), " bytes but a size of ", N(StoredSize))},
      {"local name length past the data", [&](QByteArray& B) { setU16(B, A.Local2 + 26, 0xFFFF); },
       S("Zip entry \"stored.txt\": ", N(StoredSize), " bytes of data at offset ", N(A.Local2 + 30 + 0xFFFF),
         " run past the entry data, which ends at ", N(A.Directory))},
      {"local header at the directory", [&](QByteArray& B) { setU32(B, A.Central2 + 42, A.Directory); },
       S("Zip entry \"stored.txt\": local header at offset ", N(A.Directory),
         " lies past the entry data, which ends at ", N(A.Directory))},
      {"stored data changed", [&](QByteArray& B) { B[A.Data2] = char(B[A.Data2] ^ 0x20); },
       S("Zip entry \"stored.txt\": CRC-32 is ", IntToHex(crcOf(QByteArray(A.StoredData).replace(0, 1, "s")), 8),
         ", the header gives ", IntToHex(crcOf(A.StoredData), 8))},
      {"more entries than the directory holds",
       [&](QByteArray& B) { setU16(B, A.End + 8, 3), setU16(B, A.End + 10, 3); },
       "Invalid zip file: the central directory ends after 2 of 3 entries"},
      {"directory past the end record", [&](QByteArray& B) { setU32(B, A.End + 12, A.End - A.Directory + 1); },
       S("Invalid zip file: the central directory (", N(A.End - A.Directory + 1), " bytes at offset ", N(A.Directory),
         ") runs past the end record at offset ", N(A.End))},
      {"name length past the directory", [&](QByteArray& B) { setU16(B, A.Central2 + 28, 0xFFFF); },
       "Invalid zip file: the central directory ends inside entry 2 of 2"},
      {"encrypted", [&](QByteArray& B) { B[A.Central2 + 8] = char(B[A.Central2 + 8] | 1); },
       "Zip entry \"stored.txt\": encrypted entries are not supported"},
      {"method 12", [&](QByteArray& B) { setU16(B, A.Central2 + 10, 12); },
       "Zip entry \"stored.txt\": compression method 12 is not supported"},
      {"Zip64 sizes", [&](QByteArray& B) { setU32(B, A.Central2 + 20, 0xFFFFFFFF); },
       "Zip entry \"stored.txt\": Zip64 entries are not supported"},
      {"Zip64 locator", [&](QByteArray& B) { B.insert(A.End, QByteArray("PK\x06\x07", 4) + QByteArray(16, '\0')); },
       "Zip64 archives are not supported"},
      {"second disk", [&](QByteArray& B) { setU16(B, A.End + 4, 1); },
       "Zip archives that span several disks are not supported"},
      {"local signature", [&](QByteArray& B) { setU32(B, A.Local2, 0); }, "Invalid zip file"},
      {"central signature", [&](QByteArray& B) { setU32(B, A.Central2, 0); }, "Invalid zip file"},
      {"no end record", [&](QByteArray& B) { setU32(B, A.End, 0); }, "Invalid zip file"},
      {"not an archive", [&](QByteArray& B) { B = catalogText(100'000); }, "Invalid zip file"},
      {"empty", [&](QByteArray& B) { B.clear(); }, "Invalid zip file"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    QByteArray Bytes = A.Bytes;
    C.Patch(Bytes);
    EXPECT_RAISES(readArchive(Bytes), EZipException, C.Expected);
    EXPECT_RAISES(checkArchive(Bytes), EZipException, C.Expected);
  }
}

TEST(ZipFileTest, EveryTruncationRaises) {
  const SmallArchive A;
  ASSERT_EQ(readArchive(A.Bytes), (std::vector<QByteArray>{A.DeflatedData, A.StoredData}));
  for (qsizetype Length = 0; Length < A.Bytes.size(); ++Length) {
    SCOPED_TRACE(Length);
    EXPECT_THROW(readArchive(A.Bytes.left(Length)), EZipException);
  }
}

TEST(ZipFileTest, EveryFlippedByteRaisesOrReadsTheSameBytes) {
  const SmallArchive A;
  const std::vector<QByteArray> Original = {A.DeflatedData, A.StoredData};
  for (qsizetype At = 0; At < A.Bytes.size(); ++At) {
    SCOPED_TRACE(At);
    QByteArray Bytes = A.Bytes;
    Bytes[At] = char(Bytes[At] ^ 0xFF);
    try {
      const std::vector<QByteArray> Read = readArchive(Bytes);
      ASSERT_LE(Read.size(), Original.size());
      for (size_t I = 0; I < Read.size(); ++I) EXPECT_EQ(Read[I], Original[I]);
    } catch (const EZipException&) {
    }
  }
}

TEST(ZipFileTest, LargeFileIsStreamedThroughSmallBuffers) {
  QTemporaryDir Dir;
  const QString Source = Dir.filePath("incompressible.bin"), Target = Dir.filePath("large.zip");
  constexpr int Chunk = 1 << 20, Chunks = 20;
  quint32 Crc = 0;
  {
    QFile File(Source);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    for (int I = 0; I < Chunks; ++I) {
      const QByteArray Bytes = randomBytes(Chunk, 100 + I);
      Crc = quint32(crc32(Crc, reinterpret_cast<const Bytef*>(Bytes.constData()), Chunk));
      File.write(Bytes);
    }
  }
  if (!resetPeakMemory()) GTEST_SKIP() << "the peak memory of this process cannot be reset";
  const Int64 Before = statusKiB("VmRSS:");
  Int64 Added = 0;
  {
    TZipFile Zip;
    Zip.OnProgress = TZipProgressEvent([&Added](TObject*, const String&, const TZipHeader&, Int64 At) { Added = At; });
    Zip.Open(Target, zmWrite);
    Zip.Add(Source);
    Zip.Close();
  }
  EXPECT_EQ(Added, Chunks * Chunk);
  const Int64 Growth = (statusKiB("VmHWM:") - Before) * 1024;
  EXPECT_LT(Growth, 6 * Chunk) << "peak memory grew by " << Growth << " bytes";

  TZipFile Zip;
  Zip.Open(Target, zmRead);
  // the check keeps no copy of the entry and reports its progress
  std::vector<Int64> Positions;
  Zip.OnProgress = TZipProgressEvent([&](TObject* Sender, const String& Name, const TZipHeader& Entry, Int64 At) {
    EXPECT_EQ(Sender, &Zip);
    EXPECT_EQ(Name, "incompressible.bin");
    EXPECT_EQ(Entry.UncompressedSize, Cardinal(Chunks * Chunk));
    Positions.push_back(At);
  });
  ASSERT_TRUE(resetPeakMemory());
  const Int64 BeforeCheck = statusKiB("VmRSS:");
  Zip.CheckEntry("incompressible.bin");
  const Int64 CheckGrowth = (statusKiB("VmHWM:") - BeforeCheck) * 1024;
  EXPECT_LT(CheckGrowth, 6 * Chunk) << "peak memory grew by " << CheckGrowth << " bytes";
  ASSERT_GE(Positions.size(), std::size_t(Chunks));
  EXPECT_TRUE(std::is_sorted(Positions.begin(), Positions.end()));
  EXPECT_EQ(Positions.back(), Chunks * Chunk);
  Zip.OnProgress = {};
  TZipHeader Header;
  EXPECT_EQ(crcOf(readEntry(Zip, "incompressible.bin", &Header)), Crc);
  EXPECT_EQ(Header.CRC32, Crc);
  EXPECT_EQ(Header.UncompressedSize, Cardinal(Chunks * Chunk));
}

TEST(ZipFileTest, WriteModeReplacesAnExistingArchive) {
  QTemporaryDir Dir;
  const QString Path = Dir.filePath("backup.zip");
  const auto write = [&](const String& Name, const QByteArray& Data) {
    TZipFile Zip;
    Zip.Open(Path, zmWrite);
    TMemoryStream Stream;
    fillStream(&Stream, Data);
    Zip.Add(&Stream, Name);
  };  // the destructor finishes the archive
  write("old.bin", randomBytes(100'000, 5));
  write("new.txt", "small");

  EXPECT_LT(QFileInfo(Path).size(), 200);
  TZipFile Zip;
  Zip.Open(Path, zmRead);
  ASSERT_EQ(Zip.FileCount(), 1);
  EXPECT_EQ(readEntry(Zip, "new.txt"), QByteArray("small"));

  // a stream opened for writing loses its old content too
  TMemoryStream Stream;
  fillStream(&Stream, randomBytes(5000, 6));
  Zip.Open(&Stream, zmWrite);
  Zip.Close();
  EXPECT_EQ(Stream.Size(), 22);
}

TEST(ZipFileTest, EntryTimes) {
  // a file entry takes the file's modification time and its name part
  QTemporaryDir Dir;
  const QString Path = Dir.filePath("dated.txt");
  WriteFileBytes(Path, "dated");
  struct tm Local {};
  Local.tm_year = 2021 - 1900, Local.tm_mon = 2, Local.tm_mday = 4;
  Local.tm_hour = 5, Local.tm_min = 6, Local.tm_sec = 8, Local.tm_isdst = -1;
  const utimbuf Times{mktime(&Local), mktime(&Local)};
  ASSERT_EQ(utime(QFile::encodeName(Path).constData(), &Times), 0);

  TMemoryStream Archive;
  TZipFile Zip;
  Zip.Open(&Archive, zmWrite);
  Zip.Add(Path);

  // a stream entry is dated by the clock, clamped to what DOS stamps hold
  struct Case {
    const char* Name;
    TDateTime Now;
    Cardinal Expected;
  };
  const Case Cases[] = {
      {"leap day, odd second", EncodeDateTime(2024, 2, 29, 23, 59, 59, 0), dosStamp(2024, 2, 29, 23, 59, 58)},
      {"first DOS second", EncodeDateTime(1980, 1, 1, 0, 0, 0, 0), dosStamp(1980, 1, 1, 0, 0, 0)},
      {"before 1980", EncodeDateTime(1979, 12, 31, 23, 59, 59, 0), dosStamp(1980, 1, 1, 0, 0, 0)},
      {"last DOS year", EncodeDateTime(2107, 12, 31, 23, 59, 59, 0), dosStamp(2107, 12, 31, 23, 59, 58)},
      {"after 2107", EncodeDateTime(2108, 1, 1, 0, 0, 0, 0), dosStamp(2107, 12, 31, 23, 59, 58)},
  };
  for (const Case& C : Cases) {
    TManualClock Clock(C.Now);
    TClockScope Scope(Clock);
    TMemoryStream Data;
    Zip.Add(&Data, C.Name, zcStored);
  }
  Zip.Close();

  Zip.Open(&Archive, zmRead);
  TZipHeader Header;
  EXPECT_EQ(readEntry(Zip, "dated.txt", &Header), QByteArray("dated"));
  EXPECT_EQ(Header.ModifiedDateTime, dosStamp(2021, 3, 4, 5, 6, 8));
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    readEntry(Zip, C.Name, &Header);
    EXPECT_EQ(Header.ModifiedDateTime, C.Expected);
  }
}

TEST(ZipFileTest, StoredWindowsPathsGoThroughTheDriveMap) {
  QTemporaryDir Dir;
  TDriveMapScope Drives({{u'D', Dir.path()}});
  QDir(Dir.path()).mkdir("docs");
  WriteFileBytes(Dir.filePath("docs/a b.txt"), "content");
  TZipFile Zip;
  Zip.Open("D:\\qv.zip", zmWrite);
  Zip.Add("D:\\docs\\a b.txt");
  Zip.Close();

  Zip.Open(Dir.filePath("qv.zip"), zmRead);
  EXPECT_EQ(readEntry(Zip, "a b.txt"), QByteArray("content"));
}

TEST(ZipFileTest, ModesNamesAndLookUps) {
  const QByteArray Bytes = writeArchive({{"a.txt", "a", zcDeflate}, {"dir/B.txt", "b", zcStored}});
  TMemoryStream Stream;
  fillStream(&Stream, Bytes);
  TMemoryStream Data;
  TZipFile Zip;
  Zip.Open(&Stream, zmRead);
  EXPECT_EQ(Zip.Mode(), zmRead);
  EXPECT_EQ(Zip.IndexOf("dir/B.txt"), 1);
  EXPECT_EQ(Zip.IndexOf("dir/b.txt"), -1);
  EXPECT_EQ(Zip.IndexOf("A.TXT"), -1);
  EXPECT_RAISES(readEntry(Zip, "A.TXT"), EZipException, "File \"A.TXT\" is not in the zip file");
  EXPECT_RAISES(Zip.Add(&Data, "c.txt"), EZipException, "Zip file is not open for writing");
  Zip.Close();
  Zip.Close();
  EXPECT_EQ(Zip.Mode(), zmClosed);
  EXPECT_EQ(Zip.FileCount(), 0);
  EXPECT_EQ(Stream.Size(), Bytes.size()) << "closing a read archive writes nothing";

  TMemoryStream Target;
  Zip.Open(&Target, zmWrite);
  EXPECT_RAISES(readEntry(Zip, "a.txt"), EZipException, "Zip file is not open for reading");
  EXPECT_RAISES(Zip.Add(&Data, ""), EZipException, "Zip entry name must not be empty");
  EXPECT_EQ(Target.Size(), 0);

  // opening a missing file fails before anything is open
  EXPECT_THROW(Zip.Open("/nonexistent-folder/x.zip", zmRead), EFOpenError);
  EXPECT_EQ(Zip.Mode(), zmClosed);
}

TEST(ZipFileTest, EntryCountLimit) {
  TMemoryStream Archive;
  TZipFile Zip;
  Zip.Open(&Archive, zmWrite);
  TMemoryStream Empty;
  for (int I = 1; I <= 65535; ++I) Zip.Add(&Empty, QString::number(I), zcStored);
  const Int64 Size = Archive.Size();
  EXPECT_RAISES(Zip.Add(&Empty, "65536", zcStored), EZipException,
                "A zip file without Zip64 holds at most 65535 entries");
  EXPECT_EQ(Archive.Size(), Size);
  Zip.Close();

  Zip.Open(&Archive, zmRead);
  EXPECT_EQ(Zip.FileCount(), 65535);
  EXPECT_EQ(Zip.FileName(65534), "65535");
  EXPECT_EQ(readEntry(Zip, "65535"), QByteArray());
}

TEST(ZipFileTest, SizeAndOffsetLimits) {
  constexpr Int64 Limit = 0xFFFFFFFE;
  TCountingStream Archive;
  TZipFile Zip;
  Zip.Open(&Archive, zmWrite);

  TPhantomStream TooLarge(Limit + 1);
  EXPECT_RAISES(Zip.Add(&TooLarge, "too-large", zcStored), EZipException,
                "Zip entry \"too-large\": 4294967295 bytes are more than the 4294967294 a zip file holds without Zip64");
  EXPECT_EQ(Archive.Size(), 0);

  // data or a header passing the limit is refused and cut off again; an
  // entry that ends exactly at the limit fits
  TPhantomStream First(Limit - 40 - 31), Crossing(100), Last(9);
  Zip.Add(&First, "a", zcStored);
  EXPECT_RAISES(Zip.Add(&Crossing, "b", zcStored), EZipException,
                "Zip entry \"b\": the archive would pass 4294967294 bytes, the limit without Zip64");
  EXPECT_EQ(Archive.Size(), Limit - 40);
  Zip.Add(&Last, "c", zcStored);
  ASSERT_EQ(Archive.Size(), Limit);
  TMemoryStream Empty;
  EXPECT_RAISES(Zip.Add(&Empty, "d", zcStored), EZipException,
                "Zip entry \"d\": the archive would pass 4294967294 bytes, the limit without Zip64");
  EXPECT_EQ(Archive.Size(), Limit);
  Zip.Close();
  EXPECT_EQ(Archive.Size(), Limit + 2 * (46 + 1) + 22);
}
