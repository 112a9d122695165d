// The catalog program.  It comes up as far as its units are built: the units
// it stands on, the settings file beside the program, the data module and the
// catalog the settings name.  The windows are not built yet, so it reports the
// catalog and the start position the main window would show, and ends.
#include "app/datamodule.h"
#include "app/fcommon.h"
#include "app/settings.h"
#include "platform/db/dbunit.h"
#include "platform/db/fields.h"
#include "platform/fd/fdquery.h"
#include "platform/os/osunit.h"
#include "platform/os/program.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/units.h"

#include <cstdio>

namespace {

// Flushed at once, so the lines keep their place among the message boxes on
// stderr.
void print(const String& Line) {
  std::printf("%s\n", Line.toUtf8().constData());
  std::fflush(stdout);
}

int countReferences() {
  TFDQuery* Query = dmCatalog->FDQuery1;
  Query->SQL()->SetText(QStringLiteral("select count(*) from bibliona"));
  Query->Open();
  const int Count = Query->Fields()->Fields(0)->AsInteger();
  Query->Close();
  return Count;
}

// Positions the levels on the start position as the first show does, and
// says where each level ended up.
void reportStartPosition(const String& FirstPart) {
  TLevelKeys Keys;
  ParseFirstPart(FirstPart, Keys);
  const std::array<bool, 5> Found = dmCatalog->PositionLevels(Keys);
  TFDQuery* const Levels[] = {dmCatalog->fdqPart1, dmCatalog->fdqPart2, dmCatalog->fdqDisease,
                              dmCatalog->fdqDisPropety, dmCatalog->fdqSubPropety};
  const char* const NameFields[] = {"gr_title", "sbgr1_name", "sbgr2_name", "sbgr3_name", "sbgr4_name"};
  print(QStringLiteral("start position %1:").arg(FirstPart));
  for (std::size_t Level = 0; Level < Keys.size(); ++Level) {
    TFDQuery* Query = Levels[Level];
    const String Shown = Query->IsEmpty() ? QStringLiteral("(empty)")
                                          : Query->Fields()->Fields(0)->AsString() + u' ' +
                                                Query->FieldByName(QString::fromUtf8(NameFields[Level]))->AsString();
    print(QStringLiteral("  level %1: key %2 %3, showing %4")
              .arg(Level + 1)
              .arg(Keys[Level])
              .arg(Found[Level] ? QStringLiteral("found") : QStringLiteral("not found"), Shown));
  }
  print(QStringLiteral("  references in the subgroup: %1").arg(dmCatalog->fdqCatalog->RecordCount()));
}

}  // namespace

int main() {
  InitializeUnits({RtlUnit, DbUnit, OsUnit});
  print(QStringLiteral("bibliona %1").arg(QStringLiteral(BIBLIONA_VERSION)));
  int ExitCode = 1;
  try {
    TSettings Settings;
    Settings.ReadSettings(SettingsFile(ProgramFolder()));
    dmCatalog = new TdmCatalog(nullptr);
    const String DataBaseFullPath = ProgramFolder() + Settings.DataBase;
    print(QStringLiteral("catalog: %1").arg(DataBaseFullPath));
    if (dmCatalog->OpenCatalog(DataBaseFullPath)) {
      print(QStringLiteral("groups: %1, references: %2")
                .arg(dmCatalog->fdqPart1->RecordCount())
                .arg(countReferences()));
      reportStartPosition(Settings.FirstPart);
      ExitCode = 0;
    }
  } catch (const Exception& E) {
    ShowMessageBox(TMessageKind::Error, E.Message);
  }
  if (dmCatalog) dmCatalog->Free();
  dmCatalog = nullptr;
  FinalizeUnits();
  return ExitCode;
}
