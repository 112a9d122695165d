#include "platform/rtl/maskutils.h"

#include <algorithm>
#include <cassert>

namespace {

constexpr Char FieldSeparator = u';';
constexpr Char EscapeChar = u'\\';
constexpr Char NoSaveChar = u'0';   // a save-literals field starting with it drops the literals
constexpr Char DefaultBlank = u'_';
constexpr Char Space = u' ';

// The three fields of an EditMask.
struct TMaskFields {
  String Mask;
  bool SaveLiterals = true;
  Char Blank = DefaultBlank;
};

TMaskFields splitFields(const String& EditMask) {
  TMaskFields Fields;
  qsizetype End = 0;
  while (End < EditMask.size() && EditMask[End] != FieldSeparator) End += EditMask[End] == EscapeChar ? 2 : 1;
  End = std::min(End, EditMask.size());  // a trailing '\' steps past the end
  Fields.Mask = EditMask.left(End);
  if (End == EditMask.size()) return Fields;
  const String Rest = EditMask.mid(End + 1);
  const qsizetype Sep = Rest.indexOf(FieldSeparator);
  const String Save = Sep < 0 ? Rest : Rest.left(Sep);
  if (!Save.isEmpty()) Fields.SaveLiterals = Save[0] != NoSaveChar;
  if (Sep >= 0 && Sep + 1 < Rest.size()) Fields.Blank = Rest[Sep + 1];
  return Fields;
}

// The class of an edit mask character; false for the other characters.
bool editClass(Char C, TMaskCharClass& Class, bool& Required) {
  switch (C.unicode()) {
    case u'L': Class = TMaskCharClass::Letter; Required = true; return true;
    case u'l': Class = TMaskCharClass::Letter; Required = false; return true;
    case u'A': Class = TMaskCharClass::LetterOrDigit; Required = true; return true;
    case u'a': Class = TMaskCharClass::LetterOrDigit; Required = false; return true;
    case u'C': Class = TMaskCharClass::Any; Required = true; return true;
    case u'c': Class = TMaskCharClass::Any; Required = false; return true;
    case u'0': Class = TMaskCharClass::Digit; Required = true; return true;
    case u'9': Class = TMaskCharClass::Digit; Required = false; return true;
    case u'#': Class = TMaskCharClass::DigitOrSign; Required = false; return true;
    default: return false;
  }
}

bool isAsciiDigit(Char C) { return C >= u'0' && C <= u'9'; }

bool fits(TMaskCharClass Class, Char C) {
  switch (Class) {
    case TMaskCharClass::Literal: return false;
    case TMaskCharClass::Letter: return C.isLetter();
    case TMaskCharClass::LetterOrDigit: return C.isLetter() || isAsciiDigit(C);
    // One unit per position on one line: no control character, and no half
    // of a surrogate pair that the next position could never keep paired.
    case TMaskCharClass::Any: return C.category() != QChar::Other_Control && !C.isSurrogate();
    case TMaskCharClass::Digit: return isAsciiDigit(C);
    case TMaskCharClass::DigitOrSign: return isAsciiDigit(C) || C == u'+' || C == u'-';
  }
  return false;
}

Char convertCase(TMaskCase Case, Char C) {
  switch (Case) {
    case TMaskCase::Upper: return C.toUpper();
    case TMaskCase::Lower: return C.toLower();
    case TMaskCase::None: break;
  }
  return C;
}

}  // namespace

// ---------------------------------------------------------------------------
// the parsed mask

TMaskEngine::TMaskEngine(const String& EditMask, const TFormatSettings& Settings) {
  const TMaskFields Fields = splitFields(EditMask);
  FSaveLiterals = Fields.SaveLiterals;
  FBlank = Fields.Blank;
  parse(Fields.Mask, Settings);
}

