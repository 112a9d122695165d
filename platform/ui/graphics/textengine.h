// Text layout by GDI rules.
//
// DrawText's line breaking, ellipses, prefixes, tabs, alignment and
// DT_CALCRECT are computed here, over a measurer that answers whole-pixel
// advances per UTF-16 unit.  Extents are additive (no kerning, no shaping), so
// the positions computed here are exactly where the glyphs are drawn and
// measured text equals drawn text.  The layout is pure: it draws nothing and
// reads no device state, which makes it exact to test with fixed metrics.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/geometry.h"

#include <QString>
#include <QStringView>
#include <vector>

// DrawText formats (original values).
namespace gdi {
inline constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
                      DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                      DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
                      DT_RTLREADING = 0x20000;
// Tab length in chars in bits 8..15, which then are no flags.
inline constexpr UINT DT_TABSTOP = 0x80;
// Accepted; words are never split anyway.
inline constexpr UINT DT_EDITCONTROL = 0x2000;
// Ellipses: END the last line of the text, WORD every over-wide line, PATH
// keeps the part from the last path delimiter and shortens before it.
inline constexpr UINT DT_END_ELLIPSIS = 0x8000, DT_WORD_ELLIPSIS = 0x40000, DT_PATH_ELLIPSIS = 0x4000;
// Prefixes are removed but not underlined.
inline constexpr UINT DT_HIDEPREFIX = 0x100000;
}  // namespace gdi

// Metrics of one realised font in device pixels (TEXTMETRIC terms).
struct TTextFontMetrics {
  Integer Height = 0;           // Ascent + Descent
  Integer Ascent = 0;
  Integer Descent = 0;
  Integer InternalLeading = 0;  // Height - em
  Integer ExternalLeading = 0;
  Integer AveCharWidth = 0;
  Integer MaxCharWidth = 0;
};

// What the layout needs from a font.
class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  virtual const TTextFontMetrics& Metrics() const = 0;
  // Whole-pixel advance of each UTF-16 unit: Advances[i] belongs to Text[i]
  // (a surrogate pair's advance sits on its first unit).
  virtual void GetAdvances(QStringView Text, Integer* Advances) const = 0;
};

// The fixed-metrics font: with em E every unit advances ceil(E/2) (+1 bold),
// Ascent E, Descent and InternalLeading E div 4, no external leading.
class TFixedTextMeasurer final : public TTextMeasurer {
 public:
  TFixedTextMeasurer(Integer Em, bool Bold);
  const TTextFontMetrics& Metrics() const override { return FMetrics; }
  void GetAdvances(QStringView Text, Integer* Advances) const override;

 private:
  TTextFontMetrics FMetrics;
};

// Which engine realises fonts for the text calls: Qt glyph metrics (the
// default) or the fixed metrics above, which also draw every non-space unit as
// a filled box (advance - 1) x ascent so that layout tests see exact pixels.
enum class TTextEngine { Qt, FixedMetrics };
void SetTextEngine(TTextEngine Engine);
TTextEngine TextEngine();

// One DrawText request.
struct TTextLayoutInput {
  QStringView Text;        // viewed, not copied: must outlive the layout
  gdi::UINT Format = 0;    // DT_* flags
  TRect Rect;
  Integer LeftMargin = 0;  // DRAWTEXTPARAMS margins, in pixels
  Integer RightMargin = 0;
  Integer TabLength = 0;   // in average char widths; 0 = 8
  Integer CharExtra = 0;   // SetTextCharacterExtra, added after every unit
};

// One laid-out line: its units as drawn (prefixes removed, ellipsis applied).
struct TTextLine {
  QStringView Text;
  Integer X = 0;            // left of the line box
  Integer Y = 0;            // top of the line box
  Integer Width = 0;
  Integer FirstOffset = 0;  // Offsets index of the line's first unit
};

// A prefix underline below one unit, X relative to the line's X.
struct TTextUnderline {
  Integer Line = 0;
  Integer X = 0;
  Integer Width = 0;
};

// The result of LayoutText; reused between calls to keep its buffers.
struct TTextLayoutResult {
  std::vector<TTextLine> Lines;
  // Left edge of each unit relative to its line's X: Text.size() + 1 entries
  // per line from FirstOffset, the last one the line width.  Control units
  // (tab, CR, LF) have a position but are never drawn.
  std::vector<Integer> Offsets;
  std::vector<TTextUnderline> Underlines;  // empty with DT_NOPREFIX or DT_HIDEPREFIX
  Integer LineHeight = 0;
  Integer TextHeight = 0;   // DrawText's answer: from Rect.Top to the bottom of the text (CALCRECT: its height)
  TRect CalcRect;           // DT_CALCRECT: natural size, ellipsis ignored
  bool Clipped = true;      // unless DT_NOCLIP: drawing is clipped to Rect
  bool RightToLeft = false; // DT_RTLREADING
  Integer LengthDrawn = 0;  // DRAWTEXTPARAMS.uiLengthDrawn

  // buffers behind the line views
  QString Display;                  // the text without prefixes, when it had any
  std::vector<QString> Shortened;   // ellipsised lines
};

// Lays out In with M into Out (whose previous content is dropped).
void LayoutText(const TTextLayoutInput& In, const TTextMeasurer& M, TTextLayoutResult& Out);

// Left edge of each unit when units of the given widths are placed in display
// order: logical order, unless the text holds right-to-left letters or the
// paragraph is right-to-left; then runs are reordered by the bidirectional
// rules (levels for letters, numbers and neutrals; no explicit embeddings,
// no mirrored brackets).  Offsets has Text.size() entries.
void PlaceUnits(QStringView Text, const Integer* Widths, bool RightToLeft, Integer* Offsets);
