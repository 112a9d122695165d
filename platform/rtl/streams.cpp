#include "platform/rtl/streams.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/filer.h"

#include <QFile>

#include <algorithm>
#include <bit>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Memory stream capacities grow in steps of this many bytes (a power of 2).
constexpr Int64 MemoryDelta = 0x2000;
// CopyFrom moves at most this many bytes per step.
constexpr Int64 CopyBufferSize = 0xF000;
// One Read or Write call moves at most this many bytes (Integer counts).
constexpr Int64 MaxTransfer = INT_MAX;
// New files: read and write for everyone the umask allows.
constexpr mode_t NewFileMode = 0666;

[[noreturn]] void raiseReadError() { throw EReadError(QStringLiteral("Stream read error")); }
[[noreturn]] void raiseWriteError() { throw EWriteError(QStringLiteral("Stream write error")); }

// A request that differs from the current size is rounded up to the next step;
// one equal to the size trims the block to fit.
Int64 roundedCapacity(Int64 NewCapacity, Int64 Size) {
  assert(NewCapacity >= 0 && "negative memory stream capacity");
  if (NewCapacity > 0 && NewCapacity != Size)
    return (NewCapacity + (MemoryDelta - 1)) & ~(MemoryDelta - 1);
  return NewCapacity;
}

UInt64 readLittleEndian(TStream& Stream, int Bytes) {
  Byte Buffer[sizeof(UInt64)];
  Stream.ReadBuffer(Buffer, Bytes);
  UInt64 Value = 0;
  for (int I = Bytes - 1; I >= 0; --I) Value = (Value << 8) | Buffer[I];
  return Value;
}

void writeLittleEndian(TStream& Stream, UInt64 Value, int Bytes) {
  Byte Buffer[sizeof(UInt64)];
  for (int I = 0; I < Bytes; ++I) {
    Buffer[I] = static_cast<Byte>(Value);
    Value >>= 8;
  }
  Stream.WriteBuffer(Buffer, Bytes);
}

TEncoding* encodingOrDefault(TEncoding* Encoding) {
  return Encoding ? Encoding : TEncoding::Default();
}

// Opens FileName as Mode asks; raises EFCreateError or EFOpenError with the OS
// text.  A folder is refused as the original platform refused it.
int openFile(const String& FileName, Word Mode) {
  const QByteArray Path = QFile::encodeName(FileName);
  const bool Create = (Mode & fmCreate) == fmCreate;
  int Flags = O_CLOEXEC;
  if (Create) {
    Flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    const int Access = Mode & 3;
    assert(Access != 3 && "invalid file access mode");
    Flags |= Access == fmOpenRead ? O_RDONLY : Access == fmOpenWrite ? O_WRONLY : O_RDWR;
  }
  int Handle = ::open(Path.constData(), Flags, NewFileMode);
  struct stat Info;
  if (Handle >= 0 && ::fstat(Handle, &Info) == 0 && S_ISDIR(Info.st_mode)) {
    ::close(Handle);
    Handle = -1;
    errno = EISDIR;
  }
  if (Handle >= 0) return Handle;
  const String Text = SysErrorMessage(errno);
  if (Create)
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, Text));
  throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, Text));
}

}  // namespace

// ---------------------------------------------------------------- TStream

void TStream::SetSize(Int64) {}

Int64 TStream::Size() {
  const Int64 Pos = Seek(0, soCurrent);
  const Int64 Result = Seek(0, soEnd);
  Seek(Pos, soBeginning);
  return Result;
}

void TStream::ReadBuffer(void* Buffer, Int64 Count) {
  if (Count < 0) raiseReadError();
  auto* Target = static_cast<char*>(Buffer);
  for (Int64 Done = 0; Done < Count;) {
    const Integer Got = Read(Target + Done, static_cast<Integer>(std::min(Count - Done, MaxTransfer)));
    if (Got <= 0) raiseReadError();
    Done += Got;
  }
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count) {
  if (Count < 0) raiseWriteError();
  const auto* Source = static_cast<const char*>(Buffer);
  for (Int64 Done = 0; Done < Count;) {
    const Integer Put = Write(Source + Done, static_cast<Integer>(std::min(Count - Done, MaxTransfer)));
    if (Put <= 0) raiseWriteError();
    Done += Put;
  }
}

