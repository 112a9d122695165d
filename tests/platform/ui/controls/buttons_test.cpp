#include "platform/ui/controls/buttons.h"

#include "platform/rtl/stringlist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/msgqueue.h"
#include "tests/platform/ui/formfixture.h"
#include "tests/platform/ui/pixelhelpers.h"

#include <functional>
#include <string>

using namespace gdi;

namespace {

// A control that wants every key, as a memo with WantReturns does.
class TWantsKeys : public TCustomControl {
  RTL_CLASS(TWantsKeys, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TWantsKeys(TComponent* AOwner) : TCustomControl(AOwner) { SetTabStop(true); }
  void WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTALLKEYS; }
};

const TMessageMap& TWantsKeys::MessageMap() {
  static const TMessageMap Map(TCustomControl::MessageMap(), {{WM_GETDLGCODE, &TWantsKeys::WMGetDlgCode}});
  return Map;
}

class ButtonsTest : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    Form->SetCaption("Buttons");
  }

  template <class T>
  T* make(TRect Bounds, const String& Caption, TWinControl* Parent = nullptr) {
    auto* C = FormFixture::make<T>(Bounds, Parent);
    C->SetCaption(Caption);
    return C;
  }
  // OnClick of C appends Name to Log.
  void logClicks(TControl* C, const String& Name) {
    C->OnClick = TNotifyEvent([this, Name](TObject*) { Log.append(Name); });
  }

  QStringList Log;
};

TEST_F(ButtonsTest, ClassesPublishTheirDefaults) {
  struct Case {
    TObject* Object;
    const char* Name;
    String Value;
  };
  auto* B = new TButton(Form);
  auto* C = new TCheckBox(Form);
  auto* R = new TRadioButton(Form);
  auto* G = new TRadioGroup(Form);
  const Case Cases[] = {
      {B, "Default", "False"},         {B, "Cancel", "False"},      {B, "TabStop", "True"},
      {C, "Alignment", "taRightJustify"}, {C, "State", "cbUnchecked"}, {C, "Checked", "False"},
      {C, "AllowGrayed", "False"},     {R, "Checked", "False"},     {G, "TabStop", "False"},
  };
  for (const Case& X : Cases) {
    SCOPED_TRACE(X.Name);
    EXPECT_EQ(GetEnumProp(X.Object, X.Name), X.Value);
  }
  EXPECT_EQ(GetOrdProp(B, "ModalResult"), 0);
  EXPECT_EQ(GetOrdProp(G, "ItemIndex"), -1);
  EXPECT_EQ(GetOrdProp(G, "Columns"), 1);
  EXPECT_EQ(GetObjectProp(G, "Items"), G->Items());
  EXPECT_TRUE(IsPublishedProp(B, "OnClick"));
  EXPECT_EQ(B->BoundsRect(), Rect(0, 0, 75, 25));
  EXPECT_EQ(C->BoundsRect(), Rect(0, 0, 97, 17));
  EXPECT_EQ(G->ClassName(), "TRadioGroup");
  EXPECT_TRUE(R->InheritsFrom(TButtonControl::StaticClass()));
}

TEST_F(ButtonsTest, MouseAndSpaceClick) {
  auto* Ok = make<TButton>(Rect(10, 10, 85, 35), "&OK");
  logClicks(Ok, "ok");
  Form->Show();
  test::Click(Ok, {5, 5});
  EXPECT_EQ(Log, QStringList({"ok"}));
  EXPECT_TRUE(Ok->Focused()) << "a click focuses the button";
  // Released outside: no click.
  test::MouseDown(Ok, {5, 5});
  test::MouseUp(Ok, {200, 5});
  EXPECT_EQ(Log.size(), 1);
  // Space clicks on its release.
  test::KeyDown(VK_SPACE);
  EXPECT_EQ(Log.size(), 1);
  test::KeyUp(VK_SPACE);
  EXPECT_EQ(Log, QStringList({"ok", "ok"}));
  // Alt + the accelerator.
  test::Key('O', {ssAlt});
  EXPECT_EQ(Log.size(), 3);
  Ok->SetEnabled(false);
  test::Click(Ok, {5, 5});
  EXPECT_EQ(Log.size(), 3) << "a disabled button gets no input";
}

// WM_CANCELMODE (a dialog opens, the application deactivates) ends a press:
// the button comes up, and neither a later release nor Space clicks it.
TEST_F(ButtonsTest, CancelModeEndsAPressWithoutAClick) {
  auto* Ok = make<TButton>(Rect(10, 10, 85, 35), "&OK");
  logClicks(Ok, "ok");
  Form->Show();
  test::MouseDown(Ok, {5, 5});
  ASSERT_TRUE(Ok->Pressed());
  Ok->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(Ok->Pressed());
  test::MouseUp(Ok, {5, 5});
  test::KeyDown(VK_SPACE);
  Ok->Perform(WM_CANCELMODE, 0, 0);
  test::KeyUp(VK_SPACE);
  EXPECT_TRUE(Log.isEmpty());
  test::Click(Ok, {5, 5});
  EXPECT_EQ(Log, QStringList({"ok"}));
}

