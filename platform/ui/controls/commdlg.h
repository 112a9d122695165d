// Common dialogs: open and save, folder, font, colour and input.
//
// Every dialog is a modal run of the seam in forms.h: Execute builds a
// TModalRequest whose Kind names the dialog ("opendialog", "savedialog",
// "selectdirectory", "fontdialog", "colordialog", "inputquery"), Caption its
// title, Dialog the component asked (nullptr for the two functions) and Value
// the text it starts from (file name, folder, input), and answers it through
// ExecuteModal with the default mrCancel.
//
// Answering: a responder (test::ModalScript) or the real box sets Result to
// mrOk and puts the choice in Value (file name, folder, input) or in the
// dialog's own properties (FilterIndex, Font, Color).  Any other result
// leaves the dialog as it was: Execute restores what the answer changed.
// Where no person can answer the request takes AnswerUnattended's path and
// the dialog answers false.
#pragma once

#include "platform/rtl/component.h"
#include "platform/rtl/typinfo.h"
#include "platform/ui/graphics/graphics.h"
#include "platform/ui/windowing/forms.h"

#include <QStringList>
#include <vector>

class TStringList;

// ---------------------------------------------------------------------------
// filters

// One entry of a filter text "description|patterns|description|patterns...".
struct TFilterEntry {
  String Description;
  QStringList Patterns;  // split at ';', trimmed, empty ones dropped
};
// The entries of Filter; a trailing description without patterns is kept
// with none.
std::vector<TFilterEntry> ParseFilter(const String& Filter);
// Pattern ("*", "?" wildcards) matches FileName ignoring case; "*.*"
// matches every name, one without an extension too.
bool MatchesFilterPattern(const String& FileName, const String& Pattern);
// Pattern as a glob that matches both cases on a case-sensitive file
// system: "*.Txt" -> "*.[tT][xX][tT]"; "*.*" -> "*".
String CaseInsensitiveGlob(const String& Pattern);
// FileName + "." + DefaultExt when the name has no extension and DefaultExt
// is not empty; else FileName.
String ApplyDefaultExt(const String& FileName, const String& DefaultExt);

// ---------------------------------------------------------------------------
// file dialogs

RTL_ENUM(TOpenOption, ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofFileMustExist, ofEnableSizing)
using TOpenOptions = TSet<TOpenOption>;

// The open dialog; a shared instance keeps its settings between runs.
class TOpenDialog : public TComponent {
  RTL_CLASS(TOpenDialog, TComponent)
public:
  explicit TOpenDialog(TComponent* AOwner);

  // Asks for a file; true with FileName (DefaultExt applied) and FilterIndex
  // set, false (nothing changed) on cancel.
  virtual bool Execute();

  // properties
  String Title;
  String Filter;
  Integer FilterIndex = 1;  // 1-based entry of Filter
  String InitialDir;
  String FileName;          // may carry a folder
  String DefaultExt;        // without the dot
  TOpenOptions Options{ofHideReadOnly, ofEnableSizing};

protected:
  // Asks with request Kind and applies the answer.
  bool run(const String& Kind);
};

class TSaveDialog : public TOpenDialog {
  RTL_CLASS(TSaveDialog, TOpenDialog)
public:
  explicit TSaveDialog(TComponent* AOwner);
  bool Execute() override;
};

// Asks for a folder starting at Directory; true with Directory set (no
// trailing delimiter).  Root is the folder the choice starts from when
// Directory is empty.
bool SelectDirectory(const String& Caption, const String& Root, String& Directory);

// ---------------------------------------------------------------------------
// font and colour

RTL_ENUM(TFontDialogDevice, fdScreen, fdPrinter, fdBoth)
RTL_ENUM(TFontDialogOption, fdEffects)
using TFontDialogOptions = TSet<TFontDialogOption>;

// Printer fonts are the screen fonts, so Device changes nothing offered.
class TFontDialog : public TComponent {
  RTL_CLASS(TFontDialog, TComponent)
public:
  explicit TFontDialog(TComponent* AOwner);
  ~TFontDialog() override;

  // Asks for a font starting at Font; true with Font set.
  bool Execute();

  // properties
  TFont* Font() const { return FFont; }
  void SetFont(TFont* Value);
  TFontDialogDevice Device = fdScreen;
  // fdEffects: colour, underline and strike-out are offered.
  TFontDialogOptions Options{fdEffects};

private:
  TFont* FFont;
};

RTL_ENUM(TColorDialogOption, cdFullOpen)
using TColorDialogOptions = TSet<TColorDialogOption>;

class TColorDialog : public TComponent {
  RTL_CLASS(TColorDialog, TComponent)
public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;

  // Asks for a colour starting at Color; true with Color set.
  bool Execute();

  // properties
  TColor Color = clBlack;
  // "ColorA=RRGGBB" ... "ColorP=RRGGBB": the custom colours offered; a
  // confirmed box writes back all sixteen.
  TStringList* CustomColors() const { return FCustomColors; }
  TColorDialogOptions Options;

private:
  TStringList* FCustomColors;
};

// ---------------------------------------------------------------------------
// input

// Asks for a text under Caption with Prompt, starting at Value; true with
// Value set.
bool InputQuery(const String& Caption, const String& Prompt, String& Value);
// InputQuery's answer, Default on cancel.
String InputBox(const String& Caption, const String& Prompt, const String& Default);

// ---------------------------------------------------------------------------
// the real box

// Shows a common-dialog Request (a QApplication must exist) and waits for
// the answer: Qt's file, folder, colour and input dialogs, and a font box of
// our own, since Qt's offers no colour.
TModalResult RunCommonDialog(TModalRequest& Request);
// Whether Request is one of the kinds above.
bool IsCommonDialogRequest(const TModalRequest& Request);
// Puts RunCommonDialog behind the modal seam in front of the installed box,
// which keeps every other kind.  Where no person can answer (no
// QApplication, or the offscreen platform) the request is answered
// unattended: the dialog answers false.
void InstallCommonDialogs();
