#include "platform/rtl/component.h"

#include "tests/support/testing.h"

#include <QStringList>

namespace {

// ---------------------------------------------------------------------------
// TPersistent

class TFoo : public TPersistent {
  RTL_CLASS(TFoo, TPersistent)
public:
  int Value = 0;
};

// Knows how to take a TFoo; everything else goes to the base.
class TBar : public TPersistent {
  RTL_CLASS(TBar, TPersistent)
public:
  int Value = 0;
  void Assign(TPersistent* Source) override {
    if (auto* Foo = dynamic_cast<TFoo*>(Source)) {
      Value = Foo->Value;
      return;
    }
    TPersistent::Assign(Source);
  }
};

TEST(PersistentTest, AssignAsksTheSourceAndNamesBothClassesOnMismatch) {
  TFoo Foo;
  Foo.Value = 7;
  TBar Bar;
  Bar.Assign(&Foo);
  EXPECT_EQ(Bar.Value, 7);
  EXPECT_RAISES(Foo.Assign(&Bar), EConvertError, "Cannot assign a TBar to a TFoo");
  EXPECT_RAISES(Bar.Assign(nullptr), EConvertError, "Cannot assign a nil to a TBar");
}

// ---------------------------------------------------------------------------
// TComponent: a shared log of what components see while they live and die.

struct TLog {
  QStringList Lines;
  void Add(const String& Line) { Lines << Line; }
};

class TWidget;

// Records notifications, and whether the component they concern still shows
// its full class (a dying TWidget must still cast to TWidget).
class TTracked : public TComponent {
  RTL_CLASS(TTracked, TComponent)
public:
  TTracked(TComponent* AOwner, const String& AName, TLog* Log) : TComponent(AOwner), FLog(Log) { SetName(AName); }
  ~TTracked() override {
    if (FLog) FLog->Add(QStringLiteral("free ") + Name());
  }
  TLog* FLog;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override {
    TComponent::Loaded();
    if (FLog) FLog->Add(QStringLiteral("loaded ") + Name());
  }
};

class TWidget : public TTracked {
  RTL_CLASS(TWidget, TTracked)
public:
  using TTracked::TTracked;
};

void TTracked::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (!FLog || Operation != opRemove || AComponent == this) return;
  const bool Whole = dynamic_cast<TWidget*>(AComponent) != nullptr;
  FLog->Add(Name() + QStringLiteral(" hears ") + AComponent->Name() + (Whole ? QString() : QStringLiteral(" (part)")));
}

TEST(ComponentTest, NamesAreIdentifiersUniqueAmongSiblingsIgnoringCase) {
  TComponent Owner(nullptr);
  auto* A = new TComponent(&Owner);
  A->SetName(QStringLiteral("Button1"));
  auto* B = new TComponent(&Owner);
  EXPECT_RAISES(B->SetName(QStringLiteral("BUTTON1")), EComponentError, "A component named BUTTON1 already exists");
  A->SetName(QStringLiteral("BUTTON1"));  // renaming to itself in another case is allowed
  EXPECT_EQ(Owner.FindComponent(QStringLiteral("button1")), A);
  EXPECT_EQ(Owner.FindComponent(QString()), nullptr);

  struct Case {
    const char* Name;
    bool Valid;
  } Cases[] = {{"", true},     {"_x", true},   {"a1", true},  {"Z_9", true},
               {"1a", false},  {"a b", false}, {"a.b", false}, {"ä", false}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const String Name = QString::fromUtf8(C.Name);
    if (C.Valid) {
      B->SetName(Name);
      EXPECT_EQ(B->Name(), Name);
    } else {
      EXPECT_RAISES(B->SetName(Name), EComponentError, u'\'' + Name + QStringLiteral("' is not a valid component name"));
    }
  }

  // A named stranger cannot join an owner that has the name already.
  TComponent Stranger(nullptr);
  Stranger.SetName(QStringLiteral("button1"));
  EXPECT_RAISES(Owner.InsertComponent(&Stranger), EComponentError, "A component named button1 already exists");
  EXPECT_EQ(Stranger.Owner(), nullptr);
}

TEST(ComponentTest, OwnerKeepsCreationOrderAndComponentIndexMovesWithClamping) {
  TComponent Owner(nullptr);
  Owner.SetName(QStringLiteral("Form"));
  TComponent* C[3];
  for (TComponent*& X : C) X = new TComponent(&Owner);
  EXPECT_EQ(Owner.ComponentCount(), 3);
  EXPECT_EQ(C[2]->ComponentIndex(), 2);
  C[2]->SetComponentIndex(-5);
  EXPECT_EQ(Owner.Components(0), C[2]);
  C[2]->SetComponentIndex(99);
  EXPECT_EQ(Owner.Components(2), C[2]);
  EXPECT_EQ(Owner.ComponentIndex(), -1);

  Owner.RemoveComponent(C[0]);
  EXPECT_EQ(C[0]->Owner(), nullptr);
  EXPECT_EQ(Owner.ComponentCount(), 2);
  C[0]->Free();

  C[1]->SetName(QStringLiteral("Edit1"));
  EXPECT_EQ(C[1]->GetNamePath(), QStringLiteral("Edit1"));
  TFoo Foo;
  EXPECT_EQ(Foo.GetNamePath(), QStringLiteral("TFoo"));
}

