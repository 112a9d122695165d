#include "platform/os/registry.h"

#include "platform/os/filesys.h"
#include "platform/os/wordapp.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <cassert>
#include <optional>
#include <vector>

namespace {

constinit TRegistryStore* ProcessStore = nullptr;
constinit TRegistryStore* ScopeStore = nullptr;

constexpr char16_t KeyDelimiter = u'\\';
constexpr char16_t DefaultValueName[] = u"@";
constexpr char16_t DwordPrefix[] = u"dword:";
constexpr char16_t WordApplicationKey[] = u"Word.Application";
constexpr char16_t HiveFileName[] = u"registry.reg";
constexpr char16_t AppFolderName[] = u"bibliona";

String rootName(HKEY Root) {
  switch (Root) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
  }
  assert(false && "unknown registry root");
  return String();
}

// ------------------------------------------------------------ value lines

String quote(const String& S, bool EscapeEquals) {
  String R(u'"');
  for (const Char C : S) {
    switch (C.unicode()) {
      case u'\\': R += u"\\\\"; break;
      case u'"': R += u"\\\""; break;
      case u'\n': R += u"\\n"; break;
      case u'\r': R += u"\\r"; break;
      case u'=':
        R += EscapeEquals ? u"\\e" : u"=";
        break;
      default: R += C;
    }
  }
  return R + u'"';
}

// The text of S when all of S is one quoted text.
std::optional<String> unquote(const String& S) {
  if (S.size() < 2 || !S.startsWith(u'"') || !S.endsWith(u'"')) return std::nullopt;
  String R;
  for (qsizetype I = 1; I < S.size() - 1; ++I) {
    const Char C = S[I];
    if (C == u'"') return std::nullopt;
    if (C != u'\\') {
      R += C;
      continue;
    }
    if (++I == S.size() - 1) return std::nullopt;
    switch (S[I].unicode()) {
      case u'\\': R += u'\\'; break;
      case u'"': R += u'"'; break;
      case u'n': R += u'\n'; break;
      case u'r': R += u'\r'; break;
      case u'e': R += u'='; break;
      default: return std::nullopt;
    }
  }
  return R;
}

bool isUtf8(const QByteArray& Bytes) {
  QStringDecoder Decoder(QStringDecoder::Utf8);
  const String Text = Decoder.decode(Bytes);  // decoding happens on conversion
  return !Decoder.hasError();
}

String encodeName(const String& Name) {
  return Name.isEmpty() ? String::fromUtf16(DefaultValueName) : quote(Name, /*EscapeEquals=*/true);
}

std::optional<String> decodeName(const String& Key) {
  if (Key == String::fromUtf16(DefaultValueName)) return String();
  std::optional<String> Name = unquote(Key);
  if (Name && Name->isEmpty()) return std::nullopt;  // "" is spelt "@"
  return Name;
}

// "dword:" and one to eight hex digits.
std::optional<Cardinal> parseDword(const String& Line) {
  const String Prefix = String::fromUtf16(DwordPrefix);
  const String Digits = Line.mid(Prefix.size());
  if (!Line.startsWith(Prefix, Qt::CaseInsensitive) || Digits.isEmpty() || Digits.size() > 8) return std::nullopt;
  Cardinal Number = 0;
  for (const Char C : Digits) {
    const char16_t U = C.toLower().unicode();
    const int Digit = U >= u'0' && U <= u'9' ? U - u'0' : U >= u'a' && U <= u'f' ? U - u'a' + 10 : -1;
    if (Digit < 0) return std::nullopt;
    Number = Number << 4 | Cardinal(Digit);
  }
  return Number;
}

struct TParsedValue {
  bool IsInteger = false;
  String Text;
  Integer Number = 0;
};

// A quoted text or a dword; none for anything else.
std::optional<TParsedValue> parseValue(const String& Encoded) {
  if (const std::optional<String> Text = unquote(Encoded)) return TParsedValue{false, *Text, 0};
  if (const std::optional<Cardinal> Number = parseDword(Encoded)) return TParsedValue{true, String(), Integer(*Number)};
  return std::nullopt;
}

String encodeString(const String& Value) { return quote(Value, /*EscapeEquals=*/false); }

String encodeInteger(Integer Value) {
  return String::fromUtf16(DwordPrefix) + QStringLiteral("%1").arg(Cardinal(Value), 8, 16, QLatin1Char('0'));
}

// ------------------------------------------------------------------ paths

// Key names may hold anything but "\" and control characters, which would
// break the line structure of the file.
bool validKeyName(const String& Name) {
  for (const Char C : Name)
    if (C.unicode() < 0x20) return false;
  return true;
}

