// The data module on a large catalog: 100,000 references over 2,000 level-5
// subgroups (10 groups x 5 x 4 x 2 x 5), opened as the main window opens it,
// then browsed with grids' data links attached to every level.
//
// Yardsticks in the same process: a plain sqlite3 loop that reads the rows of
// the same eight statements into memory, and one that re-reads the
// references of one subgroup per move, as a program without a client-side
// range would.  Goals: opening within 2x of its loop, a master move under
// 1 ms.
#include "app/datamodule.h"
#include "platform/db/datasource.h"
#include "platform/fd/fdquery.h"
#include "platform/rtl/units.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace {

constexpr int ReferenceCount = 100000;
constexpr int Groups = 10;
constexpr int Fanout[] = {5, 4, 2, 5};  // children per row of levels 1 to 4
constexpr int SubgroupCount = Groups * 5 * 4 * 2 * 5;
constexpr int BufferRows = 200;
constexpr int GridRows = 25;   // rows the reference grid shows
constexpr int LevelRows = 12;  // rows a level grid shows

// The statements the main window's queries open with, in their order.
constexpr const char* MainWindowSQL[] = {
    "SELECT * FROM gr_name ORDER BY gr_title DESC",
    "select * from sbgr1_nm order by sbgr1_name desc",
    "select * from sbgr2_nm order by sbgr2_name desc",
    "select * from sbgr3_nm order by sbgr3_name desc",
    "select * from sbgr4_nm order by sbgr4_name desc",
    "select * from bibliona order by DATA_MAKE desc, DATA_INPUT desc",
    "select * from  cat_arc",
    "select * from reference",
};
constexpr const char* SubgroupSQL =
    "select * from bibliona where sbgr4_nmb = ? order by DATA_MAKE desc, DATA_INPUT desc";

// A deterministic stream of numbers: every run builds the same catalog.
class Random {
public:
  std::uint32_t Next(std::uint32_t Bound) {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return std::uint32_t(FState >> 33) % Bound;
  }

private:
  std::uint64_t FState = 0x9E3779B97F4A7C15ULL;
};

constexpr std::array<const char*, 20> Words = {
    "clinical", "outcomes", "treatment", "patients", "chronic",   "heart",     "failure",
    "trial",    "therapy",  "acute",     "risk",     "mortality", "лечение",   "пациентов",
    "терапии",  "детей",    "инфаркта",  "миокарда", "результаты", "гипертензии"};
constexpr std::array<const char*, 9> Types = {"sum", "atl", "bk", "rec", "met", "rci", "reg", "pic", "onln"};

std::string words(Random& R, std::size_t Length) {
  std::string Text;
  while (Text.size() < Length) {
    if (!Text.empty()) Text += ' ';
    Text += Words[R.Next(Words.size())];
  }
  return Text;
}

