// What the data module's suites share: a small catalog file made from the
// program's own schema in a temporary folder, the module opened on it, the
// message and question boxes recorded, and today pinned.
#pragma once

#include "app/datamodule.h"
#include "app/fcommon.h"
#include "platform/db/datasource.h"
#include "platform/db/fields.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdconsts.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "tests/platform/fd/fdfixture.h"
#include "tests/support/testing.h"

#include <QTemporaryDir>
#include <sqlite3.h>

#include <vector>

namespace dmtest {

using fdtest::TRawConnection;

// The classification (names are stored in the reverse of their order, so a
// list that kept the SQL's "ORDER BY ... DESC" would show them backwards):
//
//   1 CARDIOLOGY     101 Hypertension  1011 Drugs  10111 ACE       627 Trials (4 references)
//                                                                   628 Reviews (1)
//                                                  10112 Beta      (no subgroups)
//                                      1012 Diet   (no subgroups)
//                    102 Arrhythmias   1021 AF     10211 Ablation  700 Cryo (none)
//   2 ANATOMY        201 Bones         2011 Skull  20111 Vault     701 Sutures (none)
//   35 WASTEBASKET   350 Deleted       3500 Deleted 35000 Deleted  874 Wastebasket (1)
//
// The references of 627 in their default order (DATA_MAKE desc, DATA_INPUT
// desc) are 12, 11, 14, 13.
inline const char* const CatalogRows = R"(
INSERT INTO gr_name VALUES (1, 'CARDIOLOGY'), (2, 'ANATOMY'), (35, 'WASTEBASKET');
INSERT INTO sbgr1_nm VALUES (101, 1, 'Hypertension'), (102, 1, 'Arrhythmias'), (201, 2, 'Bones'),
  (350, 35, 'Deleted');
INSERT INTO sbgr2_nm VALUES (1011, 101, 'Drugs'), (1012, 101, 'Diet'), (1021, 102, 'AF'), (2011, 201, 'Skull'),
  (3500, 350, 'Deleted');
INSERT INTO sbgr3_nm VALUES (10112, 1011, 'Beta'), (10111, 1011, 'ACE'), (10211, 1021, 'Ablation'),
  (20111, 2011, 'Vault'), (35000, 3500, 'Deleted');
INSERT INTO sbgr4_nm VALUES (628, 10111, 'Reviews'), (627, 10111, 'Trials'), (700, 10211, 'Cryo'),
  (701, 20111, 'Sutures'), (874, 35000, 'Wastebasket');
INSERT INTO bibliona (number, sbgr4_nmb, source, author, data_make, journal, file_doc, data_input, file_type) VALUES
  (11, 627, 'Trial one', 'Smith J.', 2020, 'Lancet', '', '2021-01-10', 'rci'),
  (12, 627, 'Trial two', 'Lee S.', 2020, 'BMJ', '', '2021-03-01', 'atl'),
  (13, 627, 'Trial three', 'Brown A.', 2018, 'JAMA', '', '2019-05-05', 'sum'),
  (14, 627, 'Trial four', 'Иванов И.', 2019, 'Кардиология', '', '2019-06-06', 'met'),
  (21, 628, 'A review', 'Garcia M.', 2022, 'BMJ', '', '2022-02-02', 'rec'),
  (31, 874, 'Thrown away', 'Old A.', 2001, 'JAMA', '', '2002-02-02', 'sum');
INSERT INTO cat_arc (number, sbgr4_nmb, source, data_make, data_input, file_type) VALUES
  (1, 874, 'Trial one', 2020, '2024-01-01', 'rci');
INSERT INTO society VALUES ('ESC', 'European Society of Cardiology', 'https://www.escardio.org', 's');
INSERT INTO journal VALUES ('Lancet', 'The Lancet');
INSERT INTO refuse VALUES ('[PubMed]', '', 1);
INSERT INTO reference VALUES ('Author. Title // Journal. Year.', 'article', 'n', 'g', 'a');
)";

inline String schemaPath() {
  return SourcePath(QStringLiteral("app/catalog/schema.sql"));
}
// The rows of the sample catalog the build puts beside the program.
inline String samplePath() {
  return SourcePath(QStringLiteral("app/catalog/sample.sql"));
}

