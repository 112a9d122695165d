// Style services: whether painters draw a themed look, and the themed
// drawing when they do.
//
// Every painter asks StyleServices()->Enabled() and takes its classic branch
// when it answers false, which the default instance always does: the classic
// looks are exact and deterministic, themed looks are not.  The
// base class TCustomStyleServices is that disabled instance: it draws
// nothing, answers false to every element query, passes system colours
// through and maps style colours to the classic system colours (tables in
// styles.cpp).  Tests of themed branches install TRecordingStyleServices with
// SetStyleServices; it is enabled, logs every drawing call and answers fixed
// sizes and colours.
//
// Elements
//   An element is named by a value of one of the TThemed* enumerations below
//   and described by GetElementDetails as {Element, Part, State}.  The first
//   two values of each enumeration (its "don't care" and root) are part 0,
//   state 0; the others form parts of consecutive states in the order listed,
//   parts counted from 1 and states within a part from 1 (so a check box
//   checked and hot is part 3, state 6 of teButton).
//
// Theme data (OpenThemeData and friends) is the flat form of the same
// services: a class name selects the element, part and state numbers are
// passed through, and the calls answer what the active services answer.
// Custom styles never run: IsCustomStyleActive is false and style hooks are
// accepted and ignored.
#pragma once

#include "platform/rtl/object.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/graphics.h"

#include <QStringList>

class TCustomImageList;

// ---------------------------------------------------------------------------
// the element catalogue

RTL_ENUM(TThemedElement, teButton, teComboBox, teEdit, teGrid, teHeader, teHint, teListView, teMenu, teMonthCal,
         teScrollBar, teSpin, teToolBar, teToolTip, teTreeview, teWindow)

// parts: push button 5, radio button 8, check box 12 states
RTL_ENUM(TThemedButton, tbButtonDontCare, tbButtonRoot, tbPushButtonNormal, tbPushButtonHot, tbPushButtonPressed,
         tbPushButtonDisabled, tbPushButtonDefaulted, tbRadioButtonUncheckedNormal, tbRadioButtonUncheckedHot,
         tbRadioButtonUncheckedPressed, tbRadioButtonUncheckedDisabled, tbRadioButtonCheckedNormal,
         tbRadioButtonCheckedHot, tbRadioButtonCheckedPressed, tbRadioButtonCheckedDisabled,
         tbCheckBoxUncheckedNormal, tbCheckBoxUncheckedHot, tbCheckBoxUncheckedPressed, tbCheckBoxUncheckedDisabled,
         tbCheckBoxCheckedNormal, tbCheckBoxCheckedHot, tbCheckBoxCheckedPressed, tbCheckBoxCheckedDisabled,
         tbCheckBoxMixedNormal, tbCheckBoxMixedHot, tbCheckBoxMixedPressed, tbCheckBoxMixedDisabled)
// parts: drop-down button 4, read-only face 4
RTL_ENUM(TThemedComboBox, tcComboBoxDontCare, tcComboBoxRoot, tcDropDownButtonNormal, tcDropDownButtonHot,
         tcDropDownButtonPressed, tcDropDownButtonDisabled, tcReadOnlyNormal, tcReadOnlyHot, tcReadOnlyPressed,
         tcReadOnlyDisabled)
// parts: text 6
RTL_ENUM(TThemedEdit, teEditDontCare, teEditRoot, teEditTextNormal, teEditTextHot, teEditTextSelected,
         teEditTextDisabled, teEditTextFocused, teEditTextReadOnly)
// parts: cell 2, fixed cell 3, classic cell 2, classic fixed cell 3,
// gradient cell 2, gradient fixed cell 3
RTL_ENUM(TThemedGrid, tgGridDontCare, tgGridRoot, tgCellNormal, tgCellSelected, tgFixedCellNormal, tgFixedCellHot,
         tgFixedCellPressed, tgClassicCellNormal, tgClassicCellSelected, tgClassicFixedCellNormal,
         tgClassicFixedCellHot, tgClassicFixedCellPressed, tgGradientCellNormal, tgGradientCellSelected,
         tgGradientFixedCellNormal, tgGradientFixedCellHot, tgGradientFixedCellPressed)
