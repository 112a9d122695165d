// Plain loops over a QImage (Format_RGB32) doing each filter's per-pixel
// work: the filter tests compare the filters with them, and the benchmark
// runs them as the speed a straightforward loop reaches.
#pragma once

#include <QImage>
#include <algorithm>
#include <cmath>
#include <functional>

namespace oracle {

inline int clamp255(int V) { return std::clamp(V, 0, 255); }
inline int rounded(double V) { return int(std::nearbyint(V)); }

// Fn(r, g, b) on every pixel, in place.
template <class Fn>
void eachPixel(QImage& Img, Fn&& F) {
  for (int Y = 0; Y < Img.height(); ++Y) {
    QRgb* Row = reinterpret_cast<QRgb*>(Img.scanLine(Y));
    for (int X = 0; X < Img.width(); ++X) {
      int R = qRed(Row[X]), G = qGreen(Row[X]), B = qBlue(Row[X]);
      F(R, G, B);
      Row[X] = qRgba(R, G, B, qAlpha(Row[X]));
    }
  }
}

inline void invert(QImage& Img) {
  eachPixel(Img, [](int& R, int& G, int& B) { R = 255 - R, G = 255 - G, B = 255 - B; });
}

inline void grayEye2(QImage& Img) {
  eachPixel(Img, [](int& R, int& G, int& B) { R = G = B = (16 * G + 11 * R + 5 * B) >> 5; });
}

inline void grayEye(QImage& Img) {
  eachPixel(Img, [](int& R, int& G, int& B) { R = G = B = rounded(0.299 * R + 0.587 * G + 0.114 * B); });
}

inline void brightnessPercent(QImage& Img, int Amount) {
  const int D = rounded(255 * double(float(Amount * 0.01)));
  eachPixel(Img, [D](int& R, int& G, int& B) { R = clamp255(R + D), G = clamp255(G + D), B = clamp255(B + D); });
}

inline void contrastPercent(QImage& Img, int Amount) {
  const float P = float(Amount * 0.01);
  auto C = [P](int V) { return clamp255(V + (rounded(float(V * P)) * (V - 128)) / 256); };
  eachPixel(Img, [&](int& R, int& G, int& B) { R = C(R), G = C(G), B = C(B); });
}

inline void gammaPercent(QImage& Img, int Amount) {
  const float G = std::max(0.001f, float(std::abs(Amount) * 0.01));
  auto T = [G](int V) { return V == 0 ? 0 : clamp255(rounded(255 * std::exp(std::log(V / 255.0) / G))); };
  eachPixel(Img, [&](int& R, int& Gr, int& B) { R = T(R), Gr = T(Gr), B = T(B); });
}

inline void sepia(QImage& Img) {
  eachPixel(Img, [](int& R, int& G, int& B) {
    const int R0 = R, G0 = G, B0 = B;
    R = clamp255(rounded(0.393 * R0 + 0.769 * G0 + 0.189 * B0));
    G = clamp255(rounded(0.349 * R0 + 0.686 * G0 + 0.168 * B0));
    B = clamp255(rounded(0.272 * R0 + 0.534 * G0 + 0.131 * B0));
  });
}

inline void flip(QImage& Img) {
  for (int K = 0; K < Img.height() / 2; ++K)
    std::swap_ranges(reinterpret_cast<QRgb*>(Img.scanLine(K)), reinterpret_cast<QRgb*>(Img.scanLine(K)) + Img.width(),
                     reinterpret_cast<QRgb*>(Img.scanLine(Img.height() - 1 - K)));
}

inline void reverse(QImage& Img) {
  for (int Y = 0; Y < Img.height(); ++Y) {
    QRgb* Row = reinterpret_cast<QRgb*>(Img.scanLine(Y));
    std::reverse(Row, Row + Img.width());
  }
}

// 3 x 3 weights (row above, own, below); the border keeps its pixels.
inline void convolve(QImage& Img, const float (&W)[3][3]) {
  const QImage Src = Img.copy();
  float Sum = 0;
  bool Ones = true;
  for (auto& Row : W)
    for (float V : Row) Sum += V, Ones = Ones && V == 1.0f;
  const float F = float(1.0 / double(Sum == 0 ? 1.0f : Sum));
  for (int Y = 1; Y < Img.height() - 1; ++Y) {
    QRgb* Out = reinterpret_cast<QRgb*>(Img.scanLine(Y));
    for (int X = 1; X < Img.width() - 1; ++X) {
      int C[3];
      for (int K = 0; K < 3; ++K) {
        auto Ch = [&](int DX, int DY) {
          const QRgb P = Src.pixel(X + DX, Y + DY);
          return K == 0 ? qRed(P) : K == 1 ? qGreen(P) : qBlue(P);
        };
        if (Ones) {
          int S = 0;
          for (int DY = -1; DY <= 1; ++DY)
            for (int DX = -1; DX <= 1; ++DX) S += Ch(DX, DY);
          C[K] = S / 9;
        } else {
          float S = 0;
          for (int DY = -1; DY <= 1; ++DY)
            for (int DX = -1; DX <= 1; ++DX) S += W[DY + 1][DX + 1] * Ch(DX, DY);
          C[K] = clamp255(rounded(S * F));
        }
      }
      Out[X] = qRgba(C[0], C[1], C[2], qAlpha(Out[X]));
    }
  }
}

}  // namespace oracle
