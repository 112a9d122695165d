#include "app/fcommon.h"

#include "platform/os/filesys.h"
#include "platform/os/program.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/windowing/dialogs.h"

#include <utility>

namespace {

constexpr int ColorDigits = 6;   // RRGGBB
constexpr int ChannelDigits = 2;
constexpr Char HexMark = u'#';

TMessageBoxHandler& messageHandler() {
  static TMessageBoxHandler Handler;
  return Handler;
}

TQuestionHandler& questionHandler() {
  static TQuestionHandler Handler;
  return Handler;
}

TMsgDlgType dialogType(TMessageKind Kind) {
  switch (Kind) {
    case TMessageKind::Warning: return mtWarning;
    case TMessageKind::Information: return mtInformation;
    case TMessageKind::Error: return mtError;
    case TMessageKind::Confirmation: return mtConfirmation;
    case TMessageKind::Plain: return mtCustom;
  }
  return mtCustom;
}

Integer iconFlag(TMessageKind Kind) {
  switch (Kind) {
    case TMessageKind::Warning: return MB_ICONWARNING;
    case TMessageKind::Information: return MB_ICONINFORMATION;
    case TMessageKind::Error: return MB_ICONERROR;
    case TMessageKind::Confirmation: return MB_ICONQUESTION;
    case TMessageKind::Plain: return 0;
  }
  return 0;
}

// The box's answer; anything but the accepting button refuses.
TMessageAnswer answerOf(TModalResult Result, TMessageButtons Buttons) {
  if (Buttons == TMessageButtons::YesNo) return Result == mrYes ? TMessageAnswer::Yes : TMessageAnswer::No;
  return Result == mrOk ? TMessageAnswer::OK : TMessageAnswer::Cancel;
}

// The default question: the refusing button is the default, so Esc, Enter
// or a run with no one to ask refuses.
TMessageAnswer askTheBox(TMessageKind Kind, const String& Caption, const String& Text, TMessageButtons Buttons) {
  const bool YesNo = Buttons == TMessageButtons::YesNo;
  if (!Caption.isEmpty())
    return answerOf(MessageBox(Text, Caption, (YesNo ? MB_YESNO : MB_OKCANCEL) | iconFlag(Kind) | MB_DEFBUTTON2),
                    Buttons);
  return answerOf(MessageDlg(Text, dialogType(Kind), YesNo ? TMsgDlgButtons{mbYes, mbNo} : mbOKCancel, 0,
                             YesNo ? mbNo : mbCancel),
                  Buttons);
}

bool isWordDelimiter(Char C) {
  return CharInSet(C, {u'\t', u'\n', u'\r', u' ', u'"', u'(', u')', u',', u'.', u'/', u':', u';', u'[', u']',
                       u'\\', u'{', u'}'});
}

// One channel of a colour text: the pair read as if it followed a "$".
Integer hexChannel(const String& Digits, int Index) {
  return StrToInt(u'$' + Copy(Digits, Index, ChannelDigits));
}

}  // namespace

String ColorToHexText(TColor Color) {
  const Integer Rgb = ColorToRGB(Color);
  return HexMark + IntToHex(gdi::GetRValue(Rgb), ChannelDigits) + IntToHex(gdi::GetGValue(Rgb), ChannelDigits) +
         IntToHex(gdi::GetBValue(Rgb), ChannelDigits);
}

TColor HexTextToColor(const String& Text) {
  const String Digits = Text.startsWith(HexMark) ? DeleteAllChars(Text, HexMark) : Text;
  if (Length(Digits) < ColorDigits)
    throw EConvertError(
        QStringLiteral("'%1' is not a valid colour text: \"#\" and six hexadecimal digits expected").arg(Text));
  const Integer Red = hexChannel(Digits, 1);
  const Integer Green = hexChannel(Digits, 3);
  const Integer Blue = hexChannel(Digits, 5);
  return Red + Green * 256 + Blue * 65536;
}

String TextBefore(const String& Text, const String& SubText) {
  const int P = Pos(SubText, Text);
  return P > 0 ? Copy(Text, 1, P - 1) : Text;
}

String DeleteAllChars(const String& Text, Char C) {
  String Result = Text;
  Result.remove(C);
  return Result;
}

String DeleteFirstText(const String& Text, const String& SubText) {
  String Result = Text;
  const int P = Pos(SubText, Result);
  if (P > 0) Delete(Result, P, Length(SubText));
  return Result;
}

void LowerCaseText(String& Text) {
  if (!Trim(Text).isEmpty()) Text = AnsiLowerCase(Text);
}

Char UpperCaseChar(Char C) { return AnsiUpperCase(String(C)).at(0); }

String CapitalizeWords(const String& Text) {
  String Result = Text;
  if (Result.isEmpty()) return Result;
  LowerCaseText(Result);
  Result[0] = UpperCaseChar(Result[0]);
  for (qsizetype I = 1; I < Result.size(); ++I)
    if (isWordDelimiter(Result[I - 1])) Result[I] = UpperCaseChar(Result[I]);
  return Result;
}

Int64 FileSizeBytes(const String& FileName) { return FileSize(FileName); }

void GetExeVersion(const String& FileName, Integer& Major, Integer& Minor, Integer& Release, Integer& Build) {
  Cardinal MS = 0;
  Cardinal LS = 0;
  if (!GetFileVersion(FileName, MS, LS)) throw Exception(QStringLiteral("Ошибка версии файла ") + FileName);
  Major = Integer(MS >> 16);
  Minor = Integer(MS & 0xFFFF);
  Release = Integer(LS >> 16);
  Build = Integer(LS & 0xFFFF);
}

void ShowMessageBox(TMessageKind Kind, const String& Text) {
  if (messageHandler()) {
    messageHandler()(Kind, Text);
    return;
  }
  MessageDlg(Text, dialogType(Kind), TMsgDlgButtons{mbOK}, 0);
}

TMessageBoxHandler SetMessageHandler(TMessageBoxHandler Handler) {
  return std::exchange(messageHandler(), std::move(Handler));
}

TMessageAnswer AskQuestion(TMessageKind Kind, const String& Text, TMessageButtons Buttons, const String& Caption) {
  if (questionHandler()) return questionHandler()(Kind, Caption, Text, Buttons);
  return askTheBox(Kind, Caption, Text, Buttons);
}

TQuestionHandler SetQuestionHandler(TQuestionHandler Handler) {
  return std::exchange(questionHandler(), std::move(Handler));
}
