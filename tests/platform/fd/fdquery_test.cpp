// Opening, fetching, parameters, fields from result metadata and ExecSQL.
#include "platform/fd/fdquery.h"

#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/fd/fdconsts.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/stringlist.h"
#include "tests/platform/fd/fdfixture.h"

#include <functional>

using namespace fdtest;

namespace {

const char* const References = R"(
INSERT INTO bibliona (number, sbgr4_nmb, source, author, data_make, file_type)
  VALUES (1, 10, 'Alpha source', 'Ames', 2001, 'atl'), (2, 10, 'Beta source', 'Baker', 2003, 'bk'),
         (3, 11, 'Gamma source', 'Cole', 2002, 'sum');
INSERT INTO cat_arc (number, source) VALUES (1, 'kept'), (2, 'kept'), (3, 'other');
)";

struct TQueryTest : ::testing::Test {
  TCatalogFixture Catalog{References};
};

std::vector<String> Column(TFDQuery* Query, const char* Field) {
  std::vector<String> Values;
  for (Query->First(); !Query->Eof(); Query->Next()) Values.push_back(Query->FieldByName(QLatin1String(Field))->AsString());
  return Values;
}

}  // namespace

// ---------------------------------------------------------------------------
// opening and fetching

TEST_F(TQueryTest, OpenFetchesEveryRowAndHoldsNoCursor) {
  Catalog.Connection->StartTransaction();
  TFDQuery* Query = Catalog.Query("select * from bibliona order by number");
  EXPECT_EQ(Query->RecordCount(), 3);
  Query->Last();
  EXPECT_EQ(Query->FieldByName(QStringLiteral("SOURCE"))->AsString(), QStringLiteral("Gamma source"));
  EXPECT_EQ(Query->RecNo(), 3);
  // No statement of the query is left running: COMMIT and ROLLBACK pass.
  EXPECT_EQ(sqlite3_next_stmt(Catalog.Connection->SQLiteHandle(), nullptr), nullptr);
  Catalog.Connection->Commit();
  EXPECT_EQ(Query->FetchOptions()->Mode(), fmAll);
}

TEST_F(TQueryTest, StatementTextsThatCannotOpen) {
  struct Case {
    const char* Name;
    const char* SQL;
    const char* Message;
  } Cases[] = {
      {"empty", "", "Command text must not be empty"},
      {"comment only", "  -- nothing here\n", "Command text must not be empty"},
      {"two statements", "select 1; select 2", "Only one SQL statement can be executed at a time"},
      {"no result set", "UPDATE bibliona SET source = 'changed'", "The statement returns no result set; use ExecSQL"},
      {"transaction", "commit", "Use the connection's transaction methods"},
      {"syntax", "SELEC * FROM bibliona", "near \"SELEC\": syntax error"},
      {"table", "select * from nowhere", "no such table: nowhere"},
  };
  TFDQuery* Query = Catalog.Query("", /*Open=*/false);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Query->SQL()->SetText(String::fromUtf8(C.SQL));
    try {
      Query->Open();
      ADD_FAILURE() << "opened";
    } catch (const EFDException& E) {
      EXPECT_EQ(E.Message, String::fromUtf8(C.Message));
    }
    EXPECT_FALSE(Query->Active());
  }
  TRawConnection Raw(Catalog.File.Path);
  EXPECT_EQ(Raw.Rows("SELECT count(*) FROM bibliona WHERE source = 'changed'").front(), QStringLiteral("0"));
  // Trailing blanks, comments and semicolons are one statement.
  Query->SQL()->SetText(QStringLiteral("select * from bibliona; -- all\n ;"));
  Query->Open();
  EXPECT_EQ(Query->RecordCount(), 3);
}

TEST_F(TQueryTest, ChangingTheTextClosesTheQueryAndKeepsItsProperties) {
  TFDQuery* Query = Catalog.Query("select * from bibliona");
  Query->SetIndexFieldNames(QStringLiteral("author:D"));
  Query->SetCachedUpdates(true);
  Query->Edit();
  Query->FieldByName(QStringLiteral("author"))->SetAsString(QStringLiteral("Unsaved"));
  Query->Post();
  Query->SQL()->Add(QStringLiteral("where data_make > 2001"));
  EXPECT_FALSE(Query->Active());
  Query->Open();
  EXPECT_FALSE(Query->UpdatesPending()) << "closing discarded the cached change";
  EXPECT_EQ(Column(Query, "author"), (std::vector<String>{"Cole", "Baker"}));
  EXPECT_EQ(Query->IndexFieldNames(), QStringLiteral("author:D"));
}

