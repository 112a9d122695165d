#include "gridlib/base/popupforms.h"

#include "platform/ui/controls/edits.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/window.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

namespace {

using namespace gdi;

// A focused edit on an active form, and a popup that belongs to it.
class PopupInactiveFormEh : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    Edit = make<TEdit>(Bounds(10, 10, 200, 24));
    Edit->SetText(QStringLiteral("abcdef"));
    Form->Show();
    test::Activate(Form);
    Edit->SetFocus();
    Popup = new TPopupInactiveFormEh(Form);
    Popup->SetBounds(120, 140, 100, 60);
  }

  TEdit* Edit = nullptr;
  TPopupInactiveFormEh* Popup = nullptr;
};

TEST_F(PopupInactiveFormEh, ShowingAndClickingLeaveTheFocusInTheEdit) {
  Popup->Show();
  EXPECT_TRUE(Popup->Visible());
  EXPECT_TRUE(IsWindowVisible(Popup->Handle()));
  EXPECT_EQ(GetFocus(), Edit->Handle());
  EXPECT_TRUE(Form->Active());

  EXPECT_EQ(Popup->Perform(WM_MOUSEACTIVATE, WPARAM(Popup->Handle()), 0), MA_NOACTIVATE);
  test::Click(Popup, {10, 10});
  EXPECT_EQ(GetFocus(), Edit->Handle());
  EXPECT_TRUE(Form->Active());
  EXPECT_FALSE(Popup->Active());
  EXPECT_FALSE(Popup->CanFocus());
}

TEST_F(PopupInactiveFormEh, TheMasterControlKeepsItsKeys) {
  Popup->SetMasterActionsControl(Edit);
  Popup->Show();
  Edit->SetSelStart(2);
  test::KeyDown(VK_RIGHT);
  EXPECT_EQ(Edit->SelStart(), 3);
  // A key that reaches the popup goes to the edit first.
  Popup->Perform(WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(Edit->SelStart(), 2);
  // A freed master is forgotten.
  Edit->Free();
  EXPECT_EQ(Popup->MasterActionsControl(), nullptr);
  Popup->Perform(WM_KEYDOWN, VK_LEFT, 0);
}

TEST_F(PopupInactiveFormEh, VisibleGoesThroughShowAndHide) {
  Popup->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(Popup->Handle()));
  EXPECT_EQ(GetFocus(), Edit->Handle());
  Popup->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(Popup->Handle()));
}

TEST_F(PopupInactiveFormEh, CreationParameters) {
  EXPECT_EQ(Popup->BorderStyle(), bsNone);
  EXPECT_EQ(Popup->FormStyle(), fsStayOnTop);
  EXPECT_EQ(Popup->Position(), poDesigned);
  EXPECT_TRUE(Popup->DropShadow());
  const LONG ExStyle = GetWindowLong(Popup->Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(ExStyle & WS_EX_NOACTIVATE);
  EXPECT_TRUE(ExStyle & WS_EX_TOPMOST);
}

// The raised outer edge (light, dark shadow) and the raised inner edge
// (highlight, shadow) one pixel inside it, round the client area.
TEST_F(PopupInactiveFormEh, BorderStyleGivesTwoPixelsOfRaisedEdges) {
  EXPECT_EQ(Popup->BorderWidth(), 0);
  TRect Client = Popup->ClientRect();
  Popup->AdjustClientRect(Client);
  EXPECT_EQ(Client, Popup->ClientRect());

  Popup->SetBorderStyle(bsSingle);
  EXPECT_EQ(Popup->BorderWidth(), 2);
  Client = Popup->ClientRect();
  TRect Adjusted = Client;
  Popup->AdjustClientRect(Adjusted);
  EXPECT_EQ(Adjusted, Rect(2, 2, Client.Right - 2, Client.Bottom - 2));

  Popup->Show();
  std::unique_ptr<TBitmap> Image = GrabWindow(Popup);
  // The client area's place inside the window's frame.
  const TPoint O{Popup->ClientOrigin().X - Popup->Left(), Popup->ClientOrigin().Y - Popup->Top()};
  const auto Rgb = [](TColor C) { return TColor(ColorToRGB(C)); };
  const int W = Popup->ClientWidth(), H = Popup->ClientHeight();
  EXPECT_EQ(PixelAt(Image.get(), O.X, O.Y + H / 2), Rgb(cl3DLight));
  EXPECT_EQ(PixelAt(Image.get(), O.X + W - 1, O.Y + H / 2), Rgb(cl3DDkShadow));
  EXPECT_EQ(PixelAt(Image.get(), O.X + 1, O.Y + H / 2), Rgb(clBtnHighlight));
  EXPECT_EQ(PixelAt(Image.get(), O.X + W - 2, O.Y + H / 2), Rgb(clBtnShadow));
  EXPECT_EQ(PixelAt(Image.get(), O.X + 2, O.Y + H / 2), Rgb(Popup->Color()));
}

}  // namespace
