// Column names of the reference table `bibliona` that the reference editor's
// text routines write through the current row of the catalog query.  The
// database compares column names without case; these are the spellings the
// routines use.
#pragma once

#include "platform/rtl/system.h"

namespace catalogcolumns {

inline String Source() { return QStringLiteral("source"); }
inline String Summary() { return QStringLiteral("summary"); }
inline String Author() { return QStringLiteral("author"); }
inline String Doi() { return QStringLiteral("doi"); }
inline String Year() { return QStringLiteral("data_make"); }
inline String Journal() { return QStringLiteral("journal"); }
inline String EntryDate() { return QStringLiteral("data_input"); }
inline String FileType() { return QStringLiteral("file_type"); }

}  // namespace catalogcolumns
