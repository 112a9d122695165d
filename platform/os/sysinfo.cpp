#include "platform/os/sysinfo.h"

namespace {

constinit const TWin32Version* VersionOverride = nullptr;

}  // namespace

const TWin32Version& Win32Version() {
  static const TWin32Version StandIn;
  return VersionOverride ? *VersionOverride : StandIn;
}

Integer Win32Platform() { return Win32Version().Platform; }
Integer Win32MajorVersion() { return Win32Version().MajorVersion; }
Integer Win32MinorVersion() { return Win32Version().MinorVersion; }
Integer Win32BuildNumber() { return Win32Version().BuildNumber; }
String Win32CSDVersion() { return Win32Version().CSDVersion; }

bool CheckWin32Version(Integer AMajor, Integer AMinor) {
  const TWin32Version& V = Win32Version();
  return V.MajorVersion > AMajor || (V.MajorVersion == AMajor && V.MinorVersion >= AMinor);
}

TWin32VersionScope::TWin32VersionScope(const TWin32Version& Version)
    : FVersion(Version), FPrevious(VersionOverride) {
  VersionOverride = &FVersion;
}

TWin32VersionScope::~TWin32VersionScope() { VersionOverride = FPrevious; }
