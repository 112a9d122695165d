#include "platform/ui/controls/edits.h"

#include "platform/rtl/strutils.h"
#include "platform/ui/controls/stdctrls.h"
#include "platform/ui/graphics/edges.h"
#include "platform/ui/graphics/metrics.h"
#include "platform/ui/graphics/textengine.h"
#include "platform/ui/windowing/beep.h"
#include "platform/ui/windowing/caret.h"
#include "platform/ui/windowing/clipbrd.h"
#include "platform/ui/windowing/dialogs.h"
#include "platform/ui/windowing/focus.h"
#include "platform/ui/windowing/inputrouter.h"
#include "platform/ui/windowing/menus.h"
#include "platform/ui/windowing/msgqueue.h"
#include "platform/ui/windowing/scrollinfo.h"
#include "platform/ui/windowing/window.h"

#include <climits>
#include <cstring>
#include <optional>

using namespace gdi;

namespace {

// Pixels between the client area's left, top and right sides and the text.
constexpr Integer DefaultMargin = 1;
constexpr Integer TopMargin = 1;
// Tab stops every 8 average character widths.
constexpr Integer TabChars = 8;
// The caret line's width.
constexpr Integer CaretWidth = 1;
// Lines a wheel notch scrolls a multi-line edit.
constexpr Integer WheelLines = 3;
// One notch of the wheel.
constexpr Integer WheelDelta = 120;
// What AutoSize adds to the font's height: the client edge, the border and
// the space above and below the text (with and without Ctl3D).
constexpr Integer AutoSizeExtra3D = 8;
constexpr Integer AutoSizeExtraFlat = 6;

// Control characters of WM_CHAR.
constexpr char16_t CtrlC = 3, Backspace = 8, Tab = 9, LineFeed = 10, Return = 13, CtrlV = 22, CtrlX = 24,
                   CtrlZ = 26, CtrlBackspace = 127;

constexpr DWORD AlignmentStyles[3] = {ES_LEFT, ES_RIGHT, ES_CENTER};
constexpr DWORD ScrollBarStyles[4] = {0, WS_HSCROLL, WS_VSCROLL, WS_HSCROLL | WS_VSCROLL};

// A font's advances and metrics, measured on the screen DC.
class TFontMeasurer final : public TTextMeasurer {
public:
  explicit TFontMeasurer(TFont* Font) : FDC(GetDC(nullptr)) {
    FOld = SelectObject(FDC, Font->Handle());
    TEXTMETRICW M;
    GetTextMetricsW(FDC, &M);
    FMetrics.Height = M.tmHeight;
    FMetrics.Ascent = M.tmAscent;
    FMetrics.Descent = M.tmDescent;
    FMetrics.InternalLeading = M.tmInternalLeading;
    FMetrics.ExternalLeading = M.tmExternalLeading;
    FMetrics.AveCharWidth = std::max<Integer>(1, M.tmAveCharWidth);
    FMetrics.MaxCharWidth = M.tmMaxCharWidth;
  }
  ~TFontMeasurer() override {
    SelectObject(FDC, FOld);
    ReleaseDC(nullptr, FDC);
  }
  TFontMeasurer(const TFontMeasurer&) = delete;
  TFontMeasurer& operator=(const TFontMeasurer&) = delete;

  const TTextFontMetrics& Metrics() const override { return FMetrics; }
  void GetAdvances(QStringView Text, Integer* Advances) const override {
    const int N = int(Text.size());
    if (N == 0) return;
    std::vector<int> Extents(size_t(N), 0);
    GetTextExtentExPointW(FDC, Text.data(), N, INT_MAX, nullptr, Extents.data(), nullptr);
    // Extents are additive: each unit's advance is the step of the running extent.
    for (int I = 0, Previous = 0; I < N; ++I) {
      Advances[I] = Extents[size_t(I)] - Previous;
      Previous = Extents[size_t(I)];
    }
  }
  Integer TabWidth() const { return TabChars * FMetrics.AveCharWidth; }

private:
  HDC FDC;
  HGDIOBJ FOld;
  TTextFontMetrics FMetrics;
};

// The offsets of Line's units in Shown (TEditBuffer::LineOffsets).
void offsetsOf(const String& Shown, const TEditLine& Line, const TFontMeasurer& M, std::vector<Integer>& Offsets) {
  TEditBuffer::LineOffsets(QStringView(Shown).mid(Line.Start, Line.Length), M, M.TabWidth(), Offsets);
}

// Text up to its first line break: what a single-line edit pastes.
String firstLine(const String& Text) {
  for (qsizetype I = 0; I < Text.size(); ++I)
    if (Text[I] == u'\r' || Text[I] == u'\n') return Text.left(I);
  return Text;
}

// The text a message's LParam points to (nullptr: none), its line breaks
// made CR LF for a multi-line edit.
String messageText(LPARAM LParam, bool MultiLine) {
  const auto* Raw = reinterpret_cast<const Char*>(LParam);
  const String Value = Raw ? String(Raw) : String();
  return MultiLine ? AdjustLineBreaks(Value) : Value;
}

bool isControlUnit(QChar C) { return C.unicode() < 0x20; }

Integer floorDiv(Integer A, Integer B) { return A >= 0 ? A / B : -((-A + B - 1) / B); }

}  // namespace

// What the edit shows: the layout of its lines and the scrolled view on them.
struct TCustomEdit::TView {
  std::vector<TEditLine> Lines;
  bool LinesValid = false;
  std::vector<TEditLine> Hard;  // the hard lines, kept for Lines' indexed reads
  bool HardValid = false;
  Integer TopLine = 0;  // the first line shown (multi-line)
  Integer ScrollX = 0;  // pixels the text is scrolled to the left
  TRect Rect;           // EM_SETRECT's formatting rectangle
  bool RectSet = false;
  Integer LeftMargin = DefaultMargin;
  Integer RightMargin = DefaultMargin;
  Integer LineHeight = 0;  // the font's; 0: not measured since the last font change
  Integer CharWidth = 0;   // the font's average character width
};

// ---------------------------------------------------------------------------
// TCustomEdit

