#include "platform/ui/controls/spin.h"

#include "platform/rtl/clock.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/timers.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <limits>

using namespace gdi;

namespace {

constexpr Integer MaxInteger = std::numeric_limits<Integer>::max();

class SpinEditTest : public FormFixture {
protected:
  SpinEditTest() : FormFixture(MemoryClipboard) {}
  void SetUp() override {
    FormFixture::SetUp();
    Spin = make<TSpinEdit>(Bounds(10, 10, 121, 22));
    Other = make<TEdit>(Bounds(10, 50, 121, 22));
    Spin->OnChange = TNotifyEvent([this](TObject*) { ++Changes; });
  }

  // The spin edit focused on a shown form, limited to Min..Max.
  void focusWithRange(Integer Min, Integer Max) {
    Spin->SetMinValue(Min);
    Spin->SetMaxValue(Max);
    Form->Show();
    Spin->SetFocus();
    Changes = 0;
  }
  // A point in the spin button's upper or lower half.
  TPoint buttonPoint(bool Up) {
    TSpinButton* B = Spin->Button();
    return {B->Width() / 2, Up ? B->Height() / 4 : B->Height() * 3 / 4};
  }

  TSpinEdit* Spin = nullptr;
  TEdit* Other = nullptr;
  int Changes = 0;
};

TEST_F(SpinEditTest, ValueReadsTheTextUnclampedUntilLeft) {
  focusWithRange(1850, 2300);
  EXPECT_EQ(Spin->Text(), String("0")) << "a new spin edit shows 0";
  EXPECT_EQ(Spin->Increment(), 1);
  struct Case {
    const char* Text;
    Integer Value;
  };
  const Case Cases[] = {{"abc", 1850}, {"", 1850}, {"2400", 2400}, {"-7", -7}, {"12a", 1850}, {"99999999999", 1850}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    Spin->SetText(C.Text);
    EXPECT_EQ(Spin->Value(), C.Value);
    EXPECT_EQ(Spin->Text(), String(C.Text));
  }
  Spin->SetText(String());
  test::Type("2400");
  EXPECT_EQ(Spin->Text(), String("2400"));
  Changes = 0;
  Other->SetFocus();
  EXPECT_EQ(Spin->Text(), String("2300"));
  EXPECT_EQ(Changes, 1);
  // A text that is no integer reads as MinValue, which is in range: kept.
  Spin->SetText("abc");
  Spin->SetFocus();
  Other->SetFocus();
  EXPECT_EQ(Spin->Text(), String("abc"));
}

TEST_F(SpinEditTest, ValueSetterClampsAndChangesOnce) {
  Spin->SetMinValue(1850);
  Spin->SetMaxValue(2300);
  Changes = 0;
  struct Case {
    Integer Value;
    const char* Text;
    int Changes;
  };
  const Case Cases[] = {{3000, "2300", 1}, {2300, "2300", 1}, {2301, "2300", 1}, {1849, "1850", 2},
                        {1850, "1850", 2}, {2000, "2000", 3}};
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Value);
    Spin->SetValue(C.Value);
    EXPECT_EQ(Spin->Text(), String(C.Text));
    EXPECT_EQ(Changes, C.Changes);
  }
  // Equal limits limit nothing.
  Spin->SetMinValue(0);
  Spin->SetMaxValue(0);
  Spin->SetValue(-5);
  EXPECT_EQ(Spin->Value(), -5);
  Spin->SetValue(1000000);
  EXPECT_EQ(Spin->Value(), 1000000);
  Spin->SetText("x");
  EXPECT_EQ(Spin->Value(), 0);
}

