#include "platform/ui/windowing/clipbrd.h"

#include "platform/rtl/ansistring.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/picture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QMimeData>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cassert>

namespace {

// The OEM code page that goes with the ANSI one: DOS Cyrillic beside Windows
// Cyrillic, the US DOS page beside Western.
TEncoding* oemEncoding() {
  return TEncoding::GetEncoding(DefaultSystemCodePage() == CP_WINCYRILLIC ? CP_DOSCYRILLIC : CP_DOSUS);
}

// ---------------------------------------------------------------------------
// text blocks

bool isTextFormat(Word Format) {
  return Format == CF_TEXT || Format == CF_OEMTEXT || Format == CF_UNICODETEXT;
}

// The text of a text block, up to its first zero character.
String textOfBlock(Word Format, const QByteArray& Data) {
  if (Format == CF_UNICODETEXT) {
    String Text;
    for (qsizetype I = 0; I + 1 < Data.size(); I += 2) {
      const auto Unit = char16_t(Byte(Data[I]) | Byte(Data[I + 1]) << 8);
      if (Unit == 0) break;
      Text += QChar(Unit);
    }
    return Text;
  }
  const qsizetype Zero = Data.indexOf('\0');
  const QByteArray Bytes = Zero < 0 ? Data : Data.left(Zero);
  return AnsiString(Bytes, Format == CF_TEXT ? DefaultSystemCodePage() : oemEncoding()->CodePage()).ToString();
}

// Text as a block of a text format, with its terminating zero.
QByteArray blockOfText(Word Format, const String& Text) {
  if (Format == CF_UNICODETEXT) {
    QByteArray Data;
    Data.reserve((Text.size() + 1) * 2);
    for (const QChar C : Text) Data.append(char(C.unicode() & 0xFF)).append(char(C.unicode() >> 8));
    return Data.append(2, '\0');
  }
  const TBytes Encoded = (Format == CF_TEXT ? TEncoding::ANSI() : oemEncoding())->GetBytes(Text);
  QByteArray Data(reinterpret_cast<const char*>(Encoded.data()), qsizetype(Encoded.size()));
  return Data.append('\0');
}

// The text format a synthesized block is made from, among Formats.
std::optional<Word> textSource(const std::vector<Word>& Formats) {
  for (const Word Candidate : {CF_UNICODETEXT, CF_TEXT, CF_OEMTEXT})
    if (std::find(Formats.begin(), Formats.end(), Candidate) != Formats.end()) return Candidate;
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// bitmap blocks

QByteArray bitmapBlock(TBitmap* Bitmap) {
  TMemoryStream Stream;
  Bitmap->SaveToStream(&Stream);
  return QByteArray(static_cast<const char*>(Stream.Memory()), Stream.Size());
}

// Loads a CF_BITMAP block into Bitmap; bad bytes raise EInvalidGraphic.
void loadBitmapBlock(TBitmap* Bitmap, const QByteArray& Data) {
  TMemoryStream Stream;
  Stream.Write(Data.constData(), Integer(Data.size()));
  Stream.SetPosition(0);
  Bitmap->LoadFromStream(&Stream);
}

// ---------------------------------------------------------------------------
// registry

constexpr qsizetype MaxFormatNameLength = 255;

struct TFormatRegistry {
  QStringList Names;              // index = id - FirstRegisteredClipboardFormat
  QHash<String, Word> IdsByKey;   // key: the name upper-cased
};

TFormatRegistry* GRegistry = nullptr;
TClipboard* GClipboard = nullptr;

TFormatRegistry& registry() {
  assert(GRegistry && "the ui unit is not initialized");
  return *GRegistry;
}

// ---------------------------------------------------------------------------
// the Qt store

// Names whose content other programs know under a MIME type of their own.
constexpr const char* RichTextFormatName = "Rich Text Format";
constexpr const char* CsvFormatName = "Csv";
constexpr const char* RtfMimeType = "text/rtf";
constexpr const char* CsvMimeType = "text/csv";
constexpr QLatin1String NamedMimePrefix("application/x-qt-windows-mime;value=\"");

String namedMimeType(const String& Name) { return NamedMimePrefix + Name + u'"'; }

// The registered name a MIME type carries; "" for other types.
String nameOfMimeType(const String& MimeType) {
  if (!MimeType.startsWith(NamedMimePrefix) || !MimeType.endsWith(u'"')) return {};
  return MimeType.mid(NamedMimePrefix.size(), MimeType.size() - NamedMimePrefix.size() - 1);
}

// The MIME type other programs use for a registered name; "" for none.
String aliasMimeType(const String& Name) {
  if (SameText(Name, RichTextFormatName)) return RtfMimeType;
  if (SameText(Name, CsvFormatName)) return CsvMimeType;
  return {};
}

class TQtClipboardBackend : public TClipboardBackend {
public:
  std::vector<Word> Formats() override {
    std::vector<Word> Result;
    const QMimeData* Mime = mimeData();
    if (!Mime) return Result;
    auto add = [&](Word Format) {
      if (Format && std::find(Result.begin(), Result.end(), Format) == Result.end()) Result.push_back(Format);
    };
    for (const String& Type : Mime->formats()) {
      if (Type == u"text/plain" && Mime->hasText()) add(CF_UNICODETEXT);
      else if (const String Name = nameOfMimeType(Type); !Name.isEmpty()) add(RegisterClipboardFormat(Name));
      else if (Type == RtfMimeType) add(RegisterClipboardFormat(RichTextFormatName));
      else if (Type == CsvMimeType) add(RegisterClipboardFormat(CsvFormatName));
    }
    // Text and images may come under other types (UTF8_STRING, image/png).
    if (Mime->hasText()) add(CF_UNICODETEXT);
    if (Mime->hasImage()) add(CF_BITMAP);
    return Result;
  }

  std::optional<QByteArray> Data(Word Format) override {
    const QMimeData* Mime = mimeData();
    if (!Mime) return std::nullopt;
    if (Format == CF_UNICODETEXT) {
      if (!Mime->hasText()) return std::nullopt;
      return blockOfText(CF_UNICODETEXT, Mime->text());
    }
    if (Format == CF_BITMAP) {
      const QImage Image = qvariant_cast<QImage>(Mime->imageData());
      if (Image.isNull()) return std::nullopt;
      TBitmap Bitmap;
      Bitmap.SetImage(Image);
      return bitmapBlock(&Bitmap);
    }
    const String Name = GetClipboardFormatName(Format);
    if (Name.isEmpty()) return std::nullopt;
    if (Mime->hasFormat(namedMimeType(Name))) return Mime->data(namedMimeType(Name));
    if (const String Alias = aliasMimeType(Name); !Alias.isEmpty() && Mime->hasFormat(Alias)) return Mime->data(Alias);
    return std::nullopt;
  }

  void SetContents(const TClipboardItems& Items) override {
    auto Mime = std::make_unique<QMimeData>();
    if (const std::optional<Word> Source = textSource(formatsOf(Items)))
      Mime->setText(textOfBlock(*Source, dataOf(Items, *Source)));
    for (const TClipboardItem& Item : Items) {
      if (Item.Format == CF_BITMAP) {
        TBitmap Bitmap;
        loadBitmapBlock(&Bitmap, Item.Data);
        Mime->setImageData(Bitmap.Image());
        continue;
      }
      const String Name = GetClipboardFormatName(Item.Format);
      if (Name.isEmpty()) continue;
      Mime->setData(namedMimeType(Name), Item.Data);
      if (const String Alias = aliasMimeType(Name); !Alias.isEmpty()) Mime->setData(Alias, Item.Data);
    }
    clipboard()->setMimeData(Mime.release());
  }

private:
  static QClipboard* clipboard() {
    assert(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && "the Qt clipboard needs a QGuiApplication");
    return QGuiApplication::clipboard();
  }
  static const QMimeData* mimeData() { return clipboard()->mimeData(); }

  static std::vector<Word> formatsOf(const TClipboardItems& Items) {
    std::vector<Word> Formats;
    for (const TClipboardItem& Item : Items) Formats.push_back(Item.Format);
    return Formats;
  }
  static QByteArray dataOf(const TClipboardItems& Items, Word Format) {
    const auto It = std::find_if(Items.begin(), Items.end(), [&](const TClipboardItem& I) { return I.Format == Format; });
    return It == Items.end() ? QByteArray() : It->Data;
  }
};

}  // namespace

// ---------------------------------------------------------------------------
// registry

Word RegisterClipboardFormat(const String& Name) {
  if (Name.isEmpty() || Name.size() > MaxFormatNameLength) return 0;
  TFormatRegistry& R = registry();
  const String Key = AnsiUpperCase(Name);
  if (const auto It = R.IdsByKey.constFind(Key); It != R.IdsByKey.constEnd()) return *It;
  const qsizetype Free = 0x10000 - FirstRegisteredClipboardFormat;
  if (R.Names.size() >= Free) return 0;
  const auto Id = Word(FirstRegisteredClipboardFormat + R.Names.size());
  R.Names.append(Name);
  R.IdsByKey.insert(Key, Id);
  return Id;
}

String GetClipboardFormatName(Word Format) {
  const TFormatRegistry& R = registry();
  const qsizetype Index = qsizetype(Format) - FirstRegisteredClipboardFormat;
  return Index >= 0 && Index < R.Names.size() ? R.Names[Index] : String();
}

// ---------------------------------------------------------------------------
// stores

std::vector<Word> TMemoryClipboardBackend::Formats() {
  std::vector<Word> Result;
  for (const TClipboardItem& Item : FItems) Result.push_back(Item.Format);
  return Result;
}

std::optional<QByteArray> TMemoryClipboardBackend::Data(Word Format) {
  for (const TClipboardItem& Item : FItems)
    if (Item.Format == Format) return Item.Data;
  return std::nullopt;
}

void TMemoryClipboardBackend::SetContents(const TClipboardItems& Items) {
  FItems = Items;
  ++FChangeCount;
}

std::unique_ptr<TClipboardBackend> MakeQtClipboardBackend() { return std::make_unique<TQtClipboardBackend>(); }

// ---------------------------------------------------------------------------
// TClipboard

TClipboard::TClipboard(std::unique_ptr<TClipboardBackend> Backend) : FBackend(std::move(Backend)) {
  assert(FBackend && "a clipboard needs a store");
}

TClipboard::~TClipboard() = default;

void TClipboard::Assign(TPersistent* Source) {
  TGraphic* Graphic = nullptr;
  if (auto* P = dynamic_cast<TPicture*>(Source))
    Graphic = P->Graphic();
  else if (!(Graphic = dynamic_cast<TGraphic*>(Source))) {
    TPersistent::Assign(Source);
    return;
  }
  if (!Graphic || Graphic->Empty()) {
    Clear();
    return;
  }
  TBitmap Bitmap;
  Bitmap.Assign(Graphic);
  SetAsHandle(CF_BITMAP, bitmapBlock(&Bitmap));
}

void TClipboard::AssignTo(TPersistent* Dest) {
  auto* Picture = dynamic_cast<TPicture*>(Dest);
  auto* DestBitmap = dynamic_cast<TBitmap*>(Dest);
  if (!Picture && !DestBitmap) {
    TPersistent::AssignTo(Dest);
    return;
  }
  const std::optional<QByteArray> Block = storedData(CF_BITMAP);
  if (!Block) throw EInvalidGraphic(QStringLiteral("Unsupported clipboard format"));
  TBitmap Bitmap;
  loadBitmapBlock(&Bitmap, *Block);
  if (Picture)
    Picture->SetGraphic(&Bitmap);
  else
    DestBitmap->Assign(&Bitmap);
}

void TClipboard::Open() {
  if (FOpenRefCount++ == 0) FEmptied = false;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount > 0 || !FEmptied) return;
  TClipboardItems Items;
  std::swap(Items, FItems);
  FEmptied = false;
  FBackend->SetContents(Items);
}

