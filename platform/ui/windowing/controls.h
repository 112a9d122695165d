// Controls: TControl, TWinControl, TCustomControl, TGraphicControl.
//
// Owner and parent
//   The Owner (TComponent) frees a control; the Parent (a TWinControl) hosts
//   it: position, painting, visibility.  A parent being freed frees the
//   child controls it still hosts; a control leaves its parent (and owner)
//   first when it is freed.  A parent lists its graphic children first, then
//   its windowed children, each group bottom to top (Controls[]).
//
// Windows
//   A windowed control owns one window (HWND) while its handle is allocated:
//   a Qt widget showing the window's backing image, made on demand
//   (HandleNeeded: the parent's first) and destroyed children first.  Its
//   bounds, styles and visibility live in the window model (window.h); the
//   control's own fields stay authoritative without a window.  Graphic
//   controls own no window: they paint on their parent's, inside their
//   bounds.
//
// Bounds
//   Left/Top are parent client coordinates (screen coordinates for a control
//   without parent).  A change of bounds sends WM_WINDOWPOSCHANGED (LParam
//   null without window), then WM_SIZE when the size changed, whose handling
//   realigns the children and calls Resize.  Align and Anchors place children
//   inside the parent's AdjustClientRect: top, bottom, left, right, client,
//   custom, ties broken by position; anchors keep the distances recorded at
//   the child's last own move or the parent's resize.
//
// Messages
//   Controls receive messages through their class message maps (dispatch.h).
//   A windowed control's DefaultHandler is its window's default processing:
//   the non-client area, painting, sizing (window.h).
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/lists.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/windowing/dispatch.h"
#include "platform/ui/windowing/messages.h"

#include <functional>
#include <memory>
#include <vector>

class TBasicAction;
class TBitmap;
class TContainerWindow;
class TControlActionLink;
class TPopupMenu;
class TWinControl;

// ---------------------------------------------------------------------------
// types

RTL_ENUM(TAlign, alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom)
using TAlignSet = TSet<TAlign>;
RTL_ENUM(TAnchorKind, akLeft, akTop, akRight, akBottom)
using TAnchors = TSet<TAnchorKind>;
// The anchors an alignment implies (alNone: left and top).
TAnchors AnchorAlign(TAlign Align);

RTL_ENUM(TBiDiMode, bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly)

// The whole original set, so code that adds or removes any of them compiles.
// With an effect here: csAcceptsControls (WS_CLIPCHILDREN), csCaptureMouse,
// csClickEvents, csSetCaption, csOpaque, csDoubleClicks, csFixedWidth and
// csFixedHeight (ChangeScale), csReplicatable (PaintTo), csNoStdEvents.
enum TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground,
  csPannable, csAlignWithMargins, csGestures, csPaintBlackOpaqueOnGlass, csOverrideStylePaint
};
using TControlStyle = TSet<TControlStyleItem>;

// Set here: csLButtonDown, csClicked, csAlignmentNeeded, csPaintCopy,
// csCustomPaint, csDestroyingHandle, csRecreating; csReadingState holds a
// window back while set.
enum TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
  csCustomPaint, csDestroyingHandle, csDocking, csDesignerHide, csPanning, csRecreating, csAligning,
  csGlassPaint, csPrintClient
};
using TControlState = TSet<TControlStateItem>;

RTL_ENUM(TBevelCut, bvNone, bvLowered, bvRaised, bvSpace)
RTL_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom)
using TBevelEdges = TSet<TBevelEdge>;
RTL_ENUM(TBevelKind, bkNone, bkTile, bkSoft, bkFlat)
using TBevelWidth = Integer;
using TBorderWidth = Integer;
using TTabOrder = SmallInt;
RTL_ENUM(TImeMode, imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
         imChinese, imSHanguel, imHanguel)
using TImeName = String;
using TCaption = String;

// events
using TMouseEvent = TMethodPtr<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TMethodPtr<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    TMethodPtr<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = TMethodPtr<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TContextPopupEvent = TMethodPtr<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TKeyEvent = TMethodPtr<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = TMethodPtr<void(TObject* Sender, Char& Key)>;
using TCanResizeEvent = TMethodPtr<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    TMethodPtr<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

