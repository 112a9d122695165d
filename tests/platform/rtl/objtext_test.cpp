#include "platform/rtl/objtext.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/filer.h"
#include "platform/rtl/streams.h"

#include "tests/support/testing.h"

#include <memory>

namespace {

QByteArray bytesOf(TMemoryStream& Stream) {
  return QByteArray(static_cast<const char*>(Stream.Memory()), qsizetype(Stream.Size()));
}

std::unique_ptr<TMemoryStream> streamOf(const QByteArray& Bytes) {
  auto Stream = std::make_unique<TMemoryStream>();
  Stream->WriteBuffer(Bytes.constData(), Bytes.size());
  Stream->SetPosition(0);
  return Stream;
}

QByteArray toBinary(const QByteArray& Text) {
  auto Input = streamOf(Text);
  TMemoryStream Output;
  ObjectTextToBinary(Input.get(), &Output);
  return bytesOf(Output);
}

QByteArray toText(const QByteArray& Binary) {
  auto Input = streamOf(Binary);
  TMemoryStream Output;
  ObjectBinaryToText(Input.get(), &Output);
  return bytesOf(Output);
}

// A small tree with every kind of value, as the binary-to-text conversion
// writes it.
const QByteArray Tree =
    "object Form1: TForm1\r\n"
    "  Caption = 'Main'\r\n"
    "  Title = \r\n"
    "    'AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA' +\r\n"
    "    'rest'\r\n"
    "  Greeting = #1055#1088#1080#1074#1077#1090', '#1084#1080#1088\r\n"
    "  Quote = 'it'#39's'#13#10'next'\r\n"
    "  Empty = ''\r\n"
    "  Small = -5\r\n"
    "  Medium = -70000\r\n"
    "  Big = 3000000000\r\n"
    "  Ratio = 1.5\r\n"
    "  Tiny = 1E-20\r\n"
    "  Whole = 100.0\r\n"
    "  Scale = 0.1s\r\n"
    "  Price = 123456789c\r\n"
    "  Started = 45431.75d\r\n"
    "  Flag = True\r\n"
    "  Off = False\r\n"
    "  Kind = pkWild\r\n"
    "  Buddy = Form2.Button1\r\n"
    "  Nothing = nil\r\n"
    "  Missing = Null\r\n"
    "  Options = [poBold, poItalic]\r\n"
    "  NoOptions = []\r\n"
    "  Lines.Strings = (\r\n"
    "    'a'\r\n"
    "    #1073)\r\n"
    "  Nested = (\r\n"
    "    1\r\n"
    "    (\r\n"
    "      2\r\n"
    "      'x')\r\n"
    "    ())\r\n"
    "  Data = {0102FF}\r\n"
    "  NoData = {}\r\n"
    "  Long = {\r\n"
    "    000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F\r\n"
    "    20}\r\n"
    "  Items = <\r\n"
    "    item\r\n"
    "      Caption = 'x'\r\n"
    "    end\r\n"
    "    item [5]\r\n"
    "      Size = 2\r\n"
    "    end>\r\n"
    "  NoItems = <>\r\n"
    "  object TPanel\r\n"
    "  end\r\n"
    "  inherited Child: TPanel [2]\r\n"
    "    Width = 1\r\n"
    "    object Inner: TLabel\r\n"
    "    end\r\n"
    "  end\r\n"
    "  inline Frame1: TFrame1\r\n"
    "  end\r\n"
    "end\r\n";

TEST(ObjectTextTest, TreeRoundTripsThroughBinary) {
  const QByteArray Binary = toBinary(Tree);
  EXPECT_EQ(toText(Binary), Tree);
  EXPECT_EQ(toBinary(toText(Binary)), Binary);

  // Spot checks of the binary form: the header, a Cyrillic string as UTF-8,
  // the flags of the inherited child.
  EXPECT_TRUE(Binary.startsWith(QByteArray::fromHex("54504630" "0654466f726d31" "05466f726d31")));
  const QByteArray Greeting = QString::fromUtf8("Привет, мир").toUtf8();
  EXPECT_TRUE(Binary.contains(QByteArray::fromHex("0847726565 74696e67 14 14000000") + Greeting));
  EXPECT_TRUE(Binary.contains(QByteArray::fromHex("f30202 06 5450616e656c 05 4368696c64")));
  EXPECT_TRUE(Binary.contains(QByteArray::fromHex("f4 07 544672616d6531")));
}

TEST(ObjectTextTest, ReadsEveryWayOfWritingAValue) {
  struct Case {
    const char* Name;
    QByteArray Value;      // the text after "X = "
    const char* Expected;  // the hex of the value in the binary form
  } Cases[] = {
      {"hex integer", "$1F", "021f"},
      {"negative", "-129", "037fff"},
      {"exponent", "1E3", "15 000000000040 8f40"},
      {"float suffix f", "2f", "15 0000000000000040"},
      {"adjacent parts", "'a'#66'c'", "0603614263"},
      {"hex char code", "#$41", "060141"},
      {"joined by plus", "'a' +\r\n  'b'", "06026162"},
      {"quote inside", "''''", "060127"},
      {"currency with a point", "1.5c", "10 0200000000000000"},
      {"set of one", "[a]", "0b 0161 00"},
      {"dotted identifier", "A.B.C", "07 05412e422e43"},
      {"lower-case true", "true", "09"},
      {"empty binary", "{}", "0a 00000000"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const QByteArray Binary = toBinary("object A: TA\r\n  X = " + C.Value + "\r\nend");
    const QByteArray Expected = QByteArray("54504630" "025441" "0141" "0158") + C.Expected + "0000";
    EXPECT_EQ(Binary.toHex(), QByteArray::fromHex(Expected).toHex());
  }
}

TEST(ObjectTextTest, TextEncodings) {
  const QByteArray Escaped = toBinary("object A: TA\r\n  X = #1046#1078\r\nend\r\n");
  const QByteArray Raw = "object A: TA\r\n  X = '" + QString::fromUtf8("Жж").toUtf8() + "'\r\nend\r\n";
  EXPECT_EQ(toBinary(Raw), Escaped);
  EXPECT_EQ(toBinary("\xEF\xBB\xBF" + Raw), Escaped);
  // Not valid UTF-8: the ANSI code page (1251: C6 is Ж, E6 is ж).
  EXPECT_EQ(toBinary("object A: TA\r\n  X = '\xC6\xE6'\r\nend\r\n"), Escaped);
}

TEST(ObjectTextTest, NamesAreLettersOfAnyScriptInEitherEncoding) {
  const QByteArray Utf8 = QString::fromUtf8("object Окно: TA\r\n  Кнопка = Ж.Д1\r\nend\r\n").toUtf8();
  const QByteArray Binary = toBinary(Utf8);
  EXPECT_EQ(Binary.toHex(), (QByteArray::fromHex("54504630 025441 08") + QString::fromUtf8("Окно").toUtf8() + "\x0c" +
                             QString::fromUtf8("Кнопка").toUtf8() + "\x07\x06" + QString::fromUtf8("Ж.Д1").toUtf8() +
                             QByteArray(2, 0))
                                .toHex());
  EXPECT_EQ(toBinary("\xEF\xBB\xBF" + Utf8), Binary);
  // The same text in the ANSI code page (1251).
  EXPECT_EQ(toBinary("object \xCE\xEA\xED\xEE: TA\r\n  \xCA\xED\xEE\xEF\xEA\xE0 = \xC6.\xC4" "1\r\nend\r\n"), Binary);
  // A sign is no letter, in either encoding.
  EXPECT_RAISES(toBinary(QString::fromUtf8("object A: TA\r\n  §X = 1\r\nend").toUtf8()), EParserError,
                "Line 2: Identifier expected");
  EXPECT_RAISES(toBinary("object A: TA\r\n  \xA7X = 1\r\nend"), EParserError, "Line 2: Identifier expected");
}

TEST(ObjectTextTest, BinaryTagsTheWriterDoesNotEmitBecomeItsOwn) {
  // vaExtended 1.5, vaWString "Ж", vaSingle 1.5: text and back as vaDouble,
  // vaUTF8String and vaSingle.
  const QByteArray Binary = QByteArray::fromHex(
      "54504630" "025441" "0141"
      "0145" "05 00000000000000c0ff3f"
      "0157" "12 01000000 1604"
      "0153" "0f 0000c03f"
      "0000");
  const QByteArray Text = toText(Binary);
  EXPECT_EQ(Text, QByteArray("object A: TA\r\n"
                             "  E = 1.5\r\n"
                             "  W = #1046\r\n"
                             "  S = 1.5s\r\n"
                             "end\r\n"));
  EXPECT_EQ(toBinary(Text).toHex(), QByteArray("54504630" "025441" "0141"
                                               "0145" "15000000000000f83f"
                                               "0157" "1402000000d096"
                                               "0153" "0f0000c03f"
                                               "0000"));
}

TEST(ObjectTextTest, SyntaxErrorsNameTheLine) {
  struct Case {
    const char* Name;
    QByteArray Text;
    const char* Message;
  } Cases[] = {
      {"empty", "", "Line 1: OBJECT expected"},
      {"no class", "object\r\n", "Line 2: Identifier expected"},
      {"no equals", "object A: TA\r\n  X 5\r\nend", "Line 2: '=' expected"},
      {"no value", "object A: TA\r\n  X = )\r\nend", "Line 2: Invalid property value"},
      {"no end", "object A: TA\r\n  X = 1\r\n", "Line 3: Identifier expected"},
      {"unterminated string", "object A: TA\r\n  X = 'abc\r\nend", "Line 2: Unterminated string"},
      {"plus without string", "object A: TA\r\n  X = 'a' +\r\n  5\r\nend", "Line 3: String expected"},
      {"bad hex", "object A: TA\r\n  X = {0G}\r\nend", "Line 2: Invalid binary value"},
      {"odd hex", "object A: TA\r\n  X = {012}\r\nend", "Line 2: Invalid binary value"},
      {"set without comma", "object A: TA\r\n  X = [a b]\r\nend", "Line 2: ',' expected"},
      {"collection without item", "object A: TA\r\n  X = <\r\n    itm\r\n  end>\r\nend", "Line 3: ITEM expected"},
      {"integer too large", "object A: TA\r\n  X = 99999999999999999999\r\nend",
       "Line 2: '99999999999999999999' is not a valid integer value"},
      {"bad float", "object A: TA\r\n  X = 1.2.3\r\nend", "Line 2: '1.2.3' is not a valid floating point value"},
      {"char code too large", "object A: TA\r\n  X = #70000\r\nend", "Line 2: Invalid character code #70000"},
      {"deep lists", "object A: TA\r\n  X = " + QByteArray(MaxStreamNesting + 1, '('),
       "Line 2: Nesting exceeds 256 levels"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_RAISES(toBinary(C.Text), EParserError, C.Message);
  }
}

TEST(ObjectTextTest, BadBinaryRaisesReadErrorNeverCrashes) {
  const QByteArray Binary = toBinary(Tree);
  for (qsizetype Length = 0; Length < Binary.size(); ++Length) {
    SCOPED_TRACE(Length);
    EXPECT_THROW(toText(Binary.left(Length)), EReadError);
  }
  for (qsizetype I = 0; I < Binary.size(); ++I) {
    QByteArray Corrupt = Binary;
    Corrupt[I] = char(Corrupt[I] ^ 0x5A);
    try {
      toText(Corrupt);
    } catch (const Exception&) {
    }
  }
  EXPECT_RAISES(toText(QByteArray::fromHex("54504630 0141 0141 0158 63 0000")), EReadError,
                "Error reading A.X: Invalid property value");
}

TEST(ObjectTextTest, TestStreamFormatKeepsThePosition) {
  struct Case {
    const char* Name;
    QByteArray Bytes;
    TStreamOriginalFormat Expected;
  } Cases[] = {
      {"binary", QByteArray::fromHex("54504630 00"), sofBinary},
      {"object", "object A: TA", sofText},
      {"inherited", "Inherited A: TA", sofText},
      {"inline", "inline A: TA", sofText},
      {"blank first", "\r\nobject A: TA", sofText},
      {"tab first", "\tobject", sofText},
      {"utf-8 mark", "\xEF\xBB\xBFobject", sofUTF8Text},
      {"short signature", "TPF", sofUnknown},
      {"other", "<xml/>", sofUnknown},
      {"empty", "", sofUnknown},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto Stream = streamOf("xx" + C.Bytes);
    Stream->SetPosition(2);
    EXPECT_EQ(TestStreamFormat(Stream.get()), C.Expected);
    EXPECT_EQ(Stream->Position(), 2);
  }
}

}  // namespace