// The path Key names from Current, without leading or trailing "\" and with
// empty parts dropped; none for an invalid name.
std::optional<String> resolvePath(const String& Current, const String& Key) {
  QStringList Parts;
  if (!Key.startsWith(KeyDelimiter)) Parts = Current.split(KeyDelimiter, Qt::SkipEmptyParts);
  Parts += Key.split(KeyDelimiter, Qt::SkipEmptyParts);
  for (const String& Part : Parts)
    if (!validKeyName(Part)) return std::nullopt;
  return Parts.join(KeyDelimiter);
}

// ------------------------------------------------------------ hive view

// A hive as the sections of an INI file named "<root>\<path>".
class THiveView {
public:
  THiveView(TMemIniFile& Ini, HKEY Root) : FIni(Ini), FRoot(rootName(Root)) {}

  String section(const String& Path) const { return Path.isEmpty() ? FRoot : FRoot + KeyDelimiter + Path; }

  bool keyExists(const String& Path) const {
    if (Path.isEmpty()) return true;
    const String Own = section(Path);
    for (const String& S : sections())
      if (AnsiSameText(S, Own) || isBelow(S, Own)) return true;
    return false;
  }

  void createKey(const String& Path) {
    // TMemIniFile makes a section only around a key: add one and take it
    // away.  "~" is no encoded name (those are quoted or "@").
    const String Placeholder = QStringLiteral("~");
    FIni.WriteString(section(Path), Placeholder, String());
    FIni.DeleteKey(section(Path), Placeholder);
  }

  bool deleteKey(const String& Path) {
    const String Own = section(Path);
    bool Found = false;
    for (const String& S : sections())
      if (AnsiSameText(S, Own) || isBelow(S, Own)) {
        FIni.EraseSection(S);
        Found = true;
      }
    return Found;
  }

  // The first spelling of each subkey name, in file order.
  std::vector<String> subKeys(const String& Path) const {
    const String Own = section(Path);
    std::vector<String> Names;
    for (const String& S : sections()) {
      if (!isBelow(S, Own)) continue;
      const String Name = S.mid(Own.size() + 1).section(KeyDelimiter, 0, 0);
      if (!contains(Names, Name)) Names.push_back(Name);
    }
    return Names;
  }

  // The names of the values that parse, in file order.
  std::vector<String> valueNames(const String& Path) const {
    TStringList Keys;
    FIni.ReadSection(section(Path), &Keys);
    std::vector<String> Names;
    for (Integer I = 0; I < Keys.Count(); ++I) {
      const std::optional<String> Name = decodeName(Keys.Strings(I));
      if (Name && parseValue(FIni.ReadString(section(Path), Keys.Strings(I), String()))) Names.push_back(*Name);
    }
    return Names;
  }

  std::optional<TParsedValue> value(const String& Path, const String& Name) const {
    return parseValue(FIni.ReadString(section(Path), encodeName(Name), String()));
  }

  void setValue(const String& Path, const String& Name, const String& Encoded) {
    FIni.WriteString(section(Path), encodeName(Name), Encoded);
  }

private:
  std::vector<String> sections() const {
    TStringList List;
    FIni.ReadSections(&List);
    std::vector<String> Names;
    for (Integer I = 0; I < List.Count(); ++I) Names.push_back(List.Strings(I));
    return Names;
  }

  static bool isBelow(const String& Section, const String& Own) {
    return Section.size() > Own.size() + 1 && Section[Own.size()] == KeyDelimiter &&
           AnsiSameText(Section.left(Own.size()), Own);
  }

  static bool contains(const std::vector<String>& Names, const String& Name) {
    for (const String& N : Names)
      if (AnsiSameText(N, Name)) return true;
    return false;
  }

  TMemIniFile& FIni;
  String FRoot;
};

}  // namespace

// ------------------------------------------------------------ THiveLock

// The store locked for one operation and the hive of one root.  HKCR and
// HKLM are made anew each time.
class THiveLock {
public:
  explicit THiveLock(HKEY Root) : FStore(RegistryStore()), FGuard(FStore.FLock) {
    if (Root == HKEY_CURRENT_USER) {
      FView.emplace(FStore.hive(), Root);
      return;
    }
    FReadOnlyHive = std::make_unique<TMemIniFile>(String());
    FView.emplace(*FReadOnlyHive, Root);
    if (Root == HKEY_CLASSES_ROOT && WordServer().Installed()) FView->createKey(String::fromUtf16(WordApplicationKey));
  }

