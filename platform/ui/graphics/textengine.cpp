#include "platform/ui/graphics/textengine.h"

#include "platform/ui/graphics/graphicsstate_p.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cassert>

using namespace gdi;

struct graphics_detail::TTextEngineState {
  TTextEngine Engine = TTextEngine::Qt;
};

namespace {

constexpr Integer DefaultTabChars = 8;
constexpr char16_t Tab = u'\t';
constexpr char16_t CR = u'\r';
constexpr char16_t LF = u'\n';
constexpr char16_t Space = u' ';
constexpr char16_t PrefixChar = u'&';
constexpr QStringView EllipsisText = u"...";
// Hebrew is the first right-to-left block: text below it needs no reordering.
constexpr char16_t FirstRightToLeftUnit = 0x0590;

using TIntBuffer = QVarLengthArray<Integer, 256>;

// Display units [Head) "..." [Tail) of one line; without ellipsis only Head.
struct TLineShape {
  qsizetype HeadStart = 0;
  qsizetype HeadEnd = 0;
  bool Ellipsis = false;
  qsizetype TailStart = 0;
  qsizetype TailEnd = 0;
};

using TLineShapes = QVarLengthArray<TLineShape, 8>;

// Everything one LayoutText call works on.
struct TLayoutContext {
  const TTextLayoutInput& In;
  const TTextMeasurer& M;
  TTextLayoutResult& Out;
  Cardinal Format = 0;
  Integer TabWidth = 0;     // pixels; 0 makes tabs zero-width
  Integer Available = 0;    // rect width less the margins
  QStringView Display;      // the text without prefixes
  TIntBuffer Advances;      // of Display
  Integer DotAdvance = 0;
  QVarLengthArray<qsizetype, 4> PrefixUnits;  // Display indexes of underlined units

  TLayoutContext(const TTextLayoutInput& Input, const TTextMeasurer& Measurer, TTextLayoutResult& Output)
      : In(Input), M(Measurer), Out(Output) {}

  bool has(Cardinal Flag) const { return (Format & Flag) != 0; }
  Integer ellipsisWidth() const { return static_cast<Integer>(EllipsisText.size()) * (DotAdvance + In.CharExtra); }

