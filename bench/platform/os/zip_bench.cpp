// Zipping a 100 MB catalog export: our writer against the zip tool at the
// same level (-6), in the same run.  The goal is at most 1.2 times the tool's
// time.  Both write to the same disk; the tool is started without a shell.
#include "platform/os/process.h"
#include "platform/os/zipfile.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <utility>

namespace {

constexpr qint64 SourceSize = 100LL << 20;

// A deterministic stream of numbers, so every run zips the same bytes.
class Random {
public:
  quint32 Next(quint32 Bound) {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return quint32(FState >> 33) % Bound;
  }

private:
  quint64 FState = 0x2545F4914F6CDD1DULL;
};

template <size_t N>
const char* pick(Random& R, const std::array<const char*, N>& Words) {
  return Words[R.Next(N)];
}

// One reference line as the catalog exports it: authors, title, journal,
// year, volume, pages and a DOI, in Russian or English, the words drawn from
// small pools so that text repeats as a real catalog's does.
QByteArray referenceLine(Random& R, int Number) {
  static constexpr std::array<const char*, 16> RuAuthors = {
      "Иванов И. И.", "Петров П. А.", "Сидорова Е. В.", "Кузнецов А. Н.", "Смирнова О. Г.", "Попов Д. С.",
      "Васильев В. В.", "Соколова М. Ю.", "Михайлов К. Е.", "Новикова Т. П.", "Фёдоров Р. И.",
      "Морозова Н. А.", "Волков С. Л.", "Алексеева И. Б.", "Лебедев Г. М.", "Семёнова Л. Д."};
  static constexpr std::array<const char*, 16> EnAuthors = {
      "Smith J.", "Johnson R. T.", "Williams K.", "Brown A. L.", "Jones M.", "Miller D. E.", "Davis S.",
      "Garcia M. J.", "Rodriguez P.", "Wilson L. K.", "Anderson T.", "Taylor H. B.", "Thomas E.", "Moore C. A.",
      "Martin G.", "Lee S. Y."};
  static constexpr std::array<const char*, 20> RuWords = {
      "клинические", "исследования", "лечение", "пациентов", "с", "хронической", "сердечной",
      "недостаточностью", "эффективность", "терапии", "у", "детей", "диагностика", "острого",
      "инфаркта", "миокарда", "результаты", "наблюдения", "артериальной", "гипертензии"};
  static constexpr std::array<const char*, 20> EnWords = {
      "clinical", "outcomes", "of", "treatment", "in", "patients", "with", "chronic", "heart", "failure",
      "randomized", "trial", "efficacy", "therapy", "children", "acute", "myocardial", "infarction",
      "diagnosis", "hypertension"};
  static constexpr std::array<const char*, 8> RuJournals = {
      "Кардиология", "Терапевтический архив", "Педиатрия", "Российский медицинский журнал",
      "Вопросы онкологии", "Клиническая медицина", "Хирургия", "Неврологический журнал"};
  static constexpr std::array<const char*, 8> EnJournals = {
      "The Lancet", "N Engl J Med", "JAMA", "BMJ", "Circulation", "Eur Heart J", "Pediatrics", "Ann Intern Med"};

  const bool Russian = R.Next(2) == 0;
  QByteArray Line = QByteArray::number(Number) + ". ";
  for (quint32 I = 0, Authors = 1 + R.Next(4); I < Authors; ++I) {
    if (I) Line += ", ";
    Line += Russian ? pick(R, RuAuthors) : pick(R, EnAuthors);
  }
  Line += ' ';
  for (quint32 I = 0, Words = 5 + R.Next(10); I < Words; ++I) {
    if (I) Line += ' ';
    Line += Russian ? pick(R, RuWords) : pick(R, EnWords);
  }
  Line += " // ";
  Line += Russian ? pick(R, RuJournals) : pick(R, EnJournals);
  const quint32 Year = 1970 + R.Next(55), First = 1 + R.Next(900);
  Line += ". " + QByteArray::number(Year) + (Russian ? ". Т. " : ". Vol. ") + QByteArray::number(1 + R.Next(60));
  Line += (Russian ? ", № " : ", No. ") + QByteArray::number(1 + R.Next(12));
  Line += (Russian ? ". С. " : ". P. ") + QByteArray::number(First) + "-" + QByteArray::number(First + R.Next(30));
  Line += ". doi:10." + QByteArray::number(1000 + R.Next(9000)) + "/" + QByteArray::number(R.Next(1u << 30), 36);
  return Line + "\r\n";
}

// The source file, written once per run in a temporary folder.
struct Fixture {
  QTemporaryDir Dir;
  QString Source = Dir.filePath("catalog.txt");
  QString Target = Dir.filePath("catalog.zip");

  Fixture() {
    QFile File(Source);
    if (!File.open(QIODevice::WriteOnly)) std::abort();
    Random R;
    QByteArray Block;
    for (int Number = 1; File.size() + Block.size() < SourceSize; ++Number) {
      Block += referenceLine(R, Number);
      if (Block.size() >= (1 << 20)) File.write(std::exchange(Block, QByteArray()));
    }
    File.write(Block);
  }
};

Fixture& fixture() {
  static Fixture Files;
  return Files;
}

void finish(benchmark::State& State, const Fixture& F) {
  State.SetBytesProcessed(State.iterations() * QFileInfo(F.Source).size());
  State.counters["ratio%"] = 100.0 * QFileInfo(F.Target).size() / QFileInfo(F.Source).size();
}

void BM_ZipWriter(benchmark::State& State) {
  Fixture& F = fixture();
  for (auto _ : State) {
    TZipFile Zip;
    Zip.Open(F.Target, zmWrite);
    Zip.Add(F.Source);
    Zip.Close();
  }
  finish(State, F);
}

void BM_ZipTool(benchmark::State& State) {
  Fixture& F = fixture();
  if (FindProgram("zip").isEmpty()) {
    State.SkipWithError("the zip tool is not installed");
    return;
  }
  for (auto _ : State) {
    State.PauseTiming();
    QFile::remove(F.Target);  // zip would update an existing archive
    State.ResumeTiming();
    if (ProcessLauncher().RunAndWait(TArgv{"zip", "-6", "-q", "-j", F.Target, F.Source}, SW_HIDE) != 0) {
      State.SkipWithError("zip failed");
      return;
    }
  }
  finish(State, F);
}

}  // namespace

BENCHMARK(BM_ZipWriter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ZipTool)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
