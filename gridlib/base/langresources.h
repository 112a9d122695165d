// Language resources: the one manager that re-reads the texts of the
// library's localizable components from a translation when a language is
// made active.
//
// A translation of a component is a stored form of its class whose
// properties replace the component's texts.  It is found either among the
// program's RCDATA resources, named <class name>_<abbreviation> (embedded),
// or as a form text file <ResourceFolderPath>/<base name>.<abbreviation>.dfm
// (external, the default).  Abbreviations are the three-letter extensions of
// the system's locales ("ENU", "RUS"), kept in upper case.
//
// After a change of language every registered change consumer hears
// ResourceLanguageChanged, and every form of the screen and every control on
// it, at any depth, gets WM_SETTINGCHANGE (0, 0) once so it can re-read the
// texts it shows.
#pragma once

#include "platform/os/locales.h"
#include "platform/rtl/component.h"
#include "platform/rtl/interfaces.h"
#include "platform/rtl/methodptr.h"

class TObjectListEh;
class TStream;
class TStringList;

RTL_ENUM(TLanguageResourcePlacementEh, lrpExternalEh, lrpEmbeddedEh)

// May replace the answer of AutoselectLanguage().
using TAutoselectResourceLanguageEh = TMethodPtr<void(TObject* Sender, String& LanguageAbbr)>;

// Implemented by a component that wants to hear when its texts were re-read
// or the language changed.
class ILanguageResourceConsumerEh : public IInterface {
public:
  static constexpr TGUID IID = TGUID::Literal("{D0726CDE-269E-4E3C-8295-1FB9BDCE327A}");
  virtual void ResourceLanguageChanged() = 0;
};

// One registration of a localizable component.  The component is not owned.
class TResObjectEh : public TObject {
  RTL_CLASS(TResObjectEh, TObject)
public:
  TComponent* RefResObject = nullptr;
  String ResourceName;
  // The base name of its external files.
  String ExtResourceFileName;
  // The language its built-in texts are in.
  String DefaultResourceLanguage;
};

class TLanguageResourceManagerEh : public TPersistent {
  RTL_CLASS(TLanguageResourceManagerEh, TPersistent)
public:
  TLanguageResourceManagerEh();
  ~TLanguageResourceManagerEh() override;

  // registrations
  // Reads the component's translation at once when a language is active and
  // differs from DefaultResourceLanguage.
  void AddLocalizableObject(TComponent* Component, const String& ResourceName, const String& ExtResourceFileName,
                            const String& DefaultResourceLanguage);
  // Removes (and frees) every registration of Component.
  void DeleteLocalizableObject(TComponent* Component);
  TResObjectEh* ResObject(Integer Index) const;
  Integer ResObjectCount() const;

  // change consumers (not owned)
  void AddChangeNotifyConsumer(TComponent* Component, const String& DefaultResourceLanguage);
  // Removes the first occurrence of Component.
  void DeleteChangeNotifyConsumer(TComponent* Component);
  // ResourceLanguageChanged when Component implements the consumer interface.
  void NotifyConsumerChange(TComponent* Component);
  // Every consumer in order, then WM_SETTINGCHANGE to the forms and controls.
  void NotifyAllConsumersChange();

  // languages
  // Fills LanguageList with the abbreviations of the translations of
  // BaseFileName found where ResourcePlacement says.
  void LoadListOfAvailableLanguages(const String& BaseFileName);
  // The index in LanguageList by exact comparison; -1 when absent.
  Integer IndexOfLanguage(const String& LangID) const;
  // Locale's language, else its neutral language, else "ENU", when listed;
  // else "".
  String AutoselectLanguage(LCID Locale) const;
  // For the thread's locale, then OnAutoselectLanguage may change it.
  String AutoselectLanguage();
  // The native name of the first system locale whose extension is
  // LanguageAbbr exactly; "" when none.
  String GetNativeLanguageName(const String& LanguageAbbr) const;
  // The extension of the system locale Locale; "" when unknown.
  String GetSuffixForLocale(LCID Locale) const;

  // reading
  void ReadObjectResource(TResObjectEh* ObjectRes);
  // From the resource Name of the program, then ResourceLanguageChanged; a
  // missing resource does nothing.
  void ReadComponentResource(TComponent* Component, const String& ResourceName);
  // From <ResourceFolderPath>/<ResourceName>.<active>.dfm; a missing file
  // does nothing.  Raises "ActiveLanguage is not defined" without an active
  // language.
  void ReadComponentExternalResource(TComponent* Component, const String& ResourceName);
  // From the resource <class name>_<active>.
  void ReadComponentEmbeddedResource(TComponent* Component);
  // A binary stored form is read as it is and its errors pass on.  A form
  // text is converted first; its reading errors (EReadError, such as an
  // unknown property) go to the application's exception handler and the
  // caller goes on.  Anything else raises "Invalid stream format.".
  void ReadComponentFromStream(TComponent* Instance, TStream* Stream);

  // properties
  TStringList* LanguageList() const { return FLanguageList; }
  const String& ActiveLanguageAbbr() const { return FActiveLanguageAbbr; }
  // Raises 'Language "<Value>" is not supported' for a value not listed.
  void SetActiveLanguageAbbr(const String& Value);
  const String& ResourceFolderPath() const { return FResourceFolderPath; }
  void SetResourceFolderPath(const String& Value) { FResourceFolderPath = Value; }
  TLanguageResourcePlacementEh ResourcePlacement() const { return FResourcePlacement; }
  void SetResourcePlacement(TLanguageResourcePlacementEh Value) { FResourcePlacement = Value; }

  // events
  TAutoselectResourceLanguageEh OnAutoselectLanguage;

  // introduced virtuals
  // Re-reads every registration (when a language is active), then notifies.
  virtual void ReloadAllResources();

private:
  void loadEmbeddedLanguages(const String& BaseFileName);
  void loadExternalLanguages(const String& BaseFileName);

  TStringList* FLanguageList;                 // owned
  TObjectListEh* FLocObjects;                 // owns its TResObjectEh records
  std::vector<TComponent*> FChangeNotifyConsumers;  // not owned
  String FActiveLanguageAbbr;
  String FResourceFolderPath;
  TLanguageResourcePlacementEh FResourcePlacement = lrpExternalEh;
};

// The global manager, made on first use.
TLanguageResourceManagerEh* GetLanguageResourceManagerEh();

// Frees the global manager; the base unit (baseunit.h) runs it.
void FinalizeLanguageResourcesEh();
