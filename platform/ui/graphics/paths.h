// GDI paths: outlines recorded between BeginPath and EndPath, then stroked,
// filled, widened, turned into a clip or a region.
//
// Inside the bracket the lines, poly-lines, polygons, rectangles, ellipses,
// rounded rectangles, arcs, pies, chords and text outputs of a DC add figures
// to its path and draw nothing; MoveToEx starts a new figure, and a line from
// a position where no figure ends starts one too.  A filled path covers the
// pixels the matching shape fills (its interior, without the pen), and a
// stroked path the pixels its pen draws.  The path is part of the DC state:
// SaveDC keeps it and RestoreDC brings it back.
//
// Every call but BeginPath and AbortPath needs its bracket: CloseFigure an
// open one, the others an ended one.  Outside it they fail (0) and change
// nothing.  A refused BeginPath (a bad DC) sets ERROR_INVALID_HANDLE.
#pragma once

#include "platform/ui/graphics/gdi.h"

namespace gdi {

// Opens a bracket, dropping any previous path.
BOOL BeginPath(HDC DC);
// Ends the open bracket; the path stays for the calls below.
BOOL EndPath(HDC DC);
// Drops the path and any bracket.
BOOL AbortPath(HDC DC);
// Closes the current figure with a line back to its start.
BOOL CloseFigure(HDC DC);
// Draw with the DC's pen, brush or both (the polygon fill mode decides the
// interior), then drop the path.
BOOL StrokePath(HDC DC);
BOOL FillPath(HDC DC);
BOOL StrokeAndFillPath(HDC DC);
// Replaces the path by the area the DC's pen would cover stroking it, so
// that FillPath then paints the stroke's pixels.
BOOL WidenPath(HDC DC);
// Combines the path's interior with the clip (RGN_AND, RGN_OR, RGN_XOR,
// RGN_DIFF, RGN_COPY) and drops the path.
BOOL SelectClipPath(HDC DC, int Mode);
// The path's interior as a new region (device coordinates); drops the path.
HRGN PathToRegion(HDC DC);

}  // namespace gdi
