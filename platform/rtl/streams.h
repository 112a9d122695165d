// Byte streams: the abstract TStream, memory streams, string streams and file
// streams over POSIX file descriptors.
//
// Stream content is untrusted input.  Read answers how many bytes it got;
// ReadBuffer and the little-endian helpers raise EReadError "Stream read
// error" on a short read, and ReadBytes checks a length taken from the stream
// against the bytes left before it allocates anything.
#pragma once

#include "platform/rtl/object.h"
#include "platform/rtl/system.h"

class TEncoding;

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// TFileStream modes: one access mode, or fmCreate; share flags may be or-ed in
// and are ignored (POSIX has no share modes).
inline constexpr Word fmCreate = 0xFF00;
inline constexpr Word fmOpenRead = 0x0000;
inline constexpr Word fmOpenWrite = 0x0001;
inline constexpr Word fmOpenReadWrite = 0x0002;
inline constexpr Word fmShareCompat = 0x0000;
inline constexpr Word fmShareExclusive = 0x0010;
inline constexpr Word fmShareDenyWrite = 0x0020;
inline constexpr Word fmShareDenyRead = 0x0030;
inline constexpr Word fmShareDenyNone = 0x0040;

class TStream : public TObject {
  RTL_CLASS(TStream, TObject)
public:
  // introduced virtuals
  // Copies up to Count bytes; answers how many were copied (0 at the end).
  virtual Integer Read(void* Buffer, Integer Count) = 0;
  // Answers how many bytes were written; fewer than Count means failure.
  virtual Integer Write(const void* Buffer, Integer Count) = 0;
  // Answers the new position.
  virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;
  // Truncates or extends the stream; the base class cannot resize and ignores it.
  virtual void SetSize(Int64 NewSize);
  virtual Int64 Size();

  // properties
  Int64 Position() { return Seek(0, soCurrent); }
  void SetPosition(Int64 Pos) { Seek(Pos, soBeginning); }

  // Exact transfers, repeating Read or Write until Count bytes are done; a
  // short or negative count raises EReadError "Stream read error" or
  // EWriteError "Stream write error".
  void ReadBuffer(void* Buffer, Int64 Count);
  void WriteBuffer(const void* Buffer, Int64 Count);
  // Reads exactly Count bytes; a negative Count or one beyond the bytes left
  // raises EReadError before anything is allocated.
  TBytes ReadBytes(Int64 Count);
  // Copies Count bytes from Source's position; Count <= 0 copies all of
  // Source from position 0.  Answers the count copied.
  Int64 CopyFrom(TStream* Source, Int64 Count);

  // little-endian values; a short read raises EReadError
  ShortInt ReadInt8();
  SmallInt ReadInt16();
  Integer ReadInt32();
  Int64 ReadInt64();
  Byte ReadUInt8();
  Word ReadUInt16();
  Cardinal ReadUInt32();
  UInt64 ReadUInt64();
  double ReadDouble();
  void WriteInt8(ShortInt Value);
  void WriteInt16(SmallInt Value);
  void WriteInt32(Integer Value);
  void WriteInt64(Int64 Value);
  void WriteUInt8(Byte Value);
  void WriteUInt16(Word Value);
  void WriteUInt32(Cardinal Value);
  void WriteUInt64(UInt64 Value);
  void WriteDouble(double Value);

  // components, as binary component streams (filer.h)
  // Writes Instance with its properties and children.
  void WriteComponent(TComponent* Instance);
  // Writes only what Instance changes of Ancestor, an instance it descends from.
  void WriteDescendent(TComponent* Instance, TComponent* Ancestor);
  // Reads a component into Instance, whose class must be the stream's, or,
  // when Instance is nullptr, into a new one of the stream's (registered)
  // class that the caller then owns.  Leaves the position after the component.
  TComponent* ReadComponent(TComponent* Instance);
};