TBytes TStream::ReadBytes(Int64 Count) {
  if (Count < 0 || Count > Size() - Position()) raiseReadError();
  TBytes Result(static_cast<size_t>(Count));
  ReadBuffer(Result.data(), Count);
  return Result;
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count) {
  if (Count <= 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  const Int64 Result = Count;
  TBytes Buffer(static_cast<size_t>(std::min(Count, CopyBufferSize)));
  while (Count > 0) {
    const Int64 Step = std::min(Count, CopyBufferSize);
    Source->ReadBuffer(Buffer.data(), Step);
    WriteBuffer(Buffer.data(), Step);
    Count -= Step;
  }
  return Result;
}

ShortInt TStream::ReadInt8() { return static_cast<ShortInt>(readLittleEndian(*this, 1)); }
SmallInt TStream::ReadInt16() { return static_cast<SmallInt>(readLittleEndian(*this, 2)); }
Integer TStream::ReadInt32() { return static_cast<Integer>(readLittleEndian(*this, 4)); }
Int64 TStream::ReadInt64() { return static_cast<Int64>(readLittleEndian(*this, 8)); }
Byte TStream::ReadUInt8() { return static_cast<Byte>(readLittleEndian(*this, 1)); }
Word TStream::ReadUInt16() { return static_cast<Word>(readLittleEndian(*this, 2)); }
Cardinal TStream::ReadUInt32() { return static_cast<Cardinal>(readLittleEndian(*this, 4)); }
UInt64 TStream::ReadUInt64() { return readLittleEndian(*this, 8); }
double TStream::ReadDouble() { return std::bit_cast<double>(readLittleEndian(*this, 8)); }

void TStream::WriteInt8(ShortInt Value) { writeLittleEndian(*this, static_cast<Byte>(Value), 1); }
void TStream::WriteInt16(SmallInt Value) { writeLittleEndian(*this, static_cast<Word>(Value), 2); }
void TStream::WriteInt32(Integer Value) { writeLittleEndian(*this, static_cast<Cardinal>(Value), 4); }
void TStream::WriteInt64(Int64 Value) { writeLittleEndian(*this, static_cast<UInt64>(Value), 8); }
void TStream::WriteUInt8(Byte Value) { writeLittleEndian(*this, Value, 1); }
void TStream::WriteUInt16(Word Value) { writeLittleEndian(*this, Value, 2); }
void TStream::WriteUInt32(Cardinal Value) { writeLittleEndian(*this, Value, 4); }
void TStream::WriteUInt64(UInt64 Value) { writeLittleEndian(*this, Value, 8); }
void TStream::WriteDouble(double Value) { writeLittleEndian(*this, std::bit_cast<UInt64>(Value), 8); }

void TStream::WriteComponent(TComponent* Instance) { WriteDescendent(Instance, nullptr); }

void TStream::WriteDescendent(TComponent* Instance, TComponent* Ancestor) {
  TWriter Writer(this);
  Writer.WriteDescendent(Instance, Ancestor);
  Writer.FlushBuffer();
}

TComponent* TStream::ReadComponent(TComponent* Instance) {
  TReader Reader(this);
  return Reader.ReadRootComponent(Instance);
}

// ---------------------------------------------------- TCustomMemoryStream

Integer TCustomMemoryStream::Read(void* Buffer, Integer Count) {
  if (FPosition < 0 || Count <= 0 || FPosition >= FSize) return 0;
  const Integer Got = static_cast<Integer>(std::min<Int64>(FSize - FPosition, Count));
  std::memcpy(Buffer, static_cast<const char*>(FMemory) + FPosition, static_cast<size_t>(Got));
  FPosition += Got;
  return Got;
}

Int64 TCustomMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  switch (Origin) {
    case soBeginning: FPosition = Offset; break;
    case soCurrent: FPosition += Offset; break;
    case soEnd: FPosition = FSize + Offset; break;
  }
  return FPosition;
}

void TCustomMemoryStream::SaveToStream(TStream* Stream) { Stream->WriteBuffer(FMemory, FSize); }

void TCustomMemoryStream::SaveToFile(const String& FileName) {
  TFileStream File(FileName, fmCreate);
  SaveToStream(&File);
}

void TCustomMemoryStream::SetPointer(void* Ptr, Int64 Size) {
  FMemory = Ptr;
  FSize = Size;
}

// ---------------------------------------------------------- TMemoryStream

TMemoryStream::~TMemoryStream() { Clear(); }

Integer TMemoryStream::Write(const void* Buffer, Integer Count) {
  if (FPosition < 0 || Count <= 0) return 0;
  const Int64 End = FPosition + Count;
  if (End > Size()) {
    // A share of the capacity rather than one step at a time: a long run of
    // appends would otherwise move and grow the block once per step.
    if (End > FCapacity) SetCapacity(std::max(End, FCapacity + FCapacity / 2));
    if (FPosition > Size()) resize(FPosition);
    // The bytes up to End are written below: zeroing them first is wasted.
    SetPointer(Memory(), End);
  }
  std::memcpy(static_cast<char*>(Memory()) + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = End;
  return Count;
}

void TMemoryStream::SetSize(Int64 NewSize) {
  const Int64 OldPosition = FPosition;
  SetCapacity(NewSize);
  resize(NewSize);
  if (OldPosition > NewSize) Seek(0, soEnd);
}

void TMemoryStream::SetCapacity(Int64 NewCapacity) {
  void* Block = Realloc(NewCapacity);
  if (!Block && NewCapacity > 0)
    throw EStreamError(QStringLiteral("Out of memory while expanding memory stream"));
  SetPointer(Block, Size());
  FCapacity = NewCapacity;
}

void TMemoryStream::Clear() {
  SetPointer(Memory(), 0);
  SetCapacity(0);
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  const Int64 Count = Stream->Size();
  SetSize(Count);
  Stream->ReadBuffer(Memory(), Count);
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&File);
}

