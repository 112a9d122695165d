#include "platform/rtl/lists.h"

#include "tests/support/testing.h"

#include <functional>
#include <utility>
#include <vector>

namespace {

// Tags for plain pointers: the list never dereferences what it holds.
int A, B, C, D;

struct TNotice {
  Pointer Ptr;
  TListNotification Action;
  bool operator==(const TNotice&) const = default;
};

void PrintTo(const TNotice& N, std::ostream* Os) {
  const char* Name = N.Ptr == &A ? "A" : N.Ptr == &B ? "B" : N.Ptr == &C ? "C" : N.Ptr == &D ? "D" : "?";
  *Os << "{" << Name << ","
      << int(N.Action) << "}";
}

class TRecordingList : public TList {
public:
  explicit TRecordingList(std::vector<TNotice>& ALog) : FLog(ALog) {}

protected:
  void Notify(Pointer Ptr, TListNotification Action) override { FLog.push_back({Ptr, Action}); }

private:
  std::vector<TNotice>& FLog;
};

std::vector<Pointer> itemsOf(const TList& L) {
  std::vector<Pointer> Result;
  for (Integer I = 0; I < L.Count(); ++I) Result.push_back(L.Items(I));
  return Result;
}

TEST(ListTest, BadIndexesRaiseWithTheIndex) {
  TList L;
  L.Add(&A);
  L.Add(&B);
  struct Case {
    const char* Name;
    std::function<void()> Call;
    const char* Message;
  } Cases[] = {
      {"insert past count", [&] { L.Insert(3, &C); }, "List index out of bounds (3)"},
      {"insert negative", [&] { L.Insert(-1, &C); }, "List index out of bounds (-1)"},
      {"delete at count", [&] { L.Delete(2); }, "List index out of bounds (2)"},
      {"items negative", [&] { L.Items(-1); }, "List index out of bounds (-1)"},
      {"set items at count", [&] { L.SetItems(2, &C); }, "List index out of bounds (2)"},
      {"exchange second", [&] { L.Exchange(0, 5); }, "List index out of bounds (5)"},
      {"move to count", [&] { L.Move(0, 2); }, "List index out of bounds (2)"},
      {"move from count", [&] { L.Move(2, 0); }, "List index out of bounds (2)"},
      {"negative count", [&] { L.SetCount(-1); }, "List count out of bounds (-1)"},
      {"count too big", [&] { L.SetCount(MaxListSize + 1); },
       "List count out of bounds (134217728)"},
      {"capacity below count", [&] { L.SetCapacity(1); }, "List capacity out of bounds (1)"},
  };
  for (const Case& T : Cases) {
    SCOPED_TRACE(T.Name);
    EXPECT_RAISES(T.Call(), EListError, T.Message);
  }
  EXPECT_EQ(itemsOf(L), (std::vector<Pointer>{&A, &B}));

  L.Insert(2, &C);  // Count itself is a valid insert position
  EXPECT_EQ(L.Last(), &C);

  TList Empty;
  EXPECT_RAISES(Empty.First(), EListError, "List index out of bounds (0)");
  EXPECT_RAISES(Empty.Last(), EListError, "List index out of bounds (-1)");
}

TEST(ListTest, EditingKeepsOrder) {
  TList L;
  for (Pointer P : {&A, &B, &C, &D}) L.Add(P);
  L.Move(0, 2);
  EXPECT_EQ(itemsOf(L), (std::vector<Pointer>{&B, &C, &A, &D}));
  L.Move(3, 0);
  EXPECT_EQ(itemsOf(L), (std::vector<Pointer>{&D, &B, &C, &A}));
  L.Exchange(0, 3);
  EXPECT_EQ(itemsOf(L), (std::vector<Pointer>{&A, &B, &C, &D}));
  EXPECT_EQ(L.Remove(&C), 2);
  EXPECT_EQ(L.Remove(&C), -1);
  EXPECT_EQ(L.IndexOf(&D), 2);

  L.SetCount(5);
  EXPECT_EQ(itemsOf(L), (std::vector<Pointer>{&A, &B, &D, nullptr, nullptr}));
  L.Insert(1, nullptr);
  L.Pack();
  EXPECT_EQ(itemsOf(L), (std::vector<Pointer>{&A, &B, &D}));
  L.SetCount(1);
  EXPECT_EQ(itemsOf(L), (std::vector<Pointer>{&A}));

  L.SetCapacity(100);
  EXPECT_GE(L.Capacity(), 100);
  L.SetCapacity(1);
  EXPECT_EQ(L.Capacity(), 1);
  EXPECT_EQ(L.First(), &A);
}

TEST(ListTest, SortIsStable) {
  // Keys in the first char; the second tells equal keys apart.
  const char* Items[] = {"b1", "a1", "b2", "a2", "c1", "a3"};
  TList L;
  for (const char* S : Items) L.Add(const_cast<char*>(S));
  L.Sort([](Pointer X, Pointer Y) { return Integer(*static_cast<char*>(X) - *static_cast<char*>(Y)); });
  std::vector<std::string> Sorted;
  for (Pointer P : itemsOf(L)) Sorted.emplace_back(static_cast<char*>(P));
  EXPECT_EQ(Sorted, (std::vector<std::string>{"a1", "a2", "a3", "b1", "b2", "c1"}));
}

TEST(ListTest, NotifySeesEveryPointerJoiningAndLeaving) {
  std::vector<TNotice> Log;
  auto* L = new TRecordingList(Log);
  L->Add(&A);
  L->Add(&B);
  L->Insert(0, nullptr);  // nil entries are not notified
  L->Add(&C);
  EXPECT_EQ(Log, (std::vector<TNotice>{{&A, lnAdded}, {&B, lnAdded}, {&C, lnAdded}}));

  Log.clear();
  L->Exchange(1, 2);
  L->Move(1, 3);
  L->Sort([](Pointer, Pointer) { return 0; });
  L->Pack();
  EXPECT_TRUE(Log.empty());

  EXPECT_EQ(L->Extract(&C), &C);
  EXPECT_EQ(L->Extract(&C), nullptr);
  L->SetItems(0, &D);  // replaces A
  L->SetItems(0, &D);  // the same pointer again: no change
  L->Delete(1);        // B
  L->Add(&B);
  EXPECT_EQ(Log, (std::vector<TNotice>{{&C, lnExtracted},
                                       {&A, lnDeleted},
                                       {&D, lnAdded},
                                       {&B, lnDeleted},
                                       {&B, lnAdded}}));

  // Free still reaches the derived Notify: the list empties last first.
  Log.clear();
  L->Free();
  EXPECT_EQ(Log, (std::vector<TNotice>{{&B, lnDeleted}, {&D, lnDeleted}}));
}

// Counts its own destruction; may take itself out of a list as it dies.
class TTracked : public TObject {
public:
  TTracked(int& AFreed, TObjectList* AHome = nullptr) : FFreed(AFreed), FHome(AHome) {}
  ~TTracked() override {
    ++FFreed;
    if (FHome) FHome->Remove(this);
  }

private:
  int& FFreed;
  TObjectList* FHome;
};

TEST(ObjectListTest, OwningListFreesEverythingButExtracted) {
  int Freed = 0;
  auto* L = new TObjectList;
  EXPECT_TRUE(L->OwnsObjects());
  TTracked* Items[6];
  for (TTracked*& T : Items) L->Add(T = new TTracked(Freed));

  L->Delete(0);
  EXPECT_EQ(Freed, 1);
  L->Remove(Items[1]);
  EXPECT_EQ(Freed, 2);
  TObject* Kept = L->Extract(Items[2]);
  EXPECT_EQ(Freed, 2);
  L->SetItems(0, Kept);  // replaces Items[3]
  EXPECT_EQ(Freed, 3);
  L->SetCount(2);  // drops Items[5]
  EXPECT_EQ(Freed, 4);
  L->Clear();
  EXPECT_EQ(Freed, 6);

  L->Add(new TTracked(Freed));
  delete L;  // the destructor frees as Free would
  EXPECT_EQ(Freed, 7);
}

TEST(ObjectListTest, NotOwningListFreesNothing) {
  int Freed = 0;
  TTracked X(Freed), Y(Freed);
  {
    TObjectList L(false);
    L.Add(&X);
    L.Add(&Y);
    L.Delete(0);
    L.SetItems(0, &X);
  }
  EXPECT_EQ(Freed, 0);
}

TEST(ObjectListTest, OwnedObjectMayRemoveItselfWhileFreed) {
  int Freed = 0;
  TObjectList L;
  for (int I = 0; I < 3; ++I) L.Add(new TTracked(Freed, &L));
  L.Delete(1);
  EXPECT_EQ(L.Count(), 2);
  L.Clear();
  EXPECT_EQ(Freed, 3);
  EXPECT_EQ(L.Count(), 0);
}

TEST(ObjectListTest, TypedViewAnswersItsItemType) {
  int Freed = 0;
  TObjectListOf<TTracked> L;
  auto* X = new TTracked(Freed);
  L.Add(X);
  TTracked* First = L.First();
  EXPECT_EQ(First, X);
  EXPECT_EQ(L.Items(0), X);
  EXPECT_EQ(L.Extract(X), X);
  delete X;
}

}  // namespace
