#include "platform/ui/controls/labelededit.h"

#include "platform/ui/graphics/bitmap.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

using namespace gdi;

namespace {

class LabeledEditTest : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    Edit = make<TLabeledEdit>(Bounds(20, 60, 121, 21));
    Label = Edit->EditLabel();
  }

  // Where the label belongs: its size kept, LabelSpacing above the edit.
  TRect expectedLabelBounds() const {
    return Bounds(Edit->Left(), Edit->Top() - Label->Height() - Edit->LabelSpacing(), Label->Width(),
                  Label->Height());
  }

  TLabeledEdit* Edit = nullptr;
  TBoundLabel* Label = nullptr;
};

TEST_F(LabeledEditTest, LabelSitsAboveAndFollowsTheBounds) {
  ASSERT_NE(Label, nullptr);
  EXPECT_EQ(Label->Owner(), Edit);
  EXPECT_EQ(Label->Parent(), Form);
  EXPECT_EQ(Label->Name(), String("SubLabel"));
  EXPECT_TRUE(Label->ComponentStyle().Contains(csSubComponent));
  EXPECT_EQ(Edit->LabelSpacing(), 3);
  EXPECT_EQ(GetObjectProp(Edit, "EditLabel"), Label);
  EXPECT_EQ(GetOrdProp(Edit, "LabelSpacing"), 3);
  EXPECT_EQ(Label->BoundsRect(), expectedLabelBounds());

  const std::function<void()> Changes[] = {
      [this] { Edit->SetLeft(5); },
      [this] { Edit->SetTop(120); },
      [this] { Edit->SetBounds(40, 30, 60, 30); },
      [this] { Edit->SetLabelSpacing(0); },
      [this] { Label->SetCaption("&Name"); },
      [this] { Label->Font()->SetHeight(-30); },  // a taller label moves up
  };
  for (const auto& Change : Changes) {
    Change();
    EXPECT_EQ(Label->BoundsRect(), expectedLabelBounds());
  }
  EXPECT_GT(Label->Height(), 30);
}

TEST_F(LabeledEditTest, LabelFollowsParentVisibleAndEnabled) {
  auto* Panel = make<TPanel>(Bounds(150, 100, 200, 150));
  Edit->SetParent(Panel);
  EXPECT_EQ(Label->Parent(), Panel);
  Edit->SetVisible(false);
  EXPECT_FALSE(Label->Visible());
  Edit->SetVisible(true);
  EXPECT_TRUE(Label->Visible());
  Edit->SetEnabled(false);
  EXPECT_FALSE(Label->Enabled());
  Edit->SetEnabled(true);
  EXPECT_TRUE(Label->Enabled());

  // The label is the edit's: freeing the edit takes it off the panel.
  const Integer Before = Panel->ControlCount();
  Edit->Free();
  EXPECT_EQ(Panel->ControlCount(), Before - 2);
}

TEST_F(LabeledEditTest, AFreedLabelIsForgotten) {
  Label->Free();
  EXPECT_EQ(Edit->EditLabel(), nullptr);
  Edit->SetBounds(1, 2, 100, 21);
  Edit->SetVisible(false);
  Edit->SetParent(nullptr);
  EXPECT_EQ(Edit->Left(), 1);
}

TEST_F(LabeledEditTest, LabelPaintsItsCaptionAndItsAcceleratorFocusesTheEdit) {
  Label->SetCaption("&Name");
  Label->Font()->SetColor(clBlack);
  auto* Other = make<TEdit>(Bounds(20, 150, 121, 21));
  Form->Show();
  Other->SetFocus();

  const auto Shot = test::Snapshot(Form);
  const TPoint Origin = Form->ClientOrigin();
  const TPoint Corner{Form->Left(), Form->Top()};
  TRect R = Label->BoundsRect();
  OffsetRect(R, Origin.X - Corner.X, Origin.Y - Corner.Y);
  EXPECT_GT(CountPixels(Shot.get(), R, clBlack), 0) << "the caption above the edit";

  test::Key('N', {ssAlt});
  EXPECT_TRUE(Edit->Focused());
}

}  // namespace
