// The memory table against a brute-force model: random inserts, edits,
// cancels, deletes, merges and cancels of cached changes under a two-field
// sort order and a filter.  After every step the scrolled rows must be the
// model's filtered, stably sorted records.
#include "tests/gridlib/memtable/memtableviewtesting.h"

#include "platform/db/dbconsts.h"

#include <algorithm>
#include <optional>
#include <random>

namespace {

struct ModelRecord {
  int Id;
  std::optional<int> A;     // Null when empty
  std::optional<char> B;
};

// "A; B DESC" over the records that pass "A <> 2" (a Null A passes it: the
// comparison with Null is not Null there), ties in records-list order.
std::vector<int> modelView(const std::vector<ModelRecord>& Records) {
  std::vector<ModelRecord> Shown;
  for (const ModelRecord& R : Records)
    if (R.A != 2) Shown.push_back(R);
  std::stable_sort(Shown.begin(), Shown.end(), [](const ModelRecord& X, const ModelRecord& Y) {
    if (X.A != Y.A) return X.A < Y.A;  // Null first
    if (X.B != Y.B) return X.B > Y.B;  // descending: Null last
    return false;
  });
  std::vector<int> Ids;
  for (const ModelRecord& R : Shown) Ids.push_back(R.Id);
  return Ids;
}

class MemTableModel : public ::testing::Test, public TMemTableViewFixture {
protected:
  MemTableModel() : TMemTableViewFixture({{"Id", ftInteger}, {"A", ftInteger}, {"B", ftString, 1}}) {
    Table->SetCachedUpdates(true);
    Table->SetSortOrder(QStringLiteral("A; B DESC"));
    Table->SetFilter(QStringLiteral("A <> 2"));
    Table->SetFiltered(true);
  }

  std::optional<int> randomA() { return Random() % 5 == 0 ? std::nullopt : std::optional<int>(Random() % 4); }
  std::optional<char> randomB() {
    return Random() % 5 == 0 ? std::nullopt : std::optional<char>(char('a' + Random() % 3));
  }
  void writeFields(const ModelRecord& R) {
    Table->FieldByName(QStringLiteral("A"))->SetValue(R.A ? Variant(*R.A) : Null());
    Table->FieldByName(QStringLiteral("B"))->SetValue(R.B ? Variant(QString(QChar(*R.B))) : Null());
  }
  ModelRecord* find(int Id) {
    for (ModelRecord& R : Current)
      if (R.Id == Id) return &R;
    return nullptr;
  }
  // Makes a random shown row current; false when none is shown.
  bool gotoRandomRow() {
    if (Table->RecordCount() == 0) return false;
    Table->SetRecNo(Integer(Random() % Table->RecordCount()) + 1);
    return true;
  }
  int currentId() { return Table->FieldByName(QStringLiteral("Id"))->AsInteger(); }

  void step() {
    switch (Random() % 8) {
      case 0:
      case 1: {  // insert
        ModelRecord R{NextId++, randomA(), randomB()};
        Table->Append();
        Table->FieldByName(QStringLiteral("Id"))->SetAsInteger(R.Id);
        writeFields(R);
        Table->Post();
        Current.push_back(R);
        break;
      }
      case 2: {  // insert, then cancel
        Table->Append();
        writeFields({0, randomA(), randomB()});
        Table->Cancel();
        break;
      }
      case 3: {  // edit
        if (!gotoRandomRow()) break;
        ModelRecord* R = find(currentId());
        R->A = randomA();
        R->B = randomB();
        Table->Edit();
        writeFields(*R);
        Table->Post();
        break;
      }
      case 4: {  // edit, then cancel
        if (!gotoRandomRow()) break;
        Table->Edit();
        writeFields({0, randomA(), randomB()});
        Table->Cancel();
        break;
      }
      case 5: {  // delete
        if (!gotoRandomRow()) break;
        const int Id = currentId();
        Table->Delete();
        std::erase_if(Current, [Id](const ModelRecord& R) { return R.Id == Id; });
        break;
      }
      case 6:  // merge the cached changes
        if (Random() % 2) break;
        Table->MergeChangeLog();
        Table->Resync({});
        Merged = Current;
        break;
      default:  // cancel the cached changes
        if (Random() % 2) break;
        Table->CancelUpdates();
        Current = Merged;
        break;
    }
    // A bookmark of a record shown now, kept to the end.
    if (Random() % 4 == 0 && gotoRandomRow()) Bookmarks.push_back({Table->Bookmark(), currentId()});
  }

  void checkBookmarks() {
    const std::vector<int> Shown = modelView(Current);
    for (const auto& [Bookmark, Id] : Bookmarks) {
      SCOPED_TRACE(Id);
      if (std::find(Shown.begin(), Shown.end(), Id) != Shown.end()) {
        Table->SetBookmark(Bookmark);
        EXPECT_EQ(currentId(), Id);
      } else {
        EXPECT_RAISES(Table->SetBookmark(Bookmark), EDatabaseError, "Record not found");
      }
    }
  }

  std::mt19937 Random{2024};
  int NextId = 1;
  std::vector<ModelRecord> Current;  // records-list order
  std::vector<ModelRecord> Merged;   // as of the last merge
  std::vector<std::pair<TBookmark, int>> Bookmarks;
};

TEST_F(MemTableModel, RandomChangesUnderASortAndAFilter) {
  for (int Step = 0; Step < 400; ++Step) {
    SCOPED_TRACE(Step);
    step();
    ASSERT_EQ(Ids(), modelView(Current));
    ASSERT_FALSE(Table->InstantReadMode());
    if (Step % 20 == 19) checkBookmarks();
  }
}

}  // namespace