  // Pen position after a unit of advance Adv that starts at X (from the line start).
  Integer step(char16_t Unit, Integer Adv, Integer X) const {
    if (Unit == Tab) return TabWidth > 0 ? (X / TabWidth + 1) * TabWidth : X;
    if (Unit == CR || Unit == LF) return X;
    return X + Adv + In.CharExtra;
  }
};

void resolveFormat(TLayoutContext& C) {
  Cardinal Format = C.In.Format;
  Integer TabChars = C.In.TabLength > 0 ? C.In.TabLength : DefaultTabChars;
  if (Format & DT_TABSTOP) {
    TabChars = static_cast<Integer>((Format >> 8) & 0xFF);
    if (TabChars == 0) TabChars = DefaultTabChars;
    Format &= ~Cardinal(0xFF00);
  }
  C.Format = Format;
  C.TabWidth = (Format & DT_EXPANDTABS) ? TabChars * C.M.Metrics().AveCharWidth : 0;
  C.Available = C.In.Rect.Width() - C.In.LeftMargin - C.In.RightMargin;
}

// "&&" -> "&", "&x" -> x underlined, a lone "&" at the end is dropped.
void stripPrefixes(TLayoutContext& C) {
  const QStringView Text = C.In.Text;
  if (C.has(DT_NOPREFIX) || !Text.contains(QChar(PrefixChar))) {
    C.Display = Text;
    return;
  }
  QString& Display = C.Out.Display;
  Display.clear();
  Display.reserve(Text.size());
  for (qsizetype I = 0; I < Text.size(); ++I) {
    if (Text[I] != PrefixChar) {
      Display.append(Text[I]);
      continue;
    }
    if (++I == Text.size()) break;
    if (Text[I] != PrefixChar) C.PrefixUnits.append(Display.size());
    Display.append(Text[I]);
  }
  C.Display = Display;
}

// Splits [Start, End) at runs of spaces so that no line passes the available
// width, except a single word that is wider by itself.  Spaces at a break are
// dropped; leading and final spaces stay.
void breakParagraph(const TLayoutContext& C, qsizetype Start, qsizetype End, TLineShapes& Lines) {
  const QStringView S = C.Display;
  qsizetype LineStart = Start, LastWordEnd = Start, I = Start;
  bool HasWord = false;
  Integer X = 0;
  while (I < End && S[I] == Space) X = C.step(Space, C.Advances[I], X), ++I;
  while (true) {
    const qsizetype WordStart = I;
    Integer WordEndX = X;
    while (I < End && S[I] != Space) WordEndX = C.step(S[I].unicode(), C.Advances[I], WordEndX), ++I;
    if (HasWord && WordEndX > C.Available) {
      Lines.push_back({LineStart, LastWordEnd});
      LineStart = WordStart;
      WordEndX = 0;
      for (qsizetype J = WordStart; J < I; ++J) WordEndX = C.step(S[J].unicode(), C.Advances[J], WordEndX);
    }
    X = WordEndX;
    HasWord = true;
    LastWordEnd = I;
    while (I < End && S[I] == Space) X = C.step(Space, C.Advances[I], X), ++I;
    if (I >= End) break;
  }
  Lines.push_back({LineStart, End});
}

// Hard line breaks (CR LF, CR, LF) unless single-line, then word breaks.
void splitLines(const TLayoutContext& C, TLineShapes& Lines) {
  const QStringView S = C.Display;
  const bool WordBreak = C.has(DT_WORDBREAK) && !C.has(DT_SINGLELINE);
  auto addParagraph = [&](qsizetype Start, qsizetype End) {
    if (WordBreak && End > Start)
      breakParagraph(C, Start, End, Lines);
    else
      Lines.push_back({Start, End});
  };
  if (C.has(DT_SINGLELINE)) {
    addParagraph(0, S.size());
    return;
  }
  qsizetype Start = 0;
  for (qsizetype I = 0; I < S.size(); ++I) {
    if (S[I] != CR && S[I] != LF) continue;
    addParagraph(Start, I);
    if (S[I] == CR && I + 1 < S.size() && S[I + 1] == LF) ++I;
    Start = I + 1;
  }
  addParagraph(Start, S.size());
}

// Pen position before each unit of a display range, plus the end.
void rangeOffsets(const TLayoutContext& C, qsizetype Start, qsizetype End, TIntBuffer& X) {
  X.resize(End - Start + 1);
  X[0] = 0;
  for (qsizetype I = Start; I < End; ++I)
    X[I - Start + 1] = C.step(C.Display[I].unicode(), C.Advances[I], X[I - Start]);
}

// Drops units from the end of Line until the rest plus "..." fits; a
// surrogate pair is dropped whole.
TLineShape shortenAtEnd(const TLayoutContext& C, TLineShape Line, const TIntBuffer& X) {
  const Integer EllipsisWidth = C.ellipsisWidth();
  qsizetype Keep = Line.HeadEnd - Line.HeadStart;
  while (Keep > 0 && X[Keep] + EllipsisWidth > C.Available) --Keep;
  if (Keep > 0 && QChar::isHighSurrogate(C.Display[Line.HeadStart + Keep - 1].unicode())) --Keep;
  Line.HeadEnd = Line.HeadStart + Keep;
  Line.Ellipsis = true;
  return Line;
}

// Keeps the part from the last path delimiter on and drops units before it
// until the whole fits; without a delimiter it shortens at the end.
TLineShape shortenPath(const TLayoutContext& C, TLineShape Line, const TIntBuffer& X) {
  const QStringView Units = C.Display.sliced(Line.HeadStart, Line.HeadEnd - Line.HeadStart);
  const qsizetype Delimiter = std::max(Units.lastIndexOf(u'\\'), Units.lastIndexOf(u'/'));
  if (Delimiter < 0) return shortenAtEnd(C, Line, X);
  const Integer EllipsisWidth = C.ellipsisWidth();
  const Integer TailWidth = X[Units.size()] - X[Delimiter];
  qsizetype Keep = Delimiter;
  while (Keep > 0 && X[Keep] + EllipsisWidth + TailWidth > C.Available) --Keep;
  if (Keep > 0 && QChar::isHighSurrogate(Units[Keep - 1].unicode())) --Keep;
  return {Line.HeadStart, Line.HeadStart + Keep, true, Line.HeadStart + Delimiter, Line.HeadEnd};
}

// Appends one line's text, offsets and underlines to the output.
void emitLine(TLayoutContext& C, const TLineShape& Line) {
  TTextLayoutResult& Out = C.Out;
  const qsizetype HeadLength = Line.HeadEnd - Line.HeadStart;
  QStringView Text;
  TIntBuffer Adv;
  if (!Line.Ellipsis) {
    Text = C.Display.sliced(Line.HeadStart, HeadLength);
    Adv.append(C.Advances.constData() + Line.HeadStart, HeadLength);
  } else {
    QString Shortened = C.Display.sliced(Line.HeadStart, HeadLength).toString();
    Shortened.append(EllipsisText);
    Shortened.append(C.Display.sliced(Line.TailStart, Line.TailEnd - Line.TailStart));
    Out.Shortened.push_back(std::move(Shortened));
    Text = Out.Shortened.back();
    Adv.append(C.Advances.constData() + Line.HeadStart, HeadLength);
    for (qsizetype I = 0; I < EllipsisText.size(); ++I) Adv.append(C.DotAdvance);
    Adv.append(C.Advances.constData() + Line.TailStart, Line.TailEnd - Line.TailStart);
  }
  TIntBuffer Widths(Text.size());
  Integer X = 0;
  for (qsizetype I = 0; I < Text.size(); ++I) {
    const Integer Next = C.step(Text[I].unicode(), Adv[I], X);
    Widths[I] = Next - X;
    X = Next;
  }
  TTextLine Result;
  Result.Text = Text;
  Result.Width = X;
  Result.FirstOffset = static_cast<Integer>(Out.Offsets.size());
  Out.Offsets.resize(Out.Offsets.size() + Text.size() + 1);
  Integer* Offsets = Out.Offsets.data() + Result.FirstOffset;
  PlaceUnits(Text, Widths.constData(), Out.RightToLeft, Offsets);
  Offsets[Text.size()] = X;

  if (!C.has(DT_HIDEPREFIX)) {
    for (const qsizetype U : C.PrefixUnits) {
      qsizetype Unit = -1;
      if (U >= Line.HeadStart && U < Line.HeadEnd)
        Unit = U - Line.HeadStart;
      else if (Line.Ellipsis && U >= Line.TailStart && U < Line.TailEnd)
        Unit = HeadLength + EllipsisText.size() + (U - Line.TailStart);
      if (Unit >= 0 && Widths[Unit] > 0)
        Out.Underlines.push_back({static_cast<Integer>(Out.Lines.size()), Offsets[Unit], Widths[Unit]});
    }
  }
  Out.Lines.push_back(Result);
}

Integer alignedX(const TLayoutContext& C, Integer Width) {
  const TRect& R = C.In.Rect;
  if (C.has(DT_RIGHT)) return R.Right - C.In.RightMargin - Width;
  if (C.has(DT_CENTER)) return (R.Left + C.In.LeftMargin + R.Right - C.In.RightMargin - Width) / 2;
  return R.Left + C.In.LeftMargin;
}

void clearLayout(TTextLayoutResult& Out) {
  Out.Lines.clear();
  Out.Offsets.clear();
  Out.Underlines.clear();
  Out.Shortened.clear();
}

// Bidirectional classes as far as display order needs them.
enum class TBidi { Left, Right, Number, Neutral };

TBidi bidiClass(char32_t CodePoint) {
  switch (QChar::direction(CodePoint)) {
    case QChar::DirL: return TBidi::Left;
    case QChar::DirR:
    case QChar::DirAL: return TBidi::Right;
    case QChar::DirEN:
    case QChar::DirAN: return TBidi::Number;
    default: return TBidi::Neutral;
  }
}

bool needsReordering(QStringView Text, bool RightToLeft) {
  if (RightToLeft) return true;
  return std::any_of(Text.begin(), Text.end(), [](QChar C) { return C.unicode() >= FirstRightToLeftUnit; });
}

// Resolved embedding levels per item (a surrogate pair is one item), then the
// items reversed run by run from the highest level down to 1.
void placeReordered(QStringView Text, const Integer* Widths, bool RightToLeft, Integer* Offsets) {
  struct TItem {
    qsizetype Start;
    qsizetype Length;
    TBidi Class;
    int Level;
  };
  QVarLengthArray<TItem, 128> Items;
  for (qsizetype I = 0; I < Text.size();) {
    const bool Pair = I + 1 < Text.size() && Text[I].isHighSurrogate() && Text[I + 1].isLowSurrogate();
    const char32_t CodePoint = Pair ? QChar::surrogateToUcs4(Text[I], Text[I + 1]) : Text[I].unicode();
    TBidi Class = bidiClass(CodePoint);
    if (QChar::direction(CodePoint) == QChar::DirNSM && !Items.isEmpty()) Class = Items.back().Class;
    Items.append({I, Pair ? 2 : 1, Class, 0});
    I += Pair ? 2 : 1;
  }
  const TBidi Base = RightToLeft ? TBidi::Right : TBidi::Left;
  // Numbers after left-to-right letters (or at the start of a left-to-right
  // paragraph) read as letters.
  TBidi LastStrong = Base;
  for (TItem& Item : Items) {
    if (Item.Class == TBidi::Number && LastStrong == TBidi::Left) Item.Class = TBidi::Left;
    if (Item.Class == TBidi::Left || Item.Class == TBidi::Right) LastStrong = Item.Class;
  }
  // Neutrals between two equal directions take it (numbers count as
  // right-to-left), other neutrals the paragraph's direction.
  auto strongOf = [](TBidi Class) { return Class == TBidi::Number ? TBidi::Right : Class; };
  for (qsizetype I = 0; I < Items.size();) {
    if (Items[I].Class != TBidi::Neutral) {
      ++I;
      continue;
    }
    qsizetype End = I;
    while (End < Items.size() && Items[End].Class == TBidi::Neutral) ++End;
    const TBidi Before = I > 0 ? strongOf(Items[I - 1].Class) : Base;
    const TBidi After = End < Items.size() ? strongOf(Items[End].Class) : Base;
    for (qsizetype J = I; J < End; ++J) Items[J].Class = Before == After ? Before : Base;
    I = End;
  }
  int MaxLevel = 0;
  for (TItem& Item : Items) {
    if (Item.Class == TBidi::Right)
      Item.Level = 1;
    else if (Item.Class == TBidi::Number || RightToLeft)
      Item.Level = 2;
    MaxLevel = std::max(MaxLevel, Item.Level);
  }
  QVarLengthArray<qsizetype, 128> Order(Items.size());
  for (qsizetype I = 0; I < Items.size(); ++I) Order[I] = I;
  for (int Level = MaxLevel; Level >= 1; --Level) {
    for (qsizetype I = 0; I < Order.size();) {
      if (Items[Order[I]].Level < Level) {
        ++I;
        continue;
      }
      qsizetype End = I;
      while (End < Order.size() && Items[Order[End]].Level >= Level) ++End;
      std::reverse(Order.begin() + I, Order.begin() + End);
      I = End;
    }
  }
  Integer X = 0;
  for (const qsizetype Index : Order) {
    const TItem& Item = Items[Index];
    for (qsizetype U = Item.Start; U < Item.Start + Item.Length; ++U) {
      Offsets[U] = X;
      X += Widths[U];
    }
  }
}

}  // namespace

