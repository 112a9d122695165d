#include "platform/os/wordapp.h"

#include "platform/os/drivemap.h"
#include "platform/os/process.h"
#include "platform/os/shell.h"
#include "platform/rtl/scopeexit.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <map>
#include <utility>

namespace {

// A new document's font, as a blank document of the classic Word has it.
constexpr char16_t DefaultFontName[] = u"Times New Roman";
constexpr double DefaultFontSize = 12;
// The font sizes Word accepts, in points.
constexpr double MinFontSize = 1;
constexpr double MaxFontSize = 1638;

[[noreturn]] void raiseDisconnected() {
  throw EOleException(QStringLiteral("The object invoked has disconnected from its clients"));
}

String boolText(bool Value) { return Value ? QStringLiteral("True") : QStringLiteral("False"); }

// ------------------------------------------------------ the document model

struct TCharFormat {
  String FontName = String::fromUtf16(DefaultFontName);
  double Size = DefaultFontSize;
  bool Bold = false;
  bool operator==(const TCharFormat&) const = default;
};

struct TRun {
  TCharFormat Format;
  String Text;
};

struct TParagraph {
  Integer Alignment = wdAlignParagraphLeft;
  std::vector<TRun> Runs;
  TCharFormat Mark;  // the paragraph mark's format, set when the paragraph ends
};

struct TRtfDocument {
  std::vector<TParagraph> Paragraphs{1};
  TCharFormat Format;  // the insertion point's: typed text takes it
  String FileName;     // "" until saved
  bool Saved = true;

  void TypeText(const String& Text) {
    qsizetype Start = 0;
    for (qsizetype I = 0; I <= Text.size(); ++I) {
      if (I < Text.size() && Text[I] != u'\r' && Text[I] != u'\n') continue;
      append(Text.mid(Start, I - Start));
      if (I == Text.size()) break;
      if (Text[I] == u'\r' && I + 1 < Text.size() && Text[I + 1] == u'\n') ++I;
      breakParagraph();
      Start = I + 1;
    }
    if (!Text.isEmpty()) Saved = false;
  }

private:
  void append(const String& Text) {
    if (Text.isEmpty()) return;
    std::vector<TRun>& Runs = Paragraphs.back().Runs;
    if (!Runs.empty() && Runs.back().Format == Format)
      Runs.back().Text += Text;
    else
      Runs.push_back({Format, Text});
  }

  // The new paragraph keeps the alignment of the one it was split from.
  void breakParagraph() {
    Paragraphs.back().Mark = Format;
    const Integer Alignment = Paragraphs.back().Alignment;
    Paragraphs.push_back(TParagraph{Alignment, {}, Format});
  }
};

// ------------------------------------------------------------ RTF output

// RTF as word processors read it: an ASCII file where every other character
// is a \uN escape (N the signed 16-bit UTF-16 unit) followed by the one-char
// ANSI fallback "?" that \uc1 announces.
class RtfWriter {
public:
  QByteArray Write(const TRtfDocument& Document) {
    QByteArray Body;
    const TParagraph& Last = Document.Paragraphs.back();
    for (const TParagraph& P : Document.Paragraphs) {
      Body += "\\pard";
      Body += P.Alignment == wdAlignParagraphCenter ? "\\qc" : "\\ql";
      for (const TRun& Run : P.Runs) {
        format(Body, Run.Format);
        Body += ' ';
        escape(Body, Run.Text, /*FontName=*/false);
      }
      const TCharFormat& Mark = &P == &Last ? Document.Format : P.Mark;
      if (P.Runs.empty() || P.Runs.back().Format != Mark) format(Body, Mark);
      Body += "\\par\r\n";
    }
    QByteArray Result = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (size_t I = 0; I < FFonts.size(); ++I) {
      Result += "{\\f" + QByteArray::number(qulonglong(I)) + "\\fnil\\fcharset0 ";
      escape(Result, FFonts[I], /*FontName=*/true);
      Result += ";}";
    }
    return Result + "}\r\n" + Body + "}\r\n";
  }

private:
  void format(QByteArray& Out, const TCharFormat& Format) {
    Out += "\\f" + QByteArray::number(fontIndex(Format.FontName));
    Out += "\\fs" + QByteArray::number(qRound(Format.Size * 2));
    Out += Format.Bold ? "\\b" : "\\b0";
  }

