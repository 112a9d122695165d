// The registry stand-in: a per-user store of keys and typed values.
//
// HKEY_CURRENT_USER is one process-wide hive kept in an INI-format file,
// <config folder>/bibliona/registry.reg, UTF-8.  It is read on first use (a
// missing file is an empty hive; reads never create it) and every change
// rewrites it through a temporary file and a rename.  A file that exists but
// cannot be read, or whose bytes are not UTF-8, is never written over, since
// that would lose every setting in it: until it can be read, reads see what
// could be read of it and writes fail, naming the file and the fault.
// Layout:
//
//   [HKEY_CURRENT_USER\Software\Bibliona\Drives]   one section per key; an
//   "D"="/media/data"                               empty section keeps an
//   "Count"=dword:0000000d                          empty key
//   @="text"                                        the default value ("")
//
// Names and texts are quoted; inside quotes "\\", "\"", "\n" and "\r" stand
// for a backslash, a quote, LF and CR, and in names "\e" stands for "=", so
// the first "=" of a line always ends the name.  Lines that do not parse are
// skipped.  A key exists when its section or a section below it does.
//
// HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE are read-only and built on the
// fly: HKCR holds the key "Word.Application" while the Word server in use
// counts as installed (WordServer().Installed()); HKLM is empty.  Key and value names compare without case and
// keep the spelling they were first written with.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/object.h"
#include "platform/rtl/system.h"

#include <memory>
#include <mutex>

class TMemIniFile;
class TStrings;

RTL_DECLARE_EXCEPTION(ERegistryException, Exception)

using HKEY = NativeUInt;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

// Access to one key at a time.  Key paths use "\": a leading "\" starts at
// the root, anything else is relative to the open key.
class TRegistry : public TObject {
  RTL_CLASS(TRegistry, TObject)
public:
  // HKEY_CURRENT_USER, no key open.
  TRegistry() = default;

  // properties
  HKEY RootKey() const { return FRootKey; }
  // Closes the open key.
  void SetRootKey(HKEY Value);
  // The open key's path from the root without a leading "\"; "" for the root.
  const String& CurrentPath() const { return FCurrentPath; }

  // keys
  // Opens Key; a missing key is created when CanCreate (HKCU only), else the
  // answer is false and the open key stays as it was.
  bool OpenKey(const String& Key, bool CanCreate);
  // Opens an existing key for reading; writes then raise.
  bool OpenKeyReadOnly(const String& Key);
  void CloseKey();
  bool KeyExists(const String& Key);
  // Deletes Key with every key and value below it; false when it is missing
  // or cannot be deleted.
  bool DeleteKey(const String& Key);
  // Replaces the lines of Strings with the names of the open key's subkeys.
  void GetKeyNames(TStrings* Strings);

  // values of the open key (the root when none is open); Name "" is the
  // default value
  bool ValueExists(const String& Name);
  // Replaces the lines of Strings with the open key's value names.
  void GetValueNames(TStrings* Strings);
  // "" for a missing value; ERegistryException for an integer value.
  String ReadString(const String& Name);
  // ERegistryException "Invalid data type for '<Name>'" for a missing or
  // string value.
  Integer ReadInteger(const String& Name);
  bool ReadBool(const String& Name);  // ReadInteger <> 0
  // ERegistryException "Failed to set data for '<Name>'" on a read-only
  // key, HKCR or HKLM, or when the store cannot be written; when its file
  // could not be read, the message goes on to say why and that the file is
  // left as it is.
  void WriteString(const String& Name, const String& Value);
  void WriteInteger(const String& Name, Integer Value);
  void WriteBool(const String& Name, bool Value);  // integer 1 or 0

private:
  void writeValue(const String& Name, const String& Line);

  HKEY FRootKey = HKEY_CURRENT_USER;
  String FCurrentPath;
  bool FReadOnly = false;
};

// The HKCU hive.
class TRegistryStore {
public:
  // Keeps the hive in Folder + "/registry.reg"; Folder "" keeps it in memory
  // only.  Nothing is read before the first access.
  explicit TRegistryStore(const String& Folder);
  ~TRegistryStore();
  TRegistryStore(const TRegistryStore&) = delete;
  TRegistryStore& operator=(const TRegistryStore&) = delete;

  // The hive's file; "" for a store in memory.
  String FileName() const;

private:
  friend class THiveLock;

  // The hive, read on first use (and at every use while its file cannot be
  // read).  Callers hold FLock.
  TMemIniFile& hive();
  // Writes the hive to its file, unless the file could not be read.  On
  // failure the hive is read back from the file, so it never holds a change
  // the file lacks, and the answer is false.
  bool save();
  void load();
  // Why the file could not be read; "" when it was read or is missing.
  const String& readError() const { return FReadError; }

  String FFolder;
  std::unique_ptr<TMemIniFile> FHive;
  String FReadError;
  std::mutex FLock;
};

// $XDG_CONFIG_HOME (else ~/.config) + "/bibliona".
String DefaultRegistryFolder();
// The store in use: the innermost TRegistryStoreScope's, else the process
// store in DefaultRegistryFolder().
TRegistryStore& RegistryStore();

// A store of its own for the lifetime of the scope (one test): Folder "" in
// memory, else a file in Folder.  Puts the previous store back at the end.
class TRegistryStoreScope {
public:
  explicit TRegistryStoreScope(const String& Folder = String());
  ~TRegistryStoreScope();
  TRegistryStoreScope(const TRegistryStoreScope&) = delete;
  TRegistryStoreScope& operator=(const TRegistryStoreScope&) = delete;

  TRegistryStore& Store() { return FStore; }

private:
  TRegistryStore FStore;
  TRegistryStore* FPrevious;
};

// Chart editor options under HKCU TeeEditorKey.  The readers give Default for
// a missing key or value or one of the wrong type and never raise; the savers
// create the key and on any failure write nothing, without raising.
inline constexpr char16_t TeeEditorKey[] = u"SOFTWARE\\Rezivi Software\\Orvalis Pro\\Editor";
bool TeeReadBoolOption(const String& Name, bool Default);
Integer TeeReadIntegerOption(const String& Name, Integer Default);
String TeeReadStringOption(const String& Name, const String& Default);
void TeeSaveBoolOption(const String& Name, bool Value);
void TeeSaveIntegerOption(const String& Name, Integer Value);

// The process store (made here, read on first use) and its release.
void InitializeRegistry();
void FinalizeRegistry();
