#include "gridlib/base/textsearch.h"

#include "gridlib/base/textdraw.h"
#include "gridlib/base/winroutines.h"
#include "platform/os/locales.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/drawtext.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// The replaceable case-insensitive routines.
struct TMatchRoutines {
  TCompareTextFuncEh Compare = nullptr;
  TFindSubstringFuncEh Find = nullptr;
};

TMatchRoutines Routines;

constexpr char16_t WordDelimiters[] = u" .;,:(){}\"'/\\<>!?[]-+*=\t\u2018\u2019\u201C\u201D\u00A0\u0420\u201E";

// The invariant locale: character classes that do not depend on the user.
constexpr LCID LocaleInvariant = 0x007F;

bool isWordDelimiter(Char C) {
  return std::char_traits<char16_t>::find(WordDelimiters, std::size(WordDelimiters) - 1, C.unicode()) != nullptr;
}

bool isLineBreak(Char C) { return C == u'\r' || C == u'\n'; }

// The pixel width of each character, from the cumulative extents.
std::vector<Integer> characterWidths(TCanvas* Canvas, const String& Text, TSize& Size) {
  std::vector<Integer> Widths = GetTextExtentsEh(Canvas, Text, Size);
  for (std::size_t I = Widths.size(); I-- > 1;) Widths[I] -= Widths[I - 1];
  return Widths;
}

Integer widthOf(std::span<const Integer> Widths, Integer From, Integer Count) {
  const Integer End = std::min<Integer>(From + Count, Integer(Widths.size()));
  return From < End ? std::accumulate(Widths.begin() + From, Widths.begin() + End, 0) : 0;
}

TWrappedLinesInfoEh wrappedLines(const String& Text, std::span<const Integer> Widths, Integer MaxWidth,
                                 bool WordWrap, Integer LineHeight, Integer FirstLineIndent) {
  TWrappedLinesInfoEh Lines;
  Integer Start = 0;
  while (Start < Integer(Text.size())) {
    const bool First = Lines.empty();
    Integer LineWidth = 0;
    const Integer Next = NextLineBreakEh(Text, Start, MaxWidth - (First ? FirstLineIndent : 0), LineWidth, Widths,
                                         WordWrap, First && FirstLineIndent > 0);
    Lines.push_back({Start, Next - Start, LineWidth, LineHeight});
    if (!WordWrap) break;
    Start = Next;
  }
  return Lines;
}

}  // namespace

// ---------------------------------------------------------------------------
// replaceable routines

TCompareTextFuncEh SetCompareTextFuncEh(TCompareTextFuncEh Func) { return std::exchange(Routines.Compare, Func); }

TCompareTextFuncEh CompareTextFuncEh() { return Routines.Compare; }

TFindSubstringFuncEh SetFindSubstringFuncEh(TFindSubstringFuncEh Func) { return std::exchange(Routines.Find, Func); }

TFindSubstringFuncEh FindSubstringFuncEh() { return Routines.Find; }

// ---------------------------------------------------------------------------
// search

Integer FindSubstringEh(const String& SubText, const String& Text, bool IgnoreCase, bool WholeWord, Integer Offset) {
  const String Sub = IgnoreCase ? AnsiUpperCase(SubText) : SubText;
  const String In = IgnoreCase ? AnsiUpperCase(Text) : Text;
  if (!WholeWord) return PosEx(Sub, In, Offset);
  const Integer SubLength = Length(Sub), TextLength = Length(In);
  for (Integer Start = Offset;;) {
    const Integer Hit = PosEx(Sub, In, Start);
    if (Hit == 0) return 0;
    const Integer After = Hit + SubLength;  // 1-based position of the character after the hit
    const bool StartsWord = Hit == 1 || isWordDelimiter(In[Hit - 2]);
    const bool EndsWord = After > TextLength || isWordDelimiter(In[After - 1]);
    if (StartsWord && EndsWord) return Hit;
    if (After > TextLength) return 0;
    Start += SubLength;
  }
}

