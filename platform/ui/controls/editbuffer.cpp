#include "platform/ui/controls/editbuffer.h"

#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/textengine.h"

#include <cassert>

namespace {

// What word moves and double clicks tell apart.  Line breaks are blanks to
// the word moves but never join a blank run of a double click.
enum class TCharClass { Blank, Break, Word, Punctuation };

TCharClass classOf(QChar C) {
  if (C == u'\r' || C == u'\n') return TCharClass::Break;
  if (C.isSpace()) return TCharClass::Blank;
  if (C.isLetterOrNumber() || C.isMark() || C.isSurrogate() || C == u'_') return TCharClass::Word;
  return TCharClass::Punctuation;
}

bool isSpacing(QChar C) {
  const TCharClass K = classOf(C);
  return K == TCharClass::Blank || K == TCharClass::Break;
}

// Where a wrapped line may end after its blanks.
bool isWrapBlank(QChar C) { return C == u' ' || C == u'\t'; }

Integer nextTabStop(Integer X, Integer TabWidth) { return (X / TabWidth + 1) * TabWidth; }

// The width Unit takes at X: tabs to the next stop, line breaks none.
Integer advanceAt(QChar Unit, Integer Advance, Integer X, Integer TabWidth) {
  if (Unit == u'\t' && TabWidth > 0) return nextTabStop(X, TabWidth) - X;
  if (Unit == u'\r' || Unit == u'\n') return 0;
  return Advance;
}

}  // namespace

void TEditBuffer::SetText(const String& Value) {
  FText = Value;
  FAnchor = 0;
  FCaret = 0;
  FUndo = {};
}

bool TEditBuffer::isPairMiddle(Integer Pos) const {
  if (Pos <= 0 || Pos >= Length()) return false;
  const QChar Before = FText[Pos - 1], After = FText[Pos];
  return (Before == u'\r' && After == u'\n') || (Before.isHighSurrogate() && After.isLowSurrogate());
}

Integer TEditBuffer::ValidPos(Integer Pos) const {
  Pos = std::clamp(Pos, 0, Length());
  return isPairMiddle(Pos) ? Pos - 1 : Pos;
}

Integer TEditBuffer::NextPos(Integer Pos) const {
  Pos = ValidPos(Pos);
  if (Pos >= Length()) return Length();
  ++Pos;
  return isPairMiddle(Pos) ? Pos + 1 : Pos;
}

Integer TEditBuffer::PrevPos(Integer Pos) const {
  Pos = ValidPos(Pos);
  if (Pos <= 0) return 0;
  --Pos;
  return isPairMiddle(Pos) ? Pos - 1 : Pos;
}

Integer TEditBuffer::WordRight(Integer Pos) const {
  Integer P = ValidPos(Pos);
  const Integer N = Length();
  if (P < N && !isSpacing(FText[P])) {
    const TCharClass Run = classOf(FText[P]);
    while (P < N && classOf(FText[P]) == Run) ++P;
  }
  while (P < N && isSpacing(FText[P])) ++P;
  return P;
}

Integer TEditBuffer::WordLeft(Integer Pos) const {
  Integer P = ValidPos(Pos);
  while (P > 0 && isSpacing(FText[P - 1])) --P;
  if (P > 0) {
    const TCharClass Run = classOf(FText[P - 1]);
    while (P > 0 && classOf(FText[P - 1]) == Run) --P;
  }
  return P;
}

void TEditBuffer::WordAt(Integer Pos, Integer& Start, Integer& End) const {
  const Integer N = Length();
  const Integer P = ValidPos(Pos);
  Start = End = P;
  if (N == 0) return;
  // The unit after P, unless P is where a non-blank run meets blanks or the
  // text's end.
  Integer I = P;
  if (P == N || (P > 0 && isSpacing(FText[P]) && !isSpacing(FText[P - 1]))) I = P - 1;
  const TCharClass Run = classOf(FText[I]);
  if (Run == TCharClass::Break) return;
  Start = I;
  while (Start > 0 && classOf(FText[Start - 1]) == Run) --Start;
  End = I + 1;
  while (End < N && classOf(FText[End]) == Run) ++End;
}

void TEditBuffer::SetSelection(Integer AAnchor, Integer ACaret) {
  FAnchor = ValidPos(AAnchor);
  FCaret = ValidPos(ACaret);
}

void TEditBuffer::MoveCaret(Integer Pos, bool Extend) {
  FCaret = ValidPos(Pos);
  if (!Extend) FAnchor = FCaret;
}

bool TEditBuffer::ReplaceSelection(const String& Value, TRecord Record) {
  const Integer Start = SelStart(), Removed = SelLength();
  const String Old = FText.mid(Start, Removed);
  if (Old == Value) {
    FAnchor = FCaret = ValidPos(Start + Integer(Value.size()));
    return false;
  }
  FText.replace(Start, Removed, Value);
  FAnchor = FCaret = ValidPos(Start + Integer(Value.size()));
  const Integer Inserted = Integer(Value.size());
  switch (Record) {
    case TRecord::None: FUndo = {}; break;
    case TRecord::Edit: FUndo = {true, false, Start, Inserted, Old}; break;
    case TRecord::Typing:
      if (FUndo.Valid && FUndo.Typing && Removed == 0 && FUndo.Pos + FUndo.Length == Start)
        FUndo.Length += Inserted;
      else
        FUndo = {true, true, Start, Inserted, Old};
      break;
  }
  assert(CheckConsistency() && "edit buffer inconsistent after a replacement");
  return true;
}

