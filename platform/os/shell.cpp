#include "platform/os/shell.h"

#include "platform/os/drivemap.h"
#include "platform/os/filesys.h"
#include "platform/os/process.h"
#include "platform/rtl/strutils.h"

namespace {

constinit IShell* ScopeShell = nullptr;
constinit const String* OpenerOverride = nullptr;

constexpr char16_t DefaultOpener[] = u"xdg-open";

bool isSchemeChar(Char C) {
  const char16_t U = C.unicode();
  return (U >= u'a' && U <= u'z') || (U >= u'A' && U <= u'Z') || (U >= u'0' && U <= u'9') || U == u'+' ||
         U == u'.' || U == u'-';
}

class TXdgShell : public IShell {
public:
  Integer Open(const String& Verb, const String& Target, Integer ShowCmd) override {
    if (!IsURLTarget(Target) && !FileExists(Target) && !DirectoryExists(Target)) return SE_ERR_FNF;
    TArgv Argv = SplitCommandLine(OpenerCommand());
    if (Argv.empty()) return SE_ERR_NOASSOC;
    Argv[0] = FindProgram(Argv[0]);
    if (Argv[0].isEmpty()) return SE_ERR_NOASSOC;
    Argv.push_back(Target);
    // Detached: an opener may stay until the viewer closes.
    return SpawnProcess(Argv, {.Hidden = false, .Detached = true}) < 0 ? SE_ERR_NOASSOC : ShellLaunched;
  }
};

}  // namespace

Integer ShellExecute(NativeUInt, const String& Verb, const String& Target, const String&, const String&,
                     Integer ShowCmd) {
  if (!Verb.isEmpty() && !SameText(Verb, QStringLiteral("open"))) return SE_ERR_NOASSOC;
  return Shell().Open(Verb, IsURLTarget(Target) ? Target : NativePath(Target), ShowCmd);
}

bool IsURLTarget(const String& Target) {
  const qsizetype Colon = Target.indexOf(u':');
  if (Colon < 2) return false;
  for (qsizetype I = 0; I < Colon; ++I)
    if (!isSchemeChar(Target[I])) return false;
  return true;
}

IShell& Shell() {
  if (ScopeShell) return *ScopeShell;
  static TXdgShell Xdg;  // no state: nothing to start up
  return Xdg;
}

TShellScope::TShellScope(IShell& AShell) : FPrevious(ScopeShell) { ScopeShell = &AShell; }

TShellScope::~TShellScope() { ScopeShell = FPrevious; }

String OpenerCommand() { return OpenerOverride ? *OpenerOverride : String::fromUtf16(DefaultOpener); }

TOpenerCommandScope::TOpenerCommandScope(const String& CommandLine)
    : FCommandLine(CommandLine), FPrevious(OpenerOverride) {
  OpenerOverride = &FCommandLine;
}

TOpenerCommandScope::~TOpenerCommandScope() { OpenerOverride = FPrevious; }