  THiveView& view() { return *FView; }
  bool writable() const { return !FReadOnlyHive; }
  bool save() { return FStore.save(); }
  const String& readError() const { return FStore.readError(); }

private:
  TRegistryStore& FStore;
  std::lock_guard<std::mutex> FGuard;
  std::unique_ptr<TMemIniFile> FReadOnlyHive;
  std::optional<THiveView> FView;
};

// ------------------------------------------------------------ TRegistry

void TRegistry::SetRootKey(HKEY Value) {
  rootName(Value);
  CloseKey();
  FRootKey = Value;
}

bool TRegistry::OpenKey(const String& Key, bool CanCreate) {
  const std::optional<String> Path = resolvePath(FCurrentPath, Key);
  if (!Path) return false;
  THiveLock Lock(FRootKey);
  if (!Lock.view().keyExists(*Path)) {
    if (!CanCreate || !Lock.writable()) return false;
    Lock.view().createKey(*Path);
    if (!Lock.save()) return false;
  }
  FCurrentPath = *Path;
  FReadOnly = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const String& Key) {
  const std::optional<String> Path = resolvePath(FCurrentPath, Key);
  if (!Path) return false;
  THiveLock Lock(FRootKey);
  if (!Lock.view().keyExists(*Path)) return false;
  FCurrentPath = *Path;
  FReadOnly = true;
  return true;
}

void TRegistry::CloseKey() {
  FCurrentPath.clear();
  FReadOnly = false;
}

bool TRegistry::KeyExists(const String& Key) {
  const std::optional<String> Path = resolvePath(FCurrentPath, Key);
  if (!Path) return false;
  THiveLock Lock(FRootKey);
  return Lock.view().keyExists(*Path);
}

bool TRegistry::DeleteKey(const String& Key) {
  const std::optional<String> Path = resolvePath(FCurrentPath, Key);
  if (!Path || Path->isEmpty()) return false;
  THiveLock Lock(FRootKey);
  if (!Lock.writable() || !Lock.view().deleteKey(*Path)) return false;
  return Lock.save();
}

void TRegistry::GetKeyNames(TStrings* Strings) {
  THiveLock Lock(FRootKey);
  Strings->BeginUpdate();
  Strings->Clear();
  for (const String& Name : Lock.view().subKeys(FCurrentPath)) Strings->Add(Name);
  Strings->EndUpdate();
}

bool TRegistry::ValueExists(const String& Name) {
  THiveLock Lock(FRootKey);
  return Lock.view().value(FCurrentPath, Name).has_value();
}

void TRegistry::GetValueNames(TStrings* Strings) {
  THiveLock Lock(FRootKey);
  Strings->BeginUpdate();
  Strings->Clear();
  for (const String& Name : Lock.view().valueNames(FCurrentPath)) Strings->Add(Name);
  Strings->EndUpdate();
}

namespace {

std::optional<TParsedValue> readValue(HKEY Root, const String& Path, const String& Name) {
  THiveLock Lock(Root);
  return Lock.view().value(Path, Name);
}

}  // namespace

String TRegistry::ReadString(const String& Name) {
  const std::optional<TParsedValue> V = readValue(FRootKey, FCurrentPath, Name);
  if (V && V->IsInteger) throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(Name));
  return V ? V->Text : String();
}

Integer TRegistry::ReadInteger(const String& Name) {
  const std::optional<TParsedValue> V = readValue(FRootKey, FCurrentPath, Name);
  if (!V || !V->IsInteger) throw ERegistryException(QStringLiteral("Invalid data type for '%1'").arg(Name));
  return V->Number;
}

bool TRegistry::ReadBool(const String& Name) { return ReadInteger(Name) != 0; }

void TRegistry::writeValue(const String& Name, const String& Line) {
  THiveLock Lock(FRootKey);
  const String Failed = QStringLiteral("Failed to set data for '%1'").arg(Name);
  if (FReadOnly || !Lock.writable()) throw ERegistryException(Failed);
  Lock.view().setValue(FCurrentPath, Name, Line);
  if (Lock.save()) return;
  if (Lock.readError().isEmpty()) throw ERegistryException(Failed);
  throw ERegistryException(QStringLiteral("%1. %2. The file is left as it is.").arg(Failed, Lock.readError()));
}

void TRegistry::WriteString(const String& Name, const String& Value) { writeValue(Name, encodeString(Value)); }

void TRegistry::WriteInteger(const String& Name, Integer Value) { writeValue(Name, encodeInteger(Value)); }

