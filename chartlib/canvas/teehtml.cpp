#include "chartlib/canvas/teehtml.h"

#include "chartlib/canvas/teecanvas.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/rtlmath.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/picture.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace {

constexpr Integer PlaceholderSide = 40;  // pixels of a missing picture's box
constexpr Integer RuleLength = 100;
constexpr Integer HeadingSizes[6] = {48, 36, 24, 18, 12, 8};

const String CRLF = QStringLiteral("\r\n");

// One attribute of a FONT or IMG tag.
struct TAttribute {
  String Name;  // trimmed
  String Value;  // trimmed
};

// "NAME=value NAME=value ...": a value may hold blanks and runs to the last
// blank before the next "="; a value with no blank before the next name ends
// at that "=", so parsing always moves on.
std::vector<TAttribute> attributes(const String& S) {
  std::vector<qsizetype> Equals;
  for (qsizetype I = 0; I < S.size(); ++I)
    if (S[I] == u'=') Equals.push_back(I);
  std::vector<TAttribute> Result;
  qsizetype NameStart = 0;
  for (size_t I = 0; I < Equals.size(); ++I) {
    const qsizetype ValueStart = Equals[I] + 1;
    qsizetype ValueEnd = S.size(), NextName = S.size();
    if (I + 1 < Equals.size()) {
      const qsizetype Blank = S.lastIndexOf(u' ', Equals[I + 1]);
      ValueEnd = NextName = Blank >= ValueStart ? Blank : Equals[I + 1];
    }
    Result.push_back({S.mid(NameStart, Equals[I] - NameStart).trimmed(), S.mid(ValueStart, ValueEnd - ValueStart).trimmed()});
    NameStart = NextName;
  }
  return Result;
}

// Without one surrounding pair of quotes (either kind).
String unquoted(String S) {
  if (!S.isEmpty() && (S.front() == u'"' || S.front() == u'\'')) S.remove(0, 1);
  if (!S.isEmpty() && (S.back() == u'"' || S.back() == u'\'')) S.chop(1);
  return S;
}

TColor htmlColor(String Value) {
  Value = Value.trimmed().toUpper();
  if (Value.startsWith(u'"')) Value.remove(0, 1);
  if (Value.endsWith(u'"')) Value.chop(1);
  static const struct {
    const char* Name;
    TColor Color;
  } Names[] = {{"BLACK", clBlack}, {"RED", clRed},     {"BLUE", clBlue}, {"YELLOW", clYellow},
               {"WHITE", clWhite}, {"GREEN", clGreen}, {"LIME", clLime}};
  for (const auto& N : Names)
    if (Value == QLatin1String(N.Name)) return N.Color;
  if (Value.startsWith(u'#')) {
    auto Hex = [&](int Pos) { return Integer(StrToInt(QStringLiteral("$") + Value.mid(Pos, 2))); };
    return TColor(gdi::RGB(gdi::BYTE(Hex(1)), gdi::BYTE(Hex(3)), gdi::BYTE(Hex(5))));
  }
  Integer Color = clBlack;
  if (IdentToColor(Value, Color)) return Color;
  return TryStrToInt(Value, Color) ? Color : clBlack;
}

// One call of TeeHtmlTextOut.
class THtmlWriter {
public:
  THtmlWriter(TTeeCanvas* Canvas, Integer X, Integer Y, bool DoDraw)
      : C(Canvas), X(X), Y(Y), XStart(X), SavedY(Y), DoDraw(DoDraw), LineHeight(Canvas->FontHeight()) {}

  TSize Run(String Rest) {
    for (;;) {
      const String Token = nextToken(Rest);
      if (Token.isEmpty()) break;
      handle(Token);
    }
    return {Width, Height};
  }

private:
  static String nextToken(String& Rest) {
    const qsizetype Open = Rest.indexOf(u'<');
    String Token;
    if (Open < 0) {
      Token = Rest;
      Rest.clear();
    } else if (Open == 0) {
      const qsizetype Close = Rest.indexOf(u'>', 1);
      if (Close < 0) {
        Token = Rest.mid(1);
        Rest.clear();
      } else {
        Token = Rest.left(Close + 1);
        Rest.remove(0, Close + 1);
      }
    } else {
      Token = Rest.left(Open);
      Rest.remove(0, Open);
    }
    return Token;
  }