void TMaskEngine::parse(const String& Mask, const TFormatSettings& Settings) {
  TMaskCase Case = TMaskCase::None;
  auto AddLiteral = [this](Char C) {
    TMaskPosition P;
    P.Literal = C;
    FPositions.push_back(P);
  };
  for (qsizetype I = 0; I < Mask.size(); ++I) {
    const Char C = Mask[I];
    TMaskPosition P;
    if (editClass(C, P.Class, P.Required)) {
      P.Case = Case;
      FPositions.push_back(P);
      continue;
    }
    switch (C.unicode()) {
      case u'!': FReversed = true; break;
      case u'>': Case = TMaskCase::Upper; break;
      case u'<':
        if (I + 1 < Mask.size() && Mask[I + 1] == u'>') {
          Case = TMaskCase::None;
          ++I;
        } else {
          Case = TMaskCase::Lower;
        }
        break;
      case u'\\':
        if (++I < Mask.size()) AddLiteral(Mask[I]);
        break;
      case u':': AddLiteral(Settings.TimeSeparator); break;
      case u'/': AddLiteral(Settings.DateSeparator); break;
      case u'_': AddLiteral(Space); break;
      default: AddLiteral(C); break;
    }
  }
}

const TMaskPosition& TMaskEngine::Position(int Pos) const {
  assert(Pos >= 0 && Pos < Count() && "mask position out of range");
  return FPositions[Pos];
}

bool TMaskEngine::IsEditable(int Pos) const {
  return Pos >= 0 && Pos < Count() && FPositions[Pos].Class != TMaskCharClass::Literal;
}

// ---------------------------------------------------------------------------
// texts

String TMaskEngine::FormatEditText(const String& Value) const {
  String Result(Count(), FBlank);
  for (int I = 0; I < Count(); ++I) {
    if (!IsEditable(I)) {
      Result[I] = FPositions[I].Literal;
      continue;
    }
    if (I >= Value.size() || Value[I] == Space || Value[I] == FBlank) continue;
    const Char C = AcceptChar(I, Value[I]);
    if (!C.isNull()) Result[I] = C;
  }
  return Result;
}

String TMaskEngine::EditTextFromText(const String& Text) const {
  return FormatEditText(FSaveLiterals ? PadInputLiterals(Text, FBlank) : FormatText(Text, FBlank));
}

String TMaskEngine::TextFromEditText(const String& EditText) const {
  String Result;
  for (int I = 0; I < Count(); ++I) {
    if (IsEditable(I))
      Result += IsBlank(EditText, I) ? Space : EditText[I];
    else if (FSaveLiterals)
      Result += FPositions[I].Literal;
  }
  if (FSaveLiterals) return Result;
  if (FReversed) {
    qsizetype Lead = 0;
    while (Lead < Result.size() && Result[Lead] == Space) ++Lead;
    return Result.mid(Lead);
  }
  qsizetype Keep = Result.size();
  while (Keep > 0 && Result[Keep - 1] == Space) --Keep;
  return Result.left(Keep);
}

String TMaskEngine::FormatText(const String& Value, Char Blank) const {
  String Result(Count(), Blank);
  for (int I = 0; I < Count(); ++I)
    if (!IsEditable(I)) Result[I] = FPositions[I].Literal;
  if (FReversed) {
    qsizetype V = Value.size();
    for (int I = Count() - 1; I >= 0 && V > 0; --I)
      if (IsEditable(I)) Result[I] = Value[--V];
  } else {
    qsizetype V = 0;
    for (int I = 0; I < Count() && V < Value.size(); ++I)
      if (IsEditable(I)) Result[I] = Value[V++];
  }
  return Result;
}

// A literal character held by an edit position must not be read as the end of
// its run: a Value already laid out on the mask is kept as it is.
bool TMaskEngine::isLaidOut(const String& Value) const {
  if (Value.size() != Count()) return false;
  for (int I = 0; I < Count(); ++I)
    if (!IsEditable(I) && Value[I] != FPositions[I].Literal) return false;
  return true;
}

String TMaskEngine::PadInputLiterals(const String& Value, Char Blank) const {
  if (isLaidOut(Value)) return Value;
  String Result;
  qsizetype V = 0;
  for (int P = 0; P < Count();) {
    int RunEnd = P;
    while (RunEnd < Count() && IsEditable(RunEnd)) ++RunEnd;
    const qsizetype Width = RunEnd - P;
    qsizetype Take = std::min(Width, Value.size() - V);
    bool LiteralGiven = false;
    if (RunEnd < Count()) {
      const Char Literal = FPositions[RunEnd].Literal;
      for (qsizetype J = 0; J <= Width && V + J < Value.size(); ++J) {
        if (Value[V + J] != Literal) continue;
        Take = J;
        LiteralGiven = true;
        break;
      }
    }
    const String Chars = Value.mid(V, Take);
    const String Pad(Width - Take, Blank);
    Result += FReversed ? Pad + Chars : Chars + Pad;
    V += Take + (LiteralGiven ? 1 : 0);
    if (RunEnd < Count()) Result += FPositions[RunEnd].Literal;
    P = RunEnd + 1;
  }
  return Result;
}

