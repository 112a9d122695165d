// Text over streams and files: TStreamReader reads lines in an encoding,
// TStreamWriter writes text in an encoding, and TTextFileWriter is the
// classic text file (Rewrite, Write, WriteLn, Close) that reports failures as
// EInOutError.  Encodings are never owned: they are process-wide objects.
// Written line breaks are CR LF.
#pragma once

#include "platform/rtl/system.h"

#include <memory>

class TEncoding;
class TStream;
class THandleStream;

// Reads lines from a stream.  The text from the position to the end is
// decoded on first use; CR, LF and CR LF each end a line.
class TStreamReader {
public:
  // UTF-8, and a byte-order mark at the position picks the encoding.
  explicit TStreamReader(TStream* Stream);
  // With DetectBOM a byte-order mark picks the encoding; without it, a
  // preamble of Encoding itself is skipped.  nullptr means UTF-8.  Stream is
  // not owned.
  TStreamReader(TStream* Stream, TEncoding* Encoding, bool DetectBOM = false);
  // As above over the file, which the reader opens (EFOpenError) and owns.
  explicit TStreamReader(const String& FileName);
  TStreamReader(const String& FileName, TEncoding* Encoding, bool DetectBOM = false);
  ~TStreamReader();
  TStreamReader(const TStreamReader&) = delete;
  TStreamReader& operator=(const TStreamReader&) = delete;

  // The next line without its break; "" at the end.
  String ReadLine();
  bool EndOfStream();
  // The encoding in use: the one given, or the one a byte-order mark chose.
  TEncoding* CurrentEncoding();
  // Releases the file the reader opened.
  void Close();

private:
  void load();

  TStream* FStream;
  std::unique_ptr<TStream> FOwnedStream;
  TEncoding* FEncoding;
  bool FDetectBOM;
  bool FLoaded = false;
  String FText;
  qsizetype FIndex = 0;  // 0-based: the next unread char of FText
};

// Writes text to a stream in one encoding.  The preamble of the encoding is
// written when the writer starts at position 0, so a file that is created
// gets one and a file that is appended to does not get a second.  Failures
// raise EWriteError "Stream write error".
class TStreamWriter {
public:
  // UTF-8 (with its preamble).  Stream is not owned.
  explicit TStreamWriter(TStream* Stream, TEncoding* Encoding = nullptr);
  // Creates FileName (EFCreateError), or with Append opens it (EFOpenError)
  // and writes at its end; an absent file is created.  nullptr means UTF-8.
  explicit TStreamWriter(const String& FileName, bool Append = false, TEncoding* Encoding = nullptr);
  ~TStreamWriter();
  TStreamWriter(const TStreamWriter&) = delete;
  TStreamWriter& operator=(const TStreamWriter&) = delete;

  void Write(const String& S);
  // S followed by CR LF.
  void WriteLine(const String& S = String());
  TEncoding* Encoding() const { return FEncoding; }
  // Releases the file the writer opened.
  void Close();

private:
  void start();

  TStream* FStream;
  std::unique_ptr<TStream> FOwnedStream;
  TEncoding* FEncoding;
};

// The classic text file: bound to a name, then created by Rewrite and filled
// by Write and WriteLn.  Rewrite writes the encoding's preamble.  A create,
// write or close failure raises EInOutError with errno as ErrorCode and the
// OS text in the message.  Writing to a file that is not open is a bug.
class TTextFileWriter {
public:
  // nullptr means TEncoding::Default() (the ANSI code page).
  explicit TTextFileWriter(const String& FileName, TEncoding* Encoding = nullptr);
  // Closes an open file; a failure there is lost, so call Close to see it.
  ~TTextFileWriter();
  TTextFileWriter(const TTextFileWriter&) = delete;
  TTextFileWriter& operator=(const TTextFileWriter&) = delete;

  // Creates or truncates the file.
  void Rewrite();
  void Write(const String& S);
  // S followed by CR LF.
  void WriteLn(const String& S = String());
  void Close();
  bool IsOpen() const { return FStream != nullptr; }
  const String& FileName() const { return FFileName; }

private:
  void writeBytes(const void* Data, qsizetype Count);
  [[noreturn]] void raiseError(const String& Action, int Code);

  String FFileName;
  TEncoding* FEncoding;
  std::unique_ptr<THandleStream> FStream;
};