// ---------------------------------------------------------------------------
// TSizeConstraints: size limits of a control; 0 means none.  A maximum set
// below the minimum lowers the minimum, and the other way round.

class TControl;

class TSizeConstraints : public TPersistent {
  RTL_CLASS(TSizeConstraints, TPersistent)
public:
  explicit TSizeConstraints(TControl* Control);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  Integer MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(Integer Value);
  Integer MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(Integer Value);
  Integer MinHeight() const { return FMinHeight; }
  void SetMinHeight(Integer Value);
  Integer MinWidth() const { return FMinWidth; }
  void SetMinWidth(Integer Value);
  TControl* Control() const { return FControl; }

  // events
  TNotifyEvent OnChange;

protected:
  void AssignTo(TPersistent* Dest) override;
  virtual void Change();

private:
  TControl* FControl;
  Integer FMaxHeight = 0;
  Integer FMaxWidth = 0;
  Integer FMinHeight = 0;
  Integer FMinWidth = 0;
};

// ---------------------------------------------------------------------------
// TControlCanvas: a canvas on a control.  Outside painting it gets its own DC
// from the control (GetDC of the window; a graphic control's parent's DC with
// the origin at the control and the clip to its bounds), kept until
// FreeHandle, the window's destruction or FreeDeviceContexts.  Painting code
// attaches the paint DC with SetHandle instead.

class TControlCanvas : public TCanvas {
  RTL_CLASS(TControlCanvas, TCanvas)
public:
  TControlCanvas() = default;
  ~TControlCanvas() override;

  // Releases the DC the canvas got for itself (not an attached one).
  void FreeHandle();

  // properties
  TControl* Control() const { return FControl; }
  void SetControl(TControl* AControl);

protected:
  void CreateHandle() override;

private:
  friend class TWinControl;
  TControl* FControl = nullptr;
  gdi::HDC FDeviceContext = nullptr;  // owned; from the control
  gdi::HWND FWindowHandle = nullptr;  // the window FDeviceContext belongs to
};

// Releases the DCs every control canvas got for itself (idle time: drawing
// outside painting starts afresh with the controls' current geometry).
void FreeDeviceContexts();
// Runs Paint with DC attached to Canvas (locked), detaching it afterwards.
void PaintOnCanvas(TCanvas* Canvas, gdi::HDC DC, const std::function<void()>& Paint);
// Runs Measure with a screen DC attached to Canvas: text extents outside
// painting, before a control has a window.
void MeasureOnScreen(TCanvas* Canvas, const std::function<void()>& Measure);

// Mouse capture by controls: a windowed control holds its window's capture;
// a graphic control's is held by its parent's window.  GetCaptureControl
// answers nullptr when no control of ours has it.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);

// ---------------------------------------------------------------------------
// TControl

class TControl : public TComponent, public TMessageTarget {
  RTL_CLASS(TControl, TComponent)
  UI_MESSAGE_MAP
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;
  static void DescribeProperties(TPropertyTable& Props);

  // messages
  // WM_xBUTTONDBLCLK becomes WM_xBUTTONDOWN unless csDoubleClicks is set when
  // it arrives; mouse messages set csLButtonDown while the left button is down.
  void WndProc(TMessage& Message) override;
  // WM_GETTEXT, WM_GETTEXTLENGTH and WM_SETTEXT on the control's text
  // (LParam: a zero-terminated UTF-16 buffer; WM_GETTEXT: WParam = its size in
  // units, the answer the length copied); WM_RBUTTONUP sends WM_CONTEXTMENU
  // (screen point), which goes on to the parent.
  void DefaultHandler(TMessage& Message) override;

  // parent
  TWinControl* Parent() const { return FParent; }
  // Out of the old parent's list, on top of the new one's; the window (if
  // any) follows.  EInvalidOperation "A control cannot have itself as its
  // parent".
  virtual void SetParent(TWinControl* AParent);
  TComponent* GetParentComponent() const override;
  bool HasParent() const override;

