#include "app/config.h"

#include "app/datamodule.h"
#include "app/fcommon.h"
#include "platform/db/dataset.h"
#include "platform/db/dbconsts.h"
#include "platform/db/fields.h"
#include "platform/fd/fdconnection.h"
#include "platform/fd/fdquery.h"
#include "platform/fd/fdsqlite.h"
#include "platform/os/drivemap.h"
#include "platform/os/filesys.h"
#include "platform/os/http.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strutils.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr int StatusOK = 200;

// Name with Number before its first "."; at its end without one.
String numbered(const String& Name, Integer Number) {
  const int Dot = Pos(QStringLiteral("."), Name);
  const String Digits = IntToStr(Number);
  return Dot > 0 ? Copy(Name, 1, Dot - 1) + Digits + Copy(Name, Dot, Length(Name)) : Name + Digits;
}

// Client's OnReceiveData drives Progress for the lifetime of the scope.
class TProgressScope {
public:
  TProgressScope(TNetHTTPClient* Client, const TDownloadProgress& Progress)
      : FClient(Client), FPrevious(Client->OnReceiveData) {
    if (Progress)
      Client->OnReceiveData =
          TReceiveDataEvent([&Progress](TObject*, Int64 Length, Int64 Read, bool&) { Progress(Length, Read); });
  }
  ~TProgressScope() { FClient->OnReceiveData = FPrevious; }
  TProgressScope(const TProgressScope&) = delete;
  TProgressScope& operator=(const TProgressScope&) = delete;

private:
  TNetHTTPClient* FClient;
  TReceiveDataEvent FPrevious;
};

// Writes Body to a temporary file in Folder and moves it to the target (the
// next free name when one appeared meanwhile); answers the file.
String saveBody(TMemoryStream* Body, const String& Folder, const String& Name, Integer& cnt) {
  QTemporaryFile Part(Folder + QStringLiteral(".XXXXXX.part"));
  if (!Part.open()) RaiseLastOSError(QStringLiteral("Create file"), Part.fileTemplate());
  if (Part.write(static_cast<const char*>(Body->Memory()), Body->Size()) != Body->Size() || !Part.flush() ||
      ::fsync(Part.handle()) != 0)
    throw EInOutError(QStringLiteral("Cannot write %1: %2").arg(Part.fileName(), Part.errorString()), EIO);
  for (;;) {
    const String Target = DownloadTarget(Folder, Name, cnt);
    if (renameat2(AT_FDCWD, QFile::encodeName(Part.fileName()).constData(), AT_FDCWD,
                  QFile::encodeName(Target).constData(), RENAME_NOREPLACE) == 0) {
      Part.setAutoRemove(false);
      return Target;
    }
    if (errno != EEXIST) RaiseLastOSError(QStringLiteral("Rename file"), Target);
  }
}

TField* replaceableField(TDataSet* Catalog, const String& Name) {
  TField* Field = Catalog->FindField(Name);
  return Field && (Field->DataType() == ftString || Field->DataType() == ftMemo) ? Field : nullptr;
}

}  // namespace

String DownloadTarget(const String& Folder, const String& Name, Integer& cnt) {
  const String Base = IncludeTrailingPathDelimiter(Folder);
  String Target = Base + Name;
  while (FileExists(Target)) Target = Base + numbered(Name, ++cnt);
  return Target;
}

String DownloadDatabase(TNetHTTPClient* Client, const TDownloadOrder& Order, Integer& cnt,
                        const TDownloadProgress& Progress) {
  const String Name = Trim(Order.FileInServer);
  const String Folder = IncludeTrailingPathDelimiter(NativePath(Order.Folder));
  std::unique_ptr<THTTPResponse> Response;
  {
    const TProgressScope Scope(Client, Progress);
    Response = Client->Get(Order.Server + u'/' + Name);
  }
  if (!Response) {
    ShowMessageBox(TMessageKind::Error, NoResponseText);
    return String();
  }
  if (Response->StatusCode() != StatusOK) {
    ShowMessageBox(TMessageKind::Error, Response->StatusText());
    return String();
  }
  const String Saved = saveBody(Response->ContentStream(), Folder, Name, cnt);
  if (Progress) Progress(Response->ContentStream()->Size(), 0);
  ShowMessageBox(TMessageKind::Information, DownloadedText);
  return Saved;
}

std::vector<String> ReplaceableFields(TDataSet* Catalog) {
  std::vector<String> Names;
  for (int I = 0; I < Catalog->Fields()->Count(); ++I)
    if (TField* Field = Catalog->Fields()->Fields(I); replaceableField(Catalog, Field->FieldName()))
      Names.push_back(Field->FieldName());
  return Names;
}

void ReplaceString(TdmCatalog* Dm, const String& FieldName, const String& Replaced, const String& Replacement) {
  TFDQuery* Catalog = Dm->fdqCatalog;
  const TField* Field = replaceableField(Catalog, Trim(FieldName));
  if (!Field) DatabaseError(QStringLiteral("'%1' is not a text column of the references").arg(FieldName));
  const String Column = FDQuoteName(Field->FieldName());
  const String Old = Trim(Replaced);
  const String New = Trim(Replacement);

  TFDConnection* Connection = Dm->myFDConnection1;
  Connection->StartTransaction();
  try {
    if (Catalog->State() == dsEdit || Catalog->State() == dsInsert) Catalog->Post();
    TdmCatalog::ApplyAndClear(Catalog);  // the pending edits first, so the replacement is not undone
    // on the connection, not through fdqSeek: the search window keeps its result
    if (!Old.isEmpty() && !New.isEmpty())
      Connection->ExecSQL(QStringLiteral("UPDATE bibliona SET %1 = REPLACE(%1, :old, :new)").arg(Column), {Old, New});
    Connection->Commit();
  } catch (const Exception&) {
    Connection->Rollback();
    throw;
  }
  Dm->MakeStoredDurable();
  Catalog->Refresh();
}
