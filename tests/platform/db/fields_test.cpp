#include "platform/db/fields.h"

#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fieldclasses.h"
#include "platform/db/fielddefs.h"
#include "platform/db/testing/rowlistdataset.h"
#include "platform/rtl/stringlist.h"

#include "tests/support/testing.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

// A row-list dataset that records the data events it sends.
class TWatchedDataSet : public TRowListDataSet {
public:
  using TRowListDataSet::TRowListDataSet;
  std::vector<std::pair<TDataEvent, std::intptr_t>> Events;
  TField* FocusRequested = nullptr;  // the field a deFocusControl carried

  int Count(TDataEvent Event) const {
    int N = 0;
    for (const auto& E : Events) N += E.first == Event;
    return N;
  }

protected:
  void DataEvent(TDataEvent Event, std::intptr_t Info) override {
    Events.emplace_back(Event, Info);
    if (Event == deFocusControl) FocusRequested = *reinterpret_cast<TField**>(Info);
    TRowListDataSet::DataEvent(Event, Info);
  }
};

// Books: Id, Title, Qty, AuthorId; rows (1, "Emma", 3, 10), (2, "Ivanhoe",
// Null, 20), (3, "Kim", 7, 99).
TOwned<TWatchedDataSet> makeBooks() {
  TOwned<TWatchedDataSet> Books(new TWatchedDataSet(nullptr));
  Books->SetName("Books");
  Books->FieldDefs()->Add("Id", ftInteger);
  Books->FieldDefs()->Add("Title", ftWideString, 40);
  Books->FieldDefs()->Add("Qty", ftInteger);
  Books->FieldDefs()->Add("AuthorId", ftInteger);
  Books->AppendRow({Variant(1), Variant("Emma"), Variant(3), Variant(10)});
  Books->AppendRow({Variant(2), Variant("Ivanhoe"), Null(), Variant(20)});
  Books->AppendRow({Variant(3), Variant("Kim"), Variant(7), Variant(99)});
  return Books;
}

// Authors: Id, Name; rows (10, "Austen"), (20, "Scott").
TOwned<TWatchedDataSet> makeAuthors() {
  TOwned<TWatchedDataSet> Authors(new TWatchedDataSet(nullptr));
  Authors->SetName("Authors");
  Authors->FieldDefs()->Add("Id", ftInteger);
  Authors->FieldDefs()->Add("Name", ftWideString, 40);
  Authors->AppendRow({Variant(10), Variant("Austen")});
  Authors->AppendRow({Variant(20), Variant("Scott")});
  return Authors;
}

// Persistent fields for every def of DataSet, as a designer would make them.
void createDataFields(TDataSet* DataSet) {
  for (int I = 0; I < DataSet->FieldDefs()->Count(); ++I) DataSet->FieldDefs()->Items(I)->CreateField(DataSet);
}

TField* addLookupField(TDataSet* DataSet, TDataSet* LookupDataSet, const String& KeyFields,
                       const String& LookupKeyFields) {
  auto* Field = new TWideStringField(DataSet);
  Field->SetFieldName("Author");
  Field->SetFieldKind(fkLookup);
  Field->SetKeyFields(KeyFields);
  Field->SetLookupDataSet(LookupDataSet);
  Field->SetLookupKeyFields(LookupKeyFields);
  Field->SetLookupResultField("Name");
  Field->SetDataSet(DataSet);
  return Field;
}

// ---------------------------------------------------------------------------
// TFields

