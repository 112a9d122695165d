#include "platform/rtl/inifiles.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <optional>
#include <unistd.h>
#include <utility>

namespace {

QByteArray utf8Mark() { return QByteArrayLiteral("\xEF\xBB\xBF"); }
QByteArray crLf() { return QByteArrayLiteral("\r\n"); }
// New files: read and write for everyone the umask allows.
constexpr mode_t NewFileMode = 0666;

// ------------------------------------------------------------- line syntax

enum class TLineKind { Blank, Comment, Section, Key, Other };

struct TIniLine {
  TLineKind Kind = TLineKind::Blank;
  String Name;   // the section or key name
  String Value;  // the key's value
};

// Reads one line the way both access styles do: trimmed; ';' starts a
// comment; "[Name]" starts a section; otherwise the first '=' splits a key
// from its value, each trimmed.
TIniLine parseLine(const String& Line) {
  const String S = Trim(Line);
  if (S.isEmpty()) return {};
  if (S.startsWith(u';')) return {TLineKind::Comment, {}, {}};
  if (S.size() >= 2 && S.startsWith(u'[') && S.endsWith(u']'))
    return {TLineKind::Section, Trim(S.mid(1, S.size() - 2)), {}};
  const qsizetype Eq = S.indexOf(u'=');
  if (Eq >= 0) return {TLineKind::Key, Trim(S.left(Eq)), Trim(S.mid(Eq + 1))};
  return {TLineKind::Other, {}, {}};
}

String keyLine(const String& Ident, const String& Value) { return Ident + u'=' + Value; }

void assignLines(TStrings* Strings, const std::vector<String>& Lines) {
  Strings->BeginUpdate();
  Strings->Clear();
  for (const String& Line : Lines) Strings->Add(Line);
  Strings->EndUpdate();
}

// -------------------------------------------------------------- file bytes

// One line of a file as bytes, with the break that ended it ("" for a last
// line without one).  CR, LF and CR LF are breaks; none of them can occur
// inside a UTF-8 sequence, so splitting bytes splits the text.
struct TRawLine {
  QByteArray Bytes;
  QByteArray Break;
};

struct TIniBytes {
  bool Exists = false;
  bool HasMark = false;  // starts with the UTF-8 byte-order mark
  std::vector<TRawLine> Lines;
};

TIniBytes readIniFile(const String& FileName) {
  TIniBytes Result;
  if (!QFileInfo::exists(FileName)) return Result;
  TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
  QByteArray Data(File.Size(), Qt::Uninitialized);
  File.ReadBuffer(Data.data(), Data.size());
  Result.Exists = true;
  Result.HasMark = Data.startsWith(utf8Mark());
  const qsizetype Size = Data.size();
  for (qsizetype Start = Result.HasMark ? utf8Mark().size() : 0; Start < Size;) {
    qsizetype End = Start;
    while (End < Size && Data[End] != '\r' && Data[End] != '\n') ++End;
    qsizetype Next = End;
    if (Next < Size) {
      ++Next;
      if (Data[End] == '\r' && Next < Size && Data[Next] == '\n') ++Next;
    }
    Result.Lines.push_back({Data.mid(Start, End - Start), Data.mid(End, Next - End)});
    Start = Next;
  }
  return Result;
}

// Replaces FileName with Data: written to a temporary file beside it, which
// takes the old file's permissions and is then renamed over it, so a reader
// sees either the old file or the new one.  Raises EFCreateError.
void replaceFile(const String& FileName, const QByteArray& Data) {
  const QByteArray Path = QFile::encodeName(FileName);
  const QByteArray TempPath = Path + ".~" + QByteArray::number(::getpid());
  int Code = 0;
  const int Handle = ::open(TempPath.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, NewFileMode);
  if (Handle < 0) {
    Code = errno;
  } else {
    struct stat Old;
    if (::stat(Path.constData(), &Old) == 0) ::fchmod(Handle, Old.st_mode & 07777);
    THandleStream Stream(Handle);
    errno = 0;
    if (Stream.Write(Data.constData(), static_cast<Integer>(Data.size())) != Data.size())
      Code = errno ? errno : ENOSPC;
    if (::close(Handle) != 0 && Code == 0) Code = errno;
    if (Code == 0 && ::rename(TempPath.constData(), Path.constData()) != 0) Code = errno;
    if (Code != 0) ::unlink(TempPath.constData());
  }
  if (Code != 0)
    throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, SysErrorMessage(Code)));
}

// ------------------------------------------------------------ TIniText

