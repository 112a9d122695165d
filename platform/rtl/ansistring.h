// 8-bit strings in a code page, the process ANSI code page, and the text
// encodings that readers and writers take.
//
// The ANSI code page is single-byte (1251 by default, or 1252): one char is
// one byte, so sizes counted in chars hold for the bytes too.  A char the
// code page lacks becomes '?'.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/system.h"

#include <QByteArray>
#include <compare>

// A code page without an encoding here: "Invalid code page 866".
RTL_DECLARE_EXCEPTION(EEncodingError, Exception)

// code pages
inline constexpr Cardinal CP_WINCYRILLIC = 1251;
inline constexpr Cardinal CP_WINLATIN1 = 1252;
inline constexpr Cardinal CP_DOSCYRILLIC = 866;  // OEM text beside 1251
inline constexpr Cardinal CP_DOSUS = 437;        // OEM text beside 1252
inline constexpr Cardinal CP_USASCII = 20127;
inline constexpr Cardinal CP_UTF8 = 65001;
inline constexpr Cardinal CP_UTF16LE = 1200;
inline constexpr Cardinal CP_UTF16BE = 1201;

// The process ANSI code page: 1251 until set; only 1251 and 1252 can be set.
Cardinal DefaultSystemCodePage();
void SetDefaultSystemCodePage(Cardinal CodePage);

// Bytes plus the code page they are written in.  Lengths count bytes.
class AnsiString {
public:
  AnsiString();
  // Encodes S in DefaultSystemCodePage().
  AnsiString(const String& S);
  // Takes Bytes as they are, written in CodePage (one TEncoding::GetEncoding
  // knows).
  AnsiString(const QByteArray& Bytes, Cardinal CodePage);

  // Decodes with the string's own code page.
  String ToString() const;
  operator String() const { return ToString(); }

  int Length() const { return int(FBytes.size()); }
  bool IsEmpty() const { return FBytes.isEmpty(); }
  const QByteArray& Bytes() const { return FBytes; }
  Cardinal CodePage() const { return FCodePage; }

  // Byte order within one code page; strings of different code pages compare
  // by their decoded text.
  friend bool operator==(const AnsiString& A, const AnsiString& B) { return A.compare(B) == 0; }
  friend std::strong_ordering operator<=>(const AnsiString& A, const AnsiString& B) {
    return A.compare(B) <=> 0;
  }

private:
  int compare(const AnsiString& Other) const;

  QByteArray FBytes;
  Cardinal FCodePage;
};

inline int Length(const AnsiString& S) { return S.Length(); }

// A text encoding.  The instances are process-wide constants: never freed,
// shared by every thread.
class TEncoding {
public:
  // The ANSI code page's encoding; Default() is the same object.
  static TEncoding* Default();
  static TEncoding* ANSI();
  // 7-bit; every other char or byte becomes '?'.
  static TEncoding* ASCII();
  static TEncoding* UTF8();              // preamble EF BB BF
  static TEncoding* Unicode();           // UTF-16LE, preamble FF FE
  static TEncoding* BigEndianUnicode();  // UTF-16BE, preamble FE FF
  // The encoding of one of the code pages above; others raise EEncodingError.
  static TEncoding* GetEncoding(Cardinal CodePage);

  // The length of the byte-order mark Buffer starts with.  A null Encoding is
  // set to the one its mark names (Default() when there is none); a given
  // Encoding only has its own mark looked for.
  static int GetBufferEncoding(const TBytes& Buffer, TEncoding*& Encoding);

  TBytes GetBytes(const String& S) const;
  // Decodes the bytes as they are (a byte-order mark is not skipped); invalid
  // sequences become U+FFFD, a byte out of range of ASCII becomes '?'.
  String GetString(const TBytes& Bytes) const;
  String GetString(const Byte* Bytes, int Count) const;
  TBytes GetPreamble() const;
  Cardinal CodePage() const { return FCodePage; }
  bool IsSingleByte() const;

  TEncoding(const TEncoding&) = delete;
  TEncoding& operator=(const TEncoding&) = delete;

private:
  explicit TEncoding(Cardinal CodePage) : FCodePage(CodePage) {}

  const Cardinal FCodePage;
};

// UTF-8 bytes of S, and back (invalid sequences become U+FFFD).
using UTF8String = QByteArray;
UTF8String UTF8Encode(const String& S);
String UTF8ToString(const QByteArray& Bytes);
