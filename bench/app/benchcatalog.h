// The large catalog the app benchmarks share: 100,000 references with
// abstracts of realistic length over 2,000 level-5 subgroups (10 groups x 5
// x 4 x 2 x 5) and a buffer of 200 rows, made once per run from the program's
// own schema in a temporary folder.
#pragma once

#include "platform/rtl/system.h"
#include "platform/rtl/units.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <array>
#include <cstdint>
#include <string>

namespace benchcatalog {

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
  std::uint64_t FState = 0x9E3779B97F4A7C15ULL;
};

inline constexpr std::array<const char*, 20> Words = {
    "clinical", "outcomes", "treatment", "patients", "chronic",   "heart",     "failure",
    "trial",    "therapy",  "acute",     "risk",     "mortality", "лечение",   "пациентов",
    "терапии",  "детей",    "инфаркта",  "миокарда", "результаты", "гипертензии"};
inline constexpr std::array<const char*, 9> Types = {"sum", "atl", "bk", "rec", "met", "rci", "reg", "pic", "onln"};

inline std::string words(Random& R, std::size_t Length) {
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
    QFile Schema(QStringLiteral(BIBLIONA_SOURCE_DIR "/app/catalog/schema.sql"));
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

inline TCatalogFile& catalogFile() {
  static const bool Started = [] {
    InitializeUnits({RtlUnit});
    return true;
  }();
  (void)Started;
  static TCatalogFile File;
  return File;
}

}  // namespace benchcatalog
