#include "gridlib/base/baseunit.h"

#include "gridlib/base/alphabitmap.h"
#include "gridlib/base/basecontrols.h"
#include "gridlib/base/drawstyle.h"
#include "gridlib/base/gridlibmanager.h"
#include "gridlib/base/imageresources.h"
#include "gridlib/base/langconsts.h"
#include "gridlib/base/langresources.h"
#include "gridlib/base/painters.h"
#include "gridlib/base/sizegrip.h"
#include "gridlib/base/textdraw.h"
#include "gridlib/base/valuetext.h"

#include <cassert>

namespace {

Integer StartUps = 0;

// The registry and theme are made once however often the unit starts.
void initGraphicProviders() {
  RegisterGraphicProviderEh(TBMPGraphicProviderEh::StaticClass());
  if (IsStyleServicesEnabledEh()) OpenExplorerTreeThemeEh();
}

void freeGraphicProviders() {
  FreeGraphicProvidersEh();
  CloseExplorerTreeThemeEh();
}

template <class T>
void freeInstalled(T* (*Install)(T*)) {
  FreeObjectEh(Install(nullptr));
}

}  // namespace

void InitializeGridLibBaseEh() {
  if (StartUps++ > 0) return;
  InitializeBaseControlsEh();
  InitCheckBoxSizeEh();
  initGraphicProviders();
  AcquireSharedTextBitmapEh();

  SetGridLibManager(new TGridLibManager);
  SetWorkingTimeCalendarEh(new TWorkingTimeCalendarEh(nullptr));
  SetGridLibDrawStyleEh(new TGridLibDrawStyleEh);

  InitializeGridLibLanguageConstsEh();
  InitializeGridLibImageResourcesEh();
  // For streaming forms that hold one.
  RegisterClass(TSizeGripEh::StaticClass());
}

void FinalizeGridLibBaseEh() {
  assert(StartUps > 0 && "the grid library's base finalized more often than initialized");
  if (--StartUps > 0) return;
  FinalizeGridLibImageResourcesEh();
  FinalizeGridLibLanguageConstsEh();
  FinalizeLanguageResourcesEh();

  delete SetButtonsBitmapCacheEh(nullptr);
  freeGraphicProviders();
  ReleaseSharedTextBitmapEh();
  FreeCacheAlphaBitmapEh();

  freeInstalled(&SetGridLibManager);
  freeInstalled(&SetWorkingTimeCalendarEh);
  freeInstalled(&SetGridLibDrawStyleEh);
  FinalizeBaseControlsEh();
}
