// Pixel helpers for graphics tests: reading bitmaps back as colours.
#pragma once

#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"

#include <QDir>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

// The colour of a pixel ($00BBGGRR); 32-bit bitmaps by their stored bytes.
inline TColor PixelAt(TBitmap* Bitmap, int X, int Y) {
  const QImage& Image = Bitmap->Image();
  const QRgb P = Image.depth() == 32 ? reinterpret_cast<const QRgb*>(Image.constScanLine(Y))[X] : Image.pixel(X, Y);
  return TColor(gdi::RGB(gdi::BYTE(qRed(P)), gdi::BYTE(qGreen(P)), gdi::BYTE(qBlue(P))));
}

// Pixels of Color inside Rect.
inline int CountPixels(TBitmap* Bitmap, const TRect& Rect, TColor Color) {
  int Count = 0;
  for (int Y = Rect.Top; Y < Rect.Bottom; ++Y)
    for (int X = Rect.Left; X < Rect.Right; ++X) Count += PixelAt(Bitmap, X, Y) == Color;
  return Count;
}

// Dark pixels (ink, every channel under 100) inside Rect.
inline int InkIn(TBitmap* Bitmap, const TRect& Rect) {
  int Count = 0;
  for (int Y = Rect.Top; Y < Rect.Bottom; ++Y)
    for (int X = Rect.Left; X < Rect.Right; ++X) {
      const TColor C = PixelAt(Bitmap, X, Y);
      Count += std::max({C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF}) < 100;
    }
  return Count;
}

// Same size, and every channel of every pixel within Tolerance.
inline bool ImagesEqual(TBitmap* A, TBitmap* B, int Tolerance) {
  if (A->Width() != B->Width() || A->Height() != B->Height()) return false;
  for (int Y = 0; Y < A->Height(); ++Y)
    for (int X = 0; X < A->Width(); ++X) {
      const TColor P = PixelAt(A, X, Y), Q = PixelAt(B, X, Y);
      for (int Shift = 0; Shift < 24; Shift += 8)
        if (std::abs(((P >> Shift) & 0xFF) - ((Q >> Shift) & 0xFF)) > Tolerance) return false;
    }
  return true;
}

// What a painter alone gives: a new bitmap of Width x Height in Background,
// then Paint on its canvas's DC.  A control's pixels are compared with it.
inline std::unique_ptr<TBitmap> PainterImage(int Width, int Height, TColor Background,
                                             const std::function<void(gdi::HDC)>& Paint) {
  auto B = std::make_unique<TBitmap>();
  B->SetSize(Width, Height);
  B->Canvas()->Brush()->SetColor(Background);
  B->Canvas()->FillRect(TRect(0, 0, Width, Height));
  Paint(B->Canvas()->Handle());
  return B;
}

// The pixels of A and B inside Rect are the same.
inline bool RectsEqual(TBitmap* A, TBitmap* B, const TRect& Rect) {
  for (int Y = Rect.Top; Y < Rect.Bottom; ++Y)
    for (int X = Rect.Left; X < Rect.Right; ++X)
      if (PixelAt(A, X, Y) != PixelAt(B, X, Y)) return false;
  return true;
}

// The pixels of A and B within Band of their border are the same: a frame
// compared without what it surrounds.
inline bool BandsEqual(TBitmap* A, TBitmap* B, int Band) {
  const int W = A->Width(), H = A->Height();
  return RectsEqual(A, B, TRect(0, 0, W, Band)) && RectsEqual(A, B, TRect(0, H - Band, W, H)) &&
         RectsEqual(A, B, TRect(0, 0, Band, H)) && RectsEqual(A, B, TRect(W - Band, 0, W, H));
}

// Keeps a drawing for a person to look at, in a folder of the system's
// temporary folder (never the source or build tree); answers the file path.
inline QString SaveForReview(const QImage& Image, const QString& Name) {
  const QDir Folder(QDir::temp().filePath(QStringLiteral("bibliona-test-images")));
  Folder.mkpath(QStringLiteral("."));
  const QString Path = Folder.filePath(Name);
  Image.save(Path);
  return Path;
}
