#include "platform/ui/windowing/messages.h"

#include "tests/support/testing.h"

using namespace gdi;

namespace {

TEST(MessagesTest, PointsPackAsSigned16BitHalvesOfLParam) {
  struct Case {
    const char* Name;
    TPoint Point;
    LPARAM Packed;
  };
  const Case Cases[] = {
      {"origin", {0, 0}, 0},
      {"positive", {100, 50}, 0x00320064},
      {"left of the window", {-1, 5}, 0x0005FFFF},
      {"above the window", {7, -2}, LPARAM(0xFFFE0007)},
      {"both negative", {-1, -1}, LPARAM(0xFFFFFFFF)},
      {"16-bit limits", {-32768, 32767}, 0x7FFF8000},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const LPARAM L = PointToLParam(C.Point);
    // zero-extended: the packed point is never a negative LParam
    EXPECT_EQ(L, C.Packed);
    EXPECT_EQ(LParamToPoint(L), C.Point);
    TMessage M{WM_MOUSEMOVE, MK_LBUTTON, L, 0};
    const TWMMouse& Mouse = M.As<TWMMouse>();
    EXPECT_EQ(Mouse.XPos, C.Point.X);
    EXPECT_EQ(Mouse.YPos, C.Point.Y);
    EXPECT_EQ(Mouse.Keys, MK_LBUTTON);
  }
}

TEST(MessagesTest, CoordinatesBeyond16BitsWrap) {
  EXPECT_EQ(LParamToPoint(PointToLParam({32768, -32769})), (TPoint{-32768, 32767}));
}

TEST(MessagesTest, CrackedRecordsShareTheMessageStorage) {
  TMessage M{WM_KEYDOWN, 0xABCD0056, 0x002F0001, 0};
  TWMKey& Key = M.As<TWMKey>();
  EXPECT_EQ(Key.CharCode, 0x56);
  EXPECT_EQ(Key.KeyData, 0x002F0001);
  Key.CharCode = 0;
  Key.Result = 1;
  EXPECT_EQ(M.WParam, 0xABCD0000u) << "only the low word belongs to CharCode";
  EXPECT_EQ(M.Result, 1);
  EXPECT_EQ(&AsMessage(Key), &M);

  TMessage Wheel{WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WORD(SHORT(-240))), PointToLParam({-3, 4}), 0};
  const TWMMouseWheel& W = Wheel.As<TWMMouseWheel>();
  EXPECT_EQ(W.WheelDelta, -240);
  EXPECT_EQ(W.Keys, MK_CONTROL);
  EXPECT_EQ(W.XPos, -3);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Wheel.WParam), -240);

  TMessage Cursor{WM_SETCURSOR, HandleToWParam(reinterpret_cast<HWND>(0x10005)),
                  MAKELPARAM(WORD(HTERROR), WM_LBUTTONDOWN), 0};
  const TWMSetCursor& SC = Cursor.As<TWMSetCursor>();
  EXPECT_EQ(SC.CursorWnd, reinterpret_cast<HWND>(0x10005));
  EXPECT_EQ(SC.HitTest, HTERROR);
  EXPECT_EQ(SC.MouseMsg, WM_LBUTTONDOWN);
}

// The numbers the program's code compares against.
TEST(MessagesTest, ConstantsKeepTheirOriginalValues) {
  struct Case {
    const char* Name;
    std::int64_t Value;
    std::int64_t Expected;
  };
  const Case Cases[] = {
      {"WM_SIZE", WM_SIZE, 5},
      {"WM_SETFOCUS", WM_SETFOCUS, 7},
      {"WM_KILLFOCUS", WM_KILLFOCUS, 8},
      {"WM_PAINT", WM_PAINT, 15},
      {"WM_QUIT", WM_QUIT, 18},
      {"WM_ERASEBKGND", WM_ERASEBKGND, 20},
      {"WM_SYSCOLORCHANGE", WM_SYSCOLORCHANGE, 0x15},
      {"WM_CANCELMODE", WM_CANCELMODE, 31},
      {"WM_SETCURSOR", WM_SETCURSOR, 32},
      {"WM_NCHITTEST", WM_NCHITTEST, 132},
      {"WM_NCPAINT", WM_NCPAINT, 0x85},
      {"WM_GETDLGCODE", WM_GETDLGCODE, 135},
      {"WM_NCMOUSEMOVE", WM_NCMOUSEMOVE, 160},
      {"WM_CHAR", WM_CHAR, 258},
      {"WM_COMMAND", WM_COMMAND, 273},
      {"WM_UPDATEUISTATE", WM_UPDATEUISTATE, 0x128},
      {"WM_LBUTTONDOWN", WM_LBUTTONDOWN, 513},
      {"WM_MBUTTONDBLCLK", WM_MBUTTONDBLCLK, 521},
      {"WM_THEMECHANGED", WM_THEMECHANGED, 794},
      {"WM_USER", WM_USER, 0x400},
      {"DLGC_WANTARROWS | DLGC_WANTCHARS", DLGC_WANTARROWS | DLGC_WANTCHARS, 129},
      {"CS_DROPSHADOW", CS_DROPSHADOW, 0x20000},
      {"CS_OWNDC", CS_OWNDC, 0x20},
      {"WS_EX_TRANSPARENT", WS_EX_TRANSPARENT, 0x20},
      {"VK_CONTROL", VK_CONTROL, 17},
      {"VK_F2", VK_F2, 113},
      {"VK_F3", VK_F3, 114},
      {"VK_OEM_7", VK_OEM_7, 222},
      {"crDefault", crDefault, 0},
      {"crSizeNESW", crSizeNESW, -6},
      {"crSizeNS", crSizeNS, -7},
      {"crSizeNWSE", crSizeNWSE, -8},
      {"crHourGlass", crHourGlass, -11},
      {"crHSplit", crHSplit, -14},
      {"crVSplit", crVSplit, -15},
      {"crSQLWait", crSQLWait, -17},
      {"crHandPoint", crHandPoint, -21},
      {"CN_COMMAND", CN_COMMAND, 0xBC00 + 273},
      {"CM_ACTIVATE", CM_ACTIVATE, 0xB000},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(C.Value, C.Expected);
  }
}

}  // namespace
