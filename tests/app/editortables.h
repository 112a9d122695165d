// The three queries of the data module that the reference editor's text
// routines read and write, as in-memory datasets: the catalog with one
// reference row in edit state, the journal table and the cleaning pairs.
#pragma once

#include "platform/db/dataset.h"
#include "platform/db/fielddefs.h"
#include "platform/db/fields.h"
#include "platform/db/testing/rowlistdataset.h"

#include "tests/support/testing.h"

namespace apptest {

// Columns of `bibliona`, in def order.
inline const char* const CatalogColumns[] = {"number",   "sbgr4_nmb",  "source",    "summary", "author", "data_make",
                                             "journal",  "file_doc",   "data_input", "file_type", "doi"};

struct TEditorTables {
  TRowListDataSet Catalog{nullptr};
  TRowListDataSet Journal{nullptr};
  TRowListDataSet Refuse{nullptr};

  TEditorTables() {
    TFieldDefs* Defs = Catalog.FieldDefs();
    Defs->Add("number", ftInteger);
    Defs->Add("sbgr4_nmb", ftInteger);
    Defs->Add("source", ftWideMemo);
    Defs->Add("summary", ftWideMemo);
    Defs->Add("author", ftWideMemo);
    Defs->Add("data_make", ftInteger);
    Defs->Add("journal", ftWideMemo);
    Defs->Add("file_doc", ftWideMemo);
    Defs->Add("data_input", ftWideMemo);
    Defs->Add("file_type", ftWideMemo);
    Defs->Add("doi", ftWideMemo);
    Catalog.AppendRow({1, 100, String("Old title"), String("Old abstract"), String("Old author"), 1999,
                       String("Old J"), String(), String("2001-01-01"), String("atl"), String("10.0/old")});
    Journal.FieldDefs()->Add("short_name", ftWideMemo);
    Journal.FieldDefs()->Add("full_name", ftWideMemo);
    Refuse.FieldDefs()->Add("refuse", ftWideMemo);
    Refuse.FieldDefs()->Add("replace", ftWideMemo);
    Refuse.FieldDefs()->Add("type", ftInteger);
  }

  // The editor shows the row in edit state; the side tables stay closed
  // until a routine opens them.
  void Edit() {
    Catalog.Open();
    Catalog.Edit();
  }
  void AddJournal(const String& ShortName, const String& FullName) { Journal.AppendRow({ShortName, FullName}); }
  void AddPair(const String& Find, const String& Replace, int Type) { Refuse.AppendRow({Find, Replace, Type}); }

  String Text(const char* Column) { return Catalog.FieldByName(Column)->AsString(); }
  int Number(const char* Column) { return Catalog.FieldByName(Column)->AsInteger(); }
  // Every column of the edited row as text, for "nothing changed" checks.
  std::vector<String> Row() {
    std::vector<String> Result;
    for (const char* Column : CatalogColumns) Result.push_back(Text(Column));
    return Result;
  }
};

}  // namespace apptest