TEST_F(TQueryTest, ADatasetWithoutConnectionNamesItself) {
  TFDQuery Query(nullptr);
  Query.SetName(QStringLiteral("fdqSeek"));
  Query.SQL()->SetText(QStringLiteral("select 1"));
  EXPECT_RAISES(Query.Open(), EFDException, "Connection is not assigned for [fdqSeek]");
  EXPECT_RAISES(Query.ExecSQL(), EFDException, "Connection is not assigned for [fdqSeek]");
}

TEST_F(TQueryTest, OpeningConnectsADisconnectedConnection) {
  Catalog.Connection->Close();
  TFDQuery* Query = Catalog.Query("select number from bibliona");
  EXPECT_TRUE(Catalog.Connection->Connected());
  EXPECT_EQ(Query->RecordCount(), 3);
}

TEST_F(TQueryTest, DisconnectingClosesTheQueriesAndFreeingDropsTheReference) {
  TFDQuery* Query = Catalog.Query("select * from bibliona");
  TFDQuery Outside(nullptr);
  Outside.SetConnection(Catalog.Connection);
  Outside.SQL()->SetText(QStringLiteral("select * from gr_name"));
  Outside.Open();
  EXPECT_EQ(Catalog.Connection->DataSetCount(), 2);
  Catalog.Connection->Close();
  EXPECT_FALSE(Query->Active());
  EXPECT_FALSE(Outside.Active());
  FreeAndNil(Catalog.Connection);
  EXPECT_EQ(Outside.Connection(), nullptr);
  EXPECT_EQ(Outside.PointedConnection(), nullptr);
}

// ---------------------------------------------------------------------------
// fields from result metadata

TEST(FDQueryFields, DeclaredTypesMakeTheseFields) {
  TTempDatabase File;
  TFDConnection Connection(nullptr);
  SetParams(Connection, File.Path);
  Connection.ExecSQL(QStringLiteral(
      "CREATE TABLE kinds (id INTEGER PRIMARY KEY, a INTEGER, b BIGINT, c INT8, d VARCHAR(20), e NCHAR(5),"
      " f TEXT, g CLOB, h CHAR, i REAL, j FLOAT, k DOUBLE PRECISION, l NUMERIC, m DECIMAL(10,2), n BLOB,"
      " o DATE, p)"));
  Connection.ExecSQL(QStringLiteral("INSERT INTO kinds (a, o, p) VALUES (1, '2024-01-31', 2.5)"));
  TFDQuery Query(nullptr);
  Query.SetConnection(&Connection);
  Query.SQL()->SetText(QStringLiteral("SELECT * FROM kinds"));
  Query.Open();
  struct Case {
    const char* Field;
    TFieldType Type;
    int Size;
  } Cases[] = {
      {"id", ftAutoInc, 0}, {"a", ftInteger, 0}, {"b", ftLargeint, 0}, {"c", ftLargeint, 0}, {"d", ftString, 20},
      {"e", ftString, 5},   {"f", ftMemo, 0},    {"g", ftMemo, 0},     {"h", ftMemo, 0},     {"i", ftFloat, 0},
      {"j", ftFloat, 0},    {"k", ftFloat, 0},   {"l", ftFloat, 0},    {"m", ftFloat, 0},    {"n", ftBlob, 0},
      {"o", ftMemo, 0},     {"p", ftFloat, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Field);
    TField* Field = Query.FieldByName(QLatin1String(C.Field));
    EXPECT_EQ(Field->DataType(), C.Type);
    EXPECT_EQ(Query.FieldDefs()->Find(QLatin1String(C.Field))->Size(), C.Size);
    EXPECT_EQ(Field->Origin(), QLatin1String(C.Field));
  }
  EXPECT_EQ(Query.FieldByName(QStringLiteral("d"))->Size(), 20);
}

