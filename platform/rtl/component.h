// TPersistent and TComponent: assignment, ownership, names, notifications,
// the loading state and the destruction protocol.
//
// Ownership: a component's owner frees it.  The owner keeps its components in
// creation order (ComponentIndex can move one); freeing the owner frees them
// last-first.
//
// Destruction: Free() runs BeforeDestruction while the object is still whole
// (a receiver's dynamic_cast sees its real class), and only then the C++
// destructors run.  For a component that means, in this order:
//   1. csDestroying on the component and, recursively, on everything it owns;
//   2. opRemove to every free-notified partner;
//   3. its own components freed, last first;
//   4. removal from its owner, which hears opRemove and passes it on to every
//      component it owns.
// A component destroyed by a plain delete (or on the stack) runs the same
// steps from ~TComponent, when the derived parts are already gone: receivers
// of its notifications then see only a TComponent.
//
// Construction: the owner hears opInsert from TComponent's constructor, before
// the derived constructors have run, so a receiver sees only a TComponent.
#pragma once

#include "platform/rtl/methodptr.h"
#include "platform/rtl/object.h"
#include "platform/rtl/typinfo.h"

#include <vector>

class TFiler;
class TReader;
class TWriter;

class TPersistent : public TObject {
  RTL_CLASS(TPersistent, TObject)
public:
  TPersistent() = default;

  // Copies Source into this object by asking Source->AssignTo(this); a class
  // that knows its sources overrides it and calls the base for the rest.
  virtual void Assign(TPersistent* Source);
  // The owner's path + "." + the class name, or the class name alone.
  virtual String GetNamePath();

protected:
  // Base: EConvertError "Cannot assign a <this class> to a <Dest's class>".
  virtual void AssignTo(TPersistent* Dest);
  // Raises EConvertError "Cannot assign a %s to a %s" with Source's class
  // name (or "nil") and this class's name.
  [[noreturn]] void AssignError(TPersistent* Source);
  // Declares data streamed beside the published properties; base: nothing.
  virtual void DefineProperties(TFiler* Filer);
  virtual TPersistent* GetOwner();

  friend class TReader;
  friend class TWriter;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading,
  csReading,
  csWriting,
  csDestroying,
  csDesigning,
  csAncestor,
  csUpdating,
  csFixups,
  csInline
};
using TComponentState = TSet<TComponentStateItem>;

enum TComponentStyleItem { csInheritable, csCheckPropAvail, csSubComponent, csTransient };
using TComponentStyle = TSet<TComponentStyleItem>;

class TComponent;
using TGetChildProc = TMethodPtr<void(TComponent* Child)>;

class TComponent : public TPersistent {
  RTL_CLASS(TComponent, TPersistent)
public:
  // Joins AOwner's components when AOwner is given.
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  void BeforeDestruction() override;
  static void DescribeProperties(TPropertyTable& Props);

  // ownership
  TComponent* Owner() const { return FOwner; }
  TComponent* Components(int Index) const;
  int ComponentCount() const { return int(FComponents.size()); }
  // The place among the owner's components, -1 without an owner.  Setting it
  // moves the component, clamped to the list.
  int ComponentIndex() const;
  void SetComponentIndex(int Value);
  // The owned component named AName (any case); nullptr when none or AName is "".
  TComponent* FindComponent(const String& AName) const;
  // Takes AComponent (which has no owner) into this one's components;
  // EComponentError when its name is taken.  The owner hears opInsert.
  void InsertComponent(TComponent* AComponent);
  // Gives AComponent up without freeing it; the owner hears opRemove first.
  void RemoveComponent(TComponent* AComponent);
  // Frees every owned component, last first.
  void DestroyComponents();
  // Sets csDestroying here and on everything owned, once.
  void Destroying();

  // properties
  const String& Name() const { return FName; }
  // An identifier or ""; unique among the owner's components, ignoring case.
  // EComponentError "'%s' is not a valid component name" or "A component
  // named %s already exists".
  virtual void SetName(const String& NewName);
  NativeInt Tag() const { return FTag; }
  void SetTag(NativeInt Value) { FTag = Value; }
  TComponentState ComponentState() const { return FComponentState; }
  TComponentStyle ComponentStyle() const { return FComponentStyle; }
  // Marks a component that another one publishes as a property and streams
  // inline (csSubComponent).
  void SetSubComponent(bool IsSubComponent);
  String GetNamePath() override;

  // parents: the containment the stream writes children under (controls
  // in their parent); base: none
  virtual TComponent* GetParentComponent() const;
  virtual bool HasParent() const;

  // notifications: both partners hear opRemove when either dies.  Components
  // of one owner hear of each other through the owner anyway.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

protected:
  // Runs after loading; base: clears csLoading.
  virtual void Loaded();
  // AComponent was inserted or is being removed or freed.  Base: an opRemove
  // ends a free-notification link; then every owned component hears it too.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Calls Proc for each child the stream writes under this component.
  virtual void GetChildren(TGetChildProc Proc, TComponent* Root);
  virtual void SetParentComponent(TComponent* Value);

  // streaming (filer.h)
  // Reads the properties and children the stream holds for this component;
  // base: Reader->ReadData(this).
  virtual void ReadState(TReader* Reader);
  // Writes them; base: Writer->WriteData(this).
  virtual void WriteState(TWriter* Writer);
  // The owner of the children read under this component; nullptr: the
  // reader's root.
  virtual TComponent* GetChildOwner();
  // The parent of the children read under this component; base: itself.
  virtual TComponent* GetChildParent();
  // Moves Child, read with a stored position, to place Order among this
  // component's children; base: nothing.
  virtual void SetChildOrder(TComponent* Child, int Order);
  // Raises when AComponent, owned here, cannot be renamed from CurName to NewName.
  virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
  TPersistent* GetOwner() override;

  friend void BeginLoading(TComponent* Root);
  friend void EndLoading(TComponent* Root);
  friend class TReader;
  friend class TWriter;

private:
  void runDestructionProtocol();
  void removeFreeNotifications();
  void removeNotification(TComponent* AComponent);
  // Drops AComponent from the list without telling anyone.
  void remove(TComponent* AComponent);

  TComponent* FOwner = nullptr;
  String FName;
  NativeInt FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;  // partners to tell when this one dies
  TComponentState FComponentState;
  TComponentStyle FComponentStyle{csInheritable};
  bool FFreeNotification = false;  // asked for free notifications: its owner tells siblings when freeing it
  bool FLoadingRoot = false;       // between BeginLoading and EndLoading: new components load too
};

// Puts Root and the components it owns (and any it gains until EndLoading)
// into csLoading, as reading them from a stream would.
void BeginLoading(TComponent* Root);
// Calls Loaded on Root and then on each owned component still loading, in
// creation order, once each.
void EndLoading(TComponent* Root);
