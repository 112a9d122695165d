// The reports of the selection buffer: a text file (LiterToFile) and a Word
// document (MakeText1), both walking the buffer from its first row to its
// last.  The main window's "Sample" menu and the buffer window call them;
// the text report's save dialog stays with the caller.
//
// The text report is UTF-8 with a byte-order mark, so Cyrillic citations
// survive.  Word reports are numbered on from the run's counter to the first
// name no file has, so no report replaces an older one.
#pragma once

#include "platform/rtl/system.h"

class TComponent;
class TDataSet;
class TSettings;

// Whether Word counts as installed (the class "Word.Application" exists).
bool IsWordInstalled();

// LiterToFile after the save dialog chose FileOut: writes the buffer's
// citations (field "Source"), each with "ABSTRACT" and its abstract
// ("Summary") when Settings.ReferatOut is set and it has one, every block
// followed by an empty line; CR LF line ends.  With Settings.ReportEdit the
// shell then opens the file.  An empty FileOut writes nothing.  A file that
// cannot be written raises the runtime's file error.
void LiterToFile(TDataSet* Buffer, const String& FileOut, const TSettings& Settings);

// The Word report's file name for counter Cnt: ReportCatalog joined with
// "report" + Cnt + ".doc" (a bare name for an empty ReportCatalog, which
// Word saves in the current folder).
String ReportFileName(const String& ReportCatalog, Integer Cnt);

// MakeText1: builds the Word report of Buffer through a new Word instance
// whose components Owner owns: a centred bold "Literature" heading in
// Settings.prFontName at 16 points, the citations (and abstracts, as in the
// text report) at prFontSize, then the date and time.  cnt (the run's report
// counter) moves on to the first number whose file does not exist, and the
// document is saved under that name, which is answered.  With ReportEdit,
// Word stays visible with the document open; otherwise it is closed and
// Word quits.
//
// Without Word: "MS Word not installed", nothing else, and "" is answered.
// A failing automation call quits the instance and raises its EOleException.
String MakeText1(TComponent* Owner, TDataSet* Buffer, const TSettings& Settings, Integer& cnt);

inline constexpr QLatin1StringView WordMissingText{"MS Word not installed"};