TEST_F(ButtonsTest, EnterClicksTheDefaultAndEscTheCancelButton) {
  auto* Box = make<TCheckBox>(Rect(10, 10, 100, 30), "Box");
  auto* Memo = make<TWantsKeys>(Rect(10, 40, 100, 80), "");
  auto* Ok = make<TButton>(Rect(10, 100, 85, 125), "OK");
  auto* Cancel = make<TButton>(Rect(100, 100, 175, 125), "Cancel");
  Ok->SetDefault(true);
  Cancel->SetCancel(true);
  logClicks(Ok, "ok");
  logClicks(Cancel, "cancel");
  logClicks(Box, "box");
  Form->Show();
  Box->SetFocus();
  test::Key(VK_RETURN);
  test::Key(VK_ESCAPE);
  EXPECT_EQ(Log, QStringList({"ok", "cancel"}));
  Log.clear();
  // A focused button clicks itself on Enter; the default waits.
  Cancel->SetFocus();
  test::Key(VK_RETURN);
  EXPECT_EQ(Log, QStringList({"cancel"}));
  Log.clear();
  // Focus back on a non-button: the default button is Enter's again.
  Box->SetFocus();
  test::Key(VK_RETURN);
  EXPECT_EQ(Log, QStringList({"ok"}));
  Log.clear();
  // A control that wants Enter and Esc keeps them.
  Memo->SetFocus();
  test::Key(VK_RETURN);
  test::Key(VK_ESCAPE);
  EXPECT_TRUE(Log.isEmpty());
}

TEST_F(ButtonsTest, ModalResultEndsShowModal) {
  auto* Ok = make<TButton>(Rect(10, 100, 85, 125), "OK");
  auto* Plain = make<TButton>(Rect(100, 100, 175, 125), "Apply");
  Ok->SetModalResult(mrOk);
  logClicks(Ok, "ok");
  logClicks(Plain, "plain");
  test::ModalScript Script;
  Script
      .Then([&](TModalRequest& R) {
        test::Click(Plain, {5, 5});
        EXPECT_EQ(R.Form->ModalResult(), mrNone);
        test::Click(Ok, {5, 5});
        EXPECT_EQ(R.Form->ModalResult(), mrOk);
      })
      .Then([&](TModalRequest&) {
        // A click that arrives through the queue ends the loop as well.
        const LPARAM At = MAKELPARAM(5, 5);
        PostMessage(Ok->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
        PostMessage(Ok->Handle(), WM_LBUTTONUP, 0, At);
      });
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_EQ(Log, QStringList({"plain", "ok"}));
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_EQ(Log.size(), 3);
}

TEST_F(ButtonsTest, CheckBoxSettersClickOnlyOnChange) {
  auto* Box = make<TCheckBox>(Rect(10, 10, 100, 30), "Box");
  logClicks(Box, "click");
  Box->SetChecked(true);
  EXPECT_EQ(Log.size(), 1);
  Box->SetChecked(true);
  Box->SetState(cbChecked);
  EXPECT_EQ(Log.size(), 1) << "no change, no click";
  Box->SetState(cbGrayed);
  EXPECT_EQ(Log.size(), 2);
  EXPECT_FALSE(Box->Checked());
  // Toggle's cycle, with and without the grayed stop.
  struct Case {
    bool AllowGrayed;
    TCheckBoxState From, To;
  } Cases[] = {
      {false, cbUnchecked, cbChecked}, {false, cbChecked, cbUnchecked}, {false, cbGrayed, cbChecked},
      {true, cbUnchecked, cbGrayed},   {true, cbGrayed, cbChecked},     {true, cbChecked, cbUnchecked},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(int(C.From) * 10 + C.AllowGrayed);
    Box->SetAllowGrayed(C.AllowGrayed);
    Box->SetState(C.From);
    Box->Toggle();
    EXPECT_EQ(Box->State(), C.To);
  }
  // The user's click toggles, once.
  Form->Show();
  Box->SetAllowGrayed(false);
  Box->SetChecked(false);
  Log.clear();
  test::Click(Box, {3, 3});
  EXPECT_TRUE(Box->Checked());
  test::Key(VK_SPACE);
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Log.size(), 2);
}

