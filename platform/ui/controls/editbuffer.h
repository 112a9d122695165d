// TEditBuffer: the text model behind the edit and memo controls, free of
// windows, fonts and painting.
//
// Positions
//   A position is a place between two UTF-16 units of Text, 0 .. Length.  A
//   line break is CR LF and takes two positions.  The caret and the anchor
//   never sit between the CR and the LF of a pair, nor inside a surrogate
//   pair: ValidPos moves such a position back to the start of the pair, so
//   Copy(Text, SelStart + 1, SelLength) is always SelText.
//
// Selection
//   An anchor and a caret; the selection is the text between them, whichever
//   comes first.  Extending moves the caret and keeps the anchor.
//
// Undo
//   One step: the last recorded change.  Undo reverts it and records the
//   reverse, so a second Undo redoes it.  Typed characters that continue the
//   previous typed step (inserted at its end, nothing selected) join it.
//
// Lines
//   Hard lines end at CR LF (a lone CR or LF is no break here: multi-line
//   controls store breaks as CR LF).  A layout splits them further at a wrap
//   width: a line ends after the last blank that fits, or inside a word wider
//   than the width; the blanks at a break stay at the end of the line.  Tabs
//   advance to the next multiple of the tab width from the line's start.
#pragma once

#include "platform/rtl/system.h"
#include "platform/rtl/typinfo.h"

#include <QStringView>
#include <algorithm>
#include <cstdlib>
#include <vector>

class TTextMeasurer;

RTL_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)

// One line of a layout: Length units from Start, without its line break.
struct TEditLine {
  Integer Start = 0;
  Integer Length = 0;

  Integer End() const { return Start + Length; }
  bool operator==(const TEditLine&) const = default;
};

class TEditBuffer {
public:
  // How ReplaceSelection records the change for Undo.
  enum class TRecord { None, Edit, Typing };

  // text
  const String& Text() const { return FText; }
  Integer Length() const { return Integer(FText.size()); }
  // Replaces the whole text; the selection collapses at 0 and Undo forgets.
  void SetText(const String& Value);

  // positions
  // Pos clamped into 0 .. Length and moved off the middle of a CR LF or a
  // surrogate pair.
  Integer ValidPos(Integer Pos) const;
  // One character on or back; a CR LF and a surrogate pair are one step.
  Integer NextPos(Integer Pos) const;
  Integer PrevPos(Integer Pos) const;
  // Ctrl+Right: past the word or punctuation run at Pos, then past blanks and
  // line breaks.  Ctrl+Left: back over blanks and breaks, then to the start
  // of the run before.
  Integer WordRight(Integer Pos) const;
  Integer WordLeft(Integer Pos) const;
  // The run of word characters, punctuation or blanks at Pos: the one after
  // Pos, or the one before where a non-blank run meets blanks or the end.  A
  // double click's selection.
  void WordAt(Integer Pos, Integer& Start, Integer& End) const;

  // selection
  Integer Anchor() const { return FAnchor; }
  Integer Caret() const { return FCaret; }
  Integer SelStart() const { return std::min(FAnchor, FCaret); }
  Integer SelLength() const { return std::abs(FCaret - FAnchor); }
  String SelText() const { return FText.mid(SelStart(), SelLength()); }
  // Both through ValidPos.
  void SetSelection(Integer AAnchor, Integer ACaret);
  // Collapses the selection at Pos, or with Extend moves only the caret.
  void MoveCaret(Integer Pos, bool Extend);
  void SelectAll() { SetSelection(0, Length()); }

  // editing
  // Replaces the selection with Value and puts the caret after it; Record
  // makes the change the undo step (TRecord::None keeps the old step only
  // when the text did not change, else Undo forgets).  Answers whether the
  // text changed.
  bool ReplaceSelection(const String& Value, TRecord Record);
  // Value as typing or pasting would insert it: converted by CharCase, then
  // cut (never inside a CR LF or a surrogate pair) so that the text stays
  // within MaxLength (<= 0: no limit) once the selection is replaced.
  String FitInput(const String& Value, TEditCharCase CharCase, Integer MaxLength) const;
  // Value converted by CharCase.
  static String ApplyCharCase(const String& Value, TEditCharCase CharCase);

  // undo
  bool CanUndo() const { return FUndo.Valid; }
  // Reverts the last step and selects the text it brought back; False when
  // there is none.
  bool Undo();
  void ClearUndo() { FUndo = {}; }

  // lines
  // The hard lines: one for an empty text, and an empty last line after a
  // final break.
  std::vector<TEditLine> HardLines() const;
  // The hard lines wrapped at WrapWidth pixels (<= 0: not wrapped) by M's
  // advances, tabs at multiples of TabWidth.
  std::vector<TEditLine> Layout(Integer WrapWidth, const TTextMeasurer& M, Integer TabWidth) const;
  // The left edge of each unit of Line and, last, its width (Line.size() + 1
  // entries), tabs at multiples of TabWidth, line breaks of no width.
  static void LineOffsets(QStringView Line, const TTextMeasurer& M, Integer TabWidth, std::vector<Integer>& Offsets);
  // The line of Lines holding Pos: a position where a wrapped line ends
  // belongs to the line it starts.
  static Integer LineOf(const std::vector<TEditLine>& Lines, Integer Pos);

  // self-check for asserts and tests: positions valid, the undo step inside
  // the text.
  bool CheckConsistency() const;

private:
  // The change Undo makes: Length units from Pos become Text.
  struct TUndoStep {
    bool Valid = false;
    bool Typing = false;
    Integer Pos = 0;
    Integer Length = 0;
    String Text;
  };

  bool isPairMiddle(Integer Pos) const;

  String FText;
  Integer FAnchor = 0;
  Integer FCaret = 0;
  TUndoStep FUndo;
};
