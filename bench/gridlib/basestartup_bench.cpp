// The start-up of the grid library's base (the routines' unit and the
// library-wide objects), the first step of the catalog's way to its first
// painted grid (0.3 s in all).  Goal: 10 ms for the base's start-up with the
// text table and the image items; this program times the part without them.
#include "bench/support/guibench.h"
#include "gridlib/base/baseunit.h"
#include "platform/ui/windowing/application.h"

#include <chrono>

namespace {

// Start-up timed alone: the shutdown of each round runs off the clock.
void BM_BaseStartUp(benchmark::State& State) {
  for (auto _ : State) {
    const auto Start = std::chrono::steady_clock::now();
    InitializeGridLibBaseEh();
    const auto End = std::chrono::steady_clock::now();
    State.SetIterationTime(std::chrono::duration<double>(End - Start).count());
    FinalizeGridLibBaseEh();
  }
}
BENCHMARK(BM_BaseStartUp)->UseManualTime();

void BM_BaseStartUpAndShutdown(benchmark::State& State) {
  for (auto _ : State) {
    InitializeGridLibBaseEh();
    FinalizeGridLibBaseEh();
  }
}
BENCHMARK(BM_BaseStartUpAndShutdown);

// The application's windowing layer the start-up stands on.
constexpr TUnit Forms{"forms", &InitializeForms, &FinalizeForms};

}  // namespace

int main(int argc, char** argv) { return RunGuiBenchmarks(argc, argv, {RtlUnit, Forms}); }
