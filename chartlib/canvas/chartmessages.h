// The chart library's message table: every user-visible text of the library
// (exception messages, number formats, default captions, gallery names,
// editor captions, file filters, theme and filter names), in English.
//
// The table holds 407 entries numbered 1 to 407 in the order start-up fills
// them.  Five entries are composed with the line separator (a carriage
// return) and three with the chart-file extension ("tee").  Before start-up
// and after shutdown every entry, the separator and the extension are empty.
// Start-up of this unit runs before the canvas unit's, which reads the
// default font name and size from the table.
#pragma once

#include "platform/rtl/system.h"
#include "platform/rtl/units.h"

inline constexpr int ChartMessageCount = 407;

// Names for the entries other code reads by meaning rather than by text.
enum TChartMessage {
  cmDateTimeLogarithmic = 7,      // "DateTime Axis cannot be Logarithmic"
  cmLogarithmicMinMax = 8,        // "Logarithmic Axis Min and Max values should be >= 0"
  cmLabelsSeparation = 9,         // "Labels Separation % must be greater than 0"
  cmAxisIncrement = 10,           // "Axis increment must be >= 0"
  cmAxisMinimum = 11,             // "Axis Minimum Value must be <= Maximum"
  cmAxisMaximum = 12,             // "Axis Maximum Value must be >= Minimum"
  cmAxisLogBase = 13,             // "Axis Logarithmic Base should be <> 1 and > 0"
  cmOfSeparated = 17,             // "%s", CR, "of %s"
  cmPercentFormat = 18,           // "##0.## %"
  cmValuesFormat = 19,            // "#,##0.###"
  cmExponentFormat = 20,          // "#.0 "x10" E+0"
  cmDefaultFontSize = 87,         // "8"
  cmDefaultFontName = 103,        // "Arial"
  cmInvalidChartFile = 143,       // "Invalid Chart in *.tee file"
  cmBlur = 280,                   // "Blur"
  cmServerError = 371,            // "SERVER ERROR"
  cmThanksForHelp = 372,          // "Thanks for Your Help"
  cmSend = 373,                   // "&Send"
};

// Entry Index (1 .. ChartMessageCount); an index outside the table is a bug.
const String& ChartMessage(int Index);
// The carriage return that composed entries hold between their parts.
const String& ChartLineSeparator();
// The extension of chart files without its dot, "tee".
const String& ChartFileExtension();

void InitializeChartMessages();
void FinalizeChartMessages();
inline constexpr TUnit ChartMessagesUnit{"chartlib/messages", &InitializeChartMessages, &FinalizeChartMessages};