TEST_F(TQueryTest, ExpressionsAndAliasesGetOriginsTypesAndReadOnly) {
  TFDQuery* Query = Catalog.Query(
      "select number, source as s, count(*) c, 1.5 * data_make as r, upper(author) u, null as z, "
      "x'00ff' b from bibliona");
  struct Case {
    const char* Field;
    TFieldType Type;
    const char* Origin;
    bool ReadOnly;
  } Cases[] = {
      {"number", ftAutoInc, "number", true}, {"s", ftMemo, "source", false}, {"c", ftLargeint, "", true},
      {"r", ftFloat, "", true},              {"u", ftMemo, "", true},        {"z", ftMemo, "", true},
      {"b", ftBlob, "", true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Field);
    TField* Field = Query->FieldByName(QLatin1String(C.Field));
    EXPECT_EQ(Field->DataType(), C.Type);
    EXPECT_EQ(Field->Origin(), QLatin1String(C.Origin));
    EXPECT_EQ(Field->ReadOnly(), C.ReadOnly);
    EXPECT_EQ(Field->FieldNo(), Field->Index() + 1);
  }
  TField* Number = Query->FieldByName(QStringLiteral("number"));
  EXPECT_EQ(Number->AutoGenerateValue(), arAutoInc);
  EXPECT_TRUE(Number->ProviderFlags().Contains(pfInKey));
  EXPECT_FALSE(Number->Required());
  EXPECT_FALSE(Query->FieldByName(QStringLiteral("s"))->ProviderFlags().Contains(pfInKey));
  EXPECT_EQ(Query->FieldByName(QStringLiteral("c"))->AsInteger(), 3);
}

TEST_F(TQueryTest, RequiredMeansNotNullWithoutDefault) {
  Catalog.Connection->ExecSQL(
      QStringLiteral("CREATE TABLE needs (id INTEGER PRIMARY KEY, must TEXT NOT NULL, given TEXT NOT NULL DEFAULT 'x',"
                     " free TEXT)"));
  TFDQuery* Query = Catalog.Query("select * from needs");
  EXPECT_TRUE(Query->FieldByName(QStringLiteral("must"))->Required());
  EXPECT_FALSE(Query->FieldByName(QStringLiteral("given"))->Required());
  EXPECT_FALSE(Query->FieldByName(QStringLiteral("free"))->Required());
  EXPECT_FALSE(Query->FieldByName(QStringLiteral("id"))->Required());
  Query->Append();
  EXPECT_RAISES(Query->Post(), EDatabaseError, "Field 'must' must have a value");
}

TEST_F(TQueryTest, RepeatedColumnNamesGetSuffixes) {
  TFDQuery* Query = Catalog.Query("select source, SOURCE, author as source, author as source_1 from bibliona");
  EXPECT_EQ(Query->Fields()->Fields(0)->FieldName(), QStringLiteral("source"));
  // A plain column reference is named as the table declares it.
  EXPECT_EQ(Query->Fields()->Fields(1)->FieldName(), QStringLiteral("source_1"));
  EXPECT_EQ(Query->Fields()->Fields(2)->FieldName(), QStringLiteral("source_2"));
  EXPECT_EQ(Query->Fields()->Fields(3)->FieldName(), QStringLiteral("source_1_1"));
}

TEST_F(TQueryTest, ValuesAreKeptAsFetched) {
  Catalog.Connection->ExecSQL(QStringLiteral("INSERT INTO bibliona (number, data_make, doi) VALUES (9, 'unknown', 12)"));
  TFDQuery* Query = Catalog.Query("select number, data_make, doi, summary from bibliona where number = 9");
  Query->SetCachedUpdates(true);
  TField* Year = Query->FieldByName(QStringLiteral("data_make"));
  EXPECT_EQ(Year->DataType(), ftInteger);
  // The integer field shows the text and has no number for it; the value is not lost.
  EXPECT_EQ(Year->AsString(), QStringLiteral("unknown"));
  EXPECT_RAISES(Year->AsInteger(), EDatabaseError, "'unknown' is not a valid integer value for field 'data_make'");
  EXPECT_EQ(Query->FieldByName(QStringLiteral("doi"))->AsString(), QStringLiteral("12"));
  EXPECT_TRUE(Query->FieldByName(QStringLiteral("summary"))->IsNull());
  Query->Edit();
  Query->FieldByName(QStringLiteral("summary"))->SetAsString(QStringLiteral("read"));
  Query->Post();
  Query->ApplyUpdates();
  TRawConnection Raw(Catalog.File.Path);
  EXPECT_EQ(Raw.Rows("SELECT data_make, typeof(doi), summary FROM bibliona WHERE number = 9").front(),
            QStringLiteral("unknown|text|read"));
}

