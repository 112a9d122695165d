// The backup with the internal zip on the 100,000-reference catalog, end to
// end (store, copy through the engine's backup, pack, check the entry,
// rename), against `zip -6 -q -j` of the same file in the same run.
//
// Goal: at most 1.2x the tool.  Counters: the time of each stage, the ratio
// to the tool, the catalog's size and both archives' sizes (MB).
#include "app/datamodule.h"
#include "app/savedb.h"
#include "app/settings.h"
#include "bench/support/referencecatalog.h"
#include "platform/os/process.h"
#include "platform/os/program.h"
#include "platform/rtl/clock.h"

#include <QProcess>

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>

namespace {

using namespace refcatalog;
using TClock = std::chrono::steady_clock;

double seconds(TClock::duration Span) { return std::chrono::duration<double>(Span).count(); }
double megabytes(const String& Path) { return double(QFileInfo(Path).size()) / (1024.0 * 1024.0); }

void BM_SaveDB1InternalZip(benchmark::State& State) {
  if (FindProgram(QStringLiteral("zip")).isEmpty()) {
    State.SkipWithError("zip is not installed");
    return;
  }
  const String Catalog = catalogFile().Path();  // starts the runtime first
  const TProgramPathScope Program(Catalog);  // the settings file goes beside the catalog
  QTemporaryDir Archives;
  const String ToolArchive = Archives.filePath(QStringLiteral("tool.zip"));
  TdmCatalog* Dm = new TdmCatalog(nullptr);
  Dm->OpenCatalog(Catalog);
  Dm->StartProgramTransaction();
  TSettings Settings;
  const TBackupOrder Order{akInternal, Archives.path() + u'/', String(), String(), 7};

  std::map<TBackupStage, double> Stages;
  double Ours = 0;
  double Tool = 0;
  for (auto _ : State) {
    std::map<TBackupStage, TClock::time_point> Started;
    const TClock::time_point Start = TClock::now();
    SaveDB1(Dm, Settings, Order, [&Started](TBackupStage Stage, Int64, Int64) {
      Started.try_emplace(Stage, TClock::now());
    });
    const TClock::time_point End = TClock::now();
    Stages[TBackupStage::Copy] += seconds(Started[TBackupStage::Pack] - Start);
    Stages[TBackupStage::Pack] += seconds(Started[TBackupStage::Check] - Started[TBackupStage::Pack]);
    Stages[TBackupStage::Check] += seconds(End - Started[TBackupStage::Check]);
    Ours += seconds(End - Start);
    State.SetIterationTime(seconds(End - Start));

    QFile::remove(ToolArchive);
    const TClock::time_point ToolStart = TClock::now();
    QProcess::execute(QStringLiteral("zip"), {QStringLiteral("-6"), QStringLiteral("-q"), QStringLiteral("-j"),
                                              ToolArchive, Catalog});
    Tool += seconds(TClock::now() - ToolStart);
  }
  const double Runs = double(State.iterations());
  State.counters["copy_s"] = Stages[TBackupStage::Copy] / Runs;
  State.counters["pack_s"] = Stages[TBackupStage::Pack] / Runs;
  State.counters["check_s"] = Stages[TBackupStage::Check] / Runs;
  State.counters["zip_tool_s"] = Tool / Runs;
  State.counters["ratio_to_tool"] = Ours / Tool;
  State.counters["catalog_MB"] = megabytes(Catalog);
  State.counters["archive_MB"] = megabytes(Archives.filePath(Flarcdate(Date()) + QStringLiteral(".zip")));
  State.counters["tool_archive_MB"] = megabytes(ToolArchive);
  Dm->Free();
}
BENCHMARK(BM_SaveDB1InternalZip)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
