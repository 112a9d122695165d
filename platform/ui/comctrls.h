// Common controls: the status bar (painted by us) and the progress bar
// (drawn by a QProgressBar rendered into the control's window).
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/rtl/collection.h"
#include "platform/ui/controls.h"

#include <memory>

class QProgressBar;
class QWidget;
class TStatusBar;

// Draws Widget, a Qt control never shown on its own, at DC's origin: how the
// controls drawn by Qt widgets paint their windows.
void PaintWidget(gdi::HDC DC, QWidget* Widget);

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
  // Position + Step; past Max it wraps round to Min plus the excess.
  void StepIt();

protected:
  // reimplemented
  void PaintWindow(gdi::HDC DC) override;

private:
  void rangeChanged();

  Integer FMin = 0;
  Integer FMax = 100;
  Integer FPosition = 0;
  Integer FStep = 10;
  std::unique_ptr<QProgressBar> FBar;
};