  // bounds
  Integer Left() const { return FLeft; }
  void SetLeft(Integer Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  Integer Top() const { return FTop; }
  void SetTop(Integer Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  Integer Height() const { return FHeight; }
  void SetHeight(Integer Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // Constraints and AutoSize first (OnCanResize, OnConstrainedResize); an
  // unchanged rectangle does nothing.
  virtual void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight);
  // The size SetBounds would give AWidth x AHeight under Constraints and
  // OnConstrainedResize (dragging a window's edge keeps the other edge).
  TSize ConstrainedSize(Integer AWidth, Integer AHeight);
  // The client area in client coordinates: (0, 0, Width, Height) here; a
  // window's client rectangle (inside its non-client frame) for windowed
  // controls.
  TRect ClientRect() { return GetClientRect(); }
  Integer ClientWidth() { return ClientRect().Width(); }
  void SetClientWidth(Integer Value) { SetClientSize({Value, ClientHeight()}); }
  Integer ClientHeight() { return ClientRect().Height(); }
  void SetClientHeight(Integer Value) { SetClientSize({ClientWidth(), Value}); }
  // The screen position of the client area's (0, 0).
  TPoint ClientOrigin() { return GetClientOrigin(); }
  TPoint ClientToScreen(TPoint Point);
  TPoint ScreenToClient(TPoint Point);
  TSizeConstraints* Constraints() const { return FConstraints; }
  void SetConstraints(TSizeConstraints* Value) { FConstraints->Assign(Value); }
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);

  // alignment
  TAlign Align() const { return FAlign; }
  // Also sets the anchors the alignment implies.
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);

  // visibility, enabling
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  // Visible, and the parents asked to show it (ShowControl).
  void Show();
  void Hide() { SetVisible(false); }
  bool Enabled() { return GetEnabled(); }
  virtual void SetEnabled(bool Value);

  // appearance
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value);
  // False unless the system locale is a middle-east one (SysLocale).
  virtual bool UseRightToLeftAlignment();
  virtual bool UseRightToLeftReading();
  // DT_RTLREADING while the text reads right to left, else 0.
  gdi::UINT DrawTextBiDiModeFlagsReadingOnly();
  virtual bool UseRightToLeftScrollBar();
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  // Popped up by WM_CONTEXTMENU over the control when its AutoPopup is set;
  // offered the control's key downs as shortcuts.
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  // The action the control follows (nullptr: none): linking copies the
  // action's properties (ActionChange), later changes flow through the link
  // while the control still shows the action's values, and Click executes it.
  TBasicAction* Action() const;
  void SetAction(TBasicAction* Value);
  // An action aimed at this control: one that HandlesTarget(this) runs
  // ExecuteTarget / UpdateTarget on it and the answer is True; otherwise
  // False (descendants offer the action to what they hold).
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // This control holds the mouse capture (SetCaptureControl).
  bool MouseCapture() { return GetCaptureControl() == this; }
  void SetMouseCapture(bool Value);
  TCursor Cursor() const { return FCursor; }
  // Sends CM_CURSORCHANGED.
  void SetCursor(TCursor Value);
  // Caption and Text are one value, read and written through WM_GETTEXT and
  // WM_SETTEXT; a change sends CM_TEXTCHANGED.
  String Text() { return GetText(); }
  void SetText(const String& Value);
  String Caption() { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }
  // csSetCaption: a caption equal to the old name follows the new name.
  void SetName(const String& NewName) override;

  // painting
  // Graphic controls: the parent invalidates the bounds (erase unless
  // csOpaque); windowed controls: the whole client area.
  virtual void Invalidate();
  // Paints what is invalid now (the parent's window for graphic controls).
  virtual void Update();
  // Invalidate and Update (an opaque graphic control paints itself at once).
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront() { SetZOrder(true); }
  void SendToBack() { SetZOrder(false); }

  // scaling
  // The product of the M/D factors applied so far (1 at creation).
  double ScaleFactor() const { return FScaleFactor; }
  // Bounds (and Font unless ParentFont) by M/D; windowed controls scale their
  // children first.
  void ScaleBy(Integer M, Integer D);
  virtual void ChangeScale(Integer M, Integer D, bool IsDpiChange);

  // style and state
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }

  // events
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TNotifyEvent OnResize;
  TContextPopupEvent OnContextPopup;
  TCanResizeEvent OnCanResize;
  TConstrainedResizeEvent OnConstrainedResize;