bool FindAllMatchesEh(const String& Text, const String& SubText, std::vector<Integer>& Positions, bool IgnoreCase,
                      bool WholeWord, bool FromBeginning) {
  Positions.clear();
  TFindSubstringFuncEh Find = &FindSubstringEh;
  String In = Text, Sub = SubText;
  if (IgnoreCase) {
    if (!Routines.Find) return false;
    Find = Routines.Find;
    In = AnsiUpperCase(Text);
    Sub = AnsiUpperCase(SubText);
  }
  for (Integer Offset = 1;;) {
    const Integer Hit = Find(Sub, In, /*IgnoreCase=*/false, WholeWord, Offset);
    if (Hit == 0) break;
    Positions.push_back(Hit - 1);
    if (FromBeginning) return Hit == 1;
    Offset = Hit + 1;
  }
  return !Positions.empty();
}

Integer IndexOfStringMatchEh(TStrings* Strings, const String& Text, Integer Options) {
  const bool IgnoreCase = Options & StringMatchIgnoreCaseEh;
  const bool Prefix = Options & StringMatchPrefixEh;
  if (IgnoreCase && !Routines.Compare) return -1;
  const Integer TextLength = Integer(Text.size());
  for (Integer I = 0; I < Strings->Count(); ++I) {
    const String Item = Strings->Strings(I);
    if (Item.size() < TextLength || (!Prefix && Item.size() != TextLength)) continue;
    const String Candidate = Prefix ? Item.left(TextLength) : Item;
    if (IgnoreCase ? Routines.Compare(Candidate, Text) == 0 : Candidate == Text) return I;
  }
  return -1;
}

bool IsRightToLeftTextEh(const String& Text, bool Default) {
  if (Text.isEmpty()) return false;
  std::vector<Word> Types;
  if (!GetStringTypeEx(LocaleInvariant, CT_CTYPE2, Text.left(1), Types)) return Default;
  switch (Types[0]) {
    case C2_RIGHTTOLEFT:
    case C2_ARABICNUMBER: return true;
    case C2_LEFTTORIGHT: return false;
    default: return Default;
  }
}

// ---------------------------------------------------------------------------
// lines

Integer NextLineBreakEh(const String& Text, Integer Start, Integer MaxWidth, Integer& LineWidth,
                        std::span<const Integer> Widths, bool WordWrap, bool AllowEmptyLine) {
  const Integer TextLength = Integer(Text.size());
  Integer Width = 0;
  Integer Blank = -1, WidthBeforeBlank = 0;  // the last blank: its 1-based position
  for (Integer Pos = Start + 1; Pos <= TextLength; ++Pos) {
    const Char C = Text[Pos - 1];
    if (C == u' ') {
      Blank = Pos;
      WidthBeforeBlank = Width;
    }
    Width += Widths[std::size_t(Pos - 1)];
    if (WordWrap && isLineBreak(C)) {
      LineWidth = Width;
      if (Width >= MaxWidth && Pos != Start + 1) return Pos - 1;  // the break opens the next line
      const bool CrLf = C == u'\r' && Pos < TextLength && Text[Pos] == u'\n';
      return CrLf ? Pos + 1 : Pos;
    }
    if (Width > MaxWidth && (Blank > 0 || AllowEmptyLine)) {
      if (!WordWrap) {
        LineWidth = Width;
        return Pos;
      }
      if (Blank < 0) {
        LineWidth = 0;
        return Start;
      }
      LineWidth = WidthBeforeBlank;
      return Blank;  // the blank stays on this line
    }
  }
  LineWidth = Width;
  return TextLength;
}

TWrappedLinesInfoEh GetWrappedLinesInfoEh(TCanvas* Canvas, Integer MaxWidth, const String& Text, bool WordWrap,
                                          TSize& Size, Integer FirstLineIndent) {
  Size = {};
  if (Text.isEmpty()) return {};
  TSize TextSize;
  const std::vector<Integer> Widths = characterWidths(Canvas, Text, TextSize);
  TWrappedLinesInfoEh Lines = wrappedLines(Text, Widths, MaxWidth, WordWrap, TextSize.cy, FirstLineIndent);
  for (const TWrappedOneLineInfoEh& Line : Lines) Size.cx = std::max(Size.cx, Line.pwi);
  Size.cy = TextSize.cy * Integer(Lines.size());
  return Lines;
}

