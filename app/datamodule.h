// The catalog's data module TdmCatalog: the one connection to the catalog file
// and every query and data source the windows use, owned for the whole run.
// No window opens a connection of its own.
//
// The classification chain: each query follows the data source above it on
// the link field, and the layer re-ranges every level below a moved master at
// once.  The range is the equality of the detail's first index field with the
// master field; inside it the index orders the rows, so the level lists read
// by name whatever the SQL's ORDER BY says, while the references keep the
// order of fdqCatalog's ORDER BY (the index holds nothing after the link).
//
//   fdqPart1      gr_name   --gr_number-->  fdqPart2       sbgr1_nm
//   fdqPart2      sbgr1_nm  --sbgr1_nmb-->  fdqDisease     sbgr2_nm
//   fdqDisease    sbgr2_nm  --sbgr2_nmb-->  fdqDisPropety  sbgr3_nm
//   fdqDisPropety sbgr3_nm  --sbgr3_nmb-->  fdqSubPropety  sbgr4_nm
//   fdqSubPropety sbgr4_nm  --sbgr4_nmb-->  fdqCatalog     bibliona
//
// Storing: edits go into the queries' caches.  A cache is stored by applying
// it with no error limit and then clearing its change log (ApplyAndClear).
// New rows are stored by their OnNewRecord handlers, deletions by the
// after-delete handlers (applied, not cleared).  A posted change that is not
// applied stays pending until the next apply of its query or the shutdown.
//
// Transactions: one program-wide transaction runs from the main window's
// first show (StartProgramTransaction) to its close (CommitProgramTransaction).
// A modal window that edits data starts and ends a transaction of its own on
// myFDConnection1 meanwhile; the connection nests it as a savepoint, so its
// commit hands its changes to the program-wide transaction.  That one is made
// durable at every store point (MakeStoredDurable): after the module stores a
// cache, and after a window's nested level ends with a commit, it is
// committed and started again at once, so a crash, a kill or a power cut
// loses no stored work and a backup of the file holds it.
#pragma once

#include "app/settings.h"
#include "platform/rtl/component.h"

#include <array>

class TDataSet;
class TDataSource;
class TFDConnection;
class TFDGUIxWaitCursor;
class TFDPhysSQLiteDriverLink;
class TFDQuery;
class TImageList;
class TOpenDialog;
class TSaveDialog;

// The special rows every catalog holds.
inline constexpr Integer ComorbidityGroup = 14;
inline constexpr Integer PrognosisGroup = 24;
inline constexpr Integer PsychosomaticsGroup = 26;
inline constexpr Integer WastebasketGroup = 35;
// The level-5 subgroup of the wastebasket; buffer rows carry it too.
inline constexpr Integer WastebasketSubgroup = 874;

// Images of the "View wastebasket" tool button.
inline constexpr int WastebasketEmptyImage = 19;
inline constexpr int WastebasketFullImage = 20;

// The reference-type codes in their fixed order: the position is the image
// index in the reference grid and the item index of the type combo boxes.
struct TReferenceType {
  const char* Code;   // stored in bibliona.file_type
  const char* Label;  // shown in the type combo boxes
};
inline constexpr std::array<TReferenceType, 9> ReferenceTypes = {{
    {"sum", "abstract"},
    {"atl", "article"},
    {"bk", "book"},
    {"rec", "guideline"},
    {"met", "meta-analysis"},
    {"rci", "RCT"},
    {"reg", "register"},
    {"pic", "picture"},
    {"onln", "online first"},
}};
// The code a new reference gets.
inline constexpr const char* NewReferenceType = ReferenceTypes[0].Code;

inline constexpr QLatin1StringView DefaultDataBase{"bibliona.sqlite"};
inline constexpr QLatin1StringView DeleteQuestion{"Are you sure you want to delete?"};
inline constexpr QLatin1StringView CommunicationErrorCaption{"Database communication error"};

class TdmCatalog : public TComponent {
  RTL_CLASS(TdmCatalog, TComponent)
public:
  // Makes every component with its design-time properties, then runs
  // DataModuleCreate.  Nothing connects: OpenCatalog does.
  explicit TdmCatalog(TComponent* AOwner);

  // components, all owned by the module
  TFDConnection* myFDConnection1;
  TFDPhysSQLiteDriverLink* FDPhysSQLiteDriverLink1;
  TFDGUIxWaitCursor* FDGUIxWaitCursor1;
  // the classification chain and the references
  TFDQuery* fdqPart1;
  TDataSource* dsPart1;
  TFDQuery* fdqPart2;
  TDataSource* dsPart2;
  TFDQuery* fdqDisease;
  TDataSource* dsDisease;
  TFDQuery* fdqDisPropety;
  TDataSource* dsDisPropety;
  TFDQuery* fdqSubPropety;
  TDataSource* dsSubPropety;
  TFDQuery* fdqCatalog;
  TDataSource* dsCatalog;
  // the selection buffer and the side tables
  TFDQuery* fdqSelected;
  TDataSource* dsSelected;
  TFDQuery* fdqSociety;
  TDataSource* dsSociety;
  TFDQuery* fdqJournal;
  TDataSource* dsJournal;
  TFDQuery* fdqRefuse;
  TDataSource* dsRefuse;
  TFDQuery* fdqReference;
  TDataSource* dsReference;
  // statements that bypass the caches: ad-hoc ones and the search windows'
  TFDQuery* FDQuery1;
  TFDQuery* fdqSeek;
  TDataSource* dsSeekAll;
  // the shared file dialogs: each user sets its own title, filter and folder
  TOpenDialog* FileOpenDialog;
  TSaveDialog* SaveDialog1;
  // the images of the main tool bar and menus, 16 x 16; the wastebasket's
  // two states at WastebasketEmptyImage and WastebasketFullImage
  TImageList* ImageList2;

