// Internals of the window model: the container window behind a windowed
// control's HWND.  For controls.cpp, window.cpp, ncarea.cpp and
// scrollinfo.cpp only.
//
// A container window holds what the original system keeps per window: the
// styles, the rectangle (parent client coordinates; screen for top levels),
// the backing image with its client rectangle and invalid region, the shape
// and layering, and the Qt widget that shows the image.  The widget covers
// the whole window; a child window's widget is a child of its parent's
// widget, placed at the parent's client origin plus its position.
//
// The control owns its container window (TWinControl::FWindow); the window
// owns its widget.  A window's children are destroyed before it (DestroyHandle
// goes children first), so a widget never outlives its parent's.
#pragma once

#include "platform/ui/graphics/scrollpaint.h"
#include "platform/ui/windowing/backingstore.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/hwnd.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class TWindowWidget;

// One of a window's scroll bars (SB_HORZ, SB_VERT, SB_CTL): SetScrollInfo's
// numbers and the arrows EnableScrollBar disabled.
struct TWindowScrollBar {
  TScrollRange Range;
  Integer Position = 0;
  gdi::UINT DisabledArrows = gdi::ESB_ENABLE_BOTH;
};

class TContainerWindow final : public IWindow {
public:
  // Allocates the handle and makes the widget; nothing is sent yet.
  TContainerWindow(TWinControl* Control, const TCreateParams& Params);
  // Releases the handle and deletes the widget.
  ~TContainerWindow() override;
  TContainerWindow(const TContainerWindow&) = delete;
  TContainerWindow& operator=(const TContainerWindow&) = delete;

  // Sends WM_NCCALCSIZE for the first client rectangle and shows the widget
  // when WS_VISIBLE; called once the control knows its handle.
  void Realize();

  // IWindow
  void WindowMessage(TMessage& Message) override;
  // The default processing of a window (DefWindowProc emulation).
  void DefaultWindowMessage(TMessage& Message) override;
  TWinControl* Control() const override { return FControl; }
  gdi::HWND ParentWindow() const override;
  gdi::UINT ClassStyle() const override { return FClassStyle; }
  bool AcceptsInput() const override;
  TPoint ClientToScreen(TPoint ClientPoint) const override;
  TPoint ScreenToClient(TPoint ScreenPoint) const override;
  TPoint WidgetToScreen(TPoint WidgetPoint) const override;
  QWidget* Widget() const override;

  // identity and hierarchy
  gdi::HWND Handle() const { return FHandle; }
  // The parent window of a child, nullptr for top levels.
  TContainerWindow* ParentContainer() const;
  bool IsTopLevel() const { return FTopLevel; }
  // The owner of a top level (GWL_HWNDPARENT), 0 for none.
  gdi::HWND Owner() const { return FOwner; }
  // The child windows, bottom to top.
  std::vector<TContainerWindow*> Children() const;

  // styles
  gdi::DWORD Style() const { return FStyle; }
  gdi::DWORD ExStyle() const { return FExStyle; }
  void SetStyle(gdi::DWORD Value);
  void SetExStyle(gdi::DWORD Value);
  bool OwnVisible() const { return (FStyle & gdi::WS_VISIBLE) != 0; }
  bool IsVisible() const;
  bool IsEnabled() const;

  // geometry
  // Parent client coordinates (screen for top levels).
  const TRect& Bounds() const { return FBounds; }
  // Window coordinates.
  TRect ClientRect() const { return FStore.ClientRect(); }
  TPoint ScreenOrigin() const;
  // Applies a new rectangle: WM_NCCALCSIZE when the size changed or Frame,
  // the image resized, the widget moved.  Answers whether the size changed.
  bool ApplyBounds(const TRect& Bounds, bool Frame);
  // The window system moved or resized the top level's widget: the window
  // takes the new geometry (SetWindowPos).
  void FollowWindowSystem(const QRect& Geometry);
  // Stacking among the siblings: HWND_TOP, HWND_BOTTOM or below Sibling.
  void Restack(gdi::HWND InsertAfter);

  // shape and layering
  void SetShape(std::optional<QRegion> Shape);
  const std::optional<QRegion>& Shape() const { return FStore.Shape(); }
  bool HitsShape(TPoint WindowPoint) const;
  void SetLayered(gdi::COLORREF Key, gdi::BYTE Alpha, gdi::DWORD Flags);
  gdi::COLORREF LayeredKey() const { return FLayeredKey; }
  gdi::BYTE LayeredAlpha() const { return FLayeredAlpha; }
  gdi::DWORD LayeredFlags() const { return FLayeredFlags; }

