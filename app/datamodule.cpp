#include "app/datamodule.h"

#include "app/fcommon.h"
#include "platform/db/datasource.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdguix.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/controls/commdlg.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/imagelist.h"

#include <QStringList>

TdmCatalog* dmCatalog = nullptr;

namespace {

constexpr int BusyTimeoutMs = 1000;
constexpr const char* DateFormat = "yyyy-mm-dd";
constexpr const char* WastebasketSQL = "Select * from bibliona where SBGR4_NMB=874";
constexpr Integer FirstRefuseType = 1;  // a new cleaning pair cleans titles
constexpr const char* NoParentRow = "The level above shows no row, so a new row here would belong to none";
constexpr const char* CatalogUnreadable = "The catalog %s cannot be read:\n%s";

// One query of the module with its data source, as designed.
struct TQueryDesign {
  TFDQuery* TdmCatalog::*Query;
  const char* Name;
  TDataSource* TdmCatalog::*Source;  // nullptr: the query has none
  const char* SourceName;
  const char* SQL;
  const char* IndexFieldNames;
  TDataSource* TdmCatalog::*Master;  // nullptr: no master
  const char* MasterFields;
  bool IndexesActive;
};

constexpr TQueryDesign QueryDesigns[] = {
    {&TdmCatalog::fdqPart1, "fdqPart1", &TdmCatalog::dsPart1, "dsPart1",
     "SELECT * FROM gr_name ORDER BY gr_title DESC", "GR_TITLE;GR_NUMBER", nullptr, "", true},
    {&TdmCatalog::fdqPart2, "fdqPart2", &TdmCatalog::dsPart2, "dsPart2",
     "select * from sbgr1_nm order by sbgr1_name desc", "GR_NUMBER;sbgr1_name", &TdmCatalog::dsPart1, "GR_NUMBER",
     true},
    {&TdmCatalog::fdqDisease, "fdqDisease", &TdmCatalog::dsDisease, "dsDisease",
     "select * from sbgr2_nm order by sbgr2_name desc", "SBGR1_NMB;sbgr2_name", &TdmCatalog::dsPart2, "SBGR1_NMB",
     true},
    {&TdmCatalog::fdqDisPropety, "fdqDisPropety", &TdmCatalog::dsDisPropety, "dsDisPropety",
     "select * from sbgr3_nm order by sbgr3_name desc", "SBGR2_NMB;sbgr3_name", &TdmCatalog::dsDisease, "SBGR2_NMB",
     true},
    {&TdmCatalog::fdqSubPropety, "fdqSubPropety", &TdmCatalog::dsSubPropety, "dsSubPropety",
     "select * from sbgr4_nm order by sbgr4_name desc", "SBGR3_NMB;sbgr4_name", &TdmCatalog::dsDisPropety,
     "SBGR3_NMB", true},
    {&TdmCatalog::fdqCatalog, "fdqCatalog", &TdmCatalog::dsCatalog, "dsCatalog",
     "select * from bibliona order by DATA_MAKE desc, DATA_INPUT desc", "sbgr4_nmb", &TdmCatalog::dsSubPropety,
     "SBGR4_NMB", true},
    {&TdmCatalog::fdqSelected, "fdqSelected", &TdmCatalog::dsSelected, "dsSelected", "select * from  cat_arc", "",
     nullptr, "", false},
    {&TdmCatalog::fdqSociety, "fdqSociety", &TdmCatalog::dsSociety, "dsSociety", "select * from society", "", nullptr,
     "", true},
    {&TdmCatalog::fdqJournal, "fdqJournal", &TdmCatalog::dsJournal, "dsJournal",
     "select * from journal order by short_name", "short_name", nullptr, "", true},
    {&TdmCatalog::fdqRefuse, "fdqRefuse", &TdmCatalog::dsRefuse, "dsRefuse",
     "select * from refuse order by refuse desc", "refuse; type", nullptr, "", true},
    {&TdmCatalog::fdqReference, "fdqReference", &TdmCatalog::dsReference, "dsReference", "select * from reference",
     "", nullptr, "", true},
    {&TdmCatalog::FDQuery1, "FDQuery1", nullptr, "", "", "", nullptr, "", true},
    {&TdmCatalog::fdqSeek, "fdqSeek", &TdmCatalog::dsSeekAll, "dsSeekAll",
     "select * from bibliona order by DATA_INPUT desc, NUMBER desc", "", nullptr, "", false},
};

// The key field of each level, from the group down.
constexpr std::array<const char*, 5> LevelKeyFields = {"gr_number", "sbgr1_nmb", "sbgr2_nmb", "sbgr3_nmb",
                                                       "sbgr4_nmb"};

String text(const char* Utf8) { return String::fromUtf8(Utf8); }

TField* field(TDataSet* DataSet, const char* Name) { return DataSet->FieldByName(text(Name)); }

String today() { return FormatDateTime(text(DateFormat), Date()); }

TFDQuery* query(TDataSet* DataSet) {
  auto* Query = dynamic_cast<TFDQuery*>(DataSet);
  assert(Query && "the module's handlers serve its queries only");
  return Query;
}

// A detail whose master shows no row would store a row with no parent link,
// which no list of the classification ever shows again.
void checkParentRow(TFDQuery* Query) {
  TDataSource* Master = Query->MasterSource();
  if (Master && Master->DataSet() && Master->DataSet()->IsEmpty()) throw EDatabaseError(text(NoParentRow));
}

bool editing(TDataSet* DataSet) { return DataSet->State() == dsEdit || DataSet->State() == dsInsert; }

// The glyphs of ImageList2: plain shapes on a masked background.
constexpr int GlyphSize = 16;
constexpr TColor GlyphBackground = clFuchsia;

void drawWastebasket(TCanvas* Canvas, bool Full) {
  Canvas->Pen()->SetColor(clBlack);
  if (Full) {
    Canvas->Brush()->SetColor(clWhite);
    Canvas->Rectangle(4, 1, 9, 6);
    Canvas->Rectangle(8, 2, 13, 6);
  }
  Canvas->Brush()->SetColor(clSilver);
  const TPoint Body[] = {Point(3, 5), Point(12, 5), Point(11, 15), Point(4, 15)};
  Canvas->Polygon(Body);
  Canvas->MoveTo(2, 5);
  Canvas->LineTo(14, 5);
  for (int X : {6, 8, 10}) {
    Canvas->MoveTo(X, 7);
    Canvas->LineTo(X, 14);
  }
}

// A page with a coloured head and lines, each index its own combination.
void drawPage(TCanvas* Canvas, int Index) {
  static constexpr TColor Heads[] = {clNavy, clGreen, clMaroon, clTeal, clPurple, clOlive};
  Canvas->Pen()->SetColor(clBlack);
  Canvas->Brush()->SetColor(clWhite);
  Canvas->Rectangle(2, 1, 14, 15);
  Canvas->Brush()->SetColor(Heads[Index % 6]);
  Canvas->FillRect(Rect(3, 2, 13, 5));
  for (int Line = 0; Line <= Index / 6; ++Line) {
    Canvas->MoveTo(4, 7 + 2 * Line);
    Canvas->LineTo(12, 7 + 2 * Line);
  }
}

void drawToolGlyph(TCanvas* Canvas, int Index) {
  Canvas->Brush()->SetColor(GlyphBackground);
  Canvas->FillRect(Rect(0, 0, GlyphSize, GlyphSize));
  if (Index == WastebasketEmptyImage || Index == WastebasketFullImage)
    drawWastebasket(Canvas, Index == WastebasketFullImage);
  else
    drawPage(Canvas, Index);
}

}  // namespace

