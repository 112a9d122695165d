#include "chartlib/canvas/privatefonts.h"

#include "chartlib/canvas/canvasunit_p.h"
#include "chartlib/canvas/teemodules.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

#include <memory>

namespace {


using TAddFontMemResourceEx = void* (*)(const void* FileView, gdi::DWORD Size, void* Reserved, gdi::DWORD* NumFonts);
using TRemoveFontMemResourceEx = gdi::BOOL (*)(void* Handle);

// The registration handle of one font resource, or nullptr.
void* addFontResource(TAddFontMemResourceEx Add, const char* Name) {
  std::unique_ptr<TStream> Stream(TeeFindResourceStream(Name));
  if (!Stream) return nullptr;
  const TBytes Data = Stream->ReadBytes(Stream->Size());
  gdi::DWORD Count = 1;
  return Add(Data.data(), gdi::DWORD(Data.size()), nullptr, &Count);
}

}  // namespace

void TeeLoadPrivateFonts() {
  TCanvasUnitState* S = CanvasUnitState();
  if (!S) return;
  S->AddPrivateFontsProc = nullptr;
  HMODULE Gdi = CanvasGdi32Module();
  auto Add = reinterpret_cast<TAddFontMemResourceEx>(Gdi ? GetProcAddress(Gdi, "AddFontMemResourceEx") : nullptr);
  if (!Add) return;
  bool AnyFont = false;
  for (int I = 0; I < 2; ++I) {
    S->PrivateFonts[I] = addFontResource(Add, TeePrivateFontResources[I]);
    AnyFont = AnyFont || S->PrivateFonts[I];
  }
  // offering families that were never registered would list fonts that draw
  // as the fallback face
  if (AnyFont) S->AddPrivateFontsProc = &TeeAddPrivateFontNames;
}

void TeeRemovePrivateFonts() {
  TCanvasUnitState* S = CanvasUnitState();
  if (!S) return;
  S->AddPrivateFontsProc = nullptr;
  auto Remove = reinterpret_cast<TRemoveFontMemResourceEx>(S->Gdi32 ? GetProcAddress(S->Gdi32, "RemoveFontMemResourceEx")
                                                                    : nullptr);
  for (void*& Font : S->PrivateFonts) {
    if (Font && Remove) Remove(Font);
    Font = nullptr;
  }
}

void TeeAddPrivateFontNames(TStrings* Items) {
  Items->Add(QStringLiteral("Elektra"));
  Items->Add(QStringLiteral("DS-Digital"));
}

TAddPrivateFontsProc TeeAddPrivateFontsProc() {
  const TCanvasUnitState* S = CanvasUnitState();
  return S ? S->AddPrivateFontsProc : nullptr;
}