  // painting
  TBackingStore& Store() { return FStore; }
  // Schedules the widget to show the image again.
  void ScheduleShow(const QRegion& WindowRegion);
  void ScheduleShowAll();
  // A paint cycle now (see window.h), then the widget shows what it painted
  // (at once unless Qt is painting; Showing: what Qt's paint under way
  // shows anyway).  A nested request while one runs does nothing.
  void PaintNow(const QRegion* Showing = nullptr);
  // Set by BeginPaint: the update region of this cycle was handed out.
  bool BeginPaintSeen = false;

  // The whole window with its children as Qt shows them (GrabWindow).
  QImage Grab(const QRect& WindowRect);

  // scroll bars (scrollinfo.h): SB_HORZ, SB_VERT or SB_CTL
  TWindowScrollBar& ScrollBar(int Bar) { return FScrollBars[size_t(Bar)]; }
  const TWindowScrollBar& ScrollBar(int Bar) const { return FScrollBars[size_t(Bar)]; }

private:
  friend class TWindowWidget;
  void makeWidget(const TCreateParams& Params);
  void placeWidget();
  void applyVisibility();
  void applyLayering();
  // Answers what it painted (window coordinates).
  QRegion runPaintCycle();

  TWinControl* FControl;
  gdi::HWND FHandle = nullptr;
  gdi::HWND FParent = nullptr;  // the parent window of a child
  gdi::HWND FOwner = nullptr;   // the owner of a top level
  bool FTopLevel = false;
  gdi::DWORD FStyle = 0;
  gdi::DWORD FExStyle = 0;
  gdi::UINT FClassStyle = 0;
  TRect FBounds;
  TBackingStore FStore;
  gdi::COLORREF FLayeredKey = 0;
  gdi::BYTE FLayeredAlpha = 255;
  gdi::DWORD FLayeredFlags = 0;
  bool FPainting = false;
  // A window's own bars start at 0 .. 100, a scroll-bar control's at 0 .. 0.
  std::array<TWindowScrollBar, 3> FScrollBars{{{}, {}, {TScrollRange{0, 0, 0}}}};
  QPointer<TWindowWidget> FWidget;  // deleted by Qt when the parent's widget goes first
};

// The container window behind a handle; nullptr for 0, dead and utility
// handles.
TContainerWindow* FindContainer(gdi::HWND Window);

// The DefWindowProc emulation of the non-client area (ncarea.cpp).
namespace ui_detail {

// WM_NCCALCSIZE: rgrc[0] shrunk by the border, edge and scroll bars of the
// window's styles.
void DefaultNCCalcSize(TContainerWindow& Window, TWMNCCalcSize& Message);
// WM_NCPAINT: the border, edge and scroll-bar areas on the window DC.
void DefaultNCPaint(TContainerWindow& Window);
// WM_NCHITTEST at a screen point: HTCLIENT, HTVSCROLL, HTHSCROLL, HTBORDER or
// HTNOWHERE.
gdi::LRESULT DefaultNCHitTest(TContainerWindow& Window, TPoint ScreenPoint);
// Where bar SB_HORZ or SB_VERT lies in window coordinates (empty without its
// style); SB_CTL: the client rectangle.
TRect ScrollBarRect(const TContainerWindow& Window, int Bar);

// The scroll bars' share of the window model (scrollinfo.cpp).
// What bar Bar of Window shows now: its numbers, disabled arrows (all of
// them in a disabled window), and the pressed part and thumb of a press on it.
TScrollBarLook ScrollBarLook(const TContainerWindow& Window, int Bar);
// A press on bar Bar of Window (SB_HORZ, SB_VERT from the non-client area)
// at a screen point: starts tracking it.
void BeginScrollTrack(TContainerWindow& Window, int Bar, TPoint ScreenPoint);
// While Window's bar is tracked, the tracking takes the mouse and its timer's
// messages: True when it took Message.
bool ScrollTrackMessage(TContainerWindow& Window, TMessage& Message);
// Window goes away: a tracking of its bar ends without a word.
void ForgetScrollTrack(gdi::HWND Window);

}  // namespace ui_detail