TEST_F(ButtonsTest, RadioButtonsExcludeTheirSiblings) {
  auto* Other = make<TGroupBox>(Rect(200, 10, 300, 100), "Other");
  auto* A = make<TRadioButton>(Rect(10, 10, 100, 27), "A");
  auto* B = make<TRadioButton>(Rect(10, 30, 100, 47), "B");
  auto* C = make<TRadioButton>(Rect(10, 50, 100, 67), "C");
  auto* Elsewhere = make<TRadioButton>(Rect(5, 20, 90, 37), "Elsewhere", Other);
  logClicks(A, "A");
  logClicks(B, "B");
  Elsewhere->SetChecked(true);
  A->SetChecked(true);
  B->SetChecked(true);
  EXPECT_FALSE(A->Checked());
  EXPECT_TRUE(B->Checked());
  EXPECT_FALSE(C->Checked());
  EXPECT_TRUE(Elsewhere->Checked()) << "another parent's button stays";
  EXPECT_EQ(Log, QStringList({"A", "B"})) << "unchecking fires nothing";
  B->SetChecked(true);
  EXPECT_EQ(Log.size(), 2);
  Form->Show();
  test::Click(A, {3, 3});
  EXPECT_TRUE(A->Checked());
  EXPECT_FALSE(B->Checked());
  test::Click(A, {3, 3});
  EXPECT_TRUE(A->Checked()) << "a checked radio stays checked";
  EXPECT_EQ(Log, QStringList({"A", "B", "A"}));
}

TEST_F(ButtonsTest, RadioGroupFillsColumnsTopToBottom) {
  auto* G = make<TRadioGroup>(Rect(10, 10, 210, 110), "Start");
  G->Font()->SetHeight(-13);
  G->Items()->Add("one");
  G->Items()->Add("two");
  G->Items()->Add("three");
  G->SetColumns(2);
  TRect Client = G->ClientRect();
  G->AdjustClientRect(Client);
  const int Half = Client.Width() / 2;
  const int Row = Client.Height() / 2;
  const int Top = Client.Top + (Client.Height() % 2) / 2;
  struct Case {
    int Index;
    TRect Bounds;
  } Cases[] = {
      {0, Rect(Client.Left + 6, Top, Client.Left + Half, Top + Row)},
      {1, Rect(Client.Left + 6, Top + Row, Client.Left + Half, Top + 2 * Row)},
      {2, Rect(Client.Left + Half + 6, Top, Client.Left + 2 * Half, Top + Row)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Index);
    EXPECT_EQ(G->Buttons(C.Index)->BoundsRect(), C.Bounds);
    EXPECT_EQ(G->Buttons(C.Index)->Caption(), G->Items()->Strings(C.Index));
  }
  // One column of three: a third of the height each.
  G->SetColumns(1);
  EXPECT_EQ(G->Buttons(2)->Left(), Client.Left + 6);
  EXPECT_EQ(G->Buttons(2)->Top(), Client.Top + (Client.Height() % 3) / 2 + 2 * (Client.Height() / 3));
}

// The group's OnClick may rebuild its items, freeing the button whose click
// is still running.
TEST_F(ButtonsTest, RadioGroupOnClickMayRebuildTheItems) {
  auto* G = make<TRadioGroup>(Rect(10, 10, 210, 110), "Start");
  G->Items()->Add("one");
  G->Items()->Add("two");
  G->OnClick = [&](TObject*) {
    Log.append("group " + QString::number(G->ItemIndex()));
    G->Items()->Clear();
    G->Items()->Add("again");
  };
  Form->Show();
  test::Click(G->Buttons(1), {3, 3});
  EXPECT_EQ(Log, QStringList({"group 1"}));
  EXPECT_EQ(G->Items()->Count(), 1);
  EXPECT_EQ(G->ItemIndex(), -1);
  EXPECT_EQ(G->Buttons(0)->Caption(), "again");
}

TEST_F(ButtonsTest, RadioGroupItemIndex) {
  auto* G = make<TRadioGroup>(Rect(10, 10, 210, 110), "Start");
  logClicks(G, "group");
  G->Items()->Add("one");
  G->Items()->Add("two");
  G->Items()->Add("three");
  G->SetItemIndex(1);
  EXPECT_EQ(Log.size(), 1);
  EXPECT_TRUE(G->Buttons(1)->Checked());
  G->SetItemIndex(1);
  EXPECT_EQ(Log.size(), 1) << "same index, no click";
  G->SetItemIndex(7);
  EXPECT_EQ(G->ItemIndex(), 2) << "clamped to the last item";
  EXPECT_FALSE(G->Buttons(1)->Checked());
  G->SetItemIndex(-1);
  EXPECT_EQ(G->ItemIndex(), -1);
  EXPECT_FALSE(G->Buttons(2)->Checked());
  EXPECT_EQ(Log.size(), 3);
  // The user's choice.
  Form->Show();
  test::Click(G->Buttons(0), {3, 3});
  EXPECT_EQ(G->ItemIndex(), 0);
  EXPECT_EQ(Log.size(), 4);
  test::Click(G->Buttons(0), {3, 3});
  EXPECT_EQ(Log.size(), 4);
  // Items going away take the choice with them.
  G->SetItemIndex(2);
  G->Items()->Delete(2);
  EXPECT_EQ(G->ItemIndex(), -1);
  G->SetEnabled(false);
  G->Items()->Add("three again");
  EXPECT_FALSE(G->Buttons(0)->Enabled());
  EXPECT_FALSE(G->Buttons(2)->Enabled()) << "a new button follows the group";
  G->Items()->Clear();
  EXPECT_EQ(G->ControlCount(), 0);
}

