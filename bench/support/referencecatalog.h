// The reference catalog the data benchmarks share: 100,000 references with
// abstracts of realistic length in 2,000 level-5 subgroups, written once per
// run into a temporary file whose tables the program's own schema declares.
// The rows are the same on every run.
#pragma once

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <string>

namespace refcatalog {

inline constexpr int ReferenceCount = 100000;
inline constexpr int SubgroupCount = 2000;

// A deterministic stream of numbers: every run builds the same catalog.
class Random {
public:
  std::uint32_t Next(std::uint32_t Bound) {
    FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
    return std::uint32_t(FState >> 33) % Bound;
  }

private:
  std::uint64_t FState = 0x2545F4914F6CDD1DULL;
};

template <std::size_t N>
inline const char* pick(Random& R, const std::array<const char*, N>& Words) {
  return Words[R.Next(N)];
}

inline constexpr std::array<const char*, 24> EnWords = {
    "clinical",   "outcomes", "of",      "treatment", "in",          "patients",   "with",     "chronic",
    "heart",      "failure",  "trial",   "efficacy",  "therapy",     "children",   "acute",    "myocardial",
    "infarction", "the",      "and",     "was",       "significant", "associated", "risk",     "mortality"};
inline constexpr std::array<const char*, 16> RuWords = {
    "клинические", "исследования", "лечение",     "пациентов",   "хронической", "сердечной",
    "терапии",     "у",            "детей",       "диагностика", "острого",     "инфаркта",
    "миокарда",    "результаты",   "наблюдения",  "гипертензии"};
inline constexpr std::array<const char*, 8> Authors = {"Smith J.", "Иванов И. И.", "Garcia M. J.", "Петрова Е. В.",
                                                 "Lee S. Y.", "Kuznetsov A.", "Brown A. L.", "Соколова М."};
inline constexpr std::array<const char*, 6> Journals = {"Кардиология", "Lancet", "JAMA", "Терапевтический архив",
                                                  "N Engl J Med", "BMJ"};
inline constexpr std::array<const char*, 9> Types = {"sum", "atl", "bk", "rec", "met", "rci", "reg", "pic", "onln"};

// Words - Russian or English - up to about Length bytes.
inline std::string words(Random& R, std::size_t Length) {
  const bool Russian = R.Next(3) == 0;
  std::string Text;
  while (Text.size() < Length) {
    if (!Text.empty()) Text += ' ';
    Text += Russian ? pick(R, RuWords) : pick(R, EnWords);
  }
  return Text;
}

// The catalog file: the program's own tables, the subgroups and the
// references, made once per run with a raw connection (the layer never
// creates a database).
class TCatalogFile {
public:
  TCatalogFile() : FPath(FDir.filePath(QStringLiteral("bibliona.sqlite")).toStdString()) {
    sqlite3* Db = nullptr;
    sqlite3_open_v2(FPath.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    QFile Schema(QStringLiteral(BIBLIONA_SOURCE_DIR "/app/catalog/schema.sql"));
    Schema.open(QIODevice::ReadOnly);
    sqlite3_exec(Db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(Db, Schema.readAll().constData(), nullptr, nullptr, nullptr);
    Random R;
    sqlite3_stmt* Group = nullptr;
    sqlite3_prepare_v2(Db, "INSERT INTO sbgr4_nm VALUES (?, ?, ?)", -1, &Group, nullptr);
    for (int I = 1; I <= SubgroupCount; ++I) {
      const std::string Name = words(R, 30);
      sqlite3_bind_int(Group, 1, I);
      sqlite3_bind_int(Group, 2, 1 + I / 10);
      sqlite3_bind_text(Group, 3, Name.c_str(), int(Name.size()), SQLITE_TRANSIENT);
      sqlite3_step(Group);
      sqlite3_reset(Group);
    }
    sqlite3_finalize(Group);
    sqlite3_stmt* Insert = nullptr;
    sqlite3_prepare_v2(Db, "INSERT INTO bibliona VALUES (NULL, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)", -1, &Insert,
                       nullptr);
    std::size_t AbstractBytes = 0;
    for (int I = 0; I < ReferenceCount; ++I) {
      const std::string Author = pick(R, Authors);
      const std::string Journal = pick(R, Journals);
      const int Year = 1990 + int(R.Next(35));
      const std::string Source = Author + " " + words(R, 90) + " // " + Journal + ". " + std::to_string(Year) +
                                 ". Vol. " + std::to_string(1 + R.Next(60)) + ". P. " + std::to_string(R.Next(900));
      // Abstracts run from a few hundred to about 2,500 bytes; one in ten is
      // missing, as in a real catalog.
      const std::string Summary = R.Next(10) == 0 ? std::string() : words(R, 400 + R.Next(2100));
      AbstractBytes += Summary.size();
      const std::string Input = std::to_string(2000 + R.Next(25)) + "-0" + std::to_string(1 + R.Next(9)) + "-1" +
                                std::to_string(R.Next(10));
      const std::string Doc = R.Next(4) == 0 ? "D:\\Articles\\" + std::to_string(I) + ".pdf" : std::string();
      const std::string Doi = "10.1000/j." + std::to_string(I);
      int Column = 1;
      auto text = [&](const std::string& Value) {
        if (Value.empty())
          sqlite3_bind_null(Insert, Column++);
        else
          sqlite3_bind_text(Insert, Column++, Value.c_str(), int(Value.size()), SQLITE_TRANSIENT);
      };
      sqlite3_bind_int(Insert, Column++, 1 + int(R.Next(SubgroupCount)));
      text(Source);
      text(Summary);
      text(Author);
      sqlite3_bind_int(Insert, Column++, Year);
      text(Journal);
      text(Doc);
      text(std::string());
      text(Input);
      text(pick(R, Types));
      text(Doi);
      sqlite3_step(Insert);
      sqlite3_reset(Insert);
    }
    sqlite3_finalize(Insert);
    sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(Db);
    AverageAbstract = double(AbstractBytes) / ReferenceCount;
  }

  QString Path() const { return QString::fromStdString(FPath); }
  const char* PathUtf8() const { return FPath.c_str(); }
  double AverageAbstract = 0;

private:
  QTemporaryDir FDir;
  std::string FPath;
};

inline TCatalogFile& catalogFile() {
  static TCatalogFile File;
  return File;
}

}  // namespace refcatalog
