// The canvas unit's state, shared by its source files (canvasunit.cpp,
// privatefonts.cpp, teeblend.cpp).  Not for other code.
#pragma once

#include "chartlib/canvas/canvasunit.h"
#include "chartlib/canvas/privatefonts.h"

#include <memory>

class TStringList;

struct TCanvasUnitState {
  bool NTPlatform = false;
  String DefaultFontName;
  Integer DefaultFontSize = 0;

  // "gdi32.dll": loaded when start-up first needs it, kept to shutdown
  HMODULE Gdi32 = nullptr;
  bool Gdi32Tried = false;
  TSetDCColorProc SetDCBrushColor = nullptr;
  TSetDCColorProc SetDCPenColor = nullptr;

  // private fonts: one registration handle per resource, or nullptr
  void* PrivateFonts[2] = {nullptr, nullptr};
  TAddPrivateFontsProc AddPrivateFontsProc = nullptr;

  // "msimg32.dll" and its AlphaBlend, decided on the first blend
  bool AlphaBlendDecided = false;
  HMODULE MsImg32 = nullptr;
  void* AlphaBlend = nullptr;

  std::vector<TCanvas3DClass> CanvasClasses;
  bool EraseBackground = false;

  // the colour buttons' saved custom colours, made on the first dialog
  std::unique_ptr<TStringList> CustomColors;

  TCanvasUnitState();
  ~TCanvasUnitState();
};

// The state between start-up and shutdown, else nullptr.
TCanvasUnitState* CanvasUnitState();
// The user's language is Japanese.
bool CanvasJapaneseUser();
// "gdi32.dll", loaded on first need; nullptr outside the unit's life or when
// it cannot be loaded.
HMODULE CanvasGdi32Module();
