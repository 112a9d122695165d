// The clipboard: formats with their bytes, the registry of named formats, and
// the process-wide TClipboard over a replaceable store.
//
// Model
//   The clipboard holds blocks of bytes, one per format id.  Standard formats
//   have fixed ids below $C000; RegisterClipboardFormat gives every other name
//   an id from $C000 up, one per name whatever its case.  A block comes back
//   exactly as it was set, zero bytes included.
//
//   Text blocks:  CF_TEXT        ANSI code page bytes + one zero byte
//                 CF_OEMTEXT     OEM code page bytes + one zero byte (866 beside
//                                ANSI 1251, 437 beside 1252)
//                 CF_UNICODETEXT UTF-16LE + two zero bytes
//   Any one of them stored makes the other two present as well: they are
//   listed after the stored formats and made from the stored text on read
//   (Unicode preferred, then CF_TEXT, then CF_OEMTEXT), up to its first zero.
//
//   CF_BITMAP blocks are BMP files (what TBitmap::SaveToStream writes).
//
// Sessions
//   Open/Close nest by count.  Inside the outermost session the first set
//   empties the clipboard and later sets add formats (a format set twice keeps
//   the later bytes); the store takes the whole new content once, at the last
//   Close, so other programs never see half of it.  A set or Clear outside any
//   session is a session of its own, so it replaces the whole content.
//
// The store
//   TClipboard's rules above run against a TClipboardBackend holding stored
//   formats only.  The program's store is the Qt clipboard: text formats go to
//   text/plain, CF_BITMAP to an image, and a registered name N to
//   application/x-qt-windows-mime;value="N" with its exact bytes, "Rich Text
//   Format" also to text/rtf and "Csv" to text/csv, so other programs can take
//   them.  Other ids have no Qt form and are not kept there.  Tests install
//   TMemoryClipboardBackend.  All of it is for the main thread only.
#pragma once

#include "platform/rtl/component.h"

#include <QByteArray>
#include <memory>
#include <optional>
#include <vector>

// standard formats (original ids)
inline constexpr Word CF_TEXT = 1;
inline constexpr Word CF_BITMAP = 2;
inline constexpr Word CF_OEMTEXT = 7;
inline constexpr Word CF_UNICODETEXT = 13;
inline constexpr Word CF_ENHMETAFILE = 14;

// ---------------------------------------------------------------------------
// format registry

// The first id RegisterClipboardFormat hands out; ids run up to $FFFF.
inline constexpr Word FirstRegisteredClipboardFormat = 0xC000;

// The id of Name, the same for every spelling of its case; a new name gets
// the next free id.  0 for an empty name, a name over 255 characters, or when
// every id is taken.
Word RegisterClipboardFormat(const String& Name);
// The name a registered id was first registered with; "" for any other id.
String GetClipboardFormatName(Word Format);

// ---------------------------------------------------------------------------
// stores

// One format and its bytes.
struct TClipboardItem {
  Word Format;
  QByteArray Data;
};
using TClipboardItems = std::vector<TClipboardItem>;

// Where clipboard content lives.  Holds what was set; text synthesis and
// sessions are TClipboard's.
class TClipboardBackend {
public:
  virtual ~TClipboardBackend() = default;
  // The stored formats, in the order they were set.
  virtual std::vector<Word> Formats() = 0;
  // The bytes of a stored format; nullopt when Format is not stored.
  virtual std::optional<QByteArray> Data(Word Format) = 0;
  // Replaces the whole content with Items (in this order).
  virtual void SetContents(const TClipboardItems& Items) = 0;
};

// In-process store for tests: keeps every format exactly and counts changes.
class TMemoryClipboardBackend : public TClipboardBackend {
public:
  std::vector<Word> Formats() override;
  std::optional<QByteArray> Data(Word Format) override;
  void SetContents(const TClipboardItems& Items) override;

  const TClipboardItems& Items() const { return FItems; }
  // Goes up by one with every SetContents.
  Cardinal ChangeCount() const { return FChangeCount; }

private:
  TClipboardItems FItems;
  Cardinal FChangeCount = 0;
};

// The store of the program: the system clipboard through Qt (needs a
// QGuiApplication when used).
std::unique_ptr<TClipboardBackend> MakeQtClipboardBackend();

// ---------------------------------------------------------------------------
// TClipboard

class TClipboard : public TPersistent {
  RTL_CLASS(TClipboard, TPersistent)
public:
  // Takes ownership of Backend.
  explicit TClipboard(std::unique_ptr<TClipboardBackend> Backend);
  ~TClipboard() override;
  // A picture or graphic goes on as CF_BITMAP (a graphic other than a bitmap
  // drawn on a bitmap of its size); one without an image empties the clipboard.
  void Assign(TPersistent* Source) override;

  // sessions
  void Open();
  // Ends one Open; nothing when none is open.
  void Close();
  void Clear();

  // formats
  bool HasFormat(Word Format);
  // Stored formats and the synthesized text formats.
  Integer FormatCount();
  // 0 for an index outside 0 .. FormatCount-1.
  Word Formats(Integer Index);

  // blocks
  // The block of Format (text formats synthesized); empty when absent.
  QByteArray GetAsHandle(Word Format);
  void SetAsHandle(Word Format, const QByteArray& Data);
  // CF_UNICODETEXT up to its first zero (synthesized from the other text
  // formats when needed); "" without text.
  String AsText();
  // Puts Value as CF_UNICODETEXT.
  void SetAsText(const String& Value);

  // store (test seam)
  // Installs Backend and answers the previous one; no session may be open.
  std::unique_ptr<TClipboardBackend> SetBackend(std::unique_ptr<TClipboardBackend> Backend);

protected:
  // A picture or bitmap gets the CF_BITMAP block; without one EInvalidGraphic
  // "Unsupported clipboard format", and the destination stays as it was.
  void AssignTo(TPersistent* Dest) override;

private:
  std::vector<Word> storedFormats();
  std::optional<QByteArray> storedData(Word Format);
  std::vector<Word> allFormats();
  void setItem(Word Format, const QByteArray& Data);

  std::unique_ptr<TClipboardBackend> FBackend;
  Integer FOpenRefCount = 0;
  // Set by the session's first change: from then on the session's content is
  // FItems, which the last Close hands to the store.
  bool FEmptied = false;
  TClipboardItems FItems;
};

// The process-wide clipboard (made by InitializeClipboard).
TClipboard* Clipboard();

// Module start-up for the ui unit: the format registry, holding the names the
// grid libraries exchange ("VCLDBIF", "Csv", "Rich Text Format", "XML
// Spreadsheet", in that order from $C000), and the clipboard over the Qt
// store; the finalizer frees both.
void InitializeClipboard();
void FinalizeClipboard();
