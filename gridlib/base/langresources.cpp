#include "gridlib/base/langresources.h"

#include "gridlib/base/basecontrols.h"
#include "platform/os/filesys.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/objtext.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strutils.h"
#include "platform/ui/windowing/application.h"
#include "platform/ui/windowing/controls.h"
#include "platform/ui/windowing/messages.h"

#include <algorithm>

namespace {

TLanguageResourceManagerEh* GlobalManager = nullptr;

// A translation file: <base name>.<abbreviation>.dfm.
const String FormFileExtension = QStringLiteral(".dfm");
// Where external translations are looked for when no folder was set.
const String DefaultResourceFolder = QStringLiteral("Res");
// The language every translation falls back to.
const String EnglishAbbr = QStringLiteral("ENU");
constexpr int LanguageAbbrLength = 3;
// The bits of a locale id that name its language alone.
constexpr LCID PrimaryLanguageMask = 0x3FF;

String localeAbbr(LCID Locale) { return GetLocaleStr(Locale, LOCALE_SABBREVLANGNAME, String()); }

bool isSystemLocaleAbbr(const String& Abbr) {
  const std::vector<LCID> Locales = EnumSystemLocales();
  return std::any_of(Locales.begin(), Locales.end(), [&](LCID L) { return localeAbbr(L) == Abbr; });
}

void sendToControls(TWinControl* Control, gdi::UINT Msg) {
  Control->Perform(Msg, 0, 0);
  for (Integer I = 0; I < Control->ControlCount(); ++I) {
    TControl* Child = Control->Controls(I);
    if (auto* WinChild = dynamic_cast<TWinControl*>(Child))
      sendToControls(WinChild, Msg);
    else
      Child->Perform(Msg, 0, 0);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TLanguageResourceManagerEh

TLanguageResourceManagerEh::TLanguageResourceManagerEh()
    : FLanguageList(new TStringList), FLocObjects(new TObjectListEh(/*AOwnsObjects=*/true)) {}

TLanguageResourceManagerEh::~TLanguageResourceManagerEh() {
  FLocObjects->Free();
  FLanguageList->Free();
}

void TLanguageResourceManagerEh::AddLocalizableObject(TComponent* Component, const String& ResourceName,
                                                      const String& ExtResourceFileName,
                                                      const String& DefaultResourceLanguage) {
  auto* R = new TResObjectEh;
  R->RefResObject = Component;
  R->ResourceName = ResourceName;
  R->ExtResourceFileName = ExtResourceFileName;
  R->DefaultResourceLanguage = DefaultResourceLanguage;
  FLocObjects->Add(R);
  if (!FActiveLanguageAbbr.isEmpty() && FActiveLanguageAbbr != DefaultResourceLanguage) ReadObjectResource(R);
}

void TLanguageResourceManagerEh::DeleteLocalizableObject(TComponent* Component) {
  for (Integer I = FLocObjects->Count() - 1; I >= 0; --I)
    if (ResObject(I)->RefResObject == Component) FLocObjects->Delete(I);
}

TResObjectEh* TLanguageResourceManagerEh::ResObject(Integer Index) const {
  return static_cast<TResObjectEh*>(FLocObjects->Items(Index));
}

Integer TLanguageResourceManagerEh::ResObjectCount() const { return FLocObjects->Count(); }

void TLanguageResourceManagerEh::AddChangeNotifyConsumer(TComponent* Component,
                                                         const String& DefaultResourceLanguage) {
  FChangeNotifyConsumers.push_back(Component);
  if (!FActiveLanguageAbbr.isEmpty() && FActiveLanguageAbbr != DefaultResourceLanguage)
    NotifyConsumerChange(Component);
}

void TLanguageResourceManagerEh::DeleteChangeNotifyConsumer(TComponent* Component) {
  auto It = std::find(FChangeNotifyConsumers.begin(), FChangeNotifyConsumers.end(), Component);
  if (It != FChangeNotifyConsumers.end()) FChangeNotifyConsumers.erase(It);
}

void TLanguageResourceManagerEh::NotifyConsumerChange(TComponent* Component) {
  ILanguageResourceConsumerEh* Consumer;
  if (Supports(Component, Consumer)) Consumer->ResourceLanguageChanged();
}

void TLanguageResourceManagerEh::NotifyAllConsumersChange() {
  // a consumer may unregister itself while it hears the change
  const std::vector<TComponent*> Consumers = FChangeNotifyConsumers;
  for (TComponent* C : Consumers) NotifyConsumerChange(C);
  if (!Screen) return;
  for (Integer I = 0; I < Screen->FormCount(); ++I) sendToControls(Screen->Forms(I), gdi::WM_SETTINGCHANGE);
}

void TLanguageResourceManagerEh::SetActiveLanguageAbbr(const String& Value) {
  if (Value == FActiveLanguageAbbr) return;
  if (IndexOfLanguage(Value) < 0) throw Exception(QStringLiteral("Language \"%1\" is not supported").arg(Value));
  FActiveLanguageAbbr = Value;
  ReloadAllResources();
}

void TLanguageResourceManagerEh::ReloadAllResources() {
  for (Integer I = 0; I < ResObjectCount(); ++I)
    if (!FActiveLanguageAbbr.isEmpty()) ReadObjectResource(ResObject(I));
  NotifyAllConsumersChange();
}

// ---------------------------------------------------------------------------
// languages

void TLanguageResourceManagerEh::LoadListOfAvailableLanguages(const String& BaseFileName) {
  FLanguageList->Clear();
  if (FResourcePlacement == lrpEmbeddedEh)
    loadEmbeddedLanguages(BaseFileName);
  else
    loadExternalLanguages(BaseFileName);
}

void TLanguageResourceManagerEh::loadEmbeddedLanguages(const String& BaseFileName) {
  const String Prefix = UpperCase(BaseFileName) + u'_';
  for (const String& Name : EnumResourceNames(HInstance(), RT_RCDATA))
    if (Name.contains(Prefix) && Name.size() == Prefix.size() + LanguageAbbrLength)
      FLanguageList->Add(Name.right(LanguageAbbrLength));
}

void TLanguageResourceManagerEh::loadExternalLanguages(const String& BaseFileName) {
  if (FResourceFolderPath.isEmpty())
    FResourceFolderPath = IncludeTrailingPathDelimiter(GetCurrentDir()) + DefaultResourceFolder;
  for (const String& Name : FindFiles(FResourceFolderPath, BaseFileName + QStringLiteral(".???") + FormFileExtension)) {
    const String Abbr = UpperCase(Name.chopped(FormFileExtension.size()).right(LanguageAbbrLength));
    if (isSystemLocaleAbbr(Abbr)) FLanguageList->Add(Abbr);
  }
}

Integer TLanguageResourceManagerEh::IndexOfLanguage(const String& LangID) const {
  for (Integer I = 0; I < FLanguageList->Count(); ++I)
    if (FLanguageList->Strings(I) == LangID) return I;
  return -1;
}

String TLanguageResourceManagerEh::AutoselectLanguage(LCID Locale) const {
  const String Own = localeAbbr(Locale);
  if (!Own.isEmpty() && IndexOfLanguage(Own) >= 0) return Own;
  const String Neutral = localeAbbr(Locale & PrimaryLanguageMask);
  if (!Neutral.isEmpty() && IndexOfLanguage(Neutral) >= 0) return Neutral;
  if (IndexOfLanguage(EnglishAbbr) >= 0) return EnglishAbbr;
  return String();
}

String TLanguageResourceManagerEh::AutoselectLanguage() {
  String Result = AutoselectLanguage(GetThreadLocale());
  if (OnAutoselectLanguage) OnAutoselectLanguage(this, Result);
  return Result;
}

String TLanguageResourceManagerEh::GetNativeLanguageName(const String& LanguageAbbr) const {
  for (LCID L : EnumSystemLocales())
    if (localeAbbr(L) == LanguageAbbr) return GetLocaleStr(L, LOCALE_SNATIVELANGNAME, String());
  return String();
}

String TLanguageResourceManagerEh::GetSuffixForLocale(LCID Locale) const {
  const std::vector<LCID> Locales = EnumSystemLocales();
  if (std::find(Locales.begin(), Locales.end(), Locale) == Locales.end()) return String();
  return localeAbbr(Locale);
}

// ---------------------------------------------------------------------------
// reading

void TLanguageResourceManagerEh::ReadObjectResource(TResObjectEh* ObjectRes) {
  if (FResourcePlacement == lrpEmbeddedEh)
    ReadComponentEmbeddedResource(ObjectRes->RefResObject);
  else
    ReadComponentExternalResource(ObjectRes->RefResObject, ObjectRes->ExtResourceFileName);
}

void TLanguageResourceManagerEh::ReadComponentEmbeddedResource(TComponent* Component) {
  ReadComponentResource(Component, Component->ClassName() + u'_' + FActiveLanguageAbbr);
}

void TLanguageResourceManagerEh::ReadComponentResource(TComponent* Component, const String& ResourceName) {
  if (!InternalReadComponentRes(ResourceName, HInstance(), Component)) return;
  NotifyConsumerChange(Component);
}

void TLanguageResourceManagerEh::ReadComponentExternalResource(TComponent* Component, const String& ResourceName) {
  if (FActiveLanguageAbbr.isEmpty()) throw Exception(QStringLiteral("ActiveLanguage is not defined"));
  const String FileName = IncludeTrailingPathDelimiter(FResourceFolderPath) + ResourceName + u'.' +
                          FActiveLanguageAbbr + FormFileExtension;
  if (!FileExists(FileName)) return;
  TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
  ReadComponentFromStream(Component, &File);
}

void TLanguageResourceManagerEh::ReadComponentFromStream(TComponent* Instance, TStream* Stream) {
  switch (TestStreamFormat(Stream)) {
    case sofBinary:
      Stream->ReadComponent(Instance);
      return;
    case sofText:
    case sofUTF8Text:
      break;
    case sofUnknown:
      throw Exception(QStringLiteral("Invalid stream format."));
  }
  TMemoryStream Binary;
  ObjectTextToBinary(Stream, &Binary);
  Binary.SetPosition(0);
  try {
    Binary.ReadComponent(Instance);
  } catch (const EReadError&) {
    // a translation naming a property the component lacks must not stop
    // the other registrations from being read
    HandleException(std::current_exception());
  }
}

// ---------------------------------------------------------------------------
// the unit

TLanguageResourceManagerEh* GetLanguageResourceManagerEh() {
  if (!GlobalManager) GlobalManager = new TLanguageResourceManagerEh;
  return GlobalManager;
}

void FinalizeLanguageResourcesEh() {
  if (GlobalManager) GlobalManager->Free();
  GlobalManager = nullptr;
}