  void handle(String Token) {
    PushedFont = false;
    if (Token.startsWith(CRLF)) {
      Y += C->FontHeight();
      X = XStart;
      LineHeight = 0;
      Token.remove(0, 2);
      if (Token.isEmpty()) return;
    }
    if (!handleTag(Token)) {
      textChunk(Token);
      return;
    }
    PrevPushedFont = PushedFont;
  }

  // False for a text chunk.
  bool handleTag(const String& Token) {
    const String U = Token.toUpper();
    TTeeFont* F = C->Font();
    if (U == u"<BR>" || U == u"<P>") {
      X = XStart;
      LineHeight = 0;
      Y += C->FontHeight();
      Height += C->FontHeight() + 2;
    } else if (U == u"<BIG>") {
      saveFont();
      F->SetSize(F->Size() + 2);
      Y -= 4;
    } else if (U == u"<SMALL>") {
      saveFont();
      F->SetSize(F->Size() - 2);
      Y -= 1;
    } else if (U == u"</BIG>") {
      restoreFont();
      Y += 2;
    } else if (U == u"</SMALL>") {
      restoreFont();
      Y -= 2;
    } else if (U == u"</SUB>") {
      restoreFont();
      Y = SavedY;
    } else if (U == u"<SUB>") {
      SavedY = Y;
      saveFont();
      F->SetSize(F->Size() / 2);
    } else if (U == u"</SUPER>" || U == u"</SUP>") {
      restoreFont();
      Y = SavedY;
    } else if (U == u"<SUPER>" || U == u"<SUP>") {
      SavedY = Y;
      saveFont();
      F->SetSize(F->Size() / 2);
      Y -= C->FontHeight();
    } else if (Integer Level = headingLevel(U, QStringLiteral("<H")); Level > 0) {
      saveFont();
      F->SetSize(HeadingSizes[Level - 1]);
    } else if (U == u"<PRE>") {
      saveFont();
      applyFontTag(QStringLiteral("<FONT NAME=\"COURIER NEW\">"));
    } else if (U == u"<CENTER>") {
      Centered = true;
    } else if (U == u"<B>" || U == u"<BOLD>" || U == u"<STRONG>") {
      openStyle(fsBold, U);
    } else if (U == u"<I>") {
      openStyle(fsItalic, U);
    } else if (U == u"<U>") {
      openStyle(fsUnderline, U);
    } else if (U == u"<STRIKE>") {
      openStyle(fsStrikeOut, U);
    } else if (U.startsWith(QStringLiteral("<IMG "))) {
      picture(Token);
    } else if (U == u"</B>" || U == u"</BOLD>" || U == u"</STRONG>") {
      F->SetStyle(F->Style() - TFontStyles{fsBold});
    } else if (U == u"</I>") {
      F->SetStyle(F->Style() - TFontStyles{fsItalic});
    } else if (U == u"</U>") {
      F->SetStyle(F->Style() - TFontStyles{fsUnderline});
    } else if (U == u"</STRIKE>") {
      F->SetStyle(F->Style() - TFontStyles{fsStrikeOut});
    } else if (headingLevel(U, QStringLiteral("</H")) > 0 || U.startsWith(QStringLiteral("</FONT")) ||
               U == u"</PRE>") {
      restoreFont();
    } else if (U == u"</CENTER>") {
      Centered = false;
    } else if (U.startsWith(QStringLiteral("<FONT "))) {
      saveFont();
      applyFontTag(U);
    } else if (U == u"</>") {
      closeLast();
    } else if (U == u"<HR>") {
      rule();
    } else {
      return false;
    }
    return true;
  }

  // 1 .. 6 for Prefix + digit + ">", else 0.
  static Integer headingLevel(const String& U, const String& Prefix) {
    if (U.size() != Prefix.size() + 2 || !U.startsWith(Prefix) || U.back() != u'>') return 0;
    const Integer Level = U[Prefix.size()].digitValue();
    return Level >= 1 && Level <= 6 ? Level : 0;
  }

  void openStyle(TFontStyle Style, const String& U) {
    C->Font()->SetStyle(C->Font()->Style() + TFontStyles{Style});
    Tags.push_back(U);
  }

  void closeLast() {
    if (PrevPushedFont) {
      restoreFont();
      return;
    }
    String Last;
    if (!Tags.isEmpty()) Last = Tags.takeLast();
    handle(QStringLiteral("</") + Last.mid(1));
  }

  void rule() {
    X = XStart;
    if (DoDraw) {
      TTeePen* Pen = C->Pen();
      Pen->SetStyle(psSolid);
      Pen->SetWidth(1);
      Pen->SetColor(clGray);
      C->DoHorizLine(X, X + RuleLength, Y);
    }
    Y += C->FontHeight();
  }

