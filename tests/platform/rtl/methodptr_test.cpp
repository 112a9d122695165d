#include "platform/rtl/methodptr.h"
#include "platform/rtl/object.h"

#include "tests/support/testing.h"

namespace {

struct TReceiver : TObject {
  int Calls = 0;
  TObject* LastSender = nullptr;
  void Handler(TObject* Sender) { ++Calls; LastSender = Sender; }
  void Other(TObject*) { Calls += 10; }
};

TEST(MethodPtrTest, IdentityIsObjectAndMethod) {
  TReceiver A, B;
  TNotifyEvent AH(&A, &TReceiver::Handler), AH2(&A, &TReceiver::Handler);
  TNotifyEvent BH(&B, &TReceiver::Handler), AO(&A, &TReceiver::Other);
  EXPECT_EQ(AH, AH2);
  EXPECT_FALSE(AH == BH);
  EXPECT_TRUE(AH.SameCode(BH));
  EXPECT_FALSE(AH == AO);
  EXPECT_FALSE(AH.SameCode(AO));
  AH(&B);
  EXPECT_EQ(A.Calls, 1);
  EXPECT_EQ(A.LastSender, &B);
}

TEST(MethodPtrTest, EmptyAndCleared) {
  TNotifyEvent E;
  EXPECT_FALSE(E.Assigned());
  EXPECT_TRUE(E == nullptr);
  TReceiver A;
  E = TNotifyEvent(&A, &TReceiver::Handler);
  EXPECT_TRUE(Assigned(E));
  E.Clear();
  EXPECT_FALSE(E);
}

TEST(MethodPtrTest, LambdaEqualsOnlyItsCopies) {
  int Hits = 0;
  TNotifyEvent L1([&](TObject*) { ++Hits; });
  TNotifyEvent L2([&](TObject*) { ++Hits; });
  TNotifyEvent Copy = L1;
  EXPECT_EQ(L1, Copy);
  EXPECT_FALSE(L1 == L2);
  Copy(nullptr);
  EXPECT_EQ(Hits, 1);
}

TEST(MethodPtrTest, StoredUntypedHandlerReadsThroughOtherEventType) {
  using TOtherEvent = TMethodPtr<void(TObject*)>;
  TReceiver A;
  TNotifyEvent H(&A, &TReceiver::Handler);
  TOtherEvent View = TOtherEvent::FromMethod(H.Method());
  View(nullptr);
  EXPECT_EQ(A.Calls, 1);
  EXPECT_EQ(TNotifyEvent::FromMethod(View.Method()), H);
}

}  // namespace
