#include "platform/ui/windowing/clipbrd.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/graphics/jpeg.h"
#include "platform/ui/graphics/picture.h"
#include "platform/ui/windowing/windowingunit.h"
#include "tests/platform/ui/pixelhelpers.h"
#include "tests/support/testing.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QByteArray hex(const char* Hex) { return QByteArray::fromHex(Hex); }

void redSquare(TBitmap& B, int Size) {
  B.SetPixelFormat(pf24bit);
  B.SetSize(Size, Size);
  B.Canvas()->Brush()->SetColor(clRed);
  B.Canvas()->FillRect(Rect(0, 0, Size, Size));
}

std::vector<Word> formatsOf(TClipboard& Clip) {
  std::vector<Word> Result;
  for (Integer I = 0; I < Clip.FormatCount(); ++I) Result.push_back(Clip.Formats(I));
  return Result;
}

// The ui unit started, and the ids of the formats a grid copy writes.
class ClipboardFixture : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitializeUnits({GraphicsUnit, WindowingUnit}); }

  const Word Csv = RegisterClipboardFormat("Csv");
  const Word Rtf = RegisterClipboardFormat("Rich Text Format");
  const Word Dbif = RegisterClipboardFormat("VCLDBIF");
};

// A clipboard over the in-memory store, fresh for every test.
class ClipboardTest : public ClipboardFixture {
protected:
  ClipboardTest() {
    auto Store = std::make_unique<TMemoryClipboardBackend>();
    Memory = Store.get();
    Clip = std::make_unique<TClipboard>(std::move(Store));
  }

  TMemoryClipboardBackend* Memory;
  std::unique_ptr<TClipboard> Clip;
};

TEST_F(ClipboardTest, ASessionReplacesTheContentOnceAtItsLastClose) {
  Clip->SetAsHandle(CF_BITMAP, "old");
  ASSERT_EQ(Memory->ChangeCount(), 1u);

  Clip->Open();
  Clip->Open();
  EXPECT_TRUE(Clip->HasFormat(CF_BITMAP)) << "before the first set the session reads the store";
  Clip->SetAsHandle(CF_TEXT, hex("61006200"));
  Clip->SetAsHandle(Csv, "a;b\n");
  Clip->SetAsHandle(Csv, "c;d\n");
  EXPECT_FALSE(Clip->HasFormat(CF_BITMAP)) << "the first set emptied the clipboard";
  EXPECT_EQ(Clip->GetAsHandle(Csv), "c;d\n") << "reads see the session's content";
  Clip->Close();
  EXPECT_EQ(Memory->ChangeCount(), 1u) << "still open once";
  Clip->Close();
  EXPECT_EQ(Memory->ChangeCount(), 2u);
  Clip->Close();  // not open: nothing
  EXPECT_EQ(Memory->ChangeCount(), 2u);

  ASSERT_EQ(Memory->Items().size(), 2u);
  EXPECT_EQ(Memory->Items()[0].Format, CF_TEXT);
  EXPECT_EQ(Memory->Items()[0].Data, hex("61006200")) << "bytes after the zero are kept";
  EXPECT_EQ(Memory->Items()[1].Format, Csv);
  EXPECT_EQ(Memory->Items()[1].Data, "c;d\n") << "a format set twice keeps the later bytes";

  Clip->SetAsHandle(Rtf, "{\\rtf1}");
  Clip->SetAsHandle(Dbif, hex("00010000"));
  EXPECT_EQ(formatsOf(*Clip), std::vector<Word>{Dbif}) << "outside a session every set replaces everything";
  EXPECT_EQ(Clip->GetAsHandle(Dbif), hex("00010000"));
  EXPECT_EQ(Memory->ChangeCount(), 4u);
}

TEST_F(ClipboardTest, ClearEmptiesAndLaterSetsOfTheSessionAdd) {
  Clip->SetAsText("x");
  Clip->Clear();
  EXPECT_EQ(Clip->FormatCount(), 0);
  EXPECT_TRUE(Memory->Items().empty());

  Clip->SetAsHandle(Csv, "1");
  Clip->Open();
  Clip->Clear();
  Clip->SetAsHandle(Rtf, "r");
  Clip->SetAsHandle(Dbif, "d");
  Clip->Close();
  EXPECT_EQ(formatsOf(*Clip), (std::vector<Word>{Rtf, Dbif}));
}