  // The font state as a FONT tag on the font stack.
  void saveFont() {
    TTeeFont* F = C->Font();
    QStringList Weights;
    if (F->Style().Contains(fsBold)) Weights << QStringLiteral("BOLD");
    if (F->Style().Contains(fsItalic)) Weights << QStringLiteral("ITALIC");
    if (F->Style().Contains(fsUnderline)) Weights << QStringLiteral("UNDERLINE");
    if (F->Style().Contains(fsStrikeOut)) Weights << QStringLiteral("STRIKE");
    Fonts.push_back(QStringLiteral("<FONT size=%1 name=%2 color=%3 weight=%4>")
                        .arg(F->Size())
                        .arg(F->Name())
                        .arg(F->Color())
                        .arg(Weights.isEmpty() ? QStringLiteral("NORMAL") : Weights.join(QStringLiteral(", "))));
    PushedFont = true;
  }

  void restoreFont() {
    if (Fonts.isEmpty()) return;
    applyFontTag(Fonts.takeLast());
  }

  void applyFontTag(const String& Tag) {
    TTeeFont* F = C->Font();
    for (const TAttribute& A : attributes(Tag.mid(6, Tag.size() - 7))) {
      const String Name = A.Name.toUpper();
      if (Name == u"NAME" || Name == u"FAMILY") {
        F->SetName(unquoted(A.Value));
      } else if (Name == u"SIZE") {
        // the quotes go first: '+2' is relative, as +2 is
        const String Value = unquoted(A.Value);
        const bool Relative = Value.startsWith(u'+') || Value.startsWith(u'-');
        const double Number = StrToFloat(Value.startsWith(u'+') ? Value.mid(1) : Value);
        F->SetSizeFloat(float(Relative ? F->SizeFloat() + Number : Number));
      } else if (Name == u"COLOR") {
        F->SetColor(htmlColor(A.Value));
      } else if (Name == u"WEIGHT") {
        F->SetStyle(weights(A.Value));
      } else {
        throw Exception(QStringLiteral("Unknown field in FONT: ") + Name);
      }
    }
  }

  static TFontStyles weights(const String& Value) {
    TFontStyles Result;
    for (const String& W : Value.toUpper().split(u',')) {
      const String Word = W.trimmed();
      if (Word == u"BOLD")
        Result.Include(fsBold);
      else if (Word == u"ITALIC")
        Result.Include(fsItalic);
      else if (Word == u"STRIKE")
        Result.Include(fsStrikeOut);
      else if (Word == u"UNDERLINE")
        Result.Include(fsUnderline);
      else if (Word != u"NORMAL")
        throw Exception(QStringLiteral("Unknown field in FONT WEIGHT=") + Value);
    }
    return Result;
  }

  void textChunk(String Chunk) {
    Chunk.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    Chunk.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    Chunk.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    Chunk.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    const bool LineEnd = Chunk.endsWith(CRLF);
    if (LineEnd) Chunk.chop(2);
    if (!Chunk.isEmpty()) {
      const TPointFloat S = C->TextSize(Chunk);
      const Integer W = Integer(Round(S.x)), H = Integer(Round(S.y));
      if (Centered) X = (C->Bounds().Left + C->Bounds().Right) / 2 - W / 2;
      // smaller text sits on the line's bottom; the line keeps its top, or
      // every further chunk of the line would step down again
      Integer ChunkY = Y;
      if (LineHeight == 0)
        LineHeight = C->FontHeight();
      else if (S.y < LineHeight)
        ChunkY = Y + LineHeight - H - 1;
      if (DoDraw) C->TextOut(X, ChunkY, Chunk);
      X += W;
      Width = std::max(Width, X);
      if (S.y > LineHeight) LineHeight = H - 1;
      Height = std::max(Height, LineHeight);
    }
    if (LineEnd) {
      LineHeight = 0;
      X = XStart;
    }
  }

