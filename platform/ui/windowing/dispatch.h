// Message dispatch: per-class message maps with inherited handling.
//
// A message reaches an object through
//
//   Perform(Msg, W, L) -> WindowProc (assignable, default WndProc)
//     -> virtual WndProc -> Dispatch -> the most-derived handler for Msg in
//        the class message maps -> ... -> virtual DefaultHandler
//
// Each class that handles messages owns one TMessageMap: its own handlers
// plus a link to its parent class's map, so lookup walks from the object's
// class up to TMessageTarget's empty root map, and a message no class
// handles goes to DefaultHandler.  A class declares its map with one line in
// its body,
//
//   class TFoo : public TCustomControl {
//     RTL_CLASS(TFoo, TCustomControl)
//     UI_MESSAGE_MAP
//   ...
//     void WMSize(TWMSize& Message);
//     void CMFontChanged(TMessage& Message);
//   };
//
// and defines it in its .cpp, naming the parent class's map:
//
//   const TMessageMap& TFoo::MessageMap() {
//     static const TMessageMap Map(TCustomControl::MessageMap(), {
//         {WM_SIZE, &TFoo::WMSize},
//         {CM_FONTCHANGED, &TFoo::CMFontChanged},
//     });
//     return Map;
//   }
//
// A class without UI_MESSAGE_MAP uses its parent's map.  A handler takes
// TMessage& or a cracked record of it (messages.h).  Inside a handler, the
// inherited handling of the same message is
//
//   DispatchAs<TCustomControl>(Message);
//
// which looks the message up from the parent class's map on (and reaches
// DefaultHandler when no ancestor handles it); naming a more distant ancestor
// skips the handlers in between.  Exceptions from handlers propagate to the
// caller of Perform.
#pragma once

#include "platform/rtl/methodptr.h"
#include "platform/ui/windowing/messages.h"

#include <cassert>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <vector>

class TMessageTarget;

// A window procedure bound to an object (TControl.WindowProc, AllocateHWnd).
using TWndMethod = TMethodPtr<void(TMessage& Message)>;

// One row of a message map: a message number and the member function that
// handles it.
class TMessageHandler {
public:
  // Handler is a member of C (a TMessageTarget) taking TMessage& or a cracked
  // record of it.
  template <class C, class R>
    requires(std::is_base_of_v<TMessageTarget, C> && MessageRecord<R>)
  TMessageHandler(gdi::UINT Msg, void (C::*Handler)(R&)) : FMsg(Msg) {
    static_assert(sizeof(Handler) <= sizeof(FMethod));
    std::memcpy(FMethod, &Handler, sizeof(Handler));
    FInvoke = &invoke<C, R>;
  }

  gdi::UINT Msg() const { return FMsg; }
  void Invoke(TMessageTarget& Target, TMessage& Message) const { FInvoke(*this, Target, Message); }

private:
  template <class C, class R>
  static void invoke(const TMessageHandler& Self, TMessageTarget& Target, TMessage& Message);

  gdi::UINT FMsg;
  void (*FInvoke)(const TMessageHandler&, TMessageTarget&, TMessage&);
  alignas(void*) unsigned char FMethod[2 * sizeof(void*)];
};

// The handlers one class adds, linked to its parent class's map.  Made once
// per class (a function-local static) and never changed.
class TMessageMap {
public:
  // The root map: no handlers, no parent.
  TMessageMap();
  // A class's map; a message number may appear once (asserted).
  TMessageMap(const TMessageMap& Parent, std::initializer_list<TMessageHandler> Handlers);
  TMessageMap(const TMessageMap&) = delete;
  TMessageMap& operator=(const TMessageMap&) = delete;

  const TMessageMap* Parent() const { return FParent; }
  // This class's own handler for Msg; nullptr when it adds none.
  const TMessageHandler* Find(gdi::UINT Msg) const;
  // The nearest handler for Msg from this class up; nullptr when none.
  const TMessageHandler* Lookup(gdi::UINT Msg) const;

private:
  const TMessageMap* FParent = nullptr;
  std::vector<TMessageHandler> FHandlers;  // sorted by message number
};

