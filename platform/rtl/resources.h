// Resources compiled into the program: FindResource and TResourceStream.
//
// A resource is found by module, name and type.  The program is one module,
// HInstance(); its resources are the Qt resources compiled in under
// ":/<type folder>/<name>" (RCDATA resources under ":/RCDATA/"), names
// compared in upper case as the original compares them.  Tests add entries
// of their own with TResourceScope, which are found first.
#pragma once

#include "platform/rtl/modules.h"
#include "platform/rtl/streams.h"

#include <QByteArray>

// resource types
inline constexpr Integer RT_BITMAP = 2, RT_RCDATA = 10;

// An opaque found resource; valid while the program runs (test entries: while
// their scope lives).
struct HRSRC__;
using HRSRC = HRSRC__*;

// The resource is not in the module.
RTL_DECLARE_EXCEPTION(EResNotFound, Exception)

// The program's own module.
HMODULE HInstance();

// The resource, or 0 when the module has none of that name and type (another
// module than HInstance() has none).
HRSRC FindResource(HMODULE Module, const String& Name, Integer Type);
// Its bytes; empty for 0.
QByteArray LoadResourceBytes(HRSRC Resource);

// A read-only stream over a resource's bytes.  A missing resource raises
// EResNotFound "Resource %s not found".
class TResourceStream : public TCustomMemoryStream {
  RTL_CLASS(TResourceStream, TCustomMemoryStream)
public:
  TResourceStream(HMODULE Instance, const String& ResName, Integer ResType);

  // Raises EStreamError "Can't write to a read-only resource stream".
  Integer Write(const void* Buffer, Integer Count) override;

private:
  QByteArray FData;
};

// Adds a resource to HInstance() for the lifetime of the scope (tests).
class TResourceScope {
public:
  TResourceScope(const String& Name, Integer Type, const QByteArray& Data);
  ~TResourceScope();
  TResourceScope(const TResourceScope&) = delete;
  TResourceScope& operator=(const TResourceScope&) = delete;

private:
  HRSRC FResource;
};
