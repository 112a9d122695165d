#include "platform/ui/graphics/printers.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphicsunit.h"
#include "platform/ui/graphics/metrics.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const char* const NoPrinter = "There is no default printer currently selected";
const char* const NotPrinting = "Printer is not currently printing";
const char* const InProgress = "Printing in progress";

TColor colorAt(const QImage& Page, int X, int Y) {
  const QRgb P = Page.pixel(X, Y);
  return TColor(gdi::RGB(gdi::BYTE(qRed(P)), gdi::BYTE(qGreen(P)), gdi::BYTE(qBlue(P))));
}

// A printer over a recording backend: 200 x 300 pixel portrait pages at 600 dpi.
class PrinterTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitializeUnits({GraphicsUnit}); }

  PrinterTest() {
    auto Backend = std::make_unique<TRecordingPrinterBackend>(200, 300, 600);
    Recorder = Backend.get();
    Printer = std::make_unique<TPrinter>(std::move(Backend));
  }

  void fill(const TRect& R, TColor Color) {
    Printer->Canvas()->Brush()->SetColor(Color);
    Printer->Canvas()->FillRect(R);
  }

  TRecordingPrinterBackend* Recorder;
  std::unique_ptr<TPrinter> Printer;
};

TEST_F(PrinterTest, AJobOfTwoPagesKeepsWhatWasDrawnOnEach) {
  Printer->SetTitle("References");
  EXPECT_EQ(Printer->PageNumber(), 0);
  Printer->BeginDoc();
  EXPECT_TRUE(Printer->Printing());
  EXPECT_EQ(Printer->PageNumber(), 1);
  fill(Rect(10, 10, 40, 30), clRed);
  Printer->NewPage();
  EXPECT_EQ(Printer->PageNumber(), 2);
  fill(Rect(100, 200, 110, 210), clBlue);
  Printer->EndDoc();
  EXPECT_FALSE(Printer->Printing());
  EXPECT_FALSE(Printer->Aborted());
  EXPECT_EQ(Printer->PageNumber(), 0);

  EXPECT_EQ(Recorder->Log(), QStringList({"BeginDoc(References, poPortrait)", "NewPage", "EndDoc"}));
  ASSERT_EQ(Recorder->PageCount(), 2);
  const QImage& First = Recorder->Page(0);
  const QImage& Second = Recorder->Page(1);
  EXPECT_EQ(First.size(), QSize(200, 300));
  EXPECT_EQ(colorAt(First, 10, 10), clRed);
  EXPECT_EQ(colorAt(First, 39, 29), clRed);
  EXPECT_EQ(colorAt(First, 40, 30), clWhite);
  EXPECT_EQ(colorAt(First, 105, 205), clWhite) << "page 2's drawing is not on page 1";
  EXPECT_EQ(colorAt(Second, 105, 205), clBlue);
  EXPECT_EQ(colorAt(Second, 20, 20), clWhite) << "a new page starts blank";
  EXPECT_EQ(Recorder->PageCalls(0), QStringList({"FillRect(10,10,40,30) brush=$000000FF"}));
  EXPECT_EQ(Recorder->PageCalls(1), QStringList({"FillRect(100,200,110,210) brush=$00FF0000"}));
}

TEST_F(PrinterTest, AnAbortedJobKeepsNoPage) {
  Printer->BeginDoc();
  try {
    fill(Rect(0, 0, 5, 5), clRed);
    Printer->NewPage();
    throw EAbort(QStringLiteral("drawing failed"));
  } catch (const EAbort&) {
    Printer->Abort();
  }
  EXPECT_FALSE(Printer->Printing());
  EXPECT_TRUE(Printer->Aborted());
  EXPECT_EQ(Printer->PageNumber(), 0);
  EXPECT_EQ(Recorder->PageCount(), 0);
  EXPECT_EQ(Recorder->Log().last(), "Abort");

  Printer->BeginDoc();
  EXPECT_FALSE(Printer->Aborted()) << "a new job clears it";
  Printer->EndDoc();
  EXPECT_EQ(Recorder->PageCount(), 1);
}