String TEditBuffer::ApplyCharCase(const String& Value, TEditCharCase CharCase) {
  switch (CharCase) {
    case ecUpperCase: return AnsiUpperCase(Value);
    case ecLowerCase: return AnsiLowerCase(Value);
    default: return Value;
  }
}

String TEditBuffer::FitInput(const String& Value, TEditCharCase CharCase, Integer MaxLength) const {
  const String S = ApplyCharCase(Value, CharCase);
  if (MaxLength <= 0) return S;
  const Integer Room = MaxLength - (Length() - SelLength());
  if (Room <= 0) return String();
  if (S.size() <= Room) return S;
  Integer Cut = Room;
  const QChar Last = S[Cut - 1], Next = S[Cut];
  if ((Last == u'\r' && Next == u'\n') || (Last.isHighSurrogate() && Next.isLowSurrogate())) --Cut;
  return S.left(Cut);
}

bool TEditBuffer::Undo() {
  if (!FUndo.Valid) return false;
  const TUndoStep Step = FUndo;
  const String Current = FText.mid(Step.Pos, Step.Length);
  FText.replace(Step.Pos, Step.Length, Step.Text);
  SetSelection(Step.Pos, Step.Pos + Integer(Step.Text.size()));
  FUndo = {true, false, Step.Pos, Integer(Step.Text.size()), Current};
  assert(CheckConsistency() && "edit buffer inconsistent after undo");
  return true;
}

std::vector<TEditLine> TEditBuffer::HardLines() const {
  std::vector<TEditLine> Lines;
  Integer Start = 0;
  const Integer N = Length();
  for (Integer I = 0; I + 1 < N; ++I) {
    if (FText[I] != u'\r' || FText[I + 1] != u'\n') continue;
    Lines.push_back({Start, I - Start});
    Start = I + 2;
    ++I;
  }
  Lines.push_back({Start, N - Start});
  return Lines;
}

std::vector<TEditLine> TEditBuffer::Layout(Integer WrapWidth, const TTextMeasurer& M, Integer TabWidth) const {
  std::vector<TEditLine> Hard = HardLines();
  if (WrapWidth <= 0) return Hard;
  std::vector<TEditLine> Lines;
  std::vector<Integer> Advances;
  for (const TEditLine& H : Hard) {
    const QStringView Line = QStringView(FText).mid(H.Start, H.Length);
    Advances.resize(size_t(H.Length));
    M.GetAdvances(Line, Advances.data());
    Integer From = 0;
    do {
      // The units that fit from From, at least one; tabs from the line's start.
      Integer X = 0, To = From;
      while (To < H.Length) {
        const Integer W = advanceAt(Line[To], Advances[size_t(To)], X, TabWidth);
        if (To > From && X + W > WrapWidth) break;
        X += W;
        ++To;
      }
      if (To < H.Length && Line[To].isLowSurrogate()) ++To;
      if (To < H.Length && !isWrapBlank(Line[To])) {
        // Inside a word: break after the last blank, when the line has one.
        Integer B = To;
        while (B > From && !isWrapBlank(Line[B - 1])) --B;
        if (B > From) To = B;
      }
      while (To < H.Length && isWrapBlank(Line[To])) ++To;
      Lines.push_back({H.Start + From, To - From});
      From = To;
    } while (From < H.Length);
  }
  return Lines;
}

void TEditBuffer::LineOffsets(QStringView Line, const TTextMeasurer& M, Integer TabWidth,
                              std::vector<Integer>& Offsets) {
  const size_t N = size_t(Line.size());
  Offsets.assign(N + 1, 0);
  std::vector<Integer> Advances(N);
  if (N > 0) M.GetAdvances(Line, Advances.data());
  Integer X = 0;
  for (size_t I = 0; I < N; ++I) {
    Offsets[I] = X;
    X += advanceAt(Line[qsizetype(I)], Advances[I], X, TabWidth);
  }
  Offsets[N] = X;
}

Integer TEditBuffer::LineOf(const std::vector<TEditLine>& Lines, Integer Pos) {
  const auto It = std::upper_bound(Lines.begin(), Lines.end(), Pos,
                                   [](Integer P, const TEditLine& L) { return P < L.Start; });
  return It == Lines.begin() ? 0 : Integer(It - Lines.begin()) - 1;
}

bool TEditBuffer::CheckConsistency() const {
  auto valid = [this](Integer P) { return P >= 0 && P <= Length() && !isPairMiddle(P); };
  if (!valid(FAnchor) || !valid(FCaret)) return false;
  return !FUndo.Valid || (FUndo.Pos >= 0 && FUndo.Length >= 0 && FUndo.Pos + FUndo.Length <= Length());
}
