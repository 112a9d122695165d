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
#include "bench/support/referencecatalog.h"
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

using namespace refcatalog;

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

// A grid's window over a data source: it reads its rows on every change.
struct TGridLink : TDataLink {
  TGridLink(TDataSource* Source, int Rows) {
    SetBufferCount(Rows);
    SetDataSource(Source);
  }
  ~TGridLink() override { SetDataSource(nullptr); }
};

// The module opened on the catalog with the main window's six grids on it.
// The catalog comes first: making it starts the runtime's unit, which the
// module needs, and a benchmark run alone has not made it before.
struct TOpenModule {
  const String Path = catalogFile().Path();
  TdmCatalog* Dm = new TdmCatalog(nullptr);
  std::vector<std::unique_ptr<TGridLink>> Grids;

  explicit TOpenModule(bool Open = true) {
    for (TDataSource* Level : {Dm->dsPart1, Dm->dsPart2, Dm->dsDisease, Dm->dsDisPropety, Dm->dsSubPropety})
      Grids.push_back(std::make_unique<TGridLink>(Level, LevelRows));
    Grids.push_back(std::make_unique<TGridLink>(Dm->dsCatalog, GridRows));
    if (Open) Dm->OpenCatalog(Path);
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
