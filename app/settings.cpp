#include "app/settings.h"

#include "app/fcommon.h"
#include "platform/os/drivemap.h"
#include "platform/os/filesys.h"
#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <QDir>
#include <QStringDecoder>

#include <vector>

namespace {

// sections
constexpr QLatin1StringView SystemSection{"System"};
constexpr QLatin1StringView FontSection{"Font"};
constexpr QLatin1StringView DataSection{"Data"};
constexpr QLatin1StringView SaveSection{"Save"};
constexpr QLatin1StringView ReportSection{"Report"};

constexpr QLatin1StringView DateFormat{"yyyy-mm-dd"};
// A font size is stored in a byte; 0 is no size at all.
constexpr Integer MinFontSize = 1;
constexpr Integer MaxFontSize = 255;

// Defaults of keys missing from an existing file (the built-in ones, in
// TSettings, are for a missing file).
constexpr Integer KeyMissingPrFontSize = 8;
constexpr Integer KeyMissingYear1 = 2015;
constexpr Integer KeyMissingYear2 = 2024;
constexpr Integer KeyMissingInterval = 1;

String boolText(bool Value) { return Value ? QStringLiteral("1") : QStringLiteral("0"); }

TFormatSettings isoDates() {
  TFormatSettings Settings = TFormatSettings::Invariant();
  Settings.DateSeparator = u'-';
  Settings.ShortDateFormat = DateFormat;
  return Settings;
}

// ------------------------------------------------------------ reading

// What a reader could not use, reported as one warning for the file.
class TProblems {
public:
  void add(const String& Text) { FList.push_back(Text); }

  void report(const String& FileName) const {
    if (FList.empty()) return;
    String Text = QStringLiteral("Settings file %1:").arg(FileName);
    for (const String& Problem : FList) Text += QStringLiteral("\n- ") + Problem;
    ShowMessageBox(TMessageKind::Warning, Text);
  }

private:
  std::vector<String> FList;
};

// The lines of Data, split at CR LF, CR or LF.
std::vector<QByteArray> splitLines(const QByteArray& Data) {
  std::vector<QByteArray> Lines;
  qsizetype Start = 0;
  const qsizetype Size = Data.size();
  while (Start < Size) {
    qsizetype End = Start;
    while (End < Size && Data[End] != '\r' && Data[End] != '\n') ++End;
    Lines.push_back(Data.mid(Start, End - Start));
    if (End < Size && Data[End] == '\r' && End + 1 < Size && Data[End + 1] == '\n') ++End;
    Start = End + 1;
  }
  return Lines;
}

// One line as UTF-8, or, when it is not UTF-8, in the 8-bit Cyrillic code
// page of the files that 8-bit writers save.
String decodeLine(const QByteArray& Bytes, int LineNo, TProblems& Problems) {
  QStringDecoder Utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const String Text = Utf8.decode(Bytes);
  if (!Utf8.hasError()) return Text;
  Problems.add(QStringLiteral("line %1 is not UTF-8 text; it is read as Windows-1251 and saved as UTF-8")
                   .arg(LineNo));
  return AnsiString(Bytes, CP_WINCYRILLIC).ToString();
}

// Whether the INI reader understands Line: blank, a ';' comment, a section
// header or a key line.
bool isIniLine(const String& Line) {
  const String S = Trim(Line);
  return S.isEmpty() || S.startsWith(u';') || (S.startsWith(u'[') && S.endsWith(u']')) || S.contains(u'=');
}

// Loads FileName (which exists) into Ini, checking every line on the way.
// EFOpenError when it cannot be read.
void loadWhole(TMemIniFile& Ini, const String& FileName, TProblems& Problems) {
  QByteArray Data;
  {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    Data.resize(File.Size());
    File.ReadBuffer(Data.data(), Data.size());
  }
  const QByteArray Utf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");
  if (Data.startsWith(Utf8Mark)) Data.remove(0, Utf8Mark.size());
  TStringList Lines;
  int LineNo = 0;
  for (const QByteArray& Bytes : splitLines(Data)) {
    const String Line = decodeLine(Bytes, ++LineNo, Problems);
    if (!isIniLine(Line))
      Problems.add(QStringLiteral("line %1 \"%2\" is neither a [section] nor a key=value line; it is kept as it is")
                       .arg(LineNo)
                       .arg(Line));
    Lines.Add(Line);
  }
  Ini.SetStrings(&Lines);
}

// The file as a whole-file object bound to FileName; empty when the file is
// missing.
void openWhole(TMemIniFile& Ini, const String& FileName, TProblems& Problems) {
  Ini.Rename(FileName, /*Reload=*/false);
  if (FileExists(FileName)) loadWhole(Ini, FileName, Problems);
}

// Typed reads that report a value they cannot use and go on with a default.
class TKeyReader {
public:
  TKeyReader(const TMemIniFile& Ini, TProblems& Problems) : FIni(Ini), FProblems(Problems) {}