// What DrawFrameControl alone paints for Kind in Mark on Background, in a
// bitmap of Size.
std::unique_ptr<TBitmap> frameControl(TSize Size, TColor Background, TRect Mark, UINT Kind) {
  return PainterImage(Size.cx, Size.cy, Background, [&](HDC DC) { DrawFrameControl(DC, &Mark, DFC_BUTTON, Kind); });
}

TColor sysColor(TColor Color) { return TColor(ColorToRGB(Color)); }

// The push button in each state: its frame is the push-button frame control
// for the same rectangle (inside a black frame while Enter would click it);
// the caption is embossed when disabled; the focus rectangle is 4 pixels in.
TEST_F(ButtonsTest, PushButtonPaintsTheClassicFaceInEachState) {
  auto* Elsewhere = make<TCheckBox>(Rect(10, 80, 85, 100), "Elsewhere");
  Form->Show();
  const TSize Size{75, 25};
  struct Case {
    const char* Name;
    std::function<void(TButton*)> Set;
    bool Framed;  // the black frame of the button Enter clicks
    UINT Push;
  } Cases[] = {
      {"normal", [](TButton*) {}, false, 0},
      {"default", [](TButton* B) { B->SetDefault(true); }, true, 0},
      {"focused", [](TButton* B) { B->SetFocus(); }, true, 0},
      {"pushed", [](TButton* B) { test::MouseDown(B, {5, 5}); }, true, DFCS_FLAT},
      {"disabled", [](TButton* B) { B->SetEnabled(false); }, false, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Elsewhere->SetFocus();
    auto* B = make<TButton>(Bounds(10, 10, Size.cx, Size.cy), "Push");
    C.Set(B);
    auto Image = ShownImage(B);
    auto Painter = PainterImage(Size.cx, Size.cy, clBtnFace, [&](HDC DC) {
      TRect R = Rect(0, 0, Size.cx, Size.cy);
      if (C.Framed) {
        FrameRect(DC, R, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(R, -1, -1);
      }
      DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH | C.Push);
    });
    EXPECT_TRUE(BandsEqual(Image.get(), Painter.get(), 3));
    const TRect Inside = Rect(5, 5, Size.cx - 5, Size.cy - 5);
    EXPECT_EQ(CountPixels(Image.get(), Inside, sysColor(clBtnHighlight)) > 0, !B->Enabled()) << "embossed caption";
    EXPECT_EQ(InkIn(Image.get(), Inside) > 0, B->Enabled()) << "black caption";
    if (std::string(C.Name) == "focused") {
      // Only the dotted ring 4 pixels in tells it from the default button.
      B->SetDefault(true);
      Elsewhere->SetFocus();
      auto Unfocused = ShownImage(B);
      int Dots = 0;
      for (int Y = 0; Y < Size.cy; ++Y)
        for (int X = 0; X < Size.cx; ++X) {
          if (PixelAt(Image.get(), X, Y) == PixelAt(Unfocused.get(), X, Y)) continue;
          const bool OnRing = (X == 4 || X == Size.cx - 5 || Y == 4 || Y == Size.cy - 5) && X >= 4 &&
                              X <= Size.cx - 5 && Y >= 4 && Y <= Size.cy - 5;
          EXPECT_TRUE(OnRing) << X << "," << Y;
          ++Dots;
        }
      EXPECT_GT(Dots, 0);
    }
    B->Free();
  }
}

// A few pixels of the classic geometry itself, so the frame control and the
// button cannot drift together: the white line top left, the shadow and the
// dark shadow lines bottom right.
TEST_F(ButtonsTest, PushButtonEdgesAreWhiteTopLeftAndShadowsBottomRight) {
  auto* B = make<TButton>(Rect(10, 10, 85, 35), "");
  Form->Show();
  auto Image = ShownImage(B);
  EXPECT_EQ(PixelAt(Image.get(), 1, 12), sysColor(clBtnHighlight));
  EXPECT_EQ(PixelAt(Image.get(), 12, 1), sysColor(clBtnHighlight));
  EXPECT_EQ(PixelAt(Image.get(), 73, 12), sysColor(clBtnShadow));
  EXPECT_EQ(PixelAt(Image.get(), 74, 12), sysColor(cl3DDkShadow));
  EXPECT_EQ(PixelAt(Image.get(), 12, 24), sysColor(cl3DDkShadow));
  EXPECT_EQ(PixelAt(Image.get(), 30, 12), sysColor(clBtnFace));
}

// Check boxes and radio buttons: the mark is the frame control for the same
// square, by state; the caption starts 17 pixels in, or ends there with the
// box on the right.
TEST_F(ButtonsTest, CheckAndRadioMarksAreTheFrameControlsInEachState) {
  Form->Show();
  const TSize Size{100, 21};
  struct Case {
    const char* Name;
    std::function<TButtonControl*()> Make;
    TRect Mark;
    UINT Kind;
  } Cases[] = {
      {"unchecked", [&] { return make<TCheckBox>(Bounds(10, 10, Size.cx, Size.cy), "Box"); }, Bounds(0, 4, 13, 13),
       DFCS_BUTTONCHECK},
      {"checked",
       [&] {
         auto* Box = make<TCheckBox>(Bounds(10, 10, Size.cx, Size.cy), "Box");
         Box->SetChecked(true);
         return Box;
       },
       Bounds(0, 4, 13, 13), DFCS_BUTTONCHECK | DFCS_CHECKED},
      {"greyed",
       [&] {
         auto* Box = make<TCheckBox>(Bounds(10, 10, Size.cx, Size.cy), "Box");
         Box->SetState(cbGrayed);
         return Box;
       },
       Bounds(0, 4, 13, 13), DFCS_BUTTONCHECK | DFCS_BUTTON3STATE | DFCS_CHECKED},
      {"disabled and checked",
       [&] {
         auto* Box = make<TCheckBox>(Bounds(10, 10, Size.cx, Size.cy), "Box");
         Box->SetChecked(true);
         Box->SetEnabled(false);
         return Box;
       },
       Bounds(0, 4, 13, 13), DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE},
      {"pushed",
       [&] {
         auto* Box = make<TCheckBox>(Bounds(10, 10, Size.cx, Size.cy), "Box");
         test::MouseDown(Box, {5, 5});
         return Box;
       },
       Bounds(0, 4, 13, 13), DFCS_BUTTONCHECK | DFCS_PUSHED},
      {"box on the right",
       [&] {
         auto* Box = make<TCheckBox>(Bounds(10, 10, Size.cx, Size.cy), "Box");
         Box->SetAlignment(taLeftJustify);
         return Box;
       },
       Bounds(87, 4, 13, 13), DFCS_BUTTONCHECK},
      {"radio", [&] { return make<TRadioButton>(Bounds(10, 10, Size.cx, Size.cy), "Radio"); }, Bounds(0, 4, 12, 12),
       DFCS_BUTTONRADIO},
      {"radio checked",
       [&] {
         auto* Radio = make<TRadioButton>(Bounds(10, 10, Size.cx, Size.cy), "Radio");
         Radio->SetChecked(true);
         return Radio;
       },
       Bounds(0, 4, 12, 12), DFCS_BUTTONRADIO | DFCS_CHECKED},
      {"radio disabled",
       [&] {
         auto* Radio = make<TRadioButton>(Bounds(10, 10, Size.cx, Size.cy), "Radio");
         Radio->SetEnabled(false);
         return Radio;
       },
       Bounds(0, 4, 12, 12), DFCS_BUTTONRADIO | DFCS_INACTIVE},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TButtonControl* Control = C.Make();
    auto Image = ShownImage(Control);
    auto Painter = frameControl(Size, Control->Color(), C.Mark, C.Kind);
    EXPECT_TRUE(RectsEqual(Image.get(), Painter.get(), C.Mark));
    const TRect Text = C.Mark.Left == 0 ? Rect(17, 0, Size.cx, Size.cy) : Rect(0, 0, Size.cx - 17, Size.cy);
    // Between the box's column and the caption (a focus rectangle reaches
    // one pixel out of the caption).
    const TRect Outside = C.Mark.Left == 0 ? Rect(13, 0, 16, Size.cy) : Rect(Size.cx - 16, 0, Size.cx - 13, Size.cy);
    const TColor Ground = sysColor(Control->Color());
    EXPECT_GT(CountPixels(Image.get(), Text, Ground), 0);
    EXPECT_LT(CountPixels(Image.get(), Text, Ground), Text.Width() * Text.Height()) << "a caption";
    EXPECT_EQ(CountPixels(Image.get(), Outside, Ground), Outside.Width() * Outside.Height());
    Control->Free();
  }
}

TEST_F(ButtonsTest, CheckBoxShowsATwoPixelSunkenBoxAndTheFocusAroundItsCaption) {
  auto* Box = make<TCheckBox>(Rect(10, 10, 110, 31), "Box");
  Form->Show();
  auto Image = ShownImage(Box);
  // The box at (0, 4): shadow, then dark shadow, then the window colour.
  EXPECT_EQ(PixelAt(Image.get(), 6, 4), sysColor(clBtnShadow));
  EXPECT_EQ(PixelAt(Image.get(), 6, 5), sysColor(cl3DDkShadow));
  EXPECT_EQ(PixelAt(Image.get(), 6, 6), sysColor(clWindow));
  EXPECT_EQ(PixelAt(Image.get(), 6, 16), sysColor(clBtnHighlight));
  EXPECT_EQ(PixelAt(Image.get(), 6, 15), sysColor(cl3DLight));
  Box->SetFocus();
  auto Focused = ShownImage(Box);
  EXPECT_TRUE(RectsEqual(Image.get(), Focused.get(), Rect(0, 0, 16, 21))) << "the box stays";
  EXPECT_FALSE(ImagesEqual(Image.get(), Focused.get(), 0)) << "the focus is shown";
  // Colour and font colour show at once.
  Box->SetColor(clYellow);
  Box->Font()->SetColor(clRed);
  auto Coloured = ShownImage(Box);
  EXPECT_EQ(PixelAt(Coloured.get(), 99, 1), clYellow);
  EXPECT_GT(CountPixels(Coloured.get(), Rect(17, 0, 100, 21), clRed), 0) << "red caption";
}

}  // namespace

