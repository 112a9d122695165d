#include "platform/ui/graphics/styles.h"

#include "platform/ui/graphics/graphicsstate_p.h"

#include <array>
#include <cassert>
#include <initializer_list>

namespace {

// Details of value Value of an element's enumeration: the first two values
// are part 0, state 0; then parts of StatesPerPart[i] consecutive states.
TThemedElementDetails detailsOf(TThemedElement Element, int Value, std::initializer_list<int> StatesPerPart) {
  int Index = Value - 2;
  if (Index < 0) return {Element, 0, 0};
  int Part = 1;
  for (const int States : StatesPerPart) {
    if (Index < States) return {Element, Part, Index + 1};
    Index -= States;
    ++Part;
  }
  assert(false && "element value past its parts");
  return {Element, 0, 0};
}

// The classic colours of the style colours and fonts.
constexpr std::array<TColor, scWindow + 1> ClassicStyleColors = {
    clWindowFrame,  // scBorder
    clBtnFace,      // scButtonDisabled
    clBtnFace,      // scButtonFocused
    clBtnFace,      // scButtonHot
    clBtnFace,      // scButtonNormal
    clBtnFace,      // scButtonPressed
    clWindow,       // scComboBox
    clBtnFace,      // scComboBoxDisabled
    clWindow,       // scEdit
    clBtnFace,      // scEditDisabled
    clWindow,       // scGrid
    clBtnFace,      // scGenericBackground
    clBtnFace,      // scGenericGradientBase
    clBtnFace,      // scGenericGradientEnd
    clInfoBk,       // scHintGradientBase
    clInfoBk,       // scHintGradientEnd
    clWindow,       // scListBox
    clBtnFace,      // scListBoxDisabled
    clWindow,       // scListView
    clBtnFace,      // scPanel
    clBtnFace,      // scPanelDisabled
    clBtnFace,      // scSplitter
    clBtnFace,      // scToolBarGradientBase
    clBtnFace,      // scToolBarGradientEnd
    clWindow,       // scTreeView
    clBtnFace,      // scWindow
};

constexpr std::array<TColor, sfWindowTextNormal + 1> ClassicFontColors = {
    clGrayText,       // sfButtonTextDisabled
    clBtnText,        // sfButtonTextFocused
    clBtnText,        // sfButtonTextHot
    clBtnText,        // sfButtonTextNormal
    clBtnText,        // sfButtonTextPressed
    clGrayText,       // sfEditBoxTextDisabled
    clWindowText,     // sfEditBoxTextFocused
    clWindowText,     // sfEditBoxTextHot
    clWindowText,     // sfEditBoxTextNormal
    clHighlightText,  // sfEditBoxTextSelected
    clBtnText,        // sfGridItemFixedHot
    clBtnText,        // sfGridItemFixedNormal
    clBtnText,        // sfGridItemFixedPressed
    clWindowText,     // sfGridItemNormal
    clHighlightText,  // sfGridItemSelected
    clGrayText,       // sfHeaderSectionTextDisabled
    clBtnText,        // sfHeaderSectionTextHot
    clBtnText,        // sfHeaderSectionTextNormal
    clBtnText,        // sfHeaderSectionTextPressed
    clGrayText,       // sfListItemTextDisabled
    clWindowText,     // sfListItemTextFocused
    clWindowText,     // sfListItemTextHot
    clWindowText,     // sfListItemTextNormal
    clHighlightText,  // sfListItemTextSelected
    clGrayText,       // sfPanelTextDisabled
    clBtnText,        // sfPanelTextNormal
    clGrayText,       // sfTreeItemTextDisabled
    clWindowText,     // sfTreeItemTextFocused
    clWindowText,     // sfTreeItemTextHot
    clWindowText,     // sfTreeItemTextNormal
    clHighlightText,  // sfTreeItemTextSelected
    clGrayText,       // sfWindowTextDisabled
    clWindowText,     // sfWindowTextNormal
};

// The fake's element colours, by TElementColor.
constexpr std::array<TColor, ecGradientColor2 + 1> RecordedElementColors = {
    0x00404040,  // ecBorderColor
    0x00F0E0D0,  // ecFillColor
    0x00102030,  // ecTextColor
    0x00E0E0E0,  // ecEdgeLightColor
    0x00FFFFFF,  // ecEdgeHighLightColor
    0x00A0A0A0,  // ecEdgeShadowColor
    0x00696969,  // ecEdgeDkShadowColor
    0x00D0E0F0,  // ecEdgeFillColor
    0x00FF00FF,  // ecTransparentColor
    0x00FFF0E0,  // ecGradientColor1
    0x00C0B0A0,  // ecGradientColor2
};

constexpr int ContentInset = 2;

String rectText(const TRect& R) {
  return QStringLiteral("(%1,%2,%3,%4)").arg(R.Left).arg(R.Top).arg(R.Right).arg(R.Bottom);
}

String detailsText(const TThemedElementDetails& D) {
  return QStringLiteral("%1,%2,%3").arg(GetEnumName(EnumTypeInfo(D.Element), D.Element)).arg(D.Part).arg(D.State);
}

String hexText(UInt64 Value) { return QStringLiteral("$%1").arg(Value, 0, 16).toUpper(); }

}  // namespace