const TMessageMap& TCustomEdit::MessageMap() {
  static const TMessageMap Map(TWinControl::MessageMap(), {
      {WM_PAINT, &TCustomEdit::WMPaint},
      {WM_GETTEXT, &TCustomEdit::WMGetText},
      {WM_GETTEXTLENGTH, &TCustomEdit::WMGetTextLength},
      {WM_SETTEXT, &TCustomEdit::WMSetText},
      {WM_CUT, &TCustomEdit::WMCut},
      {WM_COPY, &TCustomEdit::WMCopy},
      {WM_PASTE, &TCustomEdit::WMPaste},
      {WM_CLEAR, &TCustomEdit::WMClear},
      {WM_UNDO, &TCustomEdit::WMUndo},
      {EM_UNDO, &TCustomEdit::WMUndo},
      {WM_KEYDOWN, &TCustomEdit::WMKeyDown},
      {WM_CHAR, &TCustomEdit::WMChar},
      {WM_GETDLGCODE, &TCustomEdit::WMGetDlgCode},
      {WM_SETFOCUS, &TCustomEdit::WMSetFocus},
      {WM_KILLFOCUS, &TCustomEdit::WMKillFocus},
      {WM_SETREDRAW, &TCustomEdit::WMSetRedraw},
      {WM_SIZE, &TCustomEdit::WMSize},
      {WM_CANCELMODE, &TCustomEdit::WMCancelMode},
      {EM_GETSEL, &TCustomEdit::EMGetSel},
      {EM_SETSEL, &TCustomEdit::EMSetSel},
      {EM_REPLACESEL, &TCustomEdit::EMReplaceSel},
      {EM_GETRECT, &TCustomEdit::EMGetRect},
      {EM_SETRECT, &TCustomEdit::EMSetRect},
      {EM_SETRECTNP, &TCustomEdit::EMSetRectNP},
      {EM_SETMARGINS, &TCustomEdit::EMSetMargins},
      {EM_GETMARGINS, &TCustomEdit::EMGetMargins},
      {EM_SCROLLCARET, &TCustomEdit::EMScrollCaret},
      {EM_GETFIRSTVISIBLELINE, &TCustomEdit::EMGetFirstVisibleLine},
      {EM_CANUNDO, &TCustomEdit::EMCanUndo},
      {EM_EMPTYUNDOBUFFER, &TCustomEdit::EMEmptyUndoBuffer},
      {EM_GETMODIFY, &TCustomEdit::EMGetModify},
      {EM_SETMODIFY, &TCustomEdit::EMSetModify},
      {EM_GETLINECOUNT, &TCustomEdit::EMGetLineCount},
      {EM_LINEINDEX, &TCustomEdit::EMLineIndex},
      {EM_LINEFROMCHAR, &TCustomEdit::EMLineFromChar},
      {EM_LINELENGTH, &TCustomEdit::EMLineLength},
      {EM_GETLINE, &TCustomEdit::EMGetLine},
      {EM_POSFROMCHAR, &TCustomEdit::EMPosFromChar},
      {EM_CHARFROMPOS, &TCustomEdit::EMCharFromPos},
      {EM_LIMITTEXT, &TCustomEdit::EMLimitText},
      {EM_SETREADONLY, &TCustomEdit::EMSetReadOnly},
      {EM_SETPASSWORDCHAR, &TCustomEdit::EMSetPasswordChar},
      {EM_SCROLL, &TCustomEdit::EMScroll},
      {EM_LINESCROLL, &TCustomEdit::EMLineScroll},
      {CN_COMMAND, &TCustomEdit::CNCommand},
      {CM_FONTCHANGED, &TCustomEdit::CMFontChanged},
      {CM_ENABLEDCHANGED, &TCustomEdit::CMEnabledChanged},
      {CM_COLORCHANGED, &TCustomEdit::CMColorChanged},
      {CM_CTL3DCHANGED, &TCustomEdit::CMCtl3DChanged},
  });
  return Map;
}

TCustomEdit::TCustomEdit(TComponent* AOwner)
    : TWinControl(AOwner), FView(std::make_unique<TView>()), FCanvas(new TControlCanvas) {
  FCanvas->SetControl(this);
  SetParentColor(false);
  SetTabStop(true);
  SetBounds(0, 0, 121, 25);
  TWinControl::SetAutoSize(true);
  adjustHeight();
}

TCustomEdit::~TCustomEdit() { FCanvas->Free(); }

// ----- properties

void TCustomEdit::SetReadOnly(bool Value) { Perform(EM_SETREADONLY, Value ? 1 : 0, 0); }

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  const String Converted = TEditBuffer::ApplyCharCase(FBuffer.Text(), Value);
  if (Converted == FBuffer.Text()) return;
  const Integer Anchor = FBuffer.Anchor(), Caret = FBuffer.Caret();
  FBuffer.SelectAll();
  FBuffer.ReplaceSelection(Converted, TEditBuffer::TRecord::None);
  FBuffer.SetSelection(Anchor, Caret);
  changed();
}

void TCustomEdit::SetPasswordChar(Char Value) { Perform(EM_SETPASSWORDCHAR, WPARAM(Value.unicode()), 0); }

void TCustomEdit::SetAutoSize(bool Value) {
  if (AutoSize() == Value) return;
  TWinControl::SetAutoSize(Value);
  adjustHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  assert((Value == bsNone || Value == bsSingle) && "an edit's border is bsNone or bsSingle");
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
  adjustHeight();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
  updateView();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  updateView();
}

Integer TCustomEdit::SelStart() {
  DWORD Start = 0;
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
  return Integer(Start);
}

void TCustomEdit::SetSelStart(Integer Value) { Perform(EM_SETSEL, WPARAM(Value), LPARAM(Value)); }

Integer TCustomEdit::SelLength() {
  DWORD Start = 0, End = 0;
  Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return Integer(End) - Integer(Start);
}

void TCustomEdit::SetSelLength(Integer Value) { SetSel(SelStart(), Value); }

String TCustomEdit::SelText() { return FBuffer.SelText(); }

void TCustomEdit::SetSelText(const String& Value) {
  Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.utf16()));
}

bool TCustomEdit::CanUndo() { return Perform(EM_CANUNDO, 0, 0) != 0; }

// ----- methods

void TCustomEdit::SelectAll() { Perform(EM_SETSEL, 0, LPARAM(-1)); }

void TCustomEdit::SetSel(Integer Start, Integer Length) {
  const Integer From = std::max(0, Start);
  // Length may be MaxInt ("to the end"): the sum must not overflow.
  Perform(EM_SETSEL, WPARAM(From), LPARAM(From + std::min(std::max(0, Length), INT_MAX - From)));
}

void TCustomEdit::Clear() { SetText(String()); }
void TCustomEdit::ClearSelection() { Perform(WM_CLEAR, 0, 0); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { Perform(WM_UNDO, 0, 0); }
void TCustomEdit::ClearUndo() { Perform(EM_EMPTYUNDOBUFFER, 0, 0); }

// ----- introduced virtuals and the editing primitives

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

bool TCustomEdit::EditCanModify() { return true; }

bool TCustomEdit::canModify() { return !FReadOnly && EditCanModify(); }

bool TCustomEdit::ReplaceSelection(const String& Value) {
  if (!canModify()) return false;
  applyEdit(Value, TEditBuffer::TRecord::Edit);
  return true;
}

void TCustomEdit::applyEdit(const String& Value, TEditBuffer::TRecord Record) {
  if (FBuffer.ReplaceSelection(Value, Record)) {
    FModified = true;
    changed();
  } else {
    scrollToCaret();
    updateView();
  }
}

void TCustomEdit::changed() {
  layoutChanged();
  scrollToCaret();
  notifyChange();
}

void TCustomEdit::notifyChange() {
  const HWND Parent = HandleAllocated() ? GetParent(Handle()) : nullptr;
  if (!Parent) {
    Perform(CN_COMMAND, MAKEWPARAM(0, EN_CHANGE), 0);
    return;
  }
  const auto Id = WORD(GetWindowLong(Handle(), GWL_ID));
  SendMessage(Parent, WM_COMMAND, MAKEWPARAM(Id, EN_CHANGE), reinterpret_cast<LPARAM>(Handle()));
}

void TCustomEdit::CNCommand(TWMCommand& Message) {
  if (Message.NotifyCode == EN_CHANGE) Change();
}

void TCustomEdit::insertInput(const String& Value) {
  const String Fitted = FBuffer.FitInput(Value, FCharCase, FMaxLength);
  if (Fitted.isEmpty()) {
    if (!Value.isEmpty()) gdi::MessageBeep(MB_OK);  // the text is full
    return;
  }
  if (!canModify()) return;
  applyEdit(Fitted, TEditBuffer::TRecord::Typing);
}

void TCustomEdit::deleteKey(bool Back, bool Word) {
  Integer From = FBuffer.SelStart(), To = From + FBuffer.SelLength();
  if (From == To) {
    const Integer Caret = FBuffer.Caret();
    if (Back)
      From = Word ? FBuffer.WordLeft(Caret) : FBuffer.PrevPos(Caret);
    else
      To = Word ? FBuffer.WordRight(Caret) : FBuffer.NextPos(Caret);
  }
  if (From == To || !canModify()) return;
  FBuffer.SetSelection(From, To);
  applyEdit(String(), TEditBuffer::TRecord::Edit);
}

TRect TCustomEdit::FormatRect() {
  if (FView->RectSet) return FView->Rect;
  TRect R = ClientRect();
  R.Left += FView->LeftMargin;
  R.Right -= FView->RightMargin;
  R.Top += TopMargin;
  return {R.Left, R.Top, std::max(R.Left, R.Right), std::max(R.Top, R.Bottom)};
}

// ----- window

DWORD TCustomEdit::ownEditStyle() const { return ES_AUTOHSCROLL | AlignmentStyles[FAlignment]; }

DWORD TCustomEdit::EditStyle() const { return HandleAllocated() ? FEditStyle : ownEditStyle(); }

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= ownEditStyle();
  // Right-to-left alignment shows the text from the other side; centred
  // text stays centred.
  if (UseRightToLeftAlignment() && !(Params.Style & ES_CENTER)) Params.Style ^= ES_RIGHT;
  if (FBorderStyle == bsSingle) AddSingleBorderStyle(Params);
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FPasswordChar.unicode() != 0) Params.Style |= ES_PASSWORD;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
}

