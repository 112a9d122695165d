// Window messages: numbers, packing and the cracked message records.
//
// Two layers, as on the original platform:
//   namespace gdi  the flat window API's types and constants (WPARAM, MSG,
//                  WM_*, WS_*, VK_* ...) with their Win32 values, beside the
//                  drawing API of gdi.h;
//   global         the class library's message record TMessage, its cracked
//                  views (TWMKey, TWMMouse ...), the CM_* and CN_* numbers,
//                  shift states and cursors.
//
// TMessage layout (64-bit, 32 bytes):
//
//   offset  0  Msg     UINT (4) + 4 unused
//   offset  8  WParam  WPARAM (unsigned, 8)
//   offset 16  LParam  LPARAM (signed, 8)
//   offset 24  Result  LRESULT (signed, 8)
//
// A cracked record is the same 32 bytes read through named fields: a Word
// field at offset 8 is the low half of WParam's low 32 bits, SmallInt XPos at
// 16 and YPos at 18 are the signed 16-bit halves of a packed point, and so on;
// the unnamed bit-fields are the unused bytes.  The records are declared
// may_alias, so a handler may read the same message through TMessage and
// through its record (reinterpret_cast or TMessage::As) without breaking the
// compiler's aliasing rules.  Packed points: MAKELPARAM(x, y) keeps the low 16
// bits of each coordinate and zero-extends the 32-bit value into LParam;
// GET_X_LPARAM / GET_Y_LPARAM (and the records' XPos / YPos) read them back
// signed.
#pragma once

#include "platform/rtl/system.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/gdi.h"

#include <cstddef>
#include <cstdint>
#include <type_traits>

class TControl;
class TWinControl;
struct THintInfo;