// ---------------------------------------------------------------------------
// Glyph buttons

namespace {

// A plain surface for painted buttons: no frame, aqua.
class TSurfaceHost : public TCustomControl {
  RTL_CLASS(TSurfaceHost, TCustomControl)
public:
  explicit TSurfaceHost(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    SetColor(clAqua);
  }
  void Paint() override {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
  }
};

const TColor Fuchsia = clFuchsia;

// A 16 x 16 frame per colour side by side on a fuchsia ground (the
// bottom-left pixel), each with an 8 x 8 square of its colour at (4, 4).
std::unique_ptr<TBitmap> glyphStrip(std::initializer_list<TColor> Colors) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(16 * int(Colors.size()), 16);
  TCanvas* C = B->Canvas();
  C->Brush()->SetColor(Fuchsia);
  C->FillRect(TRect(0, 0, B->Width(), 16));
  int X = 0;
  for (TColor Color : Colors) {
    C->Brush()->SetColor(Color);
    C->FillRect(Bounds(X + 4, 4, 8, 8));
    X += 16;
  }
  return B;
}

class GlyphButtonsTest : public ButtonsTest {
protected:
  void SetUp() override {
    ButtonsTest::SetUp();
    Host = make<TSurfaceHost>(Rect(0, 0, 300, 200), "");
    Host->Font()->SetName("Arial");
    Host->Font()->SetHeight(-13);
    Host->Font()->SetColor(clBlack);
  }