  bool has(const String& Section, const String& Ident) const { return FIni.ValueExists(Section, Ident); }

  String text(const String& Section, const String& Ident) const { return FIni.ReadString(Section, Ident, String()); }

  bool flag(const String& Section, const String& Ident, bool Default) const {
    Integer Value = 0;
    if (!readNumber(Section, Ident, Value, QStringLiteral("a whole number"), boolText(Default))) return Default;
    return Value != 0;
  }

  Integer number(const String& Section, const String& Ident, Integer Default) const {
    Integer Value = 0;
    return readNumber(Section, Ident, Value, QStringLiteral("a whole number"), IntToStr(Default)) ? Value : Default;
  }

  // A font size; Default (a text for the report) when missing or unusable.
  bool fontSize(const String& Section, const String& Ident, Integer& Size, const String& Default) const {
    Integer Value = 0;
    const String What = QStringLiteral("a whole number from %1 to %2").arg(MinFontSize).arg(MaxFontSize);
    if (!readNumber(Section, Ident, Value, What, Default)) return false;
    if (Value < MinFontSize || Value > MaxFontSize) {
      bad(Section, Ident, What, Default);
      return false;
    }
    Size = Value;
    return true;
  }

  bool color(const String& Section, const String& Ident, TColor& Color, const String& Default) const {
    if (!has(Section, Ident)) return false;
    try {
      Color = HexTextToColor(text(Section, Ident));
      return true;
    } catch (const EConvertError&) {
      bad(Section, Ident, QStringLiteral("a colour \"#RRGGBB\""), Default);
      return false;
    }
  }

  void bad(const String& Section, const String& Ident, const String& What, const String& Used) const {
    FProblems.add(QStringLiteral("[%1] %2 \"%3\" is not %4; %5 is used")
                      .arg(Section, Ident, text(Section, Ident), What, Used));
  }

private:
  // Whether the key holds a whole number; a present key that does not is
  // reported.
  bool readNumber(const String& Section, const String& Ident, Integer& Value, const String& What,
                  const String& Default) const {
    if (!has(Section, Ident)) return false;
    if (TryStrToInt(text(Section, Ident), Value)) return true;
    bad(Section, Ident, What, Default);
    return false;
  }

  const TMemIniFile& FIni;
  TProblems& FProblems;
};

}  // namespace

String SettingsFile(const String& Folder) {
  const String Exact = Folder + SettingsFileName;
  if (FileExists(Exact)) return Exact;
  const QStringList Matches = QDir(NativePath(Folder)).entryList(QStringList{SettingsFileName}, QDir::Files);
  return Matches.isEmpty() ? Exact : Folder + Matches.first();
}