TEST(ComponentTest, FreeingOneComponentTellsSiblingsAndPartnersWhileItIsWhole) {
  TLog Log;
  auto* Form = new TTracked(nullptr, QStringLiteral("Form"), &Log);
  auto* Widget = new TWidget(Form, QStringLiteral("Widget"), &Log);
  new TTracked(Form, QStringLiteral("Sibling"), &Log);
  TTracked Stranger(nullptr, QStringLiteral("Stranger"), &Log);
  Stranger.FreeNotification(Widget);

  Widget->Free();
  EXPECT_EQ(Log.Lines, QStringList({"Stranger hears Widget", "Sibling hears Widget", "Form hears Widget", "free Widget"}));
  EXPECT_EQ(Form->ComponentCount(), 1);

  Log.Lines.clear();
  Stranger.FLog = nullptr;
  Form->Free();
  EXPECT_EQ(Log.Lines, QStringList({"free Sibling", "free Form"}));
}

TEST(ComponentTest, FreeNotificationIsMutualAndCanBeUndone) {
  TLog Log;
  auto* A = new TWidget(nullptr, QStringLiteral("A"), &Log);
  auto* B = new TWidget(nullptr, QStringLiteral("B"), &Log);
  auto* C = new TWidget(nullptr, QStringLiteral("C"), &Log);
  A->FreeNotification(B);
  A->FreeNotification(C);
  A->RemoveFreeNotification(C);

  B->Free();  // the link works from B's side too
  A->Free();  // and is gone once B has died
  EXPECT_EQ(Log.Lines, QStringList({"A hears B", "free B", "free A"}));
  C->Free();
}

// Checks, when it is freed, that the other children are all destroying.
class TDestroyingWatch : public TComponent {
  RTL_CLASS(TDestroyingWatch, TComponent)
public:
  TDestroyingWatch(TComponent* AOwner, TComponent* const* Others, bool* AllDestroying)
      : TComponent(AOwner), FOthers(Others), FAllDestroying(AllDestroying) {}
  ~TDestroyingWatch() override {
    *FAllDestroying = true;
    for (int I = 0; I < 3; ++I) *FAllDestroying = *FAllDestroying && FOthers[I]->ComponentState().Contains(csDestroying);
  }

private:
  TComponent* const* FOthers;
  bool* FAllDestroying;
};

TEST(ComponentTest, OwnerFreesChildrenLastFirstAfterMarkingAllDestroying) {
  TLog Log;
  auto* Form = new TWidget(nullptr, QStringLiteral("Form"), &Log);
  TComponent* Children[3];
  for (int I = 0; I < 3; ++I) Children[I] = new TWidget(Form, QStringLiteral("W%1").arg(I), &Log);
  // W2 asked for free notifications, so the siblings still alive hear of it.
  TTracked Stranger(nullptr, QStringLiteral("Stranger"), &Log);
  Stranger.FreeNotification(Children[2]);
  Stranger.FreeNotification(Form);

  bool AllDestroying = false;
  new TDestroyingWatch(Form, Children, &AllDestroying);  // the last child: freed first

  Form->Free();
  EXPECT_TRUE(AllDestroying);
  EXPECT_EQ(Log.Lines, QStringList({"Stranger hears Form", "W1 hears W2", "W0 hears W2", "Form hears W2",
                                    "Stranger hears W2", "free W2", "free W1", "free W0", "free Form"}));
}

TEST(ComponentTest, PlainDeleteStillRunsTheProtocolButReceiversSeeOnlyTheBase) {
  TLog Log;
  TTracked Stranger(nullptr, QStringLiteral("Stranger"), &Log);
  {
    TWidget OnStack(nullptr, QStringLiteral("Stacked"), nullptr);
    Stranger.FreeNotification(&OnStack);
    new TWidget(&OnStack, QStringLiteral("Child"), &Log);
  }
  EXPECT_EQ(Log.Lines, QStringList({"Stranger hears Stacked (part)", "free Child"}));
}

TEST(ComponentTest, LoadingCallsLoadedOnceEachInCreationOrder) {
  TLog Log;
  TTracked Form(nullptr, QStringLiteral("Form"), &Log);
  auto* A = new TTracked(&Form, QStringLiteral("A"), &Log);
  BeginLoading(&Form);
  auto* B = new TTracked(&Form, QStringLiteral("B"), &Log);  // joins while loading: loads too
  EXPECT_TRUE(Form.ComponentState().Contains(csLoading));
  EXPECT_TRUE(A->ComponentState().Contains(csLoading));
  EXPECT_TRUE(B->ComponentState().Contains(csLoading));
  EndLoading(&Form);
  EXPECT_EQ(Log.Lines, QStringList({"loaded Form", "loaded A", "loaded B"}));
  for (const TComponent* C : {static_cast<TComponent*>(&Form), static_cast<TComponent*>(A), static_cast<TComponent*>(B)})
    EXPECT_FALSE(C->ComponentState().Contains(csLoading));

  auto* After = new TTracked(&Form, QStringLiteral("After"), nullptr);
  EXPECT_FALSE(After->ComponentState().Contains(csLoading));
}

TEST(ComponentTest, SubComponentStyleAndStateSet) {
  TComponent C(nullptr);
  EXPECT_EQ(C.ComponentStyle(), TComponentStyle({csInheritable}));
  C.SetSubComponent(true);
  EXPECT_TRUE(C.ComponentStyle().Contains(csSubComponent));
  C.SetSubComponent(false);
  EXPECT_FALSE(C.ComponentStyle().Contains(csSubComponent));
  EXPECT_TRUE(C.ComponentState().Empty());

  TComponentState S{csLoading, csInline};
  EXPECT_EQ(S.Bits(), (1u << csLoading) | (1u << csInline));
  EXPECT_TRUE(TComponentState({csInline}) <= S);
  EXPECT_EQ(S - TComponentState({csLoading}), TComponentState({csInline}));
  EXPECT_EQ(S * TComponentState({csInline, csFixups}), TComponentState({csInline}));
}

}  // namespace
