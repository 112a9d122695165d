// Font names and font sources.
//
// Programs name the fonts of another desktop ("Arial", "Tahoma", "MS Sans
// Serif").  Those names stay in TFont.Name, streams and INI files; only when a
// Qt font is built does the name pass the alias table, which maps it to an
// installed family (metric-compatible Liberation families where they exist,
// DejaVu otherwise).  An installed family maps to itself, anything else to
// DejaVu Sans.  All functions here need a QGuiApplication (the font database).
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/gdi.h"

#include <QStringList>

class QFont;

// The family that a font name is drawn with (case-insensitive look-up).
String MapFontFamily(const String& Name);
// Adds or replaces an alias: the application may add entries, tests inject them.
void AddFontAlias(const String& Name, const String& Family);
// Back to the built-in alias table.
void ResetFontAliases();
// Changes whenever a name may resolve differently (aliases, application
// fonts); caches of built fonts compare it.
Integer FontMapGeneration();

// The content of Screen.Fonts: installed families plus every alias name,
// sorted case-insensitively, each once.
QStringList ScreenFontNames();

// Face of a Qt font built for GDI-style text.
struct TFontFace {
  String Name;                   // as given; mapped by MapFontFamily
  Integer PixelSize = 11;        // em size in device pixels, > 0
  Integer Weight = 400;          // 1..1000, 400 normal, 700 bold; 0 means 400
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  bool Antialiased = true;
};
// A Qt font with kerning off, no shaping, full hinting and exactly the given
// pixel size, so glyph advances are whole pixels that add up.
QFont MakeQtFont(const TFontFace& Face);

namespace gdi {

// Application fonts from the bytes of a font file.  Answers a non-zero handle
// and the number of faces added; 0 for empty or unreadable bytes (a missing
// resource font is skipped, not an error).
void* AddFontMemResourceEx(const void* FileView, DWORD Size, void* Reserved, DWORD* NumFonts);
// Removes fonts added by AddFontMemResourceEx; FALSE for an unknown handle.
BOOL RemoveFontMemResourceEx(void* Handle);

}  // namespace gdi

// The family names of the fonts a handle of AddFontMemResourceEx added;
// empty for an unknown handle.
QStringList AddedFontFamilies(void* Handle);
