#include "gridlib/base/laflow.h"

#include "gridlib/base/textsearch.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/gdi.h"
#include "platform/ui/windowing/application.h"

#include <algorithm>

namespace {

Integer fontAscent(TCanvas* Canvas) {
  gdi::TEXTMETRICW Metrics{};
  gdi::GetTextMetrics(Canvas->Handle(), &Metrics);
  return Metrics.tmAscent;
}

// The web-address prefixes, case as written, in the order they are tried.
const char* const LinkPrefixes[] = {"www.", "WWW.", "http://", "HTTP://", "https://", "HTTPS://"};

bool isLinkChar(QChar C) {
  const char16_t U = C.unicode();
  return U == u'-' || U == u'.' || U == u'/' || U == u'_' || U == u'~' || (U >= u'0' && U <= u'9') ||
         (U >= u'A' && U <= u'Z') || (U >= u'a' && U <= u'z');
}

bool isWordBreak(QChar C) { return C == u' ' || C == u'\r' || C == u'\n'; }

}  // namespace

// ---------------------------------------------------------------------------
// TFlBreakableTextEh

TFlBreakableTextEh::TFlBreakableTextEh() : FFont(new TFont) {
  FFont->OnChange = TNotifyEvent(this, &TFlBreakableTextEh::fontChanged);
}

TFlBreakableTextEh::TFlBreakableTextEh(TLaFlowRichBlockEh* RichBlock) : TFlBreakableTextEh() {
  RichBlock->AddItem(this);
}

TFlBreakableTextEh::~TFlBreakableTextEh() { FFont->Free(); }

void TFlBreakableTextEh::takeBlockFont() {
  if (FlowRichBlock()) FFont->Assign(FlowRichBlock()->Font());
}

void TFlBreakableTextEh::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value) takeBlockFont();
}

void TFlBreakableTextEh::FlowRichBlockChanged() {
  if (FParentFont) takeBlockFont();
}

TFlBreakableTextEh* TFlBreakableTextEh::SetFontColor(TColor AFontColor) {
  FFont->SetColor(AFontColor);
  return this;
}

TFlBreakableTextEh* TFlBreakableTextEh::SetColor(TColor AColor) {
  FColor = AColor;
  return this;
}

TFlBreakableTextEh* TFlBreakableTextEh::SetFontName(const String& AFontName) {
  FFont->SetName(AFontName);
  return this;
}

TFlBreakableTextEh* TFlBreakableTextEh::SetFontSize(Integer AFontSize) {
  FFont->SetSize(AFontSize);
  return this;
}

TFlBreakableTextEh* TFlBreakableTextEh::SetFontStyle(TFontStyles AFontStyle) {
  FFont->SetStyle(AFontStyle);
  return this;
}

void TFlBreakableTextEh::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TFlBreakableTextEh*>(Source);
  if (!Other) return TFlRichBlockItemEh::Assign(Source);
  if (!Other->ParentFont()) SetFont(Other->Font());
  FText = Other->FText;
  FColor = Other->FColor;
  FIsHyperLink = Other->FIsHyperLink;
  FTag = Other->FTag;
}

// ---------------------------------------------------------------------------
// TLaFlowRichBlockEh

TLaFlowRichBlockEh::TLaFlowRichBlockEh(TComponent* AOwner) : TLaControlEh(AOwner) {}

TLaFlowRichBlockEh::~TLaFlowRichBlockEh() { ClearItems(); }

TFlRichBlockItemEh* TLaFlowRichBlockEh::Items(Integer Index) const {
  if (Index < 0 || Index >= ItemsCount())
    throw EArgumentOutOfRangeException(QStringLiteral("Argument out of range"));
  return FItems[size_t(Index)];
}

TFlRichBlockItemEh* TLaFlowRichBlockEh::AddItem(TFlRichBlockItemEh* AItem) {
  FItems.push_back(AItem);
  AItem->FFlowRichBlock = this;
  AItem->FlowRichBlockChanged();
  return AItem;
}

void TLaFlowRichBlockEh::ClearItems() {
  // the render lines point at the items
  FLinesRenderList.clear();
  FMouseOverItem = nullptr;
  while (!FItems.empty()) {
    TFlRichBlockItemEh* Item = FItems.back();
    FItems.pop_back();
    Item->Free();
  }
}

std::vector<TFlBreakableTextEh*> TLaFlowRichBlockEh::textItems() const {
  std::vector<TFlBreakableTextEh*> Result;
  for (TFlRichBlockItemEh* Item : FItems)
    if (auto* Text = dynamic_cast<TFlBreakableTextEh*>(Item)) Result.push_back(Text);
  return Result;
}

