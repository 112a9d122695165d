// Word search, wrapped lines and highlighted hits: a substring search that
// can demand whole words, the search for all hits, a string-list lookup with
// case and prefix options, a line breaker over per-character pixel widths,
// and the painter that puts each hit of a cell's text over a highlight colour
// exactly where the cell's own text drawing put it.
//
// Case-insensitive matching goes through two replaceable routines, a text
// comparison and a substring search, that the library's data-utility unit
// installs at its start-up (they fold characters first).  Both are empty at
// first; until they are installed a case-insensitive FindAllMatchesEh or
// IndexOfStringMatchEh finds nothing.
//
// A text's per-character widths come from one measurement (the cumulative
// extents, each minus the one before); lines and hit rectangles are computed
// from them without measuring again.
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/rtl/system.h"
#include "platform/ui/graphics/geometry.h"
#include "platform/ui/graphics/graphics.h"

#include <span>
#include <vector>

class TCanvas;
class TStrings;

// One laid-out line: its first character (0-based), its length, and its size
// in pixels.
struct TWrappedOneLineInfoEh {
  Integer st = 0;
  Integer le = 0;
  Integer pwi = 0;
  Integer phi = 0;
  friend bool operator==(const TWrappedOneLineInfoEh&, const TWrappedOneLineInfoEh&) = default;
};
using TWrappedLinesInfoEh = std::vector<TWrappedOneLineInfoEh>;

// IndexOfStringMatchEh options.
inline constexpr Integer StringMatchIgnoreCaseEh = 1, StringMatchPrefixEh = 2;

// The replaceable routines: 0 when the texts are equal; the 1-based position
// of a hit at or after Offset, 0 when none.
using TCompareTextFuncEh = Integer (*)(const String& Text1, const String& Text2);
using TFindSubstringFuncEh = Integer (*)(const String& SubText, const String& Text, bool IgnoreCase, bool WholeWord,
                                         Integer Offset);
// Each installs a routine (nullptr empties the slot) and answers the previous.
TCompareTextFuncEh SetCompareTextFuncEh(TCompareTextFuncEh Func);
TCompareTextFuncEh CompareTextFuncEh();
TFindSubstringFuncEh SetFindSubstringFuncEh(TFindSubstringFuncEh Func);
TFindSubstringFuncEh FindSubstringFuncEh();

// The 1-based position of the first hit of SubText at or after Offset, 0 when
// none; IgnoreCase compares in the user locale's upper case, WholeWord wants
// a word delimiter (or the text's end) on both sides.  The 31 delimiters are
// blanks, tabs, punctuation, brackets, quotes, the no-break space and U+0420
// (Cyrillic capital Er, so a word before it counts as whole).
Integer FindSubstringEh(const String& SubText, const String& Text, bool IgnoreCase, bool WholeWord, Integer Offset);
// Every hit (0-based positions, each search starting one character after the
// last hit); with FromBeginning only the first, and True only when it is at
// the start.
bool FindAllMatchesEh(const String& Text, const String& SubText, std::vector<Integer>& Positions, bool IgnoreCase,
                      bool WholeWord, bool FromBeginning);
// The first item that equals Text (StringMatchPrefixEh: that starts with it),
// -1 when none.
Integer IndexOfStringMatchEh(TStrings* Strings, const String& Text, Integer Options);
// The reading direction of the text's first character; Default when it has
// none of its own, False for an empty text.
bool IsRightToLeftTextEh(const String& Text, bool Default);

// Where the line from Start (0-based) ends: the 0-based start of the next
// line, LineWidth its width.  A line breaks after its last blank that fits
// MaxWidth, at a line break with WordWrap, and never inside a word.
Integer NextLineBreakEh(const String& Text, Integer Start, Integer MaxWidth, Integer& LineWidth,
                        std::span<const Integer> Widths, bool WordWrap, bool AllowEmptyLine);
// The lines of Text in MaxWidth (the first FirstLineIndent narrower, and
// allowed to be empty when it is indented); Size = (widest line, line height
// times lines).  One line without WordWrap; none for an empty text.
TWrappedLinesInfoEh GetWrappedLinesInfoEh(TCanvas* Canvas, Integer MaxWidth, const String& Text, bool WordWrap,
                                          TSize& Size, Integer FirstLineIndent = 0);
void MeasureWrappedTextEh(TCanvas* Canvas, Integer MaxWidth, const String& Text, bool WordWrap, TSize& Size);

// Paints every hit of SearchText in Text over HighlightColor where
// DrawTextInRectEh put the text in Rect; HiddenCount counts the hits that do
// not show.  EndEllipsis, the margins, RightToLeft, HighlightTextColor and
// SingleLine are accepted and not used.
void DrawTextHighlightMatchesEh(TCanvas* Canvas, const TRect& Rect, Integer DX, Integer DY, const String& Text,
                                TAlignment Alignment, TTextLayout Layout, bool WordWrap, bool EndEllipsis,
                                Integer LeftMarg, Integer RightMarg, bool RightToLeft, const String& SearchText,
                                bool IgnoreCase, bool WholeWord, bool FromBeginning, TColor HighlightColor,
                                TColor HighlightTextColor, bool SingleLine, Integer& HiddenCount);