TEST(FieldsTest, ListOperationsAndNames) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  createDataFields(Books.get());
  TFields* Fields = Books->Fields();
  ASSERT_EQ(Fields->Count(), 4);
  TField* Title = (*Fields)[1];
  EXPECT_EQ(Title->FieldName(), String("Title"));
  EXPECT_EQ(Fields->IndexOf(Title), 1);
  EXPECT_EQ(Title->Index(), 1);
  EXPECT_EQ(Fields->FindField("TITLE"), Title);
  EXPECT_EQ(Fields->FindField("authorid"), (*Fields)[3]);
  EXPECT_EQ(Fields->FindField("Nope"), nullptr);
  EXPECT_EQ(Fields->FieldByNumber(3), (*Fields)[2]);
  EXPECT_RAISES(Fields->FieldByName("x"), EDatabaseError, "Books: Field 'x' not found");
  EXPECT_RAISES(Fields->CheckFieldNames("Id;Title;Nope"), EDatabaseError, "Books: Field 'Nope' not found");

  TStringList Names;
  Names.Add("stale");
  Fields->GetFieldNames(&Names);
  EXPECT_EQ(Names.CommaText(), String("Id,Title,Qty,AuthorId"));

  auto* Duplicate = new TIntegerField(Books.get());
  Duplicate->SetFieldName("title");
  EXPECT_RAISES(Duplicate->SetDataSet(Books.get()), EDatabaseError, "Books: Duplicate field name 'title'");
  EXPECT_EQ(Duplicate->DataSet(), nullptr);
  auto* Unnamed = new TIntegerField(Books.get());
  EXPECT_RAISES(Unnamed->SetDataSet(Books.get()), EDatabaseError, "Books: Field name missing");
  EXPECT_RAISES(Title->SetFieldName("ID"), EDatabaseError, "Books: Duplicate field name 'ID'");
  Title->SetFieldName("TITLE");  // a change of case only
  EXPECT_EQ(Fields->FindField("Title"), Title);
}

// Unicode names fold case fully: Cyrillic and Latin alike.
TEST(FieldsTest, FindFieldFoldsUnicodeCase) {
  TOwned<TWatchedDataSet> Books(new TWatchedDataSet(nullptr));
  Books->FieldDefs()->Add(QString::fromUtf8("ЗАГЛАВИЕ"), ftWideString, 10);
  Books->FieldDefs()->Add("TYPE_INF", ftWideString, 10);
  Books->Open();
  EXPECT_NE(Books->Fields()->FindField(QString::fromUtf8("Заглавие")), nullptr);
  EXPECT_NE(Books->Fields()->FindField("Type_Inf"), nullptr);
}

TEST(FieldsTest, ChangesOfTheListReachTheDataSet) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  createDataFields(Books.get());
  Books->Events.clear();

  auto* Extra = new TIntegerField(Books.get());
  Extra->SetFieldName("Extra");
  Extra->SetDataSet(Books.get());
  EXPECT_EQ(Books->Count(deFieldListChange), 1);
  Extra->SetIndex(0);
  EXPECT_EQ(Books->Fields()->Fields(0), Extra);
  EXPECT_EQ(Books->Fields()->Fields(1)->FieldName(), String("Id"));
  EXPECT_EQ(Books->Count(deFieldListChange), 2);
  Extra->SetIndex(99);  // clamped to the last place
  EXPECT_EQ(Extra->Index(), 4);
  Extra->SetDataSet(nullptr);
  EXPECT_EQ(Books->Count(deFieldListChange), 4);
  EXPECT_EQ(Books->Fields()->Count(), 4);
  EXPECT_EQ(Extra->Index(), -1);

  // A freed field leaves the list.
  Extra->SetDataSet(Books.get());
  Extra->Free();
  EXPECT_EQ(Books->Fields()->Count(), 4);
  EXPECT_EQ(Books->Fields()->FindField("Extra"), nullptr);

  Books->Fields()->Clear();
  EXPECT_EQ(Books->Fields()->Count(), 0);
  EXPECT_EQ(Books->ComponentCount(), 0);  // the fields were freed
}