// A stream over one block of memory it does not own.  Reads past the end
// answer 0 bytes; the position may be set beyond the end.
class TCustomMemoryStream : public TStream {
  RTL_CLASS(TCustomMemoryStream, TStream)
public:
  // reimplemented
  Integer Read(void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  Int64 Size() override { return FSize; }

  // The block; valid until the stream next changes its capacity.
  void* Memory() const { return FMemory; }
  // Writes the whole content (not just from the position).
  void SaveToStream(TStream* Stream);
  // Creates or truncates FileName; EFCreateError on failure.
  void SaveToFile(const String& FileName);

protected:
  // Points the stream at Ptr holding Size bytes; does not take ownership.
  void SetPointer(void* Ptr, Int64 Size);
  Int64 FPosition = 0;

private:
  void* FMemory = nullptr;
  Int64 FSize = 0;
};

// A growable memory stream.  The block comes from Realloc, which a derived
// class may override to round capacities its own way or to fail on demand.
// A write beyond the end grows the stream; a gap before it reads as zeros.
class TMemoryStream : public TCustomMemoryStream {
  RTL_CLASS(TMemoryStream, TCustomMemoryStream)
public:
  TMemoryStream() = default;
  ~TMemoryStream() override;

  // reimplemented
  Integer Write(const void* Buffer, Integer Count) override;
  void SetSize(Int64 NewSize) override;

  // properties
  Int64 Capacity() const { return FCapacity; }
  // Raises EStreamError "Out of memory while expanding memory stream" when
  // the block cannot grow; the old block and its bytes then stay.
  void SetCapacity(Int64 NewCapacity);

  // Frees the block; size and position become 0.
  void Clear();
  // Replaces the content with all of Stream (read from position 0).
  void LoadFromStream(TStream* Stream);
  // EFOpenError when FileName cannot be opened.
  void LoadFromFile(const String& FileName);

protected:
  // Answers a block of NewCapacity bytes holding the old content, after
  // rounding NewCapacity as it likes: the base rounds a non-zero request
  // that differs from Size up to a multiple of 8192.  Answers nullptr for
  // capacity 0, or when the block cannot grow; the old block must then stay
  // valid.  The base's blocks come from std::realloc and go back with
  // std::free; a class that keeps its block elsewhere calls Clear in its own
  // destructor.
  virtual void* Realloc(Int64& NewCapacity);

private:
  // Sets the size within the capacity; bytes gained read as zeros.
  void resize(Int64 NewSize);

  Int64 FCapacity = 0;
};

// A memory stream whose block is a TBytes array.
class TBytesStream : public TMemoryStream {
  RTL_CLASS(TBytesStream, TMemoryStream)
public:
  explicit TBytesStream(const TBytes& ABytes = TBytes());
  ~TBytesStream() override;

  // The array; its length is Capacity, so only the first Size bytes count.
  const TBytes& Bytes() const { return FBytes; }

protected:
  void* Realloc(Int64& NewCapacity) override;

private:
  TBytes FBytes;
};

// Text kept as bytes of one encoding.  The encoding is not owned; nullptr
// means TEncoding::Default() (the ANSI code page).
class TStringStream : public TBytesStream {
  RTL_CLASS(TStringStream, TBytesStream)
public:
  explicit TStringStream(const String& AString = String(), TEncoding* AEncoding = nullptr);
  explicit TStringStream(const TBytes& ABytes, TEncoding* AEncoding = nullptr);

  TEncoding* Encoding() const { return FEncoding; }
  // The first Size bytes decoded with the encoding.
  String DataString();
  // Decodes the next Count bytes (fewer at the end) and moves past them.
  String ReadString(Integer Count);
  // Encodes AString at the position.
  void WriteString(const String& AString);

private:
  TEncoding* FEncoding;
};

// A stream over an open file descriptor, which it does not own.
class THandleStream : public TStream {
  RTL_CLASS(THandleStream, TStream)
public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}

  // reimplemented; after a short Read or Write errno tells why
  Integer Read(void* Buffer, Integer Count) override;
  Integer Write(const void* Buffer, Integer Count) override;
  Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
  // EOSError "System Error.  Code: %d.\n%s" when the file cannot be resized.
  void SetSize(Int64 NewSize) override;

  int Handle() const { return FHandle; }

protected:
  int FHandle;
};

// A stream over a named file, which it opens and closes.  fmCreate creates or
// truncates and opens for reading and writing.  Failures raise EFCreateError
// 'Cannot create file "%s". %s' or EFOpenError 'Cannot open file "%s". %s'
// with the OS text.
class TFileStream : public THandleStream {
  RTL_CLASS(TFileStream, THandleStream)
public:
  TFileStream(const String& AFileName, Word Mode);
  ~TFileStream() override;

  const String& FileName() const { return FFileName; }

private:
  String FFileName;
};
