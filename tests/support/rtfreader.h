// A reader of the RTF the Word documents are written in, for the suites that
// check a report: paragraphs with their alignment and runs of font, size and
// weight.
#pragma once

#include "platform/rtl/system.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace rtftest {

struct TextRun {
  String Font;
  int HalfPoints = 0;
  bool Bold = false;
  String Text;
};

struct Paragraph {
  bool Centred = false;
  std::vector<TextRun> Runs;

  String Text() const {
    String Result;
    for (const TextRun& R : Runs) Result += R.Text;
    return Result;
  }
};

// Reads the RTF subset word processors and our writer share: the font table,
// \pard \ql \qc \par, \f \fs \b, \tab, escaped symbols and \uN with one
// fallback character.
class RtfReader {
public:
  explicit RtfReader(const QByteArray& Rtf) : FRtf(Rtf) {}

  std::vector<Paragraph> Read() {
    EXPECT_TRUE(FRtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl"));
    while (FAt < FRtf.size()) step();
    EXPECT_EQ(FDepth, 0) << "unbalanced groups";
    EXPECT_TRUE(FParagraph.Runs.empty()) << "text after the last \\par";
    return FParagraphs;
  }

private:
  void step() {
    const char C = FRtf[FAt++];
    if (C == '{') {
      ++FDepth;
    } else if (C == '}') {
      if (FDepth == FFontTableDepth) FFontTableDepth = 0;
      --FDepth;
    } else if (C == '\\') {
      control();
    } else if (C != '\r' && C != '\n') {
      text(QChar(uchar(C)));
    }
  }

  void control() {
    const char C = FRtf[FAt];
    if (!std::isalpha(uchar(C))) {
      ++FAt;
      text(C == '\'' ? QChar(FRtf.mid(std::exchange(FAt, FAt + 2), 2).toInt(nullptr, 16)) : QChar(uchar(C)));
      return;
    }
    QByteArray Word;
    while (std::isalpha(uchar(FRtf[FAt]))) Word += FRtf[FAt++];
    QByteArray Number;
    while (FRtf[FAt] == '-' || std::isdigit(uchar(FRtf[FAt]))) Number += FRtf[FAt++];
    if (FRtf[FAt] == ' ') ++FAt;
    const int N = Number.toInt();
    if (Word == "fonttbl") FFontTableDepth = FDepth;
    else if (Word == "pard") FParagraph.Centred = false;
    else if (Word == "qc") FParagraph.Centred = true;
    else if (Word == "ql") FParagraph.Centred = false;
    else if (Word == "f") FFont = N;
    else if (Word == "fs") FCurrent.HalfPoints = N;
    else if (Word == "b") FCurrent.Bold = Number.isEmpty() || N != 0;
    else if (Word == "tab") text(u'\t');
    else if (Word == "u") {
      text(QChar(char16_t(std::int16_t(N))));
      ++FAt;  // the fallback character
    } else if (Word == "par") FParagraphs.push_back(std::exchange(FParagraph, Paragraph{}));
  }

  void text(QChar C) {
    if (FFontTableDepth) {
      if (C == u';') FFonts[FFont] = std::exchange(FFontName, String());
      else FFontName += C;
      return;
    }
    FCurrent.Font = FFonts[FFont];
    if (FParagraph.Runs.empty() || FParagraph.Runs.back().Font != FCurrent.Font ||
        FParagraph.Runs.back().HalfPoints != FCurrent.HalfPoints || FParagraph.Runs.back().Bold != FCurrent.Bold)
      FParagraph.Runs.push_back({FCurrent.Font, FCurrent.HalfPoints, FCurrent.Bold, String()});
    FParagraph.Runs.back().Text += C;
  }

  QByteArray FRtf;
  qsizetype FAt = 0;
  int FDepth = 0;
  int FFontTableDepth = 0;
  std::map<int, String> FFonts;
  String FFontName;
  int FFont = 0;
  TextRun FCurrent;
  Paragraph FParagraph;
  std::vector<Paragraph> FParagraphs;
};

}  // namespace rtftest
