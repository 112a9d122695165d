#include "platform/os/zipfile.h"

#include "platform/os/drivemap.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

#include <QStringDecoder>

#include <algorithm>
#include <cassert>
#include <ctime>
#include <functional>
#include <sys/stat.h>
#include <zlib.h>

namespace {

constexpr Cardinal LocalHeaderSignature = 0x04034B50;
constexpr Cardinal CentralHeaderSignature = 0x02014B50;
constexpr Cardinal EndRecordSignature = 0x06054B50;
constexpr Cardinal Zip64LocatorSignature = 0x07064B50;

constexpr Int64 LocalHeaderSize = 30;
constexpr Int64 CentralHeaderSize = 46;
constexpr Int64 EndRecordSize = 22;
constexpr Int64 Zip64LocatorSize = 20;
// The end record sits at most a full comment (65535 bytes) before the end.
constexpr Int64 EndSearchSpan = EndRecordSize + 0xFFFF;
// Offsets of the CRC-32 and the two sizes, patched after the data.
constexpr Int64 LocalCrcOffset = 14;

// Version 2.0: deflate, and the lowest a reader must support.
constexpr Word ZipVersion = 20;
constexpr Word FlagEncrypted = 0x0001;
constexpr Word FlagUtf8Name = 0x0800;

// 0xFFFFFFFF and 0xFFFF mean "look in the Zip64 record": without Zip64 every
// size and offset must stay below them.
constexpr Int64 MaxZipValue = 0xFFFFFFFE;
constexpr Int64 ZipValueMarker = 0xFFFFFFFF;
constexpr size_t MaxEntries = 0xFFFF;
constexpr Int64 MaxNameLength = 0xFFFF;

// Data moves in chunks of this size, so a large file never sits in memory.
constexpr Integer ChunkSize = 1 << 20;
// Raw deflate without a zlib header, as zip stores it.
constexpr int RawDeflateWindowBits = -15;
constexpr int DeflateMemLevel = 8;
// Deflate cannot expand data more than about 1032 to 1, which bounds what a
// reader reserves before the size in the header is confirmed.
constexpr Int64 MaxDeflateRatio = 1032;

// DOS time stamps start in 1980 and keep seven bits of year.
constexpr int DosMinYear = 1980;
constexpr int DosMaxYear = 2107;

// little-endian fields
void putU16(QByteArray& To, unsigned Value) {
  To.append(char(Value & 0xFF));
  To.append(char((Value >> 8) & 0xFF));
}

void putU32(QByteArray& To, Cardinal Value) {
  putU16(To, Value & 0xFFFF);
  putU16(To, Value >> 16);
}

Word getU16(const QByteArray& From, Int64 At) {
  const auto* P = reinterpret_cast<const Byte*>(From.constData()) + At;
  return Word(P[0] | (P[1] << 8));
}

Cardinal getU32(const QByteArray& From, Int64 At) {
  return Cardinal(getU16(From, At)) | (Cardinal(getU16(From, At + 2)) << 16);
}

Cardinal dosDateTime(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  if (Year < DosMinYear) return (1 << 21) | (1 << 16);  // 1980-01-01 00:00:00
  if (Year > DosMaxYear) {
    Year = DosMaxYear;
    Month = 12, Day = 31, Hour = 23, Minute = 59, Second = 59;
  }
  const Cardinal Date = ((Year - DosMinYear) << 9) | (Month << 5) | Day;
  const Cardinal Time = (Hour << 11) | (Minute << 5) | (Second / 2);
  return (Date << 16) | Time;
}

Cardinal dosDateTime(TDateTime Value) {
  Word Year, Month, Day, Hour, Minute, Second, MilliSecond;
  DecodeDateTime(Value, Year, Month, Day, Hour, Minute, Second, MilliSecond);
  return dosDateTime(Year, Month, Day, Hour, Minute, Second);
}

Cardinal dosDateTime(time_t Value) {
  struct tm Local;
  localtime_r(&Value, &Local);
  return dosDateTime(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday, Local.tm_hour,
                     Local.tm_min, Local.tm_sec);
}

// Names carry the UTF-8 flag when they need it.  Without the flag, tools on
// this system still write UTF-8; anything else is taken as the ANSI code page.
String decodeName(const QByteArray& Bytes, Word Flag) {
  QStringDecoder Utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const String Name = Utf8.decode(Bytes);
  if ((Flag & FlagUtf8Name) || !Utf8.hasError()) return Name;
  return TEncoding::Default()->GetString(reinterpret_cast<const Byte*>(Bytes.constData()),
                                         int(Bytes.size()));
}

bool isAscii(const QByteArray& Bytes) {
  return std::all_of(Bytes.begin(), Bytes.end(), [](char C) { return Byte(C) < 0x80; });
}

void requireMode(TZipMode Mode, TZipMode Wanted) {
  if (Mode == Wanted) return;
  throw EZipException(Wanted == zmRead ? QStringLiteral("Zip file is not open for reading")
                                       : QStringLiteral("Zip file is not open for writing"));
}

[[noreturn]] void raiseInvalid() { throw EZipException(QStringLiteral("Invalid zip file")); }

[[noreturn]] void raiseArchiveTooLarge(const String& EntryName) {
  throw EZipException(QStringLiteral("Zip entry \"%1\": the archive would pass %2 bytes, the limit without Zip64")
                          .arg(EntryName)
                          .arg(MaxZipValue));
}

// Reads exactly Count bytes at Offset of an archive.
QByteArray readAt(TStream* Stream, Int64 Offset, Int64 Count) {
  QByteArray Result(Count, Qt::Uninitialized);
  Stream->SetPosition(Offset);
  for (Int64 Done = 0; Done < Count;) {
    const Integer Got = Stream->Read(Result.data() + Done, Integer(std::min<Int64>(Count - Done, ChunkSize)));
    if (Got <= 0)
      throw EZipException(QStringLiteral("Zip file read error: %1 of %2 bytes at offset %3")
                              .arg(Done).arg(Count).arg(Offset));
    Done += Got;
  }
  return Result;
}

// An uninitialised transfer buffer of at most one chunk: small entries get
// small buffers, and nothing is zeroed that is overwritten anyway.
class ChunkBuffer {
public:
  explicit ChunkBuffer(Int64 Wanted)
      : FSize(Integer(std::clamp<Int64>(Wanted, 1, ChunkSize))), FData(new Byte[FSize]) {}
  Byte* data() const { return FData.get(); }
  Integer size() const { return FSize; }

private:
  Integer FSize;
  std::unique_ptr<Byte[]> FData;
};

// Owners of zlib stream state.
class Deflater {
public:
  Deflater() {
    if (deflateInit2(&Z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, RawDeflateWindowBits, DeflateMemLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
      throw EZipException(QStringLiteral("Zip compression could not start"));
  }
  ~Deflater() { deflateEnd(&Z); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;
  z_stream Z{};
};

class Inflater {
public:
  Inflater() {
    if (inflateInit2(&Z, RawDeflateWindowBits) != Z_OK)
      throw EZipException(QStringLiteral("Zip decompression could not start"));
  }
  ~Inflater() { inflateEnd(&Z); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream Z{};
};

// Where an entry's data lies, once its local header has been checked.
struct DataSpan {
  Int64 Start;
  Int64 Size;
};

// Hears the uncompressed bytes an entry has produced or consumed so far.
using ChunkHook = std::function<void(Int64 Position)>;

class EntryReader {
public:
  EntryReader(TStream* Archive, const TZipHeader& Header, const DataSpan& Span, ChunkHook Hook)
      : FArchive(Archive), FHeader(Header), FLeft(Span.Size), FIn(Span.Size), FHook(std::move(Hook)) {
    FArchive->SetPosition(Span.Start);
  }

  // Copies the entry's bytes into Out (nowhere when nullptr), checking their
  // size and CRC-32.
  void CopyTo(TStream* Out) {
    if (FHeader.CompressionMethod == zcStored)
      copyStored(Out);
    else
      inflateTo(Out);
    if (FProduced != FHeader.UncompressedSize)
      fail(QStringLiteral("data has %1 bytes, the header gives %2").arg(FProduced).arg(FHeader.UncompressedSize));
    if (FCrc != FHeader.CRC32)
      fail(QStringLiteral("CRC-32 is %1, the header gives %2").arg(IntToHex(FCrc, 8), IntToHex(FHeader.CRC32, 8)));
  }

private:
  [[noreturn]] void fail(const String& What) const {
    throw EZipException(QStringLiteral("Zip entry \"%1\": %2").arg(FHeader.FileName, What));
  }

  // Fills the input buffer from the entry's compressed bytes; answers the count.
  Integer readChunk() {
    const auto Want = Integer(std::min<Int64>(FLeft, FIn.size()));
    const Int64 At = FArchive->Position();
    for (Integer Done = 0; Done < Want;) {
      const Integer Got = FArchive->Read(FIn.data() + Done, Want - Done);
      if (Got <= 0) fail(QStringLiteral("read error at offset %1").arg(At + Done));
      Done += Got;
    }
    FLeft -= Want;
    return Want;
  }

  void deliver(TStream* Out, const Byte* Data, Integer Count) {
    if (FProduced + Count > FHeader.UncompressedSize)
      fail(QStringLiteral("data is longer than the %1 bytes the header gives").arg(FHeader.UncompressedSize));
    FCrc = crc32(FCrc, Data, uInt(Count));
    if (Out) Out->WriteBuffer(Data, Count);
    FProduced += Count;
    if (FHook) FHook(FProduced);
  }

  void copyStored(TStream* Out) {
    while (FLeft > 0) {
      const Integer Got = readChunk();
      deliver(Out, FIn.data(), Got);
    }
  }

  void inflateTo(TStream* Out) {
    Inflater Inflate;
    z_stream& Z = Inflate.Z;
    const ChunkBuffer Buffer(FHeader.UncompressedSize);
    for (int Status = Z_OK; Status != Z_STREAM_END;) {
      if (Z.avail_in == 0) {
        if (FLeft == 0) fail(QStringLiteral("the compressed data ends inside the deflate stream"));
        Z.avail_in = uInt(readChunk());
        Z.next_in = FIn.data();
      }
      Z.next_out = Buffer.data();
      Z.avail_out = uInt(Buffer.size());
      Status = inflate(&Z, Z_NO_FLUSH);
      const bool Stuck = Status == Z_BUF_ERROR && Z.avail_in != 0;
      if (Status == Z_DATA_ERROR || Status == Z_NEED_DICT || Status == Z_MEM_ERROR || Stuck)
        fail(QStringLiteral("corrupt compressed data (%1)").arg(QString::fromLatin1(Z.msg ? Z.msg : "no progress")));
      deliver(Out, Buffer.data(), Integer(Buffer.size() - Z.avail_out));
    }
    if (Z.avail_in != 0 || FLeft != 0)
      fail(QStringLiteral("the deflate stream ends before the last %1 of its compressed bytes").arg(FLeft + Z.avail_in));
  }

  TStream* FArchive;
  const TZipHeader& FHeader;
  Int64 FLeft;  // compressed bytes not read yet
  const ChunkBuffer FIn;
  Int64 FProduced = 0;
  Cardinal FCrc = 0;
  ChunkHook FHook;
};

// Writes one entry's data at the archive's position and fills in the CRC-32
// and both sizes; WriteLimit is the highest offset the data may reach.
class EntryWriter {
public:
  EntryWriter(TStream* Archive, TZipHeader& Header, Int64 WriteLimit, ChunkHook Hook)
      : FArchive(Archive), FHeader(Header), FWriteLimit(WriteLimit), FHook(std::move(Hook)) {}

  void CopyFrom(TStream* Data, Int64 Size) {
    if (FHeader.CompressionMethod == zcStored)
      copyStored(Data, Size);
    else
      deflateFrom(Data, Size);
    FHeader.UncompressedSize = Cardinal(Size);
  }

private:
  Integer readChunk(TStream* Data, const ChunkBuffer& In, Int64& Left) {
    const auto Count = Integer(std::min<Int64>(Left, In.size()));
    Data->ReadBuffer(In.data(), Count);
    FHeader.CRC32 = crc32(FHeader.CRC32, In.data(), uInt(Count));
    Left -= Count;
    FConsumed += Count;
    if (FHook) FHook(FConsumed);
    return Count;
  }

  void put(const Byte* Data, Integer Count) {
    if (FArchive->Position() + Count > FWriteLimit) raiseArchiveTooLarge(FHeader.FileName);
    FArchive->WriteBuffer(Data, Count);
    FHeader.CompressedSize += Cardinal(Count);
  }

  void copyStored(TStream* Data, Int64 Size) {
    const ChunkBuffer In(Size);
    for (Int64 Left = Size; Left > 0;) {
      const Integer Count = readChunk(Data, In, Left);
      put(In.data(), Count);
    }
  }

  void deflateFrom(TStream* Data, Int64 Size) {
    Deflater Deflate;
    z_stream& Z = Deflate.Z;
    const ChunkBuffer In(Size);
    const ChunkBuffer Buffer(Int64(deflateBound(&Z, uLong(Size))));
    Int64 Left = Size;
    do {
      Z.avail_in = uInt(readChunk(Data, In, Left));
      Z.next_in = In.data();
      const int Flush = Left == 0 ? Z_FINISH : Z_NO_FLUSH;
      do {
        Z.next_out = Buffer.data();
        Z.avail_out = uInt(Buffer.size());
        deflate(&Z, Flush);  // cannot fail with valid state and buffers
        put(Buffer.data(), Integer(Buffer.size() - Z.avail_out));
      } while (Z.avail_out == 0);
    } while (Left > 0);
  }

  TStream* FArchive;
  TZipHeader& FHeader;
  Int64 FWriteLimit;
  ChunkHook FHook;
  Int64 FConsumed = 0;
};

// The fields from "version needed" to "extra length", which the local header
// and the central directory entry share.
void putEntryFields(QByteArray& To, const TZipHeader& Header, const QByteArray& Name) {
  putU16(To, Header.RequiredVersion);
  putU16(To, Header.Flag);
  putU16(To, Header.CompressionMethod);
  putU32(To, Header.ModifiedDateTime);
  putU32(To, Header.CRC32);
  putU32(To, Header.CompressedSize);
  putU32(To, Header.UncompressedSize);
  putU16(To, Name.size());
  putU16(To, 0);  // extra field length
}

QByteArray localHeader(const TZipHeader& Header, const QByteArray& Name) {
  QByteArray Result;
  putU32(Result, LocalHeaderSignature);
  putEntryFields(Result, Header, Name);
  return Result + Name;
}

QByteArray centralHeader(const TZipHeader& Header, const QByteArray& Name) {
  QByteArray Result;
  putU32(Result, CentralHeaderSignature);
  putU16(Result, Header.MadeByVersion);
  putEntryFields(Result, Header, Name);
  putU16(Result, 0);  // comment length
  putU16(Result, 0);  // disk number
  putU16(Result, 0);  // internal attributes
  putU32(Result, 0);  // external attributes
  putU32(Result, Header.LocalHeaderOffset);
  return Result + Name;
}

// The offset of the last end record in Tail whose comment fits, or -1.
Int64 findEndRecord(const QByteArray& Tail) {
  for (Int64 At = Tail.size() - EndRecordSize; At >= 0; --At)
    if (getU32(Tail, At) == EndRecordSignature && At + EndRecordSize + getU16(Tail, At + 20) <= Tail.size())
      return At;
  return -1;
}

}  // namespace

TZipFile::TZipFile() = default;

TZipFile::~TZipFile() {
  try {
    Close();
  } catch (const std::exception&) {
    HandleException(std::current_exception());
  }
  release();
}

void TZipFile::Open(const String& ZipFileName, TZipMode OpenMode) {
  assert(OpenMode != zmClosed && "open a zip file for reading or writing");
  Close();
  auto File = std::make_unique<TFileStream>(NativePath(ZipFileName), OpenMode == zmWrite ? fmCreate : fmOpenRead);
  Open(File.get(), OpenMode);
  FOwnedStream = std::move(File);
}

void TZipFile::Open(TStream* ZipFileStream, TZipMode OpenMode) {
  assert(ZipFileStream && OpenMode != zmClosed && "open a zip file on a stream for reading or writing");
  Close();
  FStream = ZipFileStream;
  FMode = OpenMode;
  if (OpenMode == zmWrite) {
    FStream->SetSize(0);
    FStream->SetPosition(0);
    return;
  }
  try {
    readCentralDirectory();
  } catch (const Exception&) {
    release();
    throw;
  }
}

void TZipFile::Close() {
  if (FMode == zmWrite) {
    FMode = zmClosed;  // a failing write is not retried by the destructor
    writeCentralDirectory();
  }
  release();
}

void TZipFile::release() {
  FMode = zmClosed;
  FStream = nullptr;
  FOwnedStream.reset();
  FFiles.clear();
  FDirectoryOffset = 0;
}

// ---------------------------------------------------------------- writing

void TZipFile::Add(TStream* Data, const String& ArchiveFileName, TZipCompression Compression) {
  writeEntry(Data, ArchiveFileName, Compression, dosDateTime(Now()));
}

void TZipFile::Add(const String& FileName, const String& ArchiveFileName, TZipCompression Compression) {
  TFileStream File(NativePath(FileName), fmOpenRead);
  struct stat Info;
  const time_t Modified = fstat(File.Handle(), &Info) == 0 ? Info.st_mtime : time(nullptr);
  const String Name = ArchiveFileName.isEmpty() ? ExtractFileName(FileName) : ArchiveFileName;
  writeEntry(&File, Name, Compression, dosDateTime(Modified));
}

void TZipFile::writeEntry(TStream* Data, const String& ArchiveFileName, TZipCompression Compression,
                          Cardinal DosDateTime) {
  assert((Compression == zcStored || Compression == zcDeflate) && "unknown zip compression");
  requireMode(FMode, zmWrite);
  const QByteArray Name = ArchiveFileName.toUtf8();
  if (Name.isEmpty()) throw EZipException(QStringLiteral("Zip entry name must not be empty"));
  if (Name.size() > MaxNameLength)
    throw EZipException(QStringLiteral("Zip entry name of %1 bytes is longer than 65535").arg(Name.size()));
  if (FFiles.size() >= MaxEntries)
    throw EZipException(QStringLiteral("A zip file without Zip64 holds at most 65535 entries"));
  const Int64 Size = Data->Size();
  if (Size > MaxZipValue)
    throw EZipException(QStringLiteral("Zip entry \"%1\": %2 bytes are more than the %3 a zip file holds without Zip64")
                            .arg(ArchiveFileName).arg(Size).arg(MaxZipValue));

  const Int64 Start = FStream->Seek(0, soEnd);
  if (Start + LocalHeaderSize + Name.size() > MaxZipValue) raiseArchiveTooLarge(ArchiveFileName);
  TZipHeader Header;
  Header.MadeByVersion = ZipVersion;
  Header.RequiredVersion = ZipVersion;
  Header.Flag = isAscii(Name) ? 0 : FlagUtf8Name;
  Header.CompressionMethod = Word(Compression);
  Header.ModifiedDateTime = DosDateTime;
  Header.LocalHeaderOffset = Cardinal(Start);
  Header.FileName = ArchiveFileName;

  // A failed entry is cut off again, so Close still leaves a valid archive
  // of the entries before it.
  try {
    FStream->WriteBuffer(localHeader(Header, Name).constData(), LocalHeaderSize + Name.size());
    Data->SetPosition(0);
    EntryWriter(FStream, Header, MaxZipValue, progressHook(Header)).CopyFrom(Data, Size);
  } catch (const Exception&) {
    FStream->SetSize(Start);
    FStream->SetPosition(Start);
    throw;
  }
  const Int64 End = FStream->Position();
  QByteArray Patch;
  putU32(Patch, Header.CRC32);
  putU32(Patch, Header.CompressedSize);
  putU32(Patch, Header.UncompressedSize);
  FStream->SetPosition(Start + LocalCrcOffset);
  FStream->WriteBuffer(Patch.constData(), Patch.size());
  FStream->SetPosition(End);
  FFiles.push_back(Header);
}

void TZipFile::writeCentralDirectory() {
  const Int64 Offset = FStream->Seek(0, soEnd);
  QByteArray Directory;
  for (const TZipHeader& Header : FFiles) Directory += centralHeader(Header, Header.FileName.toUtf8());
  // Only tens of thousands of names near 65535 bytes each get this far.
  if (Directory.size() > MaxZipValue)
    throw EZipException(QStringLiteral("Zip central directory of %1 bytes needs Zip64").arg(Directory.size()));
  QByteArray End;
  putU32(End, EndRecordSignature);
  putU16(End, 0);  // this disk
  putU16(End, 0);  // disk holding the directory
  putU16(End, Word(FFiles.size()));
  putU16(End, Word(FFiles.size()));
  putU32(End, Cardinal(Directory.size()));
  putU32(End, Cardinal(Offset));
  putU16(End, 0);  // comment length
  Directory += End;
  FStream->WriteBuffer(Directory.constData(), Directory.size());
}

// ---------------------------------------------------------------- reading

void TZipFile::readCentralDirectory() {
  const Int64 ArchiveSize = FStream->Size();
  const Int64 TailStart = std::max<Int64>(0, ArchiveSize - EndSearchSpan);
  const QByteArray Tail = readAt(FStream, TailStart, ArchiveSize - TailStart);
  const Int64 EndAt = findEndRecord(Tail);
  if (EndAt < 0) raiseInvalid();
  const Int64 EndOffset = TailStart + EndAt;
  if (EndOffset >= Zip64LocatorSize &&
      getU32(readAt(FStream, EndOffset - Zip64LocatorSize, 4), 0) == Zip64LocatorSignature)
    throw EZipException(QStringLiteral("Zip64 archives are not supported"));
  const Word ThisDisk = getU16(Tail, EndAt + 4);
  const Word DirectoryDisk = getU16(Tail, EndAt + 6);
  const Word EntriesHere = getU16(Tail, EndAt + 8);
  const Word Entries = getU16(Tail, EndAt + 10);
  const Int64 DirectorySize = getU32(Tail, EndAt + 12);
  const Int64 DirectoryOffset = getU32(Tail, EndAt + 16);
  if (ThisDisk != 0 || DirectoryDisk != 0 || EntriesHere != Entries)
    throw EZipException(QStringLiteral("Zip archives that span several disks are not supported"));
  if (DirectoryOffset + DirectorySize > EndOffset)
    throw EZipException(QStringLiteral("Invalid zip file: the central directory (%1 bytes at offset %2) runs past "
                                       "the end record at offset %3")
                            .arg(DirectorySize).arg(DirectoryOffset).arg(EndOffset));

  const QByteArray Directory = readAt(FStream, DirectoryOffset, DirectorySize);
  FFiles.reserve(Entries);
  for (Int64 At = 0; int(FFiles.size()) < Entries;) {
    if (At + CentralHeaderSize > DirectorySize)
      throw EZipException(QStringLiteral("Invalid zip file: the central directory ends after %1 of %2 entries")
                              .arg(FFiles.size()).arg(Entries));
    if (getU32(Directory, At) != CentralHeaderSignature) raiseInvalid();
    const Int64 NameLength = getU16(Directory, At + 28);
    const Int64 RecordSize =
        CentralHeaderSize + NameLength + getU16(Directory, At + 30) + getU16(Directory, At + 32);
    if (At + RecordSize > DirectorySize)
      throw EZipException(QStringLiteral("Invalid zip file: the central directory ends inside entry %1 of %2")
                              .arg(FFiles.size() + 1).arg(Entries));
    TZipHeader Header;
    Header.MadeByVersion = getU16(Directory, At + 4);
    Header.RequiredVersion = getU16(Directory, At + 6);
    Header.Flag = getU16(Directory, At + 8);
    Header.CompressionMethod = getU16(Directory, At + 10);
    Header.ModifiedDateTime = (Cardinal(getU16(Directory, At + 14)) << 16) | getU16(Directory, At + 12);
    Header.CRC32 = getU32(Directory, At + 16);
    Header.CompressedSize = getU32(Directory, At + 20);
    Header.UncompressedSize = getU32(Directory, At + 24);
    Header.LocalHeaderOffset = getU32(Directory, At + 42);
    Header.FileName = decodeName(Directory.mid(At + CentralHeaderSize, NameLength), Header.Flag);
    FFiles.push_back(Header);
    At += RecordSize;
  }
  FDirectoryOffset = DirectoryOffset;
}

const String& TZipFile::FileName(int Index) const {
  assert(Index >= 0 && Index < FileCount() && "zip entry index out of range");
  return FFiles[Index].FileName;
}

int TZipFile::IndexOf(const String& Name) const {
  for (int I = 0; I < FileCount(); ++I)
    if (FFiles[I].FileName == Name) return I;
  return -1;
}

void TZipFile::Read(const String& Name, TStream*& Stream, TZipHeader& Header) {
  requireMode(FMode, zmRead);
  const int Index = IndexOf(Name);
  if (Index < 0) throw EZipException(QStringLiteral("File \"%1\" is not in the zip file").arg(Name));
  Read(Index, Stream, Header);
}

void TZipFile::Read(int Index, TStream*& Stream, TZipHeader& Header) {
  requireMode(FMode, zmRead);
  assert(Index >= 0 && Index < FileCount() && "zip entry index out of range");
  const TZipHeader& Entry = FFiles[Index];
  const auto [Start, Size] = entrySpan(Entry);
  const DataSpan Span{Start, Size};
  auto Out = std::make_unique<TMemoryStream>();
  Out->SetCapacity(std::min<Int64>(Entry.UncompressedSize, Span.Size * MaxDeflateRatio + 1));
  EntryReader(FStream, Entry, Span, progressHook(Entry)).CopyTo(Out.get());
  Out->SetPosition(0);
  Header = Entry;
  Stream = Out.release();
}

void TZipFile::CheckEntry(const String& Name) {
  requireMode(FMode, zmRead);
  const int Index = IndexOf(Name);
  if (Index < 0) throw EZipException(QStringLiteral("File \"%1\" is not in the zip file").arg(Name));
  CheckEntry(Index);
}

void TZipFile::CheckEntry(int Index) {
  requireMode(FMode, zmRead);
  assert(Index >= 0 && Index < FileCount() && "zip entry index out of range");
  const TZipHeader& Entry = FFiles[Index];
  const auto [Start, Size] = entrySpan(Entry);
  EntryReader(FStream, Entry, DataSpan{Start, Size}, progressHook(Entry)).CopyTo(nullptr);
}

std::pair<Int64, Int64> TZipFile::entrySpan(const TZipHeader& Entry) {
  const auto Fail = [&Entry](const String& What) {
    return EZipException(QStringLiteral("Zip entry \"%1\": %2").arg(Entry.FileName, What));
  };
  if (Entry.Flag & FlagEncrypted) throw Fail(QStringLiteral("encrypted entries are not supported"));
  if (Entry.CompressionMethod != zcStored && Entry.CompressionMethod != zcDeflate)
    throw Fail(QStringLiteral("compression method %1 is not supported").arg(Entry.CompressionMethod));
  if (Entry.CompressedSize == ZipValueMarker || Entry.UncompressedSize == ZipValueMarker ||
      Entry.LocalHeaderOffset == ZipValueMarker)
    throw Fail(QStringLiteral("Zip64 entries are not supported"));
  if (Entry.CompressionMethod == zcStored && Entry.CompressedSize != Entry.UncompressedSize)
    throw Fail(QStringLiteral("stored with %1 bytes but a size of %2").arg(Entry.CompressedSize).arg(Entry.UncompressedSize));

  // Other tools write name and extra lengths in the local header that differ
  // from the central directory, so the data starts where the local header says.
  const Int64 HeaderOffset = Entry.LocalHeaderOffset;
  if (HeaderOffset + LocalHeaderSize > FDirectoryOffset)
    throw Fail(QStringLiteral("local header at offset %1 lies past the entry data, which ends at %2")
                   .arg(HeaderOffset).arg(FDirectoryOffset));
  const QByteArray Local = readAt(FStream, HeaderOffset, LocalHeaderSize);
  if (getU32(Local, 0) != LocalHeaderSignature) raiseInvalid();
  const Int64 Start = HeaderOffset + LocalHeaderSize + getU16(Local, 26) + getU16(Local, 28);
  const Int64 Size = Entry.CompressedSize;
  if (Start + Size > FDirectoryOffset)
    throw Fail(QStringLiteral("%1 bytes of data at offset %2 run past the entry data, which ends at %3")
                   .arg(Size).arg(Start).arg(FDirectoryOffset));
  return {Start, Size};
}

std::function<void(Int64)> TZipFile::progressHook(const TZipHeader& Header) {
  if (!OnProgress) return {};
  return [this, &Header](Int64 Position) { OnProgress(this, Header.FileName, Header, Position); };
}