// The default services stay for the life of the state: SetStyleServices hands
// them out as the previous services to put back.
struct graphics_detail::TStyleState {
  TCustomStyleServices Default;
  TCustomStyleServices* Active = nullptr;  // none: the default
  TStyleEngine Engine;

  void Reset() { Active = nullptr; }
};

namespace {

TCustomStyleServices*& activeServices() { return GraphicsState().Styles.Get().Active; }

}  // namespace

// ---------------------------------------------------------------------------
// TCustomStyleServices

TColor TCustomStyleServices::GetStyleColor(TStyleColor Color) const { return ClassicStyleColors.at(Color); }

TColor TCustomStyleServices::GetStyleFontColor(TStyleFont Font) const { return ClassicFontColors.at(Font); }

TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedButton Detail) const {
  return detailsOf(teButton, Detail, {5, 8, 12});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedComboBox Detail) const {
  return detailsOf(teComboBox, Detail, {4, 4});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedEdit Detail) const {
  return detailsOf(teEdit, Detail, {6});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedGrid Detail) const {
  return detailsOf(teGrid, Detail, {2, 3, 2, 3, 2, 3});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedHeader Detail) const {
  return detailsOf(teHeader, Detail, {3, 2});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedHint Detail) const {
  return detailsOf(teHint, Detail, {1, 1});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedListView Detail) const {
  return detailsOf(teListView, Detail, {5, 8});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedMenu Detail) const {
  return detailsOf(teMenu, Detail, {1, 1, 2});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedMonthCal Detail) const {
  return detailsOf(teMonthCal, Detail, {5});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedScrollBar Detail) const {
  return detailsOf(teScrollBar, Detail, {2});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedSpin Detail) const {
  return detailsOf(teSpin, Detail, {4, 4});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedToolBar Detail) const {
  return detailsOf(teToolBar, Detail, {6, 6, 6});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedToolTip Detail) const {
  return detailsOf(teToolTip, Detail, {2, 3});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedTreeview Detail) const {
  return detailsOf(teTreeview, Detail, {2});
}
TThemedElementDetails TCustomStyleServices::GetElementDetails(TThemedWindow Detail) const {
  return detailsOf(teWindow, Detail, {3, 2, 2, 2, 4});
}

TCustomStyleServices* StyleServices() {
  graphics_detail::TStyleState& State = GraphicsState().Styles.Get();
  return State.Active ? State.Active : &State.Default;
}

TCustomStyleServices* SetStyleServices(TCustomStyleServices* Services) {
  TCustomStyleServices* Previous = StyleServices();
  activeServices() = Services;
  return Previous;
}

// ---------------------------------------------------------------------------
// TRecordingStyleServices

TColor TRecordingStyleServices::ElementColorOf(TElementColor ElementColor) {
  return RecordedElementColors.at(ElementColor);
}

bool TRecordingStyleServices::GetElementSize(gdi::HDC, const TThemedElementDetails&, TElementSize,
                                             TSize& Size) const {
  Size = {ElementSize, ElementSize};
  return true;
}

bool TRecordingStyleServices::GetElementColor(const TThemedElementDetails&, TElementColor ElementColor,
                                              TColor& Color) const {
  Color = ElementColorOf(ElementColor);
  return true;
}

bool TRecordingStyleServices::GetElementContentRect(gdi::HDC, const TThemedElementDetails&,
                                                    const TRect& BoundingRect, TRect& ContentRect) const {
  ContentRect = {BoundingRect.Left + ContentInset, BoundingRect.Top + ContentInset,
                 BoundingRect.Right - ContentInset, BoundingRect.Bottom - ContentInset};
  return true;
}

bool TRecordingStyleServices::DrawElement(gdi::HDC, const TThemedElementDetails& Details, const TRect& R,
                                          const TRect* ClipRect) {
  String Line = QStringLiteral("DrawElement(%1,%2)").arg(detailsText(Details), rectText(R));
  if (ClipRect) Line += QStringLiteral(" clip=") + rectText(*ClipRect);
  Calls << Line;
  return true;
}

bool TRecordingStyleServices::DrawParentBackground(gdi::HWND, gdi::HDC, const TThemedElementDetails* Details,
                                                   bool OnlyIfTransparent, const TRect* Bounds) {
  String Line = QStringLiteral("DrawParentBackground(%1,onlyIfTransparent=%2)")
                    .arg(Details ? detailsText(*Details) : QStringLiteral("none"))
                    .arg(OnlyIfTransparent ? 1 : 0);
  if (Bounds) Line += QStringLiteral(" bounds=") + rectText(*Bounds);
  Calls << Line;
  return true;
}

