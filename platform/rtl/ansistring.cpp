#include "platform/rtl/ansistring.h"

#include "platform/rtl/exceptions.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cassert>

namespace {

Cardinal SystemCodePage = CP_WINCYRILLIC;

constexpr char Unmappable = '?';

// The chars of bytes 0x80..0xFF; bytes 0x00..0x7F are ASCII.  A byte the
// code page leaves undefined stands for the C1 control of the same value, so
// every byte survives a round trip.
using THighHalf = std::array<char16_t, 128>;

constexpr THighHalf Cp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr THighHalf Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,  // B8
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,  // C0
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,  // C8
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,  // D0
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,  // D8
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,  // E0
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,  // E8
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,  // F0
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,  // F8
};

// The DOS code pages, for OEM text.
constexpr THighHalf Cp866High = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};

constexpr THighHalf Cp437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x03BC, 0x03C4,  // E0
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  // E8
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// A high half sorted by char, for encoding by binary search; built at
// compile time, so no start-up code makes it.
struct TReverseEntry {
  char16_t Unicode;
  char Code;
};
using TReverseTable = std::array<TReverseEntry, 128>;

constexpr TReverseTable makeReverse(const THighHalf& High) {
  TReverseTable R{};
  for (int I = 0; I < 128; ++I) R[I] = {High[I], char(0x80 + I)};
  std::sort(R.begin(), R.end(),
            [](const TReverseEntry& A, const TReverseEntry& B) { return A.Unicode < B.Unicode; });
  return R;
}

constexpr TReverseTable Cp1251Reverse = makeReverse(Cp1251High);
constexpr TReverseTable Cp1252Reverse = makeReverse(Cp1252High);
constexpr TReverseTable Cp866Reverse = makeReverse(Cp866High);
constexpr TReverseTable Cp437Reverse = makeReverse(Cp437High);

// The tables of a single-byte code page; null tables stand for 7-bit ASCII.
struct TSingleByte {
  const THighHalf* High;
  const TReverseTable* Reverse;
};

TSingleByte singleByteTables(Cardinal CodePage) {
  switch (CodePage) {
    case CP_WINCYRILLIC: return {&Cp1251High, &Cp1251Reverse};
    case CP_WINLATIN1: return {&Cp1252High, &Cp1252Reverse};
    case CP_DOSCYRILLIC: return {&Cp866High, &Cp866Reverse};
    case CP_DOSUS: return {&Cp437High, &Cp437Reverse};
    default: return {nullptr, nullptr};
  }
}

char encodeChar(char16_t C, const TReverseTable* Reverse) {
  if (C < 0x80) return char(C);
  if (!Reverse) return Unmappable;
  const auto It = std::lower_bound(
      Reverse->begin(), Reverse->end(), C,
      [](const TReverseEntry& E, char16_t U) { return E.Unicode < U; });
  return It != Reverse->end() && It->Unicode == C ? It->Code : Unmappable;
}

QByteArray encodeSingleByte(QStringView S, TSingleByte Tables) {
  QByteArray R(S.size(), Qt::Uninitialized);
  for (qsizetype I = 0; I < S.size(); ++I) R[I] = encodeChar(S[I].unicode(), Tables.Reverse);
  return R;
}

bool isAsciiBytes(const char* P, qsizetype N) {
  unsigned char Bits = 0;
  for (qsizetype I = 0; I < N; ++I) Bits |= static_cast<unsigned char>(P[I]);
  return Bits < 0x80;
}

String decodeSingleByte(const char* P, qsizetype N, TSingleByte Tables) {
  // Every code page here keeps ASCII, the common text, which Qt widens fast.
  if (N > 0 && isAsciiBytes(P, N)) return QString::fromLatin1(P, N);
  String R(N, Qt::Uninitialized);
  QChar* Out = R.data();
  for (qsizetype I = 0; I < N; ++I) {
    const auto B = static_cast<unsigned char>(P[I]);
    if (B < 0x80)
      Out[I] = QChar(B);
    else
      Out[I] = Tables.High ? QChar((*Tables.High)[B - 0x80]) : QChar(Unmappable);
  }
  return R;
}

QByteArray encodeUtf16(QStringView S, bool BigEndian) {
  QByteArray R(S.size() * 2, Qt::Uninitialized);
  for (qsizetype I = 0; I < S.size(); ++I) {
    const char16_t C = S[I].unicode();
    R[2 * I + (BigEndian ? 1 : 0)] = char(C & 0xFF);
    R[2 * I + (BigEndian ? 0 : 1)] = char(C >> 8);
  }
  return R;
}

// A lone last byte is half a char: it becomes U+FFFD.
String decodeUtf16(const char* P, qsizetype N, bool BigEndian) {
  const auto* B = reinterpret_cast<const unsigned char*>(P);
  String R(N / 2 + N % 2, Qt::Uninitialized);
  for (qsizetype I = 0; I < N / 2; ++I) {
    const unsigned Lo = B[2 * I + (BigEndian ? 1 : 0)];
    const unsigned Hi = B[2 * I + (BigEndian ? 0 : 1)];
    R[I] = QChar(char16_t(Hi << 8 | Lo));
  }
  if (N % 2) R[N / 2] = QChar(QChar::ReplacementCharacter);
  return R;
}

