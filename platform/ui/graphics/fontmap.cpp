#include "platform/ui/graphics/fontmap.h"

#include "platform/ui/graphics/graphicsstate_p.h"

#include <QFont>
#include <QFontDatabase>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cassert>

namespace {

const char* const FallbackFamily = "DejaVu Sans";

struct TAliasEntry {
  const char* Name;
  const char* Family;
};

// Liberation families share the advance widths of the fonts they stand for,
// so layouts measured with those fonts keep their line breaks.
constexpr TAliasEntry BuiltInAliases[] = {
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"Georgia", "DejaVu Serif"},
    {"Consolas", "DejaVu Sans Mono"},
    {"Lucida Console", "DejaVu Sans Mono"},
    {"Tahoma", "DejaVu Sans"},
    {"Verdana", "DejaVu Sans"},
    {"Segoe UI", "DejaVu Sans"},
    {"MS Shell Dlg", "DejaVu Sans"},
    {"MS Shell Dlg 2", "DejaVu Sans"},
    {"System", "DejaVu Sans"},
    {"Calibri", "DejaVu Sans"},
};

// The alias table and the resolutions made from it; resolutions are dropped
// whenever an alias or an application font changes what a name resolves to.
struct TAlias {
  String Name;
  String Family;
};

}  // namespace

struct graphics_detail::TFontMap {
  QHash<String, TAlias> Aliases;     // lower-case name -> alias
  QHash<String, String> Resolved;    // lower-case name -> installed family
  QHash<String, String> Installed;   // lower-case family -> family; filled on demand
  QSet<int> AppFontIds;
  Integer Generation = 0;

  TFontMap() { loadBuiltIns(); }

  // The built-in aliases again; the application fonts stay added, as their
  // handles may still be held.
  void Reset() {
    loadBuiltIns();
    invalidate();
  }

  void loadBuiltIns() {
    Aliases.clear();
    for (const TAliasEntry& E : BuiltInAliases) {
      const String Name = String::fromLatin1(E.Name);
      Aliases.insert(Name.toLower(), TAlias{Name, String::fromLatin1(E.Family)});
    }
  }
  void invalidate() {
    ++Generation;
    Resolved.clear();
    Installed.clear();
  }
  const QHash<String, String>& installed() {
    if (Installed.isEmpty())
      for (const String& F : QFontDatabase::families()) Installed.insert(F.toLower(), F);
    return Installed;
  }
  String installedFamily(const String& Name) { return installed().value(Name.toLower()); }
};

namespace {

using graphics_detail::TFontMap;

TFontMap& fontMap() { return GraphicsState().FontMap.Get(); }

String resolve(TFontMap& Map, const String& Key, const String& Name) {
  const auto Alias = Map.Aliases.constFind(Key);
  if (Alias != Map.Aliases.cend()) {
    const String Family = Map.installedFamily(Alias->Family);
    return Family.isEmpty() ? String::fromLatin1(FallbackFamily) : Family;
  }
  const String Family = Map.installedFamily(Name);
  return Family.isEmpty() ? String::fromLatin1(FallbackFamily) : Family;
}

}  // namespace

String MapFontFamily(const String& Name) {
  TFontMap& Map = fontMap();
  const String Key = Name.trimmed().toLower();
  auto It = Map.Resolved.constFind(Key);
  if (It == Map.Resolved.cend()) It = Map.Resolved.insert(Key, resolve(Map, Key, Name.trimmed()));
  return *It;
}

void AddFontAlias(const String& Name, const String& Family) {
  TFontMap& Map = fontMap();
  Map.Aliases.insert(Name.trimmed().toLower(), TAlias{Name.trimmed(), Family});
  Map.invalidate();
}

void ResetFontAliases() {
  TFontMap& Map = fontMap();
  Map.loadBuiltIns();
  Map.invalidate();
}

QStringList ScreenFontNames() {
  TFontMap& Map = fontMap();
  QHash<String, String> Names = Map.installed();
  for (auto It = Map.Aliases.cbegin(); It != Map.Aliases.cend(); ++It) Names.insert(It.key(), It->Name);
  QStringList Result;
  Result.reserve(Names.size());
  for (auto It = Names.cbegin(); It != Names.cend(); ++It) Result.append(It.value());
  std::sort(Result.begin(), Result.end(), [](const String& A, const String& B) {
    return A.compare(B, Qt::CaseInsensitive) < 0;
  });
  return Result;
}

Integer FontMapGeneration() { return fontMap().Generation; }

QFont MakeQtFont(const TFontFace& Face) {
  assert(Face.PixelSize > 0 && "font pixel size must be positive");
  QFont Font(MapFontFamily(Face.Name));
  Font.setPixelSize(Face.PixelSize);
  Font.setWeight(QFont::Weight(std::clamp(Face.Weight == 0 ? 400 : Face.Weight, 1, 1000)));
  Font.setItalic(Face.Italic);
  Font.setUnderline(Face.Underline);
  Font.setStrikeOut(Face.StrikeOut);
  Font.setKerning(false);
  Font.setHintingPreference(QFont::PreferFullHinting);
  Font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferNoShaping | QFont::NoFontMerging |
                                             (Face.Antialiased ? QFont::PreferAntialias : QFont::NoAntialias)));
  return Font;
}

namespace {

int appFontId(void* Handle) { return static_cast<int>(reinterpret_cast<std::intptr_t>(Handle) - 1); }

}  // namespace

QStringList AddedFontFamilies(void* Handle) {
  const int Id = appFontId(Handle);
  return fontMap().AppFontIds.contains(Id) ? QFontDatabase::applicationFontFamilies(Id) : QStringList();
}

namespace gdi {

void* AddFontMemResourceEx(const void* FileView, DWORD Size, void* /*Reserved*/, DWORD* NumFonts) {
  if (NumFonts) *NumFonts = 0;
  if (!FileView || Size == 0) return nullptr;
  const QByteArray Bytes(static_cast<const char*>(FileView), static_cast<qsizetype>(Size));
  const int Id = QFontDatabase::addApplicationFontFromData(Bytes);
  if (Id < 0) return nullptr;
  TFontMap& Map = fontMap();
  Map.AppFontIds.insert(Id);
  Map.invalidate();
  if (NumFonts)
    *NumFonts = static_cast<DWORD>(std::max<qsizetype>(1, QFontDatabase::applicationFontFamilies(Id).size()));
  // Ids start at 0; the handle is the id + 1 so that 0 stays "failed".
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(Id) + 1);
}

BOOL RemoveFontMemResourceEx(void* Handle) {
  const int Id = appFontId(Handle);
  TFontMap& Map = fontMap();
  if (!Map.AppFontIds.remove(Id)) return 0;
  QFontDatabase::removeApplicationFont(Id);
  Map.invalidate();
  return 1;
}

}  // namespace gdi
