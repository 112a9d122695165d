// fCommon: plain routines shared by the catalog's windows.
//
// Colour texts of the settings file, small text routines of the citation and
// import parsers, the size of a file, Unicode case changes, the program's
// version, and the message and question boxes of routines that have no window
// of their own.  Nothing here keeps state except the installed handlers.
//
// RunAndWait (start a command line, wait, answer the exit code or -1) is the
// OS service of platform/os/process.h itself, included here so the catalog's
// callers find it with the other common routines.  It starts the whole
// command line, whatever its length: cutting a long line short would run a
// different command.
#pragma once

#include "platform/os/process.h"
#include "platform/rtl/system.h"
#include "platform/ui/graphics/graphics.h"

#include <functional>

// colour texts: "#" and red, green, blue as two hexadecimal digits each

// "#RRGGBB" in upper case; a system colour is resolved to its value first.
String ColorToHexText(TColor Color);
// The colour of "#RRGGBB" or "RRGGBB" (a leading "#" drops every "#"; digits
// after the sixth are ignored).  EConvertError when fewer than six digits
// remain or a pair is not hexadecimal.
TColor HexTextToColor(const String& Text);

// text routines

// Text before the first SubText; all of Text when SubText does not occur.
String TextBefore(const String& Text, const String& SubText);
String DeleteAllChars(const String& Text, Char C);
// Text without its first SubText; unchanged when SubText does not occur.
String DeleteFirstText(const String& Text, const String& SubText);
// Lower-cases Text (every alphabet) unless it is blank.
void LowerCaseText(String& Text);
Char UpperCaseChar(Char C);
// Lower-cases Text and upper-cases its first character and every character
// after a word delimiter (blanks, line breaks, brackets, quotes and the
// punctuation ",./:;\"); an apostrophe or a hyphen does not start a word.
String CapitalizeWords(const String& Text);

// files and the program

// The file's size in bytes; EInOutError when it cannot be opened.
Int64 FileSizeBytes(const String& FileName);
// The four numbers of FileName's version (the program's own executable
// carries the project version); Exception "Ошибка версии файла <name>" for a
// file without one.
void GetExeVersion(const String& FileName, Integer& Major, Integer& Minor, Integer& Release, Integer& Build);

// messages

// The icon of the box; Plain has none.
enum class TMessageKind { Warning, Information, Error, Confirmation, Plain };

// Receives every message box of the catalog's routines that have no window.
using TMessageBoxHandler = std::function<void(TMessageKind Kind, const String& Text)>;

// Shows Text as a message box with an OK button through the installed
// handler; without one, the platform's MessageDlg with the kind's caption
// and icon.
void ShowMessageBox(TMessageKind Kind, const String& Text);
// Installs Handler (empty: the default) and returns the previous one.
TMessageBoxHandler SetMessageHandler(TMessageBoxHandler Handler);

// questions: a message box whose answer the caller acts on

enum class TMessageButtons { YesNo, OKCancel };
// The button chosen; closing the box with Esc chooses No or Cancel.
enum class TMessageAnswer { Yes, No, OK, Cancel };

// Receives every question of the catalog's routines and answers it.  Caption
// is empty for the box's usual caption.
using TQuestionHandler = std::function<TMessageAnswer(TMessageKind Kind, const String& Caption, const String& Text,
                                                      TMessageButtons Buttons)>;

// Asks Text with Buttons through the installed handler; without one, the
// platform's box: Application.MessageBox under Caption with the kind's icon
// when a caption is given, else MessageDlg of the kind.  The refusing button
// (No, Cancel) is the default, so Esc, or a run where no one can answer,
// deletes or overwrites nothing.
TMessageAnswer AskQuestion(TMessageKind Kind, const String& Text, TMessageButtons Buttons,
                           const String& Caption = String());
// Installs Handler (empty: the default) and returns the previous one.
TQuestionHandler SetQuestionHandler(TQuestionHandler Handler);