void TLaFlowRichBlockEh::Assign(TPersistent* Source) {
  TLaControlEh::Assign(Source);
  auto* Other = dynamic_cast<TLaFlowRichBlockEh*>(Source);
  if (!Other) return;
  OnHyperLinkClick = Other->OnHyperLinkClick;
  FWordWrap = Other->FWordWrap;
  for (TFlRichBlockItemEh* Item : Other->FItems) {
    auto* Copy = static_cast<TFlRichBlockItemEh*>(Item->ClassType()->Create());
    Copy->Assign(Item);
    AddItem(Copy);
  }
}

TSize TLaFlowRichBlockEh::DoQueryLayoutClientArea(TSize QuerySize, TCanvas* ACanvas) {
  Integer Width = 0, Height = 0;
  if (!FWordWrap) {
    for (TFlBreakableTextEh* Item : textItems()) {
      ACanvas->SetFont(Item->Font());
      const TSize Extent = ACanvas->TextExtent(Item->Text());
      Width += Extent.cx;
      Height = std::max(Height, Extent.cy);
    }
    return {Width, Height};
  }
  Integer Offset = 0;
  for (TFlBreakableTextEh* Item : textItems()) {
    ACanvas->SetFont(Item->Font());
    TSize Size;
    const TWrappedLinesInfoEh Pieces =
        GetWrappedLinesInfoEh(ACanvas, QuerySize.cx, Item->Text(), /*WordWrap=*/true, Size, Offset);
    // only an item that stays on one line counts
    if (Pieces.size() != 1) continue;
    Width += Pieces.front().pwi;
    Height = std::max(Height, Pieces.front().phi);
    Offset = Pieces.front().pwi;
  }
  return {std::max(Width, 0), Height};
}

TSize TLaFlowRichBlockEh::DoPerformLayoutClientArea(TRect ClientRect, TCanvas* ACanvas) {
  const Integer W = ClientRect.Width();
  FLinesRenderList.clear();
  Integer MaxWidth = 0, TotalHeight = 0;
  TLaFlowRenderTextLine Line;
  const auto AddPiece = [&Line](TLaFlowRenderTextItem Piece) {
    Line.BaseLine = std::max(Line.BaseLine, Piece.FontBaseLine);
    Line.LineSize.cy = std::max(Line.LineSize.cy, Piece.ItemSize.cy);
    Line.LineSize.cx += Piece.ItemSize.cx;
    Line.LineItems.push_back(Piece);
  };
  const auto CloseLine = [&] {
    MaxWidth = std::max(MaxWidth, Line.LineSize.cx);
    TotalHeight += Line.LineSize.cy;
    FLinesRenderList.push_back(std::move(Line));
    Line = TLaFlowRenderTextLine();
  };
  if (FWordWrap) {
    Integer X = 0, Y = 0, Offset = 0;
    for (TFlBreakableTextEh* Item : textItems()) {
      ACanvas->SetFont(Item->Font());
      const Integer Ascent = fontAscent(ACanvas);
      TSize Size;
      const TWrappedLinesInfoEh Pieces =
          GetWrappedLinesInfoEh(ACanvas, W, Item->Text(), /*WordWrap=*/true, Size, Offset);
      for (size_t I = 0; I < Pieces.size(); ++I) {
        const TWrappedOneLineInfoEh& P = Pieces[I];
        if (I > 0) {
          CloseLine();
          X = 0;
          Y = TotalHeight;
          Offset = 0;
        }
        AddPiece({{X, Y}, {P.pwi, P.phi}, Ascent, 0, Item, P.st, P.le});
        X += P.pwi;
      }
      if (!Pieces.empty()) Offset += Pieces.back().pwi;
    }
    CloseLine();
  } else {
    Integer X = 0;
    for (TFlBreakableTextEh* Item : textItems()) {
      ACanvas->SetFont(Item->Font());
      const TSize Extent = ACanvas->TextExtent(Item->Text());
      AddPiece({{X, 0}, Extent, fontAscent(ACanvas), 0, Item, 0, Integer(Item->Text().length())});
      X += Extent.cx;
    }
    CloseLine();
  }
  for (TLaFlowRenderTextLine& L : FLinesRenderList)
    for (TLaFlowRenderTextItem& Piece : L.LineItems)
      if (Piece.FontBaseLine < L.BaseLine) Piece.TopIndent = L.BaseLine - Piece.FontBaseLine;
  return {MaxWidth, TotalHeight};
}