// A file for single-key access: its lines as bytes, each with its parse and
// the section it lies in.  Edits change, insert or remove whole lines and
// leave every other byte as it was.  A section name that occurs twice names
// one section: its keys are those of every block, a new key goes after the
// last block.
class TIniText {
public:
  explicit TIniText(const String& FileName) {
    TIniBytes File = readIniFile(FileName);
    FExists = File.Exists;
    FHasMark = File.HasMark;
    std::optional<String> Current;
    for (TRawLine& Raw : File.Lines) {
      TIniLine Parsed = parseLine(UTF8ToString(Raw.Bytes));
      if (Parsed.Kind == TLineKind::Section) Current = Parsed.Name;
      FLines.push_back({std::move(Raw), std::move(Parsed), Current});
    }
  }

  String value(const String& Section, const String& Ident, const String& Default) const {
    const qsizetype Key = findKey(Section, Ident);
    return Key >= 0 ? FLines[Key].Parsed.Value : Default;
  }

  // The key lines of Section, in file order.
  std::vector<TIniLine> keys(const String& Section) const {
    std::vector<TIniLine> Result;
    for (const TTextLine& Line : FLines)
      if (Line.Parsed.Kind == TLineKind::Key && Line.isIn(Section)) Result.push_back(Line.Parsed);
    return Result;
  }

  std::vector<String> sectionNames() const {
    std::vector<String> Result;
    for (const TTextLine& Line : FLines)
      if (Line.Parsed.Kind == TLineKind::Section && !contains(Result, Line.Parsed.Name))
        Result.push_back(Line.Parsed.Name);
    return Result;
  }

  void setValue(const String& Section, const String& Ident, const String& Value) {
    const qsizetype Key = findKey(Section, Ident);
    if (Key >= 0) {
      // Keep the key as it was spelt and the blanks around '='.
      TTextLine& Line = FLines[Key];
      QByteArray& Bytes = Line.Raw.Bytes;
      qsizetype ValueStart = Bytes.indexOf('=') + 1;
      while (ValueStart < Bytes.size() && (Bytes[ValueStart] == ' ' || Bytes[ValueStart] == '\t')) ++ValueStart;
      Bytes = Bytes.left(ValueStart) + UTF8Encode(Value);
      Line.Parsed = parseLine(UTF8ToString(Bytes));
      return;
    }
    const QByteArray Line = UTF8Encode(keyLine(Ident, Value));
    const qsizetype Last = lastLineOf(Section);
    if (Last >= 0) {
      insertAfter(Last, Line);
      return;
    }
    if (!FLines.empty()) {
      if (FLines.back().Raw.Break.isEmpty()) FLines.back().Raw.Break = lineBreak();
      if (FLines.back().Parsed.Kind != TLineKind::Blank) append({});
    }
    append(UTF8Encode(u'[' + Section + u']'));
    append(Line);
  }

  // Whether anything changed.
  bool eraseSection(const String& Section) {
    return std::erase_if(FLines, [&](const TTextLine& Line) { return Line.isIn(Section); }) > 0;
  }

  bool deleteKey(const String& Section, const String& Ident) {
    const qsizetype Key = findKey(Section, Ident);
    if (Key < 0) return false;
    FLines.erase(FLines.begin() + Key);
    return true;
  }

  void save(const String& FileName) const {
    // A file this creates is marked as UTF-8; an existing one keeps its form.
    QByteArray Data = FHasMark || !FExists ? utf8Mark() : QByteArray();
    for (const TTextLine& Line : FLines) Data += Line.Raw.Bytes + Line.Raw.Break;
    replaceFile(FileName, Data);
  }

private:
  struct TTextLine {
    TRawLine Raw;
    TIniLine Parsed;
    std::optional<String> Section;  // none before the first section header

    // The line is Section's header or lies inside one of its blocks.
    bool isIn(const String& Name) const { return Section && AnsiSameText(*Section, Name); }
  };

  static bool contains(const std::vector<String>& Names, const String& Name) {
    for (const String& S : Names)
      if (AnsiSameText(S, Name)) return true;
    return false;
  }

  qsizetype findKey(const String& Section, const String& Ident) const {
    for (size_t I = 0; I < FLines.size(); ++I) {
      const TTextLine& Line = FLines[I];
      if (Line.Parsed.Kind == TLineKind::Key && Line.isIn(Section) && AnsiSameText(Line.Parsed.Name, Ident))
        return static_cast<qsizetype>(I);
    }
    return -1;
  }

  // The last non-blank line of Section's last block (its header at least);
  // -1 when there is no such section.
  qsizetype lastLineOf(const String& Section) const {
    for (qsizetype I = static_cast<qsizetype>(FLines.size()) - 1; I >= 0; --I)
      if (FLines[I].Parsed.Kind != TLineKind::Blank && FLines[I].isIn(Section)) return I;
    return -1;
  }