TdmCatalog::TdmCatalog(TComponent* AOwner) : TComponent(AOwner) {
  SetName(QStringLiteral("dmCatalog"));
  createComponents();
  assignHandlers();
  DataModuleCreate(this);
}

void TdmCatalog::createComponents() {
  myFDConnection1 = new TFDConnection(this);
  myFDConnection1->SetName(QStringLiteral("myFDConnection1"));
  TFDConnectionDefParams* Params = myFDConnection1->Params();
  Params->Add(QStringLiteral("Database=") + DefaultDataBase);
  Params->Add(QStringLiteral("LockingMode=Normal"));
  Params->Add(QStringLiteral("BusyTimeout=%1").arg(BusyTimeoutMs));
  Params->Add(QStringLiteral("DriverID=SQLite"));
  myFDConnection1->SetLoginPrompt(false);
  myFDConnection1->TxOptions()->SetAutoStop(false);
  myFDConnection1->UpdateOptions()->SetUpdateMode(upWhereKeyOnly);
  myFDConnection1->UpdateOptions()->SetAutoCommitUpdates(false);

  FDPhysSQLiteDriverLink1 = new TFDPhysSQLiteDriverLink(this);
  FDPhysSQLiteDriverLink1->SetName(QStringLiteral("FDPhysSQLiteDriverLink1"));
  FDGUIxWaitCursor1 = new TFDGUIxWaitCursor(this);
  FDGUIxWaitCursor1->SetName(QStringLiteral("FDGUIxWaitCursor1"));
  FDGUIxWaitCursor1->SetProvider(QStringLiteral("Forms"));

  // In design order, so every master's data source exists before its details.
  for (const TQueryDesign& Design : QueryDesigns) {
    auto* Query = new TFDQuery(this);
    this->*Design.Query = Query;
    Query->SetName(text(Design.Name));
    Query->SetConnection(myFDConnection1);
    Query->SetCachedUpdates(true);
    Query->SQL()->SetText(text(Design.SQL));
    Query->SetIndexesActive(Design.IndexesActive);
    Query->SetIndexFieldNames(text(Design.IndexFieldNames));
    if (Design.Master) {
      Query->FetchOptions()->SetDetailCascade(true);
      Query->SetMasterSource(this->*Design.Master);
      Query->SetMasterFields(text(Design.MasterFields));
    }
    if (Design.Source) {
      auto* Source = new TDataSource(this);
      this->*Design.Source = Source;
      Source->SetName(text(Design.SourceName));
      Source->SetDataSet(Query);
    }
  }
  FDQuery1->UpdateOptions()->SetUpdateMode(upWhereChanged);

  FileOpenDialog = new TOpenDialog(this);
  FileOpenDialog->SetName(QStringLiteral("FileOpenDialog"));
  FileOpenDialog->Title = QStringLiteral("Выбор документа");
  FileOpenDialog->Filter = QStringLiteral(
      "документы|*.chm;*.doc;*.docx;*.pdf;*.txt|*.htm|*.HTM;*.HTML;*.CHM|*.txt|*.TXT|*.doc|*.DOC; *.DOCX|*.pdf|*.PDF|"
      "картинки|*.JPG;*.PNG;*.GIF|все файлы|*.*");
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName(QStringLiteral("SaveDialog1"));

  ImageList2 = new TImageList(this);
  ImageList2->SetName(QStringLiteral("ImageList2"));
  TBitmap Glyph;
  Glyph.SetSize(GlyphSize, GlyphSize);
  for (int Index = 0; Index <= WastebasketFullImage; ++Index) {
    drawToolGlyph(Glyph.Canvas(), Index);
    ImageList2->AddMasked(&Glyph, GlyphBackground);
  }
}