void TCustomEdit::CreateWindowHandle(const TCreateParams& Params) {
  constexpr DWORD EditStyleBits = ES_CENTER | ES_RIGHT | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
  FEditStyle = Params.Style & EditStyleBits;
  TWinControl::CreateWindowHandle(Params);
  layoutChanged();
}

void TCustomEdit::adjustHeight() {
  if (!AutoSize() || FBorderStyle != bsSingle || ComponentState().Contains(csLoading)) return;
  const Integer Extra = Ctl3D() ? AutoSizeExtra3D : AutoSizeExtraFlat;
  SetBounds(Left(), Top(), Width(), TFontMeasurer(Font()).Metrics().Height + Extra);
}

// ----- layout and view

String TCustomEdit::displayText() const {
  if (FPasswordChar.unicode() == 0 || IsMultiLine()) return FBuffer.Text();
  return String(FBuffer.Length(), FPasswordChar);
}

bool TCustomEdit::wraps() {
  if (!IsMultiLine() || (EditStyle() & ES_AUTOHSCROLL)) return false;
  return !HandleAllocated() || (DWORD(GetWindowLong(Handle(), GWL_STYLE)) & WS_HSCROLL) == 0;
}

const std::vector<TEditLine>& TCustomEdit::lines() {
  TView& V = *FView;
  if (V.LinesValid) return V.Lines;
  if (!IsMultiLine()) {
    V.Lines = {{0, FBuffer.Length()}};
  } else if (!wraps()) {
    V.Lines = hardLines();
  } else {
    const TFontMeasurer M(Font());
    V.Lines = FBuffer.Layout(FormatRect().Width(), M, M.TabWidth());
  }
  V.LinesValid = true;
  return V.Lines;
}

const std::vector<TEditLine>& TCustomEdit::hardLines() {
  TView& V = *FView;
  if (!V.HardValid) {
    V.Hard = FBuffer.HardLines();
    V.HardValid = true;
  }
  return V.Hard;
}

Integer TCustomEdit::lineHeight() {
  if (FView->LineHeight == 0) {
    const TFontMeasurer M(Font());
    FView->LineHeight = std::max<Integer>(1, M.Metrics().Height);
    FView->CharWidth = M.Metrics().AveCharWidth;
  }
  return FView->LineHeight;
}

Integer TCustomEdit::charWidth() {
  lineHeight();
  return FView->CharWidth;
}

Integer TCustomEdit::visibleLineCount() { return std::max<Integer>(1, FormatRect().Height() / lineHeight()); }

Integer TCustomEdit::lineLeft(Integer LineWidth) {
  const TRect R = FormatRect();
  const Integer Room = R.Width() - CaretWidth;
  Integer Shift = 0;
  if (LineWidth < Room) {
    const DWORD Align = EditStyle() & (ES_RIGHT | ES_CENTER);
    if (Align == ES_RIGHT) Shift = Room - LineWidth;
    if (Align == ES_CENTER) Shift = (Room - LineWidth) / 2;
  }
  return R.Left - FView->ScrollX + Shift;
}

std::vector<Integer> TCustomEdit::lineOffsets(TEditLine Line) {
  const TFontMeasurer M(Font());
  std::vector<Integer> Offsets;
  offsetsOf(displayText(), Line, M, Offsets);
  return Offsets;
}

Integer TCustomEdit::lineWidth(Integer Line) { return lineOffsets(lines()[size_t(Line)]).back(); }

Integer TCustomEdit::maxLineWidth() {
  const String Shown = displayText();
  const TFontMeasurer M(Font());
  std::vector<Integer> Offsets;
  Integer Widest = 0;
  for (const TEditLine& L : lines()) {
    offsetsOf(Shown, L, M, Offsets);
    Widest = std::max(Widest, Offsets.back());
  }
  return Widest;
}

TPoint TCustomEdit::caretPoint(Integer Pos) {
  const std::vector<TEditLine>& L = lines();
  const Integer Line = TEditBuffer::LineOf(L, Pos);
  const TEditLine& Of = L[size_t(Line)];
  const std::vector<Integer> Offsets = lineOffsets(Of);
  const Integer Column = std::clamp(Pos - Of.Start, 0, Of.Length);
  const TRect R = FormatRect();
  return {lineLeft(Offsets.back()) + Offsets[size_t(Column)], R.Top + (Line - FView->TopLine) * lineHeight()};
}

Integer TCustomEdit::positionAt(TPoint Point) {
  const std::vector<TEditLine>& L = lines();
  const TRect R = FormatRect();
  const Integer Last = Integer(L.size()) - 1;
  const Integer Line =
      IsMultiLine() ? std::clamp(FView->TopLine + floorDiv(Point.Y - R.Top, lineHeight()), 0, Last) : 0;
  const TEditLine& Of = L[size_t(Line)];
  const std::vector<Integer> Offsets = lineOffsets(Of);
  const Integer X = Point.X - lineLeft(Offsets.back());
  Integer Column = 0;
  while (Column < Of.Length && X > (Offsets[size_t(Column)] + Offsets[size_t(Column) + 1]) / 2) ++Column;
  // The end of a wrapped line is where the next one starts: stay on this one.
  const bool Wrapped = Line < Last && L[size_t(Line) + 1].Start == Of.End();
  if (Wrapped && Column == Of.Length && Column > 0) --Column;
  return FBuffer.ValidPos(Of.Start + Column);
}

Integer TCustomEdit::verticalMove(Integer Pos, Integer Lines) {
  const TPoint P = caretPoint(Pos);
  return positionAt({P.X, P.Y + Lines * lineHeight() + lineHeight() / 2});
}

void TCustomEdit::layoutChanged() {
  FView->LinesValid = false;
  FView->HardValid = false;
  updateView();
}