  TSurfaceHost* Host = nullptr;
};

}  // namespace

TEST_F(GlyphButtonsTest, ClassesPublishTheirDefaultsOnce) {
  for (TObject* Instance : std::initializer_list<TObject*>{new TBitBtn(Form), new TSpeedButton(Form)}) {
    SCOPED_TRACE(Instance->ClassName().toStdString());
    ExpectPublishedOnceAtDefaults(Instance,
                                  {"Action", "Glyph", "Layout", "Margin", "NumGlyphs", "Spacing", "Caption", "Hint"});
  }
  EXPECT_EQ((new TSpeedButton(Form))->BoundsRect(), Rect(0, 0, 23, 22));
}

TEST_F(GlyphButtonsTest, LayoutPlacesGlyphAndCaption) {
  TBitmap Measure;
  Measure.Canvas()->Font()->SetName("Arial");
  Measure.Canvas()->Font()->SetHeight(-13);
  const TSize Text = Measure.Canvas()->TextExtent("Go");
  const TRect Client = Rect(0, 0, 100, 40);
  const TSize Glyph{16, 16};
  struct Case {
    const char* Name;
    TButtonLayout Layout;
    Integer Margin, Spacing;
    String Caption;
    TPoint Offset;
    TPoint GlyphPos;
    Integer TextLeft, TextTop;  // the caption's top-left corner
  };
  const Integer W = Text.cx, H = Text.cy;
  const Integer MidY = (40 - 16 + 1) / 2, TextMidY = (40 - H + 1) / 2, TextMidX = (100 - W + 1) / 2;
  const Case Cases[] = {
      {"left, centred", blGlyphLeft, -1, 4, "Go", {}, {(100 - 16 - 4 - W + 1) / 2, MidY},
       (100 - 16 - 4 - W + 1) / 2 + 20, TextMidY},
      {"left, even thirds", blGlyphLeft, -1, -1, "Go", {}, {(100 - 16 - W) / 3, MidY},
       2 * ((100 - 16 - W) / 3) + 16, TextMidY},
      {"left margin 5, spacing splits the rest", blGlyphLeft, 5, -1, "Go", {}, {5, MidY},
       5 + 16 + (100 - 5 - 16 - W) / 2, TextMidY},
      {"right margin 3", blGlyphRight, 3, 4, "Go", {}, {100 - 3 - 16, MidY}, 100 - 3 - 16 - 4 - W, TextMidY},
      {"top margin 2", blGlyphTop, 2, 1, "Go", {}, {(100 - 16 + 1) / 2, 2}, TextMidX, 2 + 16 + 1},
      {"bottom, centred", blGlyphBottom, -1, 0, "Go", {}, {(100 - 16 + 1) / 2, 40 - (40 - 16 - H + 1) / 2 - 16},
       TextMidX, 40 - (40 - 16 - H + 1) / 2 - 16 - H},
      {"no caption: no spacing", blGlyphLeft, -1, 4, "", {}, {(100 - 16 + 1) / 2, MidY}, 0, 0},
      {"pressed moves by the offset", blGlyphLeft, 5, 4, "Go", {1, 1}, {6, MidY + 1}, 6 + 16 + 4, TextMidY + 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TButtonContentLayout L =
        CalcButtonLayout(Measure.Canvas(), Client, C.Offset, C.Caption, Glyph, C.Layout, C.Margin, C.Spacing);
    EXPECT_EQ(L.GlyphPos, C.GlyphPos);
    if (C.Caption.isEmpty()) {
      EXPECT_TRUE(IsRectEmpty(L.TextBounds));
    } else {
      EXPECT_EQ(L.TextBounds, Bounds(C.TextLeft, C.TextTop, W, H));
    }
  }
  // The client rectangle's origin carries over.
  const TButtonContentLayout Moved =
      CalcButtonLayout(Measure.Canvas(), Rect(10, 20, 110, 60), {}, "Go", Glyph, blGlyphLeft, 5, 4);
  EXPECT_EQ(Moved.GlyphPos, (TPoint{15, 20 + MidY}));
}

TEST_F(GlyphButtonsTest, BitBtnGlyphTakesItsCornerColourAsClear) {
  auto* Btn = make<TBitBtn>(Rect(10, 10, 110, 40), "Go");
  auto Strip = glyphStrip({clBlue});
  Btn->SetGlyph(Strip.get());
  Form->Show();
  auto Up = test::Snapshot(Btn);
  const TRect Area = Btn->ClientRect();
  EXPECT_EQ(CountPixels(Up.get(), Area, Fuchsia), 0) << "the corner colour is clear";
  EXPECT_EQ(CountPixels(Up.get(), Area, clBlue), 8 * 8);
  EXPECT_GT(InkIn(Up.get(), Area), 0) << "the caption beside it";

  // Disabled without a disabled frame: embossed, the colour gone.
  Btn->SetEnabled(false);
  auto Embossed = test::Snapshot(Btn);
  EXPECT_EQ(CountPixels(Embossed.get(), Area, clBlue), 0);
  EXPECT_GE(CountPixels(Embossed.get(), Area, TColor(ColorToRGB(clBtnShadow))), 8 * 8);

  // Frames: up, disabled, down.
  auto Frames = glyphStrip({clBlue, clRed, clGreen});
  Btn->SetGlyph(Frames.get());
  Btn->SetNumGlyphs(3);
  auto Disabled = test::Snapshot(Btn);
  EXPECT_EQ(CountPixels(Disabled.get(), Area, clRed), 8 * 8);
  EXPECT_EQ(CountPixels(Disabled.get(), Area, clBlue), 0);
  Btn->SetEnabled(true);
  test::MouseDown(Btn, {5, 5});
  auto Down = test::Snapshot(Btn);
  test::MouseUp(Btn, {5, 5});
  EXPECT_EQ(CountPixels(Down.get(), Area, clGreen), 8 * 8);
  auto Released = test::Snapshot(Btn);
  EXPECT_EQ(CountPixels(Released.get(), Area, clBlue), 8 * 8);
  EXPECT_EQ(Btn->NumGlyphs(), 3);
  Btn->SetNumGlyphs(5);
  EXPECT_EQ(Btn->NumGlyphs(), 3) << "1 .. 4 only";
}

TEST_F(GlyphButtonsTest, BitBtnKindGivesCaptionAndGlyphOnly) {
  struct Case {
    TBitBtnKind Kind;
    const char* Caption;
  } Cases[] = {
      {bkOK, "OK"},        {bkCancel, "Cancel"}, {bkHelp, "&Help"},     {bkYes, "&Yes"},
      {bkNo, "&No"},       {bkClose, "&Close"},  {bkAbort, "Abort"},    {bkRetry, "&Retry"},
      {bkIgnore, "&Ignore"}, {bkAll, "&All"},
  };
  auto* Btn = make<TBitBtn>(Rect(10, 10, 110, 40), "");
  Form->Show();
  const TRect Area = Btn->ClientRect();
  auto Blank = test::Snapshot(Btn);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Caption);
    Btn->SetKind(C.Kind);
    EXPECT_EQ(Btn->Caption(), C.Caption);
    EXPECT_FALSE(Btn->Default());
    EXPECT_EQ(Btn->ModalResult(), mrNone);
    Btn->SetCaption("");
    auto Image = test::Snapshot(Btn);
    EXPECT_FALSE(ImagesEqual(Blank.get(), Image.get(), 0)) << "the kind's glyph is drawn";
    EXPECT_EQ(CountPixels(Image.get(), Area, Fuchsia), 0);
  }
  // A glyph of its own wins over the kind's.
  auto Strip = glyphStrip({clBlue});
  Btn->SetGlyph(Strip.get());
  EXPECT_EQ(CountPixels(test::Snapshot(Btn).get(), Area, clBlue), 8 * 8);
  EXPECT_EQ(GetEnumProp(Btn, "Kind"), "bkAll");
  EXPECT_EQ(GetEnumProp(Btn, "Layout"), "blGlyphLeft");
  EXPECT_EQ(GetOrdProp(Btn, "Margin"), -1);
  EXPECT_EQ(GetOrdProp(Btn, "Spacing"), 4);
}

