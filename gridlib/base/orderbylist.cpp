#include "gridlib/base/orderbylist.h"

#include "platform/rtl/exceptions.h"

#include <memory>
#include <vector>

namespace {

bool isBlank(QChar C) { return C <= QChar(u' '); }
bool isSeparator(const String& Token) { return Token == u"," || Token == u";"; }

[[noreturn]] void raiseFieldNotFound(const String& Name) {
  throw Exception(QStringLiteral(" Field - \"") + Name + QStringLiteral("\" not found."));
}

[[noreturn]] void raiseInvalidToken(const String& Token) {
  throw Exception(QStringLiteral(" Invalid token - \"") + Token + u'"');
}

}  // namespace

TOrderByList::~TOrderByList() { ClearFreeItems(); }

String TOrderByList::GetToken(const String& Exp, Integer& FromIndex) {
  const Integer Len = Integer(Exp.size());
  const auto At = [&Exp](Integer I) { return Exp[I - 1]; };
  while (FromIndex <= Len && isBlank(At(FromIndex))) ++FromIndex;
  if (FromIndex > Len) return String();

  const QChar First = At(FromIndex);
  if (First == u',' || First == u';') {
    ++FromIndex;
    return String(First);
  }
  Integer Start = FromIndex;
  if (First == u'[') {
    Start = ++FromIndex;
    while (FromIndex <= Len && At(FromIndex) != u']') ++FromIndex;
  } else {
    while (FromIndex <= Len && !isBlank(At(FromIndex)) && At(FromIndex) != u',' && At(FromIndex) != u';')
      ++FromIndex;
  }
  const String Token = Exp.mid(Start - 1, FromIndex - Start);
  if (FromIndex <= Len && At(FromIndex) == u']') ++FromIndex;
  return Token;
}

void TOrderByList::ParseOrderByStr(const String& OrderByStr) {
  // The new items wait here until the whole text has parsed, so that a
  // failing text leaves the list as it was.
  std::vector<std::unique_ptr<TOrderByItemEh>> Parsed;
  Integer Pos = 1;
  String Token = GetToken(OrderByStr, Pos);
  while (!Token.isEmpty()) {
    const Integer Index = FieldIndexOfName(Token);
    if (Index == -1) raiseFieldNotFound(Token);
    auto Item = std::make_unique<TOrderByItemEh>();
    SetItemFieldIndex(Item.get(), Index);
    for (Token = GetToken(OrderByStr, Pos); !Token.isEmpty() && !isSeparator(Token);
         Token = GetToken(OrderByStr, Pos)) {
      if (Token.compare(u"DESC", Qt::CaseInsensitive) == 0)
        Item->Desc = true;
      else if (Token.compare(u"ASC", Qt::CaseInsensitive) != 0)
        raiseInvalidToken(Token);
    }
    Parsed.push_back(std::move(Item));
    // A separator at the very end ends the text like the end itself.
    if (!Token.isEmpty()) Token = GetToken(OrderByStr, Pos);
  }

  ClearFreeItems();
  for (auto& Item : Parsed) Add(Item.release());
}

void TOrderByList::ClearFreeItems() {
  if (!OwnsObjects())
    for (Integer I = 0; I < Count(); ++I) delete Items(I);
  Clear();
}

void TOrderByList::SetItemFieldIndex(TOrderByItemEh* /*Item*/, Integer /*FieldIndex*/) {}

Integer TOrderByList::FieldIndexOfName(const String& /*Name*/) { return -1; }