  void picture(const String& Token) {
    String Body = Token.mid(5);
    if (Body.startsWith(CRLF)) Body.remove(0, 2);
    if (Body.endsWith(u'>')) Body.chop(1);
    Integer PicWidth = 0, PicHeight = 0;
    String Source;
    bool HasSource = false;
    for (const TAttribute& A : attributes(Body)) {
      const String Name = A.Name.toUpper();
      if (Name == u"WIDTH") PicWidth = StrToIntDef(unquoted(A.Value), 0);
      if (Name == u"HEIGHT") PicHeight = StrToIntDef(unquoted(A.Value), 0);
      if (Name == u"SRC") {
        Source = A.Value;
        HasSource = true;
      }
    }
    if (!HasSource) return;
    Source = Source.trimmed();
    if (Source.startsWith(u'"')) Source.remove(0, 1);
    if (Source.endsWith(u'"')) Source.chop(1);
    std::unique_ptr<TGraphic> Graphic(loadGraphic(Source));
    if (!Graphic) {
      placeholder(PicWidth, PicHeight);
      return;
    }
    if (PicWidth == 0) PicWidth = Graphic->Width();
    if (PicHeight == 0) PicHeight = Graphic->Height();
    if (DoDraw) {
      if (PicWidth == Graphic->Width() && PicHeight == Graphic->Height())
        C->Draw(X, Y, Graphic.get());
      else if (X > 0 && Y > 0)
        C->StretchDraw(Centered ? TRect{X - PicWidth / 2, Y, X + PicWidth / 2, Y + PicHeight}
                                : TRect{X, Y, X + PicWidth, Y + PicHeight},
                       Graphic.get());
    }
    X += PicWidth;
    Y += PicHeight - 10;
    LineHeight = PicHeight;
    Width = std::max(Width, PicWidth);
    Height = std::max(Height, PicHeight);
  }

  // The picture through the hooks, or nullptr for the placeholder.
  static TGraphic* loadGraphic(const String& Source) {
    const TTeeHtmlPictureHooks& Hooks = TeeHtmlPictureHooks();
    if (!Hooks.GraphicForExtension || !Hooks.LoadStream) return nullptr;
    std::unique_ptr<TGraphic> Graphic(Hooks.GraphicForExtension(UpperCase(ExtractFileExt(Source))));
    if (!Graphic) return nullptr;
    TMemoryStream Stream;
    if (Hooks.LoadStream(Source, &Stream) != 0 || Stream.Size() == 0) return nullptr;
    Stream.SetPosition(0);
    try {
      Graphic->LoadFromStream(&Stream);
    } catch (const Exception&) {
      return nullptr;  // an unreadable picture is drawn as a missing one
    }
    return Graphic.release();
  }

  void placeholder(Integer PicWidth, Integer PicHeight) {
    if (!DoDraw) return;
    const Integer W = PicWidth ? PicWidth : PlaceholderSide, H = PicHeight ? PicHeight : PlaceholderSide;
    TTeePen* Pen = C->Pen();
    Pen->SetStyle(psSolid);
    Pen->SetColor(clRed);
    Pen->SetWidth(1);
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clWhite);
    C->Rectangle(X, Y, X + W, Y + H);
    C->Line(X, Y, X + W - 1, Y + H - 1);
    C->Line(X, Y + H - 1, X + W - 1, Y);
  }

  TTeeCanvas* C;
  Integer X, Y, XStart;
  Integer Width = 0;
  Integer Height = 0;
  Integer SavedY;
  bool Centered = false;
  bool PushedFont = false;
  bool PrevPushedFont = false;
  bool DoDraw;
  Integer LineHeight;
  // Emptied at every call: shared stacks grew at each repaint and let one
  // text's "</>" close another text's tag.
  QStringList Tags;
  QStringList Fonts;
};

}  // namespace

TSize TeeHtmlTextOut(TTeeCanvas* Canvas, Integer X, Integer Y, const String& Text, bool DoDraw) {
  return THtmlWriter(Canvas, X, Y, DoDraw).Run(Text);
}

TSize TeeHtmlTextExtent(TTeeCanvas* Canvas, const String& Text) { return TeeHtmlTextOut(Canvas, 0, 0, Text, false); }

void TeeDrawHtml(TTeeCanvas* Canvas, Integer X, Integer Y, const String& Text) {
  const Integer Align = Canvas->TextAlign();
  if (Align != TeeTextAlignCenter && Align != TeeTextAlignRight) {
    TeeHtmlTextOut(Canvas, X, Y, Text, true);
    return;
  }
  const Integer W = TeeHtmlTextExtent(Canvas, Text).cx;
  Canvas->SetTextAlign(TeeTextAlignLeft);
  TeeHtmlTextOut(Canvas, Align == TeeTextAlignCenter ? X - W / 2 : X - W, Y, Text, true);
  Canvas->SetTextAlign(Align);
}

TTeeHtmlPictureHooks& TeeHtmlPictureHooks() {
  static TTeeHtmlPictureHooks Hooks;
  return Hooks;
}
