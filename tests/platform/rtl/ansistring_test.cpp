#include "platform/rtl/ansistring.h"

#include "tests/support/testing.h"

namespace {

QByteArray bytes(std::initializer_list<Byte> List) {
  return QByteArray(reinterpret_cast<const char*>(List.begin()), qsizetype(List.size()));
}

// Every test starts from the default code page and puts it back.
class AnsiStringTest : public ::testing::Test {
protected:
  void TearDown() override { SetDefaultSystemCodePage(CP_WINCYRILLIC); }
};

TEST_F(AnsiStringTest, CyrillicRoundTripsThrough1251) {
  EXPECT_EQ(DefaultSystemCodePage(), CP_WINCYRILLIC);
  const AnsiString A("Привет");
  EXPECT_EQ(A.Bytes(), bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}));
  EXPECT_EQ(A.Length(), 6);
  EXPECT_EQ(Length(A), 6);
  EXPECT_EQ(A.CodePage(), CP_WINCYRILLIC);
  EXPECT_EQ(A.ToString(), "Привет");
  const String Back = A;
  EXPECT_EQ(Back, "Привет");
}

TEST_F(AnsiStringTest, UnmappableCharsBecomeQuestionMarks) {
  EXPECT_EQ(AnsiString("β").Bytes(), "?");
  EXPECT_EQ(AnsiString("aβb").ToString(), "a?b");
  // a char beyond the BMP is two chars, so two bytes
  EXPECT_EQ(AnsiString(QStringLiteral("\U0001F600")).Bytes(), "??");

  SetDefaultSystemCodePage(CP_WINLATIN1);
  EXPECT_EQ(AnsiString("Ж").Bytes(), "?");
  EXPECT_EQ(AnsiString("é€Ÿ").Bytes(), bytes({0xE9, 0x80, 0x9F}));
}

// Catches transcription slips in the tables: a duplicated or missing entry
// breaks the round trip of some byte.
TEST_F(AnsiStringTest, EveryByteRoundTripsInBothCodePages) {
  QByteArray All;
  for (int B = 0; B < 256; ++B) All += char(B);
  for (Cardinal CodePage : {CP_WINCYRILLIC, CP_WINLATIN1}) {
    SCOPED_TRACE(CodePage);
    SetDefaultSystemCodePage(CodePage);
    const String Text = AnsiString(All, CodePage).ToString();
    ASSERT_EQ(Text.size(), 256);
    EXPECT_EQ(AnsiString(Text).Bytes(), All);
  }
}

TEST_F(AnsiStringTest, TableSpotChecks) {
  struct Case {
    Cardinal CodePage;
    Byte Code;
    char16_t Unicode;
  } Cases[] = {
      {CP_WINCYRILLIC, 0xA8, u'Ё'}, {CP_WINCYRILLIC, 0xB8, u'ё'}, {CP_WINCYRILLIC, 0xB9, u'№'},
      {CP_WINCYRILLIC, 0x88, u'€'}, {CP_WINCYRILLIC, 0xC0, u'А'}, {CP_WINCYRILLIC, 0xFF, u'я'},
      {CP_WINCYRILLIC, 0xA5, u'Ґ'}, {CP_WINLATIN1, 0x80, u'€'},   {CP_WINLATIN1, 0x9F, u'Ÿ'},
      {CP_WINLATIN1, 0x8A, u'Š'},   {CP_WINLATIN1, 0xFF, u'ÿ'},   {CP_DOSCYRILLIC, 0x8F, u'П'},
      {CP_DOSCYRILLIC, 0xF1, u'ё'}, {CP_DOSUS, 0x82, u'é'},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.CodePage << " " << int(C.Code));
    EXPECT_EQ(AnsiString(QByteArray(1, char(C.Code)), C.CodePage).ToString(), String(QChar(C.Unicode)));
  }
}

TEST_F(AnsiStringTest, RawBytesKeepTheirOwnCodePage) {
  SetDefaultSystemCodePage(CP_WINLATIN1);
  const AnsiString Raw(bytes({0xCF, 0xF0}), CP_WINCYRILLIC);
  EXPECT_EQ(Raw.ToString(), "Пр");
  EXPECT_EQ(AnsiString(bytes({0xD0, 0xB6}), CP_UTF8).ToString(), "ж");
  EXPECT_EQ(AnsiString().CodePage(), CP_WINLATIN1);
  try {
    (void)AnsiString("x", 850);
    ADD_FAILURE() << "expected EEncodingError";
  } catch (const EEncodingError& E) {
    EXPECT_EQ(E.Message, "Invalid code page 850");
  }
}

TEST_F(AnsiStringTest, Comparison) {
  EXPECT_EQ(AnsiString("abc"), AnsiString("abc"));
  EXPECT_LT(AnsiString("ab"), AnsiString("abc"));
  // bytes compare unsigned: 'я' is 0xFF
  EXPECT_GT(AnsiString("я"), AnsiString("z"));
  EXPECT_NE(AnsiString("a"), AnsiString("b"));
  // different code pages compare by text
  EXPECT_EQ(AnsiString(bytes({0xE9}), CP_WINLATIN1), AnsiString(bytes({0xC3, 0xA9}), CP_UTF8));
}