TEST_F(SpinEditTest, UpAndDownStepInsideTheRange) {
  focusWithRange(1, 10);
  Spin->SetIncrement(4);
  Spin->SetValue(5);
  test::Key(VK_UP);
  EXPECT_EQ(Spin->Value(), 9);
  test::Key(VK_UP);
  EXPECT_EQ(Spin->Value(), 10);
  test::Key(VK_DOWN);
  test::Key(VK_DOWN);
  test::Key(VK_DOWN);
  EXPECT_EQ(Spin->Value(), 1);
  EXPECT_EQ(Changes, 6);
  // From a text out of range the step lands inside it.
  Spin->SetText("50");
  test::Key(VK_DOWN);
  EXPECT_EQ(Spin->Value(), 10);

  Spin->SetMaxValue(1);
  Spin->SetMinValue(1);
  Spin->SetValue(MaxInteger);
  test::Key(VK_UP);
  EXPECT_EQ(Spin->Value(), MaxInteger) << "no limits: the step stops at the integer range";

  test::TBeepRecorder Beeps;
  Spin->SetReadOnly(true);
  test::Key(VK_DOWN);
  EXPECT_EQ(Spin->Value(), MaxInteger);
  EXPECT_EQ(Beeps.Count(), 1);
}

TEST_F(SpinEditTest, OnlyDigitsAndMinusAreTyped) {
  focusWithRange(0, 0);
  Spin->SetText(String());
  test::TBeepRecorder Beeps;
  test::Type("-1a2.3 ");
  EXPECT_EQ(Spin->Text(), String("-123"));
  EXPECT_EQ(Beeps.Count(), 3);
  test::Key(VK_BACK);
  EXPECT_EQ(Spin->Text(), String("-12"));

  // MaxLength limits typing, as in a plain edit.
  Spin->SetMaxLength(4);
  test::Type("45");
  EXPECT_EQ(Spin->Text(), String("-124"));

  // Without EditorEnabled nothing the user does edits the text; the keys
  // still step.
  Spin->SetEditorEnabled(false);
  Beeps.Clear();
  Clipboard()->SetAsText("7");
  Spin->SelectAll();
  test::Type("5");
  test::Key(VK_BACK);
  test::Key(VK_DELETE);
  test::Key('V', {ssCtrl});
  test::Key('X', {ssCtrl});
  EXPECT_EQ(Spin->Text(), String("-124"));
  EXPECT_EQ(Beeps.Count(), 1);
  test::Key(VK_UP);
  EXPECT_EQ(Spin->Text(), String("-123"));
}

TEST_F(SpinEditTest, OnKeyDownSeesTheKeysFirst) {
  focusWithRange(0, 100);
  std::vector<Word> Keys;
  Spin->OnKeyDown = TKeyEvent([&Keys](TObject*, Word& Key, TShiftState) {
    Keys.push_back(Key);
    if (Key == VK_DOWN) Key = 0;
  });
  test::Key(VK_RETURN);
  test::Key(VK_UP);
  test::Key(VK_DOWN);
  EXPECT_EQ(Keys, (std::vector<Word>{VK_RETURN, VK_UP, VK_DOWN}));
  EXPECT_EQ(Spin->Value(), 1) << "a swallowed Down does not step";
}

TEST_F(SpinEditTest, ButtonsStepAndRepeatWhileHeld) {
  test::TStepClock Clock{1000};
  TClockScope ClockScope{Clock};
  Spin->SetMinValue(0);
  Spin->SetMaxValue(100);
  Form->Show();
  Other->SetFocus();
  Changes = 0;
  TSpinButton* B = Spin->Button();

  test::Click(B, buttonPoint(/*Up=*/true));
  EXPECT_EQ(Spin->Value(), 1);
  EXPECT_TRUE(Spin->Focused()) << "a press focuses the edit";
  test::Click(B, buttonPoint(/*Up=*/false));
  EXPECT_EQ(Spin->Value(), 0);

  test::MouseDown(B, buttonPoint(/*Up=*/true));
  EXPECT_EQ(Spin->Value(), 1);
  test::AdvanceTime(TSpinButton::InitRepeatPause - 1);
  EXPECT_EQ(Spin->Value(), 1);
  test::AdvanceTime(1);
  EXPECT_EQ(Spin->Value(), 2);
  test::AdvanceTime(TSpinButton::RepeatPause);
  EXPECT_EQ(Spin->Value(), 3);
  // Off the pressed half the steps pause; back on, they go on.
  test::MouseMove(B, buttonPoint(/*Up=*/false));
  test::AdvanceTime(3 * TSpinButton::RepeatPause);
  EXPECT_EQ(Spin->Value(), 3);
  test::MouseMove(B, buttonPoint(/*Up=*/true));
  test::AdvanceTime(TSpinButton::RepeatPause);
  EXPECT_EQ(Spin->Value(), 4);
  test::MouseUp(B, buttonPoint(/*Up=*/true));
  test::AdvanceTime(5 * TSpinButton::RepeatPause);
  EXPECT_EQ(Spin->Value(), 4);
  EXPECT_EQ(Changes, 6);
}

