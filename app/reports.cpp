#include "app/reports.h"

#include "app/fcommon.h"
#include "app/settings.h"
#include "platform/db/dataset.h"
#include "platform/db/fields.h"
#include "platform/os/drivemap.h"
#include "platform/os/filesys.h"
#include "platform/os/shell.h"
#include "platform/os/wordapp.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/strutils.h"
#include "platform/rtl/textfiles.h"

#include <functional>

namespace {

constexpr const char* LineBreak = "\r\n";
constexpr const char* AbstractHeading = "ABSTRACT";
constexpr const char* ReportHeading = "\r\nLiterature\r\n";
constexpr double HeadingFontSize = 16;

struct TReportRow {
  String Citation;
  String Abstract;  // "" when the report leaves it out
};

// Calls Row for every buffer row from the first, the buffer's controls
// quiet meanwhile.
void forEachRow(TDataSet* Buffer, bool WithAbstracts, const std::function<void(const TReportRow&)>& Row) {
  struct TQuietControls {
    TDataSet* DataSet;
    explicit TQuietControls(TDataSet* D) : DataSet(D) { DataSet->DisableControls(); }
    ~TQuietControls() { DataSet->EnableControls(); }
  } Quiet(Buffer);
  for (Buffer->First(); !Buffer->Eof(); Buffer->Next())
    Row({Buffer->FieldByName(QStringLiteral("Source"))->AsString(),
         WithAbstracts ? Buffer->FieldByName(QStringLiteral("Summary"))->AsString() : String()});
}

// Builds the report through Application; raises what Word raises.
void typeReport(TWordApplication* Application, TWordDocument* Document, TWordParagraphFormat* Format,
                TDataSet* Buffer, const TSettings& Settings, const String& FileName) {
  Application->SetConnectKind(ckNewInstance);
  Application->Connect();
  Application->SetVisible(Settings.ReportEdit);
  Application->Documents().Add();
  Document->ConnectTo(Application->ActiveDocument());
  Format->ConnectTo(Application->Selection().ParagraphFormat());
  Format->SetAlignment(wdAlignParagraphCenter);
  WordSelection Selection = Application->Selection();
  Selection.Font().SetName(Settings.prFontName);
  Selection.Font().SetSize(HeadingFontSize);
  Selection.Font().SetBold(true);
  Selection.TypeText(QLatin1String(ReportHeading));
  Selection.Font().SetBold(false);
  Selection.Font().SetSize(Settings.prFontSize);
  Format->SetAlignment(wdAlignParagraphLeft);
  forEachRow(Buffer, Settings.ReferatOut, [&Selection](const TReportRow& Row) {
    Selection.TypeText(Row.Citation);
    if (!Row.Abstract.isEmpty()) {
      Selection.TypeText(QLatin1String(LineBreak));
      Selection.TypeText(QLatin1String(AbstractHeading));
      Selection.TypeText(QLatin1String(LineBreak));
      Selection.TypeText(Row.Abstract);
    }
    Selection.TypeText(QLatin1String(LineBreak));
  });
  const TDateTime Moment = Now();
  Selection.TypeText(FormatDateTime(QStringLiteral("yyyy-mm-dd"), Moment) + QStringLiteral("  ") +
                     FormatDateTime(FormatSettings().LongTimeFormat, Moment));
  if (!Document->Saved()) Document->SaveAs(FileName);
  if (Settings.ReportEdit) return;  // the user goes on in Word
  Document->Close(/*SaveChanges=*/true);
  Application->Quit();
}

}  // namespace

bool IsWordInstalled() { return WordServer().Installed(); }

void LiterToFile(TDataSet* Buffer, const String& FileOut, const TSettings& Settings) {
  if (FileOut.isEmpty()) return;
  {
    TStreamWriter Writer(NativePath(FileOut), /*Append=*/false, TEncoding::UTF8());
    forEachRow(Buffer, Settings.ReferatOut, [&Writer](const TReportRow& Row) {
      Writer.WriteLine(Row.Citation);
      if (!Row.Abstract.isEmpty()) {
        Writer.WriteLine();
        Writer.WriteLine(QLatin1String(AbstractHeading));
        Writer.WriteLine(Row.Abstract);
      }
      Writer.WriteLine();
    });
    Writer.Close();
  }
  if (Settings.ReportEdit) ShellExecute(0, QStringLiteral("open"), FileOut, String(), String(), SW_SHOWNORMAL);
}

String ReportFileName(const String& ReportCatalog, Integer Cnt) {
  return TPath::Combine(ReportCatalog, QStringLiteral("report") + IntToStr(Cnt) + QStringLiteral(".doc"));
}

String MakeText1(TComponent* Owner, TDataSet* Buffer, const TSettings& Settings, Integer& cnt) {
  if (!IsWordInstalled()) {
    ShowMessageBox(TMessageKind::Plain, WordMissingText);
    return String();
  }
  do ++cnt;
  while (FileExists(ReportFileName(Settings.ReportCatalog, cnt)));
  const String FileName = ReportFileName(Settings.ReportCatalog, cnt);

  // Owner keeps the components of a report left open in Word; the others go
  // as soon as Word has quit.
  auto* WordApplication1 = new TWordApplication(Owner);
  auto* WordDocument1 = new TWordDocument(Owner);
  auto* WordParagraphFormat1 = new TWordParagraphFormat(Owner);
  const auto release = [&] {
    for (TComponent* Component : {static_cast<TComponent*>(WordParagraphFormat1),
                                  static_cast<TComponent*>(WordDocument1), static_cast<TComponent*>(WordApplication1)})
      Component->Free();
  };
  try {
    typeReport(WordApplication1, WordDocument1, WordParagraphFormat1, Buffer, Settings, FileName);
  } catch (const Exception&) {
    // A Word left running would hold the half-made report.  Quit ends the
    // instance even when it fails itself; the first error is the one to report.
    try {
      WordApplication1->Quit();
    } catch (const EOleException&) {
    }
    release();
    throw;
  }
  if (!Settings.ReportEdit) release();
  return FileName;
}