void TdmCatalog::assignHandlers() {
  fdqPart1->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqPart1NewRecord);
  fdqPart2->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqPart2NewRecord);
  fdqDisease->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqDiseaseNewRecord);
  fdqDisPropety->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqDisPropetyNewRecord);
  fdqSubPropety->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqSubPropetyNewRecord);
  fdqCatalog->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqCatalogNewRecord);
  fdqSelected->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqSelectedNewRecord);
  fdqRefuse->OnNewRecord = TDataSetNotifyEvent(this, &TdmCatalog::fdqRefuseNewRecord);

  for (TFDQuery* Query :
       {fdqPart1, fdqPart2, fdqDisease, fdqDisPropety, fdqSubPropety, fdqSociety, fdqJournal, fdqRefuse, fdqReference}) {
    Query->BeforeDelete = TDataSetNotifyEvent(this, &TdmCatalog::fdqBeforeDelete);
    Query->AfterDelete = TDataSetNotifyEvent(this, &TdmCatalog::fdqAfterDelete);
  }
  fdqCatalog->BeforeDelete = TDataSetNotifyEvent(this, &TdmCatalog::fdqCatalogBeforeDelete);
  fdqCatalog->AfterDelete = TDataSetNotifyEvent(this, &TdmCatalog::fdqCatalogAfterDelete);
  // The buffer holds copies only: its rows go without a question.
  fdqSelected->AfterDelete = TDataSetNotifyEvent(this, &TdmCatalog::fdqAfterDelete);
}