bool TSettings::ReadSettings(const String& FileName) {
  *this = TSettings();
  if (!FileExists(FileName)) {
    ShowMessageBox(TMessageKind::Warning, QStringLiteral("No configuration file:") + FileName);
    return false;
  }
  TMemIniFile Ini{String()};
  TProblems Problems;
  openWhole(Ini, FileName, Problems);
  const TKeyReader Keys(Ini, Problems);

  Integer FontSize = KeyMissingPrFontSize;
  Keys.fontSize(FontSection, QStringLiteral("PrintFontSize"), FontSize, IntToStr(KeyMissingPrFontSize));
  prFontSize = Byte(FontSize);
  prFontName = Keys.text(FontSection, QStringLiteral("PrintFontName"));
  Year1 = Keys.number(DataSection, QStringLiteral("Year1"), KeyMissingYear1);
  Year2 = Keys.number(DataSection, QStringLiteral("Year2"), KeyMissingYear2);
  IsDriveSel = Keys.flag(SystemSection, QStringLiteral("IsDriveSel"), false);
  IsLastCatalog = Keys.flag(SystemSection, QStringLiteral("IsLastCatalog"), false);
  LitCatalogInt = Keys.number(SystemSection, QStringLiteral("LitCatalog"), 0);
  Paste = Keys.text(SystemSection, QStringLiteral("Paste"));
  FirstPart = Keys.text(SystemSection, QStringLiteral("FirstPart"));
  TLevelKeys StartKeys;
  if (!ParseFirstPart(FirstPart, StartKeys))
    Problems.add(QStringLiteral("[System] FirstPart \"%1\" holds a piece that is not a whole number; "
                                "that level starts at its built-in key")
                     .arg(FirstPart));
  DataBase = Keys.text(SystemSection, QStringLiteral("DataBase"));
  Server = Keys.text(SystemSection, QStringLiteral("Server"));
  FileInServer = Keys.text(SystemSection, QStringLiteral("FileInServer"));
  InternalZip = Keys.flag(SaveSection, QStringLiteral("InternalZip"), false);
  ArcCatalog = Keys.text(SaveSection, QStringLiteral("ArcCatalog"));
  Arc1 = Keys.text(SaveSection, QStringLiteral("Arc1"));
  SaveInterval = Keys.number(SaveSection, QStringLiteral("Interval"), KeyMissingInterval);
  SaveDateStr = Keys.text(SaveSection, QStringLiteral("LastSaveDate"));
  ReportCatalog = Keys.text(ReportSection, QStringLiteral("ReportCatalog"));
  ReferatOut = Keys.flag(ReportSection, QStringLiteral("ReferatOut"), false);
  ReportEdit = Keys.flag(ReportSection, QStringLiteral("ReportEdit"), false);

  Problems.report(FileName);
  return true;
}

void TSettings::WriteSettings(const String& FileName) const {
  TMemIniFile Ini{String()};
  TProblems Unreported;  // a line that is not UTF-8 is rewritten in UTF-8 here
  openWhole(Ini, FileName, Unreported);
  Ini.WriteBool(SystemSection, QStringLiteral("IsDriveSel"), IsDriveSel);
  Ini.WriteInteger(SystemSection, QStringLiteral("LitCatalog"), LitCatalogInt);
  Ini.WriteBool(SystemSection, QStringLiteral("IsLastCatalog"), IsLastCatalog);
  Ini.WriteString(SystemSection, QStringLiteral("FirstPart"), FirstPart);
  Ini.WriteString(SystemSection, QStringLiteral("DataBase"), DataBase);
  Ini.WriteString(SystemSection, QStringLiteral("Paste"), Paste);
  Ini.WriteString(SystemSection, QStringLiteral("Server"), Server);
  Ini.WriteString(SystemSection, QStringLiteral("FileInServer"), FileInServer);
  Ini.WriteString(FontSection, QStringLiteral("PrintFontSize"), IntToStr(prFontSize));
  Ini.WriteString(FontSection, QStringLiteral("PrintFontName"), prFontName);
  Ini.WriteInteger(DataSection, QStringLiteral("Year1"), Year1);
  Ini.WriteInteger(DataSection, QStringLiteral("Year2"), Year2);
  Ini.WriteString(SaveSection, QStringLiteral("ArcCatalog"), ArcCatalog);
  Ini.WriteString(SaveSection, QStringLiteral("Arc1"), Arc1);
  Ini.WriteBool(SaveSection, QStringLiteral("InternalZip"), InternalZip);
  Ini.WriteInteger(SaveSection, QStringLiteral("Interval"), SaveInterval);
  Ini.WriteString(SaveSection, QStringLiteral("LastSaveDate"), SaveDateStr);
  Ini.WriteBool(ReportSection, QStringLiteral("ReportEdit"), ReportEdit);
  Ini.WriteBool(ReportSection, QStringLiteral("ReferatOut"), ReferatOut);
  Ini.WriteString(ReportSection, QStringLiteral("ReportCatalog"), ReportCatalog);
  Ini.UpdateFile();
}