// Runs Sql on the file (created when missing) through a raw connection.
inline void execOnFile(const String& Path, const QByteArray& Sql) {
  sqlite3* Db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(Path.toUtf8().constData(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
            SQLITE_OK);
  char* Error = nullptr;
  const int Result = sqlite3_exec(Db, Sql.constData(), nullptr, nullptr, &Error);
  EXPECT_EQ(Result, SQLITE_OK) << (Error ? Error : "");
  sqlite3_free(Error);
  sqlite3_close(Db);
}

// One question box as the handler saw it.
struct TAsked {
  TMessageKind Kind;
  String Caption;
  String Text;
  TMessageButtons Buttons;
};

// The module over a fresh catalog file, opened as the main window opens it.
class DataModuleTest : public ::testing::Test {
protected:
  QTemporaryDir Dir;
  String Path = Dir.filePath(QStringLiteral("bibliona.sqlite"));
  TManualClock Today{EncodeDate(2024, 5, 17)};
  TClockScope ClockScope{Today};
  TdmCatalog* Dm = nullptr;
  std::vector<TAsked> Asked;
  std::vector<String> Shown;  // message boxes
  std::vector<TMessageKind> ShownKinds;
  TMessageAnswer Answer = TMessageAnswer::Yes;
  int WastebasketChanges = 0;
  int PositionMarks = 0;

  void SetUp() override {
    execOnFile(Path, "BEGIN;" + FileBytes(schemaPath()) + CatalogRows + "COMMIT;");
    FPreviousQuestion = SetQuestionHandler(
        [this](TMessageKind Kind, const String& Caption, const String& Text, TMessageButtons Buttons) {
          Asked.push_back({Kind, Caption, Text, Buttons});
          return Answer;
        });
    FPreviousMessage = SetMessageHandler([this](TMessageKind Kind, const String& Text) {
      Shown.push_back(Text);
      ShownKinds.push_back(Kind);
    });
    Dm = new TdmCatalog(nullptr);
    Dm->OnWastebasketChange = TNotifyEvent([this](TObject*) { ++WastebasketChanges; });
    Dm->OnMarkPosition = TNotifyEvent([this](TObject*) { ++PositionMarks; });
  }

  void TearDown() override {
    for (TFDQuery* Query : {Dm->fdqPart1, Dm->fdqPart2, Dm->fdqDisease, Dm->fdqDisPropety, Dm->fdqSubPropety,
                            Dm->fdqCatalog, Dm->fdqSelected, Dm->fdqReference})
      if (Query->Active()) {
        EXPECT_TRUE(Query->CheckConsistency()) << Query->Name().toStdString();
      }
    Dm->Free();
    SetQuestionHandler(FPreviousQuestion);
    SetMessageHandler(FPreviousMessage);
  }

  // Opens the catalog; a test that expects success asserts on it.
  bool Open() { return Dm->OpenCatalog(Path); }

  // Field Name of the current row of Query as text.
  static String Value(TFDQuery* Query, const char* Name) {
    return Query->FieldByName(QString::fromUtf8(Name))->AsString();
  }
  // Field Name of every row Query shows, in order; the cursor stays.
  static std::vector<String> Column(TFDQuery* Query, const char* Name) {
    std::vector<String> Values;
    const TBookmark Here = Query->Bookmark();
    Query->DisableControls();
    for (Query->First(); !Query->Eof(); Query->Next()) Values.push_back(Value(Query, Name));
    if (!Here.isEmpty()) Query->SetBookmark(Here);
    Query->EnableControls();
    return Values;
  }
  // The rows a second connection sees in the file: what is durable.
  std::vector<String> Durable(const char* Sql) { return TRawConnection(Path).Rows(Sql); }

private:
  TQuestionHandler FPreviousQuestion;
  TMessageBoxHandler FPreviousMessage;
};

inline std::vector<String> Lines(std::initializer_list<const char*> Items) {
  std::vector<String> Result;
  for (const char* Item : Items) Result.push_back(String::fromUtf8(Item));
  return Result;
}

}  // namespace dmtest
