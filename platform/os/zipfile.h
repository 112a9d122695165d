// Zip archives: TZipFile writes, reads and lists them, with raw deflate from
// zlib and no Zip64.
//
// Layout written (all numbers little-endian; an archive holds no extra fields
// and no comments):
//
//   per entry   local header  30 bytes + name
//               data          CompressedSize bytes (stored or raw deflate)
//   once        central dir   46 bytes + name, per entry, in entry order
//               end record    22 bytes
//
//   local header                      central directory entry
//   0  signature  50 4B 03 04         0  signature  50 4B 01 02
//   4  version needed (20)            4  version made by (20), 6 needed (20)
//   6  flags (bit 11: UTF-8 name)     8  flags      10 method
//   8  method (0 stored, 8 deflate)   12 DOS time   14 DOS date
//   10 DOS time    12 DOS date        16 CRC-32     20 compressed  24 size
//   14 CRC-32      18 compressed      28 name len   30 extra len   32 comment len
//   22 size        26 name len        34 disk       36 internal    38 external
//   28 extra len   30 name            42 local header offset       46 name
//
//   end record: 0 signature 50 4B 05 06, 4 this disk, 6 directory disk,
//   8 entries here, 10 entries, 12 directory size, 16 directory offset,
//   20 comment length, 22 comment.
//
// Invariants of an archive this class writes: every size and offset is below
// 0xFFFFFFFF and there are at most 65535 entries (otherwise Zip64 would be
// needed, and the writer refuses before writing anything wrong); CRC and sizes
// are patched into the local header after the data, so no data descriptors.
//
// Reading trusts nothing: an archive that is corrupt, truncated, encrypted,
// multi-disk, Zip64 or that uses another method raises EZipException; data is
// returned only after its size and CRC-32 have been checked.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/methodptr.h"
#include "platform/rtl/object.h"
#include "platform/rtl/system.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class TStream;

RTL_DECLARE_EXCEPTION(EZipException, Exception)

enum TZipMode { zmClosed, zmRead, zmWrite };

// The values are the method numbers stored in the archive.
enum TZipCompression { zcStored = 0, zcDeflate = 8 };

// One central directory entry.
struct TZipHeader {
  Word MadeByVersion = 0;
  Word RequiredVersion = 0;
  Word Flag = 0;
  Word CompressionMethod = 0;
  Cardinal ModifiedDateTime = 0;  // DOS date in the high word, DOS time in the low
  Cardinal CRC32 = 0;
  Cardinal CompressedSize = 0;
  Cardinal UncompressedSize = 0;
  Cardinal LocalHeaderOffset = 0;
  String FileName;
};

// Hears an entry's progress while it is added, read or checked: Position is
// the count of its uncompressed bytes done so far.
using TZipProgressEvent =
    TMethodPtr<void(TObject* Sender, const String& FileName, const TZipHeader& Header, Int64 Position)>;

class TZipFile : public TObject {
  RTL_CLASS(TZipFile, TObject)
public:
  TZipFile();
  // Finishes an archive still open for writing; a failure then goes to
  // HandleException (call Close to see it).
  ~TZipFile() override;

  // Closes any open archive first.  zmWrite creates or truncates the file;
  // zmRead reads its directory.  The archive owns the file stream.  File
  // names here go through NativePath.
  void Open(const String& ZipFileName, TZipMode OpenMode);
  // As above on a seekable stream the archive does not own: zmWrite empties it
  // and writes from offset 0; zmRead takes the whole stream as the archive.
  void Open(TStream* ZipFileStream, TZipMode OpenMode);
  // In write mode writes the central directory and the end record; then
  // releases an owned stream.  Closing a closed archive does nothing.
  void Close();

  // writing
  // Adds the whole of Data from position 0, dated now.
  void Add(TStream* Data, const String& ArchiveFileName, TZipCompression Compression = zcDeflate);
  // Adds a file, dated by its modification time; an empty ArchiveFileName
  // takes the file's name part.
  void Add(const String& FileName, const String& ArchiveFileName = String(),
           TZipCompression Compression = zcDeflate);

  // listing
  TZipMode Mode() const { return FMode; }
  int FileCount() const { return int(FFiles.size()); }
  const String& FileName(int Index) const;
  // The index of the entry named exactly Name (case-sensitive), -1 when none.
  int IndexOf(const String& Name) const;

  // reading: Stream gets a new memory stream, owned by the caller, holding
  // the checked uncompressed bytes at position 0; Header gets the entry's
  // central directory record.  An unknown name raises EZipException.
  void Read(const String& Name, TStream*& Stream, TZipHeader& Header);
  void Read(int Index, TStream*& Stream, TZipHeader& Header);
  // Inflates the entry in chunks and checks its size and CRC-32 as Read
  // does, keeping none of its bytes; EZipException as Read.
  void CheckEntry(const String& Name);
  void CheckEntry(int Index);

  // events
  TZipProgressEvent OnProgress;

private:
  void readCentralDirectory();
  void writeEntry(TStream* Data, const String& ArchiveFileName, TZipCompression Compression,
                  Cardinal DosDateTime);
  void writeCentralDirectory();
  void release();
  // Where the entry's data lies (offset and compressed size), after checking
  // that the reader supports the entry.
  std::pair<Int64, Int64> entrySpan(const TZipHeader& Entry);
  std::function<void(Int64)> progressHook(const TZipHeader& Header);

  TZipMode FMode = zmClosed;
  TStream* FStream = nullptr;
  std::unique_ptr<TStream> FOwnedStream;
  std::vector<TZipHeader> FFiles;
  Int64 FDirectoryOffset = 0;  // read mode: entry data must end before it
};
