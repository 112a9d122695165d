// The graphics layer's process-wide state, private to the layer: one part per
// unit, each defined in its unit's source.  GraphicsUnit's start-up makes the
// object and its shutdown frees it; code that draws before the unit started
// (a suite or benchmark that lists only the runtime) gets it at first use.
#pragma once

#include "platform/ui/graphics/statepart.h"

namespace graphics_detail {

struct TGdiHandles;       // gdi.cpp: the handle table and the stock objects in it
struct TSysColors;        // gdi.cpp: the system colour table
struct TWindowDCHook;     // gdi.cpp: where GetDC of a window goes
struct THandleCaches;     // graphics.cpp: font, pen and brush handles shared by equal objects
class TFontCache;         // drawtext.cpp: realised fonts
struct TTextScratch;      // drawtext.cpp: buffers the text calls reuse
struct TTextEngineState;  // textengine.cpp: the engine that measures text
struct TFontMap;          // fontmap.cpp: font names to installed families
struct TScreenState;      // metrics.cpp: the screen's metrics and the monitor PPI provider
struct TStyleState;       // styles.cpp: the active style services
struct TPictureFormats;   // picture.cpp: the file formats TPicture knows
struct TImageLists;       // imagelist.cpp: the image lists alive
struct TGdiplusState;     // gdiplus.cpp: whether the GDI+ calls are available

}  // namespace graphics_detail

struct TGraphicsState {
  TGraphicsState() = default;
  ~TGraphicsState() { Free(); }

  // The handle table comes first: the parts after it hold its handles.
  TStatePart<graphics_detail::TGdiHandles> GdiHandles;
  TStatePart<graphics_detail::TSysColors> SysColors;
  TStatePart<graphics_detail::TWindowDCHook> WindowDCHook;
  TStatePart<graphics_detail::THandleCaches> HandleCaches;
  TStatePart<graphics_detail::TImageLists> ImageLists;
  TStatePart<graphics_detail::TTextEngineState> TextEngine;
  TStatePart<graphics_detail::TFontMap> FontMap;
  TStatePart<graphics_detail::TFontCache> FontCache;
  TStatePart<graphics_detail::TTextScratch> TextScratch;
  TStatePart<graphics_detail::TScreenState> Screen;
  TStatePart<graphics_detail::TStyleState> Styles;
  TStatePart<graphics_detail::TPictureFormats> PictureFormats;
  TStatePart<graphics_detail::TGdiplusState> Gdiplus;

  // Back to start-up values for the tests' reset (see ResetGraphicsState).
  void Reset();
  // Frees the parts, last declared first, while every part can still be
  // reached: what their objects release on the way out finds its part.
  void Free();
};

TGraphicsState& GraphicsState();
