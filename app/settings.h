// The settings file "bibliona.ini" in the program's folder.
//
// The main window reads the file once at creation into a TSettings it owns;
// every window then reads the settings from that object, never from the file.
// Four writers change the file: the settings dialog (WriteSettings), the main
// window's close (WriteFirstPart), the document viewer (WriteAbstractFont)
// and the backup window (WriteLastSave).
//
// Format: "[Section]" lines, then "Key=Value" lines; booleans "1"/"0" (read
// as true for any non-zero whole number), decimal integers, dates
// "yyyy-mm-dd", colours "#RRGGBB".  The whole-file writers keep the order of
// sections and keys, every key they do not know (the document viewer's among
// them) and every line they cannot read; the single-key writers change one
// line each and leave every other byte alone.
//
// Encoding: every reader and writer speaks UTF-8, so a value written by one
// style reads back unchanged through the other.  A file saved by an 8-bit
// editor or writer may hold lines in the Cyrillic code page; such a line is
// read as Windows-1251 (and reported), and a whole-file save rewrites it in
// UTF-8, so no text is lost on the way.
//
// A value that cannot be read, or a line that is neither a section nor a key,
// is reported in one warning naming the file, the key and the value used
// instead; the readers never stop on it.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/graphics.h"

#include <array>

// The file's name in the program folder.  Some writers spell it
// "Bibliona.ini"; both spellings name the same file (SettingsFile).
inline constexpr QLatin1StringView SettingsFileName{"bibliona.ini"};

// The settings file in Folder (which ends in a path delimiter): an existing
// file whose name matches "bibliona.ini" in any letter case, else Folder +
// "bibliona.ini".
String SettingsFile(const String& Folder);

// The settings the main window keeps in its public fields, with their names.
// A default-constructed object holds the built-in defaults, the ones used when
// the file is missing.
class TSettings {
public:
  // [System]
  bool IsDriveSel = false;       // open documents on the drive LitCatalogInt
  bool IsLastCatalog = true;     // start where the last run ended
  Integer LitCatalogInt = 0;     // document drive: 0 "c:\" .. 8 "l:\" (no j)
  String Paste;                  // text the reference editor's insert box starts with
  String FirstPart = QStringLiteral("1,108,357,523,627,42092");  // start position
  String DataBase = QStringLiteral("bibliona.sqlite");           // catalog file in the program folder
  String Server = QStringLiteral("https://bibliona.example/program");  // update site
  String FileInServer = QStringLiteral("bibliona.7z");
  // [Font] (the Word report)
  Byte prFontSize = 8;
  String prFontName = QStringLiteral("Veranda");
  // [Data] (the search window's year range)
  Integer Year1 = 2010;
  Integer Year2 = 2024;
  // [Save] (the backup)
  bool InternalZip = true;
  String ArcCatalog = QStringLiteral("c:\\kestrel\\bibliona\\arc\\");
  String Arc1 = QStringLiteral("c:\\tools\\winrar\\winrar.exe m -ep -afrar");
  Integer SaveInterval = 255;    // days, 0 to 365
  String SaveDateStr = QStringLiteral("2024-01-01");  // [Save] LastSaveDate as written
  TDateTime SaveDate = 0;        // SaveDateStr as a date, set by SetSaveDate
  // [Report]
  String ReportCatalog = QStringLiteral("c:\\kestrel\\bibliona\\report\\");
  bool ReferatOut = false;       // reports include the abstracts
  bool ReportEdit = false;       // show the report while and after it is made

  // Reads every key of FileName.  A missing file shows "No configuration
  // file:" + FileName, leaves the built-in defaults and answers false.
  // Missing keys take their own defaults.  EFOpenError when the file exists
  // but cannot be read (the built-in defaults stay).
  bool ReadSettings(const String& FileName);
  // Writes every setting into FileName, keeping the rest of the file (the
  // settings dialog's "Save").  EFOpenError or EFCreateError when the file
  // cannot be read or written.
  void WriteSettings(const String& FileName) const;
  // SaveDate := SaveDateStr read as "yyyy-mm-dd".  When that fails, shows
  // Message and takes CurrDate for both (MainDateFormatMessage at start-up,
  // ConfigDateFormatMessage in the settings dialog).
  void SetSaveDate(TDateTime CurrDate, const String& Message);
};

inline constexpr QLatin1StringView MainDateFormatMessage{
    "Establish the date format 'yyyy-mm-dd' in settings file bibliona.ini"};
inline constexpr QLatin1StringView ConfigDateFormatMessage{
    "Establish date format 'yyyy-mm-dd' in settings file bibliona.ini"};

// [System] FirstPart := FirstPart, keeping the rest of the file (the main
// window's close).
void WriteFirstPart(const String& FileName, const String& FirstPart);
// [Save] LastSaveDate and Interval, one key at a time (the backup window).
void WriteLastSave(const String& FileName, const String& SaveDateStr, Integer SaveInterval);

// The document viewer's look of the abstract, [Font] Abstract*.
struct TAbstractFont {
  Integer AbstractFontSize = 0;
  String AbstractFontName;
  TColor AbstractFontColor = clBlack;
  TColor AbstractColor = clWhite;
};

// Reads the four keys into Font; a missing or malformed key leaves its field
// as it was.  A missing file shows "Нет файла конфигурации:" followed by the
// folder and "Bibliona.ini", and answers false.
bool ReadAbstractFont(const String& FileName, TAbstractFont& Font);
// Writes the four keys, one at a time.
void WriteAbstractFont(const String& FileName, const TAbstractFont& Font);

// Start position: the keys of the group and of levels 2 to 5.
using TLevelKeys = std::array<Integer, 5>;
inline constexpr TLevelKeys BuiltInStartKeys = {1, 108, 357, 523, 627};

// Splits FirstPart ("group,level2,level3,level4,level5,reference"): without
// any "," the group is 1; each later level takes the number before the next
// ",", or its built-in key when no "," is left, so the sixth number is never
// used and "5,10,20,30,40" gives 5, 10, 20, 30, 627.  A piece that is not a
// whole number takes its built-in key and makes the answer false.
bool ParseFirstPart(const String& FirstPart, TLevelKeys& Keys);
