// The memory table's TreeList facade: settings kept in the records view,
// activation after loading, locating with expanding, collapsing and
// expanding everything.
#include "gridlib/memtable/memtabletreelist.h"

#include "gridlib/memtable/memorytreelist.h"
#include "gridlib/memtable/memtable.h"
#include "gridlib/memtable/memtableunit.h"
#include "gridlib/memtable/recordsview.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/streams.h"
#include "tests/gridlib/memtable/memtablefixture.h"

using namespace memtabletest;

namespace {

//   1 Root
//     └ 2 Branch
//         └ 3 Smith
//   4 Other
class MemTableTreeList : public ::testing::Test {
protected:
  MemTableTreeList() : F({{"Id", ftInteger}, {"Name", ftString, 20}, {"ParentId", ftInteger}}) {
    F.Table->CreateDataSet();
    F.AppendRow({1, "Root", Null()});
    F.AppendRow({2, "Branch", 1});
    F.AppendRow({3, "Smith", 2});
    F.AppendRow({4, "Other", Null()});
    TMemTableTreeListEh* Tree = F.Table->TreeList();
    Tree->SetKeyFieldName(QStringLiteral("Id"));
    Tree->SetRefParentFieldName(QStringLiteral("ParentId"));
    Tree->SetActive(true);
    F.Table->First();
  }
  std::vector<Variant> ids() { return F.Column("Id"); }

  TMemTableTestFixture F;
};

}  // namespace

TEST_F(MemTableTreeList, SettingsLiveInTheRecordsViewAndItsTree) {
  TMemTableTreeListEh* Tree = F.Table->TreeList();
  EXPECT_TRUE(Tree->FullBuildCheck());
  EXPECT_TRUE(Tree->FilterNodeIfParentVisible());
  EXPECT_TRUE(F.Table->RecordsView()->ViewAsTreeList());
  EXPECT_EQ(F.Table->RecordsView()->TreeViewKeyFieldName(), QStringLiteral("Id"));
  Tree->SetDefaultNodeExpanded(true);
  EXPECT_TRUE(F.Table->RecordsView()->MemoryTreeList()->DefaultNodeExpanded());
  EXPECT_EQ(ids(), (std::vector<Variant>{1, 4})) << "nodes start collapsed";
  Tree->SetActive(false);
  EXPECT_EQ(ids(), (std::vector<Variant>{1, 2, 3, 4}));
}

TEST_F(MemTableTreeList, LocateFindsCollapsedNodesAndExpandsTheirAncestors) {
  const struct {
    const char* Name;
    const char* Fields;
    Variant Key;
    TLocateOptions Options;
    Variant Found;  // the Id, Null for no match
  } Cases[] = {
      {"partial", "Name", "Sm", {loPartialKey}, 3},
      {"case", "Name", "smith", {loCaseInsensitive}, 3},
      {"case needs the option", "Name", "smith", {loPartialKey}, Null()},
      {"partial and case", "Name", "BR", {loPartialKey, loCaseInsensitive}, 2},
      {"exact value", "Id", 3, {}, 3},
      {"several fields", "Id;Name", VarArrayOf({3, "Smith"}), {}, 3},
      {"no match", "Name", "Jones", {loPartialKey}, Null()},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Table->TreeList()->FullCollapse();
    F.Table->Last();
    EXPECT_EQ(F.Table->TreeList()->Locate(QString::fromLatin1(C.Fields), C.Key, C.Options), !VarIsNull(C.Found));
    if (VarIsNull(C.Found)) {
      EXPECT_EQ(F.Field("Id")->AsVariant(), Variant(4)) << "the cursor stays";
      continue;
    }
    EXPECT_EQ(F.Field("Id")->AsVariant(), C.Found);
    EXPECT_EQ(ids().size(), C.Found == Variant(3) ? 4u : 3u);
  }
}

TEST_F(MemTableTreeList, LocateOnAnEmptyTableFindsNothing) {
  F.Table->EmptyTable();
  EXPECT_FALSE(F.Table->TreeList()->Locate(QStringLiteral("Id"), 1, {}));
}

TEST_F(MemTableTreeList, FullExpandAndFullCollapse) {
  int Scrolls = 0;
  F.Table->AfterScroll = TDataSetNotifyEvent([&Scrolls](TDataSet*) { ++Scrolls; });
  F.Table->TreeList()->FullExpand();
  EXPECT_EQ(ids(), (std::vector<Variant>{1, 2, 3, 4}));
  F.Table->Locate(QStringLiteral("Id"), 3, {});
  Scrolls = 0;
  F.Table->TreeList()->FullCollapse();
  EXPECT_EQ(Scrolls, 1);
  EXPECT_EQ(F.Table->RecordCount(), 2);
  EXPECT_EQ(ids(), (std::vector<Variant>{1, 4}));
}

namespace {

// A root that streams the components it owns, as a form does.
class TTreeStreamRoot : public TComponent {
  RTL_CLASS(TTreeStreamRoot, TComponent)
public:
  explicit TTreeStreamRoot(TComponent* AOwner) : TComponent(AOwner) {}

protected:
  void GetChildren(TGetChildProc Proc, TComponent* Root) override {
    for (Integer I = 0; I < ComponentCount(); ++I)
      if (Components(I)->Owner() == Root) Proc(Components(I));
  }
};

}  // namespace

TEST(MemTableTreeListStream, ActiveFromAStreamTakesEffectAfterLoading) {
  InitializeGridLibMemTableEh();
  const TScopeExit Finalize([] { FinalizeGridLibMemTableEh(); });
  TTreeStreamRoot Root(nullptr);
  auto* Table = new TMemTableEh(&Root);
  Table->SetName(QStringLiteral("Tree"));
  Table->FieldDefs()->Add(QStringLiteral("Id"), ftInteger);
  Table->FieldDefs()->Add(QStringLiteral("ParentId"), ftInteger);
  Table->CreateDataSet();
  for (const auto& [Id, Parent] : {std::pair{1, Null()}, {2, Variant(1)}, {3, Null()}}) {
    Table->Append();
    Table->FieldByName(QStringLiteral("Id"))->SetAsInteger(Id);
    Table->FieldByName(QStringLiteral("ParentId"))->SetAsVariant(Parent);
    Table->Post();
  }
  Table->TreeList()->SetKeyFieldName(QStringLiteral("Id"));
  Table->TreeList()->SetRefParentFieldName(QStringLiteral("ParentId"));
  Table->TreeList()->SetFullBuildCheck(false);
  Table->TreeList()->SetActive(true);
  Table->Close();
  TMemoryStream Stream;
  Stream.WriteComponent(&Root);

  TTreeStreamRoot Copy(nullptr);
  Stream.SetPosition(0);
  Stream.ReadComponent(&Copy);
  auto* Read = dynamic_cast<TMemTableEh*>(Copy.FindComponent(QStringLiteral("Tree")));
  ASSERT_NE(Read, nullptr);
  EXPECT_TRUE(Read->TreeList()->Active());
  EXPECT_FALSE(Read->TreeList()->FullBuildCheck());
  EXPECT_EQ(Read->TreeList()->RefParentFieldName(), QStringLiteral("ParentId"));
  Read->Open();
  EXPECT_EQ(Read->RecordCount(), 2) << "node 2 is folded under node 1";
}
