// Reading citation files and parsing citations.
//
// The files are made at start in a temporary folder by repeating the real
// exports of tests/app/data: a 20 MB MEDLINE file and a 20 MB RIS file of
// repeated records (the reading stops after the first record, so their cost
// is opening and decoding the file), and the same 20 MB as one record with no
// end, whose every line goes through the tag tables.  The goal is at least
// 50 MB/s for every file, and 10,000 citations parsed in under 50 ms.
#include "app/citationparser.h"
#include "app/refimport.h"
#include "platform/rtl/units.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr qint64 FileSize = 20LL << 20;
constexpr int CitationCount = 10000;
const String Resolver = QStringLiteral("https://doi.org/");

const char* const MedlineExports[] = {"medline_single_name_author.nbib", "medline_pmc.txt",
                                      "medline_multiple_entries.txt"};
const char* const RisExports[] = {"ris_empty_tag.ris", "ris_bom_repeated_tags.ris",
                                  "ris_extraneous_data.ris", "ris_utf_chars.ris"};

QByteArray dataFile(const char* Name) {
  QFile File(QStringLiteral(BIBLIONA_SOURCE_DIR "/tests/app/data/") + Name);
  if (!File.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(File.fileName()));
    std::exit(1);
  }
  return File.readAll();
}

// The parts one after another, each followed by Separator, until Size.
QByteArray repeated(const std::vector<QByteArray>& Parts, qint64 Size, const QByteArray& Separator) {
  QByteArray Result;
  Result.reserve(Size + (1 << 16));
  while (Result.size() < Size)
    for (const QByteArray& Part : Parts) Result += Part + Separator;
  return Result;
}

// The lines of Parts without the lines that end a record, repeated: one
// record of Size bytes.
QByteArray oneRecord(const std::vector<QByteArray>& Parts, qint64 Size) {
  QByteArray Body;
  for (const QByteArray& Part : Parts)
    for (const QByteArray& Line : Part.split('\n'))
      if (!Line.trimmed().isEmpty() && !Line.startsWith("PMID-") && !Line.startsWith("ER  -"))
        Body += Line + "\n";
  return repeated({Body}, Size, QByteArray());
}

struct TBenchFiles {
  QTemporaryDir Dir;
  String Medline, Ris, MedlineRecord, RisRecord;

  TBenchFiles() {
    std::vector<QByteArray> Medlines, Riss;
    for (const char* Name : MedlineExports) Medlines.push_back(dataFile(Name));
    for (const char* Name : RisExports) Riss.push_back(dataFile(Name));
    Medline = write("export.nbib", repeated(Medlines, FileSize, "\n"));
    Ris = write("export.ris", repeated(Riss, FileSize, "\n"));
    MedlineRecord = write("record.nbib", "PMID- 1\n" + oneRecord(Medlines, FileSize));
    RisRecord = write("record.ris", oneRecord(Riss, FileSize));
  }

  String write(const char* Name, const QByteArray& Bytes) {
    const String Path = Dir.filePath(Name);
    QFile File(Path);
    if (!File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size()) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(Path));
      std::exit(1);
    }
    return Path;
  }
};

TBenchFiles* Files = nullptr;

void readFile(benchmark::State& State, const String& Path) {
  const qint64 Size = QFileInfo(Path).size();
  for (auto _ : State) benchmark::DoNotOptimize(ReadReferenceFile(Path, Resolver));
  State.SetBytesProcessed(State.iterations() * Size);
}

void BM_ReadMedlineExport(benchmark::State& State) { readFile(State, Files->Medline); }
void BM_ReadRisExport(benchmark::State& State) { readFile(State, Files->Ris); }
void BM_ReadMedlineOneRecord(benchmark::State& State) { readFile(State, Files->MedlineRecord); }
void BM_ReadRisOneRecord(benchmark::State& State) { readFile(State, Files->RisRecord); }
BENCHMARK(BM_ReadMedlineExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRisExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMedlineOneRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRisOneRecord)->Unit(benchmark::kMillisecond);

// 10,000 citations: the lines the exports give, each with its record number
// and one of a few endings (labelled DOI, resolver address, month token, no
// year by position), so every step of the parser runs.
std::vector<String> citations() {
  std::vector<String> Lines;
  for (const auto& Names : {std::vector<const char*>(std::begin(MedlineExports), std::end(MedlineExports)),
                            std::vector<const char*>(std::begin(RisExports), std::end(RisExports))})
    for (const char* Name : Names)
      Lines.push_back(ReadReferenceFile(Files->write(Name, dataFile(Name)), Resolver).Citation);
  const QStringList Endings = {QStringLiteral(" 2019 Jan;12(3):45-9. doi: 10.1000/%1."),
                               QStringLiteral(" 2021;7:e%1. https://doi.org/10.1000/%1"),
                               QStringLiteral(" Published online %1 2022."), QStringLiteral(" Report %1.")};
  std::vector<String> Result;
  for (int I = 0; I < CitationCount; ++I)
    Result.push_back(QStringLiteral("van Der%1 A, ").arg(I) + Lines[I % Lines.size()] +
                     Endings[I % Endings.size()].arg(I));
  return Result;
}

void BM_ParseCitation10000(benchmark::State& State) {
  const std::vector<String> Citations = citations();
  for (auto _ : State)
    for (const String& Citation : Citations) benchmark::DoNotOptimize(ParseCitationText(Citation, Resolver, 2024));
  State.SetItemsProcessed(State.iterations() * CitationCount);
}
BENCHMARK(BM_ParseCitation10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  InitializeUnits({RtlUnit});
  TBenchFiles BenchFiles;
  Files = &BenchFiles;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Files = nullptr;
  FinalizeUnits();
  return 0;
}