void TClipboard::Clear() {
  Open();
  FItems.clear();
  FEmptied = true;
  Close();
}

bool TClipboard::HasFormat(Word Format) {
  const std::vector<Word> Formats = allFormats();
  return std::find(Formats.begin(), Formats.end(), Format) != Formats.end();
}

Integer TClipboard::FormatCount() { return Integer(allFormats().size()); }

Word TClipboard::Formats(Integer Index) {
  const std::vector<Word> Formats = allFormats();
  return Index >= 0 && Index < Integer(Formats.size()) ? Formats[Index] : Word(0);
}

QByteArray TClipboard::GetAsHandle(Word Format) {
  if (std::optional<QByteArray> Stored = storedData(Format)) return *Stored;
  if (!isTextFormat(Format)) return {};
  const std::optional<Word> Source = textSource(storedFormats());
  if (!Source) return {};
  return blockOfText(Format, textOfBlock(*Source, storedData(*Source).value_or(QByteArray())));
}

void TClipboard::SetAsHandle(Word Format, const QByteArray& Data) {
  Open();
  setItem(Format, Data);
  Close();
}

String TClipboard::AsText() { return textOfBlock(CF_UNICODETEXT, GetAsHandle(CF_UNICODETEXT)); }

void TClipboard::SetAsText(const String& Value) { SetAsHandle(CF_UNICODETEXT, blockOfText(CF_UNICODETEXT, Value)); }