TEST_F(ClipboardTest, FormatsOutsideTheListAnswerNothing) {
  EXPECT_EQ(Clip->FormatCount(), 0);
  EXPECT_EQ(Clip->Formats(0), 0);
  EXPECT_FALSE(Clip->HasFormat(CF_TEXT));
  EXPECT_TRUE(Clip->GetAsHandle(CF_TEXT).isEmpty());
  EXPECT_EQ(Clip->AsText(), "");

  Clip->SetAsHandle(Csv, QByteArray());
  EXPECT_TRUE(Clip->HasFormat(Csv)) << "an empty block is still a format";
  EXPECT_EQ(Clip->Formats(-1), 0);
  EXPECT_EQ(Clip->Formats(0), Csv);
  EXPECT_EQ(Clip->Formats(1), 0);
}

TEST_F(ClipboardTest, EveryTextFormatIsMadeFromTheStoredOne) {
  struct Case {
    const char* Name;
    Cardinal CodePage;
    Word Stored;
    QByteArray Block;
    QByteArray Text, OemText, UnicodeText;  // what each text format reads as
    String AsText;
  };
  const Case Cases[] = {
      {"AsText sets Unicode", CP_WINCYRILLIC, 0, {}, hex("c600"), hex("8600"), hex("16040000"), "Ж"},
      {"ANSI up to its zero", CP_WINCYRILLIC, CF_TEXT, hex("c6610062"), hex("c6610062"), hex("866100"),
       hex("160461000000"), "Жa"},
      {"OEM decoded", CP_WINCYRILLIC, CF_OEMTEXT, hex("8678"), hex("c67800"), hex("8678"), hex("160478000000"), "Жx"},
      {"Unicode up to its zero", CP_WINCYRILLIC, CF_UNICODETEXT, hex("610000006200"), hex("6100"), hex("6100"),
       hex("610000006200"), "a"},
      {"odd byte left out", CP_WINCYRILLIC, CF_UNICODETEXT, hex("610062"), hex("6100"), hex("6100"), hex("610062"),
       "a"},
      {"chars the code pages lack", CP_WINCYRILLIC, CF_UNICODETEXT, hex("ac202d4e3dd800de0000"), hex("883f3f3f00"),
       hex("3f3f3f3f00"), hex("ac202d4e3dd800de0000"), QString::fromUtf8("€中\xF0\x9F\x98\x80")},
      {"Western pages", CP_WINLATIN1, CF_UNICODETEXT, hex("e9000000"), hex("e900"), hex("8200"), hex("e9000000"), "é"},
  };
  const Cardinal Saved = DefaultSystemCodePage();
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    SetDefaultSystemCodePage(C.CodePage);
    if (C.Stored)
      Clip->SetAsHandle(C.Stored, C.Block);
    else
      Clip->SetAsText(C.AsText);
    EXPECT_EQ(Clip->GetAsHandle(CF_TEXT).toHex(), C.Text.toHex());
    EXPECT_EQ(Clip->GetAsHandle(CF_OEMTEXT).toHex(), C.OemText.toHex());
    EXPECT_EQ(Clip->GetAsHandle(CF_UNICODETEXT).toHex(), C.UnicodeText.toHex());
    EXPECT_EQ(Clip->AsText(), C.AsText);
    EXPECT_EQ(Clip->FormatCount(), 3) << "one stored, two synthesized";
    EXPECT_EQ(Clip->Formats(0), C.Stored ? C.Stored : CF_UNICODETEXT) << "the stored format comes first";
  }
  SetDefaultSystemCodePage(Saved);
}

TEST_F(ClipboardTest, UnicodeTextWinsOverAnOlderAnsiText) {
  Clip->Open();
  Clip->SetAsHandle(CF_TEXT, "ansi");
  Clip->SetAsHandle(CF_UNICODETEXT, hex("75000000"));
  Clip->SetAsHandle(Csv, "1;2");
  Clip->Close();
  EXPECT_EQ(Clip->AsText(), "u");
  EXPECT_EQ(Clip->GetAsHandle(CF_TEXT), "ansi") << "a stored block is never rebuilt";
  EXPECT_EQ(Clip->GetAsHandle(CF_OEMTEXT), hex("7500"));
  EXPECT_EQ(formatsOf(*Clip), (std::vector<Word>{CF_TEXT, CF_UNICODETEXT, Csv, CF_OEMTEXT}));
}