// What an INTEGER column can hold, read through its field, kept through a
// cached edit of its row and ApplyUpdates, and read again; integers are
// also written into a new row through the field's text.
TEST(FDQueryValues, IntegerColumnsReadEveryValueTheyHold) {
  struct Case {
    const char* Column;     // "n", or the rowid alias "id"
    const char* Literal;    // as inserted
    const char* Text;       // AsString, DisplayText and Text
    const char* Type;       // typeof() in the file
    Variant Value;          // AsVariant, kind included
    const char* LargeInt;   // AsLargeInt, or its error
    const char* Integer;    // AsInteger, or its error
  };
  const char* const Wide = "'%1' is not a valid integer value for field '%2'";
  const Case Cases[] = {
      {"n", "2147483647", "2147483647", "integer", Variant(2147483647), "2147483647", "2147483647"},
      {"n", "2147483648", "2147483648", "integer", Variant(Int64(2147483648LL)), "2147483648", Wide},
      {"n", "-2147483649", "-2147483649", "integer", Variant(Int64(-2147483649LL)), "-2147483649", Wide},
      {"n", "9007199254740993", "9007199254740993", "integer", Variant(Int64(9007199254740993LL)),
       "9007199254740993", Wide},
      {"n", "9223372036854775807", "9223372036854775807", "integer", Variant(Int64(9223372036854775807LL)),
       "9223372036854775807", Wide},
      {"id", "3000000000", "3000000000", "integer", Variant(Int64(3000000000LL)), "3000000000", Wide},
      {"n", "'12ab'", "12ab", "text", Variant("12ab"), Wide, Wide},
      {"n", "1.5", "1.5", "real", Variant(1.5), "2", "2"},
  };
  auto attempt = [](const std::function<Int64()>& Read) -> String {
    try {
      return IntToStr(Read());
    } catch (const EDatabaseError& E) {
      return E.Message;
    }
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Literal);
    TTempDatabase File;
    TFDConnection Connection(nullptr);
    SetParams(Connection, File.Path);
    Connection.ExecSQL(QStringLiteral("CREATE TABLE vals (id INTEGER PRIMARY KEY, n INTEGER, note TEXT)"));
    Connection.ExecSQL(QStringLiteral("INSERT INTO vals (%1) VALUES (%2)").arg(C.Column, C.Literal));
    const bool IsInteger = String(C.Type) == u"integer";
    auto expected = [&](const char* Result) {
      return String(Result) == Wide ? String(Wide).arg(C.Text, C.Column) : String(Result);
    };
    auto check = [&](TFDQuery& Query) {
      TField* Field = Query.FieldByName(QLatin1String(C.Column));
      EXPECT_EQ(Field->DataType(), String(C.Column) == u"id" ? ftAutoInc : ftInteger);
      EXPECT_EQ(Field->AsString(), QLatin1String(C.Text));
      EXPECT_EQ(Field->DisplayText(), QLatin1String(C.Text));
      EXPECT_EQ(Field->Text(), QLatin1String(C.Text));
      const Variant Value = Field->AsVariant();
      EXPECT_EQ(VarType(Value), VarType(C.Value));
      EXPECT_TRUE(VarSameValue(Value, C.Value));
      EXPECT_EQ(attempt([&] { return Field->AsLargeInt(); }), expected(C.LargeInt));
      EXPECT_EQ(attempt([&] { return Field->AsInteger(); }), expected(C.Integer));
    };

    TFDQuery Query(nullptr);
    Query.SetConnection(&Connection);
    Query.SetCachedUpdates(true);
    Query.SQL()->SetText(QStringLiteral("SELECT * FROM vals ORDER BY id"));
    Query.Open();
    check(Query);
    Query.Edit();
    Query.FieldByName(QStringLiteral("note"))->SetAsString(QStringLiteral("edited"));
    Query.Post();
    Query.Append();
    if (IsInteger && String(C.Column) == u"n") Query.FieldByName(QStringLiteral("n"))->SetAsString(C.Text);
    Query.Post();
    EXPECT_EQ(Query.ApplyUpdates(), 0);

    TRawConnection Raw(File.Path);
    const String Column = QLatin1String(C.Column);
    const std::vector<String> Stored =
        Raw.Rows(QStringLiteral("SELECT typeof(%1), %1, note FROM vals ORDER BY id").arg(Column).toUtf8().constData());
    ASSERT_EQ(Stored.size(), 2u);
    EXPECT_EQ(Stored[0], QStringLiteral("%1|%2|edited").arg(C.Type, C.Text));
    Query.Close();
    Query.Open();
    check(Query);
    Query.Last();
    if (String(C.Column) == u"id") {
      // The next rowid, read back at once by the insert.
      EXPECT_EQ(Stored[1], QStringLiteral("integer|3000000001|NULL"));
      EXPECT_EQ(Query.FieldByName(QStringLiteral("id"))->AsLargeInt(), 3000000001LL);
    } else if (IsInteger) {
      EXPECT_EQ(Stored[1], QStringLiteral("integer|%1|NULL").arg(C.Text));
      EXPECT_EQ(Query.FieldByName(QStringLiteral("n"))->AsString(), QLatin1String(C.Text));
    }
  }
}

