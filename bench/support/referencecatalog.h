// The reference catalog the data benchmarks share: 100,000 references with
// abstracts of realistic length over 2,000 level-5 subgroups (10 groups x 5
// x 4 x 2 x 5) and a buffer of 200 rows, written once per run into a
// temporary file whose tables the program's own schema declares.  The rows
// are the same on every run.
#pragma once

#include "platform/rtl/units.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <string>

namespace refcatalog {

inline constexpr int ReferenceCount = 100000;
inline constexpr int Groups = 10;
inline constexpr int Fanout[] = {5, 4, 2, 5};  // children per row of levels 1 to 4
inline constexpr int SubgroupCount = Groups * 5 * 4 * 2 * 5;
inline constexpr int BufferRows = 200;

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

// A prepared statement that binds its values in order, runs once and resets.
class TStatement {
public:
  TStatement(sqlite3* Db, const char* Sql) { sqlite3_prepare_v2(Db, Sql, -1, &FStmt, nullptr); }
  ~TStatement() { sqlite3_finalize(FStmt); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  sqlite3_stmt* operator*() const { return FStmt; }

  template <class... T>
  void Run(const T&... Values) {
    int Column = 1;
    (bind(Column++, Values), ...);
    sqlite3_step(FStmt);
    sqlite3_reset(FStmt);
  }

private:
  void bind(int Column, int Value) { sqlite3_bind_int(FStmt, Column, Value); }
  // An empty text is stored as Null, as the program stores a field left empty.
  void bind(int Column, const std::string& Value) {
    if (Value.empty())
      sqlite3_bind_null(FStmt, Column);
    else
      sqlite3_bind_text(FStmt, Column, Value.c_str(), int(Value.size()), SQLITE_TRANSIENT);
  }
  sqlite3_stmt* FStmt = nullptr;
};

// The catalog file: the program's own tables, the classification, the
// references and the buffer, made once per run with a raw connection (the
// data layer never creates a database).
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
    fillLevels(Db, R);
    fillReferences(Db, R);
    TStatement Buffer(Db, "INSERT INTO cat_arc (number, sbgr4_nmb, source, data_make, data_input, file_type) "
                          "VALUES (?, 874, ?, 2020, '2024-01-01', 'sum')");
    for (int I = 1; I <= BufferRows; ++I) Buffer.Run(I, words(R, 120));
    sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(Db);
  }

  QString Path() const { return QString::fromStdString(FPath); }
  const char* PathUtf8() const { return FPath.c_str(); }
  double AverageAbstract = 0;

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
                          "file_doc1, data_input, file_type, doi) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
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
      Insert.Run(1 + int(R.Next(SubgroupCount)), Source, Summary, Author, Year, Journal, Doc, std::string(), Input,
                 std::string(pick(R, Types)), "10.1000/j." + std::to_string(I));
    }
    AverageAbstract = double(AbstractBytes) / ReferenceCount;
  }

  QTemporaryDir FDir;
  std::string FPath;
};

// The catalog, made on first use; the runtime is started first, since the
// benchmarks that run under the library's own main start nothing else.
inline TCatalogFile& catalogFile() {
  static const bool Started = [] {
    InitializeUnits({RtlUnit});
    return true;
  }();
  (void)Started;
  static TCatalogFile File;
  return File;
}

}  // namespace refcatalog