TEST_F(ClipboardTest, RegisteredNamesShareOneIdWhateverTheirCase) {
  // The unit registers the grid formats first.
  EXPECT_EQ(Dbif, 0xC000);
  EXPECT_EQ(Csv, 0xC001);
  EXPECT_EQ(Rtf, 0xC002);
  EXPECT_EQ(RegisterClipboardFormat("xml spreadsheet"), 0xC003);
  EXPECT_EQ(RegisterClipboardFormat("csv"), Csv);
  EXPECT_EQ(RegisterClipboardFormat("CSV"), Csv);
  EXPECT_EQ(GetClipboardFormatName(Csv), "Csv") << "the first spelling is kept";

  const Word Cyrillic = RegisterClipboardFormat("Формат заметок");
  EXPECT_EQ(RegisterClipboardFormat("ФОРМАТ ЗАМЕТОК"), Cyrillic);
  EXPECT_NE(Cyrillic, 0);

  EXPECT_EQ(RegisterClipboardFormat(""), 0);
  EXPECT_NE(RegisterClipboardFormat(String(255, u'n')), 0);
  EXPECT_EQ(RegisterClipboardFormat(String(256, u'n')), 0);
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT), "");
  EXPECT_EQ(GetClipboardFormatName(0xFFFF), "") << "not registered yet";
}

TEST_F(ClipboardTest, TheLastIdIsFFFFThenRegistrationFails) {
  Word Last = 0;
  for (int I = 0;; ++I) {
    const Word Id = RegisterClipboardFormat(QStringLiteral("format %1").arg(I));
    if (!Id) break;
    ASSERT_GT(Id, Last);
    Last = Id;
  }
  EXPECT_EQ(Last, 0xFFFF);
  EXPECT_EQ(RegisterClipboardFormat("Csv"), Csv) << "known names still answer";
  // Back to a registry as the unit starts it, for the other tests.
  FinalizeClipboard();
  InitializeClipboard();
  EXPECT_EQ(GetClipboardFormatName(Last), "");
}

TEST_F(ClipboardTest, PicturesTravelAsBitmaps) {
  TBitmap Red;
  redSquare(Red, 5);
  TPicture Source;
  Source.SetGraphic(&Red);
  Clip->Assign(&Source);
  EXPECT_EQ(formatsOf(*Clip), std::vector<Word>{CF_BITMAP});
  EXPECT_EQ(Clip->GetAsHandle(CF_BITMAP).left(2), "BM");

  TPicture Pasted;
  Pasted.Assign(Clip.get());
  ASSERT_NE(dynamic_cast<TBitmap*>(Pasted.Graphic()), nullptr);
  EXPECT_EQ(Pasted.Width(), 5);
  EXPECT_EQ(PixelAt(Pasted.Bitmap(), 4, 4), clRed);

  TBitmap Target;
  Target.Assign(Clip.get());
  EXPECT_EQ(Target.Height(), 5);
  EXPECT_EQ(PixelAt(&Target, 0, 0), clRed);

  // Another picture format is drawn on a bitmap of its size.
  TJPEGImage Jpeg;
  Jpeg.Assign(&Red);
  Clip->Assign(&Jpeg);
  Target.Assign(Clip.get());
  EXPECT_EQ(Target.Width(), 5);

  TPicture Empty;
  Clip->Assign(&Empty);
  EXPECT_EQ(Clip->FormatCount(), 0) << "nothing to copy empties the clipboard";
}

TEST_F(ClipboardTest, PastingWithoutAGoodBitmapLeavesTheTargetAlone) {
  TBitmap Red;
  redSquare(Red, 3);
  TPicture Target;
  Target.SetGraphic(&Red);

  Clip->SetAsText("no picture");
  EXPECT_RAISES(Target.Assign(Clip.get()), EInvalidGraphic, "Unsupported clipboard format");
  EXPECT_EQ(Target.Width(), 3);

  Clip->SetAsHandle(CF_BITMAP, "BM not really");
  EXPECT_THROW(Target.Assign(Clip.get()), EInvalidGraphic);
  EXPECT_EQ(Target.Width(), 3);

  TStringList Lines;
  EXPECT_RAISES(Clip->Assign(&Lines), EConvertError, "Cannot assign a TStringList to a TClipboard");
  EXPECT_RAISES(Lines.Assign(Clip.get()), EConvertError, "Cannot assign a TClipboard to a TStringList");
}