TEST_F(AnsiStringTest, Encodings) {
  struct Case {
    const char* Name;
    TEncoding* Encoding;
    QByteArray Bytes, Preamble;
    Cardinal CodePage;
    bool SingleByte;
    String Decoded;
  } Cases[] = {
      {"ANSI", TEncoding::ANSI(), bytes({0x41, 0xE6}), {}, CP_WINCYRILLIC, true, "Aж"},
      {"ASCII", TEncoding::ASCII(), bytes({0x41, 0x3F}), {}, CP_USASCII, true, "A?"},
      {"UTF8", TEncoding::UTF8(), bytes({0x41, 0xD0, 0xB6}), bytes({0xEF, 0xBB, 0xBF}), CP_UTF8, false, "Aж"},
      {"Unicode", TEncoding::Unicode(), bytes({0x41, 0x00, 0x36, 0x04}), bytes({0xFF, 0xFE}), CP_UTF16LE,
       false, "Aж"},
      {"BigEndianUnicode", TEncoding::BigEndianUnicode(), bytes({0x00, 0x41, 0x04, 0x36}),
       bytes({0xFE, 0xFF}), CP_UTF16BE, false, "Aж"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TBytes Encoded = C.Encoding->GetBytes("Aж");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(Encoded.data()), qsizetype(Encoded.size())), C.Bytes);
    const TBytes Preamble = C.Encoding->GetPreamble();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(Preamble.data()), qsizetype(Preamble.size())),
              C.Preamble);
    EXPECT_EQ(C.Encoding->CodePage(), C.CodePage);
    EXPECT_EQ(C.Encoding->IsSingleByte(), C.SingleByte);
    EXPECT_EQ(C.Encoding->GetString(Encoded), C.Decoded);
    EXPECT_EQ(C.Encoding->GetString(Encoded.data(), 0), "");
  }
}

TEST_F(AnsiStringTest, DefaultFollowsTheSystemCodePage) {
  EXPECT_EQ(TEncoding::Default(), TEncoding::ANSI());
  EXPECT_EQ(TEncoding::Default()->CodePage(), CP_WINCYRILLIC);
  SetDefaultSystemCodePage(CP_WINLATIN1);
  EXPECT_EQ(TEncoding::Default()->CodePage(), CP_WINLATIN1);
  EXPECT_EQ(TEncoding::Default()->GetBytes("é"), (TBytes{0xE9}));
  EXPECT_EQ(TEncoding::GetEncoding(CP_UTF8), TEncoding::UTF8());
}

TEST_F(AnsiStringTest, GetBufferEncodingDetectsTheByteOrderMark) {
  struct Case {
    const char* Name;
    TBytes Buffer;
    TEncoding* Expected;
    int PreambleLength;
  } Cases[] = {
      {"UTF-8", {0xEF, 0xBB, 0xBF, 0x41}, TEncoding::UTF8(), 3},
      {"UTF-8 mark only", {0xEF, 0xBB, 0xBF}, TEncoding::UTF8(), 3},
      {"UTF-16LE", {0xFF, 0xFE, 0x41, 0x00}, TEncoding::Unicode(), 2},
      {"UTF-16BE", {0xFE, 0xFF, 0x00, 0x41}, TEncoding::BigEndianUnicode(), 2},
      {"truncated UTF-8 mark", {0xEF, 0xBB}, TEncoding::Default(), 0},
      {"no mark", {0x41, 0x42}, TEncoding::Default(), 0},
      {"empty", {}, TEncoding::Default(), 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TEncoding* Encoding = nullptr;
    EXPECT_EQ(TEncoding::GetBufferEncoding(C.Buffer, Encoding), C.PreambleLength);
    EXPECT_EQ(Encoding, C.Expected);
  }
}

TEST_F(AnsiStringTest, GetBufferEncodingWithAGivenEncodingLooksForItsMarkOnly) {
  TEncoding* Encoding = TEncoding::UTF8();
  EXPECT_EQ(TEncoding::GetBufferEncoding({0xFF, 0xFE, 0x41, 0x00}, Encoding), 0);
  EXPECT_EQ(Encoding, TEncoding::UTF8());
  Encoding = TEncoding::Unicode();
  EXPECT_EQ(TEncoding::GetBufferEncoding({0xFF, 0xFE, 0x41, 0x00}, Encoding), 2);
  Encoding = TEncoding::ANSI();
  EXPECT_EQ(TEncoding::GetBufferEncoding({0xEF, 0xBB, 0xBF}, Encoding), 0);
  EXPECT_EQ(Encoding, TEncoding::ANSI());
}

TEST_F(AnsiStringTest, Utf8InvalidInputBecomesReplacementChars) {
  EXPECT_EQ(UTF8Encode("ж"), bytes({0xD0, 0xB6}));
  EXPECT_EQ(UTF8ToString(bytes({0xD0, 0xB6, 0x41})), "жA");
  EXPECT_EQ(UTF8ToString(bytes({0x61, 0xFF, 0x62})), QStringLiteral("a\uFFFDb"));
  EXPECT_EQ(UTF8ToString(bytes({0x61, 0xD0})), QStringLiteral("a\uFFFD"));
  EXPECT_EQ(UTF8ToString(QByteArray()), "");
  // the mark is text here; skipping it is the reader's job
  EXPECT_EQ(UTF8ToString(bytes({0xEF, 0xBB, 0xBF, 0x41})), QStringLiteral("\uFEFFA"));
  EXPECT_EQ(TEncoding::UTF8()->GetString(TBytes{0xEF, 0xBB, 0xBF}), QStringLiteral("\uFEFF"));
}

TEST_F(AnsiStringTest, Utf16LoneTrailingByteBecomesAReplacementChar) {
  EXPECT_EQ(TEncoding::Unicode()->GetString(TBytes{0x41, 0x00, 0x42}), QStringLiteral("A\uFFFD"));
  EXPECT_EQ(TEncoding::BigEndianUnicode()->GetString(TBytes{0x00}), QStringLiteral("\uFFFD"));
}

TEST_F(AnsiStringTest, AsciiDecodesHighBytesAsQuestionMarks) {
  EXPECT_EQ(TEncoding::ASCII()->GetString(TBytes{0x41, 0x80, 0xFF}), "A??");
}

}  // namespace
