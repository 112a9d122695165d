// INI files: "[Section]" lines followed by "Key=Value" lines.
//
// Both access styles read and write UTF-8, skip a byte-order mark on reading
// and keep comment lines (those starting with ';'), so a value written by one
// style reads back unchanged through the other.  Lines are trimmed and the
// blanks around the first '=' are not part of the key or the value.  Section
// and key names compare case-insensitively (AnsiSameText).
//
// TMemIniFile holds the whole file and writes it back on UpdateFile.
// TIniFile works on the file itself: every read parses the file as it is now,
// and every write replaces the file at once with a copy that differs only in
// the one key (written to a temporary file, then renamed over it).
#pragma once

#include "platform/rtl/object.h"
#include "platform/rtl/system.h"

#include <vector>

class TStrings;

class TCustomIniFile : public TObject {
  RTL_CLASS(TCustomIniFile, TObject)
public:
  explicit TCustomIniFile(const String& AFileName) : FFileName(AFileName) {}

  const String& FileName() const { return FFileName; }

  // abstract access
  virtual String ReadString(const String& Section, const String& Ident, const String& Default) const = 0;
  virtual void WriteString(const String& Section, const String& Ident, const String& Value) = 0;
  // Replaces the lines of Strings with the key names of Section, in file order.
  virtual void ReadSection(const String& Section, TStrings* Strings) const = 0;
  // Replaces the lines of Strings with the section names, in file order.
  virtual void ReadSections(TStrings* Strings) const = 0;
  // Replaces the lines of Strings with the "Key=Value" lines of Section.
  virtual void ReadSectionValues(const String& Section, TStrings* Strings) const = 0;
  virtual void EraseSection(const String& Section) = 0;
  virtual void DeleteKey(const String& Section, const String& Ident) = 0;
  // Makes the file hold what was written.
  virtual void UpdateFile() = 0;

  // typed values: a missing or malformed value gives Default
  // StrToIntDef: decimal, or hex written "$1F" or "0x1F".
  virtual Integer ReadInteger(const String& Section, const String& Ident, Integer Default) const;
  virtual void WriteInteger(const String& Section, const String& Ident, Integer Value);
  // Read as an integer with Default as 0 or 1: any non-zero whole number is
  // true, and a text that is not a number gives Default.
  virtual bool ReadBool(const String& Section, const String& Ident, bool Default) const;
  // "1" or "0".
  virtual void WriteBool(const String& Section, const String& Ident, bool Value);
  // In the global format settings, as FloatToStr writes and StrToFloat reads.
  virtual double ReadFloat(const String& Section, const String& Ident, double Default) const;
  virtual void WriteFloat(const String& Section, const String& Ident, double Value);
  // In the global ShortDateFormat (and LongTimeFormat).
  virtual TDateTime ReadDate(const String& Section, const String& Ident, TDateTime Default) const;
  virtual void WriteDate(const String& Section, const String& Ident, TDateTime Value);
  virtual TDateTime ReadDateTime(const String& Section, const String& Ident, TDateTime Default) const;
  virtual void WriteDateTime(const String& Section, const String& Ident, TDateTime Value);

  // True when Section holds at least one key.
  virtual bool SectionExists(const String& Section) const;
  virtual bool ValueExists(const String& Section, const String& Ident) const;

protected:
  void SetFileName(const String& AFileName) { FFileName = AFileName; }

private:
  String FFileName;
};

// The whole file in memory.  New keys go to the end of their section and new
// sections to the end of the file; comment lines stay where they were; blank
// lines are dropped.  UpdateFile writes UTF-8 with a byte-order mark and CR LF
// breaks, with a blank line after each section.
class TMemIniFile : public TCustomIniFile {
  RTL_CLASS(TMemIniFile, TCustomIniFile)
public:
  // Loads FileName when it exists (EFOpenError when it cannot be read).
  explicit TMemIniFile(const String& AFileName);

  // reimplemented
  String ReadString(const String& Section, const String& Ident, const String& Default) const override;
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  void ReadSection(const String& Section, TStrings* Strings) const override;
  void ReadSections(TStrings* Strings) const override;
  void ReadSectionValues(const String& Section, TStrings* Strings) const override;
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  // EFCreateError when the file cannot be written.
  void UpdateFile() override;

  // Forgets every section (the file is untouched until UpdateFile).
  void Clear();
  // Appends the lines UpdateFile would write to List.
  void GetStrings(TStrings* List) const;
  // Replaces the content with List's lines, read as a file.
  void SetStrings(TStrings* List);
  // Binds to another file; with Reload the content is that file's.
  void Rename(const String& AFileName, bool Reload);

private:
  // One line of a section: a key, or a comment or other text kept verbatim.
  struct TEntry {
    String Name;   // the key; empty for a verbatim line
    String Value;  // the value, or the verbatim line
    bool IsKey;
  };
  struct TSection {
    String Name;
    std::vector<TEntry> Entries;
  };

  void loadFile();
  void loadLines(const std::vector<String>& Lines);
  std::vector<String> lines() const;
  const TSection* findSection(const String& Section) const;
  TSection* findSection(const String& Section);
  // The entry index of key Ident in Sect, or -1.
  static qsizetype indexOfKey(const TSection& Sect, const String& Ident);

  std::vector<String> FHeader;  // verbatim lines before the first section
  std::vector<TSection> FSections;
};

// Single-key access to the file itself (see the top of this header).  A
// missing file reads as empty; the first write creates it, with a
// byte-order mark and CR LF breaks.  An existing file keeps its byte-order
// mark (or lack of one) and its line breaks, and every byte outside the
// changed line stays as it was.  Write failures raise EFCreateError.
class TIniFile : public TCustomIniFile {
  RTL_CLASS(TIniFile, TCustomIniFile)
public:
  explicit TIniFile(const String& AFileName) : TCustomIniFile(AFileName) {}

  // reimplemented
  String ReadString(const String& Section, const String& Ident, const String& Default) const override;
  void WriteString(const String& Section, const String& Ident, const String& Value) override;
  void ReadSection(const String& Section, TStrings* Strings) const override;
  void ReadSections(TStrings* Strings) const override;
  void ReadSectionValues(const String& Section, TStrings* Strings) const override;
  // Removes the section's header and every line up to the next section.
  void EraseSection(const String& Section) override;
  void DeleteKey(const String& Section, const String& Ident) override;
  // Nothing to do: every write is already in the file.
  void UpdateFile() override {}
};
