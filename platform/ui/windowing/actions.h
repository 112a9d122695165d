// Actions: a command with its own caption, state and handler that menu items
// and buttons link to.
//
// An action keeps a list of client links.  A property change of the action
// flows to every client whose matching property still equals the action's
// old value (the client did not override it); the client's click executes
// the action through its link.  Freeing the action unlinks every client;
// freeing a client's link leaves the action's list.
#pragma once

#include "platform/rtl/component.h"
#include "platform/ui/windowing/inputrouter.h"

#include <vector>

class TBasicAction;
class TControl;
class TMenuItem;

// ---------------------------------------------------------------------------
// links

// The client side of an action: created by the client, which it does not own.
class TBasicActionLink : public TObject {
  RTL_CLASS(TBasicActionLink, TObject)
public:
  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;

  TBasicAction* Action() const { return FAction; }
  // Moves the link to Value (nullptr: none).
  void SetAction(TBasicAction* Value);
  // Runs the action with AComponent as its ActionComponent; False without one.
  virtual bool Execute(TComponent* AComponent = nullptr);
  // Asks the action to update itself (OnUpdate); False without one.
  virtual bool Update();

  // The action changed (any property); the client copies what it needs.
  TNotifyEvent OnChange;

protected:
  friend class TBasicAction;
  virtual void AssignClient(TObject* AClient) {}
  virtual void Change();
  // The client's click handler is the action's OnExecute.
  virtual bool IsOnExecuteLinked() { return true; }
  virtual void SetOnExecute(const TNotifyEvent& Value) {}

  TBasicAction* FAction = nullptr;

private:
  struct TExecuting;
  // The Execute calls running on this link, innermost first: a handler may
  // free the link (with its client) while they wait for the action.
  TExecuting* FExecuting = nullptr;
};

// A link that carries TCustomAction's properties to its client: each
// IsXLinked tells whether the client still follows the action, each SetX
// passes a new value on (base: nothing; client links override).
class TActionLink : public TBasicActionLink {
  RTL_CLASS(TActionLink, TBasicActionLink)
public:
  using TBasicActionLink::TBasicActionLink;

protected:
  friend class TCustomAction;
  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();
  virtual bool IsAutoCheckLinked();
  virtual void SetCaption(const String& Value) {}
  virtual void SetChecked(bool Value) {}
  virtual void SetEnabled(bool Value) {}
  virtual void SetGroupIndex(Integer Value) {}
  virtual void SetHint(const String& Value) {}
  virtual void SetImageIndex(Integer Value) {}
  virtual void SetShortCut(TShortCut Value) {}
  virtual void SetVisible(bool Value) {}
  virtual void SetAutoCheck(bool Value) {}
};

// ---------------------------------------------------------------------------
// actions

class TBasicAction : public TComponent {
  RTL_CLASS(TBasicAction, TComponent)
public:
  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;
  void BeforeDestruction() override;

  // OnExecute when assigned (True), else False.
  virtual bool Execute();
  // OnUpdate when assigned (True), else False.
  virtual bool Update();
  // Target-directed use (standard actions override): base handles nothing.
  virtual bool HandlesTarget(TObject* Target) { return false; }
  virtual void ExecuteTarget(TObject* Target) {}
  virtual void UpdateTarget(TObject* Target) {}

  // The client that executed the action last.
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* Value);

  const TNotifyEvent& OnExecute() const { return FOnExecute; }
  // Passed to the clients whose click handler was the old one.
  void SetOnExecute(const TNotifyEvent& Value);
  TNotifyEvent OnUpdate;

protected:
  friend class TBasicActionLink;
  // Every client link's Change.
  virtual void Change();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  int ClientCount() const { return int(FClients.size()); }
  TBasicActionLink* Clients(int Index) const { return FClients[size_t(Index)]; }

private:
  void unlinkClients();

  std::vector<TBasicActionLink*> FClients;
  TComponent* FActionComponent = nullptr;
  TNotifyEvent FOnExecute;
};

class TCustomAction : public TBasicAction {
  RTL_CLASS(TCustomAction, TBasicAction)
public:
  explicit TCustomAction(TComponent* AOwner) : TBasicAction(AOwner) {}

  // Update first; a disabled action does nothing (False); AutoCheck toggles
  // Checked; then the base.
  bool Execute() override;

  // properties (each change passes through the linked clients, then Change)
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Integer GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(Integer Value);
  const String& Hint() const { return FHint; }
  void SetHint(const String& Value);
  Integer ImageIndex() const { return FImageIndex; }
  void SetImageIndex(Integer Value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool Value);

private:
  // Field takes Value: every TActionLink client hears of it through
  // LinkSetter, then Change.
  template <class V, class S>
  void setLinked(V& Field, const V& Value, S LinkSetter);

  String FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  Integer FGroupIndex = 0;
  String FHint;
  Integer FImageIndex = -1;
  TShortCut FShortCut = 0;
  bool FVisible = true;
  bool FAutoCheck = false;
};

class TAction : public TCustomAction {
  RTL_CLASS(TAction, TCustomAction)
public:
  explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
};

// ---------------------------------------------------------------------------
// client links

// A menu item's link: the action's properties become the item's while the
// item still shows the action's values.
class TMenuActionLink : public TActionLink {
  RTL_CLASS(TMenuActionLink, TActionLink)
public:
  explicit TMenuActionLink(TObject* AClient);

protected:
  void AssignClient(TObject* AClient) override;
  bool IsOnExecuteLinked() override;
  void SetOnExecute(const TNotifyEvent& Value) override;
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsGroupIndexLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsAutoCheckLinked() override;
  void SetCaption(const String& Value) override;
  void SetChecked(bool Value) override;
  void SetEnabled(bool Value) override;
  void SetGroupIndex(Integer Value) override;
  void SetHint(const String& Value) override;
  void SetImageIndex(Integer Value) override;
  void SetShortCut(TShortCut Value) override;
  void SetVisible(bool Value) override;
  void SetAutoCheck(bool Value) override;

private:
  TMenuItem* FClient = nullptr;
};

// A control's link: Caption, Enabled, Hint and Visible follow the action
// while the control still shows the action's values, and OnClick follows
// OnExecute while it is the action's handler.
class TControlActionLink : public TActionLink {
  RTL_CLASS(TControlActionLink, TActionLink)
public:
  explicit TControlActionLink(TObject* AClient);

protected:
  void AssignClient(TObject* AClient) override;
  bool IsOnExecuteLinked() override;
  void SetOnExecute(const TNotifyEvent& Value) override;
  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  void SetCaption(const String& Value) override;
  void SetEnabled(bool Value) override;
  void SetHint(const String& Value) override;
  void SetVisible(bool Value) override;

  TControl* FClient = nullptr;
};