void* TMemoryStream::Realloc(Int64& NewCapacity) {
  NewCapacity = roundedCapacity(NewCapacity, Size());
  if (NewCapacity == FCapacity) return Memory();
  if (NewCapacity == 0) {
    std::free(Memory());
    return nullptr;
  }
  return std::realloc(Memory(), static_cast<size_t>(NewCapacity));
}

void TMemoryStream::resize(Int64 NewSize) {
  assert(NewSize <= FCapacity && "memory stream size beyond its capacity");
  if (NewSize > Size())
    std::memset(static_cast<char*>(Memory()) + Size(), 0, static_cast<size_t>(NewSize - Size()));
  SetPointer(Memory(), NewSize);
}

// ----------------------------------------------------------- TBytesStream

TBytesStream::TBytesStream(const TBytes& ABytes) : FBytes(ABytes) {
  const auto Count = static_cast<Int64>(FBytes.size());
  SetPointer(FBytes.data(), Count);
  // A capacity equal to the size is taken as it is: the array stays whole.
  SetCapacity(Count);
}

TBytesStream::~TBytesStream() { Clear(); }

void* TBytesStream::Realloc(Int64& NewCapacity) {
  NewCapacity = roundedCapacity(NewCapacity, Size());
  if (NewCapacity != static_cast<Int64>(FBytes.size())) {
    try {
      FBytes.resize(static_cast<size_t>(NewCapacity));
    } catch (const std::bad_alloc&) {
      return nullptr;
    } catch (const std::length_error&) {
      return nullptr;
    }
  }
  return NewCapacity == 0 ? nullptr : FBytes.data();
}

// ---------------------------------------------------------- TStringStream

TStringStream::TStringStream(const String& AString, TEncoding* AEncoding)
    : TBytesStream(encodingOrDefault(AEncoding)->GetBytes(AString)),
      FEncoding(encodingOrDefault(AEncoding)) {}

TStringStream::TStringStream(const TBytes& ABytes, TEncoding* AEncoding)
    : TBytesStream(ABytes), FEncoding(encodingOrDefault(AEncoding)) {}

String TStringStream::DataString() {
  return FEncoding->GetString(Bytes().data(), static_cast<int>(Size()));
}

String TStringStream::ReadString(Integer Count) {
  const Int64 Start = std::clamp<Int64>(FPosition, 0, Size());
  const auto Got = static_cast<Integer>(std::clamp<Int64>(Count, 0, Size() - Start));
  FPosition = Start + Got;
  return FEncoding->GetString(Bytes().data() + Start, Got);
}

void TStringStream::WriteString(const String& AString) {
  const TBytes Data = FEncoding->GetBytes(AString);
  WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
}

// ---------------------------------------------------------- THandleStream

Integer THandleStream::Read(void* Buffer, Integer Count) {
  if (Count <= 0) return 0;
  ssize_t Got;
  do {
    Got = ::read(FHandle, Buffer, static_cast<size_t>(Count));
  } while (Got < 0 && errno == EINTR);
  return Got < 0 ? 0 : static_cast<Integer>(Got);
}

Integer THandleStream::Write(const void* Buffer, Integer Count) {
  const auto* Source = static_cast<const char*>(Buffer);
  Integer Done = 0;
  while (Done < Count) {
    const ssize_t Put = ::write(FHandle, Source + Done, static_cast<size_t>(Count - Done));
    if (Put < 0 && errno == EINTR) continue;
    if (Put <= 0) break;
    Done += static_cast<Integer>(Put);
  }
  return Done;
}

Int64 THandleStream::Seek(Int64 Offset, TSeekOrigin Origin) {
  const int Whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(FHandle, Offset, Whence);
}

void THandleStream::SetSize(Int64 NewSize) {
  const Int64 OldPosition = Position();
  if (::ftruncate(FHandle, NewSize) != 0) {
    const int Code = errno;
    throw EOSError(QStringLiteral("System Error.  Code: %1.\n%2").arg(QString::number(Code), SysErrorMessage(Code)), Code);
  }
  if (OldPosition > NewSize) Seek(0, soEnd);
}

// ------------------------------------------------------------ TFileStream

TFileStream::TFileStream(const String& AFileName, Word Mode)
    : THandleStream(openFile(AFileName, Mode)), FFileName(AFileName) {}

TFileStream::~TFileStream() { ::close(FHandle); }