TEST_F(TQueryTest, DeclaredLengthsNeverCutText) {
  Catalog.Connection->ExecSQL(QStringLiteral("INSERT INTO society (SHORT_NAME) VALUES ('a name longer than twenty')"));
  TFDQuery* Query = Catalog.Query("select * from society");
  Query->SetCachedUpdates(true);
  TField* Short = Query->FieldByName(QStringLiteral("short_name"));
  EXPECT_EQ(Short->DataType(), ftString);
  EXPECT_EQ(Short->Size(), 20);
  EXPECT_EQ(Short->AsString(), QStringLiteral("a name longer than twenty"));
  Query->Edit();
  Short->SetAsString(QStringLiteral("still longer than twenty characters"));
  Query->Post();
  EXPECT_EQ(Short->AsString(), QStringLiteral("still longer than twenty characters"));
}

TEST_F(TQueryTest, TextBeyondLatinSurvivesEveryPath) {
  const String Cyrillic = QStringLiteral("Психосоматика: обзор");
  const String Astral = QString::fromUtf8("\xF0\x9D\x84\x9E clef \xF0\x9F\x98\x80");
  TFDQuery* Query = Catalog.Query("select * from bibliona");
  Query->SetCachedUpdates(true);
  Query->Append();
  Query->FieldByName(QStringLiteral("source"))->SetAsString(Cyrillic);
  Query->FieldByName(QStringLiteral("author"))->SetAsString(Astral);
  Query->Post();
  Query->ApplyUpdates();
  Query->First();
  Query->Edit();
  Query->FieldByName(QStringLiteral("summary"))->SetAsString(Cyrillic + Astral);
  Query->Post();
  Query->ApplyUpdates();
  Query->CommitUpdates();

  TRawConnection Raw(Catalog.File.Path);
  EXPECT_EQ(Raw.Rows("SELECT source || '|' || author FROM bibliona WHERE number = 4").front(), Cyrillic + u'|' + Astral);
  EXPECT_EQ(Raw.Rows("SELECT summary FROM bibliona WHERE number = 1").front(), Cyrillic + Astral);

  TFDQuery* Again = Catalog.Query("select * from bibliona where author = :a", /*Open=*/false);
  Again->ParamByName(QStringLiteral("a"))->SetAsString(Astral);
  Again->Open();
  EXPECT_EQ(Again->FieldByName(QStringLiteral("source"))->AsString(), Cyrillic);

  // The engine's LIKE folds ASCII letters only: Cyrillic stays case-sensitive.
  for (const auto& [Pattern, Count] : {std::pair{"психо%", 0}, {"Психо%", 1}, {"%SOURCE", 3}}) {
    Again->Close();
    Again->SQL()->SetText(QStringLiteral("select * from bibliona where source like :p"));
    Again->ParamByName(QStringLiteral("p"))->SetAsString(String::fromUtf8(Pattern));
    Again->Open();
    EXPECT_EQ(Again->RecordCount(), Count) << Pattern;
  }
}

// ---------------------------------------------------------------------------
// parameters