// Declares the class's message map (see the top of this file); leaves the
// access level public, as RTL_CLASS does.
#define UI_MESSAGE_MAP                                                      \
public:                                                                     \
  static const TMessageMap& MessageMap();                                   \
  const TMessageMap& ClassMessageMap() const override { return MessageMap(); }

// A test seam: records every message Perform delivers to one target, in
// delivery order, with the Result it came back with.  Nested deliveries are
// recorded when they start, so a message sent from inside a handler follows
// the message that caused it.
struct TSpiedMessage {
  gdi::UINT Msg = 0;
  gdi::WPARAM WParam = 0;
  gdi::LPARAM LParam = 0;
  gdi::LRESULT Result = 0;
};

class TMessageSpy {
public:
  explicit TMessageSpy(TMessageTarget& Target);
  ~TMessageSpy();
  TMessageSpy(const TMessageSpy&) = delete;
  TMessageSpy& operator=(const TMessageSpy&) = delete;

  const std::vector<TSpiedMessage>& Messages() const { return FMessages; }
  // The message numbers only, optionally those in [First, Last].
  std::vector<gdi::UINT> Ids(gdi::UINT First = 0, gdi::UINT Last = 0xFFFFFFFF) const;
  void Clear() { FMessages.clear(); }

private:
  friend class TMessageTarget;
  TMessageTarget* FTarget;
  TMessageSpy* FPrevious;
  std::vector<TSpiedMessage> FMessages;
};

// The receiving side of messages: TControl derives from it; any object with
// message handlers may.
class TMessageTarget {
public:
  TMessageTarget();
  virtual ~TMessageTarget();
  TMessageTarget(const TMessageTarget&) = delete;
  TMessageTarget& operator=(const TMessageTarget&) = delete;

  // message maps
  // The root map, empty.
  static const TMessageMap& MessageMap();
  // The map of the object's class (UI_MESSAGE_MAP overrides it).
  virtual const TMessageMap& ClassMessageMap() const { return MessageMap(); }

  // delivery
  // Sends a message to this object through WindowProc; answers its Result.
  gdi::LRESULT Perform(gdi::UINT Msg, gdi::WPARAM WParam, gdi::LPARAM LParam);
  // The same with a record the caller keeps (Result is left in it).
  void Perform(TMessage& Message);
  // Where Perform sends; code may hook it and call the saved one.
  TWndMethod WindowProc;
  // The default WindowProc: Dispatch.
  virtual void WndProc(TMessage& Message);
  // The most-derived handler for Message.Msg, else DefaultHandler.
  void Dispatch(TMessage& Message);
  // Dispatch from a given class's map: the handler for Msg (default
  // Message.Msg) in Map or above, else DefaultHandler.  Handlers use the
  // DispatchAs form for inherited handling.
  void DispatchFrom(const TMessageMap& Map, TMessage& Message);
  void DispatchFrom(const TMessageMap& Map, TMessage& Message, gdi::UINT Msg);
  template <class Ancestor, MessageRecord R>
  void DispatchAs(R& Message) {
    static_assert(std::is_base_of_v<TMessageTarget, Ancestor>);
    DispatchFrom(Ancestor::MessageMap(), AsMessage(Message));
  }
  // For a handler that changed Message.Msg: the ancestors' handling of the
  // message it was declared for.
  template <class Ancestor, MessageRecord R>
  void DispatchAs(R& Message, gdi::UINT Msg) {
    static_assert(std::is_base_of_v<TMessageTarget, Ancestor>);
    DispatchFrom(Ancestor::MessageMap(), AsMessage(Message), Msg);
  }
  // What happens to a message no handler takes: nothing here; TWinControl
  // gives it to the window's default processing.
  virtual void DefaultHandler(TMessage& Message);

private:
  friend class TMessageSpy;
  TMessageSpy* FSpy = nullptr;
};

template <class C, class R>
void TMessageHandler::invoke(const TMessageHandler& Self, TMessageTarget& Target, TMessage& Message) {
  void (C::*Handler)(R&);
  std::memcpy(&Handler, Self.FMethod, sizeof(Handler));
  (static_cast<C&>(Target).*Handler)(Message.template As<R>());
}
