// Internals of GDI paths (paths.cpp), shared with the primitives and the text
// calls that add figures to an open path.  Not for other code.
#pragma once

#include "platform/ui/graphics/gdi_p.h"

#include <QPainterPath>
#include <QRegion>

namespace gdi::detail {

inline bool PathOpen(const TDC& D) { return D.State.PathState == TDCState::TPathState::Open; }
bool PathOpen(HDC DC);
// MoveToEx: a new figure at the logical point P.
void PathMoveTo(TDC& D, TPoint Logical);
// Whether the path's last figure ends at P (within the rounding of a
// position: arcs end between pixels).
bool PathEndsAt(const TDC& D, TPoint P);
// A line between two surface points; starts a figure at From unless the
// path's last figure ends there.
void PathLineTo(TDC& D, TPoint From, TPoint To);
// Figures built in surface pixel positions, as the shapes build them.
void PathAddFigure(TDC& D, const QPainterPath& Outline);
// Pixels (surface) as square figures: the glyphs of a text output.
void PathAddRegion(HDC DC, const QRegion& Pixels);

// primitives.cpp: the path drawn with the DC's pen (Stroke) and brush (Fill).
void DrawPath(TDC& D, const QPainterPath& Path, bool Stroke, bool Fill);
// primitives.cpp: the area the DC's pen covers along Path; empty for the null pen.
QPainterPath WidenedPath(TDC& D, const QPainterPath& Path);
// primitives.cpp: the surface pixels FillPath of Path covers.
QRegion PathInterior(TDC& D, const QPainterPath& Path);

}  // namespace gdi::detail