TEST_F(TQueryTest, ParametersAreBoundNeverSpliced) {
  TFDQuery* Query = Catalog.Query("select * from bibliona where author = :who or source = ':who' -- :not\n"
                                  "or doi = \":x\" or file_type = :Type or author = :WHO", /*Open=*/false);
  ASSERT_EQ(Query->Params()->Count(), 2);
  EXPECT_EQ(Query->Params()->Items(0)->Name(), QStringLiteral("who"));
  EXPECT_EQ(Query->Params()->Items(1)->Name(), QStringLiteral("Type"));
  EXPECT_RAISES(Query->Open(), EFDException, "Parameter 'who' has no value");
  EXPECT_RAISES(Query->ParamByName(QStringLiteral("nobody")), EFDException, "Parameter 'nobody' not found");
  Query->ParamByName(QStringLiteral("WHO"))->SetAsString(QStringLiteral("x' or '1'='1"));
  Query->ParamByName(QStringLiteral("type"))->Clear();
  Query->Open();
  EXPECT_EQ(Query->RecordCount(), 0);
  Query->Close();
  Query->ParamByName(QStringLiteral("who"))->SetAsString(QStringLiteral("Baker"));
  Query->Open();
  EXPECT_EQ(Column(Query, "number"), (std::vector<String>{"2"}));
  // The engine tells ":who" from ":WHO"; both take the one parameter.
  const std::vector<Variant>& Binds = Catalog.Trace.Binds.back();
  ASSERT_EQ(Binds.size(), 3u);
  EXPECT_EQ(Binds[0].AsString(), QStringLiteral("Baker"));
  EXPECT_TRUE(VarIsNull(Binds[1]));
  EXPECT_EQ(Binds[2].AsString(), QStringLiteral("Baker"));
}

TEST_F(TQueryTest, ParameterValuesOutliveATextChange) {
  TFDQuery* Query = Catalog.Query("select * from bibliona where sbgr4_nmb = :g", /*Open=*/false);
  Query->ParamByName(QStringLiteral("g"))->SetAsInteger(10);
  Query->SQL()->SetText(QStringLiteral("select * from bibliona where sbgr4_nmb = :g order by number desc"));
  Query->Open();
  EXPECT_EQ(Column(Query, "number"), (std::vector<String>{"2", "1"}));
}

// A data driver fills the parameters through the provider interface.
TEST_F(TQueryTest, TheProviderParametersAreTheQuerys) {
  TFDQuery* Query = Catalog.Query("select * from bibliona where sbgr4_nmb = :g", /*Open=*/false);
  TParams* Params = Query->PSGetParams();
  ASSERT_EQ(Params, Query->Params());
  TParam* G = Params->ParamByName(QStringLiteral("G"));
  EXPECT_FALSE(G->Bound());
  G->SetValue(10);
  EXPECT_TRUE(Query->ParamByName(QStringLiteral("g"))->Bound());
  // A changed text keeps the value and the bound mark.
  Query->SQL()->SetText(QStringLiteral("select * from bibliona where sbgr4_nmb = :g order by number"));
  EXPECT_TRUE(Query->ParamByName(QStringLiteral("g"))->Bound());
  Query->Open();
  EXPECT_EQ(Column(Query, "number"), (std::vector<String>{"1", "2"}));
}

TEST_F(TQueryTest, ParamCreateOffTakesTheTextLiterally) {
  TFDQuery* Query = Catalog.Query("", /*Open=*/false);
  Query->ResourceOptions()->SetParamCreate(false);
  Query->SQL()->SetText(QStringLiteral("select :x as v, 1 as w"));
  EXPECT_EQ(Query->Params()->Count(), 0);
  Query->Open();
  EXPECT_TRUE(Query->FieldByName(QStringLiteral("v"))->IsNull());
}

// ---------------------------------------------------------------------------
// ExecSQL

TEST_F(TQueryTest, ExecSQLRunsOneStatementAndCountsRows) {
  TFDQuery* Seek = Catalog.Query("select * from bibliona");
  Seek->SQL()->SetText(QStringLiteral("UPDATE bibliona SET source = REPLACE(source, 'source', :w)"));
  Seek->ParamByName(QStringLiteral("w"))->SetAsString(QStringLiteral("citation"));
  Seek->ExecSQL();
  EXPECT_EQ(Seek->RowsAffected(), 3);
  EXPECT_FALSE(Seek->Active());
  // The UPDATE left in the text never runs again through Open.
  EXPECT_RAISES(Seek->Open(), EFDException, "The statement returns no result set; use ExecSQL");
  EXPECT_EQ(Catalog.Trace.Only(QStringLiteral("UPDATE")).size(), 1u);

  Seek->SQL()->SetText(QStringLiteral("select * from bibliona"));
  Seek->ExecSQL();
  EXPECT_EQ(Seek->RowsAffected(), 0);
}