TEST_F(PrinterTest, JobCallsOutOfOrderRaise) {
  EXPECT_RAISES(Printer->NewPage(), EPrinter, NotPrinting);
  EXPECT_RAISES(Printer->EndDoc(), EPrinter, NotPrinting);
  EXPECT_RAISES(Printer->Abort(), EPrinter, NotPrinting);
  Printer->BeginDoc();
  EXPECT_RAISES(Printer->BeginDoc(), EPrinter, InProgress);
  EXPECT_RAISES(Printer->SetOrientation(poLandscape), EPrinter, InProgress);
  EXPECT_EQ(Printer->Orientation(), poPortrait);
  Printer->EndDoc();
  EXPECT_EQ(Recorder->Log(), QStringList({"BeginDoc(, poPortrait)", "EndDoc"}));
}

TEST_F(PrinterTest, OrientationTurnsThePageAndTheDeviceAnswersItsSize) {
  EXPECT_EQ(Printer->PageWidth(), 200);
  EXPECT_EQ(Printer->PageHeight(), 300);
  Printer->SetOrientation(poLandscape);
  EXPECT_EQ(Printer->PageWidth(), 300);
  EXPECT_EQ(Printer->PageHeight(), 200);
  EXPECT_EQ(gdi::GetDeviceCaps(Printer->Handle(), gdi::HORZRES), 300);
  EXPECT_EQ(gdi::GetDeviceCaps(Printer->Handle(), gdi::LOGPIXELSX), 600);
  EXPECT_EQ(gdi::GetDeviceCaps(Printer->Handle(), gdi::LOGPIXELSY), 600);

  Printer->BeginDoc();
  EXPECT_EQ(Printer->PageWidth(), 300) << "the job's own DC";
  Printer->EndDoc();
  EXPECT_EQ(Recorder->Log().first(), "BeginDoc(, poLandscape)");
  EXPECT_EQ(Recorder->Page(0).size(), QSize(300, 200));
}

TEST_F(PrinterTest, TheMappingModeOfAJobLastsAcrossItsPagesOnly) {
  Printer->BeginDoc();
  // A chart drawn at screen size and scaled by the device to a page rectangle.
  gdi::HDC DC = Printer->Canvas()->Handle();
  gdi::SetMapMode(DC, gdi::MM_ANISOTROPIC);
  gdi::SetWindowExtEx(DC, 10, 10, nullptr);
  gdi::SetViewportExtEx(DC, 100, 100, nullptr);
  fill(Rect(1, 1, 2, 2), clRed);
  Printer->NewPage();
  fill(Rect(2, 2, 3, 3), clBlue);
  Printer->EndDoc();

  ASSERT_EQ(Recorder->PageCount(), 2);
  EXPECT_EQ(colorAt(Recorder->Page(0), 10, 10), clRed);
  EXPECT_EQ(colorAt(Recorder->Page(0), 19, 19), clRed);
  EXPECT_EQ(colorAt(Recorder->Page(1), 25, 25), clBlue) << "page 2 is still scaled";

  Printer->BeginDoc();
  EXPECT_EQ(gdi::GetMapMode(Printer->Canvas()->Handle()), gdi::MM_TEXT) << "a new job starts with a fresh DC";
  Printer->EndDoc();
}

TEST_F(PrinterTest, CanvasFontsKeepTheirPointSizeAtThePrinterResolution) {
  TCanvas* Canvas = Printer->Canvas();
  Canvas->Font()->SetName("Arial");
  Canvas->Font()->SetSize(10);
  // Before a job the canvas measures on the information context.
  const int Width = Canvas->TextWidth("Reference");
  EXPECT_EQ(Canvas->Font()->Size(), 10);
  EXPECT_EQ(Canvas->Font()->Height(), -83) << "10 points at 600 dpi";
  EXPECT_GT(Width, 4 * 83);
  fill(Rect(0, 0, 10, 10), clRed);  // drawing there does nothing

  Printer->BeginDoc();
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextOut(0, 0, "Reference");
  Printer->EndDoc();
  ASSERT_EQ(Recorder->PageCount(), 1);
  const QImage& Page = Recorder->Page(0);
  EXPECT_EQ(colorAt(Page, 5, 5), clWhite) << "the red square went to the information context";
  int Lowest = -1;  // the lowest row with ink: capitals of an 83-pixel font reach far below a screen font's
  for (int Y = 0; Y < Page.height(); ++Y)
    for (int X = 0; X < Page.width(); ++X)
      if (colorAt(Page, X, Y) != clWhite) Lowest = Y;
  EXPECT_GT(Lowest, 50);
  EXPECT_LT(Lowest, 83);
}

