// File-system routines over POSIX calls.
//
// Every routine takes path texts as the catalog stores them, which may hold
// "\" and drive letters, and passes them through NativePath just before the
// OS call; the texts themselves are never rewritten.  Routines answering bool
// leave errno telling why they failed.
#pragma once

#include "platform/rtl/system.h"

#include <cerrno>
#include <vector>

// A regular file, or a link to one; false for folders.
bool FileExists(const String& FileName);
bool DirectoryExists(const String& Directory);
// Creates Dir and every missing folder above it; true when Dir is a folder
// afterwards.  A relative Dir starts at the current folder.
bool ForceDirectories(const String& Dir);
// Copies the bytes into a temporary file in Dest's folder and renames it over
// Dest, so Dest is never a half copy; Dest gets Source's permission bits and
// modification time.  With FailIfExists an existing Dest is kept and the
// answer is false (errno EEXIST).
bool CopyFile(const String& Source, const String& Dest, bool FailIfExists = false);
// False when the file is missing or may not be deleted.
bool DeleteFile(const String& FileName);
// The size in bytes; EInOutError 'Cannot open file "<name>". <OS text>' with
// errno as ErrorCode when the file cannot be opened.
Int64 FileSize(const String& FileName);
// The current folder, without a trailing delimiter.
String GetCurrentDir();
// The names (without the folder) of the files in Folder whose names match
// Mask, sorted; folders, "." and ".." are never listed.  In the mask "*"
// stands for any run of chars and "?" for exactly one; letters compare
// without case.  An unreadable or missing Folder lists nothing.
std::vector<String> FindFiles(const String& Folder, const String& Mask);
// Whether Name matches Mask by FindFiles's rules.
bool MatchesFileMask(const String& Name, const String& Mask);

// Raises EOSError "<Op> '<Path>': <OS text for Code>", by default for the
// error of the last failed call.
[[noreturn]] void RaiseLastOSError(const String& Op, const String& Path, int Code = errno);
