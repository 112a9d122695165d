// The Word automation object model: TWordApplication, TWordDocument and
// TWordParagraphFormat, and the interfaces they hand out (documents, the
// selection, its font and its paragraph format).
//
// No Word runs here.  Each connected application drives one backend made by
// the process-wide Word server.  The production server's backend keeps the
// documents in memory and SaveAs writes them as RTF, which word processors
// open whatever the file is called; "visible" then means "open the saved file
// in the default viewer".  Tests install a recording server.
//
// Lifetime: the interfaces are small values that share the connection.  Once
// the application quits or disconnects, every call through them raises
// EOleException; a document handle also dies when its document is closed.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/system.h"

#include <memory>
#include <vector>

RTL_DECLARE_EXCEPTION(EOleError, Exception)
RTL_DECLARE_EXCEPTION(EOleSysError, EOleError)
RTL_DECLARE_EXCEPTION(EOleException, EOleSysError)

// No Word instance is running here, so both kinds start a new one.
enum TConnectKind { ckRunningOrNew, ckNewInstance };

// Paragraph alignments the object model accepts.
inline constexpr Integer wdAlignParagraphLeft = 0;
inline constexpr Integer wdAlignParagraphCenter = 1;

// ------------------------------------------------------------ backends

// One running Word as the object model drives it.  Documents are numbered
// from 1; the selection is the insertion point at the end of the active
// document.  Every call may raise EOleException.
class TWordBackend {
public:
  virtual ~TWordBackend() = default;

  virtual void SetVisible(bool Value) = 0;
  // Adds an empty document, which becomes the active one; answers its number.
  virtual Integer AddDocument() = 0;
  // The active document's number.
  virtual Integer ActiveDocument() = 0;

  // selection of the active document
  virtual void SetFontName(const String& Value) = 0;
  virtual void SetFontSize(double Value) = 0;
  virtual void SetFontBold(bool Value) = 0;
  // Inserts Text; each "\r\n", "\r" or "\n" starts a new paragraph.
  virtual void TypeText(const String& Text) = 0;
  // Aligns the paragraph that holds the insertion point.
  virtual void SetAlignment(Integer Value) = 0;

  // documents
  // False once the document changed after it was made or last saved.
  virtual bool Saved(Integer Document) = 0;
  virtual void SaveAs(Integer Document, const String& FileName) = 0;
  // Saves changes under the document's name when SaveChanges, then drops it.
  virtual void CloseDocument(Integer Document, bool SaveChanges) = 0;
  // Ends the instance; unsaved documents are dropped.
  virtual void Quit() = 0;
};

// Where new instances come from.
class TWordServer {
public:
  virtual ~TWordServer() = default;
  // Whether Word counts as installed (the HKCR key "Word.Application").
  virtual bool Installed() = 0;
  // Starts an instance; called only when Installed.
  virtual std::unique_ptr<TWordBackend> NewInstance() = 0;
};

// The server in use: the innermost TWordServerScope's, else the RTF writer.
TWordServer& WordServer();

// Installs Server for the lifetime of the scope and then puts the previous
// one back; does not own it.
class TWordServerScope {
public:
  explicit TWordServerScope(TWordServer& Server);
  ~TWordServerScope();
  TWordServerScope(const TWordServerScope&) = delete;
  TWordServerScope& operator=(const TWordServerScope&) = delete;

private:
  TWordServer* FPrevious;
};

// A server for tests: every call of its instances is one line of Log
// ("Documents.Add", "Font.Size=16", "TypeText(<text>)", "SaveAs(<name>)",
// "Close(True)", "Quit" ...), and call number FailAtCall (from 1; 0 never)
// raises EOleException FailMessage instead.  Absent makes Word uninstalled.
class TRecordingWordServer : public TWordServer {
public:
  bool Installed() override { return !Absent; }
  std::unique_ptr<TWordBackend> NewInstance() override;

  std::vector<String> Log;
  Integer FailAtCall = 0;
  String FailMessage = QStringLiteral("Call failed");
  bool Absent = false;

  // Logs Call, or raises when it is the call to fail.
  void Record(const String& Call);
};