void TCustomEdit::scrollToCaret() {
  // Laying the text out is the costly part of an edit: while redrawing is
  // off (Lines.BeginUpdate), turning it on again scrolls once.
  if (!FRedraw) return;
  TView& V = *FView;
  const std::vector<TEditLine>& L = lines();
  const Integer Caret = FBuffer.Caret();
  if (IsMultiLine()) {
    const Integer Line = TEditBuffer::LineOf(L, Caret), Visible = visibleLineCount();
    if (Line < V.TopLine) V.TopLine = Line;
    if (Line >= V.TopLine + Visible) V.TopLine = Line - Visible + 1;
    V.TopLine = std::clamp(V.TopLine, 0, std::max<Integer>(0, Integer(L.size()) - Visible));
  }
  if (wraps()) {
    V.ScrollX = 0;
    return;
  }
  const Integer Width = FormatRect().Width();
  const Integer X = caretPoint(Caret).X - FormatRect().Left + V.ScrollX;  // in the unscrolled text
  if (X < V.ScrollX) V.ScrollX = std::max<Integer>(0, X - Width / 4);
  if (X + CaretWidth > V.ScrollX + Width) V.ScrollX = X + CaretWidth - Width;
  // A single line never leaves blank room at its end while it is scrolled.
  if (!IsMultiLine()) V.ScrollX = std::min(V.ScrollX, std::max<Integer>(0, lineWidth(0) + CaretWidth - Width));
}

void TCustomEdit::setTopLine(Integer Line) {
  const Integer Highest = std::max<Integer>(0, Integer(lines().size()) - visibleLineCount());
  const Integer Top = std::clamp(Line, 0, Highest);
  if (Top == FView->TopLine) return;
  FView->TopLine = Top;
  updateView();
}

void TCustomEdit::setScrollX(Integer X) {
  const Integer Highest = std::max<Integer>(0, maxLineWidth() + CaretWidth - FormatRect().Width());
  const Integer Scroll = std::clamp(X, 0, Highest);
  if (Scroll == FView->ScrollX) return;
  FView->ScrollX = Scroll;
  updateView();
}

void TCustomEdit::updateView() {
  if (!FRedraw || !HandleAllocated()) return;
  Invalidate();
  updateScrollBars();
  // The system caret follows the drawn one, so GetCaretPos tells where it is.
  if (GetFocus() != Handle()) return;
  const TPoint P = caretPoint(FBuffer.Caret());
  SetCaretPos(P.X, P.Y);
}

// A memo's window bars follow the view: lines and the top line, pixels and
// the scroll sideways; a bar with nothing to scroll stays, disabled.
void TCustomEdit::updateScrollBars() {
  const DWORD Style = DWORD(GetWindowLong(Handle(), GWL_STYLE));
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  if (Style & WS_VSCROLL) {
    Info.nMax = Integer(lines().size()) - 1;
    Info.nPage = UINT(visibleLineCount());
    Info.nPos = FView->TopLine;
    SetScrollInfo(Handle(), SB_VERT, &Info, true);
  }
  if (Style & WS_HSCROLL) {
    Info.nMax = maxLineWidth() + CaretWidth - 1;
    Info.nPage = UINT(std::max<Integer>(0, FormatRect().Width()));
    Info.nPos = FView->ScrollX;
    SetScrollInfo(Handle(), SB_HORZ, &Info, true);
  }
}

// ----- painting

void TCustomEdit::WMPaint(TWMPaint& Message) { CustomPaint(Message); }

void TCustomEdit::PaintWindow(HDC DC) { PaintOnCanvas(FCanvas, DC, [this] { paint(); }); }

void TCustomEdit::paint() {
  TCanvas* C = FCanvas;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color());
  C->FillRect(ClientRect());
  C->SetFont(Font());
  const TRect R = FormatRect();
  const HDC DC = C->Handle();
  const int Saved = SaveDC(DC);
  IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
  const std::vector<TEditLine>& L = lines();
  const String Shown = displayText();
  const Integer Height = lineHeight();
  const bool ShowSelection = FBuffer.SelLength() > 0 && (Focused() || !FHideSelection);
  const Integer SelFrom = FBuffer.SelStart(), SelTo = SelFrom + FBuffer.SelLength();
  const TFontMeasurer M(Font());
  std::vector<Integer> Offsets;
  for (Integer Line = IsMultiLine() ? FView->TopLine : 0; Line < Integer(L.size()); ++Line) {
    const Integer Y = R.Top + (Line - FView->TopLine) * Height;
    if (Y >= R.Bottom) break;
    const TEditLine& Of = L[size_t(Line)];
    const QStringView Text = QStringView(Shown).mid(Of.Start, Of.Length);
    TEditBuffer::LineOffsets(Text, M, M.TabWidth(), Offsets);
    const Integer X = lineLeft(Offsets.back());
    Integer A = 0, B = 0;  // the selected units of this line
    if (ShowSelection) {
      A = std::clamp(SelFrom - Of.Start, 0, Of.Length);
      B = std::clamp(SelTo - Of.Start, 0, Of.Length);
    }
    if (A < B) {
      C->Brush()->SetStyle(bsSolid);
      C->Brush()->SetColor(clHighlight);
      C->FillRect(Rect(X + Offsets[size_t(A)], Y, X + Offsets[size_t(B)], Y + Height));
    }
    const TColor Ink = Enabled() ? Font()->Color() : clGrayText;
    C->Font()->SetColor(Ink);
    drawRun(Text, Offsets, 0, A, X, Y);
    C->Font()->SetColor(clHighlightText);
    drawRun(Text, Offsets, A, B, X, Y);
    C->Font()->SetColor(Ink);
    drawRun(Text, Offsets, B, Of.Length, X, Y);
  }
  if (Focused()) {
    // A steady caret: no blinking, so pictures of the control are stable.
    const TPoint P = caretPoint(FBuffer.Caret());
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(Font()->Color());
    C->FillRect(Rect(P.X, P.Y, P.X + CaretWidth, P.Y + Height));
  }
  RestoreDC(DC, Saved);
}

void TCustomEdit::drawRun(QStringView Line, const std::vector<Integer>& Offsets, Integer From, Integer To, Integer X,
                          Integer Y) {
  FCanvas->Brush()->SetStyle(bsClear);
  // Tabs and other control units take room but are never drawn.
  Integer I = From;
  while (I < To) {
    if (isControlUnit(Line[I])) {
      ++I;
      continue;
    }
    Integer End = I;
    while (End < To && !isControlUnit(Line[End])) ++End;
    FCanvas->TextOut(X + Offsets[size_t(I)], Y, Line.mid(I, End - I).toString());
    I = End;
  }
}

// ----- keys

void TCustomEdit::WMKeyDown(TWMKey& Message) {
  if (DoKeyDown(Message)) return;
  if (!editKey(Message.CharCode, KeyDataToShiftState(Message.KeyData))) DispatchAs<TControl>(Message);
}

bool TCustomEdit::editKey(Word Key, TShiftState Shift) {
  const bool Ctrl = Shift.Contains(ssCtrl), WithShift = Shift.Contains(ssShift);
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
      if (!IsMultiLine()) return false;
      [[fallthrough]];
    case VK_LEFT:
    case VK_RIGHT:
    case VK_HOME:
    case VK_END: moveKey(Key, Shift); return true;
    case VK_DELETE:
      if (WithShift && !Ctrl)
        Perform(WM_CUT, 0, 0);
      else
        deleteKey(/*Back=*/false, /*Word=*/Ctrl);
      return true;
    case VK_INSERT:
      if (WithShift && !Ctrl) {
        Perform(WM_PASTE, 0, 0);
        return true;
      }
      if (Ctrl && !WithShift) {
        Perform(WM_COPY, 0, 0);
        return true;
      }
      return false;
    default: return false;
  }
}