  // The file's own line break: the first one it uses, CR LF in a file without one.
  QByteArray lineBreak() const {
    for (const TTextLine& Line : FLines)
      if (!Line.Raw.Break.isEmpty()) return Line.Raw.Break;
    return crLf();
  }

  // A new line takes over the missing break of a last line, so the file
  // still ends as it did.
  void insertAfter(qsizetype Index, const QByteArray& Bytes) {
    TRawLine Raw{Bytes, lineBreak()};
    if (FLines[Index].Raw.Break.isEmpty()) std::swap(Raw.Break, FLines[Index].Raw.Break);
    insertLine(Index + 1, std::move(Raw));
  }

  void append(const QByteArray& Bytes) { insertLine(static_cast<qsizetype>(FLines.size()), {Bytes, lineBreak()}); }

  // The line joins the section of the line before it, or starts its own.
  void insertLine(qsizetype Index, TRawLine Raw) {
    TIniLine Parsed = parseLine(UTF8ToString(Raw.Bytes));
    std::optional<String> Section = Index > 0 ? FLines[Index - 1].Section : std::nullopt;
    if (Parsed.Kind == TLineKind::Section) Section = Parsed.Name;
    FLines.insert(FLines.begin() + Index, {std::move(Raw), std::move(Parsed), std::move(Section)});
  }

  bool FExists = false;
  bool FHasMark = false;
  std::vector<TTextLine> FLines;
};

}  // namespace

// --------------------------------------------------------- TCustomIniFile