void TLaFlowRichBlockEh::DrawClientForeground(TRect ARect, TCanvas* ACanvas) {
  Integer Y = ARect.Top;
  for (const TLaFlowRenderTextLine& L : FLinesRenderList) {
    Integer X = ARect.Left;
    for (const TLaFlowRenderTextItem& Piece : L.LineItems) {
      TFlBreakableTextEh* Item = Piece.TextItem;
      if (!Item) continue;
      const TRect R(X, Y + Piece.TopIndent, X + Piece.ItemSize.cx, Y + Piece.TopIndent + Piece.ItemSize.cy);
      if (Item->Color() != clNone) {
        ACanvas->Brush()->SetStyle(bsSolid);
        ACanvas->Brush()->SetColor(Item->Color());
        ACanvas->FillRect(R);
      }
      ACanvas->SetFont(Item->Font());
      if (Item == FMouseOverItem) ACanvas->Font()->SetStyle(Item->Font()->Style() + TFontStyles{fsUnderline});
      ACanvas->Brush()->SetStyle(bsClear);
      ACanvas->TextOut(R.Left, R.Top, Item->Text().mid(Piece.TextSectorStart, Piece.TextSectorLen));
      X += Piece.ItemSize.cx;
    }
    Y += L.LineSize.cy;
  }
}

TFlBreakableTextEh* TLaFlowRichBlockEh::GetBlockItemAtPos(TPoint Pos) const {
  TFlBreakableTextEh* Result = nullptr;
  for (const TLaFlowRenderTextLine& L : FLinesRenderList) {
    for (const TLaFlowRenderTextItem& Piece : L.LineItems) {
      const TRect Box(Piece.ItemPos.X, Piece.ItemPos.Y, Piece.ItemPos.X + Piece.ItemSize.cx,
                      Piece.ItemPos.Y + Piece.ItemSize.cy);
      if (Piece.TextItem && Piece.TextItem->IsHyperLink() && Box.Contains(Pos)) {
        Result = Piece.TextItem;
        break;
      }
    }
  }
  return Result;
}

void TLaFlowRichBlockEh::SetMouseOverItem(TFlBreakableTextEh* Value) {
  if (Value == FMouseOverItem) return;
  FMouseOverItem = Value;
  Screen->SetCursor(Value ? crHandPoint : crDefault);
  Invalidate();
}

void TLaFlowRichBlockEh::MouseLeave() {
  FMouseInControl = false;
  SetMouseOverItem(nullptr);
}

void TLaFlowRichBlockEh::MouseMove(TShiftState, Integer X, Integer Y) { SetMouseOverItem(GetBlockItemAtPos({X, Y})); }

void TLaFlowRichBlockEh::MouseDown(TMouseButton, TShiftState, Integer X, Integer Y) {
  // the link reacts to the press, not the release
  TFlBreakableTextEh* Item = GetBlockItemAtPos({X, Y});
  if (Item && OnHyperLinkClick.Assigned()) OnHyperLinkClick(Item);
}

// ---------------------------------------------------------------------------

bool SplitTextToLinksEh(const String& Text, TLaFlowRichBlockEh* Block, bool AddTailAlways) {
  // positions are 1-based, as the rules are written
  const auto At = [&Text](Integer Pos) { return Text[Pos - 1]; };
  const Integer N = Integer(Text.length());
  Block->ClearItems();
  bool DotSeen = false, AnyLinkChar = false;
  Integer NextStart = 1;
  const auto AddPlain = [Block](const String& S) {
    if (!S.isEmpty()) (new TFlBreakableTextEh(Block))->SetText(S);
  };
  const auto Emit = [&](Integer Start, Integer Length) {
    AddPlain(Text.mid(NextStart - 1, Start - NextStart));
    const String Link = Text.mid(Start - 1, Length);
    if (!Link.isEmpty()) {
      auto* Item = new TFlBreakableTextEh(Block);
      Item->SetText(Link);
      Item->SetIsHyperLink(true);
      Item->SetFontColor(clHotLight);
    }
    NextStart = Start + Length;
  };
  for (Integer I = 1; I <= N; ++I) {
    Integer PrefixLength = 0;
    for (const char* Prefix : LinkPrefixes) {
      const Integer L = Integer(qstrlen(Prefix));
      if (I + L - 1 <= N && Text.mid(I - 1, L) == QLatin1String(Prefix)) {
        PrefixLength = L;
        break;
      }
    }
    if (PrefixLength == 0 || (I > 1 && !isWordBreak(At(I - 1)))) continue;
    const Integer Start = I;
    QChar LastChar;
    Integer LinkEnd = I;
    I += PrefixLength - 1;
    for (Integer J = I + 1; J <= N && isLinkChar(At(J)); ++J) {
      LinkEnd = J;
      LastChar = At(J);
      if (LastChar == u'.') DotSeen = true;
      AnyLinkChar = true;
    }
    const bool EndsWord = LinkEnd >= N - 1 || isWordBreak(At(LinkEnd + 1));
    if (DotSeen && LastChar != u'.' && EndsWord) {
      Emit(Start, LinkEnd - Start + 1);
      I = LinkEnd + 1;
    }
  }
  if (NextStart >= 2 || AddTailAlways) AddPlain(Text.mid(NextStart - 1));
  return AnyLinkChar;
}