void TCustomEdit::moveKey(Word Key, TShiftState Shift) {
  const bool Ctrl = Shift.Contains(ssCtrl), Extend = Shift.Contains(ssShift);
  const Integer Caret = FBuffer.Caret();
  const bool Collapse = !Extend && !Ctrl && FBuffer.SelLength() > 0;
  const std::vector<TEditLine>& L = lines();
  const TEditLine& Line = L[size_t(TEditBuffer::LineOf(L, Caret))];
  Integer Pos = Caret;
  switch (Key) {
    case VK_LEFT:
      if (Collapse)
        Pos = FBuffer.SelStart();
      else
        Pos = Ctrl ? FBuffer.WordLeft(Caret) : FBuffer.PrevPos(Caret);
      break;
    case VK_RIGHT:
      if (Collapse)
        Pos = FBuffer.SelStart() + FBuffer.SelLength();
      else
        Pos = Ctrl ? FBuffer.WordRight(Caret) : FBuffer.NextPos(Caret);
      break;
    case VK_HOME: Pos = Ctrl || !IsMultiLine() ? 0 : Line.Start; break;
    case VK_END:
      if (Ctrl || !IsMultiLine()) {
        Pos = FBuffer.Length();
      } else {
        Pos = Line.End();
        // A wrapped line's end is the next line's start: stop before its last blank.
        const bool Wrapped = &Line != &L.back() && (&Line + 1)->Start == Line.End();
        if (Wrapped && Line.Length > 0 && FBuffer.Text()[Pos - 1].isSpace()) --Pos;
      }
      break;
    case VK_UP: Pos = verticalMove(Caret, -1); break;
    case VK_DOWN: Pos = verticalMove(Caret, 1); break;
    case VK_PRIOR:
    case VK_NEXT: {
      const Integer Page = Key == VK_PRIOR ? -visibleLineCount() : visibleLineCount();
      Pos = verticalMove(Caret, Page);
      setTopLine(FView->TopLine + Page);
      break;
    }
    default: return;
  }
  FBuffer.MoveCaret(Pos, Extend);
  scrollToCaret();
  updateView();
}

void TCustomEdit::WMChar(TWMKey& Message) {
  if (DoKeyPress(Message)) return;
  const char16_t Key = Message.CharCode;
  switch (Key) {
    case CtrlC: Perform(WM_COPY, 0, 0); return;
    case CtrlV: Perform(WM_PASTE, 0, 0); return;
    case CtrlX: Perform(WM_CUT, 0, 0); return;
    case CtrlZ: Perform(WM_UNDO, 0, 0); return;
    case Backspace: deleteKey(/*Back=*/true, /*Word=*/false); return;
    case Return:
    case LineFeed:
      if (IsMultiLine()) insertInput(QStringLiteral("\r\n"));
      return;
    case Tab:
      if (IsMultiLine()) insertInput(QStringLiteral("\t"));
      return;
    default: break;
  }
  if (Key < 0x20 || Key == CtrlBackspace) return;
  // Characters outside the basic plane come as two WM_CHARs.
  if (QChar::isHighSurrogate(Key)) {
    FHighSurrogate = Char(Key);
    return;
  }
  String Input(QChar{Key});
  if (QChar::isLowSurrogate(Key)) {
    if (FHighSurrogate.unicode() == 0) return;
    Input.prepend(FHighSurrogate);
  }
  FHighSurrogate = Char(0);
  insertInput(Input);
}

void TCustomEdit::WMGetDlgCode(TWMGetDlgCode& Message) {
  Message.Result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
  if (IsMultiLine()) Message.Result |= DLGC_WANTALLKEYS;
}

// ----- focus and mouse

void TCustomEdit::DoEnter() {
  // A click places the caret itself; only the keyboard's focus selects all.
  if (FAutoSelect && !FControlState.Contains(csLButtonDown) && !IsMultiLine()) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::WMSetFocus(TWMSetFocus& Message) {
  DispatchAs<TWinControl>(Message);
  // A handler may have sent the focus on; the window focused then owns the caret.
  if (GetFocus() == Handle() && CreateCaret(Handle(), nullptr, CaretWidth, lineHeight())) ShowCaret(Handle());
  updateView();
}

void TCustomEdit::WMKillFocus(TWMSetFocus& Message) {
  FSelecting = false;
  DestroyCaret();
  DispatchAs<TWinControl>(Message);
  updateView();
}

void TCustomEdit::mouseMessage(const TWMMouse& Message) {
  // Focus first: entering may change the text the point falls on.
  if (Message.Msg == WM_LBUTTONDOWN && !Focused() && CanFocus()) SetFocus();
  const TShiftState Shift = KeysToShiftState(Word(Message.Keys));
  const Integer Pos = positionAt(Message.Pos());
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      FBuffer.MoveCaret(Pos, Shift.Contains(ssShift));
      FSelecting = true;
      break;
    case WM_LBUTTONDBLCLK: {
      Integer Start = 0, End = 0;
      FBuffer.WordAt(Pos, Start, End);
      FBuffer.SetSelection(Start, End);
      break;
    }
    case WM_MOUSEMOVE:
      if (!FSelecting || !MouseCapture()) return;
      FBuffer.MoveCaret(Pos, /*Extend=*/true);
      break;
    default: return;
  }
  scrollToCaret();
  updateView();
}

void TCustomEdit::WMCancelMode(TMessage& Message) {
  FSelecting = false;
  DispatchAs<TWinControl>(Message);
}

void TCustomEdit::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE: mouseMessage(Message.As<TWMMouse>()); break;
    case WM_LBUTTONUP: FSelecting = false; break;
    case WM_CONTEXTMENU:
      if (HandleAllocated() && WParamToHandle(Message.WParam) == Handle()) {
        showContextMenu(LParamToPoint(Message.LParam));
        Message.Result = 1;
        return;
      }
      break;
    case WM_MOUSEWHEEL:
      if (IsMultiLine()) {
        const Integer Notches = Message.As<TWMMouseWheel>().WheelDelta * WheelLines / WheelDelta;
        setTopLine(FView->TopLine - Notches);
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TWinControl::DefaultHandler(Message);
}

