// Shell open: documents and web addresses in the user's default program.
//
// ShellExecute sorts the target: a URL is passed on unchanged, anything else
// is a file path and goes through NativePath.  The process-wide shell then
// opens it; the real one starts the opener command (xdg-open) with the target
// as one argument, detached, through SpawnProcess, so no shell ever reads the
// target and the caller never waits for the viewer.  Tests install a
// recording shell, or a recording opener command.
#pragma once

#include "platform/rtl/system.h"

// ShellExecute results: any value above 32 means "launched".
inline constexpr Integer SE_ERR_FNF = 2;       // the file does not exist
inline constexpr Integer SE_ERR_NOASSOC = 31;  // no program opens it
inline constexpr Integer ShellLaunched = 42;

// Opens Target: Verb "open" (any case) or "" is the default action; any other
// verb answers SE_ERR_NOASSOC.  Owner, Params, Directory and ShowCmd are
// accepted and not used.
Integer ShellExecute(NativeUInt Owner, const String& Verb, const String& Target, const String& Params,
                     const String& Directory, Integer ShowCmd);

// A scheme of two or more characters of [A-Za-z0-9+.-] and ":" first
// ("http:", "mailto:"); a drive letter is no scheme.
bool IsURLTarget(const String& Target);

class IShell {
public:
  virtual ~IShell() = default;
  // Target is a URL as given or a native path.  The real shell answers
  // SE_ERR_FNF for a path that does not exist (nothing is started),
  // SE_ERR_NOASSOC when the opener cannot be started, else ShellLaunched.
  virtual Integer Open(const String& Verb, const String& Target, Integer ShowCmd) = 0;
};

// The shell in use: the innermost TShellScope's, else the real one.
IShell& Shell();

// Installs AShell for the lifetime of the scope and then puts the previous
// one back; does not own it.
class TShellScope {
public:
  explicit TShellScope(IShell& AShell);
  ~TShellScope();
  TShellScope(const TShellScope&) = delete;
  TShellScope& operator=(const TShellScope&) = delete;

private:
  IShell* FPrevious;
};

// The real shell's opener: a command line (split by SplitCommandLine) to
// which the target is appended as one more argument.  "xdg-open" unless a
// TOpenerCommandScope is active.
String OpenerCommand();

class TOpenerCommandScope {
public:
  explicit TOpenerCommandScope(const String& CommandLine);
  ~TOpenerCommandScope();
  TOpenerCommandScope(const TOpenerCommandScope&) = delete;
  TOpenerCommandScope& operator=(const TOpenerCommandScope&) = delete;

private:
  String FCommandLine;
  const String* FPrevious;
};