// parts: item 3, sort arrow 2
RTL_ENUM(TThemedHeader, thHeaderDontCare, thHeaderRoot, thHeaderItemNormal, thHeaderItemHot, thHeaderItemPressed,
         thHeaderSortArrowSortedUp, thHeaderSortArrowSortedDown)
// parts: hint 1, balloon 1
RTL_ENUM(TThemedHint, thHintDontCare, thHintRoot, thHintNormal, thHintBalloon)
// parts: item 5, group header 8
RTL_ENUM(TThemedListView, tlListviewDontCare, tlListviewRoot, tlListItemNormal, tlListItemHot, tlListItemSelected,
         tlListItemDisabled, tlListItemSelectedNotFocus, tlGroupHeaderOpen, tlGroupHeaderOpenHot,
         tlGroupHeaderOpenSelected, tlGroupHeaderOpenSelectedHot, tlGroupHeaderClose, tlGroupHeaderCloseHot,
         tlGroupHeaderCloseSelected, tlGroupHeaderCloseSelectedHot)
// parts: popup border 1, separator 1, check mark 2
RTL_ENUM(TThemedMenu, tmMenuDontCare, tmMenuRoot, tmPopupBorders, tmPopupSeparator, tmPopupCheckMarkNormal,
         tmPopupCheckMarkDisabled)
// parts: cell background 5
RTL_ENUM(TThemedMonthCal, tmcMonthCalDontCare, tmcMonthCalRoot, tmcGridCellBackgroundSelected,
         tmcGridCellBackgroundHot, tmcGridCellBackgroundSelectedHot, tmcGridCellBackgroundSelectedNotFocused,
         tmcGridCellBackgroundToday)
// parts: size box 2
RTL_ENUM(TThemedScrollBar, tsScrollBarDontCare, tsScrollBarRoot, tsSizeBoxRightAlign, tsSizeBoxLeftAlign)
// parts: up 4, down 4
RTL_ENUM(TThemedSpin, tsSpinDontCare, tsSpinRoot, tsUpNormal, tsUpHot, tsUpPressed, tsUpDisabled, tsDownNormal,
         tsDownHot, tsDownPressed, tsDownDisabled)
// parts: button 6, split button 6, its drop-down half 6
RTL_ENUM(TThemedToolBar, ttbToolBarDontCare, ttbToolBarRoot, ttbButtonNormal, ttbButtonHot, ttbButtonPressed,
         ttbButtonDisabled, ttbButtonChecked, ttbButtonCheckedHot, ttbSplitButtonNormal, ttbSplitButtonHot,
         ttbSplitButtonPressed, ttbSplitButtonDisabled, ttbSplitButtonChecked, ttbSplitButtonCheckedHot,
         ttbSplitButtonDropDownNormal, ttbSplitButtonDropDownHot, ttbSplitButtonDropDownPressed,
         ttbSplitButtonDropDownDisabled, ttbSplitButtonDropDownChecked, ttbSplitButtonDropDownCheckedHot)
// parts: standard 2, close button 3
RTL_ENUM(TThemedToolTip, tttToolTipDontCare, tttToolTipRoot, tttStandardNormal, tttStandardLink, tttCloseNormal,
         tttCloseHot, tttClosePressed)
// parts: glyph 2
RTL_ENUM(TThemedTreeview, ttTreeviewDontCare, ttTreeviewRoot, ttGlyphClosed, ttGlyphOpened)
// parts: small caption 3, small frame left 2, right 2, bottom 2, small close button 4
RTL_ENUM(TThemedWindow, twWindowDontCare, twWindowRoot, twSmallCaptionActive, twSmallCaptionInactive,
         twSmallCaptionDisabled, twSmallFrameLeftActive, twSmallFrameLeftInactive, twSmallFrameRightActive,
         twSmallFrameRightInactive, twSmallFrameBottomActive, twSmallFrameBottomInactive, twSmallCloseButtonNormal,
         twSmallCloseButtonHot, twSmallCloseButtonPushed, twSmallCloseButtonDisabled)