TEST(FieldsTest, FieldsOfAnOpenDataSetKeepTheirShape) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  Books->Open();
  TField* Title = Books->FieldByName("Title");
  const char* Open = "Books: Cannot perform this operation on an open dataset";
  EXPECT_RAISES(Title->SetDataSet(nullptr), EDatabaseError, Open);
  EXPECT_RAISES(Title->SetSize(10), EDatabaseError, Open);
  EXPECT_RAISES(Title->SetFieldName("Name"), EDatabaseError, Open);
  EXPECT_RAISES(Title->SetFieldKind(fkCalculated), EDatabaseError, Open);
  auto* Late = new TIntegerField(nullptr);
  Late->SetFieldName("Late");
  EXPECT_RAISES(Late->SetDataSet(Books.get()), EDatabaseError, Open);
  Late->Free();
  EXPECT_EQ(Title->FieldNo(), 2);
  EXPECT_TRUE(Books->Active());

  // Freeing a field of an open dataset closes the dataset first.
  Title->Free();
  EXPECT_FALSE(Books->Active());
  EXPECT_EQ(Books->FindField("Title"), nullptr);
}

// Layout properties redraw the grid's columns; the others only its cells.
TEST(FieldsTest, PropertyChangesNotifyAnActiveDataSet) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  createDataFields(Books.get());
  auto* Flag = new TBooleanField(Books.get());
  Flag->SetFieldName("Flag");
  Flag->SetFieldKind(fkCalculated);
  Flag->SetDataSet(Books.get());
  auto* Qty = dynamic_cast<TIntegerField*>(Books->Fields()->FieldByName("Qty"));
  auto* Price = new TFloatField(Books.get());
  Price->SetFieldName("Price");
  Price->SetFieldKind(fkCalculated);
  Price->SetDataSet(Books.get());

  // Closed: nothing is sent.
  Books->Events.clear();
  Qty->SetVisible(false);
  Qty->SetVisible(true);
  EXPECT_TRUE(Books->Events.empty());

  Books->Open();
  struct Case {
    const char* Name;
    std::function<void()> Change;
    TDataEvent Expected;
  };
  const Case Cases[] = {
      {"Visible", [&] { Qty->SetVisible(false); }, deLayoutChange},
      {"Index", [&] { Qty->SetIndex(0); }, deLayoutChange},
      {"DisplayLabel", [&] { Qty->SetDisplayLabel("Quantity"); }, deLayoutChange},
      {"DisplayWidth", [&] { Qty->SetDisplayWidth(4); }, deLayoutChange},
      {"Alignment", [&] { Qty->SetAlignment(taCenter); }, deDataSetChange},
      {"DisplayFormat", [&] { Qty->SetDisplayFormat("0"); }, deDataSetChange},
      {"EditFormat", [&] { Qty->SetEditFormat("0"); }, deDataSetChange},
      {"DisplayValues", [&] { Flag->SetDisplayValues("Y;N"); }, deDataSetChange},
      {"Currency", [&] { Price->SetCurrency(true); }, deDataSetChange},
      {"Precision", [&] { Price->SetPrecision(7); }, deDataSetChange},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Books->Events.clear();
    C.Change();
    ASSERT_FALSE(Books->Events.empty());
    EXPECT_EQ(Books->Events.back().first, C.Expected);
    EXPECT_EQ(Books->Count(deLayoutChange) + Books->Count(deDataSetChange), 1);
  }
}

// ---------------------------------------------------------------------------
// values and the write path

TEST(FieldsTest, NullReadsAsTheEmptyValueOfItsKind) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  Books->Open();
  Books->Next();  // Ivanhoe: Qty is Null
  TField* Qty = Books->FieldByName("Qty");
  EXPECT_TRUE(Qty->IsNull());
  EXPECT_TRUE(VarIsNull(Qty->Value()));
  EXPECT_EQ(Qty->AsString(), String());
  EXPECT_EQ(Qty->AsInteger(), 0);
  EXPECT_EQ(Qty->AsLargeInt(), 0);
  EXPECT_EQ(Qty->AsFloat(), 0.0);
  EXPECT_EQ(Qty->DisplayText(), String());
  EXPECT_RAISES(Qty->AsBoolean(), EDatabaseError, "Cannot access field 'Qty' as type Boolean");
  EXPECT_RAISES(Qty->AsDateTime(), EDatabaseError, "Cannot access field 'Qty' as type DateTime");

  TField* Title = Books->FieldByName("Title");
  EXPECT_EQ(Title->AsString(), String("Ivanhoe"));
  EXPECT_EQ(Title->AsWideString(), String("Ivanhoe"));
  EXPECT_EQ(Title->AsAnsiString().Bytes(), QByteArray("Ivanhoe"));
  EXPECT_FALSE(Title->AsBoolean());
  EXPECT_EQ(VarType(Books->FieldByName("Id")->Value()), varInteger);
}