TEST_F(TQueryTest, ExecSQLInsideASavepointIsUndoneByItsRollback) {
  TFDQuery* Selected = Catalog.Query("select * from cat_arc");
  Catalog.Connection->StartTransaction();
  Catalog.Connection->StartTransaction();
  Selected->SQL()->SetText(QStringLiteral("DELETE FROM cat_arc"));
  Selected->ExecSQL();
  EXPECT_EQ(Selected->RowsAffected(), 3);
  Catalog.Connection->Rollback();
  Selected->SQL()->SetText(QStringLiteral("select * from cat_arc"));
  Selected->Open();
  EXPECT_EQ(Selected->RecordCount(), 3);
  Catalog.Connection->Commit();
  TRawConnection Raw(Catalog.File.Path);
  EXPECT_EQ(Raw.Count("cat_arc"), 3);
}

// ---------------------------------------------------------------------------
// the dataset classes

TEST_F(TQueryTest, TheFourClassesAreSiblingsWithTheirProperties) {
  struct Case {
    TClass Class;
    const char* Name;
  } Cases[] = {{TFDQuery::StaticClass(), "TFDQuery"},
               {TFDTable::StaticClass(), "TFDTable"},
               {TFDStoredProc::StaticClass(), "TFDStoredProc"},
               {TFDMemTable::StaticClass(), "TFDMemTable"}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(C.Class->ClassName(), QLatin1String(C.Name));
    EXPECT_EQ(C.Class->ClassParent(), TFDAdaptedDataSet::StaticClass());
    EXPECT_TRUE(C.Class->InheritsFrom(TFDDataSet::StaticClass()));
    EXPECT_TRUE(C.Class->InheritsFrom(TDataSet::StaticClass()));
    for (const Case& Other : Cases)
      if (Other.Class != C.Class) {
        EXPECT_FALSE(C.Class->InheritsFrom(Other.Class)) << Other.Name;
      }
    TComponent* Made = C.Class->Create(static_cast<TComponent*>(nullptr));
    EXPECT_TRUE(IsPublishedProp(Made, QStringLiteral("Name")));
    EXPECT_TRUE(IsPublishedProp(Made, QStringLiteral("IndexFieldNames")));
    Made->Free();
  }
  TFDQuery* Query = Catalog.Query("select 1", /*Open=*/false);
  auto* SQL = dynamic_cast<TStrings*>(GetObjectProp(Query, QStringLiteral("SQL")));
  ASSERT_EQ(SQL, Query->SQL());
  SQL->SetText(QStringLiteral("select number from bibliona"));
  Query->Open();
  EXPECT_EQ(Query->RecordCount(), 3);
  EXPECT_EQ(Query->PointedConnection(), Catalog.Connection);
}

TEST_F(TQueryTest, TablesStoredProceduresAndMemoryTables) {
  TFDTable Table(nullptr);
  Table.SetConnection(Catalog.Connection);
  Table.SetTableName(QStringLiteral("cat_arc"));
  Table.Open();
  EXPECT_EQ(Table.RecordCount(), 3);

  TFDStoredProc Proc(nullptr);
  Proc.SetConnection(Catalog.Connection);
  EXPECT_RAISES(Proc.Open(), EFDException, "Stored procedures are not supported by SQLite");
  EXPECT_RAISES(Proc.ExecProc(), EFDException, "Stored procedures are not supported by SQLite");

  TFDMemTable Memory(nullptr);
  Memory.FieldDefs()->Add(QStringLiteral("id"), ftInteger);
  Memory.FieldDefs()->Add(QStringLiteral("name"), ftString, 10);
  Memory.CreateDataSet();
  for (const auto& [Id, Name] : {std::pair{2, "two"}, {1, "one"}}) {
    Memory.Append();
    Memory.FieldByName(QStringLiteral("id"))->SetAsInteger(Id);
    Memory.FieldByName(QStringLiteral("name"))->SetAsString(QLatin1String(Name));
    Memory.Post();
  }
  Memory.SetIndexFieldNames(QStringLiteral("id"));
  Memory.First();
  EXPECT_EQ(Memory.FieldByName(QStringLiteral("name"))->AsString(), QStringLiteral("one"));
  EXPECT_EQ(Memory.RecordCount(), 2);
}