TEST_F(GlyphButtonsTest, SpeedButtonClicksOnReleaseInsideAndNeverTakesTheFocus) {
  auto* Ok = make<TButton>(Rect(150, 10, 225, 35), "OK");
  auto* Speed = make<TSpeedButton>(Rect(10, 10, 33, 32), "...", Host);
  logClicks(Speed, "speed");
  Form->Show();
  Ok->SetFocus();
  const TColor DarkEdge = TColor(ColorToRGB(cl3DDkShadow));
  auto Up = test::Snapshot(Host);

  test::MouseDown(Speed, {5, 5});
  auto Held = test::Snapshot(Host);
  EXPECT_FALSE(ImagesEqual(Up.get(), Held.get(), 0)) << "pressed while held";
  EXPECT_EQ(PixelAt(Up.get(), 32, 31), DarkEdge) << "raised: dark bottom-right";
  EXPECT_NE(PixelAt(Held.get(), 32, 31), DarkEdge) << "sunken";
  test::MouseMove(Speed, {50, 5});
  EXPECT_TRUE(ImagesEqual(Up.get(), test::Snapshot(Host).get(), 0)) << "up again outside";
  test::MouseUp(Speed, {50, 5});
  EXPECT_TRUE(Log.isEmpty()) << "released outside";

  test::Click(Speed, {5, 5});
  EXPECT_EQ(Log, QStringList({"speed"}));
  EXPECT_TRUE(Ok->Focused()) << "the focus stays where it was";
  EXPECT_TRUE(ImagesEqual(Up.get(), test::Snapshot(Host).get(), 0));
  test::Click(Speed, {5, 5});
  EXPECT_EQ(Log.size(), 2) << "a quick second click is a click";
  Speed->SetEnabled(false);
  test::Click(Speed, {5, 5});
  EXPECT_EQ(Log.size(), 2);
}

