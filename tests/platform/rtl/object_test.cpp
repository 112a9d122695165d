#include "platform/rtl/object.h"

#include "platform/rtl/collection.h"
#include "platform/rtl/component.h"

#include "tests/support/testing.h"

#include <QStringList>

namespace {

// A metaclass with a class-level virtual, as graphic or form classes have.
class TShapeMeta : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual String Description() const { return QStringLiteral("shape"); }
};

template <class T>
class TShapeClassOf : public TClassOf<T, TShapeMeta> {
public:
  using TClassOf<T, TShapeMeta>::TClassOf;
  String Description() const override { return T::Description(); }
};

class TShape : public TObject {
  RTL_CLASS_META(TShape, TObject, TShapeClassOf<TShape>)
public:
  static String Description() { return QStringLiteral("any shape"); }
};

class TCircle : public TShape {
  RTL_CLASS_META(TCircle, TShape, TShapeClassOf<TCircle>)
public:
  static String Description() { return QStringLiteral("round"); }
};

class TDisc : public TCircle {
  RTL_CLASS_META(TDisc, TCircle, TShapeClassOf<TDisc>)
};

// Writes its life into a log.
class TLogged : public TObject {
  RTL_CLASS(TLogged, TObject)
public:
  explicit TLogged(QStringList* Log) : FLog(Log) {}
  ~TLogged() override { FLog->append(QStringLiteral("destructor")); }
  void BeforeDestruction() override { FLog->append(QStringLiteral("before destruction")); }

private:
  QStringList* FLog;
};

TEST(ObjectTest, ClassReferencesKnowNameParentAndAncestry) {
  TDisc Disc;
  TObject* Obj = &Disc;
  EXPECT_EQ(Obj->ClassType(), TDisc::StaticClass());
  EXPECT_EQ(Obj->ClassName(), QStringLiteral("TDisc"));
  EXPECT_EQ(Obj->ClassParent(), TCircle::StaticClass());
  EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
  EXPECT_TRUE(Obj->ClassNameIs(QStringLiteral("tdisc")));
  EXPECT_TRUE(Obj->InheritsFrom(TShape::StaticClass()));
  EXPECT_TRUE(Obj->InheritsFrom(TDisc::StaticClass()));
  EXPECT_FALSE(TShape::StaticClass()->InheritsFrom(TCircle::StaticClass()));

  // The class-level virtual answers for the class, the nearest declaration winning.
  auto Meta = [](TClass C) { return static_cast<const TShapeMeta*>(C); };
  EXPECT_EQ(Meta(TShape::StaticClass())->Description(), QStringLiteral("any shape"));
  EXPECT_EQ(Meta(Obj->ClassType())->Description(), QStringLiteral("round"));
}

TEST(ObjectTest, IsAndAsCastChecked) {
  TCircle Circle;
  TObject* Obj = &Circle;
  EXPECT_TRUE(Is<TShape>(Obj));
  EXPECT_FALSE(Is<TDisc>(Obj));
  EXPECT_EQ(As<TCircle>(Obj), &Circle);
  EXPECT_EQ(As<TDisc>(static_cast<TObject*>(nullptr)), nullptr);
  EXPECT_RAISES(As<TDisc>(Obj), EInvalidCast, "Invalid class typecast");
}

TEST(ObjectTest, FreeRunsBeforeDestructionFirstAndFreeAndNilClearsThePointerFirst) {
  QStringList Log;
  (new TLogged(&Log))->Free();
  EXPECT_EQ(Log, QStringList({"before destruction", "destructor"}));

  TLogged* Ptr = new TLogged(&Log);
  FreeAndNil(Ptr);
  EXPECT_EQ(Ptr, nullptr);
  FreeAndNil(Ptr);  // nil is fine
  EXPECT_EQ(Log.size(), 4);
}

TEST(ObjectTest, VirtualConstructorsForEachShapeOrEAbstractError) {
  TObject* Shape = TCircle::StaticClass()->Create();
  EXPECT_EQ(Shape->ClassType(), TCircle::StaticClass());
  Shape->Free();

  TComponent Owner(nullptr);
  TComponent* C = TComponent::StaticClass()->Create(&Owner);
  EXPECT_EQ(C->Owner(), &Owner);

  TCollection Items(TCollectionItem::StaticClass());
  TCollectionItem* Item = TCollectionItem::StaticClass()->Create(&Items);
  EXPECT_EQ(Item->Collection(), &Items);

  EXPECT_RAISES(TComponent::StaticClass()->Create(), EAbstractError, "Abstract Error");
  EXPECT_RAISES(TCircle::StaticClass()->Create(&Owner), EAbstractError, "Abstract Error");
  EXPECT_RAISES(TComponent::StaticClass()->Create(&Items), EAbstractError, "Abstract Error");
}

TEST(ClassRegistryTest, FindByNameIgnoringCaseAndUnregister) {
  RegisterClasses({TShape::StaticClass(), TCircle::StaticClass()});
  RegisterClass(TCircle::StaticClass());  // twice is harmless
  EXPECT_EQ(FindClass(QStringLiteral("tcircle")), TCircle::StaticClass());
  EXPECT_EQ(GetClass(QStringLiteral("TSHAPE")), TShape::StaticClass());
  EXPECT_EQ(GetClass(QStringLiteral("TDisc")), nullptr);
  EXPECT_RAISES(FindClass(QStringLiteral("TDisc")), EClassNotFound, "Class TDisc not found");

  UnRegisterClasses({TShape::StaticClass(), TCircle::StaticClass()});
  EXPECT_EQ(GetClass(QStringLiteral("TCircle")), nullptr);
}

TEST(ClassRegistryTest, ScopeRemovesOnlyWhatItAdded) {
  RegisterClass(TShape::StaticClass());
  {
    TClassRegistrationScope Scope({TShape::StaticClass(), TDisc::StaticClass()});
    EXPECT_EQ(GetClass(QStringLiteral("TDisc")), TDisc::StaticClass());
    QStringList Seen;
    ForEachRegisteredClass([&](TClass C) { Seen << C->ClassName(); });
    EXPECT_TRUE(Seen.contains(QStringLiteral("TDisc")));
    EXPECT_TRUE(Seen.contains(QStringLiteral("TShape")));
  }
  EXPECT_EQ(GetClass(QStringLiteral("TDisc")), nullptr);
  EXPECT_EQ(GetClass(QStringLiteral("TShape")), TShape::StaticClass());
  UnRegisterClass(TShape::StaticClass());
}

TEST(ClassRegistryTest, FindNearestRegisteredWalksTheParentChain) {
  const std::vector<std::pair<TClass, int>> Table = {{TShape::StaticClass(), 1}, {TDisc::StaticClass(), 3}};
  struct Case {
    TClass Class;
    const int* Expected;
  } Cases[] = {
      {TShape::StaticClass(), &Table[0].second},
      {TCircle::StaticClass(), &Table[0].second},
      {TDisc::StaticClass(), &Table[1].second},
      {TObject::StaticClass(), nullptr},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Class->ClassName().toStdString());
    EXPECT_EQ(FindNearestRegistered(C.Class, Table), C.Expected);
  }
}

}  // namespace