TEST(FieldsTest, WritesNeedAnEditingDataSet) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  Books->Open();
  TField* Qty = Books->FieldByName("Qty");
  EXPECT_TRUE(Qty->CanModify());
  EXPECT_RAISES(Qty->SetAsInteger(5), EDatabaseError, "Books: Dataset not in edit or insert mode");
  Books->Edit();
  Qty->SetAsInteger(5);
  EXPECT_EQ(Qty->AsInteger(), 5);
  Qty->Clear();
  EXPECT_TRUE(Qty->IsNull());
  Qty->SetValue(Variant("8"));
  EXPECT_EQ(Qty->AsInteger(), 8);
  Qty->SetValue(Unassigned());
  EXPECT_TRUE(Qty->IsNull());
  Books->Cancel();
  EXPECT_EQ(Qty->AsInteger(), 3);

  Qty->SetReadOnly(true);
  EXPECT_FALSE(Qty->CanModify());
  Books->Edit();
  EXPECT_RAISES(Qty->SetAsInteger(5), EDatabaseError, "Books: Field 'Qty' cannot be modified");
  Books->Cancel();
  Qty->SetReadOnly(false);
  Books->SetReadOnly(true);
  EXPECT_FALSE(Qty->CanModify());
}

// OnValidate sees the value about to be stored through the field's own
// getters; raising there stores nothing and fires no OnChange.
TEST(FieldsTest, OnValidateSeesThePendingValue) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  Books->Open();
  TField* Qty = Books->FieldByName("Qty");
  TField* Title = Books->FieldByName("Title");
  std::vector<String> Seen;
  int Changes = 0;
  Qty->SetOnValidate(TFieldNotifyEvent([&](TField* Sender) {
    Seen.push_back(Sender->AsString() + u'/' + Sender->DisplayText() + u'/' + Title->AsString());
    if (Sender->AsInteger() > 100) throw EDatabaseError(QStringLiteral("too many"));
  }));
  Qty->SetOnChange(TFieldNotifyEvent([&](TField*) { ++Changes; }));

  Books->Edit();
  Books->Events.clear();
  Qty->SetAsInteger(42);
  EXPECT_EQ(Qty->AsInteger(), 42);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Books->Count(deFieldChange), 1);

  EXPECT_RAISES(Qty->SetAsString("500"), EDatabaseError, "too many");
  EXPECT_EQ(Qty->AsInteger(), 42);
  EXPECT_EQ(Changes, 1);
  EXPECT_EQ(Books->Count(deFieldChange), 1);

  Qty->Clear();
  EXPECT_EQ(Seen, (std::vector<String>{"42/42/Emma", "500/500/Emma", "//Emma"}));
  EXPECT_EQ(Changes, 2);
}

TEST(FieldsTest, TextsGoThroughTheTextEvents) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  Books->Open();
  TField* Qty = Books->FieldByName("Qty");
  Qty->SetOnGetText(TFieldGetTextEvent([](TField* Sender, String& Text, bool DisplayText) {
    Text = (DisplayText ? QStringLiteral("D:") : QStringLiteral("E:")) + Sender->AsString();
  }));
  String Typed;
  Qty->SetOnSetText(TFieldSetTextEvent([&](TField* Sender, const String& Text) {
    Typed = Text;
    Sender->SetAsInteger(Text.size());
  }));
  EXPECT_EQ(Qty->DisplayText(), String("D:3"));
  EXPECT_EQ(Qty->Text(), String("E:3"));
  Books->Edit();
  Qty->SetText("abcd");
  EXPECT_EQ(Typed, String("abcd"));
  EXPECT_EQ(Qty->AsInteger(), 4);

  Qty->SetOnSetText(nullptr);
  Qty->SetText("12");
  EXPECT_EQ(Qty->AsInteger(), 12);
}

