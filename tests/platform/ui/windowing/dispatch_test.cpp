#include "platform/ui/windowing/dispatch.h"

#include "tests/support/testing.h"

#include <string>
#include <vector>

using namespace gdi;

namespace {

constexpr UINT WM_PRIVATE = WM_USER + 5;

// Three levels: the base and the most derived class handle WM_SIZE, the
// middle class adds no map.
class TBase : public TMessageTarget {
  UI_MESSAGE_MAP
public:
  std::vector<std::string> Log;
  void DefaultHandler(TMessage& Message) override {
    Log.push_back("default " + std::to_string(Message.Msg));
    Message.Result += 100;
  }

protected:
  void WMSize(TWMSize& Message) {
    Log.push_back("base " + std::to_string(Message.Width));
    Message.Result += 10;
    DispatchAs<TMessageTarget>(Message);
  }
  void WMUpdateUIState(TMessage& Message) { Log.push_back("base uistate " + std::to_string(Message.Msg)); }
  void WMMouseMove(TWMMouse& Message) {
    Log.push_back("move " + std::to_string(Message.XPos) + "," + std::to_string(Message.YPos));
  }
};

const TMessageMap& TBase::MessageMap() {
  static const TMessageMap Map(TMessageTarget::MessageMap(), {
                                                                 {WM_SIZE, &TBase::WMSize},
                                                                 {WM_UPDATEUISTATE, &TBase::WMUpdateUIState},
                                                                 {WM_MOUSEMOVE, &TBase::WMMouseMove},
                                                             });
  return Map;
}

class TMiddle : public TBase {};

class TDerived : public TMiddle {
  UI_MESSAGE_MAP
public:
  bool Throw = false;

private:
  void WMSize(TWMSize& Message) {
    Log.push_back("derived");
    if (Throw) throw EInvalidOperation("size refused");
    Message.Result += 1;
    DispatchAs<TMiddle>(Message);
  }
  // Zeroes the message and passes it on: the ancestors see Msg 0.
  void WMUpdateUIState(TMessage& Message) {
    Message.Msg = 0;
    DispatchAs<TMiddle>(Message, WM_UPDATEUISTATE);
  }
  // Handled "as a plain target": skips TBase's handler.
  void WMSetFocus(TWMSetFocus& Message) {
    Log.push_back("derived setfocus");
    DispatchAs<TMessageTarget>(Message);
  }
};

const TMessageMap& TDerived::MessageMap() {
  static const TMessageMap Map(TMiddle::MessageMap(), {
                                                          {WM_SIZE, &TDerived::WMSize},
                                                          {WM_UPDATEUISTATE, &TDerived::WMUpdateUIState},
                                                          {WM_SETFOCUS, &TDerived::WMSetFocus},
                                                      });
  return Map;
}

TEST(DispatchTest, InheritedHandlingWalksTheChainOnceIntoDefaultHandler) {
  TDerived D;
  EXPECT_EQ(D.Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(40, 30)), 111);
  EXPECT_EQ(D.Log, (std::vector<std::string>{"derived", "base 40", "default 5"}));
}

TEST(DispatchTest, AClassWithoutAMapUsesItsParents) {
  TMiddle M;
  EXPECT_EQ(M.Perform(WM_SIZE, 0, MAKELPARAM(7, 1)), 110);
  EXPECT_EQ(M.Log, (std::vector<std::string>{"base 7", "default 5"}));
  EXPECT_EQ(&M.ClassMessageMap(), &TBase::MessageMap());
}

TEST(DispatchTest, UnhandledPrivateMessageGoesToDefaultHandlerOnly) {
  TDerived D;
  EXPECT_EQ(D.Perform(WM_PRIVATE, 1, 2), 100);
  EXPECT_EQ(D.Log, (std::vector<std::string>{"default " + std::to_string(WM_PRIVATE)}));
}