bool TRecordingStyleServices::DrawEdge(gdi::HDC, const TThemedElementDetails& Details, const TRect& R,
                                       TElementEdges Edges, TElementEdgeFlags Flags, TRect* ContentRect) {
  Calls << QStringLiteral("DrawEdge(%1,%2,edges=%3,flags=%4)")
               .arg(detailsText(Details), rectText(R), hexText(Edges.Bits()), hexText(Flags.Bits()));
  if (ContentRect) GetElementContentRect(nullptr, Details, R, *ContentRect);
  return true;
}

bool TRecordingStyleServices::DrawText(gdi::HDC, const TThemedElementDetails& Details, const String& Text,
                                       TRect& R, gdi::UINT Format, TColor Color) {
  Calls << QStringLiteral("DrawText(%1,\"%2\",%3,format=%4,color=%5)")
               .arg(detailsText(Details), Text, rectText(R), hexText(Format), hexText(Cardinal(Color)));
  return true;
}

bool TRecordingStyleServices::DrawIcon(gdi::HDC, const TThemedElementDetails& Details, const TRect& R,
                                       TCustomImageList*, int Index) {
  Calls << QStringLiteral("DrawIcon(%1,%2,index=%3)").arg(detailsText(Details), rectText(R)).arg(Index);
  return true;
}

// ---------------------------------------------------------------------------
// custom styles

TStyleEngine& TStyleManager::Engine() { return GraphicsState().Styles.Get().Engine; }

// ---------------------------------------------------------------------------
// theme data

namespace gdi {

namespace {

// A theme handle is the element's value + 1, so 0 stays "no theme".
HTHEME themeOf(TThemedElement Element) { return reinterpret_cast<HTHEME>(std::uintptr_t(Element) + 1); }

bool elementOf(HTHEME Theme, TThemedElement& Element) {
  const auto Value = reinterpret_cast<std::uintptr_t>(Theme);
  if (Value < 1 || Value > std::uintptr_t(teWindow) + 1) return false;
  Element = TThemedElement(Value - 1);
  return true;
}

// "Treeview" for teTreeview: the enumerator without its "te".
bool elementNamed(QStringView Name, TThemedElement& Element) {
  const TTypeInfo* Info = EnumTypeInfo(teButton);
  for (Integer Value = Info->MinValue(); Value <= Info->MaxValue(); ++Value)
    if (QStringView(Info->EnumNames[Value]).mid(2).compare(Name, Qt::CaseInsensitive) == 0) {
      Element = TThemedElement(Value);
      return true;
    }
  return false;
}

}  // namespace

HTHEME OpenThemeData(HWND, const Char* ClassList) {
  if (!ClassList || !StyleServices()->Enabled()) return nullptr;
  for (const QStringView Entry : QStringView(ClassList).split(u';')) {
    const qsizetype Scope = Entry.lastIndexOf(u"::");
    const QStringView Name = (Scope >= 0 ? Entry.mid(Scope + 2) : Entry).trimmed();
    TThemedElement Element;
    if (elementNamed(Name, Element)) return themeOf(Element);
  }
  return nullptr;
}

HRESULT CloseThemeData(HTHEME Theme) {
  TThemedElement Element;
  return elementOf(Theme, Element) ? S_OK : E_FAIL;
}

HRESULT GetThemePartSize(HTHEME Theme, HDC DC, int Part, int State, const RECT*, int SizeKind, SIZE* Size) {
  TThemedElement Element;
  if (!elementOf(Theme, Element) || !Size || SizeKind < TS_MIN || SizeKind > TS_DRAW) return E_FAIL;
  const bool Answered =
      StyleServices()->GetElementSize(DC, {Element, Part, State}, TElementSize(SizeKind), *Size);
  return Answered ? S_OK : E_FAIL;
}

HRESULT DrawThemeBackground(HTHEME Theme, HDC DC, int Part, int State, const RECT* Rect, const RECT* ClipRect) {
  TThemedElement Element;
  if (!elementOf(Theme, Element) || !Rect) return E_FAIL;
  return StyleServices()->DrawElement(DC, {Element, Part, State}, *Rect, ClipRect) ? S_OK : E_FAIL;
}

HRESULT GetThemeColor(HTHEME Theme, int Part, int State, int PropId, COLORREF* Color) {
  TThemedElement Element;
  if (!elementOf(Theme, Element) || !Color || PropId < TMT_BORDERCOLOR || PropId > TMT_GRADIENTCOLOR2) return E_FAIL;
  TColor Value = clNone;
  if (!StyleServices()->GetElementColor({Element, Part, State}, TElementColor(PropId - TMT_BORDERCOLOR), Value))
    return E_FAIL;
  *Color = COLORREF(ColorToRGB(Value));
  return S_OK;
}

}  // namespace gdi