protected:
  // Forgets a freed PopupMenu or Action.
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // action
  TControlActionLink* ActionLink() const { return FActionLink; }
  // Copies Caption, Enabled, Hint, Visible and OnExecute (as OnClick) of
  // Sender; with CheckDefaults only onto values still at their defaults.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // The link SetAction makes for this control (the caller owns it).
  virtual TControlActionLink* CreateActionLink();

  // introduced virtuals: input
  // Executes the linked action when OnClick is unassigned or is the
  // action's OnExecute; otherwise OnClick.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // OnMouseWheel, then DoMouseWheelDown/Up once per full notch of the delta
  // gathered so far; answers whether any handled it.
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);

  // introduced virtuals: sizing
  virtual void Resize();
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  // The size AutoSize wants; base: as asked.
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
  // Applies constraints and AutoSize to the current bounds.
  virtual void AdjustSize();
  virtual TRect GetClientRect();
  virtual void SetClientSize(TPoint Value);
  virtual TPoint GetClientOrigin();
  virtual void SetZOrder(bool TopMost);
  // Asks the parent to realign with this control placed first among equals.
  virtual void RequestAlign();

  // introduced virtuals: the rest
  virtual bool GetEnabled() { return FEnabled; }
  virtual String GetText();
  virtual void VisibleChanging() {}
  void Loaded() override;

  // helpers for descendants
  // The parent invalidates this control's bounds when IsVisible.
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  // Records the anchor distances from the current bounds and parent size.
  void UpdateAnchorRules();
  // A DC on the window this control paints on, with the origin at the
  // control; WindowHandle receives that window.
  virtual gdi::HDC GetDeviceContext(gdi::HWND& WindowHandle);
  // Tells the form around the control that Sender starts a mouse action
  // (forms send CM_CANCELMODE to their active control); base: the parent's.
  virtual void SendCancelMode(TControl* Sender);
  // Sends WM_SIZE for the current size (after a change of size).
  void SendSizeMessage();

  // message handlers
  void WMLButtonDown(TWMMouse& Message);
  void WMLButtonDblClk(TWMMouse& Message);
  void WMLButtonUp(TWMMouse& Message);
  void WMRButtonDown(TWMMouse& Message);
  void WMRButtonDblClk(TWMMouse& Message);
  void WMRButtonUp(TWMMouse& Message);
  void WMMButtonDown(TWMMouse& Message);
  void WMMButtonDblClk(TWMMouse& Message);
  void WMMButtonUp(TWMMouse& Message);
  void WMMouseMove(TWMMouse& Message);
  void WMSize(TWMSize& Message);
  void WMWindowPosChanged(TWMWindowPosChanged& Message);
  void WMContextMenu(TWMContextMenu& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMParentColorChanged(TMessage& Message);
  void CMParentFontChanged(TMessage& Message);
  void CMParentShowHintChanged(TMessage& Message);
  void CMParentBiDiModeChanged(TMessage& Message);
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMMouseWheel(TCMMouseWheel& Message);
  void CMHitTest(TMessage& Message);
  // cursors (mouse.cpp): a new Cursor shows at once under the mouse
  void CMCursorChanged(TMessage& Message);

  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  TControlState FControlState;
  TWinControl* FParent = nullptr;
  Integer FLeft = 0;
  Integer FTop = 0;
  Integer FWidth = 0;
  Integer FHeight = 0;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  TFont* FFont;
  String FText;

private:
  friend class TWinControl;
  friend class TControlCanvas;
  void fontChanged(TObject* Sender);
  void constraintsChanged(TObject* Sender);
  // CheckNewSize: OnCanResize, constraints, AutoSize; false refuses the change.
  bool checkNewSize(int& NewWidth, int& NewHeight);
  bool doCanResize(int& NewWidth, int& NewHeight);
  bool doCanAutoSize(int& NewWidth, int& NewHeight);
  void doConstrainedResize(int& NewWidth, int& NewHeight);
  void mouseDownMessage(TMouseButton Button, TShiftState Shift, TWMMouse& Message);
  void mouseUpMessage(TMouseButton Button, TWMMouse& Message);
  void leaveParent();

  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TPoint FAnchorRules;          // per axis: the far distance, the size or the centre
  TPoint FOriginalParentSize;   // the parent client size the rules were taken at; 0: none
  bool FAnchorMove = false;     // bounds set by the anchor layout: the rules stay
  bool FAutoSize = false;
  TSizeConstraints* FConstraints;
  bool FParentColor = true;
  bool FParentFont = true;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  bool FShowHint = false;
  bool FParentShowHint = true;
  String FHint;
  TPopupMenu* FPopupMenu = nullptr;
  TControlActionLink* FActionLink = nullptr;  // owned
  TCursor FCursor = crDefault;
  double FScaleFactor = 1.0;
  Integer FWheelAccumulator = 0;
  bool FLeftParent = false;  // the destruction protocol ran
};

