// The printer: print jobs whose pages are drawn through a canvas with the
// drawing rules of gdi.h, over a replaceable backend.
//
// A job runs BeginDoc (page 1), NewPage for each further page, then EndDoc;
// Abort drops it instead.  Between jobs Handle is an information context: it
// answers GetDeviceCaps (LOGPIXELSX/Y the printer's resolution, HORZRES and
// VERTRES the page in device pixels) and measures text, and drawing on it
// does nothing.  BeginDoc gives the job a DC of its own, so the DC state set
// for a job (mapping mode, origins, extents, clip) lasts from its first page
// to its last and no longer.  The canvas draws on whichever of the two is
// current and keeps its font's point size at the printer's resolution.
//
// Backends: the program's prints on the system's default printer, or, when
// there is none, writes PDF files into the documents folder; tests record
// pages as images or have no printer at all (EPrinter "There is no default
// printer currently selected" from BeginDoc, PageWidth, PageHeight, Handle).
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/gdi.h"

#include <QStringList>
#include <memory>

class QImage;
class TCanvas;
class TStringList;
class TStrings;
class TSurface;

RTL_DECLARE_EXCEPTION(EPrinter, Exception)
RTL_ENUM(TPrinterOrientation, poPortrait, poLandscape)

// ---------------------------------------------------------------------------
// backends

// A page in one orientation: its drawable area in device pixels and the
// resolution in dots per inch.
struct TPrinterPageInfo {
  int Width = 0;
  int Height = 0;
  int DpiX = 0;
  int DpiY = 0;
};

// Where jobs go.  TPrinter checks the order of the calls (a job is begun
// before it is paged, ended or aborted, and never twice).
class TPrinterBackend {
public:
  virtual ~TPrinterBackend() = default;
  // The page in Orientation; EPrinter without a printer.
  virtual TPrinterPageInfo PageInfo(TPrinterOrientation Orientation) = 0;
  // Starts a job on its first page and answers the printer surface (of
  // PageInfo(Orientation)) its pages are drawn on; the backend keeps it until
  // EndDoc or Abort.  EPrinter without a printer.
  virtual std::shared_ptr<TSurface> BeginDoc(const String& Title, TPrinterOrientation Orientation) = 0;
  // Ends the current page and starts the next one.
  virtual void NewPage() = 0;
  // Ends the last page and hands the job over.
  virtual void EndDoc() = 0;
  // Drops the job: nothing of it comes out.
  virtual void Abort() = 0;
};

// No printer at all.
std::unique_ptr<TPrinterBackend> MakeNoPrinterBackend();
// PDF files in Folder (made when missing): A4 pages at 600 dpi without
// margins, one file per job named "<Title, or print>-<yyyymmdd-hhnnss>.pdf"
// from the clock at BeginDoc ('/' in the title becomes '_').  The file is
// written at EndDoc (EFCreateError when it cannot be); an aborted job leaves none.
std::unique_ptr<TPrinterBackend> MakePdfPrinterBackend(const String& Folder);
// The program's: the system's default printer, else PDF files in the user's
// documents folder.  Needs a QGuiApplication.
std::unique_ptr<TPrinterBackend> MakeDefaultPrinterBackend();

// For tests: each page becomes a white image of the chosen size and
// resolution with what was drawn on it, and the drawing calls are recorded
// (the format of gdi.h).
class TRecordingPrinterBackend : public TPrinterBackend {
public:
  // Portrait pages of Width x Height device pixels at Dpi; landscape swaps them.
  TRecordingPrinterBackend(int Width, int Height, int Dpi);
  ~TRecordingPrinterBackend() override;

  TPrinterPageInfo PageInfo(TPrinterOrientation Orientation) override;
  std::shared_ptr<TSurface> BeginDoc(const String& Title, TPrinterOrientation Orientation) override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;

  // The finished pages of the current or last job; a job that was aborted
  // keeps none.
  int PageCount() const;
  const QImage& Page(int Index) const;
  const QStringList& PageCalls(int Index) const;
  // One line per job call, for every job: "BeginDoc(<title>, poLandscape)",
  // "NewPage", "EndDoc", "Abort".
  const QStringList& Log() const;

private:
  struct TImpl;
  std::unique_ptr<TImpl> F;
};

// ---------------------------------------------------------------------------
// TPrinter

class TPrinter : public TObject {
  RTL_CLASS(TPrinter, TObject)
public:
  // Takes ownership of Backend; nullptr: MakeDefaultPrinterBackend when first needed.
  explicit TPrinter(std::unique_ptr<TPrinterBackend> Backend = nullptr);
  // A job still printing is aborted.
  ~TPrinter() override;

  // jobs (EPrinter "Printing in progress" for BeginDoc during a job, "Printer
  // is not currently printing" for the others outside one)
  void BeginDoc();
  void NewPage();
  void EndDoc();
  // Drops the job; Aborted stays True until the next BeginDoc.
  void Abort();

  // properties
  bool Aborted() const { return FAborted; }
  bool Printing() const { return FPrinting; }
  // 1 on the first page of a job, 0 outside one.
  Integer PageNumber() const { return FPageNumber; }
  // The job name; read by BeginDoc.
  const String& Title() const { return FTitle; }
  void SetTitle(const String& Value) { FTitle = Value; }
  TPrinterOrientation Orientation() const { return FOrientation; }
  // EPrinter "Printing in progress" during a job.
  void SetOrientation(TPrinterOrientation Value);
  // The page in device pixels in the current orientation.
  Integer PageWidth();
  Integer PageHeight();
  // Owned; draws on Handle.
  TCanvas* Canvas();
  // The job's DC while printing, else the information context.
  gdi::HDC Handle();
  // The font names the printer can print: the screen's fonts.
  TStrings* Fonts();

  // backend (test seam)
  // Installs Backend (nullptr: the default when next needed) and answers the
  // previous one; not during a job.
  std::unique_ptr<TPrinterBackend> SetBackend(std::unique_ptr<TPrinterBackend> Backend);

private:
  TPrinterBackend& backend();
  void checkPrinting(bool Value) const;
  // Detaches the canvas and frees the current DC.
  void releaseHandle();
  // Ends the job's state after EndDoc or Abort.
  void endJob();

  std::unique_ptr<TPrinterBackend> FBackend;
  String FTitle;
  TPrinterOrientation FOrientation = poPortrait;
  bool FPrinting = false;
  bool FAborted = false;
  Integer FPageNumber = 0;
  gdi::HDC FDC = nullptr;
  std::unique_ptr<TCanvas> FCanvas;
  std::unique_ptr<TStringList> FFonts;
};

// The process-wide printer (made by InitializePrinter).
TPrinter* Printer();

// Module start-up for the ui unit: the printer over the default backend,
// chosen when first needed; the finalizer frees it.
void InitializePrinter();
void FinalizePrinter();