// Keeps a leading byte-order mark as U+FEFF: callers skip the preamble
// themselves (GetBufferEncoding), and Qt's plain decoder would drop it.
String decodeUtf8(const char* P, qsizetype N) {
  QStringDecoder Decoder(QStringConverter::Utf8,
                         QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
  return Decoder.decode(QByteArrayView(P, N));
}

QByteArray encode(Cardinal CodePage, QStringView S) {
  switch (CodePage) {
    case CP_UTF8: return S.toUtf8();
    case CP_UTF16LE: return encodeUtf16(S, /*BigEndian=*/false);
    case CP_UTF16BE: return encodeUtf16(S, /*BigEndian=*/true);
    default: return encodeSingleByte(S, singleByteTables(CodePage));
  }
}

String decode(Cardinal CodePage, const char* P, qsizetype N) {
  switch (CodePage) {
    case CP_UTF8: return decodeUtf8(P, N);
    case CP_UTF16LE: return decodeUtf16(P, N, /*BigEndian=*/false);
    case CP_UTF16BE: return decodeUtf16(P, N, /*BigEndian=*/true);
    default: return decodeSingleByte(P, N, singleByteTables(CodePage));
  }
}

TBytes toBytes(const QByteArray& A) { return TBytes(A.begin(), A.end()); }

bool startsWith(const TBytes& Buffer, const TBytes& Prefix) {
  return !Prefix.empty() && Buffer.size() >= Prefix.size() &&
         std::equal(Prefix.begin(), Prefix.end(), Buffer.begin());
}

}  // namespace

Cardinal DefaultSystemCodePage() { return SystemCodePage; }

void SetDefaultSystemCodePage(Cardinal CodePage) {
  assert((CodePage == CP_WINCYRILLIC || CodePage == CP_WINLATIN1) &&
         "the ANSI code page must be single-byte with a table here");
  SystemCodePage = CodePage;
}

// AnsiString

AnsiString::AnsiString() : FCodePage(DefaultSystemCodePage()) {}

AnsiString::AnsiString(const String& S)
    : FBytes(encode(DefaultSystemCodePage(), S)), FCodePage(DefaultSystemCodePage()) {}

AnsiString::AnsiString(const QByteArray& Bytes, Cardinal CodePage)
    : FBytes(Bytes), FCodePage(TEncoding::GetEncoding(CodePage)->CodePage()) {}

String AnsiString::ToString() const { return decode(FCodePage, FBytes.constData(), FBytes.size()); }

int AnsiString::compare(const AnsiString& Other) const {
  if (FCodePage == Other.FCodePage) return FBytes.compare(Other.FBytes);
  return ToString().compare(Other.ToString());
}

// TEncoding

TEncoding* TEncoding::Default() { return ANSI(); }

TEncoding* TEncoding::ANSI() { return GetEncoding(DefaultSystemCodePage()); }

TEncoding* TEncoding::ASCII() { return GetEncoding(CP_USASCII); }

TEncoding* TEncoding::UTF8() { return GetEncoding(CP_UTF8); }

TEncoding* TEncoding::Unicode() { return GetEncoding(CP_UTF16LE); }

TEncoding* TEncoding::BigEndianUnicode() { return GetEncoding(CP_UTF16BE); }

TEncoding* TEncoding::GetEncoding(Cardinal CodePage) {
  static TEncoding Cp1251(CP_WINCYRILLIC), Cp1252(CP_WINLATIN1), Cp866(CP_DOSCYRILLIC), Cp437(CP_DOSUS),
      Ascii(CP_USASCII), Utf8(CP_UTF8), Utf16Le(CP_UTF16LE), Utf16Be(CP_UTF16BE);
  switch (CodePage) {
    case CP_WINCYRILLIC: return &Cp1251;
    case CP_WINLATIN1: return &Cp1252;
    case CP_DOSCYRILLIC: return &Cp866;
    case CP_DOSUS: return &Cp437;
    case CP_USASCII: return &Ascii;
    case CP_UTF8: return &Utf8;
    case CP_UTF16LE: return &Utf16Le;
    case CP_UTF16BE: return &Utf16Be;
    default: throw EEncodingError(QStringLiteral("Invalid code page %1").arg(CodePage));
  }
}

int TEncoding::GetBufferEncoding(const TBytes& Buffer, TEncoding*& Encoding) {
  if (Encoding) {
    const TBytes Preamble = Encoding->GetPreamble();
    return startsWith(Buffer, Preamble) ? int(Preamble.size()) : 0;
  }
  for (TEncoding* Candidate : {UTF8(), Unicode(), BigEndianUnicode()}) {
    const TBytes Preamble = Candidate->GetPreamble();
    if (startsWith(Buffer, Preamble)) {
      Encoding = Candidate;
      return int(Preamble.size());
    }
  }
  Encoding = Default();
  return 0;
}

TBytes TEncoding::GetBytes(const String& S) const { return toBytes(encode(FCodePage, S)); }

String TEncoding::GetString(const TBytes& Bytes) const {
  return decode(FCodePage, reinterpret_cast<const char*>(Bytes.data()), qsizetype(Bytes.size()));
}

String TEncoding::GetString(const Byte* Bytes, int Count) const {
  assert(Count >= 0 && "negative byte count");
  return decode(FCodePage, reinterpret_cast<const char*>(Bytes), Count);
}

TBytes TEncoding::GetPreamble() const {
  switch (FCodePage) {
    case CP_UTF8: return {0xEF, 0xBB, 0xBF};
    case CP_UTF16LE: return {0xFF, 0xFE};
    case CP_UTF16BE: return {0xFE, 0xFF};
    default: return {};
  }
}

bool TEncoding::IsSingleByte() const {
  return FCodePage != CP_UTF8 && FCodePage != CP_UTF16LE && FCodePage != CP_UTF16BE;
}

// UTF-8

UTF8String UTF8Encode(const String& S) { return S.toUtf8(); }

String UTF8ToString(const QByteArray& Bytes) { return decodeUtf8(Bytes.constData(), Bytes.size()); }
