#include "app/fcommon.h"

#include "platform/os/filesys.h"
#include "platform/os/program.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/strutils.h"

#include <cstdio>
#include <utility>

namespace {

constexpr int ColorDigits = 6;   // RRGGBB
constexpr int ChannelDigits = 2;
constexpr Char HexMark = u'#';

TMessageHandler& messageHandler() {
  static TMessageHandler Handler;
  return Handler;
}

TQuestionHandler& questionHandler() {
  static TQuestionHandler Handler;
  return Handler;
}

const char* kindName(TMessageKind Kind) {
  switch (Kind) {
    case TMessageKind::Warning: return "Warning";
    case TMessageKind::Information: return "Information";
    case TMessageKind::Error: return "Error";
    case TMessageKind::Confirmation: return "Confirmation";
  }
  return "Message";
}

TMessageAnswer refusingAnswer(TMessageButtons Buttons) {
  return Buttons == TMessageButtons::YesNo ? TMessageAnswer::No : TMessageAnswer::Cancel;
}

const char* answerName(TMessageAnswer Answer) {
  switch (Answer) {
    case TMessageAnswer::Yes: return "Yes";
    case TMessageAnswer::No: return "No";
    case TMessageAnswer::OK: return "OK";
    case TMessageAnswer::Cancel: return "Cancel";
  }
  return "?";
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
  std::fprintf(stderr, "%s: %s\n", kindName(Kind), Text.toUtf8().constData());
}

TMessageHandler SetMessageHandler(TMessageHandler Handler) {
  return std::exchange(messageHandler(), std::move(Handler));
}

TMessageAnswer AskQuestion(TMessageKind Kind, const String& Text, TMessageButtons Buttons, const String& Caption) {
  if (questionHandler()) return questionHandler()(Kind, Caption, Text, Buttons);
  const TMessageAnswer Answer = refusingAnswer(Buttons);
  const String Heading = Caption.isEmpty() ? String::fromLatin1(kindName(Kind)) : Caption;
  std::fprintf(stderr, "%s: %s\n[no one to ask on this run: answered %s]\n", Heading.toUtf8().constData(),
               Text.toUtf8().constData(), answerName(Answer));
  return Answer;
}

TQuestionHandler SetQuestionHandler(TQuestionHandler Handler) {
  return std::exchange(questionHandler(), std::move(Handler));
}