  int fontIndex(const String& Name) {
    const auto Found = std::find(FFonts.begin(), FFonts.end(), Name);
    if (Found != FFonts.end()) return int(Found - FFonts.begin());
    FFonts.push_back(Name);
    return int(FFonts.size()) - 1;
  }

  static void escape(QByteArray& Out, const String& Text, bool FontName) {
    for (const QChar C : Text) {
      const char16_t U = C.unicode();
      if (U == u'\\' || U == u'{' || U == u'}') {
        Out += '\\';
        Out += char(U);
      } else if (U == u';' && FontName) {  // ends a name in the font table
        Out += "\\'3b";
      } else if (U == u'\t') {
        Out += "\\tab ";
      } else if (U < 0x20) {
        continue;  // no other control character has a place in RTF text
      } else if (U < 0x80) {
        Out += char(U);
      } else {
        Out += "\\u" + QByteArray::number(int(std::int16_t(U))) + '?';
      }
    }
  }

  std::vector<String> FFonts{String::fromUtf16(DefaultFontName)};  // \deff0
};

// Replaces FileName (through a temporary file in its folder) with Bytes.
void writeFileAtomically(const String& FileName, const QByteArray& Bytes) {
  QSaveFile File(FileName);
  if (!File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size() || !File.commit())
    throw EOleException(QStringLiteral("Cannot save \"%1\": %2").arg(FileName, File.errorString()));
}

// ------------------------------------------------------- the RTF backend

class TRtfWordBackend : public TWordBackend {
public:
  void SetVisible(bool Value) override { FVisible = Value; }

  Integer AddDocument() override {
    FActive = ++FLastNumber;
    FDocuments[FActive];
    return FActive;
  }

  Integer ActiveDocument() override {
    active();
    return FActive;
  }

  void SetFontName(const String& Value) override { active().Format.FontName = Value; }

  void SetFontSize(double Value) override {
    if (!(Value >= MinFontSize && Value <= MaxFontSize))
      throw EOleException(QStringLiteral("Font size %1 is out of range (%2 to %3)").arg(Value).arg(MinFontSize).arg(MaxFontSize));
    active().Format.Size = std::round(Value * 2) / 2;  // Word keeps half points
  }

  void SetFontBold(bool Value) override { active().Format.Bold = Value; }

  void TypeText(const String& Text) override { active().TypeText(Text); }

  void SetAlignment(Integer Value) override {
    if (Value != wdAlignParagraphLeft && Value != wdAlignParagraphCenter)
      throw EOleException(QStringLiteral("Paragraph alignment %1 is not supported").arg(Value));
    TRtfDocument& Document = active();
    Document.Paragraphs.back().Alignment = Value;
    Document.Saved = false;
  }

  bool Saved(Integer Number) override { return document(Number).Saved; }

  void SaveAs(Integer Number, const String& FileName) override {
    TRtfDocument& Document = document(Number);
    const String Path = QFileInfo(NativePath(FileName)).absoluteFilePath();
    writeFileAtomically(Path, RtfWriter().Write(Document));
    Document.FileName = FileName;
    Document.Saved = true;
    // A visible Word would now show the document; the viewer stands in.
    if (FVisible) ShellExecute(0, QStringLiteral("open"), Path, String(), String(), SW_SHOWNORMAL);
  }

  void CloseDocument(Integer Number, bool SaveChanges) override {
    TRtfDocument& Document = document(Number);
    if (SaveChanges && !Document.Saved) {
      // No one is there to ask for a name, as Word would.
      if (Document.FileName.isEmpty())
        throw EOleException(QStringLiteral("The document has changes and has never been saved"));
      SaveAs(Number, Document.FileName);
    }
    FDocuments.erase(Number);
    FActive = FDocuments.empty() ? 0 : FDocuments.rbegin()->first;
  }