void TCustomEdit::showContextMenu(TPoint Screen) {
  struct TEntry {
    const char* Caption;
    UINT Msg;  // 0: Select All
  };
  static const TEntry Entries[] = {{"&Undo", WM_UNDO}, {"-", 0},           {"Cu&t", WM_CUT},     {"&Copy", WM_COPY},
                                   {"&Paste", WM_PASTE}, {"&Delete", WM_CLEAR}, {"-", 0}, {"Select &All", 0}};
  if (!FContextMenu) {
    FContextMenu = new TPopupMenu(this);
    for (const TEntry& E : Entries) {
      auto* Item = new TMenuItem(FContextMenu);
      Item->SetCaption(QString::fromUtf8(E.Caption));
      const UINT Msg = E.Msg;
      if (Msg != 0)
        Item->OnClick = TNotifyEvent([this, Msg](TObject*) { Perform(Msg, 0, 0); });
      else if (!Item->IsLine())
        Item->OnClick = TNotifyEvent([this](TObject*) { SelectAll(); });
      FContextMenu->Items()->Add(Item);
    }
  }
  const bool Selected = FBuffer.SelLength() > 0, Hidden = FPasswordChar.unicode() != 0;
  const bool Enabled[] = {FBuffer.CanUndo() && !FReadOnly,
                          true,
                          Selected && !FReadOnly && !Hidden,
                          Selected && !Hidden,
                          !FReadOnly && Clipboard()->HasFormat(CF_UNICODETEXT),
                          Selected && !FReadOnly,
                          true,
                          FBuffer.SelLength() < FBuffer.Length()};
  for (Integer I = 0; I < FContextMenu->Items()->Count(); ++I) FContextMenu->Items()->Items(I)->SetEnabled(Enabled[I]);
  // (-1, -1): asked for from the keyboard; the menu opens at the caret.
  if (Screen.X == -1 && Screen.Y == -1) Screen = ClientToScreen(caretPoint(FBuffer.Caret()));
  FContextMenu->SetPopupComponent(this);
  FContextMenu->Popup(Screen.X, Screen.Y);
}

// ----- text and clipboard messages

// TControl's default copies FText into the caller's buffer: it gets the
// buffer's text first.
void TCustomEdit::WMGetText(TMessage& Message) {
  FText = FBuffer.Text();
  TControl::DefaultHandler(Message);
}

void TCustomEdit::WMGetTextLength(TMessage& Message) { Message.Result = FBuffer.Length(); }

void TCustomEdit::WMSetText(TMessage& Message) {
  const String Value = TEditBuffer::ApplyCharCase(messageText(Message.LParam, IsMultiLine()), FCharCase);
  const bool Differs = Value != FBuffer.Text();
  FBuffer.SetText(Value);
  FModified = false;
  FView->TopLine = 0;
  FView->ScrollX = 0;
  Message.Result = 1;
  layoutChanged();
  if (Differs) notifyChange();
}

void TCustomEdit::WMCut(TMessage&) {
  if (FPasswordChar.unicode() != 0 || FBuffer.SelLength() == 0 || !canModify()) return;
  Clipboard()->SetAsText(FBuffer.SelText());
  applyEdit(String(), TEditBuffer::TRecord::Edit);
}

void TCustomEdit::WMCopy(TMessage&) {
  if (FPasswordChar.unicode() != 0 || FBuffer.SelLength() == 0) return;
  Clipboard()->SetAsText(FBuffer.SelText());
}

void TCustomEdit::WMPaste(TMessage&) {
  if (!Clipboard()->HasFormat(CF_UNICODETEXT)) return;
  const String Text = Clipboard()->AsText();
  const String Input =
      FBuffer.FitInput(IsMultiLine() ? AdjustLineBreaks(Text) : firstLine(Text), FCharCase, FMaxLength);
  if (Input.isEmpty() && FBuffer.SelLength() == 0) return;
  if (!canModify()) return;
  applyEdit(Input, TEditBuffer::TRecord::Edit);
}

void TCustomEdit::WMClear(TMessage&) {
  if (FBuffer.SelLength() == 0 || !canModify()) return;
  applyEdit(String(), TEditBuffer::TRecord::Edit);
}

void TCustomEdit::WMUndo(TMessage& Message) {
  Message.Result = 0;
  if (!FBuffer.CanUndo() || !canModify()) return;
  FBuffer.Undo();
  FModified = true;
  changed();
  Message.Result = 1;
}

// ----- EM_* messages

void TCustomEdit::EMGetSel(TMessage& Message) {
  const Integer Start = FBuffer.SelStart(), End = Start + FBuffer.SelLength();
  if (Message.WParam) *reinterpret_cast<DWORD*>(Message.WParam) = DWORD(Start);
  if (Message.LParam) *reinterpret_cast<DWORD*>(Message.LParam) = DWORD(End);
  Message.Result = LRESULT(MAKELONG(WORD(std::min(Start, 0xFFFF)), WORD(std::min(End, 0xFFFF))));
}

void TCustomEdit::EMSetSel(TMessage& Message) {
  // The 32-bit values: -1 arrives as all ones.
  const int Start = int(Message.WParam), End = int(Message.LParam);
  if (Start < 0)
    FBuffer.MoveCaret(FBuffer.Caret(), /*Extend=*/false);
  else
    FBuffer.SetSelection(Start, End < 0 ? FBuffer.Length() : End);
  scrollToCaret();
  updateView();
}

void TCustomEdit::EMReplaceSel(TMessage& Message) {
  const auto Record = Message.WParam ? TEditBuffer::TRecord::Edit : TEditBuffer::TRecord::None;
  applyEdit(messageText(Message.LParam, IsMultiLine()), Record);
}

void TCustomEdit::EMGetRect(TMessage& Message) {
  if (Message.LParam) *reinterpret_cast<RECT*>(Message.LParam) = FormatRect();
}

void TCustomEdit::EMSetRect(TMessage& Message) {
  EMSetRectNP(Message);
  updateView();
}

void TCustomEdit::EMSetRectNP(TMessage& Message) {
  const auto* R = reinterpret_cast<const RECT*>(Message.LParam);
  FView->RectSet = R != nullptr;
  if (R) FView->Rect = *R;
  FView->LinesValid = false;
}

void TCustomEdit::EMSetMargins(TMessage& Message) {
  auto margin = [](WORD Value) { return Value == EC_USEFONTINFO ? DefaultMargin : Integer(Value); };
  if (Message.WParam & EC_LEFTMARGIN) FView->LeftMargin = margin(Message.LParamLo());
  if (Message.WParam & EC_RIGHTMARGIN) FView->RightMargin = margin(Message.LParamHi());
  layoutChanged();
}

void TCustomEdit::EMGetMargins(TMessage& Message) {
  Message.Result = LRESULT(MAKELONG(WORD(FView->LeftMargin), WORD(FView->RightMargin)));
}

void TCustomEdit::EMScrollCaret(TMessage& Message) {
  scrollToCaret();
  updateView();
  Message.Result = 1;
}

void TCustomEdit::EMGetFirstVisibleLine(TMessage& Message) { Message.Result = IsMultiLine() ? FView->TopLine : 0; }

void TCustomEdit::EMCanUndo(TMessage& Message) { Message.Result = FBuffer.CanUndo() ? 1 : 0; }

void TCustomEdit::EMEmptyUndoBuffer(TMessage&) { FBuffer.ClearUndo(); }

void TCustomEdit::EMGetModify(TMessage& Message) { Message.Result = FModified ? 1 : 0; }

void TCustomEdit::EMSetModify(TMessage& Message) { FModified = Message.WParam != 0; }

void TCustomEdit::EMLimitText(TMessage& Message) {
  FMaxLength = Message.WParam > WPARAM(INT_MAX) ? 0 : Integer(Message.WParam);
}

void TCustomEdit::EMSetReadOnly(TMessage& Message) {
  FReadOnly = Message.WParam != 0;
  setStyleBit(ES_READONLY, FReadOnly);
  Message.Result = 1;
}

void TCustomEdit::EMSetPasswordChar(TMessage& Message) {
  const Char Value(char16_t(Message.WParam));
  setStyleBit(ES_PASSWORD, Value.unicode() != 0);
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  layoutChanged();
}

