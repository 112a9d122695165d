#include "platform/ui/controls/commdlg.h"

#include "platform/rtl/numconv.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/graphics/fontmap.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QInputDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>

#include <utility>

namespace {

const QLatin1StringView OpenKind{"opendialog"};
const QLatin1StringView SaveKind{"savedialog"};
const QLatin1StringView FolderKind{"selectdirectory"};
const QLatin1StringView FontKind{"fontdialog"};
const QLatin1StringView ColorKind{"colordialog"};
const QLatin1StringView InputKind{"inputquery"};

// Asks through the modal seam; cancelling is what nobody answering means.
bool ask(const String& Kind, const String& ClassName, const String& Caption, const String& Text,
         TObject* Dialog, String& Value) {
  TModalRequest Request;
  Request.Kind = Kind;
  Request.ClassName = ClassName;
  Request.Caption = Caption;
  Request.Text = Text;
  Request.Dialog = Dialog;
  Request.Value = Value;
  Request.Default = mrCancel;
  if (ExecuteModal(Request) != mrOk) return false;
  Value = Request.Value;
  return true;
}

// ---------------------------------------------------------------------------
// the real dialogs

// "*.*" stands for every file, those without an extension too.
String wholeNamePattern(const String& Pattern) {
  return Pattern == QStringLiteral("*.*") ? QStringLiteral("*") : Pattern;
}

// "Description (globs)" entries for QFileDialog.
QStringList qtNameFilters(const String& Filter) {
  QStringList Result;
  for (const TFilterEntry& Entry : ParseFilter(Filter)) {
    QStringList Globs;
    for (const String& Pattern : Entry.Patterns) Globs << CaseInsensitiveGlob(Pattern);
    Result << Entry.Description + QStringLiteral(" (") + Globs.join(u' ') + u')';
  }
  return Result;
}

TModalResult runFileDialog(TModalRequest& Request, TOpenDialog& Dialog, bool Save) {
  QFileDialog Box(nullptr, Dialog.Title);
  Box.setOption(QFileDialog::DontUseNativeDialog);
  Box.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  Box.setFileMode(!Save && Dialog.Options.Contains(ofFileMustExist) ? QFileDialog::ExistingFile
                                                                     : QFileDialog::AnyFile);
  Box.setOption(QFileDialog::DontConfirmOverwrite, !Dialog.Options.Contains(ofOverwritePrompt));
  const String Folder = ExtractFilePath(Request.Value);
  Box.setDirectory(Folder.isEmpty() ? Dialog.InitialDir : Folder);
  Box.selectFile(ExtractFileName(Request.Value));
  const QStringList Filters = qtNameFilters(Dialog.Filter);
  if (!Filters.isEmpty()) {
    Box.setNameFilters(Filters);
    if (Dialog.FilterIndex >= 1 && Dialog.FilterIndex <= Filters.size())
      Box.selectNameFilter(Filters[Dialog.FilterIndex - 1]);
  }
  if (Box.exec() != QDialog::Accepted || Box.selectedFiles().isEmpty()) return mrCancel;
  Request.Value = Box.selectedFiles().front();
  if (!Filters.isEmpty()) Dialog.FilterIndex = Integer(Filters.indexOf(Box.selectedNameFilter())) + 1;
  return mrOk;
}

TModalResult runFolderDialog(TModalRequest& Request) {
  const String Folder =
      QFileDialog::getExistingDirectory(nullptr, Request.Caption, Request.Value, QFileDialog::DontUseNativeDialog);
  if (Folder.isEmpty()) return mrCancel;
  Request.Value = Folder;
  return mrOk;
}

QColor qtColor(TColor Color) {
  const Integer Rgb = ColorToRGB(Color);
  return QColor(Rgb & 0xFF, (Rgb >> 8) & 0xFF, (Rgb >> 16) & 0xFF);
}

TColor colorOf(const QColor& Color) { return TColor(Color.red() | Color.green() << 8 | Color.blue() << 16); }

// Our own box: Qt's font dialog offers no colour.  The children carry object
// names ("family", "size", "bold", "italic", "underline", "strikeout",
// "color") for tests.
TModalResult runFontDialog(TFontDialog& Dialog) {
  TFont* Font = Dialog.Font();
  const bool Effects = Dialog.Options.Contains(fdEffects);
  QDialog Box;
  Box.setWindowTitle(QStringLiteral("Font"));
  auto* Form = new QFormLayout(&Box);
  auto* Family = new QFontComboBox(&Box);
  Family->setObjectName(QStringLiteral("family"));
  const String StartFamily = MapFontFamily(Font->Name());
  Family->setCurrentFont(QFont(StartFamily));
  Form->addRow(QStringLiteral("Font:"), Family);
  auto* Size = new QSpinBox(&Box);
  Size->setObjectName(QStringLiteral("size"));
  Size->setRange(1, 1638);
  Size->setValue(Font->Size());
  Form->addRow(QStringLiteral("Size:"), Size);
  auto addCheck = [&](const char* Name, const String& Text, TFontStyle Style, bool Shown) {
    auto* Check = new QCheckBox(Text, &Box);
    Check->setObjectName(QLatin1StringView(Name));
    Check->setChecked(Font->Style().Contains(Style));
    Check->setVisible(Shown);
    if (Shown) Form->addRow(Check);
    return Check;
  };
  QCheckBox* Bold = addCheck("bold", QStringLiteral("Bold"), fsBold, true);
  QCheckBox* Italic = addCheck("italic", QStringLiteral("Italic"), fsItalic, true);
  QCheckBox* Underline = addCheck("underline", QStringLiteral("Underline"), fsUnderline, Effects);
  QCheckBox* StrikeOut = addCheck("strikeout", QStringLiteral("Strikeout"), fsStrikeOut, Effects);
  QColor Colour = qtColor(Font->Color());
  auto* ColourButton = new QPushButton(QStringLiteral("Color..."), &Box);
  ColourButton->setObjectName(QStringLiteral("color"));
  QObject::connect(ColourButton, &QPushButton::clicked, &Box, [&] {
    const QColor Chosen = QColorDialog::getColor(Colour, &Box, QString(), QColorDialog::DontUseNativeDialog);
    if (Chosen.isValid()) Colour = Chosen;
  });
  if (Effects) Form->addRow(ColourButton);
  ColourButton->setVisible(Effects);
  auto* Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &Box);
  QObject::connect(Buttons, &QDialogButtonBox::accepted, &Box, &QDialog::accept);
  QObject::connect(Buttons, &QDialogButtonBox::rejected, &Box, &QDialog::reject);
  Form->addRow(Buttons);
  if (Box.exec() != QDialog::Accepted) return mrCancel;