void TSettings::SetSaveDate(TDateTime CurrDate, const String& Message) {
  const TFormatSettings Dates = isoDates();
  if (TryStrToDate(SaveDateStr, SaveDate, Dates)) return;
  ShowMessageBox(TMessageKind::Information, Message);
  SaveDate = CurrDate;
  SaveDateStr = FormatDateTime(DateFormat, CurrDate, Dates);
}

void WriteFirstPart(const String& FileName, const String& FirstPart) {
  TMemIniFile Ini{String()};
  TProblems Unreported;
  openWhole(Ini, FileName, Unreported);
  Ini.WriteString(SystemSection, QStringLiteral("FirstPart"), FirstPart);
  Ini.UpdateFile();
}

void WriteLastSave(const String& FileName, const String& SaveDateStr, Integer SaveInterval) {
  TIniFile Ini(FileName);
  Ini.WriteString(SaveSection, QStringLiteral("LastSaveDate"), SaveDateStr);
  Ini.WriteInteger(SaveSection, QStringLiteral("Interval"), SaveInterval);
}

bool ReadAbstractFont(const String& FileName, TAbstractFont& Font) {
  if (!FileExists(FileName)) {
    ShowMessageBox(TMessageKind::Warning, QStringLiteral("Нет файла конфигурации:") + ExtractFilePath(FileName) + QStringLiteral("Bibliona.ini"));
    return false;
  }
  TMemIniFile Ini{String()};
  TProblems Problems;
  openWhole(Ini, FileName, Problems);
  const TKeyReader Keys(Ini, Problems);
  const String Kept = QStringLiteral("the viewer's own");
  Keys.fontSize(FontSection, QStringLiteral("AbstractFontSize"), Font.AbstractFontSize, Kept);
  if (Keys.has(FontSection, QStringLiteral("AbstractFontName"))) Font.AbstractFontName = Keys.text(FontSection, QStringLiteral("AbstractFontName"));
  Keys.color(FontSection, QStringLiteral("AbstractFontColor"), Font.AbstractFontColor, Kept);
  Keys.color(FontSection, QStringLiteral("AbstractColor"), Font.AbstractColor, Kept);
  Problems.report(FileName);
  return true;
}

void WriteAbstractFont(const String& FileName, const TAbstractFont& Font) {
  TIniFile Ini(FileName);
  Ini.WriteString(FontSection, QStringLiteral("AbstractFontSize"), IntToStr(Font.AbstractFontSize));
  Ini.WriteString(FontSection, QStringLiteral("AbstractFontName"), Font.AbstractFontName);
  Ini.WriteString(FontSection, QStringLiteral("AbstractFontColor"), ColorToHexText(Font.AbstractFontColor));
  Ini.WriteString(FontSection, QStringLiteral("AbstractColor"), ColorToHexText(Font.AbstractColor));
}

bool ParseFirstPart(const String& FirstPart, TLevelKeys& Keys) {
  Keys = BuiltInStartKeys;
  String Rest = FirstPart;
  bool AllNumbers = true;
  for (size_t Level = 0; Level < Keys.size(); ++Level) {
    const int Comma = Pos(QStringLiteral(","), Rest);
    if (Comma == 0) continue;  // no "," left: this level and the ones below keep their built-in keys
    Integer Key = 0;
    if (TryStrToInt(Copy(Rest, 1, Comma - 1), Key))
      Keys[Level] = Key;
    else
      AllNumbers = false;
    Delete(Rest, 1, Comma);
  }
  return AllNumbers;
}
