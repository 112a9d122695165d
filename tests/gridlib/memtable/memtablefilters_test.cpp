#include "gridlib/memtable/memtablefilters.h"

#include "tests/gridlib/memtable/memtableviewtesting.h"

#include <algorithm>
#include <functional>

namespace {

class MemTableFilters : public ::testing::Test, public TMemTableViewFixture {
public:  // the cases below act on the fixture through a reference
  MemTableFilters() : TMemTableViewFixture({{"Id", ftInteger}, {"Name", ftString, 10}}) {
    for (int Id = 1; Id <= 4; ++Id) AppendRow({Id, QString(QChar(u'a' + Id - 1))});
    Table->RegisterEventReceiver(&Receiver);
    Receiver.Events.clear();
  }
  ~MemTableFilters() override { Table->UnregisterEventReceiver(&Receiver); }

  TMemTableFiltersEh* Filters() { return Table->ExtraFilters(); }
  TMemTableFilterItemEh* AddItem(const char* Text, bool Active) {
    TMemTableFilterItemEh* Item = Filters()->Add();
    Item->SetFilter(QString::fromLatin1(Text));
    Item->SetActive(Active);
    return Item;
  }
  bool Refiltered() const {
    return std::count(Receiver.Events.begin(), Receiver.Events.end(), QStringLiteral("changed view")) > 0;
  }
  int CurrentId() { return Table->FieldByName(QStringLiteral("Id"))->AsInteger(); }