void TCustomEdit::setStyleBit(DWORD Bit, bool On) {
  if (!HandleAllocated()) return;
  const DWORD Style = DWORD(GetWindowLong(Handle(), GWL_STYLE));
  SetWindowLong(Handle(), GWL_STYLE, LONG(On ? Style | Bit : Style & ~Bit));
}

// ----- line messages

void TCustomEdit::EMGetLineCount(TMessage& Message) { Message.Result = LRESULT(lines().size()); }

void TCustomEdit::EMLineIndex(TMessage& Message) {
  const std::vector<TEditLine>& L = lines();
  const int Line = int(Message.WParam) == -1 ? TEditBuffer::LineOf(L, FBuffer.Caret()) : int(Message.WParam);
  Message.Result = Line >= 0 && Line < int(L.size()) ? L[size_t(Line)].Start : -1;
}

void TCustomEdit::EMLineFromChar(TMessage& Message) {
  const int Index = int(Message.WParam);
  Message.Result = TEditBuffer::LineOf(lines(), Index == -1 ? FBuffer.SelStart() : Index);
}

void TCustomEdit::EMLineLength(TMessage& Message) {
  const int Index = int(Message.WParam);
  if (!IsMultiLine()) {
    Message.Result = FBuffer.Length();
    return;
  }
  const std::vector<TEditLine>& L = lines();
  if (Index != -1) {
    Message.Result = Index < 0 || Index > FBuffer.Length() ? 0 : L[size_t(TEditBuffer::LineOf(L, Index))].Length;
    return;
  }
  // The lines holding the first and the last selected character.
  const Integer From = FBuffer.SelStart(), To = From + FBuffer.SelLength();
  const TEditLine& First = L[size_t(TEditBuffer::LineOf(L, From))];
  const TEditLine& Last = L[size_t(TEditBuffer::LineOf(L, To > From ? To - 1 : To))];
  Message.Result = (From - First.Start) + std::max<Integer>(0, Last.End() - To);
}

void TCustomEdit::EMGetLine(TMessage& Message) {
  Message.Result = 0;
  auto* Buffer = reinterpret_cast<Char*>(Message.LParam);
  const std::vector<TEditLine>& L = lines();
  const int Line = IsMultiLine() ? int(Message.WParam) : 0;
  if (!Buffer || Line < 0 || Line >= int(L.size())) return;
  WORD Size = 0;
  std::memcpy(&Size, Buffer, sizeof Size);
  const TEditLine& Of = L[size_t(Line)];
  const Integer Count = std::min<Integer>(Size, Of.Length);
  std::memcpy(Buffer, FBuffer.Text().constData() + Of.Start, size_t(Count) * sizeof(Char));
  Message.Result = Count;
}

void TCustomEdit::EMPosFromChar(TMessage& Message) {
  const int Index = int(Message.WParam);
  const Integer Last = IsMultiLine() ? FBuffer.Length() : FBuffer.Length() - 1;
  if (Index < 0 || Index > Last) {
    Message.Result = -1;
    return;
  }
  const TPoint P = caretPoint(Index);
  Message.Result = LRESULT(MAKELONG(WORD(P.X), WORD(P.Y)));
}

void TCustomEdit::EMCharFromPos(TMessage& Message) {
  const POINT P = LParamToPoint(Message.LParam);
  const Integer Pos = positionAt({P.X, P.Y});
  Message.Result = LRESULT(MAKELONG(WORD(Pos), WORD(TEditBuffer::LineOf(lines(), Pos))));
}

void TCustomEdit::EMScroll(TMessage& Message) {
  Message.Result = 0;
  if (!IsMultiLine()) return;
  Integer Lines = 0;
  switch (int(Message.WParam)) {
    case SB_LINEUP: Lines = -1; break;
    case SB_LINEDOWN: Lines = 1; break;
    case SB_PAGEUP: Lines = -visibleLineCount(); break;
    case SB_PAGEDOWN: Lines = visibleLineCount(); break;
    default: return;
  }
  const Integer Before = FView->TopLine;
  setTopLine(Before + Lines);
  Message.Result = LRESULT(MAKELONG(WORD(FView->TopLine - Before), 1));
}

void TCustomEdit::EMLineScroll(TMessage& Message) {
  Message.Result = 0;
  if (!IsMultiLine()) return;
  // Far-out arguments must not overflow: the view stops at the text's ends.
  auto sum = [](Integer A, long long B) { return Integer(std::clamp<long long>(A + B, 0, INT_MAX)); };
  if (!wraps()) {
    FView->ScrollX = sum(FView->ScrollX, (long long)int(Message.WParam) * charWidth());
    updateView();
  }
  setTopLine(sum(FView->TopLine, int(Message.LParam)));
  Message.Result = 1;
}

// ----- other messages

void TCustomEdit::WMSetRedraw(TMessage& Message) {
  FRedraw = Message.WParam != 0;
  if (FRedraw) scrollToCaret();
  updateView();
}

void TCustomEdit::WMSize(TWMSize& Message) {
  DispatchAs<TWinControl>(Message);
  FView->LinesValid = false;
  scrollToCaret();
  updateView();
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  DispatchAs<TWinControl>(Message);
  FView->LineHeight = 0;
  adjustHeight();
  layoutChanged();
}

void TCustomEdit::CMEnabledChanged(TMessage& Message) {
  DispatchAs<TWinControl>(Message);
  updateView();
}

// The frame's width is in the AutoSize height; the inherited handling
// recreates the window with the new frame.
void TCustomEdit::CMCtl3DChanged(TMessage& Message) {
  if (FBorderStyle == bsSingle) adjustHeight();
  DispatchAs<TWinControl>(Message);
}

void TCustomEdit::CMColorChanged(TMessage& Message) {
  DispatchAs<TWinControl>(Message);
  updateView();
}

// ---------------------------------------------------------------------------
// TEdit

