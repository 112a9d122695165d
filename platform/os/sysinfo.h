// System information: the OS version the ported code asks about.
//
// Linux has no answer that the version checks of the original could use, so
// a fixed stand-in record answers: Windows 10 (NT 10.0, build 19045), which
// sends every "at least version X" check down its modern branch.  Tests
// install another record to reach the other branches.
#pragma once

#include "platform/rtl/system.h"

inline constexpr Integer VER_PLATFORM_WIN32s = 0;
inline constexpr Integer VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr Integer VER_PLATFORM_WIN32_NT = 2;

struct TWin32Version {
  Integer Platform = VER_PLATFORM_WIN32_NT;
  Integer MajorVersion = 10;
  Integer MinorVersion = 0;
  Integer BuildNumber = 19045;
  String CSDVersion;  // the service pack text
};

// The record in use: the innermost TWin32VersionScope's, else the stand-in.
const TWin32Version& Win32Version();
Integer Win32Platform();
Integer Win32MajorVersion();
Integer Win32MinorVersion();
Integer Win32BuildNumber();
String Win32CSDVersion();
// Whether the version is AMajor.AMinor or later.
bool CheckWin32Version(Integer AMajor, Integer AMinor = 0);

// Installs Version for the lifetime of the scope, then puts the previous
// record back.  Set while no other thread asks.
class TWin32VersionScope {
public:
  explicit TWin32VersionScope(const TWin32Version& Version);
  ~TWin32VersionScope();
  TWin32VersionScope(const TWin32VersionScope&) = delete;
  TWin32VersionScope& operator=(const TWin32VersionScope&) = delete;

private:
  TWin32Version FVersion;
  const TWin32Version* FPrevious;
};
