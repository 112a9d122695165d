// Program identity: the running executable, its folder, its title and the
// version compiled into it.
//
// Everything here follows ExecutablePath(), which tests can point at a file
// of their own (TProgramPathScope) so that code looking for files beside the
// program finds them in a temporary folder.
#pragma once

#include "platform/rtl/system.h"

// The running executable's full path (/proc/self/exe), or the override.
String ExecutablePath();
// The executable's folder with a trailing "/".
String ProgramFolder();
// The executable's file name up to its first ".", every character after the
// first in lower case: "LEXORIA.EXE" -> "Lexoria", "a.b.c" -> "a".
String ExecutableTitle();
// The four-part version compiled in from the project version, for the
// program's own executable only (the same file as ExecutablePath(), compared
// by device and inode): MS = major << 16 | minor, LS = release << 16 | build.
// False for any other file, which carries no version.
bool GetFileVersion(const String& FileName, Cardinal& MS, Cardinal& LS);

// Makes ExecutablePath() answer Path for the lifetime of the scope, then puts
// the previous answer back.  Set while no other thread asks.
class TProgramPathScope {
public:
  explicit TProgramPathScope(const String& Path);
  ~TProgramPathScope();
  TProgramPathScope(const TProgramPathScope&) = delete;
  TProgramPathScope& operator=(const TProgramPathScope&) = delete;

private:
  String FPath;
  const String* FPrevious;
};