TEST(DispatchTest, ExceptionFromHandlerReachesThePerformCaller) {
  TDerived D;
  D.Throw = true;
  EXPECT_RAISES(D.Perform(WM_SIZE, 0, 0), EInvalidOperation, "size refused");
  EXPECT_EQ(D.Log, (std::vector<std::string>{"derived"}));
}

TEST(DispatchTest, DispatchCanStartAtANamedAncestor) {
  TDerived D;
  D.Perform(WM_SETFOCUS, 0, 0);
  EXPECT_EQ(D.Log, (std::vector<std::string>{"derived setfocus", "default 7"}));
}

TEST(DispatchTest, RewrittenMessageReachesTheAncestorHandlerOfItsDeclaredNumber) {
  TDerived D;
  D.Perform(WM_UPDATEUISTATE, 0, 0);
  EXPECT_EQ(D.Log, (std::vector<std::string>{"base uistate 0"}));
}

TEST(DispatchTest, CrackedHandlersReadSignedCoordinates) {
  TDerived D;
  D.Perform(WM_MOUSEMOVE, 0, PointToLParam({-4, 9}));
  EXPECT_EQ(D.Log, (std::vector<std::string>{"move -4,9"}));
}

TEST(DispatchTest, WindowProcCanBeHookedAndRestored) {
  TDerived D;
  const TWndMethod Old = D.WindowProc;
  std::vector<UINT> Seen;
  D.WindowProc = [&](TMessage& Message) {
    Seen.push_back(Message.Msg);
    if (Message.Msg == WM_SIZE) return;  // swallowed by the hook
    Old(Message);
  };
  EXPECT_EQ(D.Perform(WM_SIZE, 0, 0), 0);
  D.Perform(WM_PRIVATE, 0, 0);
  EXPECT_EQ(Seen, (std::vector<UINT>{WM_SIZE, WM_PRIVATE}));
  EXPECT_EQ(D.Log, (std::vector<std::string>{"default " + std::to_string(WM_PRIVATE)}));
  D.WindowProc = Old;
  EXPECT_TRUE(D.WindowProc == Old);
  EXPECT_EQ(D.Perform(WM_SIZE, 0, 0), 111);
}

TEST(DispatchTest, SpyRecordsDeliveriesInOrderWithTheirResults) {
  TDerived D;
  TMessageSpy Spy(D);
  const TWndMethod Old = D.WindowProc;
  D.WindowProc = [&](TMessage& Message) {
    if (Message.Msg == WM_PRIVATE) D.Perform(WM_SIZE, 0, 0);  // nested send
    Old(Message);
  };
  D.Perform(WM_PRIVATE, 3, 4);
  ASSERT_EQ(Spy.Messages().size(), 2u);
  EXPECT_EQ(Spy.Ids(), (std::vector<UINT>{WM_PRIVATE, WM_SIZE}));
  EXPECT_EQ(Spy.Messages()[0].WParam, 3u);
  EXPECT_EQ(Spy.Messages()[0].LParam, 4);
  EXPECT_EQ(Spy.Messages()[0].Result, 100);
  EXPECT_EQ(Spy.Messages()[1].Result, 111);
  EXPECT_EQ(Spy.Ids(WM_USER, WM_USER + 10), (std::vector<UINT>{WM_PRIVATE}));
}

TEST(DispatchTest, MapLookupFindsOwnAndInheritedHandlers) {
  const TMessageMap& Map = TDerived::MessageMap();
  EXPECT_EQ(Map.Parent(), &TBase::MessageMap());
  EXPECT_NE(Map.Find(WM_SETFOCUS), nullptr);
  EXPECT_EQ(Map.Find(WM_MOUSEMOVE), nullptr);
  EXPECT_EQ(Map.Lookup(WM_MOUSEMOVE), TBase::MessageMap().Find(WM_MOUSEMOVE));
  EXPECT_EQ(Map.Lookup(WM_PRIVATE), nullptr);
}

}  // namespace