TEST_F(PrinterTest, WithoutAPrinterEveryDeviceQuestionRaises) {
  Printer->SetBackend(MakeNoPrinterBackend());
  EXPECT_RAISES(Printer->BeginDoc(), EPrinter, NoPrinter);
  EXPECT_RAISES(Printer->PageWidth(), EPrinter, NoPrinter);
  EXPECT_RAISES(Printer->PageHeight(), EPrinter, NoPrinter);
  EXPECT_RAISES(Printer->Handle(), EPrinter, NoPrinter);
  EXPECT_RAISES(Printer->Canvas()->FillRect(Rect(0, 0, 1, 1)), EPrinter, NoPrinter);
  EXPECT_FALSE(Printer->Printing());
  Printer->SetOrientation(poLandscape);  // still allowed
}

TEST_F(PrinterTest, FontsAreTheScreenFonts) {
  EXPECT_GE(Printer->Fonts()->IndexOf("Arial"), 0);
  EXPECT_GE(Printer->Fonts()->IndexOf("Times New Roman"), 0);
}

// Production PDF output into a temporary folder, at a pinned time.
class PdfPrinterTest : public PrinterTest {
protected:
  PdfPrinterTest() { Printer->SetBackend(MakePdfPrinterBackend(Dir.path() + "/out")); }

  String pdfPath(const char* Base) const { return Dir.path() + "/out/" + Base + "-20240519-103005.pdf"; }

  QTemporaryDir Dir;
  TManualClock Clock{EncodeDate(2024, 5, 19) + EncodeTime(10, 30, 5, 0)};
  TClockScope ClockScope{Clock};
};

TEST_F(PdfPrinterTest, AJobBecomesAPdfFileWithItsPages) {
  Printer->SetTitle("Chart 1/2");
  EXPECT_EQ(Printer->PageWidth(), 4958) << "A4 (595 x 842 points) at 600 dpi";
  EXPECT_EQ(Printer->PageHeight(), 7017);
  Printer->BeginDoc();
  fill(Rect(600, 600, 1200, 1200), clRed);
  Printer->Canvas()->TextOut(600, 1800, "Page one");
  Printer->NewPage();
  Printer->Canvas()->TextOut(600, 600, "Page two");
  EXPECT_FALSE(QFile::exists(pdfPath("Chart 1_2"))) << "written at EndDoc";
  Printer->EndDoc();

  QFile File(pdfPath("Chart 1_2"));
  ASSERT_TRUE(File.open(QIODevice::ReadOnly)) << pdfPath("Chart 1_2").toStdString();
  const QByteArray Pdf = File.readAll();
  EXPECT_TRUE(Pdf.startsWith("%PDF"));
  EXPECT_EQ(QString::fromLatin1(Pdf).count(QRegularExpression("/Type\\s*/Page(?!s)")), 2);
}

TEST_F(PdfPrinterTest, AnAbortedJobLeavesNoFile) {
  Printer->SetOrientation(poLandscape);
  EXPECT_EQ(Printer->PageWidth(), 7017);
  Printer->BeginDoc();
  fill(Rect(0, 0, 100, 100), clRed);
  Printer->Abort();
  EXPECT_TRUE(QDir(Dir.path() + "/out").entryList(QDir::Files).isEmpty());

  Printer->BeginDoc();
  Printer->EndDoc();
  EXPECT_TRUE(QFile::exists(pdfPath("print"))) << "an untitled job";
}

TEST_F(PdfPrinterTest, AFolderThatCannotBeWrittenRaisesAtEndDoc) {
  QFile Blocker(Dir.path() + "/blocked");
  ASSERT_TRUE(Blocker.open(QIODevice::WriteOnly));
  Blocker.close();
  Printer->SetBackend(MakePdfPrinterBackend(Dir.path() + "/blocked"));
  Printer->BeginDoc();
  EXPECT_THROW(Printer->EndDoc(), EFCreateError);
  EXPECT_FALSE(Printer->Printing()) << "the job is over even so";
}

}  // namespace
