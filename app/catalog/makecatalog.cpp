// Build tool: makes the sample catalog from its SQL texts.
//
//   makecatalog <catalog file> <sql file>...
//
// Runs the SQL files in order, in one transaction, into a new database file.
// A catalog that already exists is left alone (it may hold the user's work):
// the new file is built beside it under a temporary name and only linked to
// the catalog's name when that name is still free, so a failed or concurrent
// build never leaves a half-made catalog or replaces one.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Exit codes.
constexpr int Done = 0;
constexpr int Failed = 1;
constexpr int Usage = 2;

bool readText(const fs::path& File, std::string& Text) {
  std::ifstream In(File, std::ios::binary);
  if (!In) return false;
  Text.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  return !In.bad();
}

// The line where the statement starting at or after At begins: blanks and
// "--" comments before it are skipped.
int lineOf(const std::string& Text, const char* At) {
  for (;;) {
    while (*At == ' ' || *At == '\t' || *At == '\r' || *At == '\n') ++At;
    if (At[0] != '-' || At[1] != '-') break;
    while (*At && *At != '\n') ++At;
  }
  return 1 + int(std::count(Text.data(), At, '\n'));
}

// Runs every statement of File; on failure reports "<file>:<line>: <error>".
bool runFile(sqlite3* Db, const fs::path& File) {
  std::string Sql;
  if (!readText(File, Sql)) {
    std::fprintf(stderr, "makecatalog: cannot read %s\n", File.c_str());
    return false;
  }
  const char* Next = Sql.c_str();
  while (*Next) {
    sqlite3_stmt* Statement = nullptr;
    const char* Start = Next;
    int Code = sqlite3_prepare_v2(Db, Start, -1, &Statement, &Next);
    if (Code == SQLITE_OK && Statement) {
      while ((Code = sqlite3_step(Statement)) == SQLITE_ROW) {
      }
      if (Code == SQLITE_DONE) Code = SQLITE_OK;
    }
    sqlite3_finalize(Statement);
    if (Code != SQLITE_OK) {
      std::fprintf(stderr, "%s:%d: %s\n", File.c_str(), lineOf(Sql, Start), sqlite3_errmsg(Db));
      return false;
    }
  }
  return true;
}

bool exec(sqlite3* Db, const char* Sql) {
  if (sqlite3_exec(Db, Sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
  std::fprintf(stderr, "makecatalog: %s: %s\n", Sql, sqlite3_errmsg(Db));
  return false;
}

bool build(const fs::path& File, int Count, char** SqlFiles) {
  sqlite3* Db = nullptr;
  bool Ok = sqlite3_open_v2(File.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
  if (!Ok) std::fprintf(stderr, "makecatalog: cannot create %s: %s\n", File.c_str(), sqlite3_errmsg(Db));
  Ok = Ok && exec(Db, "BEGIN");
  for (int I = 0; Ok && I < Count; ++I) Ok = runFile(Db, SqlFiles[I]);
  Ok = Ok && exec(Db, "COMMIT");
  if (sqlite3_close(Db) != SQLITE_OK) Ok = false;
  return Ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: makecatalog <catalog file> <sql file>...\n");
    return Usage;
  }
  const fs::path Catalog = argv[1];
  std::error_code Error;
  if (fs::exists(Catalog, Error)) return Done;

  fs::path Temp = Catalog;
  Temp += ".new-" + std::to_string(::getpid());
  fs::remove(Temp, Error);
  bool Ok = build(Temp, argc - 2, argv + 2);
  if (Ok) {
    // A hard link refuses an existing name, where a rename would replace it.
    fs::create_hard_link(Temp, Catalog, Error);
    if (Error && Error != std::errc::file_exists) {
      std::fprintf(stderr, "makecatalog: cannot create %s: %s\n", Catalog.c_str(), Error.message().c_str());
      Ok = false;
    }
  }
  fs::remove(Temp, Error);
  return Ok ? Done : Failed;
}
