// The grid library's start-up and shutdown: the base control routines, the
// shared text table read from its stored form and registered for
// translation, and the twenty image items cut from the six strips.  Goal: at
// most 10 ms in all (the catalog has 0.3 s from start to its first painted
// grid).
#include "bench/support/guibench.h"
#include "gridlib/base/basecontrols.h"
#include "gridlib/base/imageresources.h"
#include "gridlib/base/langconsts.h"
#include "gridlib/base/langresources.h"
#include "platform/ui/graphics/graphicsunit.h"

namespace {

void BM_LibraryStartUpAndShutdown(benchmark::State& State) {
  for (auto _ : State) {
    InitializeBaseControlsEh();
    InitializeLanguageResourcesEh();
    InitializeGridLibLanguageConstsEh();
    InitializeGridLibImageResourcesEh();
    FinalizeGridLibImageResourcesEh();
    FinalizeGridLibLanguageConstsEh();
    FinalizeLanguageResourcesEh();
    FinalizeBaseControlsEh();
  }
}
BENCHMARK(BM_LibraryStartUpAndShutdown)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit, GraphicsUnit}); }