TEST(FieldsTest, AssignCopiesTheValue) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  Books->Open();
  TField* Qty = Books->FieldByName("Qty");
  TField* Id = Books->FieldByName("Id");
  Books->Edit();
  Qty->Assign(Id);
  EXPECT_EQ(Qty->AsInteger(), 1);
  Qty->Assign(nullptr);
  EXPECT_TRUE(Qty->IsNull());
  TStringList Other;
  EXPECT_THROW(Qty->Assign(&Other), EConvertError);
}

TEST(FieldsTest, FocusControlAsksTheLinks) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  createDataFields(Books.get());
  TField* Title = Books->FieldByName("Title");
  Title->FocusControl();  // closed: no one to ask
  EXPECT_EQ(Books->Count(deFocusControl), 0);
  Books->Open();
  Title->FocusControl();
  EXPECT_EQ(Books->Count(deFocusControl), 1);
  EXPECT_EQ(Books->FocusRequested, Title);
}

// ---------------------------------------------------------------------------
// lookup fields

TEST(FieldsTest, LookupFieldReadsTheLookupDataSet) {
  TOwned<TWatchedDataSet> Books = makeBooks(), Authors = makeAuthors();
  createDataFields(Books.get());
  TField* Author = addLookupField(Books.get(), Authors.get(), "AuthorId", "Id");
  EXPECT_TRUE(Author->Lookup());
  EXPECT_EQ(Author->FieldNo(), -1);

  Books->Open();
  EXPECT_TRUE(Authors->Active());  // binding opened it
  std::vector<String> Names;
  for (Books->First(); !Books->Eof(); Books->Next()) Names.push_back(Author->AsString());
  EXPECT_EQ(Names, (std::vector<String>{"Austen", "Scott", ""}));
  EXPECT_TRUE(Author->IsNull());  // Kim: no author 99

  // The key changes while editing: the lookup follows.
  Books->First();
  Books->Edit();
  Books->FieldByName("AuthorId")->SetAsInteger(20);
  EXPECT_EQ(Author->AsString(), String("Scott"));
  EXPECT_FALSE(Author->CanModify());
  EXPECT_RAISES(Author->SetAsString("Dickens"), EDatabaseError, "Field 'Author' cannot be modified");
  Books->Cancel();

  // A closed lookup dataset gives Null.
  Authors->Close();
  Books->Refresh();
  EXPECT_TRUE(Author->IsNull());
  EXPECT_EQ(Author->DisplayText(), String());
}

TEST(FieldsTest, LookupCacheAnswersFromTheList) {
  TOwned<TWatchedDataSet> Books = makeBooks(), Authors = makeAuthors();
  createDataFields(Books.get());
  TField* Author = addLookupField(Books.get(), Authors.get(), "AuthorId", "Id");
  Author->SetLookupCache(true);

  Books->Open();
  EXPECT_FALSE(Authors->Active());  // left as it was found
  EXPECT_EQ(Author->LookupList()->Count(), 2);
  EXPECT_EQ(Author->AsString(), String("Austen"));
  Books->Next();
  EXPECT_EQ(Author->AsString(), String("Scott"));
  Books->Next();
  EXPECT_TRUE(Author->IsNull());

  // The cache holds until it is refreshed.
  Authors->AppendRow({Variant(99), Variant("Kipling")});
  Books->Refresh();
  EXPECT_TRUE(Author->IsNull());
  Author->RefreshLookupList();
  Books->Refresh();
  EXPECT_EQ(Author->AsString(), String("Kipling"));
}