// WM_CANCELMODE (a dialog opens, the application deactivates) reaches the
// held speed button through its parent: it comes up, and a release inside
// afterwards is no click.
TEST_F(GlyphButtonsTest, CancelModeLetsTheSpeedButtonUpWithoutAClick) {
  auto* Speed = make<TSpeedButton>(Rect(10, 10, 33, 32), "...", Host);
  logClicks(Speed, "speed");
  Form->Show();
  auto Up = test::Snapshot(Host);
  test::MouseDown(Speed, {5, 5});
  Host->Perform(WM_CANCELMODE, 0, 0);
  EXPECT_TRUE(ImagesEqual(Up.get(), test::Snapshot(Host).get(), 0));
  test::MouseUp(Speed, {5, 5});
  EXPECT_TRUE(Log.isEmpty());
  test::Click(Speed, {5, 5});
  EXPECT_EQ(Log, QStringList({"speed"}));
}

TEST_F(GlyphButtonsTest, FlatSpeedButtonShowsItsFrameUnderTheMouse) {
  auto* Speed = make<TSpeedButton>(Rect(10, 10, 40, 35), "", Host);
  Speed->SetFlat(true);
  auto Strip = glyphStrip({clBlue});
  Speed->SetGlyph(Strip.get());
  Form->Show();
  auto Plain = test::Snapshot(Host);
  EXPECT_EQ(PixelAt(Plain.get(), 10, 10), clAqua) << "no frame";
  EXPECT_EQ(CountPixels(Plain.get(), Speed->BoundsRect(), clBlue), 8 * 8);
  EXPECT_EQ(CountPixels(Plain.get(), Speed->BoundsRect(), Fuchsia), 0);
  test::MouseMove(Speed, {5, 5});
  auto Hot = test::Snapshot(Host);
  EXPECT_EQ(PixelAt(Hot.get(), 10, 10), TColor(ColorToRGB(clBtnHighlight)));
  EXPECT_EQ(PixelAt(Hot.get(), 39, 34), TColor(ColorToRGB(clBtnShadow)));
  test::MouseDown(Speed, {5, 5});
  auto Pressed = test::Snapshot(Host);
  EXPECT_EQ(PixelAt(Pressed.get(), 10, 10), TColor(ColorToRGB(clBtnShadow)));
  test::MouseUp(Speed, {5, 5});
  test::MouseMove(Host, {150, 150});
  EXPECT_EQ(PixelAt(test::Snapshot(Host).get(), 10, 10), clAqua);
}
