#include "platform/ui/windowing/dispatch.h"

#include <algorithm>

// --- TMessageMap -------------------------------------------------------------

TMessageMap::TMessageMap() = default;

TMessageMap::TMessageMap(const TMessageMap& Parent, std::initializer_list<TMessageHandler> Handlers)
    : FParent(&Parent), FHandlers(Handlers) {
  std::stable_sort(FHandlers.begin(), FHandlers.end(),
                   [](const TMessageHandler& A, const TMessageHandler& B) { return A.Msg() < B.Msg(); });
  assert(std::adjacent_find(FHandlers.begin(), FHandlers.end(),
                            [](const TMessageHandler& A, const TMessageHandler& B) { return A.Msg() == B.Msg(); }) ==
             FHandlers.end() &&
         "a message map names a message twice");
}

const TMessageHandler* TMessageMap::Find(gdi::UINT Msg) const {
  auto It = std::lower_bound(FHandlers.begin(), FHandlers.end(), Msg,
                             [](const TMessageHandler& H, gdi::UINT M) { return H.Msg() < M; });
  return It != FHandlers.end() && It->Msg() == Msg ? &*It : nullptr;
}

const TMessageHandler* TMessageMap::Lookup(gdi::UINT Msg) const {
  for (const TMessageMap* Map = this; Map; Map = Map->FParent)
    if (const TMessageHandler* H = Map->Find(Msg)) return H;
  return nullptr;
}

// --- TMessageSpy -------------------------------------------------------------

TMessageSpy::TMessageSpy(TMessageTarget& Target) : FTarget(&Target), FPrevious(Target.FSpy) {
  Target.FSpy = this;
}

TMessageSpy::~TMessageSpy() {
  assert(FTarget->FSpy == this && "message spies must end in the reverse order of their start");
  FTarget->FSpy = FPrevious;
}

std::vector<gdi::UINT> TMessageSpy::Ids(gdi::UINT First, gdi::UINT Last) const {
  std::vector<gdi::UINT> Result;
  for (const TSpiedMessage& M : FMessages)
    if (M.Msg >= First && M.Msg <= Last) Result.push_back(M.Msg);
  return Result;
}

// --- TMessageTarget ----------------------------------------------------------

TMessageTarget::TMessageTarget() : WindowProc(this, &TMessageTarget::WndProc) {}

TMessageTarget::~TMessageTarget() = default;

const TMessageMap& TMessageTarget::MessageMap() {
  static const TMessageMap Root;
  return Root;
}

gdi::LRESULT TMessageTarget::Perform(gdi::UINT Msg, gdi::WPARAM WParam, gdi::LPARAM LParam) {
  TMessage Message{Msg, WParam, LParam, 0};
  Perform(Message);
  return Message.Result;
}

void TMessageTarget::Perform(TMessage& Message) {
  if (!FSpy) {
    WindowProc(Message);
    return;
  }
  // The spy keeps the record by index: nested deliveries append to the same list.
  TMessageSpy* Spy = FSpy;
  const std::size_t Index = Spy->FMessages.size();
  Spy->FMessages.push_back({Message.Msg, Message.WParam, Message.LParam, 0});
  WindowProc(Message);
  if (FSpy == Spy) Spy->FMessages[Index].Result = Message.Result;
}

void TMessageTarget::WndProc(TMessage& Message) { Dispatch(Message); }

void TMessageTarget::Dispatch(TMessage& Message) { DispatchFrom(ClassMessageMap(), Message, Message.Msg); }

void TMessageTarget::DispatchFrom(const TMessageMap& Map, TMessage& Message) {
  DispatchFrom(Map, Message, Message.Msg);
}

void TMessageTarget::DispatchFrom(const TMessageMap& Map, TMessage& Message, gdi::UINT Msg) {
  if (const TMessageHandler* Handler = Map.Lookup(Msg))
    Handler->Invoke(*this, Message);
  else
    DefaultHandler(Message);
}

void TMessageTarget::DefaultHandler(TMessage&) {}