// ----------------------------------------------------------- interfaces

class TWordSession;
using TWordSessionPtr = std::shared_ptr<TWordSession>;

class WordDocument {
public:
  bool Saved();
  // Writes the document to FileName (relative to the current folder),
  // replacing an existing file.
  void SaveAs(const String& FileName);
  void Close(bool SaveChanges);

private:
  friend class WordDocuments;
  friend class TWordApplication;
  WordDocument(TWordSessionPtr Session, Integer Number) : FSession(std::move(Session)), FNumber(Number) {}
  TWordSessionPtr FSession;
  Integer FNumber;
};

class WordDocuments {
public:
  // A new empty document, which becomes the active one.
  WordDocument Add();

private:
  friend class TWordApplication;
  explicit WordDocuments(TWordSessionPtr Session) : FSession(std::move(Session)) {}
  TWordSessionPtr FSession;
};

class WordFont {
public:
  void SetName(const String& Value);
  void SetSize(double Value);  // points
  void SetBold(bool Value);

private:
  friend class WordSelection;
  explicit WordFont(TWordSessionPtr Session) : FSession(std::move(Session)) {}
  TWordSessionPtr FSession;
};

// Follows the selection: it formats whichever paragraph holds the insertion
// point when it is used.
class WordParagraphFormat {
public:
  void SetAlignment(Integer Value);

private:
  friend class WordSelection;
  explicit WordParagraphFormat(TWordSessionPtr Session) : FSession(std::move(Session)) {}
  TWordSessionPtr FSession;
};

class WordSelection {
public:
  WordFont Font() { return WordFont(FSession); }
  WordParagraphFormat ParagraphFormat() { return WordParagraphFormat(FSession); }
  void TypeText(const String& Text);

private:
  friend class TWordApplication;
  explicit WordSelection(TWordSessionPtr Session) : FSession(std::move(Session)) {}
  TWordSessionPtr FSession;
};

// ----------------------------------------------------------- components

// The application object.  It connects on demand: the first call that needs
// Word starts a new instance from WordServer().
class TWordApplication : public TComponent {
  RTL_CLASS(TWordApplication, TComponent)
public:
  explicit TWordApplication(TComponent* AOwner);
  ~TWordApplication() override;

  // connection
  TConnectKind ConnectKind() const { return FConnectKind; }
  void SetConnectKind(TConnectKind Value) { FConnectKind = Value; }
  // Starts an instance unless connected; EOleException "Invalid class
  // string" when Word is not installed.
  void Connect();
  // Lets the instance go with its documents, unsaved or not.
  void Disconnect();

  // properties
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // object model
  WordDocuments Documents();
  WordDocument ActiveDocument();
  WordSelection Selection();
  // Ends the instance without saving; the application is disconnected.
  void Quit();

private:
  const TWordSessionPtr& session();

  TConnectKind FConnectKind = ckRunningOrNew;
  bool FVisible = false;
  TWordSessionPtr FSession;
};

// A document object, connected to a document the application made.
// Calls before ConnectTo raise EOleException.
class TWordDocument : public TComponent {
  RTL_CLASS(TWordDocument, TComponent)
public:
  explicit TWordDocument(TComponent* AOwner);

  void ConnectTo(const WordDocument& Document);
  void Disconnect();

  bool Saved();
  void SaveAs(const String& FileName);
  // Closes the document and disconnects.
  void Close(bool SaveChanges);

private:
  WordDocument& document();

  std::unique_ptr<WordDocument> FDocument;
};

// A paragraph format object, connected to the selection's paragraph format.
// Calls before ConnectTo raise EOleException.
class TWordParagraphFormat : public TComponent {
  RTL_CLASS(TWordParagraphFormat, TComponent)
public:
  explicit TWordParagraphFormat(TComponent* AOwner);

  void ConnectTo(const WordParagraphFormat& Format);
  void Disconnect();

  // wdAlignParagraphLeft or wdAlignParagraphCenter.
  void SetAlignment(Integer Value);

private:
  std::unique_ptr<WordParagraphFormat> FFormat;
};