// ---------------------------------------------------------------------------
// opening

bool TdmCatalog::OpenCatalog(const String& DataBaseFullPath) {
  myFDConnection1->Close();
  myFDConnection1->Params()->SetDatabase(DataBaseFullPath);
  myFDConnection1->Params()->SetDriverID(QStringLiteral("SQLite"));
  try {
    myFDConnection1->Open();
  } catch (const EDatabaseError& E) {
    // The box has OK and Cancel, and either lets start-up go on.
    AskQuestion(TMessageKind::Error, E.Message + QStringLiteral("\nFile: ") + DataBaseFullPath,
                TMessageButtons::OKCancel, CommunicationErrorCaption);
    return false;
  }
  const String Problems = openQueries();
  if (Problems.isEmpty()) return true;
  ShowMessageBox(TMessageKind::Error, Format(text(CatalogUnreadable), {DataBaseFullPath, Problems}));
  return false;
}

String TdmCatalog::openQueries() {
  QStringList Problems;
  for (TFDQuery* Query :
       {fdqPart1, fdqPart2, fdqDisease, fdqDisPropety, fdqSubPropety, fdqCatalog, fdqSelected, fdqReference}) {
    try {
      Query->Open();
    } catch (const EDatabaseError& E) {
      if (!Problems.contains(E.Message)) Problems.push_back(E.Message);
    }
  }
  return Problems.join(u'\n');
}

std::array<bool, 5> TdmCatalog::PositionLevels(const TLevelKeys& Keys) {
  const std::array<TFDQuery*, 5> Levels = {fdqPart1, fdqPart2, fdqDisease, fdqDisPropety, fdqSubPropety};
  std::array<bool, 5> Found{};
  for (std::size_t Level = 0; Level < Levels.size(); ++Level)
    Found[Level] = Levels[Level]->Locate(text(LevelKeyFields[Level]), Keys[Level], {});
  return Found;
}

// ---------------------------------------------------------------------------
// storing and transactions

void TdmCatalog::ApplyAndClear(TFDQuery* Query) {
  Query->ApplyUpdates(/*MaxErrors=*/-1);
  Query->CommitUpdates();
}

void TdmCatalog::StartProgramTransaction() { myFDConnection1->StartTransaction(); }

void TdmCatalog::MakeStoredDurable() {
  if (myFDConnection1->TransactionLevel() != 1) return;
  myFDConnection1->Commit();
  myFDConnection1->StartTransaction();
}

void TdmCatalog::store(TFDQuery* Query) {
  ApplyAndClear(Query);
  MakeStoredDurable();
}

void TdmCatalog::CommitProgramTransaction() {
  // A failure is raised with the transaction left as it is: rolling back
  // would throw away the whole run's stored work for one busy moment, and
  // each apply is atomic, so closing can be tried again.  An engine error
  // that ended the transaction itself (a full disk, an I/O error) has
  // already ended the connection's levels and made their work pending again.
  if (editing(fdqCatalog)) fdqCatalog->Post();
  for (TFDQuery* Query : {fdqCatalog, fdqSubPropety, fdqDisPropety, fdqDisease, fdqPart2, fdqPart1, fdqSelected})
    if (Query->Active()) ApplyAndClear(Query);
  myFDConnection1->Commit();
}

