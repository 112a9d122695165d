// Throughput of the binary component stream, which the memory table saves
// and loads whole tables through: 1,000,000 mixed values (integers,
// 20-character strings, doubles, Booleans) written and read back.  Goal: at
// least 50 MB/s each way.
#include "platform/rtl/filer.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/units.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int ValueCount = 1'000'000;

void writeValues(TStream* Stream) {
  const String Text = QStringLiteral("Petrov A, Sidorov B.");  // 20 characters
  TWriter Writer(Stream);
  for (int I = 0; I < ValueCount; I += 4) {
    Writer.WriteInteger(I * 37);
    Writer.WriteString(Text);
    Writer.WriteFloat(I * 0.25);
    Writer.WriteBoolean(I % 8 == 0);
  }
  Writer.FlushBuffer();
}

void BM_WriteMixedValues(benchmark::State& State) {
  TMemoryStream Stream;
  for (auto _ : State) {
    Stream.SetPosition(0);
    writeValues(&Stream);
  }
  State.SetBytesProcessed(State.iterations() * Stream.Size());
}
BENCHMARK(BM_WriteMixedValues)->Unit(benchmark::kMillisecond);

void BM_ReadMixedValues(benchmark::State& State) {
  TMemoryStream Stream;
  writeValues(&Stream);
  for (auto _ : State) {
    Stream.SetPosition(0);
    TReader Reader(&Stream);
    Int64 Sum = 0;
    for (int I = 0; I < ValueCount; I += 4) {
      Sum += Reader.ReadInteger();
      Sum += Reader.ReadString().size();
      Sum += Int64(Reader.ReadFloat());
      Sum += Reader.ReadBoolean();
    }
    benchmark::DoNotOptimize(Sum);
  }
  State.SetBytesProcessed(State.iterations() * Stream.Size());
}
BENCHMARK(BM_ReadMixedValues)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitializeUnits({RtlUnit});
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  FinalizeUnits();
  return 0;
}