void TEdit::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Alignment", &TEdit::Alignment, &TEdit::SetAlignment).Default(taLeftJustify);
  Props.Add("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect).Default(true);
  Props.Add<TCustomEdit>("AutoSize", &TEdit::AutoSize, &TEdit::SetAutoSize).Default(true);
  Props.Add("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(bsSingle);
  Props.Add("CharCase", &TEdit::CharCase, &TEdit::SetCharCase).Default(ecNormal);
  Props.Add("Color", &TEdit::Color, &TEdit::SetColor);
  Props.Add("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).Default(true);
  Props.Add("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
  Props.Add("ParentColor", &TEdit::ParentColor, &TEdit::SetParentColor).Default(false);
  Props.Add("ParentFont", &TEdit::ParentFont, &TEdit::SetParentFont).Default(true);
  Props.Add("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar).Default(Char(0));
  Props.Add("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
  Props.Add("TabOrder", &TEdit::TabOrder, &TEdit::SetTabOrder);
  Props.Add("TabStop", &TEdit::TabStop, &TEdit::SetTabStop).Default(true);
  Props.Add("Text", &TEdit::Text, &TEdit::SetText);
  Props.Add("Visible", &TEdit::Visible, &TEdit::SetVisible).Default(true);
  Props.Add<TCustomEdit>("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  Props.Add<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
  Props.Add<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
}

// ---------------------------------------------------------------------------
// TCustomMemo

const TMessageMap& TCustomMemo::MessageMap() {
  static const TMessageMap Map(TCustomEdit::MessageMap(), {
      {WM_GETDLGCODE, &TCustomMemo::WMGetDlgCode},
      {WM_VSCROLL, &TCustomMemo::WMVScroll},
      {WM_HSCROLL, &TCustomMemo::WMHScroll},
  });
  return Map;
}

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(new TMemoStrings(this)) {
  TCustomEdit::SetAutoSize(false);
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() { FLines->Free(); }

DWORD TCustomMemo::ownEditStyle() const {
  return ES_MULTILINE | ES_AUTOVSCROLL | AlignmentStyles[Alignment()] | (FWordWrap ? 0 : ES_AUTOHSCROLL);
}

TStrings* TCustomMemo::Lines() const { return FLines; }

void TCustomMemo::SetLines(TStrings* Value) { FLines->Assign(Value); }

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  RecreateWnd();
  layoutChanged();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
  layoutChanged();
}

TPoint TCustomMemo::CaretPos() {
  const std::vector<TEditLine>& Hard = hardLines();
  const Integer Caret = FBuffer.Caret();
  const Integer Line = TEditBuffer::LineOf(Hard, Caret);
  return {Caret - Hard[size_t(Line)].Start, Line};
}

void TCustomMemo::SetCaretPos(TPoint Value) {
  const std::vector<TEditLine>& Hard = hardLines();
  const TEditLine& Line = Hard[size_t(std::clamp(Value.Y, 0, Integer(Hard.size()) - 1))];
  const Integer Pos = Line.Start + std::clamp(Value.X, 0, Line.Length);
  Perform(EM_SETSEL, WPARAM(Pos), LPARAM(Pos));
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ScrollBarStyles[FScrollBars];
}

void TCustomMemo::KeyPress(Char& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == QChar(Return) && !FWantReturns) Key = Char(0);
}

void TCustomMemo::WMGetDlgCode(TWMGetDlgCode& Message) {
  DispatchAs<TCustomEdit>(Message);
  if (FWantTabs)
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~DLGC_WANTTAB;
  if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
}

// ----- scroll bars

void TCustomMemo::WMVScroll(TWMScroll& Message) {
  const Integer Thumb = ScrollThumbPosition(Handle(), SB_VERT, Message.Pos);
  const auto Top = ScrollCodeTarget(Message.ScrollCode, FView->TopLine, Thumb, /*Line=*/1, visibleLineCount(),
                                [this] { return Integer(lines().size()); });
  if (Top) setTopLine(*Top);
}

void TCustomMemo::WMHScroll(TWMScroll& Message) {
  const Integer Thumb = ScrollThumbPosition(Handle(), SB_HORZ, Message.Pos);
  const auto X = ScrollCodeTarget(Message.ScrollCode, FView->ScrollX, Thumb, charWidth(), FormatRect().Width(),
                              [this] { return maxLineWidth(); });
  if (X) setScrollX(*X);
}

void TMemo::DescribeProperties(TPropertyTable& Props) {
  DescribeControlProperties(Props);
  Props.Add("Alignment", &TMemo::Alignment, &TMemo::SetAlignment).Default(taLeftJustify);
  Props.Add("BorderStyle", &TMemo::BorderStyle, &TMemo::SetBorderStyle).Default(bsSingle);
  Props.Add("Color", &TMemo::Color, &TMemo::SetColor);
  Props.Add("HideSelection", &TMemo::HideSelection, &TMemo::SetHideSelection).Default(true);
  Props.Add("Lines", &TMemo::Lines, &TMemo::SetLines);
  Props.Add("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength).Default(0);
  Props.Add("ParentColor", &TMemo::ParentColor, &TMemo::SetParentColor).Default(false);
  Props.Add("ParentFont", &TMemo::ParentFont, &TMemo::SetParentFont).Default(true);
  Props.Add("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
  Props.Add("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(ssNone);
  Props.Add("TabOrder", &TMemo::TabOrder, &TMemo::SetTabOrder);
  Props.Add("TabStop", &TMemo::TabStop, &TMemo::SetTabStop).Default(true);
  Props.Add("Visible", &TMemo::Visible, &TMemo::SetVisible).Default(true);
  Props.Add("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns).Default(true);
  Props.Add("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs).Default(false);
  Props.Add("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
  Props.Add<TCustomEdit>("OnChange", &TCustomEdit::OnChange, &TCustomEdit::OnChange);
  Props.Add<TWinControl>("OnEnter", &TWinControl::OnEnter, &TWinControl::OnEnter);
  Props.Add<TWinControl>("OnExit", &TWinControl::OnExit, &TWinControl::OnExit);
  Props.Add<TWinControl>("OnKeyDown", &TWinControl::OnKeyDown, &TWinControl::OnKeyDown);
  Props.Add<TWinControl>("OnKeyPress", &TWinControl::OnKeyPress, &TWinControl::OnKeyPress);
  Props.Add<TWinControl>("OnKeyUp", &TWinControl::OnKeyUp, &TWinControl::OnKeyUp);
}

// ---------------------------------------------------------------------------
// TMemoStrings

void TMemoStrings::checkIndex(Integer Index, Integer Limit) const {
  if (Index < 0 || Index > Limit) throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(Index));
}

Integer TMemoStrings::GetCount() const {
  const std::vector<TEditLine>& Hard = FMemo->hardLines();
  // The empty line after a final break (or of an empty text) is no line.
  return Integer(Hard.size()) - (Hard.back().Length == 0 ? 1 : 0);
}

String TMemoStrings::Get(Integer Index) const {
  checkIndex(Index, GetCount() - 1);
  const TEditLine Line = FMemo->hardLines()[size_t(Index)];
  return FMemo->FBuffer.Text().mid(Line.Start, Line.Length);
}

void TMemoStrings::Put(Integer Index, const String& S) {
  checkIndex(Index, GetCount() - 1);
  const TEditLine Line = FMemo->hardLines()[size_t(Index)];
  replace(Line.Start, Line.Length, S);
}

void TMemoStrings::Insert(Integer Index, const String& S) {
  const Integer Count = GetCount();
  checkIndex(Index, Count);
  const std::vector<TEditLine> Hard = FMemo->hardLines();
  const String CrLf = QStringLiteral("\r\n");
  if (Index < Count) {
    replace(Hard[size_t(Index)].Start, 0, S + CrLf);
    return;
  }
  // After the last line: it gets the break it may lack.
  const String& Text = FMemo->FBuffer.Text();
  const Integer End = FMemo->FBuffer.Length();
  if (Text.isEmpty() || Text.endsWith(CrLf))
    replace(End, 0, S + CrLf);
  else
    replace(End, 0, CrLf + S);
}

void TMemoStrings::Delete(Integer Index) {
  checkIndex(Index, GetCount() - 1);
  const std::vector<TEditLine> Hard = FMemo->hardLines();
  const Integer Start = Hard[size_t(Index)].Start;
  const Integer End = size_t(Index) + 1 < Hard.size() ? Hard[size_t(Index) + 1].Start : FMemo->FBuffer.Length();
  replace(Start, End - Start, String());
}

void TMemoStrings::Clear() { FMemo->Clear(); }

void TMemoStrings::SetUpdateState(bool Updating) { FMemo->Perform(WM_SETREDRAW, Updating ? 0 : 1, 0); }

String TMemoStrings::GetTextStr() const { return FMemo->Text(); }

void TMemoStrings::SetTextStr(const String& Value) { FMemo->SetText(Value); }

void TMemoStrings::replace(Integer Start, Integer Length, const String& S) {
  FMemo->FBuffer.SetSelection(Start, Start + Length);
  FMemo->Perform(EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.utf16()));
}
