// Chart texts in a small subset of HTML: measured and drawn on a chart
// canvas.
//
// The text is split into tags (from "<" to the next ">") and text chunks.
// Style tags change the canvas font (B, BOLD, STRONG, I, U, STRIKE, BIG,
// SMALL, SUB, SUP, SUPER, H1..H6, PRE, FONT with NAME, FAMILY, SIZE, COLOR
// and WEIGHT); BR and P break the line, HR draws a rule, CENTER centres on
// the canvas's bounds, IMG places a picture; "</>" closes the last style tag
// opened (or undoes the last font change just made).  Chunks are drawn with
// the canvas's plain TextOut after the entities &lt; &gt; &amp; &quot; are
// replaced.  Unknown tags are drawn as text.
//
// Each call starts with empty tag and font stacks; the canvas font is left
// as the last tag left it.
#pragma once

#include "platform/rtl/system.h"
#include "platform/ui/graphics/geometry.h"

#include <functional>

class TGraphic;
class TStream;
class TTeeCanvas;

// Processes Text from (X, Y) (the top-left of the first chunk); draws only
// when DoDraw.  Answers the largest X reached and the text's height.
TSize TeeHtmlTextOut(TTeeCanvas* Canvas, Integer X, Integer Y, const String& Text, bool DoDraw);
// TeeHtmlTextOut from (0, 0), measuring only.
TSize TeeHtmlTextExtent(TTeeCanvas* Canvas, const String& Text);
// Draws Text; a right or centre text alignment places its measured width
// at X.
void TeeDrawHtml(TTeeCanvas* Canvas, Integer X, Integer Y, const String& Text);

// Picture hooks of the IMG tag, unset by default (a missing picture draws a
// red crossed box): a new, empty graphic for a file extension (with its dot,
// upper case), or nullptr; and the bytes of a source (file name or address)
// into Stream, answering 0 on success.
struct TTeeHtmlPictureHooks {
  std::function<TGraphic*(const String& Extension)> GraphicForExtension;
  std::function<Integer(const String& Source, TStream* Stream)> LoadStream;
};
TTeeHtmlPictureHooks& TeeHtmlPictureHooks();
