#include "platform/ui/windowing/caret.h"

#include "platform/ui/windowing/hwnd.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/support/testing.h"

using namespace gdi;

namespace {

class CaretTest : public ::testing::Test {
protected:
  void SetUp() override {
    A = AllocateHWnd(nullptr);
    B = AllocateHWnd(nullptr);
  }
  void TearDown() override {
    DeallocateHWnd(A);
    DeallocateHWnd(B);
    test::ResetUi();
  }

  static POINT caretPos() {
    POINT P{-99, -99};
    EXPECT_TRUE(GetCaretPos(&P));
    return P;
  }

  HWND A = nullptr, B = nullptr;
};

TEST_F(CaretTest, WithoutACaretEveryCallFails) {
  POINT P{7, 8};
  EXPECT_FALSE(GetCaretPos(&P));
  EXPECT_EQ(P, (POINT{7, 8})) << "left as it was";
  EXPECT_FALSE(SetCaretPos(1, 1));
  EXPECT_FALSE(ShowCaret(nullptr));
  EXPECT_FALSE(HideCaret(nullptr));
  EXPECT_FALSE(DestroyCaret());
  EXPECT_FALSE(CreateCaret(nullptr, nullptr, 1, 10)) << "no window";
  EXPECT_FALSE(GetCaretPos(&P));
}

TEST_F(CaretTest, OneCaretMovesFromWindowToWindow) {
  ASSERT_TRUE(CreateCaret(A, nullptr, 1, 12));
  EXPECT_EQ(caretPos(), (POINT{0, 0}));
  EXPECT_TRUE(SetCaretPos(15, 3));
  EXPECT_EQ(caretPos(), (POINT{15, 3}));

  // Creating it for another window takes it from the first, back at (0, 0).
  ASSERT_TRUE(CreateCaret(B, nullptr, 1, 12));
  EXPECT_EQ(caretPos(), (POINT{0, 0}));
  EXPECT_FALSE(ShowCaret(A)) << "A owns no caret any more";
  EXPECT_TRUE(ShowCaret(B));

  EXPECT_TRUE(DestroyCaret());
  EXPECT_FALSE(DestroyCaret());
}

TEST_F(CaretTest, HidingIsCumulativeAndANewCaretStartsHidden) {
  ASSERT_TRUE(CreateCaret(A, nullptr, 0, 0));
  EXPECT_FALSE(test::IsCaretVisible());
  EXPECT_TRUE(ShowCaret(nullptr));
  EXPECT_TRUE(test::IsCaretVisible());
  EXPECT_TRUE(HideCaret(A));
  EXPECT_TRUE(HideCaret(nullptr));
  EXPECT_TRUE(ShowCaret(A));
  EXPECT_FALSE(test::IsCaretVisible()) << "hidden twice, shown once";
  EXPECT_TRUE(SetCaretPos(4, 5)) << "a hidden caret moves too";
  EXPECT_TRUE(ShowCaret(A));
  EXPECT_TRUE(test::IsCaretVisible());
  EXPECT_TRUE(ShowCaret(A)) << "showing a shown caret changes nothing";
  EXPECT_TRUE(HideCaret(A));
  EXPECT_FALSE(test::IsCaretVisible());
}

TEST_F(CaretTest, TheCaretDiesWithItsWindow) {
  ASSERT_TRUE(CreateCaret(A, nullptr, 1, 12));
  DeallocateHWnd(B);
  B = nullptr;
  POINT P;
  EXPECT_TRUE(GetCaretPos(&P)) << "another window's death leaves it";
  DeallocateHWnd(A);
  A = nullptr;
  EXPECT_FALSE(GetCaretPos(&P));
  EXPECT_FALSE(test::IsCaretVisible());
}

}  // namespace