struct TThemedElementDetails {
  TThemedElement Element = teButton;
  Integer Part = 0;
  Integer State = 0;
  friend bool operator==(const TThemedElementDetails&, const TThemedElementDetails&) = default;
};

// ---------------------------------------------------------------------------
// what can be asked

RTL_ENUM(TElementSize, esMinimum, esActual, esStretch)
// In the order of the theme colour properties TMT_BORDERCOLOR (3801) ...
// TMT_GRADIENTCOLOR2 (3811).
RTL_ENUM(TElementColor, ecBorderColor, ecFillColor, ecTextColor, ecEdgeLightColor, ecEdgeHighLightColor,
         ecEdgeShadowColor, ecEdgeDkShadowColor, ecEdgeFillColor, ecTransparentColor, ecGradientColor1,
         ecGradientColor2)
RTL_ENUM(TElementEdge, eeRaisedOuter, eeSunkenOuter, eeRaisedInner, eeSunkenInner)
using TElementEdges = TSet<TElementEdge>;
RTL_ENUM(TElementEdgeFlag, efLeft, efTop, efRight, efBottom, efMiddle, efAdjust, efFlat, efMono)
using TElementEdgeFlags = TSet<TElementEdgeFlag>;

RTL_ENUM(TStyleColor, scBorder, scButtonDisabled, scButtonFocused, scButtonHot, scButtonNormal, scButtonPressed,
         scComboBox, scComboBoxDisabled, scEdit, scEditDisabled, scGrid, scGenericBackground, scGenericGradientBase,
         scGenericGradientEnd, scHintGradientBase, scHintGradientEnd, scListBox, scListBoxDisabled, scListView,
         scPanel, scPanelDisabled, scSplitter, scToolBarGradientBase, scToolBarGradientEnd, scTreeView, scWindow)
RTL_ENUM(TStyleFont, sfButtonTextDisabled, sfButtonTextFocused, sfButtonTextHot, sfButtonTextNormal,
         sfButtonTextPressed, sfEditBoxTextDisabled, sfEditBoxTextFocused, sfEditBoxTextHot, sfEditBoxTextNormal,
         sfEditBoxTextSelected, sfGridItemFixedHot, sfGridItemFixedNormal, sfGridItemFixedPressed, sfGridItemNormal,
         sfGridItemSelected, sfHeaderSectionTextDisabled, sfHeaderSectionTextHot, sfHeaderSectionTextNormal,
         sfHeaderSectionTextPressed, sfListItemTextDisabled, sfListItemTextFocused, sfListItemTextHot,
         sfListItemTextNormal, sfListItemTextSelected, sfPanelTextDisabled, sfPanelTextNormal,
         sfTreeItemTextDisabled, sfTreeItemTextFocused, sfTreeItemTextHot, sfTreeItemTextNormal,
         sfTreeItemTextSelected, sfWindowTextDisabled, sfWindowTextNormal)

// ---------------------------------------------------------------------------
// the services

class TCustomStyleServices {
public:
  virtual ~TCustomStyleServices() = default;

  // state
  virtual bool Enabled() const { return false; }
  virtual bool Available() const { return false; }
  // The platform's own look rather than a custom style (always true: no
  // custom style ever runs).
  virtual bool IsSystemStyle() const { return true; }

  // colours
  // Color as the style shows it: unchanged unless a custom style runs.
  virtual TColor GetSystemColor(TColor Color) const { return Color; }
  // The classic system colour for each value (clWindow for scGrid ...).
  virtual TColor GetStyleColor(TStyleColor Color) const;
  // The classic text colour for each value (clHighlightText for sfGridItemSelected ...).
  virtual TColor GetStyleFontColor(TStyleFont Font) const;

