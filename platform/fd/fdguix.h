// The wait-cursor hook of the data-access layer and the two components a data
// module holds for it: the wait cursor and the SQLite driver link.
//
// The layer stays below the user interface: it only calls the process-wide
// hook that the user interface installs (the screen cursor turns to the
// hourglass and back).  The hook runs only while at least one
// TFDGUIxWaitCursor exists; without one, or without a hook, waiting is silent,
// so the layer runs headless.
#pragma once

#include "platform/rtl/component.h"

class IFDGUIxWaitCursorHook {
public:
  virtual ~IFDGUIxWaitCursorHook() = default;
  virtual void StartWait() = 0;
  virtual void StopWait() = 0;
};

// Installs Hook (not owned; nullptr removes it) and answers the previous one.
IFDGUIxWaitCursorHook* FDGUIxSetWaitCursorHook(IFDGUIxWaitCursorHook* Hook);

// Marks the work of one layer operation (connect, fetch, ExecSQL, apply,
// refresh, commit).  Scopes nest: the hook hears StartWait when the outermost
// one begins and StopWait when it ends, also when it ends by an exception.
class TFDWaitScope {
public:
  TFDWaitScope();
  ~TFDWaitScope();
  TFDWaitScope(const TFDWaitScope&) = delete;
  TFDWaitScope& operator=(const TFDWaitScope&) = delete;
};

// While one exists the layer's work shows the wait cursor.
class TFDGUIxWaitCursor : public TComponent {
  RTL_CLASS(TFDGUIxWaitCursor, TComponent)
public:
  explicit TFDGUIxWaitCursor(TComponent* AOwner);
  ~TFDGUIxWaitCursor() override;
  // Provider.
  static void DescribeProperties(TPropertyTable& Props);

  // The user-interface kind that shows the cursor; stored only ("Forms").
  const String& Provider() const { return FProvider; }
  void SetProvider(const String& Value) { FProvider = Value; }

private:
  String FProvider = QStringLiteral("Forms");
};

// The SQLite driver of a data module: it names the driver and has no
// behaviour of its own.
class TFDPhysSQLiteDriverLink : public TComponent {
  RTL_CLASS(TFDPhysSQLiteDriverLink, TComponent)
public:
  explicit TFDPhysSQLiteDriverLink(TComponent* AOwner) : TComponent(AOwner) {}
};
