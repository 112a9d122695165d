// The edit-mask engine: a mask parsed into positions, and the pure text
// operations a masked edit and a masked field display are made of.
//
// An EditMask is  mask[;save-literals[;blank]].  The mask ends at the first ';'
// not escaped by '\'.  The save-literals field is false only when it starts
// with '0'; the blank field's first character is the blank char.  Missing or
// empty fields take the defaults (save literals, '_'); text after the blank
// char is ignored.
//
//   mask char   position                      required
//   L  l        a letter                      L
//   A  a        a letter or a digit           A
//   C  c        any character but a control   C
//               character or a surrogate half
//   0  9        a digit                       0
//   #           a digit, '+' or '-'           -
//   :  /        literal: the settings' TimeSeparator / DateSeparator
//   _           literal: a space
//   \x          literal: x itself (a trailing '\' makes nothing)
//   other       literal: the character itself
//   >           directive: upper-case the following positions
//   <           directive: lower-case them; "<>" ends either run
//   !           directive: blanks of the optional positions lead (the text is
//               right-aligned) instead of trailing
//
// The edit text has one character per position: literals in place, the blank
// char where nothing was entered.  In an edit position the blank char and a
// space both read as blank, so "a blank position stays a blank" through every
// conversion.  Positions are 0-based indexes into the edit text: the numbers
// of a caret (SelStart).
//
// The masked edit control keeps its EditText formatted by one TMaskEngine and
// raises EDBEditError ("Invalid input value. Use escape key to abandon
// changes") with the caret on Validate's answer.
#pragma once

#include "platform/rtl/formatsettings.h"

#include <vector>

// The characters an edit position accepts; Literal marks a fixed position.
enum class TMaskCharClass : Byte { Literal, Letter, LetterOrDigit, Any, Digit, DigitOrSign };
enum class TMaskCase : Byte { None, Upper, Lower };

struct TMaskPosition {
  TMaskCharClass Class = TMaskCharClass::Literal;
  bool Required = false;           // validation wants a character here
  TMaskCase Case = TMaskCase::None;
  Char Literal;                    // the face of a literal position
};

// A parsed EditMask: a small value, parsed once per mask and kept by its user.
class TMaskEngine {
public:
  // Parses EditMask; ':' and '/' take the separators of Settings.
  explicit TMaskEngine(const String& EditMask, const TFormatSettings& Settings = FormatSettings());

  // the parsed mask
  int Count() const { return static_cast<int>(FPositions.size()); }
  const TMaskPosition& Position(int Pos) const;
  bool IsEditable(int Pos) const;
  // False when the mask makes no position (empty, fields or directives only):
  // such a mask constrains nothing.
  bool IsMasked() const { return Count() > 0; }
  bool SaveLiterals() const { return FSaveLiterals; }
  Char BlankChar() const { return FBlank; }
  bool Reversed() const { return FReversed; }

  // texts
  // Value placed position by position: literals in place, each edit position
  // holding Value's character there when accepted (case-converted), else the
  // blank char.  The EditText setter.
  String FormatEditText(const String& Value) const;
  // The edit text for a Text: PadInputLiterals with save-literals, FormatText
  // without, then FormatEditText.  The Text setter.
  String EditTextFromText(const String& Text) const;
  // With save-literals the edit text with blanks as spaces; without, the edit
  // positions' characters (blanks as spaces) with the trailing blanks, or the
  // leading ones under '!', trimmed.  The Text getter.
  String TextFromEditText(const String& EditText) const;
  // Value's characters, unchecked, into the edit positions in order (from the
  // last position backwards under '!'), literals in place, Blank elsewhere;
  // characters beyond the positions are dropped (the first ones under '!').
  String FormatText(const String& Value, Char Blank) const;
  // Value as an edit text with literals.  A Value already laid out (the
  // mask's length, every literal in place) is kept.  Else each run of edit
  // positions takes Value's characters up to the run's literal when that
  // literal comes within the run's width (the literal is then consumed), else
  // the run's width of characters; short runs are padded with Blank (in front
  // under '!').
  String PadInputLiterals(const String& Value, Char Blank) const;

  // keys
  // The character stored when Ch is typed at Pos: Ch case-converted, the blank
  // char for a space at an any-character position, or a null Char when Pos is
  // a literal, out of range, or Ch does not fit.
  Char AcceptChar(int Pos, Char Ch) const;
  // The first edit position at or after Pos, Count() when none.
  int NextEditable(int Pos) const;
  // The last edit position before Pos, -1 when none.
  int PrevEditable(int Pos) const;
  // Types Ch into a formatted EditText at the first edit position at or after
  // Caret and moves Caret past it and the literals that follow; false (and
  // nothing changed) when no position is left or Ch does not fit.
  bool InputChar(String& EditText, int& Caret, Char Ch) const;
  // Chars typed over the selection SelStart..SelStart+SelLength-1 of a
  // formatted EditText, as a keystroke (one char) or a paste does: the
  // selection's edit positions are blanked, then Chars go in with InputChar
  // from SelStart, stopping at the first refused one; SelStart ends at the
  // caret after the last one taken.  Answers how many were taken; with none,
  // EditText and SelStart stay as they were.
  int InputText(String& EditText, int& SelStart, int SelLength, const String& Chars) const;
  // Backspace (Backward) or Delete on a formatted EditText: a selection has
  // its edit positions blanked and SelStart stays at its start; without one,
  // Backspace blanks the last edit position before SelStart and moves there,
  // Delete blanks the first edit position at or after SelStart and leaves
  // SelStart where it was.  Answers whether any position was in reach.
  bool DeleteText(String& EditText, int& SelStart, int SelLength, bool Backward) const;
  // Blanks the edit positions among Start..Start+Length-1 of a formatted
  // EditText; literals stay.
  void BlankRange(String& EditText, int Start, int Length) const;
  // Whether edit position Pos of EditText holds no character (also when
  // EditText is shorter).
  bool IsBlank(const String& EditText, int Pos) const;

  // validation
  // The first required position of EditText still blank, -1 when none.
  int Validate(const String& EditText) const;

private:
  void parse(const String& Mask, const TFormatSettings& Settings);
  bool isLaidOut(const String& Value) const;

  std::vector<TMaskPosition> FPositions;
  bool FSaveLiterals = true;
  Char FBlank = u'_';
  bool FReversed = false;
};

// routines over an EditMask text
bool MaskGetMaskSave(const String& EditMask);
Char MaskGetMaskBlank(const String& EditMask);
// TMaskEngine(EditMask).FormatText(Value, Blank).
String MaskDoFormatText(const String& EditMask, const String& Value, Char Blank,
                        const TFormatSettings& Settings = FormatSettings());
// TMaskEngine(EditMask).PadInputLiterals(Value, Blank).
String PadInputLiterals(const String& EditMask, const String& Value, Char Blank,
                        const TFormatSettings& Settings = FormatSettings());
// Value shown through EditMask with spaces for blanks: PadInputLiterals with
// save-literals (Value holds the literals), MaskDoFormatText without; Value
// itself when the mask makes no position.
String FormatMaskText(const String& EditMask, const String& Value,
                      const TFormatSettings& Settings = FormatSettings());