  // elements (numbering at the top)
  TThemedElementDetails GetElementDetails(TThemedButton Detail) const;
  TThemedElementDetails GetElementDetails(TThemedComboBox Detail) const;
  TThemedElementDetails GetElementDetails(TThemedEdit Detail) const;
  TThemedElementDetails GetElementDetails(TThemedGrid Detail) const;
  TThemedElementDetails GetElementDetails(TThemedHeader Detail) const;
  TThemedElementDetails GetElementDetails(TThemedHint Detail) const;
  TThemedElementDetails GetElementDetails(TThemedListView Detail) const;
  TThemedElementDetails GetElementDetails(TThemedMenu Detail) const;
  TThemedElementDetails GetElementDetails(TThemedMonthCal Detail) const;
  TThemedElementDetails GetElementDetails(TThemedScrollBar Detail) const;
  TThemedElementDetails GetElementDetails(TThemedSpin Detail) const;
  TThemedElementDetails GetElementDetails(TThemedToolBar Detail) const;
  TThemedElementDetails GetElementDetails(TThemedToolTip Detail) const;
  TThemedElementDetails GetElementDetails(TThemedTreeview Detail) const;
  TThemedElementDetails GetElementDetails(TThemedWindow Detail) const;

  // element queries; false: the style has no answer (the out values stay)
  virtual bool IsElementDefined(const TThemedElementDetails& Details) const { return false; }
  virtual bool HasTransparentParts(const TThemedElementDetails& Details) const { return false; }
  virtual bool GetElementSize(gdi::HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize,
                              TSize& Size) const {
    return false;
  }
  virtual bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor,
                               TColor& Color) const {
    return false;
  }
  virtual bool GetElementContentRect(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                                     TRect& ContentRect) const {
    return false;
  }

  // drawing; each answers whether it drew (ClipRect, Bounds: nullptr = none)
  virtual bool DrawElement(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& R,
                           const TRect* ClipRect = nullptr) {
    return false;
  }
  virtual bool DrawParentBackground(gdi::HWND Window, gdi::HDC DC, const TThemedElementDetails* Details,
                                    bool OnlyIfTransparent, const TRect* Bounds = nullptr) {
    return false;
  }
  // ContentRect, when given, receives the rectangle inside the edge.
  virtual bool DrawEdge(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementEdges Edges,
                        TElementEdgeFlags Flags, TRect* ContentRect = nullptr) {
    return false;
  }
  // Format: DT_* flags of gdi::DrawText; Color clNone: the element's own.
  virtual bool DrawText(gdi::HDC DC, const TThemedElementDetails& Details, const String& Text, TRect& R,
                        gdi::UINT Format, TColor Color = clNone) {
    return false;
  }
  // Image Index of Images as the element's icon inside R.
  virtual bool DrawIcon(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& R, TCustomImageList* Images,
                        int Index) {
    return false;
  }
};

// The active services (the disabled default unless a test installed others).
TCustomStyleServices* StyleServices();
// Makes Services the active ones (not owned; they must outlive their use)
// and answers the previous ones; nullptr restores the default.  For tests.
TCustomStyleServices* SetStyleServices(TCustomStyleServices* Services);

