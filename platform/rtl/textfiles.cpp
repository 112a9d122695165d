#include "platform/rtl/textfiles.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

String lineBreak() { return QStringLiteral("\r\n"); }
// The reader takes the rest of its stream in steps of this many bytes.
constexpr Integer ReadChunkSize = 0x10000;
// New files: read and write for everyone the umask allows.
constexpr mode_t NewFileMode = 0666;

// Every byte from the stream's position to its end; a stream whose size is
// unknown is read until it runs dry.
TBytes readRest(TStream& Stream) {
  TBytes Result;
  for (;;) {
    const size_t Done = Result.size();
    Result.resize(Done + ReadChunkSize);
    const Integer Got = Stream.Read(Result.data() + Done, ReadChunkSize);
    Result.resize(Done + static_cast<size_t>(std::max(Got, 0)));
    if (Got <= 0) return Result;
  }
}

void writeBytes(TStream& Stream, const TBytes& Bytes) {
  Stream.WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
}

TEncoding* utf8OrGiven(TEncoding* Encoding) { return Encoding ? Encoding : TEncoding::UTF8(); }

}  // namespace

// ---------------------------------------------------------- TStreamReader

TStreamReader::TStreamReader(TStream* Stream) : TStreamReader(Stream, TEncoding::UTF8(), /*DetectBOM=*/true) {}

TStreamReader::TStreamReader(TStream* Stream, TEncoding* Encoding, bool DetectBOM)
    : FStream(Stream), FEncoding(utf8OrGiven(Encoding)), FDetectBOM(DetectBOM) {
  assert(Stream && "TStreamReader needs a stream");
}

TStreamReader::TStreamReader(const String& FileName)
    : TStreamReader(FileName, TEncoding::UTF8(), /*DetectBOM=*/true) {}

TStreamReader::TStreamReader(const String& FileName, TEncoding* Encoding, bool DetectBOM)
    : FStream(nullptr), FOwnedStream(new TFileStream(FileName, fmOpenRead | fmShareDenyWrite)),
      FEncoding(utf8OrGiven(Encoding)), FDetectBOM(DetectBOM) {
  FStream = FOwnedStream.get();
}

TStreamReader::~TStreamReader() = default;

void TStreamReader::load() {
  if (FLoaded) return;
  FLoaded = true;
  if (!FStream) return;
  const TBytes Bytes = readRest(*FStream);
  TEncoding* Found = FDetectBOM ? nullptr : FEncoding;
  const int MarkLength = TEncoding::GetBufferEncoding(Bytes, Found);
  // Without a mark, detection leaves the given encoding in charge.
  if (MarkLength > 0) FEncoding = Found;
  FText = FEncoding->GetString(Bytes.data() + MarkLength, static_cast<int>(Bytes.size()) - MarkLength);
}

String TStreamReader::ReadLine() {
  load();
  const qsizetype Size = FText.size();
  qsizetype End = FIndex;
  while (End < Size && FText[End] != u'\r' && FText[End] != u'\n') ++End;
  const String Line = FText.mid(FIndex, End - FIndex);
  FIndex = End;
  if (End < Size) {
    FIndex = End + 1;
    if (FText[End] == u'\r' && FIndex < Size && FText[FIndex] == u'\n') ++FIndex;
  }
  return Line;
}

bool TStreamReader::EndOfStream() {
  load();
  return FIndex >= FText.size();
}

TEncoding* TStreamReader::CurrentEncoding() {
  load();
  return FEncoding;
}

void TStreamReader::Close() {
  FOwnedStream.reset();
  FStream = nullptr;
}

// ---------------------------------------------------------- TStreamWriter

TStreamWriter::TStreamWriter(TStream* Stream, TEncoding* Encoding)
    : FStream(Stream), FEncoding(utf8OrGiven(Encoding)) {
  assert(Stream && "TStreamWriter needs a stream");
  start();
}

TStreamWriter::TStreamWriter(const String& FileName, bool Append, TEncoding* Encoding)
    : FStream(nullptr), FEncoding(utf8OrGiven(Encoding)) {
  if (Append && QFileInfo::exists(FileName)) {
    FOwnedStream.reset(new TFileStream(FileName, fmOpenWrite));
    FOwnedStream->Seek(0, soEnd);
  } else {
    FOwnedStream.reset(new TFileStream(FileName, fmCreate));
  }
  FStream = FOwnedStream.get();
  start();
}

TStreamWriter::~TStreamWriter() = default;

void TStreamWriter::start() {
  if (FStream->Position() == 0) writeBytes(*FStream, FEncoding->GetPreamble());
}

void TStreamWriter::Write(const String& S) {
  assert(FStream && "TStreamWriter used after Close");
  writeBytes(*FStream, FEncoding->GetBytes(S));
}

void TStreamWriter::WriteLine(const String& S) { Write(S + lineBreak()); }

void TStreamWriter::Close() {
  FOwnedStream.reset();
  FStream = nullptr;
}

// -------------------------------------------------------- TTextFileWriter

TTextFileWriter::TTextFileWriter(const String& FileName, TEncoding* Encoding)
    : FFileName(FileName), FEncoding(Encoding ? Encoding : TEncoding::Default()) {}

TTextFileWriter::~TTextFileWriter() {
  if (FStream) ::close(FStream->Handle());
}

void TTextFileWriter::Rewrite() {
  if (FStream) Close();
  const QByteArray Path = QFile::encodeName(FFileName);
  const int Handle = ::open(Path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, NewFileMode);
  if (Handle < 0) raiseError(QStringLiteral("create"), errno);
  FStream.reset(new THandleStream(Handle));
  const TBytes Preamble = FEncoding->GetPreamble();
  writeBytes(Preamble.data(), static_cast<qsizetype>(Preamble.size()));
}

void TTextFileWriter::Write(const String& S) {
  const TBytes Bytes = FEncoding->GetBytes(S);
  writeBytes(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
}

void TTextFileWriter::WriteLn(const String& S) { Write(S + lineBreak()); }

void TTextFileWriter::Close() {
  assert(FStream && "text file closed while not open");
  const int Handle = FStream->Handle();
  FStream.reset();
  if (::close(Handle) != 0) raiseError(QStringLiteral("close"), errno);
}

void TTextFileWriter::writeBytes(const void* Data, qsizetype Count) {
  assert(FStream && "text file written while not open");
  errno = 0;
  if (FStream->Write(Data, static_cast<Integer>(Count)) == Count) return;
  // A write that stops short without an OS error can only be a full device.
  raiseError(QStringLiteral("write"), errno ? errno : ENOSPC);
}

void TTextFileWriter::raiseError(const String& Action, int Code) {
  throw EInOutError(
      QStringLiteral("Cannot %1 file \"%2\". %3").arg(Action, FFileName, SysErrorMessage(Code)), Code);
}