TFixedTextMeasurer::TFixedTextMeasurer(Integer Em, bool Bold) {
  assert(Em > 0 && "fixed-metrics em must be positive");
  const Integer Advance = (Em + 1) / 2 + (Bold ? 1 : 0);
  FMetrics.Ascent = Em;
  FMetrics.Descent = Em / 4;
  FMetrics.Height = Em + Em / 4;
  FMetrics.InternalLeading = Em / 4;
  FMetrics.ExternalLeading = 0;
  FMetrics.AveCharWidth = Advance;
  FMetrics.MaxCharWidth = Advance;
}

void TFixedTextMeasurer::GetAdvances(QStringView Text, Integer* Advances) const {
  std::fill(Advances, Advances + Text.size(), FMetrics.AveCharWidth);
}

void SetTextEngine(TTextEngine Engine) { GraphicsState().TextEngine.Get().Engine = Engine; }

TTextEngine TextEngine() { return GraphicsState().TextEngine.Get().Engine; }

void LayoutText(const TTextLayoutInput& In, const TTextMeasurer& M, TTextLayoutResult& Out) {
  clearLayout(Out);
  TLayoutContext C(In, M, Out);
  resolveFormat(C);
  stripPrefixes(C);
  Out.RightToLeft = C.has(DT_RTLREADING);
  Out.Clipped = !C.has(DT_NOCLIP);
  Out.LengthDrawn = static_cast<Integer>(In.Text.size());
  Out.LineHeight = M.Metrics().Height + (C.has(DT_EXTERNALLEADING) ? M.Metrics().ExternalLeading : 0);

  C.Advances.resize(C.Display.size());
  M.GetAdvances(C.Display, C.Advances.data());
  M.GetAdvances(EllipsisText.first(1), &C.DotAdvance);

  TLineShapes Shapes;
  splitLines(C, Shapes);
  const bool EndEllipsis = C.has(DT_END_ELLIPSIS), WordEllipsis = C.has(DT_WORD_ELLIPSIS),
             PathEllipsis = C.has(DT_PATH_ELLIPSIS);
  Integer NaturalWidth = 0;
  TIntBuffer X;
  for (qsizetype I = 0; I < Shapes.size(); ++I) {
    TLineShape Line = Shapes[I];
    rangeOffsets(C, Line.HeadStart, Line.HeadEnd, X);
    NaturalWidth = std::max(NaturalWidth, X.back());
    const bool Last = I + 1 == Shapes.size();
    if (!C.has(DT_CALCRECT) && X.back() > C.Available) {
      if (PathEllipsis)
        Line = shortenPath(C, Line, X);
      else if (WordEllipsis || (EndEllipsis && Last))
        Line = shortenAtEnd(C, Line, X);
    }
    emitLine(C, Line);
  }

  const TRect& R = In.Rect;
  const Integer LineCount = static_cast<Integer>(Out.Lines.size());
  Integer Y = R.Top;
  if (C.has(DT_SINGLELINE) && C.has(DT_VCENTER))
    Y = (R.Top + R.Bottom - Out.LineHeight) / 2;
  else if (C.has(DT_SINGLELINE) && C.has(DT_BOTTOM))
    Y = R.Bottom - Out.LineHeight;
  for (TTextLine& Line : Out.Lines) {
    Line.X = alignedX(C, Line.Width);
    Line.Y = Y;
    Y += Out.LineHeight;
  }
  Out.CalcRect = {R.Left, R.Top, R.Left + In.LeftMargin + NaturalWidth + In.RightMargin,
                  R.Top + LineCount * Out.LineHeight};
  // Measuring answers the height of the text, wherever centring would put it.
  Out.TextHeight = C.has(DT_CALCRECT) ? Out.CalcRect.Height() : Y - R.Top;
}

void PlaceUnits(QStringView Text, const Integer* Widths, bool RightToLeft, Integer* Offsets) {
  if (needsReordering(Text, RightToLeft)) {
    placeReordered(Text, Widths, RightToLeft, Offsets);
    return;
  }
  Integer X = 0;
  for (qsizetype I = 0; I < Text.size(); ++I) {
    Offsets[I] = X;
    X += Widths[I];
  }
}