std::unique_ptr<TClipboardBackend> TClipboard::SetBackend(std::unique_ptr<TClipboardBackend> Backend) {
  assert(Backend && "a clipboard needs a store");
  assert(FOpenRefCount == 0 && "the store changes while a session is open");
  std::swap(Backend, FBackend);
  return Backend;
}

std::vector<Word> TClipboard::storedFormats() {
  if (!FEmptied) return FBackend->Formats();
  std::vector<Word> Result;
  for (const TClipboardItem& Item : FItems) Result.push_back(Item.Format);
  return Result;
}

std::optional<QByteArray> TClipboard::storedData(Word Format) {
  if (!FEmptied) return FBackend->Data(Format);
  for (const TClipboardItem& Item : FItems)
    if (Item.Format == Format) return Item.Data;
  return std::nullopt;
}

std::vector<Word> TClipboard::allFormats() {
  std::vector<Word> Formats = storedFormats();
  if (!textSource(Formats)) return Formats;
  for (const Word Text : {CF_UNICODETEXT, CF_TEXT, CF_OEMTEXT})
    if (std::find(Formats.begin(), Formats.end(), Text) == Formats.end()) Formats.push_back(Text);
  return Formats;
}

void TClipboard::setItem(Word Format, const QByteArray& Data) {
  assert(FOpenRefCount > 0 && "sets run inside a session");
  if (!FEmptied) {
    FItems.clear();
    FEmptied = true;
  }
  const auto It = std::find_if(FItems.begin(), FItems.end(), [&](const TClipboardItem& I) { return I.Format == Format; });
  if (It != FItems.end())
    It->Data = Data;
  else
    FItems.push_back({Format, Data});
}

TClipboard* Clipboard() {
  assert(GClipboard && "the ui unit is not initialized");
  return GClipboard;
}

// ---------------------------------------------------------------------------
// unit

void InitializeClipboard() {
  GRegistry = new TFormatRegistry;
  // The formats the grid and export code exchange, so their ids are the same
  // in every run.
  for (const char* Name : {"VCLDBIF", CsvFormatName, RichTextFormatName, "XML Spreadsheet"})
    RegisterClipboardFormat(QString::fromLatin1(Name));
  GClipboard = new TClipboard(MakeQtClipboardBackend());
}

void FinalizeClipboard() {
  delete GClipboard;
  GClipboard = nullptr;
  delete GRegistry;
  GRegistry = nullptr;
}