// ---------------------------------------------------------------------------
// the wastebasket button

void TdmCatalog::RefreshWastebasket() {
  FDQuery1->Close();
  FDQuery1->SQL()->SetText(text(WastebasketSQL));
  FDQuery1->Open();
  const int Count = FDQuery1->RecordCount();
  FDQuery1->Close();
  FWastebasketImage = Count > 0 ? WastebasketFullImage : WastebasketEmptyImage;
  if (OnWastebasketChange) OnWastebasketChange(this);
}

// ---------------------------------------------------------------------------
// event handlers

void TdmCatalog::DataModuleCreate(TObject*) { myFDConnection1->Params()->SetDatabase(DefaultDataBase); }

void TdmCatalog::newLevelRow(TDataSet* DataSet, const String& NameField) {
  TFDQuery* Query = query(DataSet);
  checkParentRow(Query);
  Query->FieldByName(NameField)->SetAsString(QStringLiteral(".."));
  store(Query);
}

void TdmCatalog::fdqPart1NewRecord(TDataSet* DataSet) { newLevelRow(DataSet, QStringLiteral("gr_title")); }

void TdmCatalog::fdqPart2NewRecord(TDataSet* DataSet) { newLevelRow(DataSet, QStringLiteral("sbgr1_name")); }

void TdmCatalog::fdqDiseaseNewRecord(TDataSet* DataSet) { newLevelRow(DataSet, QStringLiteral("sbgr2_name")); }

void TdmCatalog::fdqDisPropetyNewRecord(TDataSet* DataSet) { newLevelRow(DataSet, QStringLiteral("sbgr3_name")); }

void TdmCatalog::fdqSubPropetyNewRecord(TDataSet* DataSet) {
  newLevelRow(DataSet, QStringLiteral("sbgr4_name"));
  if (OnMarkPosition) OnMarkPosition(this);
}

void TdmCatalog::fdqCatalogNewRecord(TDataSet* DataSet) {
  TFDQuery* Query = query(DataSet);
  checkParentRow(Query);
  field(Query, "sbgr4_nmb")->SetValue(field(fdqSubPropety, "sbgr4_nmb")->Value());
  field(Query, "file_type")->SetAsString(text(NewReferenceType));
  field(Query, "data_input")->SetAsString(today());
  store(Query);
  Query->Last();
  if (field(Query, "sbgr4_nmb")->AsInteger() == WastebasketSubgroup) RefreshWastebasket();
}

void TdmCatalog::fdqSelectedNewRecord(TDataSet* DataSet) {
  TFDQuery* Query = query(DataSet);
  field(Query, "data_input")->SetAsString(today());
  store(Query);
}

void TdmCatalog::fdqRefuseNewRecord(TDataSet* DataSet) {
  TFDQuery* Query = query(DataSet);
  field(Query, "type")->SetAsInteger(FirstRefuseType);
  store(Query);
  Query->Last();
}

void TdmCatalog::fdqBeforeDelete(TDataSet*) {
  if (AskQuestion(TMessageKind::Warning, DeleteQuestion, TMessageButtons::YesNo) != TMessageAnswer::Yes) Abort();
}

void TdmCatalog::fdqCatalogBeforeDelete(TDataSet* DataSet) {
  fdqBeforeDelete(DataSet);
  basket = field(DataSet, "sbgr4_nmb")->AsInteger() == WastebasketSubgroup;
}

void TdmCatalog::fdqAfterDelete(TDataSet* DataSet) {
  query(DataSet)->ApplyUpdates(/*MaxErrors=*/-1);
  MakeStoredDurable();
}

void TdmCatalog::fdqCatalogAfterDelete(TDataSet* DataSet) {
  fdqAfterDelete(DataSet);
  if (basket) RefreshWastebasket();
}