  // An alias the family was mapped from stays the font's name.
  if (Family->currentFont().family() != StartFamily) Font->SetName(Family->currentFont().family());
  Font->SetSize(Size->value());
  TFontStyles Style;
  if (Bold->isChecked()) Style.Include(fsBold);
  if (Italic->isChecked()) Style.Include(fsItalic);
  if (Effects && Underline->isChecked()) Style.Include(fsUnderline);
  if (Effects && StrikeOut->isChecked()) Style.Include(fsStrikeOut);
  if (!Effects) Style += Font->Style() * TFontStyles{fsUnderline, fsStrikeOut};
  Font->SetStyle(Style);
  if (Effects) Font->SetColor(colorOf(Colour));
  return mrOk;
}

// "ColorA" is the first custom slot, "ColorP" the sixteenth.
String customColorName(int Slot) { return QStringLiteral("Color") + QChar(u'A' + Slot); }

TModalResult runColorDialog(TColorDialog& Dialog) {
  TStringList* Custom = Dialog.CustomColors();
  for (Integer I = 0; I < Custom->Count(); ++I) {
    const String Name = Custom->Names(I);
    const int Slot = Name.size() == 6 && Name.startsWith(QStringLiteral("Color"), Qt::CaseInsensitive)
                         ? Name[5].toUpper().unicode() - u'A'
                         : -1;
    bool Ok = false;
    const uint Rgb = Custom->ValueFromIndex(I).toUInt(&Ok, 16);
    if (Ok && Slot >= 0 && Slot < QColorDialog::customCount()) QColorDialog::setCustomColor(Slot, QColor::fromRgb(Rgb));
  }
  const QColor Chosen = QColorDialog::getColor(qtColor(Dialog.Color), nullptr, QString(),
                                               QColorDialog::DontUseNativeDialog);
  if (!Chosen.isValid()) return mrCancel;
  Dialog.Color = colorOf(Chosen);
  // the user may have set custom colours in the box: they are the answer too
  for (int Slot = 0; Slot < QColorDialog::customCount(); ++Slot) {
    const uint Rgb = QColorDialog::customColor(Slot).rgb() & 0xFFFFFF;
    Custom->SetValues(customColorName(Slot), QStringLiteral("%1").arg(Rgb, 6, 16, QChar(u'0')).toUpper());
  }
  return mrOk;
}

TModalResult runInputDialog(TModalRequest& Request) {
  bool Accepted = false;
  const String Text =
      QInputDialog::getText(nullptr, Request.Caption, Request.Text, QLineEdit::Normal, Request.Value, &Accepted);
  if (!Accepted) return mrCancel;
  Request.Value = Text;
  return mrOk;
}

}  // namespace

// ---------------------------------------------------------------------------
// filters

std::vector<TFilterEntry> ParseFilter(const String& Filter) {
  std::vector<TFilterEntry> Result;
  if (Filter.isEmpty()) return Result;
  const QStringList Parts = Filter.split(u'|');
  for (qsizetype I = 0; I < Parts.size(); I += 2) {
    TFilterEntry Entry{Parts[I], {}};
    if (I + 1 < Parts.size())
      for (const String& Pattern : Parts[I + 1].split(u';'))
        if (!Pattern.trimmed().isEmpty()) Entry.Patterns << Pattern.trimmed();
    Result.push_back(std::move(Entry));
  }
  return Result;
}

