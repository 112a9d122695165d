#include "platform/rtl/dictionary.h"

#include "tests/support/testing.h"

#include <gtest/gtest.h>

namespace {

class TLoggedDictionary : public generics::TDictionary<String, int> {
public:
  ~TLoggedDictionary() override { Clear(); }
  std::vector<String> Log;

protected:
  void KeyNotify(const String& Key, generics::TCollectionNotification Action) override {
    Log.push_back(QString("key %1 %2").arg(Key).arg(int(Action)));
  }
  void ValueNotify(const int& Value, generics::TCollectionNotification Action) override {
    Log.push_back(QString("value %1 %2").arg(Value).arg(int(Action)));
  }
};

TEST(Dictionary, EveryEntryAndExitIsHeard) {
  TLoggedDictionary D;
  D.Add("a", 1);
  D.Add("A", 2);  // keys compare exactly
  EXPECT_EQ(D.Count(), 2);
  try {
    D.Add("a", 3);
    FAIL();
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message, "Duplicates not allowed");
  }
  int V = 0;
  EXPECT_TRUE(D.TryGetValue("a", V));
  EXPECT_EQ(V, 1);
  D.Log.clear();
  D.Remove("a");
  D.Remove("missing");
  EXPECT_EQ(D.Log, std::vector<String>({"key a 1", "value 1 1"}));
  D.Clear();
  EXPECT_EQ(D.Count(), 0);
  EXPECT_EQ(D.Log.back(), "value 2 1");
}

}  // namespace