  // opening
  // The main window's connecting step: disconnects, names DataBaseFullPath
  // with driver "SQLite", connects and opens fdqPart1, fdqPart2, fdqDisease,
  // fdqDisPropety, fdqSubPropety, fdqCatalog, fdqSelected and fdqReference.
  // A connection failure shows the engine's text and the file under
  // "Database communication error" (OK and Cancel) and opens nothing; a
  // query that cannot open (a file without the catalog's tables) is reported
  // in one message naming the file, and the others open.  Answers whether
  // everything opened.
  bool OpenCatalog(const String& DataBaseFullPath);
  // Positions the five level queries on Keys, from the group down; a key that
  // is not found leaves its level where the cascade put it.  Answers, level
  // by level, whether the key was found.
  std::array<bool, 5> PositionLevels(const TLevelKeys& Keys);

  // storing and transactions
  // Applies Query's cache with no error limit, then clears its change log.
  static void ApplyAndClear(TFDQuery* Query);
  // Starts the program-wide transaction (the main window's first show).
  void StartProgramTransaction();
  // When the program-wide transaction is the only level open, commits it and
  // starts it again at once, so everything stored so far is in the file.
  // Inside a nested level (or with no transaction) it does nothing: the
  // window that ends the level calls it after its commit.
  void MakeStoredDurable();
  // The close's storing step: posts an edit of fdqCatalog, applies and
  // clears the caches of fdqCatalog, fdqSubPropety, fdqDisPropety,
  // fdqDisease, fdqPart2, fdqPart1 and fdqSelected in that order, then
  // commits.  A failing step raises its error and leaves the transaction
  // open with everything stored in it so far, so closing can be tried again;
  // only a transaction the engine itself ended is given up.
  void CommitProgramTransaction();

  // the wastebasket button
  // Counts the references of subgroup 874 through FDQuery1 and sets
  // WastebasketImage: 20 when there is one, else 19; then OnWastebasketChange.
  void RefreshWastebasket();
  // The image the "View wastebasket" button shows; 19 until the first
  // refresh.
  int WastebasketImage() const { return FWastebasketImage; }

  // events for the main window
  // After every RefreshWastebasket: the button takes WastebasketImage.
  TNotifyEvent OnWastebasketChange;
  // A new level-5 subgroup was stored and is current: the main window marks
  // the position, so references can be moved into it straight away.
  TNotifyEvent OnMarkPosition;

  // event handlers, fired by the data-access layer
  void DataModuleCreate(TObject* Sender);
  void fdqPart1NewRecord(TDataSet* DataSet);
  void fdqPart2NewRecord(TDataSet* DataSet);
  void fdqDiseaseNewRecord(TDataSet* DataSet);
  void fdqDisPropetyNewRecord(TDataSet* DataSet);
  void fdqSubPropetyNewRecord(TDataSet* DataSet);
  void fdqCatalogNewRecord(TDataSet* DataSet);
  void fdqSelectedNewRecord(TDataSet* DataSet);
  void fdqRefuseNewRecord(TDataSet* DataSet);
  // The before-delete handler of every confirming query but fdqCatalog:
  // "Are you sure you want to delete?"; No is a silent abort.
  void fdqBeforeDelete(TDataSet* DataSet);
  void fdqCatalogBeforeDelete(TDataSet* DataSet);
  // The after-delete handler of the confirming queries and fdqSelected:
  // applies the cache (the change log keeps the entry).
  void fdqAfterDelete(TDataSet* DataSet);
  void fdqCatalogAfterDelete(TDataSet* DataSet);

private:
  void createComponents();
  void assignHandlers();
  // A new row of a level: Name := "..", stored at once.
  void newLevelRow(TDataSet* DataSet, const String& NameField);
  // Opens the eight queries the main window uses; answers their distinct
  // errors, one a line ("" when all opened).
  String openQueries();
  // Stores a row at once: ApplyAndClear, then MakeStoredDurable.
  void store(TFDQuery* Query);

  int FWastebasketImage = WastebasketEmptyImage;
  bool basket = false;  // a reference of subgroup 874 is being deleted
};

// The program's data module, created by the program at start-up and freed at
// its end; nullptr outside that span.
extern TdmCatalog* dmCatalog;