// The recording fake: enabled, the system style, every element defined and
// opaque.  Each drawing call appends one line to Calls and answers true:
//   DrawElement(teButton,3,5,(0,0,13,13))[ clip=(l,t,r,b)]
//   DrawParentBackground(teGrid,1,1,onlyIfTransparent=0)[ bounds=(l,t,r,b)]
//   DrawEdge(teHeader,1,1,(l,t,r,b),edges=$5,flags=$F)
//   DrawText(teGrid,1,1,"text",(l,t,r,b),format=$24,color=$1FFFFFFF)
//   DrawIcon(teButton,1,1,(l,t,r,b),index=2)
// (DrawParentBackground without details shows "none" for them; edges and flags
// are the sets' bits.)  Element sizes are 13 x 13, the content rectangle is
// the bounding one 2 pixels in, element colours come from a fixed table
// (ElementColorOf), and style colours are $00100000 + the TStyleColor value,
// font colours $00200000 + the TStyleFont value, so a test can tell which
// was asked for.
class TRecordingStyleServices : public TCustomStyleServices {
public:
  static constexpr int ElementSize = 13;
  static TColor ElementColorOf(TElementColor ElementColor);

  bool Enabled() const override { return true; }
  bool Available() const override { return true; }
  TColor GetStyleColor(TStyleColor Color) const override { return TColor(0x00100000 + Color); }
  TColor GetStyleFontColor(TStyleFont Font) const override { return TColor(0x00200000 + Font); }
  bool IsElementDefined(const TThemedElementDetails& Details) const override { return true; }
  bool GetElementSize(gdi::HDC DC, const TThemedElementDetails& Details, TElementSize ElementSize,
                      TSize& Size) const override;
  bool GetElementColor(const TThemedElementDetails& Details, TElementColor ElementColor,
                       TColor& Color) const override;
  bool GetElementContentRect(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& BoundingRect,
                             TRect& ContentRect) const override;
  bool DrawElement(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& R,
                   const TRect* ClipRect = nullptr) override;
  bool DrawParentBackground(gdi::HWND Window, gdi::HDC DC, const TThemedElementDetails* Details,
                            bool OnlyIfTransparent, const TRect* Bounds = nullptr) override;
  bool DrawEdge(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& R, TElementEdges Edges,
                TElementEdgeFlags Flags, TRect* ContentRect = nullptr) override;
  bool DrawText(gdi::HDC DC, const TThemedElementDetails& Details, const String& Text, TRect& R, gdi::UINT Format,
                TColor Color = clNone) override;
  bool DrawIcon(gdi::HDC DC, const TThemedElementDetails& Details, const TRect& R, TCustomImageList* Images,
                int Index) override;

  QStringList Calls;
};

// ---------------------------------------------------------------------------
// custom styles and style hooks (never active)

class TStyleEngine {
public:
  // Accepted and forgotten: without custom styles no hook is ever made.
  void RegisterStyleHook(TClass ControlClass, TClass StyleHookClass) {}
  void UnRegisterStyleHook(TClass ControlClass, TClass StyleHookClass) {}
};

class TStyleManager {
public:
  static bool IsCustomStyleActive() { return false; }
  static TStyleEngine& Engine();
};

// ---------------------------------------------------------------------------
// theme data: the flat calls

namespace gdi {

struct HTHEME__;
using HTHEME = HTHEME__*;
using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0, E_FAIL = HRESULT(0x80004005);

// THEMESIZE: esMinimum, esActual, esStretch.
inline constexpr int TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2;
inline constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803, TMT_EDGEFILLCOLOR = 3808,
                     TMT_GRADIENTCOLOR1 = 3810, TMT_GRADIENTCOLOR2 = 3811;

// Theme data for the first class of ClassList (';'-separated; a prefix such
// as "Explorer::" is ignored; names of the elements above without "te",
// any case: "Treeview", "Button", "Header" ...), or 0 when the services are
// disabled or no class is known.  Window is unused.  Nothing to free: the
// handle names the element.
HTHEME OpenThemeData(HWND Window, const Char* ClassList);
HRESULT CloseThemeData(HTHEME Theme);
// GetElementSize of the active services for (element, Part, State).
HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const RECT* Rect, int SizeKind, SIZE* Size);
// DrawElement of the active services.
HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT* Rect, const RECT* ClipRect);
// GetElementColor for a colour property TMT_BORDERCOLOR .. TMT_GRADIENTCOLOR2,
// as an RGB value.
HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF* Color);

}  // namespace gdi