// ---------------------------------------------------------------------------
// TWinControl

// What CreateWnd asks of the window (CreateParams fills it).
struct TCreateParams {
  String Caption;
  gdi::DWORD Style = 0;
  gdi::DWORD ExStyle = 0;
  Integer X = 0;
  Integer Y = 0;
  Integer Width = 0;
  Integer Height = 0;
  // The parent (WS_CHILD) or owner window; 0 or the desktop: a top level.
  gdi::HWND WndParent = nullptr;
  gdi::UINT ClassStyle = 0;  // CS_*
  String WinClassName;
};

class TWinControl : public TControl {
  RTL_CLASS(TWinControl, TControl)
  UI_MESSAGE_MAP
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // messages
  // Mouse messages over a graphic child (or for the control holding the
  // capture) go to that child first.
  void WndProc(TMessage& Message) override;
  // The window's default processing while the handle exists (window.h),
  // else TControl's.
  void DefaultHandler(TMessage& Message) override;

  // handle
  // Makes the window (the parents' first) when there is none.
  gdi::HWND Handle();
  bool HandleAllocated() const;
  void HandleNeeded();
  // The window hosting a control without Parent (a foreign host, the
  // desktop, the application window); changing it destroys the window.
  gdi::HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(gdi::HWND Value);
  // Destroys and creates the window anew (children too), running the
  // overrides; bounds, visibility, text, focus and the window's shape are kept.
  void RecreateWnd();
  // Visible, with every parent showing, and a window.
  bool Showing() const;

  // children
  // EListError "List index out of bounds (%d)" outside 0 .. ControlCount-1.
  TControl* Controls(Integer Index) const;
  Integer ControlCount() const { return Integer(FControls.size() + FWinControls.size()); }
  // The topmost visible child containing Pos (client coordinates); disabled
  // ones only with AllowDisabled, windowed ones only with AllowWinControls;
  // AllLevels searches into windowed children.
  TControl* ControlAtPos(TPoint Pos, bool AllowDisabled, bool AllowWinControls = false, bool AllLevels = false);
  // The child named ControlName (any case); nullptr for "" and when none.
  TControl* FindChildControl(const String& ControlName);
  // AControl is this control or one of its descendants.
  bool ContainsControl(TControl* AControl);
  // Message to every child; stops at the first non-zero Result.
  void Broadcast(TMessage& Message);
  // Msg (WParam 0, LParam 0) to every child.
  void NotifyControls(gdi::UINT Msg);
  // Shows AControl: asks the parents to show this control.
  virtual void ShowControl(TControl* AControl);