  TRecordingReceiver Receiver;
};

TEST_F(MemTableFilters, FilteringItemsAndWhatMakesTheTableRefilter) {
  struct Case {
    const char* Name;
    std::function<void(MemTableFilters&)> Act;  // Receiver.Events is cleared before the last step
    std::vector<int> Ids;
    int ActiveFilterCount;
    bool Refiltered;
  };
  std::vector<int> HandlerCalls;
  const Case Cases[] = {
      {"a new item does not filter", [](MemTableFilters& T) { T.Filters()->Add(); }, {1, 2, 3, 4}, 0, false},
      {"a text alone does not filter",
       [](MemTableFilters& T) { T.Filters()->Add()->SetFilter(QStringLiteral("Id > 2")); },
       {1, 2, 3, 4}, 0, false},
      {"activating the item filters",
       [](MemTableFilters& T) {
         TMemTableFilterItemEh* Item = T.AddItem("Id > 2", false);
         T.Receiver.Events.clear();
         Item->SetActive(true);
       },
       {3, 4}, 1, true},
      {"an active item without text or handler does not filter",
       [](MemTableFilters& T) { T.AddItem("", true); }, {1, 2, 3, 4}, 0, true},
      {"a record must satisfy every filtering item",
       [](MemTableFilters& T) {
         T.AddItem("Id > 1", true);
         T.AddItem("Id < 4", true);
       },
       {2, 3}, 2, true},
      {"a rejecting first item spares the second's handler",
       [&HandlerCalls](MemTableFilters& T) {
         T.AddItem("Id > 2", true);
         TMemTableFilterItemEh* Second = T.Filters()->Add();
         Second->SetOnFilterRecord(TFilterRecordEvent([&HandlerCalls, &T](TDataSet*, bool&) {
           HandlerCalls.push_back(T.CurrentId());
         }));
         HandlerCalls.clear();
         Second->SetActive(true);
       },
       {3, 4}, 2, true},
      {"a handler sees the expression's verdict and may overturn it",
       [](MemTableFilters& T) {
         TMemTableFilterItemEh* Item = T.AddItem("Id > 2", false);
         Item->SetOnFilterRecord(TFilterRecordEvent([](TDataSet*, bool& Accept) { Accept = !Accept; }));
         Item->SetActive(true);
       },
       {1, 2}, 1, true},
      {"a handler reads the candidate through the fields",
       [](MemTableFilters& T) {
         TMemTableFilterItemEh* Item = T.Filters()->Add();
         Item->SetOnFilterRecord(TFilterRecordEvent([&T](TDataSet* DataSet, bool& Accept) {
           Accept = DataSet == T.Table && T.Table->FieldByName(QStringLiteral("Name"))->AsString() != "b";
         }));
         Item->SetActive(true);
       },
       {1, 3, 4}, 1, true},
      {"an inactive item's new text does not refilter",
       [](MemTableFilters& T) {
         TMemTableFilterItemEh* Item = T.AddItem("Id > 2", true);
         Item->SetActive(false);
         T.Receiver.Events.clear();
         Item->SetFilter(QStringLiteral("Id > 3"));
       },
       {1, 2, 3, 4}, 0, false},
      {"clearing items that do not filter does not refilter",
       [](MemTableFilters& T) {
         T.Filters()->Add();
         T.AddItem("Id > 2", false);
         T.Receiver.Events.clear();
         T.Filters()->Clear();
       },
       {1, 2, 3, 4}, 0, false},
      {"deleting the filtering item refilters",
       [](MemTableFilters& T) {
         T.AddItem("Id > 2", true);
         T.Receiver.Events.clear();
         T.Filters()->Delete(0);
       },
       {1, 2, 3, 4}, 0, true},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Filters()->Clear();
    Receiver.Events.clear();
    C.Act(*this);
    EXPECT_EQ(Filters()->ActiveFilterCount(), C.ActiveFilterCount);
    EXPECT_EQ(Refiltered(), C.Refiltered);
    EXPECT_EQ(Ids(), C.Ids);
  }
  // The handler of the case above was asked only for what the first item let
  // through (and again when the rows were scrolled: never for 1 or 2).
  EXPECT_TRUE(std::none_of(HandlerCalls.begin(), HandlerCalls.end(), [](int Id) { return Id < 3; }));
}

TEST_F(MemTableFilters, ItemsMadeActiveWhileTheTableIsClosedFilterWhenItOpens) {
  Table->Close();
  AddItem("Id > 2", true);
  Table->Open();
  EXPECT_EQ(Ids(), (std::vector<int>{3, 4}));
}

TEST_F(MemTableFilters, ATextThatDoesNotParseRaisesFromTheChangeThatCausedIt) {
  TMemTableFilterItemEh* Item = AddItem("Id >", false);
  EXPECT_THROW(Item->SetActive(true), Exception);
}

TEST_F(MemTableFilters, IndexOfFilterAndTheTableServices) {
  TMemTableFiltersEh Other(nullptr, TMemTableFilterItemEh::StaticClass());
  TMemTableFilterItemEh* Foreign = Other.Add();
  EXPECT_EQ(Filters()->IndexOfFilter(Foreign), -1);
  EXPECT_FALSE(Table->UpdateExtraFilter(Foreign, QStringLiteral("Id > 1"), TFilterRecordEvent()));
  EXPECT_FALSE(Table->RemoveExtraFilter(Foreign));

  TMemTableFilterItemEh* Item = Table->AddExtraFilter(QStringLiteral("Id > 1"), TFilterRecordEvent());
  EXPECT_EQ(Filters()->IndexOfFilter(Item), 0);
  EXPECT_TRUE(Item->Active());
  EXPECT_EQ(Ids(), (std::vector<int>{2, 3, 4}));

  // The same procedure again: the item only hears that its handler changed.
  int Calls = 0;
  const TFilterRecordEvent Proc([&Calls](TDataSet*, bool&) { ++Calls; });
  ASSERT_TRUE(Table->UpdateExtraFilter(Item, QStringLiteral("Id > 2"), Proc));
  EXPECT_EQ(Ids(), (std::vector<int>{3, 4}));
  Calls = 0;
  ASSERT_TRUE(Table->UpdateExtraFilter(Item, QStringLiteral("Id > 2"), Proc));
  EXPECT_EQ(Calls, 4);  // asked again for every record, with the text's verdict

  ASSERT_TRUE(Table->RemoveExtraFilter(Item));
  EXPECT_EQ(Filters()->Count(), 0);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(MemTableFilters, AssigningACollectionCopiesItsItems) {
  TMemTableFiltersEh Source(nullptr, TMemTableFilterItemEh::StaticClass());
  TMemTableFilterItemEh* Item = Source.Add();
  Item->SetFilter(QStringLiteral("Id < 3"));
  Item->SetActive(true);
  Table->SetExtraFilters(&Source);
  ASSERT_EQ(Filters()->Count(), 1);
  EXPECT_EQ(Filters()->GetFilterItem(0)->Filter(), QStringLiteral("Id < 3"));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2}));
}

}  // namespace