// The Qt store, against the offscreen platform's in-process clipboard.
class QtClipboardTest : public ClipboardFixture {
protected:
  std::unique_ptr<TClipboard> Clip = std::make_unique<TClipboard>(MakeQtClipboardBackend());

  static QString namedType(const char* Name) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QLatin1String(Name));
  }
};

TEST_F(QtClipboardTest, AGridCopyReachesQtAndComesBackExactly) {
  const Word Xml = RegisterClipboardFormat("XML Spreadsheet");
  const QByteArray Dbif = hex("5643000100ff0000");
  const QByteArray CsvBlock = hex("c63b310a00");
  Clip->Open();
  Clip->SetAsHandle(CF_TEXT, hex("c6090a00"));
  Clip->SetAsHandle(CF_UNICODETEXT, hex("1604090000000000"));
  Clip->SetAsHandle(Csv, CsvBlock);
  Clip->SetAsHandle(Rtf, "{\\rtf1 x}");
  Clip->SetAsHandle(this->Dbif, Dbif);
  Clip->SetAsHandle(Xml, "<Workbook/>");
  Clip->Close();

  const QMimeData* Mime = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(Mime, nullptr);
  EXPECT_EQ(Mime->text(), QString::fromUtf8("Ж\t"));
  EXPECT_EQ(Mime->data(namedType("VCLDBIF")), Dbif);
  EXPECT_EQ(Mime->data(namedType("Csv")), CsvBlock);
  EXPECT_EQ(Mime->data("text/csv"), CsvBlock);
  EXPECT_EQ(Mime->data("text/rtf"), "{\\rtf1 x}");
  EXPECT_EQ(Mime->data(namedType("XML Spreadsheet")), "<Workbook/>");

  TClipboard Reader(MakeQtClipboardBackend());
  EXPECT_EQ(Reader.GetAsHandle(this->Dbif), Dbif);
  EXPECT_EQ(Reader.GetAsHandle(Csv), CsvBlock);
  EXPECT_EQ(Reader.GetAsHandle(Xml), "<Workbook/>");
  EXPECT_EQ(Reader.GetAsHandle(CF_UNICODETEXT), hex("160409000000"));
  EXPECT_EQ(Reader.GetAsHandle(CF_TEXT), hex("c60900"));
  EXPECT_EQ(formatsOf(Reader), (std::vector<Word>{CF_UNICODETEXT, Csv, Rtf, this->Dbif, Xml, CF_TEXT, CF_OEMTEXT}));
}

TEST_F(QtClipboardTest, OtherProgramsTextRichTextAndImagesArePasted) {
  auto* Mime = new QMimeData;
  Mime->setText(QString::fromUtf8("из редактора"));
  Mime->setData("text/rtf", "{\\rtf1 r}");
  Mime->setData("text/csv", "1;2");
  QImage Image(7, 3, QImage::Format_RGB32);
  Image.fill(Qt::blue);
  Mime->setImageData(Image);
  QGuiApplication::clipboard()->setMimeData(Mime);

  EXPECT_EQ(Clip->AsText(), QString::fromUtf8("из редактора"));
  EXPECT_TRUE(Clip->HasFormat(CF_TEXT));
  EXPECT_EQ(Clip->GetAsHandle(Rtf), "{\\rtf1 r}");
  EXPECT_EQ(Clip->GetAsHandle(Csv), "1;2");
  TPicture Pasted;
  Pasted.Assign(Clip.get());
  EXPECT_EQ(Pasted.Width(), 7);
  EXPECT_EQ(PixelAt(Pasted.Bitmap(), 6, 2), clBlue);
}

TEST_F(QtClipboardTest, ABitmapBecomesAQtImage) {
  TBitmap Red;
  redSquare(Red, 4);
  Clip->Assign(&Red);
  const QImage Image = qvariant_cast<QImage>(QGuiApplication::clipboard()->mimeData()->imageData());
  ASSERT_EQ(Image.size(), QSize(4, 4));
  EXPECT_EQ(Image.pixelColor(3, 3), QColor(Qt::red));
  EXPECT_FALSE(Clip->HasFormat(CF_TEXT));

  Clip->SetAsHandle(CF_ENHMETAFILE, "no Qt form");
  EXPECT_FALSE(Clip->HasFormat(CF_ENHMETAFILE)) << "formats without a Qt form are not kept";
}

}  // namespace