// ---------------------------------------------------------------------------
// keys

Char TMaskEngine::AcceptChar(int Pos, Char Ch) const {
  if (!IsEditable(Pos)) return Char();
  const TMaskPosition& P = FPositions[Pos];
  if (P.Class == TMaskCharClass::Any && (Ch == Space || Ch == FBlank)) return FBlank;
  const Char C = convertCase(P.Case, Ch);
  return fits(P.Class, C) ? C : Char();
}

int TMaskEngine::NextEditable(int Pos) const {
  for (int P = std::max(Pos, 0); P < Count(); ++P)
    if (IsEditable(P)) return P;
  return Count();
}

int TMaskEngine::PrevEditable(int Pos) const {
  for (int P = std::min(Pos, Count()) - 1; P >= 0; --P)
    if (IsEditable(P)) return P;
  return -1;
}

bool TMaskEngine::InputChar(String& EditText, int& Caret, Char Ch) const {
  assert(EditText.size() == Count() && "edit text not formatted by this mask");
  const int P = NextEditable(Caret);
  if (P >= Count()) return false;
  const Char C = AcceptChar(P, Ch);
  if (C.isNull()) return false;
  EditText[P] = C;
  Caret = NextEditable(P + 1);
  return true;
}

int TMaskEngine::InputText(String& EditText, int& SelStart, int SelLength, const String& Chars) const {
  String Edited = EditText;
  BlankRange(Edited, SelStart, SelLength);
  int Caret = SelStart;
  int Taken = 0;
  for (Char C : Chars) {
    if (!InputChar(Edited, Caret, C)) break;
    ++Taken;
  }
  if (Taken == 0) return 0;
  EditText = Edited;
  SelStart = Caret;
  return Taken;
}

bool TMaskEngine::DeleteText(String& EditText, int& SelStart, int SelLength, bool Backward) const {
  if (SelLength > 0) {
    BlankRange(EditText, SelStart, SelLength);
    return NextEditable(SelStart) < std::min(Count(), SelStart + SelLength);
  }
  const int P = Backward ? PrevEditable(SelStart) : NextEditable(SelStart);
  if (P < 0 || P >= Count()) return false;
  BlankRange(EditText, P, 1);
  if (Backward) SelStart = P;
  return true;
}

void TMaskEngine::BlankRange(String& EditText, int Start, int Length) const {
  assert(EditText.size() == Count() && "edit text not formatted by this mask");
  const int End = std::min(Count(), Start + std::max(Length, 0));
  for (int P = std::max(Start, 0); P < End; ++P)
    if (IsEditable(P)) EditText[P] = FBlank;
}

bool TMaskEngine::IsBlank(const String& EditText, int Pos) const {
  return Pos >= EditText.size() || EditText[Pos] == FBlank || EditText[Pos] == Space;
}

// ---------------------------------------------------------------------------
// validation

int TMaskEngine::Validate(const String& EditText) const {
  for (int P = 0; P < Count(); ++P)
    if (FPositions[P].Required && IsBlank(EditText, P)) return P;
  return -1;
}

// ---------------------------------------------------------------------------
// routines over an EditMask text

bool MaskGetMaskSave(const String& EditMask) { return splitFields(EditMask).SaveLiterals; }

Char MaskGetMaskBlank(const String& EditMask) { return splitFields(EditMask).Blank; }

String MaskDoFormatText(const String& EditMask, const String& Value, Char Blank, const TFormatSettings& Settings) {
  return TMaskEngine(EditMask, Settings).FormatText(Value, Blank);
}

String PadInputLiterals(const String& EditMask, const String& Value, Char Blank, const TFormatSettings& Settings) {
  return TMaskEngine(EditMask, Settings).PadInputLiterals(Value, Blank);
}

// A mask without positions shows Value as it is rather than nothing.
String FormatMaskText(const String& EditMask, const String& Value, const TFormatSettings& Settings) {
  const TMaskEngine Mask(EditMask, Settings);
  if (!Mask.IsMasked()) return Value;
  return Mask.SaveLiterals() ? Mask.PadInputLiterals(Value, Space) : Mask.FormatText(Value, Space);
}
