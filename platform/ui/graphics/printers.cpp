#include "platform/ui/graphics/printers.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/fontmap.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/surface.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <cassert>
#include <vector>

namespace {

const char* const NoDefaultPrinterText = "There is no default printer currently selected";

[[noreturn]] void raiseNoPrinter() { throw EPrinter(QString::fromLatin1(NoDefaultPrinterText)); }

QPageLayout::Orientation qtOrientation(TPrinterOrientation Orientation) {
  return Orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

// ---------------------------------------------------------------------------
// no printer

class TNoPrinterBackend : public TPrinterBackend {
public:
  TPrinterPageInfo PageInfo(TPrinterOrientation) override { raiseNoPrinter(); }
  std::shared_ptr<TSurface> BeginDoc(const String&, TPrinterOrientation) override { raiseNoPrinter(); }
  // TPrinter never pages, ends or aborts a job that did not begin.
  void NewPage() override { assert(false && "no job without a printer"); }
  void EndDoc() override { assert(false && "no job without a printer"); }
  void Abort() override { assert(false && "no job without a printer"); }
};

// ---------------------------------------------------------------------------
// PDF files

// Fine enough for print-quality text and lines, and what the chart code's
// page arithmetic was made for.
constexpr int PdfDpi = 600;

class TPdfPrinterBackend : public TPrinterBackend {
public:
  explicit TPdfPrinterBackend(String Folder) : FFolder(std::move(Folder)) {}

  TPrinterPageInfo PageInfo(TPrinterOrientation Orientation) override {
    const QRect Page = layout(Orientation).fullRectPixels(PdfDpi);
    return {Page.width(), Page.height(), PdfDpi, PdfDpi};
  }

  std::shared_ptr<TSurface> BeginDoc(const String& Title, TPrinterOrientation Orientation) override {
    FFileName = fileName(Title);
    // The document is kept in memory and written at EndDoc: an aborted job
    // leaves no file behind.
    FBuffer = std::make_unique<QBuffer>();
    FBuffer->open(QIODevice::WriteOnly);
    FWriter = std::make_unique<QPdfWriter>(FBuffer.get());
    FWriter->setResolution(PdfDpi);
    FWriter->setPageLayout(layout(Orientation));
    FWriter->setTitle(Title);
    const TPrinterPageInfo Info = PageInfo(Orientation);
    FSurface = std::make_shared<TSurface>(TSurface::TKind::Printer, FWriter.get(), Info.Width, Info.Height,
                                          Info.DpiX, Info.DpiY);
    // Pages follow one another only while a painter is active.
    FSurface->Painter();
    return FSurface;
  }

  void NewPage() override { FWriter->newPage(); }

  void EndDoc() override {
    FSurface->EndPainting();
    const QByteArray Document = FBuffer->data();
    drop();
    QDir().mkpath(FFolder);
    TFileStream File(FFileName, fmCreate);
    File.WriteBuffer(Document.constData(), Document.size());
  }

  void Abort() override {
    FSurface->EndPainting();
    drop();
  }

private:
  static QPageLayout layout(TPrinterOrientation Orientation) {
    return QPageLayout(QPageSize(QPageSize::A4), qtOrientation(Orientation), QMarginsF());
  }

  String fileName(const String& Title) const {
    String Base = Title.isEmpty() ? QStringLiteral("print") : Title;
    Base.replace(u'/', u'_');
    return FFolder + u'/' + Base + u'-' + FormatDateTime(QStringLiteral("yyyymmdd-hhnnss"), Now()) +
           QStringLiteral(".pdf");
  }

  // The surface goes first: its painter works on the writer, which writes
  // into the buffer.
  void drop() {
    FSurface.reset();
    FWriter.reset();
    FBuffer.reset();
  }

  String FFolder;
  String FFileName;
  std::unique_ptr<QBuffer> FBuffer;
  std::unique_ptr<QPdfWriter> FWriter;
  std::shared_ptr<TSurface> FSurface;
};

// ---------------------------------------------------------------------------
// the system's printer

class TSystemPrinterBackend : public TPrinterBackend {
public:
  explicit TSystemPrinterBackend(const QPrinterInfo& Info) : FPrinter(Info, QPrinter::HighResolution) {}

  // The printable area: the painter's origin is its top-left corner.
  TPrinterPageInfo PageInfo(TPrinterOrientation Orientation) override {
    QPageLayout Layout = FPrinter.pageLayout();
    Layout.setOrientation(qtOrientation(Orientation));
    const int Dpi = FPrinter.resolution();
    const QRect Page = Layout.paintRectPixels(Dpi);
    return {Page.width(), Page.height(), Dpi, Dpi};
  }

  std::shared_ptr<TSurface> BeginDoc(const String& Title, TPrinterOrientation Orientation) override {
    FPrinter.setDocName(Title);
    FPrinter.setPageOrientation(qtOrientation(Orientation));
    const TPrinterPageInfo Info = PageInfo(Orientation);
    FSurface = std::make_shared<TSurface>(TSurface::TKind::Printer, &FPrinter, Info.Width, Info.Height, Info.DpiX,
                                          Info.DpiY);
    if (!FSurface->Painter()) {
      FSurface.reset();
      throw EPrinter(QStringLiteral("Printer selected is not valid"));
    }
    return FSurface;
  }

  void NewPage() override { FPrinter.newPage(); }

  void EndDoc() override {
    FSurface->EndPainting();
    FSurface.reset();
  }

  void Abort() override {
    FPrinter.abort();
    FSurface->EndPainting();
    FSurface.reset();
  }

private:
  QPrinter FPrinter;
  std::shared_ptr<TSurface> FSurface;
};

// ---------------------------------------------------------------------------
// the printer's canvas

class TPrinterCanvas : public TCanvas {
public:
  explicit TPrinterCanvas(TPrinter* Printer) : FPrinter(Printer) {}

protected:
  void CreateHandle() override {
    SetHandle(FPrinter->Handle());
    updateFont();
  }

  void Changing() override {
    if (HandleAllocated()) updateFont();
    TCanvas::Changing();
  }

private:
  // Font sizes are points: at the printer's resolution they keep the size
  // they have on the screen.
  void updateFont() {
    const int Dpi = gdi::GetDeviceCaps(FPrinter->Handle(), gdi::LOGPIXELSY);
    if (Font()->PixelsPerInch() == Dpi) return;
    const Integer Size = Font()->Size();
    Font()->SetPixelsPerInch(Dpi);
    Font()->SetSize(Size);
  }

  TPrinter* FPrinter;
};

TPrinter* GPrinter = nullptr;

}  // namespace

// ---------------------------------------------------------------------------
// backends

std::unique_ptr<TPrinterBackend> MakeNoPrinterBackend() { return std::make_unique<TNoPrinterBackend>(); }

std::unique_ptr<TPrinterBackend> MakePdfPrinterBackend(const String& Folder) {
  return std::make_unique<TPdfPrinterBackend>(Folder);
}

std::unique_ptr<TPrinterBackend> MakeDefaultPrinterBackend() {
  const QPrinterInfo Default = QPrinterInfo::defaultPrinter();
  if (!Default.isNull()) return std::make_unique<TSystemPrinterBackend>(Default);
  return MakePdfPrinterBackend(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

struct TRecordingPrinterBackend::TImpl {
  struct TPage {
    QImage Image;
    QStringList Calls;
  };

  TImpl(int AWidth, int AHeight, int ADpi) : Width(AWidth), Height(AHeight), Dpi(ADpi) {}

  int Width;
  int Height;
  int Dpi;
  TPrinterOrientation Orientation = poPortrait;
  QImage Current;  // the surface's device: it stays at this address for the whole job
  std::shared_ptr<TSurface> Surface;
  std::vector<TPage> Pages;
  QStringList Log;

  QImage blankPage() const {
    const TPrinterPageInfo Info = pageInfo(Orientation);
    QImage Page(Info.Width, Info.Height, QImage::Format_RGB32);
    Page.fill(Qt::white);
    const int DotsPerMeter = qRound(Dpi / 0.0254);
    Page.setDotsPerMeterX(DotsPerMeter);
    Page.setDotsPerMeterY(DotsPerMeter);
    return Page;
  }

  TPrinterPageInfo pageInfo(TPrinterOrientation Value) const {
    return Value == poLandscape ? TPrinterPageInfo{Height, Width, Dpi, Dpi} : TPrinterPageInfo{Width, Height, Dpi, Dpi};
  }

  void finishPage() {
    Surface->EndPainting();
    Pages.push_back({Current, Surface->RecordedCalls});
    Surface->RecordedCalls.clear();
  }
};

TRecordingPrinterBackend::TRecordingPrinterBackend(int Width, int Height, int Dpi)
    : F(std::make_unique<TImpl>(Width, Height, Dpi)) {}

TRecordingPrinterBackend::~TRecordingPrinterBackend() = default;

TPrinterPageInfo TRecordingPrinterBackend::PageInfo(TPrinterOrientation Orientation) {
  return F->pageInfo(Orientation);
}

std::shared_ptr<TSurface> TRecordingPrinterBackend::BeginDoc(const String& Title, TPrinterOrientation Orientation) {
  F->Log.append(QStringLiteral("BeginDoc(%1, %2)").arg(Title, GetEnumName(EnumTypeInfo(Orientation), Orientation)));
  F->Orientation = Orientation;
  F->Pages.clear();
  F->Current = F->blankPage();
  const TPrinterPageInfo Info = PageInfo(Orientation);
  F->Surface = std::make_shared<TSurface>(TSurface::TKind::Printer, &F->Current, Info.Width, Info.Height, Info.DpiX,
                                          Info.DpiY);
  F->Surface->Recording = true;
  return F->Surface;
}

void TRecordingPrinterBackend::NewPage() {
  F->Log.append(QStringLiteral("NewPage"));
  F->finishPage();
  F->Current = F->blankPage();
}

void TRecordingPrinterBackend::EndDoc() {
  F->Log.append(QStringLiteral("EndDoc"));
  F->finishPage();
  F->Surface.reset();
}

void TRecordingPrinterBackend::Abort() {
  F->Log.append(QStringLiteral("Abort"));
  F->Surface->EndPainting();
  F->Surface.reset();
  F->Pages.clear();
}

int TRecordingPrinterBackend::PageCount() const { return int(F->Pages.size()); }

const QImage& TRecordingPrinterBackend::Page(int Index) const { return F->Pages.at(Index).Image; }

const QStringList& TRecordingPrinterBackend::PageCalls(int Index) const { return F->Pages.at(Index).Calls; }

const QStringList& TRecordingPrinterBackend::Log() const { return F->Log; }

// ---------------------------------------------------------------------------
// TPrinter

TPrinter::TPrinter(std::unique_ptr<TPrinterBackend> Backend) : FBackend(std::move(Backend)) {}

TPrinter::~TPrinter() {
  if (FPrinting) Abort();
  releaseHandle();
}

void TPrinter::BeginDoc() {
  checkPrinting(false);
  std::shared_ptr<TSurface> Surface = backend().BeginDoc(FTitle, FOrientation);
  releaseHandle();
  FDC = CreateSurfaceDC(std::move(Surface));
  FPrinting = true;
  FAborted = false;
  FPageNumber = 1;
}

void TPrinter::NewPage() {
  checkPrinting(true);
  backend().NewPage();
  ++FPageNumber;
  if (FCanvas) FCanvas->Refresh();
}

void TPrinter::EndDoc() {
  checkPrinting(true);
  endJob();
  backend().EndDoc();
}

void TPrinter::Abort() {
  checkPrinting(true);
  endJob();
  FAborted = true;
  backend().Abort();
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
  checkPrinting(false);
  if (Value == FOrientation) return;
  FOrientation = Value;
  releaseHandle();
}

Integer TPrinter::PageWidth() { return gdi::GetDeviceCaps(Handle(), gdi::HORZRES); }

Integer TPrinter::PageHeight() { return gdi::GetDeviceCaps(Handle(), gdi::VERTRES); }

TCanvas* TPrinter::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TPrinterCanvas>(this);
  return FCanvas.get();
}

gdi::HDC TPrinter::Handle() {
  if (FDC) return FDC;
  const TPrinterPageInfo Info = backend().PageInfo(FOrientation);
  FDC = CreateSurfaceDC(
      std::make_shared<TSurface>(TSurface::TKind::Printer, nullptr, Info.Width, Info.Height, Info.DpiX, Info.DpiY));
  return FDC;
}

TStrings* TPrinter::Fonts() {
  if (!FFonts) {
    FFonts = std::make_unique<TStringList>();
    for (const String& Name : ScreenFontNames()) FFonts->Add(Name);
  }
  return FFonts.get();
}

std::unique_ptr<TPrinterBackend> TPrinter::SetBackend(std::unique_ptr<TPrinterBackend> Backend) {
  assert(!FPrinting && "the backend changes during a job");
  releaseHandle();
  std::swap(Backend, FBackend);
  return Backend;
}

TPrinterBackend& TPrinter::backend() {
  if (!FBackend) FBackend = MakeDefaultPrinterBackend();
  return *FBackend;
}

void TPrinter::checkPrinting(bool Value) const {
  if (FPrinting == Value) return;
  throw EPrinter(Value ? QStringLiteral("Printer is not currently printing") : QStringLiteral("Printing in progress"));
}

void TPrinter::releaseHandle() {
  if (FCanvas) FCanvas->SetHandle(nullptr);
  if (FDC) gdi::DeleteDC(FDC);
  FDC = nullptr;
}

void TPrinter::endJob() {
  releaseHandle();
  FPrinting = false;
  FPageNumber = 0;
}

TPrinter* Printer() {
  assert(GPrinter && "the ui unit is not initialized");
  return GPrinter;
}

// ---------------------------------------------------------------------------
// unit

void InitializePrinter() { GPrinter = new TPrinter(); }

void FinalizePrinter() {
  delete GPrinter;
  GPrinter = nullptr;
}
