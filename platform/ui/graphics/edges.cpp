#include "platform/ui/graphics/edges.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace gdi {

namespace {

// A colour index of the system-colour table, or none.
constexpr int NoColor = -1;

bool isDC(HDC DC) {
  const DWORD Type = GetObjectType(DC);
  return Type == OBJ_DC || Type == OBJ_MEMDC;
}

void fill(HDC DC, const TRect& R, int ColorIndex) {
  if (!R.IsEmpty()) FillRect(DC, R, GetSysColorBrush(ColorIndex));
}

// Paints Width x Height pixels from (Left, Top) in the colour Color(X, Y)
// answers for each (offsets from the corner; NoColor leaves the pixel), one
// FillRect per run of a colour.
template <class F>
void paintPixels(HDC DC, int Left, int Top, int Width, int Height, F Color) {
  for (int Y = 0; Y < Height; ++Y) {
    int X = 0;
    while (X < Width) {
      const int C = Color(X, Y);
      int End = X + 1;
      while (End < Width && Color(End, Y) == C) ++End;
      if (C != NoColor) fill(DC, {Left + X, Top + Y, Left + End, Top + Y + 1}, C);
      X = End;
    }
  }
}

// ---------------------------------------------------------------------------
// edges

struct TRing {
  int TopLeft;
  int BottomRight;
};

// Paints one ring on the Sides of R and moves R in on them.
void paintRing(HDC DC, TRect& R, UINT Sides, TRing Ring) {
  if (Sides & BF_TOP) fill(DC, {R.Left, R.Top, R.Right, R.Top + 1}, Ring.TopLeft);
  if (Sides & BF_LEFT) fill(DC, {R.Left, R.Top, R.Left + 1, R.Bottom}, Ring.TopLeft);
  if (Sides & BF_BOTTOM) fill(DC, {R.Left, R.Bottom - 1, R.Right, R.Bottom}, Ring.BottomRight);
  if (Sides & BF_RIGHT) fill(DC, {R.Right - 1, R.Top, R.Right, R.Bottom}, Ring.BottomRight);
  if (Sides & BF_LEFT) ++R.Left;
  if (Sides & BF_TOP) ++R.Top;
  if (Sides & BF_RIGHT) --R.Right;
  if (Sides & BF_BOTTOM) --R.Bottom;
}

TRing outerRing(UINT Edge, UINT Flags) {
  if (Flags & BF_MONO) return {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
  if (Flags & BF_FLAT) return {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
  if (Edge & BDR_RAISEDOUTER) return {COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  return {COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
}

TRing innerRing(UINT Edge, UINT Flags) {
  if (Flags & BF_MONO) return {COLOR_WINDOW, COLOR_WINDOW};
  if (Flags & BF_FLAT) return {COLOR_BTNFACE, COLOR_BTNFACE};
  if (Edge & BDR_RAISEDINNER) return {COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
  return {COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

// ---------------------------------------------------------------------------
// frame controls

// The face of push buttons, scroll arrows and caption buttons; answers the
// rectangle inside its frame.
TRect paintFace(HDC DC, TRect R, UINT State, bool Sunken) {
  if (State & (DFCS_FLAT | DFCS_MONO)) {
    FrameRect(DC, R, GetSysColorBrush((State & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
    R = {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    fill(DC, R, COLOR_BTNFACE);
    return R;
  }
  DrawEdge(DC, &R, Sunken ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
  return R;
}

int glyphColor(UINT State) { return (State & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT; }

// The largest square centred in R.
TRect centredSquare(const TRect& R) {
  const int Side = std::max(0, std::min(R.Width(), R.Height()));
  const int Left = R.Left + (R.Width() - Side) / 2, Top = R.Top + (R.Height() - Side) / 2;
  return {Left, Top, Left + Side, Top + Side};
}

// Check boxes and radio buttons: the colour inside the frame and of the mark.
int boxInside(UINT State) {
  const bool Mixed = (State & 0xFF) == DFCS_BUTTON3STATE && (State & DFCS_CHECKED);
  return (State & (DFCS_INACTIVE | DFCS_PUSHED)) || Mixed ? COLOR_BTNFACE : COLOR_WINDOW;
}

int markColor(UINT State) {
  if (State & DFCS_INACTIVE) return COLOR_GRAYTEXT;
  return (State & 0xFF) == DFCS_BUTTON3STATE ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT;
}

// The tick, one row a string, '#' painted.
constexpr int TickSize = 7;
constexpr const char* Tick[TickSize] = {
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
};

void paintCheckBox(HDC DC, const TRect& R, UINT State) {
  TRect Inside = centredSquare(R);
  if (State & (DFCS_FLAT | DFCS_MONO)) {
    FrameRect(DC, Inside, GetSysColorBrush((State & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW));
    Inside = {Inside.Left + 1, Inside.Top + 1, Inside.Right - 1, Inside.Bottom - 1};
  } else {
    DrawEdge(DC, &Inside, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  }
  fill(DC, Inside, boxInside(State));
  if (!(State & DFCS_CHECKED)) return;
  const int Left = Inside.Left + (Inside.Width() - TickSize) / 2, Top = Inside.Top + (Inside.Height() - TickSize) / 2;
  const int Mark = markColor(State);
  paintPixels(DC, Left, Top, TickSize, TickSize, [&](int X, int Y) {
    const bool Inner = Inside.Contains({Left + X, Top + Y});
    return Inner && Tick[Y][X] == '#' ? Mark : NoColor;
  });
}

void paintRadio(HDC DC, const TRect& R, UINT State) {
  const TRect Box = centredSquare(R);
  const double Radius = Box.Width() / 2.0;
  const bool Flat = State & (DFCS_FLAT | DFCS_MONO);
  const int FlatColor = (State & DFCS_MONO) ? COLOR_WINDOWFRAME : COLOR_BTNSHADOW;
  const int Inside = boxInside(State);
  const int Mark = (State & DFCS_CHECKED) ? ((State & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT) : NoColor;
  paintPixels(DC, Box.Left, Box.Top, Box.Width(), Box.Height(), [&](int X, int Y) {
    const double DX = X + 0.5 - Radius, DY = Y + 0.5 - Radius;
    const double Distance = std::sqrt(DX * DX + DY * DY);
    const bool TopLeft = DX + DY < 0;
    if (Distance > Radius) return NoColor;
    if (Distance > Radius - 1) return Flat ? FlatColor : TopLeft ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
    if (Distance > Radius - 2 && !Flat) return TopLeft ? COLOR_3DDKSHADOW : COLOR_3DLIGHT;
    return Distance <= Radius / 3 && Mark != NoColor ? Mark : Inside;
  });
}

void paintArrow(HDC DC, const TRect& R, UINT State) {
  const bool Pushed = State & DFCS_PUSHED;
  const TRect Face = paintFace(DC, R, State, Pushed);
  const int Side = std::min(Face.Width(), Face.Height());
  if (Side <= 0) return;
  const int Base = ((Side + 1) / 2) | 1, Height = (Base + 1) / 2;
  const UINT Kind = State & 0xFF;
  const bool Vertical = Kind != DFCS_SCROLLLEFT && Kind != DFCS_SCROLLRIGHT;
  const int Width = Vertical ? Base : Height, Tall = Vertical ? Height : Base;
  const int Shift = Pushed ? 1 : 0;
  const int Left = Face.Left + (Face.Width() - Width) / 2 + Shift, Top = Face.Top + (Face.Height() - Tall) / 2 + Shift;
  const int Color = glyphColor(State);
  // Row (or column) I of the triangle, counted from its apex, spans Base - 2 (Height - 1 - I) pixels.
  paintPixels(DC, Left, Top, Width, Tall, [&](int X, int Y) {
    int Along = 0, Across = 0;
    switch (Kind) {
      case DFCS_SCROLLUP: Along = Y, Across = X; break;
      case DFCS_SCROLLLEFT: Along = X, Across = Y; break;
      case DFCS_SCROLLRIGHT: Along = Height - 1 - X, Across = Y; break;
      default: Along = Height - 1 - Y, Across = X; break;  // down and the combo box
    }
    const int Margin = Height - 1 - Along;
    return Across >= Margin && Across < Base - Margin ? Color : NoColor;
  });
}

void paintSizeGrip(HDC DC, const TRect& R, UINT State) {
  fill(DC, R, COLOR_BTNFACE);
  const bool FromLeft = (State & 0xFF) == DFCS_SCROLLSIZEGRIPRIGHT;
  constexpr int Pairs = 3, Period = 4;
  paintPixels(DC, R.Left, R.Top, R.Width(), R.Height(), [&](int X, int Y) {
    const int Distance = (FromLeft ? X : R.Width() - 1 - X) + (R.Height() - 1 - Y);
    if (Distance >= Pairs * Period) return NoColor;
    switch (Distance % Period) {
      case 1: return int(COLOR_BTNSHADOW);
      case 2: return int(COLOR_BTNHIGHLIGHT);
      default: return NoColor;
    }
  });
}

void paintClose(HDC DC, const TRect& R, UINT State) {
  const bool Pushed = State & DFCS_PUSHED;
  const TRect Face = paintFace(DC, R, State, Pushed);
  const int G = std::min(Face.Width(), Face.Height()) - 3;
  if (G <= 0) return;
  const int Shift = Pushed ? 1 : 0;
  const int Left = Face.Left + (Face.Width() - (G + 1)) / 2 + Shift, Top = Face.Top + (Face.Height() - G) / 2 + Shift;
  const int Color = glyphColor(State);
  paintPixels(DC, Left, Top, G + 1, G, [&](int X, int Y) {
    const bool Down = X == Y || X == Y + 1, Up = X == G - 1 - Y || X == G - Y;
    return Down || Up ? Color : NoColor;
  });
}

bool paintButton(HDC DC, RECT& R, UINT State) {
  switch (State & 0xFF) {
    case DFCS_BUTTONCHECK:
    case DFCS_BUTTON3STATE: paintCheckBox(DC, R, State); return true;
    case DFCS_BUTTONRADIO: paintRadio(DC, R, State); return true;
    case DFCS_BUTTONPUSH: {
      const TRect Face = paintFace(DC, R, State, State & (DFCS_PUSHED | DFCS_CHECKED));
      if (State & DFCS_ADJUSTRECT) R = Face;
      return true;
    }
    default: return false;
  }
}

bool paintScroll(HDC DC, const RECT& R, UINT State) {
  switch (State & 0xFF) {
    case DFCS_SCROLLUP:
    case DFCS_SCROLLDOWN:
    case DFCS_SCROLLLEFT:
    case DFCS_SCROLLRIGHT:
    case DFCS_SCROLLCOMBOBOX: paintArrow(DC, R, State); return true;
    case DFCS_SCROLLSIZEGRIP:
    case DFCS_SCROLLSIZEGRIPRIGHT: paintSizeGrip(DC, R, State); return true;
    default: return false;
  }
}

// ---------------------------------------------------------------------------
// system bitmaps

constexpr int CheckBoxCell = 13;

HBITMAP makeCheckBoxes() {
  constexpr UINT Rows[] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTON3STATE};
  constexpr UINT Columns[] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
  constexpr int Width = CheckBoxCell * int(std::size(Columns)), Height = CheckBoxCell * int(std::size(Rows));
  HBITMAP Bitmap = CreateCompatibleBitmap(nullptr, Width, Height);
  HDC DC = CreateCompatibleDC(nullptr);
  const HGDIOBJ Old = SelectObject(DC, Bitmap);
  fill(DC, {0, 0, Width, Height}, COLOR_BTNFACE);
  for (int Row = 0; Row < int(std::size(Rows)); ++Row)
    for (int Column = 0; Column < int(std::size(Columns)); ++Column) {
      RECT Cell = Bounds(Column * CheckBoxCell, Row * CheckBoxCell, CheckBoxCell, CheckBoxCell);
      DrawFrameControl(DC, &Cell, DFC_BUTTON, Rows[Row] | Columns[Column]);
    }
  SelectObject(DC, Old);
  DeleteDC(DC);
  return Bitmap;
}

}  // namespace

BOOL DrawEdge(HDC DC, RECT* Rect, UINT Edge, UINT Flags) {
  if (!Rect || !isDC(DC)) return 0;
  TRect R = *Rect;
  const UINT Sides = Flags & BF_RECT;
  if (Edge & BDR_OUTER) paintRing(DC, R, Sides, outerRing(Edge, Flags));
  if (Edge & BDR_INNER) paintRing(DC, R, Sides, innerRing(Edge, Flags));
  if (Flags & BF_MIDDLE) fill(DC, R, COLOR_BTNFACE);
  if (Flags & BF_ADJUST) *Rect = R;
  return 1;
}

BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State) {
  if (!Rect || !isDC(DC)) return 0;
  switch (Type) {
    case DFC_BUTTON: return paintButton(DC, *Rect, State);
    case DFC_SCROLL: return paintScroll(DC, *Rect, State);
    case DFC_CAPTION:
      if ((State & 0xFF) != DFCS_CAPTIONCLOSE) return 0;
      paintClose(DC, *Rect, State);
      return 1;
    default: return 0;
  }
}

HBITMAP LoadBitmapW(HINSTANCE Instance, const WCHAR* Name) {
  if (Instance || reinterpret_cast<std::uintptr_t>(Name) != OBM_CHECKBOXES) return nullptr;
  return makeCheckBoxes();
}

}  // namespace gdi
