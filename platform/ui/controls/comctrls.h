// Common controls: the status bar, the tool bar with its buttons and the
// progress bar, all painted by us in the classic look.
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/rtl/collection.h"
#include "platform/ui/controls/buttons.h"
#include "platform/ui/windowing/controls.h"

#include <memory>
#include <vector>

class TChangeLink;
class TCustomImageList;
class TStatusBar;
class TToolBar;

// ---------------------------------------------------------------------------
// TStatusPanel, TStatusPanels: the panels of a status bar; any change
// repaints the bar.

class TStatusPanel : public TCollectionItem {
  RTL_CLASS(TStatusPanel, TCollectionItem)
public:
  explicit TStatusPanel(TCollection* Collection);
  static void DescribeProperties(TPropertyTable& Props);
  // Text, width and alignment of another panel.
  void Assign(TPersistent* Source) override;

  // properties
  const String& Text() const { return FText; }
  void SetText(const String& Value);
  Integer Width() const { return FWidth; }
  void SetWidth(Integer Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);

protected:
  // The text.
  String GetDisplayName() override;

private:
  String FText;
  Integer FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
};

class TStatusPanels : public TCollection {
  RTL_CLASS(TStatusPanels, TCollection)
public:
  explicit TStatusPanels(TStatusBar* StatusBar);

  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int Index) const { return static_cast<TStatusPanel*>(TCollection::Items(Index)); }

protected:
  TPersistent* GetOwner() override;
  // Repaints the bar.
  void Update(TCollectionItem* Item) override;

private:
  TStatusBar* FStatusBar;
};

// ---------------------------------------------------------------------------
// TStatusBar: panels side by side from the left, each as wide as its Width
// and the last one reaching the right edge, each in a sunken frame with its
// text inset; SimplePanel shows SimpleText across the whole bar instead.
// SizeGrip draws the sizing grip in the bottom-right corner.

class TStatusBar : public TCustomControl {
  RTL_CLASS(TStatusBar, TCustomControl)
public:
  explicit TStatusBar(TComponent* AOwner);
  ~TStatusBar() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  TStatusPanels* Panels() const { return FPanels; }
  void SetPanels(TStatusPanels* Value) { FPanels->Assign(Value); }
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool Value);
  const String& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const String& Value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool Value);

  // The client rectangle of panel Index (the whole bar for SimplePanel).
  // EListError "List index out of bounds (%d)" outside the panels.
  TRect PanelRect(Integer Index);

protected:
  // reimplemented
  void Paint() override;

private:
  void drawPanel(TRect Rect, const String& Text, TAlignment Alignment);

  TStatusPanels* FPanels;
  bool FSimplePanel = false;
  String FSimpleText;
  bool FSizeGrip = true;
};

// ---------------------------------------------------------------------------
// TProgressBar: Position within Min .. Max (clamped on every change); a
// range with Max <= Min shows an empty bar.  Setting Position paints the
// window at once, so a busy GUI thread still shows the progress.

class TProgressBar : public TCustomControl {
  RTL_CLASS(TProgressBar, TCustomControl)
public:
  explicit TProgressBar(TComponent* AOwner);
  ~TProgressBar() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  Integer Min() const { return FMin; }
  void SetMin(Integer Value);
  Integer Max() const { return FMax; }
  void SetMax(Integer Value);
  Integer Position() const { return FPosition; }
  void SetPosition(Integer Value);
  Integer Step() const { return FStep; }
  void SetStep(Integer Value) { FStep = Value; }
  // False: blocks with gaps; True: one solid bar.
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  // Position + Step; past Max it wraps round to Min plus the excess.
  void StepIt();

protected:
  // reimplemented
  // A one-pixel sunken frame, a pixel of clBtnFace, then the part of the
  // inside that Position reaches in clHighlight: whole blocks two thirds of
  // the inside's height wide with 2-pixel gaps (the last one cut by the
  // frame), or, Smooth, one bar.
  void PaintWindow(gdi::HDC DC) override;

private:
  void rangeChanged();

  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPosition = 0;
  Integer FStep = 10;
  bool FSmooth = false;
};