// A spin edit whose button was freed goes on as an edit with the keys'
// steps, its text over the whole width.
TEST_F(SpinEditTest, AFreedButtonIsForgotten) {
  focusWithRange(0, 100);
  Spin->Button()->Free();
  EXPECT_EQ(Spin->Button(), nullptr);
  Spin->SetBounds(10, 10, 150, 30);
  Spin->SetBorderStyle(bsNone);
  TRect Format;
  Spin->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Format));
  EXPECT_EQ(Format.Right, Spin->ClientWidth() - 1);
  Spin->SetEnabled(false);
  Spin->SetEnabled(true);
  Spin->SetFocus();
  test::Key(VK_UP);
  EXPECT_EQ(Spin->Value(), 1);
}

TEST_F(SpinEditTest, ButtonSitsAtTheRightAndTheTextStopsShortOfIt) {
  Spin->SetText("MMMMMMMMMMMMMMMMMMMMMMMMMMMM");
  Form->Show();
  TSpinButton* B = Spin->Button();
  const TRect Client = Spin->ClientRect();
  EXPECT_EQ(B->Parent(), Spin);
  EXPECT_EQ(B->BoundsRect(), Rect(Client.Right - TSpinEdit::ButtonWidth, 0, Client.Right, Client.Bottom));
  Spin->SetBounds(10, 10, 80, 30);
  EXPECT_EQ(Spin->Width(), 80) << "AutoSize does not shrink the edit around its button";
  EXPECT_EQ(B->Left(), Spin->ClientWidth() - TSpinEdit::ButtonWidth);
  EXPECT_EQ(B->Height(), Spin->ClientHeight());
  TRect Format;
  Spin->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Format));
  EXPECT_LE(Format.Right, B->Left() - 2) << "the text stops short of the button";
  EXPECT_GT(Format.Right, Format.Left);

  const auto Shot = test::Snapshot(Spin);
  const TColor Face = TColor(ColorToRGB(clBtnFace));
  const TColor Text = TColor(ColorToRGB(clBtnText));
  // The offsets of the client area inside the control's frame.
  const TPoint Origin = Spin->ClientToScreen({0, 0});
  const TPoint Corner = Spin->Parent()->ClientToScreen({Spin->Left(), Spin->Top()});
  const Integer Dx = Origin.X - Corner.X;
  const Integer Dy = Origin.Y - Corner.Y;
  const TRect Up(Dx + B->Left(), Dy, Dx + B->Left() + B->Width(), Dy + B->Height() / 2);
  const TRect Down(Up.Left, Up.Bottom, Up.Right, Dy + B->Height());
  // Inside the faces' raised edges: the face colour and an arrow.
  for (TRect Half : {Up, Down}) {
    InflateRect(Half, -2, -2);
    EXPECT_GT(CountPixels(Shot.get(), Half, Face), 0);
    EXPECT_GT(CountPixels(Shot.get(), Half, Text), 0) << "an arrow";
  }
  Spin->SetEnabled(false);
  const auto Disabled = test::Snapshot(Spin);
  EXPECT_EQ(CountPixels(Disabled.get(), Up, Text), 0) << "grey arrows while disabled";
  EXPECT_GT(CountPixels(Disabled.get(), Up, TColor(ColorToRGB(clGrayText))), 0);
  // The digits end before the gap left of the button.
  const TRect Gap(Up.Left - 2, Dy, Up.Left, Dy + B->Height());
  EXPECT_EQ(CountPixels(Shot.get(), Gap, TColor(ColorToRGB(clWindowText))), 0);
}

}  // namespace
