#include "platform/rtl/collection.h"

#include "tests/support/testing.h"

#include <QStringList>

namespace {

class TTestItem : public TCollectionItem {
  RTL_CLASS(TTestItem, TCollectionItem)
public:
  explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
  int Value = 0;

  void Assign(TPersistent* Source) override {
    if (auto* Item = dynamic_cast<TTestItem*>(Source)) {
      Value = Item->Value;
      return;
    }
    TCollectionItem::Assign(Source);
  }
};

// Writes every Notify and Update into Log: "added 0", "update nil", "update 2" ...
// (items by ID).
class TRecordingCollection : public TCollection {
  RTL_CLASS(TRecordingCollection, TCollection)
public:
  explicit TRecordingCollection(QStringList* Log) : TCollection(TTestItem::StaticClass()), FLog(Log) {}
  TTestItem* AddItem() { return static_cast<TTestItem*>(Add()); }

protected:
  void Update(TCollectionItem* Item) override {
    // The last item shows its class: an added item reports once it is whole.
    const bool Whole = Count() == 0 || dynamic_cast<TTestItem*>(Items(Count() - 1));
    FLog->append((Item ? QStringLiteral("update %1").arg(Item->ID()) : QStringLiteral("update nil")) +
                 (Whole ? "" : " (part)"));
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* const Names[] = {"added", "extracting", "deleting"};
    // Item still shows its class: the notification comes while it is whole.
    const bool Whole = Action == cnAdded || dynamic_cast<TTestItem*>(Item);
    FLog->append(QStringLiteral("%1 %2%3").arg(Names[Action]).arg(Item->ID()).arg(Whole ? "" : " (part)"));
  }

private:
  QStringList* FLog;
};

class CollectionOrderTest : public ::testing::Test {
protected:
  void SetUp() override {
    Items = new TRecordingCollection(&Log);
    for (int I = 0; I < 3; ++I) Items->AddItem()->Value = I * 10;
    Log.clear();
  }
  void TearDown() override { Items->Free(); }