  void Quit() override {
    FDocuments.clear();
    FActive = 0;
  }

private:
  TRtfDocument& document(Integer Number) {
    const auto Found = FDocuments.find(Number);
    if (Found == FDocuments.end()) throw EOleException(QStringLiteral("Object has been deleted"));
    return Found->second;
  }

  TRtfDocument& active() {
    if (FActive == 0)
      throw EOleException(QStringLiteral("This command is not available because no document is open"));
    return document(FActive);
  }

  std::map<Integer, TRtfDocument> FDocuments;
  Integer FActive = 0;
  Integer FLastNumber = 0;
  bool FVisible = false;
};

class TRtfWordServer : public TWordServer {
public:
  bool Installed() override { return true; }
  std::unique_ptr<TWordBackend> NewInstance() override { return std::make_unique<TRtfWordBackend>(); }
};

TWordServer* InstalledServer = nullptr;  // set only by TWordServerScope

// ------------------------------------------------- the recording backend

class TRecordingWordBackend : public TWordBackend {
public:
  explicit TRecordingWordBackend(TRecordingWordServer& Server) : FServer(Server) {}

  void SetVisible(bool Value) override { FServer.Record("Visible=" + boolText(Value)); }

  Integer AddDocument() override {
    FServer.Record(QStringLiteral("Documents.Add"));
    FActive = ++FLastNumber;
    FSaved[FActive] = true;
    return FActive;
  }

  Integer ActiveDocument() override {
    FServer.Record(QStringLiteral("ActiveDocument"));
    return FActive;
  }

  void SetFontName(const String& Value) override { FServer.Record("Font.Name=" + Value); }
  void SetFontSize(double Value) override { FServer.Record("Font.Size=" + QString::number(Value)); }
  void SetFontBold(bool Value) override { FServer.Record("Font.Bold=" + boolText(Value)); }

  void TypeText(const String& Text) override {
    FServer.Record("TypeText(" + Text + ")");
    FSaved[FActive] = false;
  }

  void SetAlignment(Integer Value) override {
    FServer.Record("Alignment=" + QString::number(Value));
    FSaved[FActive] = false;
  }

  bool Saved(Integer Number) override {
    FServer.Record(QStringLiteral("Saved"));
    return FSaved[Number];
  }

  void SaveAs(Integer Number, const String& FileName) override {
    FServer.Record("SaveAs(" + FileName + ")");
    FSaved[Number] = true;
  }

  void CloseDocument(Integer, bool SaveChanges) override { FServer.Record("Close(" + boolText(SaveChanges) + ")"); }
  void Quit() override { FServer.Record(QStringLiteral("Quit")); }

private:
  TRecordingWordServer& FServer;
  std::map<Integer, bool> FSaved;
  Integer FActive = 0;
  Integer FLastNumber = 0;
};

}  // namespace

// ---------------------------------------------------------------- servers

TWordServer& WordServer() {
  static TRtfWordServer RtfServer;  // stateless
  return InstalledServer ? *InstalledServer : RtfServer;
}

TWordServerScope::TWordServerScope(TWordServer& Server) : FPrevious(InstalledServer) {
  InstalledServer = &Server;
}

TWordServerScope::~TWordServerScope() { InstalledServer = FPrevious; }

std::unique_ptr<TWordBackend> TRecordingWordServer::NewInstance() {
  Record(QStringLiteral("Connect"));
  return std::make_unique<TRecordingWordBackend>(*this);
}

void TRecordingWordServer::Record(const String& Call) {
  if (Integer(Log.size()) + 1 == FailAtCall) {
    FailAtCall = 0;
    throw EOleException(FailMessage);
  }
  Log.push_back(Call);
}

// ---------------------------------------------------------------- session

// One connection: the backend while the instance runs.
class TWordSession {
public:
  explicit TWordSession(std::unique_ptr<TWordBackend> Backend) : FBackend(std::move(Backend)) {}

