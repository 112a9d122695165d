// Stored Windows paths on Linux: the one drive-letter mapping.
//
// Catalogs and settings carry paths written on the original OS ("D:\docs\a.pdf").
// They are stored unchanged and translated only at the OS call: every routine
// of this library that touches a file passes its path through NativePath.
//
// A drive letter maps to a folder, by default /mnt/<letter>.  The values "A"
// .. "Z" of HKCU "Software\Bibliona\Drives" replace the defaults; they are read
// on the first translation of a drive path.  Tests install a table of their
// own (TDriveMapScope) and then never read the registry.
#pragma once

#include "platform/rtl/system.h"

#include <initializer_list>
#include <utility>

// The registry key that holds the user's drive folders, one string value per letter.
inline constexpr char16_t DriveMapKey[] = u"Software\\Bibliona\\Drives";

// Path for the OS: a leading "X:" followed by "\", "/" or the end becomes the
// folder of drive X, and every other "\" becomes "/".  No case folding and no
// ".." resolution: "D:\docs\a.pdf" -> "/mnt/d/docs/a.pdf", "report\list.txt"
// -> "report/list.txt".
String NativePath(const String& Path);
// The folder drive letter Drive (either case) maps to; "" for a non-letter.
String DriveFolder(Char Drive);

// Replaces the whole map for the lifetime of the scope (letters not listed
// map to /mnt/<letter>), then puts the previous map back.
class TDriveMapScope {
public:
  explicit TDriveMapScope(std::initializer_list<std::pair<Char, String>> Folders);
  ~TDriveMapScope();
  TDriveMapScope(const TDriveMapScope&) = delete;
  TDriveMapScope& operator=(const TDriveMapScope&) = delete;

  struct TMap;

private:
  TMap* FMap;
  TMap* FPrevious;
};

// The process map forgets what it read, so the next translation reads the
// registry again.
void FinalizeDriveMap();