bool MatchesFilterPattern(const String& FileName, const String& Pattern) {
  const QRegularExpression Expression(QRegularExpression::wildcardToRegularExpression(wholeNamePattern(Pattern)),
                                      QRegularExpression::CaseInsensitiveOption);
  return Expression.match(ExtractFileName(FileName)).hasMatch();
}

String CaseInsensitiveGlob(const String& Pattern) {
  String Result;
  for (const QChar C : wholeNamePattern(Pattern)) {
    const QChar Lower = C.toLower(), Upper = C.toUpper();
    if (Lower == Upper)
      Result += C;
    else
      Result += u'[' + String(Lower) + Upper + u']';
  }
  return Result;
}

String ApplyDefaultExt(const String& FileName, const String& DefaultExt) {
  if (DefaultExt.isEmpty() || !ExtractFileExt(FileName).isEmpty()) return FileName;
  return FileName + u'.' + DefaultExt;
}

// ---------------------------------------------------------------------------
// file dialogs

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() { return run(OpenKind); }

bool TOpenDialog::run(const String& Kind) {
  const Integer OldFilterIndex = FilterIndex;
  String Chosen = FileName;
  if (!ask(Kind, ClassName(), Title, String(), this, Chosen)) {
    FilterIndex = OldFilterIndex;
    return false;
  }
  FileName = ApplyDefaultExt(Chosen, DefaultExt);
  return true;
}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

bool TSaveDialog::Execute() { return run(SaveKind); }

bool SelectDirectory(const String& Caption, const String& Root, String& Directory) {
  String Chosen = Directory.isEmpty() ? Root : Directory;
  if (!ask(FolderKind, QStringLiteral("TSelectDirectory"), Caption, String(), nullptr, Chosen)) return false;
  Directory = Chosen.size() > 1 ? ExcludeTrailingPathDelimiter(Chosen) : Chosen;
  return true;
}

// ---------------------------------------------------------------------------
// font and colour

TFontDialog::TFontDialog(TComponent* AOwner) : TComponent(AOwner), FFont(new TFont) {}

TFontDialog::~TFontDialog() { delete FFont; }

void TFontDialog::SetFont(TFont* Value) { FFont->Assign(Value); }

bool TFontDialog::Execute() {
  TFont Old;
  Old.Assign(FFont);
  String Unused;
  if (ask(FontKind, ClassName(), String(), String(), this, Unused)) return true;
  FFont->Assign(&Old);
  return false;
}

TColorDialog::TColorDialog(TComponent* AOwner) : TComponent(AOwner), FCustomColors(new TStringList) {}

TColorDialog::~TColorDialog() { delete FCustomColors; }

bool TColorDialog::Execute() {
  const TColor Old = Color;
  String Unused;
  if (ask(ColorKind, ClassName(), String(), String(), this, Unused)) return true;
  Color = Old;
  return false;
}

// ---------------------------------------------------------------------------
// input

bool InputQuery(const String& Caption, const String& Prompt, String& Value) {
  return ask(InputKind, QStringLiteral("TInputQuery"), Caption, Prompt, nullptr, Value);
}

String InputBox(const String& Caption, const String& Prompt, const String& Default) {
  String Value = Default;
  return InputQuery(Caption, Prompt, Value) ? Value : Default;
}

// ---------------------------------------------------------------------------
// the real box

bool IsCommonDialogRequest(const TModalRequest& Request) {
  for (const QLatin1StringView Kind : {OpenKind, SaveKind, FolderKind, FontKind, ColorKind, InputKind})
    if (Request.Kind == Kind) return true;
  return false;
}

TModalResult RunCommonDialog(TModalRequest& Request) {
  if (Request.Kind == OpenKind || Request.Kind == SaveKind)
    return runFileDialog(Request, *static_cast<TOpenDialog*>(Request.Dialog), Request.Kind == SaveKind);
  if (Request.Kind == FolderKind) return runFolderDialog(Request);
  if (Request.Kind == FontKind) return runFontDialog(*static_cast<TFontDialog*>(Request.Dialog));
  if (Request.Kind == ColorKind) return runColorDialog(*static_cast<TColorDialog*>(Request.Dialog));
  return runInputDialog(Request);
}

void InstallCommonDialogs() {
  TDialogBox Others = SetDialogBox({});
  SetDialogBox([Others](TModalRequest& Request) {
    if (!IsCommonDialogRequest(Request)) return Others ? Others(Request) : AnswerUnattended(Request);
    return PersonCanAnswer() ? RunCommonDialog(Request) : AnswerUnattended(Request);
  });
}
