// The two actions of the settings dialog (TfmConfig) besides its settings:
// the update download ("Download database from server") and the bulk
// replacement in one text column of every reference ("Replace string").
//
// A download is written under a temporary name in the chosen folder and
// renamed to its target only when the whole body has arrived; the target is
// the file name on the server, or, while a file of that name exists, the name
// with a number before its first "." counted on to a free one.  So a failed
// download leaves nothing, and no download replaces a file.
//
// The replacement binds both texts and accepts only a string or memo column
// of the reference table as the column, so nothing typed into the dialog
// becomes SQL.
#pragma once

#include "platform/rtl/system.h"

#include <functional>
#include <vector>

class TDataSet;
class TdmCatalog;
class TNetHTTPClient;

// ---------------------------------------------------------------- download

// The controls of the "Download" page.
struct TDownloadOrder {
  String Folder;        // edFolder; a delimiter is added when it lacks one
  String Server;        // edFTP, the address the name is appended to
  String FileInServer;  // edDBname
};

// The file Name gets in Folder: Folder + Name, or while such a file exists,
// Name with cnt + 1, cnt + 2 ... before its first "." (at its end without
// one); cnt keeps the last number taken.
String DownloadTarget(const String& Folder, const String& Name, Integer& cnt);

// The progress bar: its maximum (the announced length, 0 when unknown) and
// its position.
using TDownloadProgress = std::function<void(Int64 Max, Int64 Position)>;

// "Download database from server": GET Server + "/" + the trimmed name
// through Client, Progress following the body.  Status 200: the body is saved
// (see above), the bar goes back to 0, "Extract and replace catalog.sqlite."
// is shown and the saved file answered.  Another status shows the response's
// status text as an error; no response shows "Unknow error"; "" is answered
// for both.  A failed transfer raises ENetHTTPClientException; nothing is
// written then.  cnt is the dialog's count of numbered names this opening.
String DownloadDatabase(TNetHTTPClient* Client, const TDownloadOrder& Order, Integer& cnt,
                        const TDownloadProgress& Progress = {});

inline constexpr QLatin1StringView DownloadedText{"Extract and replace catalog.sqlite."};
inline constexpr QLatin1StringView NoResponseText{"Unknow error"};

// ---------------------------------------------------------------- replacement

// The names of Catalog's plain string and memo fields, in field order: what
// the "Text field" list offers after its fixed items.
std::vector<String> ReplaceableFields(TDataSet* Catalog);

// "Replace string": in a transaction nested in the program-wide one, stores a
// pending edit and the cache of fdqCatalog, then replaces every Replaced in
// column FieldName of every reference by Replacement (both trimmed; nothing
// is replaced when either is empty), commits, makes it durable and refreshes
// fdqCatalog.  On an error the level is rolled back and the error raised.
// A FieldName that is not one of ReplaceableFields(fdqCatalog) raises
// EDatabaseError before anything runs.
void ReplaceString(TdmCatalog* Dm, const String& FieldName, const String& Replaced, const String& Replacement);