class TStatement {
public:
  TStatement(sqlite3* Db, const char* Sql) { sqlite3_prepare_v2(Db, Sql, -1, &FStmt, nullptr); }
  ~TStatement() { sqlite3_finalize(FStmt); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  sqlite3_stmt* operator*() const { return FStmt; }

  // Binds the values in order, runs once and resets.
  template <class... T>
  void Run(const T&... Values) {
    int Column = 1;
    (bind(Column++, Values), ...);
    sqlite3_step(FStmt);
    sqlite3_reset(FStmt);
  }

private:
  void bind(int Column, int Value) { sqlite3_bind_int(FStmt, Column, Value); }
  void bind(int Column, const std::string& Value) {
    sqlite3_bind_text(FStmt, Column, Value.c_str(), int(Value.size()), SQLITE_TRANSIENT);
  }
  sqlite3_stmt* FStmt = nullptr;
};

// The catalog file, made once per run from the program's own schema.
class TCatalogFile {
public:
  TCatalogFile() : FPath(FDir.filePath(QStringLiteral("bibliona.sqlite"))) {
    QFile Schema(QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() +
                 QStringLiteral("/../../app/catalog/schema.sql"));
    Schema.open(QIODevice::ReadOnly);
    sqlite3* Db = nullptr;
    sqlite3_open_v2(FPath.toUtf8().constData(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_exec(Db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(Db, Schema.readAll().constData(), nullptr, nullptr, nullptr);
    Random R;
    fillLevels(Db, R);
    fillReferences(Db, R);
    TStatement Buffer(Db, "INSERT INTO cat_arc (number, sbgr4_nmb, source, data_make, data_input, file_type) "
                          "VALUES (?, 874, ?, 2020, '2024-01-01', 'sum')");
    for (int I = 1; I <= BufferRows; ++I) Buffer.Run(I, words(R, 120));
    sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(Db);
  }

  const String& Path() const { return FPath; }

private:
  // Keys run 1, 2, ... per level; row N of a level hangs under row
  // (N - 1) / fanout + 1 of the level above.
  void fillLevels(sqlite3* Db, Random& R) {
    TStatement Group(Db, "INSERT INTO gr_name VALUES (?, ?)");
    for (int Key = 1; Key <= Groups; ++Key) Group.Run(Key, words(R, 20));
    const char* Inserts[] = {"INSERT INTO sbgr1_nm VALUES (?, ?, ?)", "INSERT INTO sbgr2_nm VALUES (?, ?, ?)",
                             "INSERT INTO sbgr3_nm VALUES (?, ?, ?)", "INSERT INTO sbgr4_nm VALUES (?, ?, ?)"};
    int Rows = Groups;
    for (int Level = 0; Level < 4; ++Level) {
      TStatement Insert(Db, Inserts[Level]);
      Rows *= Fanout[Level];
      for (int Key = 1; Key <= Rows; ++Key) Insert.Run(Key, (Key - 1) / Fanout[Level] + 1, words(R, 25));
    }
  }

  void fillReferences(sqlite3* Db, Random& R) {
    TStatement Insert(Db, "INSERT INTO bibliona (sbgr4_nmb, source, summary, author, data_make, journal, file_doc, "
                          "file_doc1, data_input, file_type, doi) VALUES (?, ?, ?, ?, ?, ?, ?, '', ?, ?, ?)");
    for (int I = 0; I < ReferenceCount; ++I) {
      const int Year = 1990 + int(R.Next(35));
      const std::string Input = std::to_string(2000 + R.Next(25)) + "-0" + std::to_string(1 + R.Next(9)) + "-1" +
                                std::to_string(R.Next(10));
      Insert.Run(1 + int(R.Next(SubgroupCount)), words(R, 110), words(R, 300 + R.Next(1500)), words(R, 12), Year,
                 words(R, 10), R.Next(4) == 0 ? "D:\\Articles\\" + std::to_string(I) + ".pdf" : std::string(), Input,
                 std::string(Types[R.Next(Types.size())]), "10.1000/j." + std::to_string(I));
    }
  }

  QTemporaryDir FDir;
  String FPath;
};

TCatalogFile& catalogFile() {
  static const bool Started = [] {
    InitializeUnits({RtlUnit});
    return true;
  }();
  (void)Started;
  static TCatalogFile File;
  return File;
}

// A grid's window over a data source: it reads its rows on every change.
struct TGridLink : TDataLink {
  TGridLink(TDataSource* Source, int Rows) {
    SetBufferCount(Rows);
    SetDataSource(Source);
  }
  ~TGridLink() override { SetDataSource(nullptr); }
};

// The module opened on the catalog with the main window's six grids on it.
struct TOpenModule {
  TdmCatalog* Dm = new TdmCatalog(nullptr);
  std::vector<std::unique_ptr<TGridLink>> Grids;

  explicit TOpenModule(bool Open = true) {
    for (TDataSource* Level : {Dm->dsPart1, Dm->dsPart2, Dm->dsDisease, Dm->dsDisPropety, Dm->dsSubPropety})
      Grids.push_back(std::make_unique<TGridLink>(Level, LevelRows));
    Grids.push_back(std::make_unique<TGridLink>(Dm->dsCatalog, GridRows));
    if (Open) Dm->OpenCatalog(catalogFile().Path());
  }
  ~TOpenModule() {
    Grids.clear();
    Dm->Free();
  }
};

// ---------------------------------------------------------------------------
// opening

using TCell = std::variant<std::monostate, std::int64_t, double, std::string>;

// Every row Stmt gives, every column read into memory by its type; the
// statement is reset for the next run.
std::vector<std::vector<TCell>> readRows(sqlite3_stmt* Stmt) {
  std::vector<std::vector<TCell>> Rows;
  const int Columns = sqlite3_column_count(Stmt);
  while (sqlite3_step(Stmt) == SQLITE_ROW) {
    std::vector<TCell>& Row = Rows.emplace_back(Columns);
    for (int C = 0; C < Columns; ++C) switch (sqlite3_column_type(Stmt, C)) {
        case SQLITE_INTEGER: Row[C] = sqlite3_column_int64(Stmt, C); break;
        case SQLITE_FLOAT: Row[C] = sqlite3_column_double(Stmt, C); break;
        case SQLITE_NULL: break;
        default:
          Row[C] = std::string(reinterpret_cast<const char*>(sqlite3_column_text(Stmt, C)),
                               std::size_t(sqlite3_column_bytes(Stmt, C)));
      }
  }
  sqlite3_reset(Stmt);
  return Rows;
}

void BM_RawLoopReadsTheMainWindowsRows(benchmark::State& State) {
  const QByteArray Path = catalogFile().Path().toUtf8();
  std::size_t Rows = 0;
  for (auto _ : State) {
    sqlite3* Db = nullptr;
    sqlite3_open_v2(Path.constData(), &Db, SQLITE_OPEN_READWRITE, nullptr);
    Rows = 0;
    for (const char* Sql : MainWindowSQL) {
      const TStatement Statement(Db, Sql);
      const auto Read = readRows(*Statement);
      Rows += Read.size();
      benchmark::DoNotOptimize(Read.data());
    }
    sqlite3_close(Db);
  }
  State.counters["rows"] = double(Rows);
}
BENCHMARK(BM_RawLoopReadsTheMainWindowsRows)->Unit(benchmark::kMillisecond)->Iterations(5);

// OpenCatalog: connect and open the eight queries, the grids attached.
void BM_DataModuleOpensTheCatalog(benchmark::State& State) {
  catalogFile();
  for (auto _ : State) {
    State.PauseTiming();
    auto Module = std::make_unique<TOpenModule>(/*Open=*/false);
    State.ResumeTiming();
    Module->Dm->OpenCatalog(catalogFile().Path());
    State.PauseTiming();
    State.counters["refs_shown"] = Module->Dm->fdqCatalog->RecordCount();
    Module.reset();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_DataModuleOpensTheCatalog)->Unit(benchmark::kMillisecond)->Iterations(5);

// ---------------------------------------------------------------------------
// master moves

// Moves the level-5 list one row on, timing only that move; at the end of a
// list the next level-4 subgroup is chosen first (untimed), so the moves walk
// every subgroup of the catalog.
void BM_MoveTheLevel5Master(benchmark::State& State) {
  TOpenModule Module;
  TdmCatalog* Dm = Module.Dm;
  TFDQuery* const Upper[] = {Dm->fdqDisPropety, Dm->fdqDisease, Dm->fdqPart2, Dm->fdqPart1};
  std::int64_t Shown = 0;
  for (auto _ : State) {
    if (Dm->fdqSubPropety->RecNo() == Dm->fdqSubPropety->RecordCount()) {
      // The nearest upper level with a next row moves; its cascade starts
      // the lists below at their first rows.
      for (TFDQuery* Level : Upper) {
        if (Level->RecNo() < Level->RecordCount()) {
          Level->Next();
          break;
        }
        if (Level == Dm->fdqPart1) Level->First();
      }
    }
    const auto Start = std::chrono::steady_clock::now();
    Dm->fdqSubPropety->Next();
    const auto End = std::chrono::steady_clock::now();
    State.SetIterationTime(std::chrono::duration<double>(End - Start).count());
    Shown += Dm->fdqCatalog->RecordCount();
  }
  State.counters["refs_per_subgroup"] = double(Shown) / double(State.iterations());
}
BENCHMARK(BM_MoveTheLevel5Master)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A group move: every level below and the references re-range at once.
void BM_MoveTheGroupDownTheWholeChain(benchmark::State& State) {
  TOpenModule Module;
  TFDQuery* Groups = Module.Dm->fdqPart1;
  for (auto _ : State) {
    Groups->Next();
    if (Groups->Eof()) Groups->First();
    benchmark::DoNotOptimize(Module.Dm->fdqCatalog->RecordCount());
  }
}
BENCHMARK(BM_MoveTheGroupDownTheWholeChain)->Unit(benchmark::kMicrosecond);

// The yardstick of a move: the references of the next subgroup read again.
void BM_RawLoopReadsOneSubgroup(benchmark::State& State) {
  sqlite3* Db = nullptr;
  sqlite3_open_v2(catalogFile().Path().toUtf8().constData(), &Db, SQLITE_OPEN_READWRITE, nullptr);
  TStatement Statement(Db, SubgroupSQL);
  int Subgroup = 0;
  std::int64_t Shown = 0;
  for (auto _ : State) {
    Subgroup = Subgroup % SubgroupCount + 1;
    sqlite3_bind_int(*Statement, 1, Subgroup);
    const auto Rows = readRows(*Statement);
    Shown += std::int64_t(Rows.size());
    benchmark::DoNotOptimize(Rows.data());
  }
  State.counters["refs_per_subgroup"] = double(Shown) / double(State.iterations());
  sqlite3_close(Db);
}
BENCHMARK(BM_RawLoopReadsOneSubgroup)->Unit(benchmark::kMicrosecond);

}  // namespace