  QStringList Log;
  TRecordingCollection* Items = nullptr;
};

TEST_F(CollectionOrderTest, AddJoinsThenNotifiesThenUpdates) {
  TTestItem* Item = Items->AddItem();
  EXPECT_EQ(Log, QStringList({"added 3", "update nil"}));
  EXPECT_EQ(Item->Index(), 3);
  EXPECT_EQ(Item->Collection(), Items);
}

TEST_F(CollectionOrderTest, DeleteNotifiesDeletingThenExtractingThenUpdates) {
  Items->Delete(1);
  EXPECT_EQ(Log, QStringList({"deleting 1", "extracting 1", "update nil"}));
  EXPECT_EQ(Items->Count(), 2);
  EXPECT_EQ(Items->Items(1)->ID(), 2);
}

TEST_F(CollectionOrderTest, ClearExtractsLastFirstAndUpdatesOnce) {
  Items->Clear();
  EXPECT_EQ(Log, QStringList({"extracting 2", "extracting 1", "extracting 0", "update nil"}));
  Log.clear();
  Items->Clear();
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(CollectionOrderTest, MovingAndChangingItemsUpdate) {
  Items->Items(0)->SetIndex(2);
  EXPECT_EQ(Log, QStringList({"update nil"}));
  EXPECT_EQ(Items->Items(2)->ID(), 0);
  Log.clear();
  Items->Items(2)->SetIndex(2);  // no move, no update
  Items->Items(1)->SetDisplayName(QStringLiteral("x"));
  EXPECT_EQ(Log, QStringList({"update 2"}));
  Log.clear();
  Items->Insert(0);
  EXPECT_EQ(Log, QStringList({"added 3", "update nil", "update nil"}));
  EXPECT_EQ(Items->Items(0)->ID(), 3);
}

TEST_F(CollectionOrderTest, NothingUpdatesInsideBeginUpdateUntilTheOutermostEnd) {
  Items->BeginUpdate();
  Items->BeginUpdate();
  Items->AddItem();
  Items->Items(0)->SetIndex(1);
  Items->Items(0)->SetDisplayName(QString());
  Items->Delete(0);
  EXPECT_EQ(Log, QStringList({"added 3", "deleting 1", "extracting 1"}));
  Items->EndUpdate();
  EXPECT_EQ(Items->UpdateCount(), 1);
  EXPECT_EQ(Log.size(), 3);
  Items->EndUpdate();
  EXPECT_EQ(Log.last(), QStringLiteral("update nil"));
  EXPECT_EQ(Log.size(), 4);
}

TEST_F(CollectionOrderTest, AssignClearsAddsAndUpdatesOnce) {
  QStringList OtherLog;
  auto* Other = new TRecordingCollection(&OtherLog);
  Other->AddItem()->Value = 5;
  Items->Assign(Other);
  EXPECT_EQ(Log, QStringList({"extracting 2", "extracting 1", "extracting 0", "added 3", "update nil"}));
  EXPECT_EQ(static_cast<TTestItem*>(Items->Items(0))->Value, 5);

  TComponent Stranger(nullptr);
  EXPECT_RAISES(Items->Assign(&Stranger), EConvertError, "Cannot assign a TComponent to a TRecordingCollection");
  Other->Free();
}

TEST_F(CollectionOrderTest, FreeingTheCollectionExtractsEveryItemWhileWholeWithoutUpdates) {
  Items->Free();
  Items = new TRecordingCollection(&Log);  // for TearDown
  EXPECT_EQ(Log, QStringList({"extracting 2", "extracting 1", "extracting 0"}));
}

TEST_F(CollectionOrderTest, ItemsMoveBetweenCollectionsAndLiveApart) {
  QStringList OtherLog;
  auto* Other = new TRecordingCollection(&OtherLog);
  Other->AddItem();
  TCollectionItem* Item = Items->Items(1);
  Item->SetCollection(Other);
  EXPECT_EQ(Log, QStringList({"extracting 1", "update nil"}));
  EXPECT_EQ(OtherLog.mid(2), QStringList({"added 1", "update nil"}));
  EXPECT_EQ(Item->ID(), 1);  // the next ID of the new collection
  EXPECT_EQ(Other->FindItemID(1), Item);
  EXPECT_EQ(Items->FindItemID(1), nullptr);

  Item->SetCollection(nullptr);
  EXPECT_EQ(Item->Index(), -1);
  EXPECT_EQ(Item->GetNamePath(), QStringLiteral("TTestItem"));
  EXPECT_EQ(Item->DisplayName(), QStringLiteral("TTestItem"));
  Item->SetIndex(3);  // outside a collection: nothing to move
  Item->Free();
  Other->Free();
}

// A component publishing its collection, so the collection knows its name path.
class TGridLike : public TComponent {
  RTL_CLASS(TGridLike, TComponent)
public:
  explicit TGridLike(TComponent* AOwner)
      : TComponent(AOwner), FColumns(new TOwnedCollection(this, TTestItem::StaticClass())) {}
  ~TGridLike() override { FColumns->Free(); }
  TOwnedCollection* Columns() const { return FColumns; }
  static void DescribeProperties(TPropertyTable& Props) { Props.Add("Columns", &TGridLike::Columns); }

private:
  TOwnedCollection* FColumns;
};

TEST(CollectionTest, NamePathsFollowTheOwnersPublishedProperty) {
  TGridLike Grid(nullptr);
  Grid.Columns()->Add();
  TCollectionItem* Second = Grid.Columns()->Add();
  EXPECT_EQ(Grid.Columns()->Owner(), &Grid);
  EXPECT_EQ(Grid.Columns()->GetNamePath(), QStringLiteral("TOwnedCollection")) << "an unnamed owner has no path";
  Grid.SetName(QStringLiteral("Grid1"));
  EXPECT_EQ(Grid.Columns()->GetNamePath(), QStringLiteral("Grid1.Columns"));
  EXPECT_EQ(Second->GetNamePath(), QStringLiteral("Grid1.Columns[1]"));

  TCollection Loose(TTestItem::StaticClass());
  EXPECT_EQ(Loose.Owner(), nullptr);
  EXPECT_EQ(Loose.GetNamePath(), QStringLiteral("TCollection"));
}

TEST(CollectionTest, AddCreatesTheItemClassThroughItsMetaclass) {
  TCollection C(TTestItem::StaticClass());
  TCollectionItem* Item = C.Add();
  ASSERT_NE(dynamic_cast<TTestItem*>(Item), nullptr);
  EXPECT_EQ(Item->ClassName(), QStringLiteral("TTestItem"));
  EXPECT_EQ(C.ItemClass(), TTestItem::StaticClass());
}

}  // namespace