void MeasureWrappedTextEh(TCanvas* Canvas, Integer MaxWidth, const String& Text, bool WordWrap, TSize& Size) {
  GetWrappedLinesInfoEh(Canvas, MaxWidth, Text, WordWrap, Size, 0);
}

// ---------------------------------------------------------------------------
// highlighted hits

namespace {

// Where the hits' line boxes start: what DrawTextInRectEh's alignment does
// with a line of this width.
Integer alignedOffset(TAlignment Alignment, const TRect& Rect, Integer LineWidth, Integer DX) {
  switch (Alignment) {
    case taRightJustify: return Rect.Width() - LineWidth - DX - 1;
    case taCenter: return (Rect.Width() - LineWidth) / 2;
    default: return DX;
  }
}

// The top of the text: centred or bottom layouts measure it (as the
// formatter does), the top layout starts DY down.
Integer textTop(TCanvas* Canvas, const TRect& Rect, const String& Text, TTextLayout Layout, bool WordWrap,
                Integer DY) {
  if (Layout == tlTop) return DY;
  TRect Measured(0, 0, Rect.Width(), 0);
  const gdi::UINT Flags = gdi::DT_CALCRECT | (WordWrap ? gdi::DT_WORDBREAK : 0);
  const Integer H = DrawTextStringEh(Canvas->Handle(), Text, Integer(Text.size()), Measured, Flags);
  return Rect.Height() / 2 - H / 2;
}

}  // namespace

void DrawTextHighlightMatchesEh(TCanvas* Canvas, const TRect& Rect, Integer DX, Integer DY, const String& Text,
                                TAlignment Alignment, TTextLayout Layout, bool WordWrap, bool, Integer, Integer,
                                bool, const String& SearchText, bool IgnoreCase, bool WholeWord, bool FromBeginning,
                                TColor HighlightColor, TColor, bool, Integer& HiddenCount) {
  HiddenCount = 0;
  std::vector<Integer> Hits;
  if (!FindAllMatchesEh(Text, SearchText, Hits, IgnoreCase, WholeWord, FromBeginning)) return;
  const bool RightToLeft = IsRightToLeftTextEh(Text, false);
  const Integer Top = textTop(Canvas, Rect, Text, Layout, WordWrap, DY);
  TSize TextSize;
  const std::vector<Integer> Widths = characterWidths(Canvas, Text, TextSize);
  const Integer LineHeight = TextSize.cy;
  const TWrappedLinesInfoEh Lines =
      wrappedLines(Text, Widths, Rect.Width() - DX, WordWrap, LineHeight, /*FirstLineIndent=*/0);

  const TColor OldBrush = Canvas->Brush()->Color(), OldFont = Canvas->Font()->Color();
  Canvas->Brush()->SetColor(HighlightColor);
  Canvas->Font()->SetColor(clWindowText);
  const Integer HitLength = Integer(SearchText.size());
  for (const Integer Hit : Hits) {
    const auto Line = std::find_if(Lines.begin(), Lines.end(), [Hit](const TWrappedOneLineInfoEh& L) {
      return Hit >= L.st && Hit < L.st + L.le;
    });
    if (Line == Lines.end()) {
      ++HiddenCount;
      continue;
    }
    const Integer X = widthOf(Widths, Line->st, Hit - Line->st);
    const Integer Y = Integer(Line - Lines.begin()) * LineHeight;
    const Integer HitWidth = widthOf(Widths, Hit, HitLength);
    const Integer Offset = alignedOffset(Alignment, Rect, Line->pwi, DX);
    const Integer Left = RightToLeft ? Rect.Left + Offset + Line->pwi - X - HitWidth : Rect.Left + Offset + X;
    const TRect Segment = Bounds(Left, Rect.Top + Top + Y, HitWidth, LineHeight);
    // A hit that begins outside the cell would paint over its neighbours.
    if (Segment.Left >= Rect.Right || Segment.Top >= Rect.Bottom) {
      ++HiddenCount;
      continue;
    }
    DrawTextWithBiDiEh(Canvas, Text.mid(Hit, HitLength), Segment, /*FillBackground=*/true);
  }
  Canvas->Brush()->SetColor(OldBrush);
  Canvas->Font()->SetColor(OldFont);
}