namespace gdi {

// ---------------------------------------------------------------------------
// types

using SHORT = std::int16_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

constexpr WORD LOWORD(std::uintptr_t V) { return WORD(V & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t V) { return WORD((V >> 16) & 0xFFFF); }
constexpr DWORD MAKELONG(WORD Low, WORD High) { return DWORD(Low) | (DWORD(High) << 16); }
constexpr WPARAM MAKEWPARAM(WORD Low, WORD High) { return WPARAM(MAKELONG(Low, High)); }
constexpr LPARAM MAKELPARAM(WORD Low, WORD High) { return LPARAM(MAKELONG(Low, High)); }
constexpr LRESULT MAKELRESULT(WORD Low, WORD High) { return LRESULT(MAKELONG(Low, High)); }
// The signed coordinates of a packed point.
constexpr int GET_X_LPARAM(LPARAM L) { return SHORT(LOWORD(std::uintptr_t(L))); }
constexpr int GET_Y_LPARAM(LPARAM L) { return SHORT(HIWORD(std::uintptr_t(L))); }
// A point packed as two 16-bit coordinates (the parts beyond 16 bits are lost).
constexpr LPARAM PointToLParam(POINT P) { return MAKELPARAM(WORD(P.X), WORD(P.Y)); }
constexpr POINT LParamToPoint(LPARAM L) { return {GET_X_LPARAM(L), GET_Y_LPARAM(L)}; }
constexpr SHORT GET_WHEEL_DELTA_WPARAM(WPARAM W) { return SHORT(HIWORD(W)); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM W) { return LOWORD(W); }

// A handle carried in a WParam or LParam, and back.
inline WPARAM HandleToWParam(HWND Window) { return reinterpret_cast<WPARAM>(Window); }
inline LPARAM HandleToLParam(HWND Window) { return reinterpret_cast<LPARAM>(Window); }
inline HWND WParamToHandle(WPARAM W) { return reinterpret_cast<HWND>(W); }
inline HWND LParamToHandle(LPARAM L) { return reinterpret_cast<HWND>(L); }

// A queued message.  time is the GetTickCount stamp, pt the cursor's screen
// position when it was queued.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;  // SWP_*
};

// WM_NCCALCSIZE: rgrc[0] holds the window rectangle on entry and the client
// rectangle on return; rgrc[1], rgrc[2] and lppos only with CalcValidRects.
struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

// The window handles with a meaning of their own for SetWindowPos and PostMessage.
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(std::intptr_t(1));
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(std::intptr_t(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(std::intptr_t(-2));
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(std::intptr_t(-3));

// ---------------------------------------------------------------------------
// window messages

inline constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
                      WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008,
                      WM_ENABLE = 0x000A, WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D,
                      WM_GETTEXTLENGTH = 0x000E, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
                      WM_QUERYENDSESSION = 0x0011, WM_QUIT = 0x0012, WM_QUERYOPEN = 0x0013,
                      WM_ERASEBKGND = 0x0014, WM_SYSCOLORCHANGE = 0x0015, WM_ENDSESSION = 0x0016,
                      WM_SHOWWINDOW = 0x0018, WM_WININICHANGE = 0x001A, WM_SETTINGCHANGE = WM_WININICHANGE,
                      WM_DEVMODECHANGE = 0x001B, WM_ACTIVATEAPP = 0x001C, WM_FONTCHANGE = 0x001D,
                      WM_TIMECHANGE = 0x001E, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
                      WM_MOUSEACTIVATE = 0x0021, WM_CHILDACTIVATE = 0x0022, WM_QUEUESYNC = 0x0023,
                      WM_GETMINMAXINFO = 0x0024, WM_PAINTICON = 0x0026, WM_ICONERASEBKGND = 0x0027,
                      WM_NEXTDLGCTL = 0x0028, WM_SPOOLERSTATUS = 0x002A, WM_DRAWITEM = 0x002B,
                      WM_MEASUREITEM = 0x002C, WM_DELETEITEM = 0x002D, WM_VKEYTOITEM = 0x002E,
                      WM_CHARTOITEM = 0x002F, WM_SETFONT = 0x0030, WM_GETFONT = 0x0031,
                      WM_SETHOTKEY = 0x0032, WM_GETHOTKEY = 0x0033, WM_QUERYDRAGICON = 0x0037,
                      WM_COMPAREITEM = 0x0039, WM_GETOBJECT = 0x003D, WM_COMPACTING = 0x0041,
                      WM_WINDOWPOSCHANGING = 0x0046, WM_WINDOWPOSCHANGED = 0x0047, WM_POWER = 0x0048,
                      WM_COPYDATA = 0x004A, WM_CANCELJOURNAL = 0x004B, WM_NOTIFY = 0x004E,
                      WM_INPUTLANGCHANGEREQUEST = 0x0050, WM_INPUTLANGCHANGE = 0x0051, WM_TCARD = 0x0052,
                      WM_HELP = 0x0053, WM_USERCHANGED = 0x0054, WM_NOTIFYFORMAT = 0x0055,
                      WM_CONTEXTMENU = 0x007B, WM_STYLECHANGING = 0x007C, WM_STYLECHANGED = 0x007D,
                      WM_DISPLAYCHANGE = 0x007E, WM_GETICON = 0x007F, WM_SETICON = 0x0080,
                      WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083,
                      WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086,
                      WM_GETDLGCODE = 0x0087, WM_SYNCPAINT = 0x0088;

// non-client mouse
inline constexpr UINT WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2,
                      WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5,
                      WM_NCRBUTTONDBLCLK = 0x00A6, WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8,
                      WM_NCMBUTTONDBLCLK = 0x00A9, WM_NCXBUTTONDOWN = 0x00AB, WM_NCXBUTTONUP = 0x00AC,
                      WM_NCXBUTTONDBLCLK = 0x00AD;

// keyboard, commands, menus
inline constexpr UINT WM_KEYFIRST = 0x0100, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
                      WM_DEADCHAR = 0x0103, WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106,
                      WM_SYSDEADCHAR = 0x0107, WM_UNICHAR = 0x0109, WM_KEYLAST = 0x0109,
                      WM_IME_STARTCOMPOSITION = 0x010D, WM_IME_ENDCOMPOSITION = 0x010E,
                      WM_IME_COMPOSITION = 0x010F, WM_IME_KEYLAST = 0x010F, WM_INITDIALOG = 0x0110,
                      WM_COMMAND = 0x0111, WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114,
                      WM_VSCROLL = 0x0115, WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117,
                      WM_GESTURE = 0x0119, WM_GESTURENOTIFY = 0x011A, WM_MENUSELECT = 0x011F,
                      WM_MENUCHAR = 0x0120, WM_ENTERIDLE = 0x0121, WM_MENURBUTTONUP = 0x0122,
                      WM_UNINITMENUPOPUP = 0x0125, WM_CHANGEUISTATE = 0x0127, WM_UPDATEUISTATE = 0x0128,
                      WM_QUERYUISTATE = 0x0129, WM_CTLCOLORMSGBOX = 0x0132, WM_CTLCOLOREDIT = 0x0133,
                      WM_CTLCOLORLISTBOX = 0x0134, WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORDLG = 0x0136,
                      WM_CTLCOLORSCROLLBAR = 0x0137, WM_CTLCOLORSTATIC = 0x0138;

// client mouse
inline constexpr UINT WM_MOUSEFIRST = 0x0200, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201,
                      WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204,
                      WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207,
                      WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
                      WM_XBUTTONDOWN = 0x020B, WM_XBUTTONUP = 0x020C, WM_XBUTTONDBLCLK = 0x020D,
                      WM_MOUSEHWHEEL = 0x020E, WM_MOUSELAST = 0x020E;

inline constexpr UINT WM_PARENTNOTIFY = 0x0210, WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212,
                      WM_NEXTMENU = 0x0213, WM_SIZING = 0x0214, WM_CAPTURECHANGED = 0x0215,
                      WM_MOVING = 0x0216, WM_POWERBROADCAST = 0x0218, WM_DEVICECHANGE = 0x0219,
                      WM_MDICREATE = 0x0220, WM_MDIDESTROY = 0x0221, WM_MDIACTIVATE = 0x0222,
                      WM_MDIRESTORE = 0x0223, WM_MDINEXT = 0x0224, WM_MDIMAXIMIZE = 0x0225,
                      WM_MDITILE = 0x0226, WM_MDICASCADE = 0x0227, WM_MDIICONARRANGE = 0x0228,
                      WM_MDIGETACTIVE = 0x0229, WM_MDISETMENU = 0x0230, WM_ENTERSIZEMOVE = 0x0231,
                      WM_EXITSIZEMOVE = 0x0232, WM_DROPFILES = 0x0233, WM_MDIREFRESHMENU = 0x0234,
                      WM_IME_SETCONTEXT = 0x0281, WM_IME_NOTIFY = 0x0282, WM_IME_CONTROL = 0x0283,
                      WM_IME_COMPOSITIONFULL = 0x0284, WM_IME_SELECT = 0x0285, WM_IME_CHAR = 0x0286,
                      WM_IME_REQUEST = 0x0288, WM_IME_KEYDOWN = 0x0290, WM_IME_KEYUP = 0x0291,
                      WM_NCMOUSEHOVER = 0x02A0, WM_MOUSEHOVER = 0x02A1, WM_NCMOUSELEAVE = 0x02A2,
                      WM_MOUSELEAVE = 0x02A3, WM_DPICHANGED = 0x02E0;

// clipboard, palette, printing, themes
inline constexpr UINT WM_CUT = 0x0300, WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303,
                      WM_UNDO = 0x0304, WM_RENDERFORMAT = 0x0305, WM_RENDERALLFORMATS = 0x0306,
                      WM_DESTROYCLIPBOARD = 0x0307, WM_DRAWCLIPBOARD = 0x0308, WM_PAINTCLIPBOARD = 0x0309,
                      WM_VSCROLLCLIPBOARD = 0x030A, WM_SIZECLIPBOARD = 0x030B, WM_ASKCBFORMATNAME = 0x030C,
                      WM_CHANGECBCHAIN = 0x030D, WM_HSCROLLCLIPBOARD = 0x030E, WM_QUERYNEWPALETTE = 0x030F,
                      WM_PALETTEISCHANGING = 0x0310, WM_PALETTECHANGED = 0x0311, WM_HOTKEY = 0x0312,
                      WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318, WM_APPCOMMAND = 0x0319,
                      WM_THEMECHANGED = 0x031A, WM_CLIPBOARDUPDATE = 0x031D;

// private message ranges
inline constexpr UINT WM_USER = 0x0400, WM_APP = 0x8000;

// ---------------------------------------------------------------------------
// window styles, extended styles, class styles

inline constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                       WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                       WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                       WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                       WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                       WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                       WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000, WS_TILED = WS_OVERLAPPED,
                       WS_ICONIC = WS_MINIMIZE, WS_SIZEBOX = WS_THICKFRAME,
                       WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                             WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                       WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW, WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU,
                       WS_CHILDWINDOW = WS_CHILD;

inline constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004,
                       WS_EX_TOPMOST = 0x00000008, WS_EX_ACCEPTFILES = 0x00000010, WS_EX_TRANSPARENT = 0x00000020,
                       WS_EX_MDICHILD = 0x00000040, WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100,
                       WS_EX_CLIENTEDGE = 0x00000200, WS_EX_CONTEXTHELP = 0x00000400, WS_EX_RIGHT = 0x00001000,
                       WS_EX_LEFT = 0x00000000, WS_EX_RTLREADING = 0x00002000, WS_EX_LTRREADING = 0x00000000,
                       WS_EX_LEFTSCROLLBAR = 0x00004000, WS_EX_RIGHTSCROLLBAR = 0x00000000,
                       WS_EX_CONTROLPARENT = 0x00010000, WS_EX_STATICEDGE = 0x00020000,
                       WS_EX_APPWINDOW = 0x00040000, WS_EX_LAYERED = 0x00080000,
                       WS_EX_NOINHERITLAYOUT = 0x00100000, WS_EX_LAYOUTRTL = 0x00400000,
                       WS_EX_COMPOSITED = 0x02000000, WS_EX_NOACTIVATE = 0x08000000,
                       WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE,
                       WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

inline constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_OWNDC = 0x0020,
                      CS_CLASSDC = 0x0040, CS_PARENTDC = 0x0080, CS_NOCLOSE = 0x0200, CS_SAVEBITS = 0x0800,
                      CS_BYTEALIGNCLIENT = 0x1000, CS_BYTEALIGNWINDOW = 0x2000, CS_GLOBALCLASS = 0x4000,
                      CS_DROPSHADOW = 0x00020000;

// GetWindowLong / SetWindowLong indexes
inline constexpr int GWL_WNDPROC = -4, GWL_HINSTANCE = -6, GWL_HWNDPARENT = -8, GWL_ID = -12, GWL_STYLE = -16,
                     GWL_EXSTYLE = -20, GWL_USERDATA = -21;

// ---------------------------------------------------------------------------
// window positions, showing, redrawing, scrolling

inline constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
                      SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_SHOWWINDOW = 0x0040,
                      SWP_HIDEWINDOW = 0x0080, SWP_NOCOPYBITS = 0x0100, SWP_NOOWNERZORDER = 0x0200,
                      SWP_NOSENDCHANGING = 0x0400, SWP_DRAWFRAME = SWP_FRAMECHANGED,
                      SWP_NOREPOSITION = SWP_NOOWNERZORDER, SWP_DEFERERASE = 0x2000,
                      SWP_ASYNCWINDOWPOS = 0x4000;
// WM_WINDOWPOSCHANGED only: the client area kept its size (no WM_SIZE when
// SWP_NOSIZE too).
inline constexpr UINT SWP_NOCLIENTSIZE = 0x0800;

// ShowWindow commands
inline constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
                     SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6,
                     SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8, SW_RESTORE = 9, SW_SHOWDEFAULT = 10,
                     SW_FORCEMINIMIZE = 11;
// ScrollWindowEx flags (the same prefix, other values)
inline constexpr UINT SW_SCROLLCHILDREN = 0x0001, SW_INVALIDATE = 0x0002, SW_ERASE = 0x0004,
                      SW_SMOOTHSCROLL = 0x0010;

inline constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004,
                      RDW_VALIDATE = 0x0008, RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020,
                      RDW_NOCHILDREN = 0x0040, RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100,
                      RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400, RDW_NOFRAME = 0x0800;

// WM_SIZE kinds
inline constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2, SIZE_MAXSHOW = 3,
                        SIZE_MAXHIDE = 4;

// scroll bars and WM_HSCROLL / WM_VSCROLL codes
inline constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
inline constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2,
                     SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4,
                     SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6, SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;

// SetLayeredWindowAttributes
inline constexpr DWORD LWA_COLORKEY = 0x00000001, LWA_ALPHA = 0x00000002;

// WM_SYSCOMMAND commands
inline constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                        SC_NEXTWINDOW = 0xF040, SC_PREVWINDOW = 0xF050, SC_CLOSE = 0xF060, SC_VSCROLL = 0xF070,
                        SC_HSCROLL = 0xF080, SC_MOUSEMENU = 0xF090, SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120,
                        SC_TASKLIST = 0xF130, SC_CONTEXTHELP = 0xF180;

// WM_CHANGEUISTATE / WM_UPDATEUISTATE
inline constexpr WORD UIS_SET = 1, UIS_CLEAR = 2, UIS_INITIALIZE = 3;
inline constexpr WORD UISF_HIDEFOCUS = 0x1, UISF_HIDEACCEL = 0x2, UISF_ACTIVE = 0x4;

// ---------------------------------------------------------------------------
// hit testing, activation, dialog codes, mouse keys, queue access

// WM_NCHITTEST answers
inline constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2,
                         HTSYSMENU = 3, HTGROWBOX = 4, HTSIZE = HTGROWBOX, HTMENU = 5, HTHSCROLL = 6,
                         HTVSCROLL = 7, HTMINBUTTON = 8, HTMAXBUTTON = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12,
                         HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17,
                         HTBORDER = 18, HTREDUCE = HTMINBUTTON, HTZOOM = HTMAXBUTTON, HTSIZEFIRST = HTLEFT,
                         HTSIZELAST = HTBOTTOMRIGHT, HTOBJECT = 19, HTCLOSE = 20, HTHELP = 21;

// WM_MOUSEACTIVATE answers
inline constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;

// WM_ACTIVATE states (low word of WParam)
inline constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;

// WM_GETDLGCODE answers
inline constexpr LRESULT DLGC_WANTARROWS = 0x0001, DLGC_WANTTAB = 0x0002, DLGC_WANTALLKEYS = 0x0004,
                         DLGC_WANTMESSAGE = 0x0004, DLGC_HASSETSEL = 0x0008, DLGC_DEFPUSHBUTTON = 0x0010,
                         DLGC_UNDEFPUSHBUTTON = 0x0020, DLGC_RADIOBUTTON = 0x0040, DLGC_WANTCHARS = 0x0080,
                         DLGC_STATIC = 0x0100, DLGC_BUTTON = 0x2000;

// key and button state in the WParam of mouse messages
inline constexpr WORD MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008,
                      MK_MBUTTON = 0x0010, MK_XBUTTON1 = 0x0020, MK_XBUTTON2 = 0x0040;

// PeekMessage flags
inline constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002;

// One wheel notch.
inline constexpr int WHEEL_DELTA = 120;

// Flags in the high word of a key message's LParam (the key data).
inline constexpr WORD KF_EXTENDED = 0x0100, KF_DLGMODE = 0x0800, KF_MENUMODE = 0x1000, KF_ALTDOWN = 0x2000,
                      KF_REPEAT = 0x4000, KF_UP = 0x8000;

// ---------------------------------------------------------------------------
// virtual-key codes; the letters and digits are their upper-case ASCII codes

inline constexpr WORD VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04,
                      VK_XBUTTON1 = 0x05, VK_XBUTTON2 = 0x06, VK_BACK = 0x08, VK_TAB = 0x09, VK_CLEAR = 0x0C,
                      VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13,
                      VK_CAPITAL = 0x14, VK_KANA = 0x15, VK_HANGUL = 0x15, VK_JUNJA = 0x17, VK_FINAL = 0x18,
                      VK_HANJA = 0x19, VK_KANJI = 0x19, VK_ESCAPE = 0x1B, VK_CONVERT = 0x1C,
                      VK_NONCONVERT = 0x1D, VK_ACCEPT = 0x1E, VK_MODECHANGE = 0x1F, VK_SPACE = 0x20,
                      VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
                      VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SELECT = 0x29, VK_PRINT = 0x2A,
                      VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
                      VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C, VK_APPS = 0x5D, VK_SLEEP = 0x5F,
                      VK_NUMPAD0 = 0x60, VK_NUMPAD1 = 0x61, VK_NUMPAD2 = 0x62, VK_NUMPAD3 = 0x63,
                      VK_NUMPAD4 = 0x64, VK_NUMPAD5 = 0x65, VK_NUMPAD6 = 0x66, VK_NUMPAD7 = 0x67,
                      VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B,
                      VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
                      VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75,
                      VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B,
                      VK_F13 = 0x7C, VK_F14 = 0x7D, VK_F15 = 0x7E, VK_F16 = 0x7F, VK_F17 = 0x80, VK_F18 = 0x81,
                      VK_F19 = 0x82, VK_F20 = 0x83, VK_F21 = 0x84, VK_F22 = 0x85, VK_F23 = 0x86, VK_F24 = 0x87,
                      VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1,
                      VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5,
                      VK_BROWSER_BACK = 0xA6, VK_BROWSER_FORWARD = 0xA7, VK_BROWSER_REFRESH = 0xA8,
                      VK_BROWSER_STOP = 0xA9, VK_BROWSER_SEARCH = 0xAA, VK_BROWSER_FAVORITES = 0xAB,
                      VK_BROWSER_HOME = 0xAC, VK_VOLUME_MUTE = 0xAD, VK_VOLUME_DOWN = 0xAE, VK_VOLUME_UP = 0xAF,
                      VK_MEDIA_NEXT_TRACK = 0xB0, VK_MEDIA_PREV_TRACK = 0xB1, VK_MEDIA_STOP = 0xB2,
                      VK_MEDIA_PLAY_PAUSE = 0xB3, VK_LAUNCH_MAIL = 0xB4, VK_LAUNCH_MEDIA_SELECT = 0xB5,
                      VK_LAUNCH_APP1 = 0xB6, VK_LAUNCH_APP2 = 0xB7, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB,
                      VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF,
                      VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE,
                      VK_OEM_8 = 0xDF, VK_OEM_102 = 0xE2, VK_PROCESSKEY = 0xE5, VK_PACKET = 0xE7,
                      VK_ATTN = 0xF6, VK_CRSEL = 0xF7, VK_EXSEL = 0xF8, VK_EREOF = 0xF9, VK_PLAY = 0xFA,
                      VK_ZOOM = 0xFB, VK_NONAME = 0xFC, VK_PA1 = 0xFD, VK_OEM_CLEAR = 0xFE;

}  // namespace gdi

// ---------------------------------------------------------------------------
// class-library messages: CM_* numbers are our own fixed order from CM_BASE;
// CN_* reflect a WM_* number back to the child control that caused it.

inline constexpr gdi::UINT CM_BASE = 0xB000;
inline constexpr gdi::UINT
    // activation and focus
    CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3, CM_ENTER = CM_BASE + 4, CM_EXIT = CM_BASE + 5, CM_FOCUSCHANGED = CM_BASE + 6,
    CM_SETACTIVECONTROL = CM_BASE + 7, CM_UIACTIVATE = CM_BASE + 8, CM_UIDEACTIVATE = CM_BASE + 9,
    // keyboard
    CM_DIALOGKEY = CM_BASE + 10, CM_DIALOGCHAR = CM_BASE + 11, CM_WANTSPECIALKEY = CM_BASE + 12,
    CM_CHILDKEY = CM_BASE + 13, CM_APPKEYDOWN = CM_BASE + 14, CM_APPSYSCOMMAND = CM_BASE + 15,
    CM_ISSHORTCUT = CM_BASE + 16,
    // mouse
    CM_CANCELMODE = CM_BASE + 17, CM_MOUSEENTER = CM_BASE + 18, CM_MOUSELEAVE = CM_BASE + 19,
    CM_MOUSEWHEEL = CM_BASE + 20, CM_MOUSEACTIVATE = CM_BASE + 21, CM_HITTEST = CM_BASE + 22,
    CM_DESIGNHITTEST = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24, CM_DRAG = CM_BASE + 25,
    CM_GESTURE = CM_BASE + 26,
    // a property of the control changed
    CM_VISIBLECHANGED = CM_BASE + 27, CM_ENABLEDCHANGED = CM_BASE + 28, CM_COLORCHANGED = CM_BASE + 29,
    CM_FONTCHANGED = CM_BASE + 30, CM_CURSORCHANGED = CM_BASE + 31, CM_CTL3DCHANGED = CM_BASE + 32,
    CM_TEXTCHANGED = CM_BASE + 33, CM_SHOWINGCHANGED = CM_BASE + 34, CM_ICONCHANGED = CM_BASE + 35,
    CM_SHOWHINTCHANGED = CM_BASE + 36, CM_TABSTOPCHANGED = CM_BASE + 37, CM_BIDIMODECHANGED = CM_BASE + 38,
    CM_BORDERCHANGED = CM_BASE + 39, CM_DOUBLEBUFFEREDCHANGED = CM_BASE + 40, CM_MENUCHANGED = CM_BASE + 41,
    CM_STYLECHANGED = CM_BASE + 42,
    // the parent's property changed
    CM_PARENTFONTCHANGED = CM_BASE + 43, CM_PARENTCOLORCHANGED = CM_BASE + 44,
    CM_PARENTCTL3DCHANGED = CM_BASE + 45, CM_PARENTSHOWHINTCHANGED = CM_BASE + 46,
    CM_PARENTBIDIMODECHANGED = CM_BASE + 47, CM_PARENTDOUBLEBUFFEREDCHANGED = CM_BASE + 48,
    // the system changed
    CM_SYSCOLORCHANGE = CM_BASE + 49, CM_WININICHANGE = CM_BASE + 50, CM_FONTCHANGE = CM_BASE + 51,
    CM_TIMECHANGE = CM_BASE + 52, CM_SYSFONTCHANGED = CM_BASE + 53, CM_THEMECHANGED = CM_BASE + 54,
    // children, handles, life cycle
    CM_CONTROLLISTCHANGE = CM_BASE + 55, CM_CONTROLLISTCHANGING = CM_BASE + 56, CM_CONTROLCHANGE = CM_BASE + 57,
    CM_RECREATEWND = CM_BASE + 58, CM_DESTROYHANDLE = CM_BASE + 59, CM_RELEASE = CM_BASE + 60,
    CM_INVALIDATE = CM_BASE + 61, CM_CHANGED = CM_BASE + 62, CM_ALLCHILDRENFLIPPED = CM_BASE + 63,
    // hints, actions and the rest
    CM_HINTSHOW = CM_BASE + 64, CM_HINTSHOWPAUSE = CM_BASE + 65, CM_ACTIONUPDATE = CM_BASE + 66,
    CM_ACTIONEXECUTE = CM_BASE + 67, CM_GETDATALINK = CM_BASE + 68, CM_INVOKEHELP = CM_BASE + 69,
    CM_DIALOGHANDLE = CM_BASE + 70, CM_ISTOOLCONTROL = CM_BASE + 71, CM_POPUPHWNDDESTROY = CM_BASE + 72,
    CM_CREATEPOPUP = CM_BASE + 73;

inline constexpr gdi::UINT CN_BASE = 0xBC00;
inline constexpr gdi::UINT CN_CHARTOITEM = CN_BASE + gdi::WM_CHARTOITEM, CN_COMMAND = CN_BASE + gdi::WM_COMMAND,
                           CN_COMPAREITEM = CN_BASE + gdi::WM_COMPAREITEM,
                           CN_CTLCOLORBTN = CN_BASE + gdi::WM_CTLCOLORBTN,
                           CN_CTLCOLORDLG = CN_BASE + gdi::WM_CTLCOLORDLG,
                           CN_CTLCOLOREDIT = CN_BASE + gdi::WM_CTLCOLOREDIT,
                           CN_CTLCOLORLISTBOX = CN_BASE + gdi::WM_CTLCOLORLISTBOX,
                           CN_CTLCOLORMSGBOX = CN_BASE + gdi::WM_CTLCOLORMSGBOX,
                           CN_CTLCOLORSCROLLBAR = CN_BASE + gdi::WM_CTLCOLORSCROLLBAR,
                           CN_CTLCOLORSTATIC = CN_BASE + gdi::WM_CTLCOLORSTATIC,
                           CN_DELETEITEM = CN_BASE + gdi::WM_DELETEITEM, CN_DRAWITEM = CN_BASE + gdi::WM_DRAWITEM,
                           CN_HSCROLL = CN_BASE + gdi::WM_HSCROLL, CN_MEASUREITEM = CN_BASE + gdi::WM_MEASUREITEM,
                           CN_PARENTNOTIFY = CN_BASE + gdi::WM_PARENTNOTIFY,
                           CN_VKEYTOITEM = CN_BASE + gdi::WM_VKEYTOITEM, CN_VSCROLL = CN_BASE + gdi::WM_VSCROLL,
                           CN_KEYDOWN = CN_BASE + gdi::WM_KEYDOWN, CN_KEYUP = CN_BASE + gdi::WM_KEYUP,
                           CN_CHAR = CN_BASE + gdi::WM_CHAR, CN_SYSKEYDOWN = CN_BASE + gdi::WM_SYSKEYDOWN,
                           CN_SYSCHAR = CN_BASE + gdi::WM_SYSCHAR, CN_NOTIFY = CN_BASE + gdi::WM_NOTIFY;

// ---------------------------------------------------------------------------
// shift state, mouse buttons, cursors

RTL_ENUM(TShiftStateItem, ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble)
using TShiftState = TSet<TShiftStateItem>;
RTL_ENUM(TMouseButton, mbLeft, mbRight, mbMiddle)

// A cursor: the crXXX built-ins are negative, registered ones positive.
using TCursor = SmallInt;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                         crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                         crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                         crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                         crHandPoint = -21, crSizeAll = -22;

// ---------------------------------------------------------------------------
// the message record and its cracked views

struct [[gnu::may_alias]] TMessage {
  gdi::UINT Msg = 0;
  gdi::WPARAM WParam = 0;
  gdi::LPARAM LParam = 0;
  gdi::LRESULT Result = 0;

  // the 16-bit halves of the low 32 bits
  Word WParamLo() const { return gdi::LOWORD(WParam); }
  Word WParamHi() const { return gdi::HIWORD(WParam); }
  Word LParamLo() const { return gdi::LOWORD(std::uintptr_t(LParam)); }
  Word LParamHi() const { return gdi::HIWORD(std::uintptr_t(LParam)); }
  Word ResultLo() const { return gdi::LOWORD(std::uintptr_t(Result)); }
  Word ResultHi() const { return gdi::HIWORD(std::uintptr_t(Result)); }

  // This message read through the cracked record R (the same storage).
  template <class R>
  R& As();
  template <class R>
  const R& As() const;
};

// No parameters.  WM_GETDLGCODE, CM_ENTER, CM_EXIT, CM_ACTIVATE ...
struct [[gnu::may_alias]] TWMNoParams {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Unused0 = 0;
  gdi::LPARAM Unused1 = 0;
  gdi::LRESULT Result = 0;
};
using TWMGetDlgCode = TWMNoParams;
using TWMCancelMode = TWMNoParams;
using TWMDestroy = TWMNoParams;
using TWMClose = TWMNoParams;

// WM_KEYDOWN, WM_KEYUP, WM_CHAR, their SYS variants; CM_DIALOGKEY/CHAR, CM_WANTSPECIALKEY.
// KeyData: repeat count (bits 0-15), scan code (16-23), extended (24),
// Alt down (29), previous state (30), transition (31).
struct [[gnu::may_alias]] TWMKey {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Word CharCode = 0;
  Word Unused = 0;
  std::uint32_t : 32;
  Integer KeyData = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;
};
using TWMChar = TWMKey;
using TWMKeyDown = TWMKey;
using TWMKeyUp = TWMKey;
using TWMSysChar = TWMKey;
using TWMSysKeyDown = TWMKey;
using TWMSysKeyUp = TWMKey;
using TCMDialogKey = TWMKey;
using TCMDialogChar = TWMKey;
using TCMWantSpecialKey = TWMKey;

// Client mouse messages: Keys = MK_*, the point in client coordinates.
struct [[gnu::may_alias]] TWMMouse {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Integer Keys = 0;
  std::uint32_t : 32;
  SmallInt XPos = 0;
  SmallInt YPos = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;

  TPoint Pos() const { return {XPos, YPos}; }
};
using TWMLButtonDown = TWMMouse;
using TWMLButtonUp = TWMMouse;
using TWMLButtonDblClk = TWMMouse;
using TWMRButtonDown = TWMMouse;
using TWMRButtonUp = TWMMouse;
using TWMRButtonDblClk = TWMMouse;
using TWMMButtonDown = TWMMouse;
using TWMMButtonUp = TWMMouse;
using TWMMButtonDblClk = TWMMouse;
using TWMMouseMove = TWMMouse;

// Non-client mouse messages: HitTest = HT*, the point in screen coordinates.
struct [[gnu::may_alias]] TWMNCHitMessage {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Integer HitTest = 0;
  std::uint32_t : 32;
  SmallInt XCursor = 0;
  SmallInt YCursor = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;
};
using TWMNCLButtonDown = TWMNCHitMessage;
using TWMNCLButtonUp = TWMNCHitMessage;
using TWMNCLButtonDblClk = TWMNCHitMessage;
using TWMNCMouseMove = TWMNCHitMessage;

// WM_MOUSEWHEEL: Keys = MK_*, WheelDelta in 120ths of a notch (positive
// away from the user), the point in screen coordinates.
struct [[gnu::may_alias]] TWMMouseWheel {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  SmallInt Keys = 0;
  SmallInt WheelDelta = 0;
  std::uint32_t : 32;
  SmallInt XPos = 0;
  SmallInt YPos = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;
};

// WM_SETFOCUS / WM_KILLFOCUS: the window losing (or taking) the focus.
struct [[gnu::may_alias]] TWMSetFocus {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::HWND FocusedWnd = nullptr;
  gdi::LPARAM Unused = 0;
  gdi::LRESULT Result = 0;
};
using TWMKillFocus = TWMSetFocus;

// WM_PAINT / WM_ERASEBKGND: DC 0 in WM_PAINT means "paint the window".
struct [[gnu::may_alias]] TWMPaint {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::HDC DC = nullptr;
  gdi::LPARAM Unused = 0;
  gdi::LRESULT Result = 0;
};
using TWMEraseBkgnd = TWMPaint;
using TWMPrintClient = TWMPaint;

// WM_NCPAINT: the region to paint (1 = the whole frame).
struct [[gnu::may_alias]] TWMNCPaint {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::HRGN RGN = nullptr;
  gdi::LPARAM Unused = 0;
  gdi::LRESULT Result = 0;
};

// WM_NCCALCSIZE: CalcSize_Params->rgrc[0] is the window rectangle on entry,
// the client rectangle on return.
struct [[gnu::may_alias]] TWMNCCalcSize {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::BOOL CalcValidRects = 0;
  std::uint32_t : 32;
  gdi::NCCALCSIZE_PARAMS* CalcSize_Params = nullptr;
  gdi::LRESULT Result = 0;
};

// WM_NCHITTEST: the point in screen coordinates; Result = HT*.
struct [[gnu::may_alias]] TWMNCHitTest {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Unused = 0;
  SmallInt XPos = 0;
  SmallInt YPos = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;

  TPoint Pos() const { return {XPos, YPos}; }
};

// WM_SETCURSOR: the window under the cursor, the hit code, the mouse message
// that caused it.  Non-zero Result: the cursor is set.
struct [[gnu::may_alias]] TWMSetCursor {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::HWND CursorWnd = nullptr;
  SmallInt HitTest = 0;
  Word MouseMsg = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;
};

// WM_SIZE: SizeType = SIZE_*, the new client size.
struct [[gnu::may_alias]] TWMSize {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Integer SizeType = 0;
  std::uint32_t : 32;
  Word Width = 0;
  Word Height = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;
};

// WM_MOVE: the client origin in the parent's client coordinates.
struct [[gnu::may_alias]] TWMMove {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Unused = 0;
  SmallInt XPos = 0;
  SmallInt YPos = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;
};

// WM_WINDOWPOSCHANGING / WM_WINDOWPOSCHANGED: WindowPos may be null for a
// control without a window.
struct [[gnu::may_alias]] TWMWindowPosMsg {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Unused = 0;
  gdi::WINDOWPOS* WindowPos = nullptr;
  gdi::LRESULT Result = 0;
};
using TWMWindowPosChanged = TWMWindowPosMsg;
using TWMWindowPosChanging = TWMWindowPosMsg;

// WM_ACTIVATE: Active = WA_*, ActiveWindow = the window losing or taking
// the activation (may be 0).
struct [[gnu::may_alias]] TWMActivate {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Word Active = 0;
  Word Minimized = 0;
  std::uint32_t : 32;
  gdi::HWND ActiveWindow = nullptr;
  gdi::LRESULT Result = 0;
};

// WM_MOUSEACTIVATE: the top-level window being clicked, the hit code and the
// button message; Result = MA_*.
struct [[gnu::may_alias]] TWMMouseActivate {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::HWND TopLevel = nullptr;
  SmallInt HitTestCode = 0;
  Word MouseMsg = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;
};

// WM_CONTEXTMENU: the window clicked; the point in screen coordinates,
// (-1, -1) when the menu was asked for from the keyboard.
struct [[gnu::may_alias]] TWMContextMenu {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::HWND hWnd = nullptr;
  SmallInt XPos = 0;
  SmallInt YPos = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;

  TPoint Pos() const { return {XPos, YPos}; }
};

// WM_COMMAND / CN_COMMAND: the item (or control) id, the notification code and
// the control's window.
struct [[gnu::may_alias]] TWMCommand {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Word ItemID = 0;
  Word NotifyCode = 0;
  std::uint32_t : 32;
  gdi::HWND Ctl = nullptr;
  gdi::LRESULT Result = 0;
};

// WM_NOTIFY / CN_NOTIFY.
struct [[gnu::may_alias]] TWMNotify {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM IDCtrl = 0;
  gdi::NMHDR* NMHdr = nullptr;
  gdi::LRESULT Result = 0;
};

// WM_HSCROLL / WM_VSCROLL and their CN_ forms: ScrollCode = SB_*, Pos for
// SB_THUMBPOSITION / SB_THUMBTRACK, ScrollBar = the bar's window or 0.
struct [[gnu::may_alias]] TWMScroll {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  SmallInt ScrollCode = 0;
  SmallInt Pos = 0;
  std::uint32_t : 32;
  gdi::HWND ScrollBar = nullptr;
  gdi::LRESULT Result = 0;
};
using TWMHScroll = TWMScroll;
using TWMVScroll = TWMScroll;

// WM_TIMER: the timer's id.
struct [[gnu::may_alias]] TWMTimer {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM TimerID = 0;
  gdi::LPARAM TimerProc = 0;
  gdi::LRESULT Result = 0;
};

// CM_CANCELMODE: the control that caused it.
struct [[gnu::may_alias]] TCMCancelMode {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Unused = 0;
  TControl* Sender = nullptr;
  gdi::LRESULT Result = 0;
};

// CM_MOUSEWHEEL: the shift state (TShiftState bits), the delta and the point
// in screen coordinates; non-zero Result: handled.
struct [[gnu::may_alias]] TCMMouseWheel {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Word ShiftBits = 0;
  SmallInt WheelDelta = 0;
  std::uint32_t : 32;
  SmallInt XPos = 0;
  SmallInt YPos = 0;
  std::uint32_t : 32;
  gdi::LRESULT Result = 0;

  TShiftState ShiftState() const { return TShiftState::FromBits(ShiftBits); }
  TPoint Pos() const { return {XPos, YPos}; }
};

// CM_HINTSHOW: the hint about to be shown, filled in by the sender; non-zero
// Result: no hint.
struct [[gnu::may_alias]] TCMHintShow {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Reserved = 0;
  THintInfo* HintInfo = nullptr;
  gdi::LRESULT Result = 0;
};

// CM_HINTSHOWPAUSE: whether a hint was showing; the pause (ms) to wait.
struct [[gnu::may_alias]] TCMHintShowPause {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Integer WasActive = 0;
  std::uint32_t : 32;
  Integer* Pause = nullptr;
  gdi::LRESULT Result = 0;
};

// CM_CHILDKEY: the key and the focused control it was pressed in; non-zero
// Result consumes it.
struct [[gnu::may_alias]] TCMChildKey {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  Word CharCode = 0;
  Word Unused = 0;
  std::uint32_t : 32;
  TWinControl* Sender = nullptr;
  gdi::LRESULT Result = 0;
};

// CM_MOUSEENTER / CM_MOUSELEAVE: the child the notice comes from, or null
// when it is about the receiver itself.
struct [[gnu::may_alias]] TCMMouseEnter {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Unused = 0;
  TControl* Control = nullptr;
  gdi::LRESULT Result = 0;
};
using TCMMouseLeave = TCMMouseEnter;

// CM_FOCUSCHANGED: the control that took the focus.
struct [[gnu::may_alias]] TCMFocusChanged {
  gdi::UINT Msg = 0;
  std::uint32_t : 32;
  gdi::WPARAM Unused = 0;
  TWinControl* Sender = nullptr;
  gdi::LRESULT Result = 0;
};

// CM_ENTER, CM_EXIT, CM_ACTIVATE, CM_DEACTIVATE, CM_VISIBLECHANGED ...
using TCMEnter = TWMNoParams;
using TCMExit = TWMNoParams;
using TCMActivate = TWMNoParams;
using TCMDeactivate = TWMNoParams;

// A cracked record: the 32 bytes of TMessage with Msg first and Result last.
template <class R>
concept MessageRecord = std::is_standard_layout_v<R> && sizeof(R) == sizeof(TMessage) &&
                        alignof(R) == alignof(TMessage) && offsetof(R, Msg) == 0 &&
                        offsetof(R, Result) == offsetof(TMessage, Result);

template <class R>
R& TMessage::As() {
  static_assert(MessageRecord<R>, "not a message record");
  return reinterpret_cast<R&>(*this);
}

template <class R>
const R& TMessage::As() const {
  static_assert(MessageRecord<R>, "not a message record");
  return reinterpret_cast<const R&>(*this);
}

// The message behind a cracked record.
template <MessageRecord R>
TMessage& AsMessage(R& Record) {
  return reinterpret_cast<TMessage&>(Record);
}

// The packing the original readers depend on (signed 16-bit points in the low
// 32 bits of LParam, the key in the low word of WParam).
static_assert(MessageRecord<TWMKey> && offsetof(TWMKey, CharCode) == 8 && offsetof(TWMKey, KeyData) == 16);
static_assert(MessageRecord<TWMMouse> && offsetof(TWMMouse, XPos) == 16 && offsetof(TWMMouse, YPos) == 18);
static_assert(MessageRecord<TWMMouseWheel> && offsetof(TWMMouseWheel, WheelDelta) == 10);
static_assert(MessageRecord<TWMSetCursor> && offsetof(TWMSetCursor, MouseMsg) == 18);
static_assert(MessageRecord<TWMSize> && offsetof(TWMSize, Height) == 18);
static_assert(MessageRecord<TWMActivate> && MessageRecord<TWMMouseActivate> && MessageRecord<TWMNCHitMessage>);
static_assert(MessageRecord<TWMNCCalcSize> && MessageRecord<TWMNCHitTest> && MessageRecord<TWMCommand>);
static_assert(MessageRecord<TCMMouseWheel> && MessageRecord<TCMChildKey> && MessageRecord<TCMHintShowPause>);

// ---------------------------------------------------------------------------
// edit controls: messages, styles and margin flags (original values)

namespace gdi {

inline constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3,
                      EM_SETRECTNP = 0x00B4, EM_SCROLL = 0x00B5, EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7,
                      EM_GETMODIFY = 0x00B8, EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA,
                      EM_LINEINDEX = 0x00BB, EM_LINELENGTH = 0x00C1, EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4,
                      EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = EM_LIMITTEXT, EM_CANUNDO = 0x00C6,
                      EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9, EM_SETPASSWORDCHAR = 0x00CC,
                      EM_EMPTYUNDOBUFFER = 0x00CD, EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF,
                      EM_GETPASSWORDCHAR = 0x00D2, EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4,
                      EM_GETLIMITTEXT = 0x00D5, EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7;

inline constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004,
                       ES_UPPERCASE = 0x0008, ES_LOWERCASE = 0x0010, ES_PASSWORD = 0x0020,
                       ES_AUTOVSCROLL = 0x0040, ES_AUTOHSCROLL = 0x0080, ES_NOHIDESEL = 0x0100,
                       ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800, ES_WANTRETURN = 0x1000,
                       ES_NUMBER = 0x2000;

// The notification an edit sends its parent (WM_COMMAND's high word) after
// its text changed.
inline constexpr WORD EN_CHANGE = 0x0300;

// EM_SETMARGINS / EM_GETMARGINS: which margin WParam names.
inline constexpr WPARAM EC_LEFTMARGIN = 0x0001, EC_RIGHTMARGIN = 0x0002, EC_USEFONTINFO = 0xFFFF;

}  // namespace gdi
