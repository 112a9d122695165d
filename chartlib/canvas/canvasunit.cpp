#include "chartlib/canvas/canvasunit.h"

#include "chartlib/canvas/canvasunit_p.h"
#include "chartlib/canvas/chartmessages.h"
#include "chartlib/canvas/teecanvas3d.h"
#include "chartlib/canvas/teemodules.h"
#include "platform/os/locales.h"
#include "platform/os/sysinfo.h"
#include "platform/rtl/numconv.h"
#include "platform/rtl/stringlist.h"

#include <algorithm>
#include <cassert>
#include <memory>

namespace {

// The Japanese proportional gothic system face, as its name is written.
constexpr char16_t JapaneseGothicFace[] = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";
constexpr Integer SmallestJapaneseSize = 9;

std::unique_ptr<TCanvasUnitState>& state() {
  static std::unique_ptr<TCanvasUnitState> State;
  return State;
}

void initDefaultFont(TCanvasUnitState& S) {
  S.DefaultFontName = ChartMessage(cmDefaultFontName);
  S.DefaultFontSize = StrToIntDef(ChartMessage(cmDefaultFontSize), 8);
  if (!CanvasJapaneseUser()) return;
  // 8 points is unreadable in Japanese script
  if (S.DefaultFontSize == 8) S.DefaultFontSize = SmallestJapaneseSize;
  if (S.DefaultFontName == QStringLiteral("Arial")) S.DefaultFontName = String::fromUtf16(JapaneseGothicFace);
}

void loadDCColorProcs(TCanvasUnitState& S) {
  HMODULE Gdi = CanvasGdi32Module();
  S.SetDCBrushColor = reinterpret_cast<TSetDCColorProc>(Gdi ? GetProcAddress(Gdi, "SetDCBrushColor") : nullptr);
  S.SetDCPenColor = reinterpret_cast<TSetDCColorProc>(Gdi ? GetProcAddress(Gdi, "SetDCPenColor") : nullptr);
}

}  // namespace

TCanvasUnitState::TCanvasUnitState() = default;
TCanvasUnitState::~TCanvasUnitState() = default;

TCanvasUnitState* CanvasUnitState() { return state().get(); }

bool CanvasJapaneseUser() { return PRIMARYLANGID(GetUserDefaultLangID()) == LANG_JAPANESE; }

HMODULE CanvasGdi32Module() {
  TCanvasUnitState* S = CanvasUnitState();
  if (!S) return nullptr;
  if (!S->Gdi32Tried) {
    S->Gdi32Tried = true;
    S->Gdi32 = TeeLoadLibrary(QStringLiteral("gdi32.dll"));
  }
  return S->Gdi32;
}

bool TeeNTPlatform() { return state() && state()->NTPlatform; }

const String& TeeDefaultFontName() {
  static const String Empty;
  return state() ? state()->DefaultFontName : Empty;
}

Integer TeeDefaultFontSize() { return state() ? state()->DefaultFontSize : 0; }

TSetDCColorProc TeeSetDCBrushColorProc() { return state() ? state()->SetDCBrushColor : nullptr; }

TSetDCColorProc TeeSetDCPenColorProc() { return state() ? state()->SetDCPenColor : nullptr; }

std::vector<TCanvas3DClass>& TeeCanvasClassList() {
  assert(state() && "the canvas class list lives from the canvas unit's start-up to its shutdown");
  return state()->CanvasClasses;
}

bool TeeEraseBackground() { return state() && state()->EraseBackground; }

void SetTeeEraseBackground(bool Value) {
  if (state()) state()->EraseBackground = Value;
}

void TeeActivateClassGroup() {}

void InitializeCanvas() {
  state() = std::make_unique<TCanvasUnitState>();
  TCanvasUnitState& S = *state();
  S.NTPlatform = Win32Platform() == VER_PLATFORM_WIN32_NT;
  initDefaultFont(S);
  TeeLoadPrivateFonts();
  loadDCColorProcs(S);
  S.CanvasClasses.push_back(Canvas3DMeta(TTeeCanvas3D::StaticClass()));
}

void FinalizeCanvas() {
  TeeRemovePrivateFonts();
  TCanvasUnitState& S = *state();
  auto& Classes = S.CanvasClasses;
  if (auto It = std::find(Classes.begin(), Classes.end(), Canvas3DMeta(TTeeCanvas3D::StaticClass())); It != Classes.end())
    Classes.erase(It);
  if (S.Gdi32) TeeFreeLibrary(S.Gdi32);
  if (S.MsImg32) TeeFreeLibrary(S.MsImg32);
  state().reset();
}