Integer TCustomIniFile::ReadInteger(const String& Section, const String& Ident, Integer Default) const {
  return StrToIntDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteInteger(const String& Section, const String& Ident, Integer Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TCustomIniFile::ReadFloat(const String& Section, const String& Ident, double Default) const {
  return StrToFloatDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteFloat(const String& Section, const String& Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

TDateTime TCustomIniFile::ReadDate(const String& Section, const String& Ident, TDateTime Default) const {
  return StrToDateDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteDate(const String& Section, const String& Ident, TDateTime Value) {
  WriteString(Section, Ident, DateToStr(Value));
}

TDateTime TCustomIniFile::ReadDateTime(const String& Section, const String& Ident, TDateTime Default) const {
  return StrToDateTimeDef(ReadString(Section, Ident, String()), Default);
}

void TCustomIniFile::WriteDateTime(const String& Section, const String& Ident, TDateTime Value) {
  WriteString(Section, Ident, DateTimeToStr(Value));
}

bool TCustomIniFile::SectionExists(const String& Section) const {
  TStringList Keys;
  ReadSection(Section, &Keys);
  return Keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const String& Section, const String& Ident) const {
  TStringList Keys;
  ReadSection(Section, &Keys);
  return Keys.IndexOf(Ident) >= 0;
}

// ------------------------------------------------------------ TMemIniFile

TMemIniFile::TMemIniFile(const String& AFileName) : TCustomIniFile(AFileName) { loadFile(); }

String TMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
  const TSection* Sect = findSection(Section);
  const qsizetype Key = Sect ? indexOfKey(*Sect, Ident) : -1;
  return Key >= 0 ? Sect->Entries[Key].Value : Default;
}

void TMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  TSection* Sect = findSection(Section);
  if (!Sect) Sect = &FSections.emplace_back(TSection{Section, {}});
  const qsizetype Key = indexOfKey(*Sect, Ident);
  if (Key >= 0)
    Sect->Entries[Key].Value = Value;
  else
    Sect->Entries.push_back({Ident, Value, /*IsKey=*/true});
}

void TMemIniFile::ReadSection(const String& Section, TStrings* Strings) const {
  std::vector<String> Names;
  if (const TSection* Sect = findSection(Section))
    for (const TEntry& Entry : Sect->Entries)
      if (Entry.IsKey) Names.push_back(Entry.Name);
  assignLines(Strings, Names);
}

void TMemIniFile::ReadSections(TStrings* Strings) const {
  std::vector<String> Names;
  for (const TSection& Sect : FSections) Names.push_back(Sect.Name);
  assignLines(Strings, Names);
}

void TMemIniFile::ReadSectionValues(const String& Section, TStrings* Strings) const {
  std::vector<String> Lines;
  if (const TSection* Sect = findSection(Section))
    for (const TEntry& Entry : Sect->Entries)
      if (Entry.IsKey) Lines.push_back(keyLine(Entry.Name, Entry.Value));
  assignLines(Strings, Lines);
}

void TMemIniFile::EraseSection(const String& Section) {
  std::erase_if(FSections, [&](const TSection& Sect) { return AnsiSameText(Sect.Name, Section); });
}

void TMemIniFile::DeleteKey(const String& Section, const String& Ident) {
  TSection* Sect = findSection(Section);
  if (!Sect) return;
  const qsizetype Key = indexOfKey(*Sect, Ident);
  if (Key >= 0) Sect->Entries.erase(Sect->Entries.begin() + Key);
}

void TMemIniFile::UpdateFile() {
  QByteArray Data = utf8Mark();
  for (const String& Line : lines()) Data += UTF8Encode(Line) + crLf();
  replaceFile(FileName(), Data);
}

void TMemIniFile::Clear() {
  FHeader.clear();
  FSections.clear();
}

void TMemIniFile::GetStrings(TStrings* List) const {
  List->BeginUpdate();
  for (const String& Line : lines()) List->Add(Line);
  List->EndUpdate();
}

void TMemIniFile::SetStrings(TStrings* List) {
  std::vector<String> Lines;
  for (Integer I = 0; I < List->Count(); ++I) Lines.push_back(List->Strings(I));
  loadLines(Lines);
}

void TMemIniFile::Rename(const String& AFileName, bool Reload) {
  SetFileName(AFileName);
  if (Reload) loadFile();
}

void TMemIniFile::loadFile() {
  std::vector<String> Lines;
  for (const TRawLine& Raw : readIniFile(FileName()).Lines) Lines.push_back(UTF8ToString(Raw.Bytes));
  loadLines(Lines);
}

// A section named twice becomes one, in the place of its first block.
void TMemIniFile::loadLines(const std::vector<String>& Lines) {
  Clear();
  TSection* Current = nullptr;
  for (const String& Text : Lines) {
    const TIniLine Line = parseLine(Text);
    switch (Line.Kind) {
      case TLineKind::Blank:
        break;
      case TLineKind::Section:
        Current = findSection(Line.Name);
        if (!Current) Current = &FSections.emplace_back(TSection{Line.Name, {}});
        break;
      case TLineKind::Key:
        if (Current) {
          Current->Entries.push_back({Line.Name, Line.Value, /*IsKey=*/true});
          break;
        }
        [[fallthrough]];
      case TLineKind::Comment:
      case TLineKind::Other:
        if (Current)
          Current->Entries.push_back({String(), Trim(Text), /*IsKey=*/false});
        else
          FHeader.push_back(Trim(Text));
        break;
    }
  }
}

std::vector<String> TMemIniFile::lines() const {
  std::vector<String> Result = FHeader;
  for (const TSection& Sect : FSections) {
    Result.push_back(u'[' + Sect.Name + u']');
    for (const TEntry& Entry : Sect.Entries)
      Result.push_back(Entry.IsKey ? keyLine(Entry.Name, Entry.Value) : Entry.Value);
    Result.push_back(String());
  }
  return Result;
}

const TMemIniFile::TSection* TMemIniFile::findSection(const String& Section) const {
  for (const TSection& Sect : FSections)
    if (AnsiSameText(Sect.Name, Section)) return &Sect;
  return nullptr;
}

TMemIniFile::TSection* TMemIniFile::findSection(const String& Section) {
  return const_cast<TSection*>(std::as_const(*this).findSection(Section));
}

qsizetype TMemIniFile::indexOfKey(const TSection& Sect, const String& Ident) {
  for (size_t I = 0; I < Sect.Entries.size(); ++I)
    if (Sect.Entries[I].IsKey && AnsiSameText(Sect.Entries[I].Name, Ident)) return static_cast<qsizetype>(I);
  return -1;
}

// -------------------------------------------------------------- TIniFile

String TIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
  return TIniText(FileName()).value(Section, Ident, Default);
}

void TIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  TIniText Text(FileName());
  Text.setValue(Section, Ident, Value);
  Text.save(FileName());
}

void TIniFile::ReadSection(const String& Section, TStrings* Strings) const {
  std::vector<String> Names;
  for (const TIniLine& Key : TIniText(FileName()).keys(Section)) Names.push_back(Key.Name);
  assignLines(Strings, Names);
}

void TIniFile::ReadSections(TStrings* Strings) const {
  assignLines(Strings, TIniText(FileName()).sectionNames());
}

void TIniFile::ReadSectionValues(const String& Section, TStrings* Strings) const {
  std::vector<String> Lines;
  for (const TIniLine& Key : TIniText(FileName()).keys(Section)) Lines.push_back(keyLine(Key.Name, Key.Value));
  assignLines(Strings, Lines);
}

void TIniFile::EraseSection(const String& Section) {
  TIniText Text(FileName());
  if (Text.eraseSection(Section)) Text.save(FileName());
}

void TIniFile::DeleteKey(const String& Section, const String& Ident) {
  TIniText Text(FileName());
  if (Text.deleteKey(Section, Ident)) Text.save(FileName());
}
