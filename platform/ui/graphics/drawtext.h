// Text output on device contexts: the text calls of gdi.h (TextOutW,
// ExtTextOutW, DrawTextW, DrawTextExW, GetTextExtentPoint32W,
// GetTextExtentExPointW, GetTextMetricsW, GetTextFaceW) are defined in
// drawtext.cpp over the text engine.
//
// Every call reads the DC's selected font (its LOGFONTW), text and background
// colours, background mode, text alignment, character extra, current position,
// graphics mode, transform and clip.  Fonts are realised once per LOGFONT and
// device size by the engine of SetTextEngine (textengine.h).
//
// Coordinates: in GM_COMPATIBLE only the reference point (or the DrawText
// rectangle) and the font height go through the DC's transform; text is laid
// out in device pixels with upright, unmirrored glyphs, and under a mirror the
// text box is mirrored as a whole (TA_LEFT text extends to the left on the
// surface).  In GM_ADVANCED with a rotating, shearing or mirroring transform
// the text is laid out in logical units and the glyphs follow the transform.
// Escapement is not applied yet.
//
// ExtTextOutW: Dx, when given, replaces the advances (logical units per
// UTF-16 unit); ETO_OPAQUE with Count 0 only fills Rect; TA_RTLREADING in the
// text alignment reads right to left like ETO_RTLREADING.
#pragma once

#include "platform/ui/graphics/gdi.h"
#include "platform/ui/graphics/textengine.h"

using TTextMetric = gdi::TEXTMETRICW;