TEST(FieldsTest, LookupOnTwoKeyFields) {
  TOwned<TWatchedDataSet> Books = makeBooks(), Authors(new TWatchedDataSet(nullptr));
  Authors->FieldDefs()->Add("Id", ftInteger);
  Authors->FieldDefs()->Add("Qty", ftInteger);
  Authors->FieldDefs()->Add("Name", ftWideString, 20);
  Authors->AppendRow({Variant(10), Variant(1), Variant("wrong")});
  Authors->AppendRow({Variant(10), Variant(3), Variant("Austen")});
  createDataFields(Books.get());
  TField* Author = addLookupField(Books.get(), Authors.get(), "AuthorId;Qty", "Id;Qty");
  Books->Open();
  EXPECT_EQ(Author->AsString(), String("Austen"));
  Books->Close();
  Author->SetLookupCache(true);
  Books->Open();
  EXPECT_EQ(Author->AsString(), String("Austen"));
  Books->Next();  // Ivanhoe: Qty Null
  EXPECT_TRUE(Author->IsNull());
}

TEST(FieldsTest, IncompleteLookupInformationFailsTheOpen) {
  TOwned<TWatchedDataSet> Books = makeBooks(), Authors = makeAuthors();
  createDataFields(Books.get());
  TField* Author = addLookupField(Books.get(), Authors.get(), "AuthorId", "Id");
  const char* Incomplete = "Lookup information for field 'Author' is incomplete";
  struct Case {
    const char* Name;
    std::function<void()> Break, Mend;
    const char* Message;
  };
  const Case Cases[] = {
      {"no lookup dataset", [&] { Author->SetLookupDataSet(nullptr); },
       [&] { Author->SetLookupDataSet(Authors.get()); }, Incomplete},
      {"no key fields", [&] { Author->SetKeyFields(""); }, [&] { Author->SetKeyFields("AuthorId"); }, Incomplete},
      {"no lookup keys", [&] { Author->SetLookupKeyFields(""); }, [&] { Author->SetLookupKeyFields("Id"); },
       Incomplete},
      {"no result field", [&] { Author->SetLookupResultField(""); },
       [&] { Author->SetLookupResultField("Name"); }, Incomplete},
      {"unknown key field", [&] { Author->SetKeyFields("AuthorNo"); }, [&] { Author->SetKeyFields("AuthorId"); },
       "Books: Field 'AuthorNo' not found"},
      {"unknown result field", [&] { Author->SetLookupResultField("Nom"); },
       [&] { Author->SetLookupResultField("Name"); }, "Authors: Field 'Nom' not found"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    C.Break();
    EXPECT_RAISES(Books->Open(), EDatabaseError, C.Message);
    EXPECT_FALSE(Books->Active());
    C.Mend();
  }
  Books->Open();
  EXPECT_EQ(Author->AsString(), String("Austen"));
}

TEST(FieldsTest, LookupDataSetFreedClearsTheReference) {
  TOwned<TWatchedDataSet> Books = makeBooks();
  TWatchedDataSet* Authors = makeAuthors().release();
  createDataFields(Books.get());
  TField* Author = addLookupField(Books.get(), Authors, "AuthorId", "Id");
  Authors->Free();
  EXPECT_EQ(Author->LookupDataSet(), nullptr);
}

TEST(FieldsTest, LookupListMatchesKeysByValue) {
  TLookupList List;
  List.Add(Variant(1), Variant("one"));
  List.Add(VarArrayOf({Variant(1), Variant("a")}), Variant("pair"));
  List.Add(Variant("x"), Variant("text"));
  EXPECT_EQ(VarToStr(List.ValueOfKey(Variant(Int64(1)))), String("one"));
  EXPECT_EQ(VarToStr(List.ValueOfKey(VarArrayOf({Variant(1.0), Variant("a")}))), String("pair"));
  EXPECT_TRUE(VarIsNull(List.ValueOfKey(VarArrayOf({Variant(1)}))));
  EXPECT_TRUE(VarIsNull(List.ValueOfKey(Variant("X"))));
  EXPECT_TRUE(VarIsNull(List.ValueOfKey(Null())));
  List.Clear();
  EXPECT_EQ(List.Count(), 0);
}

}  // namespace
