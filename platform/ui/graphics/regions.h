// Regions: sets of pixels behind HRGN handles.
//
// A rectangle region (l, t, r, b) covers [l, r) x [t, b).  Elliptic and
// rounded regions are the pixels whose centres lie inside the ellipse or
// rounded rectangle inscribed in [l, r) x [t, b); a polygon region the pixels
// whose centres lie inside the polygon.  Region calls answer the region type: NULLREGION,
// SIMPLEREGION (one rectangle), COMPLEXREGION, or ERROR.
#pragma once

#include "platform/ui/graphics/gdi.h"

class QRegion;

namespace gdi {

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const RECT& Rect);
// Corners rounded by an ellipse of Width x Height.
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const RECT& Rect);
// Mode ALTERNATE or WINDING.
HRGN CreatePolygonRgn(const POINT* Points, int Count, int Mode);

// Dest := A op B (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF) or A (RGN_COPY; B unused).
int CombineRgn(HRGN Dest, HRGN A, HRGN B, int Mode);
int OffsetRgn(HRGN Region, int DX, int DY);
int GetRgnBox(HRGN Region, RECT* Box);
BOOL PtInRegion(HRGN Region, int X, int Y);
BOOL RectInRegion(HRGN Region, const RECT* Rect);
BOOL EqualRgn(HRGN A, HRGN B);
BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom);

// The pixel set of a region, for window masks (an empty region for a bad handle).
QRegion RegionOf(HRGN Region);
// A new region object holding Region.
HRGN CreateRgnFromRegion(const QRegion& Region);

}  // namespace gdi
