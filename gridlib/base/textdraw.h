// Text drawing of the library's cells, titles, footers, edits and hints.
//
// DrawTextInRectEh places a text in a cell: alignment, vertical layout,
// offsets, margins, word wrap, end ellipsis and right-to-left reading.  An
// ordinary cell (one line, no wrap, no margins, no ellipsis, at most 32768
// characters) takes the cheap one-line output (TextRect); everything else
// goes through the full formatter (DrawTextEx).  A brush colour the device
// would dither is never drawn behind the glyphs directly: the text is drawn
// on the shared text bitmap over a solid fill and copied.
//
// The shared text bitmap lives between AcquireSharedTextBitmapEh and the
// matching release (the library's start-up holds one use); it grows to the
// largest cell drawn through it and never shrinks.
#pragma once

#include "platform/rtl/alignment.h"
#include "platform/rtl/system.h"
#include "platform/ui/graphics/geometry.h"

class TBitmap;
class TCanvas;

// The options of DrawTextWithParamsEh.
struct TTextDrawParamsEh {
  TAlignment Alignment = taLeftJustify;
  TVerticalAlignment VertAlignment = taAlignTop;
  Byte WrapMode = 0;  // 0 none, 1 word wrap, 2 single line
  bool FillBackground = false;
  bool RightToLeft = false;
  bool EndEllipsis = false;
};
inline constexpr Byte TextWrapNoneEh = 0, TextWrapWordEh = 1, TextWrapSingleLineEh = 2;

// Draws Text inside Rect (see the top of the file).  FillRect False leaves
// the background, except on a dithered brush, which is always filled.
void DrawTextInRectEh(TCanvas* Canvas, const TRect& Rect, bool FillRect, Integer DX, Integer DY, const String& Text,
                      TAlignment Alignment, TTextLayout Layout, bool WordWrap, bool EndEllipsis, Integer LeftMarg,
                      Integer RightMarg, bool RightToLeft, bool SingleLine);
// One line clipped to Rect over the filled background (right alignment ends
// 3 pixels inside and ignores DX).
void DrawSingleLineTextEh(TCanvas* Canvas, const TRect& Rect, Integer DX, Integer DY, const String& Text,
                          TAlignment Alignment);
// Text turned by 90 degrees, reading bottom to top, inside Rect.
void DrawRotatedTextInRectEh(TCanvas* Canvas, const TRect& Rect, bool FillRect, Integer DX, Integer DY,
                             const String& Text, TAlignment Alignment, TTextLayout Layout, bool WordWrap,
                             bool EndEllipsis);
// DrawTextEx with the options of Params; the second rectangle is not used.
void DrawTextWithParamsEh(TCanvas* Canvas, const String& Text, const TRect& Rect, const TRect& Unused,
                          const TTextDrawParamsEh& Params);
// Left, top, one line, right-to-left as the application's BiDiMode says.
void DrawTextWithBiDiEh(TCanvas* Canvas, const String& Text, const TRect& Rect, bool FillBackground);
// The width DrawText measures, which holds the overhang of bold and italic
// glyphs that TextWidth misses.
Integer GetTextWidthByDrawTextEh(TCanvas* Canvas, const String& Text);

// canvas transforms
// Advanced graphics mode, anisotropic mapping, and the world transform
// scaling by Scale, turning by AngleDegrees and moving by (DX, DY).
void SetCanvasTransformEh(TCanvas* Canvas, double Scale, double AngleDegrees, double DX, double DY);
// The identity world transform in the compatible graphics mode.
void ResetCanvasTransformEh(TCanvas* Canvas);
// Turns the canvas by -90 degrees, on top of any transform it has.
void RotateCanvas90Eh(TCanvas* Canvas);

// the shared text bitmap
void AcquireSharedTextBitmapEh();
void ReleaseSharedTextBitmapEh();
// nullptr while nobody holds it.
TBitmap* SharedTextBitmapEh();
