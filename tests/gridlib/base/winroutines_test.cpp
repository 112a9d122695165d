#include "gridlib/base/winroutines.h"

#include "gridlib/base/basecontrols.h"
#include "platform/os/locales.h"
#include "platform/rtl/maskutils.h"
#include "platform/ui/controls/edits.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/regions.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/uitest.h"
#include "tests/platform/ui/formfixture.h"

#include <vector>

using namespace gdi;

namespace {

std::vector<UINT> pendingIds() {
  std::vector<UINT> Ids;
  for (const MSG& M : test::Pending()) Ids.push_back(M.message);
  return Ids;
}

MSG mouseMessage(HWND Window, UINT Msg, TPoint Point) {
  MSG M;
  M.hwnd = Window;
  M.message = Msg;
  M.lParam = PointToLParam(Point);
  return M;
}

class MessageRoutinesEh : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    test::ResetQueue();
  }
  void TearDown() override {
    test::ResetQueue();
    FormFixture::TearDown();
  }
};

TEST_F(MessageRoutinesEh, PendingClickOnAWindowedControl) {
  auto* Edit = make<TEdit>(Bounds(10, 10, 100, 21));
  const HWND Window = Edit->Handle();
  test::PostInput(mouseMessage(Window, WM_LBUTTONUP, {5, 5}));
  EXPECT_FALSE(RemovePendingClickEh(Edit));  // an up is no click
  test::ResetQueue();

  test::PostInput(mouseMessage(Window, WM_LBUTTONDOWN, {500, 500}));  // no hit test in its own window
  EXPECT_TRUE(RemovePendingClickEh(Edit));
  EXPECT_TRUE(pendingIds().empty());

  test::PostInput(mouseMessage(Window, WM_LBUTTONDBLCLK, {5, 5}));
  test::PostInput(mouseMessage(Window, WM_LBUTTONDOWN, {500, 500}));
  EXPECT_TRUE(RemovePendingClickEh(Edit));  // the double click goes, the next press stays
  EXPECT_EQ(pendingIds(), std::vector<UINT>{WM_LBUTTONDOWN});
  EXPECT_FALSE(RemovePendingClickInsideEh(Edit));  // outside the client rectangle
  EXPECT_EQ(pendingIds(), std::vector<UINT>{WM_LBUTTONDOWN});
}

TEST_F(MessageRoutinesEh, PendingClickOnAGraphicControl) {
  auto* Glyph = make<TGraphicControl>(Bounds(10, 10, 20, 20));
  make<TGraphicControl>(Bounds(40, 10, 20, 20));
  const HWND Window = Form->Handle();
  test::PostInput(mouseMessage(Window, WM_LBUTTONDOWN, {45, 15}));  // over the sibling
  EXPECT_FALSE(RemovePendingClickEh(Glyph));
  EXPECT_EQ(pendingIds(), std::vector<UINT>{WM_LBUTTONDOWN});
  test::ResetQueue();

  Glyph->SetEnabled(false);  // disabled controls are hit all the same
  test::PostInput(mouseMessage(Window, WM_LBUTTONDOWN, {15, 15}));
  EXPECT_TRUE(RemovePendingClickInsideEh(Glyph));
  EXPECT_TRUE(pendingIds().empty());
}