// ---------------------------------------------------------------------------
// TToolButton: a button of a tool bar (graphic control), sized and placed by
// the bar.  It shows image ImageIndex of the bar's Images (disabled: the
// bar's DisabledImages, else the image greyed) and its Caption when the bar
// shows captions or there is no image.  On a flat bar the frame appears
// under the mouse (raised) and while pressed (sunken).  OnClick comes when
// the left button is released inside.  Separators and dividers are gaps; a
// divider shows an etched line in its middle.

RTL_ENUM(TToolButtonStyle, tbsButton, tbsSeparator, tbsDivider)

class TToolButton : public TGraphicControl {
  RTL_CLASS(TToolButton, TGraphicControl)
  UI_MESSAGE_MAP
public:
  explicit TToolButton(TComponent* AOwner);
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // -1: none.  A change repaints.
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  // A separator or divider gets the separator width when it was a button.
  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle Value);

  // The bar the button sits on (nullptr when its parent is no tool bar).
  TToolBar* ToolBar() const;

protected:
  // reimplemented
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // + ImageIndex.
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TControlActionLink* CreateActionLink() override;

  // message handlers
  void CMMouseEnter(TCMMouseEnter& Message);
  void CMMouseLeave(TCMMouseLeave& Message);
  void CMEnabledChanged(TMessage& Message);
  void CMTextChanged(TMessage& Message);
  // Input stops: the held button comes up without a click.
  void WMCancelMode(TMessage& Message);

private:
  friend class TToolBar;
  // An image of the bar's Images to show.
  bool hasImage() const;

  Integer FImageIndex = -1;
  TToolButtonStyle FStyle = tbsButton;
  TButtonMouse FMouse;
};

// ---------------------------------------------------------------------------
// TToolBar: lays out its visible children left to right from Indent in the
// order they were put on it (tool buttons ButtonWidth x ButtonHeight, wider
// when a caption needs it; separators and other controls their own width),
// wrapping to a new row of ButtonHeight when Wrapable and the next one does
// not fit.  AutoSize fits the height to the rows.

class TToolBar : public TCustomControl {
  RTL_CLASS(TToolBar, TCustomControl)
  UI_MESSAGE_MAP
public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;
  static void DescribeProperties(TPropertyTable& Props);

  // properties
  // The buttons' images (not owned); a change of the list repaints.
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // The disabled buttons' images; unassigned: Images greyed.
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value);
  Integer ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(Integer Value);
  Integer ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(Integer Value);
  // Captions under the images; every button as wide as the widest caption.
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  // The room left of the first control.
  Integer Indent() const { return FIndent; }
  void SetIndent(Integer Value);
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool Value);

  // The tool buttons in the order they were put on the bar.
  Integer ButtonCount() const;
  TToolButton* Buttons(Integer Index) const;

protected:
  // reimplemented
  void Paint() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // message handlers
  // Keeps the order the children came in.
  void CMControlChange(TMessage& Message);

private:
  friend class TToolButton;
  // Places the visible children inside Rect (when Place) and answers the
  // height the rows take.
  Integer arrange(const TRect& Rect, bool Place);
  // The largest caption extent of the visible buttons (Only: of that one).
  TSize captionExtent(TToolButton* Only);
  TSize buttonSize(TToolButton* Button, TSize WidestCaption);
  void imagesChanged(TObject* Sender);
  void setImageList(TCustomImageList*& Field, TChangeLink* Link, TCustomImageList* Value);

  std::vector<TControl*> FOrder;  // the children, in the order they came
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  std::unique_ptr<TChangeLink> FImageLink;
  std::unique_ptr<TChangeLink> FDisabledImageLink;
  Integer FButtonWidth = 23;
  Integer FButtonHeight = 22;
  bool FShowCaptions = false;
  bool FFlat = false;
  Integer FIndent = 0;
  bool FWrapable = true;
};