void TRegistry::WriteBool(const String& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

// ------------------------------------------------------- TRegistryStore

TRegistryStore::TRegistryStore(const String& Folder) : FFolder(Folder) {}

TRegistryStore::~TRegistryStore() = default;

String TRegistryStore::FileName() const {
  return FFolder.isEmpty() ? String() : IncludeTrailingPathDelimiter(FFolder) + String::fromUtf16(HiveFileName);
}

// A file that could not be read is tried again at each use, so mending it
// takes effect without a restart.
TMemIniFile& TRegistryStore::hive() {
  if (!FHive || !FReadError.isEmpty()) load();
  return *FHive;
}

// A file that cannot be read gives an empty hive, one that is not UTF-8 its
// text with the bad bytes replaced; either way FReadError says why, and
// save() keeps off the file.
void TRegistryStore::load() {
  FReadError.clear();
  FHive = std::make_unique<TMemIniFile>(String());
  FHive->Rename(FileName(), /*Reload=*/false);
  if (FFolder.isEmpty() || !QFileInfo::exists(FileName())) return;
  try {
    TMemoryStream Bytes;
    Bytes.LoadFromFile(FileName());
    if (!isUtf8(QByteArray::fromRawData(static_cast<const char*>(Bytes.Memory()), qsizetype(Bytes.Size()))))
      FReadError = QStringLiteral("File \"%1\" is not UTF-8 text").arg(FileName());
    FHive->Rename(FileName(), /*Reload=*/true);
  } catch (const EFOpenError& E) {
    FReadError = E.Message;
  } catch (const EStreamError& E) {
    FReadError = QStringLiteral("Cannot read file \"%1\". %2").arg(FileName(), E.Message);
  }
}

bool TRegistryStore::save() {
  if (FFolder.isEmpty()) return true;
  try {
    if (FReadError.isEmpty() && ForceDirectories(FFolder)) {
      FHive->UpdateFile();
      return true;
    }
  } catch (const EFCreateError&) {
  }
  load();
  return false;
}

String DefaultRegistryFolder() {
  String Base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (Base.isEmpty() || !Base.startsWith(u'/')) Base = qEnvironmentVariable("HOME") + QStringLiteral("/.config");
  return IncludeTrailingPathDelimiter(Base) + String::fromUtf16(AppFolderName);
}

TRegistryStore& RegistryStore() {
  if (ScopeStore) return *ScopeStore;
  assert(ProcessStore && "registry used before the os unit was initialized");
  return *ProcessStore;
}

TRegistryStoreScope::TRegistryStoreScope(const String& Folder) : FStore(Folder), FPrevious(ScopeStore) {
  ScopeStore = &FStore;
}

TRegistryStoreScope::~TRegistryStoreScope() { ScopeStore = FPrevious; }

// ---------------------------------------------------------- Tee options

namespace {

String teeEditorKey() { return String::fromUtf16(TeeEditorKey); }

template <class T, class Read>
T readOption(const T& Default, Read ReadValue) {
  TRegistry Reg;
  if (!Reg.OpenKeyReadOnly(teeEditorKey())) return Default;
  try {
    return ReadValue(Reg);
  } catch (const ERegistryException&) {
    return Default;
  }
}

template <class Write>
void saveOption(Write WriteValue) {
  TRegistry Reg;
  if (!Reg.OpenKey(teeEditorKey(), /*CanCreate=*/true)) return;
  try {
    WriteValue(Reg);
  } catch (const ERegistryException&) {
    // The store is unchanged: a failed write leaves nothing behind.
  }
}

}  // namespace

bool TeeReadBoolOption(const String& Name, bool Default) {
  return readOption(Default, [&](TRegistry& Reg) { return Reg.ReadBool(Name); });
}

Integer TeeReadIntegerOption(const String& Name, Integer Default) {
  return readOption(Default, [&](TRegistry& Reg) { return Reg.ReadInteger(Name); });
}

String TeeReadStringOption(const String& Name, const String& Default) {
  return readOption(Default, [&](TRegistry& Reg) {
    if (!Reg.ValueExists(Name)) return Default;
    return Reg.ReadString(Name);
  });
}

void TeeSaveBoolOption(const String& Name, bool Value) {
  saveOption([&](TRegistry& Reg) { Reg.WriteBool(Name, Value); });
}

void TeeSaveIntegerOption(const String& Name, Integer Value) {
  saveOption([&](TRegistry& Reg) { Reg.WriteInteger(Name, Value); });
}

void InitializeRegistry() {
  if (!ProcessStore) ProcessStore = new TRegistryStore(DefaultRegistryFolder());
}

void FinalizeRegistry() {
  delete ProcessStore;
  ProcessStore = nullptr;
}