TEST_F(MessageRoutinesEh, RemovingAMessageKeepsTheQuit) {
  const HWND Window = Form->Handle();
  PostMessage(Window, WM_USER + 1, 0, 0);
  RemoveMessageKeepQuitEh(Window, WM_USER + 1);
  EXPECT_TRUE(pendingIds().empty());

  PostQuitMessageEh(7);
  RemoveMessageKeepQuitEh(Window, WM_USER + 1);  // takes the quit, then posts it again
  MSG Msg;
  ASSERT_TRUE(PeekMessage(Msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(Msg.message, WM_QUIT);
  EXPECT_EQ(Msg.wParam, 7u);
}

TEST_F(MessageRoutinesEh, AppMessagePostedOnce) {
  PostAppMessageOnceEh(WM_THEMECHANGED, 0, 0);
  PostAppMessageOnceEh(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(pendingIds(), std::vector<UINT>{WM_THEMECHANGED});
  EXPECT_EQ(test::Pending()[0].hwnd, Application->Handle());
  PostQuitMessageEh(0);  // a waiting quit is not the message
  test::ResetQueue();
  PostQuitMessageEh(0);
  PostAppMessageOnceEh(WM_THEMECHANGED, 0, 0);
  EXPECT_EQ(pendingIds(), std::vector<UINT>{WM_THEMECHANGED});
}

TEST_F(MessageRoutinesEh, EditCaretCharIndex) {
  auto* Edit = make<TEdit>(Bounds(10, 10, 100, 21));
  auto* Other = make<TEdit>(Bounds(10, 40, 100, 21));
  Edit->SetText(QStringLiteral("abcdef"));
  Form->Show();
  EXPECT_EQ(GetEditCaretCharIndexEh(Edit), -1) << "not focused: no caret";
  Edit->SetFocus();
  Edit->SetSelStart(4);
  EXPECT_EQ(GetEditCaretCharIndexEh(Edit), 4);
  test::Key(VK_LEFT);
  EXPECT_EQ(GetEditCaretCharIndexEh(Edit), 3);
  test::Key(VK_LEFT, {ssShift});  // the caret is the selection's moving end
  EXPECT_EQ(GetEditCaretCharIndexEh(Edit), 2);
  test::Key(VK_END);
  EXPECT_EQ(GetEditCaretCharIndexEh(Edit), 6);
  Other->SetFocus();
  EXPECT_EQ(GetEditCaretCharIndexEh(Edit), -1) << "the caret went with the focus";
  EXPECT_EQ(GetEditCaretCharIndexEh(Other), 0);
}

TEST_F(MessageRoutinesEh, BroadcastReachesOwnedComponentsAtAnyDepth) {
  auto* Outer = make<TEdit>(Bounds(0, 0, 50, 21));
  auto* Inner = new TEdit(Outer);  // owned by the edit, not by the form
  Inner->SetParent(Form);
  BroadcastToComponentsEh(Form, TEdit::StaticClass(), WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(u"sent"));
  EXPECT_EQ(Outer->Text(), QStringLiteral("sent"));
  EXPECT_EQ(Inner->Text(), QStringLiteral("sent"));
}

TEST_F(MessageRoutinesEh, DoubleClickDistance) {
  const UINT Time = GetDoubleClickTime();
  const int W = GetSystemMetrics(SM_CXDOUBLECLK), H = GetSystemMetrics(SM_CYDOUBLECLK);
  EXPECT_TRUE(IsDoubleClickDistanceEh({10, 10}, {10 + W, 10 - H}, Integer(Time)));
  EXPECT_FALSE(IsDoubleClickDistanceEh({10, 10}, {11 + W, 10}, 0));
  EXPECT_FALSE(IsDoubleClickDistanceEh({10, 10}, {10, 11 + H}, 0));
  EXPECT_FALSE(IsDoubleClickDistanceEh({10, 10}, {10, 10}, Integer(Time) + 1));
}

// ---------------------------------------------------------------------------
// drop-down placement

// A form that records the side notices it is sent.
class TNoticeForm : public TForm {
public:
  using TForm::TForm;
  void WndProc(TMessage& Message) override {
    if (Message.Msg == DropDownSideNoticeEh) Notices.push_back(Message.WParam);
    TForm::WndProc(Message);
  }
  std::vector<WPARAM> Notices;
};

class DropDownPlacementEh : public FormFixture {
protected:
  void SetUp() override {
    FormFixture::SetUp();
    TMonitorInfo Monitor;
    Monitor.Bounds = Rect(0, 0, 1000, 820);
    Monitor.WorkArea = Rect(0, 0, 1000, 800);
    Monitor.Primary = true;
    test::SetMonitors({Monitor});
    DropDown = new TNoticeForm(Application);
  }
  void TearDown() override {
    test::SetMonitors({});
    FormFixture::TearDown();
  }

  TNoticeForm* DropDown = nullptr;
};

TEST_F(DropDownPlacementEh, Table) {
  const struct {
    const char* Name;
    TRect Rect;
    int Width, Height, Align;
    TPoint Expected;
    int ExpectedWidth, ExpectedHeight;
    std::vector<WPARAM> Notices;
  } Cases[] = {
      {"fits below", Rect(100, 100, 200, 120), 150, 300, DropDownAlignLeftEh, {100, 120}, 150, 300, {3, 1}},
      {"only above fits", Rect(100, 600, 200, 700), 150, 300, DropDownAlignLeftEh, {100, 300}, 150, 300, {2, 1}},
      {"neither, more room above", Rect(100, 500, 200, 700), 150, 600, DropDownAlignLeftEh, {100, 0}, 150, 500,
       {2, 1}},
      {"neither, more room below", Rect(100, 100, 200, 300), 150, 600, DropDownAlignLeftEh, {100, 300}, 150, 500,
       {3, 1}},
      {"right aligned", Rect(100, 100, 200, 120), 150, 50, DropDownAlignRightEh, {50, 120}, 150, 50, {3, 0}},
      {"centred", Rect(100, 100, 200, 120), 150, 50, DropDownAlignCenterEh, {75, 120}, 150, 50, {3, 1}},
      {"pushed left by the right edge", Rect(900, 100, 990, 120), 150, 50, DropDownAlignLeftEh, {850, 120}, 150,
       50, {3, 0}},
      {"pushed right by the left edge", Rect(10, 100, 60, 120), 150, 50, DropDownAlignRightEh, {0, 120}, 150, 50,
       {3, 1}},
      {"wider than the work area", Rect(100, 100, 200, 120), 1200, 50, DropDownAlignLeftEh, {0, 120}, 1000, 50,
       {3, 0}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    DropDown->SetBounds(0, 0, C.Width, C.Height);
    DropDown->Notices.clear();
    EXPECT_EQ(PlaceDropDownAtRectEh(C.Rect, DropDown, C.Align), C.Expected);
    EXPECT_EQ(DropDown->Width(), C.ExpectedWidth);
    EXPECT_EQ(DropDown->Height(), C.ExpectedHeight);
    EXPECT_EQ(DropDown->Notices, C.Notices);
  }
}

TEST_F(DropDownPlacementEh, UnderAControl) {
  auto* Edit = make<TEdit>(Bounds(10, 20, 100, 21));
  DropDown->SetBounds(0, 0, 120, 80);
  const TPoint Origin = Form->ClientToScreen({10, 20});
  EXPECT_EQ(PlaceDropDownUnderControlEh(Edit, DropDown, DropDownAlignLeftEh), (TPoint{Origin.X, Origin.Y + 21}));
}

// ---------------------------------------------------------------------------
// canvases and measuring

TEST(CanvasRoutinesEh, ClipRectIsSavedAndRestored) {
  TBitmap Bitmap;
  Bitmap.SetSize(50, 50);
  TCanvas* Canvas = Bitmap.Canvas();
  HRGN Saved = SelectClipRectEh(Canvas, Rect(10, 10, 40, 40));
  EXPECT_EQ(Saved, nullptr);  // there was no clip
  EXPECT_EQ(Canvas->ClipRect(), Rect(10, 10, 40, 40));
  HRGN Inner = SelectClipRectEh(Canvas, Rect(0, 0, 20, 20));
  ASSERT_NE(Inner, nullptr);
  EXPECT_EQ(Canvas->ClipRect(), Rect(10, 10, 20, 20));
  RestoreClipRgnEh(Canvas, Inner);
  EXPECT_EQ(Canvas->ClipRect(), Rect(10, 10, 40, 40));
  RestoreClipRgnEh(Canvas, Saved);
  EXPECT_EQ(Canvas->ClipRect(), Rect(0, 0, 50, 50));
}

TEST(CanvasRoutinesEh, TextExtentsInOneCall) {
  SetTextEngine(TTextEngine::FixedMetrics);
  TBitmap Bitmap;
  Bitmap.SetSize(10, 10);
  Bitmap.Canvas()->Font()->SetHeight(-11);  // fixed metrics: 6 pixels a character, 13 a line
  TSize Size;
  EXPECT_EQ(GetTextExtentsEh(Bitmap.Canvas(), QStringLiteral("abc"), Size), (std::vector<Integer>{6, 12, 18}));
  EXPECT_EQ(Size, (TSize{18, 13}));
  // Without a canvas the screen canvas measures with its own font.
  EXPECT_EQ(GetTextExtentsEh(nullptr, QStringLiteral("ab"), Size).size(), 2u);
  EXPECT_EQ(GetFontTextHeightEh(Bitmap.Canvas(), Bitmap.Canvas()->Font(), false), 13);
  EXPECT_EQ(GetFontCharHeightEh(Bitmap.Canvas()->Font()), 11);
  SetTextEngine(TTextEngine::Qt);
  FinalizeBaseControlsEh();
}

// ---------------------------------------------------------------------------
// geometry, locale and characters

TEST(GeometryEh, MirrorsAndMoves) {
  const TRect Container = Rect(10, 0, 110, 50);
  EXPECT_EQ(MirrorPointInRectEh(Container, {20, 5}), (TPoint{100, 5}));
  EXPECT_EQ(MirrorRectInRectEh(Container, Rect(20, 5, 50, 9)), Rect(70, 5, 100, 9));
  EXPECT_EQ(MirrorSizeGripPositionEh(sgpBottomRight), sgpBottomLeft);
  EXPECT_EQ(MirrorSizeGripPositionEh(sgpTopLeft), sgpTopRight);
  EXPECT_EQ(InterpolatePointEh({0, 10}, {10, 0}, 0.55), (TPoint{5, 5}));
  EXPECT_EQ(OffsetRectSidesEh(Rect(0, 0, 10, 10), 1, 2, -3, -4), Rect(1, 2, 7, 6));
  EXPECT_EQ(MoveRectToPointEh(Rect(5, 5, 15, 25), {0, 1}), Rect(0, 1, 10, 21));
  EXPECT_TRUE(PointInRectEh(Rect(0, 0, 10, 10), {0, 9}));
  EXPECT_FALSE(PtInRectEh(Rect(0, 0, 10, 10), {10, 0}));
  EXPECT_TRUE(IsRectEmptyEh(Rect(5, 0, 5, 10)));
  EXPECT_EQ(LParamToPointEh(SmallPointToLParamEh({-3, 40})), (TPoint{-3, 40}));
}

TEST(LocaleRoutinesEh, CompareOverACount) {
  for (const char* Locale : {"en_US", "ru_RU", "de_DE"}) {
    SCOPED_TRACE(Locale);
    TUserLocaleScope Scope(QString::fromLatin1(Locale));
    EXPECT_EQ(CompareStrLocaleCountEh(QStringLiteral("abcd"), QStringLiteral("abce"), 3, false), 0);
    EXPECT_EQ(CompareStrLocaleCountEh(QStringLiteral("abcd"), QStringLiteral("abce"), 0, false), -1);
    EXPECT_EQ(CompareStrLocaleCountEh(QStringLiteral("abce"), QStringLiteral("abcd"), 0, false), 1);
    EXPECT_EQ(CompareTextLocaleEh(QStringLiteral("ABC"), QStringLiteral("abc")), 0);
    EXPECT_NE(CompareStrLocaleEh(QStringLiteral("ABC"), QStringLiteral("abc")), 0);
  }
  TUserLocaleScope Russian(QStringLiteral("ru_RU"));
  EXPECT_EQ(CompareWideStrLocaleEh(QStringLiteral("ёлка"), QStringLiteral("ЁЛКИ"), 3, true), 0);
  EXPECT_EQ(UpperCaseTextEh(QStringLiteral("ёлка")), QStringLiteral("ЁЛКА"));
  EXPECT_EQ(GetLocaleFirstDayOfWeekEh(), 0);  // Monday
}

TEST(CharRoutinesEh, ByteSetsHoldNoWideCharacters) {
  TByteSetEh All;
  All.set();
  EXPECT_FALSE(CharInByteSetEh(Char(0x0141), All));
  EXPECT_TRUE(CharInByteSetEh(Char(0x00FF), All));
  TByteSetEh Digits;
  for (char C = '0'; C <= '9'; ++C) Digits.set(Byte(C));
  EXPECT_TRUE(CharInByteSetEh(Char('5'), Digits));
  EXPECT_FALSE(CharInByteSetEh(Char('a'), Digits));
  EXPECT_EQ(MiddleDotCharEh(), Char(0x00B7));
  const HBITMAP Boxes = LoadSystemBitmapEh(nullptr, OBM_CHECKBOXES);
  BITMAP Info;
  ASSERT_NE(GetObject(Boxes, sizeof Info, &Info), 0);
  EXPECT_EQ(Info.bmWidth, 52);
  DeleteObject(Boxes);
}

TEST(CharRoutinesEh, WideCopyNeverPassesTheDestination) {
  const Char Source[] = {u'a', u'b', u'c', u'd', u'e', u'\0'};
  Char Dest[4] = {u'x', u'x', u'x', u'x'};
  Char Guard = u'G';
  EXPECT_EQ(StrCopyWideEh(Dest, 3, Source), Dest);
  EXPECT_EQ(String(Dest), QStringLiteral("ab"));
  EXPECT_EQ(Dest[3], u'x');  // the unit past the destination stays
  EXPECT_EQ(Guard, u'G');
  StrCopyWideEh(Dest, 4, Source + 3);  // a short source fits whole
  EXPECT_EQ(String(Dest), QStringLiteral("de"));
  Dest[0] = u'y';
  StrCopyWideEh(Dest, 0, Source);  // no room: nothing written
  EXPECT_EQ(Dest[0], u'y');
}

TEST(MaskRoutinesEh, FormatMaskText) {
  EXPECT_EQ(FormatMaskTextEh(QStringLiteral("99-99;1;*"), QStringLiteral("1-2")), QStringLiteral("1*-2*"));
  EXPECT_EQ(FormatMaskTextEh(QStringLiteral("99-99;0;_"), QStringLiteral("12")),
            FormatMaskText(QStringLiteral("99-99;0;_"), QStringLiteral("12")));
}

}  // namespace