  // alignment
  void DisableAlign();
  // Realigns when the last DisableAlign ends and a realign was asked for.
  void EnableAlign();
  void Realign();
  bool AlignDisabled() const { return FAlignLevel != 0; }
  // The rectangle children align in: ClientRect shrunk by BorderWidth.
  virtual void AdjustClientRect(TRect& Rect);

  // painting
  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  // Paints the control as it would show (frame, background, client, graphic
  // children with csReplicatable, windowed children) into DC or Canvas at
  // (X, Y), shown or hidden, with csPaintCopy set while it runs.
  void PaintTo(gdi::HDC DC, Integer X, Integer Y);
  void PaintTo(TCanvas* Canvas, Integer X, Integer Y);
  // The visible graphic children from First (all when null) on, each with
  // its origin at its Left/Top and clipped to its bounds.
  void PaintControls(gdi::HDC DC, TControl* First);

  // frame
  TBorderWidth BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(TBorderWidth Value);
  TBevelEdges BevelEdges() const { return FBevelEdges; }
  void SetBevelEdges(TBevelEdges Value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelKind BevelKind() const { return FBevelKind; }
  void SetBevelKind(TBevelKind Value);
  TBevelWidth BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(TBevelWidth Value);
  // The non-client width the bevels take on each beveled edge.
  Integer BevelEdgeSize() const;

  // tab order
  // Place among the windowed siblings; -1 asks for the end.
  TTabOrder TabOrder() const;
  void SetTabOrder(TTabOrder Value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  // Appends the windowed descendants in tab order, depth first.
  void GetTabOrderList(TList* List);

  // focus (focus.cpp; see focus.h)
  // Visible and enabled, and so are the parents below the top-level control.
  virtual bool CanFocus();
  // The window has the focus.
  virtual bool Focused();
  // Through the focus host (an inactive form only records it), else
  // gdi::SetFocus.  EInvalidOperation "Cannot focus a disabled or invisible
  // window" unless CanFocus.
  virtual void SetFocus();
  // The descendant after CurControl in tab order (wrapping) that can focus,
  // with TabStop when CheckTabStop, a child of this control when
  // CheckParent; nullptr when none.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  // Focuses FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop).
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

  // events: focus and keys
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  // stored only
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value);
  bool ParentDoubleBuffered() const { return FParentDoubleBuffered; }
  void SetParentDoubleBuffered(bool Value);
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  TImeName ImeName() const { return FImeName; }
  void SetImeName(const TImeName& Value) { FImeName = Value; }

  // reimplemented
  void SetBounds(Integer ALeft, Integer ATop, Integer AWidth, Integer AHeight) override;
  void ChangeScale(Integer M, Integer D, bool IsDpiChange) override;
  void Loaded() override;

  // the window model's access
  TContainerWindow* Window() const { return FWindow.get(); }

protected:
  // introduced virtuals: the window
  // Fills Params from the control: WS_CHILD | WS_CLIPSIBLINGS, WS_CLIPCHILDREN
  // with csAcceptsControls, WS_DISABLED, WS_TABSTOP, the right-to-left styles,
  // the bounds, the parent's handle (or ParentWindow), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS.
  virtual void CreateParams(TCreateParams& Params);
  // CreateParams, then CreateWindowHandle.  EInvalidOperation "Control '%s'
  // has no parent window" for a child style without parent.
  virtual void CreateWnd();
  // Makes the window (the Qt widget, WM_NCCALCSIZE).
  virtual void CreateWindowHandle(const TCreateParams& Params);
  // CreateWnd, then the window's place among its siblings and the anchors.
  virtual void CreateHandle();
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  // The children's windows, then this one's.
  void DestroyHandle();
  // Aligns the children inside Rect (AdjustClientRect's).
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  // alCustom children: where to put Control; base: where it is.
  virtual void CustomAlignPosition(TControl* Control, int& NewLeft, int& NewTop, int& NewWidth, int& NewHeight,
                                   TRect& AlignRect);
  // Realigns with AControl first among equals.
  void AlignControl(TControl* AControl);
  // Shows or hides the window as Visible and the parents say (creating it).
  void UpdateControlState();
  void UpdateShowing();
  // A control without Parent shows (gets a window) when this answers True:
  // here, with a ParentWindow; forms override it.
  virtual bool ShowsWithoutParent() const;
  // Where WM_MOUSEWHEEL goes as CM_MOUSEWHEEL: this control here (forms
  // send it to their focused control).
  virtual void MouseWheelHandler(TMessage& Message);
  // Paints the window's own content on DC (TCustomControl: Paint).
  virtual void PaintWindow(gdi::HDC DC);
  // A single border, for CreateParams: the sunken client edge
  // (WS_EX_CLIENTEDGE, no WS_BORDER) with Ctl3D, else the one-pixel frame
  // (WS_BORDER).  Both hold from creation only, so a later change of Ctl3D
  // recreates the window of a control that asked for them.
  void AddSingleBorderStyle(TCreateParams& Params);

  // introduced virtuals: focus and keys (focus.cpp)
  virtual void DoEnter();  // OnEnter
  virtual void DoExit();   // OnExit
  virtual void KeyDown(Word& Key, TShiftState Shift);  // OnKeyDown
  virtual void KeyUp(Word& Key, TShiftState Shift);    // OnKeyUp
  virtual void KeyPress(Char& Key);                    // OnKeyPress
  // A KeyPreview host's handling, then this control's; True when the key
  // (character) became 0.
  bool DoKeyDown(TWMKey& Message);
  bool DoKeyUp(TWMKey& Message);
  bool DoKeyPress(TWMKey& Message);
  // WM_PAINT's work: the window (minus opaque graphic children) and the
  // graphic children; the paint DC unless Message carries one.
  virtual void PaintHandler(TWMPaint& Message);
  // WM_PAINT of a control that draws its whole window itself: the inherited
  // painting with csCustomPaint set around it.
  void CustomPaint(TWMPaint& Message);

  // reimplemented
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  TRect GetClientRect() override;
  void SetClientSize(TPoint Value) override;
  TPoint GetClientOrigin() override;
  void SetZOrder(bool TopMost) override;
  gdi::HDC GetDeviceContext(gdi::HWND& WindowHandle) override;

  // message handlers
  void WMPaint(TWMPaint& Message);
  void WMEraseBkgnd(TWMEraseBkgnd& Message);
  void WMNCCalcSize(TWMNCCalcSize& Message);
  void WMNCPaint(TWMNCPaint& Message);
  void WMSize(TWMSize& Message);
  void WMWindowPosChanged(TWMWindowPosChanged& Message);
  void WMCommand(TWMCommand& Message);
  void WMNotify(TWMNotify& Message);
  // A child scroll-bar control's codes go back to it as CN_HSCROLL / CN_VSCROLL.
  void WMScroll(TWMScroll& Message);
  void WMMouseWheel(TWMMouseWheel& Message);
  void CMShowingChanged(TMessage& Message);
  void CMVisibleChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMColorChanged(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CMCtl3DChanged(TMessage& Message);
  void CMParentCtl3DChanged(TMessage& Message);
  void CMShowHintChanged(TMessage& Message);
  void CMBiDiModeChanged(TMessage& Message);
  void CMParentDoubleBufferedChanged(TMessage& Message);
  void CMBorderChanged(TMessage& Message);
  void CMRecreateWnd(TMessage& Message);
  void CMInvalidate(TMessage& Message);
  // focus and keys (focus.cpp)
  void WMSetFocus(TWMSetFocus& Message);
  void WMKeyDown(TWMKey& Message);
  void WMKeyUp(TWMKey& Message);
  void WMChar(TWMKey& Message);
  void CMEnter(TMessage& Message);
  void CMExit(TMessage& Message);
  void CMChildKey(TCMChildKey& Message);
  void CMDialogKey(TCMDialogKey& Message);
  void CMDialogChar(TCMDialogChar& Message);
  // cursors (mouse.cpp)
  void WMSetCursor(TWMSetCursor& Message);

  TBrush* FBrush;  // Color, for the background

private:
  friend class TControl;
  friend class TContainerWindow;
  friend std::unique_ptr<TBitmap> GrabWindow(TWinControl* Control, const TRect& Rect);
  void insertControl(TControl* AControl);
  void removeControl(TControl* AControl);
  void doAlign(TControl* AControl, TAlign Kind, TRect& Rect);
  void anchorPosition(TControl* Control);
  void updateBounds();
  void updateRecreatingFlag(bool Recreating);
  void releaseTree();
  void freeChildren();
  bool routeToGraphicChild(TWMMouse& Message);
  // Stopping input gives the mouse up: WM_CANCELMODE to the capture window
  // when it is this control's window or one inside it.
  void cancelCaptureInside();
  TContainerWindow* ensureWindow();
  void paintBevels(gdi::HDC DC);
  gdi::HWND precedingWindow(TWinControl* Control) const;
  void freeDeviceContextsOfWindow();

  std::vector<TControl*> FControls;      // graphic children, bottom to top
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom to top
  std::vector<TWinControl*> FTabList;    // windowed children in tab order
  std::unique_ptr<TContainerWindow> FWindow;
  gdi::HWND FParentWindow = nullptr;
  gdi::HRGN FKeptShape = nullptr;        // the window's shape across a recreation
  bool FShowing = false;
  Integer FAlignLevel = 0;
  TBorderWidth FBorderWidth = 0;
  TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
  TBevelCut FBevelInner = bvRaised;
  TBevelCut FBevelOuter = bvLowered;
  TBevelKind FBevelKind = bkNone;
  TBevelWidth FBevelWidth = 1;
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FParentDoubleBuffered = true;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FCtl3DBorder = false;  // the last CreateParams framed a single border by Ctl3D
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  bool FTreeFreed = false;  // children and window released (Free or destructor)
};

// ---------------------------------------------------------------------------
// TCustomControl: a windowed control that paints itself with Paint on its
// Canvas (clipped to the update region while painting).

class TCustomControl : public TWinControl {
  RTL_CLASS(TCustomControl, TWinControl)
  UI_MESSAGE_MAP
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;

  TCanvas* Canvas() const { return FCanvas; }

protected:
  // introduced virtuals
  virtual void Paint() {}

  // reimplemented
  void PaintWindow(gdi::HDC DC) override;

  // message handlers
  // Sets csCustomPaint around the inherited painting.
  void WMPaint(TWMPaint& Message);

private:
  TControlCanvas* FCanvas;
};

// ---------------------------------------------------------------------------
// TGraphicControl: a control without window, painted by its parent's WM_PAINT
// through Paint on its Canvas (origin at the control, clipped to its bounds).

class TGraphicControl : public TControl {
  RTL_CLASS(TGraphicControl, TControl)
  UI_MESSAGE_MAP
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;

  TCanvas* Canvas() const { return FCanvas; }

protected:
  // introduced virtuals
  virtual void Paint() {}

  // message handlers
  // Paints only with a DC (the parent's paint DC).
  void WMPaint(TWMPaint& Message);

private:
  TControlCanvas* FCanvas;
};

// ---------------------------------------------------------------------------
// images of controls

// The pixels Control's window shows in Rect (client coordinates; the whole
// window, frame included, when empty): its backing image with its child
// windows and hosted Qt widgets on top, after painting what was invalid.
std::unique_ptr<TBitmap> GrabWindow(TWinControl* Control, const TRect& Rect = {});

// The parent's background painted into DC, a DC on Control's area (origin at
// the control): the parent's WM_ERASEBKGND with the origin moved to the
// control's place.  Nothing without a parent.
void PerformEraseBackground(TControl* Control, gdi::HDC DC);

// The control at a screen point: the deepest visible window of ours there,
// or its graphic child under the point (disabled ones with AllowDisabled).
TControl* FindDragTarget(TPoint Pos, bool AllowDisabled);

namespace test {

// Control painted by PaintTo (frame, client, replicatable graphic children,
// windowed children) into a new 32-bit bitmap of its size.
std::unique_ptr<TBitmap> Snapshot(TWinControl* Control);

}  // namespace test