  TWordBackend& Backend() {
    if (!FBackend) raiseDisconnected();
    return *FBackend;
  }
  void Release() { FBackend.reset(); }

private:
  std::unique_ptr<TWordBackend> FBackend;
};

// ------------------------------------------------------------- interfaces

bool WordDocument::Saved() { return FSession->Backend().Saved(FNumber); }
void WordDocument::SaveAs(const String& FileName) { FSession->Backend().SaveAs(FNumber, FileName); }
void WordDocument::Close(bool SaveChanges) { FSession->Backend().CloseDocument(FNumber, SaveChanges); }

WordDocument WordDocuments::Add() { return WordDocument(FSession, FSession->Backend().AddDocument()); }

void WordFont::SetName(const String& Value) { FSession->Backend().SetFontName(Value); }
void WordFont::SetSize(double Value) { FSession->Backend().SetFontSize(Value); }
void WordFont::SetBold(bool Value) { FSession->Backend().SetFontBold(Value); }

void WordParagraphFormat::SetAlignment(Integer Value) { FSession->Backend().SetAlignment(Value); }

void WordSelection::TypeText(const String& Text) { FSession->Backend().TypeText(Text); }

// ------------------------------------------------------- TWordApplication

TWordApplication::TWordApplication(TComponent* AOwner) : TComponent(AOwner) {}

TWordApplication::~TWordApplication() { Disconnect(); }

void TWordApplication::Connect() {
  if (FSession) return;
  TWordServer& Server = WordServer();
  if (!Server.Installed()) throw EOleException(QStringLiteral("Invalid class string"));
  FSession = std::make_shared<TWordSession>(Server.NewInstance());
}

void TWordApplication::Disconnect() {
  if (!FSession) return;
  FSession->Release();
  FSession.reset();
  FVisible = false;
}

const TWordSessionPtr& TWordApplication::session() {
  Connect();
  return FSession;
}

void TWordApplication::SetVisible(bool Value) {
  session()->Backend().SetVisible(Value);
  FVisible = Value;
}

WordDocuments TWordApplication::Documents() { return WordDocuments(session()); }

WordDocument TWordApplication::ActiveDocument() {
  const TWordSessionPtr& Session = session();
  return WordDocument(Session, Session->Backend().ActiveDocument());
}

WordSelection TWordApplication::Selection() { return WordSelection(session()); }

void TWordApplication::Quit() {
  if (!FSession) return;
  const TWordSessionPtr Session = std::exchange(FSession, nullptr);
  FVisible = false;
  // The instance is gone whether or not Quit itself succeeds.
  const TScopeExit Release([&Session] { Session->Release(); });
  Session->Backend().Quit();
}

// ---------------------------------------------------------- TWordDocument

TWordDocument::TWordDocument(TComponent* AOwner) : TComponent(AOwner) {}

void TWordDocument::ConnectTo(const WordDocument& Document) { FDocument = std::make_unique<WordDocument>(Document); }

void TWordDocument::Disconnect() { FDocument.reset(); }

WordDocument& TWordDocument::document() {
  if (!FDocument) raiseDisconnected();
  return *FDocument;
}

bool TWordDocument::Saved() { return document().Saved(); }

void TWordDocument::SaveAs(const String& FileName) { document().SaveAs(FileName); }

void TWordDocument::Close(bool SaveChanges) {
  document().Close(SaveChanges);
  FDocument.reset();
}

// --------------------------------------------------- TWordParagraphFormat

TWordParagraphFormat::TWordParagraphFormat(TComponent* AOwner) : TComponent(AOwner) {}

void TWordParagraphFormat::ConnectTo(const WordParagraphFormat& Format) {
  FFormat = std::make_unique<WordParagraphFormat>(Format);
}

void TWordParagraphFormat::Disconnect() { FFormat.reset(); }

void TWordParagraphFormat::SetAlignment(Integer Value) {
  if (!FFormat) raiseDisconnected();
  FFormat->SetAlignment(Value);
}
